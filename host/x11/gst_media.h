#pragma once
// The Linux media commands: the command layer of host/music (media_layer.h) over
// GStreamer, which plays music files, the audio CD (cdio_disc.h) and the looping wave
// sound, each into a sound server's sink.
//  [X] music files (MP3, WAV and whatever else the installed decoders read)
//  [X] the audio CD, its sectors read by us and played through an app source
//  [X] the looping wave sound, without a gap between its runs
//  [X] a sound server that goes and comes back: the sound is made anew when asked for
//  [ ] a choice of output device: the first sink that reaches a sound output
#include <memory>
#include <string>

#include "runtime.h"

class GstBackend;  // gst_media.cpp
class MediaLayer;  // media_layer.h

class GstMedia : public MediaCommands {
 public:
  GstMedia();
  ~GstMedia() override;
  GstMedia(const GstMedia&) = delete;
  GstMedia& operator=(const GstMedia&) = delete;

  std::uint32_t SendString(const std::string& command, char* reply, std::uint32_t length) override;
  bool GetErrorString(std::uint32_t code, char* text, std::uint32_t length) override;
  std::uint32_t WaveOutDevices() override;
  bool PlayWave(const char* name, std::uint32_t flags) override;

  // Stops and closes every sound the commands started (the program is ending).
  void CloseAll();

 private:
  std::unique_ptr<GstBackend> backend_;
  std::unique_ptr<MediaLayer> layer_;  // goes before its backend
};

#pragma once
// Media command strings for platforms without a media control interface of their own.
// MediaLayer reads the commands the music player sends ("open cdaudio", "set cdaudio
// time format tmsf", "status MP3Play mode", "play cdaudio from 02:00:00:00", "stop",
// "close", ...), keeps the open devices by name, and answers with the codes and reply
// texts the Windows calls give. The sound itself comes from a MediaBackend: a music
// file stream, an audio CD drive, and the looping wave sound.
//
// Everything here runs on the caller's (user-interface) thread; backends keep their
// own threads to themselves.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runtime.h"

// Error codes, as the Windows media control interface numbers them (texts in
// media_layer.cpp).
namespace media_error {
inline constexpr std::uint32_t kUnrecognizedKeyword = 259;
inline constexpr std::uint32_t kUnrecognizedCommand = 261;
inline constexpr std::uint32_t kDeviceNotOpen = 263;
inline constexpr std::uint32_t kCannotLoadDriver = 266;
inline constexpr std::uint32_t kReplyTooLong = 268;
inline constexpr std::uint32_t kBadInteger = 270;
inline constexpr std::uint32_t kMissingParameter = 273;
inline constexpr std::uint32_t kUnsupported = 274;
inline constexpr std::uint32_t kFileNotFound = 275;
inline constexpr std::uint32_t kNotReady = 276;
inline constexpr std::uint32_t kInternal = 277;
inline constexpr std::uint32_t kOutOfRange = 282;
inline constexpr std::uint32_t kDuplicateAlias = 289;
inline constexpr std::uint32_t kBadTimeFormat = 293;
inline constexpr std::uint32_t kNoClosingQuote = 294;
inline constexpr std::uint32_t kCannotPlayFile = 296;
inline constexpr std::uint32_t kExtraCharacters = 305;
}  // namespace media_error

// A music file opened for playing. Positions are milliseconds from its start.
class MediaStream {
 public:
  virtual ~MediaStream() = default;
  // Plays from `from_ms` (or from where it stands when negative) to `to_ms` (or the
  // end when negative). False when the file cannot be played.
  virtual bool Play(std::int64_t from_ms, std::int64_t to_ms) = 0;
  // Stops the sound; the position stays where it was.
  virtual void Stop() = 0;
  // Whether the sound is still running: false once the end was reached, after Stop,
  // and after a failure.
  virtual bool Playing() = 0;
  virtual std::int64_t PositionMs() = 0;
  // -1 while the length is not known yet.
  virtual std::int64_t LengthMs() = 0;
};

// One track of a disc's table of contents. Sectors are 1/75 s of CD audio, counted
// from the start of the disc's program area.
struct DiscTrack {
  int number = 0;
  std::int32_t start = 0;
  std::int32_t length = 0;
  bool audio = true;
};

// An audio CD drive (or a disc image standing in for one).
class CdDrive {
 public:
  enum class Disc { kPending, kReady, kUnusable };
  virtual ~CdDrive() = default;
  // kPending while the drive spins up and the table of contents is being read;
  // kUnusable for an empty drive, an unreadable disc or one without audio tracks.
  virtual Disc State() = 0;
  // The table of contents, in disc order; valid once State() is kReady.
  virtual std::vector<DiscTrack> Tracks() = 0;
  // Plays the sectors [from, to). False when it cannot.
  virtual bool Play(std::int32_t from, std::int32_t to) = 0;
  virtual void Stop() = 0;
  // Whether the sound is still running (false once `to` was reached or on a failure).
  virtual bool Playing() = 0;
  // The sector being heard while playing.
  virtual std::int32_t Position() = 0;
};

class MediaBackend {
 public:
  virtual ~MediaBackend() = default;
  // Opens a music file for playing, stopped at its start; null with a media_error
  // code in `error` when it cannot be opened.
  virtual std::unique_ptr<MediaStream> OpenFile(const std::string& path, std::uint32_t* error) = 0;
  // Opens the CD drive; null with a media_error code when there is none (or no sound
  // output to play it on). The table of contents may still be on its way.
  virtual std::unique_ptr<CdDrive> OpenCd(std::uint32_t* error) = 0;
  virtual std::uint32_t WaveOutDevices() = 0;
  // Plays the wave file over and over until StopWave or the next call.
  virtual bool PlayWaveLoop(const std::string& path) = 0;
  virtual void StopWave() = 0;
};

class MediaLayer : public MediaCommands {
 public:
  explicit MediaLayer(MediaBackend& backend);
  ~MediaLayer() override;

  std::uint32_t SendString(const std::string& command, char* reply, std::uint32_t length) override;
  bool GetErrorString(std::uint32_t code, char* text, std::uint32_t length) override;
  std::uint32_t WaveOutDevices() override;
  bool PlayWave(const char* name, std::uint32_t flags) override;

  // Stops and closes every device and the wave sound (the program is ending).
  void CloseAll();

  // The command and its reply as text: what SendString does without the buffer.
  std::uint32_t Execute(const std::string& command, std::string* reply);

 private:
  enum class TimeFormat { kMilliseconds, kMsf, kTmsf };
  enum class Mode { kStopped, kPlaying, kPaused };
  struct Device {
    std::unique_ptr<MediaStream> stream;  // a music file
    std::unique_ptr<CdDrive> cd;          // or the CD drive
    TimeFormat format = TimeFormat::kMilliseconds;
    Mode mode = Mode::kStopped;
    std::int32_t cd_position = -1;  // sector where a stopped CD stands; -1: the first track
  };
  using Words = std::vector<std::string>;

  std::uint32_t Open(const Words& words, std::string* reply);
  std::uint32_t Set(Device& device, const Words& words);
  std::uint32_t Status(Device& device, const Words& words, std::string* reply);
  std::uint32_t Play(Device& device, const Words& words);
  std::uint32_t Stop(Device& device, Mode mode);
  std::uint32_t CdStatus(Device& device, const Words& words, std::string* reply);
  std::uint32_t CdPlay(Device& device, const std::string* from, const std::string* to);

  // Brings a device's mode up to date with its sound (a stream or disc that ended).
  void Refresh(Device& device);
  std::int32_t CdPosition(Device& device);
  std::string FormatCd(const Device& device, const std::vector<DiscTrack>& tracks, std::int32_t sector) const;
  std::uint32_t ParseCd(const Device& device, const std::vector<DiscTrack>& tracks, const std::string& text,
                        std::int32_t* sector) const;

  MediaBackend& backend_;
  std::map<std::string, Device> devices_;  // by lower-case name or alias
};

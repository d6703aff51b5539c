#pragma once
// The music module Veloran_BGM: audio CD tracks and MP3 files driven by media command
// strings, WAV files by the wave-sound call. Every failure is silent and leaves the
// music off; the saver run calls the two periodic checks from its timers.

#include <cstdint>
#include <string>

#include "music.h"
#include "runtime.h"
#include "settings.h"

class MusicPlayer : public Music {
 public:
  // `settings` are read at each call (BGM_Track by CD_Poll, BGM_File by the file players).
  MusicPlayer(MediaCommands& media, const MusicSettings& settings);

  void CD_Open() override;
  void CD_Poll() override;
  bool CD_Ok() const override { return cd_ok_; }
  void CD_Close() override;
  void WAV_Play() override;
  void WAV_Stop() override;
  void MP3_Open() override;
  void MP3_Repeat() override;
  void MP3_Close() override;

  // Sends `command`; its reply, or the error's text, goes to `reply`. 0 on success,
  // -1 for an empty command, else the error code.
  std::int32_t MCI_Command(const std::string& command, std::string& reply);
  // The reply to `command`, or "Error:" followed by the code.
  std::string MCI_Query(const std::string& command);
  // "play DEVICE [from FROM] [to TO]"; the code of MCI_Command.
  std::int32_t MCI_Play(const std::string& device, const std::string& from, const std::string& to);
  // Whether the music file's device answers "playing".
  bool MP3_IsPlaying();

  // The reply (or error text) of the last query or play.
  const std::string& MCI_LastReply() const { return last_reply_; }

 private:
  // A command whose reply and code nobody looks at.
  void Send(const std::string& command);
  // The reply left in a buffer of `size` bytes offered to the device as `length`.
  std::string Reply(const std::string& command, std::uint32_t size, std::uint32_t length);

  MediaCommands& media_;
  const MusicSettings& settings_;
  bool cd_ok_ = false;
  std::string last_reply_;
};

#include "music_player.h"

#include <cctype>
#include <vector>

namespace {

constexpr std::uint32_t kReplySize = 512;      // MCI_Reply
constexpr std::uint32_t kErrorTextSize = 256;  // MCI_ErrorText
constexpr std::uint32_t kCdModeSize = 256;     // CD_Mode, of which 255 are offered
constexpr std::uint32_t kMp3ModeSize = 30;     // MP3_Mode

// "No command string was given", "Error (the text is not available)".
const char kNoCommandText[] = "コマンド文字列が指定されていません";
const char kNoErrorText[] = "Error (文字列が取れません)";

const char kCd[] = "cdaudio";

bool HasErr(const std::string& reply) {
  std::string upper = reply;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper.find("ERR") != std::string::npos;
}

// A track number as the reply states it: blanks around decimal digits. False for
// anything else.
bool TrackNumber(const std::string& text, long* number) {
  std::size_t begin = text.find_first_not_of(" \t");
  std::size_t end = text.find_last_not_of(" \t");
  if (begin == std::string::npos || end - begin > 8) return false;
  long value = 0;
  for (std::size_t i = begin; i <= end; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    value = value * 10 + (text[i] - '0');
  }
  *number = value;
  return true;
}

}  // namespace

MusicPlayer::MusicPlayer(MediaCommands& media, const MusicSettings& settings)
    : media_(media), settings_(settings) {}

std::int32_t MusicPlayer::MCI_Command(const std::string& command, std::string& reply) {
  if (command.empty()) {
    reply = kNoCommandText;
    return -1;
  }
  std::vector<char> buffer(kReplySize, '\0');
  const std::uint32_t code = media_.SendString(command, buffer.data(), kReplySize);
  buffer.back() = '\0';
  if (code != 0) {
    std::vector<char> text(kErrorTextSize, '\0');
    const bool found = media_.GetErrorString(code, text.data(), kErrorTextSize);
    text.back() = '\0';
    reply = found ? std::string(text.data()) : kNoErrorText;
    return static_cast<std::int32_t>(code);
  }
  reply = buffer.data();
  return 0;
}

std::string MusicPlayer::MCI_Query(const std::string& command) {
  const std::int32_t code = MCI_Command(command, last_reply_);
  return code != 0 ? "Error:" + std::to_string(code) : last_reply_;
}

std::int32_t MusicPlayer::MCI_Play(const std::string& device, const std::string& from,
                                   const std::string& to) {
  std::string command = "play " + device;
  if (!from.empty()) command += " from " + from;
  if (!to.empty()) command += " to " + to;
  return MCI_Command(command, last_reply_);
}

void MusicPlayer::Send(const std::string& command) { media_.SendString(command, nullptr, 0); }

std::string MusicPlayer::Reply(const std::string& command, std::uint32_t size, std::uint32_t length) {
  std::vector<char> buffer(size, '\0');
  media_.SendString(command, buffer.data(), length);
  buffer.back() = '\0';
  return buffer.data();
}

void MusicPlayer::CD_Open() {
  Send("open cdaudio");
  Send("set cdaudio time format tmsf");
}

void MusicPlayer::CD_Poll() {
  cd_ok_ = true;
  const std::string current = MCI_Query("status cdaudio current track");
  if (HasErr(current)) {
    cd_ok_ = false;
    return;
  }
  const std::string count = MCI_Query("status cdaudio number of tracks");
  if (HasErr(count)) {
    cd_ok_ = false;
    return;
  }
  const bool stopped =
      Reply("status cdaudio mode", kCdModeSize, kCdModeSize - 1).compare(0, 7, "stopped") == 0;

  if (settings_.BGM_Track == 0) {
    if (stopped) MCI_Play(kCd, "", "");
    return;
  }
  // The current track is read as a number whatever the mode: a reply that is not one
  // ends polling.
  long current_track = 0;
  if (!TrackNumber(current, &current_track)) {
    cd_ok_ = false;
    return;
  }
  if (stopped || current_track != settings_.BGM_Track) {
    const std::string position =
        MCI_Query("status cdaudio position track " + std::to_string(settings_.BGM_Track));
    MCI_Play(kCd, position, "");
  }
}

void MusicPlayer::CD_Close() {
  Send("stop cdaudio");
  Send("close cdaudio");
}

void MusicPlayer::MP3_Open() {
  if (media_.SendString("open \"" + settings_.BGM_File + "\" type MPEGVideo Alias MP3Play", nullptr, 0) == 0)
    Send("play MP3Play");
}

bool MusicPlayer::MP3_IsPlaying() {
  return Reply("status MP3Play mode", kMp3ModeSize, kMp3ModeSize).compare(0, 7, "playing") == 0;
}

void MusicPlayer::MP3_Repeat() {
  if (MP3_IsPlaying()) return;
  Send("stop MP3Play");
  Send("play MP3Play from 0");
}

void MusicPlayer::MP3_Close() {
  Send("stop MP3Play");
  Send("close MP3Play");
}

void MusicPlayer::WAV_Play() {
  // A file that is missing or cannot be played plays nothing, not the system's
  // default sound on loop for the whole run.
  if (media_.WaveOutDevices() > 0)
    media_.PlayWave(settings_.BGM_File.c_str(), kSoundAsync | kSoundNoDefault | kSoundLoop);
}

void MusicPlayer::WAV_Stop() { media_.PlayWave(nullptr, 0); }

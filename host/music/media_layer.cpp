#include "media_layer.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace me = media_error;

namespace {

// The errors this layer gives, with their texts. The numbers are the Windows media
// control interface's own, so that a reply means the same on both platforms:
//
//   259  a word of the command is not known (status or set of an unknown item, an
//        unknown flag of open)
//   261  the command itself is not known
//   263  no device is open under that name (also: a device type other than cdaudio or
//        MPEGVideo, a file opened without a type)
//   266  no CD drive, or the drive or disc image named cannot be opened
//   268  the reply does not fit in the buffer offered
//   270  a position or track number that is not a number
//   273  a word that needs a value came without one (from, to, alias, type, track, ...)
//   274  the device cannot do that (track queries on a music file)
//   275  the file does not exist or cannot be read
//   276  the CD is not ready: still being read, no disc, or no audio on it
//   277  no sound output (no sound server), or the sound could not be started
//   282  a position or track outside the disc or the file
//   289  the name or alias is already open
//   292  no device named
//   293  a time format the device does not know
//   294  a double quote is not closed
//   296  the file cannot be played (not a music file the decoders know)
//   305  characters right after a closing double quote
struct ErrorText {
  std::uint32_t code;
  const char* text;
};
constexpr std::uint32_t kMissingDeviceName = 292;
// clang-format off
const ErrorText kErrorTexts[] = {
    {me::kUnrecognizedKeyword, "The driver cannot recognize the specified command parameter."},
    {me::kUnrecognizedCommand, "The driver cannot recognize the specified command."},
    {me::kDeviceNotOpen, "The specified device is not open or is not recognized by MCI."},
    {me::kCannotLoadDriver, "There is an undetectable problem in loading the specified device driver."},
    {me::kReplyTooLong, "The output string was too large to fit in the return buffer. Increase the size of the buffer."},
    {me::kBadInteger, "The specified integer is invalid for this command."},
    {me::kMissingParameter, "The specified command requires a parameter. Please supply one."},
    {me::kUnsupported, "The MCI device the system is using does not support the specified command."},
    {me::kFileNotFound, "Cannot find the specified file. Make sure the path and filename are correct."},
    {me::kNotReady, "The device is not ready."},
    {me::kInternal, "A problem occurred in initializing MCI."},
    {me::kOutOfRange, "The specified parameter is out of range for the specified command."},
    {me::kDuplicateAlias, "The specified alias is already being used in this application. Use a unique alias."},
    {kMissingDeviceName, "The specified command requires an alias, file, driver, or device name. Please supply one."},
    {me::kBadTimeFormat, "The specified value for the time format is invalid."},
    {me::kNoClosingQuote, "A closing double-quotation mark is missing from the parameter value. Please supply one."},
    {me::kCannotPlayFile, "The specified file cannot be played on the specified MCI device. The file may be corrupt, "
                          "or not in the correct format."},
    {me::kExtraCharacters, "Cannot specify extra characters after a string enclosed in quotation marks."},
};
// clang-format on

constexpr std::int32_t kSectorsPerSecond = 75;
// Absolute (msf and millisecond) CD positions count the two seconds before track 1.
constexpr std::int32_t kLeadIn = 2 * kSectorsPerSecond;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Splits a command into words at blanks; a word in double quotes keeps its blanks.
std::uint32_t SplitWords(const std::string& command, std::vector<std::string>* words) {
  std::size_t i = 0;
  const std::size_t n = command.size();
  while (i < n) {
    if (Blank(command[i])) {
      ++i;
      continue;
    }
    if (command[i] == '"') {
      const std::size_t close = command.find('"', i + 1);
      if (close == std::string::npos) return me::kNoClosingQuote;
      words->push_back(command.substr(i + 1, close - i - 1));
      i = close + 1;
      if (i < n && !Blank(command[i])) return me::kExtraCharacters;
      continue;
    }
    std::size_t j = i;
    while (j < n && !Blank(command[j])) ++j;
    words->push_back(command.substr(i, j - i));
    i = j;
  }
  return 0;
}

// A whole decimal number of at most 9 digits.
bool Number(const std::string& text, std::int64_t* value) {
  if (text.empty() || text.size() > 9) return false;
  std::int64_t v = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    v = v * 10 + (c - '0');
  }
  *value = v;
  return true;
}

// "a:b:c" into at most `max_fields` numbers, each within its limit. Missing fields
// on the right are 0.
std::uint32_t Fields(const std::string& text, std::size_t max_fields, const std::int64_t* limits,
                     std::int64_t* out) {
  std::size_t field = 0, begin = 0;
  for (;;) {
    const std::size_t colon = text.find(':', begin);
    const std::string part =
        text.substr(begin, colon == std::string::npos ? std::string::npos : colon - begin);
    if (field >= max_fields) return me::kBadInteger;
    std::int64_t v = 0;
    if (!Number(part, &v)) return me::kBadInteger;
    if (v > limits[field]) return me::kOutOfRange;
    out[field++] = v;
    if (colon == std::string::npos) break;
    begin = colon + 1;
  }
  for (; field < max_fields; ++field) out[field] = 0;
  return 0;
}

std::string TwoDigits(std::int64_t v) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%02lld", static_cast<long long>(v));
  return buf;
}

// Minutes, seconds and frames of a count of sectors.
std::string Msf(std::int32_t sectors) {
  if (sectors < 0) sectors = 0;
  return TwoDigits(sectors / (60 * kSectorsPerSecond)) + ":" + TwoDigits(sectors / kSectorsPerSecond % 60) +
         ":" + TwoDigits(sectors % kSectorsPerSecond);
}

std::int32_t DiscEnd(const std::vector<DiscTrack>& tracks) {
  return tracks.empty() ? 0 : tracks.back().start + tracks.back().length;
}

// The index of the track holding `sector` (the last one for the disc's end).
std::size_t TrackAt(const std::vector<DiscTrack>& tracks, std::int32_t sector) {
  std::size_t i = 0;
  while (i + 1 < tracks.size() && sector >= tracks[i + 1].start) ++i;
  return i;
}

const DiscTrack* TrackNumbered(const std::vector<DiscTrack>& tracks, std::int64_t number) {
  for (const DiscTrack& t : tracks)
    if (t.number == number) return &t;
  return nullptr;
}

// Takes "wait" and "notify" out: there is no window to notify, and nothing here
// waits for the sound.
std::vector<std::string> WithoutFlags(std::vector<std::string> words) {
  words.erase(std::remove_if(words.begin(), words.end(),
                             [](const std::string& w) {
                               const std::string l = Lower(w);
                               return l == "wait" || l == "notify";
                             }),
              words.end());
  return words;
}

}  // namespace

MediaLayer::MediaLayer(MediaBackend& backend) : backend_(backend) {}

MediaLayer::~MediaLayer() { CloseAll(); }

std::uint32_t MediaLayer::SendString(const std::string& command, char* reply, std::uint32_t length) {
  std::string text;
  std::uint32_t code = Execute(command, &text);
  if (code != 0) text.clear();
  if (reply && length > 0) {
    if (text.size() >= length) {
      text.resize(length - 1);
      if (code == 0) code = me::kReplyTooLong;
    }
    std::memcpy(reply, text.c_str(), text.size() + 1);
  }
  return code;
}

bool MediaLayer::GetErrorString(std::uint32_t code, char* text, std::uint32_t length) {
  const char* found = nullptr;
  for (const ErrorText& e : kErrorTexts)
    if (e.code == code) found = e.text;
  if (text && length > 0) {
    const std::size_t n = found ? std::min<std::size_t>(std::strlen(found), length - 1) : 0;
    if (n) std::memcpy(text, found, n);
    text[n] = '\0';
  }
  return found != nullptr;
}

std::uint32_t MediaLayer::WaveOutDevices() { return backend_.WaveOutDevices(); }

bool MediaLayer::PlayWave(const char* name, std::uint32_t flags) {
  backend_.StopWave();
  if (!name) return true;
  // A sound played to its end before returning would hold the user-interface thread.
  if (!(flags & kSoundAsync) || !(flags & kSoundLoop)) return false;
  return backend_.PlayWaveLoop(name);
}

void MediaLayer::CloseAll() {
  for (auto& entry : devices_) Stop(entry.second, Mode::kStopped);
  devices_.clear();
  backend_.StopWave();
}

std::uint32_t MediaLayer::Execute(const std::string& command, std::string* reply) {
  reply->clear();
  Words words;
  if (const std::uint32_t code = SplitWords(command, &words)) return code;
  if (words.empty()) return me::kUnrecognizedCommand;
  const std::string verb = Lower(words[0]);
  static const char* const kVerbs[] = {"open", "close", "play", "stop", "pause", "resume", "status", "set"};
  if (std::find(std::begin(kVerbs), std::end(kVerbs), verb) == std::end(kVerbs))
    return me::kUnrecognizedCommand;
  if (words.size() < 2) return kMissingDeviceName;
  if (verb == "open") return Open(WithoutFlags(words), reply);

  const std::string name = Lower(words[1]);
  if (verb == "close" && name == "all" && words.size() == 2) {
    CloseAll();
    return 0;
  }
  auto found = devices_.find(name);
  if (found == devices_.end()) return me::kDeviceNotOpen;
  Device& device = found->second;
  const Words rest = WithoutFlags(Words(words.begin() + 2, words.end()));

  if (verb == "status") return Status(device, rest, reply);
  if (verb == "set") return Set(device, rest);
  if (verb == "play") return Play(device, rest);
  if (!rest.empty()) return me::kUnrecognizedKeyword;
  if (verb == "stop") return Stop(device, Mode::kStopped);
  if (verb == "pause") return Stop(device, Mode::kPaused);
  if (verb == "resume") {
    Refresh(device);
    return device.mode == Mode::kPaused ? Play(device, {}) : 0;
  }
  // close
  Stop(device, Mode::kStopped);
  devices_.erase(found);
  return 0;
}

std::uint32_t MediaLayer::Open(const Words& words, std::string*) {
  const std::string element = words[1];
  std::string type, alias;
  for (std::size_t i = 2; i < words.size(); ++i) {
    const std::string word = Lower(words[i]);
    if (word == "shareable") continue;
    if (word != "type" && word != "alias") return me::kUnrecognizedKeyword;
    if (i + 1 >= words.size()) return me::kMissingParameter;
    (word == "type" ? type : alias) = words[++i];
  }
  type = Lower(type);
  const bool cd = type == "cdaudio" || (type.empty() && Lower(element) == "cdaudio");
  if (!cd && type != "mpegvideo") return me::kDeviceNotOpen;

  const std::string name = Lower(alias.empty() ? element : alias);
  if (devices_.count(name)) return me::kDuplicateAlias;

  Device device;
  std::uint32_t error = me::kInternal;
  if (cd) {
    device.cd = backend_.OpenCd(&error);
    if (!device.cd) return error ? error : me::kCannotLoadDriver;
    device.format = TimeFormat::kMsf;
  } else {
    device.stream = backend_.OpenFile(element, &error);
    if (!device.stream) return error ? error : me::kFileNotFound;
  }
  devices_.emplace(name, std::move(device));
  return 0;
}

std::uint32_t MediaLayer::Set(Device& device, const Words& words) {
  if (words.empty()) return me::kMissingParameter;
  if (words.size() < 2 || Lower(words[0]) != "time" || Lower(words[1]) != "format")
    return me::kUnrecognizedKeyword;
  if (words.size() < 3) return me::kMissingParameter;
  if (words.size() > 3) return me::kUnrecognizedKeyword;
  const std::string format = Lower(words[2]);
  if (format == "milliseconds" || format == "ms") {
    device.format = TimeFormat::kMilliseconds;
  } else if (device.cd && format == "msf") {
    device.format = TimeFormat::kMsf;
  } else if (device.cd && format == "tmsf") {
    device.format = TimeFormat::kTmsf;
  } else {
    return me::kBadTimeFormat;
  }
  return 0;
}

void MediaLayer::Refresh(Device& device) {
  if (device.mode != Mode::kPlaying) return;
  if (device.stream && !device.stream->Playing()) device.mode = Mode::kStopped;
  if (device.cd && !device.cd->Playing()) {
    device.cd_position = device.cd->Position();
    device.mode = Mode::kStopped;
  }
}

std::uint32_t MediaLayer::Status(Device& device, const Words& words, std::string* reply) {
  if (words.empty()) return me::kMissingParameter;
  if (device.cd) return CdStatus(device, words, reply);

  std::string phrase;
  for (const std::string& w : words) phrase += (phrase.empty() ? "" : " ") + Lower(w);
  Refresh(device);
  if (phrase == "mode") {
    *reply = device.mode == Mode::kPlaying ? "playing" : device.mode == Mode::kPaused ? "paused" : "stopped";
  } else if (phrase == "ready" || phrase == "media present") {
    *reply = "true";
  } else if (phrase == "time format") {
    *reply = "milliseconds";
  } else if (phrase == "position") {
    *reply = std::to_string(device.stream->PositionMs());
  } else if (phrase == "length") {
    *reply = std::to_string(std::max<std::int64_t>(device.stream->LengthMs(), 0));
  } else if (phrase == "current track" || phrase == "number of tracks" ||
             phrase.rfind("position track", 0) == 0 || phrase.rfind("length track", 0) == 0) {
    return me::kUnsupported;  // a music file has no tracks
  } else {
    return me::kUnrecognizedKeyword;
  }
  return 0;
}

std::uint32_t MediaLayer::CdStatus(Device& device, const Words& words, std::string* reply) {
  std::string phrase;
  for (const std::string& w : words) phrase += (phrase.empty() ? "" : " ") + Lower(w);
  const bool track_item = words.size() == 3 && Lower(words[1]) == "track" &&
                          (Lower(words[0]) == "position" || Lower(words[0]) == "length");
  if (words.size() == 2 && Lower(words[1]) == "track" &&
      (phrase == "position track" || phrase == "length track"))
    return me::kMissingParameter;
  static const char* const kItems[] = {"mode",          "ready",      "media present",
                                       "current track", "length",     "number of tracks",
                                       "position",      "time format"};
  if (!track_item && std::find(std::begin(kItems), std::end(kItems), phrase) == std::end(kItems))
    return me::kUnrecognizedKeyword;

  const CdDrive::Disc disc = device.cd->State();
  if (phrase == "time format") {
    *reply = device.format == TimeFormat::kTmsf  ? "tmsf"
             : device.format == TimeFormat::kMsf ? "msf"
                                                 : "milliseconds";
    return 0;
  }
  if (phrase == "mode") {
    Refresh(device);
    *reply = disc != CdDrive::Disc::kReady   ? "not ready"
             : device.mode == Mode::kPlaying ? "playing"
             : device.mode == Mode::kPaused  ? "paused"
                                             : "stopped";
    return 0;
  }
  if (phrase == "ready" || phrase == "media present") {
    *reply = disc == CdDrive::Disc::kReady ? "true" : "false";
    return 0;
  }
  // While the drive spins up it is on its first track with no track known yet, so
  // that a poll waits for it instead of giving up.
  if (disc == CdDrive::Disc::kPending && phrase == "current track") {
    *reply = "1";
    return 0;
  }
  if (disc == CdDrive::Disc::kPending && phrase == "number of tracks") {
    *reply = "0";
    return 0;
  }
  if (disc != CdDrive::Disc::kReady) return me::kNotReady;

  const std::vector<DiscTrack> tracks = device.cd->Tracks();
  if (phrase == "number of tracks") {
    *reply = std::to_string(tracks.size());
    return 0;
  }
  if (phrase == "current track") {
    *reply = std::to_string(tracks[TrackAt(tracks, CdPosition(device))].number);
    return 0;
  }
  if (phrase == "position") {
    *reply = FormatCd(device, tracks, CdPosition(device));
    return 0;
  }
  if (phrase == "length") {
    const std::int32_t length = DiscEnd(tracks) - tracks.front().start;
    *reply = device.format == TimeFormat::kMilliseconds
                 ? std::to_string(std::int64_t{length} * 1000 / kSectorsPerSecond)
                 : Msf(length);
    return 0;
  }
  // position track N, length track N
  std::int64_t number = 0;
  if (!Number(words[2], &number)) return me::kBadInteger;
  const DiscTrack* track = TrackNumbered(tracks, number);
  if (!track) return me::kOutOfRange;
  if (Lower(words[0]) == "position") {
    *reply = FormatCd(device, tracks, track->start);
  } else {
    *reply = device.format == TimeFormat::kMilliseconds
                 ? std::to_string(std::int64_t{track->length} * 1000 / kSectorsPerSecond)
                 : Msf(track->length);
  }
  return 0;
}

std::int32_t MediaLayer::CdPosition(Device& device) {
  Refresh(device);
  if (device.mode == Mode::kPlaying) return device.cd->Position();
  if (device.cd_position < 0) {
    // A new disc stands at its first track of sound (a mixed disc may open with data).
    const std::vector<DiscTrack> tracks = device.cd->Tracks();
    for (const DiscTrack& track : tracks)
      if (track.audio) return track.start;
    return tracks.empty() ? 0 : tracks.front().start;
  }
  return device.cd_position;
}

std::string MediaLayer::FormatCd(const Device& device, const std::vector<DiscTrack>& tracks,
                                 std::int32_t sector) const {
  switch (device.format) {
    case TimeFormat::kMilliseconds:
      return std::to_string((std::int64_t{sector} + kLeadIn) * 1000 / kSectorsPerSecond);
    case TimeFormat::kMsf: return Msf(sector + kLeadIn);
    case TimeFormat::kTmsf: break;
  }
  const DiscTrack& track = tracks[TrackAt(tracks, sector)];
  return TwoDigits(track.number) + ":" + Msf(sector - track.start);
}

std::uint32_t MediaLayer::ParseCd(const Device& device, const std::vector<DiscTrack>& tracks,
                                  const std::string& text, std::int32_t* sector) const {
  std::int64_t f[4] = {};
  std::int64_t at = 0;
  if (device.format == TimeFormat::kMilliseconds) {
    if (!Number(text, &f[0])) return me::kBadInteger;
    at = f[0] * kSectorsPerSecond / 1000 - kLeadIn;
  } else if (device.format == TimeFormat::kMsf) {
    static const std::int64_t limits[] = {99, 59, 74};
    if (const std::uint32_t code = Fields(text, 3, limits, f)) return code;
    at = (f[0] * 60 + f[1]) * kSectorsPerSecond + f[2] - kLeadIn;
  } else {
    static const std::int64_t limits[] = {99, 99, 59, 74};
    if (const std::uint32_t code = Fields(text, 4, limits, f)) return code;
    const DiscTrack* track = TrackNumbered(tracks, f[0]);
    if (!track) return me::kOutOfRange;
    at = track->start + (f[1] * 60 + f[2]) * kSectorsPerSecond + f[3];
  }
  if (at < tracks.front().start) at = tracks.front().start;
  if (at > DiscEnd(tracks)) return me::kOutOfRange;
  *sector = static_cast<std::int32_t>(at);
  return 0;
}

std::uint32_t MediaLayer::Play(Device& device, const Words& words) {
  const std::string* from = nullptr;
  const std::string* to = nullptr;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string word = Lower(words[i]);
    if (word != "from" && word != "to") return me::kUnrecognizedKeyword;
    if (i + 1 >= words.size()) return me::kMissingParameter;
    (word == "from" ? from : to) = &words[++i];
  }
  if (device.cd) return CdPlay(device, from, to);

  std::int64_t from_ms = -1, to_ms = -1;
  if (from && !Number(*from, &from_ms)) return me::kBadInteger;
  if (to && !Number(*to, &to_ms)) return me::kBadInteger;
  const std::int64_t length = device.stream->LengthMs();
  if (length >= 0 && (from_ms > length || to_ms > length)) return me::kOutOfRange;
  if (to_ms >= 0 && from_ms >= 0 && to_ms < from_ms) return me::kOutOfRange;
  if (!device.stream->Play(from_ms, to_ms)) {
    device.mode = Mode::kStopped;
    return me::kCannotPlayFile;
  }
  device.mode = Mode::kPlaying;
  return 0;
}

std::uint32_t MediaLayer::CdPlay(Device& device, const std::string* from, const std::string* to) {
  if (device.cd->State() != CdDrive::Disc::kReady) return me::kNotReady;
  const std::vector<DiscTrack> tracks = device.cd->Tracks();
  std::int32_t start = 0, end = 0;
  if (from) {
    if (const std::uint32_t code = ParseCd(device, tracks, *from, &start)) return code;
  } else {
    start = CdPosition(device);
  }
  // Like a drive, play runs on through the following tracks, up to the first that
  // holds data rather than sound.
  std::size_t last = TrackAt(tracks, start);
  if (!tracks[last].audio) return me::kOutOfRange;
  while (last + 1 < tracks.size() && tracks[last + 1].audio) ++last;
  end = tracks[last].start + tracks[last].length;
  if (to) {
    std::int32_t stop_at = 0;
    if (const std::uint32_t code = ParseCd(device, tracks, *to, &stop_at)) return code;
    if (stop_at < start) return me::kOutOfRange;
    end = std::min(end, stop_at);
  }
  if (device.mode == Mode::kPlaying) device.cd->Stop();
  device.mode = Mode::kStopped;
  device.cd_position = start;
  if (start >= end) return 0;  // at the end: nothing left to play
  if (!device.cd->Play(start, end)) return me::kInternal;
  device.mode = Mode::kPlaying;
  return 0;
}

std::uint32_t MediaLayer::Stop(Device& device, Mode mode) {
  Refresh(device);
  if (device.mode != Mode::kPlaying) {
    if (mode == Mode::kStopped) device.mode = Mode::kStopped;
    return 0;
  }
  if (device.stream) device.stream->Stop();
  if (device.cd) {
    device.cd_position = device.cd->Position();
    device.cd->Stop();
  }
  device.mode = mode;
  return 0;
}

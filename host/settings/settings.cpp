// The settings file: the music settings, GetIni / PutIni over the platform's profile
// calls, LoadSettings, FileExists, FolderOf and the number conversion of stored values.

#include "settings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <vector>

#include "veloran_names.h"

int32_t API_Result = 0;

const char kSettingsSection[] = "Section";
const char kKeyKind[] = "BGM\x8B\xE6\x95\xAA";       // BGM区分
const char kKeyTrack[] = "BGM\xD8\xCB\xDF\xB0\xC4";  // BGMﾘﾋﾟｰﾄ
const char kKeyFile[] = "BGM\xCC\xA7\xB2\xD9";       // BGMﾌｧｲﾙ

namespace {

constexpr uint32_t kProfileBufferSize = 256;
constexpr size_t kProfileNameLength = 128;
// Far beyond any value a settings file holds (the Linux reader reads no larger file).
constexpr uint32_t kLongestValue = 32u << 20;

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// The first `count` characters of a code page 932 name (a double-byte character is
// one character), the way a fixed-length text of that many characters holds it.
std::string FirstCharacters(const std::string& name, size_t count) {
  size_t pos = 0;
  for (size_t chars = 0; chars < count && pos < name.size(); ++chars) {
    pos += (IsLeadByte(static_cast<unsigned char>(name[pos])) && pos + 1 < name.size()) ? 2 : 1;
  }
  return name.substr(0, pos);
}

// Whether the text, as far as the platform sees it (up to its first NUL), holds a line
// break.
bool HasLineBreak(const std::string& text) { return std::strpbrk(text.c_str(), "\r\n") != nullptr; }

// The whole value of a key, however long (GetIni cuts it); empty when it is missing.
std::string WholeValue(ProfileFile& profile, const char* section, const char* key, const std::string& file) {
  for (uint32_t size = kProfileBufferSize;; size *= 2) {
    std::vector<char> buffer(size, '\0');
    const uint32_t got = profile.GetString(section, key, "", buffer.data(), size, file.c_str());
    buffer.back() = '\0';
    // A cut value fills the buffer but for its NUL (and a lone lead byte).
    if (got + 2 < size || size >= kLongestValue) return std::string(buffer.data());
  }
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string GetIni(ProfileFile& profile, const std::string& section, const std::string& key,
                   const std::string& file) {
  std::vector<char> buffer(kProfileBufferSize, '\0');
  profile.GetString(section.c_str(), key.c_str(), "", buffer.data(), kProfileBufferSize, file.c_str());
  buffer.back() = '\0';  // never trust the callee to have terminated it
  return std::string(buffer.data());
}

std::string PutIni(ProfileFile& profile, const std::string& section, const std::string& key,
                   const std::string& value, const std::string& file) {
  // The names travel in fixed-length texts of 128 characters; the platform sees them
  // up to their first NUL.
  const std::string section_name = FirstCharacters(section, kProfileNameLength);
  const std::string key_name = FirstCharacters(key, kProfileNameLength);
  // A line break would write lines of its own into the file (a Linux file name may
  // hold one): such a write is refused and the file left as it is.
  if (HasLineBreak(section_name) || HasLineBreak(key_name) || HasLineBreak(value)) {
    API_Result = 0;
    return std::string();
  }
  API_Result = profile.WriteString(section_name.c_str(), key_name.c_str(), value.c_str(), file.c_str());
  return std::string();
}

std::string SettingsFile(ProfileFile& profile, const std::string& program_folder) {
  return profile.SettingsFilePath(program_folder + kSettingsFile);
}

MusicSettings LoadSettings(ProfileFile& profile, const std::string& program_folder) {
  const std::string file = SettingsFile(profile, program_folder);
  const std::string section = kSettingsSection;
  MusicSettings music;

  music.BGM_Kind = IniNumber(GetIni(profile, section, kKeyKind, file));
  music.BGM_Track = IniNumber(GetIni(profile, section, kKeyTrack, file));

  // A stored music file that is gone (or cannot be read) is forgotten, and with it
  // the file kind of music.
  music.BGM_File = GetIni(profile, section, kKeyFile, file);
  if (!music.BGM_File.empty() && !FileExists(profile, music.BGM_File)) music.BGM_File.clear();
  if (music.BGM_File.empty() && music.BGM_Kind == 2) music.BGM_Kind = 0;

  music.BGM_Folder = music.BGM_File.empty() ? program_folder : FolderOf(music.BGM_File, profile.Paths());
  return music;
}

bool SaveSettings(ProfileFile& profile, const std::string& program_folder, const MusicSettings& music) {
  const std::string file = SettingsFile(profile, program_folder);
  struct Write {
    const char* key;
    std::string value;
    std::string before;
  };
  Write writes[] = {{kKeyKind, SignedDecimal(music.BGM_Kind), {}},
                    {kKeyTrack, SignedDecimal(music.BGM_Track), {}},
                    {kKeyFile, music.BGM_File, {}}};
  for (Write& w : writes) {
    if (HasLineBreak(w.value)) {
      API_Result = 0;
      return false;
    }
    w.before = WholeValue(profile, kSettingsSection, w.key, file);
  }
  for (size_t i = 0; i < std::size(writes); ++i) {
    PutIni(profile, kSettingsSection, writes[i].key, writes[i].value, file);
    if (API_Result != 0) continue;
    // The keys written so far get back what they held: a half-changed file would mix
    // the new choice with the old one.
    while (i-- > 0) PutIni(profile, kSettingsSection, writes[i].key, writes[i].before, file);
    API_Result = 0;
    return false;
  }
  return true;
}

bool FileExists(ProfileFile& profile, const std::string& path) {
  std::string name = path;
  if (!name.empty() && name.back() == profile.Paths().separator) name.pop_back();
  if (name.empty()) return false;
  return profile.OpenForReading(name);
}

std::string FolderOf(const std::string& path, const PathStyle& style) {
  size_t p = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if (c == style.separator || (style.drive_mark != '\0' && c == style.drive_mark)) p = i + 1;
  }
  std::string folder = path.substr(0, p);
  if (!folder.empty() && folder.back() == style.separator) folder.pop_back();
  return folder;
}

bool ParseDecimal(const std::string& text, double* value) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;

  // Accept exactly: [+-] digits [. digits] [e [+-] digits], with at least one digit
  // in the mantissa. Everything else is not a number.
  size_t i = begin;
  bool negative = false;
  if (i < end && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t number_start = i;
  size_t mantissa_digits = 0;
  while (i < end && IsDigit(text[i])) ++i, ++mantissa_digits;
  if (i < end && text[i] == '.') {
    ++i;
    while (i < end && IsDigit(text[i])) ++i, ++mantissa_digits;
  }
  if (mantissa_digits == 0) return false;
  const size_t mantissa_end = i;
  if (i < end && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < end && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exponent_digits = 0;
    while (i < end && IsDigit(text[i])) ++i, ++exponent_digits;
    if (exponent_digits == 0) return false;
  }
  if (i != end) return false;

  double parsed = 0.0;
  const char* first = text.data() + number_start;
  const auto result = std::from_chars(first, text.data() + end, parsed);
  if (result.ec == std::errc::result_out_of_range) {
    // Beyond a double's range: too large when its first non-zero digit's place plus
    // its exponent is 0 or more, else too small.
    const char* const mantissa_last = text.data() + mantissa_end;
    long long place = -1;  // where the first digit stands: it is worth 10^place
    for (const char* p = first; p < mantissa_last && IsDigit(*p); ++p) ++place;
    for (const char* p = first; p < mantissa_last && (*p == '0' || *p == '.'); ++p)
      if (*p == '0') --place;
    constexpr long long kFarOut = 1'000'000'000'000'000;  // any more says nothing new
    long long exponent = 0;
    if (mantissa_end < end) {
      size_t e = mantissa_end + 1;
      const bool below = text[e] == '-';
      if (text[e] == '+' || below) ++e;
      for (; e < end; ++e) exponent = std::min(exponent * 10 + (text[e] - '0'), kFarOut);
      if (below) exponent = -exponent;
    }
    if (place + exponent < 0) return false;
    parsed = HUGE_VAL;
  } else if (result.ec != std::errc() || result.ptr != text.data() + end) {
    return false;
  }
  *value = negative ? -parsed : parsed;
  return true;
}

int16_t IniNumber(const std::string& text, int16_t fallback) {
  double value = 0.0;
  if (!ParseDecimal(text, &value)) return fallback;
  const double floored = std::floor(value);
  // Out of range, infinity included.
  if (!(floored >= -32768.0 && floored <= 32767.0)) return fallback;
  return static_cast<int16_t>(floored);
}

std::string SignedDecimal(long value) { return (value >= 0 ? " " : "") + std::to_string(value); }

std::string FileEnding(const std::string& file) {
  std::string ending = file.size() > 3 ? file.substr(file.size() - 3) : file;
  for (char& c : ending) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ending;
}

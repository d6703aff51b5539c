// Linux side of the settings file: our own reader and writer of Windows profile (INI)
// files, behaving like the Windows profile calls on this format; files opened with
// open(2); and the settings file kept in the per-user config folder
// ($XDG_CONFIG_HOME/veloran/Veloran.ini, XDG_CONFIG_HOME defaulting to ~/.config).
//
// How a file is read:
//  - an optional UTF-8 byte order mark is skipped (and written back later);
//  - lines end at CR or LF; blanks (space, tab, CR, LF, VT, FF and ^Z) around a line
//    are ignored, and empty lines are dropped;
//  - "[name]" starts a section; the name runs to the last "]" of the line, blanks
//    around it dropped;
//  - any other line is a key line: the name up to the first "=" and the value after
//    it, blanks around both removed. A line without "=" is kept as a name without a
//    value (a comment, for instance); lines before the first header are kept too, and
//    an empty section name stands for them;
//  - section and key names match without regard to ASCII case, after blanks around
//    the asked-for name are dropped; the second byte of a code page 932 character is
//    compared as it stands. When a section or key appears twice, the first one counts;
//  - a value in matching single or double quotes comes back without them; a value is
//    cut to fit the caller's buffer, never inside a double-byte character.
// How a file is written: a value (blanks before it dropped) is set in the first
// matching section, which is added at the end of the file when missing: in place when
// the key exists, otherwise as a new key after the last line of that section. Writing
// the value a key already has changes nothing. Otherwise the whole file is written
// anew in the normal form (CR LF line ends, "[name]" and "name=value" lines, empty
// lines dropped), to a temporary file in the same folder that then replaces the old
// one, so that a crash never leaves a cut-off settings file behind.
#include "runtime.h"
#include "x11/xdg.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// Far beyond any settings file; a larger file is treated as unreadable.
constexpr off_t kMaxProfileSize = 16 * 1024 * 1024;

bool IsBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1A; }
bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
unsigned char FoldCase(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c; }

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}
std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}
std::string_view Trim(std::string_view s) { return TrimRight(TrimLeft(s)); }

// Names and values end at a NUL byte, should a damaged file hold one.
std::string_view UpToNul(std::string_view s) { return s.substr(0, s.find('\0')); }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (IsLeadByte(x) && i + 1 < a.size()) {
      if (x != y || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (FoldCase(x) != FoldCase(y)) {
      return false;
    }
  }
  return true;
}

// Position of the last "]" that is a character of its own (not the second byte of a
// double-byte character), or npos.
size_t LastCloseBracket(std::string_view line) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < line.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(line[i])) && i + 1 < line.size()) {
      ++i;
    } else if (line[i] == ']') {
      found = i;
    }
  }
  return found;
}

struct Entry {
  std::string name;
  bool has_value = false;
  std::string value;
};

struct Section {
  std::string name;  // empty for the lines before the first section header
  std::vector<Entry> entries;
};

struct Profile {
  bool utf8_mark = false;
  std::vector<Section> sections;  // sections[0] holds the lines before the first header
};

Profile Parse(std::string_view text) {
  Profile profile;
  if (text.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
    profile.utf8_mark = true;
    text.remove_prefix(kUtf8Mark.size());
  }
  profile.sections.emplace_back();
  while (!text.empty()) {
    const size_t line_end = text.find_first_of("\r\n");
    std::string_view line = text.substr(0, line_end);
    text.remove_prefix(line_end == std::string_view::npos ? text.size() : line_end + 1);
    line = Trim(line);
    if (line.empty()) continue;

    if (line.front() == '[') {
      const size_t close = LastCloseBracket(line);
      if (close != std::string_view::npos) {
        profile.sections.push_back(
            Section{std::string(UpToNul(Trim(line.substr(1, close - 1)))), {}});
        continue;
      }
      // Without a closing bracket the line is an ordinary key line.
    }

    std::string_view name = line;
    Entry entry;
    const size_t equals = line.find('=');
    if (equals != std::string_view::npos) {
      name = TrimRight(line.substr(0, equals));
      entry.has_value = true;
      entry.value = std::string(UpToNul(TrimLeft(line.substr(equals + 1))));
    }
    entry.name = std::string(UpToNul(name));
    // Runs of nameless lines ("=x") keep only their first line.
    auto& entries = profile.sections.back().entries;
    if (!name.empty() || entries.empty() || !entries.back().name.empty()) {
      entries.push_back(std::move(entry));
    }
  }
  return profile;
}

std::string Serialize(const Profile& profile) {
  std::string out;
  if (profile.utf8_mark) out += kUtf8Mark;
  for (const Section& section : profile.sections) {
    if (!section.name.empty()) out += "[" + section.name + "]\r\n";
    for (const Entry& entry : section.entries) {
      out += entry.name;
      if (entry.has_value) out += "=" + entry.value;
      out += "\r\n";
    }
  }
  return out;
}

// An empty (or blank) section name stands for the lines before the first header.
Section* FindSection(Profile& profile, std::string_view name) {
  name = Trim(name);
  for (Section& section : profile.sections) {
    if (SameName(section.name, name)) return &section;
  }
  return nullptr;
}

Entry* FindEntry(Section& section, std::string_view name) {
  name = Trim(name);
  for (Entry& entry : section.entries) {
    if (SameName(entry.name, name)) return &entry;
  }
  return nullptr;
}

enum class ReadResult { kRead, kMissing, kFailed };

ReadResult ReadWholeFile(const char* path, std::string& out) {
  out.clear();
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return (errno == ENOENT) ? ReadResult::kMissing : ReadResult::kFailed;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxProfileSize) {
    close(fd);
    return ReadResult::kFailed;
  }
  char chunk[8192];
  for (;;) {
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      close(fd);
      return ReadResult::kFailed;
    }
    if (n == 0) break;
    out.append(chunk, static_cast<size_t>(n));
    if (out.size() > static_cast<size_t>(kMaxProfileSize)) {
      close(fd);
      return ReadResult::kFailed;
    }
  }
  close(fd);
  return ReadResult::kRead;
}

bool MakeFolders(const std::string& folder) {
  if (folder.empty()) return true;
  struct stat info;
  if (stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  const size_t slash = folder.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash))) {
    return false;
  }
  return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Replaces the file at `path` with `bytes` through a temporary file in the same
// folder: readers see either the old file or the new one, never a part. A symbolic
// link keeps pointing at the (new) file it named; an existing file keeps its mode.
bool ReplaceFile(const std::string& path, const std::string& bytes) {
  std::string target = path;
  if (char* resolved = realpath(path.c_str(), nullptr)) {
    target = resolved;
    std::free(resolved);
  }
  const size_t slash = target.find_last_of('/');
  const std::string folder = (slash == std::string::npos) ? "." : target.substr(0, slash);
  const std::string base = (slash == std::string::npos) ? target : target.substr(slash + 1);
  if (slash != std::string::npos && !MakeFolders(folder)) return false;

  struct stat old_info;
  const bool existed = stat(target.c_str(), &old_info) == 0;
  if (existed && !S_ISREG(old_info.st_mode)) return false;
  // A file nobody may write is read-only, as Windows keeps a read-only settings file.
  if (existed && (old_info.st_mode & 0222) == 0) return false;

  std::string temp;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temp = folder + "/." + base + "." + std::to_string(getpid()) + "." +
           std::to_string(attempt) + ".tmp";
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  bool ok = WriteAll(fd, bytes);
  if (ok && existed) ok = fchmod(fd, old_info.st_mode & 07777) == 0;
  if (ok) ok = fsync(fd) == 0;
  if (close(fd) != 0) ok = false;
  if (ok) ok = rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

// The longest prefix of at most `limit` bytes that does not end inside a double-byte
// character of code page 932.
size_t CharacterBoundary(std::string_view text, size_t limit) {
  size_t pos = 0;
  while (pos < limit) {
    const size_t step =
        (IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size()) ? 2 : 1;
    if (pos + step > limit) break;
    pos += step;
  }
  return pos;
}

// Copies a value into the caller's buffer the way the Windows call does: matching
// quotes around it dropped, at most size - 1 bytes, NUL-terminated.
uint32_t CopyValue(std::string_view value, char* buffer, uint32_t size) {
  if (size == 0) return 0;
  bool quoted = false;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    quoted = true;
    value.remove_prefix(1);
  }
  size_t n = std::min<size_t>(value.size(), size - 1);
  if (n < value.size()) n = CharacterBoundary(value, n);
  std::memcpy(buffer, value.data(), n);
  // The closing quote goes only when the whole value fitted (as the platform does it,
  // a value that only just fits loses its last character instead).
  if (quoted && size >= value.size() && n > 0) --n;
  buffer[n] = '\0';
  return static_cast<uint32_t>(n);
}

uint32_t GetProfileString(const char* section, const char* key, const char* default_value,
                          char* buffer, uint32_t size, const char* file) {
  if (buffer == nullptr || size == 0) return 0;
  std::string_view fallback = default_value ? default_value : "";
  while (!fallback.empty() && fallback.back() == ' ') fallback.remove_suffix(1);

  std::string text;
  const ReadResult read = ReadWholeFile(file, text);
  if (read == ReadResult::kRead && section != nullptr && key != nullptr) {
    Profile profile = Parse(text);
    if (Section* found = FindSection(profile, section)) {
      if (Entry* entry = FindEntry(*found, key); entry && entry->has_value) {
        return CopyValue(entry->value, buffer, size);
      }
    }
  }
  return CopyValue(fallback, buffer, size);
}

int32_t WriteProfileString(const char* section, const char* key, const char* value,
                           const char* file) {
  if (section == nullptr || key == nullptr || value == nullptr || file == nullptr) return 0;
  std::string text;
  if (ReadWholeFile(file, text) == ReadResult::kFailed) return 0;
  Profile profile = Parse(text);

  Section* target = FindSection(profile, section);
  if (target == nullptr) {
    profile.sections.push_back(Section{std::string(TrimLeft(section)), {}});
    target = &profile.sections.back();
  }
  Entry* entry = FindEntry(*target, key);
  if (entry == nullptr) {
    target->entries.push_back(Entry{std::string(TrimLeft(key)), false, {}});
    entry = &target->entries.back();
  }
  // Blanks before a value are not kept: they would be lost on the next read anyway.
  const std::string_view new_value = TrimLeft(value);
  if (entry->has_value && entry->value == new_value) return 1;
  entry->has_value = true;
  entry->value = std::string(new_value);
  return ReplaceFile(file, Serialize(profile)) ? 1 : 0;
}

bool OpenFileForReading(const std::string& path) {
  // O_NONBLOCK: a named pipe must not hold the program up.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info;
  const bool ok = fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
  close(fd);
  return ok;
}

std::string SettingsFileIn(const std::string& config_folder, const std::string& windows_name) {
  const size_t backslash = windows_name.find_last_of('\\');
  const std::string base =
      (backslash == std::string::npos) ? windows_name : windows_name.substr(backslash + 1);
  return config_folder + "/veloran/" + base;
}

class IniProfileFile : public ProfileFile {
 public:
  uint32_t GetString(const char* section, const char* key, const char* default_value,
                     char* buffer, uint32_t size, const char* file) override {
    return GetProfileString(section, key, default_value, buffer, size, file);
  }
  int32_t WriteString(const char* section, const char* key, const char* value,
                      const char* file) override {
    return WriteProfileString(section, key, value, file);
  }
  bool OpenForReading(const std::string& path) override { return OpenFileForReading(path); }
  std::string SettingsFilePath(const std::string& windows_name) override {
    return SettingsFileIn(XdgFolder("XDG_CONFIG_HOME", ".config"), windows_name);
  }
  PathStyle Paths() const override { return kLinuxPaths; }
};

}  // namespace

ProfileFile& NativeProfileFile() {
  static IniProfileFile profile;
  return profile;
}

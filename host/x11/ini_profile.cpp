// The profile file on Linux (see ini_profile.h): the settings file is kept in the
// per-user config folder ($XDG_CONFIG_HOME/veloran/Veloran.ini, XDG_CONFIG_HOME
// defaulting to ~/.config).
//
// A write makes the whole file anew, to a temporary file in the same folder that then
// replaces the old one, so that a crash never leaves a cut-off settings file behind.
// Writing the value a key already has, and a refused write, leave the file untouched.
#include "ini_profile.h"

#include "profile_text.h"
#include "x11/xdg.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace {

// Far beyond any settings file; a larger file is treated as unreadable.
constexpr off_t kMaxProfileSize = 16 * 1024 * 1024;

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
    temp = folder + "/." + base + "." + std::to_string(getpid()) + "." + std::to_string(attempt) + ".tmp";
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

uint32_t GetProfileString(const char* section, const char* key, const char* default_value, char* buffer,
                          uint32_t size, const char* file) {
  std::string text;
  const bool read = file != nullptr && ReadWholeFile(file, text) == ReadResult::kRead;
  return ProfileTextGet(read ? &text : nullptr, section, key, default_value, buffer, size);
}

int32_t WriteProfileString(const char* section, const char* key, const char* value, const char* file) {
  if (file == nullptr) return 0;
  std::string text;
  if (ReadWholeFile(file, text) == ReadResult::kFailed) return 0;
  std::string changed;
  switch (ProfileTextPut(text, section, key, value, &changed)) {
    case ProfileEdit::kUnchanged: return 1;
    case ProfileEdit::kChanged: return ReplaceFile(file, changed) ? 1 : 0;
    case ProfileEdit::kRefused: break;
  }
  return 0;
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

}  // namespace

uint32_t IniProfileFile::GetString(const char* section, const char* key, const char* default_value,
                                   char* buffer, uint32_t size, const char* file) {
  return GetProfileString(section, key, default_value, buffer, size, file);
}

int32_t IniProfileFile::WriteString(const char* section, const char* key, const char* value,
                                    const char* file) {
  return WriteProfileString(section, key, value, file);
}

bool IniProfileFile::OpenForReading(const std::string& path) { return OpenFileForReading(path); }

std::string IniProfileFile::SettingsFilePath(const std::string& windows_name) {
  return SettingsFileIn(XdgFolder("XDG_CONFIG_HOME", ".config"), windows_name);
}

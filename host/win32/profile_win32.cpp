// Windows profile file: the settings file's reads and writes go to the Windows profile
// calls, files are opened with CreateFileA, and the settings file sits beside the
// program.
#include <windows.h>

#include "runtime.h"

namespace {

class Win32ProfileFile : public ProfileFile {
 public:
  std::uint32_t GetString(const char* section, const char* key, const char* default_value,
                          char* buffer, std::uint32_t size, const char* file) override {
    return GetPrivateProfileStringA(section, key, default_value, buffer, size, file);
  }

  std::int32_t WriteString(const char* section, const char* key, const char* value,
                           const char* file) override {
    return WritePrivateProfileStringA(section, key, value, file);
  }

  bool OpenForReading(const std::string& path) override {
    // Without FILE_FLAG_BACKUP_SEMANTICS a folder cannot be opened, as it should not.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
  }

  std::string SettingsFilePath(const std::string& windows_name) override { return windows_name; }

  PathStyle Paths() const override { return kWindowsPaths; }
};

}  // namespace

ProfileFile& NativeProfileFile() {
  static Win32ProfileFile profile;
  return profile;
}

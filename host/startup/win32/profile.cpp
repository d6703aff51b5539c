// Windows side of the settings file: the profile calls go to Windows itself, files are
// opened with CreateFileA, and the settings file sits beside the program.
#include <windows.h>

#include "profile.h"
#include "settings.h"

const PathStyle kNativePaths = {'\\', ':'};

uint32_t ProfileGetString(const char* section, const char* key, const char* default_value,
                          char* buffer, uint32_t size, const char* file) {
  return GetPrivateProfileStringA(section, key, default_value, buffer, size, file);
}

int32_t ProfileWriteString(const char* section, const char* key, const char* value,
                           const char* file) {
  return WritePrivateProfileStringA(section, key, value, file);
}

bool OpenForReading(const std::string& path) {
  // Without FILE_FLAG_BACKUP_SEMANTICS a folder cannot be opened, as it should not.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

std::string SettingsFilePath(const std::string& windows_name) { return windows_name; }

// The profile file on Windows (see profile_win32.h).
#include "profile_win32.h"

#include <windows.h>

std::uint32_t Win32ProfileFile::GetString(const char* section, const char* key, const char* default_value,
                                          char* buffer, std::uint32_t size, const char* file) {
  return GetPrivateProfileStringA(section, key, default_value, buffer, size, file);
}

std::int32_t Win32ProfileFile::WriteString(const char* section, const char* key, const char* value,
                                           const char* file) {
  return WritePrivateProfileStringA(section, key, value, file);
}

bool Win32ProfileFile::OpenForReading(const std::string& path) {
  // Without FILE_FLAG_BACKUP_SEMANTICS a folder cannot be opened, as it should not.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

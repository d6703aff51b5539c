#pragma once
// The profile file on Windows: the system's own profile calls and files.
//  [X] reads and writes through GetPrivateProfileStringA and WritePrivateProfileStringA
//  [X] files opened for reading with CreateFileA (folders refused)
//  [X] the settings file beside the program, under the name the host gives it
//  Nothing of ProfileFile is left out.
#include <string>

#include "runtime.h"

class Win32ProfileFile : public ProfileFile {
 public:
  std::uint32_t GetString(const char* section, const char* key, const char* default_value, char* buffer,
                          std::uint32_t size, const char* file) override;
  std::int32_t WriteString(const char* section, const char* key, const char* value,
                           const char* file) override;
  bool OpenForReading(const std::string& path) override;
  std::string SettingsFilePath(const std::string& windows_name) override { return windows_name; }
  PathStyle Paths() const override { return kWindowsPaths; }
};

#pragma once
// The profile file on Linux: the Windows profile calls over our own reader and writer of
// profile text (profile_text.h), on files opened with open(2).
//  [X] reads and writes with the Windows calls' results, the file replaced whole
//  [X] the settings file in the per-user config folder ($XDG_CONFIG_HOME/veloran/)
//  [X] files opened for reading (folders refused, a named pipe not waited for)
//  [ ] the cache Windows keeps of a file read last: each call reads the file anew
#include <string>

#include "runtime.h"

class IniProfileFile : public ProfileFile {
 public:
  std::uint32_t GetString(const char* section, const char* key, const char* default_value, char* buffer,
                          std::uint32_t size, const char* file) override;
  std::int32_t WriteString(const char* section, const char* key, const char* value,
                           const char* file) override;
  bool OpenForReading(const std::string& path) override;
  std::string SettingsFilePath(const std::string& windows_name) override;
  PathStyle Paths() const override { return kLinuxPaths; }
};

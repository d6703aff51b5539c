#pragma once
// What the settings file needs of the platform: the two profile calls, opening a file
// for reading, where the settings file lives, and how paths are spelt. win32/profile.cpp
// passes the profile calls to Windows; linux/profile.cpp reads and writes the same
// file format itself.

#include <cstdint>
#include <string>

// Copies the value of `key` in `section` of `file` into `buffer` (at most size - 1
// bytes and a NUL), or `default_value` when the file, section or key is missing.
// Returns the number of bytes copied, without the NUL.
uint32_t ProfileGetString(const char* section, const char* key, const char* default_value,
                          char* buffer, uint32_t size, const char* file);

// Sets `key` in `section` of `file` to `value`, creating the file, the section and the
// key as needed. Non-zero on success, 0 when the file could not be written.
int32_t ProfileWriteString(const char* section, const char* key, const char* value,
                           const char* file);

// True when `path` can be opened for reading as a file (folders cannot). The file is
// closed again at once.
bool OpenForReading(const std::string& path);

// The file this platform keeps the settings in, for the Windows name
// "<program folder>\Veloran.ini": on Windows that name itself.
std::string SettingsFilePath(const std::string& windows_name);

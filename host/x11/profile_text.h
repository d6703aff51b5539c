#pragma once
// Linux side of the settings file: the profile (INI) reader and writer on the file's
// bytes in memory, without the file itself (ini_profile.cpp reads and replaces the
// file around these). How a file is read and written is told in profile_text.cpp.

#include <cstdint>
#include <string>
#include <string_view>

// Copies the value of `key` in `section` of a file holding `text` (null: there is no
// file) into `buffer` the way the Windows profile call does: at most size - 1 bytes
// and a NUL, never ending inside a double-byte character, or `default_value` (its
// trailing spaces dropped) when the section or key is missing. Returns the bytes
// copied, without the NUL.
std::uint32_t ProfileTextGet(const std::string* text, const char* section, const char* key,
                             const char* default_value, char* buffer, std::uint32_t size);

enum class ProfileEdit {
  kChanged,    // *out holds the new file
  kUnchanged,  // the file already holds this value
  kRefused,    // the value cannot be stored so that it reads back (see ProfileTextPut)
};

// Sets `key` in `section` of a file holding `text` (empty when there is no file) to
// `value`. Refused, leaving the file as it is, when the write would not read back: a
// line break (CR or LF) in the section, key or value, which would add lines of its
// own to the file, and a key that holds "=" or starts with "[" (after blanks), which
// would read back as another key or as a section header.
ProfileEdit ProfileTextPut(std::string_view text, const char* section, const char* key, const char* value,
                           std::string* out);

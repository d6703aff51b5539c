// The Linux settings-file reader and writer on any file and any names and value.
// Input: one byte of buffer size, then section, key and value each ended by a NUL,
// then the file's bytes (which may hold NULs of their own).
//
// Properties: a read fills at most the buffer, NUL-terminated, and a read cut by a
// small buffer is the start of the whole value, cut between characters. A write is
// refused only for the reasons the writer gives; a value it accepts reads back as it
// does from a file holding nothing else, and writing it again never grows the file.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "profile_text.h"

namespace {

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool IsBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1A; }

std::string Get(const std::string* text, const std::string& section, const std::string& key,
                std::uint32_t size) {
  std::vector<char> buffer(size + 1, '\x55');
  const std::uint32_t n = ProfileTextGet(text, section.c_str(), key.c_str(), "", buffer.data(), size);
  FUZZ_CHECK(n < size);
  FUZZ_CHECK(buffer[n] == '\0' && std::strlen(buffer.data()) == n);
  FUZZ_CHECK(buffer[size] == '\x55');  // nothing written past the buffer
  return std::string(buffer.data(), n);
}

// Whether `length` bytes of `text` end between two characters.
bool OnCharacterBoundary(std::string_view text, std::size_t length) {
  std::size_t pos = 0;
  while (pos < length) pos += (IsLeadByte(text[pos]) && pos + 1 < text.size()) ? 2 : 1;
  return pos == length;
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

bool RefusalReason(const std::string& section, const std::string& key, const std::string& value) {
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return true;
  std::size_t start = 0;
  while (start < key.size() && IsBlank(key[start])) ++start;
  return key.find('=', start) != std::string::npos || (start < key.size() && key[start] == '[');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint32_t small = data[0];
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string fields[3];
  for (std::string& field : fields) {
    const std::size_t end = rest.find('\0');
    if (end == std::string_view::npos) break;
    field = std::string(rest.substr(0, end));
    rest.remove_prefix(end + 1);
  }
  const std::string& section = fields[0];
  const std::string& key = fields[1];
  const std::string& value = fields[2];
  const std::string text(rest);
  const std::uint32_t whole = static_cast<std::uint32_t>(text.size() + value.size() + 8);

  // Reads: whole, and cut by a small buffer.
  const std::string full = Get(&text, section, key, whole);
  for (std::uint32_t cut : {1u, 2u, small + 1, 256u}) {
    const std::string part = Get(&text, section, key, cut);
    FUZZ_CHECK(full.compare(0, part.size(), part) == 0);
    FUZZ_CHECK(OnCharacterBoundary(full, part.size()));
  }
  FUZZ_CHECK(Get(nullptr, section, key, whole).empty());

  // A write, and reading it back.
  std::string changed;
  const ProfileEdit edit = ProfileTextPut(text, section.c_str(), key.c_str(), value.c_str(), &changed);
  std::string alone;
  const ProfileEdit fresh = ProfileTextPut("", section.c_str(), key.c_str(), value.c_str(), &alone);
  if (RefusalReason(section, key, value)) {
    FUZZ_CHECK(edit == ProfileEdit::kRefused && fresh == ProfileEdit::kRefused);
    return 0;
  }
  FUZZ_CHECK(edit != ProfileEdit::kRefused && fresh == ProfileEdit::kChanged);
  const std::string expected = Get(&alone, section, key, whole);
  if (edit == ProfileEdit::kUnchanged) {
    FUZZ_CHECK(full == expected);
  } else {
    FUZZ_CHECK(Get(&changed, section, key, whole) == expected);
    // Writing it again and again never grows the file. (A name or value with blanks
    // after it is written as given, as the Windows call does, and read without them:
    // the next write of it makes the file anew without those blanks.)
    std::string second = changed;
    for (int round = 0; round < 2; ++round) {
      std::string again;
      const ProfileEdit edit_again =
          ProfileTextPut(second, section.c_str(), key.c_str(), value.c_str(), &again);
      FUZZ_CHECK(edit_again != ProfileEdit::kRefused);
      if (edit_again == ProfileEdit::kUnchanged) break;
      FUZZ_CHECK(again.size() <= second.size());
      if (round == 1) FUZZ_CHECK(again == second);
      second = again;
    }
  }
  // A plain value (no blanks around it, no opening quote) reads back byte for byte.
  if (!value.empty() && !IsBlank(value.front()) && !IsBlank(value.back()) && value[0] != '"' &&
      value[0] != '\'') {
    FUZZ_CHECK(expected == value);
  }
  return 0;
}

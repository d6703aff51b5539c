// Linux side of the settings file: our own reader and writer of Windows profile (INI)
// text, behaving like the Windows profile calls on this format.
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
//  - a NUL byte, should a damaged file hold one, ends the name or value it stands in;
//    blanks before it are dropped as at the end of the line;
//  - section and key names match without regard to ASCII case, after blanks around
//    them are dropped; the second byte of a code page 932 character is compared as it
//    stands, and a first byte at the end of a name without its second byte is no
//    character and does not count (as the Windows calls drop it). When a section or
//    key appears twice, the first one counts;
//  - a value in matching single or double quotes comes back without them; a value is
//    cut to fit the caller's buffer, never inside a double-byte character.
// How a file is written: a value (blanks before it dropped) is set in the first
// matching section, which is added at the end of the file when missing: in place when
// the key exists, otherwise as a new key after the last line of that section. Writing
// the value a key already has changes nothing. Otherwise the whole file is made anew
// in the normal form (CR LF line ends, "[name]" and "name=value" lines, empty lines
// dropped). A first key that starts with the bytes of a byte order mark, in a file
// without one, gets an empty line before it, so that it stays a key. A write that
// would not read back is refused (see profile_text.h).
#include "profile_text.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

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

// Whether the text's last byte is a character of its own: not the second byte of a
// double-byte character, nor a first byte that lacks its second one.
bool EndsInSingleByte(std::string_view text) {
  size_t i = 0;
  while (i + 1 < text.size()) i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
  return i + 1 == text.size() && !IsLeadByte(static_cast<unsigned char>(text.back()));
}

bool EndsInLoneLeadByte(std::string_view text) {
  size_t i = 0;
  while (i + 1 < text.size()) i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
  return i + 1 == text.size() && IsLeadByte(static_cast<unsigned char>(text.back()));
}

// A section or key name the way the Windows calls take it: a first byte of a
// double-byte character at its end, without its second byte, is no character and is
// dropped.
std::string_view WholeCharacters(std::string_view name) {
  if (EndsInLoneLeadByte(name)) name.remove_suffix(1);
  return name;
}

// What names are compared by: blanks around them dropped, and a lone first byte at
// their end, as long as either is left (a blank that followed a first byte leaves it
// alone).
std::string_view NameKey(std::string_view name) {
  name = Trim(name);
  // Only a tail of blanks and first bytes can go; a character starts where it starts.
  size_t tail = name.size();
  while (tail > 0 && (IsBlank(name[tail - 1]) || IsLeadByte(name[tail - 1]))) --tail;
  if (tail == name.size()) return name;
  std::vector<size_t> starts;  // where each character of the tail starts
  for (size_t i = tail; i < name.size(); i += IsLeadByte(name[i]) ? 2 : 1) starts.push_back(i);
  size_t end = name.size();
  while (end > tail) {
    while (starts.back() >= end) starts.pop_back();
    const bool lone_first_byte = starts.back() == end - 1 && IsLeadByte(name[end - 1]);
    if (!IsBlank(name[end - 1]) && !lone_first_byte) break;
    --end;
  }
  return name.substr(0, end);
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
        profile.sections.push_back(Section{std::string(NameKey(UpToNul(line.substr(1, close - 1)))), {}});
        continue;
      }
      // Without a closing bracket the line is an ordinary key line.
    }

    std::string_view name = line;
    Entry entry;
    const size_t equals = line.find('=');
    if (equals != std::string_view::npos) {
      name = line.substr(0, equals);
      entry.has_value = true;
      entry.value = std::string(TrimRight(UpToNul(TrimLeft(line.substr(equals + 1)))));
    }
    name = TrimRight(UpToNul(name));
    entry.name = std::string(name);
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
  if (profile.utf8_mark) {
    out += kUtf8Mark;
  } else if (!profile.sections[0].entries.empty() &&
             std::string_view(profile.sections[0].entries[0].name).substr(0, kUtf8Mark.size()) == kUtf8Mark) {
    // A first key that starts with the bytes of a byte order mark would be read as
    // one: an empty line before it keeps it a key.
    out += "\r\n";
  }
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
  name = NameKey(name);
  for (Section& section : profile.sections) {
    if (SameName(NameKey(section.name), name)) return &section;
  }
  return nullptr;
}

Entry* FindEntry(Section& section, std::string_view name) {
  name = NameKey(name);
  for (Entry& entry : section.entries) {
    if (SameName(NameKey(entry.name), name)) return &entry;
  }
  return nullptr;
}

// The longest prefix of at most `limit` bytes that does not end inside a double-byte
// character of code page 932.
size_t CharacterBoundary(std::string_view text, size_t limit) {
  size_t pos = 0;
  while (pos < limit) {
    const size_t step = (IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size()) ? 2 : 1;
    if (pos + step > limit) break;
    pos += step;
  }
  return pos;
}

// Byte length of the first `count` characters of the text (a double-byte character
// of code page 932 is one character).
size_t CharactersLength(std::string_view text, size_t count) {
  size_t pos = 0;
  for (size_t chars = 0; chars < count && pos < text.size(); ++chars) {
    pos += (IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size()) ? 2 : 1;
  }
  return pos;
}

size_t CharacterCount(std::string_view text) {
  size_t chars = 0;
  for (size_t pos = 0; pos < text.size(); ++chars) pos += CharactersLength(text.substr(pos), 1);
  return chars;
}

// Copies a value into the caller's buffer the way the Windows call does: matching
// quotes around it dropped, at most size - 1 bytes, NUL-terminated. The call counts
// the buffer in characters first and in bytes second: a quoted value whose
// characters (closing quote included) only just fit the buffer loses its last
// character instead of the quote, and what is left is cut to size - 1 bytes, never
// inside a double-byte character.
uint32_t CopyValue(std::string_view value, char* buffer, uint32_t size) {
  if (size == 0) return 0;
  bool quoted = false;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front() &&
      EndsInSingleByte(value)) {
    quoted = true;
    value.remove_prefix(1);
  }
  const size_t characters = CharacterCount(value);
  size_t kept = std::min<size_t>(characters, size - 1);
  if (quoted && size >= characters && kept > 0) --kept;
  size_t n = CharactersLength(value, kept);
  if (n > size - 1) n = CharacterBoundary(value, size - 1);
  std::memcpy(buffer, value.data(), n);
  buffer[n] = '\0';
  return static_cast<uint32_t>(n);
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != text.npos; }

}  // namespace

uint32_t ProfileTextGet(const std::string* text, const char* section, const char* key,
                        const char* default_value, char* buffer, uint32_t size) {
  if (buffer == nullptr || size == 0) return 0;
  std::string_view fallback = default_value ? default_value : "";
  while (!fallback.empty() && fallback.back() == ' ') fallback.remove_suffix(1);

  if (text != nullptr && section != nullptr && key != nullptr) {
    Profile profile = Parse(*text);
    if (Section* found = FindSection(profile, section)) {
      if (Entry* entry = FindEntry(*found, key); entry && entry->has_value) {
        return CopyValue(entry->value, buffer, size);
      }
    }
  }
  return CopyValue(fallback, buffer, size);
}

ProfileEdit ProfileTextPut(std::string_view text, const char* section, const char* key, const char* value,
                           std::string* out) {
  if (section == nullptr || key == nullptr || value == nullptr || out == nullptr) {
    return ProfileEdit::kRefused;
  }
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) {
    return ProfileEdit::kRefused;
  }
  // A key line whose name holds "=" or starts with "[" reads back as another key or
  // as a section header.
  const std::string_view key_name = TrimLeft(key);
  if (key_name.find('=') != key_name.npos || (!key_name.empty() && key_name.front() == '[')) {
    return ProfileEdit::kRefused;
  }

  Profile profile = Parse(text);
  Section* target = FindSection(profile, section);
  if (target == nullptr) {
    profile.sections.push_back(Section{std::string(NameKey(section)), {}});
    target = &profile.sections.back();
  }
  Entry* entry = FindEntry(*target, key);
  if (entry == nullptr) {
    target->entries.push_back(Entry{std::string(WholeCharacters(TrimLeft(key))), false, {}});
    entry = &target->entries.back();
  }
  // Blanks before a value are not kept: they would be lost on the next read anyway.
  const std::string_view new_value = TrimLeft(value);
  if (entry->has_value && entry->value == new_value) return ProfileEdit::kUnchanged;
  entry->has_value = true;
  entry->value = std::string(new_value);
  *out = Serialize(profile);
  return ProfileEdit::kChanged;
}

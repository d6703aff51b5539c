#include "property_bag.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

std::string Escape(const std::string& value) {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

// An unknown escape keeps its backslash; a backslash at the end stays as it is.
std::string Unescape(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\\' || i + 1 == raw.size()) {
      out += raw[i];
      continue;
    }
    const char next = raw[i + 1];
    if (next == '\\') out += '\\';
    else if (next == 'r') out += '\r';
    else if (next == 'n') out += '\n';
    else {
      out += '\\';
      continue;
    }
    ++i;
  }
  return out;
}

// A whole decimal integer, nothing before or after it.
bool ParseInteger(const std::string& text, std::int64_t* value) {
  if (text.empty() || text.size() > 20) return false;
  size_t i = text[0] == '-' ? 1 : 0;
  if (i == text.size()) return false;
  for (size_t k = i; k < text.size(); ++k)
    if (text[k] < '0' || text[k] > '9') return false;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0) return false;
  *value = v;
  return true;
}

// A plain decimal number with an optional fraction ("9.75", "12").
bool ParseSize(const std::string& text, double* value) {
  if (text.empty() || text.size() > 32) return false;
  int dots = 0;
  for (char c : text) {
    if (c == '.') ++dots;
    else if (c < '0' || c > '9') return false;
  }
  if (dots > 1 || text == ".") return false;
  // from_chars, unlike strtod, reads "." whatever the locale says.
  const auto read = std::from_chars(text.data(), text.data() + text.size(), *value, std::chars_format::fixed);
  return read.ec == std::errc() && read.ptr == text.data() + text.size() && std::isfinite(*value);
}

std::string FormatFont(const FontSpec& f) {
  std::string face;
  for (char c : f.face) face += c == '"' ? std::string("\"\"") : std::string(1, c);
  // The shortest plain decimal that reads back as the same number.
  char size[400];
  const auto written = std::to_chars(size, size + sizeof size - 1, f.size, std::chars_format::fixed);
  *written.ptr = '\0';
  return "\"" + face + "\"," + size + "," + std::to_string(f.weight) + "," + (f.italic ? "1" : "0") + "," +
         (f.underline ? "1" : "0") + "," + (f.strikethrough ? "1" : "0") + "," + std::to_string(f.charset);
}

bool ParseFont(const std::string& text, FontSpec* font) {
  if (text.empty() || text[0] != '"') return false;
  std::string face;
  size_t i = 1;
  for (;; ++i) {
    if (i >= text.size()) return false;  // no closing quote
    if (text[i] == '"') {
      if (i + 1 < text.size() && text[i + 1] == '"') {
        face += '"';
        ++i;
        continue;
      }
      break;
    }
    if (text[i] == '\0') return false;  // no face name holds a NUL
    face += text[i];
  }
  // After the face: ,size,weight,italic,underline,strike,charset
  std::vector<std::string> fields;
  size_t pos = i + 1;
  while (pos < text.size()) {
    if (text[pos] != ',') return false;
    const size_t next = text.find(',', pos + 1);
    fields.push_back(text.substr(pos + 1, next == std::string::npos ? std::string::npos : next - pos - 1));
    if (next == std::string::npos) break;
    pos = next;
  }
  if (fields.size() != 6) return false;
  FontSpec f;
  f.face = face;
  std::int64_t weight, italic, underline, strike, charset;
  if (!ParseSize(fields[0], &f.size) || f.size <= 0 || f.size > 2048) return false;
  if (!ParseInteger(fields[1], &weight) || weight < 0 || weight > 1000) return false;
  if (!ParseInteger(fields[2], &italic) || italic < 0 || italic > 1) return false;
  if (!ParseInteger(fields[3], &underline) || underline < 0 || underline > 1) return false;
  if (!ParseInteger(fields[4], &strike) || strike < 0 || strike > 1) return false;
  if (!ParseInteger(fields[5], &charset) || charset < 0 || charset > 255) return false;
  f.weight = static_cast<int>(weight);
  f.italic = italic == 1;
  f.underline = underline == 1;
  f.strikethrough = strike == 1;
  f.charset = static_cast<int>(charset);
  *font = f;
  return true;
}

}  // namespace

FontSpec DialogFont() {
  FontSpec f;
  f.face = "ＭＳ Ｐゴシック";
  f.size = 9.75;
  f.weight = 400;
  f.charset = 128;
  return f;
}

PropertyBag PropertyBag::Parse(std::string_view text) {
  PropertyBag bag;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    start = end + 1;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos || eq == 0) continue;
    const std::string key(line.substr(0, eq));
    if (bag.Find(key) != nullptr) continue;
    bag.entries_.emplace_back(key, Unescape(line.substr(eq + 1)));
  }
  return bag;
}

std::string PropertyBag::Text() const {
  std::string out;
  for (const auto& [key, value] : entries_) out += key + "=" + Escape(value) + "\n";
  return out;
}

std::vector<std::string> PropertyBag::Keys() const {
  std::vector<std::string> keys;
  for (const auto& entry : entries_) keys.push_back(entry.first);
  return keys;
}

const std::string* PropertyBag::Find(const std::string& key) const {
  for (const auto& entry : entries_)
    if (entry.first == key) return &entry.second;
  return nullptr;
}

void PropertyBag::Store(const std::string& key, std::string raw) {
  for (auto& entry : entries_) {
    if (entry.first == key) {
      entry.second = std::move(raw);
      return;
    }
  }
  entries_.emplace_back(key, std::move(raw));
}

void PropertyBag::Remove(const std::string& key) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->first == key) {
      entries_.erase(it);
      return;
    }
  }
}

bool PropertyBag::ReadBool(const std::string& key, bool fallback) const {
  return ReadInteger(key, fallback ? -1 : 0, -1, 1) != 0;
}

std::int64_t PropertyBag::ReadInteger(const std::string& key, std::int64_t fallback, std::int64_t min,
                                      std::int64_t max) const {
  const std::string* raw = Find(key);
  std::int64_t value;
  if (raw == nullptr || !ParseInteger(*raw, &value) || value < min || value > max) return fallback;
  return value;
}

std::string PropertyBag::ReadText(const std::string& key, const std::string& fallback) const {
  const std::string* raw = Find(key);
  return raw != nullptr ? *raw : fallback;
}

FontSpec PropertyBag::ReadFont(const std::string& key, const FontSpec& fallback) const {
  const std::string* raw = Find(key);
  FontSpec font;
  if (raw == nullptr || !ParseFont(*raw, &font)) return fallback;
  return font;
}

void PropertyBag::WriteBool(const std::string& key, bool value, bool write_default) {
  if (value == write_default) return Remove(key);
  Store(key, value ? "-1" : "0");
}

void PropertyBag::WriteInteger(const std::string& key, std::int64_t value, std::int64_t write_default) {
  if (value == write_default) return Remove(key);
  Store(key, std::to_string(value));
}

void PropertyBag::WriteText(const std::string& key, const std::string& value,
                            const std::string& write_default) {
  if (value == write_default || value.find('\0') != std::string::npos) return Remove(key);
  Store(key, value);
}

void PropertyBag::WriteFont(const std::string& key, const FontSpec& value, const FontSpec& write_default) {
  if (value == write_default || value.face.find('\0') != std::string::npos) return Remove(key);
  Store(key, FormatFont(value));
}

#pragma once
// The stored properties of a control, in a small text format of our own:
//
//   Caption=設定
//   Font="ＭＳ Ｐゴシック",9.75,400,0,0,0,128
//
// One property a line, "Key=Value", UTF-8, lines ended by LF (a CR before it is
// ignored). In values a backslash escapes itself, CR and LF ("\\", "\r", "\n"). A
// font is its face in double quotes (a quote inside doubled), then size in points,
// weight, italic, underline, strike-through (0 or 1) and character set. Lines without
// "=" are ignored; of a key given twice the first counts.
//
// Reading never fails: a missing key, or a value that is not of the key's type or
// lies outside its range, gives the reader's default.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A caption font.
struct FontSpec {
  std::string face;  // UTF-8
  double size = 0;   // points
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;
  int charset = 0;
  bool operator==(const FontSpec& o) const {
    return face == o.face && size == o.size && weight == o.weight && italic == o.italic &&
           underline == o.underline && strikethrough == o.strikethrough && charset == o.charset;
  }
};

// The dialog's font: "ＭＳ Ｐゴシック" 9.75 pt, normal weight, Shift-JIS character set.
FontSpec DialogFont();

class PropertyBag {
 public:
  PropertyBag() = default;
  static PropertyBag Parse(std::string_view text);
  // The stored properties in the order they were first written.
  std::string Text() const;
  std::vector<std::string> Keys() const;

  bool ReadBool(const std::string& key, bool fallback) const;
  std::int64_t ReadInteger(const std::string& key, std::int64_t fallback, std::int64_t min,
                           std::int64_t max) const;
  std::string ReadText(const std::string& key, const std::string& fallback) const;
  FontSpec ReadFont(const std::string& key, const FontSpec& fallback) const;

  // Each stores the value, or removes the key when the value equals `write_default`.
  // Text with a NUL cannot be stored and removes the key too.
  void WriteBool(const std::string& key, bool value, bool write_default);
  void WriteInteger(const std::string& key, std::int64_t value, std::int64_t write_default);
  void WriteText(const std::string& key, const std::string& value, const std::string& write_default);
  void WriteFont(const std::string& key, const FontSpec& value, const FontSpec& write_default);

 private:
  const std::string* Find(const std::string& key) const;
  void Store(const std::string& key, std::string raw);
  void Remove(const std::string& key);

  std::vector<std::pair<std::string, std::string>> entries_;  // key, unescaped value
};

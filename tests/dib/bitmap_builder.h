#pragma once
// Builds bitmap files byte by byte for the decoder tests.

#include <cstdint>
#include <vector>

struct Color {
  uint8_t r, g, b;
  bool operator==(const Color& o) const { return r == o.r && g == o.g && b == o.b; }
};

struct BitmapSpec {
  uint32_t header_size = 40;  // 40, 12, or anything else to test refusal
  bool file_header = true;
  int32_t width = 1;
  int32_t height = 1;
  uint16_t planes = 1;
  uint16_t bit_count = 24;
  uint32_t compression = 0;
  uint32_t image_size = 0;
  uint32_t colors_used = 0;
  std::vector<Color> palette;   // written as the colour table, as many as given
  std::vector<uint32_t> masks;  // written after the header (bitfields)
  std::vector<uint8_t> bits;    // pixel bits exactly as stored
};

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}

// The whole file: optional file header (pixel offset right after the table), the
// bitmap header, masks, colour table and pixel bits.
inline std::vector<uint8_t> BuildBitmap(const BitmapSpec& s) {
  std::vector<uint8_t> info;
  Put32(info, s.header_size);
  if (s.header_size == 12) {
    Put16(info, static_cast<uint32_t>(s.width));
    Put16(info, static_cast<uint32_t>(s.height));
    Put16(info, s.planes);
    Put16(info, s.bit_count);
  } else {
    Put32(info, static_cast<uint32_t>(s.width));
    Put32(info, static_cast<uint32_t>(s.height));
    Put16(info, s.planes);
    Put16(info, s.bit_count);
    Put32(info, s.compression);
    Put32(info, s.image_size);
    Put32(info, 2835);
    Put32(info, 2835);
    Put32(info, s.colors_used);
    Put32(info, 0);
    info.resize(s.header_size < 40 ? 40 : s.header_size, 0);
  }
  for (uint32_t m : s.masks) Put32(info, m);
  for (const Color& c : s.palette) {
    info.push_back(c.b);
    info.push_back(c.g);
    info.push_back(c.r);
    if (s.header_size != 12) info.push_back(0);
  }
  std::vector<uint8_t> file;
  if (s.file_header) {
    uint32_t offset = static_cast<uint32_t>(14 + info.size());
    file = {'B', 'M'};
    Put32(file, static_cast<uint32_t>(offset + s.bits.size()));
    Put32(file, 0);
    Put32(file, offset);
  }
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), s.bits.begin(), s.bits.end());
  return file;
}

// Packs rows of pixel values (bottom row first, as stored) at 1, 4, 8, 16, 24 or
// 32 bits per pixel, each row padded to 4 bytes. 24-bit values are 0xRRGGBB.
inline std::vector<uint8_t> PackRows(const std::vector<std::vector<uint32_t>>& rows, int bpp) {
  std::vector<uint8_t> out;
  for (const auto& row : rows) {
    std::vector<uint8_t> bytes;
    if (bpp < 8) {
      bytes.assign((row.size() * bpp + 7) / 8, 0);
      for (size_t x = 0; x < row.size(); ++x) {
        size_t bit = x * bpp;
        bytes[bit / 8] |= static_cast<uint8_t>(row[x] << (8 - bpp - bit % 8));
      }
    } else {
      for (uint32_t v : row) {
        if (bpp == 8) bytes.push_back(static_cast<uint8_t>(v));
        if (bpp == 16) Put16(bytes, v);
        if (bpp == 24) {
          bytes.push_back(static_cast<uint8_t>(v));
          bytes.push_back(static_cast<uint8_t>(v >> 8));
          bytes.push_back(static_cast<uint8_t>(v >> 16));
        }
        if (bpp == 32) Put32(bytes, v);
      }
    }
    bytes.resize((bytes.size() + 3) / 4 * 4, 0);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

#pragma once
// Builds bitmap files byte by byte for the decoder tests.

#include <cstdint>
#include <vector>

#include "bmp_writer.h"

struct Color {
  uint8_t r, g, b;
  bool operator==(const Color& o) const { return r == o.r && g == o.g && b == o.b; }
};

struct BitmapRecipe {
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

using bmp::Put16;
using bmp::Put32;

// The whole file: optional file header (pixel offset right after the table), the
// bitmap header, masks, colour table and pixel bits.
inline std::vector<uint8_t> BuildBitmap(const BitmapRecipe& s) {
  std::vector<uint8_t> info;
  if (s.header_size == 12) {
    Put32(info, s.header_size);
    Put16(info, static_cast<uint32_t>(s.width));
    Put16(info, static_cast<uint32_t>(s.height));
    Put16(info, s.planes);
    Put16(info, s.bit_count);
  } else {
    bmp::InfoHeader h;
    h.width = s.width;
    h.height = s.height;
    h.planes = s.planes;
    h.bit_count = s.bit_count;
    h.compression = s.compression;
    h.image_size = s.image_size;
    h.colors_used = s.colors_used;
    bmp::PutInfoHeader(info, h);
    for (int i = 0; i < 4; ++i) info[i] = static_cast<uint8_t>(s.header_size >> (8 * i));
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
    uint32_t offset = static_cast<uint32_t>(bmp::kFileHeaderSize + info.size());
    bmp::PutFileHeader(file, static_cast<uint32_t>(offset + s.bits.size()), offset);
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
          Put16(bytes, v & 0xffff);
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

#pragma once
// Writes Windows bitmap files: the file header, the 40-byte bitmap header, and
// whole 24-bit pictures stored bottom row first with rows padded to four bytes,
// the form the renderer reads and the host exports.

#include <cstdint>
#include <vector>

namespace bmp {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void Put32(Bytes& out, uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

// "BM", the size of the whole file and where the pixel bits start.
inline void PutFileHeader(Bytes& out, uint32_t file_size, uint32_t pixel_offset) {
  out.push_back('B');
  out.push_back('M');
  Put32(out, file_size);
  Put32(out, 0);
  Put32(out, pixel_offset);
}

struct InfoHeader {
  int32_t width = 1;
  int32_t height = 1;  // positive: bottom row first
  uint16_t planes = 1;
  uint16_t bit_count = 24;
  uint32_t compression = 0;  // BI_RGB
  uint32_t image_size = 0;
  uint32_t pixels_per_metre = 2835;  // 72 dots per inch
  uint32_t colors_used = 0;
};

inline void PutInfoHeader(Bytes& out, const InfoHeader& h) {
  Put32(out, kInfoHeaderSize);
  Put32(out, static_cast<uint32_t>(h.width));
  Put32(out, static_cast<uint32_t>(h.height));
  Put16(out, h.planes);
  Put16(out, h.bit_count);
  Put32(out, h.compression);
  Put32(out, h.image_size);
  Put32(out, h.pixels_per_metre);
  Put32(out, h.pixels_per_metre);
  Put32(out, h.colors_used);
  Put32(out, 0);  // important colours: all
}

// A width x height picture; pixel(x, y, rgb) fills red, green and blue of the
// pixel x, y counted from the top left.
template <typename Pixel>
Bytes Encode24(int width, int height, Pixel pixel, uint32_t pixels_per_metre = 2835) {
  const uint32_t row = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t pixels = row * static_cast<uint32_t>(height);
  const uint32_t offset = kFileHeaderSize + kInfoHeaderSize;
  InfoHeader header;
  header.width = width;
  header.height = height;
  header.image_size = pixels;
  header.pixels_per_metre = pixels_per_metre;
  Bytes out;
  out.reserve(offset + pixels);
  PutFileHeader(out, offset + pixels, offset);
  PutInfoHeader(out, header);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      uint8_t rgb[3] = {0, 0, 0};
      pixel(x, y, rgb);
      out.push_back(rgb[2]);
      out.push_back(rgb[1]);
      out.push_back(rgb[0]);
    }
    out.resize(out.size() + (row - static_cast<uint32_t>(width) * 3), 0);
  }
  return out;
}

}  // namespace bmp

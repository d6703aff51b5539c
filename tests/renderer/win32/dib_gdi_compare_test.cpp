// Compares the portable bitmap decoder with GDI's own conversion (SetDIBits into a
// 24-bit DIB section, as the loader on Windows does it) over generated bitmaps:
// every depth, both header sizes, colour-table lengths, run-length streams, odd
// widths and top-down rows. Any difference is a bug on one side.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>

#include "../bitmap_builder.h"
#include "dib.h"

namespace {

uint32_t Read32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// The Windows loader's steps over a well-formed file: normalise the header and
// its colour table into a 40-byte header, convert into a bottom-up 24-bit
// section, then reorder B, G, R into R, G, B rows without padding. A top-down
// source is converted into a bottom-up section, so the rows come out the right
// way up. Colours used is given as the table's real length, so that GDI never
// reads past the buffer. False where GDI refuses the file.
bool ConvertWithGdi(const std::vector<uint8_t>& file, RgbImage* out) {
  const bool file_header = file[0] == 'B' && file[1] == 'M';
  const uint8_t* h = file.data() + (file_header ? 14 : 0);
  const uint32_t size = Read32(h);
  const bool core = size == 12;
  BITMAPINFOHEADER header = {};
  header.biSize = 40;
  if (core) {
    header.biWidth = Read16(h + 4);
    header.biHeight = Read16(h + 6);
    header.biPlanes = Read16(h + 8);
    header.biBitCount = Read16(h + 10);
  } else {
    memcpy(&header, h, 40);
  }
  int n = header.biBitCount == 1 ? 2 : header.biBitCount == 4 ? 16 : header.biBitCount == 8 ? 256 : 0;
  if (!core && header.biClrUsed != 0) n = header.biClrUsed & 0xffff;
  const size_t entry = core ? 3 : 4;
  const bool fields = header.biCompression == BI_BITFIELDS;
  std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 12 + 4 * n + 4, 0);
  const uint8_t* table = h + size;
  uint8_t* out_table = info.data() + sizeof(BITMAPINFOHEADER);
  if (fields) {
    memcpy(out_table, table, 12);
    table += 12;
    out_table += 12;
  }
  for (int i = 0; i < n; ++i) memcpy(out_table + 4 * i, table + entry * i, 3);
  if (header.biSizeImage == 0)
    header.biSizeImage = (header.biBitCount * header.biWidth + 7) / 8 * std::abs(header.biHeight);
  header.biClrUsed = n;
  if (core) header.biClrImportant = n;
  memcpy(info.data(), &header, sizeof header);
  const uint8_t* bits = file_header ? file.data() + Read32(file.data() + 10) : table + entry * n;

  const int width = header.biWidth;
  const int rows = std::abs(header.biHeight);
  HDC dc = CreateCompatibleDC(nullptr);
  // Size, width, height, planes, bits per pixel, compression, image size; no resolution or table.
  BITMAPINFO target = {{40, width, rows, 1, 24, BI_RGB, static_cast<DWORD>(rows * width * 3), 0, 0, 0, 0},
                       {}};
  void* section_bits = nullptr;
  HBITMAP section = CreateDIBSection(dc, &target, DIB_RGB_COLORS, &section_bits, nullptr, 0);
  if (!section) {
    DeleteDC(dc);
    return false;
  }
  HGDIOBJ old = SelectObject(dc, section);
  int lines =
      SetDIBits(dc, section, 0, rows, bits, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
  GdiFlush();
  if (lines != 0) {
    out->width = width;
    out->height = rows;
    const uint8_t* src = static_cast<const uint8_t*>(section_bits);
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < width; ++x) {
        const uint8_t* p = src + stride * y + 3 * x;
        out->data.insert(out->data.end(), {p[2], p[1], p[0]});
      }
  }
  SelectObject(dc, old);
  DeleteObject(section);
  DeleteDC(dc);
  return lines != 0;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  std::ostringstream out;
  for (uint8_t b : bytes) out << std::hex << (b >> 4) << (b & 15) << ' ';
  return out.str();
}

// GDI (as Wine has it) draws the pixels decoded since the last escape only when
// the next escape arrives: when the header's image size ends a stream that has no
// end-of-bitmap, that last stretch is lost. We draw everything decoded, as if
// end-of-bitmap followed. For such streams the reference gets that end-of-bitmap
// written out where the stream stops: before the first pair or literal that does
// not fit in the image size.
BitmapRecipe Terminated(BitmapRecipe s) {
  size_t limit = s.image_size;
  if (limit == 0) limit = (s.bit_count * s.width + 7) / 8 * s.height;
  limit = std::min(limit, s.bits.size());
  size_t pos = 0;
  while (pos + 2 <= limit) {
    const uint8_t count = s.bits[pos];
    const uint8_t data = s.bits[pos + 1];
    if (count == 0 && data == 1) return s;  // end of bitmap
    if (count == 0 && data == 2) {
      if (pos + 4 > limit) return s;  // a cut delta ends the stream after drawing
      pos += 4;
    } else if (count == 0 && data != 0) {
      size_t length = s.bit_count == 8 ? data : (data + 1u) / 2;
      if (pos + 2 + length > limit) break;
      pos += 2 + ((length + 1) & ~size_t{1});
    } else {
      pos += 2;  // a run or an end of line
    }
  }
  s.bits.resize(pos);
  s.bits.insert(s.bits.end(), {0, 1});
  s.image_size = static_cast<uint32_t>(s.bits.size());
  return s;
}

// Decodes the bitmap `s` with ours and with GDI (a run-length stream terminated for
// GDI), and reports the first pixel that differs.
void ExpectSame(const BitmapRecipe& s, const std::string& what, bool run_length = false) {
  const std::vector<uint8_t> file = BuildBitmap(s);
  RgbImage gdi, ours;
  const bool gdi_ok = ConvertWithGdi(run_length ? BuildBitmap(Terminated(s)) : file, &gdi);
  DibStatus status = DecodeDib(file.data(), file.size(), &ours);
  ASSERT_EQ(status == DibStatus::kOk, gdi_ok) << what << "\nfile: " << Hex(file);
  if (!gdi_ok) return;
  ASSERT_EQ(ours.width, gdi.width) << what;
  ASSERT_EQ(ours.height, gdi.height) << what;
  ASSERT_EQ(ours.data.size(), gdi.data.size()) << what;
  const auto differs = std::mismatch(ours.data.begin(), ours.data.end(), gdi.data.begin()).first;
  if (differs == ours.data.end()) return;
  const size_t pixel = (differs - ours.data.begin()) / 3, i = pixel * 3;
  ADD_FAILURE() << what << ": pixel (" << pixel % gdi.width << ", " << pixel / gdi.width << ") ours "
                << Hex({ours.data[i], ours.data[i + 1], ours.data[i + 2]}) << "GDI "
                << Hex({gdi.data[i], gdi.data[i + 1], gdi.data[i + 2]}) << "\nfile: " << Hex(file);
}

BitmapRecipe Recipe(int width, int height, int bpp, uint32_t compression = BI_RGB) {
  BitmapRecipe s;
  s.width = width;
  s.height = height;
  s.bit_count = static_cast<uint16_t>(bpp);
  s.compression = compression;
  return s;
}

std::vector<Color> RandomPalette(std::mt19937& random, int n) {
  std::vector<Color> palette;
  for (int i = 0; i < n; ++i)
    palette.push_back(Color{uint8_t(random()), uint8_t(random()), uint8_t(random())});
  return palette;
}

std::vector<std::vector<uint32_t>> RandomRows(std::mt19937& random, int width, int height, uint32_t limit) {
  std::vector<std::vector<uint32_t>> rows(height);
  for (auto& row : rows)
    for (int x = 0; x < width; ++x) row.push_back(static_cast<uint32_t>(random() % limit));
  return rows;
}

TEST(DibMatchesGdi, UncompressedDepthsHeadersAndOrientation) {
  std::mt19937 random(2024);
  for (int bpp : {1, 4, 8, 16, 24, 32}) {
    for (uint32_t header_size : {40u, 12u}) {
      for (int width : {1, 2, 3, 5, 7, 8, 13}) {
        for (int height : {1, 3, -4}) {
          if (height < 0 && header_size == 12) continue;
          for (bool file_header : {true, false}) {
            BitmapRecipe s = Recipe(width, height, bpp);
            s.header_size = header_size;
            s.file_header = file_header;
            if (bpp <= 8) s.palette = RandomPalette(random, 1 << bpp);
            uint64_t limit = bpp == 32 ? 0xffffffffull : (1ull << std::min(bpp, 24));
            s.bits = PackRows(RandomRows(random, width, std::abs(height), static_cast<uint32_t>(limit)), bpp);
            std::ostringstream what;
            what << bpp << " bpp, header " << header_size << ", " << width << "x" << height
                 << (file_header ? "" : ", no file header");
            ExpectSame(s, what.str());
          }
        }
      }
    }
  }
}

TEST(DibMatchesGdi, ColourTableLengthsAndBitfields) {
  std::mt19937 random(7);
  const struct {
    uint16_t bpp;
    uint32_t used;
    std::vector<uint32_t> masks = {};  // bitfields when given
    // clang-format off
  } cases[] = {
      {1, 1}, {1, 2}, {4, 3}, {4, 16}, {8, 2}, {8, 16}, {8, 200}, {8, 256}, {24, 5}, {16, 3},
      {16, 0, {0xf800, 0x07e0, 0x001f}},
      {16, 0, {0x7c00, 0x03e0, 0x001f}},
      {32, 0, {0xff0000, 0x00ff00, 0x0000ff}},
      {32, 0, {0x000000ff, 0x0000ff00, 0x00ff0000}},
      {32, 0, {0x3ff00000, 0x000ffc00, 0x000003ff}},
  };
  // clang-format on
  for (const auto& c : cases) {
    for (bool file_header : {true, false}) {
      BitmapRecipe s = Recipe(9, 3, c.bpp, c.masks.empty() ? BI_RGB : BI_BITFIELDS);
      s.file_header = file_header;
      s.colors_used = c.used;
      s.palette = RandomPalette(random, static_cast<int>(c.used));
      s.masks = c.masks;
      const uint32_t limit = c.bpp == 32 ? 0xffffffffu : 1u << std::min<int>(c.bpp, 24);
      s.bits = PackRows(RandomRows(random, 9, 3, limit), c.bpp);
      std::ostringstream what;
      what << c.bpp << " bpp, colours used " << c.used << ", masks" << std::hex;
      for (uint32_t mask : c.masks) what << " " << mask;
      ExpectSame(s, what.str());
    }
  }
}

// A random run-length stream: runs that may pass the right edge, literals of odd
// lengths, deltas, ends of line, and an end of bitmap that may be missing.
std::vector<uint8_t> RandomStream(std::mt19937& random, int bpp, int width, int height) {
  std::vector<uint8_t> s;
  for (int op = 0; op < 4 * height; ++op) {
    const auto kind = random() % 8;  // 3 in 8 runs, 2 literals, 1 delta, 2 ends of line
    if (kind < 3) {
      s.push_back(static_cast<uint8_t>(1 + random() % (width + 3)));
      s.push_back(static_cast<uint8_t>(random()));  // RLE4: two nibbles
    } else if (kind < 5) {
      int n = 3 + static_cast<int>(random() % (width + 2));
      s.insert(s.end(), {0, static_cast<uint8_t>(n)});
      int bytes = bpp == 8 ? n : (n + 1) / 2;
      for (int i = 0; i < bytes; ++i) s.push_back(static_cast<uint8_t>(random()));
      if (bytes & 1) s.push_back(0);
    } else if (kind == 5) {
      s.insert(s.end(), {0, 2});
      s.push_back(static_cast<uint8_t>(random() % (width + 2)));
      s.push_back(static_cast<uint8_t>(random() % 2));
    } else {
      s.insert(s.end(), {0, 0});
    }
  }
  if (random() % 4 != 0) s.insert(s.end(), {0, 1});
  return s;
}

TEST(DibMatchesGdi, RunLengthStreams) {
  std::mt19937 random(31337);
  for (int bpp : {8, 4}) {
    for (int round = 0; round < 150; ++round) {
      const int width = 1 + static_cast<int>(random() % 11);
      const int height = 1 + static_cast<int>(random() % 6);
      BitmapRecipe s = Recipe(width, height, bpp, bpp == 8 ? BI_RLE8 : BI_RLE4);
      s.palette = RandomPalette(random, bpp == 8 ? 256 : 16);
      s.bits = RandomStream(random, bpp, s.width, s.height);
      s.image_size = static_cast<uint32_t>(s.bits.size());
      s.file_header = round % 3 != 0;
      std::ostringstream what;
      what << "RLE" << bpp << " round " << round << ", " << s.width << "x" << s.height;
      ExpectSame(s, what.str(), true);
    }
  }
  // Image size 0 (the unpadded picture size stands in) and image sizes that end
  // the stream early; colour tables shorter than the indexes used.
  for (uint32_t image_size : {0u, 4u, 7u, 10u}) {
    for (uint32_t used : {0u, 3u}) {
      BitmapRecipe s = Recipe(6, 3, 8, BI_RLE8);
      s.colors_used = used;
      s.palette = RandomPalette(random, used ? used : 256);
      s.bits = {3, 1, 3, 5, 0, 0, 0, 3, 0, 1, 2, 0, 6, 4, 0, 1};
      s.image_size = image_size;
      ExpectSame(s,
                 "RLE8 image size " + std::to_string(image_size) + ", colours used " + std::to_string(used),
                 true);
    }
  }
}

TEST(DibMatchesGdi, RefusedFormats) {
  // What GDI refuses, the decoder refuses too.
  struct Case {
    const char* what;
    void (*change)(BitmapRecipe&);
  };
  // clang-format off
  const Case cases[] = {
      {"zero planes", [](BitmapRecipe& s) { s.planes = 0; }},
      {"two planes", [](BitmapRecipe& s) { s.planes = 2; }},
      {"two bits per pixel", [](BitmapRecipe& s) { s.bit_count = 2; }},
      {"RLE8 at 24 bits", [](BitmapRecipe& s) { s.compression = BI_RLE8; }},
      {"bitfields at 24 bits", [](BitmapRecipe& s) { s.compression = BI_BITFIELDS; s.masks = {0xff0000, 0xff00, 0xff}; }},
      {"compression 4", [](BitmapRecipe& s) { s.compression = 4; }},
  };
  // clang-format on
  for (const Case& c : cases) {
    BitmapRecipe s = Recipe(4, 2, 24);
    s.bits = PackRows({{1, 2, 3, 4}, {5, 6, 7, 8}}, 24);
    s.bits.resize(s.bits.size() + 64, 0);
    c.change(s);
    ExpectSame(s, c.what);
  }
  BitmapRecipe top_down_rle = Recipe(4, -2, 8, BI_RLE8);
  top_down_rle.palette = std::vector<Color>(256, Color{1, 2, 3});
  top_down_rle.bits = {4, 1, 0, 0, 4, 2, 0, 1};
  top_down_rle.image_size = 8;
  ExpectSame(top_down_rle, "top-down RLE8");
}

}  // namespace

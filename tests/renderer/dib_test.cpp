// The bitmap decoder and loader: depths, headers, colour tables, run-length
// bitmaps, and files that lie about their contents.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <string>

#include "bitmap_builder.h"
#include "dib.h"
#include "test_support.h"

// The largest single allocation of this program since the last reset: a hostile
// file must be refused before the decoder allocates the picture it claims.
static std::atomic<size_t> largest_allocation{0};

// The replacements below pair malloc with free; GCC sees only `delete` meeting free.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

static void* Allocate(size_t size) noexcept {
  size_t seen = largest_allocation.load();
  while (size > seen && !largest_allocation.compare_exchange_weak(seen, size)) {}
  return std::malloc(size ? size : 1);
}

void* operator new(size_t size) {
  if (void* p = Allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

constexpr Color kBlack{0, 0, 0};

// Decodes from an exactly sized heap copy, so that a sanitizer sees any read past
// the end.
DibStatus Decode(const std::vector<uint8_t>& file, RgbImage* image) {
  std::unique_ptr<uint8_t[]> copy(new uint8_t[file.size() ? file.size() : 1]);
  std::copy(file.begin(), file.end(), copy.get());
  return DecodeDib(copy.get(), file.size(), image);
}

RgbImage DecodeOk(const std::vector<uint8_t>& file) {
  RgbImage image;
  EXPECT_EQ(Decode(file, &image), DibStatus::kOk);
  return image;
}

DibStatus Status(const std::vector<uint8_t>& file) {
  RgbImage image;
  return Decode(file, &image);
}

// Pixel (x, y) of the result, y counted from the bottom row.
Color At(const RgbImage& image, int x, int y) {
  size_t i = (static_cast<size_t>(y) * image.width + x) * 3;
  return Color{image.data[i], image.data[i + 1], image.data[i + 2]};
}

std::vector<Color> Row(const RgbImage& image, int y) {
  std::vector<Color> row;
  for (int x = 0; x < image.width; ++x) row.push_back(At(image, x, y));
  return row;
}

std::vector<Color> Gray(int n) {
  std::vector<Color> palette;
  for (int i = 0; i < n; ++i) palette.push_back(Color{uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
  return palette;
}

BitmapRecipe Paletted(int bpp, std::vector<std::vector<uint32_t>> rows, std::vector<Color> palette) {
  BitmapRecipe s;
  s.bit_count = static_cast<uint16_t>(bpp);
  s.width = static_cast<int32_t>(rows[0].size());
  s.height = static_cast<int32_t>(rows.size());
  s.palette = std::move(palette);
  s.bits = PackRows(rows, bpp);
  return s;
}

TEST(DibDecode, PalettedDepthsLookUpTheirTableInRgbOrder) {
  // Bit and nibble order within a byte, and the rows bottom first as stored.
  const struct {
    int bpp;
    std::vector<std::vector<uint32_t>> rows;
    std::vector<Color> palette;
  } cases[] = {
      {1, {{1, 0, 0, 1, 1, 0, 1, 0, 1}, {0, 1, 1, 0, 0, 1, 0, 1, 0}}, {{200, 100, 50}, {1, 2, 3}}},
      {4, {{15, 0, 7}, {3, 12, 1}}, Gray(16)},
      {8, {{255, 0, 128}, {1, 2, 3}}, Gray(256)},
  };
  for (const auto& c : cases) {
    RgbImage image = DecodeOk(BuildBitmap(Paletted(c.bpp, c.rows, c.palette)));
    ASSERT_EQ(image.width, static_cast<int>(c.rows[0].size())) << c.bpp;
    ASSERT_EQ(image.height, 2) << c.bpp;
    ASSERT_EQ(image.data.size(), c.rows[0].size() * 2 * 3) << c.bpp;
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < image.width; ++x) EXPECT_EQ(At(image, x, y), c.palette[c.rows[y][x]]) << c.bpp;
  }
}

TEST(DibDecode, TwentyFourBitRowsDropTheirPadding) {
  for (int width : {3, 4, 5}) {
    std::vector<std::vector<uint32_t>> rows(2);
    for (int x = 0; x < width; ++x) {
      rows[0].push_back(0x102030u + x);
      rows[1].push_back(0xa0b0c0u + x);
    }
    BitmapRecipe s;
    s.width = width;
    s.height = 2;
    s.bits = PackRows(rows, 24);
    RgbImage image = DecodeOk(BuildBitmap(s));
    ASSERT_EQ(image.data.size(), static_cast<size_t>(width) * 2 * 3) << width;
    for (int x = 0; x < width; ++x) {
      EXPECT_EQ(At(image, x, 0), (Color{0x10, 0x20, uint8_t(0x30 + x)})) << width;
      EXPECT_EQ(At(image, x, 1), (Color{0xa0, 0xb0, uint8_t(0xc0 + x)})) << width;
    }
  }
}

TEST(DibDecode, SixteenAndThirtyTwoBitPixelsWithOrWithoutMasks) {
  const struct {
    uint16_t bpp;
    std::vector<uint32_t> masks;  // bitfields, read from after the header, when given
    std::vector<uint32_t> pixels;
    std::vector<Color> expected;
  } cases[] = {
      // clang-format off
      // 5-5-5 with the top bit ignored; five bits widen by repeating their top bits.
      {16, {}, {0x7fff, 0x8000 | (31u << 10), (1u << 5) | 16u, 0x0000},
       {{255, 255, 255}, {255, 0, 0}, {0, 8, 132}, kBlack}},
      // B, G, R, unused byte.
      {32, {}, {0xff112233u, 0x00abcdefu}, {{0x11, 0x22, 0x33}, {0xab, 0xcd, 0xef}}},
      // 5-6-5.
      {16, {0xf800, 0x07e0, 0x001f}, {0xffff, 0x07e0, (1u << 11) | (1u << 5) | 1u},
       {{255, 255, 255}, {0, 255, 0}, {8, 4, 8}}},
      // Red low, blue 10 bits high.
      {32, {0x000000ff, 0x0000ff00, 0x3ff00000}, {0x2aa0ff7fu}, {{0x7f, 0xff, 0xaa}}},
      // clang-format on
  };
  for (const auto& c : cases) {
    BitmapRecipe s;
    s.bit_count = c.bpp;
    s.compression = c.masks.empty() ? 0 : kDibBitfields;
    s.masks = c.masks;
    s.width = static_cast<int32_t>(c.pixels.size());
    s.bits = PackRows({c.pixels}, c.bpp);
    for (bool file_header : {true, false}) {
      s.file_header = file_header;
      EXPECT_EQ(Row(DecodeOk(BuildBitmap(s)), 0), c.expected)
          << c.bpp << " " << c.masks.size() << " " << file_header;
    }
  }
}

TEST(DibDecode, ColoursUsedSetsTheTableLength) {
  // Without a file header the pixels follow the table, so its length decides
  // where they are read from.
  std::vector<std::vector<uint32_t>> rows = {{0, 5, 15, 16, 255}};
  BitmapRecipe s = Paletted(8, rows, Gray(256));
  s.file_header = false;
  std::vector<Color> expected = {Gray(256)[0], Gray(256)[5], Gray(256)[15], Gray(256)[16], Gray(256)[255]};
  EXPECT_EQ(Row(DecodeOk(BuildBitmap(s)), 0), expected);

  // 16 entries; indexes past the table are black. Only the low 16 bits count.
  for (uint32_t used : {16u, 0x10010u}) {
    s.palette = Gray(16);
    s.colors_used = used;
    EXPECT_EQ(Row(DecodeOk(BuildBitmap(s)), 0),
              (std::vector<Color>{Gray(16)[0], Gray(16)[5], Gray(16)[15], kBlack, kBlack}))
        << used;
  }

  // More entries than the depth can index: the pixels still follow all of them.
  s = Paletted(1, {{1, 0}}, Gray(4));
  s.file_header = false;
  s.colors_used = 4;
  EXPECT_EQ(Row(DecodeOk(BuildBitmap(s)), 0), (std::vector<Color>{Gray(4)[1], Gray(4)[0]}));
}

TEST(DibDecode, ColourCountByDepthAndHeader) {
  const struct {
    uint32_t size;
    uint16_t bpp;
    uint32_t used;
    int count;
    // clang-format off
  } cases[] = {
      {40, 1, 0, 2}, {40, 4, 0, 16}, {40, 8, 0, 256}, {40, 16, 0, 0}, {40, 24, 0, 0}, {40, 32, 0, 0},
      {40, 24, 7, 7},
      {40, 24, 0x10000, 0},                    // low 16 bits are 0: no table at all
      {40, 8, 16, 16}, {40, 8, 0x10010, 16},  // only the low 16 bits count
      {12, 4, 7, 16},                          // the short header has no count of its own
  };
  // clang-format on
  for (const auto& c : cases) {
    DibHeader h;
    h.size = c.size;
    h.bit_count = c.bpp;
    h.colors_used = c.used;
    EXPECT_EQ(DibColorCount(h), c.count) << c.size << " " << c.bpp << " " << c.used;
  }
}

TEST(DibDecode, TwelveByteHeaderMatchesFortyByteHeader) {
  std::vector<std::vector<uint32_t>> rows = {{0, 1, 2}, {200, 100, 255}, {7, 7, 9}};
  for (bool file_header : {true, false}) {
    BitmapRecipe wide = Paletted(8, rows, Gray(256));
    wide.file_header = file_header;
    BitmapRecipe core = wide;
    core.header_size = 12;
    RgbImage a = DecodeOk(BuildBitmap(wide));
    RgbImage b = DecodeOk(BuildBitmap(core));
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.data, b.data) << file_header;
    EXPECT_EQ(At(b, 2, 1), Gray(256)[255]);
  }
  BitmapRecipe core = Paletted(4, {{1, 2, 3}}, Gray(16));
  core.header_size = 12;
  EXPECT_EQ(Row(DecodeOk(BuildBitmap(core)), 0), (std::vector<Color>{Gray(16)[1], Gray(16)[2], Gray(16)[3]}));
}

TEST(DibDecode, OtherHeaderSizesAreUnknown) {
  for (uint32_t size : {108u, 124u, 64u, 0u}) {
    BitmapRecipe s;
    s.header_size = size;
    s.bits = PackRows({{0}}, 24);
    EXPECT_EQ(Status(BuildBitmap(s)), DibStatus::kUnknownFormat) << size;
  }
}

TEST(DibDecode, TopDownBitmapsComeOutTheRightWayUp) {
  BitmapRecipe s;
  s.width = 2;
  s.height = -3;
  s.bits = PackRows({{0x010101, 0x020202}, {0x030303, 0x040404}, {0x050505, 0x060606}}, 24);
  RgbImage image = DecodeOk(BuildBitmap(s));
  ASSERT_EQ(image.height, 3);
  EXPECT_EQ(At(image, 0, 0), (Color{5, 5, 5}));  // the stored last row is the bottom
  EXPECT_EQ(At(image, 1, 2), (Color{2, 2, 2}));

  BitmapRecipe up = s;
  up.height = 3;
  up.bits = PackRows({{0x050505, 0x060606}, {0x030303, 0x040404}, {0x010101, 0x020202}}, 24);
  EXPECT_EQ(DecodeOk(BuildBitmap(up)).data, image.data);
}

BitmapRecipe RunLength(int bpp, int width, int height, std::vector<uint8_t> stream) {
  BitmapRecipe s;
  s.bit_count = static_cast<uint16_t>(bpp);
  s.compression = bpp == 8 ? kDibRle8 : kDibRle4;
  s.width = width;
  s.height = height;
  s.palette = Gray(bpp == 8 ? 256 : 16);
  s.image_size = static_cast<uint32_t>(stream.size());
  s.bits = std::move(stream);
  return s;
}

TEST(DibDecode, Rle8RunsEscapesAndUnwrittenPixels) {
  const std::vector<Color> p = Gray(256);
  BitmapRecipe s = RunLength(8, 6, 4, {3, 9,                  // three of 9
                                       0, 3,  20, 21, 22, 0,  // literal of three, padded
                                       0, 0,                  // end of line
                                       0, 2,  2,  1,          // delta: right 2, up 1 (to row 2)
                                       9, 40,                 // a run past the right edge is clipped
                                       0, 1,                  // end of bitmap
                                       5, 77});               // never read
  RgbImage image = DecodeOk(BuildBitmap(s));
  EXPECT_EQ(Row(image, 0), (std::vector<Color>{p[9], p[9], p[9], p[20], p[21], p[22]}));
  EXPECT_EQ(Row(image, 1), std::vector<Color>(6, kBlack));
  EXPECT_EQ(Row(image, 2), (std::vector<Color>{kBlack, kBlack, p[40], p[40], p[40], p[40]}));
  EXPECT_EQ(Row(image, 3), std::vector<Color>(6, kBlack));

  // The header's image size ends the stream even without end-of-bitmap; with an
  // image size of 0 the limit is the unpadded size of the picture.
  s = RunLength(8, 4, 2, {2, 1, 2, 2, 0, 0, 4, 3});
  s.image_size = 6;
  image = DecodeOk(BuildBitmap(s));
  EXPECT_EQ(Row(image, 0), (std::vector<Color>{p[1], p[1], p[2], p[2]}));
  EXPECT_EQ(Row(image, 1), std::vector<Color>(4, kBlack));
  s.image_size = 0;
  EXPECT_EQ(Row(DecodeOk(BuildBitmap(s)), 1), std::vector<Color>(4, p[3]));
  s.image_size = 4;  // ends in the middle of a row: what was decoded stays
  EXPECT_EQ(Row(DecodeOk(BuildBitmap(s)), 0), (std::vector<Color>{p[1], p[1], p[2], p[2]}));

  // Runs after the top row has been left are not drawn anywhere.
  for (std::vector<uint8_t> stream :
       {std::vector<uint8_t>{1, 5, 0, 0, 3, 7, 0, 1}, std::vector<uint8_t>{1, 5, 0, 2, 0, 1, 3, 7, 0, 1}}) {
    image = DecodeOk(BuildBitmap(RunLength(8, 3, 1, stream)));
    EXPECT_EQ(Row(image, 0), (std::vector<Color>{p[5], kBlack, kBlack}));
  }
}

TEST(DibDecode, Rle4AlternatesNibbles) {
  const std::vector<Color> p = Gray(16);
  BitmapRecipe s = RunLength(4, 7, 2,
                             {5, 0x12,                    // 1 2 1 2 1
                              0, 0, 0, 3, 0xab, 0xc0,     // literal a b c, two bytes
                              1, 0xf0,                    // one f
                              0, 5, 0x34, 0x56, 0x70, 0,  // literal 3 4 5 6 7, padded to four bytes
                              0, 1});
  RgbImage image = DecodeOk(BuildBitmap(s));
  EXPECT_EQ(Row(image, 0), (std::vector<Color>{p[1], p[2], p[1], p[2], p[1], kBlack, kBlack}));
  // The last literal starts at x 4: three pixels fit, the rest is clipped.
  EXPECT_EQ(Row(image, 1), (std::vector<Color>{p[10], p[11], p[12], p[15], p[3], p[4], p[5]}));
}

TEST(DibDecode, HostileHeadersAreRefusedBeforeAnyLargeAllocation) {
  struct Case {
    const char* what;
    void (*change)(BitmapRecipe&);
    size_t file_size = 0;  // the size of the file found by fuzzing, where it matters
  };
  // clang-format off
  const Case cases[] = {
      {"zero width", [](BitmapRecipe& s) { s.width = 0; }},
      {"negative width", [](BitmapRecipe& s) { s.width = -4; }},
      {"zero height", [](BitmapRecipe& s) { s.height = 0; }},
      {"lowest height", [](BitmapRecipe& s) { s.height = INT32_MIN; }},
      {"huge picture", [](BitmapRecipe& s) { s.width = s.height = 1 << 20; }},
      {"huge width", [](BitmapRecipe& s) { s.width = INT32_MAX; }},
      {"two bits per pixel", [](BitmapRecipe& s) { s.bit_count = 2; }},
      {"no bits per pixel", [](BitmapRecipe& s) { s.bit_count = 0; }},
      {"zero planes", [](BitmapRecipe& s) { s.planes = 0; }},
      {"unknown compression", [](BitmapRecipe& s) { s.compression = 4; }},
      {"bitfields at 24 bits",
       [](BitmapRecipe& s) { s.compression = kDibBitfields; s.masks = {0xff, 0xff00, 0xff0000}; }},
      {"top-down run-length", [](BitmapRecipe& s) { s = RunLength(8, 2, -2, {0, 1}); }},
      {"RLE4 at 8 bits", [](BitmapRecipe& s) { s = RunLength(8, 2, 2, {0, 1}); s.compression = kDibRle4; }},
      {"run-length 65536 x 65536, tiny stream",
       [](BitmapRecipe& s) { s = RunLength(8, 1 << 16, 1 << 16, {0, 1}); }},
      // Masks that the file does not hold.
      {"bare bitfields header",
       [](BitmapRecipe& s) {
         s = BitmapRecipe{};
         s.bit_count = 32;
         s.compression = kDibBitfields;
         s.file_header = false;
       }},
      {"rows past the end", [](BitmapRecipe& s) { s.height = 3; }},
      {"colour table past the end", [](BitmapRecipe& s) { s.colors_used = 0xffff; }},
      {"one column too wide", [](BitmapRecipe& s) { s.width = kDibMaxSide + 1; }},
      {"one row too tall, top down", [](BitmapRecipe& s) { s.height = -kDibMaxSide - 1; }},
      // A bare header and one pixel of a cut-off 8192 x 8192 picture.
      {"cut-off 24-bit 8192 x 8192",
       [](BitmapRecipe& s) {
         s.file_header = false;
         s.width = s.height = 8192;
         s.bits = {1, 2, 3, 4};
       },
       44},
      // Small enough to decode, but the file holds one row of it.
      {"cut-off 24-bit 4096 x 4096",
       [](BitmapRecipe& s) {
         s.width = s.height = kDibMaxSide;
         s.bits.assign(kDibMaxSide * 3, 7);
       }},
      // A tiny run-length file that would make 192 MiB of picture.
      {"60-byte run-length 8192 x 8192",
       [](BitmapRecipe& s) {
         s.file_header = false;
         s.width = s.height = 8192;
         s.bit_count = 8;
         s.compression = kDibRle8;
         s.colors_used = 1;
         s.palette = {{255, 255, 255}};
         s.bits = {0, 2, 255, 255, 0, 2, 255, 255, 255, 1, 0, 0, 0, 1, 0, 0};
         s.image_size = static_cast<uint32_t>(s.bits.size());
       },
       60},
  };
  // clang-format on
  for (const Case& c : cases) {
    BitmapRecipe s;
    s.width = 4;
    s.height = 2;
    s.bits = PackRows({{1, 2, 3, 4}, {5, 6, 7, 8}}, 24);
    c.change(s);
    const std::vector<uint8_t> file = BuildBitmap(s);
    if (c.file_size) {
      EXPECT_EQ(file.size(), c.file_size) << c.what;
    }
    largest_allocation = 0;
    EXPECT_EQ(Status(file), DibStatus::kConversionError) << c.what;
    EXPECT_LT(largest_allocation.load(), file.size() + (size_t{1} << 20)) << c.what;
  }

  // The widest and the tallest picture allowed still decode.
  RgbImage image = DecodeOk(BuildBitmap(RunLength(8, kDibMaxSide, 1, {2, 9, 0, 1})));
  EXPECT_EQ(image.width, kDibMaxSide);
  EXPECT_EQ(At(image, 1, 0), Gray(256)[9]);
  image = DecodeOk(BuildBitmap(RunLength(8, 1, kDibMaxSide, {0, 1})));
  EXPECT_EQ(image.height, kDibMaxSide);

  // Pixel offsets at and past the file's end.
  std::vector<uint8_t> file = BuildBitmap(Paletted(8, {{1, 2, 3, 4}}, Gray(256)));
  for (uint32_t offset : {uint32_t(file.size()), uint32_t(file.size() - 1), 0xfffffff0u}) {
    file[10] = uint8_t(offset);
    file[11] = uint8_t(offset >> 8);
    file[12] = uint8_t(offset >> 16);
    file[13] = uint8_t(offset >> 24);
    EXPECT_EQ(Status(file), DibStatus::kConversionError) << offset;
  }
}

std::vector<std::vector<uint8_t>> ValidCorpus() {
  const BitmapRecipe four = Paletted(4, {{1, 2, 3, 4, 5, 6, 7, 8}, {9, 10, 11, 12, 13, 14, 15, 0}}, Gray(16));
  BitmapRecipe core = four;
  core.header_size = 12;
  const BitmapRecipe eight = Paletted(8, {{1, 2, 3, 4}, {5, 6, 7, 8}}, Gray(256));
  BitmapRecipe nine = eight;
  nine.colors_used = 9;
  nine.palette = Gray(9);
  BitmapRecipe top_down;
  top_down.width = 4;
  top_down.height = -2;
  top_down.bits = PackRows({{1, 2, 3, 4}, {5, 6, 7, 8}}, 24);
  BitmapRecipe sixteen = top_down;
  sixteen.bit_count = 16;
  sixteen.width = 2;
  sixteen.height = 2;
  sixteen.bits = PackRows({{1, 2}, {3, 4}}, 16);
  BitmapRecipe fields = sixteen;
  fields.bit_count = 32;
  fields.compression = kDibBitfields;
  fields.masks = {0xff0000, 0xff00, 0xff};
  fields.bits = PackRows({{1, 2}, {3, 4}}, 32);
  const BitmapRecipe one = Paletted(
      1, {{1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0}},
      Gray(2));
  const BitmapRecipe rle8 = RunLength(8, 4, 3, {2, 5, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 1, 1, 1, 9, 0, 1});
  const BitmapRecipe rle4 = RunLength(4, 5, 2, {3, 0x12, 0, 0, 0, 5, 0x12, 0x34, 0x50, 0, 0, 1});
  std::vector<BitmapRecipe> recipes = {one, four, core, eight, nine, top_down, sixteen, fields, rle8, rle4};
  std::vector<std::vector<uint8_t>> corpus;
  for (bool file_header : {true, false}) {
    for (BitmapRecipe& s : recipes) {
      s.file_header = file_header;
      corpus.push_back(BuildBitmap(s));
    }
  }
  return corpus;
}

TEST(DibDecode, TruncatedOrCorruptedFilesFailCleanly) {
  // Every file of the corpus needs its last byte, so every shorter prefix fails.
  // Random damage may have any outcome but a crash or an over-read (run under a
  // sanitizer or valgrind to see the latter); a success must have the size it claims.
  // The high bytes of width and height are left alone: large pictures are valid
  // and slow to fill, and the header tests cover them.
  std::mt19937 random(12345);
  for (const std::vector<uint8_t>& original : ValidCorpus()) {
    ASSERT_EQ(Status(original), DibStatus::kOk);
    for (size_t length = 0; length < original.size(); ++length) {
      RgbImage image;
      EXPECT_NE(Decode({original.begin(), original.begin() + length}, &image), DibStatus::kOk)
          << "length " << length << " of " << original.size();
      EXPECT_TRUE(image.data.empty());
    }
    const size_t header = original[0] == 'B' ? 14 : 0;
    const bool core = original[header] == 12;
    auto keep = [&](size_t i) {
      if (core) return i == header + 5 || i == header + 7;
      return (i >= header + 6 && i < header + 8) || (i >= header + 10 && i < header + 12);
    };
    for (int round = 0; round < 400; ++round) {
      std::vector<uint8_t> file = original;
      int flips = 1 + static_cast<int>(random() % 4);
      for (int i = 0; i < flips; ++i) {
        size_t at = random() % file.size();
        if (!keep(at)) file[at] = static_cast<uint8_t>(random());
      }
      RgbImage image;
      if (Decode(file, &image) == DibStatus::kOk) {
        ASSERT_GT(image.width, 0);
        ASSERT_GT(image.height, 0);
        ASSERT_EQ(image.data.size(), size_t(image.width) * size_t(image.height) * 3);
      }
    }
  }
}

// LoadDibImage reads through the path layer and shows one message per failure.
class DibLoad : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::filesystem::path path = folder_ / name;
    WriteBytes(path, std::string(bytes.begin(), bytes.end()));
    return path.string();
  }

  std::unique_ptr<RgbImage> Load(const std::string& path) {
    messages.clear();
    return LoadDibImage(path.c_str(), [this](const char* text) { messages.emplace_back(text); });
  }

  const TempFolder folder_{"veloran-dib"};
  std::vector<std::string> messages;
};

TEST_F(DibLoad, DecodesAFileOrShowsOneMessagePerFailure) {
  const std::vector<uint8_t> ok = BuildBitmap(Paletted(8, {{3, 2, 1}}, Gray(256)));
  BitmapRecipe v5;
  v5.header_size = 124;
  v5.bits = PackRows({{0}}, 24);
  std::vector<uint8_t> cut = BuildBitmap(Paletted(8, {{1, 2, 3, 4}}, Gray(256)));
  cut.pop_back();
  const std::string empty = Write("empty.bmp", {});
  const std::string missing = (folder_ / "missing.bmp").string();
  const struct {
    std::string path;
    std::vector<std::string> messages;  // none: the picture is loaded
  } cases[] = {
      {Write("ok.bmp", ok), {}},
      {empty, {"Failed to open DIB file " + empty + ".\n"}},
      {missing, {"Failed to open DIB file " + missing + ".\n"}},
      {Write("v5.bmp", BuildBitmap(v5)), {"Unknown DIB file format."}},
      {Write("cut.bmp", cut), {"Image file conversion error."}},
  };
  for (const auto& c : cases) {
    std::unique_ptr<RgbImage> image = Load(c.path);
    EXPECT_EQ(messages, c.messages) << c.path;
    ASSERT_EQ(image != nullptr, c.messages.empty()) << c.path;
    if (!image) continue;
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 1);
    EXPECT_EQ(image->data, DecodeOk(ok).data);
  }
}

}  // namespace

// The pictures built into the host: sizes and looks that the renderer relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "assets.h"

namespace {

int Brightness(const Picture& p, int x, int y) {
  const std::uint8_t* px = &p.rgb[(static_cast<size_t>(y) * p.width + x) * 3];
  return px[0] + px[1] + px[2];
}

std::uint32_t Rgb(const Picture& p, int x, int y) {
  const std::uint8_t* px = &p.rgb[(static_cast<size_t>(y) * p.width + x) * 3];
  return static_cast<std::uint32_t>(px[0]) << 16 | px[1] << 8 | px[2];
}

// The pictures' sizes; the renderer's ring and stars; the colours the dialog's button,
// radio marks and cursor show at the places the dialog relies on.
TEST(Assets, PicturesHaveTheirSizesAndShowTheirColoursWhereDrawn) {
  // clang-format off
  enum { kNormal, kHighLight, kHighLightSelect, kSelected, kPressed, kDisable, kRadioOff, kRadioOn, kMetal,
         kHand, kIcon, kRing, kStars, kPreview, kCount };
  // clang-format on
  const std::string_view files[kCount] = {
      ButtonPictureBmp(0), ButtonPictureBmp(1), ButtonPictureBmp(2), ButtonPictureBmp(3), ButtonPictureBmp(4),
      ButtonPictureBmp(5), RadioMarkBmp(false), RadioMarkBmp(true),  MetalStripBmp(),     HandCursorBmp(),
      WindowIconBmp(),     RingTextureBmp(),    StarTextureBmp(),    PreviewPictureBmp()};
  const int sizes[kCount][2] = {{64, 25}, {64, 25},  {64, 25}, {64, 25}, {64, 25},   {64, 25},   {12, 12},
                                {12, 12}, {556, 20}, {32, 32}, {32, 32}, {128, 128}, {256, 256}, {152, 112}};
  Picture pics[kCount];
  for (int i = 0; i < kCount; ++i) {
    ASSERT_TRUE(DecodeBmp24(files[i], &pics[i])) << i;
    EXPECT_EQ(pics[i].width, sizes[i][0]) << i;
    EXPECT_EQ(pics[i].height, sizes[i][1]) << i;
  }
  EXPECT_TRUE(ButtonPictureBmp(-1).empty());
  EXPECT_TRUE(ButtonPictureBmp(6).empty());
  EXPECT_EQ(pics[kHighLight].rgb, pics[kHighLightSelect].rgb);

  // Exact colours: frames, the rows 2/3 and 21/22 and the side columns inside them.
  // clang-format off
  const struct { int pic, x, y; std::uint32_t rgb; } exact[] = {
      {kNormal, 32, 1, 0x003C74},    {kNormal, 1, 12, 0x003C74},    {kNormal, 62, 12, 0x003C74},
      {kNormal, 32, 23, 0x003C74},   {kNormal, 32, 12, 0xF3F3EE},   {kNormal, 32, 21, 0xE2DFD6},
      {kNormal, 32, 22, 0xD6D0C5},   {kNormal, 60, 12, 0xEEEDE7},   {kNormal, 61, 12, 0xE8E5DF},
      {kNormal, 2, 2, 0x255783},     {kNormal, 61, 22, 0x255783},
      {kHighLight, 32, 1, 0x003C74}, {kHighLight, 32, 2, 0xFFF0CF}, {kHighLight, 32, 3, 0xFDD889},
      {kHighLight, 32, 21, 0xF8B330}, {kHighLight, 32, 22, 0xE59700},
      {kHighLight, 3, 4, 0xFEDF9A},  {kHighLight, 60, 20, 0xF9B435},
      {kSelected, 62, 12, 0x003C74}, {kSelected, 32, 2, 0xCEE7FF},  {kSelected, 32, 3, 0xCEE7FF},
      {kSelected, 32, 21, 0x6982EE}, {kSelected, 32, 22, 0x6982EE},
      {kSelected, 2, 4, 0xB7D0F4},   {kSelected, 61, 20, 0x8BADE4},
      {kPressed, 32, 2, 0x003C74},   {kPressed, 2, 12, 0x003C74},   {kPressed, 61, 12, 0x003C74},
      {kPressed, 32, 22, 0x003C74},  {kPressed, 32, 1, 0xECE9D8},   {kPressed, 1, 12, 0xECE9D8},
      {kPressed, 62, 12, 0xECE9D8},  {kPressed, 32, 23, 0xECE9D8},  {kPressed, 32, 3, 0xD1CCC1},
      {kPressed, 32, 21, 0xF2F1EE},
      {kDisable, 32, 1, 0xC9C7BA},   {kDisable, 1, 12, 0xC9C7BA},   {kDisable, 62, 12, 0xC9C7BA},
      {kDisable, 32, 23, 0xC9C7BA},  {kDisable, 32, 0, 0xECE9D8},   {kDisable, 32, 12, 0xF5F4EA},
      {kRadioOff, 0, 0, 0xE0E0E0},   {kRadioOn, 11, 11, 0xE0E0E0},  {kRadioOff, 5, 5, 0xFFFFFF},
      {kHand, 0, 0, 0xFF00FF},       {kIcon, 0, 0, 0xFF00FF},       {kIcon, 31, 31, 0xFF00FF},
  };
  // clang-format on
  for (const auto& e : exact)
    EXPECT_EQ(Rgb(pics[e.pic], e.x, e.y), e.rgb) << e.pic << " at " << e.x << "," << e.y;

  // Outermost ring of the enabled looks: pale cream, within #E0DCC9..#FAFAF6.
  for (int pic : {kNormal, kHighLight, kSelected}) {
    for (int y : {0, 12, 24}) {
      const std::uint32_t c = Rgb(pics[pic], y == 12 ? 63 : 32, y);
      EXPECT_TRUE(c >> 16 >= 0xE0 && c >> 16 <= 0xFA && (c & 0xff) >= 0xC9 && (c & 0xff) <= 0xF6)
          << pic << " row " << y << " " << std::hex << c;
    }
  }
  // The ring: white on black with a dark centre, and a black border all round
  // (additive sprites must not show their square).
  const Picture& ring = pics[kRing];
  for (int i = 0; i < 128; ++i) {
    EXPECT_EQ(Brightness(ring, i, 0), 0);
    EXPECT_EQ(Brightness(ring, 0, i), 0);
    EXPECT_EQ(Brightness(ring, i, 127), 0);
    EXPECT_EQ(Brightness(ring, 127, i), 0);
  }
  EXPECT_GT(Brightness(ring, 64 + 38, 64), 700);  // on the ring
  EXPECT_LT(Brightness(ring, 64, 64), 150);       // the hole
  EXPECT_EQ(Rgb(ring, 102, 64) % 0x10101, 0u);    // grey: three equal channels
  // The star field: mostly black, and blue.
  long dark = 0, blue_sum = 0, red_sum = 0;
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) {
      const std::uint32_t c = Rgb(pics[kStars], x, y);
      if (Brightness(pics[kStars], x, y) < 30) ++dark;
      red_sum += c >> 16;
      blue_sum += c & 0xFF;
    }
  }
  EXPECT_GT(dark, 256 * 256 * 6 / 10);
  EXPECT_GT(blue_sum, red_sum * 3 / 2);
  // A dark dot marks the selected radio; the hand's hotspot is on the drawn finger.
  EXPECT_LT(Brightness(pics[kRadioOn], 6, 6), 300);
  EXPECT_NE(Rgb(pics[kHand], kHandCursorHotX, kHandCursorHotY), 0xFF00FFu);
  EXPECT_EQ(Rgb(pics[kHand], kHandCursorHotX, kHandCursorHotY - 1), 0xFF00FFu);
  // The metal tiles downwards: the seam between its last and first row steps no
  // more than the rows inside it do.
  auto row_mean = [&](int y) {
    long sum = 0;
    for (int x = 0; x < 556; ++x) sum += Brightness(pics[kMetal], x, y);
    return sum / 556.0;
  };
  double inner_step = 0.0;
  for (int y = 1; y < 20; ++y) inner_step = std::max(inner_step, std::fabs(row_mean(y) - row_mean(y - 1)));
  EXPECT_LE(std::fabs(row_mean(0) - row_mean(19)), inner_step);
}

TEST(Assets, DecoderRejectsWhatItCannotRead) {
  Picture p;
  std::string bmp(RingTextureBmp());
  EXPECT_FALSE(DecodeBmp24(bmp.substr(0, bmp.size() - 1), &p));  // truncated
  EXPECT_TRUE(p.rgb.empty());
  std::string eight = bmp;
  eight[28] = 8;  // 8 bits per pixel
  EXPECT_FALSE(DecodeBmp24(eight, &p));
  EXPECT_FALSE(DecodeBmp24("BM", &p));
  // A top-down copy decodes to the same picture.
  Picture up, down;
  ASSERT_TRUE(DecodeBmp24(bmp, &up));
  std::string flipped = bmp.substr(0, 54);
  const size_t row = 128 * 3;
  for (int y = 127; y >= 0; --y) flipped += bmp.substr(54 + y * row, row);
  const std::int32_t negative = -128;
  flipped.replace(22, 4, reinterpret_cast<const char*>(&negative), 4);
  ASSERT_TRUE(DecodeBmp24(flipped, &down));
  EXPECT_EQ(up.rgb, down.rgb);
}

}  // namespace

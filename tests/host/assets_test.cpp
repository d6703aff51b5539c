// The pictures built into the host: sizes and looks that the renderer relies on.
#include <gtest/gtest.h>

#include "assets.h"

namespace {

int Brightness(const Picture& p, int x, int y) {
  const std::uint8_t* px = &p.rgb[(static_cast<size_t>(y) * p.width + x) * 3];
  return px[0] + px[1] + px[2];
}

TEST(Assets, TexturesAndPreviewHaveTheirSizes) {
  Picture ring, stars, preview;
  ASSERT_TRUE(DecodeBmp24(RingTextureBmp(), &ring));
  ASSERT_TRUE(DecodeBmp24(StarTextureBmp(), &stars));
  ASSERT_TRUE(DecodeBmp24(PreviewPictureBmp(), &preview));
  EXPECT_EQ(ring.width, 128);
  EXPECT_EQ(ring.height, 128);
  EXPECT_EQ(stars.width, 256);
  EXPECT_EQ(stars.height, 256);
  EXPECT_EQ(preview.width, 152);
  EXPECT_EQ(preview.height, 112);
}

TEST(Assets, RingIsWhiteOnBlackWithADarkCentre) {
  Picture ring;
  ASSERT_TRUE(DecodeBmp24(RingTextureBmp(), &ring));
  // Black border all round (additive sprites must not show their square).
  for (int i = 0; i < 128; ++i) {
    EXPECT_EQ(Brightness(ring, i, 0), 0);
    EXPECT_EQ(Brightness(ring, 0, i), 0);
    EXPECT_EQ(Brightness(ring, i, 127), 0);
    EXPECT_EQ(Brightness(ring, 127, i), 0);
  }
  EXPECT_GT(Brightness(ring, 64 + 38, 64), 700);  // on the ring
  EXPECT_LT(Brightness(ring, 64, 64), 150);       // the hole
  const std::uint8_t* on = &ring.rgb[(64 * 128 + 102) * 3];
  EXPECT_EQ(on[0], on[1]);
  EXPECT_EQ(on[1], on[2]);
}

TEST(Assets, StarFieldIsMostlyBlackAndBlue) {
  Picture stars;
  ASSERT_TRUE(DecodeBmp24(StarTextureBmp(), &stars));
  long dark = 0, blue_sum = 0, red_sum = 0;
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) {
      const std::uint8_t* p = &stars.rgb[(static_cast<size_t>(y) * 256 + x) * 3];
      if (p[0] + p[1] + p[2] < 30) ++dark;
      red_sum += p[0];
      blue_sum += p[2];
    }
  }
  EXPECT_GT(dark, 256 * 256 * 6 / 10);
  EXPECT_GT(blue_sum, red_sum * 3 / 2);
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

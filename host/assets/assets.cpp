#include "assets.h"

extern const unsigned char kTextureRingBmp[];
extern const std::size_t kTextureRingBmp_size;
extern const unsigned char kTextureStarsBmp[];
extern const std::size_t kTextureStarsBmp_size;
extern const unsigned char kPreviewBmp[];
extern const std::size_t kPreviewBmp_size;
extern const unsigned char kButtonNormalBmp[];
extern const std::size_t kButtonNormalBmp_size;
extern const unsigned char kButtonHighLightBmp[];
extern const std::size_t kButtonHighLightBmp_size;
extern const unsigned char kButtonHighLightSelectBmp[];
extern const std::size_t kButtonHighLightSelectBmp_size;
extern const unsigned char kButtonSelectedBmp[];
extern const std::size_t kButtonSelectedBmp_size;
extern const unsigned char kButtonPressedBmp[];
extern const std::size_t kButtonPressedBmp_size;
extern const unsigned char kButtonDisableBmp[];
extern const std::size_t kButtonDisableBmp_size;
extern const unsigned char kRadioOffBmp[];
extern const std::size_t kRadioOffBmp_size;
extern const unsigned char kRadioOnBmp[];
extern const std::size_t kRadioOnBmp_size;
extern const unsigned char kMetalStripBmp[];
extern const std::size_t kMetalStripBmp_size;
extern const unsigned char kHandCursorBmp[];
extern const std::size_t kHandCursorBmp_size;
extern const unsigned char kWindowIconBmp[];
extern const std::size_t kWindowIconBmp_size;

namespace {

std::string_view View(const unsigned char* data, std::size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

std::uint32_t Le32(std::string_view s, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24;
}

}  // namespace

std::string_view RingTextureBmp() { return View(kTextureRingBmp, kTextureRingBmp_size); }
std::string_view StarTextureBmp() { return View(kTextureStarsBmp, kTextureStarsBmp_size); }
std::string_view PreviewPictureBmp() { return View(kPreviewBmp, kPreviewBmp_size); }

std::string_view ButtonPictureBmp(int index) {
  switch (index) {
    case 0: return View(kButtonNormalBmp, kButtonNormalBmp_size);
    case 1: return View(kButtonHighLightBmp, kButtonHighLightBmp_size);
    case 2: return View(kButtonHighLightSelectBmp, kButtonHighLightSelectBmp_size);
    case 3: return View(kButtonSelectedBmp, kButtonSelectedBmp_size);
    case 4: return View(kButtonPressedBmp, kButtonPressedBmp_size);
    case 5: return View(kButtonDisableBmp, kButtonDisableBmp_size);
    default: return std::string_view();
  }
}
std::string_view RadioMarkBmp(bool selected) {
  return selected ? View(kRadioOnBmp, kRadioOnBmp_size) : View(kRadioOffBmp, kRadioOffBmp_size);
}
std::string_view MetalStripBmp() { return View(kMetalStripBmp, kMetalStripBmp_size); }
std::string_view HandCursorBmp() { return View(kHandCursorBmp, kHandCursorBmp_size); }
std::string_view WindowIconBmp() { return View(kWindowIconBmp, kWindowIconBmp_size); }

bool DecodeBmp24(std::string_view file, Picture* out) {
  *out = Picture();
  if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') return false;
  const std::uint32_t offset = Le32(file, 10);
  const std::uint32_t header = Le32(file, 14);
  const std::int32_t width = static_cast<std::int32_t>(Le32(file, 18));
  std::int32_t height = static_cast<std::int32_t>(Le32(file, 22));
  const std::uint32_t planes_bits = Le32(file, 26);
  const std::uint32_t compression = Le32(file, 30);
  if (header != 40 || planes_bits != (1u | 24u << 16) || compression != 0) return false;
  const bool top_down = height < 0;
  if (top_down) height = -height;
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return false;
  const std::size_t row = (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
  if (offset > file.size() || (file.size() - offset) / row < static_cast<std::size_t>(height)) return false;

  out->width = width;
  out->height = height;
  out->rgb.resize(static_cast<std::size_t>(width) * height * 3);
  for (std::int32_t y = 0; y < height; ++y) {
    const std::size_t src_row = offset + row * static_cast<std::size_t>(top_down ? y : height - 1 - y);
    std::uint8_t* dst = &out->rgb[static_cast<std::size_t>(y) * width * 3];
    for (std::int32_t x = 0; x < width; ++x) {
      const char* p = &file[src_row + static_cast<std::size_t>(x) * 3];
      dst[x * 3 + 0] = static_cast<std::uint8_t>(p[2]);
      dst[x * 3 + 1] = static_cast<std::uint8_t>(p[1]);
      dst[x * 3 + 2] = static_cast<std::uint8_t>(p[0]);
    }
  }
  return true;
}

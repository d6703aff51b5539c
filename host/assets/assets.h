#pragma once
// The pictures the host's forms carry, built into the program. Each is a complete
// 24-bit BMP file (see generate_assets.cpp for how they are drawn).
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// 128 x 128 soft white ring on black: written as the renderer's particle sprite.
std::string_view RingTextureBmp();
// 256 x 256 blue star field with a bright blue star cluster: the renderer's background.
std::string_view StarTextureBmp();
// 152 x 112 still of a run, shown by the preview.
std::string_view PreviewPictureBmp();

// The settings dialog's pictures.
// The push button's looks, 64 x 25 each; only their outer 4-pixel band is drawn.
std::string_view ButtonPictureBmp(int index);  // 0 Normal, 1 HighLight, 2 HighLightSelect, 3 Selected, 4
                                               // Pressed, 5 Disable; empty view outside 0..5
// 12 x 12 radio mark on the panel's grey (224, 224, 224).
std::string_view RadioMarkBmp(bool selected);
// 556 x 20 brushed metal, tiled over the music panel; seamless downwards.
std::string_view MetalStripBmp();
// Pointing hand over the web address. Magenta pixels are transparent, black and
// white the two colours; the hotspot, the tip of the index finger, is (12, 10).
std::string_view HandCursorBmp();  // 32 x 32, #FF00FF transparent, hotspot (12, 10)
std::string_view WindowIconBmp();  // 32 x 32, #FF00FF transparent
inline constexpr int kHandCursorHotX = 12, kHandCursorHotY = 10;

// A decoded picture: RGB bytes, top row first, no padding.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
};

// Decodes an uncompressed 24-bit BMP with a 40-byte header (bottom-up or top-down).
// Returns false, leaving *out empty, for anything else or a file too short for
// what its header claims.
bool DecodeBmp24(std::string_view file, Picture* out);

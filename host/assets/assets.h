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

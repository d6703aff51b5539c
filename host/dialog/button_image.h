#pragma once
// The button's persistent image in memory, for platforms whose toolkit has no
// gradient fill or stretching copy of its own: 24-bit RGB, top row first.
#include <cstdint>
#include <vector>

#include "assets.h"
#include "command_button.h"

class ButtonImage {
 public:
  void Resize(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::uint8_t* Rgb() const { return rgb_.data(); }
  const std::uint8_t* Pixel(int x, int y) const { return &rgb_[(static_cast<size_t>(y) * width_ + x) * 3]; }

  // White, as a cleared window's background.
  void Clear();
  // Rows from the top vertex's row down to, not including, the bottom vertex's row,
  // and columns likewise; colour interpolated per row from the top vertex's colour
  // towards the bottom one's.
  void FillGradient(const GradientVertex& top_left, const GradientVertex& bottom_right);
  // Nearest-neighbour stretching copy; parts outside the image or the picture are
  // left out.
  void Copy(const Picture& picture, const PixelRect& destination, const PixelRect& source);

 private:
  int width_ = 0, height_ = 0;
  std::vector<std::uint8_t> rgb_;
};

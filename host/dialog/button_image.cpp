#include "button_image.h"

#include <algorithm>

void ButtonImage::Resize(int width, int height) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  rgb_.assign(static_cast<size_t>(width_) * height_ * 3, 0xFF);
}

void ButtonImage::Clear() { std::fill(rgb_.begin(), rgb_.end(), std::uint8_t{0xFF}); }

void ButtonImage::FillGradient(const GradientVertex& a, const GradientVertex& b) {
  const int top = std::max(0, std::min(a.y, b.y)), bottom = std::min(height_, std::max(a.y, b.y));
  const int left = std::max(0, std::min(a.x, b.x)), right = std::min(width_, std::max(a.x, b.x));
  const GradientVertex& upper = a.y <= b.y ? a : b;
  const GradientVertex& lower = a.y <= b.y ? b : a;
  const int span = lower.y - upper.y;
  if (span <= 0) return;
  for (int y = top; y < bottom; ++y) {
    const std::int64_t t = y - upper.y;
    auto channel = [&](std::uint16_t from, std::uint16_t to) {
      return static_cast<std::uint8_t>((from + (static_cast<std::int64_t>(to) - from) * t / span) >> 8);
    };
    const std::uint8_t r = channel(upper.red, lower.red), g = channel(upper.green, lower.green),
                       bl = channel(upper.blue, lower.blue);
    for (int x = left; x < right; ++x) {
      std::uint8_t* p = &rgb_[(static_cast<size_t>(y) * width_ + x) * 3];
      p[0] = r;
      p[1] = g;
      p[2] = bl;
    }
  }
}

void ButtonImage::Copy(const Picture& picture, const PixelRect& d, const PixelRect& s) {
  if (d.width <= 0 || d.height <= 0 || s.width <= 0 || s.height <= 0) return;
  for (int dy = 0; dy < d.height; ++dy) {
    const int y = d.y + dy, sy = s.y + static_cast<int>(static_cast<std::int64_t>(dy) * s.height / d.height);
    if (y < 0 || y >= height_ || sy < 0 || sy >= picture.height) continue;
    for (int dx = 0; dx < d.width; ++dx) {
      const int x = d.x + dx, sx = s.x + static_cast<int>(static_cast<std::int64_t>(dx) * s.width / d.width);
      if (x < 0 || x >= width_ || sx < 0 || sx >= picture.width) continue;
      const std::uint8_t* from = &picture.rgb[(static_cast<size_t>(sy) * picture.width + sx) * 3];
      std::uint8_t* to = &rgb_[(static_cast<size_t>(y) * width_ + x) * 3];
      std::copy(from, from + 3, to);
    }
  }
}

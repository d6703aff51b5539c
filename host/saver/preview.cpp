#include "preview.h"

#include <cmath>
#include <limits>

#include "assets.h"
#include "settings.h"
#include "veloran_names.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A form size in twips, kept as the 16-bit number the form stores. A size out of
// that range cannot be stored and leaves the old value (0).
std::int16_t Twips16(double twips) {
  const double rounded = std::nearbyint(twips);
  if (rounded < -32768.0 || rounded > 32767.0) return 0;
  return static_cast<std::int16_t>(rounded);
}

}  // namespace

std::int32_t PreviewWindowNumber(const std::string& command_line, bool hex) {
  if (command_line.size() < 4) return 0;
  std::size_t i = 3;
  while (i < command_line.size() && IsBlank(command_line[i])) ++i;

  if (hex && i + 2 < command_line.size() && command_line[i] == '0' &&
      (command_line[i + 1] == 'x' || command_line[i + 1] == 'X') && HexDigit(command_line[i + 2]) >= 0) {
    std::uint64_t value = 0;
    for (i += 2; i < command_line.size() && HexDigit(command_line[i]) >= 0; ++i) {
      value = value * 16 + static_cast<std::uint64_t>(HexDigit(command_line[i]));
      if (value > 0xFFFFFFFFull) return 0;
    }
    // X window ids use all 32 bits; they are kept as the same 32 bits.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  }

  bool negative = false;
  if (i < command_line.size() && (command_line[i] == '+' || command_line[i] == '-')) {
    negative = command_line[i] == '-';
    ++i;
  }
  double value = 0.0;
  bool any = false;
  for (; i < command_line.size() && command_line[i] >= '0' && command_line[i] <= '9'; ++i) {
    value = value * 10.0 + (command_line[i] - '0');
    any = true;
    if (value > 1e12) return 0;
  }
  if (i < command_line.size() && command_line[i] == '.') {
    double scale = 0.1;
    for (++i; i < command_line.size() && command_line[i] >= '0' && command_line[i] <= '9'; ++i) {
      value += (command_line[i] - '0') * scale;
      scale /= 10.0;
    }
  }
  if (!any) return 0;
  if (negative) value = -value;
  const double rounded = std::nearbyint(value);  // the default rounding: halves to even
  if (rounded < std::numeric_limits<std::int32_t>::min() ||
      rounded > std::numeric_limits<std::int32_t>::max()) {
    return 0;
  }
  return static_cast<std::int32_t>(rounded);
}

void PreviewForm::Load(const std::string& command_line) {
  const std::int32_t n = PreviewWindowNumber(command_line, rt_.HexWindowNumbers());
  const WindowHandle parent = static_cast<std::uint32_t>(n);

  ScreenRect rect;
  const bool found = parent != 0 && rt_.GetWindowRect(parent, &rect);
  API_Result = found ? 1 : 0;
  if (!found) {
    rt_.EndProgram();
    return;
  }

  const int tpp_x = rt_.TwipsPerPixelX();
  const int tpp_y = rt_.TwipsPerPixelY();
  const std::int16_t width = Twips16(static_cast<double>(tpp_x) * (rect.right - rect.left));
  const std::int16_t height = Twips16(static_cast<double>(tpp_y) * (rect.bottom - rect.top));

  Picture picture;
  DecodeBmp24(PreviewPictureBmp(), &picture);
  window_ = rt_.LoadPreviewForm(kPreviewFormCaption, picture, [this] { Unload(); });

  API_Result = window_->AddChildStyle();
  API_Result = static_cast<std::int32_t>(window_->SetParent(parent));
  const int width_px = tpp_x > 0 ? width / tpp_x : 0;
  const int height_px = tpp_y > 0 ? height / tpp_y : 0;
  window_->Move(0, 0, width_px, height_px);
  window_->SetPictureSize(width_px, height_px);
  window_->Show();
}

void PreviewForm::Unload() {
  window_->Owner();
  API_Result = window_->PostClose();
}

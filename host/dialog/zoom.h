#pragma once
// The settings dialog's zoom animation out of a screen point to its window, and back.

#include <cstdint>

#include "runtime.h"

// The screen point (pixels) the dialog zooms out of and back into.
struct ZoomPoint {
  std::int16_t Zoom_X = 0;
  std::int16_t Zoom_Y = 0;
};

void ZoomOpen(Runtime& rt, const ZoomPoint& point, WindowHandle window);
void ZoomClose(Runtime& rt, const ZoomPoint& point, WindowHandle window);

#include "zoom.h"

namespace {

ScreenRect PointRect(const ZoomPoint& point) {
  ScreenRect r;
  r.left = r.right = point.Zoom_X;
  r.top = r.bottom = point.Zoom_Y;
  return r;
}

}  // namespace

void ZoomOpen(Runtime& rt, const ZoomPoint& point, WindowHandle window) {
  ScreenRect window_rect;
  rt.GetWindowRect(window, &window_rect);
  rt.DrawAnimatedRects(window, PointRect(point), window_rect);
}

void ZoomClose(Runtime& rt, const ZoomPoint& point, WindowHandle window) {
  ScreenRect window_rect;
  rt.GetWindowRect(window, &window_rect);
  rt.DrawAnimatedRects(window, window_rect, PointRect(point));
}

#pragma once
// What the Windows dialog tests read back: a window's client area as it paints itself,
// and a pixel of one of the host's pictures.
#include <windows.h>

#include <string_view>
#include <vector>

#include "assets.h"
#include "test_support.h"

inline Rgb Of(COLORREF c) { return {GetRValue(c), GetGValue(c), GetBValue(c)}; }

// The client area of a window as it paints itself (WM_PRINTCLIENT) into a bitmap.
struct Printed {
  explicit Printed(HWND w) {
    RECT r;
    GetClientRect(w, &r);
    width = r.right;
    height = r.bottom;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(w, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) pixels.push_back(Of(GetPixel(dc, x, y)));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  Rgb At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }

  int width = 0, height = 0;
  std::vector<Rgb> pixels;  // row by row from the top
};

inline Picture Decoded(std::string_view bmp) {
  Picture p;
  DecodeBmp24(bmp, &p);
  return p;
}
inline Rgb PictureAt(const Picture& p, int x, int y) {
  const std::uint8_t* px = &p.rgb[(static_cast<size_t>(y) * p.width + x) * 3];
  return {px[0], px[1], px[2]};
}
inline Rgb PictureAt(std::string_view bmp, int x, int y) { return PictureAt(Decoded(bmp), x, y); }

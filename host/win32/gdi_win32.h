#pragma once
// Helpers of the host's windows on Windows (the forms and the settings dialog's): their window classes and
// paint messages, pictures as device-independent bitmaps, caption fonts, UTF-8, UTF-16 and code page 932
// text, the hand cursor and the window icon built from the host's pictures.
//  [X] one registration per window class, however many windows use it
//  [X] WM_PAINT, WM_PRINTCLIENT (a parent printing itself under a transparent child)
//      and WM_ERASEBKGND (every window paints all of itself) answered in one place
//  [X] text in UTF-16 for the system's calls, whatever the system's code page
//  [ ] pictures scaled with the screen's resolution: they are drawn at their own
//      pixel size, as their sizes are given in pixels
#include <windows.h>

#include <string>
#include <string_view>

#include "assets.h"
#include "property_bag.h"

// Registers a window class of this program: `proc` for its messages, the arrow
// pointer, `background` (none by default). Registering a name again changes nothing.
void RegisterWindowClass(const char* name, WNDPROC proc, HBRUSH background = nullptr);

// The object a window of these classes belongs to: passed as the creation parameter
// of CreateWindowExA (kept from WM_NCCREATE on), or stored with SetWindowObject.
template <typename T>
T* WindowObject(HWND hwnd, UINT msg, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lp);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  return reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}
inline void SetWindowObject(HWND hwnd, void* object) {
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
}

// The paint messages of a window that draws all of itself with `paint(dc)`: WM_PAINT
// (between BeginPaint and EndPaint), WM_PRINTCLIENT (into the DC given), and
// WM_ERASEBKGND (nothing to erase). True when `msg` was one of them, its answer in
// *result.
template <typename Paint>
bool PaintMessage(HWND hwnd, UINT msg, WPARAM wp, LRESULT* result, Paint&& paint) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      paint(dc);
      EndPaint(hwnd, &ps);
      *result = 0;
      return true;
    }
    case WM_PRINTCLIENT:
      paint(reinterpret_cast<HDC>(wp));
      *result = 0;
      return true;
    case WM_ERASEBKGND: *result = 1; return true;
    default: return false;
  }
}

std::wstring WideFromUtf8(const std::string& utf8);
// Text in the system's ANSI code page (a path as the file dialog gave it) as UTF-16.
std::wstring WideFromAnsi(const std::string& ansi);
// UTF-16 text in the system's ANSI code page, the spelling the host keeps paths in.
std::string AnsiFromWide(const std::wstring& wide);
std::string CodePage932FromUtf8(const std::string& utf8);

// A 24-bit top-down DIB section holding the picture; null when it is empty.
HBITMAP CreatePictureBitmap(const Picture& picture);
// Decodes a built-in BMP file into a DIB section; null when it does not decode.
HBITMAP CreatePictureBitmap(std::string_view bmp_file);

// The font a FontSpec names, at `dpi` dots per inch (height in pixels = -points * dpi / 72).
HFONT CreateFontOf(const FontSpec& font, int dpi);

// The two-colour pointing hand (black and white, magenta transparent) and the window
// icon (magenta transparent); null when the picture does not decode.
HCURSOR CreateHandCursor();
HICON CreateWindowIcon();

// Draws `text` in `rect` like a label with a transparent background: the caption's
// colour, or when disabled the system's engraved grey look.
void DrawLabelText(HDC dc, const std::wstring& text, RECT rect, UINT format, HFONT font, COLORREF colour,
                   bool enabled);

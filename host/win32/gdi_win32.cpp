// GDI helpers of the settings dialog's windows (see gdi_win32.h).
#include "gdi_win32.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

std::wstring Widen(UINT code_page, const std::string& text) {
  if (text.empty()) return std::wstring();
  const int n = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
  return out;
}

bool IsMagenta(const std::uint8_t* rgb) { return rgb[0] == 0xFF && rgb[1] == 0x00 && rgb[2] == 0xFF; }

std::string Narrow(UINT code_page, const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int n = WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                    nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n, nullptr, nullptr);
  return out;
}

}  // namespace

void RegisterWindowClass(const char* name, WNDPROC proc, HBRUSH background) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  RegisterClassA(&wc);  // fails, harmlessly, when the class is there already
}

std::wstring WideFromUtf8(const std::string& utf8) { return Widen(CP_UTF8, utf8); }
std::wstring WideFromAnsi(const std::string& ansi) { return Widen(CP_ACP, ansi); }
std::string AnsiFromWide(const std::wstring& wide) { return Narrow(CP_ACP, wide); }
std::string CodePage932FromUtf8(const std::string& utf8) { return Narrow(932, WideFromUtf8(utf8)); }

HBITMAP CreatePictureBitmap(const Picture& picture) {
  if (picture.width <= 0 || picture.height <= 0) return nullptr;
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = picture.width;
  bi.bmiHeader.biHeight = -picture.height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) return bitmap;
  const size_t stride = (static_cast<size_t>(picture.width) * 3 + 3) & ~static_cast<size_t>(3);
  auto* out = static_cast<std::uint8_t*>(bits);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const std::uint8_t* src = &picture.rgb[(static_cast<size_t>(y) * picture.width + x) * 3];
      std::uint8_t* dst = out + stride * y + static_cast<size_t>(x) * 3;
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  GdiFlush();
  return bitmap;
}

HBITMAP CreatePictureBitmap(std::string_view bmp_file) {
  Picture picture;
  if (!DecodeBmp24(bmp_file, &picture)) return nullptr;
  return CreatePictureBitmap(picture);
}

HFONT CreateFontOf(const FontSpec& font, int dpi) {
  const int height = -static_cast<int>(std::lround(font.size * dpi / 72.0));
  const std::wstring face = WideFromUtf8(font.face).substr(0, LF_FACESIZE - 1);
  return CreateFontW(height, 0, 0, 0, font.weight, font.italic, font.underline, font.strikethrough,
                     static_cast<DWORD>(font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

HCURSOR CreateHandCursor() {
  Picture picture;
  if (!DecodeBmp24(HandCursorBmp(), &picture) || picture.width != 32 || picture.height != 32) return nullptr;
  // One bit a pixel, rows of four bytes, leftmost pixel in the high bit: the AND mask
  // keeps the screen where the picture is transparent, the XOR mask sets white.
  std::uint8_t and_mask[32 * 4] = {};
  std::uint8_t xor_mask[32 * 4] = {};
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const std::uint8_t* p = &picture.rgb[(static_cast<size_t>(y) * 32 + x) * 3];
      const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (x % 8));
      if (IsMagenta(p)) and_mask[y * 4 + x / 8] |= bit;
      else if (p[0] + p[1] + p[2] > 3 * 128) xor_mask[y * 4 + x / 8] |= bit;
    }
  }
  return CreateCursor(GetModuleHandleA(nullptr), kHandCursorHotX, kHandCursorHotY, 32, 32, and_mask,
                      xor_mask);
}

HICON CreateWindowIcon() {
  Picture picture;
  if (!DecodeBmp24(WindowIconBmp(), &picture)) return nullptr;
  // Transparent pixels: set in the mask, black in the colour picture.
  Picture colour = picture;
  const int w = picture.width, h = picture.height;
  const int mask_stride = ((w + 15) / 16) * 2;
  std::vector<std::uint8_t> mask(static_cast<size_t>(mask_stride) * h, 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = &colour.rgb[(static_cast<size_t>(y) * w + x) * 3];
      if (IsMagenta(p)) {
        mask[static_cast<size_t>(y) * mask_stride + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        p[0] = p[1] = p[2] = 0;
      }
    }
  }
  ICONINFO info = {};
  info.fIcon = TRUE;
  info.hbmMask = CreateBitmap(w, h, 1, 1, mask.data());
  info.hbmColor = CreatePictureBitmap(colour);
  HICON icon = info.hbmMask && info.hbmColor ? CreateIconIndirect(&info) : nullptr;
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return icon;
}

void DrawLabelText(HDC dc, const std::wstring& text, RECT rect, UINT format, HFONT font, COLORREF colour,
                   bool enabled) {
  if (text.empty()) return;
  const int old_mode = SetBkMode(dc, TRANSPARENT);
  HGDIOBJ old_font = font ? SelectObject(dc, font) : nullptr;
  const COLORREF old_colour = GetTextColor(dc);
  if (enabled) {
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
  } else {
    // Engraved: a highlight one pixel down and right, the grey text over it.
    RECT shifted = rect;
    OffsetRect(&shifted, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &shifted, format);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
  }
  SetTextColor(dc, old_colour);
  if (old_font) SelectObject(dc, old_font);
  SetBkMode(dc, old_mode);
}

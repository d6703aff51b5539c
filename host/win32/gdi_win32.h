#pragma once
// GDI helpers of the settings dialog's windows: pictures as device-independent
// bitmaps, caption fonts, UTF-8 and code page 932 text, the hand cursor and the
// window icon built from the host's pictures.
#include <windows.h>

#include <string>
#include <string_view>

#include "assets.h"
#include "property_bag.h"

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

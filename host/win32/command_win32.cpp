// "Veloran.Command" on Windows (see command_win32.h).
#include "command_win32.h"

#include <cmath>

#include "assets.h"
#include "gdi_win32.h"

namespace {

const char kClassName[] = "Veloran.Command";
// The caption label's height: one line of the dialog's font.
constexpr int kCaptionHeightTwips = 195;

WindowHandle FromHwnd(HWND w) { return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(w)); }
int Pixels(int twips, int twips_per_pixel) { return twips / (twips_per_pixel > 0 ? twips_per_pixel : 15); }

}  // namespace

// The hover poll: a timer of the control's own window, so it ends with the window.
class Win32CommandButton::WindowTimer : public FormTimer {
 public:
  WindowTimer(Win32CommandButton& owner, unsigned interval_ms, std::function<void()> tick)
      : owner_(owner), interval_ms_(interval_ms) {
    owner_.tick_ = std::move(tick);
  }
  ~WindowTimer() override { SetEnabled(false); }
  void SetEnabled(bool on) override {
    if (on == (owner_.timer_id_ != 0) || !owner_.hwnd_) return;
    if (on) {
      owner_.timer_id_ = SetTimer(owner_.hwnd_, 1, interval_ms_, nullptr);
    } else {
      KillTimer(owner_.hwnd_, owner_.timer_id_);
      owner_.timer_id_ = 0;
    }
  }
  bool Enabled() const override { return owner_.timer_id_ != 0; }

 private:
  Win32CommandButton& owner_;
  unsigned interval_ms_;
};

Win32CommandButton::Win32CommandButton(HWND parent, int x, int y, int width, int height, int twips_per_pixel,
                                       int id)
    : twips_per_pixel_(twips_per_pixel > 0 ? twips_per_pixel : 15),
      font_spec_(DialogFont()),
      font_(CreateFontOf(font_spec_, 1440 / twips_per_pixel_)),
      button_(*this) {
  for (int i = 0; i < kButtonPictureCount; ++i) pictures_[i] = CreatePictureBitmap(ButtonPictureBmp(i));
  RegisterWindowClass(kClassName, &Win32CommandButton::Proc);
  // A tab stop while enabled (see SetCaptionEnabled).
  hwnd_ = CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, x, y,
                          width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          GetModuleHandleA(nullptr), nullptr);
  // Notifications reach the button from here on (not those of the creation itself).
  if (hwnd_) SetWindowObject(hwnd_, this);
}

Win32CommandButton::Win32CommandButton(HWND parent, int x, int y, int twips_per_pixel)
    : Win32CommandButton(parent, x, y, Pixels(CommandButton::kDesignWidthTwips, twips_per_pixel),
                         Pixels(CommandButton::kDesignHeightTwips, twips_per_pixel), twips_per_pixel) {}

Win32CommandButton::~Win32CommandButton() {
  if (hwnd_) DestroyWindow(hwnd_);
  if (image_dc_) {
    SelectObject(image_dc_, image_old_);
    DeleteDC(image_dc_);
  }
  if (image_bitmap_) DeleteObject(image_bitmap_);
  if (font_) DeleteObject(font_);
  for (HBITMAP picture : pictures_)
    if (picture) DeleteObject(picture);
}

LRESULT CALLBACK Win32CommandButton::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = WindowObject<Win32CommandButton>(hwnd, msg, lp);
  if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
  return self->Handle(msg, wp, lp);
}

LRESULT Win32CommandButton::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  HWND hwnd = hwnd_;
  LRESULT painted = 0;
  if (PaintMessage(hwnd, msg, wp, &painted, [this](HDC dc) { Paint(dc); })) return painted;
  switch (msg) {
    case WM_GETDLGCODE:
      // A push button to the dialog manager (IsDialogMessage): Tab and the arrows
      // move on from it, and it is not the one Enter would press.
      return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case WM_KEYDOWN:
      if (wp != VK_SPACE) break;
      if ((lp & (1 << 30)) == 0) button_.OnSpaceDown();  // not the key's repeats
      return 0;
    case WM_KEYUP:
      if (wp != VK_SPACE) break;
      button_.OnSpaceUp();  // may close the dialog: nothing after it
      return 0;
    case WM_SIZE: button_.OnResize(); return 0;
    case WM_SETFOCUS: button_.OnFocusGained(); return 0;
    case WM_KILLFOCUS: button_.OnFocusLost(); return 0;
    case WM_LBUTTONDOWN: MouseDown(MouseButton::Left); return 0;
    case WM_RBUTTONDOWN: MouseDown(MouseButton::Right); return 0;
    case WM_MBUTTONDOWN: MouseDown(MouseButton::Middle); return 0;
    case WM_MOUSEMOVE: button_.OnMouseMove(); return 0;
    // A Click may close the dialog and destroy this window: nothing after it.
    case WM_LBUTTONUP: MouseUp(MouseButton::Left, wp); return 0;
    case WM_RBUTTONUP: MouseUp(MouseButton::Right, wp); return 0;
    case WM_MBUTTONUP: MouseUp(MouseButton::Middle, wp); return 0;
    case WM_TIMER:
      if (wp == timer_id_ && tick_) tick_();
      return 0;
    case WM_NCDESTROY:
      SetWindowObject(hwnd, nullptr);
      hwnd_ = nullptr;
      timer_id_ = 0;
      break;
    default: break;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void Win32CommandButton::MouseDown(MouseButton which) {
  // An enabled control takes the focus and holds the mouse until the release.
  if (caption_enabled_) {
    SetFocus(hwnd_);
    if (hwnd_) SetCapture(hwnd_);
  }
  button_.OnMouseDown(which);
}

void Win32CommandButton::MouseUp(MouseButton which, WPARAM keys) {
  if ((keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && hwnd_ && GetCapture() == hwnd_)
    ReleaseCapture();
  button_.OnMouseUp(which);
}

void Win32CommandButton::Paint(HDC dc) {
  RECT client;
  GetClientRect(hwnd_, &client);
  if (opaque_ && image_dc_) {
    BitBlt(dc, 0, 0, client.right, client.bottom, image_dc_, 0, 0, SRCCOPY);
  } else if (HWND parent = GetParent(hwnd_)) {
    // A transparent body shows what its container draws beneath it.
    POINT origin = {0, 0};
    MapWindowPoints(hwnd_, parent, &origin, 1);
    POINT old;
    OffsetWindowOrgEx(dc, origin.x, origin.y, &old);
    SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SetWindowOrgEx(dc, old.x, old.y, nullptr);
  }
  DrawLabelText(dc, caption_wide_, caption_rect_,
                DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP, font_, caption_colour_,
                caption_enabled_);
}

void Win32CommandButton::Invalidate() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

// --- ButtonSurface ---

int Win32CommandButton::WidthTwips() { return InnerWidth() * twips_per_pixel_; }
int Win32CommandButton::HeightTwips() { return InnerHeight() * twips_per_pixel_; }

int Win32CommandButton::InnerWidth() {
  RECT r = {0, 0, 0, 0};
  if (hwnd_) GetClientRect(hwnd_, &r);
  return r.right;
}

int Win32CommandButton::InnerHeight() {
  RECT r = {0, 0, 0, 0};
  if (hwnd_) GetClientRect(hwnd_, &r);
  return r.bottom;
}

void Win32CommandButton::ClearImage() {
  const int w = InnerWidth() > 0 ? InnerWidth() : 1;
  const int h = InnerHeight() > 0 ? InnerHeight() : 1;
  if (!image_dc_ || w != image_width_ || h != image_height_) {
    HDC screen = GetDC(hwnd_);
    if (!image_dc_) {
      image_dc_ = CreateCompatibleDC(screen);
      if (!image_dc_) {
        ReleaseDC(hwnd_, screen);
        return;
      }
    }
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(hwnd_, screen);
    if (!bitmap) return;
    HGDIOBJ previous = SelectObject(image_dc_, bitmap);
    if (image_bitmap_) DeleteObject(image_bitmap_);
    else image_old_ = previous;
    image_bitmap_ = bitmap;
    image_width_ = w;
    image_height_ = h;
  }
  PatBlt(image_dc_, 0, 0, image_width_, image_height_, WHITENESS);
}

void Win32CommandButton::FillGradient(const GradientVertex& top_left, const GradientVertex& bottom_right) {
  if (!image_dc_) return;
  TRIVERTEX v[2] = {};
  const GradientVertex* in[2] = {&top_left, &bottom_right};
  for (int i = 0; i < 2; ++i) {
    v[i].x = in[i]->x;
    v[i].y = in[i]->y;
    v[i].Red = in[i]->red;
    v[i].Green = in[i]->green;
    v[i].Blue = in[i]->blue;
    v[i].Alpha = in[i]->alpha;
  }
  // One rectangle from vertex 1 to vertex 0; the fill puts each vertex's colour on
  // that vertex's own row.
  GRADIENT_RECT rect = {1, 0};
  GradientFill(image_dc_, v, 2, &rect, 1, GRADIENT_FILL_RECT_V);
}

void Win32CommandButton::CopyPicture(ButtonPicture picture, const PixelRect& d, const PixelRect& s) {
  const int index = static_cast<int>(picture);
  HBITMAP source = index >= 0 && index < kButtonPictureCount ? pictures_[index] : nullptr;
  if (!image_dc_ || !source) return;
  HDC source_dc = CreateCompatibleDC(image_dc_);
  if (!source_dc) return;
  HGDIOBJ old = SelectObject(source_dc, source);
  SetStretchBltMode(image_dc_, COLORONCOLOR);
  StretchBlt(image_dc_, d.x, d.y, d.width, d.height, source_dc, s.x, s.y, s.width, s.height, SRCCOPY);
  SelectObject(source_dc, old);
  DeleteDC(source_dc);
}

void Win32CommandButton::PresentImage() { Invalidate(); }

void Win32CommandButton::SetBodyOpaque(bool opaque) {
  opaque_ = opaque;
  Invalidate();
}

void Win32CommandButton::SetCaptionText(const std::string& utf8) {
  caption_ = utf8;
  caption_wide_ = WideFromUtf8(utf8);
  Invalidate();
}

void Win32CommandButton::SetCaptionFont(const FontSpec& font) {
  HFONT made = CreateFontOf(font, 1440 / twips_per_pixel_);
  if (!made) return;
  if (font_) DeleteObject(font_);
  font_ = made;
  font_spec_ = font;
  Invalidate();
}

bool Win32CommandButton::SetCaptionColour(std::uint32_t colour) {
  // A plain colour, or a system colour (high bit set, its index in the low byte).
  if ((colour & 0xFF000000u) == 0) {
    caption_colour_ = colour;
  } else if ((colour & 0xFFFFFF00u) == 0x80000000u && (colour & 0xFFu) <= COLOR_MENUBAR) {
    caption_colour_ = GetSysColor(static_cast<int>(colour & 0xFFu));
  } else {
    return false;
  }
  Invalidate();
  return true;
}

bool Win32CommandButton::CaptionColour(std::uint32_t* colour) {
  *colour = caption_colour_;
  return true;
}

void Win32CommandButton::SetCaptionEnabled(bool enabled) {
  // The caption follows the button's Enabled, and so does the tab stop: Tab passes a
  // disabled button by, as the mouse does.
  if (hwnd_) {
    const LONG_PTR style = GetWindowLongPtrA(hwnd_, GWL_STYLE);
    const LONG_PTR stop = WS_TABSTOP;
    SetWindowLongPtrA(hwnd_, GWL_STYLE, enabled ? (style | stop) : (style & ~stop));
  }
  if (caption_enabled_ == enabled) return;
  caption_enabled_ = enabled;
  Invalidate();
}

int Win32CommandButton::CaptionHeightTwips() { return kCaptionHeightTwips; }

void Win32CommandButton::PlaceCaption(double top_twips, int left_twips, int width_twips) {
  const double tpp = twips_per_pixel_;
  RECT r;
  r.left = static_cast<LONG>(std::lround(left_twips / tpp));
  r.top = static_cast<LONG>(std::lround(top_twips / tpp));
  r.right = r.left + static_cast<LONG>(std::lround(width_twips / tpp));
  r.bottom = r.top + static_cast<LONG>(std::lround(kCaptionHeightTwips / tpp));
  if (!EqualRect(&r, &caption_rect_)) {
    caption_rect_ = r;
    Invalidate();
  }
}

WindowHandle Win32CommandButton::OwnWindow() { return FromHwnd(hwnd_); }

WindowHandle Win32CommandButton::ParentWindow() { return hwnd_ ? FromHwnd(GetParent(hwnd_)) : 0; }

WindowHandle Win32CommandButton::WindowUnderPointer() {
  POINT p;
  if (!GetCursorPos(&p)) return 0;
  return FromHwnd(WindowFromPoint(p));
}

std::unique_ptr<FormTimer> Win32CommandButton::CreateTimer(unsigned interval_ms, std::function<void()> tick) {
  return std::make_unique<WindowTimer>(*this, interval_ms, std::move(tick));
}

FontSpec Win32CommandButton::ContainerFont() { return DialogFont(); }

#pragma once
// "Veloran.Command" on Windows: a registered window class whose windows carry the
// skinned button (command_button.h). The body lives in a persistent memory bitmap
// (gradient by GradientFill, border pieces by StretchBlt from the state pictures)
// that WM_PAINT copies to the window; the caption is drawn over it with DrawText, as
// a transparent label with no window of its own. Mouse, focus, size and the 100 ms
// hover poll (GetCursorPos + WindowFromPoint) reach the button as notifications.
//  [X] every notification of the button, the persistent image, the transparent body
//  [X] the dialog manager's push button: a tab stop while enabled, Space presses it
//  [ ] Enter: the button is never the dialog's default one (Enter presses nothing)
//  [ ] the caption's shortcut letter: '&' is shown as it is, no key is underlined
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "command_button.h"

class Win32CommandButton : public ButtonSurface {
 public:
  // A child window of `parent` at the pixel rectangle, shown with its parent, with
  // control number `id`. The notifications of its creation are not passed on: its
  // owner loads its properties, then calls OnResize.
  Win32CommandButton(HWND parent, int x, int y, int width, int height, int twips_per_pixel, int id = 0);
  // A fresh button at (x, y), at the control's design size.
  Win32CommandButton(HWND parent, int x, int y, int twips_per_pixel);
  ~Win32CommandButton() override;
  Win32CommandButton(const Win32CommandButton&) = delete;
  Win32CommandButton& operator=(const Win32CommandButton&) = delete;

  CommandButton& Button() { return button_; }
  HWND Window() const { return hwnd_; }
  // The body's persistent image (for tests: what WM_PAINT copies).
  HDC ImageDC() const { return image_dc_; }

  // --- ButtonSurface ---
  int WidthTwips() override;
  int HeightTwips() override;
  int InnerWidth() override;
  int InnerHeight() override;
  int TwipsPerPixel() override { return twips_per_pixel_; }
  void ClearImage() override;
  void FillGradient(const GradientVertex& top_left, const GradientVertex& bottom_right) override;
  void CopyPicture(ButtonPicture picture, const PixelRect& destination, const PixelRect& source) override;
  void PresentImage() override;
  void SetBodyOpaque(bool opaque) override;
  void SetCaptionText(const std::string& utf8) override;
  std::string CaptionText() override { return caption_; }
  void SetCaptionFont(const FontSpec& font) override;
  FontSpec CaptionFont() override { return font_spec_; }
  bool SetCaptionColour(std::uint32_t colour) override;
  bool CaptionColour(std::uint32_t* colour) override;
  void SetCaptionEnabled(bool enabled) override;
  int CaptionHeightTwips() override;
  void PlaceCaption(double top_twips, int left_twips, int width_twips) override;
  WindowHandle OwnWindow() override;
  WindowHandle ParentWindow() override;
  WindowHandle WindowUnderPointer() override;
  std::unique_ptr<FormTimer> CreateTimer(unsigned interval_ms, std::function<void()> tick) override;
  void PropertyChanged(const char*) override {}
  FontSpec ContainerFont() override;

 private:
  class WindowTimer;
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  void Paint(HDC dc);
  void MouseDown(MouseButton which);
  void MouseUp(MouseButton which, WPARAM keys);
  void Invalidate();

  HWND hwnd_ = nullptr;
  int twips_per_pixel_;
  HBITMAP pictures_[kButtonPictureCount] = {};  // the six state pictures
  HDC image_dc_ = nullptr;
  HBITMAP image_bitmap_ = nullptr;
  HGDIOBJ image_old_ = nullptr;
  int image_width_ = 0, image_height_ = 0;
  bool opaque_ = true;

  FontSpec font_spec_;
  HFONT font_ = nullptr;
  std::string caption_;
  std::wstring caption_wide_;
  COLORREF caption_colour_ = 0;
  bool caption_enabled_ = true;
  RECT caption_rect_ = {0, 0, 0, 0};

  std::function<void()> tick_;
  UINT_PTR timer_id_ = 0;

  CommandButton button_;
};

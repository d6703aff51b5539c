#pragma once
// The Command button as an FLTK widget: a ButtonSurface around a CommandButton.
//  [X] the body as an in-memory persistent image (gradient and the state pictures'
//      border) shown with fl_draw_image; the caption drawn over it in its font and
//      colour, greyed while disabled; a transparent body shows the caption only
//  [X] focus, mouse (left, middle and right; other buttons ignored, as on Windows),
//      size and hover-poll notifications to the button; a disabled button takes no
//      focus; Space on the focused button presses it and clicks on its release
//  [ ] a window of its own: FLTK widgets have none, so a window handle here is an
//      address (the widget's own, or the group's holding it) and the poll finds the
//      widget under the pointer by its place
//  [ ] reports of changed properties to the container: the dialog stores none back
//  [ ] the container's font: always the dialog's
#include <FL/Fl_Widget.H>

#include <cstdint>
#include <memory>
#include <string>

#include "button_image.h"
#include "command_button.h"
#include "runtime.h"

class CommandWidget : public Fl_Widget, public ButtonSurface {
 public:
  CommandWidget(Runtime& rt, int x, int y, int w, int h);

  CommandButton& Button() { return button_; }
  WindowHandle Handle() const { return reinterpret_cast<WindowHandle>(this); }

  // --- Fl_Widget ---
  void draw() override;
  int handle(int event) override;
  void resize(int x, int y, int w, int h) override;

  // --- ButtonSurface ---
  int WidthTwips() override { return w() * kTwips; }
  int HeightTwips() override { return h() * kTwips; }
  int InnerWidth() override { return w(); }
  int InnerHeight() override { return h(); }
  int TwipsPerPixel() override { return kTwips; }
  void ClearImage() override;
  void FillGradient(const GradientVertex& top_left, const GradientVertex& bottom_right) override;
  void CopyPicture(ButtonPicture picture, const PixelRect& destination, const PixelRect& source) override;
  void PresentImage() override;
  void SetBodyOpaque(bool opaque) override;
  void SetCaptionText(const std::string& utf8) override;
  std::string CaptionText() override { return caption_; }
  void SetCaptionFont(const FontSpec& font) override;
  FontSpec CaptionFont() override { return font_; }
  bool SetCaptionColour(std::uint32_t colour) override;
  bool CaptionColour(std::uint32_t* colour) override;
  void SetCaptionEnabled(bool enabled) override;
  int CaptionHeightTwips() override { return kCaptionHeightTwips; }
  void PlaceCaption(double top_twips, int left_twips, int width_twips) override;
  WindowHandle OwnWindow() override { return Handle(); }
  WindowHandle ParentWindow() override;
  WindowHandle WindowUnderPointer() override;
  std::unique_ptr<FormTimer> CreateTimer(unsigned interval_ms, std::function<void()> tick) override;
  void PropertyChanged(const char*) override {}
  FontSpec ContainerFont() override { return DialogFont(); }

 private:
  static constexpr int kTwips = 15;
  // The caption label's designed height: one line of the dialog's font.
  static constexpr int kCaptionHeightTwips = 195;

  void RepaintBehind();

  Runtime& rt_;
  ButtonImage image_;
  bool opaque_ = true;
  bool pointer_over_ = false;  // FLTK's enter seen, its leave not yet
  std::string caption_;
  FontSpec font_;
  std::uint32_t colour_ = 0;
  // The enabled look ShowEnabledState gave the caption: the control is enabled.
  bool caption_enabled_ = true;
  int caption_top_ = 0, caption_left_ = 0, caption_width_ = 0;  // pixels, in the widget
  CommandButton button_;
};

// The FLTK font for a caption font: the Japanese faces map to the IPA fonts.
// Returns the font number (set up on first use) and the size in pixels.
int FltkFont(const FontSpec& font, int* pixel_size);

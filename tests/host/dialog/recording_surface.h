#pragma once
// A button surface that records what a platform would show: the pictures presented,
// the pieces copied, the gradient, the caption and the properties reported changed.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "command_button.h"

class RecordingSurface : public ButtonSurface {
 public:
  int width_twips = 1215, height_twips = 375;
  WindowHandle own = 10, parent = 20, under_pointer = 0;
  std::vector<std::string> drawn;                       // one picture name per presented drawing
  std::vector<std::pair<PixelRect, PixelRect>> pieces;  // of the last drawing
  GradientVertex top{}, bottom{};
  bool caption_enabled = true, opaque = true, colour_fails = false;
  std::uint32_t colour = 0x123456;
  std::string caption = "as the platform starts";
  FontSpec font;
  std::vector<std::string> changed;
  std::function<void()> tick;
  bool timer_on = false;

  int WidthTwips() override { return width_twips; }
  int HeightTwips() override { return height_twips; }
  int InnerWidth() override { return width_twips / 15; }
  int InnerHeight() override { return height_twips / 15; }
  int TwipsPerPixel() override { return 15; }
  void ClearImage() override { pieces.clear(); }
  void FillGradient(const GradientVertex& a, const GradientVertex& b) override { top = a, bottom = b; }
  void CopyPicture(ButtonPicture p, const PixelRect& d, const PixelRect& s) override {
    picture = p;
    pieces.emplace_back(d, s);
  }
  void PresentImage() override {
    static const char* names[] = {"Normal", "HighLight", "HighLightSelect", "Selected", "Pressed", "Disable"};
    drawn.push_back(names[static_cast<int>(picture)]);
  }
  void SetBodyOpaque(bool o) override { opaque = o; }
  void SetCaptionText(const std::string& t) override { caption = t; }
  std::string CaptionText() override { return caption; }
  void SetCaptionFont(const FontSpec& f) override { font = f; }
  FontSpec CaptionFont() override { return font; }
  bool SetCaptionColour(std::uint32_t c) override {
    if (colour_fails) return false;
    colour = c;
    return true;
  }
  bool CaptionColour(std::uint32_t* c) override {
    *c = colour;
    return !colour_fails;
  }
  void SetCaptionEnabled(bool e) override { caption_enabled = e; }
  int CaptionHeightTwips() override { return 195; }
  void PlaceCaption(double top_twips, int, int) override { caption_top = top_twips; }
  WindowHandle OwnWindow() override { return own; }
  WindowHandle ParentWindow() override { return parent; }
  WindowHandle WindowUnderPointer() override { return under_pointer; }
  std::unique_ptr<FormTimer> CreateTimer(unsigned interval, std::function<void()> t) override {
    EXPECT_EQ(interval, 100u);
    tick = std::move(t);
    struct Timer : FormTimer {
      bool& on;
      explicit Timer(bool& o) : on(o) {}
      void SetEnabled(bool e) override { on = e; }
      bool Enabled() const override { return on; }
    };
    return std::make_unique<Timer>(timer_on);
  }
  void PropertyChanged(const char* name) override { changed.push_back(name); }
  FontSpec ContainerFont() override { return DialogFont(); }

  double caption_top = -1;
  ButtonPicture picture = ButtonPicture::Normal;  // of the last piece copied
};

// The FLTK Command widget on a real display (run under Xvfb): what a loaded button
// shows on the screen for stored properties, read back from the window's pixels.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <X11/Xutil.h>

#include <memory>
#include <string>

#include "command_fltk.h"
#include "property_bag.h"
#include "runtime_x11.h"
#include "test_support.h"

namespace {

constexpr int kLeft = 10, kTop = 10, kWidth = 81, kHeight = 25;  // Cmd_Set's size
const Rgb kBackground = {0, 128, 0};

// A window holding one Command widget loaded from `bag`, shown and painted.
class Shown {
 public:
  Shown(Runtime& rt, const std::string& bag) {
    Fl_Group::current(nullptr);
    window_ = std::make_unique<Fl_Window>(100, 100, 120, 60, "command test");
    window_->color(fl_rgb_color(kBackground.r, kBackground.g, kBackground.b));
    widget_ = new CommandWidget(rt, kLeft, kTop, kWidth, kHeight);
    window_->add(widget_);
    window_->end();
    widget_->Button().LoadProperties(PropertyBag::Parse(bag));
    widget_->Button().OnResize();
    window_->show();
    for (int i = 0; i < 20; ++i) Fl::wait(0.02);
    Fl::flush();
    XSync(fl_display, False);
    image_ = XGetImage(fl_display, fl_xid(window_.get()), kLeft, kTop, kWidth, kHeight, AllPlanes, ZPixmap);
  }
  ~Shown() {
    if (image_) XDestroyImage(image_);
    window_->hide();
    Fl::wait(0.01);
  }
  bool ok() const { return image_ != nullptr; }
  Rgb At(int x, int y) const {
    const unsigned long p = XGetPixel(image_, x, y);
    return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)};
  }
  // Whether some pixel of the caption's band matches.
  template <typename Test>
  bool CaptionHas(Test test) const {
    for (int y = 4; y < 20; ++y)
      for (int x = 20; x < 62; ++x)
        if (test(At(x, y))) return true;
    return false;
  }

 private:
  std::unique_ptr<Fl_Window> window_;
  CommandWidget* widget_ = nullptr;  // owned by the window
  XImage* image_ = nullptr;
};

bool Black(const Rgb& c) { return c.r < 60 && c.g < 60 && c.b < 60; }
bool Red(const Rgb& c) { return c.r > 150 && c.g < 90 && c.b < 90; }
bool Blue(const Rgb& c) { return c.b > 150 && c.r < 90 && c.g < 90; }

enum class Caption { Black, Grey, Red, Blue };

TEST(CommandWidgetOnScreen, LooksFollowStoredProperties) {
  char arg0[] = "command_fltk_test";
  char* argv[] = {arg0, nullptr};
  X11Runtime rt(1, argv);
  ASSERT_NE(fl_display, nullptr) << "needs an X display";

  const Rgb normal_frame = {0x00, 0x3C, 0x74}, disabled_frame = {0xC9, 0xC7, 0xBA};
  struct Row {
    const char* name;
    const char* bag;
    bool body;        // the body (gradient and border) shows
    Rgb frame;        // at the top edge's middle, row 1
    Caption caption;
  } rows[] = {
      {"enabled", "Caption=設定\n", true, normal_frame, Caption::Black},
      {"disabled", "Enabled=0\nCaption=設定\n", true, disabled_frame, Caption::Grey},
      {"red caption (0x00BBGGRR)", "Caption=設定\nFontColour=255\n", true, normal_frame, Caption::Red},
      {"blue caption", "Caption=設定\nFontColour=16711680\n", true, normal_frame, Caption::Blue},
      {"never loaded before: black", "Caption=設定\nFirstRun=0\nFontColour=255\n", true, normal_frame,
       Caption::Black},
      {"transparent body", "Caption=設定\nVisible=0\n", false, kBackground, Caption::Black},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Shown shown(rt, row.bag);
    ASSERT_TRUE(shown.ok());
    const Rgb frame = shown.At(40, 1);
    EXPECT_TRUE(Near(frame, row.frame, 12)) << frame.r << " " << frame.g << " " << frame.b;
    if (row.body) {
      // White at the top of the gradient, the pale lavender towards the bottom.
      const Rgb top = shown.At(8, 4), bottom = shown.At(8, 20);
      EXPECT_GT(top.r, 240);
      EXPECT_LT(bottom.r, top.r - 30);
      EXPECT_GT(bottom.b, bottom.r);
    }
    switch (row.caption) {
      case Caption::Black:
        EXPECT_TRUE(shown.CaptionHas(Black));
        EXPECT_FALSE(shown.CaptionHas(Red));
        break;
      case Caption::Grey:
        EXPECT_FALSE(shown.CaptionHas(Black));
        EXPECT_TRUE(shown.CaptionHas([](const Rgb& c) { return c.r < 200 && Near(c, {c.r, c.r, c.r}, 24); }));
        break;
      case Caption::Red:
        EXPECT_TRUE(shown.CaptionHas(Red));
        break;
      case Caption::Blue:
        EXPECT_TRUE(shown.CaptionHas(Blue));
        break;
    }
  }
}

}  // namespace

// The FLTK Command widget on a real display (run under Xvfb): what loaded buttons
// show on the screen for stored properties, and how they take the focus and the mouse
// buttons the X server sends, read back from the window's pixels.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "command_fltk.h"
#include "property_bag.h"
#include "runtime_x11.h"
#include "test_support.h"

namespace {

constexpr int kTop = 10, kWidth = 81, kHeight = 25;  // Cmd_Set's size
constexpr int kStep = 90;                            // from one button's left to the next
const Rgb kBackground = {0, 128, 0};

// Lets FLTK take in what the X server sent back (XSync puts it in the queue) and
// paint.
void Settle(int rounds = 3) {
  XSync(fl_display, False);
  for (int i = 0; i < rounds; ++i) Fl::wait(0.02);
  Fl::flush();
  XSync(fl_display, False);
}

// A window holding one Command widget per stored-property bag, side by side, shown
// and painted. Each button counts its Clicks.
class Shown {
 public:
  Shown(Runtime& rt, const std::vector<std::string>& bags) : clicks(bags.size(), 0) {
    Fl_Group::current(nullptr);
    window_ =
        std::make_unique<Fl_Window>(100, 100, 10 + kStep * static_cast<int>(bags.size()), 60, "command test");
    window_->color(fl_rgb_color(kBackground.r, kBackground.g, kBackground.b));
    for (size_t i = 0; i < bags.size(); ++i) {
      auto* widget = new CommandWidget(rt, Left(i), kTop, kWidth, kHeight);
      window_->add(widget);
      widget->Button().LoadProperties(PropertyBag::Parse(bags[i]));
      widget->Button().OnResize();
      widget->Button().Click = [this, i] { ++clicks[i]; };
      widget->Button().Initialize();
      widgets_.push_back(widget);
    }
    window_->end();
    window_->show();
    Pointer(0, 0);  // away from the window
    Settle(20);
  }
  ~Shown() {
    if (image_) XDestroyImage(image_);
    window_->hide();
    Fl::wait(0.01);
  }
  CommandWidget& Widget(size_t i) { return *widgets_[i]; }

  // What the X server would send: the pointer moved over button i and a press or
  // release of `button` there; a key.
  void Mouse(size_t i, unsigned button, bool press) {
    XEvent e{};
    e.xbutton.type = press ? ButtonPress : ButtonRelease;
    e.xbutton.window = fl_xid(window_.get());
    e.xbutton.root = RootWindow(fl_display, fl_screen);
    e.xbutton.x = Left(i) + kWidth / 2;
    e.xbutton.y = kTop + kHeight / 2;
    e.xbutton.x_root = window_->x() + e.xbutton.x;
    e.xbutton.y_root = window_->y() + e.xbutton.y;
    Pointer(e.xbutton.x_root, e.xbutton.y_root);
    e.xbutton.button = button;
    e.xbutton.state = held_;
    e.xbutton.same_screen = True;
    const unsigned mask = button <= 5 ? (Button1Mask << (button - 1)) : 0;
    held_ = press ? held_ | mask : held_ & ~mask;
    Send(e, press ? ButtonPressMask : ButtonReleaseMask);
  }
  void Key(KeySym key, bool press = true) {
    XEvent e{};
    e.xkey.type = press ? KeyPress : KeyRelease;
    e.xkey.window = fl_xid(window_.get());
    e.xkey.keycode = XKeysymToKeycode(fl_display, key);
    Send(e, press ? KeyPressMask : KeyReleaseMask);
  }
  void Capture() {
    if (image_) XDestroyImage(image_);
    image_ =
        XGetImage(fl_display, fl_xid(window_.get()), 0, 0, window_->w(), window_->h(), AllPlanes, ZPixmap);
  }

  bool ok() const { return image_ != nullptr; }
  // A pixel of button i, from its top-left corner.
  Rgb At(size_t i, int x, int y) const {
    const unsigned long p = XGetPixel(image_, Left(i) + x, kTop + y);
    return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
            static_cast<int>(p & 0xFF)};
  }
  // Whether some pixel of button i's caption band matches.
  template <typename Test>
  bool CaptionHas(size_t i, Test test) const {
    for (int y = 4; y < 20; ++y)
      for (int x = 20; x < 62; ++x)
        if (test(At(i, x, y))) return true;
    return false;
  }

  std::vector<int> clicks;

 private:
  static int Left(size_t i) { return 10 + kStep * static_cast<int>(i); }
  void Pointer(int x, int y) {
    XWarpPointer(fl_display, None, RootWindow(fl_display, fl_screen), 0, 0, 0, 0, x, y);
    Settle();
  }
  void Send(XEvent& e, long mask) {
    XSendEvent(fl_display, fl_xid(window_.get()), False, mask, &e);
    Settle();
  }

  std::unique_ptr<Fl_Window> window_;
  std::vector<CommandWidget*> widgets_;  // owned by the window
  unsigned held_ = 0;
  XImage* image_ = nullptr;
};

bool Black(const Rgb& c) { return c.r < 60 && c.g < 60 && c.b < 60; }
bool Red(const Rgb& c) { return c.r > 150 && c.g < 90 && c.b < 90; }
bool Blue(const Rgb& c) { return c.b > 150 && c.r < 90 && c.g < 90; }
bool Grey(const Rgb& c) { return c.r < 200 && Near(c, {c.r, c.r, c.r}, 24); }

// Row 2, inside the frame: the Selected picture's pale blue ring shows the focus
// (while the pointer is elsewhere).
bool ShowsFocus(const Shown& shown, size_t i) {
  const Rgb ring = shown.At(i, 40, 2);
  return ring.r > 150 && ring.b > ring.r + 30;
}

// Three buttons side by side, the first focused, the middle one loaded from the row's
// stored properties. A row may then send the Tab key (0), Space's press and release
// (kSpace, -kSpace), or presses (n) and releases (-n) of mouse buttons over the middle one (X numbering: 1
// left, 2 middle, 3 right, 6 the wheel's tilt, 8 a side button). Read back: the middle one's top edge (row 1:
// its picture's frame, or the Pressed picture's backdrop), body, caption and Clicks,
// and which button shows the focus (-1: none, the pointer's looks cover it).
constexpr int kSpace = 100;

TEST(CommandWidgetOnScreen, LooksAndInput) {
  char arg0[] = "command_fltk_test";
  char* argv[] = {arg0, nullptr};
  X11Runtime rt(1, argv);
  ASSERT_NE(fl_display, nullptr) << "needs an X display";

  const char* enabled = "Caption=設定\n";
  const char* disabled = "Enabled=0\nCaption=設定\n";
  const Rgb normal = {0x00, 0x3C, 0x74}, disable = {0xC9, 0xC7, 0xBA}, pressed = {0xEC, 0xE9, 0xD8};
  struct Row {
    const char* name;
    const char* bag;
    std::vector<int> steps;
    Rgb top_edge;
    bool (*caption)(const Rgb&);      // some pixel of the caption is so
    bool (*not_caption)(const Rgb&);  // and none is so
    int focused, clicks;
    // clang-format off
  } rows[] = {
      {"enabled", enabled, {}, normal, Black, Red, 0, 0},
      {"disabled", disabled, {}, disable, Grey, Black, 0, 0},
      {"red caption (0x00BBGGRR)", "Caption=設定\nFontColour=255\n", {}, normal, Red, nullptr, 0, 0},
      {"blue caption", "Caption=設定\nFontColour=16711680\n", {}, normal, Blue, nullptr, 0, 0},
      {"never loaded before: black", "Caption=設定\nFirstRun=0\nFontColour=255\n", {}, normal, Black, Red, 0, 0},
      {"transparent body", "Caption=設定\nVisible=0\n", {}, kBackground, Black, Red, 0, 0},
      {"Tab reaches an enabled button", enabled, {0}, normal, Black, Red, 1, 0},
      {"Tab passes a disabled button by", disabled, {0}, disable, Grey, Black, 2, 0},
      {"a press on a disabled button leaves the focus", disabled, {1, -1}, disable, Grey, Black, 0, 0},
      {"left press: focus, then the Pressed look", enabled, {1}, pressed, Black, Red, -1, 0},
      {"middle click: focus arriving over it presses", enabled, {2, -2}, pressed, Black, Red, -1, 1},
      {"right click", enabled, {3, -3}, pressed, Black, Red, -1, 1},
      {"a side button's press is ignored", enabled, {8}, normal, Black, Red, 0, 0},
      {"a side button's click is no Click", enabled, {8, -8}, normal, Black, Red, 0, 0},
      {"the tilt's release ends no left press", enabled, {1, 6, -6}, pressed, Black, Red, -1, 0},
      {"the left release after it clicks", enabled, {1, 6, -6, -1}, normal, Black, Red, -1, 1},
      {"a side button's click inside a left press", enabled, {1, 8, -8, -1}, normal, Black, Red, -1, 1},
      {"Space held on the focused button: Pressed", enabled, {0, kSpace}, pressed, Black, Red, -1, 0},
      {"Space released: a Click", enabled, {0, kSpace, -kSpace}, normal, Black, Red, 1, 1},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Shown shown(rt, {"Caption=1\n", row.bag, "Caption=3\n"});
    shown.Widget(0).take_focus();
    Settle();
    for (const int step : row.steps) {
      if (step == 0) shown.Key(XK_Tab);
      else if (std::abs(step) == kSpace) shown.Key(XK_space, step > 0);
      else shown.Mouse(1, static_cast<unsigned>(std::abs(step)), step > 0);
    }
    shown.Capture();
    ASSERT_TRUE(shown.ok());
    const Rgb edge = shown.At(1, 40, 1);
    EXPECT_TRUE(Near(edge, row.top_edge, 12));
    if (row.steps.empty() && !Near(row.top_edge, kBackground, 0)) {
      // White at the top of the gradient, the pale lavender towards the bottom.
      const Rgb top = shown.At(1, 8, 4), bottom = shown.At(1, 8, 20);
      EXPECT_GT(top.r, 240);
      EXPECT_LT(bottom.r, top.r - 30);
      EXPECT_GT(bottom.b, bottom.r);
    }
    EXPECT_TRUE(shown.CaptionHas(1, row.caption));
    if (row.not_caption) {
      EXPECT_FALSE(shown.CaptionHas(1, row.not_caption));
    }
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ShowsFocus(shown, i), i == row.focused) << "button " << i;
    EXPECT_EQ(shown.clicks[1], row.clicks);
  }
}

}  // namespace

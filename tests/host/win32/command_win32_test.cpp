// The Windows skinned button as the screen shows it: the pixels of its persistent
// image and of its painting (gradient, border pieces, caption, transparent body), and
// what mouse messages and the hover poll do to them.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "assets.h"
#include "command_win32.h"
#include "dialog_layout.h"
#include "gdi_win32.h"
#include "printed_win32.h"

namespace {

constexpr COLORREF kParentColour = RGB(10, 200, 30);

// A top-level window whose client area is one known colour, also when printed.
LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  const auto fill = [hwnd](HDC dc) {
    RECT r;
    GetClientRect(hwnd, &r);
    HBRUSH brush = CreateSolidBrush(kParentColour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  };
  return PaintMessage(hwnd, msg, wp, &result, fill) ? result : DefWindowProcA(hwnd, msg, wp, lp);
}

// One button of the dialog's kind in a shown window at (100, 100), loaded as the
// dialog loads its buttons.
class Fixture {
 public:
  explicit Fixture(int width = 81, int height = 25) {
    RegisterWindowClass("CommandTestParent", ParentProc);
    parent = CreateWindowExA(0, "CommandTestParent", "command test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                             100, 100, 200, 60, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    control = std::make_unique<Win32CommandButton>(parent, 10, 10, width, height, 15);
    button().Click = [this] { ++clicks; };
    button().LoadProperties(PropertyBag::Parse(StoredButtonProperties(DialogButton::Set)));
    button().OnResize();
    button().Initialize();
    Pump();
  }
  ~Fixture() {
    control.reset();
    DestroyWindow(parent);
  }
  CommandButton& button() { return control->Button(); }
  HWND window() { return control->Window(); }
  Rgb Image(int x, int y) { return Of(GetPixel(control->ImageDC(), x, y)); }
  void Send(UINT msg, WPARAM keys = 0) { SendMessageA(window(), msg, keys, MAKELPARAM(5, 5)); }
  static void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  }

  HWND parent = nullptr;
  std::unique_ptr<Win32CommandButton> control;
  int clicks = 0;
};

const Rgb kWhite = {255, 255, 255};
const Rgb kLavender = {0xC6, 0xC5, 0xD7};

TEST(DialogWin32Command, GradientPutsEachVertexColourOnItsOwnRow) {
  struct Row {
    bool invert;
    Rgb top, bottom;
  };
  for (const Row& row : {Row{false, kWhite, kLavender}, Row{true, kLavender, kWhite}}) {
    Fixture f;
    const auto v = CommandButton::GradientVertices(81, 25, row.invert);
    f.control->ClearImage();
    f.control->FillGradient(v[0], v[1]);
    SCOPED_TRACE(row.invert ? "inverted" : "normal");
    EXPECT_TRUE(Near(f.Image(40, 0), row.top, 0));
    EXPECT_TRUE(Near(
        f.Image(0, 12),
        {(row.top.r + row.bottom.r) / 2, (row.top.g + row.bottom.g) / 2, (row.top.b + row.bottom.b) / 2}, 3));
    // Row 23 is 23/24 of the way; row 24 and column 80 stay outside the fill.
    const Rgb last = {row.top.r + (row.bottom.r - row.top.r) * 23 / 24,
                      row.top.g + (row.bottom.g - row.top.g) * 23 / 24,
                      row.top.b + (row.bottom.b - row.top.b) * 23 / 24};
    EXPECT_TRUE(Near(f.Image(40, 23), last, 2));
    EXPECT_TRUE(Near(f.Image(40, 24), kWhite, 0));
    EXPECT_TRUE(Near(f.Image(80, 5), kWhite, 0));
  }
}

TEST(DialogWin32Command, BorderPiecesComeFromTheStatePicture) {
  struct Row {
    int width;
    bool enabled;
    ButtonPicture picture;
  };
  for (const Row& row : {Row{81, true, ButtonPicture::Normal}, Row{29, true, ButtonPicture::Normal},
                         Row{81, false, ButtonPicture::Disable}, Row{29, false, ButtonPicture::Disable}}) {
    Fixture f(row.width);
    if (!row.enabled) f.button().SetEnabled(false);
    const Picture p = Decoded(ButtonPictureBmp(static_cast<int>(row.picture)));
    SCOPED_TRACE("width " + std::to_string(row.width) + (row.enabled ? " enabled" : " disabled"));
    const int W = row.width;
    for (int y = 0; y < 25; ++y) {
      for (int x = 0; x < 4; ++x) {
        // Left and right columns: corners and sides unscaled at this height.
        ASSERT_TRUE(Near(f.Image(x, y), PictureAt(p, x, y), 0)) << x << "," << y;
        ASSERT_TRUE(Near(f.Image(W - 4 + x, y), PictureAt(p, 60 + x, y), 0)) << W - 4 + x << "," << y;
      }
    }
    // The top and bottom edges begin with the picture's column 4.
    for (int y = 0; y < 4; ++y) {
      EXPECT_TRUE(Near(f.Image(4, y), PictureAt(p, 4, y), 0));
      EXPECT_TRUE(Near(f.Image(4, 21 + y), PictureAt(p, 4, 21 + y), 0));
    }
  }
}

TEST(DialogWin32Command, PaintingShowsTheImageAndTheCaption) {
  struct Row {
    const char* name;
    bool enabled;
    bool opaque;
  };
  const Rgb grey = Of(GetSysColor(COLOR_GRAYTEXT));
  for (const Row& row :
       {Row{"enabled", true, true}, Row{"disabled", false, true}, Row{"transparent", true, false}}) {
    Fixture f;
    if (!row.enabled) f.button().SetEnabled(false);
    if (!row.opaque) f.button().SetVisible(0);
    SCOPED_TRACE(row.name);
    const Printed shown(f.window());
    ASSERT_EQ(shown.width, 81);
    ASSERT_EQ(shown.height, 25);
    // Outside the caption: the body, or the container beneath a transparent one.
    const Rgb body = shown.At(2, 2);
    if (row.opaque) EXPECT_TRUE(Near(body, f.Image(2, 2), 0));
    else EXPECT_TRUE(Near(body, Of(kParentColour), 0));
    // The caption "設定" lies on rows 5 to 18 around the middle.
    int black = 0, grey_text = 0;
    for (int y = 5; y < 19; ++y) {
      for (int x = 25; x < 56; ++x) {
        const Rgb c = shown.At(x, y);
        black += Near(c, {0, 0, 0}, 0) ? 1 : 0;
        grey_text += Near(c, grey, 0) ? 1 : 0;
      }
    }
    if (row.enabled) {
      EXPECT_GT(black, 20);
    } else {
      EXPECT_EQ(black, 0);
      EXPECT_GT(grey_text, 20);
    }
  }
  // A fresh button, before any stored property: the design size and caption.
  Fixture f;
  Win32CommandButton fresh(f.parent, 0, 0, 15);
  RECT r;
  GetClientRect(fresh.Window(), &r);
  EXPECT_EQ(r.right, 117);
  EXPECT_EQ(r.bottom, 28);
  EXPECT_EQ(fresh.CaptionText(), "Command");
}

// The inner ring (row 2, middle column) tells the state pictures apart.
Rgb Ring(ButtonPicture p) { return PictureAt(ButtonPictureBmp(static_cast<int>(p)), 32, 2); }

TEST(DialogWin32Command, MouseMessages) {
  struct Row {
    const char* name;
    const char* messages;  // m move; L, R press and l, r, M release the left, right, middle button
    bool enabled;
    int clicks;
    ButtonPicture shown;
  };
  // clang-format off
  const std::vector<Row> rows = {
      {"hover",          "m",   true,  0, ButtonPicture::HighLight},
      {"left press",     "mL",  true,  0, ButtonPicture::Pressed},
      {"left click",     "mLl", true,  1, ButtonPicture::HighLightSelect},
      {"right click",    "mRr", true,  1, ButtonPicture::Pressed},
      {"middle release", "M",   true,  1, ButtonPicture::Normal},
      {"disabled",       "mLl", false, 0, ButtonPicture::Disable},
  };
  // clang-format on
  for (const Row& row : rows) {
    Fixture f;
    if (!row.enabled) f.button().SetEnabled(false);
    SCOPED_TRACE(row.name);
    const std::string messages = row.messages;
    for (char m : messages) {
      if (m == 'm') f.Send(WM_MOUSEMOVE);
      else if (m == 'L') f.Send(WM_LBUTTONDOWN, MK_LBUTTON);
      else if (m == 'l') f.Send(WM_LBUTTONUP);
      else if (m == 'R') f.Send(WM_RBUTTONDOWN, MK_RBUTTON);
      else if (m == 'r') f.Send(WM_RBUTTONUP);
      else f.Send(WM_MBUTTONUP);
    }
    EXPECT_EQ(f.clicks, row.clicks);
    EXPECT_TRUE(Near(f.Image(40, 2), Ring(row.shown), 0));
    // A press takes the focus and the mouse; the release lets the mouse go.
    EXPECT_EQ(GetCapture() == f.window(), messages.back() == 'L');
    if (row.enabled && messages.size() > 1) {
      EXPECT_EQ(GetFocus(), f.window());
    }
    ReleaseCapture();
  }
}

TEST(DialogWin32Command, HoverPollSeesThePointerLeave) {
  Fixture f;
  RECT r;
  GetWindowRect(f.window(), &r);
  ASSERT_TRUE(SetCursorPos(r.left + 40, r.top + 12));
  Fixture::Pump();
  f.Send(WM_MOUSEMOVE);
  EXPECT_EQ(f.control->WindowUnderPointer(), f.control->OwnWindow());
  f.button().OnPollTick();
  EXPECT_EQ(f.button().State(), CommandButton::kHighLight);
  // Over the container: left at the next tick.
  ASSERT_TRUE(SetCursorPos(r.left - 5, r.top - 5));
  Fixture::Pump();
  EXPECT_EQ(f.control->WindowUnderPointer(), f.control->ParentWindow());
  f.button().OnPollTick();
  EXPECT_EQ(f.button().State(), CommandButton::kNormal);
  EXPECT_TRUE(Near(f.Image(40, 2), Ring(ButtonPicture::Normal), 0));
}

TEST(DialogWin32Command, HandCursorAndWindowIcon) {
  HCURSOR hand = CreateHandCursor();
  ASSERT_NE(hand, nullptr);
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(hand, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, static_cast<DWORD>(kHandCursorHotX));
  EXPECT_EQ(info.yHotspot, static_cast<DWORD>(kHandCursorHotY));
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DestroyCursor(hand);
  HICON icon = CreateWindowIcon();
  EXPECT_NE(icon, nullptr);
  DestroyIcon(icon);
}

}  // namespace

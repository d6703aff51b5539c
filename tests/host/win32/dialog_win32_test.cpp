// The Windows settings dialog's window, driven through the notifications it sends:
// its client size, what it paints (shading, strip, transparent labels, radio marks),
// typing in the track box, the presses that select a kind, the keyboard through its
// modal loop, the open-file dialog, and the close box.
#include <gtest/gtest.h>
#include <windows.h>
#include <dlgs.h>

#include <functional>
#include <string>
#include <vector>

#include "assets.h"
#include "dialog_layout.h"
#include "dialog_view.h"
#include "printed_win32.h"
#include "runtime_win32.h"
#include "settings_dialog.h"

namespace {

// Plays the dialog's part: Load fills the view as the dialog does; once the window
// is shown, each of `steps` runs at a tick of its own (what the one before posted is
// handled by then), and the window is closed.
class ScriptedEvents : public DialogEvents {
 public:
  std::vector<std::function<void(DialogView&)>> steps;
  int kind = 1;  // the selected mark; the track box is enabled with the CD's
  bool file_enabled = true;
  DialogView* view = nullptr;
  int resizes = 0, unloads = 0, addresses = 0;
  std::vector<int> kinds;
  std::string clicks;  // the buttons clicked, by name

  void Load(DialogView& v) override {
    view = &v;
    for (CommandButton* b : v.CommandControls()) b->Initialize();
    v.TilePanel(
        TileOrigins(kDialogLayout[0].width / 15, kDialogLayout[0].height / 15, kStripWidth, kStripHeight));
    for (int i = 0; i < 3; ++i) v.SetKindMark(i, i == kind);
    v.SetRepeatEnabled(kind == 1);
    v.Button(DialogButton::File).SetEnabled(file_enabled);
    for (auto [which, name] : {std::pair{DialogButton::File, "File "}, std::pair{DialogButton::Set, "Set "},
                               std::pair{DialogButton::Cancel, "Cancel "}})
      v.Button(which).Click = [this, name = name] { clicks += name; };
    for (int item = 0; item <= 30; ++item) v.AddRepeatItem(TrackText(item));
  }
  void Resize() override {
    if (++resizes == 1) {
      current = this;
      SetTimer(nullptr, 0, 20, &ScriptedEvents::Tick);
    }
    view->PaintBackground(BackgroundRows(view->ClientHeight()));
  }
  void Unload() override { ++unloads; }
  void KindPressed(int index) override { kinds.push_back(index); }
  void AddressClicked() override { ++addresses; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    ScriptedEvents* self = current;
    if (self->step_ < self->steps.size()) self->steps[self->step_++](*self->view);
    // A timer's tick comes once the messages posted before it are handled.
    if (self->step_ < self->steps.size()) SetTimer(nullptr, 0, 20, &ScriptedEvents::Tick);
    else self->view->Unload();
  }
  static inline ScriptedEvents* current = nullptr;
  size_t step_ = 0;
};

HWND Form(DialogView& v) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(v.Handle())); }
HWND Panel(DialogView& v) { return FindWindowExA(Form(v), nullptr, "Veloran.Panel", nullptr); }
HWND Combo(DialogView& v) { return FindWindowExA(Panel(v), nullptr, "COMBOBOX", nullptr); }

// The dialog shown with the default events, `shown` run once it is up.
ScriptedEvents Show(std::function<void(DialogView&)> shown) {
  ScriptedEvents events;
  events.steps = {std::move(shown)};
  Win32Runtime().ShowSettingsDialog(events);
  return events;
}

TEST(DialogWin32Window, ClientAreaShadingPanelAndMarks) {
  const ScriptedEvents events = Show([](DialogView& v) {
    EXPECT_EQ(v.ClientWidth(), 495);
    EXPECT_EQ(v.ClientHeight(), 246);
    EXPECT_TRUE(IsWindowVisible(Form(v)));
    char title[64] = {};
    GetWindowTextA(Form(v), title, sizeof title);
    EXPECT_STREQ(title, "<Veloran>");
    EXPECT_EQ(GetWindowLongA(Form(v), GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);

    const Printed form(Form(v));
    const std::vector<RowColour> rows = BackgroundRows(246);
    for (int y : {0, 5, 123, 200, 245}) {
      // Left of the panel, and right of it.
      for (int x : {2, 490})
        EXPECT_EQ(form.At(x, y), (Rgb{rows[y].red, rows[y].green, rows[y].blue})) << x << "," << y;
    }

    const Printed panel(Panel(v));
    struct Point {
      const char* what;
      int x, y;
      Rgb want;
    };
    const std::vector<Point> points = {
        {"strip, first row of tiles", 300, 5, PictureAt(MetalStripBmp(), 300, 5)},
        {"strip, second row of tiles", 300, 25, PictureAt(MetalStripBmp(), 300, 5)},
        {"strip, last row of tiles", 460, 164, PictureAt(MetalStripBmp(), 460, 4)},
        {"strip through the empty part of the BGM label", 22, 26, PictureAt(MetalStripBmp(), 22, 6)},
        {"strip through the empty part of the file label", 300, 140, PictureAt(MetalStripBmp(), 300, 0)},
        {"frame around the heading", 60, 20, {0, 0, 0}},
        {"selected mark (CD)", 28 + 6, 56 + 6, PictureAt(RadioMarkBmp(true), 6, 6)},
        {"unselected mark (none)", 28 + 6, 76 + 6, PictureAt(RadioMarkBmp(false), 6, 6)},
        {"unselected mark (file), its corner", 28, 96, PictureAt(RadioMarkBmp(false), 0, 0)},
    };
    for (const Point& p : points) EXPECT_EQ(panel.At(p.x, p.y), p.want) << p.what;
  });
  EXPECT_EQ(events.unloads, 1);
  EXPECT_GE(events.resizes, 1);
}

TEST(DialogWin32Window, TrackBoxTakesTypedText) {
  // The box holds what was typed, whatever it is.
  for (const std::string typed : {"7", "12", "99999.5", "abc", ""}) {
    std::string got = "not read";
    int items = 0;
    Show([&](DialogView& v) {
      HWND edit = GetWindow(Combo(v), GW_CHILD);
      ASSERT_NE(edit, nullptr);
      SetFocus(edit);
      for (char c : typed) SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(c), 1);
      got = v.RepeatText();
      items = static_cast<int>(SendMessageA(Combo(v), CB_GETCOUNT, 0, 0));
    });
    EXPECT_EQ(got, typed);
    EXPECT_EQ(items, 31);
  }
}

TEST(DialogWin32Window, PressesOnMarksAndLabels) {
  struct Press {
    UINT message;
    int x, y;                // in the panel
    std::vector<int> kinds;  // pressed
  };
  const std::vector<Press> presses = {
      {WM_LBUTTONDOWN, 28 + 3, 56 + 3, {1}},    // the CD mark
      {WM_RBUTTONDOWN, 44 + 5, 76 + 5, {0}},    // the label "なし", right button
      {WM_MBUTTONDOWN, 44 + 40, 96 + 5, {2}},   // "MP3、WAV", middle button
      {WM_LBUTTONDOWN, 28 + 12, 76 + 12, {0}},  // the none mark's last pixel
      {WM_LBUTTONDOWN, 200, 150, {}},           // the empty panel
      {WM_LBUTTONDOWN, 30, 30, {}},             // the heading
  };
  for (const Press& p : presses) {
    const ScriptedEvents events =
        Show([&](DialogView& v) { SendMessageA(Panel(v), p.message, 0, MAKELPARAM(p.x, p.y)); });
    EXPECT_EQ(events.kinds, p.kinds) << p.x << "," << p.y;
  }
}

// The layout's name of the control that has the focus (the track box for the field
// inside it).
std::string Focused(DialogView& v) {
  HWND w = GetFocus();
  while (w && GetParent(w) != Form(v) && GetParent(w) != Panel(v)) w = GetParent(w);
  const int id = w ? GetDlgCtrlID(w) : 0;
  return id >= 1 && id <= kDialogControlCount ? kDialogLayout[static_cast<size_t>(id - 1)].name : "nothing";
}

void HoldShift(bool down) {
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_SHIFT] = down ? 0x80 : 0;
  SetKeyboardState(state);
}

TEST(DialogWin32Window, KeyboardThroughTheModalLoop) {
  struct Row {
    int kind;
    bool file_enabled;
    const char* keys;   // T Tab, S Shift+Tab, D down, U up, ' ' space
    const char* focus;  // at the start, then after each key
    std::vector<int> kinds;
    const char* clicks;
  };
  const std::vector<Row> rows = {
      {1, false, "TTTT", "BGM_Repeat Cmd_Set Cmd_Can Img_BGM(1) BGM_Repeat", {}, ""},  // "..." disabled
      {2, true, "SS", "Cmd_File Img_BGM(2) Cmd_Can", {}, ""},
      {0, false, "SDDU ", "Cmd_Set Img_BGM(0) Img_BGM(2) Img_BGM(1) Img_BGM(2) Img_BGM(2)", {2, 1, 2, 2}, ""},
      {2, true, " T ", "Cmd_File Cmd_File Cmd_Set Cmd_Set", {}, "File Set "},
  };
  for (const Row& row : rows) {
    ScriptedEvents events;
    events.kind = row.kind;
    events.file_enabled = row.file_enabled;
    std::string focus;
    events.steps = {[&](DialogView& v) { focus = Focused(v); }};
    for (const char* key = row.keys; *key; ++key) {
      // One key at a tick, posted to the focused window as the keyboard would; the
      // focus it leaves, at the next tick.
      events.steps.push_back([key = *key](DialogView&) {
        const UINT vk = key == 'D' ? VK_DOWN : key == 'U' ? VK_UP : key == ' ' ? VK_SPACE : VK_TAB;
        HoldShift(key == 'S');
        PostMessageA(GetFocus(), WM_KEYDOWN, vk, 1);
        PostMessageA(GetFocus(), WM_KEYUP, vk, 0xC0000001);
      });
      events.steps.push_back([&focus](DialogView& v) { focus += " " + Focused(v); });
    }
    Win32Runtime().ShowSettingsDialog(events);
    HoldShift(false);
    EXPECT_EQ(focus, row.focus) << row.keys;
    EXPECT_EQ(events.kinds, row.kinds) << row.keys;
    EXPECT_EQ(events.clicks, row.clicks) << row.keys;
  }
}

// The open-file dialog as its user sees it, from a timer inside its own loop: its
// title and the filter it shows; then a file's name typed in and opened.
std::wstring file_dialog_title, file_dialog_filter;
void CALLBACK ReadAndOpen(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = GetActiveWindow();
  char name[8] = {};
  if (!dialog || !GetClassNameA(dialog, name, sizeof name) || std::string(name) != "#32770") return;
  KillTimer(nullptr, id);
  wchar_t text[128] = {};
  GetWindowTextW(dialog, text, 128);
  file_dialog_title = text;
  GetDlgItemTextW(dialog, cmb1, text, 128);
  file_dialog_filter = text;
  SetDlgItemTextW(dialog, cmb13, L"C:\\windows\\win.ini");
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

TEST(DialogWin32Window, OpenFileDialogInJapaneseAtAnyCodePage) {
  // host_wine.dialog_open_file_1252 runs this again at code page 1252.
  RecordProperty("code_page", static_cast<int>(GetACP()));
  std::int32_t result = 0;
  std::string chosen;
  Show([&](DialogView& v) {
    SetTimer(nullptr, 0, 100, &ReadAndOpen);
    result =
        v.OpenFile({v.Handle(), kFileFilterName, kFileFilterPattern, "C:\\", kOpenFileTitle, 255}, &chosen);
  });
  EXPECT_EQ(file_dialog_title, L"ﾌｧｲﾙを開く");
  EXPECT_EQ(file_dialog_filter, L"BGMﾌｧｲﾙ (MP3 WAV)");
  EXPECT_GT(result, 0);
  EXPECT_STRCASEEQ(chosen.c_str(), "C:\\windows\\win.ini");
}

TEST(DialogWin32Window, CloseBoxUnloadsOnce) {
  bool window_gone = false;
  const ScriptedEvents events = Show([&](DialogView& v) {
    HWND form = Form(v);
    SendMessageA(form, WM_CLOSE, 0, 0);
    window_gone = !IsWindow(form);
  });
  EXPECT_TRUE(window_gone);
  EXPECT_EQ(events.unloads, 1);  // the script's own Unload afterwards changes nothing
}

TEST(DialogWin32Window, AddressLabelClick) {
  struct Row {
    int down_x, up_x;
    int clicks;
  };
  // The address label: 12, 208, 219 x 13 in the client area.
  for (const Row& row : {Row{20, 30, 1}, Row{20, 300, 0}, Row{300, 20, 0}}) {
    const ScriptedEvents events = Show([&](DialogView& v) {
      SendMessageA(Form(v), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(row.down_x, 214));
      SendMessageA(Form(v), WM_LBUTTONUP, 0, MAKELPARAM(row.up_x, 214));
    });
    EXPECT_EQ(events.addresses, row.clicks) << row.down_x << " -> " << row.up_x;
  }
}

// The pointer's shape over a point of the client area, by its hotspot.
POINT HotspotOver(DialogView& v, int x, int y) {
  POINT p = {x, y};
  ClientToScreen(Form(v), &p);
  SetCursorPos(p.x, p.y);
  SendMessageA(Form(v), WM_SETCURSOR, reinterpret_cast<WPARAM>(Form(v)), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  ICONINFO info = {};
  POINT hot = {-1, -1};
  if (GetIconInfo(GetCursor(), &info)) {
    hot = {static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)};
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
  }
  return hot;
}

TEST(DialogWin32Window, PointingHandOverTheAddressOnly) {
  POINT over_address = {}, beside = {};
  Show([&](DialogView& v) {
    over_address = HotspotOver(v, 100, 214);
    beside = HotspotOver(v, 300, 214);
  });
  EXPECT_EQ(over_address.x, kHandCursorHotX);
  EXPECT_EQ(over_address.y, kHandCursorHotY);
  EXPECT_NE(beside.x, kHandCursorHotX);  // the arrow's tip is its corner
}

}  // namespace

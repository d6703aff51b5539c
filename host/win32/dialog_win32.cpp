// The settings dialog's window on Windows (see dialog_win32.h).
#include "dialog_win32.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <array>
#include <memory>
#include <vector>

#include "command_win32.h"
#include "dialog_layout.h"
#include "dialog_view.h"
#include "gdi_win32.h"
#include "veloran_names.h"

namespace {

const char kFormClass[] = "Veloran.Settings";
const char kPanelClass[] = "Veloran.Panel";
// A kind's mark to the dialog manager: an automatic radio button without a look of its
// own (the panel draws the marks and labels) that holds the focus for the kind.
const char kKindClass[] = "Veloran.Kind";
constexpr DWORD kFormStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr COLORREF kPanelGrey = RGB(224, 224, 224);
// The combo box's drop-down list shows about eight items below its field.
constexpr int kComboListHeight = 8 * 16;

HWND ToHwnd(WindowHandle w) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(w)); }
WindowHandle FromHwnd(HWND w) { return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(w)); }

// A control without a window of its own (label, radio mark, frame): its parent draws it.
struct DrawnControl {
  const ControlPlace* place;
  bool in_panel;
  RECT rect;  // pixels, in its parent's client area
};

bool Inside(const RECT& r, LPARAM lp) {
  POINT p = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  return PtInRect(&r, p) != 0;
}

class Win32DialogView : public DialogView {
 public:
  Win32DialogView(Runtime& rt, DialogEvents& events) : rt_(rt), events_(events) {}
  ~Win32DialogView() override;

  bool Create();
  void Run();

  WindowHandle Handle() override { return FromHwnd(form_); }
  int ScreenWidthTwips() override { return GetSystemMetrics(SM_CXSCREEN) * tpp_; }
  int ScreenHeightTwips() override { return GetSystemMetrics(SM_CYSCREEN) * tpp_; }
  int WidthTwips() override;
  int HeightTwips() override;
  void MoveTo(int left_twips, int top_twips) override;
  int ClientWidth() override;
  int ClientHeight() override;
  void PaintBackground(const std::vector<RowColour>& rows) override;
  void TilePanel(const std::vector<PixelPoint>& origins) override;
  std::vector<CommandButton*> CommandControls() override { return commands_; }
  CommandButton& Button(DialogButton which) override;
  void SetRepeatEnabled(bool enabled) override;
  void SetRepeatText(const std::string& text) override;
  void AddRepeatItem(const std::string& text) override;
  std::string RepeatText() override;
  void SetKindMark(int index, bool selected) override;
  void SetFileLabel(const std::string& path) override;
  bool PointerPosition(int* x, int* y) override;
  void SetScreenPointer(ScreenPointer pointer) override;
  std::int32_t OpenFile(const OpenFileRequest& request, std::string* chosen) override;
  void ShellOpen(const std::string& address) override;
  void ShowMessage(const std::string& text, const std::string& path) override;
  void Unload() override;

 private:
  static LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK KindProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT FormMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT PanelMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT KindMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  bool CreateKinds(HINSTANCE instance);
  int KindOf(HWND kind) const;
  void UpdateKindStops();
  HWND FirstFocus() const;
  void PaintForm(HDC dc);
  void PaintPanel(HDC dc);
  void PaintDrawn(HDC dc, bool in_panel);
  void KindPress(LPARAM lp);
  const DrawnControl* Address() const;
  void InvalidateDrawn(const DrawnControl& control);

  Runtime& rt_;
  DialogEvents& events_;
  int tpp_ = 15;
  HWND form_ = nullptr;
  HWND panel_ = nullptr;
  HWND combo_ = nullptr;
  HWND kinds_[3] = {nullptr, nullptr, nullptr};      // by kind
  HWND first_kind_ = nullptr, last_kind_ = nullptr;  // the group's ends, in the tab order
  HWND focused_ = nullptr;  // the child that had the focus when the window went inactive
  std::array<std::unique_ptr<Win32CommandButton>, 3> buttons_;  // by DialogButton
  std::vector<CommandButton*> commands_;                        // in the layout's order
  std::vector<DrawnControl> drawn_;
  std::vector<RowColour> rows_;
  std::vector<PixelPoint> tiles_;
  bool marks_[3] = {false, false, false};
  std::wstring file_label_;
  HFONT font_ = nullptr;
  HFONT address_font_ = nullptr;
  HBITMAP strip_ = nullptr;
  HBITMAP radio_[2] = {nullptr, nullptr};
  HCURSOR hand_ = nullptr;
  HICON icon_ = nullptr;
  bool busy_pointer_ = false;
  bool address_pressed_ = false;
  bool shown_ = false;
  bool unloading_ = false;
  bool gone_ = false;
};

Win32DialogView::~Win32DialogView() {
  for (auto& b : buttons_) b.reset();
  if (form_) DestroyWindow(form_);
  for (HGDIOBJ o :
       {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(address_font_), static_cast<HGDIOBJ>(strip_),
        static_cast<HGDIOBJ>(radio_[0]), static_cast<HGDIOBJ>(radio_[1])})
    if (o) DeleteObject(o);
  if (hand_) DestroyCursor(hand_);
  if (icon_) DestroyIcon(icon_);
}

bool Win32DialogView::Create() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  tpp_ = rt_.TwipsPerPixelX() > 0 ? rt_.TwipsPerPixelX() : 15;
  const int dpi = 1440 / tpp_;

  RegisterWindowClass(kFormClass, &Win32DialogView::FormProc);
  RegisterWindowClass(kPanelClass, &Win32DialogView::PanelProc);
  RegisterWindowClass(kKindClass, &Win32DialogView::KindProc);

  font_ = CreateFontOf(DialogFont(), dpi);
  FontSpec underlined = DialogFont();
  underlined.underline = true;
  address_font_ = CreateFontOf(underlined, dpi);
  strip_ = CreatePictureBitmap(MetalStripBmp());
  radio_[0] = CreatePictureBitmap(RadioMarkBmp(false));
  radio_[1] = CreatePictureBitmap(RadioMarkBmp(true));
  hand_ = CreateHandCursor();
  icon_ = CreateWindowIcon();

  RECT outer = {0, 0, kDialogClientWidthTwips / tpp_, kDialogClientHeightTwips / tpp_};
  AdjustWindowRectEx(&outer, kFormStyle, FALSE, 0);
  form_ = CreateWindowExA(0, kFormClass, kDialogCaption, kFormStyle, 0, 0, outer.right - outer.left,
                          outer.bottom - outer.top, nullptr, nullptr, instance, this);
  if (!form_) return false;
  if (icon_) {
    SendMessageA(form_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(form_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  }

  // The windows are made in the layout's order, which is the order Tab takes them in
  // (the panel's controls where the panel stands); a control's number is its place in
  // the layout, counted from 1.
  for (const ControlPlace& place : kDialogLayout) {
    const RECT r = {place.left / tpp_, place.top / tpp_, (place.left + place.width) / tpp_,
                    (place.top + place.height) / tpp_};
    HWND parent = place.in_panel ? panel_ : form_;
    const int id = static_cast<int>(&place - kDialogLayout.data()) + 1;
    switch (place.kind) {
      case ControlKind::Panel:
        // Tab and the arrows go through its controls as through the form's own.
        panel_ = CreateWindowExA(WS_EX_CONTROLPARENT, kPanelClass, "",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, form_, nullptr, instance, this);
        if (!panel_ || !CreateKinds(instance)) return false;
        break;
      case ControlKind::Command: {
        auto button = std::make_unique<Win32CommandButton>(parent, r.left, r.top, r.right - r.left,
                                                           r.bottom - r.top, tpp_, id);
        commands_.push_back(&button->Button());
        buttons_[static_cast<size_t>(place.index)] = std::move(button);
        break;
      }
      case ControlKind::Combo:
        // The height is the field's and the drop-down list's; the field takes the font's.
        // Its field scrolls, so a number wider than the field can still be typed.
        // It begins the group after the kinds' marks.
        combo_ = CreateWindowExA(0, "COMBOBOX", "",
                                 WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | WS_VSCROLL |
                                     WS_CLIPSIBLINGS | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                                 r.left, r.top, r.right - r.left, r.bottom - r.top + kComboListHeight, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        if (combo_) SendMessageA(combo_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        break;
      default: drawn_.push_back({&place, place.in_panel, r}); break;
    }
  }
  for (const auto& b : buttons_)
    if (!b || !b->Window()) return false;

  // Each button from its stored properties, then its first size notification.
  for (size_t i = 0; i < buttons_.size(); ++i) {
    CommandButton& button = buttons_[i]->Button();
    button.LoadProperties(PropertyBag::Parse(StoredButtonProperties(static_cast<DialogButton>(i))));
    button.OnResize();
  }
  return true;
}

// The three kinds' focus holders, the panel's first controls: one group of radio
// buttons in the order the rows stand (CD, none, file). They have no size: the panel
// draws the marks, the labels and the focus, and takes the mouse.
bool Win32DialogView::CreateKinds(HINSTANCE instance) {
  for (const ControlPlace& place : kDialogLayout) {
    if (place.kind != ControlKind::KindMark || place.index < 0 || place.index > 2) continue;
    const DWORD group = first_kind_ ? 0 : WS_GROUP;
    HWND kind = CreateWindowExA(
        0, kKindClass, "", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | group, place.left / tpp_,
        place.top / tpp_, 0, 0, panel_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(&place - kDialogLayout.data() + 1)), instance, this);
    if (!kind) return false;
    kinds_[place.index] = kind;
    if (!first_kind_) first_kind_ = kind;
    last_kind_ = kind;
  }
  UpdateKindStops();
  return true;
}

int Win32DialogView::KindOf(HWND kind) const {
  for (int i = 0; i < 3; ++i)
    if (kinds_[i] == kind) return i;
  return -1;
}

// Tab reaches the group at its selected mark, or at its first when none is selected.
void Win32DialogView::UpdateKindStops() {
  HWND stop = first_kind_;
  for (int i = 0; i < 3; ++i)
    if (marks_[i] && kinds_[i]) stop = kinds_[i];
  for (HWND kind : kinds_) {
    if (!kind) continue;
    const LONG_PTR style = GetWindowLongPtrA(kind, GWL_STYLE);
    SetWindowLongPtrA(kind, GWL_STYLE,
                      kind == stop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP)));
  }
}

// The dialog opens with the focus on the first control after the kinds' marks that
// takes it (the track box, "...", Set): where the Linux dialog, whose marks take no
// focus, starts too.
HWND Win32DialogView::FirstFocus() const {
  return last_kind_ ? GetNextDlgTabItem(form_, last_kind_, FALSE) : nullptr;
}

void Win32DialogView::Run() {
  events_.Load(*this);
  if (gone_) return;
  focused_ = FirstFocus();
  ShowWindow(form_, SW_SHOWNORMAL);
  SetForegroundWindow(form_);
  UpdateWindow(form_);
  MSG msg;
  while (!gone_) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // A quit request belongs to the loop outside: leave it for that one.
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    // The system's dialog manager: Tab and Shift+Tab, the arrows in the kinds' group.
    if (form_ && IsDialogMessageA(form_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// --- Window procedures ---

LRESULT CALLBACK Win32DialogView::FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = WindowObject<Win32DialogView>(hwnd, msg, lp);
  return self ? self->FormMessage(hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Win32DialogView::PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = WindowObject<Win32DialogView>(hwnd, msg, lp);
  return self ? self->PanelMessage(hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Win32DialogView::KindProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = WindowObject<Win32DialogView>(hwnd, msg, lp);
  return self ? self->KindMessage(hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT Win32DialogView::FormMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT painted = 0;
  if (PaintMessage(hwnd, msg, wp, &painted, [this](HDC dc) { PaintForm(dc); })) return painted;
  switch (msg) {
    case WM_SHOWWINDOW:
      if (wp && !shown_) {
        shown_ = true;
        events_.Resize();
      }
      break;
    case WM_SIZE:
      if (shown_) events_.Resize();
      return 0;
    case WM_SETCURSOR:
      if (busy_pointer_) {
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        return TRUE;
      }
      if (reinterpret_cast<HWND>(wp) == hwnd && LOWORD(lp) == HTCLIENT && hand_) {
        POINT p;
        const DrawnControl* address = Address();
        if (address && GetCursorPos(&p) && ScreenToClient(hwnd, &p) && PtInRect(&address->rect, p)) {
          SetCursor(hand_);
          return TRUE;
        }
      }
      break;
    case WM_LBUTTONDOWN:
      if (const DrawnControl* address = Address(); address && Inside(address->rect, lp)) {
        address_pressed_ = true;
        SetCapture(hwnd);
      }
      return 0;
    case WM_LBUTTONUP:
      if (address_pressed_) {
        address_pressed_ = false;
        if (GetCapture() == hwnd) ReleaseCapture();
        const DrawnControl* address = Address();
        if (address && Inside(address->rect, lp)) events_.AddressClicked();
      }
      return 0;
    case WM_ACTIVATE:
      // The control that had the focus gets it back when the window is active again
      // (after the open-file dialog, or another program).
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd, focus)) focused_ = focus;
      } else if (!HIWORD(wp)) {
        if (focused_ && IsWindow(focused_) && IsChild(hwnd, focused_)) SetFocus(focused_);
        else SetFocus(hwnd);
        return 0;
      }
      break;
    case WM_CLOSE: Unload(); return 0;
    case WM_DESTROY: gone_ = true; return 0;
    case WM_NCDESTROY:
      SetWindowObject(hwnd, nullptr);
      form_ = nullptr;
      panel_ = nullptr;
      combo_ = nullptr;
      for (HWND& kind : kinds_) kind = nullptr;
      first_kind_ = last_kind_ = nullptr;
      break;
    default: break;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT Win32DialogView::PanelMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT painted = 0;
  if (PaintMessage(hwnd, msg, wp, &painted, [this](HDC dc) { PaintPanel(dc); })) return painted;
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: KindPress(lp); return 0;
    case WM_NCDESTROY: SetWindowObject(hwnd, nullptr); break;
    default: break;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

// A kind's focus holder answers as an automatic radio button: the arrows bring the
// focus to the next kind of the group and click it there; Space clicks it too.
LRESULT Win32DialogView::KindMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  const int index = KindOf(hwnd);
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BM_GETCHECK: return index >= 0 && marks_[index] ? BST_CHECKED : BST_UNCHECKED;
    case BM_CLICK:
      if (index >= 0) events_.KindPressed(index);
      return 0;
    case WM_KEYUP:
      if (wp != VK_SPACE) break;
      if (index >= 0) events_.KindPressed(index);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The focus shows around the kind's label.
      for (const DrawnControl& c : drawn_)
        if (c.place->kind == ControlKind::KindLabel && c.place->index == index) InvalidateDrawn(c);
      return 0;
    case WM_NCDESTROY: SetWindowObject(hwnd, nullptr); break;
    default: break;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

// Any mouse button on a kind's mark or label selects that kind.
void Win32DialogView::KindPress(LPARAM lp) {
  for (const DrawnControl& c : drawn_) {
    if (!c.in_panel) continue;
    if (c.place->kind != ControlKind::KindMark && c.place->kind != ControlKind::KindLabel) continue;
    if (Inside(c.rect, lp)) {
      events_.KindPressed(c.place->index);
      return;
    }
  }
}

const DrawnControl* Win32DialogView::Address() const {
  for (const DrawnControl& c : drawn_)
    if (c.place->kind == ControlKind::AddressLabel) return &c;
  return nullptr;
}

void Win32DialogView::InvalidateDrawn(const DrawnControl& c) {
  HWND parent = c.in_panel ? panel_ : form_;
  if (!parent) return;
  RECT r = c.rect;
  InflateRect(&r, 1, 1);  // the engraved look reaches one pixel further
  InvalidateRect(parent, &r, FALSE);
}

// --- Painting ---

void Win32DialogView::PaintForm(HDC dc) {
  RECT client;
  GetClientRect(form_, &client);
  HGDIOBJ old_brush = SelectObject(dc, GetStockObject(DC_BRUSH));
  for (size_t i = 0; i < rows_.size(); ++i) {
    const RowColour c = rows_[i];
    SetDCBrushColor(dc, RGB(c.red, c.green, c.blue));
    PatBlt(dc, 0, static_cast<int>(i), client.right, 1, PATCOPY);
  }
  // Rows the shading does not reach yet stay black.
  if (static_cast<LONG>(rows_.size()) < client.bottom) {
    SetDCBrushColor(dc, RGB(0, 0, 0));
    PatBlt(dc, 0, static_cast<int>(rows_.size()), client.right,
           client.bottom - static_cast<int>(rows_.size()), PATCOPY);
  }
  SelectObject(dc, old_brush);
  PaintDrawn(dc, false);
}

void Win32DialogView::PaintPanel(HDC dc) {
  RECT client;
  GetClientRect(panel_, &client);
  SetDCBrushColor(dc, kPanelGrey);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  if (strip_ && !tiles_.empty()) {
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, strip_);
    for (const PixelPoint& p : tiles_) BitBlt(dc, p.x, p.y, kStripWidth, kStripHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
  }
  PaintDrawn(dc, true);
}

// The labels, marks and frame of one parent, in the layout's order.
void Win32DialogView::PaintDrawn(HDC dc, bool in_panel) {
  for (const DrawnControl& c : drawn_) {
    if (c.in_panel != in_panel) continue;
    const ControlPlace& place = *c.place;
    switch (place.kind) {
      case ControlKind::Frame:
        FrameRect(dc, &c.rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        break;
      case ControlKind::KindMark:
        if (place.index >= 0 && place.index < 3) {
          HBITMAP mark = radio_[marks_[place.index] ? 1 : 0];
          if (!mark) break;
          HDC source = CreateCompatibleDC(dc);
          HGDIOBJ old = SelectObject(source, mark);
          BitBlt(dc, c.rect.left, c.rect.top, kKindMarkSize, kKindMarkSize, source, 0, 0, SRCCOPY);
          SelectObject(source, old);
          DeleteDC(source);
        }
        break;
      case ControlKind::Label:
      case ControlKind::KindLabel:
      case ControlKind::AddressLabel: {
        const std::wstring text = place.text ? WideFromUtf8(place.text) : file_label_;
        const COLORREF colour = place.colour == LabelColour::White ? RGB(255, 255, 255) : RGB(0, 0, 0);
        // A label one line high shows one line; a taller one wraps and is cut at its edges.
        const bool one_line = (place.height / tpp_) < 2 * 13;
        UINT format = DT_NOPREFIX | DT_TOP | (place.centred ? DT_CENTER : DT_LEFT);
        format |= one_line ? (DT_SINGLELINE | DT_NOCLIP) : (DT_WORDBREAK | DT_EDITCONTROL);
        DrawLabelText(dc, text, c.rect, format,
                      place.kind == ControlKind::AddressLabel ? address_font_ : font_, colour, true);
        if (place.kind == ControlKind::KindLabel && place.index >= 0 && place.index < 3 &&
            kinds_[place.index] && GetFocus() == kinds_[place.index]) {
          RECT focus = c.rect;
          InflateRect(&focus, 1, 1);
          DrawFocusRect(dc, &focus);
        }
        break;
      }
      default: break;
    }
  }
}

// --- DialogView ---

int Win32DialogView::WidthTwips() {
  RECT r = {0, 0, 0, 0};
  if (form_) GetWindowRect(form_, &r);
  return (r.right - r.left) * tpp_;
}

int Win32DialogView::HeightTwips() {
  RECT r = {0, 0, 0, 0};
  if (form_) GetWindowRect(form_, &r);
  return (r.bottom - r.top) * tpp_;
}

void Win32DialogView::MoveTo(int left_twips, int top_twips) {
  if (form_)
    SetWindowPos(form_, nullptr, left_twips / tpp_, top_twips / tpp_, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Win32DialogView::ClientWidth() {
  RECT r = {0, 0, 0, 0};
  if (form_) GetClientRect(form_, &r);
  return r.right;
}

int Win32DialogView::ClientHeight() {
  RECT r = {0, 0, 0, 0};
  if (form_) GetClientRect(form_, &r);
  return r.bottom;
}

void Win32DialogView::PaintBackground(const std::vector<RowColour>& rows) {
  rows_ = rows;
  if (form_) InvalidateRect(form_, nullptr, FALSE);
}

void Win32DialogView::TilePanel(const std::vector<PixelPoint>& origins) {
  tiles_ = origins;
  if (panel_) InvalidateRect(panel_, nullptr, FALSE);
}

CommandButton& Win32DialogView::Button(DialogButton which) {
  return buttons_[static_cast<size_t>(which)]->Button();
}

void Win32DialogView::SetRepeatEnabled(bool enabled) {
  if (combo_) EnableWindow(combo_, enabled ? TRUE : FALSE);
}

void Win32DialogView::SetRepeatText(const std::string& text) {
  if (combo_) SetWindowTextA(combo_, CodePage932FromUtf8(text).c_str());
}

void Win32DialogView::AddRepeatItem(const std::string& text) {
  if (combo_)
    SendMessageA(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(CodePage932FromUtf8(text).c_str()));
}

std::string Win32DialogView::RepeatText() {
  if (!combo_) return std::string();
  const int n = GetWindowTextLengthA(combo_);
  std::string text(static_cast<size_t>(n > 0 ? n : 0) + 1, '\0');
  const int got = GetWindowTextA(combo_, &text[0], static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

void Win32DialogView::SetKindMark(int index, bool selected) {
  if (index < 0 || index > 2 || marks_[index] == selected) return;
  marks_[index] = selected;
  UpdateKindStops();
  for (const DrawnControl& c : drawn_)
    if (c.place->kind == ControlKind::KindMark && c.place->index == index) InvalidateDrawn(c);
}

void Win32DialogView::SetFileLabel(const std::string& path) {
  file_label_ = WideFromAnsi(path);
  for (const DrawnControl& c : drawn_)
    if (c.place->kind == ControlKind::Label && !c.place->text) InvalidateDrawn(c);
}

bool Win32DialogView::PointerPosition(int* x, int* y) {
  POINT p;
  if (!GetCursorPos(&p)) return false;
  *x = p.x;
  *y = p.y;
  return true;
}

void Win32DialogView::SetScreenPointer(ScreenPointer pointer) {
  busy_pointer_ = pointer == ScreenPointer::Hourglass;
  SetCursor(LoadCursor(nullptr, busy_pointer_ ? IDC_WAIT : IDC_ARROW));
}

std::int32_t Win32DialogView::OpenFile(const OpenFileRequest& request, std::string* chosen) {
  // In UTF-16, so that the title and the filter read right at any code page; the
  // folder goes in and the path comes back in the ANSI code page, as the host keeps
  // paths. One filter entry: name, pattern, and the empty entry that ends the list.
  std::wstring filter = WideFromUtf8(request.filter_name);
  filter.push_back(L'\0');
  filter += WideFromUtf8(request.filter_pattern);
  filter.push_back(L'\0');
  filter.push_back(L'\0');
  const std::wstring title = WideFromUtf8(request.title);
  const std::wstring folder = WideFromAnsi(request.initial_folder);
  // Buffers of max_file NULs (and the string's own terminator after them).
  std::wstring file(request.max_file, L'\0');
  std::wstring file_title(request.max_file, L'\0');

  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = ToHwnd(request.owner);
  ofn.hInstance = GetModuleHandleA(nullptr);
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = &file[0];
  ofn.nMaxFile = request.max_file;
  ofn.lpstrFileTitle = &file_title[0];
  ofn.nMaxFileTitle = request.max_file;
  ofn.lpstrInitialDir = folder.c_str();
  ofn.lpstrTitle = title.c_str();
  ofn.Flags = 0;
  const BOOL result = GetOpenFileNameW(&ofn);
  if (result > 0) *chosen = AnsiFromWide(file.substr(0, file.find(L'\0')));
  return result;
}

void Win32DialogView::ShellOpen(const std::string& address) {
  ShellExecuteA(form_, "open", CodePage932FromUtf8(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32DialogView::ShowMessage(const std::string& text, const std::string& path) {
  // In UTF-16, as the labels are drawn, so that the text shows whatever the system's
  // code page; the path comes in that code page.
  const std::wstring message = WideFromUtf8(text) + L"\n" + WideFromAnsi(path);
  MessageBoxW(form_, message.c_str(), WideFromUtf8(kMessageTitle).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void Win32DialogView::Unload() {
  if (unloading_ || gone_) return;
  unloading_ = true;
  events_.Unload();
  if (form_) DestroyWindow(form_);
  gone_ = true;
}

}  // namespace

void RunSettingsDialog(Runtime& rt, DialogEvents& events) {
  Win32DialogView view(rt, events);
  if (view.Create()) view.Run();
}

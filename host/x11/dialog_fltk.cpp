// The settings dialog's window in FLTK (see dialog_fltk.h). The X window is made,
// unmapped, before the dialog loads, so that its place can be read and animated to
// as on Windows; FLTK adopts it and maps it at show.
#include "dialog_fltk.h"

#define FL_INTERNALS
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <FL/fl_utf8.h>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <spawn.h>
#include <time.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>

#include "assets.h"
#include "command_fltk.h"
#include "dialog_layout.h"
#include "property_bag.h"
#include "veloran_names.h"

extern char** environ;

namespace {

constexpr int kTwips = 15;
int Px(int twips) { return twips / kTwips; }

constexpr int kClientWidth = kDialogClientWidthTwips / kTwips;    // 495
constexpr int kClientHeight = kDialogClientHeightTwips / kTwips;  // 246
const Fl_Color kPanelGrey = fl_rgb_color(224, 224, 224);

// The widths of a window manager's frame around the window, in pixels.
struct FrameExtents {
  int left = 0, right = 0, top = 0, bottom = 0;
};

// An RGBA copy of a picture, magenta transparent.
std::vector<uchar> WithAlpha(const Picture& picture) {
  std::vector<uchar> rgba(static_cast<size_t>(picture.width) * picture.height * 4);
  for (size_t i = 0, n = static_cast<size_t>(picture.width) * picture.height; i < n; ++i) {
    const uchar* p = &picture.rgb[i * 3];
    const bool clear = p[0] == 0xFF && p[1] == 0x00 && p[2] == 0xFF;
    rgba[i * 4] = p[0];
    rgba[i * 4 + 1] = p[1];
    rgba[i * 4 + 2] = p[2];
    rgba[i * 4 + 3] = clear ? 0 : 0xFF;
  }
  return rgba;
}

// The lines of a word-wrapped label in the current font: lines break at blanks, and
// a word longer than a whole line breaks after its last character that fits (at least
// one per line), as the system's labels on Windows do.
std::vector<std::string> WrapLines(const std::string& text, int width) {
  auto fits = [width](const std::string& s) {
    return fl_width(s.c_str(), static_cast<int>(s.size())) <= width;
  };
  auto char_end = [&text](size_t at) {
    int length = fl_utf8len1(text[at]);
    if (length < 1) length = 1;
    return std::min(text.size(), at + static_cast<size_t>(length));
  };
  std::vector<std::string> lines;
  std::string line;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '\n') {
      lines.push_back(line);
      line.clear();
      ++i;
      continue;
    }
    // The next word with the blanks before it.
    size_t end = i;
    while (end < text.size() && text[end] == ' ') ++end;
    while (end < text.size() && text[end] != ' ' && text[end] != '\n') end = char_end(end);
    const std::string word = text.substr(i, end - i);
    if (fits(line + word)) {
      line += word;
      i = end;
      continue;
    }
    if (!line.empty()) {
      // The word starts the next line, without its blanks.
      lines.push_back(line);
      line.clear();
      while (i < end && text[i] == ' ') ++i;
      continue;
    }
    // Longer than a whole line: as many characters as fit.
    size_t cut = char_end(i);
    while (cut < end && fits(text.substr(i, char_end(cut) - i))) cut = char_end(cut);
    lines.push_back(text.substr(i, cut - i));
    i = cut;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// Draws what lies under a widget again, then the widget: for the transparent ones.
void RepaintBehind(Fl_Widget* w) {
  if (Fl_Window* win = w->window()) win->damage(FL_DAMAGE_ALL, w->x(), w->y(), w->w(), w->h());
}

void DrawPicture(const Picture& picture, int x, int y) {
  if (picture.width > 0 && picture.height > 0)
    fl_draw_image(picture.rgb.data(), x, y, picture.width, picture.height, 3);
}

// --- The window and its controls ---

class DialogWindow : public Fl_Double_Window {
 public:
  DialogWindow() : Fl_Double_Window(kClientWidth, kClientHeight, kDialogCaption) {}
  std::vector<RowColour> rows;
  std::function<void()> resized;

  void draw() override {
    if (damage() & ~FL_DAMAGE_CHILD) {
      const int n = std::min<int>(static_cast<int>(rows.size()), h());
      for (int i = 0; i < n; ++i) {
        fl_color(rows[i].red, rows[i].green, rows[i].blue);
        fl_xyline(0, i, w() - 1);
      }
      if (n < h()) fl_rectf(0, n, w(), h() - n, FL_BLACK);
    }
    draw_children();
  }
  void resize(int x, int y, int w, int h) override {
    const bool sized = w != this->w() || h != this->h();
    Fl_Double_Window::resize(x, y, w, h);
    if (sized && resized) resized();
  }
};

// Pic_C: light grey under copies of the strip picture.
class PanelGroup : public Fl_Group {
 public:
  PanelGroup(int x, int y, int w, int h) : Fl_Group(x, y, w, h) { box(FL_NO_BOX); }
  Picture strip;
  std::vector<PixelPoint> origins;

  void draw() override {
    if (damage() & ~FL_DAMAGE_CHILD) {
      fl_push_clip(x(), y(), w(), h());
      fl_rectf(x(), y(), w(), h(), kPanelGrey);
      for (const PixelPoint& p : origins) DrawPicture(strip, x() + p.x, y() + p.y);
      fl_pop_clip();
    }
    draw_children();
  }
};

// A rectangle with a black one-pixel border.
class FrameWidget : public Fl_Widget {
 public:
  FrameWidget(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {}
  void draw() override {
    fl_color(FL_BLACK);
    fl_rect(x(), y(), w(), h());
  }
};

// A transparent label: its text drawn over whatever lies beneath. Texts are drawn as
// they are ('@' and '&' mean nothing).
class TextLabel : public Fl_Widget {
 public:
  TextLabel(const ControlPlace& place, int x, int y, int w, int h) : Fl_Widget(x, y, w, h), place_(place) {
    if (place.text) text_ = place.text;
  }
  std::function<void(int button)> pressed;  // any mouse button
  std::function<void()> clicked;            // left button pressed and released over it
  std::function<void(bool inside)> hovered;

  void SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    RepaintBehind(this);
  }
  const std::string& Text() const { return text_; }

  void draw() override {
    if (text_.empty()) return;
    int size = 13;
    fl_font(static_cast<Fl_Font>(FltkFont(DialogFont(), &size)), size);
    fl_color(place_.colour == LabelColour::White ? FL_WHITE : FL_BLACK);
    const bool multi_line = place_.height > 195;
    const Fl_Align align =
        FL_ALIGN_TOP | FL_ALIGN_INSIDE | (place_.centred ? FL_ALIGN_CENTER : FL_ALIGN_LEFT);
    if (multi_line) {
      fl_push_clip(x(), y(), w(), h());
      int line_top = y();
      for (const std::string& line : WrapLines(text_, w())) {
        if (line_top >= y() + h()) break;
        fl_draw(line.c_str(), x(), line_top, w(), fl_height(), align, nullptr, 0);
        line_top += fl_height();
      }
      fl_pop_clip();
    } else {
      fl_draw(text_.c_str(), x(), y(), w(), fl_height(), align, nullptr, 0);
    }
    if (place_.kind == ControlKind::AddressLabel) {
      const int width = std::min(w(), static_cast<int>(fl_width(text_.c_str())));
      const int baseline = y() + fl_height() - fl_descent();
      fl_xyline(x(), baseline + 1, x() + width - 1);
    }
  }

  int handle(int event) override {
    switch (event) {
      case FL_PUSH:
        if (pressed) pressed(Fl::event_button());
        return pressed || clicked ? 1 : 0;
      case FL_RELEASE:
        if (clicked && Fl::event_button() == FL_LEFT_MOUSE && Fl::event_inside(this)) clicked();
        return 1;
      case FL_ENTER:
        if (hovered) hovered(true);
        return hovered ? 1 : 0;
      case FL_LEAVE:
        if (hovered) hovered(false);
        return hovered ? 1 : 0;
      default: return Fl_Widget::handle(event);
    }
  }

 private:
  const ControlPlace& place_;
  std::string text_;
};

// A kind's radio mark: the selected or unselected picture at its top-left. The marks
// are one stop of the keyboard, as a radio group is on Windows: Tab reaches the
// selected mark only, the arrows select the mark above or below (round the group),
// Space selects the focused one again. Only the keyboard gives a mark the focus: the
// dialog opens on the first control after the marks, and a click leaves the focus
// where it was.
class MarkWidget : public Fl_Widget {
 public:
  MarkWidget(int x, int y, int w, int h, const Picture& off, const Picture& on)
      : Fl_Widget(x, y, w, h), off_(off), on_(on) {}
  std::function<void()> pressed;
  std::function<void(int step)> stepped;  // +1 the mark below, -1 the one above

  void SetSelected(bool selected) {
    if (selected == selected_ && shown_once_) return;
    selected_ = selected;
    shown_once_ = true;
    RepaintBehind(this);
  }
  void draw() override {
    if (shown_once_) DrawPicture(selected_ ? on_ : off_, x(), y());
  }
  int handle(int event) override {
    switch (event) {
      case FL_PUSH:
        if (pressed) pressed();
        return 1;
      case FL_FOCUS: return selected_ && Fl::event() == FL_KEYBOARD ? 1 : 0;
      case FL_UNFOCUS: return 1;
      case FL_KEYBOARD: {
        const int key = Fl::event_key();
        const int step = key == FL_Down || key == FL_Right ? 1 : key == FL_Up || key == FL_Left ? -1 : 0;
        if (step != 0 && stepped) stepped(step);
        else if (key == ' ' && pressed) pressed();
        else return 0;
        return 1;
      }
      default: return Fl_Widget::handle(event);
    }
  }

 private:
  const Picture& off_;
  const Picture& on_;
  bool selected_ = false;
  bool shown_once_ = false;
};

// "*.MP3;*.WAV" as FLTK's pattern, each ending in any case: "*.{[Mm][Pp]3,[Ww][Aa][Vv]}"
// (FLTK's choosers match names case by case on this system).
std::string FltkPattern(const std::string& windows_filter) {
  std::string alternatives;
  size_t start = 0;
  while (start <= windows_filter.size()) {
    size_t end = windows_filter.find(';', start);
    if (end == std::string::npos) end = windows_filter.size();
    const std::string one = windows_filter.substr(start, end - start);
    start = end + 1;
    if (one.rfind("*.", 0) != 0 || one.size() <= 2) continue;
    if (!alternatives.empty()) alternatives += ',';
    for (const char c : one.substr(2)) {
      const auto u = static_cast<unsigned char>(c);
      if (std::isalpha(u)) {
        alternatives += '[';
        alternatives += static_cast<char>(std::toupper(u));
        alternatives += static_cast<char>(std::tolower(u));
        alternatives += ']';
      } else {
        alternatives += c;
      }
    }
  }
  return alternatives.empty() ? "*" : "*.{" + alternatives + "}";
}

// The filter's name as the choosers show it: FLTK takes the first '(' of a filter as
// the start of its pattern, so the name's own parentheses are drawn full-width.
std::string FltkFilterName(const std::string& name) {
  std::string out;
  for (const char c : name) {
    if (c == '(') out += "\xEF\xBC\x88";       // U+FF08
    else if (c == ')') out += "\xEF\xBC\x89";  // U+FF09
    else out += c;
  }
  return out;
}

// The size and place a window manager reads: fixed size, the place chosen, and the
// functions move and close only (FLTK's own hints would keep minimise); a title, a
// border and the window menu.
void SendPlacementHints(Fl_Window* w) {
  Fl_X::i(w)->sendxjunk();
  const long motif[5] = {1 | 2, 4 | 32, 2 | 8 | 16, 0, 0};
  const Atom motif_hints = XInternAtom(fl_display, "_MOTIF_WM_HINTS", False);
  XChangeProperty(fl_display, fl_xid(w), motif_hints, motif_hints, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(motif), 5);
}

// Makes the window's X window, unmapped, with what a window manager reads at map
// time: titles, class, close protocol, fixed size, icon, and no minimise or
// maximise function.
void CreateUnmapped(Fl_Window* w) {
  Display* d = fl_display;
  XSetWindowAttributes attr{};
  attr.border_pixel = 0;
  attr.colormap = fl_colormap;
  attr.bit_gravity = NorthWestGravity;
  attr.event_mask = ExposureMask | StructureNotifyMask | KeyPressMask | KeyReleaseMask | KeymapStateMask |
                    FocusChangeMask | ButtonPressMask | ButtonReleaseMask | EnterWindowMask |
                    LeaveWindowMask | PropertyChangeMask | PointerMotionMask;
  const Window xid = XCreateWindow(d, RootWindow(d, fl_screen), w->x(), w->y(), w->w(), w->h(), 0,
                                   fl_visual->depth, InputOutput, fl_visual->visual,
                                   CWBorderPixel | CWColormap | CWEventMask | CWBitGravity, &attr);
  Fl_X* xp = Fl_X::set_xid(w, xid);
  w->label(w->label(), w->iconlabel());  // WM_NAME and _NET_WM_NAME now that the window exists

  Atom delete_window = XInternAtom(d, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(d, xid, &delete_window, 1);
  XClassHint class_hint;
  std::string res_name = "veloran", res_class = w->xclass() ? w->xclass() : "Veloran";
  class_hint.res_name = &res_name[0];
  class_hint.res_class = &res_class[0];
  XSetClassHint(d, xid, &class_hint);
  XWMHints* hints = XAllocWMHints();
  if (hints) {
    hints->input = True;
    hints->flags = InputHint;
    XSetWMHints(d, xid, hints);
    XFree(hints);
  }
  xp->set_icons();
  SendPlacementHints(w);
}

// Whether the window manager running says it supports `feature` (_NET_SUPPORTED).
bool WindowManagerSupports(Atom feature) {
  Display* d = fl_display;
  const Atom supported = XInternAtom(d, "_NET_SUPPORTED", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  bool found = false;
  if (XGetWindowProperty(d, RootWindow(d, fl_screen), supported, 0, 4096, False, XA_ATOM, &type, &format,
                         &count, &after, &data) == Success &&
      data != nullptr) {
    if (type == XA_ATOM && format == 32) {
      const Atom* atoms = reinterpret_cast<const Atom*>(data);
      found = std::find(atoms, atoms + count, feature) != atoms + count;
    }
  }
  if (data) XFree(data);
  return found;
}

// The frame a window manager will put around the unmapped window `xid`, asked for
// before it is mapped; none without a window manager, or when it does not answer
// within 500 ms.
FrameExtents RequestFrameExtents(Window xid) {
  Display* d = fl_display;
  FrameExtents extents;
  const Atom request = XInternAtom(d, "_NET_REQUEST_FRAME_EXTENTS", False);
  const Atom frame = XInternAtom(d, "_NET_FRAME_EXTENTS", False);
  if (!WindowManagerSupports(request)) return extents;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = xid;
  event.xclient.message_type = request;
  event.xclient.format = 32;
  XSendEvent(d, RootWindow(d, fl_screen), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  for (int attempt = 0; attempt < 50; ++attempt) {
    XSync(d, False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool read = XGetWindowProperty(d, xid, frame, 0, 4, False, XA_CARDINAL, &type, &format, &count,
                                         &after, &data) == Success &&
                      data != nullptr && type == XA_CARDINAL && format == 32 && count == 4;
    if (read) {
      const long* v = reinterpret_cast<const long*>(data);
      // Left, right, top, bottom; anything outside a sensible frame counts as none.
      if (std::all_of(v, v + 4, [](long e) { return e >= 0 && e <= 200; }))
        extents = {static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                   static_cast<int>(v[3])};
    }
    if (data) XFree(data);
    if (read) break;
    const timespec pause{0, 10 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
  return extents;
}

}  // namespace

struct FltkDialog::Parts {
  DialogWindow* window = nullptr;  // owns every widget below
  PanelGroup* panel = nullptr;
  std::vector<CommandWidget*> commands;  // in the form's order
  CommandWidget* by_role[3] = {};
  MarkWidget* marks[3] = {};
  std::vector<int> mark_order;  // the kinds of the marks from the top down
  TextLabel* file_label = nullptr;
  Fl_Input_Choice* combo = nullptr;
  Picture radio_off, radio_on;
  std::vector<uchar> hand_rgba, icon_rgba;
  std::unique_ptr<Fl_RGB_Image> hand, icon;
  FrameExtents frame;  // the window manager's frame around the window
  bool hourglass = false;
  bool over_address = false;

  void ApplyCursor() {
    if (!window) return;
    if (hourglass) window->cursor(FL_CURSOR_WAIT);
    else if (over_address && hand) window->cursor(hand.get(), kHandCursorHotX, kHandCursorHotY);
    else window->cursor(FL_CURSOR_DEFAULT);
  }
};

FltkDialog::FltkDialog(Runtime& rt, DialogEvents& events) : rt_(rt), events_(events), parts_(new Parts) {
  Parts& p = *parts_;
  DecodeBmp24(RadioMarkBmp(false), &p.radio_off);
  DecodeBmp24(RadioMarkBmp(true), &p.radio_on);
  Picture hand, icon;
  if (DecodeBmp24(HandCursorBmp(), &hand)) {
    p.hand_rgba = WithAlpha(hand);
    p.hand.reset(new Fl_RGB_Image(p.hand_rgba.data(), hand.width, hand.height, 4));
  }
  if (DecodeBmp24(WindowIconBmp(), &icon)) {
    p.icon_rgba = WithAlpha(icon);
    p.icon.reset(new Fl_RGB_Image(p.icon_rgba.data(), icon.width, icon.height, 4));
  }

  Fl_Group::current(nullptr);
  p.window = new DialogWindow();
  p.window->end();
  p.window->xclass("Veloran");
  p.window->size_range(kClientWidth, kClientHeight, kClientWidth, kClientHeight);
  p.window->callback(
      [](Fl_Widget*, void* self) {
        // Esc does not close the dialog; the close box does.
        if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
        static_cast<FltkDialog*>(self)->Unload();
      },
      this);
  p.window->resized = [this] { events_.Resize(); };

  int size = 13;
  const Fl_Font font = static_cast<Fl_Font>(FltkFont(DialogFont(), &size));
  for (const ControlPlace& place : kDialogLayout) {
    // FLTK places every widget in its window's coordinates; the panel's controls are
    // laid out from the panel's corner.
    Fl_Group* holder = place.in_panel && p.panel ? static_cast<Fl_Group*>(p.panel) : p.window;
    const int x = (holder == p.window ? 0 : holder->x()) + Px(place.left);
    const int y = (holder == p.window ? 0 : holder->y()) + Px(place.top);
    const int w = Px(place.width), h = Px(place.height);
    Fl_Widget* widget = nullptr;
    switch (place.kind) {
      case ControlKind::Panel: {
        p.panel = new PanelGroup(x, y, w, h);
        p.panel->end();
        DecodeBmp24(MetalStripBmp(), &p.panel->strip);
        widget = p.panel;
        break;
      }
      case ControlKind::Label:
      case ControlKind::AddressLabel:
      case ControlKind::KindLabel: {
        auto* label = new TextLabel(place, x, y, w, h);
        if (place.kind == ControlKind::KindLabel) {
          const int index = place.index;
          label->pressed = [this, index](int) { events_.KindPressed(index); };
        } else if (place.kind == ControlKind::AddressLabel) {
          label->clicked = [this] { events_.AddressClicked(); };
          label->hovered = [this](bool inside) {
            parts_->over_address = inside;
            parts_->ApplyCursor();
          };
        } else if (place.text == nullptr) {
          p.file_label = label;
        }
        widget = label;
        break;
      }
      case ControlKind::Command: {
        auto* command = new CommandWidget(rt_, x, y, w, h);
        p.commands.push_back(command);
        if (place.index >= 0 && place.index < 3) p.by_role[place.index] = command;
        widget = command;
        break;
      }
      case ControlKind::KindMark: {
        auto* mark = new MarkWidget(x, y, w, h, p.radio_off, p.radio_on);
        const int index = place.index;
        mark->pressed = [this, index] { events_.KindPressed(index); };
        mark->stepped = [this, index](int step) { StepKind(index, step); };
        if (index >= 0 && index < 3) p.marks[index] = mark;
        p.mark_order.push_back(index);
        widget = mark;
        break;
      }
      case ControlKind::Combo: {
        auto* combo = new Fl_Input_Choice(x, y, w, h);
        combo->end();
        combo->color(FL_WHITE);
        combo->input()->color(FL_WHITE);
        combo->textfont(font);
        combo->textsize(size);
        combo->menubutton()->textfont(font);
        combo->menubutton()->textsize(size);
        combo->menubutton()->clear_visible_focus();  // one stop of the keyboard, as on Windows
        p.combo = combo;
        widget = combo;
        break;
      }
      case ControlKind::Frame: widget = new FrameWidget(x, y, w, h); break;
    }
    if (widget) holder->add(widget);
  }
  Fl_Group::current(nullptr);

  if (p.icon) p.window->icon(p.icon.get());
  p.window->position(0, 0);
  CreateUnmapped(p.window);
  p.frame = RequestFrameExtents(fl_xid(p.window));
}

FltkDialog::~FltkDialog() { delete parts_->window; }

void FltkDialog::RunModal() {
  Parts& p = *parts_;
  for (int role = 0; role < 3; ++role) {
    CommandWidget* command = p.by_role[role];
    if (!command) continue;
    command->Button().LoadProperties(
        PropertyBag::Parse(StoredButtonProperties(static_cast<DialogButton>(role))));
    command->Button().OnResize();  // laid out at its size
  }
  events_.Load(*this);
  if (closed_) return;
  // The place Load chose, for a window manager that reads it at map time.
  SendPlacementHints(p.window);
  p.window->show();
  events_.Resize();
  while (p.window->shown()) Fl::wait();
}

WindowHandle FltkDialog::Handle() {
  return parts_->window->shown() ? static_cast<WindowHandle>(fl_xid(parts_->window)) : 0;
}

int FltkDialog::ScreenWidthTwips() { return Fl::w() * kTwips; }
int FltkDialog::ScreenHeightTwips() { return Fl::h() * kTwips; }
// The window's outer size and place: the frame a window manager puts around it
// included (none without one). The client area lies inside the frame: a window
// manager keeps it where it was placed (FLTK asks for static gravity).
int FltkDialog::WidthTwips() {
  const FrameExtents& f = parts_->frame;
  return (parts_->window->w() + f.left + f.right) * kTwips;
}
int FltkDialog::HeightTwips() {
  const FrameExtents& f = parts_->frame;
  return (parts_->window->h() + f.top + f.bottom) * kTwips;
}
void FltkDialog::MoveTo(int left_twips, int top_twips) {
  const FrameExtents& f = parts_->frame;
  parts_->window->position(left_twips / kTwips + f.left, top_twips / kTwips + f.top);
}
int FltkDialog::ClientWidth() { return parts_->window->w(); }
int FltkDialog::ClientHeight() { return parts_->window->h(); }

void FltkDialog::PaintBackground(const std::vector<RowColour>& rows) {
  parts_->window->rows = rows;
  parts_->window->redraw();
}

void FltkDialog::TilePanel(const std::vector<PixelPoint>& origins) {
  if (!parts_->panel) return;
  parts_->panel->origins = origins;
  parts_->panel->redraw();
}

std::vector<CommandButton*> FltkDialog::CommandControls() {
  std::vector<CommandButton*> out;
  for (CommandWidget* c : parts_->commands) out.push_back(&c->Button());
  return out;
}

CommandButton& FltkDialog::Button(DialogButton which) {
  return parts_->by_role[static_cast<int>(which)]->Button();
}

void FltkDialog::SetRepeatEnabled(bool enabled) {
  if (!parts_->combo) return;
  if (enabled) parts_->combo->activate();
  else parts_->combo->deactivate();
}

void FltkDialog::SetRepeatText(const std::string& text) {
  if (parts_->combo) parts_->combo->value(text.c_str());
}

void FltkDialog::AddRepeatItem(const std::string& text) {
  if (!parts_->combo) return;
  // Added as one item whatever it holds ('/', '|', '&' are not menu syntax here).
  Fl_Menu_Button* menu = parts_->combo->menubutton();
  const int index = menu->add("x", 0, nullptr, nullptr, 0);
  if (index >= 0) menu->replace(index, text.c_str());
}

std::string FltkDialog::RepeatText() {
  const char* value = parts_->combo ? parts_->combo->value() : nullptr;
  return value ? value : "";
}

// An arrow on the mark of kind `from`: the next mark round the group is pressed, and
// the focus follows it once it is selected.
void FltkDialog::StepKind(int from, int step) {
  const std::vector<int>& order = parts_->mark_order;
  const auto at = std::find(order.begin(), order.end(), from);
  if (at == order.end()) return;
  const int count = static_cast<int>(order.size());
  const int to = order[static_cast<size_t>(((at - order.begin()) + step % count + count) % count)];
  events_.KindPressed(to);
  if (to >= 0 && to < 3 && parts_->marks[to]) parts_->marks[to]->take_focus();
}

void FltkDialog::SetKindMark(int index, bool selected) {
  if (index >= 0 && index < 3 && parts_->marks[index]) parts_->marks[index]->SetSelected(selected);
}

void FltkDialog::SetFileLabel(const std::string& path) {
  if (parts_->file_label) parts_->file_label->SetText(path);
}

bool FltkDialog::PointerPosition(int* x, int* y) {
  Fl::get_mouse(*x, *y);
  return true;
}

void FltkDialog::SetScreenPointer(ScreenPointer pointer) {
  parts_->hourglass = pointer == ScreenPointer::Hourglass;
  parts_->ApplyCursor();
  Fl::flush();
  XFlush(fl_display);
}

std::int32_t FltkDialog::OpenFile(const OpenFileRequest& request, std::string* chosen) {
  const std::string pattern = FltkPattern(request.filter_pattern);
  const std::string name = FltkFilterName(request.filter_name);
  Fl_Native_File_Chooser native(Fl_Native_File_Chooser::BROWSE_FILE);
  native.title(request.title.c_str());
  native.filter((name + "\t" + pattern).c_str());
  if (!request.initial_folder.empty()) native.directory(request.initial_folder.c_str());
  const int result = native.show();
  if (result == 0) {
    const char* name = native.filename();
    if (name == nullptr || *name == '\0') return 0;
    *chosen = name;
    return 1;
  }
  if (result > 0) return 0;  // cancelled

  // The system's chooser could not open: FLTK's own.
  const std::string filter = name + " (" + pattern + ")";
  Fl_File_Chooser own(request.initial_folder.empty() ? "." : request.initial_folder.c_str(), filter.c_str(),
                      Fl_File_Chooser::SINGLE, request.title.c_str());
  own.show();
  while (own.shown()) Fl::wait();
  if (own.count() < 1 || own.value() == nullptr || *own.value() == '\0') return 0;
  *chosen = own.value();
  return 1;
}

void FltkDialog::ShellOpen(const std::string& address) {
  // Not waited for (the host reaps its children); in a session of its own, reading
  // nothing; the host's other descriptors close on exec.
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  std::string program = "xdg-open", argument = address;
  char* argv[] = {&program[0], &argument[0], nullptr};
  pid_t pid = 0;
  posix_spawnp(&pid, "xdg-open", &actions, &attr, argv, environ);  // a missing xdg-open fails here
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
}

void FltkDialog::ShowMessage(const std::string& text, const std::string& path) {
  // Also on standard error, as the host's other message.
  std::fprintf(stderr, "%s\n%s\n", text.c_str(), path.c_str());
  std::fflush(stderr);
  int size = 13;
  fl_message_font(static_cast<Fl_Font>(FltkFont(DialogFont(), &size)), size);
  fl_message_title(kMessageTitle);
  fl_close = "OK";
  // FLTK makes it modal, and transient for the newest window before it: the dialog.
  fl_alert("%s\n%s", text.c_str(), path.c_str());
}

void FltkDialog::Unload() {
  if (closed_) return;
  closed_ = true;
  events_.Unload();
  parts_->window->hide();
}

// The Command button as an FLTK widget (see command_fltk.h).
#include "command_fltk.h"

#include <FL/Fl.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <array>
#include <cmath>
#include <deque>
#include <map>

#include "assets.h"

namespace {

// The six state pictures, decoded once.
const std::array<Picture, kButtonPictureCount>& StatePictures() {
  static const std::array<Picture, kButtonPictureCount> pictures = [] {
    std::array<Picture, kButtonPictureCount> out;
    for (int i = 0; i < kButtonPictureCount; ++i) DecodeBmp24(ButtonPictureBmp(i), &out[i]);
    return out;
  }();
  return pictures;
}

// The three buttons the control knows. The others (the side buttons, 8 and up; FLTK
// turns 4 to 7 into wheel turns, but still reports their releases) are ignored, as
// on Windows.
bool ToMouseButton(int fltk_button, MouseButton* button) {
  switch (fltk_button) {
    case FL_LEFT_MOUSE: *button = MouseButton::Left; return true;
    case FL_RIGHT_MOUSE: *button = MouseButton::Right; return true;
    case FL_MIDDLE_MOUSE: *button = MouseButton::Middle; return true;
    default: return false;
  }
}

bool Contains(const Fl_Widget* w, int x, int y) {
  return x >= w->x() && y >= w->y() && x < w->x() + w->w() && y < w->y() + w->h();
}

// The innermost holder of (x, y) below `group` (window coordinates): a Command widget,
// else the group itself. Labels, marks and frames are drawn on their group and
// count as it; a nested group (a panel) is searched in turn.
WindowHandle HandleIn(Fl_Group* group, int x, int y) {
  for (int i = group->children(); i-- > 0;) {
    Fl_Widget* child = group->child(i);
    if (!child->visible() || child->as_window() || !Contains(child, x, y)) continue;
    if (auto* command = dynamic_cast<CommandWidget*>(child)) return command->Handle();
    if (Fl_Group* inner = child->as_group()) return HandleIn(inner, x, y);
  }
  return reinterpret_cast<WindowHandle>(group);
}

// Whether `window` is `top` or lies inside it (a window manager's frame holds the
// application's window).
bool WithinTopLevel(Window top, Window window) {
  const Window root = RootWindow(fl_display, fl_screen);
  for (int depth = 0; window && window != root && depth < 32; ++depth) {
    if (window == top) return true;
    Window r = 0, parent = 0, *kids = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(fl_display, window, &r, &parent, &kids, &n)) return false;
    if (kids) XFree(kids);
    window = parent;
  }
  return false;
}

}  // namespace

int FltkFont(const FontSpec& font, int* pixel_size) {
  // FLTK reads the first letter of a name as its style: ' ' plain, 'B' bold,
  // 'I' italic, 'P' both.
  std::string face = font.face;
  if (face == "ＭＳ Ｐゴシック") face = "IPAPGothic";
  else if (face == "ＭＳ ゴシック") face = "IPAGothic";
  const bool bold = font.weight >= 600;
  const char style = bold && font.italic ? 'P' : bold ? 'B' : font.italic ? 'I' : ' ';
  const std::string name = std::string(1, style) + face;

  // The numbers given out so far. FLTK's font table is one for the process and keeps
  // the name pointers for good, so this mirror of it is one for the process too.
  static std::map<std::string, int> numbers;
  static std::deque<std::string> names;
  auto found = numbers.find(name);
  int number;
  if (found != numbers.end()) {
    number = found->second;
  } else {
    number = FL_FREE_FONT + static_cast<int>(numbers.size());
    names.push_back(name);
    Fl::set_font(static_cast<Fl_Font>(number), names.back().c_str());
    numbers.emplace(name, number);
  }
  // Points at 96 dots per inch.
  *pixel_size = static_cast<int>(std::lround(font.size * 96.0 / 72.0));
  if (*pixel_size <= 0) *pixel_size = 13;
  return number;
}

CommandWidget::CommandWidget(Runtime& rt, int x, int y, int w, int h)
    : Fl_Widget(x, y, w, h), rt_(rt), font_(DialogFont()), button_(*this) {
  image_.Resize(w, h);
}

WindowHandle CommandWidget::ParentWindow() { return reinterpret_cast<WindowHandle>(parent()); }

WindowHandle CommandWidget::WindowUnderPointer() {
  Fl_Window* top = top_window();
  if (top == nullptr || !top->shown()) return 0;
  const Window root = RootWindow(fl_display, fl_screen);
  Window root_back = 0, child = 0;
  int x = 0, y = 0, wx = 0, wy = 0;
  unsigned int mask = 0;
  // False when the pointer is on another screen.
  if (!XQueryPointer(fl_display, root, &root_back, &child, &x, &y, &wx, &wy, &mask)) return 0;
  // The root's child under the pointer is our window itself, or the frame a window
  // manager put it in; anything else is another program's window or the desktop.
  const Window ours = fl_xid(top);
  if (child == None || (child != ours && !WithinTopLevel(child, ours))) return 0;
  const int lx = x - top->x(), ly = y - top->y();
  // The frame around the window belongs to the window.
  if (lx < 0 || ly < 0 || lx >= top->w() || ly >= top->h()) return reinterpret_cast<WindowHandle>(top);
  return HandleIn(top, lx, ly);
}

std::unique_ptr<FormTimer> CommandWidget::CreateTimer(unsigned interval_ms, std::function<void()> tick) {
  return rt_.CreateTimer(interval_ms, false, std::move(tick));
}

// --- The persistent image ---

void CommandWidget::ClearImage() {
  if (image_.Width() != w() || image_.Height() != h()) image_.Resize(w(), h());
  image_.Clear();
}

void CommandWidget::FillGradient(const GradientVertex& top_left, const GradientVertex& bottom_right) {
  image_.FillGradient(top_left, bottom_right);
}

void CommandWidget::CopyPicture(ButtonPicture picture, const PixelRect& destination,
                                const PixelRect& source) {
  const auto index = static_cast<std::size_t>(picture);
  if (index < StatePictures().size()) image_.Copy(StatePictures()[index], destination, source);
}

void CommandWidget::PresentImage() {
  if (opaque_) redraw();
  else RepaintBehind();
}

void CommandWidget::SetBodyOpaque(bool opaque) {
  opaque_ = opaque;
  RepaintBehind();
}

// What lies under the widget is drawn again, then the widget over it.
void CommandWidget::RepaintBehind() {
  if (Fl_Window* win = window()) win->damage(FL_DAMAGE_ALL, x(), y(), w(), h());
}

// --- The caption ---

void CommandWidget::SetCaptionText(const std::string& utf8) {
  caption_ = utf8;
  RepaintBehind();
}

void CommandWidget::SetCaptionFont(const FontSpec& font) {
  font_ = font;
  RepaintBehind();
}

bool CommandWidget::SetCaptionColour(std::uint32_t colour) {
  // Only plain red, green and blue; the top byte would name a system colour.
  if (colour & 0xFF000000u) return false;
  colour_ = colour;
  RepaintBehind();
  return true;
}

bool CommandWidget::CaptionColour(std::uint32_t* colour) {
  *colour = colour_;
  return true;
}

void CommandWidget::SetCaptionEnabled(bool enabled) {
  if (caption_enabled_ == enabled) return;
  caption_enabled_ = enabled;
  RepaintBehind();
}

void CommandWidget::PlaceCaption(double top_twips, int left_twips, int width_twips) {
  const int top = static_cast<int>(std::lround(top_twips / kTwips));
  const int left = static_cast<int>(std::lround(static_cast<double>(left_twips) / kTwips));
  const int width = static_cast<int>(std::lround(static_cast<double>(width_twips) / kTwips));
  if (top == caption_top_ && left == caption_left_ && width == caption_width_) return;
  caption_top_ = top;
  caption_left_ = left;
  caption_width_ = width;
  RepaintBehind();
}

// --- FLTK ---

void CommandWidget::draw() {
  if (opaque_ && image_.Width() == w() && image_.Height() == h() && w() > 0 && h() > 0)
    fl_draw_image(image_.Rgb(), x(), y(), w(), h(), 3);
  if (caption_.empty()) return;
  int size = 13;
  fl_font(static_cast<Fl_Font>(FltkFont(font_, &size)), size);
  const Fl_Color colour = fl_rgb_color(colour_ & 0xFF, (colour_ >> 8) & 0xFF, (colour_ >> 16) & 0xFF);
  fl_color(caption_enabled_ ? colour : fl_inactive(colour));
  const int lx = x() + caption_left_, ly = y() + caption_top_;
  const int lh = kCaptionHeightTwips / kTwips;
  fl_draw(caption_.c_str(), lx, ly, caption_width_, lh, FL_ALIGN_TOP | FL_ALIGN_INSIDE, nullptr, 0);
  if (font_.underline || font_.strikethrough) {
    const int text_width = static_cast<int>(fl_width(caption_.c_str()));
    const int left = lx + (caption_width_ - text_width) / 2;
    const int baseline = ly + fl_height() - fl_descent();
    if (font_.underline) fl_xyline(left, baseline + 1, left + text_width - 1);
    if (font_.strikethrough) fl_xyline(left, baseline - fl_height() / 3, left + text_width - 1);
  }
}

int CommandWidget::handle(int event) {
  switch (event) {
    case FL_PUSH: {
      MouseButton button;
      if (!ToMouseButton(Fl::event_button(), &button)) return 0;
      // FLTK holds a motion back while a press follows it at once: the control sees
      // the pointer arrive first, as on Windows.
      if (!pointer_over_) {
        pointer_over_ = true;
        button_.OnMouseMove();
      }
      // A press gives the focus, then is handled.
      if (Fl::focus() != this) take_focus();
      button_.OnMouseDown(button);
      return 1;  // FLTK now sends the drag and the release here, whereever the pointer is
    }
    case FL_ENTER:
    case FL_MOVE:
      pointer_over_ = true;
      button_.OnMouseMove();
      return 1;
    case FL_DRAG: button_.OnMouseMove(); return 1;
    case FL_LEAVE: pointer_over_ = false; return 1;  // leaving is noticed by the button's poll
    case FL_RELEASE: {
      MouseButton button;
      if (!ToMouseButton(Fl::event_button(), &button)) return 1;
      // The Click may close the dialog: nothing of this widget is touched afterwards.
      button_.OnMouseUp(button);
      return 1;
    }
    case FL_FOCUS:
      // A disabled control takes no focus: Tab passes it by, and a press on it leaves
      // the focus where it was.
      if (!caption_enabled_) return 0;
      button_.OnFocusGained();
      return 1;
    case FL_UNFOCUS: button_.OnFocusLost(); return 1;
    case FL_KEYDOWN:  // Space on the focused button presses it (a held key's repeats change nothing)
      if (Fl::event_key() != ' ') return 0;
      button_.OnSpaceDown();
      return 1;
    case FL_KEYUP:
      if (Fl::event_key() != ' ') return 0;
      button_.OnSpaceUp();  // may close the dialog: nothing after it
      return 1;
    default: return Fl_Widget::handle(event);
  }
}

void CommandWidget::resize(int x, int y, int w, int h) {
  const bool sized = w != this->w() || h != this->h();
  Fl_Widget::resize(x, y, w, h);
  if (!sized) return;
  image_.Resize(w, h);
  button_.OnResize();
}

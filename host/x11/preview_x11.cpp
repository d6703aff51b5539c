// The preview form on Linux/X11 (see preview_x11.h).
#include "preview_x11.h"

// Fl_X (adopting an X window as a form) is part of FLTK's internal interface.
#define FL_INTERNALS
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>

#include "assets.h"
#include "runtime_x11.h"

// Borderless and black, with the picture at its own size from the top-left.
class PreviewFlWindow : public Fl_Window {
 public:
  PreviewFlWindow(const std::string& caption, const Picture& picture)
      : Fl_Window(0, 0, 1, 1), picture_(picture) {
    copy_label(caption.c_str());
    border(0);
    color(FL_BLACK);
  }
  void SetPictureSize(int w, int h) {
    picture_w_ = w;
    picture_h_ = h;
  }
  void MarkVisible() { set_visible(); }

 protected:
  void draw() override {
    fl_color(FL_BLACK);
    fl_rectf(0, 0, w(), h());
    const int pw = std::min(picture_.width, picture_w_), ph = std::min(picture_.height, picture_h_);
    if (pw <= 0 || ph <= 0 || picture_.rgb.empty()) return;
    fl_push_clip(0, 0, pw, ph);
    fl_draw_image(picture_.rgb.data(), 0, 0, picture_.width, picture_.height, 3);
    fl_pop_clip();
  }

 private:
  Picture picture_;
  int picture_w_ = 0, picture_h_ = 0;
};

X11PreviewWindow::X11PreviewWindow(X11Runtime& rt, Display* display, const std::string& caption,
                                   const Picture& picture, std::function<void()> unload)
    : rt_(rt),
      display_(display),
      window_(std::make_unique<PreviewFlWindow>(caption, picture)),
      unload_(std::move(unload)) {
  Fl::add_system_handler(&X11PreviewWindow::OnXEvent, this);
}

X11PreviewWindow::~X11PreviewWindow() { Fl::remove_system_handler(&X11PreviewWindow::OnXEvent); }

// X has no separate child style: a window is a child by having a parent.
std::int32_t X11PreviewWindow::AddChildStyle() { return 1; }

// Creates the form's X window inside the foreign window and hands it to FLTK.
std::int64_t X11PreviewWindow::SetParent(WindowHandle parent) {
  if (xid_ || !display_) return 0;
  XSetWindowAttributes attrs;
  attrs.background_pixel = BlackPixel(display_, DefaultScreen(display_));
  attrs.border_pixel = 0;
  attrs.colormap = fl_colormap;
  attrs.event_mask = ExposureMask | StructureNotifyMask;
  const int errors = rt_.XErrors();
  const Window xid =
      XCreateWindow(display_, static_cast<Window>(parent), 0, 0, 1, 1, 0, fl_visual->depth, InputOutput,
                    fl_visual->visual, CWBackPixel | CWBorderPixel | CWColormap | CWEventMask, &attrs);
  XSync(display_, False);
  if (!xid || rt_.XErrors() != errors) return 0;
  xid_ = xid;
  XStoreName(display_, xid_, window_->label());
  Fl_X::set_xid(window_.get(), xid_);
  return static_cast<std::int64_t>(parent);
}

void X11PreviewWindow::Move(int left, int top, int width, int height) {
  window_->resize(left, top, std::max(width, 1), std::max(height, 1));
  sized_ = width > 0 && height > 0;
}

void X11PreviewWindow::SetPictureSize(int width, int height) { window_->SetPictureSize(width, height); }

void X11PreviewWindow::Show() {
  if (!xid_) {  // the parent went before the form could be placed in it
    Unloaded();
    return;
  }
  if (!sized_) return;  // a 0 x 0 form shows nothing until its parent goes
  window_->MarkVisible();
  XMapWindow(display_, xid_);
  window_->redraw();
  XFlush(display_);
}

int X11PreviewWindow::OnXEvent(void* event, void* self) {
  const XEvent* e = static_cast<const XEvent*>(event);
  auto* form = static_cast<X11PreviewWindow*>(self);
  if (form->xid_ && e->type == DestroyNotify && e->xdestroywindow.window == form->xid_) {
    form->xid_ = 0;
    form->Unloaded();
  }
  return 0;
}

void X11PreviewWindow::Unloaded() {
  if (unload_) unload_();
  rt_.FormUnloaded();
}

#pragma once
// The preview form on Linux/X11: an X window of ours created inside the foreign window
// named on the command line and handed to FLTK, which draws the picture in it.
//  [X] the child style, the parent, the place and size, the picture's size, showing
//  [X] unloading when the window goes with its parent (its DestroyNotify)
//  [ ] Owner(): always 0, X knows no owner of a child window
//  [ ] PostClose(): does nothing; the close request would go to a window already gone
#include <X11/Xlib.h>

#include <functional>
#include <memory>
#include <string>

#include "runtime.h"

class PreviewFlWindow;  // preview_x11.cpp
class X11Runtime;

class X11PreviewWindow : public PreviewWindow {
 public:
  X11PreviewWindow(X11Runtime& rt, Display* display, const std::string& caption, const Picture& picture,
                   std::function<void()> unload);
  ~X11PreviewWindow() override;

  std::int32_t AddChildStyle() override;
  std::int64_t SetParent(WindowHandle parent) override;
  void Move(int left, int top, int width, int height) override;
  void SetPictureSize(int width, int height) override;
  void Show() override;
  WindowHandle Owner() override { return 0; }
  std::int32_t PostClose() override { return 0; }

 private:
  // FLTK's handler of every X event: the form's window went with its parent.
  static int OnXEvent(void* event, void* self);
  void Unloaded();

  X11Runtime& rt_;
  Display* display_;
  std::unique_ptr<PreviewFlWindow> window_;
  std::function<void()> unload_;
  Window xid_ = 0;
  bool sized_ = false;
};

#pragma once
// The X protocol errors of the renderer's connection. Windows vanish while the renderer
// looks at them (a closed message box, a window destroyed during a swap): the
// platform's error handler notes the error here instead of ending the program, and
// the code that made the request reads it.
//
//  [X] the code of the last error since Clear, and a sync that tells whether there was one
//  [ ] which request failed, and the errors before the last: every caller clears, makes
//      its requests and looks at once

#include <X11/Xlib.h>

class XErrors {
 public:
  // Forgets the last error.
  void Clear() { last_ = 0; }
  // The code of the last error since Clear; 0 when none.
  int Last() const { return last_; }
  // Waits for the server to handle every request, then tells whether none failed
  // since Clear.
  bool Synced(Display* display) {
    XSync(display, False);
    return last_ == 0;
  }
  // Called by the error handler.
  void Note(int code) { last_ = code; }

 private:
  int last_ = 0;
};

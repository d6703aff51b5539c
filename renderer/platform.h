#pragma once
// What the renderer's platform-free logic needs from its platform layer
// (renderer/x11, renderer/win32): the window and its GL context, the message queue,
// the buffer swap, the error box, the display's refresh rate, the clocks and the
// sleep. Tests bring their own double.

#include <cstdint>

#include "frame_timer.h"

// What one look at the message queue found.
enum class MessagePump {
  kIdle,     // nothing pending: time for a frame
  kHandled,  // one message was taken and handled
  kQuit,     // the quit request: the loop ends
};

class RendererPlatform {
 public:
  virtual ~RendererPlatform() = default;

  // Switches the display to width x height (a display that cannot switch keeps its
  // mode, and the window fills it as it is), hides the cursor, opens the borderless
  // window titled `title` over it and covers every other monitor in black. False
  // when no window could be made.
  virtual bool CreateRendererWindow(const char* title, int width, int height) = 0;
  // Size of the window's drawing area, read at start-up.
  virtual void GetClientSize(int* width, int* height) = 0;
  // The drawing area's new size when it changed since start-up or the last call
  // (a window the renderer draws in but does not own may be resized); false when not.
  virtual bool ClientSizeChanged(int* width, int* height) {
    (void)width, (void)height;
    return false;
  }
  // The double-buffered GL context on the window, made current, with a swap interval
  // of 1 requested where offered. A pixel format that cannot be had posts a quit;
  // start-up goes on regardless.
  virtual void CreateContext() = 0;
  // Takes at most one pending message and handles it. On kQuit, `exit_code` is the
  // code the quit was posted with.
  virtual MessagePump PumpMessage(int* exit_code) = 0;
  // Shows the frame just drawn.
  virtual void SwapBuffers() = 0;
  // A message box titled "Error" with an OK button, owned by the focused window.
  virtual void ShowErrorBox(const char* text) = 0;
  // Releases the context and destroys the window (whatever of them exists).
  virtual void KillRendererWindow() = 0;
  // Puts back the display mode and shows the cursor again.
  virtual void RestoreDisplay() = 0;

  // The frame timer's clock.
  virtual const TimerClock& Clock() = 0;
  // Pictures per second of the display mode the renderer shows in; 0 when unknown.
  // Read once the window and its context exist.
  virtual double RefreshRate() = 0;
  // Sleeps, without spinning, until the clock's high-resolution counter reads
  // `counter` or more (to the millisecond or better).
  virtual void SleepUntil(int64_t counter) = 0;
  // Wall-clock time in nanoseconds since 1970, for the frame statistics; false where
  // the platform does not report it.
  virtual bool UnixTimeNanoseconds(int64_t* ns) = 0;
};

// Whether the space-separated extension list names `name` exactly (not as the prefix
// of a longer name). A null list names nothing.
bool HasExtension(const char* list, const char* name);

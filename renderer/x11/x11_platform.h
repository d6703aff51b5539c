#pragma once
// The X11 platform layer of Veloran.dll: the display connection, the borderless
// full-screen window and its GLX context, the window's events, the message box and
// the clocks. main.cpp has the window side, message_box.cpp the box, clock.cpp the
// clocks.

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <ctime>

#include "platform.h"

// CLOCK_MONOTONIC in nanoseconds as the high-resolution counter, and its
// milliseconds as the fallback clock.
const TimerClock& MonotonicTimerClock();

class X11Platform : public RendererPlatform {
 public:
  // Takes over an open connection; closes it when destroyed.
  explicit X11Platform(Display* display) : display_(display) {}
  ~X11Platform() override;
  X11Platform(const X11Platform&) = delete;
  X11Platform& operator=(const X11Platform&) = delete;

  bool CreateRendererWindow(const char* title, int width, int height) override;
  void GetClientSize(int* width, int* height) override;
  void CreateContext() override;
  MessagePump PumpMessage(int* exit_code) override;
  void SwapBuffers() override;
  void ShowErrorBox(const char* text) override;
  void KillRendererWindow() override;
  void RestoreDisplay() override;
  const TimerClock& Clock() override { return MonotonicTimerClock(); }
  bool UnixTimeNanoseconds(int64_t* ns) override;

  // Asks the frame loop to end (the counterpart of posting a quit message). The
  // loop leaves on its next pass, whatever it is doing now.
  void PostQuit(int exit_code);
  // A quit posted, or SIGTERM/SIGINT received.
  bool QuitPosted() const;
  // Handles one event of the renderer window (Esc, close request, mapping).
  void HandleRendererEvent(const XEvent& event);

 private:
  GLXFBConfig ChooseFbConfig();
  XRectangle SetFullscreenMode();  // where the window goes
  void ShowRendererCursor(bool show);
  void SetBorderless(Window window);
  void RequestSwapInterval();
  void KeepServerSaverAway();

  Display* display_;
  Window window_ = None;
  GLXFBConfig fb_config_ = nullptr;  // the pixel format; null when none could be chosen
  GLXContext context_ = nullptr;
  Colormap colormap_ = None;
  Atom wm_protocols_ = None;
  Atom wm_delete_window_ = None;
  bool quit_posted_ = false;
  int quit_code_ = 0;
  bool cursor_hidden_ = false;
  std::time_t last_saver_reset_ = 0;
};

// Notes X protocol errors instead of ending the program. ClearXError forgets the
// last one; LastXError is its code (0 when none).
void InstallXErrorHandler();
void ClearXError();
int LastXError();

// SIGTERM and SIGINT request a quit.
void InstallSignalHandlers();

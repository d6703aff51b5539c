#pragma once
// The X11 platform layer of Veloran.dll: the display connection, the borderless
// full-screen window and its GLX context, the black windows over the other outputs,
// the window's events, the message box, the clocks and the sleep between frames.
// main.cpp has the window side, message_box.cpp the box, clock.cpp the clocks and
// the sleep.
//
// Embedded run ("Veloran.dll -window-id ID", how the host runs for a desktop
// screen-saver daemon): no display switch, no window of its own on the screen, the
// cursor and the keyboard left alone; it draws into window ID at its size, or into a
// child window following that size when ID's visual has no GL pixel format, and ends
// when ID is destroyed (or on SIGTERM/SIGINT, as always).

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <ctime>
#include <vector>

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

  // Makes the run an embedded one, drawing inside `target`; before the window is made.
  void EmbedIn(Window target) { target_ = target; }

  bool CreateRendererWindow(const char* title, int width, int height) override;
  void GetClientSize(int* width, int* height) override;
  bool ClientSizeChanged(int* width, int* height) override;
  void CreateContext() override;
  MessagePump PumpMessage(int* exit_code) override;
  void SwapBuffers() override;
  void ShowErrorBox(const char* text) override;
  void KillRendererWindow() override;
  void RestoreDisplay() override;
  const TimerClock& Clock() override { return MonotonicTimerClock(); }
  double RefreshRate() override;
  void SleepUntil(int64_t counter) override;
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
  bool CreateEmbeddedWindow();
  XRectangle SetFullscreenMode(std::vector<XRectangle>* blank);  // where the window goes
  void CoverOtherOutputs(const std::vector<XRectangle>& areas);
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
  std::vector<Window> covers_;  // the black windows over the other outputs
  Cursor blank_cursor_ = None;
  bool quit_posted_ = false;
  int quit_code_ = 0;
  bool cursor_hidden_ = false;
  std::time_t last_saver_reset_ = 0;
  // Embedded run: the window drawn in (None: the full-screen run), whether window_ is
  // a child of it made here, and its size when that changed and is not yet taken.
  Window target_ = None;
  bool own_child_ = false;
  bool size_changed_ = false;
  int target_width_ = 0, target_height_ = 0;
};

// Notes X protocol errors instead of ending the program. ClearXError forgets the
// last one; LastXError is its code (0 when none).
void InstallXErrorHandler();
void ClearXError();
int LastXError();

// SIGTERM and SIGINT request a quit.
void InstallSignalHandlers();

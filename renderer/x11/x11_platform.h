#pragma once
// The X11 platform layer of Veloran.dll: the display connection, the borderless
// full-screen window and its GLX context, the black windows over the other outputs,
// the window's events, the message box, the clocks and the sleep between frames.
// main.cpp has the window side, message_box.cpp the box, clock.cpp the clocks and
// the sleep, display_mode.cpp the display switch.
//
//  [X] the display switch through XRandR, with a guardian process that restores the
//      mode when the renderer is killed or crashes (display_mode.h)
//  [X] the cursor hidden through XFixes (left visible on servers without it)
//  [X] black windows over the other outputs; a key on them counts as one on the scene
//  [X] the server's own screen saver kept away while the scene runs (X sends no
//      screen-saver command to swallow)
//  [X] SIGTERM and SIGINT end the run like Esc; a sleep between frames ends at once
//  [X] the message box: X has none, so the text goes to standard error and into a
//      small window of our own (message_box.cpp)
//  [X] the wall clock, for the frame statistics' first-frame time
//  [X] the embedded run ("Veloran.dll -window-id ID", how the host runs for a desktop
//      screen-saver daemon): it draws into window ID at its size, or into a child
//      window following that size when ID's visual has no GL pixel format, and ends
//      when ID is destroyed or the host dies
//  [ ] in the embedded run: the display switch, a window of its own on the screen,
//      the cursor, the keyboard (Esc does nothing) and the server's screen saver; they
//      belong to the daemon

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <csignal>
#include <ctime>
#include <vector>

#include "display_mode.h"
#include "platform.h"
#include "x_errors.h"

// CLOCK_MONOTONIC in nanoseconds as the high-resolution counter, and its
// milliseconds as the fallback clock.
class MonotonicClock : public TimerClock {
 public:
  bool QueryFrequency(int64_t* frequency) const override;
  int64_t QueryCounter() const override;
  uint32_t Milliseconds() const override;
};

// The program's one platform object. From its construction SIGTERM and SIGINT request
// a quit.
class X11Platform : public RendererPlatform {
 public:
  X11Platform();
  // Closes the connection.
  ~X11Platform() override;
  X11Platform(const X11Platform&) = delete;
  X11Platform& operator=(const X11Platform&) = delete;

  // Opens the connection to the display named by $DISPLAY and notes its protocol
  // errors from then on; false when it cannot be opened.
  bool Open();

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
  const TimerClock& Clock() override { return clock_; }
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
  // The handlers of the quit signals and of X errors, which find the platform through
  // instance_.
  static void OnQuitSignal(int);
  static int OnXError(Display*, XErrorEvent* error);
  // The one static pointer of this layer: the platform the two handlers above reach.
  static X11Platform* instance_;

  GLXFBConfig ChooseFbConfig();
  bool CreateEmbeddedWindow();
  XRectangle SetFullscreenMode(std::vector<XRectangle>* blank);  // where the window goes
  void CoverOtherOutputs(const std::vector<XRectangle>& areas);
  void ShowRendererCursor(bool show);
  void SetBorderless(Window window);
  void RequestSwapInterval();
  void KeepServerSaverAway();

  Display* display_ = nullptr;
  XErrors x_errors_;
  DisplayModeSwitch display_mode_{x_errors_};
  MonotonicClock clock_;
  volatile std::sig_atomic_t signal_quit_ = 0;  // SIGTERM or SIGINT received
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

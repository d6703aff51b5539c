#pragma once
// Linux/X11 runtime of the host: FLTK's event loop, timers and message box; Xlib for
// windows found by title and the hidden saver-run window; the preview form
// (preview_x11.h); posix_spawn for the renderer; the path layer for the system's
// Windows paths; the profile file (ini_profile.h); the media commands over GStreamer
// (gst_media.h), closed when the program ends; the conventions of desktop screen-saver
// daemons (their window in XSCREENSAVER_WINDOW, passed on to the renderer as its
// argument "-window-id ID").
//  [X] the program, files and processes, windows found by title, timers, the forms
//  [X] unload requests of the hidden form: a close request, SIGTERM, SIGINT, SIGHUP
//  [X] hexadecimal window numbers ("0x..."), as X window ids are usually written
//  [X] the caption zoom, as an outline drawn and taken away again on the root window
//  [X] the screen-saver daemons' window, renderer in it, and its end (SIGTERM, SIGKILL)
//  [ ] the cursor: only its display count is kept; the renderer hides the pointer
//  [ ] twips per pixel: always 15 (96 dots per inch), whatever the screen's resolution
//  [ ] the preview form's owner and close request (see preview_x11.h)
//  [ ] the session's end as a message: the session's signals stand for it
#include <X11/Xlib.h>

#include <memory>
#include <string>

#include "gst_media.h"
#include "ini_profile.h"
#include "runtime.h"

class X11Runtime : public Runtime {
 public:
  X11Runtime(int argc, char** argv);
  // Closes the media commands (as EndProgram does) and lets go of the signals and X
  // events it took.
  ~X11Runtime() override;
  X11Runtime(const X11Runtime&) = delete;
  X11Runtime& operator=(const X11Runtime&) = delete;

  // Runs the event loop while a form is loaded.
  void Run();

  std::string CommandLine() override { return command_line_; }
  std::string ProgramFolder() override;
  void EndProgram() override;
  void ShowMessage(const std::string& utf8_text) override;
  bool HexWindowNumbers() const override { return true; }
  std::int64_t Milliseconds() override;
  bool CreateFolder(const std::string& windows_path) override;
  bool WriteFileReplacing(const std::string& windows_path, const std::string& bytes) override;
  std::int32_t StartProgram(const std::string& windows_path) override;
  bool ProgramRunning(std::int32_t task) override;
  ProfileFile& Profile() override { return profile_; }
  MediaCommands& Media() override { return media_; }
  WindowHandle FindTopWindow(const std::string& title) override;
  std::int32_t ShowCursor(bool show) override;
  bool GetWindowRect(WindowHandle window, ScreenRect* rect) override;
  void DrawAnimatedRects(WindowHandle window, const ScreenRect& from, const ScreenRect& to) override;
  int TwipsPerPixelX() override { return 15; }
  int TwipsPerPixelY() override { return 15; }
  void LoadHiddenForm(const std::string& caption, std::function<void()> unload_request) override;
  std::unique_ptr<FormTimer> CreateTimer(unsigned interval_ms, bool enabled,
                                         std::function<void()> tick) override;
  std::unique_ptr<PreviewWindow> LoadPreviewForm(const std::string& caption, const Picture& picture,
                                                 std::function<void()> unload) override;
  void ShowSettingsDialog(DialogEvents& events) override;

  // Screen-saver daemons: XSCREENSAVER_WINDOW, and the renderer started with
  // "-window-id ID" (the root window's id for 0), ended with SIGTERM.
  bool DaemonWindowVariable(std::string* window) override;
  std::int32_t StartEmbeddedRenderer(const std::string& windows_path, WindowHandle window) override;
  void EndProgramTask(std::int32_t task) override;

  // Called by the preview form when its window is gone.
  void FormUnloaded() { --forms_loaded_; }
  // X errors so far: windows come and go between a tree walk and a property read, and
  // a foreign parent may vanish at any time, so errors are counted, never fatal.
  int XErrors() const { return x_errors_; }

 private:
  static int OnXError(Display* display, XErrorEvent* error);
  static void OnTerminationSignal(int signal);
  static void OnSignalPipe(int fd, void* self);
  static int OnHiddenFormEvent(void* event, void* self);

  std::string command_line_;
  Display* display_ = nullptr;
  Atom net_wm_name_ = 0, wm_state_ = 0;
  int cursor_count_ = 0;
  int forms_loaded_ = 0;
  int x_errors_ = 0;
  IniProfileFile profile_;
  GstMedia media_;
  // The hidden form: its window, what runs when it is asked to unload, and the pipe a
  // termination signal writes to so that the request runs in the event loop.
  Window hidden_window_ = 0;
  std::function<void()> unload_request_;
  int signal_pipe_[2] = {-1, -1};
};

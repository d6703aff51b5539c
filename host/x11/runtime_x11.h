#pragma once
// Linux/X11 runtime of the host: FLTK's event loop, timers, message box and preview
// form; Xlib for windows found by title, the hidden saver-run window and the
// preview's place inside a foreign window; posix_spawn for the renderer; the path
// layer for the system's Windows paths; the conventions of desktop screen-saver
// daemons (their window in XSCREENSAVER_WINDOW, passed on to the renderer as its
// argument "-window-id ID").
#include <X11/Xlib.h>

#include <string>

#include "runtime.h"

// Stops and closes every sound the media commands started (gst_media.cpp): the
// program ends with _exit, which would leave the sound server's streams to die with it.
void CloseAllMedia();

class X11Runtime : public Runtime {
 public:
  X11Runtime(int argc, char** argv);

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
  ProfileFile& Profile() override { return NativeProfileFile(); }
  MediaCommands& Media() override;  // gst_media.cpp
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

 private:
  std::string command_line_;
  Display* display_ = nullptr;
  int cursor_count_ = 0;
  int forms_loaded_ = 0;
};

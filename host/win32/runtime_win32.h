#pragma once
// Windows runtime of the host: plain Win32 windows for the hidden and the preview
// form, thread timers, MessageBoxA, FindWindowA, CreateProcessA with the process
// handle kept for the watch, ShowCursor and DrawAnimatedRects; the profile file
// (profile_win32.h); the multimedia calls (media_win32.h); the settings dialog in
// dialog_win32.cpp.
//  [X] every call of runtime.h, with the system's own calls
//  [X] unload requests of the hidden form: a close request and the session's end
//  [ ] hexadecimal window numbers: the system names the preview's window in decimal
//  [ ] the desktop screen-saver daemons' calls: Windows has no such daemons
#include <windows.h>

#include <functional>
#include <map>
#include <string>

#include "media_win32.h"
#include "profile_win32.h"
#include "runtime.h"

class Win32Runtime : public Runtime {
 public:
  Win32Runtime();
  ~Win32Runtime() override;
  Win32Runtime(const Win32Runtime&) = delete;
  Win32Runtime& operator=(const Win32Runtime&) = delete;

  // Runs the message loop while a form is loaded.
  void Run();

  std::string CommandLine() override;
  std::string ProgramFolder() override;
  void EndProgram() override;
  void ShowMessage(const std::string& utf8_text) override;
  bool HexWindowNumbers() const override { return false; }
  std::int64_t Milliseconds() override { return static_cast<std::int64_t>(GetTickCount64()); }
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
  int TwipsPerPixelX() override;
  int TwipsPerPixelY() override;
  void LoadHiddenForm(const std::string& caption, std::function<void()> unload_request) override;
  std::unique_ptr<FormTimer> CreateTimer(unsigned interval_ms, bool enabled,
                                         std::function<void()> tick) override;
  std::unique_ptr<PreviewWindow> LoadPreviewForm(const std::string& caption, const Picture& picture,
                                                 std::function<void()> unload) override;
  void ShowSettingsDialog(DialogEvents& events) override;

  // The command line as the program received it, without the program's path.
  static std::string ArgumentsOf(const std::string& full_command_line);
  // UTF-8 text as code page 932 bytes (what the ANSI message box shows on a Japanese system).
  static std::string ToCodePage932(const std::string& utf8_text);

  // Called by the preview form's window when it is gone: with no form left the
  // message loop ends.
  void FormUnloaded();

 private:
  static LRESULT CALLBACK HiddenFormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD);

  int forms_loaded_ = 0;
  std::function<void()> unload_request_;
  // The thread timers that are on, by id, and what each runs.
  std::map<UINT_PTR, std::function<void()>*> timers_;
  Win32ProfileFile profile_;
  Win32MediaCommands media_;
  // Processes started by StartProgram, by task number; their handles stay open so
  // that a task number keeps naming the same process.
  std::map<std::int32_t, HANDLE> programs_;
};

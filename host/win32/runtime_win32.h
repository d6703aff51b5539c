#pragma once
// Windows runtime of the host: plain Win32 windows for the hidden and the preview
// form, thread timers, MessageBoxA, FindWindowA, CreateProcessA with the process
// handle kept for the watch, ShowCursor and DrawAnimatedRects; the multimedia calls
// in media_win32.cpp; the settings dialog in dialog_win32.cpp.
#include <windows.h>

#include <map>
#include <string>

#include "runtime.h"

class Win32Runtime : public Runtime {
 public:
  Win32Runtime();

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
  ProfileFile& Profile() override { return NativeProfileFile(); }
  MediaCommands& Media() override;  // media_win32.cpp
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

 private:
  // Processes started by StartProgram, by task number; their handles stay open so
  // that a task number keeps naming the same process.
  std::map<std::int32_t, HANDLE> programs_;
};

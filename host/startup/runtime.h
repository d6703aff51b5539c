#pragma once
// What the host asks of the platform: the command line and program folder, ending
// the program, the one message box, folders, files and processes, top-level windows
// by title, the cursor count, timers on the user-interface thread and the host's two
// plain forms (the hidden saver-run form and the preview form).
//
// Windows paths are passed as the host spells them ("C:\qorin\Veloran1.bmp",
// program folder + "\Veloran.dll"); each implementation maps them to what it opens.
// win32/runtime_win32.cpp and x11/runtime_x11.cpp implement it; tests use doubles.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "assets.h"

// A top-level or child window of any process: an HWND on Windows, an X window id on
// Linux. 0 is no window.
using WindowHandle = std::uint64_t;

// A window's rectangle in screen pixels.
struct ScreenRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

// A form timer: ticks every interval while on, on the user-interface thread.
// Switching on a timer that is already on changes nothing.
class FormTimer {
 public:
  virtual ~FormTimer() = default;
  virtual void SetEnabled(bool on) = 0;
  virtual bool Enabled() const = 0;
};

// The preview form's window: borderless, black, carrying one picture at its top-left.
class PreviewWindow {
 public:
  virtual ~PreviewWindow() = default;
  // Adds the child style to the window's style; returns the platform call's result.
  virtual std::int32_t AddChildStyle() = 0;
  // Makes `parent` the window's parent; returns the platform call's result.
  virtual std::int64_t SetParent(WindowHandle parent) = 0;
  // Position and size in pixels, inside the parent's client area.
  virtual void Move(int left, int top, int width, int height) = 0;
  // Size of the picture control (the picture itself is drawn unscaled from 0, 0).
  virtual void SetPictureSize(int width, int height) = 0;
  virtual void Show() = 0;
};

class Runtime {
 public:
  virtual ~Runtime() = default;

  // --- Program ---
  // The argument text without the program path.
  virtual std::string CommandLine() = 0;
  // The folder holding the running host program, without a trailing separator.
  virtual std::string ProgramFolder() = 0;
  // Ends the program at once; no further form handlers run. Callers return right
  // after it (a test double records the call and returns).
  virtual void EndProgram() = 0;
  // Modal message box, OK button only, titled with the application title. The text
  // is UTF-8; each platform converts it for its own message box.
  virtual void ShowMessage(const std::string& utf8_text) = 0;
  // Whether window numbers on the command line may also be written in hex ("0x...").
  virtual bool HexWindowNumbers() const = 0;

  // --- Files and processes ---
  // Creates one folder level; false when it could not be made (or already exists).
  virtual bool CreateFolder(const std::string& windows_path) = 0;
  // Writes `bytes` completely under a temporary name in the same folder, then puts
  // that file in place of `windows_path`. Readers never see a partial file.
  virtual bool WriteFileReplacing(const std::string& windows_path, const std::string& bytes) = 0;
  // Starts a program by its full path, no arguments, normal focused window, without
  // waiting. Returns its task number, 0 when it could not be started.
  virtual std::int32_t StartProgram(const std::string& windows_path) = 0;

  // --- Windows and the screen ---
  // A top-level window with exactly this title, of any class and process, hidden ones
  // included; 0 when there is none.
  virtual WindowHandle FindTopWindow(const std::string& title) = 0;
  // Moves the cursor's display count by one (up when `show`); returns the new count.
  virtual std::int32_t ShowCursor(bool show) = 0;
  // The window's rectangle in screen pixels; false (rect untouched) when it fails.
  virtual bool GetWindowRect(WindowHandle window, ScreenRect* rect) = 0;
  // The caption zoom animation from one rectangle to another.
  virtual void DrawAnimatedRects(WindowHandle window, const ScreenRect& from, const ScreenRect& to) = 0;
  // Twips per screen pixel (15 at 96 dots per inch).
  virtual int TwipsPerPixelX() = 0;
  virtual int TwipsPerPixelY() = 0;

  // --- Forms and timers ---
  // Loads a form that is never shown: its window exists, hidden, with this caption,
  // so FindTopWindow in any process finds it. `unload_request` runs when the system
  // asks the form to unload (session end, a close request, a termination signal).
  virtual void LoadHiddenForm(const std::string& caption, std::function<void()> unload_request) = 0;
  // A timer, created on or off.
  virtual std::unique_ptr<FormTimer> CreateTimer(unsigned interval_ms, bool enabled,
                                                 std::function<void()> tick) = 0;
  // Loads the preview form (not yet shown) with its caption and picture. When the
  // form's window is gone (destroyed along with its parent, or closed) the form is
  // unloaded, and with no form left the program ends.
  virtual std::unique_ptr<PreviewWindow> LoadPreviewForm(const std::string& caption,
                                                         const Picture& picture) = 0;
};

#pragma once
// The Windows platform layer of Veloran.dll: the display switch, the borderless
// full-screen window with its WGL context, the message queue, the message box and
// the clocks. main.cpp has the window side, clock.cpp the clocks.
#include <windows.h>

#include "platform.h"

// The performance counter, and timeGetTime as the millisecond fallback.
const TimerClock& WindowsTimerClock();

class Win32Platform : public RendererPlatform {
 public:
  Win32Platform() = default;
  // Unregisters the window class.
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  bool CreateRendererWindow(const char* title, int width, int height) override;
  void GetClientSize(int* width, int* height) override;
  void CreateContext() override;
  MessagePump PumpMessage(int* exit_code) override;
  void SwapBuffers() override;
  void ShowErrorBox(const char* text) override;
  void KillRendererWindow() override;
  void RestoreDisplay() override;
  const TimerClock& Clock() override { return WindowsTimerClock(); }
  // The launch-to-first-frame figure is measured on Linux only; none here.
  bool UnixTimeNanoseconds(int64_t*) override { return false; }

 private:
  HINSTANCE instance_ = nullptr;  // set once the window class is registered
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  HGLRC rc_ = nullptr;
};

#pragma once
// The Windows platform layer of Veloran.dll: the display switch, the borderless
// full-screen window with its WGL context, the black windows over the other
// monitors, the message queue, the message box, the clocks and the sleep between
// frames. main.cpp has the window side, clock.cpp the clocks and the sleep.
//
//  [X] the display switch through ChangeDisplaySettingsA, put back at the end
//  [X] the cursor hidden through ShowCursor
//  [X] black windows over the other monitors, taking keys like the scene's window
//  [X] the system's screen-saver command swallowed while the scene runs
//  [X] the system's message box
//  [X] a sleep between frames on a high-resolution waitable timer (or the system
//      timer at 1 ms where there is none)
//  [ ] the embedded run in another program's window: Windows' saver host shows no
//      such window (the preview is the host's own picture)
//  [ ] a guardian of the display mode: a mode set with CDS_FULLSCREEN is temporary,
//      and the system puts the stored one back when the program ends
//  [ ] the wall clock for the frame statistics: the first-frame time is measured
//      on Linux only
#include <windows.h>

#include <vector>

#include "platform.h"

// The performance counter, and timeGetTime as the millisecond fallback.
class PerformanceClock : public TimerClock {
 public:
  bool QueryFrequency(int64_t* frequency) const override;
  int64_t QueryCounter() const override;
  uint32_t Milliseconds() const override;
};

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
  const TimerClock& Clock() override { return clock_; }
  double RefreshRate() override { return refresh_; }
  void SleepUntil(int64_t counter) override;
  // The launch-to-first-frame figure is measured on Linux only; none here.
  bool UnixTimeNanoseconds(int64_t*) override { return false; }

 private:
  PerformanceClock clock_;
  HINSTANCE instance_ = nullptr;  // set once the window class is registered
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  HGLRC rc_ = nullptr;
  DWORD refresh_ = 0;         // of the mode the run shows in; 0 when unknown
  std::vector<HWND> covers_;  // the black windows over the other monitors

  void CoverOtherMonitors();

  // Frees the sleep's timer and puts the system timer's resolution back.
  void EndPreciseSleep();
  HANDLE sleep_timer_ = nullptr;
  bool sleep_timer_failed_ = false;
  bool raised_timer_resolution_ = false;
};

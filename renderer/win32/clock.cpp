// The frame timer's clock on Windows: the performance counter, and timeGetTime
// as the millisecond fallback; and the sleep between frames on a waitable timer.
#include <windows.h>
#include <mmsystem.h>

#include "win32_platform.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

bool PerformanceClock::QueryFrequency(int64_t* frequency) const {
  LARGE_INTEGER value;
  if (!QueryPerformanceFrequency(&value)) return false;
  *frequency = value.QuadPart;
  return true;
}

int64_t PerformanceClock::QueryCounter() const {
  LARGE_INTEGER value;
  QueryPerformanceCounter(&value);
  return value.QuadPart;
}

uint32_t PerformanceClock::Milliseconds() const { return timeGetTime(); }

// The system's timers tick every 15.6 ms by default, too coarse for a 16.7 ms frame.
// A high-resolution waitable timer (Windows 10 1803 and later) is precise without
// changing anything for other programs; where there is none, the system timer runs
// at 1 ms while the renderer runs (EndPreciseSleep puts it back).
void Win32Platform::SleepUntil(int64_t counter) {
  if (!sleep_timer_ && !sleep_timer_failed_) {
    sleep_timer_ =
        CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
    if (!sleep_timer_) {
      if (timeBeginPeriod(1) == TIMERR_NOERROR) raised_timer_resolution_ = true;
      sleep_timer_ = CreateWaitableTimerW(nullptr, TRUE, nullptr);
    }
    sleep_timer_failed_ = !sleep_timer_;
  }
  int64_t frequency = 0;
  if (!clock_.QueryFrequency(&frequency) || frequency <= 0) return;
  const int64_t remaining = counter - clock_.QueryCounter();
  if (remaining <= 0) return;
  // Relative due times are negative, in 100 ns units.
  const int64_t hundreds_of_ns =
      remaining / frequency * 10000000 + remaining % frequency * 10000000 / frequency;
  if (sleep_timer_) {
    LARGE_INTEGER due;
    due.QuadPart = -hundreds_of_ns;
    if (SetWaitableTimer(sleep_timer_, &due, 0, nullptr, nullptr, FALSE)) {
      WaitForSingleObject(sleep_timer_, INFINITE);
      return;
    }
  }
  Sleep(static_cast<DWORD>(hundreds_of_ns / 10000));
}

void Win32Platform::EndPreciseSleep() {
  if (sleep_timer_) {
    CloseHandle(sleep_timer_);
    sleep_timer_ = nullptr;
  }
  if (raised_timer_resolution_) {
    timeEndPeriod(1);
    raised_timer_resolution_ = false;
  }
}

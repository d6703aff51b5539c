// The frame timer's clock on Windows: the performance counter, and timeGetTime
// as the millisecond fallback.
#include <windows.h>
#include <mmsystem.h>

#include "win32_platform.h"

namespace {

bool PerformanceFrequency(int64_t* frequency) {
  LARGE_INTEGER value;
  if (!QueryPerformanceFrequency(&value)) return false;
  *frequency = value.QuadPart;
  return true;
}

int64_t PerformanceCounter() {
  LARGE_INTEGER value;
  QueryPerformanceCounter(&value);
  return value.QuadPart;
}

uint32_t Milliseconds() { return timeGetTime(); }

const TimerClock kWindowsClock{PerformanceFrequency, PerformanceCounter, Milliseconds};

}  // namespace

const TimerClock& WindowsTimerClock() { return kWindowsClock; }

// What the renderer logic needs of Windows: the error message box, the buffer
// swap, and the frame timer's clock (performance counter, timeGetTime fallback).
#include <windows.h>
#include <mmsystem.h>

#include "frame_timer.h"
#include "platform.h"
#include "swap_stats.h"
#include "win32_platform.h"

void ShowErrorBox(const char* text) { MessageBoxA(GetFocus(), text, "Error", MB_OK); }

void SwapSceneBuffers() {
  SwapBuffers(g_dc);
  CountSwap();
}

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

const TimerClock& PlatformTimerClock() { return kWindowsClock; }

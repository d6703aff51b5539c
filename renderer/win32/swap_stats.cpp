// Frame statistics of Veloran.dll for the benchmark, off unless the environment
// has VELORAN_FPS=1. Lines on standard error, as on Linux:
//   veloran-fps: <frames/s over the last second>
//   veloran-fps: average <frames/s> frames <n> seconds <s>   (first to last swap)
#include "swap_stats.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool g_enabled = false;
LARGE_INTEGER g_frequency{};
long long g_frames = 0;
double g_first = 0;
double g_last = 0;
double g_window_start = 0;
long long g_window_frames = 0;

double Now() {
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return static_cast<double>(count.QuadPart) / static_cast<double>(g_frequency.QuadPart);
}

}  // namespace

void InitSwapStats() {
  const char* value = std::getenv("VELORAN_FPS");
  g_enabled = value && std::strcmp(value, "1") == 0 && QueryPerformanceFrequency(&g_frequency) &&
              g_frequency.QuadPart > 0;
}

void CountSwap() {
  if (!g_enabled) return;
  const double now = Now();
  if (g_frames++ == 0) g_first = g_window_start = now;
  g_last = now;
  ++g_window_frames;
  if (now - g_window_start >= 1.0) {
    std::fprintf(stderr, "veloran-fps: %.1f\n", static_cast<double>(g_window_frames) / (now - g_window_start));
    std::fflush(stderr);
    g_window_start = now;
    g_window_frames = 0;
  }
}

void ReportSwapStats() {
  if (!g_enabled || g_frames < 2) return;
  const double seconds = g_last - g_first;
  std::fprintf(stderr, "veloran-fps: average %.1f frames %lld seconds %.3f\n",
               static_cast<double>(g_frames - 1) / seconds, g_frames, seconds);
  std::fflush(stderr);
}

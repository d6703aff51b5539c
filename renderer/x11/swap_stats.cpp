// Frame statistics of Veloran.dll for the benchmark (VELORAN_FPS=1). Lines on
// standard error:
//   veloran-fps: first-frame-unix-ns <wall-clock ns of the first swap>
//   veloran-fps: <frames/s over the last second>
//   veloran-fps: average <frames/s> frames <n> seconds <s>   (first to last swap)
#include "swap_stats.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

bool g_swap_stats_enabled = false;

namespace {

long long g_frames = 0;
double g_first = 0;
double g_last = 0;
double g_window_start = 0;
long long g_window_frames = 0;

double Seconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

}  // namespace

void InitSwapStats() {
  const char* value = std::getenv("VELORAN_FPS");
  g_swap_stats_enabled = value && std::strcmp(value, "1") == 0;
}

void CountSwap() {
  double now = Seconds(CLOCK_MONOTONIC);
  if (g_frames++ == 0) {
    timespec wall{};
    clock_gettime(CLOCK_REALTIME, &wall);
    std::fprintf(stderr, "veloran-fps: first-frame-unix-ns %lld\n",
                 static_cast<long long>(wall.tv_sec) * 1000000000LL + wall.tv_nsec);
    g_first = g_window_start = now;
  }
  g_last = now;
  ++g_window_frames;
  if (now - g_window_start >= 1.0) {
    std::fprintf(stderr, "veloran-fps: %.1f\n", double(g_window_frames) / (now - g_window_start));
    g_window_start = now;
    g_window_frames = 0;
  }
}

void ReportSwapStats() {
  if (!g_swap_stats_enabled || g_frames < 2) return;
  double seconds = g_last - g_first;
  std::fprintf(stderr, "veloran-fps: average %.1f frames %lld seconds %.3f\n",
               double(g_frames - 1) / seconds, g_frames, seconds);
}

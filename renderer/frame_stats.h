#pragma once
// Frame statistics for the benchmark, off unless the environment has VELORAN_FPS=1.
// Lines on standard error (scripts/bench reads them):
//   veloran-fps: first-frame-unix-ns <wall-clock ns of the first swap>   (where known)
//   veloran-fps: <frames/s over the last second>
//   veloran-fps: average <frames/s> frames <n> seconds <s>   (first to last swap)

#include <cstdint>
#include <cstdio>

class RendererPlatform;

class FrameStats {
 public:
  // Counts only when `enabled` and the platform's clock has a high-resolution counter.
  FrameStats(RendererPlatform& platform, bool enabled, std::FILE* out);

  // Whether the environment asks for statistics.
  static bool Requested();

  // After each buffer swap.
  void CountSwap();
  // At the end of the run: the average over the whole run.
  void Report();

 private:
  double Now() const;

  RendererPlatform& platform_;
  std::FILE* out_;
  bool enabled_ = false;
  int64_t frequency_ = 0;
  long long frames_ = 0;
  double first_ = 0;
  double last_ = 0;
  double window_start_ = 0;
  long long window_frames_ = 0;
};

#pragma once
// Frame statistics for the benchmark, off unless the environment has VELORAN_FPS=1.
// Lines on standard error (scripts/bench reads them):
//   veloran-fps: first-frame-unix-ns <wall-clock ns of the first swap>   (where known)
//   veloran-fps: <frames/s over the last second>
//   veloran-fps: average <frames/s> frames <n> seconds <s>   (first to last swap)
//   veloran-fps: interval-ms p99 <ms> max <ms>   (between swaps; p99 to 0.01 ms,
//                                                 or the max when above 250 ms)
//   veloran-fps: paced-hz <frames/s>   (the cap; no line when uncapped)

#include <cstdint>
#include <cstdio>
#include <vector>

class RendererPlatform;

class FrameStats {
 public:
  // Counts only when `enabled` and the platform's clock has a high-resolution counter.
  FrameStats(RendererPlatform& platform, bool enabled, std::FILE* out);

  // Whether the environment asks for statistics.
  static bool Requested();

  // After each buffer swap.
  void CountSwap();
  // The frame rate the loop holds to; 0 when it does not.
  void PacedAt(double hz) { paced_hz_ = hz; }
  // At the end of the run: the average over the whole run.
  void Report();

 private:
  void CountInterval(int64_t ticks);
  double IntervalPercentileMs(double share) const;

  RendererPlatform& platform_;
  std::FILE* out_;
  bool enabled_ = false;
  int64_t frequency_ = 0;
  long long frames_ = 0;
  double first_ = 0;
  double last_ = 0;
  double window_start_ = 0;
  long long window_frames_ = 0;
  // Swap-to-swap intervals in 10 us steps up to 250 ms; the last counts the longer.
  std::vector<uint32_t> intervals_;
  int64_t last_ticks_ = 0;
  int64_t longest_ticks_ = 0;
  double paced_hz_ = 0;
};

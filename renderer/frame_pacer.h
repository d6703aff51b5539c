#pragma once
// At most one frame per display refresh. Where the buffer swap does not wait for the
// display (software GL, virtual machines, remote desktops), frames start on slots one
// refresh period apart and the loop sleeps until the next slot; where the swap does
// wait, or a frame is slower than a period, no wait is added.

#include <cstdint>

// Refresh rate assumed when the display reports none, 0 or an absurd one.
constexpr double kDefaultRefreshRate = 60;

// Clock ticks between frame slots on a display showing `refresh` pictures per second
// (0 or a rate outside 20-1000: kDefaultRefreshRate), for a clock of `frequency`
// ticks per second. 0, no pacing, when `uncapped` or the clock has no frequency.
int64_t FramePeriod(int64_t frequency, double refresh, bool uncapped);

// Whether the environment asks for the uncapped renderer (VELORAN_UNCAPPED=1), which
// the benchmark compares against a replay of the same GL calls.
bool UncappedRequested();

class FramePacer {
 public:
  // `period` in clock ticks; 0 paces nothing.
  explicit FramePacer(int64_t period) : period_(period) {}

  bool Paced() const { return period_ > 0; }

  // The frame drawn from clock reading `start` to `swapped`, the return of its buffer
  // swap. Returns the reading to sleep until before the next frame starts; `swapped`
  // when it may start at once.
  int64_t AfterSwap(int64_t start, int64_t swapped);

 private:
  int64_t period_;
  bool anchored_ = false;
  int64_t due_ = 0;  // when the next frame is due to start
};

// The frame timer's clock on Linux: CLOCK_MONOTONIC in nanoseconds as the
// high-resolution counter, and its milliseconds as the fallback clock.
#include <ctime>

#include "frame_timer.h"

namespace {

bool MonotonicFrequency(int64_t* frequency) {
  timespec now{};
  if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) return false;
  *frequency = 1000000000;
  return true;
}

int64_t MonotonicNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

uint32_t MonotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000 +
                               static_cast<uint64_t>(now.tv_nsec) / 1000000);
}

const TimerClock kMonotonicClock{MonotonicFrequency, MonotonicNanoseconds, MonotonicMilliseconds};

}  // namespace

const TimerClock& PlatformTimerClock() { return kMonotonicClock; }

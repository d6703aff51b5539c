// The clocks of the X11 platform layer: CLOCK_MONOTONIC for the frame timer (in
// nanoseconds as the high-resolution counter, its milliseconds as the fallback) and
// the sleep between frames, CLOCK_REALTIME for the frame statistics.
#include <ctime>

#include "x11_platform.h"

bool MonotonicClock::QueryFrequency(int64_t* frequency) const {
  timespec now{};
  if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) return false;
  *frequency = 1000000000;
  return true;
}

int64_t MonotonicClock::QueryCounter() const {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

uint32_t MonotonicClock::Milliseconds() const {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000 +
                               static_cast<uint64_t>(now.tv_nsec) / 1000000);
}

bool X11Platform::UnixTimeNanoseconds(int64_t* ns) {
  timespec wall{};
  if (clock_gettime(CLOCK_REALTIME, &wall) != 0) return false;
  *ns = static_cast<int64_t>(wall.tv_sec) * 1000000000 + wall.tv_nsec;
  return true;
}

// A signal (SIGTERM, SIGINT) ends the sleep early, so a quit is seen at once.
void X11Platform::SleepUntil(int64_t counter) {
  timespec until{};
  until.tv_sec = static_cast<time_t>(counter / 1000000000);
  until.tv_nsec = static_cast<long>(counter % 1000000000);
  clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr);
}

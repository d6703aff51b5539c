// The frame timer on the real Windows clock: the performance counter and the
// millisecond fallback both measure real time in seconds.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include "win32/win32_platform.h"

namespace {

// The platform clock without its performance counter, to reach the fallback.
struct MillisecondsOnly : PerformanceClock {
  bool QueryFrequency(int64_t*) const override { return false; }
};

TEST(WindowsClock, FrameTimerMeasuresSecondsWithEitherSource) {
  PerformanceClock clock;
  int64_t frequency = 0;
  ASSERT_TRUE(clock.QueryFrequency(&frequency));
  EXPECT_GE(frequency, 1000);
  const int64_t a = clock.QueryCounter();
  Sleep(5);
  EXPECT_GT(clock.QueryCounter(), a);

  MillisecondsOnly fallback;
  const TimerClock* sources[] = {&clock, &fallback};
  for (const TimerClock* source : sources) {
    FrameTimer timer;
    timer.Init(*source);
    timer.Update();
    EXPECT_LT(timer.Elapsed(), 0.02f);
    EXPECT_FLOAT_EQ(timer.Delta(), timer.Elapsed());
    Sleep(120);
    timer.Update();
    EXPECT_GT(timer.Elapsed(), 0.1f);
    EXPECT_LT(timer.Elapsed(), 1.0f);
    EXPECT_GT(timer.Delta(), 0.09f);
  }
}

}  // namespace

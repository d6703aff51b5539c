// The frame timer on the real Windows clock: the performance counter and the
// millisecond fallback both measure real time in seconds.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include "win32/win32_platform.h"

namespace {

// The platform clock without its performance counter, to reach the fallback.
bool NoFrequency(int64_t*) { return false; }

TEST(WindowsClock, FrameTimerMeasuresSecondsWithEitherSource) {
  const TimerClock& clock = WindowsTimerClock();
  int64_t frequency = 0;
  ASSERT_TRUE(clock.query_frequency(&frequency));
  EXPECT_GE(frequency, 1000);
  const int64_t a = clock.query_counter();
  Sleep(5);
  EXPECT_GT(clock.query_counter(), a);

  const TimerClock fallback{NoFrequency, clock.query_counter, clock.milliseconds};
  for (const TimerClock* source : {&clock, &fallback}) {
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

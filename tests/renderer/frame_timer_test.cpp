#include "frame_timer.h"

#include <gtest/gtest.h>

namespace {

int64_t g_counter = 0;
int64_t g_frequency = 0;  // 0: no high-resolution counter
uint32_t g_millis = 0;

const TimerClock kClock = {
    [](int64_t* frequency) {
      *frequency = g_frequency;
      return g_frequency != 0;
    },
    []() { return g_counter; },
    []() { return g_millis; },
};

TEST(FrameTimer, FirstUpdateAfterInitIsNearZeroWithEqualDelta) {
  g_frequency = 10'000'000;
  g_counter = 123'456'789'000;
  FrameTimer timer;
  timer.Init(kClock);
  g_counter += 25;  // 2.5 microseconds later
  timer.Update();
  EXPECT_NEAR(timer.Elapsed(), 2.5e-6f, 1e-9f);
  EXPECT_EQ(timer.Elapsed(), timer.Delta());
}

TEST(FrameTimer, PerformanceCounterGivesElapsedAndDeltaBetweenUpdates) {
  g_frequency = 3'579'545;  // a frequency whose reciprocal is not exact
  g_counter = 1000;
  FrameTimer timer;
  timer.Init(kClock);
  g_counter = 1000 + 3'579'545;  // one second
  timer.Update();
  EXPECT_NEAR(timer.Elapsed(), 1.0f, 1e-6f);
  g_counter += 3'579'545 / 4;  // a quarter second more
  timer.Update();
  EXPECT_NEAR(timer.Elapsed(), 1.25f, 1e-6f);
  EXPECT_NEAR(timer.Delta(), 0.25f, 1e-6f);
}

TEST(FrameTimer, FallsBackToMillisecondClock) {
  g_frequency = 0;
  g_counter = 999'999;  // must not be read
  g_millis = 4'000'000'000u;  // above 2^31: zero-extended, not negative
  FrameTimer timer;
  timer.Init(kClock);
  g_millis += 16;
  timer.Update();
  EXPECT_NEAR(timer.Elapsed(), 0.016f, 1e-6f);
  g_millis += 1500;
  timer.Update();
  EXPECT_NEAR(timer.Elapsed(), 1.516f, 1e-5f);
  EXPECT_NEAR(timer.Delta(), 1.5f, 1e-5f);
}

TEST(FrameTimer, StartsZeroed) {
  FrameTimer timer;
  EXPECT_EQ(timer.Elapsed(), 0.0f);
  EXPECT_EQ(timer.Delta(), 0.0f);
  timer.Update();  // not started: stays at zero rather than reading nowhere
  EXPECT_EQ(timer.Elapsed(), 0.0f);
}

}  // namespace

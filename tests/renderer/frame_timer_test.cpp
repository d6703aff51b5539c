#include "frame_timer.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

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

TEST(FrameTimer, ZeroUntilStartedThenElapsedAndDeltaFromEitherSource) {
  FrameTimer idle;
  idle.Update();  // not started: stays at zero rather than reading nowhere
  EXPECT_EQ(idle.Elapsed(), 0.0f);
  EXPECT_EQ(idle.Delta(), 0.0f);

  const struct {
    const char* name;
    int64_t frequency;  // 0: the millisecond clock
    int64_t counter;
    uint32_t millis;
    // Ticks of the chosen source before each update, then elapsed and delta after it.
    std::vector<std::array<double, 3>> steps;
    float tolerance;
  } cases[] = {
      // The first update right after Init: close to 0, delta equal to elapsed.
      {"first update", 10'000'000, 123'456'789'000, 0, {{25, 2.5e-6, 2.5e-6}}, 1e-9f},
      // A frequency whose reciprocal is not exact: one second, then a quarter more.
      {"counter", 3'579'545, 1000, 0, {{3'579'545, 1.0, 1.0}, {3'579'545 / 4, 1.25, 0.25}}, 1e-6f},
      // Above 2^31 milliseconds: zero-extended, not negative. The counter is not read.
      {"milliseconds", 0, 999'999, 4'000'000'000u, {{16, 0.016, 0.016}, {1500, 1.516, 1.5}}, 1e-5f},
  };
  for (const auto& c : cases) {
    g_frequency = c.frequency;
    g_counter = c.counter;
    g_millis = c.millis;
    FrameTimer timer;
    timer.Init(kClock);
    for (const auto& step : c.steps) {
      if (c.frequency) g_counter += static_cast<int64_t>(step[0]);
      else g_millis += static_cast<uint32_t>(step[0]);
      timer.Update();
      EXPECT_NEAR(timer.Elapsed(), step[1], c.tolerance) << c.name;
      EXPECT_NEAR(timer.Delta(), step[2], c.tolerance) << c.name;
    }
  }
}

}  // namespace

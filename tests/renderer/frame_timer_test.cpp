#include "frame_timer.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "fake_gl.h"
#include "particles.h"
#include "scene.h"

namespace {

// A clock set by hand; a frequency of 0 has no high-resolution counter.
struct HandClock : TimerClock {
  HandClock(int64_t f, int64_t c, uint32_t m) : frequency(f), counter(c), millis(m) {}
  bool QueryFrequency(int64_t* f) const override { return (*f = frequency) != 0; }
  int64_t QueryCounter() const override { return counter; }
  uint32_t Milliseconds() const override { return millis; }
  int64_t frequency, counter;
  uint32_t millis;
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
      // Above 2^31 milliseconds: not negative. The counter is not read.
      {"milliseconds", 0, 999'999, 4'000'000'000u, {{16, 0.016, 0.016}, {1500, 1.516, 1.5}}, 1e-5f},
      // The 32-bit millisecond clock wraps between the two updates.
      {"millisecond wrap", 0, 0, 0xFFFF'FFF0u, {{10, 0.010, 0.010}, {20, 0.030, 0.020}}, 1e-6f},
  };
  for (const auto& c : cases) {
    HandClock clock(c.frequency, c.counter, c.millis);
    FrameTimer timer;
    timer.Init(clock);
    for (const auto& step : c.steps) {
      if (c.frequency) clock.counter += static_cast<int64_t>(step[0]);
      else clock.millis += static_cast<uint32_t>(step[0]);
      timer.Update();
      EXPECT_NEAR(timer.Elapsed(), step[1], c.tolerance) << c.name;
      EXPECT_NEAR(timer.Delta(), step[2], c.tolerance) << c.name;
    }
  }
}

// A scene left running for hours or days, then ten seconds of frames at 59.94 a second:
// every frame's time, the floor's scroll and the burst schedule stay as exact as in
// the first minute, on the counter and across the millisecond clock's wrap.
TEST(FrameTimer, LongRunsKeepFrameTimesFloorAndBurstsExact) {
  constexpr double kWrapIn = 4.0;        // the millisecond rows wrap this long into the frames
  constexpr double kPeriod = 1 / 59.94;  // no whole number of frames a second: no ties
  const struct {
    const char* name;
    int64_t frequency;  // 0: the millisecond clock
    double hours;       // how long the scene has run before the frames looked at
    // clang-format off
  } rows[] = {
      {"start", 10'000'000, 0},        {"8 h", 10'000'000, 8},
      {"24 h", 1'000'000'000, 24},     {"72 h", 10'000'000, 72},
      {"a week", 1'000'000'000, 168},  {"30 days", 10'000'000, 720},
      {"a week, milliseconds", 0, 168}, {"30 days, milliseconds", 0, 720},
  };
  // clang-format on
  for (const auto& row : rows) {
    const double ticks_per_second = row.frequency ? double(row.frequency) : 1000.0;
    const int64_t ticks_before = static_cast<int64_t>(row.hours * 3600 * ticks_per_second);
    HandClock clock(row.frequency, 5'000'000'000,
                    static_cast<uint32_t>(-static_cast<int64_t>(kWrapIn * 1000) - ticks_before));
    const int64_t counter_at_init = clock.counter;
    const uint32_t millis_at_init = clock.millis;
    const auto set_clock = [&](double seconds_since_init) {
      const int64_t ticks = static_cast<int64_t>(std::floor(seconds_since_init * ticks_per_second));
      clock.counter = counter_at_init + ticks;
      clock.millis = static_cast<uint32_t>(millis_at_init + static_cast<uint64_t>(ticks));
      return ticks;
    };

    FakePlatform platform;
    Scene scene(platform);
    scene.Particles = std::make_unique<ParticleList>(ParticleCapacity, scene);
    scene.Timer.Init(clock);
    scene.Timer.Update();
    // The hours before, as one long frame.
    double now = row.hours * 3600;
    int64_t ticks = set_clock(now);
    scene.RenderIdleFrame();

    double scrolled = 0, last_burst = scene.LastSpawnTime;
    int bursts = 0;
    for (int frame = 0; frame < 600; ++frame) {
      ResetFakes();
      now += kPeriod;
      const int64_t previous = ticks;
      ticks = set_clock(now);
      const float scroll_before = scene.FloorScroll;
      scene.RenderIdleFrame();
      const double true_delta = double(ticks - previous) / ticks_per_second;
      ASSERT_NEAR(scene.FrameTime, true_delta, 1e-6) << row.name << " frame " << frame;
      const double step = double(scene.FloorScroll) - double(scroll_before);
      scrolled += step < 0 ? step + 1 : step;
      if (scene.LastSpawnTime != last_burst) {
        const double gap = scene.LastSpawnTime - last_burst;
        EXPECT_GT(gap, 1.0) << row.name << " frame " << frame;
        EXPECT_LE(gap, 1.0 + kPeriod + 1e-3) << row.name << " frame " << frame;
        last_burst = scene.LastSpawnTime;
        ++bursts;
      }
    }
    EXPECT_NEAR(scrolled, 600 * kPeriod * 0.1, 1e-3) << row.name;  // 0.1 a second
    EXPECT_EQ(bursts, 10) << row.name;                             // 1.001 s apart
    EXPECT_GE(scene.FloorScroll, 0.0f) << row.name;
    EXPECT_LT(scene.FloorScroll, 1.0f) << row.name;
  }
}

}  // namespace

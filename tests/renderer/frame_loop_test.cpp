#include "frame_loop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fake_gl.h"
#include "frame_pacer.h"
#include "frame_stats.h"

namespace {

TEST(FrameLoop, StartUpLoopAndShutdownOrderAndExitCode) {
  using P = MessagePump;
  const struct {
    bool has_window;
    std::deque<MessagePump> pumps;  // then the quit, with code 3
    double refresh;
    std::vector<std::string> calls;
    std::vector<int64_t> swapped_at;  // ms; frames take no time on the fake
    int exit_code;
  } cases[] = {
      // No window: display and cursor are put back, nothing else happens.
      {false, {}, 50, {"window", "restore"}, {}, 1},
      // One message or one frame per pass, starting with a look at the queue; a frame
      // per refresh period (20 ms at 50 Hz; 60 Hz when the rate is unknown).
      {true,
       {P::kIdle, P::kHandled, P::kHandled, P::kIdle, P::kIdle},
       50,
       {"window", "client-size", "context", "pump", "swap", "pump", "pump", "pump", "swap", "pump", "swap",
        "pump", "kill", "restore"},
       {0, 20, 40},
       3},
      {true,
       {P::kIdle, P::kIdle, P::kIdle},
       0,
       {"window", "client-size", "context", "pump", "swap", "pump", "swap", "pump", "swap", "pump", "kill",
        "restore"},
       {0, 17, 34},
       3},
  };
  for (const auto& c : cases) {
    ResetFakes();
    FakePlatform platform;
    platform.has_window = c.has_window;
    platform.pumps = c.pumps;
    platform.refresh = c.refresh;
    platform.quit_code = 3;
    EXPECT_EQ(RunRenderer(platform), c.exit_code);
    EXPECT_EQ(platform.calls, c.calls);
    EXPECT_EQ(platform.swapped_at, c.swapped_at);
    // With a context, the projection for the client area comes first, then the scene
    // (ending with the fixed state); without a window nothing is drawn.
    EXPECT_EQ(GlCalls().empty(), !c.has_window);
    if (!c.has_window) continue;
    EXPECT_EQ(GlCalls().front(), (GlCall{"glViewport", {0, 0, 800, 600}}));
    EXPECT_EQ(CallsNamed("glShadeModel").size(), 1u);
  }
}

// On a fake clock: frames drawing for `draw` ticks each, after a start held back by
// `late` ticks (a busy system) and a sleep that overruns by `oversleep`.
TEST(FramePacing, FramesStartOnePeriodApartUnlessTheSwapOrTheFrameTookThatLong) {
  struct Frame {
    int64_t late, draw;
  };
  const struct {
    const char* what;
    int64_t period;
    std::vector<Frame> frames;
    int64_t oversleep;
    std::vector<int64_t> starts;
  } cases[] = {
      {"swaps that do not wait", 20, {{0, 5}, {0, 5}, {0, 5}, {0, 5}}, 0, {0, 20, 40, 60}},
      {"uncapped", 0, {{0, 5}, {0, 5}, {0, 5}}, 0, {0, 5, 10}},
      {"swaps held a period by the display", 20, {{0, 20}, {0, 20}, {0, 20}}, 0, {0, 20, 40}},
      {"display a little faster than reported", 20, {{0, 19}, {0, 19}, {0, 19}}, 0, {0, 19, 38}},
      {"slow frames", 20, {{0, 30}, {0, 30}, {0, 5}, {0, 5}}, 0, {0, 30, 60, 80}},
      {"one quick frame after a slow one", 20, {{0, 5}, {0, 30}, {0, 5}, {0, 5}}, 0, {0, 20, 50, 70}},
      // Slots follow the previous slot, not the late wake-up: no drift.
      {"sleep overruns", 20, {{0, 5}, {0, 5}, {0, 5}, {0, 5}}, 1, {0, 21, 41, 61}},
      // Up to a period late: the next frame keeps its slot.
      {"late start", 20, {{0, 5}, {15, 5}, {0, 5}, {0, 5}}, 0, {0, 35, 40, 60}},
      // More than a period late: slots start again from there, no catch-up burst.
      {"very late start", 20, {{0, 5}, {45, 5}, {0, 5}, {0, 5}}, 0, {0, 65, 85, 105}},
  };
  for (const auto& c : cases) {
    FramePacer pacer(c.period);
    std::vector<int64_t> starts;
    int64_t now = 1000;
    for (const Frame& frame : c.frames) {
      now += frame.late;
      starts.push_back(now - 1000);
      const int64_t start = now;
      now += frame.draw;
      const int64_t next = pacer.AfterSwap(start, now);
      if (next > now) now = next + c.oversleep;
    }
    EXPECT_EQ(starts, c.starts) << c.what;
  }
}

TEST(FramePacing, PeriodFromTheReportedRefreshRate) {
  const struct {
    int64_t frequency;
    double refresh;
    bool uncapped;
    int64_t period;
  } cases[] = {
      {1000000000, 60, false, 16666667},
      {1000000000, 75, false, 13333333},
      {10000000, 59.94, false, 166834},
      {1000000000, 0, false, 16666667},     // unknown
      {1000000000, 1, false, 16666667},     // Windows' "hardware default"
      {1000000000, 5000, false, 16666667},  // absurd
      {1000000000, -60, false, 16666667},
      {1000000000, 144, true, 0},
      {0, 60, false, 0},  // no counter to pace by
  };
  for (const auto& c : cases)
    EXPECT_EQ(FramePeriod(c.frequency, c.refresh, c.uncapped), c.period)
        << c.frequency << " " << c.refresh << " " << c.uncapped;
}

TEST(FrameLoop, ExtensionNamesMatchWholeWordsOnly) {
  const struct {
    const char* list;
    bool listed;  // names WGL_EXT_swap_control
  } cases[] = {
      {"WGL_EXT_swap_control", true},
      {"WGL_EXT_swap_control_tear", false},
      {"WGL_EXT_swap_control_tear WGL_EXT_swap_control ", true},
      {"XWGL_EXT_swap_control", false},
      {nullptr, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(HasExtension(c.list, "WGL_EXT_swap_control"), c.listed) << (c.list ? c.list : "null");
}

// Swap times from 0: `count` intervals of `step` ticks, then the `then` intervals.
std::vector<int64_t> Swaps(int count, int64_t step, std::vector<int64_t> then) {
  std::vector<int64_t> at{0};
  for (int i = 0; i < count; ++i) at.push_back(at.back() + step);
  for (int64_t interval : then) at.push_back(at.back() + interval);
  return at;
}

// scripts/bench reads these lines: their format is fixed.
TEST(FrameStats, LinesForTheBenchmark) {
  const struct {
    bool enabled;
    double paced_hz;
    int64_t wall_ns;  // 0: the platform reports no wall clock
    std::vector<int64_t> swap_ticks;
    const char* out;
  } cases[] = {
      // Intervals above 250 ms count as the longest.
      {true,
       0,
       1700000000123456789,
       {2000, 2500, 3000, 3250},
       "veloran-fps: first-frame-unix-ns 1700000000123456789\nveloran-fps: 3.0\n"
       "veloran-fps: average 2.4 frames 4 seconds 1.250\n"
       "veloran-fps: interval-ms p99 500.00 max 500.00\n"},
      {true,
       50,
       0,
       {0, 1000},
       "veloran-fps: 2.0\nveloran-fps: average 1.0 frames 2 seconds 1.000\n"
       "veloran-fps: interval-ms p99 1000.00 max 1000.00\nveloran-fps: paced-hz 50.00\n"},
      {true, 60, 0, {100}, ""},  // one frame gives no average
      // 199 intervals of 10 ms and one of 17: one in a hundred may be longer than p99.
      {true, 0, 0, Swaps(199, 10, {17}),
       "veloran-fps: 101.0\nveloran-fps: 99.3\nveloran-fps: average 99.7 frames 201 seconds 2.007\n"
       "veloran-fps: interval-ms p99 10.00 max 17.00\n"},
      {true, 0, 0, Swaps(197, 10, {17, 17, 17}),
       "veloran-fps: 101.0\nveloran-fps: 98.6\nveloran-fps: average 99.0 frames 201 seconds 2.021\n"
       "veloran-fps: interval-ms p99 17.00 max 17.00\n"},
  };
  for (const auto& c : cases) {
    FakePlatform platform;
    platform.wall_ns = c.wall_ns;
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    FrameStats stats(platform, c.enabled, out);
    stats.PacedAt(c.paced_hz);
    for (int64_t ticks : c.swap_ticks) {
      FakePlatform::ticks = ticks;
      stats.CountSwap();
    }
    stats.Report();
    char text[512] = {};
    std::rewind(out);
    std::fread(text, 1, sizeof text - 1, out);
    std::fclose(out);
    EXPECT_STREQ(text, c.out);
  }
}

}  // namespace

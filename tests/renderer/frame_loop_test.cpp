#include "frame_loop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fake_gl.h"
#include "frame_stats.h"

namespace {

TEST(FrameLoop, StartUpLoopAndShutdownOrderAndExitCode) {
  using P = MessagePump;
  const struct {
    bool has_window;
    std::deque<MessagePump> pumps;  // then the quit, with code 3
    std::vector<std::string> calls;
    int exit_code;
  } cases[] = {
      // No window: display and cursor are put back, nothing else happens.
      {false, {}, {"window", "restore"}, 1},
      // One message or one frame per pass, starting with a look at the queue.
      {true, {P::kIdle, P::kHandled, P::kHandled, P::kIdle},
       {"window", "client-size", "context", "pump", "swap", "pump", "pump", "pump", "swap", "pump",
        "kill", "restore"},
       3},
  };
  for (const auto& c : cases) {
    ResetFakes();
    FakePlatform platform;
    platform.has_window = c.has_window;
    platform.pumps = c.pumps;
    platform.quit_code = 3;
    EXPECT_EQ(RunRenderer(platform), c.exit_code);
    EXPECT_EQ(platform.calls, c.calls);
    // With a context, the projection for the client area comes first, then the scene
    // (ending with the fixed state); without a window nothing is drawn.
    EXPECT_EQ(GlCalls().empty(), !c.has_window);
    if (!c.has_window) continue;
    EXPECT_EQ(GlCalls().front().name, "glViewport");
    EXPECT_EQ(GlCalls().front().args, (std::vector<double>{0, 0, 800, 600}));
    EXPECT_EQ(CallsNamed("glShadeModel").size(), 1u);
  }
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

// scripts/bench reads these lines: their format is fixed.
TEST(FrameStats, LinesForTheBenchmark) {
  const struct {
    bool enabled;
    int64_t wall_ns;  // 0: the platform reports no wall clock
    std::vector<int64_t> swap_ticks;
    const char* out;
  } cases[] = {
      {true, 1700000000123456789, {2000, 2500, 3000, 3250},
       "veloran-fps: first-frame-unix-ns 1700000000123456789\nveloran-fps: 3.0\n"
       "veloran-fps: average 2.4 frames 4 seconds 1.250\n"},
      {true, 0, {0, 1000}, "veloran-fps: 2.0\nveloran-fps: average 1.0 frames 2 seconds 1.000\n"},
      {true, 0, {100}, ""},  // one frame gives no average
  };
  for (const auto& c : cases) {
    FakePlatform platform;
    platform.wall_ns = c.wall_ns;
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    FrameStats stats(platform, c.enabled, out);
    for (int64_t ticks : c.swap_ticks) {
      FakePlatform::ticks = ticks;
      stats.CountSwap();
    }
    stats.Report();
    char text[256] = {};
    std::rewind(out);
    std::fread(text, 1, sizeof text - 1, out);
    std::fclose(out);
    EXPECT_STREQ(text, c.out);
  }
}

}  // namespace

// The display switch's choices for the layouts monitors and virtual screens have.
#include "display_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A mode at a whole refresh rate: 1000 x 1000 pixel clocks per picture.
ModeTimings Mode(uint64_t id, int width, int height, double hz, bool interlaced = false) {
  ModeTimings mode;
  mode.id = id;
  mode.width = width;
  mode.height = height;
  mode.dot_clock = static_cast<uint64_t>(hz * 1e6);
  mode.h_total = mode.v_total = 1000;
  mode.interlaced = interlaced;
  return mode;
}

// One 1280x1024 monitor of 340 x 270 mm at the origin, the screen up to 8192; `more`
// modes listed after the current one.
OutputLayout Monitor(double hz = 60, std::vector<ModeTimings> more = {}) {
  OutputLayout layout;
  layout.crtc = {0, 0, 1280, 1024};
  layout.current = Mode(1, 1280, 1024, hz);
  layout.mm_width = 340;
  layout.mm_height = 270;
  layout.listed = {layout.current};
  layout.listed.insert(layout.listed.end(), more.begin(), more.end());
  layout.min_screen_width = layout.min_screen_height = 320;
  layout.max_screen_width = layout.max_screen_height = 8192;
  return layout;
}

OutputLayout Virtual(int width, int height) {
  OutputLayout layout = Monitor();
  layout.crtc = {0, 0, width, height};
  layout.current = ModeTimings{1, width, height};  // no timings
  layout.listed = {layout.current};
  layout.mm_width = layout.mm_height = 0;
  layout.min_screen_width = layout.min_screen_height = 1;
  layout.max_screen_width = width;
  layout.max_screen_height = height;
  return layout;
}

// The monitor at `crtc` beside the `others`, with 1024x768 at 60 Hz listed.
OutputLayout Among(ScreenArea crtc, std::vector<ScreenArea> others) {
  OutputLayout layout = Monitor(60, {Mode(2, 1024, 768, 60)});
  layout.crtc = crtc;
  layout.others = std::move(others);
  return layout;
}

template <typename Change>
OutputLayout With(OutputLayout layout, Change change) {
  change(layout);
  return layout;
}

struct Case {
  const char* what;
  OutputLayout layout;
  SwitchStep step;
  uint64_t mode;
  double refresh;
  ScreenArea window;
  int screen_width, screen_height;
  std::vector<ScreenArea> blank = {};  // covered in black for the run
};

TEST(DisplayPlanTest, ChoosesModeWindowAndScreen) {
  // clang-format off
  const Case cases[] = {
      {"listed mode at the current rate among others",
       Monitor(75, {Mode(2, 1024, 768, 60), Mode(3, 1024, 768, 75), Mode(4, 1024, 768, 70)}),
       SwitchStep::kListedMode, 3, 0, {0, 0, 1024, 768}, 1024, 768},
      {"closest listed rate when the current one is not offered",
       Monitor(144, {Mode(2, 1024, 768, 60), Mode(3, 1024, 768, 120), Mode(4, 800, 600, 144)}),
       SwitchStep::kListedMode, 3, 0, {0, 0, 1024, 768}, 1024, 768},
      {"an interlaced current mode counts whole pictures",
       With(Monitor(), [](OutputLayout& l) {
         l.current = Mode(1, 1920, 1080, 30, true);
         l.listed = {l.current, Mode(2, 1024, 768, 30), Mode(3, 1024, 768, 60)};
       }),
       SwitchStep::kListedMode, 3, 0, {0, 0, 1024, 768}, 1024, 768},
      {"interlaced only, on a monitor: shown at the current mode",
       Monitor(60, {Mode(2, 1024, 768, 60, true)}),
       SwitchStep::kRefuse, 0, 0, {0, 0, 1280, 1024}, 0, 0},
      {"interlaced only, on a virtual screen: made at the current rate",
       With(Monitor(60, {Mode(2, 1024, 768, 60, true)}),
            [](OutputLayout& l) { l.mm_width = l.mm_height = 0; }),
       SwitchStep::kNewMode, 0, 60, {0, 0, 1024, 768}, 1024, 768},
      {"not listed, on a monitor: shown at the current mode", Monitor(144), SwitchStep::kRefuse,
       0, 0, {0, 0, 1280, 1024}, 0, 0},
      {"not listed, on a virtual screen without timings", Virtual(1280, 1024),
       SwitchStep::kNewMode, 0, 0, {0, 0, 1024, 768}, 1024, 768},
      {"virtual screen too small to hold the size", Virtual(800, 600), SwitchStep::kRefuse, 0, 0,
       {0, 0, 800, 600}, 0, 0},
      {"output right of another: the window follows it, the screen holds both",
       Among({1920, 0, 1280, 1024}, {{0, 0, 1920, 1080}}),
       SwitchStep::kListedMode, 2, 0, {1920, 0, 1024, 768}, 2944, 1080, {{0, 0, 1920, 1080}}},
      {"output below another, the other ends further right",
       Among({0, 1200, 1280, 1024}, {{0, 0, 1600, 1200}}),
       SwitchStep::kListedMode, 2, 0, {0, 1200, 1024, 768}, 1600, 1968, {{0, 0, 1600, 1200}}},
      {"output turned sideways shows the mode upright",
       With(Among({0, 0, 1024, 1280}, {{1024, 0, 1920, 1080}}), [](OutputLayout& l) { l.sideways = true; }),
       SwitchStep::kListedMode, 2, 0, {0, 0, 768, 1024}, 2944, 1080, {{1024, 0, 1920, 1080}}},
      {"already at the size, away from the origin: its own area",
       With(Monitor(), [](OutputLayout& l) {
         l.crtc = {1280, 200, 1024, 768};
         l.current = Mode(1, 1024, 768, 60);
         l.others = {{0, 0, 1280, 1024}};
       }),
       SwitchStep::kNone, 0, 0, {1280, 200, 1024, 768}, 0, 0, {{0, 0, 1280, 1024}}},
      {"two monitors side by side: the second is covered where it stays",
       Among({0, 0, 1280, 1024}, {{1280, 0, 1280, 1024}}),
       SwitchStep::kListedMode, 2, 0, {0, 0, 1024, 768}, 2560, 1024, {{1280, 0, 1280, 1024}}},
      {"a mirror of the output: covered only where the smaller mode leaves it",
       Among({0, 0, 1280, 1024}, {{0, 0, 1280, 1024}}),
       SwitchStep::kListedMode, 2, 0, {0, 0, 1024, 768}, 1280, 1024,
       {{1024, 0, 256, 768}, {0, 768, 1280, 256}}},
      {"a smaller monitor inside the switched output's area: all around the window",
       Among({100, 100, 1280, 1024}, {{0, 0, 1600, 1200}}),
       SwitchStep::kListedMode, 2, 0, {100, 100, 1024, 768}, 1600, 1200,
       {{0, 0, 1600, 100}, {0, 100, 100, 768}, {1124, 100, 476, 768}, {0, 868, 1600, 332}}},
      {"no 1024x768 on a monitor beside another: both as they are, the other covered",
       With(Monitor(), [](OutputLayout& l) {
         l.crtc = {1280, 0, 1920, 1080};
         l.current = Mode(1, 1920, 1080, 60);
         l.listed = {l.current};
         l.others = {{0, 0, 1280, 1024}, {0, 0, 1280, 1024}};
       }),
       SwitchStep::kRefuse, 0, 0, {1280, 0, 1920, 1080}, 0, 0, {{0, 0, 1280, 1024}}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SwitchPlan plan = PlanDisplaySwitch(c.layout, 1024, 768);
    EXPECT_EQ(plan.step, c.step);
    EXPECT_EQ(plan.mode, c.mode);
    EXPECT_DOUBLE_EQ(plan.refresh, c.refresh);
    EXPECT_EQ(plan.window, c.window);
    EXPECT_EQ(plan.screen_width, c.screen_width);
    EXPECT_EQ(plan.screen_height, c.screen_height);
    EXPECT_EQ(plan.blank, c.blank);
  }
}

// The renderer's command line: nothing for the full-screen run, "-window-id ID" for
// the embedded one; anything else is refused.
TEST(RendererArguments, FullScreenOrOneWindow) {
  const struct {
    std::vector<const char*> args;  // after the program name
    bool valid;
    uint64_t window;
    // clang-format off
  } cases[] = {
      {{}, true, 0},
      {{"-window-id", "0x400008"}, true, 0x400008},
      {{"-window-id", "0XFFFFFFFF"}, true, 0xFFFFFFFF},
      {{"-window-id", "0x100000000"}, false, 0},
      {{"-window-id", "0"}, false, 0},
      {{"-window-id", "010"}, false, 0},  // not octal
      {{"-window-id", "-5"}, false, 0},
      {{"-window-id"}, false, 0},
      {{"-root"}, false, 0},
      {{"-window-id", "5", "6"}, false, 0},
  };
  // clang-format on
  for (const auto& c : cases) {
    std::vector<const char*> argv{"Veloran.dll"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const RendererArguments got = ParseRendererArguments(static_cast<int>(argv.size()), argv.data());
    const std::string line =
        c.args.empty() ? "(none)" : std::string(c.args[0]) + " " + (c.args.size() > 1 ? c.args[1] : "");
    EXPECT_EQ(got.valid, c.valid) << line;
    EXPECT_EQ(got.window, c.window) << line;
  }
}

}  // namespace

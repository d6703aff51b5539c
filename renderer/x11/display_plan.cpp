// Decisions of the X11 display switch; display_mode.cpp reads the server and
// carries them out.
#include "display_plan.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdlib>

double RefreshRate(const ModeTimings& mode) {
  if (!mode.h_total || !mode.v_total || !mode.dot_clock) return 0;
  double rate = double(mode.dot_clock) / (double(mode.h_total) * mode.v_total);
  if (mode.double_scan) rate /= 2;
  if (mode.interlaced) rate *= 2;
  return rate;
}

namespace {

// The listed width x height mode closest to the refresh rate; the first of equals.
const ModeTimings* ClosestListed(const std::vector<ModeTimings>& listed, int width, int height,
                                 double refresh) {
  const ModeTimings* best = nullptr;
  double best_distance = 0;
  for (const ModeTimings& mode : listed) {
    if (mode.width != width || mode.height != height || mode.interlaced) continue;
    double distance = std::fabs(RefreshRate(mode) - refresh);
    if (!best || distance < best_distance) {
      best = &mode;
      best_distance = distance;
    }
  }
  return best;
}

// No switch: the window covers the output at its current mode.
SwitchPlan Unswitched(const OutputLayout& output) {
  SwitchPlan plan;
  plan.step = SwitchStep::kRefuse;
  plan.window = output.crtc;
  plan.blank = BlankAreas(plan.window, output.others);
  return plan;
}

}  // namespace

SwitchPlan PlanDisplaySwitch(const OutputLayout& output, int width, int height) {
  SwitchPlan plan;
  // The output keeps its place and its rotation; turned sideways, it shows the
  // mode's height across.
  int across = output.sideways ? height : width;
  int down = output.sideways ? width : height;
  plan.window = {output.crtc.x, output.crtc.y, across, down};

  if (output.current.width == width && output.current.height == height) {
    plan.step = SwitchStep::kNone;
    plan.window = output.crtc;
    plan.blank = BlankAreas(plan.window, output.others);
    return plan;
  }

  double refresh = RefreshRate(output.current);
  if (const ModeTimings* mode = ClosestListed(output.listed, width, height, refresh)) {
    plan.step = SwitchStep::kListedMode;
    plan.mode = mode->id;
  } else if (output.mm_width <= 0 || output.mm_height <= 0) {
    plan.step = SwitchStep::kNewMode;
    plan.refresh = refresh;
  } else {
    return Unswitched(output);
  }

  plan.screen_width = plan.window.x + across;
  plan.screen_height = plan.window.y + down;
  for (const ScreenArea& other : output.others) {
    plan.screen_width = std::max(plan.screen_width, other.x + other.width);
    plan.screen_height = std::max(plan.screen_height, other.y + other.height);
  }
  bool fits = plan.screen_width >= output.min_screen_width && plan.screen_width <= output.max_screen_width &&
              plan.screen_height >= output.min_screen_height &&
              plan.screen_height <= output.max_screen_height;
  if (!fits) return Unswitched(output);
  plan.blank = BlankAreas(plan.window, output.others);
  return plan;
}

std::vector<ScreenArea> BlankAreas(const ScreenArea& window, const std::vector<ScreenArea>& others) {
  std::vector<ScreenArea> blank;
  auto add = [&blank](int x, int y, int right, int bottom) {
    if (right <= x || bottom <= y) return;
    const ScreenArea area{x, y, right - x, bottom - y};
    if (std::find(blank.begin(), blank.end(), area) == blank.end()) blank.push_back(area);
  };
  const int w_right = window.x + window.width, w_bottom = window.y + window.height;
  for (const ScreenArea& o : others) {
    const int right = o.x + o.width, bottom = o.y + o.height;
    if (right <= window.x || o.x >= w_right || bottom <= window.y || o.y >= w_bottom) {
      add(o.x, o.y, right, bottom);  // no overlap: all of it
      continue;
    }
    const int top = std::max(o.y, window.y), low = std::min(bottom, w_bottom);
    add(o.x, o.y, right, window.y);     // above
    add(o.x, top, window.x, low);       // left of
    add(w_right, top, right, low);      // right of
    add(o.x, w_bottom, right, bottom);  // below
  }
  return blank;
}

RendererArguments ParseRendererArguments(int argc, const char* const* argv) {
  RendererArguments args;
  if (argc <= 1) return args;
  args.valid = false;
  if (argc != 3 || std::strcmp(argv[1], "-window-id") != 0) return args;
  const char* text = argv[2];
  if (*text == '\0' || *text == '-' || *text == '+') return args;
  char* end = nullptr;
  const unsigned long long id = std::strtoull(text, &end, 0);
  // strtoull's base 0 would read a leading 0 as octal: only decimal and 0x are window ids.
  const bool octal = text[0] == '0' && text[1] != '\0' && text[1] != 'x' && text[1] != 'X';
  if (*end != '\0' || id == 0 || id > 0xFFFFFFFFull || octal) return args;
  args.valid = true;
  args.window = id;
  return args;
}

EmbedPlan PlanEmbedding(uint64_t target_visual, const std::vector<uint64_t>& format_visuals) {
  EmbedPlan plan;
  for (std::size_t i = 0; i < format_visuals.size(); ++i) {
    if (format_visuals[i] == target_visual) {
      plan.format = static_cast<int>(i);
      return plan;
    }
  }
  if (!format_visuals.empty()) {
    plan.child = true;
    plan.format = 0;
  }
  return plan;
}

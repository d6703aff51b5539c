#pragma once
// What the display switch does, decided on plain numbers read from the X server
// beforehand: which mode the output gets (one it lists, or one made for the run),
// where the renderer's window goes and how large the screen becomes. Also the
// embedded run's choices: the command line that asks for it, and where it draws.

#include <cstdint>
#include <vector>

// A rectangle in root-window coordinates.
struct ScreenArea {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const ScreenArea& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};

// A display mode with the timings its refresh rate comes from.
struct ModeTimings {
  uint64_t id = 0;
  int width = 0;
  int height = 0;
  uint64_t dot_clock = 0;  // pixels per second; 0 on virtual screens without timings
  unsigned h_total = 0;
  unsigned v_total = 0;
  bool interlaced = false;
  bool double_scan = false;
};

// Pictures per second of a mode; 0 when it has no timings.
double RefreshRate(const ModeTimings& mode);

// The output to switch, as the server describes it now.
struct OutputLayout {
  ScreenArea crtc;                  // where it shows, rotation applied
  ModeTimings current;              // the mode it shows
  bool sideways = false;            // turned by 90 or 270 degrees
  int mm_width = 0;                 // physical size it reports in millimetres;
  int mm_height = 0;                // 0 for a virtual screen
  std::vector<ModeTimings> listed;  // the modes it lists
  std::vector<ScreenArea> others;   // every other active CRTC
  int min_screen_width = 0;         // the screen sizes the server accepts
  int min_screen_height = 0;
  int max_screen_width = 0;
  int max_screen_height = 0;
};

enum class SwitchStep {
  kNone,        // the output already shows the size: nothing to change
  kListedMode,  // switch to the listed mode `mode`
  kNewMode,     // make a mode at `refresh` for the run and switch to it
  kRefuse,      // no acceptable mode, or the screen cannot hold it: the run shows
                // at the output's current mode
};

struct SwitchPlan {
  SwitchStep step = SwitchStep::kRefuse;
  uint64_t mode = 0;              // for kListedMode
  double refresh = 0;             // for kNewMode: the current rate (0: no timings)
  ScreenArea window;              // where the renderer's window goes
  std::vector<ScreenArea> blank;  // what the other outputs show, to be covered in black
  int screen_width = 0;           // the screen around every CRTC after the switch
  int screen_height = 0;
};

// The plan for showing width x height on the output. A listed mode is preferred,
// the one closest to the current refresh rate (interlaced modes are left out); a
// mode is made only for outputs without a physical size, since a real monitor may
// refuse timings it did not offer. Without a switch the window covers the output
// as it is.
SwitchPlan PlanDisplaySwitch(const OutputLayout& output, int width, int height);

// The parts of the other outputs' areas that the window does not cover, at most
// four rectangles per output (above, left of, right of and below the window): an
// output that mirrors the switched one keeps showing the scene where they overlap.
std::vector<ScreenArea> BlankAreas(const ScreenArea& window, const std::vector<ScreenArea>& others);

// The renderer's command line: none for the full-screen run, or "-window-id ID"
// (decimal or 0x hex) to draw inside window ID, the way the host runs it for a
// desktop screen-saver daemon.
struct RendererArguments {
  bool valid = true;    // false: arguments it does not know, or a bad window id
  uint64_t window = 0;  // the window to draw in; 0: the full-screen run
};
RendererArguments ParseRendererArguments(int argc, const char* const* argv);

// Where an embedded run draws, given the target window's visual and the visuals of
// the usable GL pixel formats in order of preference.
struct EmbedPlan {
  bool child = false;  // true: in a child window of format `format`'s visual
  int format = -1;     // the pixel format to use; -1 when there is none
};
EmbedPlan PlanEmbedding(uint64_t target_visual, const std::vector<uint64_t>& format_visuals);

#pragma once
// Temporary switch of the primary output to another size through XRandR, and its
// restoration. X keeps a changed mode after its client is gone, so a guardian
// process restores the saved mode should the renderer die without doing it.
//
//  [X] a mode the output lists, closest to its current refresh rate
//  [X] on a virtual screen without a physical size (Xvfb), a mode made for the run
//      and removed afterwards
//  [X] the guardian process ("veloran-guard") that restores after a kill or a crash
//  [X] the refresh rate of the mode shown
//  [ ] outputs other than the primary (or the first active one) keep their modes:
//      the renderer covers them in black instead

#include <sys/types.h>

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <string>
#include <vector>

#include "x_errors.h"

enum class ModeSwitch {
  kSwitched,    // the output now shows width x height (or already did)
  kNotQueried,  // the current configuration could not be read: left as it is
  kFailed,      // the output cannot show width x height: left at its current mode
};

// What the screen looked like before the switch, and what the switch added.
struct SavedConfig {
  bool active = false;
  std::string display_name;
  RRCrtc crtc = 0;
  RRMode mode = 0;
  int x = 0;
  int y = 0;
  Rotation rotation = RR_Rotate_0;
  std::vector<RROutput> outputs;
  RROutput output = 0;      // the output the new mode was added to
  RRMode created_mode = 0;  // a mode made for the run and removed afterwards; 0 if none
  int screen_width = 0;
  int screen_height = 0;
  int screen_mm_width = 0;
  int screen_mm_height = 0;
};

// One switch of the display for one run: the saved configuration and its guardian.
class DisplayModeSwitch {
 public:
  // Reads the outcome of its requests from `errors`, which must outlive it.
  explicit DisplayModeSwitch(XErrors& errors) : errors_(errors) {}
  DisplayModeSwitch(const DisplayModeSwitch&) = delete;
  DisplayModeSwitch& operator=(const DisplayModeSwitch&) = delete;

  // Switches the primary output (or the first active one) to width x height: a mode
  // the output lists, closest to its current refresh rate, or on a virtual screen one
  // made for the run. Before changing anything it starts the guardian. area receives
  // where the renderer's window belongs in root coordinates: the output as it shows
  // now (switched or not), or (0, 0, width, height) when the configuration could not
  // be read; blank receives the parts of the other outputs the window leaves free.
  ModeSwitch Switch(Display* display, int width, int height, XRectangle* area,
                    std::vector<XRectangle>* blank);

  // Puts back the configuration saved by Switch (nothing when none) and releases the
  // guardian. Safe to call more than once.
  void Restore(Display* display);

  // Pictures per second of the mode the primary output (or the first active one)
  // shows now; 0 when XRandR cannot tell or the mode has no timings.
  double CurrentRefreshRate(Display* display);

 private:
  void StartGuardian();
  [[noreturn]] void GuardianMain(int read_fd);
  // restored: the configuration is back, the guardian has nothing to do.
  void ReleaseGuardian(bool restored);

  XErrors& errors_;
  SavedConfig saved_;
  pid_t guardian_ = -1;
  int guardian_pipe_ = -1;
};

#pragma once
// Temporary switch of the primary output to another size through XRandR, and its
// restoration. X keeps a changed mode after its client is gone, so a guardian
// process restores the saved mode should the renderer die without doing it.

#include <X11/Xlib.h>

enum class ModeSwitch {
  kSwitched,    // the output now shows width x height (or already did)
  kNotQueried,  // the current configuration could not be read: left as it is
  kFailed,      // the new mode could not be applied: left as it was
};

// Switches the primary output (or the first active one) to width x height at the
// refresh rate of its current mode. Before changing anything it starts the guardian.
ModeSwitch SwitchDisplayMode(Display* display, int width, int height);

// Puts back the configuration saved by SwitchDisplayMode (nothing when none) and
// releases the guardian. Safe to call more than once.
void RestoreDisplayMode(Display* display);

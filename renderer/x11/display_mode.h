#pragma once
// Temporary switch of the primary output to another size through XRandR, and its
// restoration. X keeps a changed mode after its client is gone, so a guardian
// process restores the saved mode should the renderer die without doing it.

#include <X11/Xlib.h>

#include <vector>

enum class ModeSwitch {
  kSwitched,    // the output now shows width x height (or already did)
  kNotQueried,  // the current configuration could not be read: left as it is
  kFailed,      // the output cannot show width x height: left at its current mode
};

// Switches the primary output (or the first active one) to width x height: a mode
// the output lists, closest to its current refresh rate, or on a virtual screen one
// made for the run. Before changing anything it starts the guardian. area receives
// where the renderer's window belongs in root coordinates: the output as it shows
// now (switched or not), or (0, 0, width, height) when the configuration could not
// be read; blank receives the parts of the other outputs the window leaves free.
ModeSwitch SwitchDisplayMode(Display* display, int width, int height, XRectangle* area,
                             std::vector<XRectangle>* blank);

// Puts back the configuration saved by SwitchDisplayMode (nothing when none) and
// releases the guardian. Safe to call more than once.
void RestoreDisplayMode(Display* display);

// Pictures per second of the mode the primary output (or the first active one) shows
// now; 0 when XRandR cannot tell or the mode has no timings.
double CurrentRefreshRate(Display* display);

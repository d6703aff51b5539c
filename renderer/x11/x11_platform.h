#pragma once
// State and helpers shared by the pieces of the X11 platform layer of Veloran.dll:
// the display connection, the renderer window, the posted quit and the handling of
// the renderer window's events.

#include <X11/Xlib.h>

#include <csignal>

// The connection and the renderer window; null/None until they exist.
extern Display* g_display;
extern Window g_window;

// Set by the SIGTERM/SIGINT handler; the frame loop turns it into a quit request.
extern volatile std::sig_atomic_t g_signal_quit;

// Asks the frame loop to end (the counterpart of posting a quit message). The loop
// leaves on its next pass, whatever it is doing now.
void PostQuit(int exit_code);
bool QuitPosted();

// Handles one event of the renderer window (Esc, close request, mapping).
void HandleRendererEvent(const XEvent& event);

// The code of the last X protocol error since ClearXError (0 when none).
void ClearXError();
int LastXError();

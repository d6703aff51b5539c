#pragma once
// Start-up of the host: the single-instance guard, the mode taken from the command
// line, the work folder, the settings, the renderer check, and the hand-over to the
// preview or the saver-run form. Also the zoom helpers of the settings dialog.

#include <cstdint>
#include <string>

#include "runtime.h"

// Module state (zero at program start).
extern std::int32_t Cursor_Count;  // display count returned by the last ShowCursor
extern std::int16_t Zoom_X;        // screen point the settings dialog zooms from and to
extern std::int16_t Zoom_Y;

extern const char kSaverFormCaption[];     // "Veloran_Main"
extern const char kDialogCaption[];        // "<Veloran>"
extern const char kWorkFolder[];           // "C:\qorin"
extern const char kRendererFile[];         // "\Veloran.dll", after the program folder
extern const char kRendererMissingText[];  // the renderer check's message, UTF-8

// The mode letter: the second character of the upper-cased command line, or "" when
// the command line is shorter than two characters. "/s", "-s" and "xs" all give "S".
std::string ModeLetter(const std::string& command_line);

// The program's entry. Either ends the program through the runtime or leaves one
// form loaded (the preview or the saver run) and returns.
void Main(Runtime& rt);

// The settings dialog's zoom out of (Zoom_X, Zoom_Y) to the window, and back.
void ZoomOpen(Runtime& rt, WindowHandle window);
void ZoomClose(Runtime& rt, WindowHandle window);

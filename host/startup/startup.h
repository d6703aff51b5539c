#pragma once
// Start-up of the host: the single-instance guard, the mode taken from the command
// line, the work folder, the settings, the renderer check, and the hand-over to the
// preview or the saver-run form.

#include <cstdint>
#include <memory>
#include <string>

#include "music.h"
#include "preview.h"
#include "runtime.h"
#include "saver_run.h"
#include "settings.h"
#include "zoom.h"

// What the host keeps for the life of the process: the music settings, the mode, the
// cursor's display count and the form that Main leaves loaded.
struct HostState {
  MusicSettings music;            // filled by LoadSettings (every mode but the preview)
  std::string mode;               // the mode letter, decided once by Main
  std::int32_t Cursor_Count = 0;  // display count returned by the last ShowCursor
  ZoomPoint zoom;                 // where the settings dialog zooms out of and back into
  std::unique_ptr<SaverRunForm> saver_run;
  std::unique_ptr<PreviewForm> preview;
};

// The renderer check's message, UTF-8 ("Veloran.dll was not found in the same folder!").
extern const char kRendererMissingText[];

// The mode letter: the second character of the upper-cased command line, or "" when
// the command line is shorter than two characters. "/s", "-s" and "xs" all give "S".
std::string ModeLetter(const std::string& command_line);

// The program's entry. Either ends the program through the runtime or leaves one
// form loaded in `host` (the preview or the saver run, which plays through `music`)
// and returns.
void Main(Runtime& rt, Music& music, HostState& host);

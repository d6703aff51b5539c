#pragma once
// The saver-run form Veloran_S: hidden, captioned "Veloran_Main". Its load writes the
// two texture files, starts the renderer and the music; Timer3 watches the renderer's
// window every 500 ms and unloads the form when it is gone; the unload stops the
// music, shows the cursor again (only for /s) and ends the program.
//
// A renderer still switching the display has no window yet: until its window has
// been seen once, the watch waits while the renderer's process lives, for at most
// kRendererStartLimitMs.
//
// Started by a desktop screen-saver daemon (DaemonRun), the run is the same but the
// renderer draws inside the daemon's window, the watch follows the renderer's process
// (it has no window of its own to look for) and the unload ends the renderer too.

#include <cstdint>
#include <memory>
#include <string>

#include "music.h"
#include "runtime.h"
#include "settings.h"

inline constexpr std::int64_t kRendererStartLimitMs = 30000;

// A run for a desktop screen-saver daemon (decided by DecideDaemonRun, startup).
struct DaemonRun {
  bool on = false;          // the host runs as the daemon's program
  WindowHandle window = 0;  // the window to draw in; 0: the screen's root window
};

class SaverRunForm {
 public:
  // `mode` is the command line's mode letter; `cursor_count` receives the display
  // count of the cursor shown again at the end of a /s run; `daemon` says whether
  // the run draws inside a daemon's window.
  SaverRunForm(Runtime& rt, Music& music, const MusicSettings& settings, std::string mode,
               std::int32_t& cursor_count, DaemonRun daemon = {});

  // Loads the form: its hidden window, its timers (Timer3 on), then the start sequence.
  void Load();

  void Timer1Tick();  // MP3 repeat check
  void Timer2Tick();  // CD poll
  void Timer3Tick();  // renderer-window watch
  // The unload query: the shutdown sequence, which ends the program.
  void QueryUnload();

  FormTimer& Timer1() { return *timer1_; }
  FormTimer& Timer2() { return *timer2_; }
  FormTimer& Timer3() { return *timer3_; }
  const std::string& RendererPath() const { return renderer_path_; }
  std::int32_t RendererTask() const { return renderer_task_; }

 private:
  void StartSequence();
  // Whether the renderer may still bring up its window: not seen yet, its process
  // alive, and within the start limit.
  bool RendererStarting();

  Runtime& rt_;
  Music& music_;
  const MusicSettings& settings_;
  const std::string mode_;
  const std::string ending_;  // FileEnding of BGM_File
  std::int32_t& cursor_count_;
  const DaemonRun daemon_;
  std::unique_ptr<FormTimer> timer1_, timer2_, timer3_;
  std::string renderer_path_;
  std::int32_t renderer_task_ = 0;
  std::int64_t started_ms_ = 0;
  bool renderer_seen_ = false;
};

#pragma once
// The saver-run form Veloran_S: hidden, captioned "Veloran_Main". Its load writes the
// two texture files, starts the renderer and the music; Timer3 watches the renderer's
// window every 500 ms and unloads the form when it is gone; the unload stops the
// music, shows the cursor again (only for /s) and ends the program.

#include <cstdint>
#include <memory>
#include <string>

#include "music.h"
#include "runtime.h"

extern const char kRendererWindowTitle[];  // "Veloran_VC"
extern const char kRingTextureFile[];      // "C:\qorin\Veloran1.bmp"
extern const char kStarTextureFile[];      // "C:\qorin\Veloran2.bmp"

class SaverRunForm {
 public:
  SaverRunForm(Runtime& rt, Music& music);

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
  // "WAV", "MP3" or another ending of BGM_File (its last three characters, upper-cased).
  static std::string FileEnding();

  Runtime& rt_;
  Music& music_;
  std::unique_ptr<FormTimer> timer1_, timer2_, timer3_;
  std::string renderer_path_;
  std::int32_t renderer_task_ = 0;
};

// Main's last step: loads the program's saver-run form (it lives until the end).
void LoadSaverRunForm(Runtime& rt);

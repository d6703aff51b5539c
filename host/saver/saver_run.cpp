#include "saver_run.h"

#include "assets.h"
#include "veloran_names.h"

SaverRunForm::SaverRunForm(Runtime& rt, Music& music, const MusicSettings& settings, std::string mode,
                           std::int32_t& cursor_count, DaemonRun daemon)
    : rt_(rt),
      music_(music),
      settings_(settings),
      mode_(std::move(mode)),
      ending_(FileEnding(settings.BGM_File)),
      cursor_count_(cursor_count),
      daemon_(daemon) {}

void SaverRunForm::Load() {
  rt_.LoadHiddenForm(kSaverFormCaption, [this] { QueryUnload(); });
  timer1_ = rt_.CreateTimer(1000, false, [this] { Timer1Tick(); });
  timer2_ = rt_.CreateTimer(200, false, [this] { Timer2Tick(); });
  timer3_ = rt_.CreateTimer(500, true, [this] { Timer3Tick(); });
  started_ms_ = rt_.Milliseconds();
  StartSequence();
}

void SaverRunForm::StartSequence() {
  // The textures are complete on disk before the renderer starts.
  rt_.WriteFileReplacing(kRingTexturePath, std::string(RingTextureBmp()));
  rt_.WriteFileReplacing(kStarTexturePath, std::string(StarTextureBmp()));

  renderer_path_ = rt_.ProgramFolder() + kRendererFile;
  renderer_task_ = daemon_.on ? rt_.StartEmbeddedRenderer(renderer_path_, daemon_.window)
                              : rt_.StartProgram(renderer_path_);

  if (settings_.BGM_Kind == 1) {
    music_.CD_Open();
    timer2_->SetEnabled(true);
  }
  if (settings_.BGM_Kind == 2) {
    if (ending_ == "WAV") {
      music_.WAV_Play();
    } else if (ending_ == "MP3") {
      music_.MP3_Open();
      timer1_->SetEnabled(true);
    }
  }
}

void SaverRunForm::Timer1Tick() { music_.MP3_Repeat(); }

void SaverRunForm::Timer2Tick() {
  music_.CD_Poll();
  timer2_->SetEnabled(music_.CD_Ok());
}

bool SaverRunForm::RendererStarting() {
  return !renderer_seen_ && renderer_task_ != 0 && rt_.ProgramRunning(renderer_task_) &&
         rt_.Milliseconds() - started_ms_ < kRendererStartLimitMs;
}

void SaverRunForm::Timer3Tick() {
  if (daemon_.on) {
    // The renderer draws in the daemon's window: its process is the run.
    if (renderer_task_ != 0 && rt_.ProgramRunning(renderer_task_)) return;
    timer3_->SetEnabled(false);
    QueryUnload();
    return;
  }
  if (rt_.FindTopWindow(kRendererWindowTitle) != 0) {
    renderer_seen_ = true;
    return;
  }
  if (RendererStarting()) return;
  timer3_->SetEnabled(false);
  QueryUnload();
}

void SaverRunForm::QueryUnload() {
  if (timer2_->Enabled()) {
    timer2_->SetEnabled(false);
    music_.CD_Close();
  }
  if (settings_.BGM_Kind == 2) {
    if (ending_ == "WAV") {
      music_.WAV_Stop();
    } else if (ending_ == "MP3") {
      timer1_->SetEnabled(false);
      music_.MP3_Close();
    }
  }
  // The cursor was hidden at start-up only for /s; an empty command line never hid it.
  if (mode_ == "S") cursor_count_ = rt_.ShowCursor(true);
  // The daemon ends only the host; the renderer in its window goes with it.
  if (daemon_.on && renderer_task_ != 0) rt_.EndProgramTask(renderer_task_);
  rt_.EndProgram();
}

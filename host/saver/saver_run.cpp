#include "saver_run.h"

#include <cctype>

#include "assets.h"
#include "settings.h"
#include "startup.h"

const char kRendererWindowTitle[] = "Veloran_VC";
const char kRingTextureFile[] = "C:\\qorin\\Veloran1.bmp";
const char kStarTextureFile[] = "C:\\qorin\\Veloran2.bmp";

SaverRunForm::SaverRunForm(Runtime& rt, Music& music) : rt_(rt), music_(music) {}

void SaverRunForm::Load() {
  rt_.LoadHiddenForm(kSaverFormCaption, [this] { QueryUnload(); });
  timer1_ = rt_.CreateTimer(1000, false, [this] { Timer1Tick(); });
  timer2_ = rt_.CreateTimer(200, false, [this] { Timer2Tick(); });
  timer3_ = rt_.CreateTimer(500, true, [this] { Timer3Tick(); });
  StartSequence();
}

std::string SaverRunForm::FileEnding() {
  std::string ending = BGM_File.size() > 3 ? BGM_File.substr(BGM_File.size() - 3) : BGM_File;
  for (char& c : ending) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ending;
}

void SaverRunForm::StartSequence() {
  // The textures are complete on disk before the renderer starts.
  rt_.WriteFileReplacing(kRingTextureFile, std::string(RingTextureBmp()));
  rt_.WriteFileReplacing(kStarTextureFile, std::string(StarTextureBmp()));

  renderer_path_ = rt_.ProgramFolder() + kRendererFile;
  renderer_task_ = rt_.StartProgram(renderer_path_);

  if (BGM_Kind == 1) {
    music_.CD_Open();
    timer2_->SetEnabled(true);
  }
  if (BGM_Kind == 2) {
    const std::string ending = FileEnding();
    if (ending == "WAV") {
      music_.WAV_Play();
    } else if (ending == "MP3") {
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

void SaverRunForm::Timer3Tick() {
  if (rt_.FindTopWindow(kRendererWindowTitle) != 0) return;
  timer3_->SetEnabled(false);
  QueryUnload();
}

void SaverRunForm::QueryUnload() {
  if (timer2_->Enabled()) {
    timer2_->SetEnabled(false);
    music_.CD_Close();
  }
  if (BGM_Kind == 2) {
    const std::string ending = FileEnding();
    if (ending == "WAV") {
      music_.WAV_Stop();
    } else if (ending == "MP3") {
      timer1_->SetEnabled(false);
      music_.MP3_Close();
    }
  }
  // The cursor was hidden at start-up only for /s; an empty command line never hid it.
  if (ModeLetter(rt_.CommandLine()) == "S") Cursor_Count = rt_.ShowCursor(true);
  rt_.EndProgram();
}

void LoadSaverRunForm(Runtime& rt) {
  static std::unique_ptr<SaverRunForm> form;
  form = std::make_unique<SaverRunForm>(rt, HostMusic());
  form->Load();
}

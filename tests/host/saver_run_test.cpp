// The saver run's start and shutdown sequences against a fake runtime and player.
#include <gtest/gtest.h>

#include "assets.h"
#include "fake_runtime.h"
#include "saver_run.h"
#include "settings.h"
#include "startup.h"

namespace {

class SaverRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BGM_Kind = 0;
    BGM_File.clear();
    rt.command_line = "/s";
  }
  void Load() {
    form.Load();
    rt.log.clear();  // keep only what happens after the start
  }
  Log StartLog() {
    form.Load();
    return rt.log;
  }

  FakeRuntime rt;
  FakeMusic music{rt.log};
  SaverRunForm form{rt, music};
};

TEST_F(SaverRunTest, StartWritesBothTexturesThenStartsTheRenderer) {
  EXPECT_EQ(StartLog(), (Log{"hidden form Veloran_Main", "write C:\\qorin\\Veloran1.bmp",
                             "write C:\\qorin\\Veloran2.bmp", "start C:\\Saver\\Veloran.dll"}));
  EXPECT_EQ(rt.files["C:\\qorin\\Veloran1.bmp"], std::string(RingTextureBmp()));
  EXPECT_EQ(rt.files["C:\\qorin\\Veloran2.bmp"], std::string(StarTextureBmp()));
  EXPECT_EQ(form.RendererTask(), 4242);
  EXPECT_TRUE(form.Timer3().Enabled());
  EXPECT_FALSE(form.Timer1().Enabled());
  EXPECT_FALSE(form.Timer2().Enabled());
}

TEST_F(SaverRunTest, MusicStartsAfterTheRendererByKindAndEnding) {
  struct Case {
    int kind;
    const char* file;
    Log music;  // what follows the renderer start
  };
  const Case cases[] = {
      {0, "C:\\m\\a.mp3", {}},
      {1, "", {"CD_Open", "Timer2 on"}},
      {2, "C:\\m\\a.Mp3", {"MP3_Open", "Timer1 on"}},
      {2, "C:\\m\\a.WAV", {"WAV_Play"}},
      {2, "C:\\m\\awav", {"WAV_Play"}},
      {2, "C:\\m\\a.mid", {}},
      {2, "", {}},
      {3, "C:\\m\\a.wav", {}},
  };
  for (const Case& c : cases) {
    FakeRuntime fresh;
    FakeMusic player(fresh.log);
    SaverRunForm f(fresh, player);
    BGM_Kind = static_cast<int16_t>(c.kind);
    BGM_File = c.file;
    f.Load();
    Log expected{"hidden form Veloran_Main", "write C:\\qorin\\Veloran1.bmp", "write C:\\qorin\\Veloran2.bmp",
                 "start C:\\Saver\\Veloran.dll"};
    expected.insert(expected.end(), c.music.begin(), c.music.end());
    EXPECT_EQ(fresh.log, expected) << "kind " << c.kind << " file " << c.file;
  }
}

TEST_F(SaverRunTest, CdPollingStopsForGoodWhenCdOkTurnsFalseAndThenNoClose) {
  BGM_Kind = 1;
  Load();
  rt.timers[200]->tick();
  rt.timers[200]->tick();
  music.cd_ok = false;
  rt.timers[200]->tick();
  EXPECT_FALSE(form.Timer2().Enabled());
  EXPECT_EQ(rt.log, (Log{"CD_Poll", "CD_Poll", "CD_Poll", "Timer2 off"}));
  rt.log.clear();
  form.QueryUnload();
  EXPECT_EQ(rt.log, (Log{"cursor show", "end"}));
}

TEST_F(SaverRunTest, CdStillPollingIsClosedAtTheEnd) {
  BGM_Kind = 1;
  Load();
  rt.timers[200]->tick();
  rt.log.clear();
  form.QueryUnload();
  EXPECT_EQ(rt.log, (Log{"Timer2 off", "CD_Close", "cursor show", "end"}));
}

TEST_F(SaverRunTest, Mp3IsRepeatedAndClosedAfterItsTimerStops) {
  BGM_Kind = 2;
  BGM_File = "C:\\m\\song.mp3";
  Load();
  rt.timers[1000]->tick();
  form.QueryUnload();
  EXPECT_EQ(rt.log, (Log{"MP3_Repeat", "Timer1 off", "MP3_Close", "cursor show", "end"}));
}

TEST_F(SaverRunTest, WavIsStoppedAtTheEnd) {
  BGM_Kind = 2;
  BGM_File = "C:\\m\\loop.wav";
  Load();
  form.QueryUnload();
  EXPECT_EQ(rt.log, (Log{"WAV_Stop", "cursor show", "end"}));
}

TEST_F(SaverRunTest, CursorIsShownAgainOnlyForSlashS) {
  for (const char* cmd : {"/s", "-S", "", "s"}) {
    FakeRuntime fresh;
    FakeMusic player(fresh.log);
    SaverRunForm f(fresh, player);
    fresh.command_line = cmd;
    f.Load();
    fresh.cursor = -1;
    f.QueryUnload();
    const bool shown = std::string(cmd).size() >= 2;
    EXPECT_EQ(fresh.log.back(), "end");
    EXPECT_EQ(fresh.log[fresh.log.size() - 2] == "cursor show", shown) << cmd;
    if (shown) {
      EXPECT_EQ(Cursor_Count, 0);
    }
  }
}

TEST_F(SaverRunTest, WatchEndsTheRunOnlyWhenTheRendererWindowIsGone) {
  rt.windows.insert("Veloran_VC");
  Load();
  rt.timers[500]->tick();
  rt.timers[500]->tick();
  EXPECT_EQ(rt.log, (Log{"find Veloran_VC", "find Veloran_VC"}));
  EXPECT_FALSE(rt.ended);
  rt.windows.erase("Veloran_VC");
  rt.timers[500]->tick();
  EXPECT_EQ(rt.log, (Log{"find Veloran_VC", "find Veloran_VC", "find Veloran_VC", "Timer3 off",
                         "cursor show", "end"}));
}

TEST_F(SaverRunTest, UnloadRequestFromTheSystemRunsTheShutdown) {
  BGM_Kind = 2;
  BGM_File = "x.wav";
  Load();
  rt.unload_request();
  EXPECT_EQ(rt.log, (Log{"WAV_Stop", "cursor show", "end"}));
}

}  // namespace

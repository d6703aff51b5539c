// The saver run's start, watch and shutdown sequences against a fake runtime and player.
#include <gtest/gtest.h>

#include <algorithm>

#include "assets.h"
#include "fake_runtime.h"
#include "saver_run.h"
#include "settings.h"

namespace {

const Log kStart{"hidden form Veloran_Main", "write C:\\qorin\\Veloran1.bmp", "write C:\\qorin\\Veloran2.bmp",
                 "start C:\\Saver\\Veloran.dll"};

// One run of the form over its own fake runtime, music choice and mode.
struct SaverRun {
  explicit SaverRun(int kind = 0, const char* file = "", const char* mode = "S", DaemonRun daemon = {})
      : settings{static_cast<int16_t>(kind), 0, file, ""}, form(rt, music, settings, mode, cursor, daemon) {
    rt.windows.insert("Veloran_VC");
  }
  // Loads the form and keeps only what happens after the start in the log.
  void Load() {
    form.Load();
    rt.log.clear();
  }
  void Tick(unsigned interval_ms) { rt.timers[interval_ms]->tick(); }

  FakeRuntime rt;
  FakeMusic music{rt.log};
  MusicSettings settings;
  std::int32_t cursor = 0;
  SaverRunForm form;
};

TEST(SaverRunForm, StartWritesBothTexturesThenStartsTheRenderer) {
  SaverRun run;
  run.form.Load();
  EXPECT_EQ(run.rt.log, kStart);
  EXPECT_EQ(run.rt.files["C:\\qorin\\Veloran1.bmp"], std::string(RingTextureBmp()));
  EXPECT_EQ(run.rt.files["C:\\qorin\\Veloran2.bmp"], std::string(StarTextureBmp()));
  EXPECT_EQ(run.form.RendererTask(), 4242);
  EXPECT_TRUE(run.form.Timer3().Enabled());
  EXPECT_FALSE(run.form.Timer1().Enabled());
  EXPECT_FALSE(run.form.Timer2().Enabled());
}

// What the music does after the renderer start, and at the end of the run; the cursor
// is shown again at the end of a /s run only.
TEST(SaverRunForm, MusicByKindAndEndingAtStartAndShutdown) {
  struct Case {
    int kind;
    const char* file;
    Log start;     // what follows the renderer start
    Log shutdown;  // the unload's steps before the cursor and the end
    std::string mode = "S";
    bool by_system = false;  // the unload is the system's request
  };
  const Case cases[] = {
      {0, "C:\\m\\a.mp3", {}, {}},
      {1, "", {"CD_Open", "Timer2 on"}, {"Timer2 off", "CD_Close"}},
      {2, "C:\\m\\a.Mp3", {"MP3_Open", "Timer1 on"}, {"Timer1 off", "MP3_Close"}},
      {2, "C:\\m\\a.WAV", {"WAV_Play"}, {"WAV_Stop"}},
      {2, "C:\\m\\awav", {"WAV_Play"}, {"WAV_Stop"}},
      {2, "C:\\m\\a.mid", {}, {}},
      {2, "", {}, {}},
      {3, "C:\\m\\a.wav", {}, {}},
      {0, "", {}, {}, ""},
      {0, "", {}, {}, "P"},
      {2, "x.wav", {"WAV_Play"}, {"WAV_Stop"}, "S", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("kind " + std::to_string(c.kind) + " file " + c.file + " mode " + c.mode);
    SaverRun run(c.kind, c.file, c.mode.c_str());
    run.form.Load();
    Log expected = kStart;
    expected.insert(expected.end(), c.start.begin(), c.start.end());
    EXPECT_EQ(run.rt.log, expected);
    run.rt.log.clear();
    run.rt.cursor = -1;
    run.cursor = 7;
    c.by_system ? run.rt.unload_request() : run.form.QueryUnload();
    expected = c.shutdown;
    if (c.mode == "S") expected.push_back("cursor show");
    expected.push_back("end");
    EXPECT_EQ(run.rt.log, expected);
    EXPECT_EQ(run.cursor, c.mode == "S" ? 0 : 7);
  }
}

TEST(SaverRunForm, CdPollingStopsForGoodWhenCdOkTurnsFalseAndThenNoClose) {
  SaverRun run(1);
  run.Load();
  run.Tick(200);
  run.Tick(200);
  run.music.cd_ok = false;
  run.Tick(200);
  EXPECT_FALSE(run.form.Timer2().Enabled());
  EXPECT_EQ(run.rt.log, (Log{"CD_Poll", "CD_Poll", "CD_Poll", "Timer2 off"}));
  run.rt.log.clear();
  run.form.QueryUnload();
  EXPECT_EQ(run.rt.log, (Log{"cursor show", "end"}));
}

TEST(SaverRunForm, Mp3IsRepeatedEverySecond) {
  SaverRun run(2, "C:\\m\\song.mp3");
  run.Load();
  run.Tick(1000);
  run.Tick(1000);
  EXPECT_EQ(run.rt.log, (Log{"MP3_Repeat", "MP3_Repeat"}));
}

TEST(SaverRunForm, WatchEndsTheRunOnlyWhenTheRendererWindowIsGone) {
  SaverRun run;
  run.Load();
  run.Tick(500);
  run.Tick(500);
  EXPECT_EQ(run.rt.log, (Log{"find Veloran_VC", "find Veloran_VC"}));
  EXPECT_FALSE(run.rt.ended);
  run.rt.windows.erase("Veloran_VC");
  run.Tick(500);
  EXPECT_EQ(run.rt.log, (Log{"find Veloran_VC", "find Veloran_VC", "find Veloran_VC", "Timer3 off",
                             "cursor show", "end"}));
}

// A renderer still switching the display has no window yet: the watch waits while its
// process lives, up to the start limit; once the window was seen, its going ends the run.
TEST(SaverRunForm, WatchWaitsForALateRendererWindow) {
  struct Case {
    const char* what;
    bool started;            // the renderer process could be started
    bool exits;              // it ends before its window ever comes
    std::int64_t window_ms;  // when its window appears (-1: never)
    std::int64_t end_ms;     // when the run is expected to end
  };
  const Case cases[] = {
      {"window after 1.5 s, closed at 4 s", true, false, 1500, 4000},
      {"window never comes", true, false, -1, kRendererStartLimitMs},
      {"renderer exits at 2 s without a window", true, true, -1, 2000},
      {"renderer could not be started", false, false, -1, 500},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SaverRun run;
    run.rt.windows.clear();
    run.Load();
    if (!c.started) run.rt.running.clear();
    std::int64_t ended_at = -1;
    for (std::int64_t t = 500; t <= kRendererStartLimitMs + 1000 && ended_at < 0; t += 500) {
      run.rt.now_ms = t;
      if (c.window_ms >= 0 && t >= c.window_ms) run.rt.windows.insert("Veloran_VC");
      if (c.window_ms >= 0 && t >= 4000) run.rt.windows.clear();  // closed by the user
      if (c.exits && t >= 2000) run.rt.running.clear();
      run.Tick(500);
      if (run.rt.ended) ended_at = t;
    }
    EXPECT_EQ(ended_at, c.end_ms);
  }
}

// Started by a desktop daemon, the run follows the renderer's process (it has no
// window of its own) and ends the renderer at its unload, with the music.
TEST(SaverRunForm, DaemonRunFollowsTheRendererProcessAndEndsIt) {
  struct Case {
    const char* what;
    bool renderer_exits;  // the renderer ends by itself (its window was destroyed)
    bool unload_request;  // the daemon's SIGTERM
    bool renderer_ended;  // the run ended the renderer
  };
  const Case cases[] = {
      {"renderer ends with the daemon's window", true, false, false},
      {"daemon ends the host", false, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SaverRun run(2, "x.wav", "R", DaemonRun{true, 0x400008});
    run.rt.windows.clear();
    run.form.Load();
    EXPECT_TRUE(std::count(run.rt.log.begin(), run.rt.log.end(), "start C:\\Saver\\Veloran.dll in 4194312"));
    // No renderer window ever appears: the watch keeps the run while the process lives.
    for (int i = 0; i < 100; ++i) {
      run.rt.now_ms += 500;
      run.Tick(500);
    }
    EXPECT_FALSE(run.rt.ended);
    if (c.renderer_exits) {
      run.rt.running.clear();
      run.Tick(500);
    }
    if (c.unload_request) run.rt.unload_request();
    EXPECT_TRUE(run.rt.ended);
    EXPECT_TRUE(std::count(run.rt.log.begin(), run.rt.log.end(), "WAV_Stop"));
    EXPECT_EQ(std::count(run.rt.log.begin(), run.rt.log.end(), "end task 4242"), c.renderer_ended ? 1 : 0);
    EXPECT_TRUE(run.rt.running.empty());
    EXPECT_EQ(run.cursor, 0);
  }
}

}  // namespace

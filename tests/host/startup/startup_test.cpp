// Start-up: the guard, the mode table and the renderer check, against a fake runtime.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "daemon_mode.h"
#include "fake_runtime.h"
#include "startup.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

bool Has(const Log& log, const std::string& entry) {
  return std::find(log.begin(), log.end(), entry) != log.end();
}

// A program folder on disk, with or without the renderer beside the host.
class StartupTest : public ::testing::Test {
 protected:
  void PutRenderer() { std::ofstream(folder_ / "Veloran.dll") << "x"; }

  // Main with a fresh host state and a silent player, from the program folder with
  // this command line.
  HostState RunMain(FakeRuntime& runtime, const std::string& cmd) {
    runtime.program_folder = folder_.string();
    runtime.command_line = cmd;
    HostState host;
    FakeMusic music(runtime.log);
    Main(runtime, music, host);
    return host;
  }

  FakeRuntime rt;
  const TempFolder folder_{"veloran_startup"};
};

TEST_F(StartupTest, ModeLetterIsTheSecondCharacterUpperCased) {
  const std::pair<const char*, const char*> cases[] = {
      {"/s", "S"}, {"-S", "S"}, {"xs", "S"}, {"/p 1234", "P"}, {"/c:99", "C"}, {"s", ""}, {"", ""}};
  for (const auto& [cmd, letter] : cases) EXPECT_EQ(ModeLetter(cmd), letter) << cmd;
}

TEST_F(StartupTest, GuardEndsAtOnceAndAlwaysMakesBothSearches) {
  for (const char* title : {"Veloran_Main", "<Veloran>"}) {
    for (const char* cmd : {"/s", "/c", "/p 1234", ""}) {
      FakeRuntime fresh;
      fresh.windows.insert(title);
      RunMain(fresh, cmd);
      EXPECT_EQ(fresh.log, (Log{"find Veloran_Main", "find <Veloran>", "end"})) << title << " / " << cmd;
    }
  }
  // The preview form's caption is not looked for.
  PutRenderer();
  rt.windows.insert("Preview Window");
  RunMain(rt, "/s");
  EXPECT_FALSE(rt.ended);
}

TEST_F(StartupTest, PreviewNeedsNoRendererFolderOrSettings) {
  rt.rects[1234] = ScreenRect{10, 20, 162, 132};
  const HostState host = RunMain(rt, "/p 1234");
  EXPECT_EQ(host.mode, "P");
  EXPECT_FALSE(Has(rt.log, "mkdir C:\\qorin"));
  EXPECT_FALSE(Has(rt.log, "message"));
  EXPECT_FALSE(rt.ended);
  EXPECT_TRUE(Has(rt.log, "preview form Preview Window"));
  EXPECT_TRUE(Has(rt.log, "show"));
}

// Without the renderer every mode but the preview gives the message and ends.
TEST_F(StartupTest, ModeTableWithTheRendererPresentOrMissing) {
  struct Case {
    const char* cmd;
    bool run;  // the saver-run form is loaded
    bool cursor_hidden;
  };
  for (const Case& c : {Case{"/s", true, true}, Case{"/S", true, true}, Case{"-s", true, true},
                        Case{"", true, false}, Case{"/c", false, false}, Case{"/c:1234", false, false},
                        Case{"s", false, false}, Case{"/x", false, false}, Case{"/a", false, false}}) {
    SCOPED_TRACE(std::string("command line: '") + c.cmd + "'");
    FakeRuntime missing;
    RunMain(missing, c.cmd);
    EXPECT_EQ(missing.log, (Log{"find Veloran_Main", "find <Veloran>", "mkdir C:\\qorin", "message", "end"}));
    EXPECT_EQ(missing.last_message, "Veloran.dll が同じﾌｫﾙﾀﾞに見つかりません！");

    PutRenderer();
    FakeRuntime fresh;
    const HostState host = RunMain(fresh, c.cmd);
    fs::remove(folder_ / "Veloran.dll");
    EXPECT_TRUE(Has(fresh.log, "mkdir C:\\qorin"));
    EXPECT_FALSE(Has(fresh.log, "message"));
    EXPECT_EQ(fresh.ended, !c.run);
    EXPECT_EQ(Has(fresh.log, "hidden form Veloran_Main"), c.run);
    EXPECT_EQ(Has(fresh.log, "cursor hide"), c.cursor_hidden);
    // Configuration shows the dialog, modally: the program ends once it has closed.
    const bool configure = std::string(c.cmd).rfind("/c", 0) == 0;
    EXPECT_EQ(Has(fresh.log, "settings dialog"), configure);
    if (configure) {
      EXPECT_EQ(fresh.log.back(), "end");
    }
    EXPECT_EQ(host.Cursor_Count, c.cursor_hidden ? -1 : 0);
    EXPECT_EQ(host.saver_run != nullptr, c.run);
    if (c.run) {
      // The cursor is hidden before the form loads, and the renderer starts from the
      // host's folder.
      const auto hide = std::find(fresh.log.begin(), fresh.log.end(), "cursor hide");
      const auto form = std::find(fresh.log.begin(), fresh.log.end(), "hidden form Veloran_Main");
      if (c.cursor_hidden) {
        EXPECT_LT(hide, form);
      }
      EXPECT_TRUE(Has(fresh.log, "start " + folder_.string() + "\\Veloran.dll"));
    }
  }
}

// How a desktop daemon's start is told from the others: its switches, its window in
// the environment, and the platform (Windows has no such daemons).
TEST(DaemonMode, DecidedFromSwitchesEnvironmentAndPlatform) {
  struct Case {
    const char* cmd;
    const char* env;  // XSCREENSAVER_WINDOW
    bool platform;    // the platform has daemons
    bool on;
    WindowHandle window;
  };
  const Case cases[] = {
      {"--root", "0x400008", true, true, 0x400008},  // how the daemon runs "veloran -root"
      {"-root", "4194312", true, true, 4194312},
      {"-root", "", true, true, 0},            // by hand: the root window
      {"", "0x400008", true, true, 0x400008},  // a daemon's program without switches
      {"-window-id 1234", "", true, true, 1234},
      {"-window-id 0x4d2", "0x99", true, true, 1234},  // the switch wins
      {"-root -window-id 77", "", true, true, 77},
      // Not a window: the variable is ignored, a bad switch is not the daemon's.
      {"-root", "0", true, true, 0},
      {"-root", "0x100000000", true, true, 0},
      {"", "0x", true, false, 0},
      {"", "", true, false, 0},
      {"-window-id", "", true, false, 0},
      {"-window-id 0", "", true, false, 0},
      {"-window-id 0xzz", "0x400008", true, false, 0},
      // The screen-saver switches keep their meaning, whatever the environment says.
      {"/s", "0x400008", true, false, 0},
      {"/p 1234", "0x400008", true, false, 0},
      {"-root /s", "", true, false, 0},
      {"-rootx", "", true, false, 0},
      // No daemons on this platform: nothing is the daemon's.
      {"--root", "0x400008", false, false, 0},
      {"", "0x400008", false, false, 0},
  };
  for (const Case& c : cases) {
    const DaemonRun run = DecideDaemonRun(c.cmd, c.platform, c.env);
    EXPECT_EQ(run.on, c.on) << "'" << c.cmd << "' env '" << c.env << "' platform " << c.platform;
    EXPECT_EQ(run.window, c.window) << "'" << c.cmd << "' env '" << c.env << "'";
  }
}

// A daemon's start runs the saver in its window: settings, textures, renderer and
// music as for /s, the cursor left alone, and beside another run or an open dialog.
TEST_F(StartupTest, DaemonStartRunsTheSaverInTheDaemonsWindow) {
  PutRenderer();
  struct Case {
    const char* cmd;
    const char* env;
    bool has_daemons;
    const char* other;  // another instance's window, or ""
    const char* start;  // the renderer start, or "" when the program ends
  };
  const std::string dll = folder_.string() + "\\Veloran.dll";
  const Case cases[] = {
      {"--root", "0x400008", true, "", " in 4194312"},
      {"-root", "", true, "", " in 0"},
      {"-window-id 99", "", true, "Veloran_Main", " in 99"},
      {"", "77", true, "<Veloran>", " in 77"},
      {"--root", "0x400008", false, "", ""},  // Windows: an unknown switch ends the program
      {"", "0x400008", false, "", "."},       // Windows: the plain run, full screen
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("command line '") + c.cmd + "' env '" + c.env + "'");
    FakeRuntime fresh;
    fresh.daemon_variable = c.env;
    fresh.has_daemons = c.has_daemons;
    if (*c.other) fresh.windows.insert(c.other);
    RunMain(fresh, c.cmd);
    const std::string start = c.start;
    EXPECT_EQ(fresh.ended, start.empty());
    EXPECT_FALSE(Has(fresh.log, "cursor hide"));
    if (start.empty()) continue;
    EXPECT_TRUE(Has(fresh.log, "hidden form Veloran_Main"));
    EXPECT_TRUE(Has(fresh.log, "write C:\\qorin\\Veloran1.bmp"));
    EXPECT_TRUE(Has(fresh.log, "start " + dll + (start == "." ? "" : start)));
  }
}

}  // namespace

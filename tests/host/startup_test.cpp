// Start-up: the guard, the mode table and the renderer check, against a fake runtime.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "fake_runtime.h"
#include "startup.h"
#include "zoom.h"

namespace {

namespace fs = std::filesystem;

bool Has(const Log& log, const std::string& entry) {
  return std::find(log.begin(), log.end(), entry) != log.end();
}

// A program folder on disk, with or without the renderer beside the host.
class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("veloran_startup_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder_);
    rt.program_folder = folder_.string();
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  void PutRenderer() { std::ofstream(folder_ / "Veloran.dll") << "x"; }

  // Main with a fresh host state and a silent player.
  static HostState RunMain(FakeRuntime& runtime) {
    HostState host;
    FakeMusic music(runtime.log);
    Main(runtime, music, host);
    return host;
  }

  FakeRuntime rt;
  fs::path folder_;
};

TEST_F(StartupTest, ModeLetterIsTheSecondCharacterUpperCased) {
  EXPECT_EQ(ModeLetter("/s"), "S");
  EXPECT_EQ(ModeLetter("-S"), "S");
  EXPECT_EQ(ModeLetter("xs"), "S");
  EXPECT_EQ(ModeLetter("/p 1234"), "P");
  EXPECT_EQ(ModeLetter("/c:99"), "C");
  EXPECT_EQ(ModeLetter("s"), "");
  EXPECT_EQ(ModeLetter(""), "");
}

TEST_F(StartupTest, GuardEndsAtOnceAndAlwaysMakesBothSearches) {
  for (const char* title : {"Veloran_Main", "<Veloran>"}) {
    for (const char* cmd : {"/s", "/c", "/p 1234", ""}) {
      FakeRuntime fresh;
      fresh.program_folder = folder_.string();
      fresh.windows.insert(title);
      fresh.command_line = cmd;
      RunMain(fresh);
      EXPECT_EQ(fresh.log, (Log{"find Veloran_Main", "find <Veloran>", "end"})) << title << " / " << cmd;
    }
  }
  // The preview form's caption is not looked for.
  PutRenderer();
  rt.windows.insert("Preview Window");
  rt.command_line = "/s";
  RunMain(rt);
  EXPECT_FALSE(rt.ended);
}

TEST_F(StartupTest, RendererMissingGivesTheMessageInEveryModeButPreview) {
  for (const char* cmd : {"/s", "/S", "/c", "/c:1234", "", "/x", "s"}) {
    FakeRuntime fresh;
    fresh.program_folder = folder_.string();
    fresh.command_line = cmd;
    RunMain(fresh);
    EXPECT_EQ(fresh.log, (Log{"find Veloran_Main", "find <Veloran>", "mkdir C:\\qorin", "message", "end"}))
        << "command line: '" << cmd << "'";
    EXPECT_EQ(fresh.last_message, "Veloran.dll が同じﾌｫﾙﾀﾞに見つかりません！");
  }
}

TEST_F(StartupTest, PreviewNeedsNoRendererFolderOrSettings) {
  rt.command_line = "/p 1234";
  rt.rects[1234] = ScreenRect{10, 20, 162, 132};
  const HostState host = RunMain(rt);
  EXPECT_EQ(host.mode, "P");
  EXPECT_FALSE(Has(rt.log, "mkdir C:\\qorin"));
  EXPECT_FALSE(Has(rt.log, "message"));
  EXPECT_FALSE(rt.ended);
  EXPECT_TRUE(Has(rt.log, "preview form Preview Window"));
  EXPECT_TRUE(Has(rt.log, "show"));
}

TEST_F(StartupTest, ModeTableWithTheRendererPresent) {
  PutRenderer();
  struct Case {
    const char* cmd;
    bool run;          // the saver-run form is loaded
    bool cursor_hidden;
  };
  for (const Case& c : {Case{"/s", true, true}, Case{"/S", true, true}, Case{"-s", true, true},
                        Case{"", true, false}, Case{"/c", false, false}, Case{"/c:1234", false, false},
                        Case{"s", false, false}, Case{"/x", false, false}, Case{"/a", false, false}}) {
    FakeRuntime fresh;
    fresh.program_folder = folder_.string();
    fresh.command_line = c.cmd;
    const HostState host = RunMain(fresh);
    SCOPED_TRACE(std::string("command line: '") + c.cmd + "'");
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

TEST_F(StartupTest, ZoomRunsBetweenThePointAndTheWindow) {
  const ZoomPoint point{300, 200};
  rt.rects[5] = ScreenRect{100, 50, 500, 350};
  ZoomOpen(rt, point, 5);
  ZoomClose(rt, point, 5);
  EXPECT_EQ(rt.log, (Log{"zoom 300,200,300,200 -> 100,50,500,350", "zoom 100,50,500,350 -> 300,200,300,200"}));
}

}  // namespace

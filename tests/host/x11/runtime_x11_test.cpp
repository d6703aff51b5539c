// The Linux runtime's files, folders and processes (no display needed).
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "runtime_x11.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

class X11RuntimeFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_DATA_HOME", (base_ / "data").c_str(), 1);
    unsetenv("DISPLAY");
  }
  const TempFolder base_{"veloran_rt"};
  char arg0_[8] = "scr";
  char* argv_[2] = {arg0_, nullptr};
};

TEST_F(X11RuntimeFiles, WorkFolderLandsInAPrivateDriveFolder) {
  X11Runtime rt(1, argv_);
  EXPECT_TRUE(rt.CreateFolder("C:\\qorin"));
  EXPECT_TRUE(fs::is_directory(base_ / "data/veloran/drives/c/qorin"));
  for (const char* p : {"data", "data/veloran", "data/veloran/drives", "data/veloran/drives/c"})
    EXPECT_EQ(fs::status(base_ / p).permissions() & fs::perms::all, fs::perms::owner_all) << p;
  EXPECT_FALSE(rt.CreateFolder("C:\\qorin"));            // already there
  EXPECT_FALSE(rt.CreateFolder("C:\\missing\\deeper"));  // one level only
}

TEST_F(X11RuntimeFiles, FileIsReplacedWholeAndNoTemporaryIsLeft) {
  X11Runtime rt(1, argv_);
  rt.CreateFolder("C:\\qorin");
  const fs::path target = base_ / "data/veloran/drives/c/qorin/Veloran1.bmp";
  std::ofstream(target) << "an older, longer picture file";
  const std::string bytes("BM\0\x01\x02 new", 9);
  EXPECT_TRUE(rt.WriteFileReplacing("C:\\qorin\\Veloran1.bmp", bytes));
  EXPECT_EQ(ReadBytes(target), bytes);
  EXPECT_EQ(std::distance(fs::directory_iterator(target.parent_path()), fs::directory_iterator()), 1);
  // A folder that does not exist: nothing written, failure reported.
  EXPECT_FALSE(rt.WriteFileReplacing("C:\\nowhere\\Veloran2.bmp", bytes));
}

TEST_F(X11RuntimeFiles, ProgramsStartWithoutWaitingAndAreWatchedUntilTheyEnd) {
  X11Runtime rt(1, argv_);
  EXPECT_EQ(rt.StartProgram((base_ / "Veloran.dll").string()), 0);
  EXPECT_FALSE(rt.ProgramRunning(0));
  const fs::path slow = base_ / "slow";
  std::ofstream(slow) << "#!/bin/sh\nexec sleep 30\n";
  fs::permissions(slow, fs::perms::owner_all);
  const std::int32_t task = rt.StartProgram(slow.string());
  ASSERT_GT(task, 0);
  EXPECT_TRUE(rt.ProgramRunning(task));
  kill(task, SIGKILL);
  const std::int64_t limit = rt.Milliseconds() + 10000;
  while (rt.ProgramRunning(task) && rt.Milliseconds() < limit) usleep(10000);
  EXPECT_FALSE(rt.ProgramRunning(task));
  EXPECT_EQ(rt.FindTopWindow("Veloran_VC"), 0u);  // no display: nothing found
}

TEST_F(X11RuntimeFiles, CommandLineIsTheArgumentsJoinedByBlanks) {
  char a[] = "scr", b[] = "/p", c[] = "1234";
  char* argv[] = {a, b, c, nullptr};
  X11Runtime rt(3, argv);
  EXPECT_EQ(rt.CommandLine(), "/p 1234");
  EXPECT_EQ(rt.ShowCursor(false), -1);
  EXPECT_EQ(rt.ShowCursor(true), 0);
}

}  // namespace

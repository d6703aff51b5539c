// The libcdio disc reader over CD images written here: the table of contents, the
// sectors' sound, discs that cannot play, and the choice of drive.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

#include "cdio_disc.h"

namespace {

const std::string kDir = [] {
  const char* tmp = std::getenv("TMPDIR");
  return std::string(tmp && *tmp ? tmp : "/tmp") + "/veloran_cdio_test_" + std::to_string(getpid());
}();

// Writes NAME.bin holding `sectors` sectors, each filled with the byte (its index mod
// 251), and NAME.cue with the given track lines.
std::string WriteImage(const std::string& name, int sectors, const std::string& tracks) {
  std::system(("mkdir -p " + kDir).c_str());
  std::ofstream bin(kDir + "/" + name + ".bin", std::ios::binary);
  for (int s = 0; s < sectors; ++s) bin << std::string(CdioDisc::kSectorBytes, static_cast<char>(s % 251));
  std::ofstream cue(kDir + "/" + name + ".cue");
  cue << "FILE \"" << name << ".bin\" BINARY\n" << tracks;
  return kDir + "/" + name + ".cue";
}

CdDrive::Disc Settled(CdioDisc& disc) {
  for (int i = 0; i < 500 && disc.State() == CdDrive::Disc::kPending; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return disc.State();
}

TEST(CdioDisc, ReadsImagesAndTheirSectors) {
  const std::string audio3 =
      "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    INDEX 01 00:04:00\n"
      "  TRACK 03 AUDIO\n    INDEX 01 00:08:00\n";
  const std::string mixed =
      "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n  TRACK 02 MODE1/2352\n    INDEX 01 00:02:00\n";
  const std::string data = "  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n";
  const struct {
    const char* what;
    const char* image;
    int sectors;
    std::string tracks;
    CdDrive::Disc state;
    std::vector<DiscTrack> expected;
    // clang-format off
  } cases[] = {
      {"three audio tracks", "three", 900, audio3, CdDrive::Disc::kReady,
       {{1, 0, 300, true}, {2, 300, 300, true}, {3, 600, 300, true}}},
      {"sound, then data", "mixed", 300, mixed, CdDrive::Disc::kReady, {{1, 0, 150, true}, {2, 150, 150, false}}},
      {"data only", "data", 300, data, CdDrive::Disc::kUnusable, {}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CdioDisc disc(WriteImage(c.image, c.sectors, c.tracks));
    ASSERT_EQ(Settled(disc), c.state);
    const std::vector<DiscTrack> tracks = disc.Tracks();
    ASSERT_EQ(tracks.size(), c.expected.size());
    for (std::size_t i = 0; i < tracks.size(); ++i) {
      EXPECT_EQ(tracks[i].number, c.expected[i].number);
      EXPECT_EQ(tracks[i].start, c.expected[i].start);
      EXPECT_EQ(tracks[i].length, c.expected[i].length);
      EXPECT_EQ(tracks[i].audio, c.expected[i].audio);
    }
    // The sectors asked, each filled with its own index.
    if (c.state != CdDrive::Disc::kReady) continue;
    std::vector<unsigned char> buffer(3 * CdioDisc::kSectorBytes);
    ASSERT_TRUE(disc.Read(100, 3, buffer.data()));
    EXPECT_EQ(buffer.front(), 100);
    EXPECT_EQ(buffer.back(), 102);
  }
}

TEST(CdioDisc, ChoosesTheDriveNamed) {
  const std::string image = WriteImage("named", 75, "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
  setenv("VELORAN_CD_DEVICE", image.c_str(), 1);
  EXPECT_EQ(CdioDisc::DevicePath(), image);
  setenv("VELORAN_CD_DEVICE", (kDir + "/none.cue").c_str(), 1);  // a drive that is not there
  EXPECT_EQ(CdioDisc::DevicePath(), "");
  unsetenv("VELORAN_CD_DEVICE");
  // A disc closed while its contents are still being read lets the reader finish alone.
  { CdioDisc closed_early(image); }
  std::system(("rm -rf " + kDir).c_str());
}

}  // namespace

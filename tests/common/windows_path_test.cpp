#include "windows_path.h"

#include <gtest/gtest.h>

namespace {

TEST(MapWindowsPath, DriveLandsInItsOwnFolderWithSlashes) {
  const std::string drives = "/home/u/.local/share/veloran/drives";
  EXPECT_EQ(MapWindowsPath("C:\\qorin\\Veloran1.bmp", drives), drives + "/c/qorin/Veloran1.bmp");
  // Drive letters ignore case, as on Windows: the host's C: and the renderer's c:
  // name the same file.
  EXPECT_EQ(MapWindowsPath("c:\\qorin\\Veloran1.bmp", drives),
            MapWindowsPath("C:\\qorin\\Veloran1.bmp", drives));
  EXPECT_EQ(MapWindowsPath("C:\\qorin", drives), drives + "/c/qorin");
  EXPECT_EQ(MapWindowsPath("D:", drives), drives + "/d");
  EXPECT_EQ(MapWindowsPath("C:qorin", drives), drives + "/c/qorin");
}

TEST(MapWindowsPath, PathsWithoutDriveOnlyChangeSeparators) {
  EXPECT_EQ(MapWindowsPath("qorin\\a.bmp", "/x"), "qorin/a.bmp");
  EXPECT_EQ(MapWindowsPath("/already/native", "/x"), "/already/native");
  EXPECT_EQ(MapWindowsPath("", "/x"), "");
  EXPECT_EQ(MapWindowsPath("1:\\a", "/x"), "1:/a");  // not a drive letter
}

TEST(NativePath, StaysInsideThePerUserDataFolder) {
  // ctest points XDG_DATA_HOME into the build tree.
  const std::string path = NativePath("C:\\qorin\\Veloran2.bmp");
  EXPECT_NE(path.find("qorin"), std::string::npos);
  EXPECT_EQ(path.rfind("Veloran2.bmp"), path.size() - 12);
  EXPECT_EQ(path.compare(0, DriveRoot('C').size(), DriveRoot('C')), 0);
}

}  // namespace

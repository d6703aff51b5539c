// The Linux side of the settings file: where the file lives, how it is replaced on a
// write, and files the profile reader must not trust. (How values are read and
// written is compared with the Windows calls by profile_diff.sh.)
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <iterator>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform_profile.h"
#include "settings.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

class ProfileFiles : public ::testing::Test {
 protected:
  int32_t Put(const fs::path& file, const char* key, const char* value) {
    return PlatformProfile().WriteString("Section", key, value, file.c_str());
  }
  std::string Get(const fs::path& file, const char* key) {
    return GetIni(PlatformProfile(), "Section", key, file.string());
  }

  const TempFolder root_{"veloran-profile"};
};

TEST_F(ProfileFiles, SettingsFileLivesInTheUserConfigFolder) {
  const char* saved_config = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = saved_config ? saved_config : "";
  const char* home = std::getenv("HOME");
  const std::string in_home = std::string(home ? home : ".") + "/.config/veloran/Veloran.ini";

  setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
  EXPECT_EQ(SettingsFile(PlatformProfile(), "/opt/veloran"), "/tmp/cfg/veloran/Veloran.ini");
  setenv("XDG_CONFIG_HOME", "relative/cfg", 1);  // not absolute: ignored
  EXPECT_EQ(SettingsFile(PlatformProfile(), "/opt/veloran"), in_home);
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(SettingsFile(PlatformProfile(), "/opt/veloran"), in_home);

  if (saved_config) setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
}

TEST_F(ProfileFiles, WritingCreatesTheFolderReadingCreatesNothing) {
  const fs::path file = root_ / "config" / "veloran" / "Veloran.ini";
  EXPECT_EQ(Get(file, "k"), "");
  EXPECT_FALSE(fs::exists(root_ / "config"));
  EXPECT_NE(Put(file, "k", "v"), 0);
  EXPECT_EQ(ReadBytes(file), "[Section]\r\nk=v\r\n");
  EXPECT_EQ(fs::status(root_ / "config" / "veloran").permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST_F(ProfileFiles, ReplacesTheFileWhole) {
  const fs::path file = root_ / "Veloran.ini";
  WriteBytes(file, "[Section]\r\nk=old\r\n");
  chmod(file.c_str(), 0640);
  const fs::path link = root_ / "link.ini";
  fs::create_symlink(file, link);

  EXPECT_NE(Put(link, "k", "new"), 0);
  EXPECT_TRUE(fs::is_symlink(link));  // the link still names the file
  EXPECT_EQ(ReadBytes(file), "[Section]\r\nk=new\r\n");
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 2);
}

TEST_F(ProfileFiles, FailedWriteReportsZeroAndKeepsTheOldFile) {
  // The settings path is a folder.
  fs::create_directories(root_ / "dir.ini");
  EXPECT_EQ(Put(root_ / "dir.ini", "k", "v"), 0);
  EXPECT_EQ(Get(root_ / "dir.ini", "k"), "");

  // A read-only file stays as it is.
  WriteBytes(root_ / "ro.ini", "[Section]\r\nk=old\r\n");
  chmod((root_ / "ro.ini").c_str(), 0444);
  EXPECT_EQ(Put(root_ / "ro.ini", "k", "new"), 0);
  EXPECT_EQ(Get(root_ / "ro.ini", "k"), "old");

  // The folder cannot be made: a file stands in its place.
  WriteBytes(root_ / "plain", "x");
  EXPECT_EQ(Put(root_ / "plain" / "Veloran.ini", "k", "v"), 0);
  EXPECT_EQ(ReadBytes(root_ / "plain"), "x");

  // An oversized file is neither read nor replaced.
  const fs::path file = root_ / "huge.ini";
  WriteBytes(file, "[Section]\r\nk=v\r\n");
  fs::resize_file(file, 17u * 1024 * 1024);  // sparse
  EXPECT_EQ(Get(file, "k"), "");
  EXPECT_EQ(Put(file, "k", "w"), 0);
  EXPECT_EQ(fs::file_size(file), 17u * 1024 * 1024);
}

TEST_F(ProfileFiles, NamedPipesDoNotHoldTheProgramUp) {
  const fs::path pipe = root_ / "pipe.mp3";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const auto start = std::chrono::steady_clock::now();
  FileExists(PlatformProfile(), pipe.string());
  EXPECT_EQ(Get(pipe, "k"), "");
  EXPECT_EQ(Put(pipe, "k", "v"), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(ProfileFiles, ValuesAreTheirOwnBytes) {
  // A Linux path in UTF-8 goes in and comes out untouched, its last byte kept even when
  // it is the first byte of a double-byte character (as the last byte of a UTF-8 name
  // may be).
  const fs::path file = root_ / "Veloran.ini";
  for (const char* path :
       {"/home/\xE3\x83\xA6\xE3\x83\xBC\xE3\x82\xB6/\xE6\x9B\xB2 1.mp3", "/music/\xE3\x81\x82"}) {
    EXPECT_NE(Put(file, kKeyFile, path), 0);
    EXPECT_EQ(Get(file, kKeyFile), path);
    EXPECT_EQ(ReadBytes(file), std::string("[Section]\r\n") + kKeyFile + "=" + path + "\r\n");
  }
}

// Where our reader and writer differ from the Windows calls (as Wine has them) on
// purpose: where those lose or garble data, or write a file that reads back otherwise.
TEST_F(ProfileFiles, WritesThatWouldNotReadBackAreRefused) {
  const std::string original = "[Section]\r\nk=1\r\n";
  const struct {
    const char* what;
    const char* section;
    const char* key;
    const char* value;
  } cases[] = {
      {"line feed in the value", "Section", "k", "/music/a\nb.mp3"},
      {"carriage return in the value", "Section", "k", "a\rb"},
      {"line break in the key", "Section", "k\r\n[x]", "1"},
      {"line break in the section", "Sec\ntion", "k", "1"},
      {"key holding =", "Section", "a=b", "1"},
      {"key read as a section header", "Section", "[x]", "1"},
      {"key starting with [", "Section", " [x", "1"},
  };
  const fs::path file = root_ / "Veloran.ini";
  for (const auto& c : cases) {
    WriteBytes(file, original);
    EXPECT_EQ(PlatformProfile().WriteString(c.section, c.key, c.value, file.c_str()), 0) << c.what;
    EXPECT_EQ(ReadBytes(file), original) << c.what;
  }
  // No file is made for a refused write either.
  EXPECT_EQ(Put(root_ / "new.ini", "k", "a\nb"), 0);
  EXPECT_FALSE(fs::exists(root_ / "new.ini"));
}

TEST_F(ProfileFiles, OddBytesReadBackAsWritten) {
  // A first key that starts with the bytes of a byte order mark: an empty line in
  // front keeps it a key, and writing it again adds nothing.
  const fs::path marked = root_ / "marked.ini";
  const char* key = "\xEF\xBB\xBFk";
  for (const char* value : {"v", "v", "w"}) {
    EXPECT_NE(PlatformProfile().WriteString("", key, value, marked.c_str()), 0) << value;
    EXPECT_EQ(GetIni(PlatformProfile(), "", key, marked.string()), value);
  }
  EXPECT_EQ(ReadBytes(marked), "\r\n\xEF\xBB\xBFk=w\r\n");
}

TEST_F(ProfileFiles, NamesEndingInStrayBytesReadBackAndNeverGrowTheFile) {
  // Found by fuzzing: a name whose blanks, once dropped, left the first byte of a
  // double-byte character at its end was written so that it read back as another
  // name (a header's "]" became that character's second byte), and every write
  // appended another copy.
  const struct {
    const char* section;
    const char* key;
  } cases[] = {
      {"ab\x9E ", "k"},             // first byte, then a blank
      {"Section", "\x97\x0B\x97"},  // the same in a key
      {"\x81", "k"},                // a lone first byte: the lines before any section
      {"Sec\x81", "k\x81"},
      {"Sec \x81 ", " k \x81"},
  };
  int n = 0;
  for (const auto& c : cases) {
    const fs::path file = root_ / ("grow" + std::to_string(n++) + ".ini");
    uintmax_t size = 0;
    for (const char* value : {"v", "w", "w", "w"}) {
      EXPECT_NE(PlatformProfile().WriteString(c.section, c.key, value, file.c_str()), 0) << c.section;
      EXPECT_EQ(GetIni(PlatformProfile(), c.section, c.key, file.string()), value) << c.section;
      if (value[0] != 'w') continue;
      if (size != 0) {
        EXPECT_EQ(fs::file_size(file), size) << c.section;
      }
      size = fs::file_size(file);
    }
  }
}

TEST_F(ProfileFiles, LongRunsOfStrayBytesTakeNoTime) {
  // A 4 MiB section name of first bytes each followed by a blank: every step of
  // dropping the blank and then the lone first byte used to look at the whole name.
  const fs::path file = root_ / "Veloran.ini";
  std::string name;
  for (int i = 0; i < (2 << 20); ++i) name += "\x81 ";
  WriteBytes(file, "[" + name + "]\r\nk=1\r\n[Section]\r\nk=2\r\n");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Get(file, "k"), "2");
  EXPECT_NE(Put(file, "k", "3"), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(ProfileFiles, NulEndsANameOrValueLikeALineEnd) {
  // Blanks before the NUL go as they would before a line end.
  const fs::path file = root_ / "Veloran.ini";
  WriteBytes(file, std::string("[Section]\r\nk=ab \0cd\r\nn \0m=2\r\n[Se \0x]\r\nq=1\r\n", 43));
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } reads[] = {{"Section", "k", "ab"}, {"Section", "n", "2"}, {"Se", "q", "1"}};
  for (const auto& r : reads) {
    EXPECT_EQ(GetIni(PlatformProfile(), r.section, r.key, file.string()), r.value) << r.key;
  }
  // Writing what is there changes nothing; the value reads back as written.
  EXPECT_NE(Put(file, "k", "ab "), 0);
  EXPECT_EQ(Get(file, "k"), "ab");
}

}  // namespace

// The settings file as the host uses it: loading the music settings from files of all
// kinds, saving them, the profile helpers, the path helpers and the number rules.
// Runs natively and, in the Windows build, against the real profile calls under Wine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform_profile.h"
#include "settings.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

std::string g_program_folder;

// The real profile file of the platform: our own reader and writer on Linux, the
// Windows calls themselves (under Wine) in the Windows build.
ProfileFile& Profile() { return PlatformProfile(); }

// A native path inside `folder` for a file name.
std::string Join(const fs::path& folder, const std::string& name) { return (folder / name).string(); }

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root_ / "program");
    fs::create_directories(root_ / "music");
    g_program_folder = (root_ / "program").string();
    // On Linux the settings file lives in the per-user config folder; keep it here.
    const std::string config = (root_ / "config").string();
#ifdef _WIN32
    _putenv_s("XDG_CONFIG_HOME", config.c_str());
#else
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
#endif
    settings_ = SettingsFile(Profile(), g_program_folder);
    ASSERT_EQ(settings_.rfind(root_.string(), 0), 0u) << settings_;
    API_Result = 0;
  }
  // A settings file with the three keys under [Section].
  static std::string Lines(const std::string& kind, const std::string& track, const std::string& file) {
    return std::string("[Section]\r\n") + kKeyKind + "=" + kind + "\r\n" + kKeyTrack + "=" + track + "\r\n" +
           kKeyFile + "=" + file + "\r\n";
  }

  std::string MusicFile(const std::string& name) {
    const std::string path = Join(root_ / "music", name);
    WriteBytes(path, "RIFF");
    return path;
  }

  void Load() { m = LoadSettings(Profile(), g_program_folder); }
  bool Save() { return SaveSettings(Profile(), g_program_folder, m); }

  const TempFolder root_{"veloran-settings"};
  std::string settings_;
  MusicSettings m;
};

}  // namespace

TEST_F(SettingsTest, LoadFromFilesOfAllKinds) {
  const std::string music = MusicFile("a b.mp3"), quoted = MusicFile("q.wav");
  const std::string folder = (root_ / "music").string(), gone = Join(folder, "gone.mp3");
  const std::string& program = g_program_folder;
  struct Row {
    std::string text;  // the settings file; empty: there is none
    int16_t kind, track;
    std::string file, folder;
  };
  std::vector<Row> rows = {
      {"", 0, 0, "", program},
      {Lines(" 2", " 3", music), 2, 3, music, folder},
      // Another spelling of the section and keys, a quoted file.
      {"\r\n[section]\r\n  bgm\x8B\xE6\x95\xAA  =  2  \r\nbgm\xCC\xA7\xB2\xD9=\"" + quoted + "\"\r\n", 2, 0,
       quoted, folder},
  };
  // A file choice without its file plays nothing; a CD choice stays whatever the file
  // key says.
  for (const std::string& file : {gone, folder, folder + Profile().Paths().separator, std::string()}) {
    rows.push_back({Lines("2", "0", file), 0, 0, "", program});
    rows.push_back({Lines("1", "4", file), 1, 4, "", program});
  }
  // Stored numbers; kind 2 without a file falls to 0.
  const std::pair<const char*, int> numbers[] = {{"2.9", 2}, {"-0.5", -1}, {"abc", 0},
                                                 {" 2", 2},  {"99999", 0}, {"", 0}};
  for (const auto& [text, value] : numbers)
    rows.push_back({Lines(text, text, ""), static_cast<int16_t>(value == 2 ? 0 : value),
                    static_cast<int16_t>(value), "", program});
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    fs::remove(settings_);
    if (!r.text.empty()) WriteBytes(settings_, r.text);
    m = MusicSettings{7, 7, "x", "y"};  // whatever was there before, loading sets every value
    Load();
    EXPECT_EQ(m.BGM_Kind, r.kind);
    EXPECT_EQ(m.BGM_Track, r.track);
    EXPECT_EQ(m.BGM_File, r.file);
    EXPECT_EQ(m.BGM_Folder, r.folder);
    EXPECT_EQ(fs::exists(settings_), !r.text.empty());  // loading creates nothing
  }
}

TEST_F(SettingsTest, SaveWritesAllThreeKeysInOrderAndLoadsBack) {
  const std::string music = MusicFile("s.mp3");
  m.BGM_Kind = 2;
  m.BGM_Track = -1;
  m.BGM_File = music;
  EXPECT_TRUE(Save());
  EXPECT_NE(API_Result, 0);
  // The profile writer drops the blank that signed decimal text puts before a
  // number of 0 and above.
  EXPECT_EQ(ReadBytes(settings_), Lines("2", "-1", music));

  m = MusicSettings();
  Load();
  EXPECT_EQ(m.BGM_Kind, 2);
  EXPECT_EQ(m.BGM_Track, -1);
  EXPECT_EQ(m.BGM_File, music);

  // Saving again with nothing chosen never leaves the numbers empty.
  m = MusicSettings();
  Save();
  EXPECT_EQ(ReadBytes(settings_), Lines("0", "0", ""));
}

TEST_F(SettingsTest, UnsavableChoiceLeavesTheFileAsItWas) {
  // A Linux file name may hold a line break; written as it is, it would add lines of
  // its own to the file. Then none of the three keys is written: the kind and track
  // alone would make a half-changed file.
  const std::string before = Lines("1", "2", "");
  for (const bool existed : {false, true}) {
    if (existed) WriteBytes(settings_, before);
    for (const char* name : {"a\nb.mp3", "a\rb.mp3", "a.mp3\r\n[Section]"}) {
      m.BGM_Kind = 2;
      m.BGM_Track = 0;
      m.BGM_File = name;
      EXPECT_FALSE(Save()) << name;
      EXPECT_EQ(API_Result, 0) << name;
      if (existed) EXPECT_EQ(ReadBytes(settings_), before) << name;
      else EXPECT_FALSE(fs::exists(settings_)) << name;
    }
  }
}

TEST_F(SettingsTest, GetIniAndPutIni) {
  const std::string file = Join(root_, "t.ini");
  EXPECT_EQ(GetIni(Profile(), "Section", "k", file), "");
  EXPECT_EQ(PutIni(Profile(), "Section", "k", "value", file), "");
  EXPECT_NE(API_Result, 0);
  EXPECT_EQ(GetIni(Profile(), "Section", "k", file), "value");
  EXPECT_EQ(GetIni(Profile(), "Other", "k", file), "");
  EXPECT_EQ(GetIni(Profile(), "Section", "other", file), "");

  // Values come back cut to 255 bytes.
  PutIni(Profile(), "Section", "long", std::string(300, 'x'), file);
  EXPECT_EQ(GetIni(Profile(), "Section", "long", file), std::string(255, 'x'));

  // Names travel in 128-character fixed texts.
  const std::string long_key(200, 'K');
  PutIni(Profile(), "Section", long_key, "cut", file);
  EXPECT_EQ(GetIni(Profile(), "Section", long_key.substr(0, 128), file), "cut");
  EXPECT_EQ(GetIni(Profile(), "Section", long_key, file), "");

  // A write that cannot happen reports 0: the "folder" is a file.
  API_Result = 1;
  PutIni(Profile(), "Section", "k", "v", Join(root_ / "t.ini", "x.ini"));
  EXPECT_EQ(API_Result, 0);
  EXPECT_EQ(GetIni(Profile(), "Section", "k", file), "value");
}

TEST(FileExists, OpensFilesOnly) {
  const TempFolder root("veloran-file-exists");
  fs::create_directories(root / "folder");
  WriteBytes((root / "a.mp3").string(), "x");
  const std::string sep(1, Profile().Paths().separator);
  EXPECT_TRUE(FileExists(Profile(), (root / "a.mp3").string()));
  EXPECT_TRUE(FileExists(Profile(), (root / "a.mp3").string() + sep));  // one trailing separator dropped
  EXPECT_FALSE(FileExists(Profile(), (root / "b.mp3").string()));
  EXPECT_FALSE(FileExists(Profile(), (root / "folder").string()));
  EXPECT_FALSE(FileExists(Profile(), (root / "folder").string() + sep));
  EXPECT_FALSE(FileExists(Profile(), ""));
}

TEST(FolderOf, WindowsAndLinuxPaths) {
  const struct {
    const char* path;
    const PathStyle& style;
    const char* folder;
    // clang-format off
  } cases[] = {
      {"C:\\Music\\a.mp3", kWindowsPaths, "C:\\Music"},  {"C:\\a.mp3", kWindowsPaths, "C:"},
      {"a.mp3", kWindowsPaths, ""},                        {"C:a.mp3", kWindowsPaths, "C:"},
      {"C:\\Music\\", kWindowsPaths, "C:\\Music"},       {"", kWindowsPaths, ""},
      {"\\\\server\\share\\x.wav", kWindowsPaths, "\\\\server\\share"},
      {"/home/u/Music/a.mp3", kLinuxPaths, "/home/u/Music"},
      {"/home/u/a:b.mp3", kLinuxPaths, "/home/u"},  // a colon is a letter
      {"C:a.mp3", kLinuxPaths, ""},                {"a.mp3", kLinuxPaths, ""},
      {"/a.mp3", kLinuxPaths, ""},
  };
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(FolderOf(c.path, c.style), c.folder) << c.path;
}

TEST(IniNumber, Conversion) {
  const struct {
    const char* text;
    int16_t value;
    // clang-format off
  } cases[] = {
      {"2", 2},          {" 2", 2},         {"\t7\t", 7},      {"-1", -1},
      {"2.9", 2},        {"-0.5", -1},      {"-2.5", -3},      {"0.99999", 0},
      {"+3", 3},         {".5", 0},         {"-.5", -1},       {"1.", 1},
      {" 1e2", 100},     {"15E-1", 1},      {"32767", 32767},  {"32767.9", 32767},
      {"-32768", -32768}, {"32768", 0},     {"-32768.5", 0},   {"1e9", 0},
      {"1e999", 0},      {"abc", 0},        {"2abc", 0},       {"&H10", 0},
      {"0x10", 0},       {"1 2", 0},        {"1e", 0},         {"", 0},
      {"   ", 0},        {"-", 0},          {".", 0},          {"inf", 0},
      {"nan", 0},        {"1,5", 0},
  };
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_EQ(IniNumber(c.text), c.value) << '"' << c.text << '"';
  }
  EXPECT_EQ(IniNumber("abc", 5), 5);
  EXPECT_EQ(IniNumber("1e-999", 5), 5);  // too small for a double: not a number
  EXPECT_EQ(IniNumber("3", 5), 3);
}

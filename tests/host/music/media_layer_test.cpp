// The media command layer over a scripted backend: command text in, code and reply
// out, and what the backend was asked to play.
#include <gtest/gtest.h>

#include <cstring>

#include "media_layer.h"

namespace me = media_error;

namespace {

// Three tracks of 300 sectors (4 s); the third holds data when `data_last`.
std::vector<DiscTrack> Disc3(bool data_last = false) {
  return {{1, 0, 300, true}, {2, 300, 300, true}, {3, 600, 300, !data_last}};
}

struct Sound {
  bool output = true;  // the sound server is there
  bool playing = false;
  std::int64_t position = 0;
  CdDrive::Disc disc = CdDrive::Disc::kReady;
  std::vector<DiscTrack> tracks = Disc3();
  std::vector<std::string> asked;  // "play FROM TO", "stop"
};

// A music file or the CD drive: both play, stop and tell where they are in `sound`.
class FakeSound : public MediaStream, public CdDrive {
 public:
  explicit FakeSound(Sound& sound) : s_(sound) {}
  bool Play(std::int64_t from, std::int64_t to) override { return Start(from, to, s_.position); }
  bool Play(std::int32_t from, std::int32_t to) override { return Start(from, to, from); }
  void Stop() override {
    s_.asked.push_back("stop");
    s_.playing = false;
  }
  bool Playing() override { return s_.playing; }
  std::int64_t PositionMs() override { return s_.position; }
  std::int64_t LengthMs() override { return 3000; }
  Disc State() override { return s_.disc; }
  std::vector<DiscTrack> Tracks() override { return s_.tracks; }
  std::int32_t Position() override { return static_cast<std::int32_t>(s_.position); }

 private:
  bool Start(std::int64_t from, std::int64_t to, std::int64_t at) {
    if (!s_.output) return false;
    s_.asked.push_back("play " + std::to_string(from) + " " + std::to_string(to));
    s_.playing = true;
    s_.position = at;
    return true;
  }

  Sound& s_;
};

class FakeBackend : public MediaBackend {
 public:
  std::unique_ptr<MediaStream> OpenFile(const std::string& path, std::uint32_t* error) override {
    if (path.find("missing") != std::string::npos) *error = me::kFileNotFound;
    else if (!sound_output) *error = me::kInternal;
    else return std::make_unique<FakeSound>(sound);
    return nullptr;
  }
  std::unique_ptr<CdDrive> OpenCd(std::uint32_t* error) override {
    if (!drive) {
      *error = me::kCannotLoadDriver;
      return nullptr;
    }
    return std::make_unique<FakeSound>(sound);
  }
  std::uint32_t WaveOutDevices() override { return sound_output ? 1 : 0; }
  bool PlayWaveLoop(const std::string& path) override {
    sound.asked.push_back("wave " + path);
    return true;
  }
  void StopWave() override { sound.asked.push_back("wave off"); }

  bool sound_output = true;
  bool drive = true;
  Sound sound;
};

// One line of a script: a command with the code and reply it must give. A line
// starting with '#' changes the backend instead: "#ready", "#unusable", "#end" (the
// sound ran out), "#at N" (the sound has reached N), "#lost" (the sound server went
// away and the sound with it), "#back" (the server is back).
struct Step {
  Step(const char* c, std::uint32_t expected_code = 0, const char* expected_reply = "")
      : command(c), code(expected_code), reply(expected_reply) {}
  std::string command;
  std::uint32_t code;
  std::string reply;
};

void RunScript(FakeBackend& backend, MediaLayer& layer, const std::vector<Step>& steps) {
  for (const Step& step : steps) {
    if (step.command == "#ready") backend.sound.disc = CdDrive::Disc::kReady;
    else if (step.command == "#unusable") backend.sound.disc = CdDrive::Disc::kUnusable;
    else if (step.command == "#end") backend.sound.playing = false;
    else if (step.command == "#lost") backend.sound.output = backend.sound.playing = false;
    else if (step.command == "#back") backend.sound.output = true;
    else if (step.command.rfind("#at ", 0) == 0) backend.sound.position = std::stoll(step.command.substr(4));
    if (step.command[0] == '#') continue;
    char reply[64];
    std::memset(reply, 'x', sizeof reply);
    EXPECT_EQ(layer.SendString(step.command, reply, sizeof reply), step.code) << step.command;
    EXPECT_EQ(std::string(reply), step.reply) << step.command;
  }
}

TEST(MediaLayer, AnswersScriptedCommands) {
  const struct {
    const char* what;
    std::vector<Step> steps;
    std::vector<std::string> asked;
    CdDrive::Disc disc = CdDrive::Disc::kReady;
    std::vector<DiscTrack> tracks = Disc3();
    bool sound_output = true, drive = true;
    // clang-format off
  } cases[] = {
      {"no CD drive", {{"open cdaudio", me::kCannotLoadDriver}, {"close cdaudio", me::kDeviceNotOpen}}, {},
       CdDrive::Disc::kReady, Disc3(), true, false},
      {"no sound server: a music file",
       {{"open \"/m/a.mp3\" type MPEGVideo alias MP3Play", me::kInternal},
        {"close cdaudio", me::kDeviceNotOpen}},
       {}, CdDrive::Disc::kReady, Disc3(), false, true},
      {"unknown commands, devices, aliases and words",
       {{"", me::kUnrecognizedCommand}, {"   ", me::kUnrecognizedCommand},
        {"eject cdaudio", me::kUnrecognizedCommand}, {"play", 292},
        {"status nothing mode", me::kDeviceNotOpen}, {"play MP3Play", me::kDeviceNotOpen},
        {"close cdaudio", me::kDeviceNotOpen}, {"open \"/m/a b.mp3", me::kNoClosingQuote},
        {"open \"/m/a.mp3\"x type MPEGVideo", me::kExtraCharacters}, {"open /m/a.mp3", me::kDeviceNotOpen},
        {"open /m/a.mp3 type waveaudio", me::kDeviceNotOpen},
        {"open /m/a.mp3 type MPEGVideo alias", me::kMissingParameter},
        {"open cdaudio loudly", me::kUnrecognizedKeyword}, {"open cdaudio"},
        {"OPEN CDAUDIO", me::kDuplicateAlias}, {"status cdaudio", me::kMissingParameter},
        {"status cdaudio volume", me::kUnrecognizedKeyword},
        {"status cdaudio mode now", me::kUnrecognizedKeyword},
        {"set cdaudio door open", me::kUnrecognizedKeyword},
        {"set cdaudio time format", me::kMissingParameter},
        {"set cdaudio time format frames", me::kBadTimeFormat},
        {"play cdaudio sideways", me::kUnrecognizedKeyword}, {"play cdaudio from", me::kMissingParameter},
        {"stop cdaudio now", me::kUnrecognizedKeyword}, {"close cd", me::kDeviceNotOpen}, {"Close CDAudio"},
        {"status cdaudio mode", me::kDeviceNotOpen}},
       {}},
      {"a music file under its alias: plays, ends, restarts from 0",
       {{"open \"/m/a b.mp3\" type MPEGVideo Alias MP3Play"}, {"status MP3Play mode", 0, "stopped"},
        {"play MP3Play"}, {"status mp3play mode", 0, "playing"},
        {"#end"}, {"status MP3Play mode", 0, "stopped"}, {"stop MP3Play"}, {"play MP3Play from 0"},
        {"pause MP3Play"}, {"status MP3Play mode", 0, "paused"}, {"resume MP3Play"},
        {"#at 1500"}, {"status MP3Play position", 0, "1500"}, {"status MP3Play length", 0, "3000"},
        {"play MP3Play from 4000", me::kOutOfRange}, {"play MP3Play from 1:00", me::kBadInteger},
        {"status MP3Play current track", me::kUnsupported},
        {"status MP3Play position track 1", me::kUnsupported},
        {"set MP3Play time format tmsf", me::kBadTimeFormat},
        {"open \"/m/other.mp3\" type MPEGVideo Alias MP3Play", me::kDuplicateAlias}, {"close MP3Play"},
        {"play MP3Play from 0", me::kDeviceNotOpen}},
       {"play -1 -1", "play 0 -1", "stop", "play -1 -1", "stop"}},
      {"a short file's end meets the repeat check before, during and after the restart: "
       "the loop goes on",
       {{"open \"/m/one.mp3\" type MPEGVideo Alias MP3Play"}, {"play MP3Play"},
        // before: the check finds it stopped
        {"#end"}, {"status MP3Play mode", 0, "stopped"}, {"stop MP3Play"}, {"play MP3Play from 0"},
        {"status MP3Play mode", 0, "playing"},
        // during: the end comes between the check and the restart
        {"#end"}, {"stop MP3Play"}, {"play MP3Play from 0"}, {"status MP3Play mode", 0, "playing"},
        // after: the end comes right after a restart the check did not ask for
        {"play MP3Play from 0"},
        {"#end"}, {"status MP3Play mode", 0, "stopped"}, {"stop MP3Play"}, {"play MP3Play from 0"},
        {"status MP3Play mode", 0, "playing"}},
       {"play -1 -1", "play 0 -1", "play 0 -1", "play 0 -1", "play 0 -1", "stop"}},
      {"the sound server goes away during a file and comes back: the device stays open and "
       "the next restart plays",
       {{"open \"/m/a.mp3\" type MPEGVideo Alias MP3Play"}, {"play MP3Play"},
        {"#lost"}, {"status MP3Play mode", 0, "stopped"}, {"stop MP3Play"},
        {"play MP3Play from 0", me::kCannotPlayFile}, {"status MP3Play mode", 0, "stopped"},
        {"play MP3Play from 0", me::kCannotPlayFile},
        {"#back"}, {"status MP3Play mode", 0, "stopped"}, {"play MP3Play from 0"},
        {"status MP3Play mode", 0, "playing"}},
       {"play -1 -1", "play 0 -1", "stop"}},
      {"the sound server goes away during the CD and comes back: the repeated track plays again",
       {{"open cdaudio"}, {"set cdaudio time format tmsf"}, {"play cdaudio from 02:00:00:00"},
        {"#at 420"},
        {"#lost"}, {"status cdaudio mode", 0, "stopped"}, {"status cdaudio current track", 0, "2"},
        {"status cdaudio position track 2", 0, "02:00:00:00"},
        {"play cdaudio from 02:00:00:00", me::kInternal}, {"status cdaudio mode", 0, "stopped"},
        {"#back"}, {"play cdaudio from 02:00:00:00"}, {"status cdaudio mode", 0, "playing"}},
       {"play 300 900", "play 300 900", "stop"}},
      {"a file that is missing",
       {{"open \"/m/missing.mp3\" type MPEGVideo Alias MP3Play", me::kFileNotFound},
        {"status MP3Play mode", me::kDeviceNotOpen}},
       {}},
      {"a drive that spins up: a poll waits for it, play cannot start yet",
       {{"open cdaudio"}, {"set cdaudio time format tmsf"}, {"status cdaudio mode", 0, "not ready"},
        {"status cdaudio current track", 0, "1"}, {"status cdaudio number of tracks", 0, "0"},
        {"status cdaudio position track 2", me::kNotReady}, {"play cdaudio", me::kNotReady},
        {"#ready"}, {"status cdaudio mode", 0, "stopped"}, {"status cdaudio number of tracks", 0, "3"},
        {"play cdaudio"}},
       {"play 0 900", "stop"}, CdDrive::Disc::kPending},
      {"an empty drive or a disc without sound ends the polls",
       {{"open cdaudio"},
        {"#unusable"}, {"status cdaudio mode", 0, "not ready"},
        {"status cdaudio current track", me::kNotReady}, {"status cdaudio number of tracks", me::kNotReady},
        {"status cdaudio media present", 0, "false"}, {"play cdaudio from 1", me::kNotReady},
        {"close cdaudio"}},
       {}, CdDrive::Disc::kPending},
      {"track positions: what status gives, play takes; play runs on to the disc's end",
       {{"open cdaudio"}, {"status cdaudio position", 0, "00:02:00"},
        {"status cdaudio position track 2", 0, "00:06:00"}, {"set cdaudio time format tmsf"},
        {"status cdaudio current track", 0, "1"}, {"status cdaudio position track 2", 0, "02:00:00:00"},
        {"status cdaudio position track 4", me::kOutOfRange},
        {"status cdaudio position track 0", me::kOutOfRange},
        {"status cdaudio position track two", me::kBadInteger},
        {"status cdaudio position track", me::kMissingParameter},
        {"status cdaudio length track 3", 0, "00:04:00"}, {"play cdaudio from 02:00:00:00"},
        {"status cdaudio mode", 0, "playing"},
        {"#at 650"}, {"status cdaudio current track", 0, "3"},
        {"status cdaudio position", 0, "03:00:00:50"}, {"play cdaudio from 03:00:00:50"},
        {"play cdaudio from 2"}, {"play cdaudio from Error:282", me::kBadInteger},
        {"play cdaudio from 04:00:00:00", me::kOutOfRange},
        {"play cdaudio from 02:00:60:00", me::kOutOfRange},
        {"play cdaudio from 01:00:00:00 to 01:00:02:00"}, {"set cdaudio time format milliseconds"},
        {"status cdaudio position track 2", 0, "6000"}, {"play cdaudio from 6000"},
        {"set cdaudio time format msf"}, {"play cdaudio from 00:06:01"}},
       {"play 300 900", "stop", "play 650 900", "stop", "play 300 900", "stop", "play 0 150", "stop",
        "play 300 900", "stop", "play 301 900", "stop"}},
      {"stop keeps the position; play without a start goes on from there and past the end "
       "plays nothing",
       {{"open cdaudio alias cd"}, {"status cdaudio mode", me::kDeviceNotOpen}, {"set cd time format tmsf"},
        {"play cd from 2"},
        {"#at 420"}, {"stop cd"}, {"status cd mode", 0, "stopped"},
        {"status cd position", 0, "02:00:01:45"}, {"play cd"},
        {"#at 900"},
        {"#end"}, {"status cd mode", 0, "stopped"}, {"status cd current track", 0, "3"}, {"play cd"},
        {"status cd mode", 0, "stopped"}},
       {"play 300 900", "stop", "play 420 900"}},
      {"a data track ends the run of tracks and cannot be played",
       {{"open cdaudio"}, {"set cdaudio time format tmsf"}, {"play cdaudio from 1"},
        {"status cdaudio number of tracks", 0, "3"}, {"play cdaudio from 3", me::kOutOfRange}},
       {"play 0 600", "stop"}, CdDrive::Disc::kReady, Disc3(true)},
      {"a disc that opens with data starts at its first track of sound",
       {{"open cdaudio"}, {"status cdaudio current track", 0, "2"}, {"play cdaudio"}},
       {"play 300 600", "stop"}, CdDrive::Disc::kReady, {{1, 0, 300, false}, {2, 300, 300, true}}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeBackend backend;
    backend.sound.disc = c.disc;
    backend.sound.tracks = c.tracks;
    backend.sound_output = c.sound_output;
    backend.drive = c.drive;
    {
      MediaLayer layer(backend);
      RunScript(backend, layer, c.steps);
      EXPECT_EQ(layer.WaveOutDevices(), c.sound_output ? 1u : 0u);
    }
    std::vector<std::string> asked;
    for (const std::string& a : backend.sound.asked)
      if (a.rfind("wave", 0) != 0) asked.push_back(a);
    EXPECT_EQ(asked, c.asked);
  }
}

TEST(MediaLayer, RepliesAndErrorTextsFitTheirBuffers) {
  FakeBackend backend;
  MediaLayer layer(backend);
  ASSERT_EQ(layer.SendString("open cdaudio", nullptr, 0), 0u);
  char reply[8];
  EXPECT_EQ(layer.SendString("status cdaudio mode", reply, 8), 0u);
  EXPECT_STREQ(reply, "stopped");
  EXPECT_EQ(layer.SendString("status cdaudio mode", reply, 7), me::kReplyTooLong);
  EXPECT_STREQ(reply, "stoppe");
  EXPECT_EQ(layer.SendString("status cdaudio mode", nullptr, 0), 0u);
  // An error leaves an empty reply; the text comes from GetErrorString.
  EXPECT_EQ(layer.SendString("status cdaudio volume", reply, 8), me::kUnrecognizedKeyword);
  EXPECT_STREQ(reply, "");
  EXPECT_EQ(layer.SendString("status cdaudio volume", nullptr, 0), me::kUnrecognizedKeyword);

  char text[256];
  for (std::uint32_t code : {me::kDeviceNotOpen, me::kCannotLoadDriver, me::kFileNotFound, me::kInternal,
                             me::kUnsupported, me::kOutOfRange, me::kNotReady, 292u}) {
    EXPECT_TRUE(layer.GetErrorString(code, text, sizeof text)) << code;
    EXPECT_GT(std::strlen(text), 10u) << code;
  }
  EXPECT_TRUE(layer.GetErrorString(me::kDeviceNotOpen, text, sizeof text));
  EXPECT_STREQ(text, "The specified device is not open or is not recognized by MCI.");
  EXPECT_TRUE(layer.GetErrorString(me::kDeviceNotOpen, text, 4));
  EXPECT_STREQ(text, "The");
  EXPECT_FALSE(layer.GetErrorString(0, text, sizeof text));
  EXPECT_FALSE(layer.GetErrorString(9999, text, sizeof text));
  EXPECT_STREQ(text, "");
}

TEST(MediaLayer, WaveSound) {
  const struct {
    const char* what;
    const char* name;
    std::uint32_t flags;
    bool result;
    std::vector<std::string> asked;
  } cases[] = {
      {"loops in the background", "/m/a.wav", kSoundAsync | kSoundLoop, true, {"wave off", "wave /m/a.wav"}},
      {"no name stops it", nullptr, 0, true, {"wave off"}},
      {"a sound that would hold the caller is refused", "/m/a.wav", kSoundLoop, false, {"wave off"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeBackend backend;
    {
      MediaLayer layer(backend);
      EXPECT_EQ(layer.PlayWave(c.name, c.flags), c.result);
      EXPECT_EQ(backend.sound.asked, c.asked);
      layer.CloseAll();
    }
    EXPECT_EQ(backend.sound.asked.back(), "wave off");
  }
}

}  // namespace

// The music player against scripted media commands: what it sends for each source and
// poll, and what it makes of the replies.
#include <gtest/gtest.h>

#include "fake_runtime.h"
#include "music_player.h"

namespace {

using Answers = std::map<std::string, ScriptedMedia::Answer>;

const char kCurrent[] = "status cdaudio current track";
const char kCount[] = "status cdaudio number of tracks";
const char kMode[] = "status cdaudio mode";

// A drive that plays `track` of five, in `mode`.
Answers Drive(const char* track, const char* mode) {
  return {{kCurrent, {0, track}},
          {kCount, {0, "5"}},
          {kMode, {0, mode}},
          {"status cdaudio position track 2", {0, "02:00:00:00"}},
          {"status cdaudio position track 9", {275, ""}},
          {"play cdaudio from Error:275", {274, ""}}};
}

TEST(MusicPlayer, CdPollsByTrackAndMode) {
  const Log query{kCurrent, kCount, kMode};
  auto then = [&](Log more) {
    Log log = query;
    log.insert(log.end(), more.begin(), more.end());
    return log;
  };
  const struct {
    const char* what;
    int repeat_track;
    Answers answers;
    Log sent;
    bool ok;
    // clang-format off
  } cases[] = {
      {"stopped, no repeat: plays on from where it is", 0, Drive("3", "stopped"), then({"play cdaudio"}), true},
      {"playing, no repeat: nothing", 0, Drive("3", "playing"), query, true},
      {"repeat 2 while 3 plays: back to 2", 2, Drive("3", "playing"),
       then({"status cdaudio position track 2", "play cdaudio from 02:00:00:00"}), true},
      {"repeat 2 while 2 plays: nothing", 2, Drive("2", "playing"), query, true},
      {"repeat 2, stopped on 2: plays 2", 2, Drive("2", "stopped"),
       then({"status cdaudio position track 2", "play cdaudio from 02:00:00:00"}), true},
      {"repeat 9 of 5: the error text is sent as the start, polling goes on", 9, Drive("3", "playing"),
       then({"status cdaudio position track 9", "play cdaudio from Error:275"}), true},
      {"no drive: the first query fails and polling stops", 0, {{kCurrent, {266, ""}}}, {kCurrent}, false},
      {"no disc count: polling stops", 0, {{kCurrent, {0, "1"}}, {kCount, {256, ""}}}, {kCurrent, kCount},
       false},
      {"a current track that is no number: polling stops", 2, Drive("x", "playing"), query, false},
      {"a mode that only starts like stopped counts", 0, Drive("1", "stoppedX"), then({"play cdaudio"}), true},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedMedia media;
    media.answers = c.answers;
    MusicSettings settings;
    settings.BGM_Kind = 1;
    settings.BGM_Track = static_cast<std::int16_t>(c.repeat_track);
    MusicPlayer player(media, settings);
    player.CD_Poll();
    EXPECT_EQ(media.sent, c.sent);
    EXPECT_EQ(player.CD_Ok(), c.ok);
  }
}

TEST(MusicPlayer, FilesAndTheCdOpenAndClose) {
  const struct {
    const char* what;
    const char* file;
    Answers answers;
    std::uint32_t wave_devices;
    void (MusicPlayer::*operation)();
    Log sent;
    // clang-format off
  } cases[] = {
      {"CD open", "", {}, 1, &MusicPlayer::CD_Open, {"open cdaudio", "set cdaudio time format tmsf"}},
      {"CD close", "", {}, 1, &MusicPlayer::CD_Close, {"stop cdaudio", "close cdaudio"}},
      {"MP3 with a blank in its path", "/m/a b.mp3", {}, 1, &MusicPlayer::MP3_Open,
       {"open \"/m/a b.mp3\" type MPEGVideo Alias MP3Play", "play MP3Play"}},
      {"MP3 that cannot be opened", "/m/x.mp3", {{"open \"/m/x.mp3\" type MPEGVideo Alias MP3Play", {277, ""}}},
       1, &MusicPlayer::MP3_Open, {"open \"/m/x.mp3\" type MPEGVideo Alias MP3Play"}},
      {"MP3 playing", "", {{"status MP3Play mode", {0, "playing"}}}, 1, &MusicPlayer::MP3_Repeat,
       {"status MP3Play mode"}},
      {"MP3 at its end: again from 0", "", {{"status MP3Play mode", {0, "stopped"}}}, 1,
       &MusicPlayer::MP3_Repeat, {"status MP3Play mode", "stop MP3Play", "play MP3Play from 0"}},
      {"MP3 not open: the restart fails silently", "", {{"status MP3Play mode", {263, ""}}}, 1,
       &MusicPlayer::MP3_Repeat, {"status MP3Play mode", "stop MP3Play", "play MP3Play from 0"}},
      {"MP3 close", "", {}, 1, &MusicPlayer::MP3_Close, {"stop MP3Play", "close MP3Play"}},
      // Asynchronous (1), no default sound in its place (2), loop (8).
      {"WAV loops in the background, nothing in its place when unplayable", "/m/l.wav", {}, 1, &MusicPlayer::WAV_Play,
       {"PlaySound /m/l.wav 11"}},
      {"WAV without an output device", "/m/l.wav", {}, 0, &MusicPlayer::WAV_Play, {}},
      {"WAV stop", "/m/l.wav", {}, 0, &MusicPlayer::WAV_Stop, {"PlaySound (none) 0"}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedMedia media;
    media.answers = c.answers;
    media.wave_devices = c.wave_devices;
    MusicSettings settings;
    settings.BGM_File = c.file;
    MusicPlayer player(media, settings);
    (player.*c.operation)();
    EXPECT_EQ(media.sent, c.sent);
  }
}

TEST(MusicPlayer, CommandRepliesAndErrorTexts) {
  ScriptedMedia media;
  MusicSettings settings;
  MusicPlayer player(media, settings);
  media.answers["status cdaudio mode"] = {0, std::string(600, 'm')};
  media.answers["bad"] = {263, ""};
  media.answers["worse"] = {999, ""};
  media.error_texts[263] = "The specified device is not open.";
  std::string reply;
  EXPECT_EQ(player.MCI_Command("", reply), -1);
  EXPECT_EQ(reply, "コマンド文字列が指定されていません");
  EXPECT_EQ(player.MCI_Command("status cdaudio mode", reply), 0);
  EXPECT_EQ(reply, std::string(511, 'm'));  // what the 512-byte buffer holds
  EXPECT_EQ(player.MCI_Command("bad", reply), 263);
  EXPECT_EQ(reply, "The specified device is not open.");
  EXPECT_EQ(player.MCI_Command("worse", reply), 999);
  EXPECT_EQ(reply, "Error (文字列が取れません)");
  EXPECT_EQ(player.MCI_Query("bad"), "Error:263");
  EXPECT_EQ(player.MCI_LastReply(), "The specified device is not open.");
  media.sent.clear();
  player.MCI_Play("d", "1", "2");
  player.MCI_Play("d", "1", "");
  player.MCI_Play("d", "", "2");
  EXPECT_EQ(media.sent, (Log{"play d from 1 to 2", "play d from 1", "play d to 2"}));
}

}  // namespace

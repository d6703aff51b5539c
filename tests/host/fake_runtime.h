#pragma once
// Test doubles for the host: a runtime and a music player that write every call into
// one shared log, with timers the test ticks by hand and a clock it sets; the profile
// file keeps nothing (no settings file) and finds files on disk.
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "assets.h"
#include "music.h"
#include "runtime.h"

using Log = std::vector<std::string>;

class FakeTimer : public FormTimer {
 public:
  FakeTimer(Log& log, std::string name, std::function<void()> tick)
      : log_(log), name_(std::move(name)), tick(std::move(tick)) {}
  void SetEnabled(bool on) override {
    if (on != enabled_) log_.push_back(name_ + (on ? " on" : " off"));
    enabled_ = on;
  }
  bool Enabled() const override { return enabled_; }
  Log& log_;
  std::string name_;
  std::function<void()> tick;
  bool enabled_ = false;
};

class FakePreviewWindow : public PreviewWindow {
 public:
  explicit FakePreviewWindow(Log& log) : log_(log) {}
  std::int32_t AddChildStyle() override {
    log_.push_back("child style");
    return 1;
  }
  std::int64_t SetParent(WindowHandle parent) override {
    log_.push_back("parent " + std::to_string(parent));
    return 1;
  }
  void Move(int l, int t, int w, int h) override {
    log_.push_back("move " + std::to_string(l) + "," + std::to_string(t) + " " + std::to_string(w) + "x" +
                   std::to_string(h));
  }
  void SetPictureSize(int w, int h) override {
    log_.push_back("picture " + std::to_string(w) + "x" + std::to_string(h));
  }
  void Show() override { log_.push_back("show"); }
  WindowHandle Owner() override {
    log_.push_back("owner");
    return 0;
  }
  std::int32_t PostClose() override {
    log_.push_back("post close");
    return 1;
  }
  Log& log_;
};

class EmptyProfile : public ProfileFile {
 public:
  std::uint32_t GetString(const char*, const char*, const char*, char* buffer, std::uint32_t,
                          const char*) override {
    buffer[0] = '\0';  // the host never asks with a default
    return 0;
  }
  std::int32_t WriteString(const char*, const char*, const char*, const char*) override { return 0; }
  bool OpenForReading(const std::string& path) override { return std::filesystem::is_regular_file(path); }
  std::string SettingsFilePath(const std::string& name) override { return name; }
  PathStyle Paths() const override {
    return std::filesystem::path::preferred_separator == '\\' ? kWindowsPaths : kLinuxPaths;
  }
};

// Media commands that answer from a script: each command string maps to a code and a
// reply (0 and "" when not scripted); every command and sound call is logged.
class ScriptedMedia : public MediaCommands {
 public:
  struct Answer {
    std::uint32_t code;
    std::string reply;
  };
  std::uint32_t SendString(const std::string& command, char* reply, std::uint32_t length) override {
    sent.push_back(command);
    const auto it = answers.find(command);
    const Answer answer = it == answers.end() ? Answer{0, ""} : it->second;
    if (reply && length) reply[answer.reply.copy(reply, length - 1)] = '\0';
    return answer.code;
  }
  bool GetErrorString(std::uint32_t code, char* text, std::uint32_t length) override {
    const auto it = error_texts.find(code);
    if (it == error_texts.end()) return false;
    text[it->second.copy(text, length - 1)] = '\0';
    return true;
  }
  std::uint32_t WaveOutDevices() override { return wave_devices; }
  bool PlayWave(const char* name, std::uint32_t flags) override {
    sent.push_back("PlaySound " + std::string(name ? name : "(none)") + " " + std::to_string(flags));
    return true;
  }
  Log sent;
  std::map<std::string, Answer> answers;
  std::map<std::uint32_t, std::string> error_texts;
  std::uint32_t wave_devices = 1;
};

class FakeRuntime : public Runtime {
 public:
  Log log;
  std::string command_line;
  std::string program_folder = "C:\\Saver";
  std::set<std::string> windows;  // titles of existing top-level windows
  std::map<WindowHandle, ScreenRect> rects;
  std::map<unsigned, FakeTimer*> timers;  // by interval
  std::map<std::string, std::string> files;
  int cursor = 0;
  bool ended = false;
  std::function<void()> unload_request;
  std::string last_message;
  Picture preview_picture;
  std::function<void()> preview_unload;
  std::int64_t now_ms = 0;
  std::set<std::int32_t> running;  // task numbers of programs still running
  bool has_daemons = false;        // the platform follows X11 daemons' conventions
  std::string daemon_variable;     // their window variable's value
  EmptyProfile profile;
  ScriptedMedia media;

  std::string CommandLine() override { return command_line; }
  std::string ProgramFolder() override { return program_folder; }
  void EndProgram() override {
    log.push_back("end");
    ended = true;
  }
  void ShowMessage(const std::string& text) override {
    log.push_back("message");
    last_message = text;
  }
  bool HexWindowNumbers() const override { return false; }
  std::int64_t Milliseconds() override { return now_ms; }
  bool CreateFolder(const std::string& path) override {
    log.push_back("mkdir " + path);
    return true;
  }
  bool WriteFileReplacing(const std::string& path, const std::string& bytes) override {
    log.push_back("write " + path);
    files[path] = bytes;
    return true;
  }
  std::int32_t StartProgram(const std::string& path) override {
    log.push_back("start " + path);
    running.insert(4242);
    return 4242;
  }
  bool ProgramRunning(std::int32_t task) override { return running.count(task) > 0; }
  ProfileFile& Profile() override { return profile; }
  MediaCommands& Media() override { return media; }
  WindowHandle FindTopWindow(const std::string& title) override {
    log.push_back("find " + title);
    return windows.count(title) ? 77 : 0;
  }
  std::int32_t ShowCursor(bool show) override {
    cursor += show ? 1 : -1;
    log.push_back(show ? "cursor show" : "cursor hide");
    return cursor;
  }
  bool GetWindowRect(WindowHandle w, ScreenRect* r) override {
    auto it = rects.find(w);
    if (it == rects.end()) return false;
    *r = it->second;
    return true;
  }
  void DrawAnimatedRects(WindowHandle, const ScreenRect& from, const ScreenRect& to) override {
    log.push_back("zoom " + Str(from) + " -> " + Str(to));
  }
  int twips_per_pixel = 15;
  int TwipsPerPixelX() override { return twips_per_pixel; }
  int TwipsPerPixelY() override { return twips_per_pixel; }
  void LoadHiddenForm(const std::string& caption, std::function<void()> request) override {
    log.push_back("hidden form " + caption);
    unload_request = std::move(request);
  }
  std::unique_ptr<FormTimer> CreateTimer(unsigned ms, bool enabled, std::function<void()> tick) override {
    const std::string name = ms == 1000 ? "Timer1" : ms == 200 ? "Timer2" : ms == 500 ? "Timer3" : "Timer?";
    auto t = std::make_unique<FakeTimer>(log, name, std::move(tick));
    t->enabled_ = enabled;
    timers[ms] = t.get();
    return t;
  }
  std::unique_ptr<PreviewWindow> LoadPreviewForm(const std::string& caption, const Picture& picture,
                                                 std::function<void()> unload) override {
    log.push_back("preview form " + caption);
    preview_picture = picture;
    preview_unload = std::move(unload);
    return std::make_unique<FakePreviewWindow>(log);
  }
  void ShowSettingsDialog(DialogEvents&) override { log.push_back("settings dialog"); }

  bool DaemonWindowVariable(std::string* window) override {
    *window = daemon_variable;
    return has_daemons;
  }
  std::int32_t StartEmbeddedRenderer(const std::string& path, WindowHandle window) override {
    log.push_back("start " + path + " in " + std::to_string(window));
    running.insert(4242);
    return 4242;
  }
  void EndProgramTask(std::int32_t task) override {
    if (running.erase(task)) log.push_back("end task " + std::to_string(task));
  }

  static std::string Str(const ScreenRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
  }
};

class FakeMusic : public Music {
 public:
  explicit FakeMusic(Log& log) : log_(log) {}
  void CD_Open() override { log_.push_back("CD_Open"); }
  void CD_Poll() override { log_.push_back("CD_Poll"); }
  bool CD_Ok() const override { return cd_ok; }
  void CD_Close() override { log_.push_back("CD_Close"); }
  void WAV_Play() override { log_.push_back("WAV_Play"); }
  void WAV_Stop() override { log_.push_back("WAV_Stop"); }
  void MP3_Open() override { log_.push_back("MP3_Open"); }
  void MP3_Repeat() override { log_.push_back("MP3_Repeat"); }
  void MP3_Close() override { log_.push_back("MP3_Close"); }
  bool cd_ok = true;
  Log& log_;
};

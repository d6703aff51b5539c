#pragma once
// A recording stand-in for the OpenGL and GLU calls the renderer logic makes, and a
// double of its platform, so the scene and the frame loop run without a window.

#include <cstdint>
#include <deque>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform.h"
#include "random.h"

struct GlCall {
  std::string name;
  std::vector<double> args;
  bool operator==(const GlCall& o) const { return name == o.name && args == o.args; }
};
inline void PrintTo(const GlCall& call, std::ostream* out) {
  *out << call.name;
  for (double arg : call.args) *out << " " << arg;
}

// Every GL/GLU call since the last reset, in order.
std::vector<GlCall>& GlCalls();
// Bytes handed to each gluBuild2DMipmaps call.
std::vector<std::vector<unsigned char>>& UploadedImages();
void ResetFakes();

std::vector<GlCall> CallsNamed(const std::string& name);

// Records every call by name, in order. The window's client area is 800 x 600; the
// message queue answers from `pumps`, then with the quit; the clock counts `ticks`,
// 1000 per second, which only a sleep moves on; the display shows `refresh` pictures
// per second and every swap is noted with the time it happened.
class FakePlatform : public RendererPlatform {
 public:
  FakePlatform() { ticks = 0; }

  bool CreateRendererWindow(const char*, int, int) override {
    Log("window");
    return has_window;
  }
  void GetClientSize(int* width, int* height) override {
    Log("client-size");
    *width = 800;
    *height = 600;
  }
  void CreateContext() override { Log("context"); }
  MessagePump PumpMessage(int* exit_code) override;
  void SwapBuffers() override {
    Log("swap");
    swapped_at.push_back(ticks);
  }
  void ShowErrorBox(const char* text) override { messages.push_back(text); }
  void KillRendererWindow() override { Log("kill"); }
  void RestoreDisplay() override { Log("restore"); }
  const TimerClock& Clock() override { return clock_; }
  bool UnixTimeNanoseconds(int64_t* ns) override { return (*ns = wall_ns) != 0; }
  double RefreshRate() override { return refresh; }
  void SleepUntil(int64_t counter) override {
    if (counter > ticks) ticks = counter;
  }

  static int64_t ticks;
  bool has_window = true;
  std::deque<MessagePump> pumps;
  int quit_code = 0;
  int64_t wall_ns = 0;  // 0: no wall clock
  double refresh = 0;
  std::vector<int64_t> swapped_at;
  std::vector<std::string> calls;
  std::vector<std::string> messages;

 private:
  struct TickClock : TimerClock {
    bool QueryFrequency(int64_t* frequency) const override { return (*frequency = 1000) != 0; }
    int64_t QueryCounter() const override { return ticks; }
    uint32_t Milliseconds() const override { return 0; }
  };
  void Log(const char* name) { calls.push_back(name); }
  TickClock clock_;
};

// Scripts the draws of `random`: `script` in order, then `fill` for ever. The result
// counts the draws made.
inline std::shared_ptr<int> ScriptDraws(RandomGenerator& random, std::deque<int> script, int fill = 0) {
  auto draws = std::make_shared<int>(0);
  random.Script([=]() mutable {
    ++*draws;
    if (script.empty()) return fill;
    const int r = script.front();
    script.pop_front();
    return r;
  });
  return draws;
}

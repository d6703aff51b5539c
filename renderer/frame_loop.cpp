#include "frame_loop.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "frame_pacer.h"
#include "frame_stats.h"
#include "platform.h"
#include "scene.h"

int RunRenderer(RendererPlatform& platform) {
  FrameStats stats(platform, FrameStats::Requested(), stderr);
  if (!platform.CreateRendererWindow(WindowName, ScreenWidth, ScreenHeight)) {
    platform.RestoreDisplay();
    return 1;
  }

  Scene scene(platform);
  scene.Random.Seed(static_cast<unsigned>(std::time(nullptr)));
  int width = 0, height = 0;
  platform.GetClientSize(&width, &height);
  platform.CreateContext();
  scene.ResizeScene(width, height);
  scene.StartScene();

  // At most one frame per refresh of the display, however fast the swap returns.
  const TimerClock& clock = platform.Clock();
  int64_t frequency = 0;
  if (!clock.QueryFrequency(&frequency)) frequency = 0;
  const int64_t period = FramePeriod(frequency, platform.RefreshRate(), UncappedRequested());
  FramePacer pacer(period);
  if (period > 0) stats.PacedAt(static_cast<double>(frequency) / static_cast<double>(period));

  // Frames follow each other as the buffer swap and the pacing allow; a quit request
  // ends the loop once the quit itself is taken from the queue.
  int exit_code = 0;
  for (;;) {
    const MessagePump pumped = platform.PumpMessage(&exit_code);
    if (pumped == MessagePump::kQuit) break;
    if (pumped == MessagePump::kIdle) {
      if (platform.ClientSizeChanged(&width, &height)) scene.ResizeScene(width, height);
      const int64_t start = pacer.Paced() ? clock.QueryCounter() : 0;
      scene.RenderIdleFrame();
      stats.CountSwap();
      if (pacer.Paced()) {
        const int64_t swapped = clock.QueryCounter();
        const int64_t next = pacer.AfterSwap(start, swapped);
        if (next > swapped) platform.SleepUntil(next);
      }
    }
  }

  platform.KillRendererWindow();
  platform.RestoreDisplay();
  scene.EndScene();
  stats.Report();
  return exit_code;
}

// The extension-name check of both platform layers (platform.h).
bool HasExtension(const char* list, const char* name) {
  if (!list) return false;
  const size_t length = std::strlen(name);
  for (const char* at = std::strstr(list, name); at; at = std::strstr(at + 1, name)) {
    const bool starts = at == list || at[-1] == ' ';
    const bool ends = at[length] == '\0' || at[length] == ' ';
    if (starts && ends) return true;
  }
  return false;
}

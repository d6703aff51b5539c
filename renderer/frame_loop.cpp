#include "frame_loop.h"

#include <cstdio>
#include <cstring>
#include <ctime>

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

  // Frames follow each other as fast as the buffer swap allows; a quit request ends
  // the loop once the quit itself is taken from the queue.
  int exit_code = 0;
  for (;;) {
    const MessagePump pumped = platform.PumpMessage(&exit_code);
    if (pumped == MessagePump::kQuit) break;
    if (pumped == MessagePump::kIdle) {
      if (platform.ClientSizeChanged(&width, &height)) scene.ResizeScene(width, height);
      scene.RenderIdleFrame();
      stats.CountSwap();
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

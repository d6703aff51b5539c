// Windows entry of Veloran.scr: the runtime, the host's state and the music player
// over the platform's media commands, then Main and the message loop while a form is loaded.
#include <windows.h>

#include "music_player.h"
#include "runtime_win32.h"
#include "startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Win32Runtime rt;
  HostState host;
  MusicPlayer music(rt.Media(), host.music);
  Main(rt, music, host);
  rt.Run();
  return 0;
}

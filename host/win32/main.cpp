// Windows entry of Veloran.scr: the runtime, the host's state and the music player,
// then Main and the message loop while a form is loaded.
#include <windows.h>

#include "runtime_win32.h"
#include "startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Win32Runtime rt;
  HostState host;
  SilentMusic music;
  Main(rt, music, host);
  rt.Run();
  return 0;
}

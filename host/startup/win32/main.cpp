// Windows entry of Veloran.scr.
#include <windows.h>

#include "runtime_win32.h"
#include "startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Win32Runtime rt;
  Main(rt);
  rt.Run();
  return 0;
}

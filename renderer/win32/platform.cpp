// What the renderer logic needs of Windows: the error message box and the
// buffer swap (the frame timer's clock is in clock.cpp).
#include <windows.h>

#include "platform.h"
#include "swap_stats.h"
#include "win32_platform.h"

void ShowErrorBox(const char* text) { MessageBoxA(GetFocus(), text, "Error", MB_OK); }

void SwapSceneBuffers() {
  SwapBuffers(g_dc);
  CountSwap();
}

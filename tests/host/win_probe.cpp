// Test helper for the host under Wine.
//   win_probe window TITLE W H STOPFILE [hidden]  a top-level window at (40, 30) with
//       that title (grey, shown unless "hidden"); prints its number, destroys it and
//       ends once STOPFILE exists
//   win_probe message MS       waits up to MS for the message box titled "Veloran",
//       prints its text as hex bytes, presses its OK button
//   win_probe find TITLE       exit code 0 when a top-level window has that title
//   win_probe children N       prints "title WxH" for each child window of window N
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string g_stop_file;

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER && GetFileAttributesA(g_stop_file.c_str()) != INVALID_FILE_ATTRIBUTES) {
    DestroyWindow(hwnd);
    return 0;
  }
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

BOOL CALLBACK FindText(HWND child, LPARAM out) {
  if (GetDlgCtrlID(child) == 0xFFFF) {
    char buf[512] = {};
    GetWindowTextA(child, buf, sizeof buf);
    *reinterpret_cast<std::string*>(out) = buf;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  char title[256] = {};
  GetWindowTextA(child, title, sizeof title);
  RECT r;
  GetClientRect(child, &r);
  std::printf("%s %ldx%ld\n", title, r.right - r.left, r.bottom - r.top);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string cmd = argc > 1 ? argv[1] : "";
  if (cmd == "window" && argc >= 6) {
    g_stop_file = argv[5];
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = CreateSolidBrush(RGB(128, 128, 128));
    wc.lpszClassName = "VeloranProbe";
    RegisterClassA(&wc);
    const bool hidden = argc > 6 && std::strcmp(argv[6], "hidden") == 0;
    HWND hwnd = CreateWindowExA(0, "VeloranProbe", argv[2], WS_POPUP | WS_CLIPCHILDREN | (hidden ? 0 : WS_VISIBLE),
                                40, 30, std::atoi(argv[3]), std::atoi(argv[4]), nullptr, nullptr, wc.hInstance,
                                nullptr);
    if (!hwnd) return 1;
    std::printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(hwnd)));
    std::fflush(stdout);
    SetTimer(hwnd, 1, 50, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
  }
  if (cmd == "message" && argc >= 3) {
    const DWORD limit = GetTickCount() + static_cast<DWORD>(std::atoi(argv[2]));
    for (;;) {
      HWND box = FindWindowA(nullptr, "Veloran");
      if (box) {
        std::string text;
        EnumChildWindows(box, FindText, reinterpret_cast<LPARAM>(&text));
        if (!text.empty()) {
          for (unsigned char c : text) std::printf("%02X", c);
          std::printf("\n");
          PostMessageA(box, WM_COMMAND, IDOK, 0);
          return 0;
        }
      }
      if (static_cast<LONG>(GetTickCount() - limit) > 0) return 1;
      Sleep(50);
    }
  }
  if (cmd == "find" && argc >= 3) return FindWindowA(nullptr, argv[2]) ? 0 : 1;
  if (cmd == "children" && argc >= 3) {
    HWND parent = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::strtoull(argv[2], nullptr, 10)));
    EnumChildWindows(parent, PrintChild, 0);
    return 0;
  }
  std::fprintf(stderr, "usage: win_probe window|message|find|children ...\n");
  return 2;
}

// Test helper for the host under Wine.
//   win_probe window TITLE W H STOPFILE [hidden]  a top-level window at (40, 30) with
//       that title (grey, shown unless "hidden"); prints its number, destroys it and
//       ends once STOPFILE exists
//   win_probe message MS       waits up to MS for the message box titled "Veloran",
//       prints its text as hex bytes, presses its OK button
//   win_probe find TITLE       exit code 0 when a top-level window has that title
//   win_probe children N       prints "title WxH" for each child window of window N
//   win_probe client TITLE     prints "X Y W H": the client area of the shown top-level
//       window with that title, in screen pixels; exit code 1 when there is none
//   win_probe outer TITLE      the same for its outer rectangle, frame included
//   win_probe filedialog OWNER PATH MS   waits up to MS for the open-file dialog owned
//       by the window titled OWNER, prints its title and its file type as hex bytes
//       (one line each), enters PATH as the file name, confirms, and waits for the
//       dialog to go
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

HWND ShownWindow(const char* title) {
  HWND w = FindWindowA(nullptr, title);
  return w && IsWindowVisible(w) ? w : nullptr;
}

std::string Hex(const std::string& bytes) {
  std::string out;
  char two[3];
  for (unsigned char c : bytes) {
    std::snprintf(two, sizeof two, "%02X", c);
    out += two;
  }
  return out;
}

// The text a window answers (GetWindowText reads no control of another process).
std::string TextOf(HWND w) {
  char buf[1024] = {};
  DWORD_PTR result = 0;
  if (w) SendMessageTimeoutA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, &result);
  return buf;
}

struct DialogSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK FindOwnedDialog(HWND w, LPARAM arg) {
  auto* search = reinterpret_cast<DialogSearch*>(arg);
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (std::strcmp(cls, "#32770") == 0 && IsWindowVisible(w) && GetWindow(w, GW_OWNER) == search->owner) {
    search->found = w;
    return FALSE;
  }
  return TRUE;
}

// The open-file dialog's controls: file type list, file name (a combo box with an
// edit field, or an edit field) and the OK button.
constexpr int kFileTypeId = 0x470;   // cmb1
constexpr int kFileNameCombo = 0x47C;  // cmb13
constexpr int kFileNameEdit = 0x480;   // edt1

int FileDialog(const char* owner_title, const char* path, DWORD limit_ms) {
  const DWORD start = GetTickCount();
  HWND dialog = nullptr;
  while (!dialog) {
    DialogSearch search = {FindWindowA(nullptr, owner_title), nullptr};
    if (search.owner) EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
    dialog = search.found;
    if (!dialog) {
      if (GetTickCount() - start > limit_ms) return 1;
      Sleep(50);
    }
  }
  Sleep(300);  // let it finish filling its lists
  std::printf("%s\n%s\n", Hex(TextOf(dialog)).c_str(), Hex(TextOf(GetDlgItem(dialog, kFileTypeId))).c_str());
  std::fflush(stdout);
  HWND name = GetDlgItem(dialog, kFileNameCombo);
  if (!name) name = GetDlgItem(dialog, kFileNameEdit);
  if (!name) return 1;
  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path));
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  while (IsWindow(dialog)) {
    if (GetTickCount() - start > limit_ms) return 1;
    Sleep(50);
  }
  return 0;
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
  if ((cmd == "client" || cmd == "outer") && argc >= 3) {
    HWND w = ShownWindow(argv[2]);
    RECT r;
    if (!w) return 1;
    if (cmd == "client") {
      if (!GetClientRect(w, &r)) return 1;
      MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&r), 2);
    } else if (!GetWindowRect(w, &r)) {
      return 1;
    }
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
  }
  if (cmd == "filedialog" && argc >= 5) return FileDialog(argv[2], argv[3], static_cast<DWORD>(std::atoi(argv[4])));
  std::fprintf(stderr, "usage: win_probe window|message|find|children|client|outer|filedialog ...\n");
  return 2;
}

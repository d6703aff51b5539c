// A second program beside the tested ones under Wine, for the end-to-end cases of both
// programs: it opens foreign windows, looks for windows the way the host does
// (FindWindowA by title), sends them messages, answers boxes and dialogs, and reports
// the display mode.
//
//   probe window TITLE W H STOPFILE [hidden]  a top-level window at (40, 30) with that
//       title (grey, shown unless "hidden"); prints its number, destroys it and ends
//       once STOPFILE exists
//   probe find TITLE [TIMEOUT_MS]       wait for the window (and for it to be shown);
//                                       print what it is (0: only whether it exists,
//                                       hidden ones too)
//   probe count TITLE                   how many top-level windows have that title
//   probe gone TITLE [TIMEOUT_MS]       wait until no window has that title
//   probe post TITLE MESSAGE [WPARAM]   PostMessageA (close, keydown, syscommand or a number)
//   probe others TITLE                  other visible top-level windows of the process
//                                       that owns TITLE, one per line
//   probe close-others TITLE            WM_CLOSE to each of those
//   probe dialog TITLE [TIMEOUT_MS]     wait for a dialog; print its owner, texts
//                                       and buttons (with their screen rectangles),
//                                       one per line
//   probe message MS        waits up to MS for the message box titled "Veloran", prints
//                           its text as hex bytes, presses its OK button
//   probe children N        prints "title WxH" for each child window of window N
//   probe client TITLE      prints "X Y W H": the client area of the shown top-level
//                           window with that title, in screen pixels; exit 1 when none
//   probe outer TITLE       the same for its outer rectangle, frame included
//   probe filedialog OWNER PATH MS   waits up to MS for the open-file dialog owned by
//       the window titled OWNER, prints its title and its file type as hex bytes (one
//       line each), enters PATH as the file name, confirms, and waits for the dialog
//       to go
//   probe display                       current mode of the primary display
//   probe codepage                      the ANSI code page
//
// Every command exits 0 on success, 1 when the awaited state did not come, 2 on bad
// usage.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

unsigned long Number(const char* text) { return std::strtoul(text, nullptr, 0); }

HWND WaitForWindow(const char* title, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND window = FindWindowA(nullptr, title)) return window;
    if (GetTickCount() - start >= timeout_ms) return nullptr;
    Sleep(10);
  }
}

int Find(const char* title, DWORD timeout_ms) {
  HWND window = WaitForWindow(title, timeout_ms);
  if (!window) {
    std::printf("not found: %s\n", title);
    return 1;
  }
  // It exists from CreateWindowExA on; report it once it has been shown.
  const DWORD start = GetTickCount();
  while (IsWindow(window) && !IsWindowVisible(window) && GetTickCount() - start < timeout_ms) Sleep(10);
  char class_name[256] = "";
  GetClassNameA(window, class_name, sizeof class_name);
  RECT rect{};
  GetWindowRect(window, &rect);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  std::printf("found class=%s rect=%ld,%ld,%ld,%ld style=0x%08lx exstyle=0x%08lx visible=%d pid=%lu\n",
              class_name, rect.left, rect.top, rect.right, rect.bottom,
              static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
              static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)),
              IsWindowVisible(window) ? 1 : 0, static_cast<unsigned long>(pid));
  return 0;
}

struct CountQuery {
  const char* title;
  int count;
};

BOOL CALLBACK CountTitled(HWND window, LPARAM param) {
  auto* query = reinterpret_cast<CountQuery*>(param);
  char text[256] = "";
  GetWindowTextA(window, text, sizeof text);
  if (!std::strcmp(text, query->title)) ++query->count;
  return TRUE;
}

int Count(const char* title) {
  CountQuery query{title, 0};
  EnumWindows(CountTitled, reinterpret_cast<LPARAM>(&query));
  std::printf("%d\n", query.count);
  return 0;
}

int Gone(const char* title, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  while (FindWindowA(nullptr, title)) {
    if (GetTickCount() - start >= timeout_ms) {
      std::printf("still there: %s\n", title);
      return 1;
    }
    Sleep(5);
  }
  std::printf("gone after %lu ms\n", static_cast<unsigned long>(GetTickCount() - start));
  return 0;
}

int Post(const char* title, const char* message_name, WPARAM wparam) {
  HWND window = FindWindowA(nullptr, title);
  if (!window) {
    std::printf("not found: %s\n", title);
    return 1;
  }
  UINT message;
  if (!std::strcmp(message_name, "close")) message = WM_CLOSE;
  else if (!std::strcmp(message_name, "keydown")) message = WM_KEYDOWN;
  else if (!std::strcmp(message_name, "syscommand")) message = WM_SYSCOMMAND;
  else message = static_cast<UINT>(Number(message_name));
  if (!PostMessageA(window, message, wparam, 0)) {
    std::printf("post failed: %lu\n", static_cast<unsigned long>(GetLastError()));
    return 1;
  }
  std::printf("posted 0x%04x 0x%llx\n", message, static_cast<unsigned long long>(wparam));
  return 0;
}

struct OthersQuery {
  DWORD pid;
  HWND exclude;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectOthers(HWND window, LPARAM param) {
  auto* query = reinterpret_cast<OthersQuery*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == query->pid && window != query->exclude && IsWindowVisible(window))
    query->found.push_back(window);
  return TRUE;
}

int Others(const char* title, bool close) {
  HWND window = FindWindowA(nullptr, title);
  if (!window) {
    std::printf("not found: %s\n", title);
    return 1;
  }
  OthersQuery query{0, window, {}};
  GetWindowThreadProcessId(window, &query.pid);
  EnumWindows(CollectOthers, reinterpret_cast<LPARAM>(&query));
  for (HWND other : query.found) {
    char text[256] = "";
    GetWindowTextA(other, text, sizeof text);
    std::printf("window title=%s\n", text);
    if (close) PostMessageA(other, WM_CLOSE, 0, 0);
  }
  return 0;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  char class_name[64] = "";
  char text[512] = "";
  GetClassNameA(child, class_name, sizeof class_name);
  GetWindowTextA(child, text, sizeof text);
  if (!IsWindowVisible(child)) return TRUE;  // message boxes keep unused buttons hidden
  if (!lstrcmpiA(class_name, "Button")) {
    RECT rect{};
    GetWindowRect(child, &rect);
    std::printf("button=%s rect=%ld,%ld,%ld,%ld\n", text, rect.left, rect.top, rect.right, rect.bottom);
  } else if (!lstrcmpiA(class_name, "Static") && text[0]) std::printf("text=%s\n", text);
  return TRUE;
}

int Dialog(const char* title, DWORD timeout_ms) {
  HWND dialog = WaitForWindow(title, timeout_ms);
  if (!dialog) {
    std::printf("not found: %s\n", title);
    return 1;
  }
  // Found as soon as it exists; its controls are ready once it is shown.
  const DWORD start = GetTickCount();
  while (!IsWindowVisible(dialog) && GetTickCount() - start < timeout_ms) Sleep(10);
  Sleep(50);
  char owner_title[256] = "";
  if (HWND owner = GetWindow(dialog, GW_OWNER)) GetWindowTextA(owner, owner_title, sizeof owner_title);
  std::printf("owner=%s\n", owner_title);
  EnumChildWindows(dialog, PrintChild, 0);
  return 0;
}

int Display() {
  DEVMODEA mode;
  std::memset(&mode, 0, sizeof mode);
  mode.dmSize = sizeof mode;
  if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) {
    std::printf("no display settings\n");
    return 1;
  }
  std::printf("display %lux%lu bits=%lu screen=%dx%d\n", mode.dmPelsWidth, mode.dmPelsHeight,
              mode.dmBitsPerPel, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  return 0;
}

// The foreign window's procedure; it finds the stop file's name in its user data.
LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  const auto* stop_file = reinterpret_cast<const char*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (msg == WM_TIMER && stop_file && GetFileAttributesA(stop_file) != INVALID_FILE_ATTRIBUTES) {
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

BOOL CALLBACK PrintChildSize(HWND child, LPARAM) {
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
  if (w)
    SendMessageTimeoutA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000,
                        &result);
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
constexpr int kFileTypeId = 0x470;     // cmb1
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
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  while (IsWindow(dialog)) {
    if (GetTickCount() - start > limit_ms) return 1;
    Sleep(50);
  }
  return 0;
}

int ForeignWindow(const char* title, int width, int height, const char* stop_file, bool hidden) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ProbeProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = CreateSolidBrush(RGB(128, 128, 128));
  wc.lpszClassName = "VeloranProbe";
  RegisterClassA(&wc);
  HWND hwnd =
      CreateWindowExA(0, "VeloranProbe", title, WS_POPUP | WS_CLIPCHILDREN | (hidden ? 0 : WS_VISIBLE), 40,
                      30, width, height, nullptr, nullptr, wc.hInstance, nullptr);
  if (!hwnd) return 1;
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(stop_file));
  std::printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(hwnd)));
  SetTimer(hwnd, 1, 50, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}

int Message(DWORD timeout_ms) {
  const DWORD limit = GetTickCount() + timeout_ms;
  for (;;) {
    HWND box = FindWindowA(nullptr, "Veloran");
    if (box) {
      std::string text;
      EnumChildWindows(box, FindText, reinterpret_cast<LPARAM>(&text));
      if (!text.empty()) {
        std::printf("%s\n", Hex(text).c_str());
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return 0;
      }
    }
    if (static_cast<LONG>(GetTickCount() - limit) > 0) return 1;
    Sleep(50);
  }
}

int PrintRect(const char* title, bool client) {
  HWND w = ShownWindow(title);
  RECT r;
  if (!w) return 1;
  if (client) {
    if (!GetClientRect(w, &r)) return 1;
    MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&r), 2);
  } else if (!GetWindowRect(w, &r)) {
    return 1;
  }
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  return 0;
}

int Usage() {
  std::printf(
      "usage: probe window|find|count|gone|post|others|close-others|dialog|message|children|"
      "client|outer|filedialog|display|codepage ... (see its first lines)\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  const DWORD default_timeout = 10000;
  if (command == "window" && argc >= 6)
    return ForeignWindow(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), argv[5],
                         argc > 6 && std::strcmp(argv[6], "hidden") == 0);
  if (command == "find" && argc >= 3) return Find(argv[2], argc > 3 ? Number(argv[3]) : default_timeout);
  if (command == "count" && argc >= 3) return Count(argv[2]);
  if (command == "gone" && argc >= 3) return Gone(argv[2], argc > 3 ? Number(argv[3]) : default_timeout);
  if (command == "post" && argc >= 4) return Post(argv[2], argv[3], argc > 4 ? Number(argv[4]) : 0);
  if (command == "others" && argc >= 3) return Others(argv[2], false);
  if (command == "close-others" && argc >= 3) return Others(argv[2], true);
  if (command == "dialog" && argc >= 3) return Dialog(argv[2], argc > 3 ? Number(argv[3]) : default_timeout);
  if (command == "message" && argc >= 3) return Message(Number(argv[2]));
  if (command == "children" && argc >= 3) {
    HWND parent = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::strtoull(argv[2], nullptr, 10)));
    EnumChildWindows(parent, PrintChildSize, 0);
    return 0;
  }
  if ((command == "client" || command == "outer") && argc >= 3)
    return PrintRect(argv[2], command == "client");
  if (command == "filedialog" && argc >= 5) return FileDialog(argv[2], argv[3], Number(argv[4]));
  if (command == "display") return Display();
  if (command == "codepage") {
    std::printf("codepage %u\n", GetACP());
    return 0;
  }
  return Usage();
}

// A second program beside the tested ones under Wine, for the end-to-end cases of both
// programs: it opens foreign windows, looks for windows the way the host does
// (FindWindowA by title), sends them messages, answers boxes and dialogs, and reports
// the display mode.
//
//   window TITLE W H STOPFILE [hidden]  a top-level window at (40, 30) with that title (grey,
//                              shown unless "hidden"); prints its number, destroys it and ends
//                              once STOPFILE exists
//   find TITLE [TIMEOUT_MS]    waits for the window (and for it to be shown); prints what it is
//                              (0: only whether it exists, hidden ones too)
//   count TITLE                how many top-level windows have that title
//   gone TITLE [TIMEOUT_MS]    waits until no window has that title
//   post TITLE MESSAGE [WPARAM]  PostMessageA (close, syscommand or a number)
//   others TITLE               other visible top-level windows of the process owning TITLE
//   close-others TITLE         WM_CLOSE to each of those
//   dialog TITLE [TIMEOUT_MS]  waits for a dialog; prints its owner, texts and buttons (with
//                              their screen rectangles), one per line
//   message MS                 waits up to MS for the message box titled "Veloran", prints its
//                              text as hex bytes, presses its OK button
//   children N                 prints "title WxH" for each child window of window N
//   client TITLE               prints "X Y W H": the client area of the shown top-level window
//                              with that title, in screen pixels; exit 1 when none
//   outer TITLE                the same for its outer rectangle, frame included
//   filedialog OWNER PATH MS   waits up to MS for the open-file dialog owned by the window
//                              titled OWNER, prints its title and its file type as hex bytes
//                              (a line each), enters PATH as the file name, confirms, and waits
//                              for the dialog to go
//   display                    current mode of the primary display
//   codepage                   the ANSI code page
//
// Every command exits 0 on success, 1 when the awaited state did not come, 2 on bad usage.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

unsigned long Number(const char* text) { return std::strtoul(text, nullptr, 0); }

// The top-level windows (parent null) or all the descendants of `parent`.
std::vector<HWND> Windows(HWND parent = nullptr) {
  std::vector<HWND> found;
  WNDENUMPROC add = [](HWND w, LPARAM out) -> BOOL {
    reinterpret_cast<std::vector<HWND>*>(out)->push_back(w);
    return TRUE;
  };
  if (parent) EnumChildWindows(parent, add, reinterpret_cast<LPARAM>(&found));
  else EnumWindows(add, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string Text(HWND w) {
  char text[512] = "";
  GetWindowTextA(w, text, sizeof text);
  return text;
}
std::string ClassOf(HWND w) {
  char name[256] = "";
  GetClassNameA(w, name, sizeof name);
  return name;
}

DWORD ProcessOf(HWND w) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  return pid;
}

// Asks `done` every 10 ms for up to `timeout_ms` (once at least); whether it said yes.
template <typename Done>
bool WaitUntil(DWORD timeout_ms, Done done) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= timeout_ms) return false;
    Sleep(10);
  }
  return true;
}

// Waits up to `timeout_ms` for a window titled `title`, and as long again for it to be
// shown when `shown`; null after saying it did not come.
HWND WaitForWindow(const char* title, DWORD timeout_ms, bool shown = false) {
  HWND window = nullptr;
  if (!WaitUntil(timeout_ms, [&] { return (window = FindWindowA(nullptr, title)) != nullptr; }))
    std::printf("not found: %s\n", title);
  else if (shown) WaitUntil(timeout_ms, [&] { return !IsWindow(window) || IsWindowVisible(window); });
  return window;
}

int Find(const char* title, DWORD timeout_ms) {
  // It exists from CreateWindowExA on; report it once it has been shown.
  HWND window = WaitForWindow(title, timeout_ms, true);
  if (!window) return 1;
  RECT rect{};
  GetWindowRect(window, &rect);
  std::printf("found class=%s rect=%ld,%ld,%ld,%ld style=0x%08lx exstyle=0x%08lx visible=%d pid=%lu\n",
              ClassOf(window).c_str(), rect.left, rect.top, rect.right, rect.bottom,
              static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
              static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)),
              IsWindowVisible(window) ? 1 : 0, static_cast<unsigned long>(ProcessOf(window)));
  return 0;
}

int Count(const char* title) {
  int count = 0;
  for (HWND w : Windows()) count += Text(w) == title ? 1 : 0;
  std::printf("%d\n", count);
  return 0;
}

int Gone(const char* title, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  if (!WaitUntil(timeout_ms, [&] { return !FindWindowA(nullptr, title); })) {
    std::printf("still there: %s\n", title);
    return 1;
  }
  std::printf("gone after %lu ms\n", static_cast<unsigned long>(GetTickCount() - start));
  return 0;
}

int Post(const char* title, const char* message_name, WPARAM wparam) {
  HWND window = WaitForWindow(title, 0);
  if (!window) return 1;
  UINT message;
  if (!std::strcmp(message_name, "close")) message = WM_CLOSE;
  else if (!std::strcmp(message_name, "syscommand")) message = WM_SYSCOMMAND;
  else message = static_cast<UINT>(Number(message_name));
  if (!PostMessageA(window, message, wparam, 0)) {
    std::printf("post failed: %lu\n", static_cast<unsigned long>(GetLastError()));
    return 1;
  }
  std::printf("posted 0x%04x 0x%llx\n", message, static_cast<unsigned long long>(wparam));
  return 0;
}

int Others(const char* title, bool close) {
  HWND window = WaitForWindow(title, 0);
  if (!window) return 1;
  for (HWND other : Windows()) {
    if (ProcessOf(other) != ProcessOf(window) || other == window || !IsWindowVisible(other)) continue;
    std::printf("window title=%s\n", Text(other).c_str());
    if (close) PostMessageA(other, WM_CLOSE, 0, 0);
  }
  return 0;
}

int Dialog(const char* title, DWORD timeout_ms) {
  // Found as soon as it exists; its controls are ready once it is shown.
  HWND dialog = WaitForWindow(title, timeout_ms, true);
  if (!dialog) return 1;
  Sleep(50);
  HWND owner = GetWindow(dialog, GW_OWNER);
  std::printf("owner=%s\n", owner ? Text(owner).c_str() : "");
  for (HWND child : Windows(dialog)) {
    if (!IsWindowVisible(child)) continue;  // message boxes keep unused buttons hidden
    const std::string text = Text(child);
    if (!lstrcmpiA(ClassOf(child).c_str(), "Button")) {
      RECT rect{};
      GetWindowRect(child, &rect);
      std::printf("button=%s rect=%ld,%ld,%ld,%ld\n", text.c_str(), rect.left, rect.top, rect.right,
                  rect.bottom);
    } else if (!lstrcmpiA(ClassOf(child).c_str(), "Static") && !text.empty()) {
      std::printf("text=%s\n", text.c_str());
    }
  }
  return 0;
}

int Display() {
  DEVMODEA mode = {};
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
  if (msg == WM_TIMER && stop_file && GetFileAttributesA(stop_file) != INVALID_FILE_ATTRIBUTES)
    DestroyWindow(hwnd);
  else if (msg == WM_DESTROY) PostQuitMessage(0);
  else return DefWindowProcA(hwnd, msg, wp, lp);
  return 0;
}

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) out += {kDigits[c >> 4], kDigits[c & 15]};
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

// The open-file dialog's controls: file type list, file name (a combo box with an
// edit field, or an edit field) and the OK button.
constexpr int kFileTypeId = 0x470;     // cmb1
constexpr int kFileNameCombo = 0x47C;  // cmb13
constexpr int kFileNameEdit = 0x480;   // edt1

int FileDialog(const char* owner_title, const char* path, DWORD limit_ms) {
  HWND dialog = nullptr;
  const auto owned_dialog = [&] {
    HWND owner = FindWindowA(nullptr, owner_title);
    for (HWND w : Windows())
      if (owner && ClassOf(w) == "#32770" && IsWindowVisible(w) && GetWindow(w, GW_OWNER) == owner)
        dialog = w;
    return dialog != nullptr;
  };
  if (!WaitUntil(limit_ms, owned_dialog)) return 1;
  Sleep(300);  // let it finish filling its lists
  std::printf("%s\n%s\n", Hex(TextOf(dialog)).c_str(), Hex(TextOf(GetDlgItem(dialog, kFileTypeId))).c_str());
  std::fflush(stdout);
  HWND name = GetDlgItem(dialog, kFileNameCombo);
  if (!name) name = GetDlgItem(dialog, kFileNameEdit);
  if (!name) return 1;
  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path));
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  return WaitUntil(limit_ms, [&] { return !IsWindow(dialog); }) ? 0 : 1;
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
  HWND box = nullptr;
  std::string text;
  const auto box_with_text = [&] {
    if (!(box = FindWindowA(nullptr, "Veloran"))) return false;
    for (HWND child : Windows(box))
      if (text.empty() && GetDlgCtrlID(child) == 0xFFFF) text = Text(child);
    return !text.empty();
  };
  if (!WaitUntil(timeout_ms, box_with_text)) return 1;
  std::printf("%s\n", Hex(text).c_str());
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  return 0;
}

int PrintRect(const char* title, bool client) {
  HWND w = FindWindowA(nullptr, title);
  RECT r;
  if (!w || !IsWindowVisible(w)) return 1;
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
    for (HWND child : Windows(parent)) {
      RECT r;
      GetClientRect(child, &r);
      std::printf("%s %ldx%ld\n", Text(child).c_str(), r.right - r.left, r.bottom - r.top);
    }
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

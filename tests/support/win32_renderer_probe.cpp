// probe: a small Win32 console tool the end-to-end tests run beside the renderer
// under Wine. It looks for windows the way the host does (FindWindowA by title),
// sends them messages and reports the display mode.
//
//   probe find TITLE [TIMEOUT_MS]       wait for the window (and for it to be shown);
//                                       print what it is
//   probe count TITLE                   how many top-level windows have that title
//   probe gone TITLE [TIMEOUT_MS]       wait until no window has that title
//   probe post TITLE MESSAGE [WPARAM]   PostMessageA (close, keydown, syscommand or a number)
//   probe others TITLE                  other visible top-level windows of the process
//                                       that owns TITLE, one per line
//   probe close-others TITLE            WM_CLOSE to each of those
//   probe dialog TITLE [TIMEOUT_MS]     wait for a dialog; print its owner, texts
//                                       and buttons (with their screen rectangles),
//                                       one per line
//   probe display                       current mode of the primary display
//   probe codepage                      the ANSI code page
//
// Every command prints one line per result and exits 0 on success, 1 when the
// awaited state did not come, 2 on bad usage.
#include <windows.h>

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
  if (!std::strcmp(message_name, "close"))
    message = WM_CLOSE;
  else if (!std::strcmp(message_name, "keydown"))
    message = WM_KEYDOWN;
  else if (!std::strcmp(message_name, "syscommand"))
    message = WM_SYSCOMMAND;
  else
    message = static_cast<UINT>(Number(message_name));
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
    std::printf("button=%s rect=%ld,%ld,%ld,%ld\n", text, rect.left, rect.top, rect.right,
                rect.bottom);
  }
  else if (!lstrcmpiA(class_name, "Static") && text[0])
    std::printf("text=%s\n", text);
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

int Usage() {
  std::printf("usage: probe find|count|gone|post|others|close-others|dialog|display|codepage ...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  const DWORD default_timeout = 10000;
  if (command == "find" && argc >= 3)
    return Find(argv[2], argc > 3 ? Number(argv[3]) : default_timeout);
  if (command == "count" && argc >= 3) return Count(argv[2]);
  if (command == "gone" && argc >= 3)
    return Gone(argv[2], argc > 3 ? Number(argv[3]) : default_timeout);
  if (command == "post" && argc >= 4) return Post(argv[2], argv[3], argc > 4 ? Number(argv[4]) : 0);
  if (command == "others" && argc >= 3) return Others(argv[2], false);
  if (command == "close-others" && argc >= 3) return Others(argv[2], true);
  if (command == "dialog" && argc >= 3)
    return Dialog(argv[2], argc > 3 ? Number(argv[3]) : default_timeout);
  if (command == "display") return Display();
  if (command == "codepage") {
    std::printf("codepage %u\n", GetACP());
    return 0;
  }
  return Usage();
}

// Veloran.dll on Windows: the program entry, the display switch, the borderless
// full-screen window with its WGL context, the black windows over the other
// monitors, the window procedure, the message queue, the buffer swap and the
// message box. Start-up, frame loop and shutdown are the platform-free RunRenderer.
#include <windows.h>

#include <GL/gl.h>

#include <cstring>
#include <vector>

#include "frame_loop.h"
#include "win32_platform.h"

namespace {

// The class of the black windows over the other monitors; they have no title, so
// that only the scene's window answers to the renderer's title.
constexpr const char* kCoverClass = "Veloran_Cover";

// What the primary display shows for the run.
struct ShownMode {
  int width;
  int height;
  DWORD refresh;  // 0 or 1 stand for the hardware's default
};

// Switches the primary display to width x height at the current depth and rate. A
// display that refuses keeps its current mode, and the run shows in that; when the
// current settings cannot be read, the display stays as it is and the run keeps
// width x height at an unknown rate.
ShownMode SetFullscreenMode(int width, int height) {
  DEVMODEA mode;
  std::memset(&mode, 0, sizeof mode);
  mode.dmSize = sizeof mode;
  if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return {width, height, 0};
  const ShownMode current{static_cast<int>(mode.dmPelsWidth), static_cast<int>(mode.dmPelsHeight),
                          mode.dmDisplayFrequency};
  mode.dmPelsWidth = width;
  mode.dmPelsHeight = height;
  if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) return current;
  return {width, height, mode.dmDisplayFrequency};
}

BOOL CALLBACK AddOtherMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY))
    reinterpret_cast<std::vector<RECT>*>(data)->push_back(info.rcMonitor);
  return TRUE;
}

// Where the monitors other than the primary show now: after the switch, which may
// have moved them.
std::vector<RECT> OtherMonitors() {
  std::vector<RECT> rects;
  EnumDisplayMonitors(nullptr, nullptr, AddOtherMonitor, reinterpret_cast<LPARAM>(&rects));
  return rects;
}

bool SetupPixelFormat(HDC dc) {
  PIXELFORMATDESCRIPTOR format;
  std::memset(&format, 0, sizeof format);
  format.nSize = 40;
  format.nVersion = 1;
  format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  format.iPixelType = PFD_TYPE_RGBA;
  format.cColorBits = ColorBits;
  format.cAccumBits = 0;
  format.cDepthBits = ColorBits;
  format.cStencilBits = 0;
  format.dwLayerMask = 0;

  const int index = ChoosePixelFormat(dc, &format);
  if (index == 0) return false;
  return SetPixelFormat(dc, index, &format) != FALSE;
}

// A saver should not draw faster than the display shows: wait for the vertical
// blank where the driver offers it.
void RequestSwapInterval(HDC dc) {
  using GetExtensionsArb = const char*(WINAPI*)(HDC);
  using GetExtensionsExt = const char*(WINAPI*)();
  using SwapInterval = BOOL(WINAPI*)(int);

  const char* extensions = nullptr;
  if (auto arb = reinterpret_cast<GetExtensionsArb>(
          reinterpret_cast<void*>(wglGetProcAddress("wglGetExtensionsStringARB")))) {
    extensions = arb(dc);
  } else if (auto ext = reinterpret_cast<GetExtensionsExt>(
                 reinterpret_cast<void*>(wglGetProcAddress("wglGetExtensionsStringEXT")))) {
    extensions = ext();
  }
  const bool listed =
      HasExtension(extensions, "WGL_EXT_swap_control") ||
      HasExtension(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), "WGL_EXT_swap_control");
  if (!listed) return;
  if (auto swap_interval =
          reinterpret_cast<SwapInterval>(reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")))) {
    swap_interval(1);
  }
}

LRESULT CALLBACK RendererWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      // Always full-screen: the projection is set once at start-up.
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_CLOSE:
      // The loop shuts down and destroys the window once it sees the quit message.
      PostQuitMessage(0);
      return 0;
    case WM_KEYDOWN:
      if (wparam == VK_ESCAPE) PostQuitMessage(0);
      return 0;
    case WM_SYSCOMMAND:
      // Keep another screen saver from starting over this one. Only the plain
      // command is swallowed; variants with low bits set go the default way.
      if (wparam == SC_SCREENSAVE) return 0;
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

// A black window takes keys and close requests like the scene's window, and shows
// no cursor.
LRESULT CALLBACK CoverWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_SETCURSOR) {
    SetCursor(nullptr);
    return TRUE;
  }
  return RendererWndProc(window, message, wparam, lparam);
}

}  // namespace

Win32Platform::~Win32Platform() {
  EndPreciseSleep();
  if (instance_) {
    UnregisterClassA(WindowName, instance_);
    UnregisterClassA(kCoverClass, instance_);
  }
}

// Black windows over every monitor but the primary, above all other windows, for
// the whole run.
void Win32Platform::CoverOtherMonitors() {
  const std::vector<RECT> monitors = OtherMonitors();
  if (monitors.empty()) return;
  WNDCLASSA cover_class{};
  cover_class.lpfnWndProc = CoverWndProc;
  cover_class.hInstance = instance_;
  cover_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  cover_class.lpszClassName = kCoverClass;
  RegisterClassA(&cover_class);
  for (const RECT& r : monitors) {
    HWND cover =
        CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kCoverClass, "", WS_POPUP | WS_CLIPSIBLINGS, r.left,
                        r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance_, nullptr);
    if (!cover) continue;  // the scene runs on without it
    ShowWindow(cover, SW_SHOWNOACTIVATE);
    UpdateWindow(cover);
    covers_.push_back(cover);
  }
}

bool Win32Platform::CreateRendererWindow(const char* title, int width, int height) {
  WNDCLASSA window_class{};
  window_class.style = CS_HREDRAW | CS_VREDRAW;
  window_class.lpfnWndProc = RendererWndProc;
  window_class.cbClsExtra = 0;
  window_class.cbWndExtra = 0;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszMenuName = nullptr;
  window_class.lpszClassName = WindowName;
  RegisterClassA(&window_class);

  const DWORD style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  const DWORD ex_style = 0;

  const ShownMode shown = SetFullscreenMode(width, height);
  refresh_ = shown.refresh;
  ShowCursor(FALSE);

  instance_ = window_class.hInstance;

  RECT outer = {0, 0, shown.width, shown.height};
  AdjustWindowRect(&outer, style, FALSE);

  HWND window = CreateWindowExA(ex_style, WindowName, title, style, 0, 0, outer.right - outer.left,
                                outer.bottom - outer.top, nullptr, nullptr, instance_, nullptr);
  if (!window) return false;

  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  CoverOtherMonitors();
  SetFocus(window);
  window_ = window;
  return true;
}

void Win32Platform::GetClientSize(int* width, int* height) {
  RECT client{};
  GetClientRect(window_, &client);
  *width = client.right;
  *height = client.bottom;
}

void Win32Platform::CreateContext() {
  dc_ = GetDC(window_);
  if (!SetupPixelFormat(dc_)) PostQuitMessage(0);
  rc_ = wglCreateContext(dc_);
  wglMakeCurrent(dc_, rc_);
  if (rc_) RequestSwapInterval(dc_);
}

MessagePump Win32Platform::PumpMessage(int* exit_code) {
  MSG message{};
  if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return MessagePump::kIdle;
  if (message.message == WM_QUIT) {
    *exit_code = static_cast<int>(message.wParam);
    return MessagePump::kQuit;
  }
  TranslateMessage(&message);
  DispatchMessageA(&message);
  return MessagePump::kHandled;
}

void Win32Platform::SwapBuffers() { ::SwapBuffers(dc_); }

void Win32Platform::ShowErrorBox(const char* text) { MessageBoxA(GetFocus(), text, "Error", MB_OK); }

void Win32Platform::KillRendererWindow() {
  EndPreciseSleep();
  if (rc_) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(rc_);
    rc_ = nullptr;
  }
  if (dc_) {
    ReleaseDC(window_, dc_);
    dc_ = nullptr;
  }
  if (window_) {
    DestroyWindow(window_);
    window_ = nullptr;
  }
  for (HWND cover : covers_) DestroyWindow(cover);
  covers_.clear();
}

void Win32Platform::RestoreDisplay() {
  ChangeDisplaySettingsA(nullptr, 0);
  ShowCursor(TRUE);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Win32Platform platform;
  return RunRenderer(platform);
}

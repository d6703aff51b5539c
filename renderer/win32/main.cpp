// Veloran.dll on Windows: the program entry, the display switch, the borderless
// full-screen window with its WGL context, the window procedure, the message queue,
// the buffer swap and the message box. Start-up, frame loop and shutdown are the
// platform-free RunRenderer.
#include <windows.h>

#include <GL/gl.h>

#include <cstring>

#include "frame_loop.h"
#include "win32_platform.h"

namespace {

// Returns the refresh rate of the mode switched to, which keeps the current one's;
// 0 when the current settings cannot be read.
DWORD SetFullscreenMode() {
  DEVMODEA mode;
  std::memset(&mode, 0, sizeof mode);
  mode.dmSize = sizeof mode;
  if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return 0;
  mode.dmPelsWidth = ScreenWidth;
  mode.dmPelsHeight = ScreenHeight;
  if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
    PostQuitMessage(0);
  }
  return mode.dmDisplayFrequency;  // 0 or 1 stand for the hardware's default
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
  if (auto swap_interval = reinterpret_cast<SwapInterval>(
          reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")))) {
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

}  // namespace

Win32Platform::~Win32Platform() {
  EndPreciseSleep();
  if (instance_) UnregisterClassA(WindowName, instance_);
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

  refresh_ = SetFullscreenMode();
  ShowCursor(FALSE);

  instance_ = window_class.hInstance;

  RECT outer = {0, 0, width, height};
  AdjustWindowRect(&outer, style, FALSE);

  HWND window = CreateWindowExA(ex_style, WindowName, title, style, 0, 0, outer.right - outer.left,
                                outer.bottom - outer.top, nullptr, nullptr, instance_, nullptr);
  if (!window) return false;

  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
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
}

void Win32Platform::RestoreDisplay() {
  ChangeDisplaySettingsA(nullptr, 0);
  ShowCursor(TRUE);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Win32Platform platform;
  return RunRenderer(platform);
}

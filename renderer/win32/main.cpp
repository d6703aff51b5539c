// Veloran.dll on Windows: program entry, display switch, the borderless
// full-screen window and its WGL context, the frame loop (one message or one
// frame per pass) and the shutdown. The scene itself is the platform-free logic
// in renderer/.
#include <windows.h>

#include <GL/gl.h>

#include <cstring>

#include "renderer.h"
#include "scene.h"
#include "swap_stats.h"
#include "win32_platform.h"

HDC g_dc = nullptr;

namespace {

HINSTANCE g_instance = nullptr;
HWND g_window = nullptr;
HGLRC g_rc = nullptr;
RECT g_client_rect{};

LRESULT CALLBACK RendererWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

void SetFullscreenMode() {
  DEVMODEA mode;
  std::memset(&mode, 0, sizeof mode);
  mode.dmSize = sizeof mode;
  if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return;
  mode.dmPelsWidth = ScreenWidth;
  mode.dmPelsHeight = ScreenHeight;
  if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
    PostQuitMessage(0);
  }
}

HWND CreateRendererWindow(const char* title, int width, int height) {
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

  SetFullscreenMode();
  ShowCursor(FALSE);

  g_instance = window_class.hInstance;

  RECT outer = {0, 0, width, height};
  AdjustWindowRect(&outer, style, FALSE);

  HWND window = CreateWindowExA(ex_style, WindowName, title, style, 0, 0, outer.right - outer.left,
                                outer.bottom - outer.top, nullptr, nullptr, g_instance, nullptr);
  if (!window) return nullptr;

  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  SetFocus(window);
  return window;
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

bool HasExtension(const char* list, const char* name) {
  if (!list) return false;
  const size_t length = std::strlen(name);
  for (const char* at = std::strstr(list, name); at; at = std::strstr(at + 1, name)) {
    const bool starts = at == list || at[-1] == ' ';
    const bool ends = at[length] == '\0' || at[length] == ' ';
    if (starts && ends) return true;
  }
  return false;
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

void InitGL(int width, int height) {
  g_dc = GetDC(g_window);
  if (!SetupPixelFormat(g_dc)) PostQuitMessage(0);
  g_rc = wglCreateContext(g_dc);
  wglMakeCurrent(g_dc, g_rc);
  if (g_rc) RequestSwapInterval(g_dc);
  ResizeScene(width, height);
}

void InitRenderer(HWND window) {
  SeedRandomFromClock();
  g_window = window;
  GetClientRect(g_window, &g_client_rect);
  InitGL(g_client_rect.right, g_client_rect.bottom);
  StartScene();  // textures, particles, fixed GL state with texture 0 bound
}

void KillRendererWindow() {
  if (g_rc) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(g_rc);
    g_rc = nullptr;
  }
  if (g_dc) {
    ReleaseDC(g_window, g_dc);
    g_dc = nullptr;
  }
  if (g_window) {
    DestroyWindow(g_window);
    g_window = nullptr;
  }
  ChangeDisplaySettingsA(nullptr, 0);
  ShowCursor(TRUE);
  UnregisterClassA(WindowName, g_instance);
}

int RunMessageLoop() {
  MSG message{};
  for (;;) {
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) break;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    } else {
      RenderIdleFrame();
    }
  }
  KillRendererWindow();
  EndScene();
  ReportSwapStats();
  return static_cast<int>(message.wParam);
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

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  InitSwapStats();
  HWND window = CreateRendererWindow(WindowName, ScreenWidth, ScreenHeight);
  if (!window) {
    ChangeDisplaySettingsA(nullptr, 0);
    ShowCursor(TRUE);
    return 1;
  }
  InitRenderer(window);
  return RunMessageLoop();
}

// Veloran.dll on X11: program entry, display switch, the borderless full-screen
// window and its GLX context, the frame loop (one event or one frame per pass) and
// the shutdown. The scene itself is the platform-free logic in renderer/.
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "display_mode.h"
#include "platform.h"
#include "renderer.h"
#include "scene.h"
#include "swap_stats.h"
#include "x11_platform.h"

Display* g_display = nullptr;
Window g_window = None;
volatile std::sig_atomic_t g_signal_quit = 0;

namespace {

GLXFBConfig g_fb_config = nullptr;  // the pixel format; null when none could be chosen
GLXContext g_context = nullptr;
Colormap g_colormap = None;
Atom g_wm_protocols = None;
Atom g_wm_delete_window = None;
XRectangle g_client_rect{};
bool g_quit_posted = false;
int g_quit_code = 0;
int g_last_x_error = 0;
bool g_cursor_hidden = false;

int OnXError(Display*, XErrorEvent* error) {
  // Windows vanish while we look at them (a closed message box, a destroyed
  // window during a swap); note the error and go on, never end the program here.
  g_last_x_error = error->error_code;
  return 0;
}

void OnQuitSignal(int) { g_signal_quit = 1; }

void InstallSignalHandlers() {
  struct sigaction action {};
  action.sa_handler = OnQuitSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

// Returns where the window goes: over the switched output.
XRectangle SetFullscreenMode() {
  // A configuration that cannot be read leaves the display as it is and the run
  // goes on; one that cannot be applied ends the run shortly.
  XRectangle area;
  if (SwitchDisplayMode(g_display, ScreenWidth, ScreenHeight, &area) == ModeSwitch::kFailed)
    PostQuit(0);
  return area;
}

void ShowRendererCursor(bool show) {
  int event_base, error_base;
  if (!XFixesQueryExtension(g_display, &event_base, &error_base)) return;
  if (show == !g_cursor_hidden) return;
  Window root = DefaultRootWindow(g_display);
  if (show)
    XFixesShowCursor(g_display, root);
  else
    XFixesHideCursor(g_display, root);
  g_cursor_hidden = !show;
  XFlush(g_display);
}

// A double-buffered RGBA format with at least 16 colour and 16 depth bits.
GLXFBConfig ChooseFbConfig() {
  int error_base, event_base;
  if (!glXQueryExtension(g_display, &error_base, &event_base)) return nullptr;
  const int attributes[] = {GLX_X_RENDERABLE, True,
                            GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT,
                            GLX_RENDER_TYPE, GLX_RGBA_BIT,
                            GLX_DOUBLEBUFFER, True,
                            GLX_BUFFER_SIZE, ColorBits,
                            GLX_DEPTH_SIZE, ColorBits,
                            None};
  int count = 0;
  GLXFBConfig* configs =
      glXChooseFBConfig(g_display, DefaultScreen(g_display), attributes, &count);
  GLXFBConfig chosen = nullptr;
  for (int i = 0; i < count && !chosen; ++i) {
    if (XVisualInfo* visual = glXGetVisualFromFBConfig(g_display, configs[i])) {
      chosen = configs[i];
      XFree(visual);
    }
  }
  if (configs) XFree(configs);
  return chosen;
}

void SetWindowTitle(Window window, const char* title) {
  XStoreName(g_display, window, title);
  Atom utf8 = XInternAtom(g_display, "UTF8_STRING", False);
  XChangeProperty(g_display, window, XInternAtom(g_display, "_NET_WM_NAME", False), utf8, 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(title),
                  static_cast<int>(std::strlen(title)));
}

// Asks a window manager, if one runs, for no decorations and the whole screen.
void SetBorderless(Window window) {
  struct {
    unsigned long flags, functions, decorations;
    long input_mode;
    unsigned long status;
  } motif_hints{2 /* decorations given */, 0, 0 /* none */, 0, 0};
  Atom motif = XInternAtom(g_display, "_MOTIF_WM_HINTS", False);
  XChangeProperty(g_display, window, motif, motif, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&motif_hints), 5);
  Atom fullscreen = XInternAtom(g_display, "_NET_WM_STATE_FULLSCREEN", False);
  XChangeProperty(g_display, window, XInternAtom(g_display, "_NET_WM_STATE", False), XA_ATOM,
                  32, PropModeReplace, reinterpret_cast<unsigned char*>(&fullscreen), 1);
}

Window CreateRendererWindow(const char* title, int width, int height) {
  g_fb_config = ChooseFbConfig();
  XRectangle area = SetFullscreenMode();
  width = area.width;
  height = area.height;
  ShowRendererCursor(false);

  int screen = DefaultScreen(g_display);
  Window root = RootWindow(g_display, screen);
  Visual* visual = DefaultVisual(g_display, screen);
  int depth = DefaultDepth(g_display, screen);
  XVisualInfo* visual_info = g_fb_config ? glXGetVisualFromFBConfig(g_display, g_fb_config) : nullptr;
  if (visual_info) {
    visual = visual_info->visual;
    depth = visual_info->depth;
  }
  g_colormap = XCreateColormap(g_display, root, visual, AllocNone);
  if (visual_info) XFree(visual_info);

  XSetWindowAttributes attributes{};
  attributes.colormap = g_colormap;
  attributes.background_pixel = 0;
  attributes.border_pixel = 0;
  attributes.event_mask = KeyPressMask | StructureNotifyMask | ExposureMask;
  g_last_x_error = 0;
  Window window = XCreateWindow(g_display, root, area.x, area.y, width, height, 0, depth, InputOutput, visual,
                                CWColormap | CWBackPixel | CWBorderPixel | CWEventMask,
                                &attributes);
  XSync(g_display, False);
  if (!window || g_last_x_error) return None;

  SetWindowTitle(window, title);
  XClassHint class_hint{const_cast<char*>(title), const_cast<char*>(title)};
  XSetClassHint(g_display, window, &class_hint);
  XSizeHints size_hints{};
  size_hints.flags = USPosition | USSize | PMinSize | PMaxSize;
  size_hints.x = area.x;
  size_hints.y = area.y;
  size_hints.width = size_hints.min_width = size_hints.max_width = width;
  size_hints.height = size_hints.min_height = size_hints.max_height = height;
  XSetWMNormalHints(g_display, window, &size_hints);
  long pid = static_cast<long>(getpid());
  XChangeProperty(g_display, window, XInternAtom(g_display, "_NET_WM_PID", False), XA_CARDINAL,
                  32, PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);
  g_wm_protocols = XInternAtom(g_display, "WM_PROTOCOLS", False);
  g_wm_delete_window = XInternAtom(g_display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(g_display, window, &g_wm_delete_window, 1);
  SetBorderless(window);

  XMapRaised(g_display, window);
  XFlush(g_display);
  return window;  // focus follows once the window is mapped (HandleRendererEvent)
}

void RequestSwapInterval() {
  const char* extensions = glXQueryExtensionsString(g_display, DefaultScreen(g_display));
  if (!extensions) return;
  auto has = [extensions](const char* name) {
    size_t length = std::strlen(name);
    for (const char* p = std::strstr(extensions, name); p; p = std::strstr(p + length, name))
      if ((p == extensions || p[-1] == ' ') && (p[length] == ' ' || p[length] == '\0'))
        return true;
    return false;
  };
  if (has("GLX_EXT_swap_control")) {
    auto set_interval = reinterpret_cast<void (*)(Display*, GLXDrawable, int)>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
    if (set_interval) set_interval(g_display, g_window, 1);
  } else if (has("GLX_MESA_swap_control")) {
    auto set_interval = reinterpret_cast<int (*)(unsigned)>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
    if (set_interval) set_interval(1);
  }
}

void InitGL(int width, int height) {
  if (!g_fb_config) PostQuit(0);  // no pixel format: the run ends on its own
  if (g_fb_config) {
    g_context = glXCreateNewContext(g_display, g_fb_config, GLX_RGBA_TYPE, nullptr, True);
    if (g_context) {
      glXMakeCurrent(g_display, g_window, g_context);
      RequestSwapInterval();
    }
  }
  ResizeScene(width, height);
}

void InitRenderer(Window window) {
  SeedRandomFromClock();
  g_window = window;
  XWindowAttributes attributes{};
  XGetWindowAttributes(g_display, window, &attributes);
  g_client_rect = {0, 0, static_cast<unsigned short>(attributes.width),
                   static_cast<unsigned short>(attributes.height)};
  InitGL(g_client_rect.width, g_client_rect.height);
  StartScene();
}

void KillRendererWindow() {
  if (g_context) {
    glXMakeCurrent(g_display, None, nullptr);
    glXDestroyContext(g_display, g_context);
    g_context = nullptr;
  }
  if (g_window) {
    XDestroyWindow(g_display, g_window);
    g_window = None;
  }
  if (g_colormap) {
    XFreeColormap(g_display, g_colormap);
    g_colormap = None;
  }
  XSync(g_display, False);
  RestoreDisplayMode(g_display);
  ShowRendererCursor(true);
  XSync(g_display, False);
}

// X raises no event when the screen saver of the server wants to start; keeping it
// reset does what swallowing the screen-saver command does on other systems.
void KeepServerSaverAway() {
  static time_t last_reset = 0;
  time_t now = std::time(nullptr);
  if (now - last_reset >= 10) {
    XResetScreenSaver(g_display);
    last_reset = now;
  }
}

int RunMessageLoop() {
  for (;;) {
    if (g_signal_quit) PostQuit(0);
    if (g_quit_posted) break;
    if (XPending(g_display)) {
      XEvent event;
      XNextEvent(g_display, &event);
      HandleRendererEvent(event);
    } else {
      RenderIdleFrame();
      KeepServerSaverAway();
    }
  }
  KillRendererWindow();
  EndScene();
  return g_quit_code;
}

}  // namespace

void PostQuit(int exit_code) {
  if (g_quit_posted) return;
  g_quit_posted = true;
  g_quit_code = exit_code;
}

bool QuitPosted() { return g_quit_posted || g_signal_quit; }

void ClearXError() { g_last_x_error = 0; }
int LastXError() { return g_last_x_error; }

void HandleRendererEvent(const XEvent& event) {
  if (!g_window || event.xany.window != g_window) return;
  switch (event.type) {
    case KeyPress: {
      XKeyEvent key = event.xkey;
      if (XLookupKeysym(&key, 0) == XK_Escape) PostQuit(0);
      break;  // every other key is ignored
    }
    case ClientMessage:
      if (event.xclient.message_type == g_wm_protocols && event.xclient.format == 32 &&
          static_cast<Atom>(event.xclient.data.l[0]) == g_wm_delete_window)
        PostQuit(0);  // a close request; the window stays until shutdown
      break;
    case MapNotify:
      ClearXError();
      XSetInputFocus(g_display, g_window, RevertToPointerRoot, CurrentTime);
      break;
    case DestroyNotify:
      // Destroyed by another client: nothing is left to draw into and whoever
      // watches for the window already takes the run for ended, so end it.
      if (event.xdestroywindow.window == g_window) {
        g_window = None;
        PostQuit(0);
      }
      break;
    default:
      break;  // exposure, size and the rest: drawing happens in the loop
  }
}

void SwapSceneBuffers() {
  if (g_context) glXSwapBuffers(g_display, g_window);
  if (g_swap_stats_enabled) CountSwap();
}

int main() {
  InstallSignalHandlers();
  InitSwapStats();
  g_display = XOpenDisplay(nullptr);
  if (!g_display) {
    std::fprintf(stderr, "Veloran.dll: cannot open display \"%s\"\n", XDisplayName(nullptr));
    return 1;
  }
  XSetErrorHandler(OnXError);

  Window window = CreateRendererWindow(WindowName, ScreenWidth, ScreenHeight);
  if (!window) {
    RestoreDisplayMode(g_display);
    ShowRendererCursor(true);
    XCloseDisplay(g_display);
    return 1;
  }
  InitRenderer(window);
  int exit_code = RunMessageLoop();
  ReportSwapStats();
  XCloseDisplay(g_display);
  g_display = nullptr;
  return exit_code;
}

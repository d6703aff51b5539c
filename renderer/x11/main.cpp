// Veloran.dll on X11: the program entry, the display switch, the borderless
// full-screen window with its GLX context, the window's events and the buffer swap.
// Start-up, frame loop and shutdown are the platform-free RunRenderer.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>

#include "display_mode.h"
#include "frame_loop.h"
#include "x11_platform.h"

namespace {

int g_last_x_error = 0;
volatile std::sig_atomic_t g_signal_quit = 0;

int OnXError(Display*, XErrorEvent* error) {
  // Windows vanish while we look at them (a closed message box, a destroyed
  // window during a swap); note the error and go on, never end the program here.
  g_last_x_error = error->error_code;
  return 0;
}

void OnQuitSignal(int) { g_signal_quit = 1; }

void SetWindowTitle(Display* display, Window window, const char* title) {
  XStoreName(display, window, title);
  Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(title),
                  static_cast<int>(std::strlen(title)));
}

}  // namespace

void InstallXErrorHandler() { XSetErrorHandler(OnXError); }
void ClearXError() { g_last_x_error = 0; }
int LastXError() { return g_last_x_error; }

void InstallSignalHandlers() {
  struct sigaction action {};
  action.sa_handler = OnQuitSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

X11Platform::~X11Platform() {
  if (display_) XCloseDisplay(display_);
}

XRectangle X11Platform::SetFullscreenMode() {
  // A configuration that cannot be read leaves the display as it is and the run
  // goes on; one that cannot be applied ends the run shortly. Either way the window
  // goes over the output that was (or would have been) switched.
  XRectangle area;
  if (SwitchDisplayMode(display_, ScreenWidth, ScreenHeight, &area) == ModeSwitch::kFailed) PostQuit(0);
  return area;
}

void X11Platform::ShowRendererCursor(bool show) {
  int event_base, error_base;
  if (!XFixesQueryExtension(display_, &event_base, &error_base)) return;
  if (show == !cursor_hidden_) return;
  Window root = DefaultRootWindow(display_);
  if (show)
    XFixesShowCursor(display_, root);
  else
    XFixesHideCursor(display_, root);
  cursor_hidden_ = !show;
  XFlush(display_);
}

// A double-buffered RGBA format with at least 16 colour and 16 depth bits.
GLXFBConfig X11Platform::ChooseFbConfig() {
  int error_base, event_base;
  if (!glXQueryExtension(display_, &error_base, &event_base)) return nullptr;
  const int attributes[] = {GLX_X_RENDERABLE, True,
                            GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT,
                            GLX_RENDER_TYPE, GLX_RGBA_BIT,
                            GLX_DOUBLEBUFFER, True,
                            GLX_BUFFER_SIZE, ColorBits,
                            GLX_DEPTH_SIZE, ColorBits,
                            None};
  int count = 0;
  GLXFBConfig* configs =
      glXChooseFBConfig(display_, DefaultScreen(display_), attributes, &count);
  GLXFBConfig chosen = nullptr;
  for (int i = 0; i < count && !chosen; ++i) {
    if (XVisualInfo* visual = glXGetVisualFromFBConfig(display_, configs[i])) {
      chosen = configs[i];
      XFree(visual);
    }
  }
  if (configs) XFree(configs);
  return chosen;
}

// Asks a window manager, if one runs, for no decorations and the whole screen.
void X11Platform::SetBorderless(Window window) {
  struct {
    unsigned long flags, functions, decorations;
    long input_mode;
    unsigned long status;
  } motif_hints{2 /* decorations given */, 0, 0 /* none */, 0, 0};
  Atom motif = XInternAtom(display_, "_MOTIF_WM_HINTS", False);
  XChangeProperty(display_, window, motif, motif, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&motif_hints), 5);
  Atom fullscreen = XInternAtom(display_, "_NET_WM_STATE_FULLSCREEN", False);
  XChangeProperty(display_, window, XInternAtom(display_, "_NET_WM_STATE", False), XA_ATOM,
                  32, PropModeReplace, reinterpret_cast<unsigned char*>(&fullscreen), 1);
}

bool X11Platform::CreateRendererWindow(const char* title, int width, int height) {
  fb_config_ = ChooseFbConfig();
  const XRectangle area = SetFullscreenMode();
  width = area.width;
  height = area.height;
  ShowRendererCursor(false);

  int screen = DefaultScreen(display_);
  Window root = RootWindow(display_, screen);
  Visual* visual = DefaultVisual(display_, screen);
  int depth = DefaultDepth(display_, screen);
  XVisualInfo* visual_info = fb_config_ ? glXGetVisualFromFBConfig(display_, fb_config_) : nullptr;
  if (visual_info) {
    visual = visual_info->visual;
    depth = visual_info->depth;
  }
  colormap_ = XCreateColormap(display_, root, visual, AllocNone);
  if (visual_info) XFree(visual_info);

  XSetWindowAttributes attributes{};
  attributes.colormap = colormap_;
  attributes.background_pixel = 0;
  attributes.border_pixel = 0;
  attributes.event_mask = KeyPressMask | StructureNotifyMask | ExposureMask;
  g_last_x_error = 0;
  Window window = XCreateWindow(display_, root, area.x, area.y, width, height, 0, depth, InputOutput, visual,
                                CWColormap | CWBackPixel | CWBorderPixel | CWEventMask,
                                &attributes);
  XSync(display_, False);
  if (!window || g_last_x_error) return false;

  SetWindowTitle(display_, window, title);
  XClassHint class_hint{const_cast<char*>(title), const_cast<char*>(title)};
  XSetClassHint(display_, window, &class_hint);
  XSizeHints size_hints{};
  size_hints.flags = USPosition | USSize | PMinSize | PMaxSize;
  size_hints.x = area.x;
  size_hints.y = area.y;
  size_hints.width = size_hints.min_width = size_hints.max_width = width;
  size_hints.height = size_hints.min_height = size_hints.max_height = height;
  XSetWMNormalHints(display_, window, &size_hints);
  long pid = static_cast<long>(getpid());
  XChangeProperty(display_, window, XInternAtom(display_, "_NET_WM_PID", False), XA_CARDINAL,
                  32, PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);
  wm_protocols_ = XInternAtom(display_, "WM_PROTOCOLS", False);
  wm_delete_window_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display_, window, &wm_delete_window_, 1);
  SetBorderless(window);

  XMapRaised(display_, window);
  XFlush(display_);
  window_ = window;  // focus follows once the window is mapped (HandleRendererEvent)
  return true;
}

void X11Platform::GetClientSize(int* width, int* height) {
  XWindowAttributes attributes{};
  XGetWindowAttributes(display_, window_, &attributes);
  *width = attributes.width;
  *height = attributes.height;
}

void X11Platform::RequestSwapInterval() {
  const char* extensions = glXQueryExtensionsString(display_, DefaultScreen(display_));
  if (HasExtension(extensions, "GLX_EXT_swap_control")) {
    auto set_interval = reinterpret_cast<void (*)(Display*, GLXDrawable, int)>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
    if (set_interval) set_interval(display_, window_, 1);
  } else if (HasExtension(extensions, "GLX_MESA_swap_control")) {
    auto set_interval = reinterpret_cast<int (*)(unsigned)>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
    if (set_interval) set_interval(1);
  }
}

void X11Platform::CreateContext() {
  if (!fb_config_) {
    PostQuit(0);  // no pixel format: the run ends on its own
    return;
  }
  context_ = glXCreateNewContext(display_, fb_config_, GLX_RGBA_TYPE, nullptr, True);
  if (context_) {
    glXMakeCurrent(display_, window_, context_);
    RequestSwapInterval();
  }
}

void X11Platform::KillRendererWindow() {
  if (context_) {
    glXMakeCurrent(display_, None, nullptr);
    glXDestroyContext(display_, context_);
    context_ = nullptr;
  }
  if (window_) {
    XDestroyWindow(display_, window_);
    window_ = None;
  }
  if (colormap_) {
    XFreeColormap(display_, colormap_);
    colormap_ = None;
  }
  XSync(display_, False);
}

void X11Platform::RestoreDisplay() {
  RestoreDisplayMode(display_);
  ShowRendererCursor(true);
  XSync(display_, False);
}

// X raises no event when the screen saver of the server wants to start; keeping it
// reset does what swallowing the screen-saver command does on other systems.
void X11Platform::KeepServerSaverAway() {
  std::time_t now = std::time(nullptr);
  if (now - last_saver_reset_ >= 10) {
    XResetScreenSaver(display_);
    last_saver_reset_ = now;
  }
}

void X11Platform::SwapBuffers() {
  if (context_) glXSwapBuffers(display_, window_);
  KeepServerSaverAway();
}

MessagePump X11Platform::PumpMessage(int* exit_code) {
  if (g_signal_quit) PostQuit(0);
  if (quit_posted_) {
    *exit_code = quit_code_;
    return MessagePump::kQuit;
  }
  if (!XPending(display_)) return MessagePump::kIdle;
  XEvent event;
  XNextEvent(display_, &event);
  HandleRendererEvent(event);
  return MessagePump::kHandled;
}

void X11Platform::PostQuit(int exit_code) {
  if (quit_posted_) return;
  quit_posted_ = true;
  quit_code_ = exit_code;
}

bool X11Platform::QuitPosted() const { return quit_posted_ || g_signal_quit; }

void X11Platform::HandleRendererEvent(const XEvent& event) {
  if (!window_ || event.xany.window != window_) return;
  switch (event.type) {
    case KeyPress: {
      XKeyEvent key = event.xkey;
      if (XLookupKeysym(&key, 0) == XK_Escape) PostQuit(0);
      break;  // every other key is ignored
    }
    case ClientMessage:
      if (event.xclient.message_type == wm_protocols_ && event.xclient.format == 32 &&
          static_cast<Atom>(event.xclient.data.l[0]) == wm_delete_window_)
        PostQuit(0);  // a close request; the window stays until shutdown
      break;
    case MapNotify:
      ClearXError();
      XSetInputFocus(display_, window_, RevertToPointerRoot, CurrentTime);
      break;
    case DestroyNotify:
      // Destroyed by another client: nothing is left to draw into and whoever
      // watches for the window already takes the run for ended, so end it.
      if (event.xdestroywindow.window == window_) {
        window_ = None;
        PostQuit(0);
      }
      break;
    default:
      break;  // exposure, size and the rest: drawing happens in the loop
  }
}

int main() {
  InstallSignalHandlers();
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "Veloran.dll: cannot open display \"%s\"\n", XDisplayName(nullptr));
    return 1;
  }
  InstallXErrorHandler();
  X11Platform platform(display);
  return RunRenderer(platform);
}

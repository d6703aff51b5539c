// Veloran.dll on X11: the program entry, the display switch, the borderless
// full-screen window with its GLX context, the black windows over the other
// outputs, the window's events and the buffer swap; or, with "-window-id ID", the
// embedded run inside window ID (x11_platform.h).
// Start-up, frame loop and shutdown are the platform-free RunRenderer.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <vector>

#include "display_mode.h"
#include "display_plan.h"
#include "frame_loop.h"
#include "x11_platform.h"

namespace {

void SetWindowTitle(Display* display, Window window, const char* title) {
  XStoreName(display, window, title);
  Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title), static_cast<int>(std::strlen(title)));
}

}  // namespace

X11Platform* X11Platform::instance_ = nullptr;

void X11Platform::OnQuitSignal(int) {
  if (instance_) instance_->signal_quit_ = 1;
}

int X11Platform::OnXError(Display*, XErrorEvent* error) {
  // Note the error and go on, never end the program here (x_errors.h).
  if (instance_) instance_->x_errors_.Note(error->error_code);
  return 0;
}

X11Platform::X11Platform() {
  instance_ = this;
  struct sigaction action {};
  action.sa_handler = OnQuitSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

X11Platform::~X11Platform() {
  instance_ = nullptr;
  if (display_) XCloseDisplay(display_);
}

bool X11Platform::Open() {
  display_ = XOpenDisplay(nullptr);
  if (!display_) return false;
  XSetErrorHandler(OnXError);
  return true;
}

XRectangle X11Platform::SetFullscreenMode(std::vector<XRectangle>* blank) {
  // A configuration that cannot be read leaves the display as it is; an output that
  // cannot show the size (no such mode, a server that refuses changes) keeps its
  // mode and the run fills it as it is. Either way the run goes on, over the output
  // that was (or would have been) switched.
  XRectangle area;
  display_mode_.Switch(display_, ScreenWidth, ScreenHeight, &area, blank);
  return area;
}

// Black, cursorless windows over the other outputs, above everything else (no
// window manager places or stacks them), that take keys like the scene's window.
// They belong to this connection and go with it however the run ends.
void X11Platform::CoverOtherOutputs(const std::vector<XRectangle>& areas) {
  if (areas.empty()) return;
  Window root = DefaultRootWindow(display_);
  if (!blank_cursor_) {
    static const char kNoBits[1] = {0};
    Pixmap empty = XCreateBitmapFromData(display_, root, kNoBits, 1, 1);
    XColor black{};
    blank_cursor_ = XCreatePixmapCursor(display_, empty, empty, &black, &black, 0, 0);
    XFreePixmap(display_, empty);
  }
  XSetWindowAttributes attributes{};
  attributes.background_pixel = BlackPixel(display_, DefaultScreen(display_));
  attributes.border_pixel = 0;
  attributes.override_redirect = True;
  attributes.cursor = blank_cursor_;
  attributes.event_mask = KeyPressMask;
  for (const XRectangle& area : areas) {
    x_errors_.Clear();
    Window cover =
        XCreateWindow(display_, root, area.x, area.y, area.width, area.height, 0, CopyFromParent, InputOutput,
                      CopyFromParent,
                      CWBackPixel | CWBorderPixel | CWOverrideRedirect | CWCursor | CWEventMask, &attributes);
    XSync(display_, False);
    if (!cover || x_errors_.Last()) continue;  // the scene runs on without it
    XMapRaised(display_, cover);
    covers_.push_back(cover);
  }
  XFlush(display_);
}

void X11Platform::ShowRendererCursor(bool show) {
  int event_base, error_base;
  if (!XFixesQueryExtension(display_, &event_base, &error_base)) return;
  if (show == !cursor_hidden_) return;
  Window root = DefaultRootWindow(display_);
  if (show) XFixesShowCursor(display_, root);
  else XFixesHideCursor(display_, root);
  cursor_hidden_ = !show;
  XFlush(display_);
}

namespace {

// The double-buffered RGBA formats with at least 16 colour and 16 depth bits that
// have an X visual, in the server's order of preference, with those visuals.
std::vector<GLXFBConfig> UsableFbConfigs(Display* display, std::vector<uint64_t>* visuals) {
  std::vector<GLXFBConfig> usable;
  int error_base, event_base;
  if (!glXQueryExtension(display, &error_base, &event_base)) return usable;
  const int attributes[] = {GLX_X_RENDERABLE,
                            True,
                            GLX_DRAWABLE_TYPE,
                            GLX_WINDOW_BIT,
                            GLX_RENDER_TYPE,
                            GLX_RGBA_BIT,
                            GLX_DOUBLEBUFFER,
                            True,
                            GLX_BUFFER_SIZE,
                            ColorBits,
                            GLX_DEPTH_SIZE,
                            ColorBits,
                            None};
  int count = 0;
  GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
  for (int i = 0; i < count; ++i) {
    if (XVisualInfo* visual = glXGetVisualFromFBConfig(display, configs[i])) {
      usable.push_back(configs[i]);
      if (visuals) visuals->push_back(visual->visualid);
      XFree(visual);
    }
  }
  if (configs) XFree(configs);
  return usable;
}

}  // namespace

// The first usable format (see UsableFbConfigs).
GLXFBConfig X11Platform::ChooseFbConfig() {
  const std::vector<GLXFBConfig> usable = UsableFbConfigs(display_, nullptr);
  return usable.empty() ? nullptr : usable.front();
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
  XChangeProperty(display_, window, XInternAtom(display_, "_NET_WM_STATE", False), XA_ATOM, 32,
                  PropModeReplace, reinterpret_cast<unsigned char*>(&fullscreen), 1);
}

// The embedded run's drawable: the target itself when a format has its visual, else
// a child of the target in the first format's visual, over all of it. The target's
// size and end are followed through its structure events.
bool X11Platform::CreateEmbeddedWindow() {
  XWindowAttributes target{};
  x_errors_.Clear();
  if (!XGetWindowAttributes(display_, target_, &target) || x_errors_.Last()) return false;
  XSelectInput(display_, target_, StructureNotifyMask);
  XSync(display_, False);
  if (x_errors_.Last()) return false;
  target_width_ = target.width;
  target_height_ = target.height;

  std::vector<uint64_t> visuals;
  const std::vector<GLXFBConfig> usable = UsableFbConfigs(display_, &visuals);
  const EmbedPlan plan = PlanEmbedding(XVisualIDFromVisual(target.visual), visuals);
  if (plan.format < 0) {
    fb_config_ = nullptr;  // no GL at all: the context's step ends the run
    window_ = target_;
    return true;
  }
  fb_config_ = usable[static_cast<std::size_t>(plan.format)];
  if (!plan.child) {
    window_ = target_;
    return true;
  }

  XVisualInfo* visual_info = glXGetVisualFromFBConfig(display_, fb_config_);
  if (!visual_info) return false;
  colormap_ = XCreateColormap(display_, target_, visual_info->visual, AllocNone);
  XSetWindowAttributes attributes{};
  attributes.colormap = colormap_;
  attributes.background_pixel = 0;
  attributes.border_pixel = 0;
  attributes.event_mask = StructureNotifyMask;
  Window child = XCreateWindow(display_, target_, 0, 0, std::max(target.width, 1), std::max(target.height, 1),
                               0, visual_info->depth, InputOutput, visual_info->visual,
                               CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
  XFree(visual_info);
  XSync(display_, False);
  if (!child || x_errors_.Last()) return false;
  XMapWindow(display_, child);
  XFlush(display_);
  window_ = child;
  own_child_ = true;
  return true;
}

bool X11Platform::CreateRendererWindow(const char* title, int width, int height) {
  if (target_) return CreateEmbeddedWindow();
  fb_config_ = ChooseFbConfig();
  std::vector<XRectangle> blank;
  const XRectangle area = SetFullscreenMode(&blank);
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
  x_errors_.Clear();
  Window window = XCreateWindow(display_, root, area.x, area.y, width, height, 0, depth, InputOutput, visual,
                                CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
  XSync(display_, False);
  if (!window || x_errors_.Last()) return false;

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
  XChangeProperty(display_, window, XInternAtom(display_, "_NET_WM_PID", False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);
  wm_protocols_ = XInternAtom(display_, "WM_PROTOCOLS", False);
  wm_delete_window_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display_, window, &wm_delete_window_, 1);
  SetBorderless(window);

  XMapRaised(display_, window);
  XFlush(display_);
  window_ = window;  // focus follows once the window is mapped (HandleRendererEvent)
  CoverOtherOutputs(blank);
  return true;
}

void X11Platform::GetClientSize(int* width, int* height) {
  XWindowAttributes attributes{};
  XGetWindowAttributes(display_, window_, &attributes);
  *width = attributes.width;
  *height = attributes.height;
}

bool X11Platform::ClientSizeChanged(int* width, int* height) {
  if (!size_changed_) return false;
  size_changed_ = false;
  *width = target_width_;
  *height = target_height_;
  return true;
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
  // The embedded run's target belongs to someone else: it stays, showing its own
  // background again instead of the last frame (the root window's too).
  if (window_ && (!target_ || own_child_)) XDestroyWindow(display_, window_);
  else if (window_) XClearWindow(display_, window_);
  window_ = None;
  for (Window cover : covers_) XDestroyWindow(display_, cover);
  covers_.clear();
  if (blank_cursor_) {
    XFreeCursor(display_, blank_cursor_);
    blank_cursor_ = None;
  }
  if (colormap_) {
    XFreeColormap(display_, colormap_);
    colormap_ = None;
  }
  XSync(display_, False);
}

void X11Platform::RestoreDisplay() {
  display_mode_.Restore(display_);
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

// The switched mode's rate in the full-screen run, the output's present one when
// embedded.
double X11Platform::RefreshRate() { return display_mode_.CurrentRefreshRate(display_); }

void X11Platform::SwapBuffers() {
  if (context_ && window_) glXSwapBuffers(display_, window_);
  // Embedded, the daemon that started the run keeps the idle time itself.
  if (!target_) KeepServerSaverAway();
}

MessagePump X11Platform::PumpMessage(int* exit_code) {
  if (signal_quit_) PostQuit(0);
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

bool X11Platform::QuitPosted() const { return quit_posted_ || signal_quit_; }

void X11Platform::HandleRendererEvent(const XEvent& event) {
  if (target_ && event.xany.window == target_) {
    if (event.type == ConfigureNotify &&
        (event.xconfigure.width != target_width_ || event.xconfigure.height != target_height_)) {
      target_width_ = event.xconfigure.width;
      target_height_ = event.xconfigure.height;
      size_changed_ = true;
      if (own_child_ && window_)
        XResizeWindow(display_, window_, std::max(target_width_, 1), std::max(target_height_, 1));
    } else if (event.type == DestroyNotify && event.xdestroywindow.window == target_) {
      // The window given to draw in is gone (and with it any child made in it).
      if (!own_child_) window_ = None;
      PostQuit(0);
    }
    return;
  }
  if (event.type == KeyPress &&
      std::find(covers_.begin(), covers_.end(), event.xany.window) != covers_.end()) {
    // A key on a black window counts as one on the scene.
    XKeyEvent key = event.xkey;
    if (XLookupKeysym(&key, 0) == XK_Escape) PostQuit(0);
    return;
  }
  if (!window_ || event.xany.window != window_) return;
  if (target_) {
    // The child drawn in: it ends only with the target (handled above) or by force.
    if (event.type == DestroyNotify && event.xdestroywindow.window == window_) {
      window_ = None;
      PostQuit(0);
    }
    return;
  }
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
      x_errors_.Clear();
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
    default: break;  // exposure, size and the rest: drawing happens in the loop
  }
}

int main(int argc, char** argv) {
  const RendererArguments args = ParseRendererArguments(argc, argv);
  if (!args.valid) {
    std::fprintf(stderr, "usage: Veloran.dll [-window-id ID]\n");
    return 2;
  }
  X11Platform platform;
  // Embedded, the run belongs to the host that started it: should the host die
  // without ending it, it ends too.
  if (args.window) prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (!platform.Open()) {
    std::fprintf(stderr, "Veloran.dll: cannot open display \"%s\"\n", XDisplayName(nullptr));
    return 1;
  }
  if (args.window) platform.EmbedIn(static_cast<Window>(args.window));
  return RunRenderer(platform);
}

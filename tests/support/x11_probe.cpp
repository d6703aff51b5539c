// Test helper: a foreign X window for the host's end-to-end tests.
//   x11_probe window TITLE WIDTH HEIGHT [hidden|framed|visual:ID]
// Creates a top-level window with that title (mapped unless "hidden"; "framed": inside
// an untitled frame, two levels down, as a reparenting window manager puts a client
// before it marks it with WM_STATE; "visual:ID": of that visual, e.g. one without a
// GL pixel format), prints its id in decimal, then waits for lines on standard input:
// "resize W H" resizes the window; "destroy" (or the input's end) destroys it and
// ends the helper.
//   x11_probe dialog-painted SECONDS
// Watches for the settings dialog ("<Veloran>", mapped) until its first full paint:
// the shading, the panel and the Set button drawn. Prints the moment it saw it, in
// microseconds of the real-time clock, and ends with 0; 1 when it did not come within
// SECONDS. A window larger than the 495 x 246 client area carries a frame of its own
// (Wine draws it): equal borders left, right and below, the caption above.
//   x11_probe close TITLE     asks the mapped window TITLE to close, as its close box
//   x11_probe cursor          prints the pointer's shape: "WIDTH HEIGHT XHOT YHOT"
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>

#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

long long NowUs(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<long long>(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

bool Titled(Display* d, Window w, const char* title) {
  char* name = nullptr;
  bool same = false;
  if (XFetchName(d, w, &name) && name) {
    same = std::strcmp(name, title) == 0;
    XFree(name);
  }
  return same;
}

// A mapped window with this title at or below `w`.
Window FindMapped(Display* d, Window w, const char* title, int depth) {
  XWindowAttributes a;
  if (depth > 0 && (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable)) return 0;
  if (depth > 0 && Titled(d, w, title)) return w;
  if (depth >= 4) return 0;
  Window root = 0, parent = 0, *kids = nullptr;
  unsigned n = 0;
  if (!XQueryTree(d, w, &root, &parent, &kids, &n)) return 0;
  Window found = 0;
  for (unsigned i = n; i-- > 0 && !found;) found = FindMapped(d, kids[i], title, depth + 1);
  if (kids) XFree(kids);
  return found;
}

struct Rgb {
  int r, g, b;
};

bool Near(const Rgb& c, int r, int g, int b, int tolerance) {
  return std::abs(c.r - r) <= tolerance && std::abs(c.g - g) <= tolerance && std::abs(c.b - b) <= tolerance;
}

// The dialog's client area, drawn: shading, panel, the Set button's frame and gradient.
bool DialogPainted(Display* d, Window w) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(d, w, &a) || a.width < 495 || a.height < 246) return false;
  const int border = (a.width - 495) / 2, top = a.height - 246 - border;
  XImage* image = XGetImage(d, w, border, top, 495, 246, AllPlanes, ZPixmap);
  if (!image) return false;
  auto at = [&](int x, int y) {
    const unsigned long p = XGetPixel(image, x, y);
    return Rgb{static_cast<int>((p & image->red_mask) >> 16), static_cast<int>((p & image->green_mask) >> 8),
               static_cast<int>(p & image->blue_mask)};
  };
  const Rgb shading = at(2, 123), panel = at(212, 21), frame = at(356, 201), body = at(322, 205);
  XDestroyImage(image);
  return Near(shading, 220, 220, 250, 8) && panel.r > 150 && Near(panel, panel.r, panel.r, panel.r, 20) &&
         Near(frame, 0, 60, 116, 16) && body.r > 230 && body.g > 230;
}

int WatchDialog(double seconds) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 1;
  XSetErrorHandler(IgnoreErrors);
  const long long end = NowUs(CLOCK_MONOTONIC) + static_cast<long long>(seconds * 1e6);
  while (NowUs(CLOCK_MONOTONIC) < end) {
    const Window w = FindMapped(d, DefaultRootWindow(d), "<Veloran>", 0);
    if (w && DialogPainted(d, w)) {
      std::printf("%lld\n", NowUs(CLOCK_REALTIME));
      return 0;
    }
    timespec pause{0, 3 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
  return 1;
}

int CloseWindow(const char* title) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 1;
  XSetErrorHandler(IgnoreErrors);
  const Window w = FindMapped(d, DefaultRootWindow(d), title, 0);
  if (!w) return 1;
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, w, False, NoEventMask, &e);
  XSync(d, False);
  XCloseDisplay(d);
  return 0;
}

int PrintCursor() {
  Display* d = XOpenDisplay(nullptr);
  int event_base = 0, error_base = 0;
  if (!d || !XFixesQueryExtension(d, &event_base, &error_base)) return 1;
  XFixesCursorImage* c = XFixesGetCursorImage(d);
  if (!c) return 1;
  std::printf("%d %d %d %d\n", c->width, c->height, c->xhot, c->yhot);
  XFree(c);
  XCloseDisplay(d);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "dialog-painted") == 0) return WatchDialog(std::atof(argv[2]));
  if (argc == 3 && std::strcmp(argv[1], "close") == 0) return CloseWindow(argv[2]);
  if (argc == 2 && std::strcmp(argv[1], "cursor") == 0) return PrintCursor();
  if (argc < 5 || std::strcmp(argv[1], "window") != 0) {
    std::fprintf(stderr, "usage: x11_probe window TITLE WIDTH HEIGHT [hidden|framed|visual:ID] | "
                         "dialog-painted SECONDS | close TITLE | cursor\n");
    return 2;
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "x11_probe: no display\n");
    return 1;
  }
  const unsigned w = static_cast<unsigned>(std::atoi(argv[3]));
  const unsigned h = static_cast<unsigned>(std::atoi(argv[4]));
  const int screen = DefaultScreen(d);
  const std::string mode = argc > 5 ? argv[5] : "";
  Window parent = RootWindow(d, screen), frame = 0;
  if (mode == "framed") {
    frame = XCreateSimpleWindow(d, parent, 40, 30, w + 10, h + 30, 0, 0, 0x404040);
    parent = XCreateSimpleWindow(d, frame, 5, 25, w, h, 0, 0, 0x404040);
    XMapWindow(d, frame);
    XMapWindow(d, parent);
  }
  // A grey background, so a black form inside stands out.
  Window win = 0;
  if (mode.rfind("visual:", 0) == 0) {
    XVisualInfo wanted{};
    wanted.visualid = std::strtoul(mode.c_str() + 7, nullptr, 0);
    int count = 0;
    XVisualInfo* info = XGetVisualInfo(d, VisualIDMask, &wanted, &count);
    if (!info) {
      std::fprintf(stderr, "x11_probe: no visual %s\n", mode.c_str() + 7);
      return 1;
    }
    XSetWindowAttributes attrs{};
    attrs.colormap = XCreateColormap(d, parent, info->visual, AllocNone);
    attrs.background_pixel = 0x808080;
    attrs.border_pixel = 0;
    win = XCreateWindow(d, parent, 40, 30, w, h, 0, info->depth, InputOutput, info->visual,
                        CWColormap | CWBackPixel | CWBorderPixel, &attrs);
    XFree(info);
  } else {
    win = XCreateSimpleWindow(d, parent, frame ? 0 : 40, frame ? 0 : 30, w, h, 0, 0, 0x808080);
  }
  XStoreName(d, win, argv[2]);
  XChangeProperty(d, win, XInternAtom(d, "_NET_WM_NAME", False), XInternAtom(d, "UTF8_STRING", False),
                  8, PropModeReplace, reinterpret_cast<const unsigned char*>(argv[2]),
                  static_cast<int>(std::strlen(argv[2])));
  if (mode != "hidden") XMapWindow(d, win);
  XSync(d, False);
  std::printf("%lu\n", static_cast<unsigned long>(win));
  std::fflush(stdout);
  std::string line;
  while (std::getline(std::cin, line) && line != "destroy") {
    unsigned nw = 0, nh = 0;
    if (std::sscanf(line.c_str(), "resize %u %u", &nw, &nh) == 2 && nw && nh) {
      XResizeWindow(d, win, nw, nh);
      XSync(d, False);
      std::printf("resized\n");
      std::fflush(stdout);
    }
  }
  XDestroyWindow(d, frame ? frame : win);
  XSync(d, False);
  XCloseDisplay(d);
  return 0;
}

// A second X client for the end-to-end cases of both programs: it opens foreign
// windows, finds the programs' windows, pokes them and reads what the screen shows.
//
//   x11_probe window TITLE W H [hidden|framed|visual:ID]
//       a top-level window with that title (mapped unless "hidden"; "framed": inside an
//       untitled frame, two levels down, as a reparenting window manager puts a client
//       before it marks it with WM_STATE; "visual:ID": of that visual, e.g. one without
//       a GL pixel format); prints its id in decimal, then reads lines on standard
//       input: "resize W H" resizes it; "destroy" (or the input's end) destroys it and
//       ends the probe
//   x11_probe find TITLE           id (0x...) of a window whose WM_NAME or _NET_WM_NAME
//                                  is TITLE, or exit 1; top-level windows, unmapped too
//   x11_probe count TITLE          how many such windows exist
//   x11_probe close ID|TITLE       sends a close request (WM_DELETE_WINDOW), as a close
//                                  box does, to window ID or the mapped window TITLE
//   x11_probe destroy ID           destroys the window
//   x11_probe transient-for ID     id of the window ID is transient for, or exit 1
//   x11_probe size                 the screen size as WxH, asked of the server
//   x11_probe place-output X Y     moves the first active output to X, Y in the screen,
//                                  keeping its mode (the screen grows to hold it), as
//                                  if another monitor sat left of and above it
//   x11_probe cursor               the pointer's shape: "WIDTH HEIGHT XHOT YHOT"
//   x11_probe dialog-painted SECONDS
//       watches for the settings dialog ("<Veloran>", mapped) until its first full
//       paint: the shading, the panel and the Set button drawn. Prints the moment it saw
//       it, in microseconds of the real-time clock; exit 1 when it did not come within
//       SECONDS. A window larger than the 495 x 246 client area carries a frame of its
//       own (Wine draws it): equal borders left, right and below, the caption above.
// Exit 0 on success, 1 when the awaited state did not come, 2 on bad usage.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/Xrandr.h>

#include <time.h>

#include <array>
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

// A window id given in decimal or 0x... hexadecimal; 0 when `text` is not a number.
Window Id(const char* text) {
  char* end = nullptr;
  const unsigned long id = std::strtoul(text, &end, 0);
  return *text && !*end ? id : 0;
}

std::string Property(Display* d, Window w, Atom property, Atom type) {
  Atom actual;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string value;
  if (XGetWindowProperty(d, w, property, 0, 1024, False, type, &actual, &format, &count, &after, &data) ==
          Success &&
      data) {
    if (format == 8) value.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  return value;
}

bool HasTitle(Display* d, Window w, const std::string& title) {
  static Atom net_name = XInternAtom(d, "_NET_WM_NAME", False);
  static Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  return Property(d, w, XA_WM_NAME, AnyPropertyType) == title || Property(d, w, net_name, utf8) == title;
}

// Windows with this title below `w`, `levels` deep, unmapped ones too; a match's own
// children are not searched. Two levels from the root: top-level windows and, under a
// window manager, the client windows inside its frames.
void FindByTitle(Display* d, Window w, const std::string& title, int levels, std::vector<Window>* found) {
  Window root = 0, parent = 0, *kids = nullptr;
  unsigned n = 0;
  if (!XQueryTree(d, w, &root, &parent, &kids, &n)) return;
  for (unsigned i = 0; i < n; ++i) {
    if (HasTitle(d, kids[i], title)) found->push_back(kids[i]);
    else if (levels > 1) FindByTitle(d, kids[i], title, levels - 1, found);
  }
  if (kids) XFree(kids);
}

// A mapped window with this title at or below `w`.
Window FindMapped(Display* d, Window w, const char* title, int depth) {
  XWindowAttributes a;
  if (depth > 0 && (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable)) return 0;
  if (depth > 0 && HasTitle(d, w, title)) return w;
  if (depth >= 4) return 0;
  Window root = 0, parent = 0, *kids = nullptr;
  unsigned n = 0;
  if (!XQueryTree(d, w, &root, &parent, &kids, &n)) return 0;
  Window found = 0;
  for (unsigned i = n; i-- > 0 && !found;) found = FindMapped(d, kids[i], title, depth + 1);
  if (kids) XFree(kids);
  return found;
}

// The dialog's client area, drawn: shading, panel, the Set button's frame and gradient.
bool DialogPainted(Display* d, Window w) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(d, w, &a) || a.width < 495 || a.height < 246) return false;
  const int border = (a.width - 495) / 2, top = a.height - 246 - border;
  XImage* image = XGetImage(d, w, border, top, 495, 246, AllPlanes, ZPixmap);
  if (!image) return false;
  using Channels = std::array<int, 3>;
  auto at = [&](int x, int y) {
    const unsigned long p = XGetPixel(image, x, y);
    return Channels{static_cast<int>((p & image->red_mask) >> 16),
                    static_cast<int>((p & image->green_mask) >> 8), static_cast<int>(p & image->blue_mask)};
  };
  auto near = [](const Channels& c, int r, int g, int b, int tolerance) {
    return std::abs(c[0] - r) <= tolerance && std::abs(c[1] - g) <= tolerance &&
           std::abs(c[2] - b) <= tolerance;
  };
  const Channels shading = at(2, 123), panel = at(212, 21), frame = at(356, 201), body = at(322, 205);
  XDestroyImage(image);
  return near(shading, 220, 220, 250, 8) && panel[0] > 150 && near(panel, panel[0], panel[0], panel[0], 20) &&
         near(frame, 0, 60, 116, 16) && body[0] > 230 && body[1] > 230;
}

int WatchDialog(Display* d, double seconds) {
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

int Close(Display* d, const char* id_or_title) {
  Window w = Id(id_or_title);
  if (!w) w = FindMapped(d, DefaultRootWindow(d), id_or_title, 0);
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
  return 0;
}

int PrintCursor(Display* d) {
  int event_base = 0, error_base = 0;
  if (!XFixesQueryExtension(d, &event_base, &error_base)) return 1;
  XFixesCursorImage* c = XFixesGetCursorImage(d);
  if (!c) return 1;
  std::printf("%d %d %d %d\n", c->width, c->height, c->xhot, c->yhot);
  XFree(c);
  return 0;
}

int PlaceOutput(Display* d, int x, int y) {
  Window root = DefaultRootWindow(d);
  XRRScreenResources* resources = XRRGetScreenResourcesCurrent(d, root);
  if (!resources) return 1;
  int rc = 1;
  for (int i = 0; i < resources->ncrtc && rc; ++i) {
    XRRCrtcInfo* crtc = XRRGetCrtcInfo(d, resources, resources->crtcs[i]);
    if (!crtc) continue;
    if (crtc->mode) {
      int width = x + static_cast<int>(crtc->width), height = y + static_cast<int>(crtc->height);
      XRRSetScreenSize(d, root, width, height, width * 254 / 960, height * 254 / 960);
      rc = XRRSetCrtcConfig(d, resources, resources->crtcs[i], CurrentTime, x, y, crtc->mode, crtc->rotation,
                            crtc->outputs, crtc->noutput) == RRSetConfigSuccess
               ? 0
               : 1;
    }
    XRRFreeCrtcInfo(crtc);
  }
  XRRFreeScreenResources(resources);
  XSync(d, False);
  return rc;
}

// The foreign window of `window`, kept until standard input says otherwise.
int ForeignWindow(Display* d, int argc, char** argv) {
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
  XChangeProperty(d, win, XInternAtom(d, "_NET_WM_NAME", False), XInternAtom(d, "UTF8_STRING", False), 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(argv[2]),
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
  return 0;
}

int Run(Display* d, int argc, char** argv) {
  const std::string command = argv[1];
  // The foreign window reports its own errors; the rest look at windows that may go.
  if (command == "window" && argc >= 5) return ForeignWindow(d, argc, argv);
  XSetErrorHandler(IgnoreErrors);
  if ((command == "find" || command == "count") && argc == 3) {
    std::vector<Window> found;
    FindByTitle(d, DefaultRootWindow(d), argv[2], 2, &found);
    if (command == "count") std::printf("%zu\n", found.size());
    else if (!found.empty()) std::printf("0x%lx\n", found.front());
    return command == "count" || !found.empty() ? 0 : 1;
  }
  if (command == "close" && argc == 3) return Close(d, argv[2]);
  if (command == "destroy" && argc == 3) {
    XDestroyWindow(d, Id(argv[2]));
    XSync(d, False);
    return 0;
  }
  if (command == "transient-for" && argc == 3) {
    Window owner = None;
    if (!XGetTransientForHint(d, Id(argv[2]), &owner) || !owner) return 1;
    std::printf("0x%lx\n", owner);
    return 0;
  }
  if (command == "place-output" && argc == 4) return PlaceOutput(d, std::atoi(argv[2]), std::atoi(argv[3]));
  if (command == "size" && argc == 2) {
    Window root;
    int x, y;
    unsigned w, h, border, depth;
    XGetGeometry(d, DefaultRootWindow(d), &root, &x, &y, &w, &h, &border, &depth);
    std::printf("%ux%u\n", w, h);
    return 0;
  }
  if (command == "cursor" && argc == 2) return PrintCursor(d);
  if (command == "dialog-painted" && argc == 3) return WatchDialog(d, std::atof(argv[2]));
  std::fprintf(stderr,
               "usage: x11_probe window|find|count|close|destroy|transient-for|size|"
               "place-output|cursor|dialog-painted ... (see its first lines)\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "x11_probe: no display\n");
    return 2;
  }
  const int rc = Run(d, argc, argv);
  XCloseDisplay(d);
  return rc;
}

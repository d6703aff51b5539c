// A second X client for the renderer's end-to-end tests.
//
//   x11_probe find TITLE           id (0x...) of a window whose WM_NAME or _NET_WM_NAME
//                                  is TITLE, or exit 1; top-level windows, unmapped too
//   x11_probe count TITLE          how many such windows exist
//   x11_probe close ID             sends the window a close request (WM_DELETE_WINDOW)
//   x11_probe destroy ID           destroys the window
//   x11_probe transient-for ID     id of the window ID is transient for, or exit 1
//   x11_probe size                 the screen size as WxH, asked of the server
//   x11_probe stats X Y W H        of the screen region: mean red, green and blue (0-255),
//                                  the share of white pixels and of warm pixels
//                                  (red or green clearly above blue), one per line
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

std::string Property(Display* d, Window w, Atom property, Atom type) {
  Atom actual;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string value;
  if (XGetWindowProperty(d, w, property, 0, 1024, False, type, &actual, &format, &count, &after,
                         &data) == Success &&
      data) {
    if (format == 8) value.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  return value;
}

bool HasTitle(Display* d, Window w, const std::string& title) {
  static Atom net_name = XInternAtom(d, "_NET_WM_NAME", False);
  static Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  return Property(d, w, XA_WM_NAME, AnyPropertyType) == title ||
         Property(d, w, net_name, utf8) == title;
}

// Top-level windows; under a window manager the client windows inside its frames.
std::vector<Window> FindByTitle(Display* d, const std::string& title) {
  std::vector<Window> found;
  Window root_return, parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root_return, &parent, &children, &count)) return found;
  for (unsigned i = 0; i < count; ++i) {
    if (HasTitle(d, children[i], title)) {
      found.push_back(children[i]);
      continue;
    }
    Window* inner = nullptr;
    unsigned inner_count = 0;
    if (XQueryTree(d, children[i], &root_return, &parent, &inner, &inner_count)) {
      for (unsigned j = 0; j < inner_count; ++j)
        if (HasTitle(d, inner[j], title)) found.push_back(inner[j]);
      if (inner) XFree(inner);
    }
  }
  if (children) XFree(children);
  return found;
}

int Stats(Display* d, int x, int y, int w, int h) {
  XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, w, h, AllPlanes, ZPixmap);
  if (!image) return 1;
  auto channel = [](unsigned long pixel, unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
      mask >>= 1;
      ++shift;
    }
    return mask ? static_cast<double>((pixel >> shift) & mask) * 255.0 / mask : 0.0;
  };
  double sum[3] = {0, 0, 0};
  long white = 0, warm = 0;
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      unsigned long p = XGetPixel(image, i, j);
      double r = channel(p, image->red_mask), g = channel(p, image->green_mask),
             b = channel(p, image->blue_mask);
      sum[0] += r;
      sum[1] += g;
      sum[2] += b;
      if (r >= 245 && g >= 245 && b >= 245) ++white;
      if ((r > b + 60 || g > b + 60) && (r > 80 || g > 80)) ++warm;
    }
  double n = double(w) * h;
  std::printf("%.1f %.1f %.1f\n%.4f\n%.4f\n", sum[0] / n, sum[1] / n, sum[2] / n, white / n,
              warm / n);
  XDestroyImage(image);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "x11_probe: no display\n");
    return 2;
  }
  XSetErrorHandler(IgnoreErrors);
  std::string command = argv[1];
  int rc = 2;
  if ((command == "find" || command == "count") && argc == 3) {
    std::vector<Window> found = FindByTitle(d, argv[2]);
    if (command == "count") {
      std::printf("%zu\n", found.size());
      rc = 0;
    } else if (!found.empty()) {
      std::printf("0x%lx\n", found.front());
      rc = 0;
    } else {
      rc = 1;
    }
  } else if (command == "close" && argc == 3) {
    Window w = std::strtoul(argv[2], nullptr, 0);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = w;
    event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &event);
    XSync(d, False);
    rc = 0;
  } else if (command == "destroy" && argc == 3) {
    XDestroyWindow(d, std::strtoul(argv[2], nullptr, 0));
    XSync(d, False);
    rc = 0;
  } else if (command == "transient-for" && argc == 3) {
    Window owner = None;
    if (XGetTransientForHint(d, std::strtoul(argv[2], nullptr, 0), &owner) && owner) {
      std::printf("0x%lx\n", owner);
      rc = 0;
    } else {
      rc = 1;
    }
  } else if (command == "size" && argc == 2) {
    Window root;
    int x, y;
    unsigned w, h, border, depth;
    XGetGeometry(d, DefaultRootWindow(d), &root, &x, &y, &w, &h, &border, &depth);
    std::printf("%ux%u\n", w, h);
    rc = 0;
  } else if (command == "stats" && argc == 6) {
    rc = Stats(d, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
  }
  XCloseDisplay(d);
  return rc;
}

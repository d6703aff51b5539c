// Test helper: a foreign X window for the host's end-to-end tests.
//   x11_probe window TITLE WIDTH HEIGHT [hidden|framed|visual:ID]
// Creates a top-level window with that title (mapped unless "hidden"; "framed": inside
// an untitled frame, two levels down, as a reparenting window manager puts a client
// before it marks it with WM_STATE; "visual:ID": of that visual, e.g. one without a
// GL pixel format), prints its id in decimal, then waits for lines on standard input:
// "resize W H" resizes the window; "destroy" (or the input's end) destroys it and
// ends the helper.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
  if (argc < 5 || std::strcmp(argv[1], "window") != 0) {
    std::fprintf(stderr, "usage: x11_probe window TITLE WIDTH HEIGHT [hidden|framed|visual:ID]\n");
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

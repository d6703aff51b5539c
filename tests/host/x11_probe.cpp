// Test helper: a foreign X window for the host's end-to-end tests.
//   x11_probe window TITLE WIDTH HEIGHT [hidden|framed]
// Creates a top-level window with that title (mapped unless "hidden"; "framed": inside
// an untitled frame, two levels down, as a reparenting window manager puts a client
// before it marks it with WM_STATE), prints its id in decimal, then waits: a line
// "destroy" on standard input (or its end) destroys the window and ends the helper.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
  if (argc < 5 || std::strcmp(argv[1], "window") != 0) {
    std::fprintf(stderr, "usage: x11_probe window TITLE WIDTH HEIGHT [hidden|framed]\n");
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
  const Window win = XCreateSimpleWindow(d, parent, frame ? 0 : 40, frame ? 0 : 30, w, h, 0, 0, 0x808080);
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
  }
  XDestroyWindow(d, frame ? frame : win);
  XSync(d, False);
  XCloseDisplay(d);
  return 0;
}

// A second X client for the renderer's end-to-end tests.
//
//   x11_probe find TITLE           id (0x...) of a window whose WM_NAME or _NET_WM_NAME
//                                  is TITLE, or exit 1; top-level windows, unmapped too
//   x11_probe count TITLE          how many such windows exist
//   x11_probe close ID             sends the window a close request (WM_DELETE_WINDOW)
//   x11_probe destroy ID           destroys the window
//   x11_probe transient-for ID     id of the window ID is transient for, or exit 1
//   x11_probe size                 the screen size as WxH, asked of the server
//   x11_probe place-output X Y     moves the first active output to X, Y in the screen,
//                                  keeping its mode (the screen grows to hold it), as
//                                  if another monitor sat left of and above it
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

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
      rc = XRRSetCrtcConfig(d, resources, resources->crtcs[i], CurrentTime, x, y, crtc->mode,
                            crtc->rotation, crtc->outputs, crtc->noutput) == RRSetConfigSuccess
               ? 0
               : 1;
    }
    XRRFreeCrtcInfo(crtc);
  }
  XRRFreeScreenResources(resources);
  XSync(d, False);
  return rc;
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
  } else if (command == "place-output" && argc == 4) {
    rc = PlaceOutput(d, std::atoi(argv[2]), std::atoi(argv[3]));
  } else if (command == "size" && argc == 2) {
    Window root;
    int x, y;
    unsigned w, h, border, depth;
    XGetGeometry(d, DefaultRootWindow(d), &root, &x, &y, &w, &h, &border, &depth);
    std::printf("%ux%u\n", w, h);
    rc = 0;
  }
  XCloseDisplay(d);
  return rc;
}

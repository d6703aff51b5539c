// The renderer's message box on X11: the text on standard error, and a small modal
// window titled "Error" with the text and an OK button, transient for the renderer
// window. Return, Esc, Space, a click on OK or a close request dismiss it; a quit
// request (Esc on the renderer window, a close request, SIGTERM) ends it too.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "x11_platform.h"

namespace {

constexpr int kMargin = 16;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;

std::vector<std::string> SplitLines(const char* text) {
  std::vector<std::string> lines;
  std::string line;
  for (const char* p = text; *p; ++p) {
    if (*p == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (*p != '\r') {
      line += *p;
    }
  }
  lines.push_back(line);
  return lines;
}

unsigned long NamedColour(Display* display, const char* name, unsigned long fallback) {
  XColor exact, screen;
  Colormap colormap = DefaultColormap(display, DefaultScreen(display));
  if (XAllocNamedColor(display, colormap, name, &screen, &exact)) return screen.pixel;
  return fallback;
}

struct Box {
  Display* display;
  Window window;
  GC gc;
  XFontStruct* font;
  std::vector<std::string> lines;
  int width, height;
  int button_x, button_y;
  unsigned long face, text_colour, shade;
};

int TextWidth(const Box& box, const std::string& text) {
  return box.font ? XTextWidth(box.font, text.c_str(), static_cast<int>(text.size()))
                  : static_cast<int>(text.size()) * 6;
}

int LineHeight(const Box& box) { return box.font ? box.font->ascent + box.font->descent + 2 : 15; }

void Paint(const Box& box) {
  Display* d = box.display;
  XSetForeground(d, box.gc, box.face);
  XFillRectangle(d, box.window, box.gc, 0, 0, box.width, box.height);
  XSetForeground(d, box.gc, box.text_colour);
  int ascent = box.font ? box.font->ascent : 11;
  int y = kMargin + ascent;
  for (const std::string& line : box.lines) {
    XDrawString(d, box.window, box.gc, kMargin, y, line.c_str(), static_cast<int>(line.size()));
    y += LineHeight(box);
  }
  XSetForeground(d, box.gc, box.shade);
  XFillRectangle(d, box.window, box.gc, box.button_x, box.button_y, kButtonWidth, kButtonHeight);
  XSetForeground(d, box.gc, box.text_colour);
  XDrawRectangle(d, box.window, box.gc, box.button_x, box.button_y, kButtonWidth - 1, kButtonHeight - 1);
  const std::string ok = "OK";
  XDrawString(d, box.window, box.gc, box.button_x + (kButtonWidth - TextWidth(box, ok)) / 2,
              box.button_y + (kButtonHeight + ascent) / 2 - 1, ok.c_str(), 2);
  XFlush(d);
}

bool OnButton(const Box& box, int x, int y) {
  return x >= box.button_x && x < box.button_x + kButtonWidth && y >= box.button_y &&
         y < box.button_y + kButtonHeight;
}

void SetTitle(Display* display, Window window, const char* title) {
  XStoreName(display, window, title);
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                  XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title), static_cast<int>(std::strlen(title)));
}

// Blocks until the box is dismissed or a quit is requested, handing the renderer
// window's own events on meanwhile.
void RunModal(X11Platform& platform, XErrors& errors, Box& box, Atom wm_protocols, Atom wm_delete) {
  Display* d = box.display;
  bool pressed = false;
  for (;;) {
    while (!XPending(d)) {
      if (platform.QuitPosted()) return;
      pollfd fd{ConnectionNumber(d), POLLIN, 0};
      poll(&fd, 1, 100);
    }
    XEvent event;
    XNextEvent(d, &event);
    if (event.xany.window != box.window) {
      platform.HandleRendererEvent(event);
      if (platform.QuitPosted()) return;
      continue;
    }
    switch (event.type) {
      case Expose:
        if (event.xexpose.count == 0) Paint(box);
        break;
      case MapNotify:
        errors.Clear();
        XSetInputFocus(d, box.window, RevertToPointerRoot, CurrentTime);
        break;
      case KeyPress: {
        KeySym key = XLookupKeysym(&event.xkey, 0);
        if (key == XK_Return || key == XK_KP_Enter || key == XK_Escape || key == XK_space) return;
        break;
      }
      case ButtonPress:
        pressed = event.xbutton.button == Button1 && OnButton(box, event.xbutton.x, event.xbutton.y);
        break;
      case ButtonRelease:
        if (pressed && event.xbutton.button == Button1 && OnButton(box, event.xbutton.x, event.xbutton.y))
          return;
        pressed = false;
        break;
      case ClientMessage:
        if (event.xclient.message_type == wm_protocols &&
            static_cast<Atom>(event.xclient.data.l[0]) == wm_delete)
          return;
        break;
      case DestroyNotify: return;
      default: break;
    }
  }
}

}  // namespace

void X11Platform::ShowErrorBox(const char* text) {
  if (!text) text = "";
  std::fprintf(stderr, "%s\n", text);
  std::fflush(stderr);
  Display* d = display_;
  if (!d || QuitPosted()) return;  // a pending quit ends a message box at once

  int screen = DefaultScreen(d);
  Window root = RootWindow(d, screen);
  Box box{};
  box.display = d;
  box.font = XLoadQueryFont(d, "-misc-fixed-medium-r-normal--13-*-*-*-*-*-iso8859-1");
  if (!box.font) box.font = XLoadQueryFont(d, "fixed");
  box.lines = SplitLines(text);
  int text_width = 0;
  for (const std::string& line : box.lines) text_width = std::max(text_width, TextWidth(box, line));
  box.width = std::max(text_width + 2 * kMargin, 220);
  int text_height = static_cast<int>(box.lines.size()) * LineHeight(box);
  box.height = kMargin + text_height + kMargin + kButtonHeight + kMargin;
  box.button_x = (box.width - kButtonWidth) / 2;
  box.button_y = box.height - kMargin - kButtonHeight;
  box.face = NamedColour(d, "gray94", WhitePixel(d, screen));
  box.shade = NamedColour(d, "gray85", WhitePixel(d, screen));
  box.text_colour = BlackPixel(d, screen);

  // Centred over the renderer window, or over the screen without one.
  int area_x = 0, area_y = 0;
  unsigned area_width = 0, area_height = 0, border, depth;
  Window ignored;
  if (!window_ ||
      !XGetGeometry(d, window_, &ignored, &area_x, &area_y, &area_width, &area_height, &border, &depth))
    XGetGeometry(d, root, &ignored, &area_x, &area_y, &area_width, &area_height, &border, &depth);
  int x = area_x + (static_cast<int>(area_width) - box.width) / 2;
  int y = area_y + (static_cast<int>(area_height) - box.height) / 2;

  XSetWindowAttributes attributes{};
  attributes.background_pixel = box.face;
  attributes.border_pixel = box.text_colour;
  attributes.event_mask =
      ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
  box.window =
      XCreateWindow(d, root, std::max(0, x), std::max(0, y), box.width, box.height, 1, CopyFromParent,
                    InputOutput, CopyFromParent, CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
  SetTitle(d, box.window, "Error");
  XClassHint class_hint{const_cast<char*>("veloran-message"), const_cast<char*>("Veloran")};
  XSetClassHint(d, box.window, &class_hint);
  XSizeHints size_hints{};
  size_hints.flags = USPosition | PMinSize | PMaxSize;
  size_hints.x = x;
  size_hints.y = y;
  size_hints.min_width = size_hints.max_width = box.width;
  size_hints.min_height = size_hints.max_height = box.height;
  XSetWMNormalHints(d, box.window, &size_hints);
  if (window_) XSetTransientForHint(d, box.window, window_);
  Atom dialog = XInternAtom(d, "_NET_WM_WINDOW_TYPE_DIALOG", False);
  XChangeProperty(d, box.window, XInternAtom(d, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&dialog), 1);
  Atom modal = XInternAtom(d, "_NET_WM_STATE_MODAL", False);
  XChangeProperty(d, box.window, XInternAtom(d, "_NET_WM_STATE", False), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&modal), 1);
  Atom wm_protocols = XInternAtom(d, "WM_PROTOCOLS", False);
  Atom wm_delete = XInternAtom(d, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(d, box.window, &wm_delete, 1);
  box.gc = XCreateGC(d, box.window, 0, nullptr);
  if (box.font) XSetFont(d, box.gc, box.font->fid);
  XMapRaised(d, box.window);
  XFlush(d);

  RunModal(*this, x_errors_, box, wm_protocols, wm_delete);

  XFreeGC(d, box.gc);
  XDestroyWindow(d, box.window);
  if (box.font) XFreeFont(d, box.font);
  XSync(d, False);
}

// Linux/X11 runtime of the host (see runtime_x11.h). Windows paths go through the
// path layer; the host's own windows live on FLTK's display connection.
#include "runtime_x11.h"

#include <FL/Fl.H>
#include <FL/fl_ask.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "dialog_fltk.h"
#include "preview_x11.h"
#include "windows_path.h"

extern char** environ;

namespace {

// The runtime for the handlers of X errors and termination signals, which are given
// no pointer of their own; set while it lives.
X11Runtime* g_runtime = nullptr;

void ReapChildren(int) {
  const int saved = errno;
  while (waitpid(-1, nullptr, WNOHANG) > 0) {}
  errno = saved;
}

// --- Titles ---

std::string Utf8Property(Display* d, Window w, Atom property) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string value;
  if (XGetWindowProperty(d, w, property, 0, 4096, False, AnyPropertyType, &type, &format, &count, &after,
                         &data) == Success &&
      data) {
    if (format == 8) value.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  return value;
}

// The names of the two properties a title search reads.
struct TitleAtoms {
  Atom net_wm_name;
  Atom wm_state;
};

bool TitleIs(Display* d, Window w, const std::string& title, Atom net_wm_name) {
  return Utf8Property(d, w, XA_WM_NAME) == title || Utf8Property(d, w, net_wm_name) == title;
}

bool HasWmState(Display* d, Window w, Atom wm_state) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const bool found = XGetWindowProperty(d, w, wm_state, 0, 0, False, AnyPropertyType, &type, &format, &count,
                                        &after, &data) == Success &&
                     type != None;
  if (data) XFree(data);
  return found;
}

std::vector<Window> Children(Display* d, Window w) {
  Window root = 0, parent = 0, *kids = nullptr;
  unsigned int n = 0;
  std::vector<Window> out;
  if (XQueryTree(d, w, &root, &parent, &kids, &n) && kids) {
    out.assign(kids, kids + n);
    XFree(kids);
  }
  return out;
}

// The window titled `title` at or below `w`. Under a reparenting window manager the
// root's children are frames and an application's window sits somewhere inside, with
// or without WM_STATE yet; a window carrying WM_STATE is an application's top-level
// window, and its own children are not top-level windows.
Window FindTitled(Display* d, Window w, const std::string& title, const TitleAtoms& atoms, int depth) {
  constexpr int kMaxDepth = 32;  // far deeper than any frame nests its client
  if (TitleIs(d, w, title, atoms.net_wm_name)) return w;
  if (depth >= kMaxDepth || HasWmState(d, w, atoms.wm_state)) return 0;
  for (Window child : Children(d, w)) {
    if (Window found = FindTitled(d, child, title, atoms, depth + 1)) return found;
  }
  return 0;
}

// --- Folders ---

// Creates each missing folder of an absolute path, private to the user.
void MakePrivateFolders(const std::string& path) {
  for (std::size_t pos = 1; pos <= path.size(); ++pos) {
    if (pos == path.size() || path[pos] == '/') {
      const std::string prefix = path.substr(0, pos);
      struct stat st;
      if (stat(prefix.c_str(), &st) != 0) mkdir(prefix.c_str(), 0700);
    }
  }
}

bool HasDrive(const std::string& windows_path) {
  return windows_path.size() >= 2 && windows_path[1] == ':' &&
         std::isalpha(static_cast<unsigned char>(windows_path[0]));
}

// --- Timers ---

class FlTimer : public FormTimer {
 public:
  FlTimer(unsigned interval_ms, std::function<void()> tick)
      : seconds_(interval_ms / 1000.0), tick_(std::move(tick)) {}
  ~FlTimer() override { Fl::remove_timeout(&FlTimer::Tick, this); }

  void SetEnabled(bool on) override {
    if (on == enabled_) return;
    enabled_ = on;
    if (on) {
      Fl::add_timeout(seconds_, &FlTimer::Tick, this);
      armed_ = true;
    } else {
      Fl::remove_timeout(&FlTimer::Tick, this);
      armed_ = false;
    }
  }
  bool Enabled() const override { return enabled_; }

 private:
  static void Tick(void* self) {
    FlTimer* t = static_cast<FlTimer*>(self);
    t->armed_ = false;
    t->tick_();
    // The handler may have switched the timer off, or off and on again.
    if (t->enabled_ && !t->armed_) {
      Fl::repeat_timeout(t->seconds_, &FlTimer::Tick, t);
      t->armed_ = true;
    }
  }

  double seconds_;
  std::function<void()> tick_;
  bool enabled_ = false;
  bool armed_ = false;
};

}  // namespace

X11Runtime::X11Runtime(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (i > 1) command_line_ += ' ';
    command_line_ += argv[i];
  }
  // The renderer is started without waiting; its exit status is collected here.
  struct sigaction sa;
  std::memset(&sa, 0, sizeof sa);
  sa.sa_handler = ReapChildren;
  sa.sa_flags = SA_RESTART | SA_NOCLDSTOP;
  sigaction(SIGCHLD, &sa, nullptr);

  g_runtime = this;
  display_ = XOpenDisplay(nullptr);
  if (display_) {
    // The renderer opens its own connection; it must not inherit this one.
    fcntl(ConnectionNumber(display_), F_SETFD, FD_CLOEXEC);
    fl_open_display(display_);
    XSetErrorHandler(&X11Runtime::OnXError);
    net_wm_name_ = XInternAtom(display_, "_NET_WM_NAME", False);
    wm_state_ = XInternAtom(display_, "WM_STATE", False);
    Fl::add_system_handler(&X11Runtime::OnHiddenFormEvent, this);
  }
}

X11Runtime::~X11Runtime() {
  if (signal_pipe_[0] >= 0) {
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = SIG_DFL;
    for (int number : {SIGTERM, SIGINT, SIGHUP}) sigaction(number, &sa, nullptr);
    Fl::remove_fd(signal_pipe_[0]);
    close(signal_pipe_[0]);
    close(signal_pipe_[1]);
  }
  if (display_) Fl::remove_system_handler(&X11Runtime::OnHiddenFormEvent);
  if (g_runtime == this) g_runtime = nullptr;
}

int X11Runtime::OnXError(Display*, XErrorEvent*) {
  if (g_runtime) ++g_runtime->x_errors_;
  return 0;
}

void X11Runtime::OnTerminationSignal(int) {
  const char byte = 1;
  if (g_runtime && write(g_runtime->signal_pipe_[1], &byte, 1) < 0) {}
}

void X11Runtime::OnSignalPipe(int fd, void* self) {
  auto* rt = static_cast<X11Runtime*>(self);
  char buf[16];
  if (read(fd, buf, sizeof buf) > 0 && rt->unload_request_) rt->unload_request_();
}

int X11Runtime::OnHiddenFormEvent(void* event, void* self) {
  auto* rt = static_cast<X11Runtime*>(self);
  const XEvent* e = static_cast<const XEvent*>(event);
  if (rt->hidden_window_ && e->type == ClientMessage && e->xclient.window == rt->hidden_window_ &&
      rt->unload_request_) {
    rt->unload_request_();
    return 1;
  }
  return 0;
}

void X11Runtime::Run() {
  while (forms_loaded_ > 0) Fl::wait(1e20);
}

std::string X11Runtime::ProgramFolder() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string path(buf, static_cast<std::size_t>(n));
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::int64_t X11Runtime::Milliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void X11Runtime::EndProgram() {
  media_.CloseAll();
  if (display_) XFlush(display_);
  std::fflush(nullptr);
  _exit(0);
}

void X11Runtime::ShowMessage(const std::string& utf8_text) {
  std::fprintf(stderr, "%s\n", utf8_text.c_str());
  std::fflush(stderr);
  if (!display_) return;
  // FLTK reads a leading I, B or P of a font name as a style letter: hence the blank.
  Fl::set_font(FL_FREE_FONT, " IPAPGothic");
  fl_message_font(FL_FREE_FONT, 14);
  fl_message_title("Veloran");
  fl_close = "OK";
  fl_message("%s", utf8_text.c_str());
}

bool X11Runtime::CreateFolder(const std::string& windows_path) {
  // The drive's own folder and its parents are private to the user.
  if (HasDrive(windows_path)) MakePrivateFolders(DriveRoot(windows_path[0]));
  return mkdir(NativePath(windows_path).c_str(), 0777) == 0;
}

bool X11Runtime::WriteFileReplacing(const std::string& windows_path, const std::string& bytes) {
  const std::string target = NativePath(windows_path);
  std::string temp = target + ".XXXXXX";
  const int fd = mkstemp(&temp[0]);
  if (fd < 0) return false;
  bool ok = true;
  for (std::size_t done = 0; ok && done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  ok = fchmod(fd, 0644) == 0 && ok;
  ok = close(fd) == 0 && ok;
  if (ok) ok = rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  return ok;
}

std::int32_t X11Runtime::StartProgram(const std::string& windows_path) {
  std::string path = NativePath(windows_path);
  char* argv[] = {&path[0], nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) return 0;
  return static_cast<std::int32_t>(pid);
}

bool X11Runtime::DaemonWindowVariable(std::string* window) {
  const char* value = std::getenv("XSCREENSAVER_WINDOW");
  *window = value ? value : "";
  return true;
}

std::int32_t X11Runtime::StartEmbeddedRenderer(const std::string& windows_path, WindowHandle window) {
  if (window == 0) {
    if (!display_) return 0;
    window = DefaultRootWindow(display_);
  }
  char id[32];
  std::snprintf(id, sizeof id, "0x%llx", static_cast<unsigned long long>(window));
  std::string path = NativePath(windows_path);
  char option[] = "-window-id";
  char* argv[] = {&path[0], option, id, nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) return 0;
  return static_cast<std::int32_t>(pid);
}

void X11Runtime::EndProgramTask(std::int32_t task) {
  // Only a child not yet reaped is signalled: its number cannot belong to another
  // process meanwhile.
  if (!ProgramRunning(task)) return;
  kill(static_cast<pid_t>(task), SIGTERM);
  // The renderer leaves within a frame or two; one that hangs is not waited for long.
  constexpr int kStepMs = 10, kLimitMs = 300;
  for (int waited = 0; waited < kLimitMs; waited += kStepMs) {
    if (!ProgramRunning(task)) return;
    const timespec step{0, kStepMs * 1000000L};
    nanosleep(&step, nullptr);
  }
  if (ProgramRunning(task)) kill(static_cast<pid_t>(task), SIGKILL);
}

bool X11Runtime::ProgramRunning(std::int32_t task) {
  if (task <= 0) return false;
  // Children that ended are reaped as they end (ReapChildren), or here: either way
  // a task that is no longer our child has ended.
  return waitpid(static_cast<pid_t>(task), nullptr, WNOHANG) == 0;
}

WindowHandle X11Runtime::FindTopWindow(const std::string& title) {
  if (!display_) return 0;
  for (Window top : Children(display_, DefaultRootWindow(display_))) {
    if (Window w = FindTitled(display_, top, title, {net_wm_name_, wm_state_}, 0)) return w;
  }
  return 0;
}

// The host never shows a window of its own during a run (the renderer hides the
// pointer on its screen), so only the display count itself is kept here.
std::int32_t X11Runtime::ShowCursor(bool show) {
  cursor_count_ += show ? 1 : -1;
  return cursor_count_;
}

bool X11Runtime::GetWindowRect(WindowHandle window, ScreenRect* rect) {
  if (!display_ || window == 0 || window > 0xFFFFFFFFull) return false;
  const int errors = x_errors_;
  XWindowAttributes attrs;
  if (!XGetWindowAttributes(display_, static_cast<Window>(window), &attrs)) return false;
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(display_, static_cast<Window>(window), attrs.root, 0, 0, &x, &y, &child);
  XSync(display_, False);
  if (x_errors_ != errors) return false;
  rect->left = x;
  rect->top = y;
  rect->right = x + attrs.width;
  rect->bottom = y + attrs.height;
  return true;
}

void X11Runtime::LoadHiddenForm(const std::string& caption, std::function<void()> unload_request) {
  ++forms_loaded_;
  unload_request_ = std::move(unload_request);

  if (signal_pipe_[0] < 0 && pipe2(signal_pipe_, O_CLOEXEC | O_NONBLOCK) == 0) {
    Fl::add_fd(signal_pipe_[0], FL_READ, &X11Runtime::OnSignalPipe, this);
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = &X11Runtime::OnTerminationSignal;
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
  }

  if (!display_) return;
  // Never mapped: it exists so that another start of the host finds it by title.
  const Window w = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
  XStoreName(display_, w, caption.c_str());
  XChangeProperty(display_, w, XInternAtom(display_, "_NET_WM_NAME", False),
                  XInternAtom(display_, "UTF8_STRING", False), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(caption.data()), static_cast<int>(caption.size()));
  Atom delete_window = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display_, w, &delete_window, 1);
  XSync(display_, False);
  hidden_window_ = w;
}

std::unique_ptr<FormTimer> X11Runtime::CreateTimer(unsigned interval_ms, bool enabled,
                                                   std::function<void()> tick) {
  auto timer = std::make_unique<FlTimer>(interval_ms, std::move(tick));
  timer->SetEnabled(enabled);
  return timer;
}

std::unique_ptr<PreviewWindow> X11Runtime::LoadPreviewForm(const std::string& caption, const Picture& picture,
                                                           std::function<void()> unload) {
  ++forms_loaded_;
  return std::make_unique<X11PreviewWindow>(*this, display_, caption, picture, std::move(unload));
}

void X11Runtime::ShowSettingsDialog(DialogEvents& events) {
  if (!display_) {
    std::fprintf(stderr, "Veloran: no X display for the settings dialog\n");
    return;
  }
  FltkDialog dialog(*this, events);
  dialog.RunModal();
}

// An outline moving from one rectangle to the other in a few steps, each drawn and
// taken away again with XOR on the root window, over everything on the screen.
void X11Runtime::DrawAnimatedRects(WindowHandle, const ScreenRect& from, const ScreenRect& to) {
  if (!display_) return;
  constexpr int kSteps = 6;
  constexpr long kStepNs = 20 * 1000 * 1000;  // 120 ms in all
  const Window root = DefaultRootWindow(display_);
  const int screen = DefaultScreen(display_);
  XGCValues values;
  values.function = GXxor;
  values.subwindow_mode = IncludeInferiors;
  values.foreground = WhitePixel(display_, screen) ^ BlackPixel(display_, screen);
  values.line_width = 2;
  GC gc = XCreateGC(display_, root, GCFunction | GCSubwindowMode | GCForeground | GCLineWidth, &values);
  auto between = [](std::int32_t a, std::int32_t b, int step) {
    return static_cast<int>(a + static_cast<std::int64_t>(b - a) * step / kSteps);
  };
  for (int step = 1; step <= kSteps; ++step) {
    const int left = between(from.left, to.left, step), top = between(from.top, to.top, step);
    const int right = between(from.right, to.right, step), bottom = between(from.bottom, to.bottom, step);
    const unsigned width = static_cast<unsigned>(std::max(right - left, 1) - 1);
    const unsigned height = static_cast<unsigned>(std::max(bottom - top, 1) - 1);
    XDrawRectangle(display_, root, gc, left, top, width, height);
    XFlush(display_);
    timespec pause{0, kStepNs};
    nanosleep(&pause, nullptr);
    XDrawRectangle(display_, root, gc, left, top, width, height);
  }
  XFreeGC(display_, gc);
  XFlush(display_);
}

// Display switch of Veloran.dll on X11: the primary output goes to the renderer's
// size through XRandR and comes back at the end. A guardian process, forked before
// anything changes, holds the saved configuration and puts it back when the
// renderer's end of a pipe closes without the renderer having restored it itself
// (killed, crashed).
#include "display_mode.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "display_plan.h"

namespace {

constexpr char kReleased = 'R';  // sent to the guardian: the renderer has restored

void RootSize(Display* display, int* width, int* height) {
  // DisplayWidth() keeps the size the connection started with; ask the server.
  Window root_return;
  int x, y;
  unsigned w = 0, h = 0, border, depth;
  XGetGeometry(display, DefaultRootWindow(display), &root_return, &x, &y, &w, &h, &border, &depth);
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
}

// Screen size in millimetres for a size in pixels, at the density saved before the
// switch. The server refuses 0.
int Millimetres(int pixels, int saved_pixels, int saved_mm) {
  if (saved_pixels <= 0 || saved_mm <= 0) return std::max(1, pixels * 254 / 960);
  return std::max(1, static_cast<int>(std::lround(double(pixels) * saved_mm / saved_pixels)));
}

bool SetScreenSize(Display* display, XErrors& errors, int width, int height, const SavedConfig& saved) {
  errors.Clear();
  XRRSetScreenSize(display, DefaultRootWindow(display), width, height,
                   Millimetres(width, saved.screen_width, saved.screen_mm_width),
                   Millimetres(height, saved.screen_height, saved.screen_mm_height));
  return errors.Synced(display);
}

bool SetCrtc(Display* display, XErrors& errors, RRCrtc crtc, int x, int y, RRMode mode, Rotation rotation,
             const std::vector<RROutput>& outputs) {
  XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
  if (!resources) return false;
  errors.Clear();
  Status status = XRRSetCrtcConfig(display, resources, crtc, CurrentTime, x, y, mode, rotation,
                                   const_cast<RROutput*>(outputs.data()), static_cast<int>(outputs.size()));
  XRRFreeScreenResources(resources);
  return errors.Synced(display) && status == RRSetConfigSuccess;
}

// Puts one CRTC into a mode and the screen to a size. The screen must hold every
// CRTC at each step: grow it first, shrink it last.
bool ApplyConfig(Display* display, XErrors& errors, RRCrtc crtc, int x, int y, RRMode mode, Rotation rotation,
                 const std::vector<RROutput>& outputs, int screen_width, int screen_height,
                 const SavedConfig& saved) {
  int width, height;
  RootSize(display, &width, &height);
  int interim_width = std::max(width, screen_width);
  int interim_height = std::max(height, screen_height);
  bool ok = true;
  XGrabServer(display);
  if (interim_width != width || interim_height != height)
    ok = SetScreenSize(display, errors, interim_width, interim_height, saved);
  if (ok) ok = SetCrtc(display, errors, crtc, x, y, mode, rotation, outputs);
  if (ok && (interim_width != screen_width || interim_height != screen_height))
    ok = SetScreenSize(display, errors, screen_width, screen_height, saved);
  XUngrabServer(display);
  XSync(display, False);
  return ok;
}

void RemoveCreatedMode(Display* display, XErrors& errors, const SavedConfig& saved) {
  if (!saved.created_mode) return;
  errors.Clear();
  XRRDeleteOutputMode(display, saved.output, saved.created_mode);
  XRRDestroyMode(display, saved.created_mode);
  XSync(display, False);
}

bool RestoreConfig(Display* display, XErrors& errors, const SavedConfig& saved) {
  bool ok = ApplyConfig(display, errors, saved.crtc, saved.x, saved.y, saved.mode, saved.rotation,
                        saved.outputs, saved.screen_width, saved.screen_height, saved);
  RemoveCreatedMode(display, errors, saved);
  return ok;
}

const XRRModeInfo* FindMode(const XRRScreenResources* resources, RRMode id) {
  for (int i = 0; i < resources->nmode; ++i)
    if (resources->modes[i].id == id) return &resources->modes[i];
  return nullptr;
}

ModeTimings Timings(const XRRModeInfo& mode) {
  ModeTimings timings;
  timings.id = mode.id;
  timings.width = static_cast<int>(mode.width);
  timings.height = static_cast<int>(mode.height);
  timings.dot_clock = mode.dotClock;
  timings.h_total = mode.hTotal;
  timings.v_total = mode.vTotal;
  timings.interlaced = mode.modeFlags & RR_Interlace;
  timings.double_scan = mode.modeFlags & RR_DoubleScan;
  return timings;
}

// The primary output when it drives a CRTC, else the first output that does.
RROutput ActiveOutput(Display* display, XRRScreenResources* resources, RRCrtc* crtc) {
  RROutput primary = XRRGetOutputPrimary(display, DefaultRootWindow(display));
  for (int i = primary ? -1 : 0; i < resources->noutput; ++i) {
    RROutput output = i < 0 ? primary : resources->outputs[i];
    XRROutputInfo* info = XRRGetOutputInfo(display, resources, output);
    if (!info) continue;
    bool usable = info->connection != RR_Disconnected && info->crtc;
    *crtc = info->crtc;
    XRRFreeOutputInfo(info);
    if (usable) return output;
  }
  return 0;
}

// What the plan needs to know of the output, its CRTC and the rest of the screen.
bool ReadLayout(Display* display, XRRScreenResources* resources, RROutput output, RRCrtc crtc,
                OutputLayout* layout) {
  XRROutputInfo* output_info = XRRGetOutputInfo(display, resources, output);
  if (!output_info) return false;
  layout->mm_width = static_cast<int>(output_info->mm_width);
  layout->mm_height = static_cast<int>(output_info->mm_height);
  for (int i = 0; i < output_info->nmode; ++i)
    if (const XRRModeInfo* mode = FindMode(resources, output_info->modes[i]))
      layout->listed.push_back(Timings(*mode));
  XRRFreeOutputInfo(output_info);

  for (int i = 0; i < resources->ncrtc; ++i) {
    XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
    if (!info) continue;
    ScreenArea area{info->x, info->y, static_cast<int>(info->width), static_cast<int>(info->height)};
    if (resources->crtcs[i] == crtc) {
      layout->crtc = area;
      layout->sideways = info->rotation & (RR_Rotate_90 | RR_Rotate_270);
    } else if (info->mode) {
      layout->others.push_back(area);
    }
    XRRFreeCrtcInfo(info);
  }
  return XRRGetScreenSizeRange(display, DefaultRootWindow(display), &layout->min_screen_width,
                               &layout->min_screen_height, &layout->max_screen_width,
                               &layout->max_screen_height);
}

// A mode of width x height made for the run and added to the output, with the
// blanking of the standard 1024x768 timing at the given rate (none at rate 0).
RRMode CreateMode(Display* display, XErrors& errors, XRRScreenResources* resources, RROutput output,
                  int width, int height, double refresh) {
  char name[64];
  std::snprintf(name, sizeof name, "veloran-%dx%d", width, height);
  RRMode mode = 0;
  for (int i = 0; i < resources->nmode && !mode; ++i)
    if (resources->modes[i].name && std::strcmp(resources->modes[i].name, name) == 0)
      mode = resources->modes[i].id;  // left behind by an earlier run
  if (!mode) {
    XRRModeInfo* info = XRRAllocModeInfo(name, static_cast<int>(std::strlen(name)));
    info->width = width;
    info->height = height;
    if (refresh > 0) {
      info->hSyncStart = width + width / 42;
      info->hSyncEnd = width + width * 5 / 32;
      info->hTotal = width * 21 / 16;
      info->vSyncStart = height + 3;
      info->vSyncEnd = height + 9;
      info->vTotal = height * 403 / 384;
      info->dotClock = static_cast<unsigned long>(std::lround(refresh * info->hTotal * info->vTotal));
      info->modeFlags = RR_HSyncNegative | RR_VSyncNegative;
    }
    errors.Clear();
    mode = XRRCreateMode(display, DefaultRootWindow(display), info);
    XRRFreeModeInfo(info);
    if (!errors.Synced(display)) return 0;
  }
  errors.Clear();
  XRRAddOutputMode(display, output, mode);
  if (!errors.Synced(display)) {
    XRRDestroyMode(display, mode);
    XSync(display, False);
    return 0;
  }
  return mode;
}

XRectangle ToRectangle(const ScreenArea& area) {
  return {static_cast<short>(area.x), static_cast<short>(area.y), static_cast<unsigned short>(area.width),
          static_cast<unsigned short>(area.height)};
}

}  // namespace

[[noreturn]] void DisplayModeSwitch::GuardianMain(int read_fd) {
  // Keep nothing of the renderer open: its X connection above all, which would keep
  // its window alive after its death, and the write end of the pipe.
  if (read_fd != 3) dup2(read_fd, 3);
  int null_fd = open("/dev/null", O_RDWR);
  if (null_fd >= 0) {
    dup2(null_fd, 0);
    dup2(null_fd, 1);
  }
  if (close_range(4, ~0U, 0) != 0) {
    for (int fd = 4; fd < 1024; ++fd) close(fd);
  }
  prctl(PR_SET_NAME, "veloran-guard", 0, 0, 0);
  // A Ctrl+C or a terminal hang-up meant for the renderer must not take the
  // guardian with it before it has done its job.
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) std::signal(sig, SIG_IGN);

  bool released = false;
  for (;;) {
    char c;
    ssize_t n = read(3, &c, 1);
    if (n == 1) {
      if (c == kReleased) released = true;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    break;  // end of file: the renderer has ended one way or another
  }
  if (!released) {
    if (Display* display = XOpenDisplay(saved_.display_name.c_str())) {
      RestoreConfig(display, errors_, saved_);
      XCloseDisplay(display);
    }
  }
  _exit(0);
}

void DisplayModeSwitch::StartGuardian() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return;
  pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    return;
  }
  if (pid == 0) GuardianMain(fds[0]);
  close(fds[0]);
  guardian_ = pid;
  guardian_pipe_ = fds[1];
}

void DisplayModeSwitch::ReleaseGuardian(bool restored) {
  if (guardian_pipe_ >= 0) {
    if (restored) {
      char c = kReleased;
      while (write(guardian_pipe_, &c, 1) < 0 && errno == EINTR) {}
    }
    close(guardian_pipe_);
    guardian_pipe_ = -1;
  }
  if (guardian_ > 0) {
    while (waitpid(guardian_, nullptr, 0) < 0 && errno == EINTR) {}
    guardian_ = -1;
  }
}

ModeSwitch DisplayModeSwitch::Switch(Display* display, int width, int height, XRectangle* area,
                                     std::vector<XRectangle>* blank) {
  *area = ToRectangle({0, 0, width, height});
  blank->clear();
  int event_base, error_base, major = 0, minor = 0;
  if (!XRRQueryExtension(display, &event_base, &error_base) || !XRRQueryVersion(display, &major, &minor) ||
      major < 1 || (major == 1 && minor < 3))
    return ModeSwitch::kNotQueried;

  Window root = DefaultRootWindow(display);
  XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
  if (!resources) return ModeSwitch::kNotQueried;

  RRCrtc crtc = 0;
  RROutput output = ActiveOutput(display, resources, &crtc);
  XRRCrtcInfo* crtc_info = output ? XRRGetCrtcInfo(display, resources, crtc) : nullptr;
  const XRRModeInfo* current = crtc_info ? FindMode(resources, crtc_info->mode) : nullptr;
  OutputLayout layout;
  if (current) layout.current = Timings(*current);
  if (!current || !ReadLayout(display, resources, output, crtc, &layout)) {
    if (crtc_info) XRRFreeCrtcInfo(crtc_info);
    XRRFreeScreenResources(resources);
    return ModeSwitch::kNotQueried;
  }

  SavedConfig saved;
  saved.display_name = DisplayString(display);
  saved.crtc = crtc;
  saved.mode = crtc_info->mode;
  saved.x = crtc_info->x;
  saved.y = crtc_info->y;
  saved.rotation = crtc_info->rotation;
  saved.outputs.assign(crtc_info->outputs, crtc_info->outputs + crtc_info->noutput);
  saved.output = output;
  RootSize(display, &saved.screen_width, &saved.screen_height);
  saved.screen_mm_width = DisplayWidthMM(display, DefaultScreen(display));
  saved.screen_mm_height = DisplayHeightMM(display, DefaultScreen(display));
  XRRFreeCrtcInfo(crtc_info);

  // Only the output's own CRTC changes: the other outputs stay where they were, so
  // the plan's areas are theirs after the switch too.
  SwitchPlan plan = PlanDisplaySwitch(layout, width, height);
  auto report = [&](const SwitchPlan& shown) {
    *area = ToRectangle(shown.window);
    for (const ScreenArea& other : shown.blank) blank->push_back(ToRectangle(other));
  };
  // Whatever cannot be switched shows the run at the output's present mode.
  auto unswitched = [&] {
    report(PlanDisplaySwitch(layout, layout.current.width, layout.current.height));
    return ModeSwitch::kFailed;
  };
  RRMode mode = 0;
  if (plan.step == SwitchStep::kListedMode) mode = plan.mode;
  if (plan.step == SwitchStep::kNewMode) {
    mode = CreateMode(display, errors_, resources, output, width, height, plan.refresh);
    saved.created_mode = mode;
  }
  XRRFreeScreenResources(resources);
  if (plan.step == SwitchStep::kNone) {
    report(plan);
    return ModeSwitch::kSwitched;  // nothing to restore
  }
  if (!mode) return unswitched();

  saved.active = true;
  saved_ = saved;
  StartGuardian();
  if (!ApplyConfig(display, errors_, crtc, saved.x, saved.y, mode, saved.rotation, saved.outputs,
                   plan.screen_width, plan.screen_height, saved)) {
    Restore(display);
    return unswitched();
  }
  report(plan);
  return ModeSwitch::kSwitched;
}

void DisplayModeSwitch::Restore(Display* display) {
  if (!saved_.active) return;
  saved_.active = false;
  bool restored = display && RestoreConfig(display, errors_, saved_);
  ReleaseGuardian(restored);
}

double DisplayModeSwitch::CurrentRefreshRate(Display* display) {
  int event_base, error_base, major = 0, minor = 0;
  if (!XRRQueryExtension(display, &event_base, &error_base) || !XRRQueryVersion(display, &major, &minor) ||
      major < 1 || (major == 1 && minor < 3))
    return 0;
  XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
  if (!resources) return 0;
  RRCrtc crtc = 0;
  double rate = 0;
  if (ActiveOutput(display, resources, &crtc)) {
    if (XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, crtc)) {
      if (const XRRModeInfo* mode = FindMode(resources, info->mode)) rate = RefreshRate(Timings(*mode));
      XRRFreeCrtcInfo(info);
    }
  }
  XRRFreeScreenResources(resources);
  return rate;
}

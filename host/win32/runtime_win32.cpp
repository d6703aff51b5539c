// Windows runtime of the host (see runtime_win32.h).
#include "runtime_win32.h"

#include <algorithm>
#include <vector>

#include "assets.h"
#include "dialog_win32.h"
#include "gdi_win32.h"

namespace {

HWND ToHwnd(WindowHandle w) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(w)); }
WindowHandle FromHwnd(HWND w) { return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(w)); }

// The runtime for the thread timers' procedure, which is given no pointer of its own;
// set while it lives.
Win32Runtime* g_runtime = nullptr;

// --- Timers: thread timers, dispatched by the message loop ---

class Win32Timer : public FormTimer {
 public:
  // `timers` holds the timers that are on; `proc` runs the one whose id comes.
  Win32Timer(std::map<UINT_PTR, std::function<void()>*>& timers, TIMERPROC proc, unsigned interval_ms,
             std::function<void()> tick)
      : timers_(timers), proc_(proc), interval_ms_(interval_ms), tick_(std::move(tick)) {}
  ~Win32Timer() override { SetEnabled(false); }

  void SetEnabled(bool on) override {
    if (on == (id_ != 0)) return;
    if (on) {
      id_ = SetTimer(nullptr, 0, interval_ms_, proc_);
      if (id_) timers_[id_] = &tick_;
    } else {
      KillTimer(nullptr, id_);
      timers_.erase(id_);
      id_ = 0;
    }
  }
  bool Enabled() const override { return id_ != 0; }

 private:
  std::map<UINT_PTR, std::function<void()>*>& timers_;
  TIMERPROC proc_;
  unsigned interval_ms_;
  std::function<void()> tick_;
  UINT_PTR id_ = 0;
};

// --- The preview form ---

struct PreviewState {
  Win32Runtime* runtime = nullptr;
  std::vector<unsigned char> dib;  // top-down 24-bit rows, padded to four bytes
  int picture_w = 0, picture_h = 0;
  int control_w = 0, control_h = 0;
  std::function<void()> unload;
};

LRESULT CALLBACK PreviewFormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* state = reinterpret_cast<PreviewState*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (state && !state->dib.empty()) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = state->picture_w;
        bi.bmiHeader.biHeight = -state->picture_h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 24;
        bi.bmiHeader.biCompression = BI_RGB;
        // The picture at its own size from the control's top-left, cut to the control.
        const int w = std::min(state->picture_w, state->control_w);
        const int h = std::min(state->picture_h, state->control_h);
        if (w > 0 && h > 0) {
          HRGN clip = CreateRectRgn(0, 0, w, h);
          SelectClipRgn(dc, clip);
          SetDIBitsToDevice(dc, 0, 0, state->picture_w, state->picture_h, 0, 0, 0, state->picture_h,
                            state->dib.data(), &bi, DIB_RGB_COLORS);
          SelectClipRgn(dc, nullptr);
          DeleteObject(clip);
        }
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      // The form unloads with its window.
      if (state && state->unload) state->unload();
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      if (state) state->runtime->FormUnloaded();
      delete state;
      return 0;
    default: return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

class Win32PreviewWindow : public PreviewWindow {
 public:
  explicit Win32PreviewWindow(HWND hwnd) : hwnd_(hwnd) {}

  // A child window is a child and not a pop-up: the pop-up bit goes as the child bit comes.
  std::int32_t AddChildStyle() override {
    const LONG style = GetWindowLongA(hwnd_, GWL_STYLE);
    return SetWindowLongA(hwnd_, GWL_STYLE, (style & ~static_cast<LONG>(WS_POPUP)) | WS_CHILD);
  }
  std::int64_t SetParent(WindowHandle parent) override {
    return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(::SetParent(hwnd_, ToHwnd(parent))));
  }
  void Move(int left, int top, int width, int height) override {
    MoveWindow(hwnd_, left, top, width, height, TRUE);
  }
  void SetPictureSize(int width, int height) override {
    if (auto* s = reinterpret_cast<PreviewState*>(GetWindowLongPtrA(hwnd_, GWLP_USERDATA))) {
      s->control_w = width;
      s->control_h = height;
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
  void Show() override {
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd_);
  }
  WindowHandle Owner() override { return FromHwnd(GetWindow(hwnd_, GW_OWNER)); }
  std::int32_t PostClose() override { return PostMessageA(hwnd_, WM_CLOSE, 0, 0); }

 private:
  HWND hwnd_;
};

}  // namespace

Win32Runtime::Win32Runtime() { g_runtime = this; }

Win32Runtime::~Win32Runtime() {
  if (g_runtime == this) g_runtime = nullptr;
}

void CALLBACK Win32Runtime::OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  if (!g_runtime) return;
  auto it = g_runtime->timers_.find(id);
  if (it != g_runtime->timers_.end()) (*it->second)();
}

LRESULT CALLBACK Win32Runtime::HiddenFormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* rt = reinterpret_cast<Win32Runtime*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_CLOSE:
      if (rt && rt->unload_request_) rt->unload_request_();
      return 0;
    case WM_QUERYENDSESSION:
      if (rt && rt->unload_request_) rt->unload_request_();
      return TRUE;
    default: return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

void Win32Runtime::FormUnloaded() {
  if (--forms_loaded_ <= 0) PostQuitMessage(0);
}

void Win32Runtime::Run() {
  if (forms_loaded_ <= 0) return;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

std::string Win32Runtime::ArgumentsOf(const std::string& full) {
  std::size_t i = 0;
  if (!full.empty() && full[0] == '"') {
    i = full.find('"', 1);
    i = i == std::string::npos ? full.size() : i + 1;
  }
  while (i < full.size() && full[i] != ' ' && full[i] != '\t') ++i;
  while (i < full.size() && (full[i] == ' ' || full[i] == '\t')) ++i;
  return full.substr(i);
}

std::string Win32Runtime::CommandLine() { return ArgumentsOf(GetCommandLineA()); }

std::string Win32Runtime::ProgramFolder() {
  char buf[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  std::string path(buf, n);
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

void Win32Runtime::EndProgram() { ExitProcess(0); }

std::string Win32Runtime::ToCodePage932(const std::string& utf8) {
  const int wide_len =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  if (wide_len <= 0) return std::string();
  std::wstring wide(static_cast<std::size_t>(wide_len), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], wide_len);
  const int len = WideCharToMultiByte(932, 0, wide.data(), wide_len, nullptr, 0, nullptr, nullptr);
  if (len <= 0) return std::string();
  std::string out(static_cast<std::size_t>(len), '\0');
  WideCharToMultiByte(932, 0, wide.data(), wide_len, &out[0], len, nullptr, nullptr);
  return out;
}

void Win32Runtime::ShowMessage(const std::string& utf8_text) {
  MessageBoxA(nullptr, ToCodePage932(utf8_text).c_str(), "Veloran", MB_OK);
}

bool Win32Runtime::CreateFolder(const std::string& windows_path) {
  return CreateDirectoryA(windows_path.c_str(), nullptr) != 0;
}

bool Win32Runtime::WriteFileReplacing(const std::string& windows_path, const std::string& bytes) {
  const std::string temp = windows_path + ".tmp" + std::to_string(GetCurrentProcessId());
  HANDLE f =
      CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  for (std::size_t done = 0; ok && done < bytes.size();) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    ok = WriteFile(f, bytes.data() + done, chunk, &written, nullptr) && written > 0;
    done += written;
  }
  ok = CloseHandle(f) && ok;
  if (ok) ok = MoveFileExA(temp.c_str(), windows_path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  if (!ok) DeleteFileA(temp.c_str());
  return ok;
}

std::int32_t Win32Runtime::StartProgram(const std::string& windows_path) {
  std::string command = "\"" + windows_path + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(windows_path.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi))
    return 0;
  CloseHandle(pi.hThread);
  const auto task = static_cast<std::int32_t>(pi.dwProcessId);
  if (HANDLE old = programs_[task]) CloseHandle(old);
  programs_[task] = pi.hProcess;
  return task;
}

bool Win32Runtime::ProgramRunning(std::int32_t task) {
  auto it = programs_.find(task);
  return it != programs_.end() && WaitForSingleObject(it->second, 0) == WAIT_TIMEOUT;
}

WindowHandle Win32Runtime::FindTopWindow(const std::string& title) {
  return FromHwnd(FindWindowA(nullptr, title.c_str()));
}

std::int32_t Win32Runtime::ShowCursor(bool show) { return ::ShowCursor(show ? TRUE : FALSE); }

bool Win32Runtime::GetWindowRect(WindowHandle window, ScreenRect* rect) {
  RECT r;
  if (!::GetWindowRect(ToHwnd(window), &r)) return false;
  rect->left = r.left;
  rect->top = r.top;
  rect->right = r.right;
  rect->bottom = r.bottom;
  return true;
}

void Win32Runtime::DrawAnimatedRects(WindowHandle window, const ScreenRect& from, const ScreenRect& to) {
  const RECT a = {from.left, from.top, from.right, from.bottom};
  const RECT b = {to.left, to.top, to.right, to.bottom};
  ::DrawAnimatedRects(ToHwnd(window), IDANI_CAPTION, &a, &b);
}

namespace {
int TwipsPerPixel(int cap) {
  HDC dc = GetDC(nullptr);
  const int dpi = dc ? GetDeviceCaps(dc, cap) : 96;
  if (dc) ReleaseDC(nullptr, dc);
  return 1440 / (dpi > 0 ? dpi : 96);
}
}  // namespace

int Win32Runtime::TwipsPerPixelX() { return TwipsPerPixel(LOGPIXELSX); }
int Win32Runtime::TwipsPerPixelY() { return TwipsPerPixel(LOGPIXELSY); }

void Win32Runtime::LoadHiddenForm(const std::string& caption, std::function<void()> unload_request) {
  unload_request_ = std::move(unload_request);
  RegisterWindowClass("VeloranForm", &Win32Runtime::HiddenFormProc, nullptr);
  HWND hwnd = CreateWindowExA(0, "VeloranForm", caption.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (hwnd) SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ++forms_loaded_;
}

std::unique_ptr<FormTimer> Win32Runtime::CreateTimer(unsigned interval_ms, bool enabled,
                                                     std::function<void()> tick) {
  auto timer = std::make_unique<Win32Timer>(timers_, &Win32Runtime::OnTimer, interval_ms, std::move(tick));
  timer->SetEnabled(enabled);
  return timer;
}

std::unique_ptr<PreviewWindow> Win32Runtime::LoadPreviewForm(const std::string& caption,
                                                             const Picture& picture,
                                                             std::function<void()> unload) {
  RegisterWindowClass("VeloranPreview", PreviewFormProc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HWND hwnd = CreateWindowExA(0, "VeloranPreview", caption.c_str(), WS_POPUP | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (hwnd) {
    auto* state = new PreviewState;
    state->runtime = this;
    state->unload = std::move(unload);
    state->picture_w = picture.width;
    state->picture_h = picture.height;
    const std::size_t row = (static_cast<std::size_t>(picture.width) * 3 + 3) & ~static_cast<std::size_t>(3);
    state->dib.assign(row * static_cast<std::size_t>(picture.height), 0);
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x) {
        const std::uint8_t* src = &picture.rgb[(static_cast<std::size_t>(y) * picture.width + x) * 3];
        unsigned char* dst = &state->dib[row * static_cast<std::size_t>(y) + static_cast<std::size_t>(x) * 3];
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
      }
    }
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    ++forms_loaded_;
  }
  return std::make_unique<Win32PreviewWindow>(hwnd);
}

void Win32Runtime::ShowSettingsDialog(DialogEvents& events) { RunSettingsDialog(*this, events); }

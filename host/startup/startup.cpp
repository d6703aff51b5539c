#include "startup.h"

#include <cctype>

#include "preview.h"
#include "saver_run.h"
#include "settings.h"
#include "windows_path.h"

std::int32_t Cursor_Count = 0;
std::int16_t Zoom_X = 0;
std::int16_t Zoom_Y = 0;

const char kSaverFormCaption[] = "Veloran_Main";
const char kDialogCaption[] = "<Veloran>";
const char kWorkFolder[] = "C:\\qorin";
const char kRendererFile[] = "\\Veloran.dll";
// "Veloran.dll was not found in the same folder!" (the source is UTF-8).
const char kRendererMissingText[] = "Veloran.dll が同じﾌｫﾙﾀﾞに見つかりません！";

std::string ModeLetter(const std::string& command_line) {
  if (command_line.size() < 2) return "";
  return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(command_line[1]))));
}

void Main(Runtime& rt) {
  // Another instance: a saver run (its hidden form) or an open settings dialog.
  // Both are always looked for.
  const bool run_going = rt.FindTopWindow(kSaverFormCaption) != 0;
  const bool dialog_open = rt.FindTopWindow(kDialogCaption) != 0;
  if (run_going || dialog_open) {
    rt.EndProgram();
    return;
  }

  const std::string mode = ModeLetter(rt.CommandLine());
  if (mode == "P") {
    SetUpPreview(rt, rt.CommandLine());
    return;
  }

  rt.CreateFolder(kWorkFolder);
  LoadSettings();

  if (!FileExists(NativePath(rt.ProgramFolder() + kRendererFile))) {
    rt.ShowMessage(kRendererMissingText);
    rt.EndProgram();
    return;
  }

  if (mode == "C") {
    // The settings dialog opens here; until it exists, configuration ends the program.
    rt.EndProgram();
    return;
  }

  if (!rt.CommandLine().empty() && mode != "S") {
    rt.EndProgram();
    return;
  }

  if (mode == "S") Cursor_Count = rt.ShowCursor(false);

  LoadSaverRunForm(rt);
}

namespace {

ScreenRect ZoomPoint() {
  ScreenRect r;
  r.left = r.right = Zoom_X;
  r.top = r.bottom = Zoom_Y;
  return r;
}

}  // namespace

void ZoomOpen(Runtime& rt, WindowHandle window) {
  ScreenRect window_rect;
  rt.GetWindowRect(window, &window_rect);
  rt.DrawAnimatedRects(window, ZoomPoint(), window_rect);
}

void ZoomClose(Runtime& rt, WindowHandle window) {
  ScreenRect window_rect;
  rt.GetWindowRect(window, &window_rect);
  rt.DrawAnimatedRects(window, window_rect, ZoomPoint());
}

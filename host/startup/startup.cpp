#include "startup.h"

#include <cctype>

#include "daemon_mode.h"
#include "settings_dialog.h"
#include "veloran_names.h"
#include "windows_path.h"

const char kRendererMissingText[] = "Veloran.dll が同じﾌｫﾙﾀﾞに見つかりません！";

std::string ModeLetter(const std::string& command_line) {
  if (command_line.size() < 2) return "";
  return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(command_line[1]))));
}

void Main(Runtime& rt, Music& music, HostState& host) {
  // Another instance: a saver run (its hidden form) or an open settings dialog.
  // Both are always looked for. A daemon's program runs regardless: the daemon
  // starts one per window it covers, each drawing only in its own.
  const bool run_going = rt.FindTopWindow(kSaverFormCaption) != 0;
  const bool dialog_open = rt.FindTopWindow(kDialogCaption) != 0;
  std::string daemon_window;
  const bool has_daemons = rt.DaemonWindowVariable(&daemon_window);
  const DaemonRun daemon = DecideDaemonRun(rt.CommandLine(), has_daemons, daemon_window);
  if ((run_going || dialog_open) && !daemon.on) {
    rt.EndProgram();
    return;
  }

  const std::string command_line = rt.CommandLine();
  host.mode = ModeLetter(command_line);
  if (host.mode == "P") {
    host.preview = std::make_unique<PreviewForm>(rt);
    host.preview->Load(command_line);
    return;
  }

  rt.CreateFolder(kWorkFolder);
  host.music = LoadSettings(rt.Profile(), rt.ProgramFolder());

  if (!FileExists(rt.Profile(), NativePath(rt.ProgramFolder() + kRendererFile))) {
    rt.ShowMessage(kRendererMissingText);
    rt.EndProgram();
    return;
  }

  if (host.mode == "C") {
    SettingsDialog dialog(rt, host.music, host.zoom);
    rt.ShowSettingsDialog(dialog);
    rt.EndProgram();
    return;
  }

  if (!command_line.empty() && host.mode != "S" && !daemon.on) {
    rt.EndProgram();
    return;
  }

  if (host.mode == "S") host.Cursor_Count = rt.ShowCursor(false);

  host.saver_run =
      std::make_unique<SaverRunForm>(rt, music, host.music, host.mode, host.Cursor_Count, daemon);
  host.saver_run->Load();
}

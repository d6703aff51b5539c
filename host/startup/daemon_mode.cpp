#include "daemon_mode.h"

#include <cctype>
#include <cstdint>
#include <sstream>
#include <vector>

namespace {

// A window number, decimal or 0x hex; 0 when it is not one.
WindowHandle WindowNumber(const std::string& text) {
  std::size_t i = 0;
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    i = 2;
  }
  if (i >= text.size()) return 0;
  std::uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    int digit;
    if (std::isdigit(c)) {
      digit = c - '0';
    } else if (base == 16 && std::isxdigit(c)) {
      digit = std::tolower(c) - 'a' + 10;
    } else {
      return 0;
    }
    if (digit >= base) return 0;
    value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    if (value > 0xFFFFFFFFull) return 0;  // X window ids are 32-bit numbers
  }
  return value;
}

}  // namespace

DaemonRun DecideDaemonRun(const std::string& command_line, bool platform_has_daemons,
                          const std::string& environment_window) {
  DaemonRun run;
  if (!platform_has_daemons) return run;

  std::istringstream words(command_line);
  std::vector<std::string> args;
  for (std::string word; words >> word;) args.push_back(word);

  bool root = false, given = false;
  WindowHandle window = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-root" || args[i] == "--root") {
      root = true;
    } else if (args[i] == "-window-id" && i + 1 < args.size()) {
      window = WindowNumber(args[++i]);
      if (window == 0) return run;  // a window that cannot be: not the daemon's call
      given = true;
    } else {
      return run;
    }
  }
  if (!given) window = WindowNumber(environment_window);
  // An empty command line is the daemon's only with its window in the environment.
  if (!root && !given && window == 0) return run;
  run.on = true;
  run.window = window;
  return run;
}

#pragma once
// Whether a desktop screen-saver daemon (X11) started the host as its program, and
// which window it wants the saver in. Such daemons name the window in the
// environment (XSCREENSAVER_WINDOW) or on the command line (-window-id ID), or ask
// for the root window (-root, which some of them pass on as --root). The platform
// says whether it has such daemons at all (Runtime::DaemonWindowVariable): Windows
// has none, so there this mode never applies.

#include <string>

#include "runtime.h"
#include "saver_run.h"  // DaemonRun

// The daemon run for this command line, given whether the platform has daemons and
// the environment's window ("" when unset). The command line must consist of the
// daemon's switches only: a Windows switch (/s, /c, /p) keeps its own meaning.
// An explicit -window-id wins over the environment; a window number that is 0 or
// not a decimal or 0x hex number below 2^32 counts as none.
DaemonRun DecideDaemonRun(const std::string& command_line, bool platform_has_daemons,
                          const std::string& environment_window);

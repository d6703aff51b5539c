// Linux entry of Veloran.scr: the command line is the arguments joined by blanks; the
// runtime, the host's state and the music player, then Main and the event loop while
// a form is loaded.
#include <cstdio>

#include <unistd.h>

#include "runtime_x11.h"
#include "startup.h"

int main(int argc, char** argv) {
  X11Runtime rt(argc, argv);
  HostState host;
  SilentMusic music;
  Main(rt, music, host);
  rt.Run();
  std::fflush(nullptr);
  _exit(0);
}

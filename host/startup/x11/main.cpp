// Linux entry of Veloran.scr: the command line is the arguments joined by blanks.
#include <cstdio>

#include <unistd.h>

#include "runtime_x11.h"
#include "startup.h"

int main(int argc, char** argv) {
  X11Runtime rt(argc, argv);
  Main(rt);
  rt.Run();
  std::fflush(nullptr);
  _exit(0);
}

// Linux entry of Veloran.scr: the command line is the arguments joined by blanks; the
// runtime, the host's state and the music player over the platform's media commands,
// then Main and the event loop while a form is loaded, and the program's end.
#include "music_player.h"
#include "runtime_x11.h"
#include "startup.h"

int main(int argc, char** argv) {
  X11Runtime rt(argc, argv);
  HostState host;
  MusicPlayer music(rt.Media(), host.music);
  Main(rt, music, host);
  rt.Run();
  rt.EndProgram();
}

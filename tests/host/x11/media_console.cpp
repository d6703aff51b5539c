// A console for the Linux media commands, for trying them by hand: each line of
// standard input is a command string, or "wave PATH" (the looping wave sound),
// "wave" (stop it), "devices" (wave output devices), "wait SECONDS" (runs the event
// loop meanwhile). Prints the code, the reply or error text, and the time taken.
#include <FL/Fl.H>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>

#include "runtime_x11.h"

int main(int argc, char** argv) {
  X11Runtime rt(argc, argv);
  MediaCommands& media = rt.Media();
  std::string line;
  while (std::getline(std::cin, line)) {
    const auto start = std::chrono::steady_clock::now();
    std::string out;
    if (line.rfind("wait ", 0) == 0) {
      const auto until = start + std::chrono::duration<double>(std::stod(line.substr(5)));
      while (std::chrono::steady_clock::now() < until) Fl::wait(0.05);
      continue;
    } else if (line == "devices") {
      out = std::to_string(media.WaveOutDevices());
    } else if (line.rfind("wave", 0) == 0) {
      out = media.PlayWave(line.size() > 5 ? line.c_str() + 5 : nullptr,
                           kSoundAsync | kSoundNoDefault | kSoundLoop)
                ? "true"
                : "false";
    } else {
      char reply[512] = {};
      const std::uint32_t code = media.SendString(line, reply, sizeof reply);
      if (code != 0) media.GetErrorString(code, reply, sizeof reply);
      out = std::to_string(code) + " " + reply;
    }
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-40s -> %s  (%.1f ms)\n", line.c_str(), out.c_str(), ms);
    std::fflush(stdout);
  }
  return 0;  // the runtime closes what the commands opened
}

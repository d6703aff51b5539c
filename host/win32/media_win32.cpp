// Windows media commands: the multimedia library's command strings, error texts,
// wave device count and wave sound, as the music player sends them (ANSI text).
#include <windows.h>
#include <mmsystem.h>

#include "runtime_win32.h"

static_assert(kSoundAsync == SND_ASYNC && kSoundNoDefault == SND_NODEFAULT && kSoundLoop == SND_LOOP,
              "the wave-sound flags are the system's own");

namespace {

class Win32MediaCommands : public MediaCommands {
 public:
  std::uint32_t SendString(const std::string& command, char* reply, std::uint32_t length) override {
    return mciSendStringA(command.c_str(), reply, reply ? length : 0, nullptr);
  }
  bool GetErrorString(std::uint32_t code, char* text, std::uint32_t length) override {
    return mciGetErrorStringA(code, text, length) != FALSE;
  }
  std::uint32_t WaveOutDevices() override { return waveOutGetNumDevs(); }
  bool PlayWave(const char* name, std::uint32_t flags) override {
    return PlaySoundA(name, nullptr, flags) != FALSE;
  }
};

}  // namespace

MediaCommands& Win32Runtime::Media() {
  static Win32MediaCommands media;
  return media;
}

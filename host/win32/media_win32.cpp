// The media commands on Windows (see media_win32.h).
#include "media_win32.h"

#include <windows.h>
#include <mmsystem.h>

static_assert(kSoundAsync == SND_ASYNC && kSoundNoDefault == SND_NODEFAULT && kSoundLoop == SND_LOOP,
              "the wave-sound flags are the system's own");

std::uint32_t Win32MediaCommands::SendString(const std::string& command, char* reply, std::uint32_t length) {
  return mciSendStringA(command.c_str(), reply, reply ? length : 0, nullptr);
}

bool Win32MediaCommands::GetErrorString(std::uint32_t code, char* text, std::uint32_t length) {
  return mciGetErrorStringA(code, text, length) != FALSE;
}

std::uint32_t Win32MediaCommands::WaveOutDevices() { return waveOutGetNumDevs(); }

bool Win32MediaCommands::PlayWave(const char* name, std::uint32_t flags) {
  return PlaySoundA(name, nullptr, flags) != FALSE;
}

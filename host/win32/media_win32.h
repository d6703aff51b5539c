#pragma once
// The media commands on Windows: the multimedia library's own calls, as the music
// player sends them (ANSI text).
//  [X] command strings and their replies, error texts (mciSendStringA, mciGetErrorStringA)
//  [X] wave output devices and the wave sound (waveOutGetNumDevs, PlaySoundA)
//  Nothing of MediaCommands is left out; the system's media layer needs no closing.
#include <string>

#include "runtime.h"

class Win32MediaCommands : public MediaCommands {
 public:
  std::uint32_t SendString(const std::string& command, char* reply, std::uint32_t length) override;
  bool GetErrorString(std::uint32_t code, char* text, std::uint32_t length) override;
  std::uint32_t WaveOutDevices() override;
  bool PlayWave(const char* name, std::uint32_t flags) override;
};

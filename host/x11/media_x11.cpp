// Linux media commands (being built): until the command layer exists every device
// answers as an absent one, so no music plays and the run goes on.
#include "runtime_x11.h"

namespace {

class AbsentMedia : public MediaCommands {
 public:
  std::uint32_t SendString(const std::string&, char* reply, std::uint32_t length) override {
    if (reply && length) reply[0] = '\0';
    return 263;  // the device is not open or not known
  }
  bool GetErrorString(std::uint32_t, char* text, std::uint32_t length) override {
    if (text && length) text[0] = '\0';
    return false;
  }
  std::uint32_t WaveOutDevices() override { return 0; }
  bool PlayWave(const char*, std::uint32_t) override { return false; }
};

}  // namespace

MediaCommands& X11Runtime::Media() {
  static AbsentMedia media;
  return media;
}

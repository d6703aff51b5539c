// The program's music player for now: it plays nothing. Every operation returns at
// once, and CD polling asks to stop after its first tick.
#include "music.h"

namespace {

class SilentMusic : public Music {
 public:
  void CD_Open() override {}
  void CD_Poll() override {}
  bool CD_Ok() const override { return false; }
  void CD_Close() override {}
  void WAV_Play() override {}
  void WAV_Stop() override {}
  void MP3_Open() override {}
  void MP3_Repeat() override {}
  void MP3_Close() override {}
};

}  // namespace

Music& HostMusic() {
  static SilentMusic music;
  return music;
}

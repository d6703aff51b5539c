#pragma once
// The audio CD through libcdio: which drive or disc image to use, its table of
// contents, read on a thread of its own because a drive may take seconds to spin up,
// and the sound of its sectors.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media_layer.h"

class CdioDisc {
 public:
  // Raw CD audio: 44100 Hz, 16-bit little-endian stereo, 1/75 s per sector.
  static constexpr int kSectorBytes = 2352;

  // The drive or image to open: VELORAN_CD_DEVICE when set, else libcdio's default
  // drive. Empty when there is none that can be opened.
  static std::string DevicePath();

  // Starts reading the table of contents of `path` in the background.
  explicit CdioDisc(const std::string& path);
  ~CdioDisc();
  CdioDisc(const CdioDisc&) = delete;
  CdioDisc& operator=(const CdioDisc&) = delete;

  CdDrive::Disc State() const;
  // The tracks, once State() is kReady.
  std::vector<DiscTrack> Tracks() const;
  // Reads `count` sectors of sound from `sector` into `buffer` (kSectorBytes each).
  // Only once State() is kReady, and from one thread at a time.
  bool Read(std::int32_t sector, int count, void* buffer);

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
};

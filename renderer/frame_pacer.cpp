#include "frame_pacer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

int64_t FramePeriod(int64_t frequency, double refresh, bool uncapped) {
  if (uncapped || frequency <= 0) return 0;
  if (!(refresh >= 20 && refresh <= 1000)) refresh = kDefaultRefreshRate;
  return std::max<int64_t>(1, std::llround(static_cast<double>(frequency) / refresh));
}

bool UncappedRequested() {
  const char* value = std::getenv("VELORAN_UNCAPPED");
  return value && std::strcmp(value, "1") == 0;
}

int64_t FramePacer::AfterSwap(int64_t start, int64_t swapped) {
  if (period_ <= 0) return swapped;
  // A frame that took (nearly) a period by itself was held by a swap that waits for
  // the display, or is simply slow: waiting would only lose the next refresh, so the
  // next frame is due at once. The margin absorbs a reported rate a little below the
  // display's true one (a truncated 59 for 59.94 Hz).
  if (swapped - start >= period_ - period_ / 16) {
    anchored_ = true;
    due_ = swapped;
    return swapped;
  }
  // The slots start at the first frame. A frame that began more than a period after
  // it was due (the process was not scheduled, say) starts them again from its own
  // start, instead of a burst of frames to catch up.
  if (!anchored_ || start - due_ > period_) due_ = start;
  anchored_ = true;
  due_ += period_;
  return std::max(due_, swapped);
}

#include "frame_stats.h"

#include <cstdlib>
#include <cstring>

#include "platform.h"

FrameStats::FrameStats(RendererPlatform& platform, bool enabled, std::FILE* out)
    : platform_(platform), out_(out) {
  enabled_ = enabled && platform.Clock().query_frequency(&frequency_) && frequency_ > 0;
}

bool FrameStats::Requested() {
  const char* value = std::getenv("VELORAN_FPS");
  return value && std::strcmp(value, "1") == 0;
}

double FrameStats::Now() const {
  return static_cast<double>(platform_.Clock().query_counter()) / static_cast<double>(frequency_);
}

void FrameStats::CountSwap() {
  if (!enabled_) return;
  const double now = Now();
  if (frames_++ == 0) {
    int64_t wall_ns = 0;
    if (platform_.UnixTimeNanoseconds(&wall_ns)) {
      std::fprintf(out_, "veloran-fps: first-frame-unix-ns %lld\n", static_cast<long long>(wall_ns));
      std::fflush(out_);
    }
    first_ = window_start_ = now;
  }
  last_ = now;
  ++window_frames_;
  if (now - window_start_ >= 1.0) {
    std::fprintf(out_, "veloran-fps: %.1f\n", static_cast<double>(window_frames_) / (now - window_start_));
    std::fflush(out_);
    window_start_ = now;
    window_frames_ = 0;
  }
}

void FrameStats::Report() {
  if (!enabled_ || frames_ < 2) return;
  const double seconds = last_ - first_;
  std::fprintf(out_, "veloran-fps: average %.1f frames %lld seconds %.3f\n",
               static_cast<double>(frames_ - 1) / seconds, frames_, seconds);
  std::fflush(out_);
}

#include "frame_stats.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform.h"

namespace {

constexpr int64_t kIntervalStepsPerSecond = 100000;  // 10 us
constexpr std::size_t kIntervalSteps = 25000;        // 250 ms

}  // namespace

FrameStats::FrameStats(RendererPlatform& platform, bool enabled, std::FILE* out)
    : platform_(platform), out_(out) {
  enabled_ = enabled && platform.Clock().QueryFrequency(&frequency_) && frequency_ > 0;
}

bool FrameStats::Requested() {
  const char* value = std::getenv("VELORAN_FPS");
  return value && std::strcmp(value, "1") == 0;
}

void FrameStats::CountInterval(int64_t ticks) {
  if (intervals_.empty()) intervals_.assign(kIntervalSteps + 1, 0);
  const int64_t step = ticks * kIntervalStepsPerSecond / frequency_;
  ++intervals_[step < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(step), kIntervalSteps)];
  longest_ticks_ = std::max(longest_ticks_, ticks);
}

// The interval that `share` of all intervals do not exceed, to a step (10 us).
double FrameStats::IntervalPercentileMs(double share) const {
  long long total = 0;
  for (uint32_t n : intervals_) total += n;
  const double wanted = share * static_cast<double>(total);
  long long seen = 0;
  for (std::size_t step = 0; step < kIntervalSteps; ++step) {
    seen += intervals_[step];
    if (static_cast<double>(seen) >= wanted)
      return static_cast<double>(step) * 1000.0 / kIntervalStepsPerSecond;
  }
  return static_cast<double>(longest_ticks_) * 1000.0 / static_cast<double>(frequency_);
}

void FrameStats::CountSwap() {
  if (!enabled_) return;
  const int64_t ticks = platform_.Clock().QueryCounter();
  if (frames_ > 0) CountInterval(ticks - last_ticks_);
  last_ticks_ = ticks;
  const double now = static_cast<double>(ticks) / static_cast<double>(frequency_);
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
  std::fprintf(out_, "veloran-fps: interval-ms p99 %.2f max %.2f\n", IntervalPercentileMs(0.99),
               static_cast<double>(longest_ticks_) * 1000.0 / static_cast<double>(frequency_));
  if (paced_hz_ > 0) std::fprintf(out_, "veloran-fps: paced-hz %.2f\n", paced_hz_);
  std::fflush(out_);
}

#include "frame_timer.h"

void FrameTimer::Init(const TimerClock& clock) {
  clock_ = &clock;
  int64_t frequency = 0;
  if (clock.query_frequency(&frequency) && frequency > 0) {
    base_count_ = clock.query_counter();
    seconds_per_tick_ = static_cast<float>(1.0L / static_cast<long double>(frequency));
    source_ = &FrameTimer::ReadPerformanceCounter;
  } else {
    base_count_ = static_cast<int64_t>(clock.milliseconds());
    seconds_per_tick_ = 0.001f;
    source_ = &FrameTimer::ReadMilliseconds;
  }
}

float FrameTimer::ReadPerformanceCounter() {
  current_count_ = clock_->query_counter();
  return static_cast<float>(static_cast<double>(current_count_ - base_count_) * seconds_per_tick_);
}

float FrameTimer::ReadMilliseconds() {
  const int64_t now = static_cast<int64_t>(clock_->milliseconds());
  return static_cast<float>(static_cast<double>(now - base_count_) * seconds_per_tick_);
}

void FrameTimer::Update() {
  if (!source_) return;  // not started: nothing to read
  const float t = (this->*source_)();
  elapsed_ = t - start_;
  delta_ = elapsed_ - previous_elapsed_;
  previous_elapsed_ = elapsed_;
}

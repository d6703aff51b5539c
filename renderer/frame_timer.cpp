#include "frame_timer.h"

void FrameTimer::Init(const TimerClock& clock) {
  clock_ = &clock;
  previous_ticks_ = 0;
  elapsed_ = delta_ = 0;
  int64_t frequency = 0;
  if (clock.QueryFrequency(&frequency) && frequency > 0) {
    base_count_ = clock.QueryCounter();
    seconds_per_tick_ = static_cast<double>(1.0L / static_cast<long double>(frequency));
    source_ = &FrameTimer::ReadPerformanceCounter;
  } else {
    last_milliseconds_ = clock.Milliseconds();
    milliseconds_ = 0;
    base_count_ = last_milliseconds_;
    seconds_per_tick_ = 0.001;
    source_ = &FrameTimer::ReadMilliseconds;
  }
}

int64_t FrameTimer::ReadPerformanceCounter() {
  current_count_ = clock_->QueryCounter();
  return current_count_ - base_count_;
}

int64_t FrameTimer::ReadMilliseconds() {
  // Unsigned 32-bit subtraction: right across the clock's wrap.
  const uint32_t now = clock_->Milliseconds();
  milliseconds_ += static_cast<uint32_t>(now - last_milliseconds_);
  last_milliseconds_ = now;
  return milliseconds_;
}

void FrameTimer::Update() {
  if (!source_) return;  // not started: nothing to read
  const int64_t ticks = (this->*source_)();
  elapsed_ = static_cast<double>(ticks) * seconds_per_tick_;
  delta_ = static_cast<double>(ticks - previous_ticks_) * seconds_per_tick_;
  previous_ticks_ = ticks;
}

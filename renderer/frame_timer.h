#pragma once
// Frame timer: seconds since start-up and between frames, from the platform's
// high-resolution counter when it has one, else from its millisecond clock.

#include <cstdint>

// What the timer needs of the platform.
struct TimerClock {
  // Counter frequency in ticks per second; false when there is no such counter.
  bool (*query_frequency)(int64_t* frequency);
  int64_t (*query_counter)();
  // Milliseconds of a free-running 32-bit clock.
  uint32_t (*milliseconds)();
};

class FrameTimer {
 public:
  FrameTimer() = default;
  ~FrameTimer() { source_ = nullptr; }
  FrameTimer(const FrameTimer&) = delete;
  FrameTimer& operator=(const FrameTimer&) = delete;

  // Starts on the platform's clock (RendererPlatform::Clock), which must outlive it.
  void Init(const TimerClock& clock);
  void Update();
  float Elapsed() const { return elapsed_; }
  float Delta() const { return delta_; }

 private:
  float ReadPerformanceCounter();
  float ReadMilliseconds();

  float (FrameTimer::*source_)() = nullptr;
  float start_ = 0;
  float previous_elapsed_ = 0;
  float seconds_per_tick_ = 0;
  float elapsed_ = 0;
  float delta_ = 0;
  int64_t base_count_ = 0;
  int64_t current_count_ = 0;
  const TimerClock* clock_ = nullptr;
};

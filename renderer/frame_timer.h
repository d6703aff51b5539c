#pragma once
// Frame timer: seconds since start-up and between frames, from the platform's
// high-resolution counter when it has one, else from its millisecond clock.
//
// The timer counts whole ticks since Init and forms every result from them in double
// precision, so a run of days or weeks measures each frame as exactly as its first
// one; the float results are copies for the scene. The millisecond clock is read as
// 32-bit differences, which carry on across its wrap every 49.7 days.

#include <cstdint>

// What the timer needs of the platform: a high-resolution counter where there is one,
// and a millisecond clock.
class TimerClock {
 public:
  virtual ~TimerClock() = default;
  // Counter frequency in ticks per second; false when there is no such counter.
  virtual bool QueryFrequency(int64_t* frequency) const = 0;
  virtual int64_t QueryCounter() const = 0;
  // Milliseconds of a free-running 32-bit clock.
  virtual uint32_t Milliseconds() const = 0;
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
  // Seconds since Init as of the last update, and between the last two updates.
  float Elapsed() const { return static_cast<float>(elapsed_); }
  float Delta() const { return static_cast<float>(delta_); }
  // The same elapsed time in full precision, for what compares times across a long run.
  double ExactElapsed() const { return elapsed_; }

 private:
  // Ticks of the selected source since Init.
  int64_t ReadPerformanceCounter();
  int64_t ReadMilliseconds();

  int64_t (FrameTimer::*source_)() = nullptr;
  double seconds_per_tick_ = 0;
  double elapsed_ = 0;
  double delta_ = 0;
  int64_t base_count_ = 0;
  int64_t current_count_ = 0;
  int64_t previous_ticks_ = 0;
  // The millisecond source: the last 32-bit reading and the milliseconds counted so far.
  uint32_t last_milliseconds_ = 0;
  int64_t milliseconds_ = 0;
  const TimerClock* clock_ = nullptr;
};

#pragma once
// Scripts the renderer's random draws for one test, then hands the generator back.

#include <deque>

#include "random.h"

class ScriptedRandom {
 public:
  // Draws come from `script` in order; once it is used up, every draw is `fill`.
  explicit ScriptedRandom(std::deque<int> script = {}, int fill = 0)
      : script_(std::move(script)), fill_(fill) {
    SetRandomSource([this] {
      ++draws_;
      if (script_.empty()) return fill_;
      const int r = script_.front();
      script_.pop_front();
      return r;
    });
  }
  ~ScriptedRandom() { SetRandomSource(nullptr); }
  ScriptedRandom(const ScriptedRandom&) = delete;
  ScriptedRandom& operator=(const ScriptedRandom&) = delete;

  void Push(int r) { script_.push_back(r); }
  void SetFill(int fill) { fill_ = fill; }
  int draws() const { return draws_; }

 private:
  std::deque<int> script_;
  int fill_;
  int draws_ = 0;
};

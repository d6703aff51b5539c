#pragma once
// The renderer's pseudo-random draws: integers from 0 to 32767.

#include <cstdint>
#include <functional>
#include <utility>

class RandomGenerator {
 public:
  // Seeds the generator (the renderer seeds it once with the time in seconds).
  void Seed(unsigned seed) { state_ = seed; }
  // Next draw: from the scripted source when one is set, else from the generator.
  int Draw();
  // Tests script the draws; an empty function returns to the generator.
  void Script(std::function<int()> source) { scripted_ = std::move(source); }

 private:
  uint32_t state_ = 1;
  std::function<int()> scripted_;
};

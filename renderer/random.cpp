#include "random.h"

// A linear congruential generator with 15-bit results, the same on every platform.
int RandomGenerator::Draw() {
  if (scripted_) return scripted_();
  state_ = state_ * 214013u + 2531011u;
  return static_cast<int>((state_ >> 16) & 0x7fff);
}

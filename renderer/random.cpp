#include "random.h"

#include <cstdint>
#include <utility>

namespace {

// A linear congruential generator with 15-bit results, the same on every platform.
uint32_t g_state = 1;
std::function<int()> g_scripted;

}  // namespace

void SeedRandom(unsigned seed) { g_state = seed; }

void SetRandomSource(std::function<int()> source) { g_scripted = std::move(source); }

int RandomDraw() {
  if (g_scripted) return g_scripted();
  g_state = g_state * 214013u + 2531011u;
  return static_cast<int>((g_state >> 16) & 0x7fff);
}

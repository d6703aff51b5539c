#pragma once
// The renderer's pseudo-random draws: integers from 0 to 32767.

#include <functional>

// Next draw: from the scripted source when one is set, else from the seeded generator.
int RandomDraw();

// Seeds the generator (the renderer seeds it once with the time in seconds).
void SeedRandom(unsigned seed);

// Tests script the draws; an empty function returns to the generator.
void SetRandomSource(std::function<int()> source);

#pragma once
// The renderer's fixed configuration and process-wide state, and the parts of
// start-up, frame loop and shutdown that every platform layer shares.

#include <cstdint>

#include "frame_timer.h"

class ParticleList;

constexpr int ScreenWidth = 1024;
constexpr int ScreenHeight = 768;
constexpr int ColorBits = 16;
constexpr const char* WindowName = "Veloran_VC";

extern FrameTimer Timer;
// Copies of the timer's results, refreshed once per frame before drawing.
extern float ElapsedTime;
extern float FrameTime;
// The particle list, created by InitParticles, destroyed by EndScene.
extern ParticleList* Particles;

// Seeds the random generator with the calendar time in whole seconds.
void SeedRandomFromClock();
// Start-up after the GL context exists: textures, particles, fixed GL state.
void StartScene();
// One idle pass of the frame loop: timer update, copies, DrawFrame.
void RenderIdleFrame();
// After the loop: destroys the particle list.
void EndScene();

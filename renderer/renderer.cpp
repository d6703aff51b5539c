#include "renderer.h"

#include <ctime>

#include "particles.h"
#include "random.h"
#include "scene.h"

FrameTimer Timer;
float ElapsedTime = 0;
float FrameTime = 0;
ParticleList* Particles = nullptr;

void SeedRandomFromClock() { SeedRandom(static_cast<unsigned>(std::time(nullptr))); }

void StartScene() {
  LoadTextures();
  InitParticles();
  InitGlState();
}

void RenderIdleFrame() {
  Timer.Update();
  ElapsedTime = Timer.Elapsed();
  FrameTime = Timer.Delta();
  DrawFrame();
}

void EndScene() {
  delete Particles;
  Particles = nullptr;
}

#pragma once
// The scene: projection, fixed GL state, the two textures, the background planes,
// the particles and the order of drawing within one frame, with the frame timer
// and the random generator they run on. One scene exists per run.

#include <cstdint>
#include <memory>

#include "dib.h"
#include "frame_timer.h"
#include "random.h"
#include "veloran_names.h"

class ParticleList;
class RendererPlatform;

class Scene {
 public:
  explicit Scene(RendererPlatform& platform);
  ~Scene();
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  // Windows paths of the two texture bitmaps the host writes: sprite, then background.
  static constexpr const char* TexturePaths[2] = {kRingTexturePath, kStarTexturePath};

  // Viewport and projection for a drawing area of width x height.
  void ResizeScene(int32_t width, int32_t height);
  // Start-up once the GL context exists: textures, particles, fixed GL state.
  void StartScene();
  // Loads both bitmaps and creates their textures; always true.
  bool LoadTextures();
  // The image of a bitmap file; null without a message when it cannot be opened.
  std::unique_ptr<RgbImage> LoadBitmapFile(const char* path);
  // Creates the particle list, starts the frame timer and spawns the first burst.
  void InitParticles();
  // The GL state every frame relies on, set once after the particles exist.
  void InitGlState();
  // One idle pass of the frame loop: timer update, copies, DrawFrame.
  void RenderIdleFrame();
  void DrawFrame();
  void DrawBackground();
  // One burst of 5 to 9 particles with random position, speed, colour, size and life.
  void SpawnParticles();
  // After the loop: destroys the particle list.
  void EndScene();

  FrameTimer Timer;
  // Copies of the timer's results, refreshed once per frame before drawing.
  float ElapsedTime = 0;
  float FrameTime = 0;
  // The timer's elapsed time in full precision, refreshed with the copies. The burst
  // schedule and the particles' ages read it: a float of seconds has lost its
  // milliseconds after a day of running.
  double Now = 0;
  // Created by InitParticles, destroyed by EndScene.
  std::unique_ptr<ParticleList> Particles;
  // GL texture names; 0 while missing (the default texture, drawn in plain colour).
  uint32_t Textures[2] = {0, 0};
  // Texture offset of the background planes along t, kept to its fraction: the
  // texture repeats, and a small offset keeps its precision however long the run.
  float FloorScroll = 0;
  // Now of the last scheduled burst.
  double LastSpawnTime = 0;
  RandomGenerator Random;

 private:
  RendererPlatform& platform_;
};

#pragma once
// Particles: bursts of glowing squares that fly out of the distance, fade and vanish.

#include <cstdint>

class ParticleList;
class Scene;

class Particle {
 public:
  // Born at the owner's scene's Now.
  explicit Particle(ParticleList* owner);
  virtual ~Particle() = default;
  Particle(const Particle&) = delete;
  Particle& operator=(const Particle&) = delete;

  void Set(const float position[3], const float velocity[3], const float color[4], const float color_drift[4],
           float size, float growth, float life_time, float fade_out_rate);
  // Advances the particle by one frame (FrameTime and Now of the owner's scene).
  void Update();
  // One textured square at the particle's depth, in its colour.
  void Draw() const;

  float position[3] = {0, 0, 0};
  float velocity[3] = {0, 0, 0};
  float color[4] = {1, 1, 1, 0.001f};
  float size = 1.0f;
  double birthTime;
  float lifeTime = 5.0f;
  bool alive = true;
  float growth = 0;
  bool growing = true;
  float maxSize = 17.0f;
  float colorDrift[4] = {0, 0, 0, 0};
  bool fadingIn = true;
  bool fadingOut = false;
  float fadeOutRate = 0;
  float fadeInRate = 1.0f;
  ParticleList* owner;
  Particle* next = nullptr;
};

// A bounded singly linked list that owns its particles, oldest first. Its
// particles run on the frame times of its scene.
class ParticleList {
 public:
  ParticleList(int32_t capacity, const Scene& scene) : capacity(capacity), scene(scene) {}
  virtual ~ParticleList();
  ParticleList(const ParticleList&) = delete;
  ParticleList& operator=(const ParticleList&) = delete;

  // Links the particle at the tail; false (particle untouched) when the list is full.
  bool Add(Particle* particle);
  // Updates every particle, draws the live ones and destroys the dead ones.
  void UpdateAndDraw();

  Particle* head = nullptr;
  Particle* tail = nullptr;
  int32_t count = 0;
  int32_t capacity;
  const Scene& scene;
};

constexpr int32_t ParticleCapacity = 100;

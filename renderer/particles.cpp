#include "particles.h"

#include <GL/gl.h>

#include <memory>

#include "platform.h"
#include "scene.h"

Particle::Particle(ParticleList* owner) : birthTime(owner->scene.Now), owner(owner) {}

void Particle::Set(const float new_position[3], const float new_velocity[3], const float new_color[4],
                   const float new_color_drift[4], float new_size, float new_growth, float new_life_time,
                   float new_fade_out_rate) {
  for (int i = 0; i < 3; ++i) {
    position[i] = new_position[i];
    velocity[i] = new_velocity[i];
  }
  for (int i = 0; i < 4; ++i) {
    color[i] = new_color[i];
    colorDrift[i] = new_color_drift[i];
  }
  size = new_size;
  growth = new_growth;
  lifeTime = new_life_time;
  fadeOutRate = new_fade_out_rate;
}

void Particle::Update() {
  const float d = owner->scene.FrameTime;

  if (fadingIn) {
    color[3] += d * fadeInRate;
    if (!(color[3] < 0.99f)) {
      color[3] = 1.0f;
      fadingIn = false;
    }
  } else if (fadingOut) {
    color[3] -= d * fadeOutRate;
    if (color[3] < 0) alive = false;
  } else if (owner->scene.Now - birthTime > lifeTime) {
    fadingOut = true;
  }

  for (int i = 0; i < 3; ++i) position[i] += d * velocity[i];
  for (int i = 0; i < 3; ++i) color[i] += d * colorDrift[i];

  // Growth is per frame, not per second.
  if (growing && size <= maxSize) {
    size += growth;
    if (size < 0) size = 0;
  }
}

void Particle::Draw() const {
  const float x = position[0], y = position[1], z = position[2];
  glColor4fv(color);
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(1, 1);
  glVertex3f(x + size, y + size, z);
  glTexCoord2f(0, 1);
  glVertex3f(x - size, y + size, z);
  glTexCoord2f(1, 0);
  glVertex3f(x + size, y - size, z);
  glTexCoord2f(0, 0);
  glVertex3f(x - size, y - size, z);
  glEnd();
}

ParticleList::~ParticleList() {
  Particle* p = head;
  while (p) {
    Particle* next = p->next;
    delete p;
    p = next;
  }
  head = tail = nullptr;
}

bool ParticleList::Add(Particle* particle) {
  if (count >= capacity) return false;
  particle->next = nullptr;
  if (tail) {
    tail->next = particle;
  } else {
    head = particle;
  }
  tail = particle;
  ++count;
  return true;
}

void ParticleList::UpdateAndDraw() {
  Particle* previous = nullptr;
  Particle* p = head;
  while (p) {
    p->Update();
    if (p->alive) {
      p->Draw();
      previous = p;
      p = p->next;
      continue;
    }
    Particle* next = p->next;
    if (previous) {
      previous->next = next;
    } else {
      head = next;
    }
    if (p == tail) tail = previous;
    delete p;
    --count;
    p = next;
  }
}

// The scene's bursts, kept beside the particles they make.

void Scene::InitParticles() {
  Particles = std::make_unique<ParticleList>(ParticleCapacity, *this);
  Timer.Init(platform_.Clock());
  Timer.Update();
  ElapsedTime = Timer.Elapsed();
  FrameTime = Timer.Delta();
  Now = Timer.ExactElapsed();
  SpawnParticles();
}

void Scene::SpawnParticles() {
  // Every value takes its own draw, in this order; integer parts are exact, the
  // arithmetic is double and the results are stored as floats.
  for (int i = 0; i < Random.Draw() % 5 + 5; ++i) {
    Particle* particle = new Particle(Particles.get());

    const float position[3] = {
        static_cast<float>(Random.Draw() % 80 - 50),
        static_cast<float>(Random.Draw() % 80 - 50),
        static_cast<float>(Random.Draw() % 20 - 160),
    };
    float velocity[3];
    velocity[0] = static_cast<float>((Random.Draw() % 10) - 0.005);
    velocity[1] = static_cast<float>((Random.Draw() % 10) - 0.005);
    velocity[2] = static_cast<float>((Random.Draw() % 20) - 0.001);
    const float red = static_cast<float>((Random.Draw() % 100 + 1) * 0.02);
    const float green = static_cast<float>((Random.Draw() % 100 + 1) * 0.02);
    const float red_drift = static_cast<float>((Random.Draw() % 16 - 8) * 0.1);
    const float green_drift = static_cast<float>((Random.Draw() % 12 - 5) * 0.1);
    const float fade_out_rate = static_cast<float>((Random.Draw() % 5) * 0.1 + 0.5);
    const float life_time = static_cast<float>((Random.Draw() % 15) * 0.1 + 4.5);
    const float size = static_cast<float>((Random.Draw() % 10 - 5) * 0.1 + static_cast<double>(0.1f));
    const float growth = static_cast<float>((Random.Draw() % 6 - 3) * 0.1);

    const float color[4] = {red, green, 0.0f, 1.0f};
    const float drift[4] = {red_drift, green_drift, 0.0f, 0.0f};
    particle->Set(position, velocity, color, drift, size, growth, life_time, fade_out_rate);

    if (!Particles->Add(particle)) delete particle;
  }
}

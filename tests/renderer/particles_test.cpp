#include "particles.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "fake_gl.h"
#include "scene.h"

namespace {

constexpr int kDrawsPerParticle = 14;

class ParticlesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakes();
    scene.Particles = std::make_unique<ParticleList>(ParticleCapacity, scene);
    Particles = scene.Particles.get();
  }

  std::vector<Particle*> Chain() const {
    std::vector<Particle*> out;
    for (Particle* p = Particles->head; p; p = p->next) out.push_back(p);
    return out;
  }

  // A particle linked into the list, fully visible (past its fade-in); still, white
  // and of size 1 unless given otherwise.
  Particle* Live(std::array<float, 3> pos = {0, 0, -100}, std::array<float, 3> vel = {},
                 std::array<float, 4> col = {1, 1, 1, 1}, std::array<float, 4> drift = {}, float size = 1.0f,
                 float life_time = 5.0f) {
    Particle* p = new Particle(Particles);
    p->Set(pos.data(), vel.data(), col.data(), drift.data(), size, 0.0f, life_time, 0.5f);
    p->fadingIn = false;
    EXPECT_TRUE(Particles->Add(p));
    return p;
  }
  // Dies at its next update.
  static void Kill(Particle* p) {
    p->fadingIn = false;
    p->fadingOut = true;
    p->color[3] = 0.0f;
  }

  void Frame(float elapsed, float frame_time) {
    scene.ElapsedTime = elapsed;
    scene.Now = elapsed;
    scene.FrameTime = frame_time;
    Particles->UpdateAndDraw();
  }

  FakePlatform platform;
  Scene scene{platform};
  ParticleList* Particles = nullptr;
};

TEST_F(ParticlesTest, BurstEndsWhenTheBoundDrawnBeforeEachParticleIsNotAboveI) {
  // Bound draws r give n = r % 5 + 5, drawn anew before every particle.
  const struct {
    std::vector<int> bounds;
    int made;
  } cases[] = {
      {{0, 0, 0, 0, 0, 0}, 5},
      {{4, 4, 4, 4, 4, 4, 4, 4, 4, 4}, 9},
      {{4, 4, 4, 4, 4, 4, 0}, 6},  // the sixth is made (9 > 5), then 5 is not above 6
  };
  for (const auto& c : cases) {
    SetUp();
    std::deque<int> script;
    for (size_t i = 0; i < c.bounds.size(); ++i) {
      script.push_back(c.bounds[i]);
      if (i + 1 < c.bounds.size()) script.insert(script.end(), kDrawsPerParticle, 7);
    }
    auto draws = ScriptDraws(scene.Random, script, -1);
    scene.SpawnParticles();
    EXPECT_EQ(Particles->count, c.made) << c.made;
    EXPECT_EQ(*draws, c.made * (kDrawsPerParticle + 1) + 1) << c.made;
  }
}

TEST_F(ParticlesTest, EachValueTakesItsOwnDrawInOrder) {
  const struct {
    std::deque<int> draws;  // bound, then the fourteen values
    // x, y, z, velocity x, y, z, red, green, red drift, green drift, fade-out rate,
    // life time, size, growth
    std::array<float, kDrawsPerParticle> values;
  } cases[] = {
      {{0, 79, 80, 19, 9, 10, 39, 99, 0, 15, 11, 4, 14, 9, 5},
       {29, -50, -141, 8.995f, -0.005f, 18.999f, 2.0f, 0.02f, 0.7f, 0.6f, 0.9f, 5.9f, 0.5f, 0.2f}},
      {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},  // the lower end of every range
       {-50, -50, -160, -0.005f, -0.005f, -0.001f, 0.02f, 0.02f, -0.8f, -0.5f, 0.5f, 4.5f, -0.4f, -0.3f}},
  };
  for (const auto& c : cases) {
    SetUp();
    scene.Now = 2.5;
    ScriptDraws(scene.Random, c.draws);
    scene.SpawnParticles();
    const Particle* p = Particles->head;
    ASSERT_NE(p, nullptr);
    const float got[] = {p->position[0], p->position[1], p->position[2], p->velocity[0],   p->velocity[1],
                         p->velocity[2], p->color[0],    p->color[1],    p->colorDrift[0], p->colorDrift[1],
                         p->fadeOutRate, p->lifeTime,    p->size,        p->growth};
    for (int i = 0; i < kDrawsPerParticle; ++i) EXPECT_FLOAT_EQ(got[i], c.values[i]) << i;
    EXPECT_EQ(p->color[2], 0.0f);
    EXPECT_EQ(p->color[3], 1.0f);
    EXPECT_EQ(p->colorDrift[2], 0.0f);
    EXPECT_EQ(p->colorDrift[3], 0.0f);
    EXPECT_EQ(p->birthTime, 2.5);
    EXPECT_TRUE(p->fadingIn);
    EXPECT_EQ(p->maxSize, 17.0f);
  }
}

TEST_F(ParticlesTest, FullListRefusesAndDestroysEveryNewParticle) {
  auto draws = ScriptDraws(scene.Random, {}, 0);
  for (int i = 0; i < 20; ++i) scene.SpawnParticles();
  EXPECT_EQ(Particles->count, 100);
  const Particle* tail = Particles->tail;
  const int before = *draws;
  scene.SpawnParticles();
  EXPECT_EQ(Particles->count, 100);
  EXPECT_EQ(Particles->tail, tail);
  EXPECT_EQ(*draws - before, 5 * (kDrawsPerParticle + 1) + 1);
  EXPECT_EQ(Chain().size(), 100u);
  Particle extra(Particles);
  EXPECT_FALSE(Particles->Add(&extra));
}

TEST_F(ParticlesTest, FadesInUpToTheSinglePrecisionThresholdThenOutAfterLifeTime) {
  Particle* p = Live({0, 0, -100}, {}, {1, 1, 1, 1}, {}, 1.0f, 4.5f);
  Particle* below = Live();
  Particle* at = Live();
  p->fadingIn = below->fadingIn = at->fadingIn = true;
  below->color[3] = std::nextafter(0.99f, 0.0f);
  at->color[3] = 0.99f;

  Frame(0.0f, 0.0f);
  EXPECT_FALSE(p->fadingIn);
  EXPECT_EQ(p->color[3], 1.0f);
  EXPECT_TRUE(below->fadingIn);
  EXPECT_LT(below->color[3], 0.99f);
  EXPECT_FALSE(at->fadingIn);
  EXPECT_EQ(at->color[3], 1.0f);
  Kill(below);
  Kill(at);

  Frame(4.5f, 0.01f);  // not strictly past its life yet
  EXPECT_FALSE(p->fadingOut);
  Frame(4.51f, 0.01f);  // fading starts; alpha unchanged this frame
  EXPECT_TRUE(p->fadingOut);
  EXPECT_EQ(p->color[3], 1.0f);

  Frame(5.51f, 1.0f);  // 0.5 per second: half gone
  EXPECT_FLOAT_EQ(p->color[3], 0.5f);
  Frame(6.5f, 0.99f);
  ASSERT_EQ(Particles->count, 1);
  EXPECT_NEAR(p->color[3], 0.005f, 1e-6f);
  const size_t drawn_before = CallsNamed("glBegin").size();
  Frame(6.52f, 0.02f);  // below zero: dies and is not drawn in this frame
  EXPECT_EQ(Particles->count, 0);
  EXPECT_EQ(Particles->head, nullptr);
  EXPECT_EQ(Particles->tail, nullptr);
  EXPECT_EQ(CallsNamed("glBegin").size(), drawn_before);
}

TEST_F(ParticlesTest, MotionAndDriftScaleWithFrameTimeUnclampedWhileGrowthIsPerFrameUntilPastMaxSize) {
  Particle* moving = Live({1, 2, -150}, {4, -2, 10}, {0.1f, 1.5f, 0, 1}, {-0.8f, 0.6f, 0, 0});
  Particle* shrinking = Live({0, 0, -100}, {}, {1, 1, 1, 1}, {}, -0.4f);
  Particle* growing = Live({0, 0, -100}, {}, {1, 1, 1, 1}, {}, 16.5f);
  shrinking->growth = -0.1f;
  growing->growth = 0.2f;

  Frame(0.5f, 0.5f);  // frame time does not scale growth
  EXPECT_FLOAT_EQ(moving->position[0], 3.0f);
  EXPECT_FLOAT_EQ(moving->position[1], 1.0f);
  EXPECT_FLOAT_EQ(moving->position[2], -145.0f);
  EXPECT_FLOAT_EQ(moving->color[0], -0.3f);
  EXPECT_FLOAT_EQ(moving->color[1], 1.8f);
  EXPECT_EQ(moving->color[3], 1.0f);
  EXPECT_EQ(shrinking->size, 0.0f);
  EXPECT_FLOAT_EQ(growing->size, 16.7f);
  Frame(0.6f, 0.001f);
  Frame(0.7f, 0.001f);
  EXPECT_FLOAT_EQ(growing->size, 17.1f);  // last step ends a little above 17
  Frame(0.8f, 0.001f);
  EXPECT_FLOAT_EQ(growing->size, 17.1f);
  EXPECT_EQ(shrinking->size, 0.0f);
}

TEST_F(ParticlesTest, DeadHeadMiddleAndTailAreUnlinkedInOneFrameAndTheListStaysWhole) {
  std::vector<Particle*> ps;
  for (int i = 0; i < 5; ++i) ps.push_back(Live());
  for (int i : {0, 2, 4}) Kill(ps[i]);
  ResetFakes();
  Frame(0.1f, 0.1f);
  EXPECT_EQ(Particles->count, 2);
  EXPECT_EQ(Particles->head, ps[1]);
  EXPECT_EQ(Particles->tail, ps[3]);
  EXPECT_EQ((std::vector<Particle*>{ps[1], ps[3]}), Chain());
  EXPECT_EQ(CallsNamed("glBegin").size(), 2u);

  // The next particle is linked after the new tail and drawn.
  Particle* d = Live();
  EXPECT_EQ(ps[3]->next, d);
  ResetFakes();
  Frame(0.2f, 0.1f);
  EXPECT_EQ(CallsNamed("glBegin").size(), 3u);
  EXPECT_EQ((std::vector<Particle*>{ps[1], ps[3], d}), Chain());

  // Removing the only remaining ones leaves an empty list that a burst restarts.
  for (Particle* p : Chain()) Kill(p);
  Frame(0.3f, 0.1f);
  EXPECT_EQ(Particles->count, 0);
  EXPECT_EQ(Particles->head, nullptr);
  EXPECT_EQ(Particles->tail, nullptr);
  ScriptDraws(scene.Random, {}, 0);
  scene.SpawnParticles();
  EXPECT_EQ(Particles->count, 5);
  EXPECT_EQ(Chain().size(), 5u);
}

TEST_F(ParticlesTest, DrawsOneStripInItsColourAroundItsCentre) {
  Particle* p = Live({10, -20, -150}, {}, {0.5f, 2.0f, 0, 1}, {}, 2.0f);
  ResetFakes();
  p->Draw();
  // clang-format off
  EXPECT_EQ(GlCalls(), (std::vector<GlCall>{
      {"glColor4fv", {0.5, 2.0, 0, 1}}, {"glBegin", {GL_TRIANGLE_STRIP}},
      {"glTexCoord2f", {1, 1}}, {"glVertex3f", {12, -18, -150}},
      {"glTexCoord2f", {0, 1}}, {"glVertex3f", {8, -18, -150}},
      {"glTexCoord2f", {1, 0}}, {"glVertex3f", {12, -22, -150}},
      {"glTexCoord2f", {0, 0}}, {"glVertex3f", {8, -22, -150}},
      {"glEnd", {}}}));
  // clang-format on
}

}  // namespace

#include "particles.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "fake_gl.h"
#include "renderer.h"
#include "scripted_random.h"

namespace {

constexpr int kDrawsPerParticle = 14;

// A fresh, empty particle list for each test, torn down afterwards.
class ParticlesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakes();
    ElapsedTime = 0;
    FrameTime = 0;
    Particles = new ParticleList(ParticleCapacity);
  }
  void TearDown() override { EndScene(); }

  static std::vector<Particle*> Chain() {
    std::vector<Particle*> out;
    for (Particle* p = Particles->head; p; p = p->next) out.push_back(p);
    return out;
  }

  // A particle that is fully visible (past its fade-in) and will not move.
  static Particle* Visible(float life_time = 5.0f, float fade_out_rate = 0.5f) {
    Particle* p = new Particle(Particles);
    const float zero3[3] = {0, 0, -100};
    const float still[3] = {0, 0, 0};
    const float white[4] = {1, 1, 1, 1};
    const float none[4] = {0, 0, 0, 0};
    p->Set(zero3, still, white, none, 1.0f, 0.0f, life_time, fade_out_rate);
    p->fadingIn = false;
    return p;
  }

  static void Frame(float elapsed, float frame_time) {
    ElapsedTime = elapsed;
    FrameTime = frame_time;
    Particles->UpdateAndDraw();
  }
};

TEST_F(ParticlesTest, BurstSizeFollowsTheBoundDrawnBeforeEachParticle) {
  for (int extra = 0; extra < 5; ++extra) {
    EndScene();
    Particles = new ParticleList(ParticleCapacity);
    // Every bound draw gives n = 5 + extra; the value draws are 0.
    std::deque<int> script;
    for (int i = 0; i < 5 + extra; ++i) {
      script.push_back(extra);
      for (int k = 0; k < kDrawsPerParticle; ++k) script.push_back(0);
    }
    script.push_back(extra);  // the bound that ends the burst
    ScriptedRandom random(script, -1);
    SpawnParticles();
    EXPECT_EQ(Particles->count, 5 + extra);
    EXPECT_EQ(random.draws(), (5 + extra) * (kDrawsPerParticle + 1) + 1);
  }
}

TEST_F(ParticlesTest, BoundIsDrawnAnewSoBurstsEndAsSoonAsItFallsToI) {
  // Bounds 9, 9, 9, 9, 9, 9, 5: the sixth particle is made (9 > 5), then the
  // seventh bound (5) is not above i = 6 and the burst ends at six particles.
  std::deque<int> script;
  for (int i = 0; i < 6; ++i) {
    script.push_back(4);
    for (int k = 0; k < kDrawsPerParticle; ++k) script.push_back(7);
  }
  script.push_back(0);
  ScriptedRandom random(script, -1);
  SpawnParticles();
  EXPECT_EQ(Particles->count, 6);
}

TEST_F(ParticlesTest, EachValueTakesItsOwnDrawInOrder) {
  ElapsedTime = 2.5f;
  ScriptedRandom random({
      0,                    // bound: 5 particles
      79, 80, 19,           // x 29, y -50, z -141
      9, 10, 39,            // velocity 8.995, -0.005, 18.999
      99, 0,                // red 2.0, green 0.02
      15, 11,               // red drift 0.7, green drift 0.6
      4, 14,                // fade-out rate 0.9, life time 5.9
      9, 5,                 // size 0.5, growth 0.2
  });
  SpawnParticles();
  const Particle* p = Particles->head;
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->position[0], 29.0f);
  EXPECT_EQ(p->position[1], -50.0f);
  EXPECT_EQ(p->position[2], -141.0f);
  EXPECT_FLOAT_EQ(p->velocity[0], 8.995f);
  EXPECT_FLOAT_EQ(p->velocity[1], -0.005f);
  EXPECT_FLOAT_EQ(p->velocity[2], 18.999f);
  EXPECT_FLOAT_EQ(p->color[0], 2.0f);
  EXPECT_FLOAT_EQ(p->color[1], 0.02f);
  EXPECT_EQ(p->color[2], 0.0f);
  EXPECT_EQ(p->color[3], 1.0f);
  EXPECT_FLOAT_EQ(p->colorDrift[0], 0.7f);
  EXPECT_FLOAT_EQ(p->colorDrift[1], 0.6f);
  EXPECT_EQ(p->colorDrift[2], 0.0f);
  EXPECT_EQ(p->colorDrift[3], 0.0f);
  EXPECT_FLOAT_EQ(p->fadeOutRate, 0.9f);
  EXPECT_FLOAT_EQ(p->lifeTime, 5.9f);
  EXPECT_FLOAT_EQ(p->size, 0.5f);
  EXPECT_FLOAT_EQ(p->growth, 0.2f);
  EXPECT_EQ(p->birthTime, 2.5f);
  EXPECT_TRUE(p->fadingIn);
  EXPECT_EQ(p->maxSize, 17.0f);
}

TEST_F(ParticlesTest, LowestDrawsGiveTheLowerEndOfEveryRange) {
  ScriptedRandom random({}, 0);
  SpawnParticles();
  const Particle* p = Particles->head;
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->position[2], -160.0f);
  EXPECT_FLOAT_EQ(p->velocity[2], -0.001f);
  EXPECT_FLOAT_EQ(p->colorDrift[0], -0.8f);
  EXPECT_FLOAT_EQ(p->colorDrift[1], -0.5f);
  EXPECT_FLOAT_EQ(p->fadeOutRate, 0.5f);
  EXPECT_FLOAT_EQ(p->lifeTime, 4.5f);
  EXPECT_FLOAT_EQ(p->size, -0.4f);
  EXPECT_FLOAT_EQ(p->growth, -0.3f);
}

TEST_F(ParticlesTest, FullListRefusesAndDestroysEveryNewParticle) {
  ScriptedRandom random({}, 0);
  for (int i = 0; i < 20; ++i) SpawnParticles();
  EXPECT_EQ(Particles->count, 100);
  const Particle* tail = Particles->tail;
  const int before = random.draws();
  SpawnParticles();
  EXPECT_EQ(Particles->count, 100);
  EXPECT_EQ(Particles->tail, tail);
  EXPECT_EQ(random.draws() - before, 5 * (kDrawsPerParticle + 1) + 1);
  EXPECT_EQ(Chain().size(), 100u);

  Particle* extra = Visible();
  EXPECT_FALSE(Particles->Add(extra));
  EXPECT_EQ(extra->next, nullptr);
  delete extra;
}

TEST_F(ParticlesTest, FadesInAtFirstUpdateThenOutAfterLifeTime) {
  Particle* p = new Particle(Particles);
  const float pos[3] = {0, 0, -100}, vel[3] = {0, 0, 0};
  const float col[4] = {1, 1, 1, 1.0f}, drift[4] = {0, 0, 0, 0};
  p->Set(pos, vel, col, drift, 1.0f, 0.0f, 4.5f, 0.5f);
  ASSERT_TRUE(Particles->Add(p));

  Frame(0.01f, 0.01f);
  EXPECT_FALSE(p->fadingIn);
  EXPECT_EQ(p->color[3], 1.0f);

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

TEST_F(ParticlesTest, FadeInStopsAtTheSinglePrecisionThreshold) {
  Particle* below = Visible();
  below->fadingIn = true;
  below->color[3] = std::nextafter(0.99f, 0.0f);
  Particle* at = Visible();
  at->fadingIn = true;
  at->color[3] = 0.99f;
  ASSERT_TRUE(Particles->Add(below));
  ASSERT_TRUE(Particles->Add(at));
  Frame(0.0f, 0.0f);
  EXPECT_TRUE(below->fadingIn);
  EXPECT_LT(below->color[3], 0.99f);
  EXPECT_FALSE(at->fadingIn);
  EXPECT_EQ(at->color[3], 1.0f);
}

TEST_F(ParticlesTest, NegativeSizeIsClampedAndGrowthIsPerFrameUntilPastMaxSize) {
  Particle* shrinking = Visible();
  shrinking->size = -0.4f;
  shrinking->growth = -0.1f;
  Particle* growing = Visible();
  growing->size = 16.5f;
  growing->growth = 0.2f;
  ASSERT_TRUE(Particles->Add(shrinking));
  ASSERT_TRUE(Particles->Add(growing));

  Frame(0.1f, 0.5f);  // frame time does not scale growth
  EXPECT_EQ(shrinking->size, 0.0f);
  EXPECT_FLOAT_EQ(growing->size, 16.7f);
  Frame(0.2f, 0.001f);
  Frame(0.3f, 0.001f);
  EXPECT_FLOAT_EQ(growing->size, 17.1f);  // last step ends a little above 17
  Frame(0.4f, 0.001f);
  EXPECT_FLOAT_EQ(growing->size, 17.1f);
  EXPECT_EQ(shrinking->size, 0.0f);
}

TEST_F(ParticlesTest, MotionAndColourDriftScaleWithFrameTimeWithoutClamping) {
  Particle* p = Visible();
  const float pos[3] = {1, 2, -150}, vel[3] = {4, -2, 10};
  const float col[4] = {0.1f, 1.5f, 0, 1}, drift[4] = {-0.8f, 0.6f, 0, 0};
  p->Set(pos, vel, col, drift, 1.0f, 0.0f, 5.0f, 0.5f);
  p->fadingIn = false;
  ASSERT_TRUE(Particles->Add(p));
  Frame(0.5f, 0.5f);
  EXPECT_FLOAT_EQ(p->position[0], 3.0f);
  EXPECT_FLOAT_EQ(p->position[1], 1.0f);
  EXPECT_FLOAT_EQ(p->position[2], -145.0f);
  EXPECT_FLOAT_EQ(p->color[0], -0.3f);
  EXPECT_FLOAT_EQ(p->color[1], 1.8f);
  EXPECT_EQ(p->color[3], 1.0f);
}

TEST_F(ParticlesTest, DeadTailMovesTailBackAndNextAddLinksAfterIt) {
  Particle* a = Visible();
  Particle* b = Visible();
  Particle* c = Visible();
  for (Particle* p : {a, b, c}) ASSERT_TRUE(Particles->Add(p));
  c->fadingOut = true;
  c->color[3] = 0.0f;  // the newest one dies at its next update

  Frame(0.1f, 0.1f);
  EXPECT_EQ(Particles->count, 2);
  EXPECT_EQ(Particles->tail, b);
  EXPECT_EQ(b->next, nullptr);

  Particle* d = Visible();
  ASSERT_TRUE(Particles->Add(d));
  EXPECT_EQ(b->next, d);
  ResetFakes();
  Frame(0.2f, 0.1f);
  EXPECT_EQ(CallsNamed("glBegin").size(), 3u);
  EXPECT_EQ((std::vector<Particle*>{a, b, d}), Chain());
}

TEST_F(ParticlesTest, DeadHeadAndMiddleAreUnlinkedAndSeveralMayDieInOneFrame) {
  std::vector<Particle*> ps;
  for (int i = 0; i < 5; ++i) {
    ps.push_back(Visible());
    ASSERT_TRUE(Particles->Add(ps.back()));
  }
  for (int i : {0, 2, 4}) {
    ps[i]->fadingOut = true;
    ps[i]->color[3] = 0.0f;
  }
  ResetFakes();
  Frame(0.1f, 0.1f);
  EXPECT_EQ(Particles->count, 2);
  EXPECT_EQ(Particles->head, ps[1]);
  EXPECT_EQ(Particles->tail, ps[3]);
  EXPECT_EQ((std::vector<Particle*>{ps[1], ps[3]}), Chain());
  EXPECT_EQ(CallsNamed("glBegin").size(), 2u);

  // Removing the only remaining ones leaves an empty list that a burst restarts.
  for (Particle* p : Chain()) {
    p->fadingOut = true;
    p->color[3] = 0.0f;
  }
  Frame(0.2f, 0.1f);
  EXPECT_EQ(Particles->count, 0);
  EXPECT_EQ(Particles->head, nullptr);
  EXPECT_EQ(Particles->tail, nullptr);
  ScriptedRandom random({}, 0);
  SpawnParticles();
  EXPECT_EQ(Particles->count, 5);
  EXPECT_EQ(Chain().size(), 5u);
}

TEST_F(ParticlesTest, DrawsOneStripInItsColourAroundItsCentre) {
  Particle* p = Visible();
  const float pos[3] = {10, -20, -150}, vel[3] = {0, 0, 0};
  const float col[4] = {0.5f, 2.0f, 0, 1}, drift[4] = {0, 0, 0, 0};
  p->Set(pos, vel, col, drift, 2.0f, 0.0f, 5.0f, 0.5f);
  p->Draw();
  const std::vector<GlCall>& calls = GlCalls();
  ASSERT_EQ(calls.size(), 11u);
  EXPECT_EQ(calls[0].name, "glColor4fv");
  EXPECT_EQ(calls[0].args, (std::vector<double>{0.5, 2.0, 0, 1}));
  EXPECT_EQ(calls[1].args, (std::vector<double>{GL_TRIANGLE_STRIP}));
  const double expected[4][5] = {
      {1, 1, 12, -18, -150}, {0, 1, 8, -18, -150}, {1, 0, 12, -22, -150}, {0, 0, 8, -22, -150}};
  for (int v = 0; v < 4; ++v) {
    EXPECT_EQ(calls[2 + 2 * v].args, (std::vector<double>{expected[v][0], expected[v][1]}));
    EXPECT_EQ(calls[3 + 2 * v].args,
              (std::vector<double>{expected[v][2], expected[v][3], expected[v][4]}));
  }
  EXPECT_EQ(calls[10].name, "glEnd");
  delete p;
}

}  // namespace

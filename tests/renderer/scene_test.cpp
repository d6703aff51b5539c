#include "scene.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fake_gl.h"
#include "particles.h"
#include "renderer.h"
#include "scripted_random.h"
#include "windows_path.h"

namespace {

// The frame timer reads this counter (1000 ticks per second).
int64_t g_ticks = 0;
const TimerClock kTestClock = {
    [](int64_t* frequency) { *frequency = 1000; return true; },
    []() { return g_ticks; },
    []() -> uint32_t { return 0; },
};

std::vector<double> Args(std::initializer_list<double> values) { return values; }

TEST(ResizeScene, SetsViewportAndA45DegreePerspective) {
  ResetFakes();
  ResizeScene(1024, 768);
  const std::vector<GlCall>& calls = GlCalls();
  ASSERT_EQ(calls.size(), 6u);
  EXPECT_EQ(calls[0].name, "glViewport");
  EXPECT_EQ(calls[0].args, Args({0, 0, 1024, 768}));
  EXPECT_EQ(calls[1].args, Args({GL_PROJECTION}));
  EXPECT_EQ(calls[2].name, "glLoadIdentity");
  EXPECT_EQ(calls[3].name, "gluPerspective");
  EXPECT_EQ(calls[3].args, Args({45.0, 1024.0 / 768.0, 0.009999999776482582, 5000.0}));
  EXPECT_EQ(calls[4].args, Args({GL_MODELVIEW}));
  EXPECT_EQ(calls[5].name, "glLoadIdentity");
}

TEST(ResizeScene, ZeroHeightIsTakenAsOne) {
  ResetFakes();
  ResizeScene(640, 0);
  EXPECT_EQ(CallsNamed("glViewport")[0].args, Args({0, 0, 640, 1}));
  EXPECT_EQ(CallsNamed("gluPerspective")[0].args[1], 640.0);
}

// A running scene: timer at t = 0, first burst spawned, textures as given.
class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakes();
    g_ticks = 0;
    FloorScroll = 0;
    LastSpawnTime = 0;
    Textures[0] = 7;
    Textures[1] = 9;
    Timer.Init(kTestClock);
    Timer.Update();
    Particles = new ParticleList(ParticleCapacity);
  }
  void TearDown() override {
    EndScene();
    Textures[0] = Textures[1] = 0;
  }
  static void FrameAt(int64_t millis) {
    g_ticks = millis;
    RenderIdleFrame();
  }
};

TEST_F(SceneTest, BackgroundDrawsFloorAndCeilingWithScrolledTextureOpaque) {
  g_ticks = 2500;
  Timer.Update();  // delta 2.5 s
  FloorScroll = 0.5f;
  DrawBackground();
  const float f = static_cast<float>(0.5 + static_cast<double>(2.5f) * 0.1);
  EXPECT_EQ(FloorScroll, f);

  const std::vector<GlCall>& calls = GlCalls();
  EXPECT_EQ(calls[0].name, "glColor4f");
  EXPECT_EQ(calls[0].args, Args({1, 1, 1, 1}));
  EXPECT_EQ(calls[1].name, "glDisable");
  EXPECT_EQ(calls[1].args, Args({GL_BLEND}));
  EXPECT_EQ(calls[2].args, Args({GL_TEXTURE_2D, 9}));

  const std::vector<GlCall> tex = CallsNamed("glTexCoord2f");
  const std::vector<GlCall> pos = CallsNamed("glVertex3f");
  ASSERT_EQ(tex.size(), 8u);
  ASSERT_EQ(pos.size(), 8u);
  const double t_far = 3 + f, t_near = 0 + f;
  const double expect_tex[4][2] = {{0, t_far}, {3, t_far}, {3, t_near}, {0, t_near}};
  const double floor_pos[4][3] = {
      {-300, -15.5, -300}, {300, -15.5, -300}, {300, -15.5, 500}, {-300, -15.5, 500}};
  const double ceiling_pos[4][3] = {
      {-300, -15.5, -300}, {300, -15.5, -300}, {300, 80.5, 500}, {-300, 80.5, 500}};
  for (int v = 0; v < 4; ++v) {
    EXPECT_EQ(tex[v].args, Args({expect_tex[v][0], expect_tex[v][1]})) << v;
    EXPECT_EQ(tex[4 + v].args, tex[v].args) << v;
    EXPECT_EQ(pos[v].args, Args({floor_pos[v][0], floor_pos[v][1], floor_pos[v][2]})) << v;
    EXPECT_EQ(pos[4 + v].args, Args({ceiling_pos[v][0], ceiling_pos[v][1], ceiling_pos[v][2]}))
        << v;
  }
  EXPECT_EQ(CallsNamed("glBegin").size(), 2u);
  // Leaves the sprite bound and blending on for the particles.
  EXPECT_EQ(calls[calls.size() - 2].args, Args({GL_TEXTURE_2D, 7}));
  EXPECT_EQ(calls.back().name, "glEnable");
  EXPECT_EQ(calls.back().args, Args({GL_BLEND}));
}

TEST_F(SceneTest, ScrollSumIsFormedInDoublePrecision) {
  // A float sum would lose the step entirely: 1000 + 0.0001f rounds to 1000 in
  // float arithmetic but the double sum is stored rounded to the nearest float.
  FloorScroll = 1.0f;
  g_ticks = 1;
  Timer.Update();  // delta 0.001 s, step 0.0001
  DrawBackground();
  EXPECT_EQ(FloorScroll, static_cast<float>(1.0 + static_cast<double>(0.001f) * 0.1));
}

TEST_F(SceneTest, BurstsComeMoreThanOneSecondApartAndALongFrameGivesOne) {
  ScriptedRandom random({}, 0);  // five particles per burst, 76 draws
  auto bursts = [&] { return random.draws() / 76; };
  FrameAt(500);
  FrameAt(1000);  // exactly one second: not yet
  EXPECT_EQ(bursts(), 0);
  FrameAt(1001);
  EXPECT_EQ(bursts(), 1);
  EXPECT_FLOAT_EQ(LastSpawnTime, 1.001f);
  FrameAt(2000);
  EXPECT_EQ(bursts(), 1);
  FrameAt(7000);  // a frame of five seconds
  EXPECT_EQ(bursts(), 2);
  FrameAt(7500);
  EXPECT_EQ(bursts(), 2);
  EXPECT_EQ(SwapCount(), 6);
}

TEST_F(SceneTest, FrameClearsDrawsBackgroundThenParticlesThenSwaps) {
  ScriptedRandom random({}, 0);
  SpawnParticles();
  ResetFakes();
  FrameAt(16);
  const std::vector<GlCall>& calls = GlCalls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls[0].name, "glClear");
  EXPECT_EQ(calls[0].args, Args({GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}));
  EXPECT_EQ(calls[1].name, "glLoadIdentity");
  EXPECT_EQ(CallsNamed("glBegin").size(), 2u + 5u);  // two planes, five particles
  EXPECT_EQ(SwapCount(), 1);
  EXPECT_FLOAT_EQ(ElapsedTime, 0.016f);
  EXPECT_FLOAT_EQ(FrameTime, 0.016f);
}

TEST(GlState, FixedStateEndsWithAdditiveBlendingAndTheSpriteBound) {
  ResetFakes();
  Textures[0] = 3;
  InitGlState();
  Textures[0] = 0;
  const std::vector<GlCall>& calls = GlCalls();
  std::vector<std::string> names;
  for (const GlCall& call : calls) names.push_back(call.name);
  EXPECT_EQ(names, (std::vector<std::string>{"glShadeModel", "glHint", "glHint", "glClearDepth",
                                             "glDisable", "glClearColor", "glEnable",
                                             "glBlendFunc", "glEnable", "glBindTexture"}));
  EXPECT_EQ(calls[4].args, Args({GL_DEPTH_TEST}));
  EXPECT_EQ(calls[5].args, Args({0, 0, 0, 1}));
  EXPECT_EQ(calls[7].args, Args({GL_SRC_ALPHA, GL_ONE}));
  EXPECT_EQ(calls[9].args, Args({GL_TEXTURE_2D, 3}));
}

// Texture files in the folder the path layer maps "c:\qorin" to.
class TextureFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakes();
    Textures[0] = Textures[1] = 0;
    for (int i = 0; i < 2; ++i) {
      paths_[i] = NativePath(TexturePaths[i]);
      std::filesystem::create_directories(std::filesystem::path(paths_[i]).parent_path());
      std::remove(paths_[i].c_str());
    }
  }
  void TearDown() override {
    for (const std::string& path : paths_) std::remove(path.c_str());
    Textures[0] = Textures[1] = 0;
  }
  void Write(int index, const std::vector<unsigned char>& bytes) {
    std::ofstream(paths_[index], std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::string paths_[2];
};

// A 3x2 24-bit bitmap: bottom row red, green, blue; top row white, black, grey.
std::vector<unsigned char> SmallBitmap() {
  std::vector<unsigned char> b = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,
                                  40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0};
  b.resize(54, 0);
  const unsigned char rows[2][12] = {
      {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0},
      {255, 255, 255, 0, 0, 0, 128, 128, 128, 0, 0, 0}};
  for (const auto& row : rows) b.insert(b.end(), row, row + 12);
  return b;
}

TEST_F(TextureFilesTest, MissingFilesLeaveBothTexturesZeroWithoutMessages) {
  EXPECT_TRUE(LoadTextures());
  EXPECT_EQ(Textures[0], 0u);
  EXPECT_EQ(Textures[1], 0u);
  EXPECT_TRUE(ShownMessages().empty());
  EXPECT_TRUE(CallsNamed("gluBuild2DMipmaps").empty());
  EXPECT_EQ(LoadBitmapFile(nullptr), nullptr);
}

TEST_F(TextureFilesTest, PresentBitmapIsUploadedTightlyPackedAsRgb) {
  Write(1, SmallBitmap());
  LoadTextures();
  EXPECT_EQ(Textures[0], 0u);
  EXPECT_NE(Textures[1], 0u);
  const std::vector<GlCall> uploads = CallsNamed("gluBuild2DMipmaps");
  ASSERT_EQ(uploads.size(), 1u);
  EXPECT_EQ(uploads[0].args, Args({GL_TEXTURE_2D, 3, 3, 2, GL_RGB, GL_UNSIGNED_BYTE}));
  EXPECT_EQ(UploadedImages()[0],
            (std::vector<unsigned char>{255, 0, 0, 0, 255, 0, 0, 0, 255,
                                        255, 255, 255, 0, 0, 0, 128, 128, 128}));
  // Nine-byte rows: the upload must not assume four-byte row alignment.
  const std::vector<GlCall> store = CallsNamed("glPixelStorei");
  ASSERT_EQ(store.size(), 1u);
  EXPECT_EQ(store[0].args, Args({GL_UNPACK_ALIGNMENT, 1}));
  const std::vector<GlCall> params = CallsNamed("glTexParameteri");
  ASSERT_EQ(params.size(), 2u);
  EXPECT_EQ(params[0].args, Args({GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR}));
  EXPECT_EQ(params[1].args, Args({GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR}));
}

TEST_F(TextureFilesTest, EmptySpriteFileIsReportedWithItsPathAndSkipped) {
  Write(0, {});
  Write(1, SmallBitmap());
  LoadTextures();
  ASSERT_EQ(ShownMessages().size(), 1u);
  EXPECT_EQ(ShownMessages()[0], "Failed to open DIB file c:\\qorin\\Veloran1.bmp.\n");
  EXPECT_EQ(Textures[0], 0u);
  EXPECT_NE(Textures[1], 0u);
}

}  // namespace

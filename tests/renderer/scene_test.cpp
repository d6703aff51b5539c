#include "scene.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bmp_writer.h"
#include "fake_gl.h"
#include "particles.h"
#include "windows_path.h"

namespace {

std::vector<double> Args(std::initializer_list<double> values) { return values; }

// A scene on the fake platform, its timer started at tick 0 (1000 ticks a second),
// with no texture files in the folder the path layer maps "C:\qorin" to.
class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakes();
    scene.Timer.Init(platform.Clock());
    scene.Timer.Update();
    scene.Particles = std::make_unique<ParticleList>(ParticleCapacity, scene);
    for (int i = 0; i < 2; ++i) {
      paths_[i] = NativePath(Scene::TexturePaths[i]);
      std::filesystem::create_directories(std::filesystem::path(paths_[i]).parent_path());
      std::remove(paths_[i].c_str());
    }
  }
  void TearDown() override {
    for (const std::string& path : paths_) std::remove(path.c_str());
  }
  void FrameAt(int64_t millis) {
    FakePlatform::ticks = millis;
    scene.RenderIdleFrame();
  }
  void Write(int index, const std::vector<unsigned char>& bytes) {
    std::ofstream(paths_[index], std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  FakePlatform platform;
  Scene scene{platform};
  std::string paths_[2];
};

TEST_F(SceneTest, ResizeSetsViewportAndA45DegreePerspectiveWithZeroHeightTakenAsOne) {
  const struct {
    int width, height;
    double viewport_height, aspect;
  } cases[] = {{1024, 768, 768, 1024.0 / 768.0}, {640, 0, 1, 640.0}};
  for (const auto& c : cases) {
    ResetFakes();
    scene.ResizeScene(c.width, c.height);
    EXPECT_EQ(GlCalls(),
              (std::vector<GlCall>{{"glViewport", {0, 0, double(c.width), c.viewport_height}},
                                   {"glMatrixMode", {GL_PROJECTION}},
                                   {"glLoadIdentity", {}},
                                   {"gluPerspective", {45.0, c.aspect, 0.009999999776482582, 5000.0}},
                                   {"glMatrixMode", {GL_MODELVIEW}},
                                   {"glLoadIdentity", {}}}));
  }
}

TEST_F(SceneTest, BackgroundDrawsFloorAndCeilingWithScrolledTextureOpaque) {
  scene.Textures[0] = 7;
  scene.Textures[1] = 9;
  FakePlatform::ticks = 2500;
  scene.Timer.Update();  // delta 2.5 s
  scene.FloorScroll = 0.5f;
  scene.DrawBackground();
  const double f = 0.75;  // 0.5, and a tenth of 2.5 s
  EXPECT_EQ(scene.FloorScroll, 0.75f);

  const std::vector<GlCall>& calls = GlCalls();
  ASSERT_GE(calls.size(), 5u);
  EXPECT_EQ(
      std::vector<GlCall>(calls.begin(), calls.begin() + 3),
      (std::vector<GlCall>{
          {"glColor4f", {1, 1, 1, 1}}, {"glDisable", {GL_BLEND}}, {"glBindTexture", {GL_TEXTURE_2D, 9}}}));

  const std::vector<GlCall> tex = CallsNamed("glTexCoord2f");
  const std::vector<GlCall> pos = CallsNamed("glVertex3f");
  ASSERT_EQ(tex.size(), 8u);
  ASSERT_EQ(pos.size(), 8u);
  // Floor, then ceiling: both from the far edge to their near edge at z 500.
  const double t[4][2] = {{0, 3 + f}, {3, 3 + f}, {3, 0 + f}, {0, 0 + f}};
  for (int plane = 0; plane < 2; ++plane) {
    const double near_y = plane == 0 ? -15.5 : 80.5;
    const double xyz[4][3] = {
        {-300, -15.5, -300}, {300, -15.5, -300}, {300, near_y, 500}, {-300, near_y, 500}};
    for (int v = 0; v < 4; ++v) {
      EXPECT_EQ(tex[4 * plane + v].args, Args({t[v][0], t[v][1]})) << plane << v;
      EXPECT_EQ(pos[4 * plane + v].args, Args({xyz[v][0], xyz[v][1], xyz[v][2]})) << plane << v;
    }
  }
  EXPECT_EQ(CallsNamed("glBegin").size(), 2u);
  // Leaves the sprite bound and blending on for the particles.
  EXPECT_EQ(std::vector<GlCall>(calls.end() - 2, calls.end()),
            (std::vector<GlCall>{{"glBindTexture", {GL_TEXTURE_2D, 7}}, {"glEnable", {GL_BLEND}}}));
}

TEST_F(SceneTest, ScrollKeepsItsFractionFromADoubleSum) {
  // The sum is formed in double precision and only its fraction is kept: the texture
  // repeats, so the picture is the same, and the small step is not lost.
  scene.FloorScroll = 0.99995f;
  FakePlatform::ticks = 1;
  scene.Timer.Update();  // delta 0.001 s, step 0.0001
  scene.DrawBackground();
  const double sum = static_cast<double>(0.99995f) + static_cast<double>(0.001f) * 0.1;
  EXPECT_EQ(scene.FloorScroll, static_cast<float>(sum - 1.0));
}

TEST_F(SceneTest, FramesDrawInOrderAndBurstsComeMoreThanOneSecondApart) {
  auto draws = ScriptDraws(scene.Random, {}, 0);  // five particles per burst, 76 draws
  auto bursts = [&] { return *draws / 76; };
  FrameAt(500);
  FrameAt(1000);  // exactly one second: not yet
  EXPECT_EQ(bursts(), 0);
  ResetFakes();
  FrameAt(1001);
  EXPECT_EQ(bursts(), 1);
  EXPECT_DOUBLE_EQ(scene.LastSpawnTime, 1.001);
  EXPECT_FLOAT_EQ(scene.ElapsedTime, 1.001f);
  EXPECT_NEAR(scene.FrameTime, 0.001f, 1e-6f);
  // Clear, identity, background, the new burst drawn at once, swap.
  const std::vector<GlCall>& calls = GlCalls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(std::vector<GlCall>(calls.begin(), calls.begin() + 2),
            (std::vector<GlCall>{{"glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}},
                                 {"glLoadIdentity", {}}}));
  EXPECT_EQ(CallsNamed("glBegin").size(), 2u + 5u);  // two planes, five particles
  FrameAt(2000);
  EXPECT_EQ(bursts(), 1);
  FrameAt(7000);  // a frame of five seconds
  EXPECT_EQ(bursts(), 2);
  FrameAt(7500);
  EXPECT_EQ(bursts(), 2);
  EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "swap"), 6);
}

TEST_F(SceneTest, FixedStateEndsWithAdditiveBlendingAndTheSpriteBound) {
  ResetFakes();
  scene.Textures[0] = 3;
  scene.InitGlState();
  const std::vector<GlCall>& calls = GlCalls();
  std::vector<std::string> names;
  for (const GlCall& call : calls) names.push_back(call.name);
  EXPECT_EQ(names, (std::vector<std::string>{"glShadeModel", "glHint", "glHint", "glClearDepth", "glDisable",
                                             "glClearColor", "glEnable", "glBlendFunc", "glEnable",
                                             "glBindTexture"}));
  EXPECT_EQ(calls[4].args, Args({GL_DEPTH_TEST}));
  EXPECT_EQ(calls[5].args, Args({0, 0, 0, 1}));
  EXPECT_EQ(calls[7].args, Args({GL_SRC_ALPHA, GL_ONE}));
  EXPECT_EQ(calls[9].args, Args({GL_TEXTURE_2D, 3}));
}

TEST_F(SceneTest, MissingFilesAreSilentAnUnreadableSpriteIsReportedAndTheBackgroundUploadedAsRgb) {
  EXPECT_TRUE(scene.LoadTextures());
  EXPECT_EQ(scene.Textures[0], 0u);
  EXPECT_EQ(scene.Textures[1], 0u);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_TRUE(CallsNamed("gluBuild2DMipmaps").empty());
  EXPECT_EQ(scene.LoadBitmapFile(nullptr), nullptr);

  // A 3x2 24-bit bitmap: bottom row red, green, blue; top row white, black, grey.
  const unsigned char top_first[2][3][3] = {{{255, 255, 255}, {0, 0, 0}, {128, 128, 128}},
                                            {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}};
  Write(0, {});
  Write(1, bmp::Encode24(3, 2, [&](int x, int y, uint8_t* rgb) { std::copy_n(top_first[y][x], 3, rgb); }));
  ResetFakes();
  scene.LoadTextures();
  EXPECT_EQ(platform.messages,
            std::vector<std::string>{"Failed to open DIB file C:\\qorin\\Veloran1.bmp.\n"});
  EXPECT_EQ(scene.Textures[0], 0u);
  EXPECT_NE(scene.Textures[1], 0u);
  const std::vector<GlCall> uploads = CallsNamed("gluBuild2DMipmaps");
  ASSERT_EQ(uploads.size(), 1u);
  EXPECT_EQ(uploads[0].args, Args({GL_TEXTURE_2D, 3, 3, 2, GL_RGB, GL_UNSIGNED_BYTE}));
  EXPECT_EQ(UploadedImages()[0], (std::vector<unsigned char>{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255,
                                                             0, 0, 0, 128, 128, 128}));
  // Nine-byte rows: the upload must not assume four-byte row alignment.
  const std::vector<GlCall> store = CallsNamed("glPixelStorei");
  ASSERT_EQ(store.size(), 1u);
  EXPECT_EQ(store[0].args, Args({GL_UNPACK_ALIGNMENT, 1}));
  const std::vector<GlCall> params = CallsNamed("glTexParameteri");
  ASSERT_EQ(params.size(), 2u);
  EXPECT_EQ(params[0].args, Args({GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR}));
  EXPECT_EQ(params[1].args, Args({GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR}));
}

}  // namespace

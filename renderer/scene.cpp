#include "scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>

#include "particles.h"
#include "platform.h"
#include "windows_path.h"

Scene::Scene(RendererPlatform& platform) : platform_(platform) {}

Scene::~Scene() = default;

void Scene::ResizeScene(int32_t width, int32_t height) {
  if (height == 0) height = 1;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<GLdouble>(width) / static_cast<GLdouble>(height),
                 static_cast<GLdouble>(0.01f), 5000.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void Scene::StartScene() {
  LoadTextures();
  InitParticles();
  InitGlState();
}

std::unique_ptr<RgbImage> Scene::LoadBitmapFile(const char* path) {
  if (!path) return nullptr;
  // A missing texture is not an error: the scene draws without it.
  std::FILE* file = std::fopen(NativePath(path).c_str(), "rb");
  if (!file) return nullptr;
  std::fclose(file);
  return LoadDibImage(path, [this](const char* text) { platform_.ShowErrorBox(text); });
}

bool Scene::LoadTextures() {
  for (int index = 0; index < 2; ++index) {
    char path[256];
    std::snprintf(path, sizeof path, "%s", TexturePaths[index]);

    std::unique_ptr<RgbImage> image = LoadBitmapFile(path);
    if (!image) continue;

    GLuint name = 0;
    glGenTextures(1, &name);
    Textures[index] = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // Rows are tightly packed: without this, a width whose row is not a multiple
    // of four bytes would be read past the end of the image.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image->width, image->height, GL_RGB, GL_UNSIGNED_BYTE,
                      image->data.data());
  }
  return true;
}

void Scene::InitGlState() {
  glShadeModel(GL_SMOOTH);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
  glClearDepth(1.0);
  glDisable(GL_DEPTH_TEST);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);  // additive: particles brighten what is behind
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, Textures[0]);
}

namespace {

// One background plane: from the far edge (y -15.5, z -300) to the near edge at the
// given height (z 500), its texture three times across and along, scrolled by f.
void DrawPlane(float f, float near_y) {
  glBegin(GL_QUADS);
  glTexCoord2f(0, 3 + f);
  glVertex3f(-300, -15.5f, -300);
  glTexCoord2f(3, 3 + f);
  glVertex3f(300, -15.5f, -300);
  glTexCoord2f(3, 0 + f);
  glVertex3f(300, near_y, 500);
  glTexCoord2f(0, 0 + f);
  glVertex3f(-300, near_y, 500);
  glEnd();
}

}  // namespace

void Scene::DrawBackground() {
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glDisable(GL_BLEND);
  glBindTexture(GL_TEXTURE_2D, Textures[1]);

  const double scroll = static_cast<double>(FloorScroll) + static_cast<double>(Timer.Delta()) * 0.1;
  FloorScroll = static_cast<float>(scroll - std::floor(scroll));
  const float f = FloorScroll;

  DrawPlane(f, -15.5f);  // floor
  DrawPlane(f, 80.5f);   // ceiling: shares the floor's far edge, rises towards the viewer

  glBindTexture(GL_TEXTURE_2D, Textures[0]);
  glEnable(GL_BLEND);
}

void Scene::RenderIdleFrame() {
  Timer.Update();
  ElapsedTime = Timer.Elapsed();
  FrameTime = Timer.Delta();
  Now = Timer.ExactElapsed();
  DrawFrame();
}

void Scene::DrawFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  DrawBackground();
  if (Now - LastSpawnTime > 1.0) {
    SpawnParticles();
    LastSpawnTime = Now;
  }
  Particles->UpdateAndDraw();
  platform_.SwapBuffers();
}

void Scene::EndScene() { Particles.reset(); }

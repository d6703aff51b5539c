#include "fake_gl.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <initializer_list>

namespace {

GLuint g_next_texture = 1;

void Record(const char* name, std::initializer_list<double> args) {
  GlCalls().push_back(GlCall{name, std::vector<double>(args)});
}

}  // namespace

std::vector<GlCall>& GlCalls() {
  static std::vector<GlCall> calls;
  return calls;
}

std::vector<std::vector<unsigned char>>& UploadedImages() {
  static std::vector<std::vector<unsigned char>> images;
  return images;
}

void ResetFakes() {
  GlCalls().clear();
  UploadedImages().clear();
  g_next_texture = 1;
}

std::vector<GlCall> CallsNamed(const std::string& name) {
  std::vector<GlCall> out;
  for (const GlCall& call : GlCalls())
    if (call.name == name) out.push_back(call);
  return out;
}

int64_t FakePlatform::ticks = 0;

MessagePump FakePlatform::PumpMessage(int* exit_code) {
  Log("pump");
  if (pumps.empty()) {
    *exit_code = quit_code;
    return MessagePump::kQuit;
  }
  const MessagePump next = pumps.front();
  pumps.pop_front();
  return next;
}

extern "C" {

void APIENTRY glViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
  Record("glViewport", {double(x), double(y), double(w), double(h)});
}
void APIENTRY glMatrixMode(GLenum mode) { Record("glMatrixMode", {double(mode)}); }
void APIENTRY glLoadIdentity() { Record("glLoadIdentity", {}); }
void APIENTRY gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zn, GLdouble zf) {
  Record("gluPerspective", {fovy, aspect, zn, zf});
}
void APIENTRY glGenTextures(GLsizei n, GLuint* names) {
  for (GLsizei i = 0; i < n; ++i) names[i] = g_next_texture++;
  Record("glGenTextures", {double(n)});
}
void APIENTRY glBindTexture(GLenum target, GLuint name) {
  Record("glBindTexture", {double(target), double(name)});
}
void APIENTRY glTexParameteri(GLenum target, GLenum pname, GLint value) {
  Record("glTexParameteri", {double(target), double(pname), double(value)});
}
void APIENTRY glPixelStorei(GLenum pname, GLint value) {
  Record("glPixelStorei", {double(pname), double(value)});
}
GLint APIENTRY gluBuild2DMipmaps(GLenum target, GLint components, GLsizei w, GLsizei h, GLenum format,
                                 GLenum type, const void* data) {
  Record("gluBuild2DMipmaps",
         {double(target), double(components), double(w), double(h), double(format), double(type)});
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  UploadedImages().emplace_back(bytes, bytes + static_cast<size_t>(w) * h * 3);
  return 0;
}
void APIENTRY glShadeModel(GLenum mode) { Record("glShadeModel", {double(mode)}); }
void APIENTRY glHint(GLenum target, GLenum mode) { Record("glHint", {double(target), double(mode)}); }
void APIENTRY glClearDepth(GLclampd depth) { Record("glClearDepth", {depth}); }
void APIENTRY glDisable(GLenum cap) { Record("glDisable", {double(cap)}); }
void APIENTRY glEnable(GLenum cap) { Record("glEnable", {double(cap)}); }
void APIENTRY glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
  Record("glClearColor", {r, g, b, a});
}
void APIENTRY glBlendFunc(GLenum s, GLenum d) { Record("glBlendFunc", {double(s), double(d)}); }
void APIENTRY glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { Record("glColor4f", {r, g, b, a}); }
void APIENTRY glColor4fv(const GLfloat* c) { Record("glColor4fv", {c[0], c[1], c[2], c[3]}); }
void APIENTRY glBegin(GLenum mode) { Record("glBegin", {double(mode)}); }
void APIENTRY glEnd() { Record("glEnd", {}); }
void APIENTRY glTexCoord2f(GLfloat s, GLfloat t) { Record("glTexCoord2f", {s, t}); }
void APIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) { Record("glVertex3f", {x, y, z}); }
void APIENTRY glClear(GLbitfield mask) { Record("glClear", {double(mask)}); }

}  // extern "C"

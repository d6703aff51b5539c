#pragma once
// A recording stand-in for the OpenGL and GLU calls the renderer logic makes, and
// doubles of the platform services it needs, so the scene runs without a context.

#include <string>
#include <vector>

struct GlCall {
  std::string name;
  std::vector<double> args;
};

// Every GL/GLU call since the last reset, in order.
std::vector<GlCall>& GlCalls();
// Bytes handed to each gluBuild2DMipmaps call.
std::vector<std::vector<unsigned char>>& UploadedImages();
// Messages shown through ShowErrorBox.
std::vector<std::string>& ShownMessages();
int SwapCount();
void ResetFakes();

// Calls named `name`, in order.
std::vector<GlCall> CallsNamed(const std::string& name);

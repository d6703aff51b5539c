#pragma once
// The renderer's fixed configuration and its run, the same on every platform:
// start-up, the frame loop (one message or one frame per pass) and shutdown.

#include "veloran_names.h"

class RendererPlatform;

constexpr int ScreenWidth = 1024;
constexpr int ScreenHeight = 768;
// Requested colour and depth bits of the pixel format.
constexpr int ColorBits = 16;
// The window's title and class name, by which the host follows the run.
constexpr const char* WindowName = kRendererWindowTitle;

// Runs the renderer on `platform` until a quit is posted; returns the exit code:
// 1 when no window could be made, else the code the quit was posted with.
int RunRenderer(RendererPlatform& platform);

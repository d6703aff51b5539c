#pragma once
// The scene: projection, fixed GL state, the two textures, the background planes
// and the order of drawing within one frame.

#include <cstdint>
#include <memory>

#include "dib.h"

// Windows paths of the two texture bitmaps the host writes: sprite, then background.
extern const char TexturePaths[2][255];
// GL texture names; 0 while missing (the default texture, drawn in plain colour).
extern uint32_t Textures[2];
// Texture offset of the background planes along t; grows for the whole run.
extern float FloorScroll;
// Elapsed time of the last scheduled burst.
extern float LastSpawnTime;

void ResizeScene(int32_t width, int32_t height);
// Loads both bitmaps and creates their textures; always true.
bool LoadTextures();
// The image of a bitmap file; null without a message when it cannot be opened.
std::unique_ptr<RgbImage> LoadBitmapFile(const char* path);
// The GL state every frame relies on, set once after the particles exist.
void InitGlState();
void DrawFrame();
void DrawBackground();

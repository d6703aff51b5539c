#pragma once
// Bitmap loading: a Windows device-independent bitmap file of any common depth
// decoded into tightly packed RGB rows, bottom row first.

#include <cstdint>
#include <memory>
#include <vector>

struct RgbImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> data;  // width * height * 3 bytes: R, G, B; bottom row first
};

// Decodes the bitmap at a Windows path (opened through the path layer). On failure
// shows one message box ("Error") and returns null.
std::unique_ptr<RgbImage> LoadDibImage(const char* path);

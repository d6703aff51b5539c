#pragma once
// Bitmap loading: a Windows device-independent bitmap file of any common depth
// decoded into tightly packed RGB rows, bottom row first.
//
// The decoder works on a byte buffer and never reads outside it. It gives the
// pixels the Windows conversion into a 24-bit DIB section gives: 1-, 4- and 8-bit
// colour tables, 16-bit (5-5-5) and 32-bit pixels, 24-bit copies, RLE8 and RLE4
// (pixels a run never writes stay black), the 40-byte and the 12-byte header, with
// or without the 14-byte file header.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct RgbImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> data;  // width * height * 3 bytes: R, G, B; bottom row first
};

// Decodes the bitmap at a Windows path (opened through the path layer). On failure
// hands one message to `show_error` (the renderer's "Error" box) and returns null.
std::unique_ptr<RgbImage> LoadDibImage(const char* path, const std::function<void(const char*)>& show_error);

// The bitmap header as read from the file. A 12-byte header leaves compression,
// image size, resolutions and the colour counts at 0.
struct DibHeader {
  uint32_t size = 0;  // 40 or 12
  int32_t width = 0;
  int32_t height = 0;  // negative: rows stored top row first
  uint16_t planes = 0;
  uint16_t bit_count = 0;
  uint32_t compression = 0;
  uint32_t image_size = 0;
  int32_t x_pels_per_meter = 0;
  int32_t y_pels_per_meter = 0;
  uint32_t colors_used = 0;
  uint32_t colors_important = 0;
};

// Compression values of the 40-byte header.
constexpr uint32_t kDibRgb = 0;
constexpr uint32_t kDibRle8 = 1;
constexpr uint32_t kDibRle4 = 2;
constexpr uint32_t kDibBitfields = 3;

// Number of colour-table entries that follow the header: for a 40-byte header with
// a colours-used value other than 0, its low 16 bits; otherwise 2, 16 or 256 for
// 1, 4 or 8 bits per pixel, and 0 for any other depth.
int DibColorCount(const DibHeader& header);

// Largest picture the decoder makes: 4096 pixels a side, so a picture costs at most
// 48 MiB of RGB however small its file (a run-length file of a few bytes may claim
// any size). Our textures are 128 and 256 pixels a side, and texture upload scales a
// larger picture down to the driver's texture size limit anyway. Wider or taller
// pictures are a conversion error, refused before anything is allocated.
constexpr int32_t kDibMaxSide = 4096;

enum class DibStatus {
  kOk,
  kUnknownFormat,    // header size neither 40 nor 12
  kConversionError,  // invalid, truncated or unsupported bitmap
  kOutOfMemory,
};

// Decodes a whole bitmap file held in memory into `image`. Reads only
// bytes[0, size). On any status but kOk, `image` is left untouched.
DibStatus DecodeDib(const uint8_t* bytes, size_t size, RgbImage* image);

// The message LoadDibImage shows for a failed decode ("Unknown DIB file format.",
// "Image file conversion error.", "Out of memory."); null for kOk.
const char* DibStatusMessage(DibStatus status);

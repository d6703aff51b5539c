// dib2ppm: decodes a bitmap with the renderer's loader and writes it as a binary
// PPM (P6), top row first, for tests and for looking at bitmaps by eye.
//
//   dib2ppm BITMAP OUTPUT.ppm
//
// The loader's messages go to standard error. Exit status: 0 written, 1 the
// bitmap could not be loaded or the output not written, 2 wrong arguments.
#include <cstdio>
#include <cstring>

#include "dib.h"

namespace {

void ShowError(const char* text) {
  std::fputs(text, stderr);
  size_t length = std::strlen(text);
  if (length == 0 || text[length - 1] != '\n') std::fputc('\n', stderr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: dib2ppm BITMAP OUTPUT.ppm\n");
    return 2;
  }
  std::unique_ptr<RgbImage> image = LoadDibImage(argv[1], ShowError);
  if (!image) return 1;

  std::FILE* out = std::fopen(argv[2], "wb");
  if (!out) {
    std::fprintf(stderr, "dib2ppm: cannot write %s\n", argv[2]);
    return 1;
  }
  std::fprintf(out, "P6\n%d %d\n255\n", image->width, image->height);
  const size_t row_bytes = static_cast<size_t>(image->width) * 3;
  for (int32_t row = image->height - 1; row >= 0; --row)
    std::fwrite(image->data.data() + row_bytes * row, 1, row_bytes, out);
  bool ok = !std::ferror(out);
  ok = std::fclose(out) == 0 && ok;
  if (!ok) {
    std::fprintf(stderr, "dib2ppm: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}

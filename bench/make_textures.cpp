// Writes the renderer's two texture bitmaps for runs without the host: a soft white
// ring on black (Veloran1.bmp, 128x128) and a blue star field (Veloran2.bmp,
// 256x256), as 24-bit bottom-up BMP files. The same pictures every time.
//
//   veloran_make_textures FOLDER
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Image {
  int width, height;
  std::vector<uint8_t> rgb;  // top row first
  void Add(int x, int y, double r, double g, double b) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
    auto add = [](uint8_t& c, double v) { c = uint8_t(std::fmin(255.0, c + v * 255.0)); };
    add(p[0], r);
    add(p[1], g);
    add(p[2], b);
  }
};

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}

bool WriteBmp(const std::string& path, const Image& image) {
  uint32_t stride = (uint32_t(image.width) * 3 + 3) & ~3u;
  uint32_t pixels = stride * uint32_t(image.height);
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, 14 + 40 + pixels);
  Put32(out, 0);
  Put32(out, 14 + 40);
  Put32(out, 40);
  Put32(out, uint32_t(image.width));
  Put32(out, uint32_t(image.height));
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);  // BI_RGB
  Put32(out, pixels);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const uint8_t* p = &image.rgb[(size_t(y) * image.width + x) * 3];
      out.push_back(p[2]);
      out.push_back(p[1]);
      out.push_back(p[0]);
    }
    for (uint32_t pad = uint32_t(image.width) * 3; pad < stride; ++pad) out.push_back(0);
  }
  std::string temporary = path + ".tmp";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
  ok = (std::fclose(file) == 0) && ok;
  return ok && std::rename(temporary.c_str(), path.c_str()) == 0;
}

Image Ring() {
  Image image{128, 128, std::vector<uint8_t>(128 * 128 * 3)};
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x) {
      double r = std::hypot(x - 63.5, y - 63.5) / 64.0;
      double v = std::exp(-std::pow((r - 0.6) / 0.14, 2)) + 0.35 * std::exp(-std::pow(r / 0.25, 2));
      if (r > 0.98) v = 0;
      image.Add(x, y, v, v, v);
    }
  return image;
}

Image StarField() {
  Image image{256, 256, std::vector<uint8_t>(256 * 256 * 3)};
  uint32_t state = 12345;
  auto next = [&state] {
    state = state * 1103515245u + 12345u;
    return double((state >> 8) & 0xffff) / 65535.0;
  };
  // A faint blue haze, then stars of several sizes.
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      double v = 0.10 + 0.06 * std::sin(x * 0.049) * std::cos(y * 0.037);
      image.Add(x, y, 0.1 * v, 0.25 * v, v);
    }
  for (int i = 0; i < 420; ++i) {
    double cx = next() * 256, cy = next() * 256, brightness = 0.3 + 0.7 * next();
    double radius = 0.6 + 1.8 * next() * next();
    for (int y = int(cy - 4); y <= int(cy + 4); ++y)
      for (int x = int(cx - 4); x <= int(cx + 4); ++x) {
        double d = std::hypot(x - cx, y - cy) / radius;
        double v = brightness * std::exp(-d * d);
        image.Add((x + 256) % 256, (y + 256) % 256, 0.45 * v, 0.65 * v, v);
      }
  }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: veloran_make_textures FOLDER\n");
    return 2;
  }
  std::string folder = argv[1];
  bool ok = WriteBmp(folder + "/Veloran1.bmp", Ring()) &&
            WriteBmp(folder + "/Veloran2.bmp", StarField());
  if (!ok) std::fprintf(stderr, "veloran_make_textures: cannot write into %s\n", folder.c_str());
  return ok ? 0 : 1;
}

// Draws the host's pictures and writes them as 24-bit BMP files (what the program
// embeds and exports) and as PNG copies for viewing:
//   texture_ring.bmp   128 x 128  soft white ring on black (the particle sprite)
//   texture_stars.bmp  256 x 256  blue star field with a bright blue star cluster
//   preview.bmp        152 x 112  still of a run: glowing rings over a dark star field
// Everything comes from a fixed-seed generator, so the output is the same byte for
// byte on every run. Usage: generate_assets OUTPUT_FOLDER
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bmp_writer.h"

namespace {

struct Image {
  int width, height;
  std::vector<float> rgb;  // top row first, three floats per pixel, 0..1 and above
  Image(int w, int h) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3, 0.0f) {}
  void Add(int x, int y, float r, float g, float b) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    float* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    p[0] += r;
    p[1] += g;
    p[2] += b;
  }
};

// Small fixed generator (64-bit LCG, upper bits) so results never depend on the C library.
class Lcg {
 public:
  explicit Lcg(uint64_t seed) : state_(seed) {}
  double Next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state_ >> 11) / 9007199254740992.0;
  }
  double Range(double lo, double hi) { return lo + (hi - lo) * Next(); }

 private:
  uint64_t state_;
};

uint8_t ToByte(float v) {
  if (v <= 0.0f) return 0;
  if (v >= 1.0f) return 255;
  return static_cast<uint8_t>(std::lround(v * 255.0f));
}

// A soft round glow; with wrap set it continues across the edges (a tiling texture).
void Glow(Image& img, double cx, double cy, double radius, float r, float g, float b, bool wrap) {
  const int reach = static_cast<int>(std::ceil(radius * 3.0));
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      int x = static_cast<int>(std::floor(cx)) + dx;
      int y = static_cast<int>(std::floor(cy)) + dy;
      const double ddx = x + 0.5 - cx, ddy = y + 0.5 - cy;
      const float k = static_cast<float>(std::exp(-(ddx * ddx + ddy * ddy) / (radius * radius)));
      if (k < 0.002f) continue;
      if (wrap) {
        x = ((x % img.width) + img.width) % img.width;
        y = ((y % img.height) + img.height) % img.height;
      }
      img.Add(x, y, r * k, g * k, b * k);
    }
  }
}

// A glowing ring: bright band at radius, a wide faint halo, and fading to black at
// the sprite's border so additive blending leaves no square edge.
void Ring(Image& img, double cx, double cy, double radius, double band, float r, float g, float b,
          float halo) {
  const int reach = static_cast<int>(std::ceil(radius + band * 4.0));
  for (int y = static_cast<int>(cy) - reach; y <= static_cast<int>(cy) + reach; ++y) {
    for (int x = static_cast<int>(cx) - reach; x <= static_cast<int>(cx) + reach; ++x) {
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      const double t = (d - radius) / band;
      double k = std::exp(-t * t) + halo * std::exp(-(t * t) / 9.0);
      const double edge = (radius + band * 4.0 - d) / (band * 1.5);
      if (edge <= 0.0) continue;
      if (edge < 1.0) k *= edge;
      img.Add(x, y, static_cast<float>(r * k), static_cast<float>(g * k), static_cast<float>(b * k));
    }
  }
}

Image MakeRing() {
  Image img(128, 128);
  Ring(img, 64.0, 64.0, 38.0, 6.0, 1.0f, 1.0f, 1.0f, 0.25f);  // fades out 2 px inside the border
  return img;
}

void StarField(Image& img, Lcg& rng, int count, float brightness, bool wrap) {
  for (int i = 0; i < count; ++i) {
    const double x = rng.Range(0, img.width), y = rng.Range(0, img.height);
    const double size = 0.35 + 0.5 * std::pow(rng.Next(), 3.0);
    const float v = brightness * static_cast<float>(0.35 + 0.65 * rng.Next());
    const float tint = static_cast<float>(rng.Range(0.45, 0.8));
    Glow(img, x, y, size, v * tint * 0.8f, v * tint, v, wrap);
  }
}

Image MakeStars() {
  Image img(256, 256);
  Lcg rng(0x5eed0002);
  StarField(img, rng, 420, 1.0f, true);
  // The cluster: a blue haze with many bright stars crowded around one point.
  const double cx = 168.0, cy = 92.0;
  Glow(img, cx, cy, 30.0, 0.02f, 0.06f, 0.22f, true);
  Glow(img, cx, cy, 9.0, 0.10f, 0.20f, 0.45f, true);
  for (int i = 0; i < 90; ++i) {
    const double a = rng.Range(0, 6.283185307179586);
    const double d = 22.0 * std::pow(rng.Next(), 1.6);
    const float v = static_cast<float>(0.6 + 0.4 * rng.Next());
    Glow(img, cx + d * std::cos(a), cy + d * std::sin(a), 0.5 + 0.7 * rng.Next(), 0.45f * v,
         0.65f * v, 1.2f * v, true);
  }
  Glow(img, cx, cy, 2.2, 0.7f, 0.85f, 1.3f, true);
  return img;
}

Image MakePreview() {
  Image img(152, 112);
  Lcg rng(0x5eed0003);
  // A faint blue floor and ceiling like the running saver's planes, then dim stars.
  for (int y = 0; y < img.height; ++y) {
    const double v = std::fabs(y - 56.0) / 56.0;
    const float k = static_cast<float>(0.10 * v * v);
    for (int x = 0; x < img.width; ++x) img.Add(x, y, k * 0.25f, k * 0.4f, k);
  }
  StarField(img, rng, 140, 0.55f, false);
  struct RingSpec { double x, y, radius; float r, g, b; };
  const RingSpec rings[] = {
      {38, 40, 13, 1.0f, 0.25f, 0.2f},  {92, 30, 9, 0.3f, 1.0f, 0.3f},
      {116, 70, 15, 1.0f, 0.9f, 0.25f}, {62, 80, 10, 0.3f, 0.45f, 1.0f},
      {20, 88, 6, 0.3f, 1.0f, 0.3f},    {136, 22, 7, 0.3f, 0.45f, 1.0f},
      {78, 58, 5, 1.0f, 0.25f, 0.2f},
  };
  for (const RingSpec& s : rings) Ring(img, s.x, s.y, s.radius, s.radius * 0.18, s.r, s.g, s.b, 0.35f);
  return img;
}

// Bottom-up 24-bit BI_RGB at 96 dots per inch.
std::string EncodeBmp(const Image& img) {
  const bmp::Bytes bytes = bmp::Encode24(
      img.width, img.height,
      [&img](int x, int y, uint8_t* rgb) {
        const float* p = &img.rgb[(static_cast<size_t>(y) * img.width + x) * 3];
        for (int c = 0; c < 3; ++c) rgb[c] = ToByte(p[c]);
      },
      3780);
  return std::string(bytes.begin(), bytes.end());
}

void PutLe16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xff);
  out += static_cast<char>((v >> 8) & 0xff);
}

uint32_t Crc32(const std::string& data, size_t from) {
  uint32_t crc = 0xffffffffu;
  for (size_t i = from; i < data.size(); ++i) {
    crc ^= static_cast<uint8_t>(data[i]);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutBe32(std::string& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out += static_cast<char>((v >> s) & 0xff);
}

void PngChunk(std::string& out, const char* type, const std::string& body) {
  PutBe32(out, static_cast<uint32_t>(body.size()));
  std::string chunk = type;
  chunk += body;
  out += chunk;
  PutBe32(out, Crc32(chunk, 0));
}

// PNG with stored (uncompressed) deflate blocks: no compression library needed, and
// nothing in it depends on time or tool versions.
std::string EncodePng(const Image& img) {
  std::string raw;
  for (int y = 0; y < img.height; ++y) {
    raw += '\0';
    for (int x = 0; x < img.width; ++x) {
      const float* p = &img.rgb[(static_cast<size_t>(y) * img.width + x) * 3];
      for (int c = 0; c < 3; ++c) raw += static_cast<char>(ToByte(p[c]));
    }
  }
  std::string z = "\x78\x01";
  for (size_t pos = 0; pos < raw.size() || pos == 0;) {
    const size_t n = std::min<size_t>(65535, raw.size() - pos);
    const bool last = pos + n >= raw.size();
    z += static_cast<char>(last ? 1 : 0);
    PutLe16(z, static_cast<uint32_t>(n));
    PutLe16(z, static_cast<uint32_t>(~n & 0xffff));
    z.append(raw, pos, n);
    pos += n;
    if (last) break;
  }
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  PutBe32(z, (b << 16) | a);

  std::string png = "\x89PNG\r\n\x1a\n";
  std::string ihdr;
  PutBe32(ihdr, static_cast<uint32_t>(img.width));
  PutBe32(ihdr, static_cast<uint32_t>(img.height));
  ihdr += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, no interlace
  PngChunk(png, "IHDR", ihdr);
  PngChunk(png, "IDAT", z);
  PngChunk(png, "IEND", "");
  return png;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: generate_assets OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string dir = argv[1];
  const struct { const char* name; Image image; } pictures[] = {
      {"texture_ring", MakeRing()}, {"texture_stars", MakeStars()}, {"preview", MakePreview()}};
  for (const auto& p : pictures) {
    const std::string base = dir + "/" + p.name;
    if (!WriteFile(base + ".bmp", EncodeBmp(p.image)) || !WriteFile(base + ".png", EncodePng(p.image))) {
      std::fprintf(stderr, "generate_assets: cannot write %s\n", base.c_str());
      return 1;
    }
  }
  return 0;
}

// Draws the host's pictures and writes them as 24-bit BMP files (what the program
// embeds and exports) and as PNG copies for viewing:
//   texture_ring.bmp   128 x 128  soft white ring on black (the particle sprite)
//   texture_stars.bmp  256 x 256  blue star field with a bright blue star cluster
//   preview.bmp        152 x 112  still of a run: glowing rings over a dark star field
// and the settings dialog's pictures:
//   button_*.bmp       64 x 25    the six looks of the dialog's push button (only the
//                                 outer 4-pixel band is shown; the face is drawn too)
//   radio_off/on.bmp   12 x 12    radio marks on the panel's grey (224, 224, 224)
//   metal_strip.bmp    556 x 20   brushed metal tiled over the panel
//   hand_cursor.bmp    32 x 32    pointing hand, #FF00FF transparent, hotspot (12, 10)
//   window_icon.bmp    32 x 32    the dialog's icon, #FF00FF transparent corners
// Everything comes from a fixed-seed generator, so the output is the same byte for
// byte on every run. Usage: generate_assets OUTPUT_FOLDER
#include <algorithm>
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
    Glow(img, cx + d * std::cos(a), cy + d * std::sin(a), 0.5 + 0.7 * rng.Next(), 0.45f * v, 0.65f * v,
         1.2f * v, true);
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
  struct RingSpec {
    double x, y, radius;
    float r, g, b;
  };
  // clang-format off
  const RingSpec rings[] = {
      {38, 40, 13, 1.0f, 0.25f, 0.2f},  {92, 30, 9, 0.3f, 1.0f, 0.3f},
      {116, 70, 15, 1.0f, 0.9f, 0.25f}, {62, 80, 10, 0.3f, 0.45f, 1.0f},
      {20, 88, 6, 0.3f, 1.0f, 0.3f},    {136, 22, 7, 0.3f, 0.45f, 1.0f},
      {78, 58, 5, 1.0f, 0.25f, 0.2f},
  };
  // clang-format on
  for (const RingSpec& s : rings) Ring(img, s.x, s.y, s.radius, s.radius * 0.18, s.r, s.g, s.b, 0.35f);
  return img;
}

// ---- The settings dialog's pictures ----

// Sets a pixel to an exact #RRGGBB colour (it survives ToByte unchanged).
void Put(Image& img, int x, int y, uint32_t hex) {
  if (x < 0 || y < 0 || x >= img.width || y >= img.height) return;
  float* p = &img.rgb[(static_cast<size_t>(y) * img.width + x) * 3];
  p[0] = static_cast<float>((hex >> 16) & 0xff) / 255.0f;
  p[1] = static_cast<float>((hex >> 8) & 0xff) / 255.0f;
  p[2] = static_cast<float>(hex & 0xff) / 255.0f;
}

// The colour t of the way (0..1) from a to b, each channel rounded.
uint32_t Mix(uint32_t a, uint32_t b, double t) {
  uint32_t out = 0;
  for (int shift = 16; shift >= 0; shift -= 8) {
    const double ca = (a >> shift) & 0xff, cb = (b >> shift) & 0xff;
    out |= static_cast<uint32_t>(std::lround(ca + (cb - ca) * t)) << shift;
  }
  return out;
}

void FillRect(Image& img, int x0, int y0, int x1, int y1, uint32_t hex) {  // inclusive corners
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) Put(img, x, y, hex);
}

// Row y of a vertical run from `top` at row y0 to `bottom` at row y1.
uint32_t RowTone(int y, int y0, int y1, uint32_t top, uint32_t bottom) {
  return Mix(top, bottom, static_cast<double>(y - y0) / (y1 - y0));
}

constexpr int kButtonW = 64, kButtonH = 25;
constexpr uint32_t kFrameBlue = 0x003C74, kPlainBackdrop = 0xECE9D8;

// Colours of one rounded frame: the line, the corner pixel where the two lines
// would meet, the line pixels next to it and the pixel diagonally inside it.
struct FrameColours {
  uint32_t line, corner, beside, inner;
  bool has_inner;
};
constexpr FrameColours kBlueFrame = {kFrameBlue, 0x7A95A8, 0x164D7E, 0x255783, true};
constexpr FrameColours kGreyFrame = {0xC9C7BA, 0xD8D5C7, 0xCBC9BC, 0, false};

// A one-pixel frame whose outer edge is inset `in` pixels from the picture's edge,
// with every corner rounded off by a two-pixel diagonal of blends.
void RoundedFrame(Image& img, int in, const FrameColours& c) {
  const int l = in, t = in, r = img.width - 1 - in, b = img.height - 1 - in;
  for (int x = l + 2; x <= r - 2; ++x) {
    Put(img, x, t, c.line);
    Put(img, x, b, c.line);
  }
  for (int y = t + 2; y <= b - 2; ++y) {
    Put(img, l, y, c.line);
    Put(img, r, y, c.line);
  }
  const int corners[4][4] = {{l, t, 1, 1}, {r, t, -1, 1}, {l, b, 1, -1}, {r, b, -1, -1}};
  for (const auto& k : corners) {
    const int x = k[0], y = k[1], dx = k[2], dy = k[3];
    Put(img, x, y, c.corner);
    Put(img, x + dx, y, c.beside);
    Put(img, x, y + dy, c.beside);
    if (c.has_inner) Put(img, x + dx, y + dy, c.inner);
  }
}

// The outermost ring of the enabled pictures: the cream of the dialog behind the
// button, light at the top and warmer towards the bottom.
void CreamBackdrop(Image& img) {
  for (int y = 0; y < img.height; ++y) {
    const uint32_t tone = RowTone(y, 0, img.height - 1, 0xFAFAF6, 0xE0DCC9);
    if (y == 0 || y == img.height - 1) {
      FillRect(img, 0, y, img.width - 1, y, tone);
    } else {
      Put(img, 0, y, tone);
      Put(img, img.width - 1, y, tone);
    }
  }
}

// Rows 2-3 and 21-22 and columns 2-3 and 60-61: the two-pixel ring inside the frame
// that marks hover and focus. The columns run from side_top at row 4 to
// side_bottom at row 20.
void InnerRing(Image& img, uint32_t row2, uint32_t row3, uint32_t row21, uint32_t row22, uint32_t side_top,
               uint32_t side_bottom) {
  const int w = img.width;
  FillRect(img, 2, 2, w - 3, 2, row2);
  FillRect(img, 2, 3, w - 3, 3, row3);
  FillRect(img, 2, 21, w - 3, 21, row21);
  FillRect(img, 2, 22, w - 3, 22, row22);
  for (int y = 4; y <= 20; ++y) {
    const uint32_t tone = RowTone(y, 4, 20, side_top, side_bottom);
    FillRect(img, 2, y, 3, y, tone);
    FillRect(img, w - 4, y, w - 3, y, tone);
  }
}

Image MakeButtonNormal() {
  Image img(kButtonW, kButtonH);
  CreamBackdrop(img);
  FillRect(img, 2, 2, 61, 22, 0xF3F3EE);
  FillRect(img, 60, 2, 60, 20, 0xEEEDE7);  // shade left of the right frame
  FillRect(img, 61, 2, 61, 20, 0xE8E5DF);
  FillRect(img, 2, 21, 61, 21, 0xE2DFD6);  // shade above the bottom frame
  FillRect(img, 2, 22, 61, 22, 0xD6D0C5);
  for (int x = 2; x <= 59; ++x) Put(img, x, 2, Mix(0xFEFEFE, 0xFAFAF9, (x - 2) / 57.0));  // highlight
  for (int y = 3; y <= 20; ++y) Put(img, 2, y, Mix(0xFEFEFE, 0xFAFAF9, (y - 2) / 18.0));
  RoundedFrame(img, 1, kBlueFrame);
  return img;
}

Image MakeButtonHighLight() {
  Image img(kButtonW, kButtonH);
  CreamBackdrop(img);
  FillRect(img, 4, 4, 59, 20, 0xF3F3EE);
  InnerRing(img, 0xFFF0CF, 0xFDD889, 0xF8B330, 0xE59700, 0xFEDF9A, 0xF9B435);
  RoundedFrame(img, 1, kBlueFrame);
  return img;
}

Image MakeButtonSelected() {
  Image img(kButtonW, kButtonH);
  CreamBackdrop(img);
  FillRect(img, 4, 4, 59, 20, 0xF3F3EE);
  InnerRing(img, 0xCEE7FF, 0xCEE7FF, 0x6982EE, 0x6982EE, 0xB7D0F4, 0x8BADE4);
  RoundedFrame(img, 1, kBlueFrame);
  return img;
}

// Pushed in: the frame one pixel further in, and a face dark at the top.
Image MakeButtonPressed() {
  Image img(kButtonW, kButtonH);
  FillRect(img, 0, 0, kButtonW - 1, kButtonH - 1, kPlainBackdrop);
  for (int y = 3; y <= 21; ++y) FillRect(img, 3, y, 60, y, RowTone(y, 3, 21, 0xD1CCC1, 0xF2F1EE));
  RoundedFrame(img, 2, kBlueFrame);
  return img;
}

Image MakeButtonDisable() {
  Image img(kButtonW, kButtonH);
  FillRect(img, 0, 0, kButtonW - 1, kButtonH - 1, kPlainBackdrop);
  FillRect(img, 2, 2, 61, 22, 0xF5F4EA);
  RoundedFrame(img, 1, kGreyFrame);
  return img;
}

// Coverage (0..1) of pixel x, y by the disc of radius r around cx, cy, from 8 x 8 samples.
double DiscCover(int x, int y, double cx, double cy, double r) {
  int inside = 0;
  for (int sy = 0; sy < 8; ++sy)
    for (int sx = 0; sx < 8; ++sx)
      if (std::hypot(x + (sx + 0.5) / 8 - cx, y + (sy + 0.5) / 8 - cy) <= r) ++inside;
  return inside / 64.0;
}

// 12 x 12 round radio mark on the panel's grey: a dark grey-blue ring round a white
// well (a touch greyer at the bottom right), with a dark dot when selected.
Image MakeRadio(bool selected) {
  Image img(12, 12);
  const double c = 6.0;
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 12; ++x) {
      const double ring = DiscCover(x, y, c, c, 5.6), well = DiscCover(x, y, c, c, 4.4);
      const double dot = selected ? DiscCover(x, y, c, c, 2.1) : 0.0;
      const double shade = std::max(0.0, (x + y - 11.0) / 11.0);
      uint32_t colour = Mix(0xE0E0E0, 0x1C5180, ring);
      colour = Mix(colour, Mix(0xFFFFFF, 0xDCDCD7, shade), well);
      colour = Mix(colour, 0x1E3C5A, dot);
      Put(img, x, y, colour);
    }
  }
  return img;
}

// Row-wise noise, blurred along the row with wrap-around and scaled to about unit size.
std::vector<double> Streaks(Lcg& rng, int width, int blur) {
  std::vector<double> noise(width), out(width, 0.0);
  for (double& n : noise) n = rng.Range(-1.0, 1.0);
  for (int x = 0; x < width; ++x) {
    double sum = 0.0;
    for (int k = -blur; k <= blur; ++k) sum += noise[((x + k) % width + width) % width];
    out[x] = sum / std::sqrt(2.0 * blur + 1.0) * 1.7;
  }
  return out;
}

// 556 x 20 brushed metal: every row has its own brightness and long and short
// horizontal streaks; no row depends on its place, so the strip tiles downwards
// (and, with the wrapped streaks, sideways) without a seam.
Image MakeMetalStrip() {
  Image img(556, 20);
  Lcg rng(0x5eed0004);
  for (int y = 0; y < img.height; ++y) {
    const double row = rng.Range(-0.025, 0.025);
    const std::vector<double> longs = Streaks(rng, img.width, 40);
    const std::vector<double> shorts = Streaks(rng, img.width, 4);
    for (int x = 0; x < img.width; ++x) {
      const double v = 0.80 + row + 0.030 * longs[x] + 0.018 * shorts[x] + rng.Range(-0.012, 0.012);
      Put(img, x, y, Mix(0x000000, 0xFFFFFF, std::min(1.0, std::max(0.0, v))));
      img.Add(x, y, -0.006f, -0.003f, 0.006f);  // a cool tint
    }
  }
  return img;
}

constexpr uint32_t kTransparent = 0xFF00FF;

// 32 x 32 pointing hand, black outline and white fill on transparent magenta. The
// top of the index finger is at (12, 10), the cursor's hotspot.
Image MakeHandCursor() {
  // clang-format off
  static const char* const kHand[] = {
      "      XXX          ",
      "     X...X         ",
      "     X...X         ",
      "     X...X         ",
      "     X...XXX       ",
      "     X...X..XXX    ",
      "     X...X..X..XXX ",
      "     X...X..X..X..X",
      " XX  X...X..X..X..X",
      "X..X X...X..X..X..X",
      "X...XX...X..X..X..X",
      " X..XX............X",
      " X...X............X",
      "  X...............X",
      "  X...............X",
      "   X..............X",
      "   X.............X ",
      "    X............X ",
      "    X...........X  ",
      "     X..........X  ",
      "     XXXXXXXXXXXX  ",
  };
  // clang-format on
  const int left = 12 - 7, top = 10;  // the fingertip is column 7 of row 0
  Image img(32, 32);
  FillRect(img, 0, 0, 31, 31, kTransparent);
  for (int r = 0; r < static_cast<int>(sizeof kHand / sizeof kHand[0]); ++r)
    for (int c = 0; kHand[r][c] != '\0'; ++c)
      if (kHand[r][c] != ' ') Put(img, left + c, top + r, kHand[r][c] == 'X' ? 0x000000 : 0xFFFFFF);
  return img;
}

// 32 x 32 window icon: a round deep-blue night with a few stars and three glowing
// rings; the corners outside the disc are transparent magenta.
Image MakeWindowIcon() {
  Image img(32, 32);
  Lcg rng(0x5eed0005);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const double d = std::hypot(x + 0.5 - 16.0, y + 0.5 - 16.0);
      const float k = static_cast<float>(1.0 - d / 16.0);
      img.Add(x, y, 0.02f + 0.04f * k, 0.05f + 0.08f * k, 0.22f + 0.25f * k);
    }
  }
  StarField(img, rng, 14, 0.8f, false);
  Ring(img, 12.5, 13.0, 6.5, 1.1, 1.0f, 0.35f, 0.25f, 0.2f);
  Ring(img, 20.5, 18.5, 5.5, 1.0, 1.0f, 0.85f, 0.3f, 0.2f);
  Ring(img, 13.5, 22.5, 3.5, 0.8, 0.35f, 0.95f, 0.45f, 0.2f);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const double d = std::hypot(x + 0.5 - 16.0, y + 0.5 - 16.0);
      if (d > 15.6) Put(img, x, y, kTransparent);
      else if (d > 14.6) Put(img, x, y, 0x3A5A9C);  // a lighter rim so the disc reads on dark title bars
    }
  }
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
  const struct {
    const char* name;
    Image image;
  } pictures[] = {{"texture_ring", MakeRing()},
                  {"texture_stars", MakeStars()},
                  {"preview", MakePreview()},
                  {"button_normal", MakeButtonNormal()},
                  {"button_highlight", MakeButtonHighLight()},
                  {"button_highlightselect", MakeButtonHighLight()},
                  {"button_selected", MakeButtonSelected()},
                  {"button_pressed", MakeButtonPressed()},
                  {"button_disable", MakeButtonDisable()},
                  {"radio_off", MakeRadio(false)},
                  {"radio_on", MakeRadio(true)},
                  {"metal_strip", MakeMetalStrip()},
                  {"hand_cursor", MakeHandCursor()},
                  {"window_icon", MakeWindowIcon()}};
  for (const auto& p : pictures) {
    const std::string base = dir + "/" + p.name;
    if (!WriteFile(base + ".bmp", EncodeBmp(p.image)) || !WriteFile(base + ".png", EncodePng(p.image))) {
      std::fprintf(stderr, "generate_assets: cannot write %s\n", base.c_str());
      return 1;
    }
  }
  return 0;
}

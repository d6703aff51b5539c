// Bitmap loading: reads a bitmap file through the path layer and decodes it in
// memory with the same results as the Windows conversion into a 24-bit section.
//
// Decisions where a file asks for more than it holds or than the conversion
// defines:
// - Every offset, size and count is checked against the bytes read; a bitmap that
//   points outside its file is a conversion error, never an over-read.
// - A colour index at or beyond the file's colour table gives black, as the
//   conversion does for indexes past the table it was handed.
// - BI_BITFIELDS (16 and 32 bits only) takes its three masks from the 12 bytes
//   that follow the 40-byte header. Without a file header the pixels follow the
//   masks and any colour table.
// - Bitmaps stored top row first (negative height) come out the right way up with
//   a positive height. Run-length bitmaps must be stored bottom up, as Windows
//   requires; top-down ones are refused.
// - Pictures wider or taller than kDibMaxSide are refused, and uncompressed pixel
//   bits are checked against the file, before the picture is allocated; at most
//   kMaxFileBytes of a file are read.
#include "dib.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>

#include "windows_path.h"

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr size_t kMaskBytes = 12;

// Enough for the largest picture kDibMaxSide allows at 32 bits per pixel, with
// headers, masks and a full 16-bit colour table.
constexpr size_t kMaxFileBytes = size_t{kDibMaxSide} * kDibMaxSide * 4 + (size_t{1} << 20);

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t Read32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

int32_t ReadS32(const uint8_t* p) { return static_cast<int32_t>(Read32(p)); }

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
};

// One channel of a BI_BITFIELDS pixel: the bits under the mask, widened to 8 bits
// by repeating their top bits, or cut to their top 8.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit Channel(uint32_t m) : mask(m) {
    if (mask == 0) return;
    while (!((mask >> shift) & 1)) ++shift;
    int top = 31;
    while (!((mask >> top) & 1)) --top;
    bits = top - shift + 1;
  }

  uint8_t Expand(uint32_t pixel) const {
    if (bits == 0) return 0;
    uint32_t value = (pixel & mask) >> shift;
    if (bits >= 8) return static_cast<uint8_t>(value >> (bits - 8));
    uint32_t out = value << (8 - bits);
    for (int filled = bits; filled < 8; filled += bits) out |= out >> bits;
    return static_cast<uint8_t>(out);
  }
};

// What the bounds checks found: the header and where the colour table, masks and
// pixel bits lie in the buffer.
struct Layout {
  DibHeader header;
  size_t table_offset = 0;
  size_t entry_size = 4;
  int colors = 0;
  uint64_t bits_offset = 0;
  uint32_t width = 0;
  uint32_t rows = 0;  // |height|
  bool top_down = false;
};

bool ValidFormat(const DibHeader& h) {
  if (h.width <= 0 || h.height == 0) return false;
  if (h.compression == kDibRle8 || h.compression == kDibRle4) {
    if (h.height < 0) return false;
    return h.bit_count == (h.compression == kDibRle4 ? 4 : 8);
  }
  if (h.planes == 0) return false;
  switch (h.bit_count) {
    case 1:
    case 4:
    case 8:
    case 24: return h.compression == kDibRgb;
    case 16:
    case 32: return h.compression == kDibRgb || h.compression == kDibBitfields;
    default: return false;
  }
}

DibStatus ReadLayout(const uint8_t* bytes, size_t size, Layout* layout) {
  size_t header_offset = 0;
  bool file_header = size >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
  if (file_header) {
    if (size < kFileHeaderSize) return DibStatus::kConversionError;
    header_offset = kFileHeaderSize;
  }
  if (size - header_offset < 4) return DibStatus::kConversionError;
  DibHeader& h = layout->header;
  const uint8_t* p = bytes + header_offset;
  h.size = Read32(p);
  if (h.size != kInfoHeaderSize && h.size != kCoreHeaderSize) return DibStatus::kUnknownFormat;
  if (size - header_offset < h.size) return DibStatus::kConversionError;

  if (h.size == kInfoHeaderSize) {
    h.width = ReadS32(p + 4);
    h.height = ReadS32(p + 8);
    h.planes = Read16(p + 12);
    h.bit_count = Read16(p + 14);
    h.compression = Read32(p + 16);
    h.image_size = Read32(p + 20);
    h.x_pels_per_meter = ReadS32(p + 24);
    h.y_pels_per_meter = ReadS32(p + 28);
    h.colors_used = Read32(p + 32);
    h.colors_important = Read32(p + 36);
    layout->entry_size = 4;
  } else {
    h.width = Read16(p + 4);
    h.height = Read16(p + 6);
    h.planes = Read16(p + 8);
    h.bit_count = Read16(p + 10);
    layout->entry_size = 3;
  }

  layout->colors = DibColorCount(h);
  layout->table_offset = header_offset + h.size;
  size_t after = layout->table_offset + layout->entry_size * static_cast<size_t>(layout->colors);
  if (h.compression == kDibBitfields) after += kMaskBytes;
  if (after > size) return DibStatus::kConversionError;
  layout->bits_offset = file_header ? Read32(bytes + 10) : after;
  if (layout->bits_offset > size) return DibStatus::kConversionError;

  if (!ValidFormat(h)) return DibStatus::kConversionError;
  layout->width = static_cast<uint32_t>(h.width);
  layout->top_down = h.height < 0;
  int64_t rows = h.height < 0 ? -static_cast<int64_t>(h.height) : h.height;
  if (h.width > kDibMaxSide || rows > kDibMaxSide) return DibStatus::kConversionError;
  layout->rows = static_cast<uint32_t>(rows);
  return DibStatus::kOk;
}

// Row stride and the bytes of each row the pixels occupy, for uncompressed bits.
struct Rows {
  uint64_t stride = 0;
  uint64_t used = 0;
};

Rows UncompressedRows(const Layout& layout) {
  const uint64_t bpp = layout.header.bit_count;
  return Rows{(layout.width * bpp + 31) / 32 * 4, (layout.width * bpp + 7) / 8};
}

// Whether the file holds every uncompressed pixel. Only the bytes the pixels
// occupy are needed; the last row's padding may be missing from the file.
bool UncompressedFits(size_t size, const Layout& layout) {
  const Rows r = UncompressedRows(layout);
  return layout.bits_offset + r.stride * (layout.rows - 1) + r.used <= size;
}

// The colour table as the conversion sees it: entries the file does not hold
// are black. With bitfields the masks sit where the table would start, so the
// table, if any, follows them.
void ReadPalette(const uint8_t* bytes, const Layout& layout, Rgb palette[256]) {
  const DibHeader& h = layout.header;
  if (h.bit_count > 8) return;
  const int used = std::min(layout.colors, 1 << h.bit_count);
  for (int i = 0; i < used; ++i) {
    const uint8_t* e = bytes + layout.table_offset + layout.entry_size * i;
    palette[i] = Rgb{e[2], e[1], e[0]};
  }
}

void Put(uint8_t* out, Rgb c) {
  out[0] = c.r;
  out[1] = c.g;
  out[2] = c.b;
}

// The caller has checked UncompressedFits.
void DecodeUncompressed(const uint8_t* bytes, const Layout& layout, const Rgb palette[256], uint8_t* out) {
  const DibHeader& h = layout.header;
  const uint64_t stride = UncompressedRows(layout).stride;

  Channel red(0x7c00), green(0x03e0), blue(0x001f);
  if (h.bit_count == 32) {
    red = Channel(0xff0000);
    green = Channel(0x00ff00);
    blue = Channel(0x0000ff);
  }
  if (h.compression == kDibBitfields) {
    const uint8_t* m = bytes + layout.table_offset;
    red = Channel(Read32(m));
    green = Channel(Read32(m + 4));
    blue = Channel(Read32(m + 8));
  }

  for (uint32_t row = 0; row < layout.rows; ++row) {
    const uint8_t* src = bytes + layout.bits_offset + stride * row;
    uint32_t out_row = layout.top_down ? layout.rows - 1 - row : row;
    uint8_t* dst = out + static_cast<size_t>(out_row) * layout.width * 3;
    for (uint32_t x = 0; x < layout.width; ++x, dst += 3) {
      switch (h.bit_count) {
        case 1: Put(dst, palette[(src[x >> 3] >> (7 - (x & 7))) & 1]); break;
        case 4: Put(dst, palette[(x & 1) ? src[x >> 1] & 0x0f : src[x >> 1] >> 4]); break;
        case 8: Put(dst, palette[src[x]]); break;
        case 24: Put(dst, Rgb{src[3 * x + 2], src[3 * x + 1], src[3 * x]}); break;
        case 16: {
          uint32_t v = Read16(src + 2 * x);
          Put(dst, Rgb{red.Expand(v), green.Expand(v), blue.Expand(v)});
          break;
        }
        case 32: {
          uint32_t v = Read32(src + 4 * x);
          Put(dst, Rgb{red.Expand(v), green.Expand(v), blue.Expand(v)});
          break;
        }
      }
    }
  }
}

// Run-length bitmaps, bottom row first. The stream ends at the end-of-bitmap
// escape, above the top row, or at the header's image size; running out of file
// before any of these is a truncated bitmap. Runs are clipped at the right edge,
// a delta never moves past it, and pixels no run writes stay black. A stream
// that the image size ends without an end-of-bitmap keeps everything decoded
// (GDI as Wine has it loses the pixels drawn since the last escape there).
DibStatus DecodeRunLength(const uint8_t* bytes, size_t size, const Layout& layout, const Rgb palette[256],
                          uint8_t* out) {
  const DibHeader& h = layout.header;
  const bool rle4 = h.compression == kDibRle4;
  const uint64_t width = layout.width;
  const uint64_t rows = layout.rows;
  uint64_t image_size = h.image_size;
  if (image_size == 0) image_size = (h.bit_count * width + 7) / 8 * rows;
  const uint64_t start = layout.bits_offset;
  const uint64_t stream_end = start + image_size;  // the header's limit
  const uint64_t file_end = size;

  // Whether [pos, pos + n) may be read. The header's limit ends the stream
  // quietly; the file's end before it is a truncated bitmap.
  enum class Room { kYes, kStreamEnd, kFileEnd };
  auto room = [&](uint64_t pos, uint64_t n) {
    if (pos + n > stream_end) return Room::kStreamEnd;
    if (pos + n > file_end) return Room::kFileEnd;
    return Room::kYes;
  };

  uint64_t pos = start;
  uint64_t x = 0;
  uint64_t y = 0;
  auto pixel = [&](uint64_t px, uint64_t py) { return out + (py * width + px) * 3; };

  for (;;) {
    Room r = room(pos, 2);
    if (r == Room::kFileEnd) return DibStatus::kConversionError;
    if (r == Room::kStreamEnd) break;
    const uint8_t count = bytes[pos];
    const uint8_t data = bytes[pos + 1];
    pos += 2;
    if (count != 0) {
      uint64_t n = std::min<uint64_t>(count, width - x);
      for (uint64_t i = 0; i < n; ++i) {
        uint8_t index = rle4 ? ((i & 1) ? data & 0x0f : data >> 4) : data;
        Put(pixel(x + i, y), palette[index]);
      }
      x += n;
      continue;
    }
    if (data == 0) {  // end of line
      x = 0;
      if (++y >= rows) break;
    } else if (data == 1) {  // end of bitmap
      break;
    } else if (data == 2) {  // delta
      r = room(pos, 2);
      if (r == Room::kFileEnd) return DibStatus::kConversionError;
      if (r == Room::kStreamEnd) break;
      x = std::min<uint64_t>(x + bytes[pos], width);
      y += bytes[pos + 1];
      pos += 2;
      if (y >= rows) break;
    } else {  // a literal run of `data` pixels, padded to a 16-bit boundary
      const uint64_t n = data;
      const uint64_t length = rle4 ? (n + 1) / 2 : n;
      r = room(pos, length);
      if (r == Room::kFileEnd) return DibStatus::kConversionError;
      if (r == Room::kStreamEnd) break;
      const uint64_t written = std::min<uint64_t>(n, width - x);
      for (uint64_t i = 0; i < written; ++i) {
        uint8_t index =
            rle4 ? ((i & 1) ? bytes[pos + i / 2] & 0x0f : bytes[pos + i / 2] >> 4) : bytes[pos + i];
        Put(pixel(x + i, y), palette[index]);
      }
      x += written;
      pos += (length + 1) & ~uint64_t{1};
    }
  }
  return DibStatus::kOk;
}

}  // namespace

int DibColorCount(const DibHeader& header) {
  if (header.size == kInfoHeaderSize && header.colors_used != 0)
    return static_cast<int>(header.colors_used & 0xffff);
  switch (header.bit_count) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

DibStatus DecodeDib(const uint8_t* bytes, size_t size, RgbImage* image) {
  if (!bytes) size = 0;
  Layout layout;
  DibStatus status = ReadLayout(bytes, size, &layout);
  if (status != DibStatus::kOk) return status;

  const uint32_t compression = layout.header.compression;
  const bool run_length = compression == kDibRle8 || compression == kDibRle4;
  if (!run_length && !UncompressedFits(size, layout)) return DibStatus::kConversionError;

  Rgb palette[256];
  ReadPalette(bytes, layout, palette);

  std::vector<uint8_t> pixels;
  try {
    pixels.assign(static_cast<size_t>(layout.width) * layout.rows * 3, 0);
  } catch (const std::bad_alloc&) {
    return DibStatus::kOutOfMemory;
  }
  if (run_length) {
    status = DecodeRunLength(bytes, size, layout, palette, pixels.data());
    if (status != DibStatus::kOk) return status;
  } else {
    DecodeUncompressed(bytes, layout, palette, pixels.data());
  }

  image->width = static_cast<int32_t>(layout.width);
  image->height = static_cast<int32_t>(layout.rows);
  image->data = std::move(pixels);
  return DibStatus::kOk;
}

const char* DibStatusMessage(DibStatus status) {
  switch (status) {
    case DibStatus::kOk: return nullptr;
    case DibStatus::kUnknownFormat: return "Unknown DIB file format.";
    case DibStatus::kOutOfMemory: return "Out of memory.";
    case DibStatus::kConversionError: break;
  }
  return "Image file conversion error.";
}

namespace {

enum class ReadResult { kOk, kOpenFailed, kOutOfMemory };

// Reads at most kMaxFileBytes of the file. A file that cannot be opened or read,
// and an empty one, fail like a file Windows cannot map.
ReadResult ReadFileBytes(const std::string& path, std::vector<uint8_t>* bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return ReadResult::kOpenFailed;
  ReadResult result = ReadResult::kOk;
  try {
    size_t chunk = size_t{64} << 10;
    while (bytes->size() < kMaxFileBytes) {
      size_t old_size = bytes->size();
      size_t want = std::min(chunk, kMaxFileBytes - old_size);
      bytes->resize(old_size + want);
      size_t got = std::fread(bytes->data() + old_size, 1, want, file);
      bytes->resize(old_size + got);
      if (got < want) break;
      chunk = std::min(chunk * 2, size_t{16} << 20);
    }
    if (std::ferror(file) || bytes->empty()) result = ReadResult::kOpenFailed;
  } catch (const std::bad_alloc&) {
    result = ReadResult::kOutOfMemory;
  }
  std::fclose(file);
  return result;
}

}  // namespace

std::unique_ptr<RgbImage> LoadDibImage(const char* path, const std::function<void(const char*)>& show_error) {
  const char* shown = path ? path : "";
  std::vector<uint8_t> bytes;
  ReadResult read = ReadFileBytes(NativePath(shown), &bytes);
  if (read == ReadResult::kOpenFailed) {
    std::string text = std::string("Failed to open DIB file ") + shown + ".\n";
    show_error(text.c_str());
    return nullptr;
  }
  if (read == ReadResult::kOutOfMemory) {
    show_error(DibStatusMessage(DibStatus::kOutOfMemory));
    return nullptr;
  }

  std::unique_ptr<RgbImage> image(new (std::nothrow) RgbImage);
  if (!image) {
    show_error(DibStatusMessage(DibStatus::kOutOfMemory));
    return nullptr;
  }
  DibStatus status = DecodeDib(bytes.data(), bytes.size(), image.get());
  if (status != DibStatus::kOk) {
    show_error(DibStatusMessage(status));
    return nullptr;
  }
  return image;
}

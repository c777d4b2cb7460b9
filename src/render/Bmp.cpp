#include "render/Bmp.h"

#include <array>
#include <bit>

namespace gravik {

namespace {

constexpr uint32_t kBiRgb = 0, kBiBitfields = 3, kBiAlphaBitfields = 6;

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }

bool Fail(std::string* error, const char* why) {
  if (error) *error = why;
  return false;
}

// One colour channel described by a bit mask: extracted and widened to 8 bits.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;  // largest value after shifting

  explicit Channel(uint32_t m) : mask(m) {
    if (!m) return;
    shift = std::countr_zero(m);
    max = m >> shift;
  }
  uint32_t Get8(uint32_t px) const {
    if (!max) return 0;
    const uint32_t v = (px & mask) >> shift;
    return uint32_t(uint64_t(v) * 255 / max);
  }
};

struct Masks {
  uint32_t r, g, b;
  bool Is565() const { return r == 0xF800 && g == 0x07E0 && b == 0x001F; }
};

void PutLE16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  v[at] = uint8_t(x);
  v[at + 1] = uint8_t(x >> 8);
}
void PutLE32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + size_t(i)] = uint8_t(x >> (8 * i));
}

// File header and BITMAPINFOHEADER; returns the buffer sized for the whole file.
std::vector<uint8_t> StartFile(int w, int h, int bpp, uint32_t compression, size_t extra,
                               size_t stride) {
  const size_t offBits = 14 + 40 + extra;
  const size_t imageSize = stride * size_t(h);
  std::vector<uint8_t> f(offBits + imageSize, 0);
  f[0] = 'B';
  f[1] = 'M';
  PutLE32(f, 2, uint32_t(f.size()));
  PutLE32(f, 10, uint32_t(offBits));
  PutLE32(f, 14, 40);
  PutLE32(f, 18, uint32_t(w));
  PutLE32(f, 22, uint32_t(h));
  PutLE16(f, 26, 1);
  PutLE16(f, 28, uint32_t(bpp));
  PutLE32(f, 30, compression);
  PutLE32(f, 34, uint32_t(imageSize));
  PutLE32(f, 38, 2835);  // 72 dpi
  PutLE32(f, 42, 2835);
  return f;
}

}  // namespace

bool LoadBmp(const uint8_t* data, size_t size, Bitmap& out, std::string* error) {
  if (!data || size < 14 + 12) return Fail(error, "BMP: file too short");
  if (data[0] != 'B' || data[1] != 'M') return Fail(error, "BMP: not a bitmap file");
  const uint64_t offBits = U32(data + 10);
  const uint64_t hdrSize = U32(data + 14);

  int64_t width = 0, height = 0;
  int bpp = 0;
  uint32_t compression = kBiRgb, clrUsed = 0;
  size_t palEntrySize = 4;
  uint64_t afterHeader = 14 + hdrSize;  // where masks or palette start
  Masks masks{};
  if (hdrSize == 12) {  // OS/2 core header
    width = U16(data + 18);
    height = U16(data + 20);
    bpp = U16(data + 24);
    palEntrySize = 3;
  } else if (hdrSize >= 40 && hdrSize <= 1024) {
    if (14 + hdrSize > size) return Fail(error, "BMP: header truncated");
    width = int32_t(U32(data + 18));
    height = int32_t(U32(data + 22));
    bpp = U16(data + 28);
    compression = U32(data + 30);
    clrUsed = U32(data + 46);
    if (compression == kBiBitfields || compression == kBiAlphaBitfields) {
      const uint64_t maskAt = hdrSize >= 52 ? 14 + 40 : afterHeader;
      if (maskAt + 12 > size) return Fail(error, "BMP: colour masks truncated");
      masks = {U32(data + maskAt), U32(data + maskAt + 4), U32(data + maskAt + 8)};
      if (hdrSize < 52) afterHeader += compression == kBiAlphaBitfields ? 16 : 12;
    }
  } else {
    return Fail(error, "BMP: unsupported header");
  }

  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width > kMaxBmpSide || height > kMaxBmpSide)
    return Fail(error, "BMP: bad dimensions");

  const bool palettised = bpp == 1 || bpp == 4 || bpp == 8;
  if (!palettised && bpp != 16 && bpp != 24 && bpp != 32) return Fail(error, "BMP: unsupported bit depth");
  if (compression == kBiBitfields || compression == kBiAlphaBitfields) {
    if (bpp != 16 && bpp != 32) return Fail(error, "BMP: bit masks need 16 or 32 bits");
  } else if (compression != kBiRgb) {
    return Fail(error, "BMP: unsupported compression");
  } else if (bpp == 16) {
    masks = {0x7C00, 0x03E0, 0x001F};
  } else if (bpp == 32) {
    masks = {0xFF0000, 0x00FF00, 0x0000FF};
  }

  std::array<uint16_t, 256> palette{};  // indices past the palette read black
  if (palettised) {
    uint64_t entries = uint64_t(1) << bpp;
    if (clrUsed != 0 && clrUsed < entries) entries = clrUsed;
    if (afterHeader + entries * palEntrySize > size) return Fail(error, "BMP: palette truncated");
    for (uint64_t i = 0; i < entries; ++i) {
      const uint8_t* q = data + afterHeader + i * palEntrySize;
      palette[i] = Rgb565(q[2], q[1], q[0]);
    }
  }

  const uint64_t stride = (uint64_t(width) * uint64_t(bpp) + 31) / 32 * 4;
  if (offBits < 14 + 12 || offBits > size || stride * uint64_t(height) > size - offBits)
    return Fail(error, "BMP: pixel data truncated");

  Bitmap bmp{int(width), int(height)};
  const Channel cr(masks.r), cg(masks.g), cb(masks.b);
  const bool direct565 = bpp == 16 && masks.Is565();
  const int w = int(width);
  for (int y = 0; y < int(height); ++y) {
    const uint8_t* src = data + offBits + stride * uint64_t(y);
    uint16_t* dst = bmp.Row(topDown ? y : int(height) - 1 - y);
    switch (bpp) {
      case 1:
        for (int x = 0; x < w; ++x) dst[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
        break;
      case 4:
        for (int x = 0; x < w; ++x) dst[x] = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
        break;
      case 8:
        for (int x = 0; x < w; ++x) dst[x] = palette[src[x]];
        break;
      case 16:
        for (int x = 0; x < w; ++x) {
          const uint32_t px = U16(src + 2 * x);
          dst[x] = direct565 ? uint16_t(px)
                             : Rgb565(uint8_t(cr.Get8(px)), uint8_t(cg.Get8(px)), uint8_t(cb.Get8(px)));
        }
        break;
      case 24:
        for (int x = 0; x < w; ++x) dst[x] = Rgb565(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
        break;
      case 32:
        for (int x = 0; x < w; ++x) {
          const uint32_t px = U32(src + 4 * x);
          dst[x] = Rgb565(uint8_t(cr.Get8(px)), uint8_t(cg.Get8(px)), uint8_t(cb.Get8(px)));
        }
        break;
    }
  }
  out = std::move(bmp);
  return true;
}

std::vector<uint8_t> SaveBmp16(const Bitmap& bmp) {
  if (bmp.Empty()) return {};
  const int w = bmp.Width(), h = bmp.Height();
  const size_t stride = (size_t(w) * 2 + 3) & ~size_t(3);
  std::vector<uint8_t> f = StartFile(w, h, 16, kBiBitfields, 12, stride);
  PutLE32(f, 54, 0xF800);
  PutLE32(f, 58, 0x07E0);
  PutLE32(f, 62, 0x001F);
  for (int y = 0; y < h; ++y) {
    const uint16_t* src = bmp.Row(h - 1 - y);
    const size_t at = 66 + stride * size_t(y);
    for (int x = 0; x < w; ++x) PutLE16(f, at + 2 * size_t(x), src[x]);
  }
  return f;
}

std::vector<uint8_t> SaveBmp24(const Bitmap& bmp) {
  if (bmp.Empty()) return {};
  const int w = bmp.Width(), h = bmp.Height();
  const size_t stride = (size_t(w) * 3 + 3) & ~size_t(3);
  std::vector<uint8_t> f = StartFile(w, h, 24, kBiRgb, 0, stride);
  for (int y = 0; y < h; ++y) {
    const uint16_t* src = bmp.Row(h - 1 - y);
    uint8_t* row = f.data() + 54 + stride * size_t(y);
    for (int x = 0; x < w; ++x) {
      const TColor c = FromRgb565(src[x]);
      row[3 * x] = uint8_t(c >> 16);
      row[3 * x + 1] = uint8_t(c >> 8);
      row[3 * x + 2] = uint8_t(c);
    }
  }
  return f;
}

}  // namespace gravik

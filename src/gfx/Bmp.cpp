#include "gfx/Bmp.h"

#include <array>
#include <bit>

#include "base/Bytes.h"

namespace gravik {

namespace {

constexpr uint32_t kBiRgb = 0, kBiBitfields = 3, kBiAlphaBitfields = 6;

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

// File header and BITMAPINFOHEADER; returns the buffer sized for the whole file.
std::vector<uint8_t> StartFile(int w, int h, int bpp, uint32_t compression, size_t extra,
                               size_t stride) {
  const size_t offBits = 14 + 40 + extra;
  const size_t imageSize = stride * size_t(h);
  std::vector<uint8_t> f(offBits + imageSize, 0);
  f[0] = 'B';
  f[1] = 'M';
  PutU32(&f[2], uint32_t(f.size()));
  PutU32(&f[10], uint32_t(offBits));
  PutU32(&f[14], 40);
  PutU32(&f[18], uint32_t(w));
  PutU32(&f[22], uint32_t(h));
  PutU16(&f[26], 1);
  PutU16(&f[28], uint16_t(bpp));
  PutU32(&f[30], compression);
  PutU32(&f[34], uint32_t(imageSize));
  PutU32(&f[38], 2835);  // 72 dpi
  PutU32(&f[42], 2835);
  return f;
}

}  // namespace

size_t BmpImageLength(const uint8_t* data, size_t size) {
  if (!data || size < kBmpMinFileSize || data[0] != 'B' || data[1] != 'M') return 0;
  const uint32_t length = GetU32(data + 2);
  return length >= kBmpMinFileSize && length <= size ? length : 0;
}

bool ReadBmpHeader(const uint8_t* data, size_t size, BmpInfo& out, std::string* error) {
  if (!data || size < kBmpMinFileSize) return Fail(error, "BMP: file too short");
  if (data[0] != 'B' || data[1] != 'M') return Fail(error, "BMP: not a bitmap file");
  BmpInfo info;
  info.FileSize = GetU32(data + 2);
  info.OffBits = GetU32(data + 10);
  info.HeaderSize = GetU32(data + 14);
  // 64-bit sums: no field can make them wrap.
  const uint64_t hdrSize = info.HeaderSize;
  uint64_t afterHeader = 14 + hdrSize;  // where masks or palette start
  int64_t width = 0, height = 0;
  uint32_t clrUsed = 0;
  if (hdrSize == 12) {  // OS/2 core header
    width = GetU16(data + 18);
    height = GetU16(data + 20);
    info.BitsPerPixel = GetU16(data + 24);
    info.PaletteEntrySize = 3;
  } else if (hdrSize >= 40 && hdrSize <= 1024) {
    if (afterHeader > size) return Fail(error, "BMP: header truncated");
    width = int32_t(GetU32(data + 18));
    height = int32_t(GetU32(data + 22));
    info.BitsPerPixel = GetU16(data + 28);
    info.Compression = GetU32(data + 30);
    clrUsed = GetU32(data + 46);
    if (info.Compression == kBiBitfields || info.Compression == kBiAlphaBitfields) {
      const uint64_t maskAt = hdrSize >= 52 ? 14 + 40 : afterHeader;
      if (maskAt + 12 > size) return Fail(error, "BMP: colour masks truncated");
      info.RedMask = GetU32(data + maskAt);
      info.GreenMask = GetU32(data + maskAt + 4);
      info.BlueMask = GetU32(data + maskAt + 8);
      if (hdrSize < 52) afterHeader += info.Compression == kBiAlphaBitfields ? 16 : 12;
    }
  } else {
    return Fail(error, "BMP: unsupported header");
  }

  info.TopDown = height < 0;
  if (info.TopDown) height = -height;
  if (width <= 0 || height <= 0 || width > kMaxBmpSide || height > kMaxBmpSide)
    return Fail(error, "BMP: bad dimensions");
  info.Width = int32_t(width);
  info.Height = int32_t(height);

  const int bpp = info.BitsPerPixel;
  const bool palettised = bpp == 1 || bpp == 4 || bpp == 8;
  if (!palettised && bpp != 16 && bpp != 24 && bpp != 32) return Fail(error, "BMP: unsupported bit depth");
  if (info.Compression == kBiBitfields || info.Compression == kBiAlphaBitfields) {
    if (bpp != 16 && bpp != 32) return Fail(error, "BMP: bit masks need 16 or 32 bits");
  } else if (info.Compression != kBiRgb) {
    return Fail(error, "BMP: unsupported compression");
  } else if (bpp == 16) {
    info.RedMask = 0x7C00, info.GreenMask = 0x03E0, info.BlueMask = 0x001F;
  } else if (bpp == 32) {
    info.RedMask = 0xFF0000, info.GreenMask = 0x00FF00, info.BlueMask = 0x0000FF;
  }

  if (palettised) {
    uint64_t entries = uint64_t(1) << bpp;
    if (clrUsed != 0 && clrUsed < entries) entries = clrUsed;
    if (afterHeader + entries * info.PaletteEntrySize > size) return Fail(error, "BMP: palette truncated");
    info.PaletteAt = size_t(afterHeader);
    info.PaletteEntries = size_t(entries);
  }

  // Pixel rows start past the headers and all of them lie inside the data.
  const uint64_t stride = (uint64_t(width) * uint64_t(bpp) + 31) / 32 * 4;
  if (info.OffBits < 14 + hdrSize || info.OffBits > size || stride * uint64_t(height) > size - info.OffBits)
    return Fail(error, "BMP: pixel data truncated");
  info.Stride = size_t(stride);
  out = info;
  return true;
}

bool LoadBmp(const uint8_t* data, size_t size, Bitmap& out, std::string* error) {
  BmpInfo info;
  if (!ReadBmpHeader(data, size, info, error)) return false;
  const int bpp = info.BitsPerPixel;
  std::array<uint16_t, 256> palette{};  // indices past the palette read black
  for (size_t i = 0; i < info.PaletteEntries; ++i) {
    const uint8_t* q = data + info.PaletteAt + i * info.PaletteEntrySize;
    palette[i] = Rgb565(q[2], q[1], q[0]);
  }
  const Masks masks{info.RedMask, info.GreenMask, info.BlueMask};
  const bool topDown = info.TopDown;
  const size_t offBits = info.OffBits, stride = info.Stride;
  const int width = info.Width, height = info.Height;

  Bitmap bmp{width, height};
  const Channel cr(masks.r), cg(masks.g), cb(masks.b);
  const bool direct565 = bpp == 16 && masks.Is565();
  const int w = width;
  for (int y = 0; y < height; ++y) {
    const uint8_t* src = data + offBits + stride * size_t(y);
    uint16_t* dst = bmp.Row(topDown ? y : height - 1 - y);
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
          const uint32_t px = GetU16(src + 2 * x);
          dst[x] = direct565 ? uint16_t(px)
                             : Rgb565(uint8_t(cr.Get8(px)), uint8_t(cg.Get8(px)), uint8_t(cb.Get8(px)));
        }
        break;
      case 24:
        for (int x = 0; x < w; ++x) dst[x] = Rgb565(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
        break;
      case 32:
        for (int x = 0; x < w; ++x) {
          const uint32_t px = GetU32(src + 4 * x);
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
  PutU32(&f[54], 0xF800);
  PutU32(&f[58], 0x07E0);
  PutU32(&f[62], 0x001F);
  for (int y = 0; y < h; ++y) {
    const uint16_t* src = bmp.Row(h - 1 - y);
    const size_t at = 66 + stride * size_t(y);
    for (int x = 0; x < w; ++x) PutU16(&f[at + 2 * size_t(x)], src[x]);
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

#include <gtest/gtest.h>

#include <random>

#include "base/Bytes.h"
#include "gfx/Bmp.h"

namespace gravik {
namespace {

// A hand-made BMP: rows are given in file order, unpadded; the builder pads
// them to four bytes. Palette entries and masks are written as given.
struct BmpSpec {
  int32_t width = 0, height = 0;
  int bpp = 24;
  uint32_t compression = 0;
  uint32_t clrUsed = 0;
  std::vector<uint32_t> palette;  // 0x00RRGGBB
  std::vector<uint32_t> masks;    // r, g, b (after a 40-byte header)
  bool core = false;              // 12-byte OS/2 header
  std::vector<std::vector<uint8_t>> rows;
};

std::vector<uint8_t> Build(const BmpSpec& s) {
  const size_t hdr = s.core ? 12 : 40;
  const size_t palEntry = s.core ? 3 : 4;
  const size_t off = 14 + hdr + s.masks.size() * 4 + s.palette.size() * palEntry;
  const size_t stride = (size_t(s.width) * size_t(s.bpp) + 31) / 32 * 4;
  std::vector<uint8_t> f(off + stride * s.rows.size(), 0);
  f[0] = 'B';
  f[1] = 'M';
  PutU32(&f[2], uint32_t(f.size()));
  PutU32(&f[10], uint32_t(off));
  PutU32(&f[14], uint32_t(hdr));
  if (s.core) {
    PutU16(&f[18], uint16_t(s.width));
    PutU16(&f[20], uint16_t(s.height));
    PutU16(&f[22], 1);
    PutU16(&f[24], uint16_t(s.bpp));
  } else {
    PutU32(&f[18], uint32_t(s.width));
    PutU32(&f[22], uint32_t(s.height));
    PutU16(&f[26], 1);
    PutU16(&f[28], uint16_t(s.bpp));
    PutU32(&f[30], s.compression);
    PutU32(&f[46], s.clrUsed);
  }
  size_t at = 14 + hdr;
  for (uint32_t m : s.masks) PutU32(&f[at], m), at += 4;
  for (uint32_t c : s.palette) {
    f[at] = uint8_t(c);
    f[at + 1] = uint8_t(c >> 8);
    f[at + 2] = uint8_t(c >> 16);
    at += palEntry;
  }
  for (size_t r = 0; r < s.rows.size(); ++r)
    std::copy(s.rows[r].begin(), s.rows[r].end(), f.begin() + ptrdiff_t(off + r * stride));
  return f;
}

Bitmap MustLoad(const std::vector<uint8_t>& file) {
  Bitmap b;
  std::string err;
  EXPECT_TRUE(LoadBmp(file, b, &err)) << err;
  return b;
}

constexpr uint16_t kRed = Rgb565(255, 0, 0), kGreen = Rgb565(0, 255, 0), kBlue = Rgb565(0, 0, 255);
constexpr uint16_t kWhite = Rgb565(255, 255, 255);

TEST(Bmp, TwentyFourBitBottomUpAndTopDownWithPadding) {
  BmpSpec s;
  s.width = 3;  // 9 bytes a row, padded to 12
  s.height = 2;
  s.rows = {{0, 0, 255, 0, 255, 0, 255, 0, 0}, {255, 255, 255, 0, 0, 0, 10, 20, 30}};
  Bitmap up = MustLoad(Build(s));
  ASSERT_EQ(up.Width(), 3);
  ASSERT_EQ(up.Height(), 2);
  // Bottom-up: the first file row is the bottom picture row.
  EXPECT_EQ(up.Pixel(0, 1), kRed);
  EXPECT_EQ(up.Pixel(1, 1), kGreen);
  EXPECT_EQ(up.Pixel(2, 1), kBlue);
  EXPECT_EQ(up.Pixel(0, 0), kWhite);
  EXPECT_EQ(up.Pixel(2, 0), Rgb565(30, 20, 10));

  s.height = -2;
  Bitmap down = MustLoad(Build(s));
  EXPECT_EQ(down.Pixel(0, 0), kRed);
  EXPECT_EQ(down.Pixel(0, 1), kWhite);
}

TEST(Bmp, PalettisedDepths) {
  BmpSpec one;
  one.width = 10;
  one.height = -1;
  one.bpp = 1;
  one.palette = {0x000000, 0xFF0000};
  one.rows = {{0b10100000, 0b01000000}};
  Bitmap b1 = MustLoad(Build(one));
  EXPECT_EQ(b1.Pixel(0, 0), kRed);
  EXPECT_EQ(b1.Pixel(1, 0), 0);
  EXPECT_EQ(b1.Pixel(2, 0), kRed);
  EXPECT_EQ(b1.Pixel(9, 0), kRed);
  EXPECT_EQ(b1.Pixel(8, 0), 0);

  BmpSpec four;
  four.width = 3;
  four.height = -1;
  four.bpp = 4;
  four.clrUsed = 3;
  four.palette = {0x000000, 0x00FF00, 0x0000FF};
  four.rows = {{0x12, 0x90}};  // index 9 is past the 3-colour palette: black
  Bitmap b4 = MustLoad(Build(four));
  EXPECT_EQ(b4.Pixel(0, 0), kGreen);
  EXPECT_EQ(b4.Pixel(1, 0), kBlue);
  EXPECT_EQ(b4.Pixel(2, 0), 0);

  BmpSpec eight;
  eight.width = 2;
  eight.height = 1;
  eight.bpp = 8;
  eight.palette.assign(256, 0);
  eight.palette[200] = 0xFFFFFF;
  eight.rows = {{200, 255}};
  Bitmap b8 = MustLoad(Build(eight));
  EXPECT_EQ(b8.Pixel(0, 0), kWhite);
  EXPECT_EQ(b8.Pixel(1, 0), 0);

  BmpSpec core;
  core.core = true;
  core.width = 2;
  core.height = 1;
  core.bpp = 8;
  core.palette.assign(256, 0);
  core.palette[1] = 0x0000FF;
  core.rows = {{1, 0}};
  Bitmap bc = MustLoad(Build(core));
  EXPECT_EQ(bc.Pixel(0, 0), kBlue);
}

TEST(Bmp, SixteenAndThirtyTwoBitMasks) {
  BmpSpec s555;  // BI_RGB 16-bit is 555
  s555.width = 2;
  s555.height = 1;
  s555.bpp = 16;
  s555.rows = {{0x00, 0x7C, 0xFF, 0x7F}};
  Bitmap a = MustLoad(Build(s555));
  EXPECT_EQ(a.Pixel(0, 0), kRed);
  EXPECT_EQ(a.Pixel(1, 0), kWhite);

  BmpSpec s565 = s555;
  s565.compression = 3;
  s565.masks = {0xF800, 0x07E0, 0x001F};
  s565.rows = {{0x34, 0x12, 0xE0, 0x07}};
  Bitmap b = MustLoad(Build(s565));
  EXPECT_EQ(b.Pixel(0, 0), 0x1234);  // copied unchanged
  EXPECT_EQ(b.Pixel(1, 0), kGreen);

  BmpSpec s32;
  s32.width = 1;
  s32.height = 1;
  s32.bpp = 32;
  s32.rows = {{0x00, 0x00, 0xFF, 0x80}};  // B G R X
  EXPECT_EQ(MustLoad(Build(s32)).Pixel(0, 0), kRed);

  BmpSpec s32f = s32;
  s32f.compression = 3;
  s32f.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};  // R in the low byte
  EXPECT_EQ(MustLoad(Build(s32f)).Pixel(0, 0), kBlue);
}

TEST(Bmp, SavedFilesLoadBackUnchanged) {
  Bitmap pic(5, 3);  // odd width: rows need padding in both layouts
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) pic.SetPixel(x, y, uint16_t(x * 7919 + y * 104729));
  const std::vector<uint8_t> f16 = SaveBmp16(pic);
  EXPECT_EQ(f16.size(), 66u + 12u * 3u);
  EXPECT_EQ(MustLoad(f16), pic);
  EXPECT_EQ(MustLoad(SaveBmp24(pic)), pic);
  EXPECT_TRUE(SaveBmp16(Bitmap()).empty());
}

TEST(Bmp, DamagedHeadersAreRefused) {
  BmpSpec s;
  s.width = 2;
  s.height = 2;
  s.bpp = 8;
  s.palette.assign(4, 0xFFFFFF);
  s.clrUsed = 4;
  s.rows = {{0, 1}, {2, 3}};
  const std::vector<uint8_t> good = Build(s);
  ASSERT_TRUE(MustLoad(good).Width() == 2);

  auto refused = [](std::vector<uint8_t> f) {
    Bitmap out(1, 1, 0x5555);
    std::string err;
    const bool ok = LoadBmp(f, out, &err);
    EXPECT_FALSE(err.empty() && !ok);
    EXPECT_EQ(out, Bitmap(1, 1, 0x5555)) << "output changed on failure";
    return !ok;
  };
  auto with32 = [&](size_t at, uint32_t v) { auto f = good; PutU32(&f[at], v); return f; };
  auto with16 = [&](size_t at, uint32_t v) { auto f = good; PutU16(&f[at], uint16_t(v)); return f; };

  EXPECT_TRUE(refused(with16(0, 0x4142)));             // signature
  EXPECT_TRUE(refused(with32(10, uint32_t(good.size()))));  // pixels start at the end
  EXPECT_TRUE(refused(with32(10, 0xFFFFFFFF)));         // offset far past the end
  EXPECT_TRUE(refused(with32(14, 0xFFFFFFF0)));         // header size
  EXPECT_TRUE(refused(with32(14, 20)));                 // unknown header size
  EXPECT_TRUE(refused(with32(18, 0)));                  // width 0
  EXPECT_TRUE(refused(with32(18, uint32_t(-2))));       // negative width
  EXPECT_TRUE(refused(with32(22, 0)));                  // height 0
  EXPECT_TRUE(refused(with32(22, 0x80000000u)));        // most negative height
  EXPECT_TRUE(refused(with32(18, kMaxBmpSide + 1)));
  EXPECT_TRUE(refused(with16(28, 2)));                  // bit depth
  EXPECT_TRUE(refused(with16(28, 0)));
  EXPECT_TRUE(refused(with32(30, 1)));                  // RLE8
  EXPECT_TRUE(refused(with32(30, 3)));                  // masks on a palettised picture
  EXPECT_TRUE(refused(with32(46, 0xFFFFFFFF)));         // capped at 256 colours, 4 present
  EXPECT_TRUE(refused(with32(46, 0)));                  // 256 colours expected, 4 present
  EXPECT_TRUE(refused(std::vector<uint8_t>(good.begin(), good.begin() + 20)));
  EXPECT_TRUE(refused({}));

  Bitmap out;
  EXPECT_FALSE(LoadBmp(nullptr, 100, out));
}

// The one header reader: what it reports, the image length used to cut images
// out of a larger block, and pixel rows that would overlap the headers.
TEST(Bmp, HeaderReaderAndImageLength) {
  BmpSpec s;
  s.width = 5;
  s.height = -3;
  s.bpp = 4;
  s.clrUsed = 2;
  s.palette = {0x000000, 0xFFFFFF};
  s.rows.assign(3, std::vector<uint8_t>(3, 0x01));
  std::vector<uint8_t> f = Build(s);
  BmpInfo info;
  ASSERT_TRUE(ReadBmpHeader(f.data(), f.size(), info));
  EXPECT_EQ(info.Width, 5);
  EXPECT_EQ(info.Height, 3);
  EXPECT_TRUE(info.TopDown);
  EXPECT_EQ(info.Stride, 4u);
  EXPECT_EQ(info.PaletteAt, 54u);
  EXPECT_EQ(info.PaletteEntries, 2u);
  EXPECT_EQ(info.OffBits, 62u);
  EXPECT_EQ(info.FileSize, f.size());

  // The length field: the image itself, or nothing when it does not fit.
  std::vector<uint8_t> two = f;
  two.insert(two.end(), f.begin(), f.end());
  EXPECT_EQ(BmpImageLength(two.data(), two.size()), f.size());
  EXPECT_EQ(BmpImageLength(f.data(), f.size() - 1), 0u);
  EXPECT_EQ(BmpImageLength(f.data(), 25), 0u);
  std::vector<uint8_t> tiny = f;
  PutU32(&tiny[2], 25);
  EXPECT_EQ(BmpImageLength(tiny.data(), tiny.size()), 0u);
  EXPECT_EQ(BmpImageLength(nullptr, 100), 0u);

  // Pixel rows may not start inside the headers.
  PutU32(&f[10], 14 + 40 - 1);
  std::string why;
  const BmpInfo before = info;
  EXPECT_FALSE(ReadBmpHeader(f.data(), f.size(), info, &why));
  EXPECT_EQ(why, "BMP: pixel data truncated");
  EXPECT_EQ(info.OffBits, before.OffBits) << "info changed on failure";
}

TEST(Bmp, EveryTruncationIsRefused) {
  for (int bpp : {1, 4, 8, 16, 24, 32}) {
    BmpSpec s;
    s.width = 3;
    s.height = 2;
    s.bpp = bpp;
    if (bpp <= 8) s.palette.assign(size_t(1) << bpp, 0x123456);
    s.rows.assign(2, std::vector<uint8_t>((3 * size_t(bpp) + 7) / 8, 0x11));
    const std::vector<uint8_t> good = Build(s);
    Bitmap out;
    ASSERT_TRUE(LoadBmp(good, out)) << bpp;
    for (size_t n = 0; n < good.size(); ++n) {
      // A fresh copy of exactly n bytes, so a read past it is caught by the sanitizers.
      const std::vector<uint8_t> cut(good.begin(), good.begin() + ptrdiff_t(n));
      EXPECT_FALSE(LoadBmp(cut.data(), cut.size(), out)) << "bpp " << bpp << " length " << n;
    }
  }
}

TEST(Bmp, RandomDamageNeverCrashes) {
  BmpSpec s;
  s.width = 5;
  s.height = -3;
  s.bpp = 4;
  s.palette.assign(16, 0xABCDEF);
  s.rows.assign(3, std::vector<uint8_t>(3, 0x5A));
  const std::vector<uint8_t> good = Build(s);
  std::mt19937 rng(12345);
  int loaded = 0;
  for (int i = 0; i < 20000; ++i) {
    std::vector<uint8_t> f = good;
    const int hits = 1 + int(rng() % 4);
    for (int k = 0; k < hits; ++k) f[rng() % f.size()] = uint8_t(rng());
    Bitmap out;
    if (LoadBmp(f, out)) {
      ++loaded;
      EXPECT_FALSE(out.Empty());
      EXPECT_LE(out.Width(), kMaxBmpSide);
    }
  }
  EXPECT_GT(loaded, 0);  // damage to pixel bytes alone still loads
}

}  // namespace
}  // namespace gravik

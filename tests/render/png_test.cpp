#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "codec/PngEncoder.h"
#include "gfx/Png.h"

namespace gravik {
namespace {

uint32_t BE32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

struct Decoded {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> header;  // IHDR payload
  std::vector<uint8_t> raw;     // inflated IDAT
  std::vector<std::string> chunks;
};

// Walks the chunks, checking every CRC, and inflates the image data.
Decoded Decode(const std::vector<uint8_t>& png) {
  Decoded d;
  const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_TRUE(png.size() > 8 && std::equal(sig, sig + 8, png.begin()));
  std::vector<uint8_t> idat;
  size_t at = 8;
  while (at + 12 <= png.size()) {
    const uint32_t len = BE32(&png[at]);
    EXPECT_LE(at + 12 + len, png.size());
    if (at + 12 + len > png.size()) break;
    const std::string type(png.begin() + ptrdiff_t(at + 4), png.begin() + ptrdiff_t(at + 8));
    const uint8_t* data = &png[at + 8];
    EXPECT_EQ(crc32(0, &png[at + 4], len + 4), BE32(data + len)) << type;
    d.chunks.push_back(type);
    if (type == "IHDR") {
      d.header.assign(data, data + len);
      d.width = BE32(data);
      d.height = BE32(data + 4);
    }
    if (type == "IDAT") idat.insert(idat.end(), data, data + len);
    at += 12 + len;
  }
  EXPECT_EQ(at, png.size());
  uLongf size = uLongf(d.height) * (1 + 3 * uLongf(d.width));
  d.raw.resize(size);
  EXPECT_EQ(uncompress(d.raw.data(), &size, idat.data(), uLong(idat.size())), Z_OK);
  EXPECT_EQ(size, d.raw.size());
  return d;
}

Bitmap Sample() {
  Bitmap b(7, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) b.SetPixel(x, y, uint16_t(x * 9000 + y * 1234 + 1));
  b.SetPixel(0, 0, Rgb565(255, 0, 0));
  return b;
}

TEST(Png, EncodesEveryPixelAsRgb8) {
  const Bitmap b = Sample();
  const Decoded d = Decode(EncodePng(b));
  EXPECT_EQ(d.chunks, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
  ASSERT_EQ(d.header.size(), 13u);
  EXPECT_EQ(d.width, 7u);
  EXPECT_EQ(d.height, 5u);
  EXPECT_EQ(d.header[8], 8);  // bit depth
  EXPECT_EQ(d.header[9], 2);  // truecolour
  for (int y = 0; y < 5; ++y) {
    const uint8_t* row = d.raw.data() + size_t(y) * (1 + 21);
    EXPECT_EQ(row[0], 0);
    for (int x = 0; x < 7; ++x) {
      const TColor c = FromRgb565(b.Pixel(x, y));
      EXPECT_EQ(row[1 + 3 * x], uint8_t(c)) << x << "," << y;
      EXPECT_EQ(row[2 + 3 * x], uint8_t(c >> 8));
      EXPECT_EQ(row[3 + 3 * x], uint8_t(c >> 16));
    }
  }
  EXPECT_EQ(d.raw[1], 255);
  EXPECT_EQ(d.raw[2], 0);
  EXPECT_TRUE(EncodePng(Bitmap()).empty());
}

TEST(Png, StoredAndPackedEncodingsHoldTheSamePixelsAndRowsFollowThePitch) {
  const Bitmap b = Sample();
  const Decoded packed = Decode(EncodePng(b));
  const Decoded stored = Decode(EncodePngRgb565(b.Data(), b.Width(), b.Height(), size_t(b.Width()), 0));
  EXPECT_EQ(stored.header, packed.header);
  EXPECT_EQ(stored.raw, packed.raw);
  // The left 3 x 2 pixels, read with the bitmap's full row length as the pitch.
  const Decoded part = Decode(EncodePngRgb565(b.Data(), 3, 2, size_t(b.Width()), 6));
  ASSERT_EQ(part.raw.size(), 2u * (1 + 9));
  for (int y = 0; y < 2; ++y)
    EXPECT_TRUE(std::equal(part.raw.begin() + y * 10 + 1, part.raw.begin() + y * 10 + 10,
                           packed.raw.begin() + y * 22 + 1))
        << "row " << y;
  EXPECT_TRUE(EncodePngRgb565(b.Data(), 7, 5, 6, 6).empty());  // rows overlapping
  EXPECT_TRUE(EncodePngRgb565(nullptr, 7, 5, 7, 6).empty());
}

TEST(Png, WritesTheFileOrReportsFailure) {
  char dir[] = "/tmp/gravik_png_XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string path = std::string(dir) + "/shot.png";
  ASSERT_TRUE(WritePng(path, Sample()));
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, EncodePng(Sample()));
  EXPECT_FALSE(WritePng(std::string(dir) + "/missing/shot.png", Sample()));
  EXPECT_FALSE(WritePng(std::string(dir) + "/empty.png", Bitmap()));
  std::remove(path.c_str());
  std::remove(dir);
}

}  // namespace
}  // namespace gravik

#include "e2e/Shot.h"

#include <zlib.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace gravik::e2e {

namespace {
uint32_t Be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

}  // namespace

bool ReadShot(const std::string& path, Shot& shot) {
  std::ifstream f(path, std::ios::binary);
  const std::vector<uint8_t> png((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  if (png.size() < 33 || std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8) != 0) return false;
  std::vector<uint8_t> z;
  for (size_t at = 8; at + 12 <= png.size();) {
    const uint32_t len = Be32(&png[at]);
    const std::string type(reinterpret_cast<const char*>(&png[at + 4]), 4);
    if (at + 12 + len > png.size()) return false;
    const uint8_t* data = &png[at + 8];
    if (type == "IHDR") {
      shot.Width = int(Be32(data));
      shot.Height = int(Be32(data + 4));
      if (data[8] != 8 || data[9] != 2 || data[12] != 0) return false;
    } else if (type == "IDAT") {
      z.insert(z.end(), data, data + len);
    }
    at += 12 + len;
  }
  const size_t stride = size_t(shot.Width) * 3 + 1;
  std::vector<uint8_t> raw(stride * size_t(shot.Height));
  uLongf rawSize = uLongf(raw.size());
  if (uncompress(raw.data(), &rawSize, z.data(), uLong(z.size())) != Z_OK || rawSize != raw.size()) return false;
  shot.Rgb.clear();
  for (int y = 0; y < shot.Height; ++y) {
    if (raw[size_t(y) * stride] != 0) return false;
    shot.Rgb.insert(shot.Rgb.end(), raw.begin() + long(size_t(y) * stride + 1), raw.begin() + long((size_t(y) + 1) * stride));
  }
  return true;
}

}  // namespace gravik::e2e

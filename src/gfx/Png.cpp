#include "gfx/Png.h"

#include <cstdio>

#include "codec/PngEncoder.h"

namespace gravik {

std::vector<uint8_t> EncodePng(const Bitmap& bmp) {
  return EncodePngRgb565(bmp.Data(), bmp.Width(), bmp.Height(), size_t(bmp.Width()), 6);
}

bool WritePng(const std::string& path, const Bitmap& bmp) {
  const std::vector<uint8_t> png = EncodePng(bmp);
  if (png.empty()) return false;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(png.data(), 1, png.size(), f) == png.size();
  const bool closed = std::fclose(f) == 0;
  if (!(written && closed)) std::remove(path.c_str());
  return written && closed;
}

}  // namespace gravik

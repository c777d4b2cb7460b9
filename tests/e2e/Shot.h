// The program's screenshots read back for pixel checks.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace gravik::e2e {

// A decoded screenshot, 8-bit RGB.
struct Shot {
  int Width = 0, Height = 0;
  std::vector<uint8_t> Rgb;

  uint32_t At(int x, int y) const {
    const size_t i = (size_t(y) * size_t(Width) + size_t(x)) * 3;
    return uint32_t(Rgb[i]) << 16 | uint32_t(Rgb[i + 1]) << 8 | Rgb[i + 2];
  }
  // Pixels that are not black in the rectangle [x0, x1) x [y0, y1).
  int Lit(int x0, int y0, int x1, int y1) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += At(x, y) != 0;
    return n;
  }
  // Pixels with no component above 80.
  int Dark(int x0, int y0, int x1, int y1) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        const uint32_t c = At(x, y);
        n += (c >> 16) <= 80 && (c >> 8 & 255) <= 80 && (c & 255) <= 80;
      }
    return n;
  }
};

// Reads a screenshot written by the program: 8-bit RGB, no interlace, filter 0
// on every row. False for anything else.
bool ReadShot(const std::string& path, Shot& shot);

}  // namespace gravik::e2e

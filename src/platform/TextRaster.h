// Anti-aliased text from TrueType faces, as 8-bit coverage masks. The SDL front
// end supplies one (SDL2_ttf); headless runs have none and the game falls back
// to its bitmap font.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

namespace gravik {

// Row-major coverage, 0 (untouched) .. 255 (full ink), Width * Height bytes.
struct TextMask {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Coverage;
  uint8_t At(int x, int y) const { return Coverage[size_t(y) * size_t(Width) + size_t(x)]; }
};

class TextRaster {
 public:
  virtual ~TextRaster() = default;
  // Takes the TrueType images of the regular and the bold face (kept for the
  // life of the raster, replacing any faces loaded before). False when either
  // cannot be read; the raster then has no faces.
  virtual bool LoadFaces(std::vector<uint8_t> regular, std::vector<uint8_t> bold) = 0;
  virtual bool HasFaces() const = 0;
  // Extent of one line of UTF-8 text with an em of `pixelSize` pixels: the
  // advance width and the face's line height. False without faces.
  virtual bool Measure(std::string_view utf8, int pixelSize, bool bold, int& width, int& height) = 0;
  // The line's coverage mask, exactly the extent Measure reports (an empty text
  // gives a 0-wide mask). False without faces.
  virtual bool Render(std::string_view utf8, int pixelSize, bool bold, TextMask& out) = 0;
};

}  // namespace gravik

// PNG output for screenshots and contact sheets.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "gfx/Bitmap.h"

namespace gravik {

// An 8-bit RGB PNG of the bitmap (each pixel expanded from RGB565). An empty
// bitmap gives an empty vector.
std::vector<uint8_t> EncodePng(const Bitmap& bmp);
// Encodes and writes the file; false when the bitmap is empty or the file
// cannot be written completely.
bool WritePng(const std::string& path, const Bitmap& bmp);

}  // namespace gravik

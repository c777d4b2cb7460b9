// PNG files of RGB565 pictures: screenshots, the headless display's shots and
// the builder's contact sheets.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace gravik {

// An 8-bit RGB PNG of `height` rows of `width` RGB565 pixels, rows `pitch`
// pixels apart, each pixel expanded as FromRgb565 does. `level` is the zlib
// compression level (0 stores the rows as they are: fastest). Empty when the
// picture is empty or the compressor fails.
std::vector<uint8_t> EncodePngRgb565(const uint16_t* pixels, int width, int height, size_t pitch, int level);

}  // namespace gravik

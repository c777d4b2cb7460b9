// Windows bitmap file images of RGB565 pictures.
#pragma once
#include <cstdint>
#include <vector>

#include "render/Bitmap.h"

namespace gravik::mkres {

// 24 bits per pixel, bottom-up, rows padded to 4 bytes. Each RGB565 pixel is
// widened with its top bits repeated, so reading it back to RGB565 is exact.
std::vector<uint8_t> EncodeBmp24(const Bitmap& bmp);

}  // namespace gravik::mkres

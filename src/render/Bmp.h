// BMP pictures: reading every common uncompressed layout into RGB565, and
// writing 16-bit (565) and 24-bit files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "render/Bitmap.h"

namespace gravik {

// Largest width or height accepted from a file.
constexpr int kMaxBmpSide = 16384;

// Decodes a BMP file held in memory: 1-, 4- and 8-bit palettised, 16-bit (555,
// or any BI_BITFIELDS masks such as 565), 24-bit and 32-bit, bottom-up or
// top-down. Returns false for a damaged or unsupported file, with a short reason
// in `error` when given; `out` is then left unchanged. Never reads outside `data`.
bool LoadBmp(const uint8_t* data, size_t size, Bitmap& out, std::string* error = nullptr);
inline bool LoadBmp(const std::vector<uint8_t>& data, Bitmap& out, std::string* error = nullptr) {
  return LoadBmp(data.data(), data.size(), out, error);
}

// A 16-bit BI_BITFIELDS (565) bottom-up BMP holding the pixels unchanged.
// An empty bitmap gives an empty vector.
std::vector<uint8_t> SaveBmp16(const Bitmap& bmp);
// A 24-bit bottom-up BMP (each pixel expanded from RGB565).
std::vector<uint8_t> SaveBmp24(const Bitmap& bmp);

}  // namespace gravik

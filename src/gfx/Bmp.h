// BMP pictures: reading every common uncompressed layout into RGB565, and
// writing 16-bit (565) and 24-bit files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gfx/Bitmap.h"

namespace gravik {

// Largest width or height accepted from a file.
constexpr int kMaxBmpSide = 16384;
// The smallest BMP file: the 14-byte file header and the 12-byte core header.
constexpr size_t kBmpMinFileSize = 26;

// The headers of a BMP file image, read and checked by ReadBmpHeader.
struct BmpInfo {
  uint32_t FileSize = 0;    // the file header's length field, as stored
  uint32_t OffBits = 0;     // where the pixel rows start
  uint32_t HeaderSize = 0;  // 12 (core header) or 40..1024
  int32_t Width = 0, Height = 0;  // 1..kMaxBmpSide, also for top-down images
  bool TopDown = false;
  int BitsPerPixel = 0;     // 1, 4, 8, 16, 24 or 32
  uint32_t Compression = 0; // 0 plain, 3 or 6 bit fields
  uint32_t RedMask = 0, GreenMask = 0, BlueMask = 0;  // 16 and 32 bits
  size_t PaletteAt = 0, PaletteEntries = 0, PaletteEntrySize = 4;
  size_t Stride = 0;        // bytes of one pixel row, padded to 4
};

// The one reader of BMP headers. Checks the image in data[0, size): signature,
// header size, dimensions, depth and coding, and that masks, palette and every
// pixel row lie inside data[0, size), with no arithmetic that can wrap. The
// file header's length field is reported, not relied on (callers that cut an
// image out of a larger block use BmpImageLength first). False, with a short
// reason in `error` when given and `info` unchanged, for anything else.
bool ReadBmpHeader(const uint8_t* data, size_t size, BmpInfo& info, std::string* error = nullptr);

// The length a BMP image gives in its file header, when the data starts with
// "BM" and that length is at least kBmpMinFileSize and at most `size`; else 0.
size_t BmpImageLength(const uint8_t* data, size_t size);

// Decodes a BMP file held in memory: 1-, 4- and 8-bit palettised, 16-bit (555,
// or any BI_BITFIELDS masks such as 565), 24-bit and 32-bit, bottom-up or
// top-down; the headers as ReadBmpHeader checks them. Returns false for a
// damaged or unsupported file, with a short reason in `error` when given; `out`
// is then left unchanged. Never reads outside `data`.
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

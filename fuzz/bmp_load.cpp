// libFuzzer target: a BMP picture from outside. A file the reader accepts must
// survive being written back (16- and 24-bit) and read again pixel for pixel; a
// file it refuses must leave the caller's bitmap untouched.
//
// Inputs starting with "BM" are read as they are. Any other input is made into
// a file with a plausible header, so that a short run from an empty corpus
// still reaches every pixel layout: byte 0 picks the bit depth (bits 0-2),
// header kind (bits 3-4), compression (bits 5-6) and row order (bit 7); bytes
// 1 and 2 the width and height less one; byte 3 the palette size; byte 4 nudges
// the pixel offset; the rest follows the header (masks, palette, pixels).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "gfx/Bitmap.h"
#include "gfx/Bmp.h"

namespace {

std::vector<uint8_t> MakeFile(const uint8_t* data, size_t size) {
  static constexpr int kDepths[8] = {1, 4, 8, 16, 24, 32, 2, 0};
  static constexpr uint32_t kHeaders[4] = {12, 40, 56, 124};
  static constexpr uint32_t kCompressions[4] = {0, 3, 6, 1};
  uint8_t h[5] = {};
  for (size_t i = 0; i < 5 && i < size; ++i) h[i] = data[i];
  const size_t skip = size < 5 ? size : 5;
  const int bpp = kDepths[h[0] & 7];
  const uint32_t hdr = kHeaders[(h[0] >> 3) & 3];
  const uint32_t compression = kCompressions[(h[0] >> 5) & 3];
  const int32_t width = int32_t(h[1]) + 1;
  const int32_t height = (h[0] & 0x80) ? -(int32_t(h[2]) + 1) : int32_t(h[2]) + 1;

  size_t masks = 0;
  if (hdr == 40 && (compression == 3 || compression == 6)) masks = compression == 6 ? 16 : 12;
  const size_t entry = hdr == 12 ? 3 : 4;
  size_t palette = 0;
  if (bpp >= 1 && bpp <= 8) palette = (h[3] && hdr != 12 ? h[3] : (1u << bpp)) * entry;
  const int64_t offBits = int64_t(14 + hdr + masks + palette) + ((h[4] & 15) ? (h[4] & 15) - 8 : 0);

  std::vector<uint8_t> f(14 + hdr, 0);
  f[0] = 'B';
  f[1] = 'M';
  gravik::PutU32(&f[2], uint32_t(f.size() + size - skip));
  gravik::PutU32(&f[10], uint32_t(offBits));
  gravik::PutU32(&f[14], hdr);
  if (hdr == 12) {
    gravik::PutU16(&f[18], uint16_t(width));
    gravik::PutU16(&f[20], uint16_t(height));
    gravik::PutU16(&f[22], 1);
    gravik::PutU16(&f[24], uint16_t(bpp));
  } else {
    gravik::PutU32(&f[18], uint32_t(width));
    gravik::PutU32(&f[22], uint32_t(height));
    gravik::PutU16(&f[26], 1);
    gravik::PutU16(&f[28], uint16_t(bpp));
    gravik::PutU32(&f[30], compression);
    gravik::PutU32(&f[46], h[3]);
  }
  // Masks of the larger headers sit inside them; take them from the input.
  if (hdr >= 52)
    for (size_t i = 0; i < 12 && skip + i < size; ++i) f[54 + i] = data[skip + i];
  f.insert(f.end(), data + skip, data + size);
  return f;
}

void Check(const uint8_t* data, size_t size) {
  using namespace gravik;
  Bitmap out(3, 2, 0x1234);
  const Bitmap before = out;
  std::string why;
  if (!LoadBmp(data, size, out, &why)) {
    if (why.empty()) __builtin_trap();  // a refusal always says why
    if (!(out == before)) __builtin_trap();
    return;
  }
  if (out.Empty() || out.Width() > kMaxBmpSide || out.Height() > kMaxBmpSide) __builtin_trap();
  if (out.Pixels().size() != size_t(out.Width()) * size_t(out.Height())) __builtin_trap();

  // Keep the round trips cheap: they are the same code for every picture size.
  if (size_t(out.Width()) * size_t(out.Height()) > (1u << 16)) return;
  Bitmap again;
  if (!LoadBmp(SaveBmp16(out), again) || !(again == out)) __builtin_trap();
  Bitmap again24;
  if (!LoadBmp(SaveBmp24(out), again24) || !(again24 == out)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Pixel data must be present in the file, so the input size bounds the picture
  // (at most 16 pixels of bitmap per byte, for 1-bit files). Larger inputs only
  // buy bigger allocations, not new paths.
  if (size > (1u << 18)) return 0;
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
    Check(data, size);
  } else {
    const std::vector<uint8_t> file = MakeFile(data, size);
    Check(file.data(), file.size());
  }
  return 0;
}

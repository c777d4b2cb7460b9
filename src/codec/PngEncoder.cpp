#include "codec/PngEncoder.h"

#include <zlib.h>

#include "base/Types.h"

namespace gravik {

namespace {

void PutBE32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 3; i >= 0; --i) v.push_back(uint8_t(x >> (8 * i)));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const uint8_t* data, size_t size) {
  PutBE32(out, uint32_t(size));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  if (size) out.insert(out.end(), data, data + size);
  const uLong crc = crc32(0L, out.data() + start, uInt(out.size() - start));
  PutBE32(out, uint32_t(crc));
}

}  // namespace

std::vector<uint8_t> EncodePngRgb565(const uint16_t* pixels, int width, int height, size_t pitch, int level) {
  if (!pixels || width <= 0 || height <= 0 || pitch < size_t(width)) return {};
  // Raw scanlines, each led by filter type 0.
  const size_t rowBytes = 1 + size_t(width) * 3;
  std::vector<uint8_t> raw(rowBytes * size_t(height));
  for (int y = 0; y < height; ++y) {
    uint8_t* row = raw.data() + rowBytes * size_t(y);
    row[0] = 0;
    const uint16_t* src = pixels + pitch * size_t(y);
    for (int x = 0; x < width; ++x) {
      const TColor c = FromRgb565(src[x]);
      row[1 + 3 * x] = uint8_t(c);
      row[2 + 3 * x] = uint8_t(c >> 8);
      row[3 + 3 * x] = uint8_t(c >> 16);
    }
  }
  uLongf packedSize = compressBound(uLong(raw.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), level) != Z_OK) return {};
  packed.resize(packedSize);

  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> ihdr;
  PutBE32(ihdr, uint32_t(width));
  PutBE32(ihdr, uint32_t(height));
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter choice, no interlace
  Chunk(out, "IHDR", ihdr.data(), ihdr.size());
  Chunk(out, "IDAT", packed.data(), packed.size());
  Chunk(out, "IEND", nullptr, 0);
  return out;
}

}  // namespace gravik

#include "platform/headless/HeadlessDisplay.h"

#include <algorithm>
#include <array>

#include "base/Types.h"
#include "platform/Folders.h"

namespace gravik {

bool HeadlessDisplay::StartDrawing(bool windowed) {
  started_ = true;
  lost_ = false;
  windowed_ = windowed;
  visible_ = true;
  return true;
}

void HeadlessDisplay::StopDrawing() { started_ = false; }

void HeadlessDisplay::Present(const uint16_t* pixels, int width, int height, int pitch) {
  if (!IsDrawable() || !pixels || width <= 0 || height <= 0 || pitch < width) return;
  width_ = width;
  height_ = height;
  frame_.resize(size_t(width) * size_t(height));
  for (int y = 0; y < height; ++y) {
    std::copy_n(pixels + size_t(y) * size_t(pitch), width, frame_.begin() + size_t(y) * width);
  }
  ++presents_;
}

bool HeadlessDisplay::SaveScreenshot(const std::string& path) const {
  if (frame_.empty()) return false;
  std::vector<uint8_t> png = EncodePngRgb565(frame_.data(), width_, height_);
  return WriteWholeFileAtomic(path, png.data(), png.size());
}

namespace {

std::array<uint32_t, 256> CrcTable() {
  std::array<uint32_t, 256> t{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[n] = c;
  }
  return t;
}

void Put32(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(uint8_t(x >> 24));
  v.push_back(uint8_t(x >> 16));
  v.push_back(uint8_t(x >> 8));
  v.push_back(uint8_t(x));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data,
           const std::array<uint32_t, 256>& crcTable) {
  Put32(out, uint32_t(data.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = start; i < out.size(); ++i) crc = crcTable[(crc ^ out[i]) & 0xFF] ^ (crc >> 8);
  Put32(out, crc ^ 0xFFFFFFFFu);
}

}  // namespace

std::vector<uint8_t> EncodePngRgb565(const uint16_t* pixels, int width, int height) {
  const auto crcTable = CrcTable();
  std::vector<uint8_t> raw;  // filter byte + RGB per row
  raw.reserve(size_t(height) * (size_t(width) * 3 + 1));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < width; ++x) {
      TColor c = FromRgb565(pixels[size_t(y) * width + x]);
      raw.push_back(uint8_t(c));
      raw.push_back(uint8_t(c >> 8));
      raw.push_back(uint8_t(c >> 16));
    }
  }
  // zlib stream of stored deflate blocks.
  std::vector<uint8_t> z = {0x78, 0x01};
  size_t pos = 0;
  do {
    size_t len = std::min<size_t>(65535, raw.size() - pos);
    bool last = pos + len == raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(uint8_t(len));
    z.push_back(uint8_t(len >> 8));
    z.push_back(uint8_t(~len));
    z.push_back(uint8_t(~len >> 8));
    z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + len);
    pos += len;
  } while (pos < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  Put32(z, (b << 16) | a);

  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<uint8_t> ihdr;
  Put32(ihdr, uint32_t(width));
  Put32(ihdr, uint32_t(height));
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
  Chunk(out, "IHDR", ihdr, crcTable);
  Chunk(out, "IDAT", z, crcTable);
  Chunk(out, "IEND", {}, crcTable);
  return out;
}

}  // namespace gravik

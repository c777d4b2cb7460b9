#include "base/Crc.h"

#include <array>

namespace gravik {
namespace {

constexpr std::array<uint16_t, 256> MakeTable() {
  std::array<uint16_t, 256> t{};
  for (unsigned i = 0; i < 256; ++i) {
    uint16_t c = uint16_t(i << 8);
    for (int b = 0; b < 8; ++b) c = uint16_t((c & 0x8000) ? (c << 1) ^ 0x1021 : c << 1);
    t[i] = c;
  }
  return t;
}

constexpr std::array<uint16_t, 256> kTable = MakeTable();

constexpr std::array<uint32_t, 256> MakeTable32() {
  std::array<uint32_t, 256> t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int b = 0; b < 8; ++b) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    t[i] = c;
  }
  return t;
}

constexpr std::array<uint32_t, 256> kTable32 = MakeTable32();

}  // namespace

uint16_t Crc16Xmodem(const uint8_t* data, size_t size, uint16_t init) {
  uint16_t crc = init;
  for (size_t i = 0; i < size; ++i) crc = uint16_t((crc << 8) ^ kTable[((crc >> 8) ^ data[i]) & 0xFF]);
  return crc;
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t init) {
  uint32_t crc = ~init;
  for (size_t i = 0; i < size; ++i) crc = (crc >> 8) ^ kTable32[(crc ^ data[i]) & 0xFF];
  return ~crc;
}

}  // namespace gravik

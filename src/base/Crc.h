// CRC-16/XMODEM: the checksum of scenario files and of the graphics set block;
// CRC-32 for saved games.
#pragma once
#include <cstddef>
#include <cstdint>

namespace gravik {

// Polynomial 0x1021, most significant bit first, no final XOR. Pass the result
// of a previous call as `init` to continue a checksum over several regions.
uint16_t Crc16Xmodem(const uint8_t* data, size_t size, uint16_t init = 0);

// CRC-32 (the zlib and PNG polynomial, reflected, final XOR): the checksum of
// saved games and of the scenario file a saved game belongs to.
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t init = 0);

}  // namespace gravik

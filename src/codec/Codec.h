// Containers of compressed data: "WAXF" (LZRW1/KH blocks) and "WAXS" (LZHUF).
//
// Header: 4-byte tag, 32-bit little-endian uncompressed length, then the body.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace gravik {

// Decodes a "WAXF" or "WAXS" container. Never throws: on a bad tag, a damaged
// or truncated body the result is whatever was produced before the fault
// (empty on a bad tag). At most `maxOut` bytes are produced; callers compare
// the result's size with what they expect.
std::vector<uint8_t> DecompressContainer(const uint8_t* data, size_t size, size_t maxOut);

// Builds a "WAXF" container (the game's Fast mode).
std::vector<uint8_t> CompressWaxf(const uint8_t* data, size_t size);

// Builds a "WAXS" container (Good mode, LZHUF).
std::vector<uint8_t> CompressWaxs(const uint8_t* data, size_t size);

}  // namespace gravik

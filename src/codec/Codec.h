// The compression component: a whole buffer in, a self-describing compressed
// container out, and back. Every compressed payload of the game (scenario
// levels and pictures, archive items, the graphics set, the splash picture,
// profiles) goes through these entry points.
//
// Container: a 4-byte tag, the uncompressed length (32-bit little-endian),
// then the body: "WAXF" holds LZRW1/KH blocks (Fast), "WAXS" one LZHUF stream
// (Good). Decompress reads either tag, whatever mode wrote it.
//
//   // A profile save and load:
//   std::vector<uint8_t> packed = Compress(record, kRecordSize, TCompressMode::Fast);
//   std::vector<uint8_t> plain = Decompress(packed.data(), packed.size(), kRecordSize);
//   if (plain.size() != kRecordSize) ...  // damaged: refuse it
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace gravik {

enum class TCompressMode : uint8_t { Good = 0, Fast = 1, Auto = 2 };

// The container of data[0, size): Fast writes "WAXF", Good "WAXS", Auto takes
// what Advise answers. `data` may be null when `size` is 0.
std::vector<uint8_t> Compress(const uint8_t* data, size_t size, TCompressMode mode);

// Decodes a "WAXF" or "WAXS" container. Never throws: a bad tag gives nothing;
// a damaged or truncated body gives what was decoded before the fault (whole
// blocks for "WAXF"). A container declaring more than `maxOut` bytes is refused
// (nothing decoded), so callers pass the size they can hold and compare the
// result's size with the size they expect.
std::vector<uint8_t> Decompress(const uint8_t* data, size_t size, size_t maxOut);
// The same, appending to `out` (whose capacity is reused); returns the number
// of bytes appended.
size_t Decompress(const uint8_t* data, size_t size, size_t maxOut, std::vector<uint8_t>& out);
// The first `want` bytes of a container, whatever length it declares beyond
// that: decoding stops once they are out. A container declaring fewer bytes,
// or damaged before `want`, gives fewer (callers compare the size).
std::vector<uint8_t> DecompressPrefix(const uint8_t* data, size_t size, size_t want);

// Fast when the LZRW1/KH coder shrinks two 32 KiB samples of the input (at one
// and two thirds) below `threshold` percent, else Good; inputs of 98,303 bytes
// or less are always Good.
TCompressMode Advise(const uint8_t* data, size_t size, int threshold = 40);

}  // namespace gravik

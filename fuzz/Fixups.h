// Checksum fix-ups for the fuzzers. A mutated file almost always fails its
// checksum, which stops the loader at the door; these recompute the checksum
// the loader checks and write it into the buffer, so mutations reach the
// parts behind it. Each returns true when it changed the buffer, false when
// the checksum already matched or the file is too damaged to say where it is.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "base/Bytes.h"
#include "base/Crc.h"
#include "data/Archive.h"
#include "data/Profile.h"
#include "data/Scenario.h"

namespace gravik::fuzz {

// Byte i of a region scrambled with `key` from the region's start.
inline uint8_t Plain(const uint8_t* region, size_t i, const uint8_t* key, size_t keySize) {
  return uint8_t(region[i] ^ key[i % keySize]);
}

inline bool WriteU16Scrambled(uint8_t* region, size_t at, uint16_t v, const uint8_t* key, size_t keySize) {
  const uint8_t lo = uint8_t((v & 0xFF) ^ key[at % keySize]), hi = uint8_t((v >> 8) ^ key[(at + 1) % keySize]);
  const bool changed = region[at] != lo || region[at + 1] != hi;
  region[at] = lo;
  region[at + 1] = hi;
  return changed;
}

// Scenario file: the CRC-16 at offset 3 covers the descrambled bytes from A to
// the end (region 1, A..C, and the notes, C..end, each scrambled with the body
// key from its own start).
inline bool FixScenarioCrc(std::vector<uint8_t>& f) {
  if (f.size() < 3) return false;
  const uint16_t version = GetU16(f.data());
  if (version != ScenarioVersion && version != ScenarioVersionNoInfo) return false;
  const size_t keyAt = 33 + (version == ScenarioVersionNoInfo ? 80 : 88);
  constexpr size_t kKey = 1024;
  if (f.size() < keyAt + kKey) return false;
  const uint64_t a = GetU32(f.data() + 5), c = GetU32(f.data() + 13);
  if (a < keyAt + kKey || c < a || c > f.size()) return false;
  const uint8_t* key = f.data() + keyAt;
  std::vector<uint8_t> plain(f.begin() + std::ptrdiff_t(a), f.end());
  for (size_t i = 0; i < size_t(c - a); ++i) plain[i] ^= key[i % kKey];
  for (size_t i = size_t(c - a); i < plain.size(); ++i) plain[i] ^= key[(i - size_t(c - a)) % kKey];
  const uint16_t crc = Crc16Xmodem(plain.data(), plain.size());
  if (GetU16(f.data() + 3) == crc) return false;
  PutU16(f.data() + 3, crc);
  return true;
}

// Archive: the CRC-16 of the descrambled graphics set block sits in the
// scrambled directory (bytes 14-15); the block's size is the directory's first
// four bytes.
inline bool FixArchiveCrc(std::vector<uint8_t>& f) {
  if (f.size() < ArchiveGraphicsOffset) return false;
  const uint8_t* key = f.data() + 3;
  uint8_t* dir = f.data() + ArchiveDirectoryOffset;
  uint8_t sizeBytes[4];
  for (size_t i = 0; i < 4; ++i) sizeBytes[i] = Plain(dir, i, key, ArchiveKeySize);
  const uint64_t graphicsSize = GetU32(sizeBytes);
  if (ArchiveGraphicsOffset + graphicsSize > f.size()) return false;
  std::vector<uint8_t> block(f.begin() + std::ptrdiff_t(ArchiveGraphicsOffset),
                             f.begin() + std::ptrdiff_t(ArchiveGraphicsOffset + graphicsSize));
  for (size_t i = 0; i < block.size(); ++i) block[i] ^= key[i % ArchiveKeySize];
  return WriteU16Scrambled(dir, 14, Crc16Xmodem(block.data(), block.size()), key, ArchiveKeySize);
}

// Profile: behind the payload a check block "G2CK" + CRC-16 of the first 24
// bytes and of the descrambled storage flag, length and payload. The last six
// bytes are made that block, the length set to the bytes between (so inserted
// or removed payload bytes, which shift the scrambled block, still read) and
// the CRC recomputed. The input as given covers unchecked and broken files.
inline bool FixProfileCheck(std::vector<uint8_t>& f) {
  constexpr size_t kCheck = 6;
  if (f.size() < ProfilePayloadOffset + kCheck) return false;
  const uint8_t* key = f.data() + ProfileKeyOffset;
  uint8_t* body = f.data() + ProfileScrambledOffset;
  const size_t bodySize = f.size() - ProfileScrambledOffset;
  const size_t tagAt = bodySize - kCheck;
  static constexpr uint8_t kTag[4] = {'G', '2', 'C', 'K'};
  bool changed = false;
  auto put = [&](size_t at, uint8_t plain) {
    const uint8_t b = uint8_t(plain ^ key[at % ProfileKeySize]);
    changed |= body[at] != b;
    body[at] = b;
  };
  for (size_t i = 0; i < 4; ++i) put(tagAt + i, kTag[i]);
  const size_t payloadAt = ProfilePayloadOffset - ProfileScrambledOffset;
  const uint32_t length = uint32_t(tagAt - payloadAt);
  for (size_t i = 0; i < 4; ++i) put(1 + i, uint8_t(length >> (8 * i)));
  std::vector<uint8_t> plain(body, body + tagAt);
  for (size_t i = 0; i < plain.size(); ++i) plain[i] ^= key[i % ProfileKeySize];
  const uint16_t crc = Crc16Xmodem(plain.data(), plain.size(), Crc16Xmodem(f.data(), ProfileKeyOffset));
  put(tagAt + 4, uint8_t(crc & 0xFF));
  put(tagAt + 5, uint8_t(crc >> 8));
  return changed;
}

}  // namespace gravik::fuzz

#include "codec/Codec.h"

#include <algorithm>
#include <cstring>

#include "base/Bytes.h"
#include "codec/Lzrw1.h"

namespace gravik {
namespace {

void PutHeader(std::vector<uint8_t>& out, const char* tag, size_t length) {
  ByteWriter(out).Bytes(tag, 4).U32(uint32_t(length));
}

// Decodes "WAXF" blocks from data[pos..size) while each gives a whole chunk.
void DecodeWaxf(const uint8_t* data, size_t size, size_t pos, size_t length, std::vector<uint8_t>& out) {
  const size_t base = out.size();
  size_t total = 0;
  for (;;) {
    if (size - pos < 2) break;
    const size_t len = GetU16(data + pos);
    if (len > kLzrwMaxBlock || size - pos - 2 < len) break;
    pos += 2;
    out.resize(base + total + kLzrwChunk + kLzrwSlack);
    const long got = TLZR::DecompressBlock(data + pos, len, out.data() + base + total);
    if (got < 0 || total + size_t(got) > length) break;
    pos += len;
    total += size_t(got);
    if (size_t(got) != kLzrwChunk) break;
  }
  out.resize(base + total);
}

std::vector<uint8_t> CompressWaxf(const uint8_t* data, size_t size) {
  std::vector<uint8_t> out;
  out.reserve(8 + size + (size / kLzrwChunk + 1) * 3 + kLzrwSlack);
  PutHeader(out, "WAXF", size);
  TLZR lzr;
  size_t p = 0;
  size_t n;
  do {
    n = std::min(kLzrwChunk, size - p);
    const size_t at = out.size();
    out.resize(at + 2 + n + kLzrwSlack);
    const size_t len = lzr.CompressBlock(data + p, n, out.data() + at + 2);
    PutU16(out.data() + at, uint16_t(len));
    out.resize(at + 2 + len);
    p += n;
  } while (n == kLzrwChunk);
  return out;
}

std::vector<uint8_t> CompressWaxs(const uint8_t* data, size_t size) {
  std::vector<uint8_t> out;
  PutHeader(out, "WAXS", size);
  TLZH::Encode(data, size, out);
  return out;
}

}  // namespace

std::vector<uint8_t> Compress(const uint8_t* data, size_t size, TCompressMode mode) {
  if (mode == TCompressMode::Auto) mode = Advise(data, size);
  return mode == TCompressMode::Fast ? CompressWaxf(data, size) : CompressWaxs(data, size);
}

size_t Decompress(const uint8_t* data, size_t size, size_t maxOut, std::vector<uint8_t>& out) {
  if (!data || size < 8) return 0;
  const bool fast = std::memcmp(data, "WAXF", 4) == 0;
  if (!fast && std::memcmp(data, "WAXS", 4) != 0) return 0;
  const size_t length = GetU32(data + 4);
  if (length > maxOut) return 0;
  const size_t before = out.size();
  if (fast) {
    // Each block of at least 3 input bytes gives at most 32,768 bytes.
    const size_t bound = ((size - 8) / 3 + 1) * kLzrwChunk;
    out.reserve(out.size() + std::min(length, bound) + kLzrwChunk + kLzrwSlack);
    DecodeWaxf(data, size, 8, length, out);
  } else {
    out.reserve(out.size() + length);
    TLZH::Decode(data + 8, size - 8, length, out);
  }
  return out.size() - before;
}

std::vector<uint8_t> Decompress(const uint8_t* data, size_t size, size_t maxOut) {
  std::vector<uint8_t> out;
  Decompress(data, size, maxOut, out);
  return out;
}

std::vector<uint8_t> DecompressPrefix(const uint8_t* data, size_t size, size_t want) {
  std::vector<uint8_t> out;
  if (!data || size < 8) return out;
  const size_t length = GetU32(data + 4);
  if (length <= want) {
    Decompress(data, size, want, out);
    return out;
  }
  if (std::memcmp(data, "WAXF", 4) == 0) {
    // Whole blocks until `want` is covered, the last one cut.
    const size_t limit = (want + kLzrwChunk - 1) / kLzrwChunk * kLzrwChunk;
    DecodeWaxf(data, size, 8, std::min(length, limit), out);
  } else if (std::memcmp(data, "WAXS", 4) == 0) {
    // The decoder stops before a copy that would pass its limit; a copy is at
    // most 60 bytes, so a limit 64 past `want` still yields all of it.
    const size_t limit = std::min(length, want + 64);
    out.reserve(limit);
    TLZH::Decode(data + 8, size - 8, limit, out);
  }
  if (out.size() > want) out.resize(want);
  return out;
}

TCompressMode Advise(const uint8_t* data, size_t size, int threshold) {
  if (!data || size <= 98303) return TCompressMode::Good;
  std::vector<uint8_t> scratch(kLzrwChunk + kLzrwSlack);
  TLZR lzr;
  size_t coded = 0;
  for (size_t third : {size / 3, size * 2 / 3}) {
    const size_t offset = third / kLzrwChunk * kLzrwChunk;
    coded += lzr.CompressBlock(data + offset, kLzrwChunk, scratch.data());
  }
  return coded * 100 < size_t(std::max(threshold, 0)) * 2 * kLzrwChunk ? TCompressMode::Fast
                                                                         : TCompressMode::Good;
}

}  // namespace gravik

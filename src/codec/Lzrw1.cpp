#include "codec/Lzrw1.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace gravik {

namespace {
constexpr uint16_t kEmpty = 0xFFFF;
constexpr size_t kMaxRun = 4095;
constexpr size_t kMaxCopy = 18;
constexpr size_t kMaxDistance = 4095;
}  // namespace

TLZR::TLZR() : hash_(4096, kEmpty) {}

size_t TLZR::CompressBlock(const uint8_t* in, size_t n, uint8_t* out) {
  std::fill(hash_.begin(), hash_.end(), kEmpty);
  uint16_t* table = hash_.data();
  out[0] = 0x40;
  size_t ctrlPos = 1;
  size_t op = 3;
  unsigned items = 0;
  uint32_t ctrl = 0;
  size_t p = 0;
  while (p < n && op <= n) {
    if (items == 16) {
      out[ctrlPos] = uint8_t(ctrl >> 8);
      out[ctrlPos + 1] = uint8_t(ctrl);
      ctrlPos = op;
      op += 2;
      items = 0;
      ctrl = 0;
    }
    ++items;
    const uint8_t b = in[p];
    // Runs of 16 or more equal bytes become one run item.
    if (p + 1 < n && in[p + 1] == b) {
      const size_t limit = std::min(n, p + kMaxRun);
      size_t q = p + 2;
      while (q < limit && in[q] == b) ++q;
      const size_t r = q - p;
      if (r >= 16) {
        const size_t c = r - 16;
        out[op] = 0;
        out[op + 1] = uint8_t(c >> 8);
        out[op + 2] = uint8_t(c);
        out[op + 3] = b;
        op += 4;
        ctrl = (ctrl << 1) | 1;
        p = q;
        continue;
      }
    }
    // Fewer than three bytes left: no copy can start here.
    if (p + 2 < n) {
      const unsigned h = (((((unsigned(b) << 4) ^ in[p + 1]) << 4) ^ in[p + 2]) * 40543u >> 4) & 0xFFF;
      const size_t c = table[h];
      table[h] = uint16_t(p);
      if (c != kEmpty && p - c <= kMaxDistance) {
        size_t m = 0;
        if (p + kMaxCopy <= n) {
          // Eight bytes at a time; the first difference ends the match.
          for (; m < 16; m += 8) {
            uint64_t a, b8;
            std::memcpy(&a, in + p + m, 8);
            std::memcpy(&b8, in + c + m, 8);
            if (const uint64_t x = a ^ b8) {
              m += size_t(std::countr_zero(x)) / 8;
              goto counted;
            }
          }
          while (m < kMaxCopy && in[p + m] == in[c + m]) ++m;
        } else {
          const size_t maxLen = n - p;
          while (m < maxLen && in[p + m] == in[c + m]) ++m;
        }
      counted:
        if (m >= 3) {
          const unsigned w = unsigned((p - c) << 4) + unsigned(m - 3);
          out[op] = uint8_t(w >> 8);
          out[op + 1] = uint8_t(w);
          op += 2;
          ctrl = (ctrl << 1) | 1;
          p += m;
          continue;
        }
      }
    }
    out[op++] = b;
    ctrl <<= 1;
    ++p;
  }
  ctrl <<= (16 - items);
  out[ctrlPos] = uint8_t(ctrl >> 8);
  out[ctrlPos + 1] = uint8_t(ctrl);
  if (op > n) {
    out[0] = 0x80;
    if (n) std::memcpy(out + 1, in, n);
    return n + 1;
  }
  return op;
}

long TLZR::DecompressBlock(const uint8_t* in, size_t len, uint8_t* out) {
  if (len < 2) return 0;
  if (in[0] == 0x80) {
    const size_t m = len - 1;
    if (m > kLzrwChunk) return -1;
    std::memcpy(out, in + 1, m);
    return long(m);
  }
  size_t ip = 1;
  size_t op = 0;
  while (ip < len) {
    if (ip + 2 > len) return -1;
    uint32_t ctrl = (uint32_t(in[ip]) << 8) | in[ip + 1];
    ip += 2;
    // A group of sixteen literals, the common case in poorly compressible data.
    if (ctrl == 0 && ip + 16 <= len && op + 16 <= kLzrwChunk) {
      std::memcpy(out + op, in + ip, 16);
      ip += 16;
      op += 16;
      continue;
    }
    for (int bit = 0; bit < 16 && ip < len; ++bit, ctrl <<= 1) {
      if (!(ctrl & 0x8000)) {
        if (op >= kLzrwChunk) return -1;
        out[op++] = in[ip++];
        continue;
      }
      if (ip + 2 > len) return -1;
      const unsigned w = (unsigned(in[ip]) << 8) | in[ip + 1];
      const size_t d = w >> 4;
      if (d == 0) {
        if (ip + 4 > len) return -1;
        const size_t count = ((size_t(in[ip + 1]) << 8) | in[ip + 2]) + 16;
        if (op + count > kLzrwChunk) return -1;
        std::memset(out + op, in[ip + 3], count);
        op += count;
        ip += 4;
        continue;
      }
      const size_t count = (w & 15) + 3;
      if (d > op || op + count > kLzrwChunk) return -1;
      uint8_t* dst = out + op;
      const uint8_t* src = dst - d;
      if (d >= 8) {
        // 8-byte steps never read what this copy has not yet written; the
        // last step may write up to 7 bytes past the copy (into the slack).
        for (size_t k = 0; k < count; k += 8) std::memcpy(dst + k, src + k, 8);
      } else {
        for (size_t k = 0; k < count; ++k) dst[k] = src[k];
      }
      op += count;
      ip += 2;
    }
  }
  return long(op);
}

}  // namespace gravik

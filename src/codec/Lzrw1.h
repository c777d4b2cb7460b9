// The two coders behind Compress and Decompress (codec/Codec.h, the entry
// points everything else calls): the LZRW1/KH block coder (TLZR, "WAXF") and
// the LZHUF coder (TLZH, "WAXS").
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace gravik {

// Largest chunk one "WAXF" block codes; a block holds at most one more byte.
constexpr size_t kLzrwChunk = 32768;
constexpr size_t kLzrwMaxBlock = kLzrwChunk + 1;
// Room the block coders may use past the chunk length while they work.
constexpr size_t kLzrwSlack = 8;

// LZRW1/KH block coder (one chunk of at most 32,768 bytes per block).
class TLZR {
 public:
  TLZR();
  // Codes `n` (<= 32,768) bytes into `out`, which must hold n + kLzrwSlack
  // bytes. Returns the block length: a coded block (flag 0x40), or the stored
  // block (flag 0x80 and the n bytes) when coding would make it longer than n.
  size_t CompressBlock(const uint8_t* in, size_t n, uint8_t* out);
  // Decodes one block of `len` bytes into `out` (room for 32,768 bytes plus
  // kLzrwSlack; bytes past the result's end are scratch).
  // Returns the bytes produced, or -1 when the block is damaged: a copy
  // reaching before the block's start, output past 32,768 bytes, an item or
  // control word cut off by the block end.
  static long DecompressBlock(const uint8_t* in, size_t len, uint8_t* out);

 private:
  std::vector<uint16_t> hash_;  // 4096 candidate positions, 0xFFFF = empty
};

// LZHUF coder: LZSS over a 4096-byte ring with adaptive Huffman coding.
class TLZH {
 public:
  // Appends the LZHUF bit stream of `in` to `out`.
  static void Encode(const uint8_t* in, size_t n, std::vector<uint8_t>& out);
  // Decodes a bit stream into at most `length` bytes, appended to `out`.
  // Returns true when exactly `length` bytes came out; false when the stream
  // ran dry, or a copy would pass `length` (decoding stops there).
  static bool Decode(const uint8_t* in, size_t n, size_t length, std::vector<uint8_t>& out);
};

}  // namespace gravik

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "codec/Codec.h"

namespace gravik {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Decode(const Bytes& c, size_t cap = 1u << 24) { return Decompress(c.data(), c.size(), cap); }

Bytes Header(const char* tag, uint32_t n) {
  Bytes h;
  ByteWriter(h).Bytes(tag, 4).U32(n);
  return h;
}

Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 gen(seed);
  Bytes b(n);
  for (auto& x : b) x = uint8_t(gen());
  return b;
}

// Text of a few hundred words in varying order: compressible but not trivially.
Bytes TextLike(size_t n) {
  const char* words[] = {"rock ", "diamond ", "the ", "Gravik ", "falls ", "egg ", "monster ", "level ",
                         "key\n", "safe, ", "transporter ", "spirit ", "wall ", "earth ", "meteor. "};
  std::mt19937 gen(7);
  Bytes b;
  while (b.size() < n) {
    const char* w = words[gen() % 15];
    b.insert(b.end(), w, w + std::char_traits<char>::length(w));
  }
  b.resize(n);
  return b;
}

// A 16-bit picture in a bitmap file layout: header, then rows of gradients and tiles.
Bytes PictureLike(int w, int h) {
  Bytes b(54, 0);
  b[0] = 'B';
  b[1] = 'M';
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint16_t p = ((x / 16 + y / 16) % 3 == 0) ? uint16_t(0xF800 | (y & 31)) : uint16_t((x * 31 / w) << 11 | (y * 63 / h) << 5);
      ByteWriter(b).U16(p);
    }
  }
  return b;
}

TEST(Waxf, EmptyInputIsElevenByteStream) {
  const Bytes c = Compress(nullptr, 0, TCompressMode::Fast);
  EXPECT_EQ(c, Cat(Header("WAXF", 0), {1, 0, 0x80}));
  EXPECT_TRUE(Decode(c).empty());
}

TEST(Waxf, KnownBlocksCompressAndDecodeExactly) {
  // Three literals then a self-overlapping copy (distance 3, length 6).
  const std::string s = "abcabcabc";
  const Bytes abc = Cat(Header("WAXF", 9), {8, 0, 0x40, 0x10, 0x00, 'a', 'b', 'c', 0x00, 0x33});
  EXPECT_EQ(Compress(reinterpret_cast<const uint8_t*>(s.data()), s.size(), TCompressMode::Fast), abc);
  EXPECT_EQ(Decode(abc), Bytes(s.begin(), s.end()));

  // A chunk of 100 equal bytes is one run item with count 100.
  const Bytes hundred(100, 'A');
  const Bytes run = Cat(Header("WAXF", 100), {7, 0, 0x40, 0x80, 0x00, 0x00, 0x00, 84, 'A'});
  EXPECT_EQ(Compress(hundred.data(), hundred.size(), TCompressMode::Fast), run);
  EXPECT_EQ(Decode(run), hundred);

  // Runs are at most 4095 long: 10,000 bytes give runs of 4095, 4095 and 1810.
  const Bytes tenk(10000, 0x5A);
  const Bytes runs = Cat(Header("WAXF", 10000), {15, 0, 0x40, 0xE0, 0x00, 0x00, 0x0F, 0xEF, 0x5A, 0x00,
                                                0x0F, 0xEF, 0x5A, 0x00, 0x07, 0x02, 0x5A});
  EXPECT_EQ(Compress(tenk.data(), tenk.size(), TCompressMode::Fast), runs);
  EXPECT_EQ(Decode(runs), tenk);
}

TEST(Waxf, ChunkBoundaries) {
  // Exactly 32,768 bytes: one full block, then the empty-chunk block 0x80.
  const Bytes full = RandomBytes(32768, 1);
  const Bytes c = Compress(full.data(), full.size(), TCompressMode::Fast);
  ASSERT_EQ(c.size(), 8 + 2 + 32769 + 3u);
  EXPECT_EQ(c[8] | c[9] << 8, 32769);
  EXPECT_EQ(c[10], 0x80);
  EXPECT_EQ(Bytes(c.end() - 3, c.end()), (Bytes{1, 0, 0x80}));
  EXPECT_EQ(Decode(c), full);

  // Random data is stored and grows by exactly one flag byte per block.
  const Bytes odd = RandomBytes(1000, 2);
  const Bytes s = Compress(odd.data(), odd.size(), TCompressMode::Fast);
  EXPECT_EQ(s.size(), 8 + 2 + 1001u);
  EXPECT_EQ(s[10], 0x80);
}

TEST(Waxf, RoundTrips) {
  std::vector<Bytes> inputs = {Bytes{42}, Bytes{1, 2}, Bytes(3, 9), RandomBytes(17, 3), Bytes(32767, 0),
                               Bytes(32768, 7), Bytes(32769, 7), RandomBytes(32769, 4), RandomBytes(65536, 5),
                               TextLike(100000), PictureLike(320, 200)};
  Bytes mixed = TextLike(40000);
  const Bytes pic = PictureLike(128, 128);
  mixed.insert(mixed.end(), pic.begin(), pic.end());
  const Bytes rnd = RandomBytes(5000, 6);
  mixed.insert(mixed.end(), rnd.begin(), rnd.end());
  inputs.push_back(mixed);
  for (const Bytes& in : inputs) {
    const Bytes c = Compress(in.data(), in.size(), TCompressMode::Fast);
    EXPECT_EQ(Decode(c), in) << "size " << in.size();
  }
  // Compressible data really gets smaller.
  const Bytes text = TextLike(100000);
  EXPECT_LT(Compress(text.data(), text.size(), TCompressMode::Fast).size(), text.size() / 2);
  const Bytes p = PictureLike(320, 200);
  EXPECT_LT(Compress(p.data(), p.size(), TCompressMode::Fast).size(), p.size() / 4);
}

TEST(Waxf, CopiesAndRunsStayInRange) {
  // Walk the items of every coded block: distances 1..4095, copies 3..18, runs 16..4095.
  Bytes in = TextLike(60000);
  const Bytes pic = PictureLike(200, 100);
  in.insert(in.end(), pic.begin(), pic.end());
  in.insert(in.end(), 9000, 0);
  const Bytes c = Compress(in.data(), in.size(), TCompressMode::Fast);
  size_t pos = 8, copies = 0, runs = 0;
  while (pos + 2 <= c.size()) {
    const size_t len = c[pos] | c[pos + 1] << 8;
    const uint8_t* b = &c[pos + 2];
    pos += 2 + len;
    if (len < 2 || b[0] == 0x80) continue;
    size_t ip = 1;
    while (ip < len) {
      unsigned ctrl = b[ip] << 8 | b[ip + 1];
      ip += 2;
      for (int i = 0; i < 16 && ip < len; ++i, ctrl <<= 1) {
        if (!(ctrl & 0x8000)) {
          ++ip;
          continue;
        }
        const unsigned w = b[ip] << 8 | b[ip + 1];
        if ((w >> 4) == 0) {
          const unsigned count = (b[ip + 1] << 8 | b[ip + 2]) + 16;
          EXPECT_GE(count, 16u);
          EXPECT_LE(count, 4095u);
          ++runs;
          ip += 4;
        } else {
          EXPECT_LE(w >> 4, 4095u);
          ++copies;
          ip += 2;
        }
      }
    }
  }
  EXPECT_EQ(pos, c.size());
  EXPECT_GT(copies, 1000u);
  EXPECT_GE(runs, 3u);
}

TEST(Waxf, DamagedStreamsGiveShortOutputWithoutThrowing) {
  const Bytes in = TextLike(80000);
  const Bytes c = Compress(in.data(), in.size(), TCompressMode::Fast);
  EXPECT_TRUE(Decode(Cat(Header("WAXQ", 3), {1, 0, 0x80})).empty());
  EXPECT_TRUE(Decode(Bytes{'W', 'A', 'X'}).empty());
  // Every truncation yields a prefix made of whole blocks, never the whole text.
  for (size_t cut = 0; cut < c.size(); cut += 97) {
    const Bytes part(c.begin(), c.begin() + long(cut));
    const Bytes out = Decode(part);
    ASSERT_LT(out.size(), in.size());
    EXPECT_EQ(out.size() % 32768, 0u);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), in.begin()));
  }
  // A declared length above the caller's cap is refused.
  EXPECT_TRUE(Decode(c, in.size() - 1).empty());
  EXPECT_EQ(Decode(c, in.size()), in);
}

TEST(Waxf, DecoderRefusesImpossibleBlocks) {
  // A copy reaching before the first byte produced.
  EXPECT_TRUE(Decode(Cat(Header("WAXF", 4), {5, 0, 0x40, 0x80, 0x00, 0x01, 0x01})).empty());
  // A stored block of 32,770 bytes (over the 32,769 limit).
  Bytes big = Cat(Header("WAXF", 32769), {0x02, 0x80, 0x80});
  big.resize(big.size() + 32769, 1);
  EXPECT_TRUE(Decode(big).empty());
  // Nine runs of 4095 bytes: more than 32,768 bytes from one block.
  Bytes runs = Header("WAXF", 36855);
  Bytes block = {0x40, 0xFF, 0x80};
  for (int i = 0; i < 9; ++i) block.insert(block.end(), {0x00, 0x0F, 0xEF, 0x11});
  runs.push_back(uint8_t(block.size()));
  runs.push_back(0);
  EXPECT_TRUE(Decode(Cat(runs, block)).empty());
  // A copy item cut off by the block end.
  EXPECT_TRUE(Decode(Cat(Header("WAXF", 4), {4, 0, 0x40, 0x00, 0x00, 'x'})).size() <= 1);
  // A block taking the output past the declared length is dropped.
  Bytes over = Cat(Header("WAXF", 10), {0x01, 0x80, 0x80});
  over.resize(over.size() + 32768, 'z');
  EXPECT_TRUE(Decode(over).empty());
}

TEST(Waxf, CorruptedContainersNeverExceedTheCap) {
  const Bytes in = TextLike(70000);
  const Bytes good = Compress(in.data(), in.size(), TCompressMode::Fast);
  std::mt19937 gen(11);
  for (int round = 0; round < 300; ++round) {
    Bytes c = good;
    for (int k = 0; k < 1 + round % 5; ++k) c[8 + gen() % (c.size() - 8)] = uint8_t(gen());
    const Bytes out = Decode(c, in.size());
    ASSERT_LE(out.size(), in.size());
  }
}

TEST(Codec, EitherTagDecodesAndDamageReturnsNormally) {
  const Bytes in = TextLike(50000);
  const Bytes fast = Compress(in.data(), in.size(), TCompressMode::Fast);
  const Bytes good = Compress(in.data(), in.size(), TCompressMode::Good);
  EXPECT_EQ(Bytes(fast.begin(), fast.begin() + 4), (Bytes{'W', 'A', 'X', 'F'}));
  EXPECT_EQ(Bytes(good.begin(), good.begin() + 4), (Bytes{'W', 'A', 'X', 'S'}));
  EXPECT_EQ(Decode(fast), in);
  EXPECT_EQ(Decode(good), in);

  // A truncated container: the bytes produced, fewer than declared.
  for (const Bytes* c : {&fast, &good}) {
    const Bytes cut(c->begin(), c->begin() + long(c->size() / 2));
    EXPECT_LT(Decode(cut).size(), in.size());
    // The cap applies to the declared length.
    EXPECT_TRUE(Decode(*c, 1000).empty());
  }
}

TEST(Codec, DecompressAppendsToWhatTheCallerHolds) {
  const Bytes in = TextLike(20000);
  const Bytes packed = Compress(in.data(), in.size(), TCompressMode::Good);
  Bytes plain{7};
  EXPECT_EQ(Decompress(packed.data(), packed.size(), in.size(), plain), in.size());
  EXPECT_EQ(plain[0], 7);
  EXPECT_EQ(Bytes(plain.begin() + 1, plain.end()), in);
  EXPECT_EQ(Decompress(packed.data(), packed.size(), in.size() - 1, plain), 0u);
  EXPECT_EQ(plain.size(), 1 + in.size());
}

TEST(Codec, AdviseAndAutoMode) {
  const Bytes small = TextLike(1000), noise = RandomBytes(200000, 9), pic = PictureLike(400, 300);
  EXPECT_EQ(Advise(small.data(), small.size()), TCompressMode::Good);
  EXPECT_EQ(Advise(noise.data(), noise.size()), TCompressMode::Good);
  EXPECT_EQ(Advise(pic.data(), pic.size()), TCompressMode::Fast);
  EXPECT_EQ(Compress(pic.data(), pic.size(), TCompressMode::Auto)[3], 'F');
  EXPECT_EQ(Compress(small.data(), small.size(), TCompressMode::Auto)[3], 'S');
}

}  // namespace
}  // namespace gravik

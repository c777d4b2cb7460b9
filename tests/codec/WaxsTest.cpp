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

// Bit string ("1011...") to bytes, most significant bit first, zero padded.
Bytes Bits(const std::string& bits) {
  Bytes out((bits.size() + 7) / 8, 0);
  for (size_t i = 0; i < bits.size(); ++i)
    if (bits[i] == '1') out[i / 8] |= uint8_t(0x80 >> (i % 8));
  return out;
}

// Code of a symbol in the starting tree: leaves 0..313, node 314 + k joins
// nodes 2k and 2k + 1, the root is 626; the odd child is the 1 branch.
std::string FirstCode(int symbol) {
  std::string code;
  for (int x = symbol; x != 626; x = 314 + x / 2) code.insert(code.begin(), char('0' + (x & 1)));
  return code;
}

Bytes Waxs(uint32_t length, const std::string& bits) {
  Bytes c = {'W', 'A', 'X', 'S'};
  ByteWriter(c).U32(length);
  const Bytes body = Bits(bits);
  c.insert(c.end(), body.begin(), body.end());
  return c;
}

TEST(Waxs, HandBuiltStreamsDecode) {
  // One literal 'A': its 9-bit code in the starting tree.
  ASSERT_EQ(FirstCode('A'), "111001101");
  EXPECT_EQ(Waxs(1, FirstCode('A')), (Bytes{'W', 'A', 'X', 'S', 1, 0, 0, 0, 0xE6, 0x80}));
  EXPECT_EQ(Decode(Waxs(1, FirstCode('A'))), (Bytes{'A'}));
  EXPECT_EQ(Compress(reinterpret_cast<const uint8_t*>("A"), 1, TCompressMode::Good), Waxs(1, FirstCode('A')));

  // A first symbol that copies 5 bytes (symbol 258) from position 100 of the
  // ring: upper position bits 1 ("0010"), lower six bits 36 ("100100"). The
  // ring starts filled with spaces.
  const Bytes spaces = Decode(Waxs(5, FirstCode(258) + "0010" + "100100"));
  EXPECT_EQ(spaces, Bytes(5, ' '));

  // The mended limit: a copy running past the declared length stops decoding.
  EXPECT_TRUE(Decode(Waxs(3, FirstCode(258) + "0010" + "100100")).empty());
  // A stream that runs dry stops instead of decoding padding as data.
  EXPECT_TRUE(Decode(Waxs(1000, FirstCode('A'))).size() <= 1);
}

TEST(Waxs, EmptyInputIsHeaderOnly) {
  const Bytes c = Compress(nullptr, 0, TCompressMode::Good);
  EXPECT_EQ(c, (Bytes{'W', 'A', 'X', 'S', 0, 0, 0, 0}));
  EXPECT_TRUE(Decode(c).empty());
}

TEST(Waxs, RoundTrips) {
  std::mt19937 gen(3);
  std::vector<Bytes> inputs;
  inputs.push_back(Bytes{0});
  inputs.push_back(Bytes(60, ' '));     // matches against the initial spaces
  inputs.push_back(Bytes(10000, 'x'));  // long self-overlapping copies
  Bytes random(40000);
  for (auto& b : random) b = uint8_t(gen());
  inputs.push_back(random);
  // Skewed symbols (each value half as frequent as the one before) push the
  // adaptive tree deep and make it rebuild many times.
  Bytes skewed(300000);
  for (auto& b : skewed) {
    unsigned v = 0;
    while (v < 40 && (gen() & 1)) ++v;
    b = uint8_t(v * 5);
  }
  inputs.push_back(skewed);
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "Level " + std::to_string(i % 20 + 1) + ": rocks " + std::to_string(gen() % 1000) + "\n";
  inputs.push_back(Bytes(text.begin(), text.end()));
  for (const Bytes& in : inputs) {
    const Bytes c = Compress(in.data(), in.size(), TCompressMode::Good);
    EXPECT_EQ(Decode(c), in) << "size " << in.size();
  }
  const Bytes t(text.begin(), text.end());
  EXPECT_LT(Compress(t.data(), t.size(), TCompressMode::Good).size(), t.size() / 3);
}

TEST(Waxs, DamagedStreamsStopShort) {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "diamond " + std::to_string(i * 7919 % 1000) + " ";
  const Bytes in(text.begin(), text.end());
  const Bytes c = Compress(in.data(), in.size(), TCompressMode::Good);
  for (size_t cut = 8; cut < c.size(); cut += 53) {
    const Bytes out = Decode(Bytes(c.begin(), c.begin() + long(cut)));
    ASSERT_LT(out.size(), in.size());
    EXPECT_TRUE(std::equal(out.begin(), out.end(), in.begin()));
  }
  EXPECT_TRUE(Decode(c, in.size() - 1).empty());
  std::mt19937 gen(5);
  for (int round = 0; round < 200; ++round) {
    Bytes d = c;
    d[8 + gen() % (d.size() - 8)] ^= uint8_t(1 + gen() % 255);
    ASSERT_LE(Decode(d, in.size()).size(), in.size());
  }
}

}  // namespace
}  // namespace gravik

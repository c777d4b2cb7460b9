#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/Crc.h"
#include "base/XorKey.h"

namespace gravik {
namespace {

TEST(Crc16Xmodem, KnownValues) {
  const char* check = "123456789";
  EXPECT_EQ(Crc16Xmodem(reinterpret_cast<const uint8_t*>(check), 9), 0x31C3);
  EXPECT_EQ(Crc16Xmodem(nullptr, 0), 0x0000);
  const uint8_t a = 'A';
  EXPECT_EQ(Crc16Xmodem(&a, 1), 0x58E5);
  const uint8_t zeros[4] = {};
  EXPECT_EQ(Crc16Xmodem(zeros, 4), 0x0000);  // init 0: zeros leave it at 0
  const uint8_t ff[2] = {0xFF, 0xFF};
  EXPECT_EQ(Crc16Xmodem(ff, 2), 0x1D0F);
}

TEST(Crc16Xmodem, ContinuesOverRegions) {
  const char* text = "The quick brown fox jumps over the lazy dog";
  const auto* p = reinterpret_cast<const uint8_t*>(text);
  const size_t n = std::strlen(text);
  const uint16_t whole = Crc16Xmodem(p, n);
  for (size_t cut = 0; cut <= n; cut += 7) EXPECT_EQ(Crc16Xmodem(p + cut, n - cut, Crc16Xmodem(p, cut)), whole);
}

TEST(XorWithKey, RepeatsKeyFromRegionStartAndRestores) {
  std::vector<uint8_t> data(10, 0x00);
  const uint8_t key[3] = {0x01, 0x02, 0x03};
  XorWithKey(data.data(), data.size(), key, 3);
  EXPECT_EQ(data, (std::vector<uint8_t>{1, 2, 3, 1, 2, 3, 1, 2, 3, 1}));
  // A second region starts again at key byte 0.
  XorWithKey(data.data() + 3, 7, key, 3);
  EXPECT_EQ(data, (std::vector<uint8_t>{1, 2, 3, 0, 0, 0, 0, 0, 0, 0}));
  XorWithKey(data.data(), 3, key, 3);
  EXPECT_EQ(data, std::vector<uint8_t>(10, 0));
  std::vector<uint8_t> same{5, 6, 7};
  XorWithKey(same.data(), same.size(), key, 0);  // an empty key changes nothing
  EXPECT_EQ(same, (std::vector<uint8_t>{5, 6, 7}));
}

}  // namespace
}  // namespace gravik

// Small pieces of the game flow: the time text and the pause picture.
#include <gtest/gtest.h>

#include "base/Types.h"
#include "frame/GameFlow.h"

namespace gravik {
namespace {

TEST(GameFlow, PlayTimeTextPadsAndLeadsWithABlankBelowAHundredHours) {
  EXPECT_EQ(FormatPlayTime(0), " 00h 00m 00s");
  EXPECT_EQ(FormatPlayTime(3661), " 01h 01m 01s");
  EXPECT_EQ(FormatPlayTime(99 * 3600 + 59 * 60 + 59), " 99h 59m 59s");
  EXPECT_EQ(FormatPlayTime(100 * 3600), "100h 00m 00s");
}

TEST(GameFlow, PauseDarkensEachComponentToTwoThirds) {
  uint16_t px[4] = {0xFFFF, Rgb565(0, 0, 0), uint16_t((1 << 11) | (1 << 5) | 1), uint16_t(3 << 11)};
  DarkenPicture(px, 4);
  // 31 -> 20, 63 -> 42 (truncated thirds, doubled).
  EXPECT_EQ(px[0], uint16_t((20 << 11) | (42 << 5) | 20));
  EXPECT_EQ(px[1], 0);
  // Every component reduced to 0: the pixel is left as it was.
  EXPECT_EQ(px[2], uint16_t((1 << 11) | (1 << 5) | 1));
  EXPECT_EQ(px[3], uint16_t(2 << 11));
}

}  // namespace
}  // namespace gravik

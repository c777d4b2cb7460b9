#include <gtest/gtest.h>

#include "render/Iris.h"
#include "world/Transport.h"

using namespace gravik;

TEST(TransportIris, ClosesAndOpensAtATenthOfARingPerMillisecond) {
  TransportIris iris;
  BeginIrisClose(iris, 1000, false);
  EXPECT_EQ(iris.XOffset, 80);
  EXPECT_DOUBLE_EQ(iris.Progress, 1.0);
  BeginIrisClose(iris, 5000, true);  // only the first frame starts it
  EXPECT_EQ(iris.Clock, 1000u);
  EXPECT_FALSE(AdvanceIrisClose(iris, 1300));
  EXPECT_DOUBLE_EQ(iris.Progress, 31.0);
  EXPECT_TRUE(AdvanceIrisClose(iris, 1700));
  EXPECT_DOUBLE_EQ(iris.Progress, 62.0);

  iris.Started = false;
  BeginIrisOpen(iris, 2000, true);
  EXPECT_EQ(iris.XOffset, 0);
  EXPECT_DOUBLE_EQ(iris.Progress, 60.0);
  EXPECT_FALSE(AdvanceIrisOpen(iris, 2585));
  EXPECT_TRUE(AdvanceIrisOpen(iris, 2595));
  EXPECT_DOUBLE_EQ(iris.Progress, 0.0);
}

TEST(TransportIris, RingsFillFromTheOutsideInWithSevenColours) {
  TransportIris iris;
  for (int i = 1; i <= 7; ++i) iris.Colours[size_t(i)] = RGB(uint8_t(i * 30), 0, 0);
  iris.XOffset = 80;
  Bitmap b;
  b.SetSize(640, 480, 0);
  iris.Progress = 8.5;  // rings 1..8 filled
  DrawIris(b, iris);
  EXPECT_EQ(b.Pixel(80, 0), ToRgb565(iris.Colours[1]));
  EXPECT_EQ(b.Pixel(80 + 240, 25), ToRgb565(iris.Colours[7]));   // ring 7
  EXPECT_EQ(b.Pixel(80 + 240, 477), ToRgb565(iris.Colours[1]));  // bottom band of ring 1
  EXPECT_EQ(b.Pixel(80 + 240, 29), ToRgb565(iris.Colours[1]));   // ring 8 wraps to entry 1
  EXPECT_EQ(b.Pixel(80 + 240, 32), 0);                            // ring 9: hollow
  EXPECT_EQ(b.Pixel(79, 0), 0);                                   // left of the playfield
  EXPECT_EQ(b.Pixel(560, 0), 0);
}

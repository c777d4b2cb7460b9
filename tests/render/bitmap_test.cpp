#include <gtest/gtest.h>

#include <climits>

#include "gfx/Bitmap.h"

namespace gravik {
namespace {

Bitmap Numbered(int w, int h) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, uint16_t(1 + x + y * 100));
  return b;
}

TEST(Bitmap, BlitClipsSourceAndDestination) {
  const Bitmap src = Numbered(10, 10);
  Bitmap dst(8, 8);
  // Source rectangle partly outside the source, destination partly off the left.
  Blit(dst, -2, 1, src, {-3, 2, 6, 20});
  // Source (0, 2) lands at x = -2 + 3 = 1; source (2, 2) at column 3.
  EXPECT_EQ(dst.Pixel(0, 1), 0);
  EXPECT_EQ(dst.Pixel(1, 1), src.Pixel(0, 2));
  EXPECT_EQ(dst.Pixel(3, 7), src.Pixel(2, 8));
  EXPECT_EQ(dst.Pixel(6, 1), src.Pixel(5, 2));  // source column 5 is the last one
  EXPECT_EQ(dst.Pixel(7, 1), 0);
  EXPECT_EQ(dst.Pixel(1, 0), 0);

  Bitmap far(4, 4);
  Blit(far, INT_MIN + 1, INT_MAX - 1, src, src.Rect());
  Blit(far, INT_MAX, INT_MIN, src, {INT_MIN, INT_MIN, INT_MAX, INT_MAX});
  EXPECT_EQ(far, Bitmap(4, 4));
}

TEST(Bitmap, BlitWithinOneBitmapOverlapping) {
  Bitmap b = Numbered(6, 6);
  const Bitmap before = b;
  Blit(b, 1, 1, b, Bounds(0, 0, 4, 4));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(b.Pixel(x + 1, y + 1), before.Pixel(x, y)) << x << "," << y;

  Bitmap k = Numbered(6, 6);
  Blit(k, 2, 0, k, Bounds(0, 0, 4, 6), true, k.Pixel(1, 0));  // keyed, to the right
  EXPECT_EQ(k.Pixel(2, 0), before.Pixel(0, 0));
  EXPECT_EQ(k.Pixel(3, 0), before.Pixel(3, 0));  // key pixel skipped
  EXPECT_EQ(k.Pixel(4, 0), before.Pixel(2, 0));
  EXPECT_EQ(k.Pixel(5, 0), before.Pixel(3, 0));
}

TEST(Bitmap, BlitPixelsFromAPitchedBlock) {
  // A 3 x 2 block inside rows of 5 pixels; 7 is the key.
  const std::vector<uint16_t> raw = {1, 2, 7, 0, 0, 4, 5, 6, 0, 0};
  Bitmap dst(4, 4, 9);
  BlitPixels(dst, -1, 2, raw.data(), 3, 2, 5, true, 7);
  EXPECT_EQ(dst.Pixel(0, 2), 2);
  EXPECT_EQ(dst.Pixel(1, 2), 9);  // keyed
  EXPECT_EQ(dst.Pixel(0, 3), 5);
  EXPECT_EQ(dst.Pixel(1, 3), 6);
  EXPECT_EQ(dst.Pixel(2, 3), 9);
  BlitPixels(dst, 0, 0, raw.data(), 3, 2, 2);  // pitch narrower than the block: refused
  EXPECT_EQ(dst.Pixel(0, 0), 9);
}

TEST(Bitmap, CanvasOperations) {
  Bitmap b(10, 10);
  b.FillRect({-5, 8, 3, 50}, 7);
  EXPECT_EQ(b.Pixel(0, 9), 7);
  EXPECT_EQ(b.Pixel(3, 9), 0);
  b.Fill(0);
  b.Line(0, 0, 4, 0, 1);  // end point not drawn
  EXPECT_EQ(b.Pixel(3, 0), 1);
  EXPECT_EQ(b.Pixel(4, 0), 0);
  b.FrameRect({2, 2, 6, 5}, 3);
  EXPECT_EQ(b.Pixel(5, 4), 3);
  EXPECT_EQ(b.Pixel(3, 3), 0);
  EXPECT_EQ(b.Pixel(6, 4), 0);

  Bitmap small(2, 2);
  small.SetPixel(1, 1, 9);
  Bitmap big(4, 4);
  StretchBlit(big, big.Rect(), small, small.Rect());
  EXPECT_EQ(big.Pixel(2, 2), 9);
  EXPECT_EQ(big.Pixel(3, 3), 9);
  EXPECT_EQ(big.Pixel(1, 3), 0);

  const Bitmap cut = Crop(Numbered(5, 5), {3, 3, 7, 6});
  EXPECT_EQ(cut.Width(), 4);
  EXPECT_EQ(cut.Pixel(0, 0), Numbered(5, 5).Pixel(3, 3));
  EXPECT_EQ(cut.Pixel(2, 0), 0);
}

}  // namespace
}  // namespace gravik

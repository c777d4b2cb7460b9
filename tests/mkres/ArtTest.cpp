// What the pictures must show for the game to read right: compass arrows point
// where their code says, left walks mirror right walks, and the player's frames
// stand on the same spot so the figure does not jitter between frames.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "GraphicsSet.h"

namespace gravik::mkres {
namespace {

Catalogue Blocks() { return LoadCatalogue(std::string(GRAVIK_SOURCE_DIR) + "/assets/blocks.txt"); }

struct Rgb8 {
  int r, g, b;
};
Rgb8 At(const Bitmap& b, int x, int y) {
  const TColor c = FromRgb565(b.Pixel(x, y));
  return {int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)};
}

TEST(BlockArt, CompassArrowsPointTowardsThePlayer) {
  const Catalogue cat = Blocks();
  // Code -> direction in degrees clockwise from the right (y grows downwards).
  const int codes[8] = {80, 81, 82, 83, 84, 85, 86, 117};
  for (int style = 1; style <= 2; ++style)
    for (int i = 0; i < 8; ++i) {
      const Bitmap pic = RenderBlock(cat, codes[i], 1, style).Block;
      const Bitmap base = RenderBlock(cat, cat.Find("ENDCHAR1"), 1, style).Block;
      // The arrow: bright yellow pixels that the plain end character lacks.
      double sx = 0, sy = 0;
      int n = 0;
      for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
          const Rgb8 p = At(pic, x, y);
          if (p.r > 180 && p.g > 140 && p.b < 110 && pic.Pixel(x, y) != base.Pixel(x, y)) {
            sx += x - 32;
            sy += y - 34;
            ++n;
          }
        }
      ASSERT_GT(n, 40) << codes[i];
      double angle = std::atan2(sy, sx) * 180 / M_PI;
      if (angle < 0) angle += 360;
      double off = std::fabs(angle - i * 45);
      off = std::min(off, 360 - off);
      EXPECT_LT(off, 15) << "code " << codes[i] << " style " << style << " points at " << angle;
    }
}

TEST(BlockArt, LeftWalksMirrorRightWalks) {
  const Catalogue cat = Blocks();
  const std::pair<int, int> pairs[] = {{87, 94}, {88, 95}, {90, 97}, {93, 100}, {41, 45}, {44, 48}};
  for (int style = 1; style <= 2; ++style)
    for (auto [right, left] : pairs) {
      const Bitmap r = RenderBlock(cat, right, 1, style).Block, l = RenderBlock(cat, left, 1, style).Block;
      int differing = 0;
      for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
          // Edge pixels may round differently; count only clear differences.
          const Rgb8 a = At(r, x, y), b = At(l, 63 - x, y);
          differing += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 96;
        }
      EXPECT_LT(differing, 64 * 64 / 50) << right << " / " << left << " style " << style;
      EXPECT_FALSE(r == l) << right << " must face the other way from " << left;
    }
}

TEST(BlockArt, PlayerFramesStandOnTheSameSpot) {
  const Catalogue cat = Blocks();
  std::vector<int> frames = {38, 39, 40, 77, 101, 102, 103, 104, 108, 109, 110, 111};
  for (int code = 41; code <= 50; ++code) frames.push_back(code);
  for (int code = 66; code <= 70; ++code) frames.push_back(code);
  for (int code = 87; code <= 100; ++code) frames.push_back(code);
  for (int style = 1; style <= 2; ++style) {
    const uint16_t key = style == 1 ? kMagentaKey : kBlackKey;
    for (int code : frames) {
      const Bitmap pic = RenderBlock(cat, code, 1, style).Block;
      int lowest = -1, top = 64;
      double sx = 0;
      int n = 0;
      for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
          if (pic.Pixel(x, y) != key) {
            lowest = y;
            top = std::min(top, y);
            sx += x;
            ++n;
          }
      SCOPED_TRACE(testing::Message() << "code " << code << " style " << style);
      EXPECT_GE(lowest, 57);      // boots on the floor of the cell
      EXPECT_LE(lowest, 62);
      EXPECT_GE(top, 0);
      EXPECT_NEAR(sx / n, 32, 4);  // centred in the cell
    }
  }
}

}  // namespace
}  // namespace gravik::mkres

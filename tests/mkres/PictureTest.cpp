// Turning Cairo drawings into the game's pictures: key colours kept out of
// visible pixels, coverage thresholds, and thumbnails that average areas.
#include <gtest/gtest.h>

#include "Picture.h"

namespace gravik::mkres {
namespace {

// A 64 x 64 transparent canvas with one filled rectangle of the given colour.
Surface Canvas(double r, double g, double b, double alpha, double x = 0, double y = 0, double w = 64, double h = 64) {
  Surface s(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 64, 64));
  cairo_t* cr = cairo_create(s.get());
  cairo_rectangle(cr, x, y, w, h);
  cairo_set_source_rgba(cr, r, g, b, alpha);
  cairo_fill(cr);
  cairo_destroy(cr);
  return s;
}

TEST(PictureConversion, VisibleBlackAndMagentaNeverEqualTheKeys) {
  // Opaque black drawn in a sprite becomes near-black, not the black key.
  Surface black = Canvas(0, 0, 0, 1, 10, 10, 20, 20);
  const Bitmap sprite = ToBlockBitmap(black.get(), KeyMode::Sprite);
  EXPECT_EQ(sprite.Pixel(15, 15), kNearBlack);
  EXPECT_EQ(sprite.Pixel(0, 0), kBlackKey);
  // A solid picture has no black at all.
  EXPECT_EQ(ToBlockBitmap(black.get(), KeyMode::Solid).Pixel(0, 0), kNearBlack);

  // Opaque magenta in a magenta-keyed frame is nudged off the key.
  Surface magenta = Canvas(1, 0, 1, 1, 10, 10, 20, 20);
  const Bitmap frame = ToBlockBitmap(magenta.get(), KeyMode::Magenta);
  EXPECT_NE(frame.Pixel(15, 15), kMagentaKey);
  EXPECT_EQ(frame.Pixel(0, 0), kMagentaKey);
  for (KeyMode k : {KeyMode::Solid, KeyMode::Floor, KeyMode::Sprite})
    EXPECT_NE(ToBlockBitmap(magenta.get(), k).Pixel(15, 15), kMagentaKey);
}

TEST(PictureConversion, KeyedEdgesKeepTheirOwnColour) {
  // Coverage below one half is background; above, the colour is not darkened.
  Surface faint = Canvas(1, 1, 1, 0.4);
  Surface strong = Canvas(1, 1, 1, 0.6);
  EXPECT_EQ(ToBlockBitmap(faint.get(), KeyMode::Sprite).Pixel(5, 5), kBlackKey);
  EXPECT_EQ(ToBlockBitmap(faint.get(), KeyMode::Magenta).Pixel(5, 5), kMagentaKey);
  EXPECT_EQ(ToBlockBitmap(strong.get(), KeyMode::Sprite).Pixel(5, 5), 0xFFFF);
  EXPECT_EQ(ToBlockBitmap(strong.get(), KeyMode::Magenta).Pixel(5, 5), 0xFFFF);
  // An object on the floor blends into the black floor instead.
  const TColor floor = FromRgb565(ToBlockBitmap(strong.get(), KeyMode::Floor).Pixel(5, 5));
  EXPECT_NEAR(int(floor & 0xFF), 153, 8);
}

TEST(PictureConversion, ThumbnailsAverageTheAreaTheyCover) {
  // Left half white: thumbnail columns 0..7 white, 8..15 black, all 15 rows.
  Surface half = Canvas(1, 1, 1, 1, 0, 0, 32, 64);
  const Bitmap t = ToThumbBitmap(half.get());
  ASSERT_EQ(t.Width(), 16);
  ASSERT_EQ(t.Height(), 15);
  for (int y = 0; y < 15; ++y) {
    EXPECT_EQ(t.Pixel(7, y), 0xFFFF);
    EXPECT_EQ(t.Pixel(8, y), 0x0000);
  }
  // Rows are 64/15 pixels high, so a 32-pixel band splits thumbnail row 7.
  Surface top = Canvas(1, 1, 1, 1, 0, 0, 64, 32);
  const Bitmap u = ToThumbBitmap(top.get());
  EXPECT_EQ(u.Pixel(0, 6), 0xFFFF);
  const TColor mid = FromRgb565(u.Pixel(0, 7));
  EXPECT_GT(int(mid & 0xFF), 90);
  EXPECT_LT(int(mid & 0xFF), 170);
  EXPECT_EQ(u.Pixel(0, 8), 0x0000);
}

}  // namespace
}  // namespace gravik::mkres

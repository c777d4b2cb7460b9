#include <gtest/gtest.h>

#include "base/Errors.h"
#include "gfx/ImageList.h"

namespace gravik {
namespace {

constexpr uint16_t kRed = Rgb565(255, 0, 0);
constexpr uint16_t kGrey = Rgb565(128, 128, 128);

// A picture whose every pixel encodes its own position, so a draw can be
// traced back to the source pixel.
Bitmap Numbered(int w, int h) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, uint16_t(1 + x + y * 1000));
  return b;
}

TEST(ImageList, FindIsCaseInsensitiveAndMissingNamesRaise) {
  ImageList list;
  ImageEntry& e = list.AddImage("GameBlocks");
  EXPECT_EQ(&list.FindImage("gameblocks"), &e);
  EXPECT_EQ(&list.FindImage("GAMEBLOCKS"), &e);
  EXPECT_EQ(list.TryFindImage("Player"), nullptr);
  try {
    list.FindImage("Player");
    FAIL() << "no exception";
  } catch (const EPictureCollectionError& err) {
    EXPECT_STREQ(err.what(), "Image 'Player' not found");
  }
}

TEST(ImageList, ReplaceAppendsAFreshEntryWithoutInvalidatingHolders) {
  ImageList list;
  ImageEntry& first = list.AddImage("Map");
  list.AddImage("Other");
  first.Picture = Numbered(32, 30);
  first.PatternWidth = 16;
  first.Transparent = false;
  RebuildSurfaces(first);

  ImageEntry& fresh = list.ReplaceImage("map");
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(&list.At(1), &fresh);
  EXPECT_EQ(list.At(0).Name, "Other");
  EXPECT_EQ(fresh.Name, "map");
  EXPECT_TRUE(fresh.Transparent);
  EXPECT_EQ(fresh.PatternWidth, 0);
  EXPECT_TRUE(fresh.Picture.Empty());
  // Whoever still holds the old entry sees the fresh one and draws nothing.
  Bitmap surface(40, 40, kGrey);
  DrawPattern(first, surface, 0, 0, 0);
  EXPECT_EQ(surface, Bitmap(40, 40, kGrey));
  // Replacing an unknown name just adds it.
  list.ReplaceImage("New");
  EXPECT_EQ(list.Count(), 3);
}

TEST(ImageList, PatternsAreCutRowMajorAndRemaindersFormNone) {
  ImageEntry e;
  e.Picture = Bitmap(640, 150);
  e.PatternWidth = e.PatternHeight = 64;
  EXPECT_EQ(ImageWidth(e), 64);
  EXPECT_EQ(PatternCount(e), 0);  // not yet prepared
  RebuildSurfaces(e);
  EXPECT_EQ(PatternCount(e), 20);  // 10 per row, 2 full rows; 22 px left over
  EXPECT_EQ(PatternRect(e, 10), Bounds(0, 64, 64, 64));
  EXPECT_EQ(PatternRect(e, 19), Bounds(576, 64, 64, 64));
  EXPECT_TRUE(PatternRect(e, 20).Empty());
  EXPECT_TRUE(PatternRect(e, -1).Empty());

  ImageEntry narrow;
  narrow.Picture = Bitmap(100, 63);
  narrow.PatternWidth = narrow.PatternHeight = 64;
  RebuildSurfaces(narrow);
  EXPECT_EQ(PatternCount(narrow), 0);

  ImageEntry whole;
  whole.Picture = Bitmap(23, 35);
  RebuildSurfaces(whole);
  EXPECT_EQ(ImageWidth(whole), 23);
  EXPECT_EQ(ImageHeight(whole), 35);
  EXPECT_EQ(PatternCount(whole), 1);
  EXPECT_EQ(PatternRect(whole, 0), Bounds(0, 0, 23, 35));

  ImageEntry empty;
  RebuildSurfaces(empty);
  EXPECT_EQ(PatternCount(empty), 0);
  Bitmap surface(8, 8, kGrey);
  DrawPattern(empty, surface, 0, 0, 0);
  EXPECT_EQ(surface, Bitmap(8, 8, kGrey));
}

TEST(ImageList, DrawPatternCopiesTheRightPatternClipped) {
  ImageEntry e;
  e.Picture = Numbered(640, 128);
  e.PatternWidth = e.PatternHeight = 64;
  e.Transparent = false;
  RebuildSurfaces(e);

  Bitmap surface(100, 100, kGrey);
  DrawPattern(e, surface, -40, 10, 10);  // pattern 10 = first of the second row
  // Only the right 24 columns are visible, from source column 40 on.
  EXPECT_EQ(surface.Pixel(0, 10), e.Picture.Pixel(40, 64));
  EXPECT_EQ(surface.Pixel(23, 73), e.Picture.Pixel(63, 127));
  EXPECT_EQ(surface.Pixel(24, 10), kGrey);
  EXPECT_EQ(surface.Pixel(0, 9), kGrey);
  EXPECT_EQ(surface.Pixel(0, 74), kGrey);

  Bitmap corner(100, 100, kGrey);
  DrawPattern(e, corner, 70, -20, 3);
  EXPECT_EQ(corner.Pixel(70, 0), e.Picture.Pixel(192, 20));
  EXPECT_EQ(corner.Pixel(99, 43), e.Picture.Pixel(221, 63));
  EXPECT_EQ(corner.Pixel(69, 0), kGrey);
  EXPECT_EQ(corner.Pixel(70, 44), kGrey);

  Bitmap untouched(100, 100, kGrey);
  DrawPattern(e, untouched, 0, 0, 20);
  DrawPattern(e, untouched, 0, 0, -1);
  DrawPattern(e, untouched, 100, 0, 0);
  DrawPattern(e, untouched, -64, 0, 0);
  EXPECT_EQ(untouched, Bitmap(100, 100, kGrey));
}

TEST(ImageList, ColourKeyIsComparedAsRgb565) {
  ImageEntry e;
  e.Picture = Bitmap(3, 1);
  e.Picture.SetPixel(0, 0, 0);                         // black
  e.Picture.SetPixel(1, 0, Rgb565(248, 1, 249));        // same 565 value as magenta
  e.Picture.SetPixel(2, 0, kRed);
  RebuildSurfaces(e);

  Bitmap s(3, 1, kGrey);
  DrawPattern(e, s, 0, 0, 0);  // transparent, key black
  EXPECT_EQ(s.Pixel(0, 0), kGrey);
  EXPECT_EQ(s.Pixel(1, 0), Rgb565(248, 1, 249));
  EXPECT_EQ(s.Pixel(2, 0), kRed);

  e.TransparentColor = RGB(255, 0, 255);  // takes effect without a rebuild
  s.Fill(kGrey);
  DrawPattern(e, s, 0, 0, 0);
  EXPECT_EQ(s.Pixel(0, 0), 0);
  EXPECT_EQ(s.Pixel(1, 0), kGrey);

  e.Transparent = false;
  s.Fill(kGrey);
  DrawPattern(e, s, 0, 0, 0);
  EXPECT_EQ(s.Pixel(0, 0), 0);
  EXPECT_EQ(s.Pixel(1, 0), Rgb565(248, 1, 249));
}

TEST(ImageList, DrawsUseThePreviousPatternsUntilRebuilt) {
  ImageEntry e;
  e.Transparent = false;
  e.Picture = Bitmap(4, 2, kRed);
  e.PatternWidth = 2;
  Bitmap s(4, 2, kGrey);
  DrawPattern(e, s, 0, 0, 0);  // never prepared
  EXPECT_EQ(s, Bitmap(4, 2, kGrey));

  RebuildSurfaces(e);
  e.Picture.Fill(kGrey);
  e.PatternWidth = 4;
  EXPECT_EQ(ImageWidth(e), 4);  // the entry's setting
  EXPECT_EQ(PatternRect(e, 1), Bounds(2, 0, 2, 2));  // the prepared cut
  s.Fill(0);
  DrawPattern(e, s, 0, 0, 1);
  EXPECT_EQ(s.Pixel(1, 1), kRed);
  EXPECT_EQ(s.Pixel(2, 0), 0);

  RebuildSurfaces(e);
  EXPECT_EQ(PatternCount(e), 1);
  s.Fill(0);
  DrawPattern(e, s, 0, 0, 0);
  EXPECT_EQ(s, Bitmap(4, 2, kGrey));
}

TEST(ImageList, ReleaseAndRebuildAllFollowTheSurface) {
  ImageList list;
  ImageEntry& a = list.AddImage("a");
  a.Picture = Bitmap(2, 2, kRed);
  list.RebuildAll();
  list.ReleaseAll();
  Bitmap s(2, 2, kGrey);
  DrawPattern(a, s, 0, 0, 0);
  EXPECT_EQ(s.Pixel(0, 0), kGrey);
  list.RebuildAll();
  DrawPattern(a, s, 0, 0, 0);
  EXPECT_EQ(s.Pixel(0, 0), kRed);
}

TEST(ImageList, DrawSurfaceClipsAndHonoursTheKey) {
  Bitmap panel = Numbered(160, 480);
  panel.SetPixel(5, 5, 0);
  Bitmap back(640, 480, kGrey);
  DrawSurface(back, 480, 0, panel.Rect(), panel, false);
  EXPECT_EQ(back.Pixel(480, 0), panel.Pixel(0, 0));
  EXPECT_EQ(back.Pixel(639, 479), panel.Pixel(159, 479));
  EXPECT_EQ(back.Pixel(485, 5), 0);
  EXPECT_EQ(back.Pixel(479, 0), kGrey);

  Bitmap keyed(640, 480, kGrey);
  DrawSurface(keyed, 560, -10, Bounds(0, 0, 100, 100), panel, true, 0);
  EXPECT_EQ(keyed.Pixel(565, 0), panel.Pixel(5, 10));
  EXPECT_EQ(keyed.Pixel(639, 0), panel.Pixel(79, 10));

  Bitmap off(640, 480, kGrey);
  DrawSurface(off, 640, 0, panel.Rect(), panel, false);
  DrawSurface(off, 0, 480, panel.Rect(), panel, false);
  EXPECT_EQ(off, Bitmap(640, 480, kGrey));
}

}  // namespace
}  // namespace gravik

#include <gtest/gtest.h>

#include "sprite/GameSprites.h"

namespace gravik {
namespace {

constexpr uint16_t kGrey = Rgb565(128, 128, 128);

// A sheet of 64 x 64 patterns, pattern n filled with colour 100 + n, except
// that pixel (0, 0) of each pattern is 1, so tile corners can be found.
void CellSheet(ImageEntry& e, int patterns) {
  e.Picture = Bitmap(640, 64 * ((patterns + 9) / 10));
  for (int n = 0; n < patterns; ++n) {
    const int x = 64 * (n % 10), y = 64 * (n / 10);
    e.Picture.FillRect(Bounds(x, y, 64, 64), uint16_t(100 + n));
    e.Picture.SetPixel(x, y, 1);
  }
  e.PatternWidth = e.PatternHeight = 64;
  e.Transparent = false;
  RebuildSurfaces(e);
}

struct Background : ::testing::Test {
  Bitmap surface{640, 480, kGrey};
  TSpriteEngine engine;
  ImageEntry blocks;
  TBackground* bg = nullptr;

  Background() {
    engine.SetSurface(&surface);
    CellSheet(blocks, 20);
    bg = new TBackground(&engine);
    bg->Image = &blocks;
  }
  // Grid of w x h cells, cell (x, y) holding pattern x + y * w.
  void Numbered(int w, int h) {
    bg->SetGridSize(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) bg->SetCell(x, y, x + y * w);
  }
  uint16_t Shows(int x, int y) const { return surface.Pixel(x, y); }
  static uint16_t Cell(int n) { return uint16_t(100 + n); }
};

TEST_F(Background, TiledCoversTheSurfaceWith154Draws) {
  bg->Tiled = true;
  bg->SetGridSize(43, 75);
  for (double x : {0.0, -63.0, 63.0, -40.0, 1000.5})
    for (double y : {0.0, -63.0, 63.0, -5000.0}) {
      surface.Fill(kGrey);
      bg->X = x;
      bg->Y = y;
      engine.RenderFrame();
      EXPECT_EQ(bg->CellsDrawn(), 154);
      int grey = 0;
      for (uint16_t p : surface.Pixels()) grey += p == kGrey;
      EXPECT_EQ(grey, 0) << x << "," << y;
    }
  EXPECT_EQ(bg->ScreenBounds(), engine.SurfaceRect());
}

TEST_F(Background, TiledPlacementWrapsBothWays) {
  bg->Tiled = true;
  Numbered(3, 2);
  bg->X = -40;
  engine.RenderFrame();
  // Grid column 0 starts at x = -40: its column 40 is at screen x 0.
  EXPECT_EQ(Shows(0, 1), Cell(0));
  EXPECT_EQ(Shows(24, 0), 1);  // grid column 1 starts at 24
  EXPECT_EQ(Shows(24, 1), Cell(1));
  EXPECT_EQ(Shows(88, 1), Cell(2));
  EXPECT_EQ(Shows(152, 0), 1);  // after the last grid column, column 0 again
  EXPECT_EQ(Shows(152, 1), Cell(0));
  EXPECT_EQ(Shows(25, 64), Cell(4));  // grid row 1
  EXPECT_EQ(Shows(25, 128), Cell(1));  // and row 0 again below it

  surface.Fill(kGrey);
  bg->X = 40;
  bg->Y = 10;
  engine.RenderFrame();
  // The last grid column shows on the left, the last grid row above.
  EXPECT_EQ(Shows(0, 10), Cell(2));
  EXPECT_EQ(Shows(40, 10), 1);
  EXPECT_EQ(Shows(40, 9), Cell(3));
  EXPECT_EQ(Shows(0, 0), Cell(5));
}

TEST_F(Background, EmptyCellsAndMissingPatternsDrawNothing) {
  bg->Tiled = true;
  Numbered(2, 1);
  bg->SetCell(1, 0, -1);
  bg->SetCell(0, 0, 500);  // past the sheet
  engine.RenderFrame();
  int grey = 0;
  for (uint16_t p : surface.Pixels()) grey += p == kGrey;
  EXPECT_EQ(grey, 640 * 480);
  EXPECT_EQ(bg->CellsDrawn(), 77);  // negative cells are skipped, out-of-range ones tried

  ImageEntry unprepared;
  unprepared.Picture = Bitmap(64, 64, 5);
  bg->Image = &unprepared;
  engine.RenderFrame();
  EXPECT_EQ(bg->CellsDrawn(), 0);
  bg->Image = nullptr;
  engine.RenderFrame();
  EXPECT_EQ(Shows(0, 0), kGrey);
}

TEST_F(Background, UntiledDrawsTheGridOnce) {
  Numbered(2, 2);
  bg->X = 100;
  bg->Y = 50;
  EXPECT_EQ(bg->ScreenBounds(), Bounds(100, 50, 128, 128));
  engine.RenderFrame();
  EXPECT_EQ(bg->CellsDrawn(), 4);
  EXPECT_EQ(Shows(100, 50), 1);
  EXPECT_EQ(Shows(99, 51), kGrey);
  EXPECT_EQ(Shows(227, 177), Cell(3));
  EXPECT_EQ(Shows(228, 51), kGrey);
  EXPECT_EQ(Shows(101, 178), kGrey);

  surface.Fill(kGrey);
  bg->X = -100;  // grid column 0 lies wholly off the left edge
  bg->Y = 0;
  engine.RenderFrame();
  EXPECT_EQ(Shows(0, 1), Cell(1));
  EXPECT_EQ(Shows(28, 1), kGrey);

  bg->X = 700;  // wholly off the right: culled
  engine.RenderFrame();
  EXPECT_EQ(engine.DrawnCount(), 0);
  bg->Image = nullptr;
  EXPECT_TRUE(bg->ScreenBounds().Empty());
}

TEST_F(Background, GridSizing) {
  EXPECT_EQ(bg->GridWidth(), 0);
  EXPECT_EQ(bg->Cell(0, 0), -1);
  bg->SetGridSize(43, 75);
  EXPECT_EQ(bg->Cell(42, 74), 0);  // sized cells hold pattern 0, not -1
  EXPECT_TRUE(bg->CellSolid(42, 74));
  bg->SetCell(5, 6, 17);
  bg->SetCell(43, 0, 9);  // outside: ignored
  bg->SetCell(-1, 0, 9);
  EXPECT_EQ(bg->Cell(43, 0), -1);
  EXPECT_EQ(bg->Cell(0, -1), -1);
  bg->SetGridSize(43, 75);  // same size keeps the cells
  EXPECT_EQ(bg->Cell(5, 6), 17);
  bg->SetGridSize(43, 76);
  EXPECT_EQ(bg->Cell(5, 6), 0);
  bg->SetGridSize(10, 0);
  EXPECT_EQ(bg->GridWidth(), 0);
  EXPECT_EQ(bg->GridHeight(), 0);
  bg->Tiled = true;
  engine.RenderFrame();  // empty grid: nothing drawn, no division by zero
  EXPECT_EQ(bg->CellsDrawn(), 0);
  EXPECT_FALSE(bg->Hittable);
}

}  // namespace
}  // namespace gravik

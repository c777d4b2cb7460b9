// The per-level image entries: block cuts, GameBlocks and Map layout, the
// player's frames, narrow object entries, starfield tiles, transporter colours.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "base/Errors.h"
#include "levelgraphics_fixture.h"
#include "sprite/GameSprites.h"

namespace gravik {
namespace {

using namespace lg_test;

TEST(LevelGraphicsCuts, BlockAndThumbComeFromTheCellOfSetAndStyle) {
  Rig rig;
  struct Case { int block, set, style; } cases[] = {{1, 1, 1}, {120, 1, 1}, {38, 1, 2}, {38, 6, 1}, {77, 6, 2}, {5, 3, 2}};
  for (const Case& c : cases) {
    const Bitmap& b = BlockBitmap(rig.Gfx, c.block, c.set, c.style);
    ASSERT_EQ(b.Width(), 64);
    ASSERT_EQ(b.Height(), 64);
    EXPECT_EQ(b.Pixel(0, 0), CellId(c.block, c.set, c.style)) << c.block << "/" << c.set << "/" << c.style;
    EXPECT_EQ(b.Pixel(63, 63), CellId(c.block, c.set, c.style));
    EXPECT_EQ(b.Pixel(3, 16), RowMark(CellId(c.block, c.set, c.style), 3));
    const Bitmap& t = BlockThumb(rig.Gfx, c.block, c.set, c.style);
    ASSERT_EQ(t.Width(), 16);
    ASSERT_EQ(t.Height(), 15);
    EXPECT_EQ(t.Pixel(15, 14), CellId(c.block, c.set, c.style));
  }
}

TEST(LevelGraphicsCuts, OutOfRangeRequestsAndBadCellsGiveBlack) {
  Rig rig;
  for (auto [b, s, g] : {std::tuple{0, 1, 1}, {121, 1, 1}, {5, 0, 1}, {5, 7, 1}, {5, 1, 3}, {255, 1, 1}}) {
    const Bitmap& pic = BlockBitmap(rig.Gfx, b, s, g);
    EXPECT_EQ(pic, Bitmap(64, 64, 0)) << b << "/" << s << "/" << g;
    EXPECT_EQ(BlockThumb(rig.Gfx, b, s, g), Bitmap(16, 15, 0));
  }
  // A cell table naming a cell far outside the sheet cuts nothing.
  rig.Set.Cells[0] = {2147483647, -5};
  EXPECT_EQ(BlockBitmap(rig.Gfx, 1, 1, 1), Bitmap(64, 64, 0));
  // Without a graphics set every picture is black.
  LevelGraphics none;
  EXPECT_EQ(BlockBitmap(none, 5, 1, 1), Bitmap(64, 64, 0));
  // Unreadable sheets are refused and change nothing.
  GraphicsSet broken = rig.Set;
  broken.BlockSheet.resize(20);
  std::string error;
  EXPECT_FALSE(AttachGraphicsSet(rig.Gfx, broken, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(BlockBitmap(rig.Gfx, 5, 1, 1).Pixel(0, 0), CellId(5, 1, 1));
}

TEST(LevelGraphicsBuild, GameBlocksAndMapHoldBlocksStarsAndPuzzlePieces) {
  Rig rig;
  BuildLevelGraphics(rig.Ctx, rig.Look(6, 2));
  const ImageEntry& blocks = rig.Images.FindImage("GameBlocks");
  const ImageEntry& map = rig.Images.FindImage("Map");
  EXPECT_FALSE(blocks.Transparent);
  EXPECT_FALSE(map.Transparent);
  ASSERT_EQ(PatternCount(blocks), 400);
  ASSERT_EQ(PatternCount(map), 400);
  EXPECT_EQ(map.Picture.Width(), 160);
  EXPECT_EQ(map.Picture.Height(), 600);

  for (int b = 1; b <= 120; ++b) {
    EXPECT_EQ(PatternPixel(blocks, b - 1), CellId(b, 6, 2)) << b;
    EXPECT_EQ(PatternPixel(map, b - 1), CellId(b, 6, 2)) << b;
  }
  // Patterns 120..129: starfield tiles (black with a few stars).
  for (int t = 120; t < 130; ++t) {
    const TRect r = PatternRect(blocks, t);
    int lit = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) lit += blocks.Picture.Pixel(x, y) != 0;
    EXPECT_GE(lit, 1) << t;
    EXPECT_LE(lit, 4) << t;
  }
  // A 10 x 4 puzzle: pieces row by row at 130..169 and 120..159.
  for (int r = 1; r <= 4; ++r)
    for (int c = 1; c <= 10; ++c) {
      const int k = (r - 1) * 10 + (c - 1);
      EXPECT_EQ(PatternPixel(blocks, 130 + k), PieceColour(c, r)) << k;
      EXPECT_EQ(PatternPixel(map, 120 + k), PieceColour(c, r)) << k;
    }
  EXPECT_EQ(PatternPixel(blocks, 170), 0);
  EXPECT_EQ(PatternPixel(map, 160), 0);
}

TEST(LevelGraphicsBuild, PiecesOutsideASmallPuzzlePictureStayBlue) {
  Rig rig;
  rig.Puzzle = MakePuzzlePicture(100, 64);
  BuildLevelGraphics(rig.Ctx, rig.Look());
  const ImageEntry& blocks = rig.Images.FindImage("GameBlocks");
  const uint16_t blue = Rgb565(0, 0, 255);
  EXPECT_EQ(PatternPixel(blocks, 130), PieceColour(1, 1));
  EXPECT_EQ(PatternPixel(blocks, 131, 10), PieceColour(2, 1));  // x 74 of the picture
  EXPECT_EQ(PatternPixel(blocks, 131, 40), blue);               // x 104: outside
  EXPECT_EQ(PatternPixel(blocks, 140), blue);                   // second row
  EXPECT_EQ(PatternPixel(rig.Images.FindImage("Map"), 159), blue);

  // A damaged picture gives blue pieces; no pieces at all leave 130 empty.
  rig.Puzzle.assign(30, 0x42);
  BuildLevelGraphics(rig.Ctx, rig.Look());
  EXPECT_EQ(PatternPixel(rig.Images.FindImage("GameBlocks"), 130), blue);
  LevelLook none = rig.Look();
  none.PuzzleRows = 0;
  BuildLevelGraphics(rig.Ctx, none);
  EXPECT_EQ(PatternPixel(rig.Images.FindImage("GameBlocks"), 130), 0);
}

TEST(LevelGraphicsBuild, PlayerFramesAndKeyFollowTheStyle) {
  Rig rig;
  BuildLevelGraphics(rig.Ctx, rig.Look(1, 1));
  {
    const ImageEntry& p = rig.Images.FindImage("Player");
    EXPECT_TRUE(p.Transparent);
    EXPECT_EQ(p.TransparentColor, RGB(255, 0, 255));
    ASSERT_EQ(PatternCount(p), 40);
    const std::pair<int, int> expect[] = {{0, 38}, {2, 40},  {3, 66},  {7, 70},   {8, 77},
                                          {9, 87}, {22, 100}, {23, 71}, {28, 76}, {29, 101}, {39, 111}};
    for (auto [pattern, block] : expect) EXPECT_EQ(PatternPixel(p, pattern), CellId(block, 1, 1)) << pattern;
  }
  BuildLevelGraphics(rig.Ctx, rig.Look(1, 2));
  const ImageEntry& p = rig.Images.FindImage("Player");
  EXPECT_EQ(p.TransparentColor, 0u);
  const std::pair<int, int> expect[] = {{0, 38}, {12, 50}, {13, 71}, {18, 76}, {19, 101}, {29, 111}};
  for (auto [pattern, block] : expect) EXPECT_EQ(PatternPixel(p, pattern), CellId(block, 1, 2)) << pattern;
  EXPECT_EQ(PatternPixel(p, 30), 0);
}

TEST(LevelGraphicsBuild, NarrowEntriesLoseBlocksPastTheirRightEdge) {
  Rig rig;
  BuildLevelGraphics(rig.Ctx, rig.Look());
  // SPIRIT1..SPIRIT3 spans six codes here: only three fit in 192 pixels.
  const ImageEntry& spirit = rig.Images.FindImage("Spirit");
  ASSERT_EQ(PatternCount(spirit), 9);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(PatternPixel(spirit, i), CellId(kSpirit1 + i, 1, 1));
  for (int i = 3; i < 9; ++i) EXPECT_EQ(PatternPixel(spirit, i), 0) << i;
  // MONSTER1..MONSTER2 spans six codes: four fit in the first row of 256 pixels.
  const ImageEntry& monsters = rig.Images.FindImage("Monsters");
  ASSERT_EQ(PatternCount(monsters), 8);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(PatternPixel(monsters, i), CellId(kMonster1 + i, 1, 1));
  for (int i = 4; i < 8; ++i) EXPECT_EQ(PatternPixel(monsters, i), 0) << i;
  const ImageEntry& bomb = rig.Images.FindImage("TimeBomb");
  ASSERT_EQ(PatternCount(bomb), 7);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(PatternPixel(bomb, i), CellId(kTimeBomb1 + i, 1, 1));
  const ImageEntry& meteor = rig.Images.FindImage("Meteor");
  ASSERT_EQ(PatternCount(meteor), 1);
  EXPECT_EQ(PatternPixel(meteor, 0), CellId(kMeteor, 1, 1));
  for (const ImageEntry* e : {&spirit, &monsters, &bomb, &meteor}) {
    EXPECT_TRUE(e->Transparent) << e->Name;
    EXPECT_EQ(e->TransparentColor, 0u) << e->Name;
  }
}

std::vector<Bitmap> StarTiles(const ImageEntry& blocks) {
  std::vector<Bitmap> tiles;
  for (int t = 120; t < 130; ++t) tiles.push_back(Crop(blocks.Picture, PatternRect(blocks, t)));
  return tiles;
}

TEST(LevelGraphicsStarfield, SameSeedsGiveTheSameTiles) {
  Rig rig;
  BuildLevelGraphics(rig.Ctx, rig.Look(1, 1, 123, 456));
  const auto first = StarTiles(rig.Images.FindImage("GameBlocks"));
  BuildLevelGraphics(rig.Ctx, rig.Look(2, 2, 0, 0));
  const auto other = StarTiles(rig.Images.FindImage("GameBlocks"));
  BuildLevelGraphics(rig.Ctx, rig.Look(1, 1, 123, 456));
  EXPECT_EQ(StarTiles(rig.Images.FindImage("GameBlocks")), first);
  EXPECT_NE(other, first);

  // Stars are one of the two star colours, never in the bottom two rows.
  const std::set<uint16_t> colours{Rgb565(231, 231, 255), Rgb565(190, 190, 255)};
  for (const Bitmap& tile : first)
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        if (tile.Pixel(x, y) != 0) {
          EXPECT_TRUE(colours.count(tile.Pixel(x, y)));
          EXPECT_LE(y, 61);
        }
}

TEST(LevelGraphicsStarfield, TileFollowsTheDrawRules) {
  // Seeds (0, 0) act as (2, 3): draws 5, 8, 13, 21, 34, 55, 89, 44, 33, 77, ...
  LevelRandom rng;
  rng.Seed(0, 0);
  const Bitmap tile = StarfieldTile(rng);
  LevelRandom replay;
  replay.Seed(2, 3);
  std::vector<std::pair<int, int>> expected;
  Bitmap mask(64, 64, 0);
  for (int star = 0; star < 4; ++star) {
    int a = replay.Draw(), b = replay.Draw();
    while (a > 64 || b > 61 || a < 0 || b < 0 || a == 64 || mask.Pixel(a, b) != 0) {
      a = replay.Draw();
      b = replay.Draw();
    }
    mask.SetPixel(a, b, 1);
    const bool dim = replay.Draw() > 40;
    EXPECT_EQ(tile.Pixel(a, b), dim ? Rgb565(190, 190, 255) : Rgb565(231, 231, 255)) << a << "," << b;
  }
  EXPECT_EQ(rng.A, replay.A);
  EXPECT_EQ(rng.B, replay.B);
}

TEST(LevelGraphicsBuild, TransporterColoursAreReadFromRowSixteen) {
  Rig rig;
  BuildLevelGraphics(rig.Ctx, rig.Look(6, 1));
  const uint16_t id = CellId(kTransport1, 6, 1);
  for (int i = 1; i <= 7; ++i) EXPECT_EQ(rig.Gfx.TransporterColours[size_t(i)], RowMark(id, 2 * (i - 1))) << i;
}

TEST(LevelGraphicsBuild, SpritesArePointedAtTheNewEntriesAndPanelsRebuilt) {
  Rig rig;
  TSpriteEngine engine;
  auto* bg = new TBackground(&engine);
  auto* fig = new TPlayer(&engine);
  rig.Sprites.Background = bg;
  rig.Sprites.Figure = fig;
  rig.Panel.Cache.fill(5);
  BuildLevelGraphics(rig.Ctx, rig.Look());
  EXPECT_EQ(bg->Image, &rig.Images.FindImage("GameBlocks"));
  EXPECT_EQ(fig->Image, &rig.Images.FindImage("Player"));
  EXPECT_TRUE(rig.Images.FindImage("GameBlocks").Prepared);
  for (int64_t v : rig.Panel.Cache) EXPECT_EQ(v, -1);
  EXPECT_EQ(rig.PanelSurface, rig.Images.FindImage("Panel").Picture);

  // The digit images must still be there at the end of a build.
  ImageList bare;
  CreateFormImages(bare);
  bare.FindImage("DefaultPanel").Picture = Bitmap(160, 480);
  bare.FindImage("DefaultMapPanel").Picture = Bitmap(128, 480);
  GraphicsContext ctx{bare, rig.Gfx, rig.Sprites, *rig.W, rig.Fonts, rig.Panel, rig.PanelSurface, rig.Keys};
  EXPECT_THROW(BuildLevelGraphics(ctx, rig.Look()), FatalMessage);
}

}  // namespace
}  // namespace gravik

// Map view geometry.
#include <gtest/gtest.h>

#include "screens/MapView.h"
#include "support/AsciiWorld.h"

namespace gravik {
namespace {

TEST(MapViewGeometry, LevelsAreCentredWithTheWideLevelShift) {
  // A 20 x 20 level: cell (1, 1) sits at (112, 90).
  EXPECT_EQ(MapColumnOffset(20), 7);
  EXPECT_EQ(MapRowOffset(20), 7);
  EXPECT_EQ(16 * (MapColumnOffset(20) + 1) - 16, 112);
  EXPECT_EQ(15 * (MapRowOffset(20) + 1) - 30, 90);
  // Wider than 24 cells loses the extra column.
  EXPECT_EQ(MapColumnOffset(24), 5);
  EXPECT_EQ(MapColumnOffset(26), 3);
  // The widest level still starts inside the 512-pixel map area.
  EXPECT_GE(16 * (MapColumnOffset(32) + 1) - 16, 0);
  EXPECT_LE(16 * (MapColumnOffset(32) + 32), 512);
}

TEST(MapViewExtendedArea, PiecesAreNumberedByTheirPlaceSeenOrNot) {
  // Level 1 is 4 x 1; the puzzle grid is 2 x 1 with both pieces collected.
  testing::AsciiWorld a({"P..."});
  World& w = a.W;
  w.CurrentLevel = 1;
  w.LevelWidth = 4;
  w.LevelHeight = 1;
  w.PuzzleWidth = 2;
  w.PuzzleHeight = 1;
  w.PuzzleCollected[size_t(0 * PuzzleRowsMax)] = 1;
  w.PuzzleCollected[size_t(1 * PuzzleRowsMax)] = 1;
  // The area starts one row below the level; its first row holds both pieces.
  const int y = LevelOriginY + w.LevelHeight + 1;
  w.Map[size_t(MapIndex(LevelOriginX + 2, y))] = BlockPuzzlePiece;
  w.Map[size_t(MapIndex(LevelOriginX + 3, y))] = BlockPuzzlePiece;
  w.Levels[0].Seen.fill(0);
  w.Levels[0].Seen[size_t(MapIndex(LevelOriginX + 3, y))] = 1;  // only the second piece was seen
  const std::vector<int> p = ExtendedAreaPatterns(w);
  ASSERT_EQ(p.size(), size_t(4 * 3));
  EXPECT_EQ(p[1], 118) << "the unseen first piece is fog";
  EXPECT_EQ(p[2], 120 + 1) << "the seen piece is the second one of the grid";
}

}  // namespace
}  // namespace gravik

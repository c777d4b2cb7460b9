#include <gtest/gtest.h>

#include "support/AsciiWorld.h"
#include "world/LevelSetup.h"
#include "world/Targets.h"

using namespace gravik;
using namespace gravik::testing;

namespace {

// A world whose store holds the given level; BuildWorld has not run yet.
struct Built {
  AsciiWorld a{{"."}};
  World& w = a.W;
  explicit Built(const std::vector<std::string>& level, int number = 2) {
    a.Store.Levels[size_t(number - 1)] = LevelFromAscii(level);
    a.Store.Levels[0] = LevelData{};  // level 1 unused unless given
    if (number == 1) a.Store.Levels[0] = LevelFromAscii(level);
    w.CurrentLevel = number;
    w.Player.X = 6;
    w.Player.Y = 16;
  }
  LevelData& Data() { return a.Store.Levels[size_t(w.CurrentLevel - 1)]; }
};

}  // namespace

TEST(BuildWorld, BorderFallsBackToBrickAndLevelSitsAtItsOrigin) {
  Built b({"O.", ".D"});
  b.Data().Border = "NOSUCH";
  BuildWorld(b.w);
  EXPECT_EQ(b.w.At(1, 1), b.w.Named.Brick);
  EXPECT_EQ(b.w.At(42, 74), b.w.Named.Brick);
  EXPECT_EQ(b.w.At(6, 16), b.w.Named.Rock);
  EXPECT_EQ(b.w.At(7, 17), b.w.Named.Diamond);
  EXPECT_EQ(b.w.At(8, 16), b.w.Named.Brick);
  EXPECT_EQ(b.w.BottomRow, 17);
  EXPECT_EQ(b.w.RightColumn, 7);

  Built steel({"."});
  steel.Data().Border = "STEEL";
  BuildWorld(steel.w);
  EXPECT_EQ(steel.w.At(1, 1), CodeOf('S'));
}

TEST(BuildWorld, CodeZeroCellsActAsEmpty) {
  Built b({".."});
  b.Data().Cells[0] = 0;
  BuildWorld(b.w);
  EXPECT_EQ(b.w.At(6, 16), BlockEmpty);
}

TEST(BuildWorld, NineSpiritsFillEightSlotsLastFoundInSlotEight) {
  Built b({"sssssssss"});
  BuildWorld(b.w);
  EXPECT_EQ(b.w.SpiritCount, 8);
  for (int x = 6; x <= 14; ++x) EXPECT_EQ(b.w.At(x, 16), BlockEmpty) << x;
  EXPECT_EQ(b.w.Spirits[7].X, 14);
  EXPECT_EQ(b.w.Spirits[6].X, 12);
  EXPECT_EQ(b.w.Spirits[0].X, 6);
  EXPECT_EQ(b.w.Spirits[0].PixelX, 6 * 64.0);
  EXPECT_TRUE(b.w.Spirits[7].Active);
}

TEST(BuildWorld, InitialSpiritFacingKeepsAWallOnTheLeft) {
  // Walls: below (facing 4), to the left only (facing 1), above only (2),
  // right only (3), none (4 again).
  Built b({
      "#######",
      "#.....#",
      "#.....#",
      "#.s...#",
      "#.....#",
      "#.....#",
      "#######",
  });
  b.Data().Cells[2 * LevelSide + 3] = CodeOf('s');  // same spirit cell, no neighbours
  BuildWorld(b.w);
  EXPECT_EQ(b.w.Spirits[0].Facing, DirLeft);

  Built below({"...", ".s.", ".#."});
  BuildWorld(below.w);
  EXPECT_EQ(below.w.Spirits[0].Facing, DirLeft);
  Built left({"...", "#s.", "..."});
  BuildWorld(left.w);
  EXPECT_EQ(left.w.Spirits[0].Facing, DirUp);
  Built above({".#.", ".s.", "..."});
  BuildWorld(above.w);
  EXPECT_EQ(above.w.Spirits[0].Facing, DirRight);
  Built right({"...", ".s#", "..."});
  BuildWorld(right.w);
  EXPECT_EQ(right.w.Spirits[0].Facing, DirDown);
}

TEST(BuildWorld, FirstSixRocksGetFramesFromTheFixedSeed) {
  Built b({"OO", "OO", "OO"});
  BuildWorld(b.w);
  // Column-major: (6,16) (6,17) (6,18) (7,16) (7,17) (7,18).
  const int expected[6] = {4, 3, 3, 1, 3, 4};
  int i = 0;
  for (int x = 6; x <= 7; ++x)
    for (int y = 16; y <= 18; ++y, ++i) {
      EXPECT_EQ(b.w.StateAt(x, y).Frame, expected[i]) << x << "," << y;
      EXPECT_EQ(b.a.Chips.At(x, y), b.w.Named.Rock1 + expected[i] - 2);
    }
}

TEST(BuildWorld, RevisitRestoresObjectsAndRockFrames) {
  Built b({"s.O", "..."});
  BuildWorld(b.w);
  b.w.StateAt(8, 16).Frame = 2;
  b.w.Monsters[5].State = 1;
  b.w.Monsters[5].HatchTime = b.a.Clock.Ms - 1000;
  b.w.Monsters[5].X = 7;
  b.w.Monsters[5].Y = 17;
  b.w.SetCell(7, 17, b.w.Named.EggHatch);
  SaveLevelState(b.w, true);

  b.a.Clock.Ms += 50000;  // time spent elsewhere
  b.w.CurrentLevel = 3;
  BuildWorld(b.w);  // an empty level in between
  EXPECT_EQ(b.w.Monsters[5].State, 0);

  b.w.CurrentLevel = 2;
  BuildWorld(b.w);
  EXPECT_EQ(b.w.At(6, 16), BlockEmpty);  // the spirit cell stays empty
  EXPECT_EQ(b.w.SpiritCount, 1);
  EXPECT_EQ(b.w.Monsters[5].State, 1);
  EXPECT_EQ(b.a.Clock.Ms - b.w.Monsters[5].HatchTime, 1000u);  // the age survives
  EXPECT_EQ(b.w.StateAt(8, 16).Frame, 2);
  EXPECT_EQ(b.w.At(7, 17), b.w.Named.EggHatch);
}

TEST(BuildWorld, MeteorsOnWideSpaceLevelsOnly) {
  Built wide({std::string(24, '.')});
  wide.Data().Space = 1;
  wide.w.Levels[1].Seed1 = 17;
  wide.w.Levels[1].Seed2 = 4;
  BuildWorld(wide.w);
  ASSERT_EQ(wide.w.MeteorCount, 18);
  int perBand[7] = {};
  for (int i = 0; i < 18; ++i) {
    const TMeteor& m = wide.w.Meteors[size_t(i)];
    ASSERT_TRUE(m.Active);
    ++perBand[m.Band];
    const int a = int(m.PixelX - 336) / 32, bl = int(m.PixelY - 339) / 32;
    EXPECT_GE(a, 8 * m.Band - 7);
    EXPECT_LE(a, 8 * m.Band);
    if (m.Band % 2 == 1) {
      EXPECT_GE(bl, 11) << "odd bands use the lower block";
    } else {
      EXPECT_LE(bl, 10) << "even bands use the upper block";
    }
  }
  for (int band = 1; band <= 6; ++band) EXPECT_EQ(perBand[band], 3);

  Built narrow({std::string(23, '.')});
  narrow.Data().Space = 1;
  BuildWorld(narrow.w);
  EXPECT_EQ(narrow.w.MeteorCount, 0);
}

TEST(BuildWorld, SeedsThatNeverDrawHighStillFinish) {
  Built b({std::string(24, '.')});
  b.Data().Space = 1;
  // These seeds cycle through -2^31, 0, -2^31, ...: no draw is ever above 95.
  b.w.Levels[1].Seed1 = INT32_MIN;
  b.w.Levels[1].Seed2 = INT32_MIN;
  BuildWorld(b.w);
  EXPECT_EQ(b.w.MeteorCount, 0);
}

TEST(BuildWorld, SpaceLevelsGetSkyStarsAndPlants) {
  Built b({"...."});
  b.Data().Space = 2;
  BuildWorld(b.w);
  EXPECT_EQ(b.w.At(6, 6), BlockEmpty);
  EXPECT_EQ(b.w.At(6, 12), 122);
  EXPECT_EQ(b.w.At(6, 14), 124);
  EXPECT_EQ(b.w.At(7, 12), 125);
  EXPECT_EQ(b.w.At(8, 14), 130);
  EXPECT_EQ(b.w.At(9, 12), 121);  // the counter wraps from 10 to 1
  for (int x = 6; x <= 9; ++x) {
    EXPECT_TRUE(b.w.Named.IsPlant(b.w.At(x, 15))) << x;
    if (x > 6) {
      EXPECT_NE(b.w.At(x, 15), b.w.At(x - 1, 15));
    }
  }
  EXPECT_EQ(b.w.At(10, 15), b.w.Named.Brick);

  Built plain({"...."});
  plain.Data().Space = 2;
  plain.w.GraphicsStyle = 2;
  BuildWorld(plain.w);
  EXPECT_EQ(plain.w.At(6, 12), BlockEmpty);
}

TEST(BuildWorld, LevelOneOpensThePuzzleAreaBelow) {
  std::vector<std::string> rows(32, std::string(32, ':'));
  Built b(rows, 1);
  b.w.PuzzleWidth = 10;
  b.w.PuzzleHeight = 4;
  b.w.PuzzleAreaMap.fill(CodeOf(':'));
  // Piece (1, 1) still lies in level 2; every other piece has been taken.
  b.a.Store.Levels[1] = LevelFromAscii({"$"});
  b.a.Store.Levels[1].Params[0] = int16_t((1 << 5) | 1);
  BuildWorld(b.w);
  EXPECT_EQ(b.w.Count.PuzzlePiecesLeft, 1);
  EXPECT_EQ(b.w.BottomRow, 53);
  EXPECT_EQ(PuzzleLeft(b.w), 12);
  // Piece (1, 1) sits at level column 12, level row 34; world (17, 49).
  EXPECT_EQ(b.w.At(17, 49), BlockPuzzlePiece);
  EXPECT_EQ(b.a.Chips.At(17, 49), 0);
  EXPECT_EQ(b.a.Chips.At(19, 50), PiecePattern(b.w, 3, 2));  // collected: its picture
  EXPECT_EQ(b.w.At(6, 48), CodeOf(':'));  // the saved area comes back as earth
  b.w.DefaultPuzzle = true;
  EXPECT_EQ(PuzzleLeft(b.w), 11);
}

TEST(BuildWorld, DugEarthBelowLevelOneStaysDugAfterLeaving) {
  Built b({"..", ".."}, 1);
  b.w.PuzzleWidth = 2;
  b.w.PuzzleHeight = 1;
  b.w.PuzzleAreaMap.fill(CodeOf(':'));
  BuildWorld(b.w);
  ASSERT_EQ(b.w.At(6, 18), CodeOf(':'));
  b.w.SetCell(6, 18, BlockEmpty);  // dug
  SaveLevelState(b.w, true);
  b.w.CurrentLevel = 2;
  BuildWorld(b.w);
  b.w.CurrentLevel = 1;
  BuildWorld(b.w);
  EXPECT_EQ(b.w.At(6, 18), BlockEmpty);
  EXPECT_EQ(b.w.At(7, 18), CodeOf(':'));
}

TEST(BuildWorld, EndCellAndCompass) {
  Built b({"..Z", "...", "Z.."});
  b.w.Player.X = 8;
  b.w.Player.Y = 16;
  BuildWorld(b.w);
  ASSERT_TRUE(b.w.HasEndCell);
  EXPECT_EQ(b.w.EndX, 8);  // last found, column-major
  EXPECT_EQ(b.w.EndY, 16);
  EXPECT_EQ(EndMarkerPattern(5, 1, 5, 5), 85);
  EXPECT_EQ(EndMarkerPattern(6, 1, 5, 5), 116);
  EXPECT_EQ(EndMarkerPattern(6, 5, 5, 5), 79);
  EXPECT_EQ(EndMarkerPattern(6, 9, 5, 5), 80);
  EXPECT_EQ(EndMarkerPattern(5, 9, 5, 5), 81);
  EXPECT_EQ(EndMarkerPattern(4, 9, 5, 5), 82);
  EXPECT_EQ(EndMarkerPattern(4, 5, 5, 5), 83);
  EXPECT_EQ(EndMarkerPattern(4, 1, 5, 5), 84);
  b.w.Player.X = 6;
  b.w.Player.Y = 16;
  UpdateEndMarker(b.w);
  EXPECT_EQ(b.a.Chips.At(8, 16), 83);
}

TEST(BuildWorld, SpecialCellsShowTheirPictures) {
  Built b({"TG$"});
  b.w.PuzzleWidth = 4;
  b.w.PuzzleHeight = 2;
  b.Data().Params[2 * LevelSide] = int16_t((3 << 5) | 2);
  BuildWorld(b.w);
  EXPECT_EQ(b.a.Chips.At(6, 16), b.w.Named.Transport1);
  EXPECT_EQ(b.a.Chips.At(7, 16), b.w.Named.Skull1 - 1);
  EXPECT_EQ(b.a.Chips.At(8, 16), 131 + 4 + 2 - 1);
  EXPECT_TRUE(b.w.Catalogue[BlockSkullGate].KillsPlayer);
  EXPECT_TRUE(b.w.Levels[1].Visited);
}

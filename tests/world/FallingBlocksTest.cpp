#include <gtest/gtest.h>

#include "support/AsciiWorld.h"
#include "world/FallingBlocks.h"
#include "world/Monsters.h"

using namespace gravik;
using namespace gravik::testing;

using Pic = std::vector<std::string>;

TEST(FallingRocks, AColumnFallsTogetherAndSoundsOncePerFall) {
  AsciiWorld a({
      "S.S",
      "SOS",
      "SOS",
      "SOS",
      "S.S",
      "S.S",
      "SSS",
  });
  UpdateBlocks(a.W);
  EXPECT_EQ(a.Picture(), (Pic{"S.S", "S.S", "SOS", "SOS", "SOS", "S.S", "SSS"}));
  EXPECT_EQ(a.Sound.CountOf("rock fall.wav"), 3);
  UpdateBlocks(a.W);
  EXPECT_EQ(a.Picture(), (Pic{"S.S", "S.S", "S.S", "SOS", "SOS", "SOS", "SSS"}));
  EXPECT_EQ(a.Sound.CountOf("rock fall.wav"), 3);  // still falling: no new fall sound
  EXPECT_EQ(a.Sound.CountOf("rock stop.wav"), 0);
  UpdateBlocks(a.W);  // landed: each stops once
  EXPECT_EQ(a.Sound.CountOf("rock stop.wav"), 3);
  EXPECT_EQ(a.W.StateAt(a.X(1), a.Y(5)).Motion, 0);
  UpdateBlocks(a.W);
  EXPECT_EQ(a.Sound.CountOf("rock stop.wav"), 3);
}

TEST(FallingRocks, RollsOffRoundBlocksLeftFirst) {
  AsciiWorld a({
      ".....",
      "..O..",
      "..#..",
      "SSSSS",
  });
  UpdateBlocks(a.W);
  EXPECT_EQ(a.Picture(), (Pic{".....", ".....", ".O#..", "SSSSS"}));
  EXPECT_EQ(a.Sound.CountOf("rock stop.wav"), 1);  // a roll sounds like a landing
  // One rotation frame back from 0 wraps to 4: "ROCK1" + 4 - 1 is code 13.
  EXPECT_EQ(a.W.StateAt(a.X(1), a.Y(2)).Frame, 4);
  EXPECT_EQ(a.Chips.At(a.X(1), a.Y(2)), 13 - 1);
  EXPECT_EQ(a.W.StateAt(a.X(1), a.Y(2)).Motion, 4);

  AsciiWorld b({
      "S....",
      "SO...",
      "S#...",
      "SSSSS",
  });
  b.W.StateAt(b.X(1), b.Y(1)).Frame = 4;
  UpdateBlocks(b.W);
  EXPECT_EQ(b.Picture(), (Pic{"S....", "S....", "S#O..", "SSSSS"}));
  EXPECT_EQ(b.W.StateAt(b.X(2), b.Y(2)).Frame, 1);  // 4 + 1 wraps to 1

  AsciiWorld steel({
      "...",
      ".O.",
      ".S.",
      "SSS",
  });
  UpdateBlocks(steel.W);
  EXPECT_EQ(steel.Picture(), (Pic{"...", ".O.", ".S.", "SSS"}));
}

TEST(FallingRocks, ARollNeedsBothCellsOnThatSideFree) {
  // Left is open beside the rock but not below it: the rock rolls right.
  AsciiWorld a({
      ".....",
      "..O..",
      ".S#..",
      "SSSSS",
  });
  UpdateBlocks(a.W);
  EXPECT_EQ(a.Picture(), (Pic{".....", ".....", ".S#O.", "SSSSS"}));

  // Neither side has both cells free: the rock stays.
  AsciiWorld b({
      ".....",
      "..O..",
      ".S#S.",
      "SSSSS",
  });
  UpdateBlocks(b.W);
  EXPECT_EQ(b.Picture(), (Pic{".....", "..O..", ".S#S.", "SSSSS"}));
}

TEST(FallingRocks, StyleTwoShowsThePlainRock) {
  AsciiWorld a({".O.", "...", "SSS"});
  a.W.GraphicsStyle = 2;
  UpdateBlocks(a.W);
  EXPECT_EQ(a.Chips.At(a.X(1), a.Y(1)), 5 - 1);
}

TEST(FallingRocks, ARollingRockKillsTheMonsterBesideIt) {
  AsciiWorld a({
      "S....",
      "SO...",
      "S#...",
      "SSSSS",
  });
  TMonster& m = a.W.Monsters[5];
  m.State = 2;
  m.X = a.X(2);
  m.Y = a.Y(1);
  UpdateBlocks(a.W);
  EXPECT_EQ(m.State, 0);
  EXPECT_EQ(a.Sound.CountOf("killmonster.wav"), 1);
  EXPECT_EQ(a.W.RecountTargets, 1);
}

TEST(FallingRocks, PlayerBlockHoldsARockAndALandingRockHasMotion) {
  AsciiWorld resting({".O.", ".P.", "SSS"});
  UpdateBlocks(resting.W);
  EXPECT_EQ(resting.Picture(), (Pic{".O.", ".P.", "SSS"}));
  EXPECT_EQ(resting.W.StateAt(resting.X(1), resting.Y(0)).Motion, 0);

  AsciiWorld falling({".O.", "...", ".P.", "SSS"});
  UpdateBlocks(falling.W);
  EXPECT_EQ(falling.Picture(), (Pic{"...", ".O.", ".P.", "SSS"}));
  EXPECT_EQ(falling.W.StateAt(falling.X(1), falling.Y(1)).Motion, 3);
}

TEST(FallingEggs, CrackOnlyWhenLandedForGood) {
  AsciiWorld a({"E", "O", ".", ".", "S"});
  UpdateBlocks(a.W);
  EXPECT_EQ(a.Picture(), (Pic{".", "E", "O", ".", "S"}));  // the rock below is still falling
  EXPECT_EQ(a.W.FreeMonsterSlot(), 5);
  UpdateBlocks(a.W);
  EXPECT_EQ(a.Picture(), (Pic{".", ".", "H", "O", "S"}));
  const TMonster& m = a.W.Monsters[5];
  EXPECT_EQ(m.State, 1);
  EXPECT_EQ(m.X, a.X(0));
  EXPECT_EQ(m.Y, a.Y(2));
  EXPECT_EQ(m.HatchTime, a.Clock.Ms);
  EXPECT_EQ(a.Sound.CountOf("egg.wav"), 1);
  EXPECT_EQ(a.Chips.At(a.X(0), a.Y(2)), 15 - 1);
}

TEST(FallingEggs, CrackOnThePlayerAndAfterARoll) {
  AsciiWorld a({".E.", "...", ".P.", "SSS"});
  UpdateBlocks(a.W);
  EXPECT_EQ(a.Picture(), (Pic{"...", ".H.", ".P.", "SSS"}));

  AsciiWorld b({"..E..", "..#..", "SSSSS"});
  UpdateBlocks(b.W);
  EXPECT_EQ(b.Picture(), (Pic{".....", ".H#..", "SSSSS"}));

  AsciiWorld resting({"E", "S"});  // never moved: stays an egg
  UpdateBlocks(resting.W);
  EXPECT_EQ(resting.Picture(), (Pic{"E", "S"}));
}

TEST(FallingEggs, ASeventhEggStaysWholeWhenAllSlotsAreBusy) {
  AsciiWorld a({"E", ".", "S"});
  for (auto& m : a.W.Monsters) m.State = 2;
  EXPECT_NO_THROW(UpdateBlocks(a.W));
  EXPECT_EQ(a.Picture(), (Pic{".", "E", "S"}));
  EXPECT_EQ(a.Sound.CountOf("egg.wav"), 0);
  a.W.Monsters[0].State = 0;
  UpdateBlocks(a.W);  // it landed already; it does not crack later
  EXPECT_EQ(a.Picture(), (Pic{".", "E", "S"}));
}

TEST(FallingBlocks, PassCoversBottomRowPlusThreeUpToRow13) {
  AsciiWorld a({"."});
  World& w = a.W;
  w.BottomRow = 20;
  for (int y = 10; y <= 26; ++y) w.SetCell(10, y, BlockEmpty);
  w.SetCell(10, 23, w.Named.Rock);
  w.SetCell(10, 12, w.Named.Rock);
  w.SetCell(12, 13, w.Named.Rock);
  w.SetCell(12, 14, BlockEmpty);
  UpdateBlocks(w);
  EXPECT_EQ(w.At(10, 24), w.Named.Rock);
  EXPECT_EQ(w.At(10, 12), w.Named.Rock);  // row 12 is never visited
  EXPECT_EQ(w.At(12, 14), w.Named.Rock);

  w.BottomRow = 9;  // 9 + 3 < 13: nothing happens
  UpdateBlocks(w);
  EXPECT_EQ(w.At(12, 14), w.Named.Rock);
  EXPECT_EQ(w.At(10, 24), w.Named.Rock);
}

TEST(FallingBlocks, RocksOnTheLastMapRowStayInside) {
  AsciiWorld a({"."});
  World& w = a.W;
  w.BottomRow = 71;  // pass starts at row 74
  w.SetCell(20, 74, w.Named.Rock);
  w.SetCell(19, 74, BlockEmpty);
  EXPECT_NO_THROW(UpdateBlocks(w));
  EXPECT_EQ(w.At(20, 74), w.Named.Rock);
}

TEST(BlockAnimations, SavepointCyclesAndStyleTwoLeavesItAlone) {
  AsciiWorld a({"V", "S"});
  const int x = a.X(0), y = a.Y(0);
  std::vector<int> chips;
  for (int i = 0; i < 9; ++i) {
    UpdateBlocks(a.W);
    chips.push_back(a.Chips.At(x, y));
    a.Clock.Ms += 101;
  }
  // "SAVE" (51), then "SAVE2" (52) and the five codes after it, then "SAVE" again.
  EXPECT_EQ(chips, (std::vector<int>{50, 51, 52, 53, 54, 55, 56, 50, 51}));

  AsciiWorld b({"V*T", "SSS"});
  b.W.GraphicsStyle = 2;
  b.Chips.Chips.fill(-7);
  UpdateBlocks(b.W);
  EXPECT_EQ(b.Chips.At(b.X(0), b.Y(0)), -7);
  EXPECT_EQ(b.Chips.At(b.X(1), b.Y(0)), -7);
  EXPECT_EQ(b.Chips.At(b.X(2), b.Y(0)), -7);
}

TEST(BlockAnimations, TransporterShowsItsFiveFrames) {
  AsciiWorld a({"T", "S"});
  const int x = a.X(0), y = a.Y(0);
  UpdateBlocks(a.W);
  const int first = a.Chips.At(x, y) - (58 - 1);
  ASSERT_GE(first, 0);
  ASSERT_LE(first, 4);
  a.Clock.Ms += 201;
  UpdateBlocks(a.W);
  const int second = a.Chips.At(x, y) - (58 - 1);
  EXPECT_EQ(second, first == 4 ? 0 : first + 1);
}

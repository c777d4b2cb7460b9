#include <gtest/gtest.h>

#include "support/AsciiWorld.h"
#include "world/Flow.h"

using namespace gravik;
using namespace gravik::testing;

TEST(FindStartCell, LowestLevelWithAPlayerBlockAndItsLastCell) {
  AsciiWorld a({"."});
  a.Store.Levels = {};
  a.Store.Levels[6] = LevelFromAscii({"..P"});
  a.Store.Levels[2] = LevelFromAscii({"P.", ".P"});
  const StartCell s = FindStartCell(a.W);
  EXPECT_EQ(s.Level, 3);
  EXPECT_EQ(s.X, 2 + LevelOriginX);
  EXPECT_EQ(s.Y, 2 + LevelOriginY);
  // Every player block found has been emptied.
  EXPECT_EQ(a.Store.Cell(3, 1, 1), BlockEmpty);
  EXPECT_EQ(a.Store.Cell(7, 3, 1), BlockEmpty);
}

TEST(FindStartCell, FallsBackToTheFirstEmptyCellThenToSixSixteen) {
  AsciiWorld a({"."});
  a.Store.Levels = {};
  for (auto& l : a.Store.Levels) l.Cells.fill(0);
  a.Store.Levels[4].Cells.fill(CodeOf('#'));
  a.Store.Levels[4].Cells[(5 - 1) * LevelSide + (9 - 1)] = BlockEmpty;
  a.Store.Levels[4].Cells[(7 - 1) * LevelSide + (2 - 1)] = BlockEmpty;
  StartCell s = FindStartCell(a.W);
  EXPECT_EQ(s.Level, 5);
  EXPECT_EQ(s.X, 5 + LevelOriginX);  // the reverse search ends on the first one
  EXPECT_EQ(s.Y, 9 + LevelOriginY);

  a.Store.Levels[4].Cells.fill(CodeOf('#'));
  s = FindStartCell(a.W);
  EXPECT_EQ(s.Level, 1);
  EXPECT_EQ(s.X, 6);
  EXPECT_EQ(s.Y, 16);
}

TEST(Flow, LosingALifeClearsPlayerBlocksUpToColumn40) {
  AsciiWorld a({"P.P"});
  a.W.SetCell(41, 30, a.W.Named.Player1);
  ClearPlayerBlocks(a.W);
  EXPECT_EQ(a.Picture(), (std::vector<std::string>{"..."}));
  EXPECT_EQ(a.W.At(41, 30), a.W.Named.Player1);
}

TEST(Flow, ResetLevelStatesKeepsTheSeeds) {
  AsciiWorld a({"."});
  a.W.Levels[3].Seed1 = 11;
  a.W.Levels[3].Seed2 = 12;
  a.W.Levels[3].Visited = 1;
  a.W.Levels[3].Monsters[0].State = 2;
  ResetLevelStates(a.W);
  EXPECT_EQ(a.W.Levels[3].Seed1, 11);
  EXPECT_EQ(a.W.Levels[3].Seed2, 12);
  EXPECT_EQ(a.W.Levels[3].Visited, 0);
  EXPECT_EQ(a.W.Levels[3].Monsters[0].State, 0);
}

TEST(Flow, EndCharactersOnlyWhenALevelHasOne) {
  AsciiWorld a({"..."});
  EXPECT_EQ(InitialEndCharacters(a.W), 0);
  a.Store.Levels[19] = LevelFromAscii({".Z"});
  EXPECT_EQ(InitialEndCharacters(a.W), 1);
}

#include <gtest/gtest.h>

#include "frame/GameState.h"
#include "support/AsciiWorld.h"
#include "world/Targets.h"

using namespace gravik;
using namespace gravik::testing;

using Pic = std::vector<std::string>;

TEST(CountTargets, CountsEveryLevelAndSavedMonsters) {
  AsciiWorld a({"DXC:;,E", "TS...S."});
  a.Store.Levels[4] = LevelFromAscii({"DD", "EO"});
  a.W.Levels[4].Visited = 1;
  a.W.Levels[4].Monsters[0].State = 1;
  a.W.Levels[4].Monsters[3].State = 2;
  a.W.Levels[6].Monsters[0].State = 2;  // not visited: ignored
  a.W.Monsters[2].State = 2;            // live monster of the current level
  a.W.Levels[0].Visited = 1;
  CountTargets(a.W);
  EXPECT_EQ(a.W.Count.DiamondsLeft, 5);
  EXPECT_EQ(a.W.Count.EarthLeft, 3);
  EXPECT_EQ(a.W.Count.MonstersLeft, 1 + 1 + 2 + 1);
  EXPECT_EQ(a.W.Count.TransportersLeft, 1);
}

TEST(CountTargets, CompletionPercentage) {
  AsciiWorld a({"D.."});
  a.W.InitialTotals = {4, 0, 0, 0, 0};
  CountTargets(a.W);
  EXPECT_DOUBLE_EQ(a.W.CompletionPercent, 75.0);
  a.W.InitialTotals = {1, 0, 0, 0, 0};
  CountTargets(a.W);
  EXPECT_DOUBLE_EQ(a.W.CompletionPercent, 0.0);
  a.W.InitialTotals = {0, 0, 0, 0, 0};
  CountTargets(a.W);
  EXPECT_DOUBLE_EQ(a.W.CompletionPercent, 0.0);
}

TEST(CountPuzzlePieces, PiecesInLevelsAreNotCollectedAndOffGridOnesAreIgnored) {
  AsciiWorld a({"$$$$"});
  a.W.PuzzleWidth = 2;
  a.W.PuzzleHeight = 1;
  a.Store.SetParam(1, 1, 1, int16_t((1 << 5) | 1));
  a.Store.SetParam(1, 2, 1, int16_t((2 << 5) | 1));
  a.Store.SetParam(1, 3, 1, int16_t((3 << 5) | 1));  // column 3 of a 2-wide grid
  a.Store.SetParam(1, 4, 1, int16_t((1 << 5) | 9));  // row 9 of a 1-high grid
  CountPuzzlePieces(a.W);
  EXPECT_EQ(a.W.Count.PuzzlePiecesLeft, 2);
  EXPECT_EQ(a.W.PuzzleCollected[0], 0);
  EXPECT_EQ(a.W.PuzzleCollected[PuzzleRowsMax], 0);

  a.Store.SetCell(1, 2, 1, BlockEmpty);
  CountPuzzlePieces(a.W);
  EXPECT_EQ(a.W.Count.PuzzlePiecesLeft, 1);
  EXPECT_EQ(a.W.PuzzleCollected[PuzzleRowsMax], 1);
}

TEST(SkullGates, TargetsMetBits) {
  AsciiWorld a({"."});
  Counters& c = a.W.Count;
  c = Counters{};
  EXPECT_TRUE(TargetsMet(a.W, 0));
  EXPECT_TRUE(TargetsMet(a.W, 63));
  c.PuzzlePiecesLeft = 1;
  EXPECT_TRUE(TargetsMet(a.W, 16));
  EXPECT_FALSE(TargetsMet(a.W, 32));
  c.PuzzlePiecesLeft = 0;
  c.MonstersLeft = 1;
  EXPECT_FALSE(TargetsMet(a.W, 4));
  EXPECT_TRUE(TargetsMet(a.W, 1 | 2 | 8));
}

TEST(SkullGates, OpenAfterTheLastDiamondInEveryLevel) {
  AsciiWorld a({"PDDG."});
  a.Store.SetParam(1, 4, 1, 1);                    // opens when no diamonds are left
  a.Store.Levels[2] = LevelFromAscii({"G:"});      // another level: diamonds and earth
  a.Store.Levels[2].Params[0] = 1 | 2;
  a.W.Count.EarthLeft = 1;
  CountTargets(a.W);
  ASSERT_EQ(a.W.Count.DiamondsLeft, 2);

  // The second-last diamond asks for a recount; the gate stays.
  a.W.Player.X = a.X(1);
  a.W.SetCell(a.X(0), a.Y(0), BlockEmpty);
  CollectAtPlayer(a.W);
  a.W.SetMapByte(a.X(1), a.Y(0), a.W.Named.Player1);
  EXPECT_EQ(a.W.Count.DiamondsLeft, 1);
  EXPECT_EQ(a.W.RecountTargets, 1);
  EXPECT_EQ(a.W.Count.Score, 5);
  CountTargets(a.W);
  EXPECT_EQ(a.W.At(a.X(3), a.Y(0)), BlockSkullGate);

  a.W.SetCell(a.X(1), a.Y(0), BlockEmpty);
  a.W.Player.X = a.X(2);
  CollectAtPlayer(a.W);
  a.W.SetMapByte(a.X(2), a.Y(0), a.W.Named.Player1);
  CountTargets(a.W);
  EXPECT_EQ(a.W.At(a.X(3), a.Y(0)), BlockEmpty);
  EXPECT_EQ(a.Chips.At(a.X(3), a.Y(0)), 0);
  EXPECT_EQ(a.Store.Cell(1, 4, 1), BlockEmpty);
  EXPECT_EQ(a.Store.Param(1, 4, 1), 0);
  EXPECT_EQ(a.Store.Levels[2].Cells[0], BlockSkullGate);  // earth is left there
  EXPECT_EQ(a.Sound.CountOf("opendoor.wav"), 1);
  EXPECT_EQ(a.W.Count.DiamondsLeft, 0);
}

TEST(Collect, KeyTurnsSafesOfThisLevelIntoDiamonds) {
  AsciiWorld a({"KX.X"});
  a.Store.Levels[3] = LevelFromAscii({"X"});
  CountTargets(a.W);
  ASSERT_EQ(a.W.Count.DiamondsLeft, 3);
  a.W.Player.X = a.X(0);
  CollectAtPlayer(a.W);
  EXPECT_EQ(a.W.KeyUsed, 1);
  EXPECT_EQ(a.Sound.CountOf("key.wav"), 1);
  EXPECT_EQ(a.W.At(a.X(1), a.Y(0)), a.W.Named.Diamond);
  EXPECT_EQ(a.Chips.At(a.X(3), a.Y(0)), a.W.Named.Diamond - 1);
  EXPECT_EQ(a.W.Count.DiamondsLeft, 3);
  EXPECT_EQ(a.Store.Levels[3].Cells[0], CodeOf('X'));
}

TEST(Collect, EarthScoresByKindAndCountsDownToZero) {
  AsciiWorld a({":;,"});
  a.W.Count.EarthLeft = 2;
  for (int c = 0; c < 3; ++c) {
    a.W.Player.X = a.X(c);
    CollectAtPlayer(a.W);
  }
  EXPECT_EQ(a.W.Count.Score, 6);
  EXPECT_EQ(a.W.Count.EarthLeft, 0);  // held at 0
  EXPECT_EQ(a.W.RecountTargets, 1);
}

TEST(Collect, DeadlyCellsAndTheEndCharacter) {
  AsciiWorld a({"*!GZ"});
  for (int c = 0; c < 3; ++c) {
    a.W.Player.Dead = 0;
    a.W.Player.X = a.X(c);
    CollectAtPlayer(a.W);
    EXPECT_EQ(a.W.Player.Dead, 1) << c;
  }
  a.W.Player.Dead = 0;
  a.W.Count.EndCharsLeft = 1;
  a.W.Player.X = a.X(3);
  a.W.Player.ArrivedByTransporter = true;
  CollectAtPlayer(a.W);
  EXPECT_EQ(a.W.Player.Dead, 0);
  EXPECT_EQ(a.W.Count.EndCharsLeft, 0);
  EXPECT_EQ(a.Sound.CountOf("level complete.wav"), 1);
  EXPECT_FALSE(a.W.Player.ArrivedByTransporter);
  CollectAtPlayer(a.W);
  EXPECT_EQ(a.W.Count.EndCharsLeft, 0);
}

TEST(Collect, TransporterStartsTheJourneyOnTheSixthFrame) {
  AsciiWorld a({"T."});
  a.W.Count.TransportersLeft = 1;
  a.W.Player.X = a.X(0);
  for (int frame = 1; frame <= 5; ++frame) {
    CollectAtPlayer(a.W);
    EXPECT_EQ(a.W.TransportCount, frame);
  }
  EXPECT_TRUE(a.Host.Changes.empty());
  CollectAtPlayer(a.W);
  EXPECT_EQ(a.Host.Changes, (std::vector<uint8_t>{gsTransportOut}));
  EXPECT_EQ(a.W.TransportCount, 0);
  EXPECT_EQ(a.W.At(a.X(0), a.Y(0)), BlockEmpty);
  EXPECT_EQ(a.Store.Cell(1, 1, 1), BlockEmpty);
  EXPECT_EQ(a.W.Count.TransportersLeft, 0);
  EXPECT_EQ(a.W.RecountTargets, 1);
  EXPECT_EQ(a.Sound.CountOf("transport.wav"), 1);

  AsciiWorld moving({"T"});
  moving.W.Player.X = moving.X(0);
  moving.W.Player.StepDistance = 10;  // not yet standing on it
  CollectAtPlayer(moving.W);
  EXPECT_EQ(moving.W.TransportCount, 0);
}

TEST(Collect, PuzzlePiecesInsideTheLevelOnly) {
  AsciiWorld a({"$", "."});
  a.W.PuzzleWidth = 1;
  a.W.PuzzleHeight = 1;
  a.Store.SetParam(1, 1, 1, int16_t((1 << 5) | 1));
  CountTargets(a.W);
  ASSERT_EQ(a.W.Count.PuzzlePiecesLeft, 1);
  a.W.Player.X = a.X(0);
  a.W.Player.Y = a.Y(0);
  CollectAtPlayer(a.W);
  EXPECT_EQ(a.W.Count.PuzzlePiecesLeft, 0);
  EXPECT_EQ(a.W.Count.Score, 10);
  EXPECT_EQ(a.Store.Cell(1, 1, 1), BlockEmpty);
  EXPECT_EQ(a.W.PuzzleCollected[0], 1);
  EXPECT_EQ(a.Sound.CountOf("puzzlepiece.wav"), 1);

  // The display below the level cannot be taken.
  a.W.SetCell(a.X(0), a.Y(2), BlockPuzzlePiece);
  a.W.Player.Y = a.Y(2);
  CollectAtPlayer(a.W);
  EXPECT_EQ(a.W.At(a.X(0), a.Y(2)), BlockPuzzlePiece);
}

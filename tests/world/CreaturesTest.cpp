#include <gtest/gtest.h>

#include <utility>

#include "base/Errors.h"
#include "support/AsciiWorld.h"
#include "world/FallingBlocks.h"
#include "world/Monsters.h"
#include "world/Spirits.h"

using namespace gravik;
using namespace gravik::testing;

using Cell = std::pair<int, int>;

namespace {

TSpirit& AddSpirit(AsciiWorld& a, int col, int row, int facing, int slot = 0) {
  TSpirit& s = a.W.Spirits[size_t(slot)];
  s = TSpirit{};
  s.Active = 1;
  s.X = a.X(col);
  s.Y = a.Y(row);
  s.PixelX = s.X * 64.0;
  s.PixelY = s.Y * 64.0;
  s.Facing = uint8_t(facing);
  a.W.SpiritCount = std::max(a.W.SpiritCount, slot + 1);
  return s;
}

// Picture cells the spirit stands in over `frames` frames, repeats collapsed.
std::vector<Cell> SpiritPath(AsciiWorld& a, int frames) {
  std::vector<Cell> path;
  a.W.FrameStep = 32;
  for (int i = 0; i < frames; ++i) {
    UpdateSpirits(a.W);
    const Cell c{a.W.Spirits[0].X - AsciiWorld::OriginX, a.W.Spirits[0].Y - AsciiWorld::OriginY};
    if (path.empty() || path.back() != c) path.push_back(c);
    a.Clock.Ms += 16;
  }
  return path;
}

TMonster& AddMonster(AsciiWorld& a, int col, int row, int slot = 5) {
  TMonster& m = a.W.Monsters[size_t(slot)];
  m = TMonster{};
  m.State = 2;
  m.X = a.X(col);
  m.Y = a.Y(row);
  m.PixelX = m.X * 64.0;
  m.PixelY = m.Y * 64.0;
  m.Visible = 1;
  return m;
}

}  // namespace

TEST(Spirits, TurnRightTwiceAtADeadEndAndComeBack) {
  AsciiWorld a({
      "SSSSSS",
      "S....S",
      "SSSSSS",
  });
  AddSpirit(a, 1, 1, DirLeft);
  const auto path = SpiritPath(a, 40);
  ASSERT_GE(path.size(), 7u);
  EXPECT_EQ(std::vector<Cell>(path.begin(), path.begin() + 7),
            (std::vector<Cell>{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {3, 1}, {2, 1}, {1, 1}}));
}

TEST(Spirits, TurnRightAtAnInsideCorner) {
  AsciiWorld a({
      "SSSSS",
      "S...S",
      "SSS.S",
      "SSS.S",
      "SSSSS",
  });
  AddSpirit(a, 1, 1, DirRight);
  const auto path = SpiritPath(a, 40);
  ASSERT_GE(path.size(), 5u);
  EXPECT_EQ(std::vector<Cell>(path.begin(), path.begin() + 5),
            (std::vector<Cell>{{1, 1}, {2, 1}, {3, 1}, {3, 2}, {3, 3}}));
}

TEST(Spirits, CircleALoneBlockAnticlockwise) {
  AsciiWorld a({
      ".....",
      ".....",
      "..S..",
      ".....",
      ".....",
  });
  AddSpirit(a, 2, 3, DirRight);  // below the block, block on its left hand
  const auto path = SpiritPath(a, 60);
  ASSERT_GE(path.size(), 9u);
  EXPECT_EQ(std::vector<Cell>(path.begin(), path.begin() + 9),
            (std::vector<Cell>{{2, 3}, {3, 3}, {3, 2}, {3, 1}, {2, 1}, {1, 1}, {1, 2}, {1, 3}, {2, 3}}));
}

TEST(Spirits, EnterACageOnTheLeftHandOnly) {
  AsciiWorld left({"SCSS", "S..S", "SSSS"});
  AddSpirit(left, 1, 1, DirRight);
  UpdateSpirits(left.W);
  EXPECT_FALSE(left.W.Spirits[0].Active);
  EXPECT_FALSE(left.W.Spirits[0].Drawn);
  EXPECT_EQ(left.W.At(left.X(1), left.Y(0)), left.W.Named.Diamond);
  EXPECT_EQ(left.Chips.At(left.X(1), left.Y(0)), left.W.Named.Diamond - 1);
  EXPECT_EQ(left.Sound.CountOf("cage.wav"), 1);

  AsciiWorld right({"SSSS", "S..S", "SCSS"});
  AddSpirit(right, 1, 1, DirRight);
  UpdateSpirits(right.W);
  EXPECT_TRUE(right.W.Spirits[0].Active);
  EXPECT_EQ(right.W.At(right.X(1), right.Y(2)), CodeOf('C'));
}

TEST(Spirits, LongFramesAreSkippedAndBadFacingIsFatal) {
  AsciiWorld a({"...."});
  TSpirit& s = AddSpirit(a, 1, 0, DirRight);
  a.W.FrameStep = 201;
  UpdateSpirits(a.W);
  EXPECT_FALSE(s.Drawn);
  EXPECT_FALSE(s.Moving);
  a.W.FrameStep = 10;
  UpdateSpirits(a.W);
  EXPECT_TRUE(s.Drawn);
  EXPECT_EQ(s.Frame, 1);
  s.Facing = 7;
  try {
    UpdateSpirits(a.W);
    FAIL() << "no error";
  } catch (const FatalMessage& e) {
    EXPECT_STREQ(e.what(), "Illegal facing spirit.");
  }
}

TEST(Monsters, HatchAfterThreeSeconds) {
  AsciiWorld a({"H", "S"});
  TMonster& m = a.W.Monsters[5];
  m.State = 1;
  m.X = a.X(0);
  m.Y = a.Y(0);
  m.HatchTime = a.Clock.Ms;
  a.Clock.Ms += 3000;
  UpdateMonsters(a.W);
  EXPECT_EQ(m.State, 1);
  EXPECT_EQ(a.W.At(m.X, m.Y), CodeOf('H'));
  a.Clock.Ms += 1;
  UpdateMonsters(a.W);
  EXPECT_EQ(m.State, 2);
  EXPECT_TRUE(m.Visible);
  EXPECT_EQ(m.Frame, 1);
  EXPECT_EQ(m.Wait, 7);  // 8, less the first standing frame
  EXPECT_EQ(a.W.At(m.X, m.Y), BlockEmpty);
  EXPECT_EQ(a.Chips.At(m.X, m.Y), 0);
  EXPECT_EQ(m.PixelX, m.X * 64.0);
}

TEST(Monsters, ChaseAlongACorridorAndStopOnThePlayer) {
  AsciiWorld a({"....P"});
  TMonster& m = AddMonster(a, 0, 0);
  a.W.FrameStep = 16;
  for (int i = 0; i < 400 && m.X != a.W.Player.X; ++i) UpdateMonsters(a.W);
  EXPECT_EQ(m.X, a.W.Player.X);
  for (int i = 0; i < 40; ++i) UpdateMonsters(a.W);
  EXPECT_EQ(m.X, a.W.Player.X);
  EXPECT_EQ(m.Moving, 0);
  EXPECT_EQ(m.Direction, DirNone);
}

TEST(Monsters, OffBothAxesEitherWantedDirectionIsTaken) {
  AsciiWorld a({
      "....",
      "....",
      "...P",
  });
  TMonster& m = AddMonster(a, 0, 0);
  int right = 0, down = 0;
  for (int i = 0; i < 200; ++i) {
    ChooseDirection(a.W, 5);
    ASSERT_TRUE(m.Direction == DirRight || m.Direction == DirDown) << m.Direction;
    (m.Direction == DirRight ? right : down)++;
  }
  // An even pick between the two.
  EXPECT_GT(right, 60);
  EXPECT_GT(down, 60);
}

TEST(Monsters, ClimbTowardsAPlayerAbove) {
  AsciiWorld a({"P", ".", ".", "."});
  TMonster& m = AddMonster(a, 0, 3);
  a.W.FrameStep = 16;
  for (int i = 0; i < 400 && m.Y != a.W.Player.Y; ++i) UpdateMonsters(a.W);
  EXPECT_EQ(m.Y, a.W.Player.Y);
  EXPECT_EQ(m.X, a.W.Player.X);
}

TEST(Monsters, ABlockedWishMeansStandingStill) {
  AsciiWorld a({".S.P"});
  TMonster& m = AddMonster(a, 0, 0);
  a.W.FrameStep = 16;
  for (int i = 0; i < 200; ++i) UpdateMonsters(a.W);
  EXPECT_EQ(m.X, a.X(0));
  EXPECT_EQ(m.Moving, 0);
}

TEST(Monsters, MonstersNeverEnterRowsAbove15) {
  AsciiWorld a({"."});
  a.W.SetCell(10, 14, BlockEmpty);
  a.W.SetCell(10, 15, BlockEmpty);
  EXPECT_FALSE(MonsterCanEnter(a.W, 10, 14));
  EXPECT_TRUE(MonsterCanEnter(a.W, 10, 15));
  EXPECT_FALSE(MonsterCanEnter(a.W, 0, 20));
}

TEST(Monsters, CrushedByRocksAndEggs) {
  AsciiWorld a({"O", ".", "S"});
  TMonster& m = AddMonster(a, 0, 1);
  UpdateBlocks(a.W);  // the rock falls into the monster's cell
  CrushMonsters(a.W);
  EXPECT_EQ(m.State, 0);
  EXPECT_EQ(m.X, 0);
  EXPECT_EQ(a.W.RecountTargets, 1);
  EXPECT_EQ(a.Sound.CountOf("killmonster.wav"), 1);

  AsciiWorld b({"..E"});
  TMonster& moving = AddMonster(b, 1, 0);
  moving.Moving = 1;
  moving.Direction = DirRight;
  TMonster& standing = AddMonster(b, 0, 0, 4);
  TMonster& hatching = AddMonster(b, 2, 0, 3);
  hatching.State = 1;
  CrushMonsters(b.W);
  EXPECT_EQ(moving.State, 0);
  EXPECT_EQ(standing.State, 2);
  EXPECT_EQ(hatching.State, 1);
}

#include <gtest/gtest.h>

#include <set>

#include "base/Errors.h"
#include "frame/GameState.h"
#include "support/AsciiWorld.h"
#include "world/FallingBlocks.h"
#include "world/Meteors.h"
#include "world/Player.h"
#include "world/Tick.h"

using namespace gravik;
using namespace gravik::testing;

using Pic = std::vector<std::string>;

namespace {

struct Keys : PlayerInput {
  std::set<int> held;
  bool KeyHeld(int d) override { return held.count(d) != 0; }
  bool JoystickEnabled() const override { return false; }
  bool JoystickHeld(int) override { return false; }
  bool DemoPlaying() const override { return false; }
  int DemoRequest(World&) override { return 0; }
  void ReadOtherKeys(World&) override {}
};

// Starts a step with `keys` held for one frame, then releases them and runs
// frames (16 pixels each) until the player stands again.
int WalkUntilStanding(AsciiWorld& a, Keys& keys, int limit = 40) {
  a.W.FrameStep = 16;
  Keys none;
  int frames = 0;
  do {
    PlayerFrame(a.W, frames == 0 ? &keys : &none);
    a.Clock.Ms += 42;
    ++frames;
  } while (a.W.Player.Moving != 0 && frames < limit);
  return frames;
}

// One world tick with the rules alone, at the world's current frame step.
void Tick(World& w, PlayerInput& input) {
  RulesOnlyHost host(input, w.FrameStep);
  GameTick(w, host);
}

}  // namespace

TEST(Player, WalkingDigsEarthAndScores) {
  AsciiWorld a({"P:;."});
  Keys keys;
  keys.held = {DirRight};
  a.W.Count.EarthLeft = 5;
  WalkUntilStanding(a, keys);
  EXPECT_EQ(a.W.Player.X, a.X(1));
  keys.held.clear();
  PlayerFrame(a.W, &keys);
  keys.held = {DirRight};
  WalkUntilStanding(a, keys);
  keys.held.clear();
  PlayerFrame(a.W, &keys);
  EXPECT_EQ(a.W.Player.X, a.X(2));
  EXPECT_EQ(a.Picture(), (Pic{"..P."}));
  EXPECT_EQ(a.W.Count.Score, 3);
  EXPECT_EQ(a.W.Count.EarthLeft, 3);
  EXPECT_EQ(a.W.Player.ViewX, 288.0 - 64.0 * a.X(2));
  EXPECT_EQ(a.W.Player.PixelX, 64.0 * (a.X(2) - 1));
  EXPECT_EQ(a.W.Player.StepsTaken, 1);
}

TEST(Player, HoldingADirectionWalksOnWithoutStopping) {
  AsciiWorld a({"P...."});
  Keys keys;
  keys.held = {DirRight};
  a.W.FrameStep = 16;
  int frames = 0;
  while (a.W.Player.X != a.X(3) && frames < 100) {
    PlayerFrame(a.W, &keys);
    ++frames;
    if (a.W.Player.X != a.X(3)) {
      EXPECT_EQ(a.W.Player.Moving, DirRight) << frames;
    }
  }
  EXPECT_EQ(frames, 12);  // three cells of four 16-pixel frames
}

TEST(Player, PushesARockWithSpaceBehindIt) {
  AsciiWorld a({"PO.."});
  Keys keys;
  keys.held = {DirRight};
  a.W.FrameStep = 16;
  PlayerFrame(a.W, &keys);
  EXPECT_EQ(a.W.Player.Moving, DirRight);
  EXPECT_EQ(a.W.At(a.X(2), a.Y(0)), a.W.Named.Rock);
  EXPECT_EQ(a.W.StateAt(a.X(2), a.Y(0)).Motion, 2);
  EXPECT_EQ(a.W.StateAt(a.X(2), a.Y(0)).Frame, 1);  // turned one frame
  EXPECT_EQ(a.Sound.Played.size(), 0u);              // a push on one row is silent
  keys.held.clear();
  WalkUntilStanding(a, keys);
  PlayerFrame(a.W, &keys);
  EXPECT_EQ(a.Picture(), (Pic{".PO."}));

  AsciiWorld blocked({"POO."});
  Keys right;
  right.held = {DirRight};
  PlayerFrame(blocked.W, &right);
  EXPECT_EQ(blocked.W.Player.Moving, 0);
  EXPECT_EQ(blocked.Picture(), (Pic{"POO."}));

  AsciiWorld egg({".EP"});
  Keys left;
  left.held = {DirLeft};
  WalkUntilStanding(egg, left);
  EXPECT_EQ(egg.W.At(egg.X(0), egg.Y(0)), egg.W.Named.Egg);  // pushed sideways: no crack
  EXPECT_EQ(egg.W.Player.X, egg.X(1));
}

TEST(Player, ATurnStopsOnTheCellAndStartsNextFrame) {
  AsciiWorld a({"P..", "..."});
  Keys keys;
  keys.held = {DirRight};
  a.W.FrameStep = 16;
  PlayerFrame(a.W, &keys);
  keys.held = {DirRight, DirDown};
  while (a.W.Player.Moving == DirRight) PlayerFrame(a.W, &keys);
  EXPECT_EQ(a.W.Player.Moving, 0);
  EXPECT_EQ(a.W.Player.X, a.X(1));
  EXPECT_EQ(a.W.Player.Y, a.Y(0));
  PlayerFrame(a.W, &keys);
  EXPECT_EQ(a.W.Player.Moving, DirDown);  // after a horizontal step, vertical wins
}

TEST(Player, WalkcheckLimits) {
  AsciiWorld a({"P.Z", "..."});
  World& w = a.W;
  w.Count = Counters{};
  w.Count.MonstersLeft = 1;
  EXPECT_FALSE(Walkcheck(w, a.X(2), a.Y(0)));
  w.Count.MonstersLeft = 0;
  EXPECT_TRUE(Walkcheck(w, a.X(2), a.Y(0)));
  EXPECT_FALSE(Walkcheck(w, a.X(3), a.Y(0)));  // beyond the level's width
  EXPECT_FALSE(Walkcheck(w, a.X(0), a.Y(2)));  // below BottomRow
  w.SetCell(a.X(0), 14, BlockEmpty);
  EXPECT_FALSE(Walkcheck(w, a.X(0), 14));
  w.SetCell(5, a.Y(0), BlockEmpty);
  EXPECT_FALSE(Walkcheck(w, 5, a.Y(0)));
  try {
    Walkcheck(w, 43, 20);
    FAIL() << "no error";
  } catch (const FatalMessage& e) {
    EXPECT_STREQ(e.what(), "Walkcheck out of range 43,20");
  }
}

TEST(Player, IdleLooksAroundThenPlaysTheGlassSequence) {
  AsciiWorld a({"P"});
  World& w = a.W;
  PlayerState& p = w.Player;
  p.IdleRef = 0;
  p.Pattern = 5;
  std::vector<std::pair<uint32_t, int>> seen;
  int last = -1;
  bool glassHeardAtNinth = false;
  for (uint32_t t = 0; t <= 30000; t += 10) {
    w.FrameTime = t;
    const size_t before = a.Sound.Played.size();
    IdleAnimation(w);
    if (a.Sound.Played.size() != before) glassHeardAtNinth = p.IdlePos == 9;
    if (p.Pattern != last) {
      seen.push_back({t, p.Pattern});
      last = p.Pattern;
    }
  }
  ASSERT_GE(seen.size(), 5u);
  EXPECT_EQ(seen[1], (std::pair<uint32_t, int>{3010, 0}));
  EXPECT_EQ(seen[2], (std::pair<uint32_t, int>{4010, 1}));
  EXPECT_EQ(seen[3], (std::pair<uint32_t, int>{5010, 0}));
  EXPECT_EQ(seen[4], (std::pair<uint32_t, int>{6010, 2}));
  EXPECT_EQ(seen[5], (std::pair<uint32_t, int>{7010, 0}));  // the next cycle
  EXPECT_EQ(seen[8], (std::pair<uint32_t, int>{10010, 2}));  // 4 s after the last
  bool glass = false;
  for (auto& [t, pattern] : seen) glass = glass || pattern == 33;
  EXPECT_TRUE(glass);
  EXPECT_EQ(a.Sound.CountOf("glasshit2.wav"), 1);
  EXPECT_TRUE(glassHeardAtNinth);
  EXPECT_EQ(GlassPattern(1), 0);
  EXPECT_EQ(GlassPattern(7), 33);
  EXPECT_EQ(GlassPattern(9), 35);
}

TEST(Player, RocksKillOnlyWhenTheyJustMoved) {
  AsciiWorld falling({".O.", "...", ".P.", "SSS"});
  UpdateBlocks(falling.W);
  CheckPlayerDeath(falling.W);
  EXPECT_EQ(falling.W.Player.Dead, 1);

  AsciiWorld resting({".O.", ".P.", "SSS"});
  UpdateBlocks(resting.W);
  CheckPlayerDeath(resting.W);
  EXPECT_EQ(resting.W.Player.Dead, 0);
}

TEST(Player, TouchingMonstersMeteorsAndSpiritsKills) {
  AsciiWorld a({"P...."});
  World& w = a.W;
  TMonster& m = w.Monsters[0];
  m.State = 2;
  m.PixelX = (a.X(1)) * 64.0;  // one cell to the right: boxes just apart
  m.PixelY = a.Y(0) * 64.0;
  CheckPlayerDeath(w);
  EXPECT_EQ(w.Player.Dead, 0);
  m.PixelX -= 8;  // overlapping by 4 pixels after the margins
  CheckPlayerDeath(w);
  EXPECT_EQ(w.Player.Dead, 1);
  EXPECT_EQ(m.HitSide, 4);

  AsciiWorld b({"P...."});
  TSpirit& s = b.W.Spirits[3];
  s.Active = 1;
  s.PixelX = b.X(0) * 64.0;
  s.PixelY = b.Y(0) * 64.0;
  CheckPlayerDeath(b.W);
  EXPECT_EQ(b.W.Player.Dead, 1);

  AsciiWorld c({"P...."});
  TMeteor& met = c.W.Meteors[0];
  c.W.MeteorCount = 1;
  met.Active = 1;
  met.PixelX = c.W.Player.PixelX + 48 + 16;
  met.PixelY = c.W.Player.PixelY + 51 + 16;
  CheckPlayerDeath(c.W);
  EXPECT_EQ(c.W.Player.Dead, 1);
  c.W.Player.Dead = 0;
  c.W.MeteorCount = 0;  // records beyond the count are not tested
  CheckPlayerDeath(c.W);
  EXPECT_EQ(c.W.Player.Dead, 0);
}

TEST(Player, PlayerCellMarkingSparesSpecialBlocks) {
  AsciiWorld a({"PL"});
  MarkPlayerCell(a.W, false);
  EXPECT_EQ(a.W.At(a.X(0), a.Y(0)), BlockEmpty);
  MarkPlayerCell(a.W, true);
  EXPECT_EQ(a.W.At(a.X(0), a.Y(0)), a.W.Named.Player1);
  a.W.Player.X = a.X(1);
  MarkPlayerCell(a.W, false);
  MarkPlayerCell(a.W, true);
  EXPECT_EQ(a.W.At(a.X(1), a.Y(0)), CodeOf('L'));
}

TEST(Meteors, FallWrapAndStandStillInLongFrames) {
  AsciiWorld a({"P"});
  World& w = a.W;
  w.MeteorCount = 1;
  TMeteor& m = w.Meteors[0];
  m.Active = 1;
  m.Band = 2;
  m.PixelX = 500;
  m.PixelY = 970;
  w.FrameStep = 200;
  UpdateMeteors(w);
  EXPECT_EQ(m.PixelY, 970);
  EXPECT_TRUE(m.Drawn);
  w.FrameStep = 20;
  UpdateMeteors(w);
  EXPECT_EQ(m.PixelY, 371);
  const int column = int(m.PixelX - 336) / 32;
  EXPECT_GE(column, 8 * 2 - 6);
  EXPECT_LE(column, 8 * 2);
  EXPECT_EQ(m.ScreenY, int(371 + w.Player.ViewY));
}

TEST(Meteors, RumbleGrowsTowardsTheSky) {
  EXPECT_EQ(RumbleVolume(15, 20), 0);
  EXPECT_EQ(RumbleVolume(25, 20), -9975);
  EXPECT_EQ(RumbleVolume(15, 0), -9975);  // at least 1

  AsciiWorld a({"P"});
  a.W.MeteorCount = 1;
  a.W.Player.Y = 26;
  UpdateMeteors(a.W);
  EXPECT_EQ(a.Sound.CountOf("meteors.wav"), 0);
  a.W.Player.Y = 15;
  UpdateMeteors(a.W);
  EXPECT_EQ(a.Sound.CountOf("meteors.wav"), 1);
  EXPECT_EQ(a.Sound.Volumes["meteors.wav"], 0);
}

TEST(Tick, BlockPassAtMostEvery50Ms) {
  auto cellsFallen = [](uint32_t msPerFrame, int frames) {
    std::vector<std::string> pic{"O"};
    for (int i = 0; i < 40; ++i) pic.push_back(".");
    pic.push_back("S");
    AsciiWorld a(pic);
    a.W.Player.X = a.X(0) + 10;  // somewhere out of the way
    a.W.Player.Y = a.Y(0);
    a.W.LastBlockPass = a.Clock.Ms;
    Keys none;
    for (int i = 0; i < frames; ++i) {
      a.Clock.Ms += msPerFrame;
      Tick(a.W, none);
    }
    for (int y = 0; y < 41; ++y)
      if (a.W.At(a.X(0), a.Y(y)) == a.W.Named.Rock) return y;
    return -1;
  };
  EXPECT_EQ(cellsFallen(10, 20), 4);   // 100 frames a second: every fifth frame
  EXPECT_EQ(cellsFallen(100, 6), 6);   // 10 frames a second: every frame
}

TEST(Tick, TransporterFreezesMeteorsAndSpiritsButNotMonsters) {
  AsciiWorld a({"T.....", "......"});
  World& w = a.W;
  w.Player.X = a.X(0);
  w.TransportCount = 1;
  w.FrameStep = 16;
  w.Spirits[0].Active = 1;
  w.Spirits[0].X = a.X(3);
  w.Spirits[0].Y = a.Y(1);
  w.Spirits[0].Facing = DirLeft;
  w.MeteorCount = 1;
  w.Meteors[0].Active = 1;
  w.Meteors[0].PixelY = 400;
  TMonster& m = w.Monsters[0];
  m.State = 2;
  m.X = a.X(5);
  m.Y = a.Y(0);
  m.PixelX = m.X * 64.0;
  m.PixelY = m.Y * 64.0;
  Keys none;
  for (int i = 0; i < 30; ++i) Tick(w, none);
  EXPECT_EQ(w.Spirits[0].Moving, 0);
  EXPECT_FALSE(w.Spirits[0].Drawn);
  EXPECT_EQ(w.Meteors[0].PixelY, 400);
  EXPECT_LT(m.PixelX, m.X * 64.0 + 64);  // the monster went on
  EXPECT_NE(m.X, a.X(5));
}

TEST(Tick, TakingAKeyMovesBlocksInTheSameFrame) {
  AsciiWorld a({"X..", "...", "PKO", "...", "SSS"});
  World& w = a.W;
  w.LastBlockPass = a.Clock.Ms;  // no regular pass due
  Keys keys;
  keys.held = {DirRight};
  w.FrameStep = 64;  // the step ends in the frame it starts
  Tick(w, keys);
  EXPECT_EQ(w.Player.X, a.X(1));
  EXPECT_EQ(w.At(a.X(0), a.Y(0)), w.Named.Diamond);
  EXPECT_EQ(w.At(a.X(2), a.Y(3)), w.Named.Rock);  // fell at once
  EXPECT_EQ(w.KeyUsed, 0);
}

TEST(Tick, CompletionWinsOverDeathInTheSameFrame) {
  AsciiWorld a({"P"});
  a.W.Player.Dead = 1;
  a.W.Count = Counters{};
  CheckScenarioDone(a.W);
  EXPECT_TRUE(a.W.ScenarioFinished);
  Keys none;
  Tick(a.W, none);
  EXPECT_EQ(a.Host.Changes, (std::vector<uint8_t>{gsLosingLife, gsScenarioComplete}));
  a.W.Count.EndCharsLeft = 1;
  CheckScenarioDone(a.W);
  EXPECT_FALSE(a.W.ScenarioFinished);
}

TEST(Tick, SeenCellsFollowALivingPlayer) {
  AsciiWorld a({"P"});
  Keys none;
  Tick(a.W, none);
  EXPECT_EQ(a.W.Level().Seen[size_t(MapIndex(a.X(0) + 4, a.Y(0) - 4))], 1);
  EXPECT_EQ(a.W.Level().Seen[size_t(MapIndex(a.X(0) + 5, a.Y(0)))], 0);
}

// Whole games played in-process on the real engine: the same moves give the
// same world at any frame rate, and the same input and seed give the same game
// frame by frame.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <sstream>

#include "frame/PlayScenario.h"
#include "frame/WorldHash.h"
#include "support/GameHarness.h"

namespace gravik::playtest {
namespace {

using testing::Move;

// A whole game of a purpose-made scenario in a home of its own, at `frameMs`
// a frame.
class PlaySession : public testing::WithHome, public testing::GameHarness {
 public:
  PlaySession(const std::string& scenarioFile, double frameMs, uint64_t seed)
      : GameHarness(Options(scenarioFile, seed)) {
    SetFrameMs(frameMs);
  }

 private:
  static GameOptions Options(const std::string& scenarioFile, uint64_t seed) {
    GameOptions o = Audible();
    o.noMusic = true;
    o.seed = seed;
    o.play = true;
    o.playScenario = scenarioFile;
    return o;
  }
};

// Map, player, counters and state after a game.
struct Outcome {
  std::vector<uint8_t> Map;
  int Level = 0, X = 0, Y = 0;
  Counters Count;
  int Lives = 0;
  uint8_t State = 0;
};

Outcome OutcomeOf(Game& g) {
  Outcome o;
  o.Map.assign(g.world.Map.begin(), g.world.Map.end());
  o.Level = g.world.CurrentLevel;
  o.X = g.world.Player.X;
  o.Y = g.world.Player.Y;
  o.Count = g.world.Count;
  o.Lives = g.values.Lives;
  o.State = g.frame.GameState;
  return o;
}

// Cells where two maps differ, "(x,y) a/b" in level coordinates.
std::string MapDifferences(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  std::ostringstream s;
  for (int x = 1; x <= MapWidth; ++x)
    for (int y = 1; y <= MapHeight; ++y) {
      const size_t i = size_t(MapIndex(x, y));
      if (a[i] != b[i])
        s << "(" << x - LevelOriginX << "," << y - LevelOriginY << ") " << int(a[i]) << "/" << int(b[i]) << " ";
    }
  return s.str();
}

class PlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GRAVIK_REQUIRE_DATA_FILES();
    catalogue_ = CatalogueFromArchive(GRAVIK_BINARY_DIR);
  }
  // Writes the scenario into the folder and returns its path.
  std::string Scenario(const std::vector<LevelText>& levels) {
    const std::string path = files_ / "test.zq";
    WriteFile(path, BuildScenarioFile(levels, catalogue_));
    return path;
  }
  uint8_t Code(const char* name) { return FindBlock(catalogue_, name); }

  testing::TempHome files_;
  BlockCatalogue catalogue_;
};

// A corridor: earth to dig, a rock that falls into the dug passage, a rock to
// push twice, a diamond below its end.
const std::vector<LevelText> kCorridor = {Level(1,
                                           {"############",   //
                                            "#....o.....#",   //
                                            "#P::::::o..#",   //
                                            "#::::::::*:#",   //
                                            "############"})};

// Keys held for whole tenths of a second, each move starting on a cell, so
// both frame rates read every key in the same place of a step.
const std::vector<Move> kCorridorMoves = {
    {500, "Right", 400},   // 3 cells: digs to column 5
    {1500, "Right", 200},  // 2 cells: passes under the rock, which falls behind
    {2500, "Right", 100},  // to column 8
    {3500, "Right", 100},  // pushes the rock on to column 10
    {4500, "Right", 100},  // and on to column 11
    {5500, "Down", 100},   // takes the diamond
    {6500, "Left", 400},   // digs back to column 7
};

TEST_F(PlayTest, SameMovesGiveTheSameWorldAtTenAndAHundredFramesASecond) {
  const std::string file = Scenario(kCorridor);
  Outcome fast, slow;
  {
    PlaySession s(file, 10.0, 1);
    ASSERT_EQ(s.Play(kCorridorMoves, 9000), 0);
    fast = OutcomeOf(s.game_);
  }
  {
    PlaySession s(file, 100.0, 1);
    ASSERT_EQ(s.Play(kCorridorMoves, 9000), 0);
    slow = OutcomeOf(s.game_);
  }
  // The moves did what they were meant to at the fast rate...
  EXPECT_EQ(fast.State, gsPlaying);
  EXPECT_EQ(fast.X - LevelOriginX, 7);
  EXPECT_EQ(fast.Y - LevelOriginY, 4);
  EXPECT_EQ(fast.Count.DiamondsCollected, 1);
  EXPECT_EQ(fast.Count.DiamondsLeft, 0);
  EXPECT_GT(fast.Count.Score, 0);
  EXPECT_EQ(fast.Lives, 3);
  const uint8_t rock = Code("ROCK");
  auto at = [](const Outcome& o, int col, int row) {
    return o.Map[size_t(MapIndex(col + LevelOriginX, row + LevelOriginY))];
  };
  EXPECT_EQ(at(fast, 6, 3), rock) << "the rock above the passage fell into it";
  EXPECT_EQ(at(fast, 11, 3), rock) << "the pushed rock ends against the wall";
  EXPECT_EQ(at(fast, 9, 3), BlockEmpty);
  EXPECT_EQ(at(fast, 4, 3), BlockEmpty) << "the earth was dug";
  // ...and the slow rate ends in the very same world.
  EXPECT_EQ(slow.Level, fast.Level);
  EXPECT_EQ(slow.X, fast.X);
  EXPECT_EQ(slow.Y, fast.Y);
  EXPECT_EQ(slow.Count.Score, fast.Count.Score);
  EXPECT_EQ(slow.Count.EarthLeft, fast.Count.EarthLeft);
  EXPECT_EQ(slow.Count.DiamondsLeft, fast.Count.DiamondsLeft);
  EXPECT_EQ(slow.Count.DiamondsCollected, fast.Count.DiamondsCollected);
  EXPECT_EQ(slow.Lives, fast.Lives);
  EXPECT_EQ(slow.State, fast.State);
  EXPECT_TRUE(slow.Map == fast.Map) << MapDifferences(fast.Map, slow.Map);
}

// A long walk at a steady 384 pixels a second covers the same cells at both
// rates: a step keeps what it overshot, so 10 slow frames go as far as 100 fast ones.
TEST_F(PlayTest, HeldKeyCoversTheSameCellsAtAnyFrameRate) {
  const std::vector<LevelText> hall = {Level(1,
                                        {"##############################",
                                         "#P...........................#",
                                         "##############################",
                                         "#*############################",  // keeps the level unfinished
                                         "##############################"})};
  const std::string file = Scenario(hall);
  for (int holdMs : {400, 900, 2400}) {
    int x10 = 0, x100 = 0;
    {
      PlaySession s(file, 10.0, 1);
      ASSERT_EQ(s.Play({{300, "Right", holdMs}}, holdMs + 1500), 0);
      x10 = s.game_.world.Player.X - LevelOriginX;
    }
    {
      PlaySession s(file, 100.0, 1);
      ASSERT_EQ(s.Play({{300, "Right", holdMs}}, holdMs + 1500), 0);
      x100 = s.game_.world.Player.X - LevelOriginX;
    }
    // Six cells a second (2.4, 5.4 and 14.4 cells here); the step under way
    // when the key is let go is finished.
    const int expected = 2 + holdMs * 6 / 1000 + 1;
    EXPECT_EQ(x10, expected) << "held " << holdMs << " ms at 10 frames a second";
    EXPECT_EQ(x100, expected) << "held " << holdMs << " ms at 100 frames a second";
  }
}

// A lively level: eggs that crack and hatch monsters, spirits, rocks to fall.
const std::vector<LevelText> kLively = {Level(1,
                                         {"##################",   //
                                          "#P:::::::::::::::#",   //
                                          "#:o.o.o.e...e....#",   //
                                          "#::............p.#",   //
                                          "#:...p...........#",   //
                                          "#:...............#",   //
                                          "#:*.....o...*....#",   //
                                          "##################"})};

const std::vector<Move> kLivelyMoves = {
    {300, "Right", 700}, {1500, "Down", 300}, {2500, "Left", 200},
    {4000, "Right", 500}, {6000, "Escape", 100},  // gives up a life
};

// The world, and the picture on the screen.
uint64_t FrameHash(Game& g) {
  return Fnv(WorldHash(g), g.backSurface.Data(), g.backSurface.Pixels().size() * 2);
}

struct Trace {
  std::vector<uint64_t> Hashes;
  int MonstersSeen = 0;
  std::set<std::pair<int, int>> SpiritCells;
  bool LifeLost = false;
};

Trace PlayLively(const std::string& file, uint64_t seed) {
  Trace t;
  PlaySession s(file, 1000.0 / 60.0, seed);
  const int status = s.Play(kLivelyMoves, 9000, [&](Game& g) {
    t.Hashes.push_back(FrameHash(g));
    int active = 0;
    for (const TMonster& m : g.world.Monsters) active += m.State == 2;
    t.MonstersSeen = std::max(t.MonstersSeen, active);
    for (const TSpirit& sp : g.world.Spirits)
      if (sp.Active) t.SpiritCells.insert({sp.X, sp.Y});
    if (g.values.Lives < 3) t.LifeLost = true;
  });
  EXPECT_EQ(status, 0);
  return t;
}

TEST_F(PlayTest, SameInputAndSeedGiveTheSameGameFrameByFrame) {
  const std::string file = Scenario(kLively);
  const Trace a = PlayLively(file, 7);
  const Trace b = PlayLively(file, 7);
  ASSERT_GT(a.Hashes.size(), 500u);
  ASSERT_EQ(a.Hashes.size(), b.Hashes.size());
  for (size_t i = 0; i < a.Hashes.size(); ++i)
    ASSERT_EQ(a.Hashes[i], b.Hashes[i]) << "the runs part at frame " << i << " of play";
  // The game was not standing still: monsters hatched, spirits moved, a life went.
  EXPECT_GT(std::set<uint64_t>(a.Hashes.begin(), a.Hashes.end()).size(), 200u);
  EXPECT_GT(a.MonstersSeen, 0);
  EXPECT_GT(a.SpiritCells.size(), 4u);
  EXPECT_TRUE(a.LifeLost);
}

}  // namespace
}  // namespace gravik::playtest

// Saved games: a world written and restored later runs on from the same state,
// and no damaged or foreign file is ever restored.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/Bytes.h"
#include "base/Crc.h"
#include "data/SaveGame.h"
#include "platform/Folders.h"
#include "support/AsciiWorld.h"

namespace gravik {
namespace {

using testing::AsciiWorld;

struct SavedWorld {
  AsciiWorld a{{
      "..O.:D..",
      ".P..E.s.",
      "####.#..",
  }};
  Scenario scenario;
  std::array<uint8_t, MapCells> chips{};
  SaveSummary summary{"mine.zq", 0xC0FFEE11u, "Mine", 3, 1234, 2, 777};
  SavedPlayValues play{2, 777, 4321, 9, 20, 5, 0x123456789ABCDEF0ull};

  SavedWorld() {
    World& w = a.W;
    w.CurrentLevel = 3;
    w.Levels[2].Visited = 1;
    w.Levels[6].Visited = 1;
    w.Levels[6].Monsters[1] = TMonster{.State = 2, .AnimTime = 50, .HatchTime = 60, .X = 9, .Y = 20};
    w.Levels[6].Spirits[0].Active = 1;
    w.Levels[6].Spirits[0].X = 8;
    w.Levels[6].Spirits[0].AnimTime = 99000;
    w.Monsters[0] = TMonster{.State = 2, .BoxX = 1.5, .PixelX = 70.25, .AnimTime = 99500, .HatchTime = 98000,
                             .X = 10, .Y = 17, .Direction = 3};
    w.Player.IdleRef = 99900;
    w.Player.LastWalkFrame = 99950;
    w.Player.PixelX = 320.5;
    w.Cells[100].AnimTime = 99990;
    w.Cells[100].Frame = 3;
    w.DiamondTimer = 95000;
    w.Count.Score = 1234;
    w.Rng.A = 17;
    w.Rng.B = 29;
    w.PuzzleCollected[5] = 1;
    for (int i = 0; i < MapCells; ++i) chips[size_t(i)] = uint8_t(i * 7);
    for (int l = 1; l <= LevelCount; ++l) {
      scenario.Level(l).Width = 8;
      scenario.Level(l).Height = 3;
      scenario.Level(l).SetCell(2, 2, uint8_t(l));
      scenario.Level(l).SetParam(4, 1, int16_t(-l));
    }
  }
  std::vector<uint8_t> Write(uint32_t now) const {
    return WriteSavedGame(summary, play, a.W, scenario, chips, now);
  }
};

TEST(SaveGame, ContinuedLaterTheWorldIsTheSameWithEveryClockAged) {
  SavedWorld s;
  const std::vector<uint8_t> file = s.Write(100000);
  EXPECT_LT(file.size(), 100u * 1024);

  SavedGame read;
  std::string error;
  ASSERT_TRUE(ReadSavedGame(file, read, error)) << error;
  EXPECT_EQ(read.Summary.ScenarioFile, "mine.zq");
  EXPECT_EQ(read.Summary.ScenarioCrc, 0xC0FFEE11u);
  EXPECT_EQ(read.Summary.ScenarioName, "Mine");
  EXPECT_EQ(read.Summary.Level, 3);
  EXPECT_EQ(read.Summary.Lives, 2);
  EXPECT_EQ(read.Play.LevelClockAge, 4321u);
  EXPECT_EQ(read.Play.RandomState, 0x123456789ABCDEF0ull);

  // A second game restores it one hour of clock later (and past the tick wrap).
  SavedWorld other;
  other.a.W.CurrentLevel = 1;
  other.a.W.Monsters = {};
  other.scenario = Scenario{};
  for (int l = 1; l <= LevelCount; ++l) other.scenario.Level(l).Width = other.scenario.Level(l).Height = 8;
  const uint32_t later = 0xFFFFFF00u;
  std::array<uint8_t, MapCells> chips{};
  ASSERT_TRUE(RestoreSavedGame(read, other.a.W, other.scenario, chips, later, error)) << error;

  const World& w = other.a.W;
  EXPECT_EQ(w.CurrentLevel, 3);
  EXPECT_EQ(w.Monsters[0].X, 10);
  EXPECT_EQ(w.Monsters[0].PixelX, 70.25);
  EXPECT_EQ(later - w.Monsters[0].AnimTime, 500u);
  EXPECT_EQ(later - w.Monsters[0].HatchTime, 2000u);
  EXPECT_EQ(later - w.Player.IdleRef, 100u);
  EXPECT_EQ(double(later) - w.Player.LastWalkFrame, 50.0);
  EXPECT_EQ(later - w.Cells[100].AnimTime, 10u);
  EXPECT_EQ(later - w.DiamondTimer, 5000u);
  EXPECT_EQ(w.Levels[6].Monsters[1].AnimTime, 50u) << "a saved level's monsters already hold ages";
  EXPECT_EQ(later - uint32_t(w.Levels[6].Spirits[0].AnimTime), 1000u);
  EXPECT_EQ(w.Rng.A, 17);
  EXPECT_EQ(w.PuzzleCollected[5], 1);
  EXPECT_EQ(w.Store, &other.a.Store) << "the world's connections stay";
  EXPECT_EQ(other.scenario.Level(7).Cell(2, 2), 7);
  EXPECT_EQ(other.scenario.Level(7).Param(4, 1), -7);
  EXPECT_EQ(other.scenario.Level(7).Width, 8) << "level sizes are the scenario's own";
  EXPECT_EQ(chips, s.chips);

  // Every saved field came back: saving the restored game at its own clock
  // gives the same file.
  EXPECT_EQ(WriteSavedGame(s.summary, s.play, w, other.scenario, chips, later), file);
}

TEST(SaveGame, DamagedForeignAndOutOfRangeFilesAreRefusedAndChangeNothing) {
  SavedWorld s;
  const std::vector<uint8_t> file = s.Write(100000);
  SavedGame read;
  read.Summary.ScenarioName = "untouched";
  std::string error;

  for (size_t n : {size_t(0), size_t(3), size_t(15), size_t(16), file.size() / 2, file.size() - 1}) {
    EXPECT_FALSE(ReadSavedGame(std::span(file.data(), n), read, error)) << n;
  }
  std::vector<uint8_t> longer = file;
  longer.push_back(0);
  EXPECT_FALSE(ReadSavedGame(longer, read, error));
  for (size_t at : {size_t(0), size_t(5), size_t(9), size_t(13), size_t(20), file.size() - 1}) {
    std::vector<uint8_t> flipped = file;
    flipped[at] ^= 0x10;
    EXPECT_FALSE(ReadSavedGame(flipped, read, error)) << at;
  }
  std::vector<uint8_t> foreign(2000, 'x');
  EXPECT_FALSE(ReadSavedGame(foreign, read, error));
  EXPECT_EQ(error, "Not a saved game.");
  std::vector<uint8_t> newer = file;
  newer[4] = 9;
  EXPECT_FALSE(ReadSavedGame(newer, read, error));
  EXPECT_EQ(error, "Saved game of another version.");
  EXPECT_EQ(read.Summary.ScenarioName, "untouched");

  // Well-formed files whose values would send the rules outside their arrays.
  auto refused = [&](auto change) {
    SavedWorld bad;
    change(bad.a.W);
    return !ReadSavedGame(bad.Write(1000), read, error);
  };
  EXPECT_TRUE(refused([](World& w) { w.Player.X = 0; }));
  EXPECT_TRUE(refused([](World& w) { w.Player.Y = MapHeight + 1; }));
  EXPECT_TRUE(refused([](World& w) { w.CurrentLevel = 21; }));
  EXPECT_TRUE(refused([](World& w) { w.MeteorCount = MeteorSlots + 1; }));
  EXPECT_TRUE(refused([](World& w) { w.PuzzleWidth = PuzzleColumnsMax + 1; }));
  EXPECT_TRUE(refused([](World& w) { w.Monsters[2] = TMonster{.State = 2, .X = 43, .Y = 3}; }));
  EXPECT_TRUE(refused([](World& w) { w.Spirits[2] = TSpirit{.Active = 1, .X = -4, .Y = 3}; }));
  EXPECT_FALSE(refused([](World& w) { w.Monsters[2] = TMonster{.State = 0, .X = 43, .Y = 3}; }))
      << "a free monster slot may hold anything";
  EXPECT_EQ(read.Summary.ScenarioName, "Mine");

  // A level the game visited but the scenario does not have: nothing restored.
  ASSERT_TRUE(ReadSavedGame(file, read, error));
  SavedWorld target;
  target.scenario.Level(7).Width = 0;
  const World before = target.a.W;
  std::array<uint8_t, MapCells> chips{};
  EXPECT_FALSE(RestoreSavedGame(read, target.a.W, target.scenario, chips, 5, error));
  EXPECT_EQ(target.a.W.CurrentLevel, before.CurrentLevel);
  EXPECT_EQ(target.a.W.Map, before.Map);
  EXPECT_EQ(chips[1], 0);
}

// A save cut short by a full disk (the file size limit, at every part of the
// write) leaves the previous saved game whole and loadable.
TEST(SaveGame, ASaveCutShortLeavesThePreviousOneLoadable) {
  SavedWorld s;
  const std::string dir = std::filesystem::temp_directory_path() / ("gravik-save-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string path = dir + "/Player.g2s";
  const std::vector<uint8_t> first = s.Write(1000);
  ASSERT_TRUE(WriteWholeFileAtomic(path, first.data(), first.size()));
  s.a.W.Count.Score = 99999;
  const std::vector<uint8_t> second = s.Write(2000);
  for (rlim_t limit : {rlim_t(0), rlim_t(1), rlim_t(16), rlim_t(second.size() / 2), rlim_t(second.size() - 1)}) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      signal(SIGXFSZ, SIG_IGN);
      const struct rlimit lim = {limit, limit};
      setrlimit(RLIMIT_FSIZE, &lim);
      _exit(WriteWholeFileAtomic(path, second.data(), second.size()) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a save passed under a limit of " << limit;
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> now((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(now, first) << limit;
    SavedGame read;
    std::string error;
    EXPECT_TRUE(ReadSavedGame(now, read, error)) << error;
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace gravik

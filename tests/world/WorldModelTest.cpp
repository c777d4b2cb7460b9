#include <gtest/gtest.h>

#include <vector>

#include "base/Errors.h"
#include "support/AsciiWorld.h"
#include "world/World.h"

using namespace gravik;
using namespace gravik::testing;

TEST(BlockCatalogue, FindBlockTakesLastExactMatchAmongFirst120) {
  BlockCatalogue c = TestCatalogue();
  EXPECT_EQ(FindBlock(c, "ROCK"), 5);
  EXPECT_EQ(FindBlock(c, "NOSUCH"), 1);
  EXPECT_EQ(FindBlock(c, "rock"), 1);  // exact, case matters
  c[90].Name = "ROCK";
  EXPECT_EQ(FindBlock(c, "ROCK"), 90);
  c[121].Name = "ROCK";  // codes above 120 are never found by name
  c[200].Name = "ONLYHIGH";
  EXPECT_EQ(FindBlock(c, "ROCK"), 90);
  EXPECT_EQ(FindBlock(c, "ONLYHIGH"), 1);
}

TEST(BlockCatalogue, BlockDefRoundTripsThrough19Bytes) {
  TBlockDef d;
  d.Name = "TRANSPORT1";  // the longest name that fits
  d.RollsLeft = 1;
  d.RollsRight = 2;
  d.PlayerCanEnter = 3;
  d.MonsterCanEnter = 4;
  d.SpiritCanEnter = 5;
  d.KillsPlayer = 6;
  d.Spare = {7, 8};
  uint8_t bytes[19];
  d.Write(bytes);
  EXPECT_EQ(bytes[0], 10);
  EXPECT_EQ(bytes[11], 1);
  EXPECT_EQ(bytes[16], 6);
  EXPECT_EQ(bytes[18], 8);
  EXPECT_EQ(TBlockDef::Parse(bytes), d);

  // Stored bytes survive a parse and write unchanged.
  const uint8_t stored[19] = {4, 'R', 'O', 'C', 'K', 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 9, 9};
  uint8_t again[19];
  TBlockDef::Parse(stored).Write(again);
  EXPECT_EQ(std::vector<uint8_t>(stored, stored + 19), std::vector<uint8_t>(again, again + 19));
}

TEST(BlockCatalogue, DamagedNamesAndShortBlocksAreHeldSafe) {
  uint8_t bytes[19] = {200, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 1};
  EXPECT_EQ(TBlockDef::Parse(bytes).Name, "ABCDEFGHIJ");

  BlockCatalogue c = TestCatalogue();
  std::vector<uint8_t> shortBlock(BlockCatalogue::StoredSize - 1, 0);
  EXPECT_FALSE(c.Load(shortBlock.data(), shortBlock.size()));
  EXPECT_EQ(c[5].Name, "ROCK");  // unchanged

  std::vector<uint8_t> all(BlockCatalogue::StoredSize);
  c.Write(all.data());
  BlockCatalogue back;
  ASSERT_TRUE(back.Load(all.data(), all.size()));
  for (int code = 1; code <= 255; ++code) EXPECT_EQ(back[uint8_t(code)], c[uint8_t(code)]) << code;
}

TEST(BlockCatalogue, GameFlagOverrides) {
  BlockCatalogue c = TestCatalogue();
  c[125].KillsPlayer = 1;
  c[125].RollsLeft = 1;
  ApplyLevelFlagOverrides(c);
  EXPECT_TRUE(c[125].PlayerCanEnter && c[125].SpiritCanEnter);
  EXPECT_FALSE(c[125].KillsPlayer || c[125].RollsLeft || c[125].MonsterCanEnter);
  EXPECT_TRUE(c[131].PlayerCanEnter);
  EXPECT_TRUE(c[252].PlayerCanEnter && c[252].KillsPlayer);
  EXPECT_TRUE(c[254].RollsLeft && c[254].RollsRight && c[254].KillsPlayer);
  EXPECT_TRUE(c[253].PlayerCanEnter && c[255].PlayerCanEnter);

  NamedBlocks n;
  n.Resolve(c);
  EXPECT_FALSE(c[n.EggHatch].PlayerCanEnter);
  MakeHatchEnterable(c, n);
  EXPECT_TRUE(c[n.EggHatch].PlayerCanEnter);
}

TEST(BlockCatalogue, NamedBlocksFallBackToEmpty) {
  BlockCatalogue c = TestCatalogue();
  c[22].Name = "";  // no "SAFE"
  NamedBlocks n;
  n.Resolve(c);
  EXPECT_EQ(n.Safe, 1);
  EXPECT_EQ(n.Earth1, 6);
  EXPECT_EQ(n.Brick, 7);
  EXPECT_EQ(n.Plant[3], 36);
}

TEST(LevelRandom, ZeroSeedActsAsTwoAndThree) {
  LevelRandom r;
  r.Seed(0, 0);
  std::vector<int> draws;
  for (int i = 0; i < 9; ++i) draws.push_back(r.Draw());
  EXPECT_EQ(draws, (std::vector<int>{5, 8, 13, 21, 34, 55, 89, 44, 33}));
  EXPECT_EQ(r.B, 233);  // the stored term keeps the full sum

  LevelRandom s;
  s.Seed(2, 3);
  EXPECT_EQ(s.Draw(), 5);
}

TEST(LevelRandom, WrapsAndReturnsLastTwoDigits) {
  LevelRandom r;
  r.Seed(2147483647, 1);  // the sum wraps to the most negative value
  EXPECT_EQ(r.Draw(), int32_t(0x80000000u));
  r.Seed(1, 1000);
  EXPECT_EQ(r.Draw(), 1);  // 1001 -> "01"
  r.Seed(19, 71);
  std::vector<int> frames;
  for (int i = 0; i < 6; ++i) frames.push_back(r.Draw() / 25 + 1);
  EXPECT_EQ(frames, (std::vector<int>{4, 3, 3, 1, 3, 4}));
}

TEST(WorldMap, ColumnMajorAndChipsMirrorTheMap) {
  AsciiWorld a({"."});
  World& w = a.W;
  w.SetCell(1, 1, 5);
  w.SetCell(42, 74, 7);
  EXPECT_EQ(w.Map[0], 5);
  EXPECT_EQ(w.Map[MapCells - 1], 7);
  w.SetCell(2, 1, 9);
  EXPECT_EQ(w.Map[74], 9);  // next column starts 74 bytes on
  EXPECT_EQ(a.Chips.At(2, 1), 8);
  w.SetMapByte(3, 3, 37);
  EXPECT_EQ(w.At(3, 3), 37);
  EXPECT_EQ(a.Chips.At(3, 3), 6);  // chip untouched (still the brick border)
}

TEST(WorldMap, OutsideTheMapIsSolidForEveryone) {
  AsciiWorld a({"."});
  World& w = a.W;
  for (auto [x, y] : std::vector<std::pair<int, int>>{{0, 1}, {1, 0}, {43, 5}, {5, 75}, {-7, -7}}) {
    EXPECT_FALSE(w.IsEmpty(x, y));
    const TBlockDef& d = w.DefAt(x, y);
    EXPECT_FALSE(d.PlayerCanEnter || d.MonsterCanEnter || d.SpiritCanEnter);
    EXPECT_FALSE(d.RollsLeft || d.RollsRight);
    w.SetCell(x, y, 1);  // ignored, no write outside the map
  }
  w.SetCell(1, 1, 1);
  EXPECT_TRUE(w.IsEmpty(1, 1));
}

TEST(WorldMap, MarkSeenClipsToTheMap) {
  TLevelState s;
  MarkSeen(s, 1, 1);
  int seen = 0;
  for (uint8_t b : s.Seen) seen += b;
  EXPECT_EQ(seen, 25);
  EXPECT_EQ(s.Seen[size_t(MapIndex(5, 5))], 1);
  EXPECT_EQ(s.Seen[size_t(MapIndex(6, 1))], 0);
  TLevelState t;
  MarkSeen(t, 42, 74);
  seen = 0;
  for (uint8_t b : t.Seen) seen += b;
  EXPECT_EQ(seen, 25);
}

TEST(Monsters, SlotsAreClaimedFromTheTopAndASeventhIsFatal) {
  AsciiWorld a({"."});
  World& w = a.W;
  for (int expected = 5; expected >= 0; --expected) {
    const int slot = w.ClaimMonsterSlot();
    EXPECT_EQ(slot, expected);
    w.Monsters[size_t(slot)].State = 1;
  }
  EXPECT_EQ(w.FreeMonsterSlot(), -1);
  try {
    w.ClaimMonsterSlot();
    FAIL() << "no error";
  } catch (const FatalMessage& e) {
    EXPECT_STREQ(e.what(), "Unable to find monster slot.");
  }
  w.Monsters[2].State = 0;
  EXPECT_EQ(w.ClaimMonsterSlot(), 2);
}

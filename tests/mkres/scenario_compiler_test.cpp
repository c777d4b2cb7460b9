// The scenario compiler: the built-in scenario compiles clean, repeatably and
// loads as the game loads it; every fault a player can make in a source is
// reported at its line and column; damaged sources never crash it.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "ScenarioCompiler.h"
#include "data/Scenario.h"
#include "data/ScenarioLevelStore.h"
#include "support/AsciiWorld.h"
#include "world/Flow.h"
#include "world/World.h"

namespace gravik::mkres {
namespace {

const Catalogue& Cat() {
  static const Catalogue cat = LoadCatalogue(std::string(GRAVIK_SOURCE_DIR) + "/assets/blocks.txt");
  return cat;
}

std::string BuiltInSource() {
  std::string text;
  EXPECT_TRUE(ReadTextFile(std::string(GRAVIK_SOURCE_DIR) + "/assets/scenario/gravik2.txt", text));
  return text;
}

CompileResult Compile(const std::string& text) { return CompileScenario(text, Cat()); }

std::string AllFaults(const CompileResult& r) {
  std::string s;
  for (const auto& d : r.Diagnostics) s += FormatDiagnostic("test.txt", d) + "\n";
  return s;
}

TEST(BuiltInScenario, CompilesCleanWithItsTotals) {
  const CompileResult r = Compile(BuiltInSource());
  ASSERT_TRUE(r.Ok()) << AllFaults(r);
  const Scenario& s = *r.Output;
  EXPECT_GE(r.LevelsUsed, 8);
  EXPECT_EQ(s.Header.Totals[TotalPuzzlePieces], 40);
  EXPECT_GE(s.Header.Totals[TotalTransporters], r.LevelsUsed - 1);  // every level linked
  EXPECT_GT(s.Header.Totals[TotalMonsters], 0);
  EXPECT_GT(s.Header.Totals[TotalDiamonds], 0);
  EXPECT_GT(s.Header.Totals[TotalEarth], 0);
  EXPECT_EQ(s.Info.CheckWord, s.Header.CheckWord);
  EXPECT_EQ(s.Extras.DefaultPuzzle, 1);
  // At least one space level wide enough for meteors.
  bool wideSpace = false;
  for (int n = 1; n <= r.LevelsUsed; ++n) wideSpace |= s.Level(n).Space == 1 && s.Level(n).Width >= 24;
  EXPECT_TRUE(wideSpace);
  EXPECT_FALSE(r.Walkthrough.empty());
}

TEST(BuiltInScenario, WritesTheSameBytesEveryTimeAndLoadsAsTheGameLoadsIt) {
  const std::string src = BuiltInSource();
  const std::vector<uint8_t> a = WriteScenario(*Compile(src).Output);
  const std::vector<uint8_t> b = WriteScenario(*Compile(src).Output);
  EXPECT_EQ(a, b);

  std::string error;
  const std::vector<uint8_t> built = BuildBuiltInScenario(std::string(GRAVIK_SOURCE_DIR) + "/assets", &error);
  ASSERT_FALSE(built.empty()) << error;
  EXPECT_EQ(built, a);

  auto s = std::make_unique<Scenario>();
  std::vector<uint8_t> stream = a;
  ASSERT_EQ(LoadScenario(*s, stream), ScenarioLoaded);
  EXPECT_TRUE(s->CrcCorrect);
  EXPECT_EQ(s->Header.Name.Str(), "Gravik's First Journey");
  TScenarioInfo info;
  ASSERT_TRUE(ReadScenarioInfo(a.data(), a.size(), info));
  EXPECT_EQ(info.Name.Str(), "Gravik's First Journey");
  EXPECT_EQ(info.CheckWord, s->Header.CheckWord);
  // The 40 pieces of the default puzzle, each once, each in the 10 x 4 grid.
  std::set<std::pair<int, int>> pieces;
  for (int n = 1; n <= LevelCount; ++n)
    for (int x = 1; x <= 32; ++x)
      for (int y = 1; y <= 32; ++y)
        if (s->Level(n).Cell(x, y) == BlockPuzzlePieceCode) {
          const int c = PuzzlePieceColumn(s->Level(n).Param(x, y)), r = PuzzlePieceRow(s->Level(n).Param(x, y));
          EXPECT_TRUE(c >= 1 && c <= 10 && r >= 1 && r <= 4);
          EXPECT_TRUE(pieces.insert({c, r}).second);
        }
  EXPECT_EQ(pieces.size(), 40u);
  BuildTransporterTable(*s);
  EXPECT_EQ(int(s->Transporters.size()), s->Header.Totals[TotalTransporters]);
  // Every link lands on an empty cell of a level in use.
  for (const TTransporterLink& t : s->Transporters) {
    ASSERT_GE(t.DestLevel, 1);
    ASSERT_LE(t.DestLevel, LevelCount);
    const TLevelRecord& d = s->Level(t.DestLevel);
    EXPECT_EQ(d.InUse, 1);
    ASSERT_LE(t.DestColumn, d.Width);
    ASSERT_LE(t.DestRow, d.Height);
    EXPECT_EQ(d.Cell(t.DestColumn, t.DestRow), 1) << "level " << int(t.DestLevel);
  }

  // The game starts on level 1, at the player block.
  testing::TestPorts ports;
  const auto world = testing::MakeWorld(ports);
  World& w = *world;
  ScenarioLevelStore store(*s);
  w.Store = &store;
  std::vector<uint8_t> cat = CatalogueBytes(Cat());
  w.Catalogue.Load(cat.data(), cat.size());
  w.Named.Resolve(w.Catalogue);
  const int player = Cat().Find("PLAYER1");
  int px = 0, py = 0;
  for (int x = 1; x <= 32; ++x)
    for (int y = 1; y <= 32; ++y)
      if (s->Level(1).Cell(x, y) == player) px = x, py = y;
  ASSERT_NE(px, 0);
  const StartCell start = FindStartCell(w);
  EXPECT_EQ(start.Level, 1);
  EXPECT_EQ(start.X, px + LevelOriginX);
  EXPECT_EQ(start.Y, py + LevelOriginY);
}

TEST(ScenarioSource, CellsParamsAndSettingsReachTheLevelRecord) {
  const CompileResult r = Compile(
      "scenario Small\n"
      "author Me\n"
      "puzzle none\n"
      "note first line\n"
      "level 1\n"
      "space yes\n"
      "map no\n"
      "blockset 3\n"
      "border STEEL\n"
      "legend Q GLASS\n"
      "transporter t 2 2 1\n"
      "gate G diamonds monsters\n"
      "landing B\n"
      "grid\n"
      "P*Qt\n"
      "G:BE\n"
      "end\n"
      "level 2\n"
      "transporter u 1 B\n"
      "grid\n"
      "u.e\n"
      "end\n");
  ASSERT_TRUE(r.Ok()) << AllFaults(r);
  const Scenario& s = *r.Output;
  const TLevelRecord& l1 = s.Level(1);
  EXPECT_EQ(l1.Width, 4);
  EXPECT_EQ(l1.Height, 2);
  EXPECT_EQ(l1.Space, 1);
  EXPECT_EQ(l1.NoMap, 1);
  EXPECT_EQ(l1.BlockSet, 3);
  EXPECT_EQ(l1.BorderName.Str(), "STEEL");
  EXPECT_EQ(l1.Cell(1, 1), Cat().Find("PLAYER1"));
  EXPECT_EQ(l1.Cell(2, 1), Cat().Find("DIAMOND"));
  EXPECT_EQ(l1.Cell(3, 1), Cat().Find("GLASS"));
  EXPECT_EQ(l1.Cell(4, 1), BlockTransporterCode);
  const TransporterDestination d = DecodeTransporterParam(l1.Param(4, 1));
  EXPECT_EQ(d.Level, 2);
  EXPECT_EQ(d.Column, 2);
  EXPECT_EQ(d.Row, 1);
  EXPECT_EQ(l1.Cell(1, 2), 254);
  EXPECT_EQ(l1.Param(1, 2), 1 | 4);
  // The landing is an empty cell the transporter back points at.
  EXPECT_EQ(l1.Cell(3, 2), 1);
  const TLevelRecord& l2 = s.Level(2);
  const TransporterDestination back = DecodeTransporterParam(l2.Param(1, 1));
  EXPECT_EQ(back.Level, 1);
  EXPECT_EQ(back.Column, 3);
  EXPECT_EQ(back.Row, 2);
  // Levels without a grid are 1 x 1 and not in use.
  EXPECT_EQ(s.Level(3).Width, 1);
  EXPECT_EQ(s.Level(3).Cell(1, 1), 0);
  EXPECT_EQ(s.Notes, std::vector<std::string>{"first line"});
  EXPECT_EQ(s.Header.Totals[TotalDiamonds], 1);
  EXPECT_EQ(s.Header.Totals[TotalEarth], 1);
  EXPECT_EQ(s.Header.Totals[TotalMonsters], 1);
  EXPECT_EQ(s.Header.Totals[TotalTransporters], 2);
  EXPECT_EQ(s.Header.Totals[TotalPuzzlePieces], 0);
}

// A source with one fault, where it must be reported and what it must say.
struct Broken {
  const char* What;
  std::string Source;
  int Line, Column;
  const char* Says;
};

const std::string kHead = "scenario Broken\npuzzle none\n";  // lines 1-2

std::vector<Broken> BrokenSources() {
  return {
      {"unknown grid character", kHead + "level 1\ngrid\nP.\n.Q\nend\n", 6, 2, "unknown character 'Q'"},
      {"row over 32 cells", kHead + "level 1\ngrid\nP" + std::string(32, '.') + "\nend\n", 5, 33, "at most 32"},
      {"more than 32 rows",
       [] {
         std::string s = kHead + "level 1\ngrid\nP\n";
         for (int i = 0; i < 32; ++i) s += ".\n";
         return s + "end\n";
       }(),
       37, 1, "at most 32"},
      {"rows of unequal width", kHead + "level 1\ngrid\nP..\n.\nend\n", 6, 2, "the first row is 3"},
      {"size against the grid", kHead + "level 1\nsize 3 3\ngrid\nP.\nend\n", 4, 1, "the grid is 2 x 1"},
      {"destination outside the level",
       kHead + "level 1\ntransporter t 2 5 1\ngrid\nPt\nend\nlevel 2\ngrid\n..\nend\n", 4, 13,
       "outside level 2 (2 x 1)"},
      {"destination occupied", kHead + "level 1\ntransporter t 2 1 1\ngrid\nPt\nend\nlevel 2\ngrid\no.\nend\n", 4, 13,
       "is occupied"},
      {"destination under a rock",
       kHead + "level 1\ntransporter t 2 1 2\ngrid\nPt\nend\nlevel 2\ngrid\no.\n..\nend\n", 4, 13,
       "under a rock"},
      {"destination level without a grid", kHead + "level 1\ntransporter t 3 1 1\ngrid\nPt\nend\n", 4, 13,
       "level 3, which has no grid"},
      {"landing that is not there",
       kHead + "level 1\ntransporter t 2 Z\ngrid\nPt\nend\nlevel 2\ngrid\n..\nend\n", 4, 13, "no landing"},
      {"transporter never placed", kHead + "level 1\ntransporter t 1 1 1\ngrid\nP.\nend\n", 4, 13,
       "declared but not placed"},
      {"transporter placed twice", kHead + "level 1\ntransporter t 1 1 1\ngrid\nPtt\nend\n", 6, 3,
       "stands for one cell"},
      {"level with no way back",
       kHead + "level 1\ntransporter t 2 1 1\ngrid\nPtE\nend\nlevel 2\ngrid\n.*\nend\n", 8, 1, "no way back"},
      {"two dead ends without an end character",
       kHead + "level 1\ntransporter t 2 1 1\ntransporter u 3 1 1\ngrid\nPtu\nend\n"
               "level 2\ngrid\n.*\nend\nlevel 3\ngrid\n.*\nend\n",
       3, 1, "can never be used"},
      {"level nobody reaches", kHead + "level 1\ngrid\nPE\nend\nlevel 2\ngrid\n.*\nend\n", 7, 1, "cannot be reached"},
      {"no player start", kHead + "level 1\ngrid\n..\nend\n", 0, 0, "no level holds the player start"},
      {"second player start", kHead + "level 1\ngrid\nP.\n.P\nend\n", 6, 2, "a second player start"},
      {"puzzle piece twice",
       "scenario B\npuzzle default\nlevel 1\npiece a 1 1\npiece b 1 1\ngrid\nPab\nend\n", 5, 7, "already placed"},
      {"puzzle piece outside the grid", "scenario B\npuzzle default\nlevel 1\npiece a 11 1\ngrid\nPa\nend\n", 4, 7,
       "10 columns and 4 rows"},
      {"puzzle pieces missing", "scenario B\npuzzle default\nlevel 1\npiece a 1 1\ngrid\nPa\nend\n", 2, 1,
       "39 puzzle pieces lie in no level"},
      {"piece without a puzzle", kHead + "level 1\npiece a 1 1\ngrid\nPa\nend\n", 4, 7, "without a puzzle"},
      {"block that does not exist", kHead + "legend Q MARBLE\nlevel 1\ngrid\nP\nend\n", 3, 10, "no block is named"},
      {"character declared twice", kHead + "level 1\nlegend Q GLASS\nlanding Q\ngrid\nPQ\nend\n", 5, 9,
       "already declared on line 4"},
      {"block set out of range", kHead + "level 1\nblockset 7\ngrid\nP\nend\n", 4, 10, "from 1 to 6"},
      {"level number out of range", kHead + "level 21\n", 3, 7, "from 1 to 20"},
      {"level described twice", kHead + "level 1\ngrid\nP\nend\nlevel 1\n", 7, 7, "already described on line 3"},
      {"grid without end", kHead + "level 1\ngrid\nP\n", 4, 1, "no 'end' line"},
      {"level setting before a level", kHead + "space yes\n", 3, 1, "belongs to a level"},
      {"unknown word", kHead + "level 1\nsparkle 3\ngrid\nP\nend\n", 4, 1, "unknown word 'sparkle'"},
      {"unknown gate condition", kHead + "level 1\ngate G rubies\ngrid\nPG\nend\n", 4, 8, "unknown condition"},
      {"bad walk step", kHead + "walk R2 Q1\nlevel 1\ngrid\nP\nend\n", 3, 9, "a walk step is"},
      {"name too long", "scenario " + std::string(31, 'n') + "\nlevel 1\ngrid\nP\nend\n", 1, 10, "longer than 30"},
      {"missing scenario line", "level 1\ngrid\nP\nend\n", 1, 1, "'scenario <name>' is missing"},
  };
}

TEST(ScenarioSource, EachFaultIsReportedAtItsLineAndColumn) {
  for (const Broken& b : BrokenSources()) {
    SCOPED_TRACE(b.What);
    const CompileResult r = Compile(b.Source);
    ASSERT_FALSE(r.Ok());
    bool found = false;
    for (const Diagnostic& d : r.Diagnostics)
      found |= d.Line == b.Line && d.Column == b.Column && d.Message.find(b.Says) != std::string::npos;
    EXPECT_TRUE(found) << "expected " << b.Line << ":" << b.Column << " \"" << b.Says << "\", got:\n" << AllFaults(r);
  }
}

TEST(ScenarioSource, MoreTransportersThanTheGameHoldsAreRefused) {
  // 20 levels of 210 transporters, each its own character, all leading to the
  // start cell of level 1.
  std::string src = "scenario Many\npuzzle none\n";
  for (int level = 1; level <= 20; ++level) {
    src += "level " + std::to_string(level) + "\n";
    const char pad = char(250);  // beyond the transporter characters
    src += "legend " + std::string(1, pad) + " EMPTY\n";
    std::string cells = level == 1 ? "P" : std::string(1, pad);
    for (int b = 33, n = 0; b < 256 && n < 210; ++b) {
      if (b == 'P' || b == 127) continue;
      src += "transporter " + std::string(1, char(b)) + " 1 1 1\n";
      cells += char(b);
      ++n;
    }
    src += "grid\n";
    for (size_t i = 0; i < 7 * 32; i += 32) src += (cells + std::string(224, pad)).substr(i, 32) + "\n";
    src += "end\n";
  }
  const CompileResult r = Compile(src);
  EXPECT_EQ(r.Output->Header.Totals[TotalTransporters], 4200);
  bool found = false;
  for (const Diagnostic& d : r.Diagnostics) found |= d.Message.find("at most 4096") != std::string::npos;
  EXPECT_TRUE(found) << AllFaults(r).substr(0, 2000);
}

TEST(ScenarioSource, DamagedSourcesNeverCrashAndPointInsideTheText) {
  const std::string src = BuiltInSource();
  std::mt19937 rng(7);
  int faulty = 0;
  for (int i = 0; i < 300; ++i) {
    std::string s = src;
    const int edits = 1 + int(rng() % 8);
    for (int e = 0; e < edits; ++e) {
      const size_t at = rng() % s.size();
      switch (rng() % 4) {
        case 0: s[at] = char(rng() % 256); break;
        case 1: s.erase(at, rng() % 40); break;
        case 2: s.insert(at, std::string(1 + rng() % 40, char(32 + rng() % 95))); break;
        default: s.insert(at, "\n"); break;
      }
    }
    if (i % 50 == 0) s.resize(rng() % s.size());
    const CompileResult r = Compile(s);
    faulty += !r.Ok();
    size_t lines = 1 + size_t(std::count(s.begin(), s.end(), '\n'));
    for (const Diagnostic& d : r.Diagnostics) {
      ASSERT_LE(size_t(d.Line), lines) << d.Message;
      ASSERT_GE(d.Column, 0);
      ASSERT_FALSE(d.Message.empty());
    }
    if (r.Ok()) {  // what compiles clean also loads
      std::vector<uint8_t> bytes = WriteScenario(*r.Output);
      auto loaded = std::make_unique<Scenario>();
      ASSERT_EQ(LoadScenario(*loaded, bytes), ScenarioLoaded);
      ASSERT_TRUE(loaded->CrcCorrect);
    }
  }
  EXPECT_GT(faulty, 200);
}

}  // namespace
}  // namespace gravik::mkres

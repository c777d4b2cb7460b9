// The checks the compiler and the editor share, run on scenario records: what
// they find, where, and what they leave alone.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "data/Scenario.h"
#include "data/ScenarioRules.h"
#include "support/TestBlocks.h"

namespace gravik {
namespace {

using namespace testing;

ScenarioBlocks Blocks() { return TestBlocks(); }

// Level n as rows of codes: '.' empty, ':' earth, 'P' start, 'E' end, 'o' rock,
// 'e' egg, '*' diamond, 'T' a transporter (its destination set by the test).
void SetLevel(Scenario& s, int n, const std::vector<std::string>& rows) {
  TLevelRecord& lv = s.Level(n);
  lv.Width = uint8_t(rows[0].size());
  lv.Height = uint8_t(rows.size());
  static const std::map<char, uint8_t> code = {{'.', kEmpty}, {':', kEarth}, {'P', kPlayer}, {'E', kEnd},
                                               {'o', kRock},  {'e', kEgg},   {'*', kDiamond}, {'T', BlockTransporterCode}};
  for (size_t y = 0; y < rows.size(); ++y)
    for (size_t x = 0; x < rows[y].size(); ++x) lv.SetCell(int(x + 1), int(y + 1), code.at(rows[y][x]));
}

std::string All(const std::vector<ScenarioFault>& faults) {
  std::string s;
  for (const auto& f : faults) s += DescribeFault(f) + "\n";
  return s;
}

TEST(ScenarioRules, AJourneyThereAndBackIsCleanAndCounted) {
  auto s = std::make_unique<Scenario>();
  SetLevel(*s, 1, {"P:*T.E", "..o..."});
  SetLevel(*s, 2, {"T.e.", "...."});
  s->Level(1).SetParam(4, 1, EncodeTransporterParam(2, 2, 1));
  s->Level(2).SetParam(1, 1, EncodeTransporterParam(1, 5, 1));
  EXPECT_TRUE(CheckScenario(*s, Blocks()).empty()) << All(CheckScenario(*s, Blocks()));
  const auto t = CountScenarioTotals(*s, Blocks());
  EXPECT_EQ(t[TotalDiamonds], 1);
  EXPECT_EQ(t[TotalEarth], 1);
  EXPECT_EQ(t[TotalMonsters], 1);
  EXPECT_EQ(t[TotalTransporters], 2);

  // Arriving under a rock, into an unmade level, or a start level with
  // nothing to do: each reported where it lies.
  s->Level(1).SetParam(4, 1, EncodeTransporterParam(2, 3, 2));  // under the egg
  auto faults = CheckScenario(*s, Blocks());
  ASSERT_FALSE(faults.empty());
  EXPECT_EQ(faults[0].Place, FaultPlace::Cell);
  EXPECT_EQ(faults[0].Level, 1);
  EXPECT_EQ(faults[0].X, 4);
  EXPECT_NE(faults[0].Message.find("under an egg"), std::string::npos) << All(faults);
  s->Level(1).SetParam(4, 1, EncodeTransporterParam(7, 1, 1));
  faults = CheckScenario(*s, Blocks());
  EXPECT_NE(All(faults).find("level 1 (4, 1): the transporter leads to level 7, which is empty"), std::string::npos)
      << All(faults);

  auto lone = std::make_unique<Scenario>();
  SetLevel(*lone, 1, {"P..", "..."});
  faults = CheckScenario(*lone, Blocks());
  ASSERT_EQ(faults.size(), 1u) << All(faults);
  EXPECT_EQ(faults[0].Place, FaultPlace::Level);
  EXPECT_NE(faults[0].Message.find("nothing to do"), std::string::npos);
}

TEST(ScenarioRules, PiecesMustFitThePuzzleOnceEach) {
  auto s = std::make_unique<Scenario>();
  SetLevel(*s, 1, {"P...E", ".:..."});
  for (int x = 2; x <= 4; ++x) s->Level(1).SetCell(x, 1, BlockPuzzlePieceCode);
  s->Level(1).SetParam(2, 1, (1 << 5) | 1);
  s->Level(1).SetParam(3, 1, (1 << 5) | 1);  // the same piece again
  s->Level(1).SetParam(4, 1, (3 << 5) | 1);  // outside a 2 x 1 grid
  s->Extras.PuzzleColumns = 2;
  s->Extras.PuzzleRows = 1;
  const auto faults = CheckScenario(*s, Blocks());
  const std::string all = All(faults);
  EXPECT_NE(all.find("level 1 (3, 1): puzzle piece (1, 1) is already placed on level 1 at (2, 1)"), std::string::npos) << all;
  EXPECT_NE(all.find("level 1 (4, 1): the puzzle has 2 columns and 1 rows; there is no piece (3, 1)"), std::string::npos);
  EXPECT_NE(all.find("1 puzzle pieces lie in no level: (2, 1)"), std::string::npos) << all;
}

}  // namespace
}  // namespace gravik

#include <gtest/gtest.h>

#include "data/ScenarioLevelStore.h"
#include "support/AsciiWorld.h"
#include "world/LevelSetup.h"
#include "world/Targets.h"

using namespace gravik;
using namespace gravik::testing;

TEST(ScenarioLevelStore, BuildsTheWorldFromLoadedLevelRecords) {
  auto scenario = std::make_unique<Scenario>();
  TLevelRecord& level = scenario->Level(3);
  level.Width = 2;
  level.Height = 2;
  level.BorderName.Assign("STEEL");
  level.SetCell(1, 1, CodeOf('O'));
  level.SetCell(2, 2, CodeOf('D'));
  ScenarioLevelStore store(*scenario);
  AsciiWorld a({"."});
  a.W.Store = &store;
  a.W.CurrentLevel = 3;
  BuildWorld(a.W);
  EXPECT_EQ(a.W.At(6, 16), a.W.Named.Rock);
  EXPECT_EQ(a.W.At(7, 17), a.W.Named.Diamond);
  EXPECT_EQ(a.W.At(1, 1), CodeOf('S'));
  EXPECT_EQ(a.W.Count.DiamondsLeft, 1);
  a.W.SetCell(7, 17, BlockEmpty);
  StoreLevelMap(a.W);
  EXPECT_EQ(level.Cell(2, 2), BlockEmpty);
}

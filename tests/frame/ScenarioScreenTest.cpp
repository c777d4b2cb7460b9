// The scenarios screen and the scenario files of the Scenarios folder in the
// running game: damaged files at start-up, choosing and starting a scenario,
// the best results shown, a chosen file damaged after start-up.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "data/Archive.h"
#include "data/Profile.h"
#include "frame/PlayerData.h"
#include "platform/KeyState.h"
#include "screens/ScenarioScreen.h"
#include "support/GameHarness.h"

namespace gravik {
namespace {

using testing::GameHarness;
using testing::WriteBytes;

const ScenarioIdentity kOtherId{4711.0, 42.5};

// The built-in scenario as another file of the folder: its own name, identity,
// notes and a diamond total the built-in one does not have.
std::vector<uint8_t> OtherScenarioFile() {
  Archive a({std::string(GRAVIK_BINARY_DIR) + "/"});
  a.OpenArchive();
  std::vector<uint8_t> bytes = a.TakeItem(BuiltInScenarioName);
  a.ReleaseItem();
  Scenario s;
  EXPECT_TRUE(ReadScenarioInfo(s, bytes));
  EXPECT_EQ(LoadScenario(s, bytes), ScenarioLoaded);
  s.Info.Name.Assign("Other Caves");
  s.Info.Author.Assign("Someone Else");
  s.Info.Identity = kOtherId;
  s.Header.Name = s.Info.Name;
  s.Header.Totals[TotalDiamonds] = 777;
  s.Notes = {"The other notes."};
  return WriteScenario(s);
}

class ScenarioScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GRAVIK_REQUIRE_DATA_FILES();
    folder_ = DocumentsFolder(Folders()) + "Scenarios/";
  }
  // Start-up with a profile "Player", then the screen.
  void OpenScreen(GameHarness& run) {
    ASSERT_EQ(run.Start(), 0);
    EnsurePlayerProfile(run.game_);
    run.form_.SetGameState(gsScenarios);
    run.Frame();
    ASSERT_EQ(run.State(), gsScenarios);
  }
  int Row(const Game& g, const std::string& file) {
    for (size_t i = 0; i < g.scenarios.size(); ++i)
      if (g.scenarios[i].FileName == file) return int(i + 1);
    return 0;
  }
  testing::TempHome home_;
  std::string folder_;
};

TEST_F(ScenarioScreenTest, DamagedFilesNeitherStopStartUpNorCanBeChosen) {
  std::vector<uint8_t> badCrc = OtherScenarioFile();
  badCrc[badCrc.size() - 3] ^= 0x21;  // a notes byte: only the CRC notices
  WriteBytes(folder_ + "badcrc.zq", badCrc);
  WriteBytes(folder_ + "empty.zq", {});
  WriteBytes(folder_ + "picture.zq", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'});
  WriteBytes(folder_ + "other.zq", OtherScenarioFile());

  GameHarness run;
  OpenScreen(run);
  const Game& g = run.game_;
  ASSERT_EQ(g.scenarios.size(), 5u);
  const TListBox& list = g.widgets.List;
  ASSERT_EQ(list.Items.size(), 5u);
  EXPECT_EQ(list.Items[size_t(Row(g, "badcrc.zq") - 1)], "Other Caves (damaged)") << "named by its info block";
  EXPECT_EQ(list.Items[size_t(Row(g, "empty.zq") - 1)], "empty.zq (damaged)");
  EXPECT_EQ(list.Items[size_t(Row(g, "picture.zq") - 1)], "picture.zq (damaged)");
  EXPECT_EQ(list.Items[size_t(Row(g, "other.zq") - 1)], "Other Caves - Someone Else");
  EXPECT_EQ(list.Items[0], ScenarioRowText(g, 1));
  // The damaged copy shares the good file's identity and never stands in for it.
  EXPECT_EQ(FindScenarioEntryByIdentity(g.scenarios, kOtherId), Row(g, "other.zq"));

  for (const char* file : {"badcrc.zq", "empty.zq", "picture.zq"}) {
    SCOPED_TRACE(file);
    run.game_.widgets.List.Selected = Row(g, file);
    run.Frame();
    EXPECT_EQ(g.widgets.Buttons[kScenarioPlayButton].State, kWidgetDisabled);
    run.Tap(vk::Return);
    run.Frame();
    EXPECT_EQ(run.State(), gsScenarios);
    EXPECT_FALSE(ChooseScenario(run.game_, Row(g, file)));
  }
}

TEST_F(ScenarioScreenTest, PlayMakesTheChosenScenarioCurrentAndStartsIt) {
  WriteBytes(folder_ + "other.zq", OtherScenarioFile());
  GameHarness run;
  OpenScreen(run);
  Game& g = run.game_;
  EXPECT_EQ(g.widgets.List.Selected, 1) << "the profile's scenario is shown first";
  const int records = g.profile.Record->ScenarioCount;

  run.Tap(vk::Down);
  run.Frame();
  ASSERT_EQ(g.widgets.List.Selected, Row(g, "other.zq"));
  run.Tap(vk::Return);
  run.Frame();
  ASSERT_TRUE(run.RunUntilState(gsLevelIntro, 10));
  EXPECT_EQ(g.scenario.FileName, "other.zq");
  EXPECT_EQ(g.scenario.Info.Name.Str(), "Other Caves");
  EXPECT_EQ(g.world.InitialTotals[TotalDiamonds], 777) << "the chosen scenario's totals, not the built-in's";
  EXPECT_EQ(g.profile.Record->ScenarioCount, records + 1);

  // Saved: the profile file names the new scenario as current.
  ProfileState saved;
  saved.Folder = g.profile.Folder;
  saved.CurrentFile = g.profile.CurrentFile;
  ASSERT_TRUE(LoadProfile(saved));
  const auto id = CurrentScenarioIdentity(*saved.Record);
  ASSERT_TRUE(id.has_value());
  EXPECT_TRUE(SameIdentity(*id, kOtherId));
  EXPECT_EQ(saved.Record->ScenarioTotals[TotalDiamonds], 777);

  // The built-in one chosen again takes its old record, none is added.
  run.form_.SetGameState(gsScenarios);
  run.Frame();
  EXPECT_EQ(g.widgets.List.Selected, Row(g, "other.zq"));
  run.Tap(vk::Up);
  run.Tap('P');
  run.Frame();
  ASSERT_TRUE(run.RunUntilState(gsLevelIntro, 10));
  EXPECT_EQ(g.scenario.FileName, BuiltInScenarioName);
  EXPECT_EQ(g.profile.Record->ScenarioCount, records + 1);
}

TEST_F(ScenarioScreenTest, CancelReturnsToTheOptions) {
  GameHarness run;
  OpenScreen(run);
  run.Tap(vk::Escape);
  run.Frame();
  EXPECT_EQ(run.State(), gsOptions);
}

TEST_F(ScenarioScreenTest, ShowsTheProfilesBestResultsOfTheRowShown) {
  WriteBytes(folder_ + "other.zq", OtherScenarioFile());
  GameHarness run;
  OpenScreen(run);
  Game& g = run.game_;
  const int other = Row(g, "other.zq");
  EXPECT_EQ(ScenarioResultsOf(g, other).Score, "N/A") << "no record yet";
  EXPECT_EQ(ScenarioResultsOf(g, other).Time, "N/A");

  TProfileRecord& r = *g.profile.Record;
  TScenarioRecord& builtIn = *CurrentScenarioRecord(r);
  builtIn.HighScore = 1234;
  builtIn.BestTime = 3725;
  EXPECT_EQ(ScenarioResultsOf(g, 1).Score, "1234");
  EXPECT_EQ(ScenarioResultsOf(g, 1).Time, "01h 02m 05s");
  ASSERT_TRUE(ChooseScenario(g, other));
  CurrentScenarioRecord(r)->HighScore = 55;
  EXPECT_EQ(ScenarioResultsOf(g, other).Score, "55");
  EXPECT_EQ(ScenarioResultsOf(g, other).Time, "N/A") << "never completed";
  EXPECT_EQ(ScenarioResultsOf(g, 1).Score, "1234");
}

TEST_F(ScenarioScreenTest, AChosenFileDamagedSinceStartUpSendsThePlayerBackToTheBuiltIn) {
  WriteBytes(folder_ + "other.zq", OtherScenarioFile());
  GameHarness run;
  OpenScreen(run);
  Game& g = run.game_;
  g.widgets.List.Selected = Row(g, "other.zq");
  run.Tap(vk::Return);
  run.Frame();
  ASSERT_EQ(run.State(), gsPrepareScenario);
  WriteBytes(folder_ + "other.zq", {1, 2, 3});  // replaced while the game runs

  run.Frame();
  EXPECT_EQ(run.State(), gsMainMenu);
  EXPECT_EQ(run.LastMessage(), "other.zq CRC incorrect.");
  EXPECT_TRUE(g.scenarios[size_t(Row(g, "other.zq") - 1)].Damaged);
  const auto id = CurrentScenarioIdentity(*g.profile.Record);
  ASSERT_TRUE(id.has_value());
  EXPECT_TRUE(SameIdentity(*id, g.scenarios[0].Identity)) << "the profile is back on the built-in scenario";
  EXPECT_EQ(g.scenario.Info.Name.Str(), g.scenarios[0].Name.Str()) << "the built-in scenario is loaded again";
  // The next game is the built-in one.
  g.values.NewGameStarted = true;
  run.form_.SetGameState(gsPrepareScenario);
  ASSERT_TRUE(run.RunUntilState(gsLevelIntro, 10));
  EXPECT_EQ(g.scenario.FileName, BuiltInScenarioName);
}

}  // namespace
}  // namespace gravik

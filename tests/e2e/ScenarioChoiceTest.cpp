// A player's scenario from source to results: the example compiled by
// gravik-scenario into an empty home's Scenarios folder, the game started (the
// real start-up, in-process, driven by key and mouse events), the example
// chosen on the Scenarios screen and played until a diamond is taken, the
// game given up, the built-in scenario chosen and played; the saved profile
// then holds a record with a best score for each.
#include <gtest/gtest.h>

#include <cstdlib>

#include "Run.h"
#include "data/Archive.h"
#include "data/Profile.h"
#include "frame/PlayerData.h"
#include "platform/KeyState.h"
#include "screens/ScenarioScreen.h"
#include "support/GameHarness.h"

namespace gravik::e2e {
namespace {

using testing::GameHarness;

constexpr uint8_t kRightScan = 205, kEscapeScan = 1;

int RowOf(const Game& g, const std::string& text) {
  const auto& items = g.widgets.List.Items;
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i] == text) return int(i + 1);
  return 0;
}

// The Scenarios screen; the row `text` clicked, then "Play" clicked; play begins.
void ChooseAndPlay(GameHarness& run, const std::string& text) {
  Game& g = run.game_;
  run.form_.SetGameState(gsScenarios);
  run.Frame();
  ASSERT_EQ(run.State(), gsScenarios);
  const int row = RowOf(g, text);
  ASSERT_NE(row, 0) << text;
  const TListBox& list = g.widgets.List;
  run.Click(list.Left + 60, list.Top + 3 + (row - list.First) * 18 + 9);
  run.Frame();
  ASSERT_EQ(list.Selected, row);
  const TButton& play = g.widgets.Buttons[kScenarioPlayButton];
  ASSERT_EQ(play.Caption, "Play");
  run.Click(play.X + play.Width / 2, play.Y + play.Height / 2);
  run.Frame();
  ASSERT_TRUE(run.RunUntilState(gsPlaying, 400)) << GameStateName(run.State());
}

// Right held until `done` holds (at most 10 s of play).
template <typename Done>
bool WalkRightUntil(GameHarness& run, Done done) {
  run.Hold(vk::Right, kRightScan);
  bool reached = false;
  for (int i = 0; i < 600 && !reached; ++i) {
    run.Frame();
    reached = done();
  }
  run.Let(vk::Right, kRightScan);
  return reached;
}

// The lose-a-life key, after two seconds of play each time, until the game is
// over; `score` is the game's final score.
void GiveUp(GameHarness& run, int32_t& score) {
  for (int life = 0; life < 3 && run.State() != gsGameOver; ++life) {
    ASSERT_TRUE(run.RunUntilState(gsPlaying, 50)) << GameStateName(run.State());
    for (int i = 0; i < 130; ++i) run.Frame();
    run.Hold(vk::Escape, kEscapeScan);
    run.Frame();
    run.Let(vk::Escape, kEscapeScan);
    for (int i = 0; i < 200 && run.State() != gsLifeLost && run.State() != gsGameOver; ++i) run.Frame();
    if (run.State() == gsLifeLost) {
      run.Tap(vk::Return);
      run.Frame();
    }
  }
  ASSERT_EQ(run.State(), gsGameOver);
  score = run.game_.world.Count.Score;
  run.Frame();
}

TEST(ScenarioChoice, APlayersScenarioFromSourceToBestScore) {
  GRAVIK_REQUIRE_DATA_FILES();
  testing::TempHome home;
  const RunResult compiled =
      RunGame(std::string(GRAVIK_BINARY_DIR) + "/gravik-scenario",
              {"compile", std::string(GRAVIK_SOURCE_DIR) + "/assets/scenario/example.txt"}, home.Path());
  ASSERT_EQ(compiled.status, 0) << compiled.output;
  const std::string written = DocumentsFolder(Folders()) + "Scenarios/example.zq";
  EXPECT_NE(compiled.output.find("wrote " + written), std::string::npos) << compiled.output;

  GameHarness run;
  ASSERT_EQ(run.Start(), 0);
  while (run.State() == gsShowWindow || run.State() == gsEnterMenus) run.Frame();
  Game& g = run.game_;
  EnsurePlayerProfile(g);  // the profile the name entry would make
  ASSERT_TRUE(HasCurrentProfile(g));
  const ScenarioIdentity builtIn = g.scenarios[0].Identity;

  // The example: played until its diamond is taken, then given up.
  ChooseAndPlay(run, "Two Small Caves - A Gravik Player");
  EXPECT_EQ(g.scenario.FileName, "example.zq");
  const ScenarioIdentity example = *CurrentScenarioIdentity(*g.profile.Record);
  ASSERT_TRUE(WalkRightUntil(run, [&] { return g.world.Count.DiamondsCollected > 0; }));
  int32_t exampleScore = 0;
  GiveUp(run, exampleScore);
  EXPECT_GE(exampleScore, 5) << "a diamond is worth 5";

  // The built-in scenario again: some earth dug, then given up.
  ChooseAndPlay(run, ScenarioRowText(g, 1));
  EXPECT_EQ(g.scenario.FileName, BuiltInScenarioName);
  ASSERT_TRUE(WalkRightUntil(run, [&] { return g.world.Count.Score >= 3; }));
  int32_t builtInScore = 0;
  GiveUp(run, builtInScore);
  EXPECT_GE(builtInScore, 3);

  // The saved profile: one record per scenario, each with its best score.
  ProfileState saved;
  saved.Folder = g.profile.Folder;
  saved.CurrentFile = g.profile.CurrentFile;
  ASSERT_TRUE(LoadProfile(saved));
  const TProfileRecord& r = *saved.Record;
  const int exampleRecord = FindScenarioRecord(r, example);
  const int builtInRecord = FindScenarioRecord(r, builtIn);
  ASSERT_NE(exampleRecord, 0);
  ASSERT_NE(builtInRecord, 0);
  EXPECT_NE(exampleRecord, builtInRecord);
  EXPECT_EQ(r.Record(exampleRecord).HighScore, exampleScore);
  EXPECT_EQ(r.Record(builtInRecord).HighScore, builtInScore);
  EXPECT_EQ(r.CurrentScenario, builtInRecord);

  // And the screen shows them.
  run.form_.SetGameState(gsScenarios);
  run.Frame();
  EXPECT_EQ(ScenarioResultsOf(g, RowOf(g, "Two Small Caves - A Gravik Player")).Score, std::to_string(exampleScore));
  EXPECT_EQ(ScenarioResultsOf(g, 1).Score, std::to_string(builtInScore));
}

}  // namespace
}  // namespace gravik::e2e

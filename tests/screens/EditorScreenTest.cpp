// The editor screen in-process: reached from the main menu, a drag of the
// mouse paints and undoes as one step, Ctrl+S saves, Escape asks before
// unsaved work is left, and the scenario is still there on the next visit.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "data/Scenario.h"
#include "frame/PlayerData.h"
#include "platform/Folders.h"
#include "platform/KeyState.h"
#include "screens/Editor.h"
#include "support/GameHarness.h"

namespace gravik {
namespace {

using testing::GameHarness;

constexpr uint8_t kEarth1 = 6;

class EditorScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::DataFilesBuilt()) GTEST_SKIP() << "the data files are not built (target data_files)";
  }
  void Press(uint8_t vk, uint8_t shift = 0) {
    run_->Tap(vk, 0, shift);
    run_->Frame();
  }
  void Ctrl(uint8_t vk) { Press(vk, kCtrlBit); }
  // The cells of row 2, columns 1..5, of level 1 as saved.
  std::vector<int> SavedRow(const std::string& file = "new-scenario.zq") {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(DocumentsFolder(Folders()) + "Scenarios/" + file, bytes)) << file;
    auto s = std::make_unique<Scenario>();
    if (LoadScenario(*s, bytes) != ScenarioLoaded) return {};
    std::vector<int> row;
    for (int x = 1; x <= 5; ++x) row.push_back(s->Level(1).Cell(x, 2));
    return row;
  }
  testing::TempHome home_;
  std::unique_ptr<GameHarness> run_;
};

TEST_F(EditorScreenTest, ADragUndoesAsOneAndUnsavedWorkIsAskedAbout) {
  run_ = std::make_unique<GameHarness>();
  GameHarness& r = *run_;
  ASSERT_EQ(r.Start(), 0);
  while (r.State() == gsShowWindow || r.State() == gsEnterMenus) r.Frame();
  EnsurePlayerProfile(r.game_);
  r.form_.SetGameState(gsMainMenu);
  r.Frame();
  r.Click(320, 330 + 20);  // "Editor", above "Exit"
  r.Frame();
  ASSERT_EQ(r.State(), gsEditor);
  r.Frame();

  // Cells (2, 2) to (4, 2) at 32 pixels a cell, the border ring at column 0.
  auto cellX = [](int x) { return kEditorMapLeft + x * 32 + 16; };
  const int y = kEditorMapTop + 2 * 32 + 16;
  r.MouseMove(cellX(2), y);
  r.Frame();
  r.MouseDown(cellX(2), y);
  for (int x = 3; x <= 4; ++x) {
    r.MouseMove(cellX(x), y);
    r.Frame();
  }
  r.MouseUp(cellX(4), y);
  r.Frame();
  Ctrl('S');
  EXPECT_EQ(SavedRow(), (std::vector<int>{1, kEarth1, kEarth1, kEarth1, 1}));
  Ctrl('Z');
  Ctrl('S');
  EXPECT_EQ(SavedRow(), (std::vector<int>{1, 1, 1, 1, 1})) << "the drag is one step";
  Ctrl('Y');

  // Unsaved: Escape asks; "Leave" goes to the menu, and the editor keeps the
  // scenario for the next visit.
  Press(vk::Escape);
  ASSERT_EQ(r.State(), gsEditor);
  ASSERT_GE(r.game_.widgets.ButtonCount, 2);
  EXPECT_EQ(r.game_.widgets.Buttons[1].Caption, "Save and leave");
  const TButton& leave = r.game_.widgets.Buttons[2];
  r.Click(leave.X + leave.Width / 2, leave.Y + leave.Height / 2);
  r.Frame();
  EXPECT_EQ(r.State(), gsMainMenu);
  r.Frame();  // the menu's items take the pointer from their second frame
  r.Click(320, 350);
  r.Frame();
  ASSERT_EQ(r.State(), gsEditor);
  r.Frame();
  Ctrl('S');
  EXPECT_EQ(SavedRow(), (std::vector<int>{1, kEarth1, kEarth1, kEarth1, 1}));
  // Saved now: Escape leaves at once.
  Press(vk::Escape);
  r.Frame();
  EXPECT_EQ(r.State(), gsMainMenu);
}

// Work not saved when the program closes is kept as a scenario of its own,
// also when the editor was left with "Leave" first; the file saved before is
// left as it was.
TEST_F(EditorScreenTest, UnsavedWorkIsKeptWhenTheProgramCloses) {
  run_ = std::make_unique<GameHarness>();
  GameHarness& r = *run_;
  ASSERT_EQ(r.Start(), 0);
  while (r.State() == gsShowWindow || r.State() == gsEnterMenus) r.Frame();
  EnsurePlayerProfile(r.game_);
  r.Open(gsEditor);
  r.Frame();
  const int x = kEditorMapLeft + 2 * 32 + 16, y = kEditorMapTop + 2 * 32 + 16;
  r.MouseMove(x, y);
  r.Frame();
  r.Click(x, y);
  r.Frame();
  Ctrl('S');
  ASSERT_EQ(SavedRow(), (std::vector<int>{1, kEarth1, 1, 1, 1}));
  r.MouseMove(x + 32, y);
  r.Frame();
  r.Click(x + 32, y);
  r.Frame();
  Press(vk::Escape);
  const TButton& leave = r.game_.widgets.Buttons[2];
  r.Click(leave.X + leave.Width / 2, leave.Y + leave.Height / 2);
  r.Frame();
  ASSERT_EQ(r.State(), gsMainMenu);
  InputEvent quit;
  quit.type = InputEventType::Quit;
  r.Event(quit);
  EXPECT_TRUE(r.form_.frame().Closed);
  EXPECT_EQ(SavedRow("new-scenario-unsaved.zq"), (std::vector<int>{1, kEarth1, kEarth1, 1, 1}));
  EXPECT_EQ(SavedRow(), (std::vector<int>{1, kEarth1, 1, 1, 1}));
}

}  // namespace
}  // namespace gravik

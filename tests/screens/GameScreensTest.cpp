// The screens around play with the real start-up on the headless platform:
// their buttons, their keys and what they show.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "data/Profile.h"
#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "frame/PlayerData.h"
#include "app/Program.h"
#include "platform/headless/HeadlessPlatform.h"
#include "support/GameTest.h"
#include "screens/EndScreens.h"
#include "screens/MenuFrame.h"
#include "screens/PuzzleView.h"
#include "screens/StatusScreens.h"
#include "screens/ScreenMemory.h"

namespace gravik {
namespace {

class GameScreensTest : public testing::GameTest {
 protected:
  void SetUp() override {
    GRAVIK_REQUIRE_DATA_FILES();
    ASSERT_EQ(Start(), 0);  // the real start-up
    Open(gsPrepareScenario);  // the built-in scenario, its level and graphics
  }
  // Clicks button n with the mouse; the frame that acts on it comes one frame
  // later, or `afterMs` later when given.
  void ClickButton(int n, int afterMs = -1) {
    ASSERT_LE(n, game_.widgets.ButtonCount);
    const TButton& b = game_.widgets.Buttons[size_t(n)];
    Click(b.X + 2, b.Y + 2);
    if (afterMs < 0) Frame();
    else FrameAfter(uint32_t(afterMs));
  }
  std::string Caption(int n) { return game_.widgets.Buttons[size_t(n)].Caption; }
  uint32_t LevelClockRun() { return game_.Now() - game_.values.LevelClock; }
};

TEST_F(GameScreensTest, StatusScreenButtonsAndItsHalfSecondDebounce) {
  Open(gsPlaying);
  Open(gsStatusScreen);
  ASSERT_EQ(game_.widgets.ButtonCount, 5);
  EXPECT_EQ(Caption(kStatusReturn), "Return to game");
  EXPECT_EQ(Caption(kStatusQuit), "Quit scenario");
  EXPECT_EQ(Caption(kStatusViewMap), "View");
  EXPECT_EQ(Caption(kStatusOptions), "Options");
  EXPECT_EQ(Caption(kStatusViewPuzzle), "View");
  EXPECT_TRUE(game_.playfield.Pointer->Visible);

  ClickButton(kStatusReturn, 200);
  EXPECT_EQ(State(), gsStatusScreen) << "not within 500 ms";
  AdvanceMs(300);  // 500 ms since the entry
  Tap(vk::Space);
  EXPECT_EQ(State(), gsStatusScreen);
  AdvanceMs(1);
  Tap(vk::F2);
  EXPECT_EQ(State(), gsPlaying);
  EXPECT_FALSE(game_.playfield.Pointer->Visible);

  // F2 waits too; so does joystick button 1, which counts only once pressed afresh.
  Open(gsStatusScreen);
  AdvanceMs(500);
  Tap(vk::F2);
  EXPECT_EQ(State(), gsStatusScreen);
  game_.input.JoystickEnabled = true;
  hp_.input.SetJoystick(JoystickState{true, 32768, 32768, 1});
  Open(gsStatusScreen);
  FrameAfter(600);
  EXPECT_EQ(State(), gsStatusScreen) << "held since before the screen opened";
  hp_.input.SetJoystick(JoystickState{true, 32768, 32768, 0});
  Frame();
  hp_.input.SetJoystick(JoystickState{true, 32768, 32768, 1});
  Frame();
  EXPECT_EQ(State(), gsPlaying);

  // The pad's Start, which opens it from play, closes it the same way.
  hp_.input.SetJoystick(JoystickState{true, 32768, 32768, kPadStart});
  Open(gsStatusScreen);
  Frame(600);
  EXPECT_EQ(State(), gsStatusScreen);
  hp_.input.SetJoystick(JoystickState{true, 32768, 32768, 0});
  Frame();
  hp_.input.SetJoystick(JoystickState{true, 32768, 32768, kPadStart});
  Frame();
  EXPECT_EQ(State(), gsPlaying);
}

TEST_F(GameScreensTest, StatusScreenOpensItsScreensAndTheirTimeNeverCounts) {
  Open(gsPlaying);
  game_.values.LevelClock = game_.Now() - 777;
  Open(gsStatusScreen);
  ClickButton(kStatusViewPuzzle, 5000);
  EXPECT_EQ(State(), gsPuzzleView);
  FrameAfter(3000);
  Tap(vk::Return);
  Frame();
  EXPECT_EQ(State(), gsStatusScreen);
  Frame();
  ClickButton(kStatusViewMap);
  EXPECT_EQ(State(), gsMapView);
  EXPECT_TRUE(game_.values.MapFromStatus);
  Frame();
  AdvanceMs(501);
  Tap(vk::Return);
  EXPECT_EQ(State(), gsStatusScreen) << "the map goes back to the status screen";
  Frame();
  ClickButton(kStatusOptions);
  EXPECT_EQ(State(), gsOptions);
  EXPECT_EQ(game_.values.OptionsReturnState, gsStatusScreen);
  form_.SetGameState(gsStatusScreen);
  Frame();
  AdvanceMs(501);
  Tap(vk::Return);
  ASSERT_EQ(State(), gsPlaying);
  EXPECT_EQ(LevelClockRun(), 777u) << "the clocks froze once, at the first entry";
}

TEST_F(GameScreensTest, EachStatusVisitFreezesTheClocksAfresh) {
  Open(gsPlaying);
  AdvanceMs(501);
  game_.values.LevelClock = game_.Now() - 600;
  // F8 and F2 between two frames: the status screen opens, the pause is dropped.
  Tap(vk::F8);
  Tap(vk::F2);
  FrameNow();
  ASSERT_EQ(State(), gsStatusScreen);
  // Leaving the status screens any other way than "Return to game" (here a
  // pause) ends the visit too.
  Open(gsPaused);
  AdvanceMs(2000);
  Tap(vk::F8);
  ASSERT_EQ(State(), gsPlaying);
  EXPECT_EQ(LevelClockRun(), 600u);
  AdvanceMs(1000);
  Tap(vk::F2);
  ASSERT_EQ(State(), gsStatusScreen);
  FrameNow();
  AdvanceMs(3000);
  Tap(vk::F2);
  ASSERT_EQ(State(), gsPlaying);
  EXPECT_EQ(LevelClockRun(), 1600u) << "the second visit froze the clocks it found";
}

TEST_F(GameScreensTest, QuitQuestionLeadsToGameOverOrBack) {
  Open(gsPlaying);
  Open(gsStatusScreen);
  ClickButton(kStatusQuit);
  ASSERT_EQ(State(), gsConfirmQuitScenario);
  Frame();
  EXPECT_EQ(Caption(1), "Yes");
  ClickButton(2);
  EXPECT_EQ(State(), gsStatusScreen);
  Frame();
  ClickButton(kStatusQuit);
  Frame();
  ClickButton(1);
  EXPECT_EQ(State(), gsGameOver);
  Frame();
  EXPECT_EQ(Caption(1), "OK");
  ClickButton(1);
  EXPECT_EQ(State(), gsMainMenu);
}

TEST_F(GameScreensTest, LifeLostAndRestartButtons) {
  Open(gsLifeLost);
  EXPECT_EQ(Caption(1), "Quit scenario");
  EXPECT_EQ(Caption(2), "Resume game");
  ClickButton(2);
  EXPECT_EQ(State(), gsPlaying);
  EXPECT_TRUE(game_.playfield.Figure->Visible);
  EXPECT_FALSE(game_.playfield.Pointer->Visible);
  Open(gsLifeLost);
  ClickButton(1);
  EXPECT_EQ(State(), gsGameOver);

  Open(gsPlaying);
  game_.values.LevelClock = game_.Now() - 321;
  Tap('R', 0, kShiftBit);
  ASSERT_EQ(State(), gsConfirmRestart);
  FrameNow();  // its entry freezes the clocks
  EXPECT_EQ(Caption(1), "Restart");
  EXPECT_EQ(Caption(2), "Resume game");
  ClickButton(2, 4000);
  EXPECT_EQ(State(), gsPlaying);
  EXPECT_EQ(LevelClockRun(), 321u);
  Tap('R', 0, kShiftBit);
  Frame();
  ClickButton(1);
  EXPECT_EQ(State(), gsPrepareScenario);
}

// Every question opens on the answer that loses nothing, so Enter there is
// safe; the arrows and Tab move to the other answer, and Escape is the safe
// way back. The letters once answering a question do nothing now.
TEST_F(GameScreensTest, EnterOnEveryQuestionPicksTheSafeAnswer) {
  EnsurePlayerProfile(game_);
  auto enter = [&] {
    Tap(vk::Return);
    Frame();
  };
  // "Quit this scenario?": No.
  Open(gsPlaying);
  Open(gsStatusScreen);
  ClickButton(kStatusQuit);
  Frame();
  for (uint8_t letter : {'Y', 'N', 'Q'}) Tap(letter);
  Frame();
  ASSERT_EQ(State(), gsConfirmQuitScenario);
  enter();
  EXPECT_EQ(State(), gsStatusScreen);
  // "Restart scenario?": Resume game; Tab then Enter restarts.
  Open(gsPlaying);
  Tap('R', 0, kShiftBit);
  FrameNow();
  enter();
  EXPECT_EQ(State(), gsPlaying);
  Tap('R', 0, kShiftBit);
  FrameNow();
  Tap(vk::Tab);
  enter();
  EXPECT_EQ(State(), gsPrepareScenario);
  // A lost life: Resume game; Escape too.
  Open(gsLifeLost);
  Tap('Q');
  Frame();
  EXPECT_EQ(State(), gsLifeLost);
  enter();
  EXPECT_EQ(State(), gsPlaying);
  Open(gsLifeLost);
  Tap(vk::Escape);
  EXPECT_EQ(State(), gsPlaying);
  // "Exit Gravik 2?": No; Left then Enter: Yes.
  Open(gsConfirmExit);
  enter();
  EXPECT_EQ(State(), gsMainMenu);
  EXPECT_FALSE(form_.frame().Closed);
  // "Start a new game?": keep the saved game.
  Open(gsConfirmNewGame);
  enter();
  EXPECT_EQ(State(), gsMainMenu);
  // Deleting a profile: No, and the profile stays.
  const size_t profiles = game_.profile.List.size();
  ScreensOf(game_).Profiles.ToDelete = 1;
  Open(gsConfirmDeleteProfile);
  enter();
  EXPECT_EQ(State(), gsProfiles);
  EXPECT_EQ(game_.profile.List.size(), profiles);
  Open(gsConfirmExit);
  Tap(vk::Left);
  enter();
  EXPECT_TRUE(form_.frame().Closed);
}

// The status screen's keys: Enter presses the focused button, the status key
// and Escape return; the map and puzzle views close on Enter, Space or Escape.
TEST_F(GameScreensTest, StatusKeysFollowTheFocusAndTheKeyTable) {
  Open(gsPlaying);
  Open(gsStatusScreen);
  AdvanceMs(501);
  // Along the row of buttons ("Save and exit" sits before Options when shown).
  for (int i = 0; i < 3 && FocusedButton(game_) != kStatusOptions; ++i) Tap(vk::Right);
  Frame();
  ASSERT_EQ(FocusedButton(game_), kStatusOptions);
  Tap(vk::Return);
  EXPECT_EQ(State(), gsOptions) << "at once, as the click would next frame";
  Frame();
  Tap(vk::Escape);
  Frame();
  ASSERT_EQ(State(), gsStatusScreen);
  Frame();
  EXPECT_EQ(FocusedButton(game_), kStatusReturn) << "each visit starts on Return to game";
  AdvanceMs(501);
  Tap(vk::Escape);
  EXPECT_EQ(State(), gsPlaying);
  Open(gsStatusScreen);
  AdvanceMs(501);
  Tap(vk::Up);
  Frame();
  EXPECT_EQ(FocusedButton(game_), kStatusViewPuzzle);
  Tap(vk::Space);
  Frame();
  ASSERT_EQ(State(), gsPuzzleView);
  Frame();
  Tap(vk::Escape);
  Frame();
  EXPECT_EQ(State(), gsStatusScreen);
}

TEST_F(GameScreensTest, GameOverShowsTheBestResultsOfItsCase) {
  EnsurePlayerProfile(game_);
  ASSERT_TRUE(HasCurrentProfile(game_));
  TScenarioRecord* r = CurrentScenarioRecord(*game_.profile.Record);
  ASSERT_NE(r, nullptr);
  auto lines = [&](int score, int32_t best, uint32_t bestTime) {
    r->HighScore = best;
    r->BestTime = bestTime;
    game_.world.Count.Score = score;
    game_.values.TotalPlaySeconds = 65;
    Open(gsGameOver);
    return GameOverLines(game_);
  };
  std::vector<EndLine> l = lines(50, 20, 0);
  ASSERT_EQ(l.size(), 4u);
  EXPECT_EQ(l[0].Label + l[0].Value, "Score:50");
  EXPECT_EQ(l[1].Label + l[1].Value, "Total Time:00h 01m 05s") << "trimmed";
  EXPECT_EQ(l[2].Y, 270);
  EXPECT_EQ(l[2].Label + l[2].Value, "Congratulations!");
  EXPECT_EQ(l[3].Label + l[3].Value, "Previous Highest Score:20");
  EXPECT_EQ(r->HighScore, 50);

  l = lines(50, 50, 0);  // equal is no new best
  EXPECT_EQ(l[2].Y, 270);
  EXPECT_EQ(l[2].Label + l[2].Value, "Highest Score:50");
  EXPECT_EQ(l[3].Label + l[3].Value, "Best Time:N/A");
  l = lines(10, 50, 3725);
  EXPECT_EQ(l[3].Label + l[3].Value, "Best Time:01h 02m 05s");

  // A record of another scenario is not this one's best.
  r->Identity = ScenarioIdentity{1.0, 2.0};
  l = lines(10, 50, 3725);
  EXPECT_EQ(l[2].Label + l[2].Value, "Highest Score:0");
  EXPECT_EQ(l[3].Label + l[3].Value, "Best Time:N/A");

  // Enter or Space (typed) press OK.
  InputEvent typed;
  typed.type = InputEventType::Text;
  typed.text = " ";
  form_.HandleEvent(typed);
  Frame();
  EXPECT_EQ(State(), gsMainMenu);
}

TEST_F(GameScreensTest, DisplaySwitchOnTheEndScreensKeepsTheNewBest) {
  EnsurePlayerProfile(game_);
  TScenarioRecord* r = CurrentScenarioRecord(*game_.profile.Record);
  ASSERT_NE(r, nullptr);
  r->HighScore = 20;
  game_.world.Count.Score = 50;
  Open(gsGameOver);
  const bool windowed = form_.frame().Windowed;
  Tap(vk::F10);
  Frame();
  ASSERT_EQ(State(), gsGameOver);
  ASSERT_NE(form_.frame().Windowed, windowed);
  const std::vector<EndLine> l = GameOverLines(game_);
  ASSERT_EQ(l.size(), 4u);
  EXPECT_EQ(l[2].Label, "Congratulations!");
  EXPECT_EQ(l[3].Label + l[3].Value, "Previous Highest Score:20");

  game_.world.Count.Score = 70;
  Open(gsScenarioComplete);
  ASSERT_TRUE(game_.values.NewBestScore);
  FrameAfter(5001);  // past the display switch's lockout
  Tap(vk::F10);
  Frame();
  ASSERT_EQ(form_.frame().Windowed, windowed);
  EXPECT_TRUE(game_.values.NewBestScore);
  EXPECT_EQ(game_.values.PreviousBest, 50);
  EXPECT_EQ(r->HighScore, 70);
}

TEST_F(GameScreensTest, CompletionOkWaitsAndThePictureScrollsByTheClock) {
  Open(gsScenarioComplete);
  ASSERT_EQ(Caption(1), "OK");
  EXPECT_EQ(game_.widgets.Buttons[1].Y, 453);
  const int height = game_.workPicture2.Height();
  EXPECT_EQ(game_.workPicture2.Width(), kCompletionWindowWidth);
  EXPECT_GT(height, kCompletionWindowHeight);
  EXPECT_DOUBLE_EQ(ScreensOf(game_).Completion.Scroll, 0.02) << "the entry frame counts at least 1 ms";

  for (int i = 0; i < 10; ++i) FrameAfter(16);  // 16 ms ticks: 3.2 pixels
  EXPECT_NEAR(ScreensOf(game_).Completion.Scroll, 0.02 + 3.2, 1e-9);
  FrameNow();  // a frame without a tick still moves by 1 ms
  EXPECT_NEAR(ScreensOf(game_).Completion.Scroll, 3.24, 1e-9);
  ScreensOf(game_).Completion.Scroll = height - 0.01;
  FrameAfter(1);
  EXPECT_EQ(ScreensOf(game_).Completion.Scroll, 0) << "back to the top after the end";

  // 161 ms so far; OK is refused until 3001 ms after the entry.
  AdvanceMs(3000 - 161);
  Tap(vk::Return);
  ClickButton(1, 0);
  EXPECT_EQ(State(), gsScenarioComplete);
  EXPECT_EQ(game_.widgets.Buttons[1].State, kWidgetDisabled);
  FrameAfter(1);
  Tap(vk::Return);
  FrameNow();
  EXPECT_EQ(State(), gsMainMenu);
}

TEST(PuzzleGeometry, PieceSideHalvesUntilTheGridFits) {
  EXPECT_EQ(PuzzlePieceSide(8, 6), 64);
  EXPECT_EQ(PuzzlePieceSide(8, 7), 32) << "448 is over 445";
  EXPECT_EQ(PuzzlePieceSide(10, 4), 32);
  EXPECT_EQ(PuzzlePieceSide(20, 1), 16);
  EXPECT_EQ(PuzzlePieceSide(32, 18), 16);
  EXPECT_EQ(PuzzlePieceSide(40, 40), 16) << "never below 16";
  const TRect grid = PuzzleGridRect(10, 4);
  EXPECT_EQ(grid, Bounds(160, 161, 320, 128));
}

TEST(PuzzleGeometry, CollectedTextRoundsHalfAwayFromZero) {
  EXPECT_EQ(PuzzleCollectedText(1, 8), "1/8 pieces (13%) collected");
  EXPECT_EQ(PuzzleCollectedText(3, 8), "3/8 pieces (38%) collected.");
  EXPECT_EQ(PuzzleCollectedText(1, 3), "1/3 pieces (33%) collected");
  EXPECT_EQ(PuzzleCollectedText(40, 40), "40/40 pieces (100%) collected.");
  EXPECT_EQ(PuzzleCollectedText(0, 0), "0/0 pieces (0%) collected.");
}

TEST_F(GameScreensTest, PuzzleViewPutsItsPictureInPlaceOfTheBackdrop) {
  World& w = game_.world;
  ASSERT_EQ(w.PuzzleWidth, 10);
  ASSERT_EQ(w.PuzzleHeight, 4);
  w.PuzzleCollected.fill(0);
  w.PuzzleCollected[size_t((3 - 1) * PuzzleRowsMax + (2 - 1))] = 1;  // piece (3, 2)
  ScreensOf(game_).MainMenu.BackdropBuilt = true;
  Open(gsPuzzleView);
  EXPECT_FALSE(ScreensOf(game_).MainMenu.BackdropBuilt);
  ASSERT_EQ(Caption(1), "OK");
  EXPECT_EQ(game_.widgets.Buttons[1].Y, 450);
  const ImageEntry& e = game_.images.FindImage("backdrop");
  ASSERT_EQ(e.Picture.Width(), 640);
  ASSERT_EQ(e.Picture.Height(), 450);
  const uint16_t orange = Rgb565(255, 128, 0);
  EXPECT_EQ(e.Picture.Pixel(156, 157), orange);
  EXPECT_EQ(e.Picture.Pixel(483, 292), orange);
  EXPECT_EQ(e.Picture.Pixel(157, 158), 0);
  auto inked = [&](int x0, int y0) {
    int n = 0;
    for (int y = y0; y < y0 + 32; ++y)
      for (int x = x0; x < x0 + 32; ++x) n += e.Picture.Pixel(x, y) != 0;
    return n;
  };
  EXPECT_GT(inked(160 + 2 * 32, 161 + 32), 32 * 32 * 3 / 4) << "piece (3, 2) drawn";
  EXPECT_EQ(inked(160, 161), 0) << "piece (1, 1) not collected";
  ClickButton(1);
  EXPECT_EQ(State(), gsStatusScreen);
}

}  // namespace
}  // namespace gravik

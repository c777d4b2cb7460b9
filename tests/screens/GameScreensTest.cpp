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
#include "frame/Program.h"
#include "platform/headless/HeadlessPlatform.h"
#include "screens/EndScreens.h"
#include "screens/MenuFrame.h"
#include "screens/PuzzleView.h"
#include "screens/StatusScreens.h"

namespace gravik {
namespace {

class GameScreensTest : public ::testing::Test {
 protected:
  GameScreensTest()
      : home_(MakeHome()), hp_(std::string(GRAVIK_BINARY_DIR) + "/gravik"), platform_(hp_.Get()),
        game_(platform_, Options()), form_(game_) {
    hp_.shell.SetEcho(false);
    form_.FormCreate();
    InstallGameHandlers(form_);
  }
  ~GameScreensTest() override { std::filesystem::remove_all(home_); }
  void SetUp() override {
    if (!std::filesystem::exists(std::string(GRAVIK_BINARY_DIR) + "/zqresource.dat"))
      GTEST_SKIP() << "the data files are not built (target data_files)";
    form_.Timer1Timer();  // the real start-up
    form_.SetGameState(gsPrepareScenario);
    form_.DXTimerTimer();  // the built-in scenario, its level and graphics
  }
  static GameOptions Options() {
    GameOptions o;
    o.headless = true;
    o.noMusic = o.noSound = true;
    return o;
  }
  static std::string MakeHome() {
    char tmpl[] = "/tmp/gravik-screens-XXXXXX";
    const char* d = mkdtemp(tmpl);
    setenv("GRAVIK_HOME", d, 1);
    return d;
  }

  void AdvanceMs(uint32_t ms) { hp_.clock.Advance(uint64_t(ms) * 1000); }
  void Frame(uint32_t ms = 16) {
    AdvanceMs(ms);
    form_.DXTimerTimer();
  }
  // A state entered as the game enters it, with its first frame run.
  void Open(uint8_t state) {
    form_.SetGameState(state);
    form_.DXTimerTimer();
  }
  void Key(uint8_t vk, uint8_t shift = 0) {
    InputEvent ev;
    ev.type = InputEventType::KeyDown;
    ev.vk = vk;
    ev.shift = shift;
    form_.HandleEvent(ev);
  }
  void Mouse(InputEventType type, int x, int y) {
    InputEvent ev;
    ev.type = type;
    ev.x = x;
    ev.y = y;
    ev.button = 1;
    form_.HandleEvent(ev);
  }
  // Clicks button n with the mouse: the pointer moves onto it, a frame finds
  // it hovered, the press and release follow and the next frame acts on it.
  void Click(int n, uint32_t ms = 16) {
    ASSERT_LE(n, game_.widgets.ButtonCount);
    const TButton& b = game_.widgets.Buttons[size_t(n)];
    Mouse(InputEventType::MouseMove, b.X + 2, b.Y + 2);
    Frame(0);
    Mouse(InputEventType::MouseDown, b.X + 2, b.Y + 2);
    Mouse(InputEventType::MouseUp, b.X + 2, b.Y + 2);
    Frame(ms);
  }
  uint8_t State() { return form_.frame().GameState; }
  std::string Caption(int n) { return game_.widgets.Buttons[size_t(n)].Caption; }
  uint32_t LevelClockRun() { return game_.Now() - game_.values.LevelClock; }

  std::string home_;
  HeadlessPlatform hp_;
  Platform platform_;
  Game game_;
  TForm1 form_;
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

  Click(kStatusReturn, 200);
  EXPECT_EQ(State(), gsStatusScreen) << "not within 500 ms";
  AdvanceMs(300);  // 500 ms since the entry
  Key(vk::Space);
  EXPECT_EQ(State(), gsStatusScreen);
  AdvanceMs(1);
  Key(vk::F2);
  EXPECT_EQ(State(), gsPlaying);
  EXPECT_FALSE(game_.playfield.Pointer->Visible);

  // F2 waits too; so does joystick button 1, which counts only once pressed afresh.
  Open(gsStatusScreen);
  AdvanceMs(500);
  Key(vk::F2);
  EXPECT_EQ(State(), gsStatusScreen);
  game_.input.JoystickEnabled = true;
  hp_.input.SetJoystick(JoystickState{true, 32768, 32768, 1});
  Open(gsStatusScreen);
  Frame(600);
  EXPECT_EQ(State(), gsStatusScreen) << "held since before the screen opened";
  hp_.input.SetJoystick(JoystickState{true, 32768, 32768, 0});
  Frame();
  hp_.input.SetJoystick(JoystickState{true, 32768, 32768, 1});
  Frame();
  EXPECT_EQ(State(), gsPlaying);
}

TEST_F(GameScreensTest, StatusScreenOpensItsScreensAndTheirTimeNeverCounts) {
  Open(gsPlaying);
  game_.values.LevelClock = game_.Now() - 777;
  Open(gsStatusScreen);
  Click(kStatusViewPuzzle, 5000);
  EXPECT_EQ(State(), gsPuzzleView);
  Frame(3000);
  Key(vk::Return);
  Frame();
  EXPECT_EQ(State(), gsStatusScreen);
  Frame();
  Click(kStatusViewMap);
  EXPECT_EQ(State(), gsMapView);
  EXPECT_TRUE(game_.values.MapFromStatus);
  Frame();
  AdvanceMs(501);
  Key(vk::Return);
  EXPECT_EQ(State(), gsStatusScreen) << "the map goes back to the status screen";
  Frame();
  Click(kStatusOptions);
  EXPECT_EQ(State(), gsOptions);
  EXPECT_EQ(game_.values.OptionsReturnState, gsStatusScreen);
  form_.SetGameState(gsStatusScreen);
  Frame();
  AdvanceMs(501);
  Key(vk::Return);
  ASSERT_EQ(State(), gsPlaying);
  EXPECT_EQ(LevelClockRun(), 777u) << "the clocks froze once, at the first entry";
}

TEST_F(GameScreensTest, EachStatusVisitFreezesTheClocksAfresh) {
  Open(gsPlaying);
  AdvanceMs(501);
  game_.values.LevelClock = game_.Now() - 600;
  // F8 and F2 between two frames: the status screen opens, the pause is dropped.
  Key(vk::F8);
  Key(vk::F2);
  Frame(0);
  ASSERT_EQ(State(), gsStatusScreen);
  // Leaving the status screens any other way than "Return to game" (here a
  // pause) ends the visit too.
  Open(gsPaused);
  AdvanceMs(2000);
  Key(vk::F8);
  ASSERT_EQ(State(), gsPlaying);
  EXPECT_EQ(LevelClockRun(), 600u);
  AdvanceMs(1000);
  Key(vk::F2);
  ASSERT_EQ(State(), gsStatusScreen);
  Frame(0);
  AdvanceMs(3000);
  Key(vk::F2);
  ASSERT_EQ(State(), gsPlaying);
  EXPECT_EQ(LevelClockRun(), 1600u) << "the second visit froze the clocks it found";
}

TEST_F(GameScreensTest, QuitQuestionLeadsToGameOverOrBack) {
  Open(gsPlaying);
  Open(gsStatusScreen);
  Click(kStatusQuit);
  ASSERT_EQ(State(), gsConfirmQuitScenario);
  Frame();
  EXPECT_EQ(Caption(1), "Yes");
  Click(2);
  EXPECT_EQ(State(), gsStatusScreen);
  Frame();
  Click(kStatusQuit);
  Frame();
  Click(1);
  EXPECT_EQ(State(), gsGameOver);
  Frame();
  EXPECT_EQ(Caption(1), "OK");
  Click(1);
  EXPECT_EQ(State(), gsMainMenu);
}

TEST_F(GameScreensTest, LifeLostAndRestartButtons) {
  Open(gsLifeLost);
  EXPECT_EQ(Caption(1), "Quit scenario");
  EXPECT_EQ(Caption(2), "Resume game");
  Click(2);
  EXPECT_EQ(State(), gsPlaying);
  EXPECT_TRUE(game_.playfield.Figure->Visible);
  EXPECT_FALSE(game_.playfield.Pointer->Visible);
  Open(gsLifeLost);
  Click(1);
  EXPECT_EQ(State(), gsGameOver);

  Open(gsPlaying);
  game_.values.LevelClock = game_.Now() - 321;
  Key('R', kShiftBit);
  ASSERT_EQ(State(), gsConfirmRestart);
  Frame(0);  // its entry freezes the clocks
  EXPECT_EQ(Caption(1), "Restart");
  EXPECT_EQ(Caption(2), "Resume game");
  Click(2, 4000);
  EXPECT_EQ(State(), gsPlaying);
  EXPECT_EQ(LevelClockRun(), 321u);
  Key('R', kShiftBit);
  Frame();
  Click(1);
  EXPECT_EQ(State(), gsPrepareScenario);
}

// Every question opens on the answer that loses nothing, so Enter there is
// safe; the arrows and Tab move to the other answer, and Escape is the safe
// way back. The letters once answering a question do nothing now.
TEST_F(GameScreensTest, EnterOnEveryQuestionPicksTheSafeAnswer) {
  EnsurePlayerProfile(game_);
  auto enter = [&] {
    Key(vk::Return);
    Frame();
  };
  // "Quit this scenario?": No.
  Open(gsPlaying);
  Open(gsStatusScreen);
  Click(kStatusQuit);
  Frame();
  for (uint8_t letter : {'Y', 'N', 'Q'}) Key(letter);
  Frame();
  ASSERT_EQ(State(), gsConfirmQuitScenario);
  enter();
  EXPECT_EQ(State(), gsStatusScreen);
  // "Restart scenario?": Resume game; Tab then Enter restarts.
  Open(gsPlaying);
  Key('R', kShiftBit);
  Frame(0);
  enter();
  EXPECT_EQ(State(), gsPlaying);
  Key('R', kShiftBit);
  Frame(0);
  Key(vk::Tab);
  enter();
  EXPECT_EQ(State(), gsPrepareScenario);
  // A lost life: Resume game; Escape too.
  Open(gsLifeLost);
  Key('Q');
  Frame();
  EXPECT_EQ(State(), gsLifeLost);
  enter();
  EXPECT_EQ(State(), gsPlaying);
  Open(gsLifeLost);
  Key(vk::Escape);
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
  game_.values.ProfileToDelete = 1;
  Open(gsConfirmDeleteProfile);
  enter();
  EXPECT_EQ(State(), gsProfiles);
  EXPECT_EQ(game_.profile.List.size(), profiles);
  Open(gsConfirmExit);
  Key(vk::Left);
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
  for (int i = 0; i < 3 && FocusedButton(game_) != kStatusOptions; ++i) Key(vk::Right);
  Frame();
  ASSERT_EQ(FocusedButton(game_), kStatusOptions);
  Key(vk::Return);
  EXPECT_EQ(State(), gsOptions) << "at once, as the click would next frame";
  Frame();
  Key(vk::Escape);
  Frame();
  ASSERT_EQ(State(), gsStatusScreen);
  Frame();
  EXPECT_EQ(FocusedButton(game_), kStatusReturn) << "each visit starts on Return to game";
  AdvanceMs(501);
  Key(vk::Escape);
  EXPECT_EQ(State(), gsPlaying);
  Open(gsStatusScreen);
  AdvanceMs(501);
  Key(vk::Up);
  Frame();
  EXPECT_EQ(FocusedButton(game_), kStatusViewPuzzle);
  Key(vk::Space);
  Frame();
  ASSERT_EQ(State(), gsPuzzleView);
  Frame();
  Key(vk::Escape);
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
  Key(vk::F10);
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
  Frame(5001);  // past the display switch's lockout
  Key(vk::F10);
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
  EXPECT_DOUBLE_EQ(game_.values.CompleteScroll, 0.02) << "the entry frame counts at least 1 ms";

  for (int i = 0; i < 10; ++i) Frame(16);
  EXPECT_NEAR(game_.values.CompleteScroll, 0.02 + 3.2, 1e-9);
  Frame(0);  // a frame without a tick still moves by 1 ms
  EXPECT_NEAR(game_.values.CompleteScroll, 3.24, 1e-9);
  game_.values.CompleteScroll = height - 0.01;
  Frame(1);
  EXPECT_EQ(game_.values.CompleteScroll, 0) << "back to the top after the end";

  // 161 ms so far; OK is refused until 3001 ms after the entry.
  AdvanceMs(3000 - 161);
  Key(vk::Return);
  Click(1, 0);
  EXPECT_EQ(State(), gsScenarioComplete);
  EXPECT_EQ(game_.widgets.Buttons[1].State, kWidgetDisabled);
  Frame(1);
  Key(vk::Return);
  Frame(0);
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
  game_.values.BackdropBuilt = true;
  Open(gsPuzzleView);
  EXPECT_FALSE(game_.values.BackdropBuilt);
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
  Click(1);
  EXPECT_EQ(State(), gsStatusScreen);
}

}  // namespace
}  // namespace gravik

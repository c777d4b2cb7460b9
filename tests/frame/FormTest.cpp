// The main form: state changes, frame timing, focus, display switch, panel toggle
// and the error exits, driven by the headless platform.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "base/Errors.h"
#include "frame/Form.h"
#include "app/StartUp.h"
#include "platform/headless/HeadlessPlatform.h"
#include "support/GameTest.h"

namespace gravik {
namespace {

// The form as created, without the game's handlers: each test installs what
// it needs.
class FormTest : public testing::GameTest {
 protected:
  FormTest() : GameTest(Audible(), Handlers::None) {}
  void SetUp() override { GRAVIK_REQUIRE_DATA_FILES(); }
  // Runs the deferred start (the real start-up, with the built data files) and
  // leaves the form ready for frames.
  void StartUp() {
    form_.RunStartUp = RunStartUp;
    ASSERT_EQ(Start(), 0);
    ASSERT_TRUE(hp_.display.IsDrawable());
  }
};

TEST_F(FormTest, PlayTimeCountsWholeSecondsOfEachStretch) {
  StartUp();
  form_.SetGameState(gsPlaying);
  AdvanceMs(2999);
  form_.SetGameState(gsStatusScreen);
  EXPECT_EQ(game_.values.TotalPlaySeconds, 2u);
  // Time outside play does not count; a second stretch of 1.5 s adds 1.
  AdvanceMs(10000);
  form_.SetGameState(gsPlaying);
  AdvanceMs(1500);
  form_.SetGameState(gsPaused);
  EXPECT_EQ(game_.values.TotalPlaySeconds, 3u);
  // Re-entering a non-play state from a non-play state adds nothing.
  AdvanceMs(5000);
  form_.SetGameState(gsMainMenu);
  EXPECT_EQ(game_.values.TotalPlaySeconds, 3u);
}

TEST_F(FormTest, StateChangeClearsScreenReadyAndRunsItsStepsForPlay) {
  game_.world.Player.LastDirection = DirLeft;
  game_.audio.MusicRestartMark = true;
  game_.frame.StepSum = 99;
  game_.frame.StepCount = 9;
  form_.frame().ScreenReady = true;
  AdvanceMs(700);
  form_.SetGameState(gsPlaying);
  EXPECT_FALSE(form_.frame().ScreenReady);
  EXPECT_EQ(form_.frame().GameState, gsPlaying);
  EXPECT_EQ(game_.world.Player.LastDirection, 0);          // 1
  EXPECT_EQ(game_.frame.StepCount, 0);                     // 1
  EXPECT_EQ(game_.values.PlayStart, game_.Now());          // 3
  EXPECT_FALSE(game_.audio.MusicRestartMark);              // 5
  EXPECT_EQ(form_.frame().PanelToggleTick, double(game_.Now()));  // 8
  // Leaving the options with the joystick on recalibrates its centre.
  game_.input.JoystickEnabled = true;
  hp_.input.SetJoystick(JoystickState{true, 30000, 31000, 0});
  form_.SetGameState(gsOptions);
  EXPECT_EQ(game_.input.JoyCentreX, kJoystickCentre);
  form_.SetGameState(gsStatusScreen);
  EXPECT_EQ(game_.input.JoyCentreX, 30000);
  EXPECT_EQ(game_.input.JoyCentreY, 31000);
}

TEST_F(FormTest, WorldOutcomesSwitchTheFormsStateAndNeedAForm) {
  form_.SetGameState(gsPlaying);
  EXPECT_TRUE(game_.world.Playing());
  game_.world.Report(WorldOutcome::TransporterEntered);
  EXPECT_EQ(form_.frame().GameState, gsTransportOut);
  EXPECT_FALSE(game_.world.Playing());
  game_.world.Report(WorldOutcome::PlayerDied);
  EXPECT_EQ(form_.frame().GameState, gsLosingLife);
  game_.world.Report(WorldOutcome::ScenarioDone);
  EXPECT_EQ(form_.frame().GameState, gsScenarioComplete);
  // With no form to take it, an outcome is a fault, never a quiet change.
  game_.ConnectForm(nullptr);
  EXPECT_THROW(game_.world.Report(WorldOutcome::PlayerDied), std::logic_error);
  EXPECT_EQ(form_.frame().GameState, gsScenarioComplete);
  game_.ConnectForm(&form_);
}

TEST_F(FormTest, EnteringPlayOrMenuTakesAFreshCounterReading) {
  AdvanceMs(1234);
  form_.SetGameState(gsMainMenu);
  EXPECT_EQ(form_.frame().LastCounter, hp_.clock.PerfCounter());
  AdvanceMs(100);
  form_.SetGameState(gsHelp);
  EXPECT_NE(form_.frame().LastCounter, hp_.clock.PerfCounter());
  form_.SetGameState(gsPlaying);
  EXPECT_EQ(form_.frame().LastCounter, hp_.clock.PerfCounter());
  EXPECT_EQ(form_.frame().PanelToggleTick, double(game_.Now()));
}

TEST_F(FormTest, StateWithoutHandlerStillPresents) {
  StartUp();
  const uint8_t unhandled = 77;
  ASSERT_FALSE(form_.HasStateHandler(unhandled));
  form_.SetGameState(unhandled);
  const uint64_t before = hp_.display.PresentCount();
  FrameNow();
  EXPECT_EQ(hp_.display.PresentCount(), before + 1);
}

TEST_F(FormTest, NoFrameRunsWhileTheSurfaceIsLost) {
  StartUp();
  int calls = 0;
  form_.SetStateHandler(gsHelp, [&](TForm1&) { ++calls; });
  form_.SetGameState(gsHelp);
  hp_.display.SetLost(true);
  const uint64_t before = hp_.display.PresentCount();
  FrameNow();
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(hp_.display.PresentCount(), before);
  hp_.display.SetLost(false);
  FrameNow();
  EXPECT_EQ(calls, 1);
}

TEST_F(FormTest, FrameStepFollowsTheClockAtAnyFrameRate) {
  form_.frame().AfpsEnabled = false;
  form_.SetGameState(gsPlaying);
  AdvanceMs(100);  // 10 frames per second
  form_.MeasureFrameStep();
  EXPECT_NEAR(form_.frame().FrameStep, 38.4, 1e-9);
  AdvanceMs(10);  // 100 frames per second
  form_.MeasureFrameStep();
  EXPECT_NEAR(form_.frame().FrameStep, 3.84, 1e-9);
}

TEST_F(FormTest, AveragedFrameStepIsTheRunningMean) {
  form_.SetGameState(gsPlaying);
  AdvanceMs(10);
  form_.MeasureFrameStep();
  AdvanceMs(30);
  form_.MeasureFrameStep();
  EXPECT_NEAR(form_.frame().FrameStep, (3.84 + 11.52) / 2, 1e-9);
  // Toggling the panel or re-entering play restarts the mean.
  form_.ResetFrameStepAveraging();
  AdvanceMs(20);
  form_.MeasureFrameStep();
  EXPECT_NEAR(form_.frame().FrameStep, 7.68, 1e-9);
}

TEST_F(FormTest, FocusLossDuringPlayDoesNotMakeThePlayerJump) {
  form_.frame().AfpsEnabled = false;
  form_.SetGameState(gsPlaying);
  AdvanceMs(16);
  form_.MeasureFrameStep();
  form_.kvelDEActivate();
  AdvanceMs(8000);  // the game stands still while inactive
  form_.kvelActivate();
  AdvanceMs(16);
  form_.MeasureFrameStep();
  EXPECT_EQ(form_.frame().FrameStep, 0.0);  // first frame measures from a fresh reading
  AdvanceMs(16);
  form_.MeasureFrameStep();
  EXPECT_NEAR(form_.frame().FrameStep, 384 * 0.016, 1e-9);
}

TEST_F(FormTest, DisplaySwitchIsLockedOutForFiveSeconds) {
  StartUp();
  const bool windowed = form_.frame().Windowed;
  form_.frame().ScreenReady = true;
  form_.ToggleDisplayMode();
  EXPECT_FALSE(form_.frame().ScreenReady);  // the current screen rebuilds itself
  form_.frame().ScreenReady = true;
  form_.ToggleDisplayMode();  // pressed again at once: ignored
  EXPECT_EQ(form_.frame().Windowed, !windowed);
  EXPECT_EQ(form_.frame().WindowedPreference, !windowed);
  EXPECT_TRUE(form_.frame().ScreenReady);
  EXPECT_EQ(hp_.settings.ReadBool("Fullscreen"), windowed);  // the preference is stored
  AdvanceMs(4000);
  FrameNow();
  form_.ToggleDisplayMode();
  EXPECT_EQ(form_.frame().Windowed, !windowed);
  AdvanceMs(1001);
  FrameNow();  // the frame clears the lockout after 5000 ms
  form_.ToggleDisplayMode();
  EXPECT_EQ(form_.frame().Windowed, windowed);
  EXPECT_TRUE(hp_.display.IsDrawable());
}

TEST_F(FormTest, HoldingTabTogglesThePanelOncePerSecond) {
  StartUp();
  form_.SetGameState(gsPlaying);
  const bool shown = form_.frame().PanelShown;
  InputEvent down;
  down.type = InputEventType::KeyDown;
  down.vk = vk::Tab;
  hp_.input.Keys().Press(vk::Tab, 15);
  int toggles = 0;
  bool last = shown;
  for (int i = 0; i < 180; ++i) {  // 3 s at 60 frames per second
    Frame();
    if (form_.frame().PanelShown != last) {
      ++toggles;
      last = form_.frame().PanelShown;
    }
  }
  EXPECT_GE(toggles, 2);
  EXPECT_LE(toggles, 3);
}

TEST_F(FormTest, TabIsIgnoredBetweenCellsAndOutsidePlay) {
  StartUp();
  game_.world.Player.StepDistance = 12;  // between cells
  form_.SetGameState(gsPlaying);
  hp_.input.Keys().Press(vk::Tab, 15);
  const bool shown = form_.frame().PanelShown;
  for (int i = 0; i < 100; ++i) {
    Frame();
  }
  EXPECT_EQ(form_.frame().PanelShown, shown);
  game_.world.Player.StepDistance = 0;
  form_.SetGameState(gsStatusScreen);
  for (int i = 0; i < 100; ++i) {
    Frame();
  }
  EXPECT_EQ(form_.frame().PanelShown, shown);
}

TEST_F(FormTest, PauseRequestTakesEffectAfterTheFrameIsShown) {
  StartUp();
  uint64_t presentsAtPause = 0;
  form_.SetStateHandler(gsPlaying, [&](TForm1& f) {
    f.frame().PauseRequested = true;
    presentsAtPause = hp_.display.PresentCount();
  });
  form_.SetGameState(gsPlaying);
  FrameNow();
  EXPECT_EQ(form_.frame().GameState, gsPaused);
  EXPECT_EQ(hp_.display.PresentCount(), presentsAtPause + 1);
}

TEST_F(FormTest, PauseRequestIsDroppedWhenPlayGivesWay) {
  StartUp();
  // F8 pending in the frame that steps onto a transporter: the journey goes on.
  form_.SetStateHandler(gsPlaying, [](TForm1& f) { f.SetGameState(gsTransportOut); });
  form_.SetGameState(gsPlaying);
  form_.frame().PauseRequested = true;
  FrameNow();
  EXPECT_EQ(form_.frame().GameState, gsTransportOut);
  EXPECT_FALSE(form_.frame().PauseRequested);
  // A request left when a menu took over between frames never pauses later play.
  form_.SetStateHandler(gsPlaying, [](TForm1&) {});
  form_.SetGameState(gsPlaying);
  form_.frame().PauseRequested = true;
  form_.SetGameState(gsStatusScreen);
  FrameNow();
  EXPECT_EQ(form_.frame().GameState, gsStatusScreen);
  form_.SetGameState(gsPlaying);
  FrameNow();
  EXPECT_EQ(form_.frame().GameState, gsPlaying);
}

TEST_F(FormTest, FatalErrorShowsTheMessageAndHaltsWithStatusOne) {
  StartUp();
  try {
    form_.FatalError("Unable to find monster slot.");
    FAIL() << "FatalError returned";
  } catch (const GameHalt& h) {
    EXPECT_EQ(h.Status(), 1);
  }
  ASSERT_EQ(hp_.shell.Messages().size(), 1u);
  EXPECT_TRUE(hp_.shell.Messages()[0].error);
  EXPECT_EQ(hp_.shell.Messages()[0].text, "Unable to find monster slot.");
  EXPECT_TRUE(form_.frame().FatalInProgress);
  EXPECT_TRUE(form_.frame().Closed);
  EXPECT_FALSE(hp_.display.IsDrawable());
  // Regaining focus during a fatal error does not bring the surface back.
  form_.kvelActivate();
  EXPECT_FALSE(hp_.display.IsDrawable());
}

TEST_F(FormTest, MessageLoopStartsAfterHalfASecondAndRoutesErrors) {
  int frames = 0;
  form_.SetStateHandler(gsShowWindow, [&](TForm1&) {
    if (++frames == 3) throw FatalMessage("Unable to find monster slot.");
  });
  form_.RunStartUp = [](TForm1& f) { f.SetGameState(gsShowWindow); };
  int passes = 0;
  const int status = RunLoop(1000, [&](long) {
    ++passes;
    return true;
  });
  EXPECT_EQ(status, 1);
  EXPECT_EQ(frames, 3);
  // Start-up waits 500 ms: 30 passes of 16.667 ms before the first frame.
  EXPECT_GE(passes, 30);
  EXPECT_LE(passes, 33);
  ASSERT_FALSE(hp_.shell.Messages().empty());
  EXPECT_EQ(hp_.shell.Messages().back().text, "Unable to find monster slot.");
}

TEST_F(FormTest, UnexpectedExceptionsAreShownWithTheErrorPrefix) {
  form_.RunStartUp = [](TForm1& f) { f.SetGameState(gsHelp); };
  form_.SetStateHandler(gsHelp, [](TForm1&) { throw EPictureCollectionError("Image 'Foo' not found"); });
  const int status = RunLoop(100000, [](long) { return true; });
  EXPECT_EQ(status, 1);
  ASSERT_FALSE(hp_.shell.Messages().empty());
  EXPECT_EQ(hp_.shell.Messages().back().text, "ERROR:-\r\rImage 'Foo' not found");
}

TEST_F(FormTest, QuitEventClosesTheForm) {
  InputEvent quit;
  quit.type = InputEventType::Quit;
  hp_.input.Push(quit);
  const int status = RunLoop(100000, [](long) { return true; });
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(form_.frame().Closed);
}

}  // namespace
}  // namespace gravik

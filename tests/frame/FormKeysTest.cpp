// The form's key table, the keys of the screens and the keys polled in play,
// on the headless platform.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "data/Settings.h"
#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "frame/Keys.h"
#include "frame/PlayerData.h"
#include "app/Program.h"
#include "app/StartUp.h"
#include "platform/headless/HeadlessPlatform.h"
#include "support/GameTest.h"

namespace gravik {
namespace {

class FormKeysTest : public testing::GameTest {
 protected:
  FormKeysTest() : GameTest(Audible()) {}
  void SetUp() override {
    GRAVIK_REQUIRE_DATA_FILES();
    ASSERT_EQ(Start(), 0);  // the real start-up
  }
  // Takes the timed notice a key showed, as "text/ms".
  void TakeNotice() {
    PanelState& p = game_.panel;
    if (!p.NoticeArmed) return;
    notices_.push_back(p.NoticeText + "/" + std::to_string(p.NoticeDuration));
    p.NoticeArmed = false;
  }
  // A key tapped on the form, and the notice it showed taken.
  void Key(uint8_t vk, uint8_t shift = 0) {
    Tap(vk, 0, shift);
    TakeNotice();
  }

  InputState& input_ = game_.input;
  std::vector<std::string> notices_;
};

constexpr uint8_t kCtrlShift = kCtrlBit | kShiftBit;

TEST_F(FormKeysTest, AfpsToggleIsDebounced) {
  form_.SetGameState(gsPlaying);
  AdvanceMs(501);
  const bool before = form_.frame().AfpsEnabled;
  Key('A', kCtrlShift);
  AdvanceMs(300);
  Key('A', kCtrlShift);
  EXPECT_EQ(form_.frame().AfpsEnabled, !before);
  EXPECT_EQ(notices_, (std::vector<std::string>{before ? "AFPS OFF/1000" : "AFPS ON/1000"}));
  AdvanceMs(201);
  Key('A', kCtrlShift);
  EXPECT_EQ(form_.frame().AfpsEnabled, before);
  Key('A', kShiftBit);  // not Ctrl+Shift
  EXPECT_EQ(notices_.size(), 2u);
}

TEST_F(FormKeysTest, KeyboardModeSwitchSavesAndAnnounces) {
  EnsurePlayerProfile(game_);
  ASSERT_TRUE(HasCurrentProfile(game_));
  form_.SetGameState(gsPlaying);
  Key('K', kCtrlShift);
  EXPECT_EQ(input_.KeyboardMode, 1);
  EXPECT_EQ(input_.Slot(kSlotUp).Key, 40);
  Key('L', kCtrlShift);
  EXPECT_EQ(notices_, (std::vector<std::string>{"KBI New/1000", "40/1000"}));
  // The profile was saved with the new bindings, and "gravik.ini" holds the mode.
  ProfileState saved;
  saved.Folder = game_.profile.Folder;
  saved.CurrentFile = game_.profile.CurrentFile;
  ASSERT_TRUE(LoadProfile(saved));
  EXPECT_EQ(saved.Record->Keys[0].Key, 40);
  EXPECT_EQ(ReadIniSettings(IniPath(game_.folders.Documents)).KeyboardMode, 1);
  EXPECT_EQ(game_.keyLabels.MapKey, "M");  // scan code 50 names as "M"
  input_.Slot(kSlotStatus) = KeySlot{0, 0};
  input_.Slot(kSlotMap).Key = 300;
  EXPECT_EQ(PanelKeyLabelsFor(input_).StatusKey, "Undefined");
  EXPECT_EQ(PanelKeyLabelsFor(input_).MapKey, "???");
}

TEST_F(FormKeysTest, StatusKeyF2WaitsAfterEnteringPlayAndForACell) {
  form_.SetGameState(gsPlaying);
  AdvanceMs(400);
  Key(vk::F2);
  EXPECT_EQ(State(), gsPlaying);
  AdvanceMs(101);
  game_.world.Player.Moving = 2;  // between cells
  Key(vk::F2);
  EXPECT_EQ(State(), gsPlaying);
  game_.world.Player.Moving = 0;
  game_.world.Monsters[0].HitSide = 3;
  Key(vk::F2);
  EXPECT_EQ(State(), gsStatusScreen);
  EXPECT_EQ(game_.world.Monsters[0].HitSide, 0);
  EXPECT_EQ(form_.frame().PanelToggleTick, double(game_.Now()));
}

TEST_F(FormKeysTest, EscapeMovesOneScreenOnly) {
  form_.SetGameState(gsMainMenu);
  Key(vk::Escape, kShiftBit);
  EXPECT_EQ(State(), gsMainMenu);
  Key(vk::Escape);
  EXPECT_EQ(State(), gsConfirmExit);
  Key(vk::Escape);
  EXPECT_EQ(State(), gsMainMenu);
  Key(vk::F1);
  EXPECT_EQ(State(), gsHelp);
  Key(vk::Escape);
  EXPECT_EQ(State(), gsMainMenu);
  form_.SetGameState(gsProfiles);
  Key(vk::Escape);
  EXPECT_EQ(State(), gsOptions);
}

TEST_F(FormKeysTest, TitleCardEndsOnAKeyUnlessANewGameWaitsForItsMusic) {
  form_.SetGameState(gsLevelIntro);
  game_.values.TitleCardTick = game_.Now();
  game_.values.NewGameStarted = true;
  game_.audio.MusicAvailable = true;
  game_.audio.MusicOn = true;
  Key(vk::Space);
  EXPECT_EQ(game_.values.TitleCardTick, game_.Now());
  game_.audio.MusicOn = false;
  InputEvent click;
  click.type = InputEventType::MouseDown;
  form_.HandleEvent(click);
  EXPECT_EQ(game_.Now() - game_.values.TitleCardTick, 10000u);
}

TEST_F(FormKeysTest, PauseAndResume) {
  form_.SetGameState(gsPlaying);
  Key(vk::F8);
  EXPECT_TRUE(form_.frame().PauseRequested);
  EXPECT_EQ(State(), gsPlaying);
  form_.SetGameState(gsPaused);
  game_.values.FrozenLevelClock = 1234;
  HoldAndLet('M', 50);  // a map key pressed during the pause is forgotten
  Key(vk::F8);
  EXPECT_EQ(State(), gsPlaying);
  EXPECT_FALSE(form_.frame().PauseRequested);
  EXPECT_EQ(game_.Now() - game_.values.LevelClock, 1234u);  // the clocks thawed
  EXPECT_EQ(gravik::KeyDown(input_, hp_.input.Keys(), 'M'), 0);
}

TEST_F(FormKeysTest, CaptureInOptionsTakesTheKeyBeforeEscape) {
  form_.SetGameState(gsOptions);
  StartKeyCapture(input_, kSlotMap);
  Key(vk::Back);
  EXPECT_TRUE(input_.Capture.Waiting);
  Key(vk::Escape);
  EXPECT_FALSE(input_.Capture.Waiting);
  EXPECT_EQ(input_.Slot(kSlotMap), (KeySlot{1, 27}));
  EXPECT_EQ(input_.Slot(kSlotLoseLife), (KeySlot{0, 0}));
}

TEST_F(FormKeysTest, BackspaceInPlaySwitchesTheGraphicsStyle) {
  form_.SetGameState(gsPrepareScenario);
  FrameNow();  // a level and its graphics
  form_.SetGameState(gsPlaying);
  Type("\b");
  EXPECT_EQ(game_.world.GraphicsStyle, 2);
  Type("\b");
  EXPECT_EQ(game_.world.GraphicsStyle, 1);
  game_.gfx.MayChangeBlockGraphics = false;
  Type("\b");
  EXPECT_EQ(game_.world.GraphicsStyle, 1);
}

TEST_F(FormKeysTest, LoseALifeKeyWaitsTwoSecondsAfterPlayBegins) {
  form_.SetGameState(gsPlaying);
  AdvanceMs(2000);
  HoldAndLet(vk::Escape, 1);
  PollPlayKeys(form_);
  EXPECT_FALSE(game_.world.Player.Dead);
  AdvanceMs(1);
  HoldAndLet(vk::Escape, 1);
  PollPlayKeys(form_);
  EXPECT_TRUE(game_.world.Player.Dead);
  EXPECT_TRUE(game_.world.Player.GaveUp);
}

TEST_F(FormKeysTest, PolledStatusAndMapKeys) {
  form_.SetGameState(gsPlaying);
  AdvanceMs(501);
  game_.values.LevelClock = game_.Now() - 777;
  HoldAndLet('M', 50);
  PollPlayKeys(form_);
  EXPECT_EQ(State(), gsMapView);
  EXPECT_EQ(game_.values.FrozenLevelClock, 777u);  // the clocks froze

  form_.SetGameState(gsPlaying);
  AdvanceMs(501);
  input_.JoystickEnabled = true;
  hp_.input.SetJoystick(JoystickState{true, 32768, 32768, 2});  // button 2
  PollPlayKeys(form_);
  EXPECT_EQ(State(), gsStatusScreen);
}

// The pad's Start is the status key and Back the map key, while the joystick
// is enabled; neither is one of the game's buttons 1 to 4.
TEST_F(FormKeysTest, PadStartAndBackInPlayOpenTheStatusScreenAndTheMap) {
  form_.SetGameState(gsPlaying);
  AdvanceMs(501);
  hp_.input.SetJoystick(JoystickState{true, 32768, 32768, kPadStart | kPadBack});
  PollPlayKeys(form_);
  EXPECT_EQ(State(), gsPlaying) << "joystick not enabled";
  input_.JoystickEnabled = true;
  hp_.input.SetJoystick(JoystickState{true, 32768, 32768, kPadStart});
  PollPlayKeys(form_);
  EXPECT_EQ(State(), gsStatusScreen);

  form_.SetGameState(gsPlaying);
  AdvanceMs(501);
  game_.values.LevelClock = game_.Now() - 555;
  hp_.input.SetJoystick(JoystickState{true, 32768, 32768, kPadBack});
  PollPlayKeys(form_);
  EXPECT_EQ(State(), gsMapView);
  EXPECT_EQ(game_.values.FrozenLevelClock, 555u);
  EXPECT_EQ(ReadJoystick(input_, hp_.input).Buttons, 0);
}

TEST_F(FormKeysTest, PlayerReadsBoundKeysAndPureJoystickDirections) {
  KeyPlayerInput controls(form_);
  hp_.input.Keys().Press(vk::Left, 203);
  EXPECT_TRUE(controls.KeyHeld(4));
  EXPECT_FALSE(controls.KeyHeld(2));
  EXPECT_FALSE(controls.JoystickHeld(1));  // joystick off
  input_.JoystickEnabled = true;
  hp_.input.SetJoystick(JoystickState{true, 32768, 0, 0});
  EXPECT_TRUE(controls.JoystickHeld(1));
  hp_.input.SetJoystick(JoystickState{true, 0, 0, 0});  // up and left
  for (int d = 1; d <= 4; ++d) EXPECT_FALSE(controls.JoystickHeld(d));
}

TEST_F(FormKeysTest, AudioKeysRefusedWhileALetterIsBound) {
  game_.audio.SoundAvailable = true;
  game_.audio.SoundOn = true;
  form_.SetGameState(gsPlaying);
  input_.Slot(kSlotMap).Key = 'S';
  UpdateAudioKeysUsable(input_);
  HoldAndLet('Q', 16);
  PollAudioKeys(form_);
  EXPECT_TRUE(game_.audio.SoundOn);

  input_.Slot(kSlotMap).Key = 'M';
  UpdateAudioKeysUsable(input_);
  HoldAndLet('Q', 16);
  PollAudioKeys(form_);
  EXPECT_FALSE(game_.audio.SoundOn);
}


// --- faults found in review ---------------------------------------------------

TEST_F(FormKeysTest, SpaceTappedDuringPlayDoesNotCloseTheStatusScreenByItself) {
  form_.SetGameState(gsPlaying);
  AdvanceMs(501);
  HoldAndLet(vk::Space, 57);
  Key(vk::F2);
  ASSERT_EQ(State(), gsStatusScreen);
  Frame(60);
  EXPECT_EQ(State(), gsStatusScreen);
  Key(vk::Space);  // a fresh press after the half second does
  EXPECT_EQ(State(), gsPlaying);
}

TEST_F(FormKeysTest, EnterPressedDuringPlayNeverSkipsTheRestartConfirmation) {
  SetKeyboardMode(input_, 1);
  form_.SetGameState(gsPlaying);
  HoldAndLet(vk::Return, 28);
  Key('R', kShiftBit);
  ASSERT_EQ(State(), gsConfirmRestart);
  Frame(30);
  EXPECT_EQ(State(), gsConfirmRestart);
  Key(vk::Escape);
  EXPECT_EQ(State(), gsPlaying);
}

TEST_F(FormKeysTest, DisplaySwitchDuringPlayCountsTheStretchPlayed) {
  form_.SetGameState(gsPlaying);
  game_.values.TotalPlaySeconds = 0;
  AdvanceMs(2500);
  Key(vk::F10);
  EXPECT_EQ(State(), gsStatusScreen);
  EXPECT_EQ(game_.values.TotalPlaySeconds, 2u);
}

TEST_F(FormKeysTest, EnteringPlayClearsTheMusicRestartMark) {
  form_.SetGameState(gsLosingLife);
  MarkMusicRestart(game_.audio);
  form_.SetGameState(gsPlaying);
  EXPECT_FALSE(game_.audio.MusicRestartMark) << "the next pause keeps the track's place";
}

TEST_F(FormKeysTest, EnteringPlayNeverWritesThePlayerOverCellsThatKeepTheirBlock) {
  World& w = game_.world;
  const int x = 10, y = 20;
  w.Player.X = x;
  w.Player.Y = y;
  w.Player.ArrivedByTransporter = false;
  for (uint8_t keep : {w.Named.EggHatch, BlockSkullGate, w.Named.Save}) {
    w.SetMapByte(x, y, keep);
    form_.SetGameState(gsPlaying);
    EXPECT_EQ(w.At(x, y), keep);
    form_.SetGameState(gsStatusScreen);
  }
  w.SetMapByte(x, y, BlockEmpty);
  form_.SetGameState(gsPlaying);
  EXPECT_EQ(w.At(x, y), w.Named.Player1);
}

TEST_F(FormKeysTest, MapViewClosesOnEnterWithAClick) {
  form_.SetGameState(gsPlaying);
  AdvanceMs(501);
  HoldAndLet('M', 50);
  PollPlayKeys(form_);
  ASSERT_EQ(State(), gsMapView);
  FrameNow();  // the map's entry
  Key(vk::Return);
  EXPECT_EQ(State(), gsMapView) << "not within half a second";
  AdvanceMs(501);
  Key(vk::Return);
  EXPECT_EQ(State(), gsPlaying);
  EXPECT_TRUE(IsSoundPlaying(game_.audio, "click1.wav") || !game_.audio.SoundAvailable);
}

TEST_F(FormKeysTest, PanelToggleAndMapCloseAcrossTheTickWrap) {
  form_.SetStateHandler(gsPlaying, [](TForm1&) {});  // the frame's own steps only
  auto toBeforeWrap = [&](uint32_t ms) { AdvanceMs(uint32_t(0x100000000ull - ms - game_.Now())); };
  toBeforeWrap(1100);
  form_.SetGameState(gsPlaying);
  hp_.input.Keys().Press(vk::Tab, 15);
  AdvanceMs(1200);  // 100 ms past the wrap
  FrameNow();
  const bool shown = form_.frame().PanelShown;
  AdvanceMs(16);
  FrameNow();  // held now
  EXPECT_NE(form_.frame().PanelShown, shown) << "1216 ms since the last toggle";
  hp_.input.Keys().Release(vk::Tab, 15);

  toBeforeWrap(1200);
  form_.SetGameState(gsPlaying);
  AdvanceMs(501);
  HoldAndLet('M', 50);
  PollPlayKeys(form_);
  ASSERT_EQ(State(), gsMapView);
  FrameNow();  // the map's entry, 699 ms before the wrap
  AdvanceMs(1000);
  Key(vk::Return);
  EXPECT_EQ(State(), gsPlaying) << "the map closes after the wrap";
}

TEST_F(FormKeysTest, MouseEnterPutsThePointerWhereTheMouseIs) {
  InputEvent move;
  move.type = InputEventType::MouseMove;
  move.x = 123;
  move.y = 234;
  hp_.input.Push(move);
  InputEvent ev;
  while (hp_.input.PollEvent(ev)) {}  // the platform's mouse is now at (123, 234)
  form_.frame().MenusRunning = true;
  InputEvent enter;
  enter.type = InputEventType::MouseEnter;
  form_.HandleEvent(enter);
  ASSERT_NE(game_.playfield.Pointer, nullptr);
  EXPECT_EQ(game_.playfield.Pointer->X, 123);
  EXPECT_EQ(game_.playfield.Pointer->Y, 234);
}

TEST_F(FormKeysTest, CompletionScreenReadsTheAudioKeys) {
  game_.audio.SoundAvailable = true;
  game_.audio.SoundOn = true;
  form_.SetGameState(gsScenarioComplete);
  FrameNow();
  HoldAndLet('Q', 16);
  FrameNow();
  EXPECT_FALSE(game_.audio.SoundOn);
}

TEST_F(FormKeysTest, DebugSwitchShowsTheFrameRate) {
  game_.options.debug = true;
  form_.SetGameState(gsPrepareScenario);
  FrameNow();
  form_.SetGameState(gsPlaying);
  Frame(130);
  EXPECT_GE(game_.values.FramesPerSecond, 60);
  EXPECT_LE(game_.values.FramesPerSecond, 64);
}

TEST_F(FormKeysTest, ScenarioThatKeepsItsGraphicsRefusesTheStyleSwitch) {
  game_.scenario.Header.KeepGraphics = 0;
  form_.SetGameState(gsPrepareScenario);
  FrameNow();
  EXPECT_TRUE(game_.gfx.MayChangeBlockGraphics);
  // The same scenario marked to keep its graphics.
  std::vector<uint8_t> bytes = game_.archive->TakeItem(BuiltInScenarioName);
  game_.archive->ReleaseItem();
  Scenario s;
  ASSERT_TRUE(ReadScenarioInfo(s, bytes));  // a file's info and header check words agree
  ASSERT_EQ(LoadScenario(s, bytes), ScenarioLoaded);
  s.Header.KeepGraphics = 1;
  const std::string file = home_ / "keep.zq";
  const std::vector<uint8_t> out = WriteScenario(s);
  ASSERT_TRUE(WriteWholeFileAtomic(file, out.data(), out.size()));
  game_.options.playScenario = file;
  form_.SetGameState(gsPrepareScenario);
  FrameNow();
  EXPECT_FALSE(game_.gfx.MayChangeBlockGraphics);
  form_.SetGameState(gsPlaying);
  Type("\b");
  EXPECT_EQ(game_.world.GraphicsStyle, 1);
}

TEST(StartUpKeys, HoldingWDuringStartUpForcesAWindow) {
  GRAVIK_REQUIRE_DATA_FILES();
  testing::TempHome home;
  GameOptions o = testing::GameHarness::Audible();
  o.startFullScreen = true;
  testing::GameHarness run(o);
  // W goes down while the game is starting: the event waits in the queue.
  run.QueueKeyDown('W', 17);
  ASSERT_EQ(run.Start(), 0);
  EXPECT_TRUE(run.game_.startUp.ForceWindow);
  EXPECT_TRUE(run.game_.frame.Windowed);
}

}  // namespace
}  // namespace gravik

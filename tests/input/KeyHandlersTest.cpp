// The form's key and mouse handlers and the keys polled in play, on the
// headless platform.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "frame/Form.h"
#include "input/KeyHandlers.h"
#include "platform/headless/HeadlessPlatform.h"

namespace gravik {
namespace {

class KeyHandlersTest : public ::testing::Test {
 protected:
  KeyHandlersTest() : home_(MakeHome()), platform_(hp_.Get()), game_(platform_, Options()), form_(game_) {
    hp_.shell.SetEcho(false);
    form_.FormCreate();
    form_.Timer1Timer();
    InstallInputHandlers(form_, input_);
    input_.Hooks.ShowTimedMessage = [this](TForm1&, const std::string& text, uint32_t ms) {
      notices_.push_back(text + "/" + std::to_string(ms));
    };
  }
  ~KeyHandlersTest() override { std::filesystem::remove_all(home_); }

  static GameOptions Options() {
    GameOptions o;
    o.headless = true;
    return o;
  }
  static std::string MakeHome() {
    char tmpl[] = "/tmp/gravik-input-XXXXXX";
    const char* d = mkdtemp(tmpl);
    setenv("GRAVIK_HOME", d, 1);
    return d;
  }
  void AdvanceMs(uint32_t ms) { hp_.clock.Advance(uint64_t(ms) * 1000); }
  void Key(uint8_t vk, uint8_t shift = 0) {
    InputEvent ev;
    ev.type = InputEventType::KeyDown;
    ev.vk = vk;
    ev.shift = shift;
    form_.HandleEvent(ev);
  }
  void Type(const std::string& text) {  // characters as the platform types them
    InputEvent ev;
    ev.type = InputEventType::Text;
    ev.text = text;
    form_.HandleEvent(ev);
  }
  uint8_t State() { return form_.frame().GameState; }
  // A key tapped since the last frame, as the platform reports it.
  void Tap(uint8_t vk, uint8_t scan) {
    hp_.input.Keys().Press(vk, scan);
    hp_.input.Keys().Release(vk, scan);
  }

  std::string home_;
  HeadlessPlatform hp_;
  Platform platform_;
  Game game_;
  TForm1 form_;
  InputState input_;
  std::vector<std::string> notices_;
};

constexpr uint8_t kCtrlShift = kCtrlBit | kShiftBit;

TEST_F(KeyHandlersTest, AfpsToggleIsDebounced) {
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

TEST_F(KeyHandlersTest, KeyboardModeSwitchSavesAndAnnounces) {
  int saves = 0, settings = 0;
  input_.Hooks.SaveProfile = [&](TForm1&) { ++saves; };
  input_.Hooks.WriteKeyboardModeSetting = [&](TForm1&) { ++settings; };
  form_.SetGameState(gsPlaying);
  Key('K', kCtrlShift);
  EXPECT_EQ(input_.KeyboardMode, 1);
  EXPECT_EQ(input_.Slot(kSlotUp).Key, 40);
  Key('L', kCtrlShift);
  EXPECT_EQ(notices_, (std::vector<std::string>{"KBI New/1000", "40/1000"}));
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(settings, 1);
  EXPECT_EQ(game_.keyLabels.MapKey, "M");  // scan code 50 names as "M"
  input_.Slot(kSlotStatus) = KeySlot{0, 0};
  input_.Slot(kSlotMap).Key = 300;
  EXPECT_EQ(PanelKeyLabelsFor(input_).StatusKey, "Undefined");
  EXPECT_EQ(PanelKeyLabelsFor(input_).MapKey, "???");
}

TEST_F(KeyHandlersTest, StatusKeyF2WaitsAfterEnteringPlayAndForACell) {
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

TEST_F(KeyHandlersTest, EscapeMovesOneScreenOnly) {
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

TEST_F(KeyHandlersTest, TitleCardEndsOnAKeyUnlessANewGameWaitsForItsMusic) {
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

TEST_F(KeyHandlersTest, PauseAndResume) {
  int thawed = 0;
  input_.Hooks.ThawClocks = [&](TForm1&) { ++thawed; };
  form_.SetGameState(gsPlaying);
  Key(vk::F8);
  EXPECT_TRUE(form_.frame().PauseRequested);
  EXPECT_EQ(State(), gsPlaying);
  form_.SetGameState(gsPaused);
  Tap('M', 50);  // a map key pressed during the pause is forgotten
  Key(vk::F8);
  EXPECT_EQ(State(), gsPlaying);
  EXPECT_FALSE(form_.frame().PauseRequested);
  EXPECT_EQ(thawed, 1);
  EXPECT_EQ(KeyDown(input_, hp_.input.Keys(), 'M'), 0);
}

TEST_F(KeyHandlersTest, CaptureInOptionsTakesTheKeyBeforeEscape) {
  int labels = 0;
  input_.Hooks.KeyLabelsChanged = [&](TForm1&) { ++labels; };
  form_.SetGameState(gsOptions);
  StartKeyCapture(input_, kSlotMap);
  Key(vk::Back);
  EXPECT_TRUE(input_.Capture.Waiting);
  Key(vk::Escape);
  EXPECT_FALSE(input_.Capture.Waiting);
  EXPECT_EQ(input_.Slot(kSlotMap), (KeySlot{1, 27}));
  EXPECT_EQ(input_.Slot(kSlotLoseLife), (KeySlot{0, 0}));
  EXPECT_EQ(labels, 1);
}

TEST_F(KeyHandlersTest, BackspaceInPlaySwitchesTheGraphicsStyle) {
  int refreshed = 0;
  input_.Hooks.RefreshBlockGraphics = [&](TForm1&) { ++refreshed; };
  form_.SetGameState(gsPlaying);
  Type("\b");
  EXPECT_EQ(game_.world.GraphicsStyle, 2);
  Type("\b");
  EXPECT_EQ(game_.world.GraphicsStyle, 1);
  game_.gfx.MayChangeBlockGraphics = false;
  Type("\b");
  EXPECT_EQ(game_.world.GraphicsStyle, 1);
  EXPECT_EQ(refreshed, 2);
}

TEST_F(KeyHandlersTest, LoseALifeKeyWaitsTwoSecondsAfterPlayBegins) {
  form_.SetGameState(gsPlaying);
  AdvanceMs(2000);
  Tap(vk::Escape, 1);
  PollPlayKeys(form_, input_);
  EXPECT_FALSE(game_.world.Player.Dead);
  AdvanceMs(1);
  Tap(vk::Escape, 1);
  PollPlayKeys(form_, input_);
  EXPECT_TRUE(game_.world.Player.Dead);
  EXPECT_TRUE(game_.world.Player.GaveUp);
}

TEST_F(KeyHandlersTest, PolledStatusAndMapKeys) {
  int frozen = 0;
  input_.Hooks.FreezeClocks = [&](TForm1&) { ++frozen; };
  form_.SetGameState(gsPlaying);
  AdvanceMs(501);
  Tap('M', 50);
  PollPlayKeys(form_, input_);
  EXPECT_EQ(State(), gsMapView);
  EXPECT_EQ(frozen, 1);

  form_.SetGameState(gsPlaying);
  AdvanceMs(501);
  input_.JoystickEnabled = true;
  hp_.input.SetJoystick(JoystickState{true, 32768, 32768, 2});  // button 2
  PollPlayKeys(form_, input_);
  EXPECT_EQ(State(), gsStatusScreen);
}

TEST_F(KeyHandlersTest, PlayerReadsBoundKeysAndPureJoystickDirections) {
  KeyPlayerInput controls(form_, input_);
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

TEST_F(KeyHandlersTest, AudioKeysRefusedWhileALetterIsBound) {
  game_.audio.SoundAvailable = true;
  game_.audio.SoundOn = true;
  form_.SetGameState(gsPlaying);
  input_.Slot(kSlotMap).Key = 'S';
  UpdateAudioKeysUsable(input_);
  Tap('Q', 16);
  PollAudioKeys(form_, input_);
  EXPECT_TRUE(game_.audio.SoundOn);

  input_.Slot(kSlotMap).Key = 'M';
  UpdateAudioKeysUsable(input_);
  Tap('Q', 16);
  PollAudioKeys(form_, input_);
  EXPECT_FALSE(game_.audio.SoundOn);
}

}  // namespace
}  // namespace gravik

#include "frame/Keys.h"

#include <string>

#include "audio/Audio.h"
#include "frame/Demo.h"
#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "frame/PlayerData.h"
#include "frame/Screenshot.h"
#include "platform/Clock.h"
#include "render/Panel.h"
#include "frame/MenuFocus.h"
#include "world/World.h"

namespace gravik {

namespace {

constexpr uint32_t kMenuKeyDebounceMs = 500;
constexpr uint32_t kLoseLifeDelayMs = 2000;
constexpr uint32_t kTitleCardSkipMs = 10000;

KeyState& Keys(TForm1& form) { return form.game().platform.input.Keys(); }

void Click(Game& g) { PlaySound(g.audio, "click1.wav"); }

void MovePointer(Game& g, int x, int y) {
  if (TPlayer* pointer = g.playfield.Pointer) {
    pointer->X = x;
    pointer->Y = y;
  }
}

// Status screen from play (F2, the status key, joystick button 2).
void EnterStatusFromPlay(TForm1& form) {
  Game& g = form.game();
  if (g.playfield.Background) g.playfield.Background->Visible = false;
  ClearHitMarks(g.world);
  form.SetGameState(gsStatusScreen);
  Click(g);
  form.frame().PanelToggleTick = g.Now();
}

bool F10Handled(uint8_t state) {
  switch (state) {
    case gsMainMenu:
    case gsPlaying:
    case gsMapView:
    case gsGameOver:
    case gsStatusScreen:
    case gsOptions:
    case gsHelp:
    case gsScenarioComplete: return true;
    default: return false;
  }
}

}  // namespace

bool KeyIsSlot(const InputState& in, const KeyEvent& key, int slot) {
  const KeySlot& s = in.Slot(slot);
  if (!s.Enabled || s.Key == 0) return false;
  return s.Key == (in.KeyboardMode == 1 ? key.scan : key.vk);
}

bool MenuKeyReady(TForm1& form) {
  return TicksSince(form.game().Now(), form.frame().PanelToggleTick) > kMenuKeyDebounceMs;
}

void MenuKeyTaken(TForm1& form) { form.frame().PanelToggleTick = form.game().Now(); }

bool PlayerOnCell(const Game& g) { return g.world.Player.Moving == 0 && g.world.Player.StepDistance == 0.0; }

void ShowNotice(Game& g, const std::string& text, uint32_t ms) { ShowTimedMessage(g.panel, text, ms, g.Now()); }

void ShowNoticeEverywhere(Game& g, const std::string& text, uint32_t ms) {
  ShowTimedMessage(g.panel, text, ms, g.Now());
  g.panel.NoticeEverywhere = true;
}

PanelKeyLabels PanelKeyLabelsFor(const InputState& in) {
  auto name = [&in](int code) { return KeyNameOf(in, code); };
  auto label = [&](int slot) {
    const KeySlot& s = in.Slot(slot);
    return PanelKeyName(s.Key, !s.Enabled, name);
  };
  PanelKeyLabels l;
  l.MapKey = label(kSlotMap);
  l.StatusKey = label(kSlotStatus);
  return l;
}

void ClearHitMarks(World& w) {
  for (TMonster& m : w.Monsters) m.HitSide = 0;
  for (TMeteor& m : w.Meteors) m.HitSide = 0;
  for (TSpirit& s : w.Spirits) s.HitSide = 0;
}

void EndTitleCard(Game& g) {
  if (g.values.NewGameStarted && g.audio.MusicOn && g.audio.MusicAvailable) return;
  g.values.TitleCardTick = g.Now() - kTitleCardSkipMs;
}

void NoteJoystickAtEntry(Game& g) {
  g.values.JoyButtonsAtEntry = g.input.JoystickEnabled ? ReadJoystick(g.input, g.platform.input).PadButtons : 0;
}

uint8_t NewJoystickButtons(Game& g) {
  if (!g.input.JoystickEnabled) return 0;
  const uint8_t now = ReadJoystick(g.input, g.platform.input).PadButtons;
  const uint8_t fresh = uint8_t(now & ~g.values.JoyButtonsAtEntry);
  g.values.JoyButtonsAtEntry &= now;  // a held button counts again once let go
  return fresh;
}

void WatchPad(Game& g) {
  GameValues& v = g.values;
  const JoystickReading r = ReadJoystick(g.input, g.platform.input);
  v.PadPressed = uint8_t(r.PadButtons & ~v.PadButtons);
  v.PadPushed = uint8_t(r.Direction & ~v.PadDirection);
  v.PadButtons = r.PadButtons;
  v.PadDirection = r.Direction;
  if (v.PadPressed || v.PadPushed) v.PadLastUsed = true;
}

void NoteOtherDeviceUsed(Game& g) { g.values.PadLastUsed = false; }

void FormKeyDown(TForm1& form, const KeyEvent& key) {
  Game& g = form.game();
  // Every row tests the state the key arrived in, so a key moves one screen only.
  const uint8_t state = form.frame().GameState;
  // F12 saves the frame on the screen, in every state; no screen sees the key.
  if (key.vk == vk::F12) {
    if (!key.repeat) TakeScreenshot(form);
    return;
  }
  if (DemoTakesKey(form)) return;
  // The screen's own keys first; a key it left goes to the menu focus.
  g.widgets.KeyTaken = false;
  if (const ScreenUnit* unit = form.Unit(state)) unit->KeyDown(form, key);
  if (form.frame().GameState == state && !g.widgets.KeyTaken) MenuFocusKeyDown(form, key);
  if (key.vk == vk::F10 && F10Handled(state)) {
    if (state != gsOptions) PauseMusic(g.audio);
    form.ToggleDisplayMode();
    SaveCurrentProfile(g);
    if (state == gsPlaying) form.SetGameState(gsStatusScreen);
  }
}

void FormKeyPress(TForm1& form, char key) {
  Game& g = form.game();
  if (g.input.TextEntry.Active && key != '\r') TextEntryKeyPress(g.input.TextEntry, key);
  if (const ScreenUnit* unit = form.Unit(form.frame().GameState)) unit->KeyPress(form, key);
}

void FormMouse(TForm1& form, const InputEvent& ev) {
  Game& g = form.game();
  FrameState& f = form.frame();
  switch (ev.type) {
    case InputEventType::MouseMove:
      if (f.MenusRunning) MovePointer(g, ev.x, ev.y);
      break;
    case InputEventType::MouseEnter:
      if (f.MenusRunning && f.Windowed) {
        int x = 0, y = 0;
        g.platform.input.MousePosition(x, y);
        MovePointer(g, x, y);
      }
      break;
    case InputEventType::MouseDown:
      if (DemoTakesClick(form)) break;
      [[fallthrough]];
    case InputEventType::MouseUp:
    case InputEventType::MouseWheel:
      if (const ScreenUnit* unit = form.Unit(f.GameState)) unit->Mouse(form, ev);
      break;
    default: break;
  }
}

void PlayingKeyDown(TForm1& form, const KeyEvent& key) {
  Game& g = form.game();
  FrameState& f = form.frame();
  InputState& in = g.input;
  const bool ctrlShift = key.shift == (kShiftBit | kCtrlBit);
  if (ctrlShift) {
    if (key.vk == 'A' && MenuKeyReady(form)) {
      f.AfpsEnabled = !f.AfpsEnabled;
      ShowNotice(g, f.AfpsEnabled ? "AFPS ON" : "AFPS OFF");
      f.PanelToggleTick = g.Now();
      if (f.AfpsEnabled) form.ResetFrameStepAveraging();
    } else if (key.vk == 'K') {
      ShowNotice(g, SwitchKeyboardMode(in));
      SaveCurrentProfile(g);
      SaveKeyboardModeSetting(g);
      g.keyLabels = PanelKeyLabelsFor(in);
      RedrawSidePanel(g);
    } else if (key.vk == 'L') {
      ShowNotice(g, std::to_string(in.Slot(kSlotUp).Key));
    }
  }
  if (key.vk == vk::F2 && PlayerOnCell(g) && MenuKeyReady(form)) EnterStatusFromPlay(form);
  if (key.vk == 'R' && key.shift == kShiftBit) form.SetGameState(gsConfirmRestart);
  if (key.vk == vk::F8) f.PauseRequested = true;
  // Trying a scenario from the editor: F5 goes back to it at once.
  if (key.vk == vk::F5 && g.options.editorTrial && !key.repeat) form.SetGameState(gsMainMenu);
}

void PlayingKeyPress(TForm1& form, char key) {
  Game& g = form.game();
  if (key == 8 && PlayerOnCell(g) && g.gfx.MayChangeBlockGraphics) {
    g.world.GraphicsStyle = g.world.GraphicsStyle == 1 ? 2 : 1;
    RefreshBlockGraphics(g);
  }
}

void PollPlayKeys(TForm1& form) {
  Game& g = form.game();
  FrameState& f = form.frame();
  if (f.GameState != gsPlaying) return;
  InputState& in = g.input;
  KeyState& keys = Keys(form);
  const uint32_t now = g.Now();
  JoystickReading joy;
  if (in.JoystickEnabled) joy = ReadJoystick(in, g.platform.input);

  const bool status = SlotKeyDown(in, keys, kSlotStatus) || joy.Button(2) || joy.Start();
  if (status && PlayerOnCell(g) && MenuKeyReady(form)) {
    form.SetGameState(gsStatusScreen);
    Click(g);
    f.PanelToggleTick = now;
    return;
  }
  const bool map = SlotKeyDown(in, keys, kSlotMap) || joy.Button(1) || joy.Back();
  if (map && PlayerOnCell(g) && MenuKeyReady(form)) {
    FreezeClocks(g);
    g.values.MapFromStatus = false;
    form.SetGameState(gsMapView);
    Click(g);
    f.PanelToggleTick = now;
    return;
  }
  PlayerState& p = g.world.Player;
  if (SlotKeyDown(in, keys, kSlotLoseLife) && TicksSince(now, g.values.PlayStart) > kLoseLifeDelayMs && !p.Dead) {
    p.Dead = 1;
    p.GaveUp = true;
  }
}

void PollAudioKeys(TForm1& form) {
  Game& g = form.game();
  InputState& in = g.input;
  const uint8_t state = form.frame().GameState;
  if (state != gsPlaying && state != gsScenarioComplete) return;
  AudioState& a = g.audio;
  if (!a.SoundAvailable || !in.AudioKeysUsable) return;
  KeyState& keys = Keys(form);
  const bool scan = in.KeyboardMode == 1;
  if (KeyDown(in, keys, scan ? 16 : 'Q')) SwitchEffectsOff(a, true);
  if (KeyDown(in, keys, scan ? 31 : 'S') && !a.SoundOn) SwitchEffectsOn(a);
  if (KeyDown(in, keys, scan ? 17 : 'W')) SwitchMusicOff(a);
  if (KeyDown(in, keys, scan ? 32 : 'D') && !a.MusicOn && a.MusicAvailable)
    SwitchMusicOn(a, state == gsPlaying ? 2 : 1, MusicLoopsInState(state));
}

bool PollKeyCapture(TForm1& form) {
  InputState& in = form.game().input;
  if (form.frame().GameState != gsOptions || !in.Capture.Waiting || in.KeyboardMode != 1) return false;
  if (in.Capture.AwaitRelease) {
    // The key that started the capture is not the key to bind.
    for (int s = 1; s < 256; ++s)
      if (Keys(form).ScanDown(uint8_t(s))) return false;
    in.Capture.AwaitRelease = false;
  }
  const uint16_t key = CaptureScanKey(Keys(form));
  if (key & 0x8000) return false;
  if (!AcceptCapturedKey(in, key)) return false;
  Click(form.game());
  return true;
}

bool KeyPlayerInput::KeyHeld(int direction) {
  if (form_.game().world.DemoMode) return false;
  if (direction < kSlotUp || direction > kSlotLeft) return false;
  return SlotKeyDown(form_.game().input, Keys(form_), direction);
}

bool KeyPlayerInput::JoystickEnabled() const { return form_.game().input.JoystickEnabled; }

bool KeyPlayerInput::JoystickHeld(int direction) {
  InputState& in = form_.game().input;
  if (!in.JoystickEnabled || form_.game().world.DemoMode) return false;
  const JoystickReading r = ReadJoystick(in, form_.game().platform.input);
  return r.Ok && PureJoystickDirection(r.Direction) == direction;
}

bool KeyPlayerInput::DemoPlaying() const { return form_.game().world.DemoMode; }

int KeyPlayerInput::DemoRequest(World& w) { return DemoInput(form_, w); }

void KeyPlayerInput::ReadOtherKeys(World&) {
  if (form_.game().world.DemoMode) return;
  PollPlayKeys(form_);
  PollAudioKeys(form_);
}

}  // namespace gravik

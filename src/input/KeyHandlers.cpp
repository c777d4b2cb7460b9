#include "input/KeyHandlers.h"

#include <string>

#include "audio/Audio.h"
#include "frame/Form.h"
#include "platform/Clock.h"
#include "render/Panel.h"
#include "world/World.h"

namespace gravik {

namespace {

constexpr uint32_t kMenuKeyDebounceMs = 500;
constexpr uint32_t kLoseLifeDelayMs = 2000;
constexpr uint32_t kNoticeMs = 1000;
constexpr uint32_t kTitleCardSkipMs = 10000;

KeyState& Keys(TForm1& form) { return form.game().platform.input.Keys(); }

uint32_t TickOf(double tick) { return uint32_t(int64_t(tick)); }

// More than 500 ms since the last debounced action.
bool MenuKeyReady(TForm1& form) {
  return TicksSince(form.game().Now(), TickOf(form.frame().PanelToggleTick)) > kMenuKeyDebounceMs;
}

void Click(TForm1& form) { PlaySound(form.game().audio, "click1.wav"); }

void Notice(TForm1& form, InputState& in, const std::string& text) {
  if (in.Hooks.ShowTimedMessage)
    in.Hooks.ShowTimedMessage(form, text, kNoticeMs);
  else
    ShowTimedMessage(form.game().panel, text, kNoticeMs, form.game().Now());
}

void Run(TForm1& form, const std::function<void(TForm1&)>& hook) {
  if (hook) hook(form);
}

void ShowPlayfield(Game& g, bool visible) {
  if (g.playfield.Background) g.playfield.Background->Visible = visible;
  if (g.playfield.Figure) g.playfield.Figure->Visible = visible;
}

void MovePointer(Game& g, int x, int y) {
  TPlayer* pointer = g.playfield.Pointer;
  if (!pointer) return;
  pointer->X = x;
  pointer->Y = y;
}

// Status screen from play (F2, the status key, joystick button 2).
void EnterStatusFromPlay(TForm1& form) {
  Game& g = form.game();
  if (g.playfield.Background) g.playfield.Background->Visible = false;
  ClearHitMarks(g.world);
  form.SetGameState(gsStatusScreen);
  Click(form);
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

void EscapeKey(TForm1& form, InputState& in, uint8_t state) {
  switch (state) {
    case gsMainMenu: form.SetGameState(gsConfirmExit); break;
    case gsNewProfile:
      if (in.Hooks.NameEntryFromProfiles && in.Hooks.NameEntryFromProfiles(form))
        form.SetGameState(gsProfiles);
      else
        form.FormClose();
      break;
    case gsConfirmExit: form.SetGameState(gsMainMenu); break;
    case gsProfiles: form.SetGameState(gsOptions); break;
    case gsHelp: form.SetGameState(gsMainMenu); break;
    default: break;
  }
}

void KeyCaptured(TForm1& form, InputState& in) {
  Run(form, in.Hooks.KeyLabelsChanged);
  Click(form);
}

}  // namespace

bool PlayerOnCell(TForm1& form) {
  if (form.PlayerBetweenCells) return !form.PlayerBetweenCells(form);
  return form.game().world.Player.Moving == 0;
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

void EndTitleCard(TForm1& form) {
  Game& g = form.game();
  if (g.values.NewGameStarted && g.audio.MusicOn && g.audio.MusicAvailable) return;
  g.values.TitleCardTick = g.Now() - kTitleCardSkipMs;
}

void ResumeFromPause(TForm1& form, InputState& in) {
  Game& g = form.game();
  Run(form, in.Hooks.ThawClocks);
  ShowPlayfield(g, true);
  form.frame().PauseRequested = false;
  FlushKeys(in, Keys(form));
  form.SetGameState(gsPlaying);
}

void FormKeyDown(TForm1& form, InputState& in, uint8_t vk, uint8_t shift) {
  Game& g = form.game();
  FrameState& f = form.frame();
  // Every row tests the state the key arrived in, so a key moves one screen only.
  const uint8_t state = f.GameState;
  const bool ctrlShift = shift == (kShiftBit | kCtrlBit);
  const bool shiftOnly = shift == kShiftBit;
  const bool noModifier = shift == 0;

  if (state == gsPlaying && ctrlShift) {
    if (vk == 'A' && MenuKeyReady(form)) {
      f.AfpsEnabled = !f.AfpsEnabled;
      Notice(form, in, f.AfpsEnabled ? "AFPS ON" : "AFPS OFF");
      f.PanelToggleTick = g.Now();
      if (f.AfpsEnabled) form.ResetFrameStepAveraging();
    } else if (vk == 'K') {
      Notice(form, in, SwitchKeyboardMode(in));
      Run(form, in.Hooks.SaveProfile);
      Run(form, in.Hooks.WriteKeyboardModeSetting);
      g.keyLabels = PanelKeyLabelsFor(in);
      if (in.Hooks.RedrawSidePanel)
        in.Hooks.RedrawSidePanel(form);
      else
        g.panel.ForceRedraw();
    } else if (vk == 'L') {
      Notice(form, in, std::to_string(in.Slot(kSlotUp).Key));
    }
  }
  if (state == gsLevelIntro) EndTitleCard(form);
  if (vk == vk::F2 && state == gsPlaying && PlayerOnCell(form) && MenuKeyReady(form)) EnterStatusFromPlay(form);
  if (state == gsOptions && in.Capture.Waiting && in.KeyboardMode == 0 && AcceptCapturedKey(in, vk))
    KeyCaptured(form, in);
  if (vk == '4' && shiftOnly && state == gsMainMenu && in.Hooks.IsSpecialDate && in.Hooks.IsSpecialDate(form))
    form.SetGameState(gsEasterEgg);
  if (vk == vk::Escape && noModifier) EscapeKey(form, in, state);
  if (vk == 'R' && shiftOnly && state == gsPlaying) form.SetGameState(gsConfirmRestart);
  if (vk == vk::F1 && state == gsMainMenu) form.SetGameState(gsHelp);
  if (vk == vk::F8 && state == gsPlaying) f.PauseRequested = true;
  if (vk == vk::F8 && state == gsPaused) ResumeFromPause(form, in);
  if (vk == vk::F10 && F10Handled(state)) {
    if (state != gsOptions) PauseMusic(g.audio);
    form.ToggleDisplayMode();
    Run(form, in.Hooks.SaveProfile);
    if (state == gsPlaying) form.SetGameState(gsStatusScreen);
  }
}

void FormKeyPress(TForm1& form, InputState& in, char key) {
  Game& g = form.game();
  const uint8_t state = form.frame().GameState;
  if (in.TextEntry.Active) {
    if (key == '\r')
      Run(form, in.Hooks.TextEntryEnter);
    else
      TextEntryKeyPress(in.TextEntry, key);
  }
  if (state == gsPlaying && key == 8 && PlayerOnCell(form) && g.gfx.MayChangeBlockGraphics) {
    g.world.GraphicsStyle = g.world.GraphicsStyle == 1 ? 2 : 1;
    Run(form, in.Hooks.RefreshBlockGraphics);
  }
}

void FormMouse(TForm1& form, InputState& in, const InputEvent& ev) {
  Game& g = form.game();
  FrameState& f = form.frame();
  switch (ev.type) {
    case InputEventType::MouseMove:
      if (f.MenusRunning) MovePointer(g, ev.x, ev.y);
      break;
    case InputEventType::MouseEnter:
      if (f.MenusRunning && f.Windowed) MovePointer(g, ev.x, ev.y);
      break;
    case InputEventType::MouseDown:
      if (f.GameState == gsLevelIntro) EndTitleCard(form);
      if (in.Hooks.WidgetMouse) in.Hooks.WidgetMouse(form, ev);
      break;
    case InputEventType::MouseUp:
    case InputEventType::MouseWheel:
      if (in.Hooks.WidgetMouse) in.Hooks.WidgetMouse(form, ev);
      break;
    default: break;
  }
}

void InstallInputHandlers(TForm1& form, InputState& input) {
  form.FormKeyDown = [&input](TForm1& f, uint8_t vk, uint8_t shift) { FormKeyDown(f, input, vk, shift); };
  form.FormKeyPress = [&input](TForm1& f, char key) { FormKeyPress(f, input, key); };
  form.MouseHandler = [&input](TForm1& f, const InputEvent& ev) { FormMouse(f, input, ev); };
}

void PollPlayKeys(TForm1& form, InputState& in) {
  Game& g = form.game();
  FrameState& f = form.frame();
  if (f.GameState != gsPlaying) return;
  KeyState& keys = Keys(form);
  const uint32_t now = g.Now();
  JoystickReading joy;
  if (in.JoystickEnabled) joy = ReadJoystick(in, g.platform.input);

  const bool status = SlotKeyDown(in, keys, kSlotStatus) || joy.Button(2);
  if (status && PlayerOnCell(form) && MenuKeyReady(form)) {
    form.SetGameState(gsStatusScreen);
    Click(form);
    f.PanelToggleTick = now;
    return;
  }
  const bool map = SlotKeyDown(in, keys, kSlotMap) || joy.Button(1);
  if (map && PlayerOnCell(form) && MenuKeyReady(form)) {
    Run(form, in.Hooks.FreezeClocks);
    form.SetGameState(gsMapView);
    Click(form);
    f.PanelToggleTick = now;
    return;
  }
  PlayerState& p = g.world.Player;
  if (SlotKeyDown(in, keys, kSlotLoseLife) && TicksSince(now, g.values.PlayStart) > kLoseLifeDelayMs && !p.Dead) {
    p.Dead = 1;
    p.GaveUp = true;
  }
}

void PollAudioKeys(TForm1& form, InputState& in) {
  Game& g = form.game();
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

void PollKeyCapture(TForm1& form, InputState& in) {
  if (form.frame().GameState != gsOptions || !in.Capture.Waiting || in.KeyboardMode != 1) return;
  const uint16_t key = CaptureScanKey(Keys(form));
  if (key & 0x8000) return;
  if (AcceptCapturedKey(in, key)) KeyCaptured(form, in);
}

bool KeyPlayerInput::KeyHeld(int direction) {
  if (direction < kSlotUp || direction > kSlotLeft) return false;
  return SlotKeyDown(input_, Keys(form_), direction);
}

bool KeyPlayerInput::JoystickEnabled() const { return input_.JoystickEnabled; }

bool KeyPlayerInput::JoystickHeld(int direction) {
  if (!input_.JoystickEnabled) return false;
  const JoystickReading r = ReadJoystick(input_, form_.game().platform.input);
  return r.Ok && PureJoystickDirection(r.Direction) == direction;
}

void KeyPlayerInput::ReadOtherKeys(World&) { PollPlayKeys(form_, input_); }

}  // namespace gravik

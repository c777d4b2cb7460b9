#include "screens/Options.h"

#include <algorithm>
#include <array>

#include "audio/Audio.h"
#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "frame/Keys.h"
#include "frame/PlayerData.h"
#include "gfx/Fonts.h"
#include "screens/MenuFrame.h"

namespace gravik {

namespace {

constexpr int kSliderSteps = 21;  // OFF, then levels 1..20
constexpr int kMaxLevel = 20;
constexpr int kReturnButton = 1;
constexpr int kProfilesButton = 2;
constexpr int kScenariosButton = 3;

// The layout's top: 130 pixels lower, under the title, when opened from the
// main menu.
constexpr int kTopFromStatus = 40;
constexpr int kTopFromMenu = kTopFromStatus + 130;

constexpr int kLabelX = 80;       // headings and slider labels
constexpr int kSliderX = 200;
constexpr int kSliderValueX = kSliderX + 10 * kSliderSteps + 24;
constexpr int kLeftKeyX = 190;    // values of the key bindings, left column
constexpr int kRightKeyX = 470;   // and right column
constexpr int kButtonY = 450;
constexpr int kProfilesX = 320;
constexpr int kScenariosX = 480;

// Option items in creation order and the slot each binds.
struct KeyItem {
  int Slot;
  bool RightColumn;
  int Row;
};
constexpr std::array<KeyItem, kKeySlotCount> kKeyItems{{
    {kSlotUp, false, 0},
    {kSlotDown, false, 1},
    {kSlotStatus, false, 2},
    {kSlotLoseLife, false, 3},
    {kSlotLeft, true, 0},
    {kSlotRight, true, 1},
    {kSlotMap, true, 2},
}};

// Where the parts of the screen go. Under the title there is less room above
// the buttons, so the rows come closer together.
struct Layout {
  int Top;         // the "AUDIO" heading
  int Music;       // the music line (its slider 4 pixels lower)
  int Sound;       // the sound effects line
  int Controls;    // the "CONTROLS" heading
  int Joystick;    // the check box
  int Keys;        // the first row of key bindings
  int KeyPitch;
  int KeyRowY(int row) const { return Keys + KeyPitch * row; }
};

constexpr int kSliderDrop = 4;

Layout LayoutOf(const Game& g) {
  if (g.values.OptionsReturnState == gsStatusScreen) {
    constexpr int t = kTopFromStatus;
    return {t, t + 34, t + 69, t + 100, t + 135, t + 175, 30};
  }
  constexpr int t = kTopFromMenu;
  return {t, t + 28, t + 56, t + 88, t + 118, t + 148, 24};
}

int SlotOfItem(int item) { return item >= 1 && item <= kKeySlotCount ? kKeyItems[size_t(item - 1)].Slot : 0; }

int LevelPosition(bool on, int level) { return on ? std::clamp(level, 1, kMaxLevel) + 1 : 1; }

// The key names shown on the screen and at the foot of the side panel.
void RefreshKeyLabels(Game& g) {
  for (int i = 1; i <= kKeySlotCount && i <= g.widgets.OptionItemCount; ++i) {
    const KeySlot& s = g.input.Slot(SlotOfItem(i));
    g.widgets.OptionItems[size_t(i)].Value = s.Enabled && s.Key != 0 ? KeyNameOf(g.input, s.Key) : "Undefined";
  }
  g.keyLabels = PanelKeyLabelsFor(g.input);
}

// A key was bound: the capture has ended, the labels follow.
void CaptureTaken(Game& g) {
  g.widgets.EditedOption = 0;
  RefreshKeyLabels(g);
}

void Return(TForm1& form) {
  Game& g = form.game();
  g.input.Capture.Waiting = false;
  if (!g.audio.MusicOn) StopMusic(g.audio);
  const uint8_t back = g.values.OptionsReturnState == gsStatusScreen ? gsStatusScreen : gsMainMenu;
  if (back == gsStatusScreen) {
    RefreshBlockGraphics(g);
    RedrawSidePanel(g);  // its foot names the map and status keys
  }
  SaveCurrentProfile(g);
  form.ApplyPanelLayout();
  MenuKeyTaken(form);
  form.SetGameState(back);
}

void OptionsEnter(TForm1& form) {
  Game& g = form.game();
  WidgetSet& w = g.widgets;
  BeginMenuScreen(g);
  g.input.Capture.Waiting = false;
  const bool fromStatus = g.values.OptionsReturnState == gsStatusScreen;
  const Layout l = LayoutOf(g);

  AddButton(w, g.systemText, 40, kButtonY, fromStatus ? "Return to status" : "Return to main menu", 'R');
  if (!fromStatus) {
    AddButton(w, g.systemText, kProfilesX, kButtonY, "Profiles", 'P');
    AddButton(w, g.systemText, kScenariosX, kButtonY, "Scenarios", 'S');
  }

  const AudioState& a = g.audio;
  AddSlider(w, kSliderX, l.Music + kSliderDrop, kSliderSteps, LevelPosition(a.MusicOn, a.MusicLevel));
  AddSlider(w, kSliderX, l.Sound + kSliderDrop, kSliderSteps, LevelPosition(a.SoundOn, a.SoundLevel));
  w.Sliders[1].State = a.MusicAvailable ? 1 : 2;
  w.Sliders[2].State = a.SoundAvailable ? 1 : 2;

  AddCheckbox(w, kLabelX, l.Joystick, "Enable joystick");
  w.Checkboxes[1].Checked = g.input.JoystickEnabled ? 1 : 0;

  for (const KeyItem& k : kKeyItems)
    AddOptionItem(w, g.systemText, k.RightColumn ? kRightKeyX : kLeftKeyX, l.KeyRowY(k.Row), KeySlotLabel(k.Slot));
  RefreshKeyLabels(g);
}

// The sliders' values into the audio, when they moved.
void FollowSliders(Game& g) {
  AudioState& a = g.audio;
  const WidgetSet& w = g.widgets;
  const int music = w.Sliders[1].Value, effects = w.Sliders[2].Value;
  if (a.MusicAvailable && music != LevelPosition(a.MusicOn, a.MusicLevel)) ApplyMusicSlider(a, music);
  if (a.SoundAvailable && effects != LevelPosition(a.SoundOn, a.SoundLevel)) ApplyEffectsSlider(a, effects);
}

void OptionsFrame(TForm1& form) {
  Game& g = form.game();
  WidgetSet& w = g.widgets;
  // A binding pressed by Enter or the pad waits for its key from now.
  const int edited = SlotOfItem(w.EditedOption);
  if (edited != 0 && !(g.input.Capture.Waiting && g.input.Capture.Slot == edited)) {
    StartKeyCapture(g.input, edited);
    g.input.Capture.AwaitRelease = true;
  }
  if (PollKeyCapture(form)) CaptureTaken(g);
  if (!g.input.Capture.Waiting) w.EditedOption = 0;
  FollowSliders(g);
  g.input.JoystickEnabled = w.Checkboxes[1].Checked != 0;

  ClearMenuFrame(g);
  FontSet& f = g.fonts;
  Bitmap& s = g.backSurface;
  const Layout l = LayoutOf(g);
  const bool fromStatus = g.values.OptionsReturnState == gsStatusScreen;
  if (!fromStatus) {
    SelectFont(f, kFaceEras20, 3);
    DrawTextCentred(f, s, 60, "OPTIONS");
  }
  SelectFont(f, kFaceEras16, 3);
  DrawText(f, s, kLabelX, l.Top, "AUDIO");
  DrawText(f, s, kLabelX, l.Controls, "CONTROLS");
  SelectFont(f, kFaceEras14, 2);
  DrawText(f, s, kLabelX, l.Music, "Music:");
  DrawText(f, s, kLabelX, l.Sound, "Sound FX:");
  SelectFont(f, kFaceEras14, 3);
  DrawText(f, s, kSliderValueX, l.Music, SliderValueText(g.audio.MusicAvailable, w.Sliders[1].Value));
  DrawText(f, s, kSliderValueX, l.Sound, SliderValueText(g.audio.SoundAvailable, w.Sliders[2].Value));
  if (!fromStatus) {
    SelectFont(f, kFaceEras10, 2);
    DrawText(f, s, kProfilesX, kButtonY - 32, "Change current");
    DrawText(f, s, kProfilesX, kButtonY - 18, "profile");
    DrawText(f, s, kScenariosX, kButtonY - 32, "Choose the scenario");
    DrawText(f, s, kScenariosX, kButtonY - 18, "to play");
  }

  WidgetContext ctx = MenuWidgetContext(g);
  DrawSliders(w, ctx);
  DrawCheckboxes(w, ctx);
  DrawOptionItems(w, ctx);
  DrawButtons(w, ctx);
  FinishMenuFrame(g);

  switch (TakeClickedButton(g)) {
    case kReturnButton: Return(form); break;
    case kProfilesButton: form.SetGameState(gsProfiles); break;
    case kScenariosButton: form.SetGameState(gsScenarios); break;
    default: break;
  }
}

// In keyboard mode 0 a key waiting to be bound is taken first (so Escape can
// be bound), then Esc returns to the screen the options were opened from.
// While a key is awaited no key moves the focus; the pad's B gives up waiting.
void OptionsKeyDown(TForm1& form, const KeyEvent& key) {
  Game& g = form.game();
  InputState& in = g.input;
  if (in.Capture.Waiting) {
    TakeKey(g);
    if (key.pad) {
      if (key.vk == vk::Escape) {
        in.Capture.Waiting = false;
        g.widgets.EditedOption = 0;
      }
      return;
    }
  }
  if (in.Capture.Waiting && in.KeyboardMode == 0 && !key.repeat && AcceptCapturedKey(in, key.vk)) {
    PlaySound(g.audio, "click1.wav");
    CaptureTaken(g);
  }
  if (key.vk == vk::Escape && key.shift == 0 && !key.repeat) {
    WidgetSet& w = g.widgets;
    w.DraggedSlider = 0;
    w.HoveredKnob = 0;
    for (int i = 1; i <= w.SliderCount; ++i) w.Sliders[size_t(i)].Hovered = false;
    in.Capture.Waiting = false;
    w.EditedOption = 0;
    if (w.ButtonCount >= kReturnButton) {
      PressButton(g, kReturnButton);
    } else {
      Return(form);  // before the screen was built
    }
  }
}

// A click on a key binding starts its capture.
void OptionsMouse(TForm1& form, const InputEvent& ev) {
  Game& g = form.game();
  MenuMouse(form, ev);
  const int slot = SlotOfItem(g.widgets.EditedOption);
  if (slot == 0) return;
  if (!g.input.Capture.Waiting || g.input.Capture.Slot != slot) StartKeyCapture(g.input, slot);
}

}  // namespace

std::string SliderValueText(bool available, int position) {
  if (!available) return "Disabled";
  if (position <= 1) return "OFF";
  return std::to_string(std::min(position - 1, kMaxLevel) * 100 / kMaxLevel) + "%";
}

void ApplyMusicSlider(AudioState& a, int position) {
  if (!a.MusicAvailable) return;
  if (position <= 1) {
    SwitchMusicOff(a);
    return;
  }
  a.MusicOn = true;
  a.MusicLevel = std::min(position - 1, kMaxLevel);
  ApplyVolumes(a);
}

void ApplyEffectsSlider(AudioState& a, int position) {
  if (!a.SoundAvailable) return;
  if (position <= 1) {
    a.SoundOn = false;
    return;
  }
  a.SoundOn = true;
  a.SoundLevel = std::min(position - 1, kMaxLevel);
  ApplyVolumes(a);
}

ScreenUnit OptionsUnit() { return {OptionsEnter, OptionsFrame, OptionsKeyDown, NoKeyPress, OptionsMouse}; }

}  // namespace gravik

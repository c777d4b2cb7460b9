#include "screens/NameEntry.h"

#include <algorithm>
#include <string_view>

#include "audio/Audio.h"
#include "base/Text.h"
#include "data/Profile.h"
#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "frame/Keys.h"
#include "frame/PlayerData.h"
#include "gfx/Fonts.h"
#include "screens/MenuFrame.h"
#include "screens/OnScreenKeyboard.h"
#include "world/Player.h"
#include "screens/ScreenMemory.h"

namespace gravik {

namespace {

enum : int { kOk = 1, kCancel = 2 };

constexpr size_t kNameChars = 20;
constexpr double kWalkSpeed = 176;  // pixels per second
constexpr double kWalkInFromX = -180;
constexpr double kStandX = 288;
constexpr double kWalkOffX = 640;
constexpr int kFigureY = 155;
constexpr int kLogoStartTop = 550;
constexpr int kLogoRestTop = 430;
constexpr const char* kWelcome = "Welcome to Gravik 2!";

bool HasButtons(const Game& g) { return ScreensOf(g).NameEntry.FromProfiles; }

// --- the walking figure ---------------------------------------------------------

void StartWalk(Game& g, double fromX) {
  ScreensOf(g).NameEntry.WalkStartX = fromX;
  ScreensOf(g).NameEntry.WalkStartTick = g.Now();
  if (TPlayer* fig = g.playfield.Figure) {
    fig->X = fromX;
    fig->Y = kFigureY;
    fig->Visible = true;
  }
}

void ShowPattern(TPlayer& fig, int pattern) {
  fig.FramePos = pattern;
  fig.FrameCount = pattern + 1;
}

// Moves the figure towards `toX` and animates it: walking while on the way,
// standing once there. True when it has arrived.
bool WalkFigure(Game& g, double toX) {
  const uint32_t elapsed = TicksSince(g.Now(), ScreensOf(g).NameEntry.WalkStartTick);
  const double x = std::min(toX, ScreensOf(g).NameEntry.WalkStartX + kWalkSpeed * elapsed / 1000.0);
  TPlayer* fig = g.playfield.Figure;
  const bool arrived = x >= toX;
  if (!fig) return arrived;
  fig->X = x;
  fig->Y = kFigureY;
  const int style = g.world.GraphicsStyle;
  if (!arrived) {
    const std::string_view walk = WalkAnimation(DirRight, style);
    const size_t step = size_t(elapsed / WalkFrameMs(DirRight, style));
    ShowPattern(*fig, walk.empty() ? 0 : walk[step % walk.size()] - 'A');
  } else {
    const double walkMs = (toX - ScreensOf(g).NameEntry.WalkStartX) / kWalkSpeed * 1000.0;
    ShowPattern(*fig, IdlePattern(uint32_t(std::max(0.0, elapsed - walkMs))));
  }
  return arrived;
}

void HideFigure(Game& g) {
  if (g.playfield.Figure) g.playfield.Figure->Visible = false;
}

// The logo at the foot of the screen, rising a pixel a frame to its place.
void DrawLogo(Game& g) {
  if (const ImageEntry* logo = g.images.TryFindImage("vxhorizlogo")) {
    DrawPattern(*logo, g.backSurface, 320 - ImageWidth(*logo) / 2, ScreensOf(g).NameEntry.LogoTop, 0);
  }
  if (ScreensOf(g).NameEntry.LogoTop > kLogoRestTop) --ScreensOf(g).NameEntry.LogoTop;
}

// The sprites: the figure always, the pointer unless the mouse is outside.
void FinishFrame(Game& g) {
  TPlayer* pointer = g.playfield.Pointer;
  const bool pointerShown = pointer && pointer->Visible;
  if (pointer && g.frame.PointerOutside) pointer->Visible = false;
  g.sprites.Advance(1);
  g.sprites.FlushDead();
  g.sprites.Render();
  if (pointer) pointer->Visible = pointerShown;
}

// --- gsNewProfile --------------------------------------------------------------------

void NewProfileEnter(TForm1& form) {
  Game& g = form.game();
  BeginMenuScreen(g);
  g.widgets.PadOwnedByScreen = true;  // the pad types on the on-screen keyboard
  if (HasButtons(g)) {
    AddButton(g.widgets, g.systemText, 200, 370, "OK", '\r');
    AddButton(g.widgets, g.systemText, 380, 370, "CANCEL", 'C');
    g.widgets.Buttons[kOk].State = kWidgetDisabled;
    FocusButton(g, kOk);  // lit once a name may be taken
  } else {
    ShowPointer(g, false);
  }
  StartTextEntry(g.input, "", kNameChars, /*digitsOnly=*/false, /*upperCase=*/false);
  ScreensOf(g).NameEntry.Keyboard.Reset();
  ScreensOf(g).NameEntry.KeyboardShown = g.values.PadLastUsed;
  ScreensOf(g).NameEntry.LogoTop = kLogoStartTop;
  StartWalk(g, kWalkInFromX);
  PlaySound(g.audio, "fanf2.wav");
}

void LeaveNameEntry(Game& g) {
  g.input.TextEntry.Active = false;
  ScreensOf(g).NameEntry.FromProfiles = false;
}

// OK: the typed name becomes a profile, current and in force.
void Accept(TForm1& form) {
  Game& g = form.game();
  ProfileState& p = g.profile;
  const std::string name = Trim(g.input.TextEntry.Text);
  if (!NameAcceptable(p, name)) return;
  if (p.List.size() >= size_t(MaxProfiles)) {
    // Told, and the screen stays: a profile may be deleted to make room.
    g.platform.shell.ShowInfo("Gravik 2", "Too many profiles.");
    return;
  }
  LeaveNameEntry(g);
  CreateProfile(p, name, g.frame.WindowedPreference, g.input.KeyboardMode, g.profileKeys);
  const ActivateResult r = ActivateProfile(p, g.scenarios, g.scenario, g.folders.Scenarios, /*load=*/false);
  if (r.Ok) ApplyLoadedProfile(g);
  if (r.Ok && g.values.PadLastUsed && !g.input.JoystickEnabled) {
    // A player who named himself with the pad plays with it.
    g.input.JoystickEnabled = true;
    CalibrateJoystick(g.input, g.platform.input);
  }
  SaveCurrentProfile(g);  // with its scenario record
  form.SetGameState(gsIntroLogo);
}

void Cancel(TForm1& form) {
  Game& g = form.game();
  const bool fromProfiles = HasButtons(g);
  LeaveNameEntry(g);
  HideFigure(g);
  if (fromProfiles) {
    form.SetGameState(gsProfiles);
  } else {
    form.FormClose();
  }
}

// Enter's test: a name that may make a profile finishes the entry.
void Finish(TForm1& form) {
  Game& g = form.game();
  if (!NameAcceptable(g.profile, Trim(g.input.TextEntry.Text))) return;
  PlaySound(g.audio, "click1.wav");
  Accept(form);
}

// The pad on this screen: the first touch brings the keyboard up; then the
// d-pad or stick moves the highlight, A presses the key, B deletes, Start
// finishes as Enter does, and Back cancels as Esc does when the profiles screen
// opened this one (on a first start it would close the game, so it does not).
// True when the screen was left.
bool PadOnNameEntry(TForm1& form) {
  Game& g = form.game();
  const GameValues& v = g.values;
  NameEntryMemory& m = ScreensOf(g).NameEntry;
  if (!v.PadLastUsed) {
    m.KeyboardShown = false;
    return false;
  }
  OnScreenKeyboard& k = m.Keyboard;
  if (!m.KeyboardShown) {
    m.KeyboardShown = true;
    k.Hold(v.PadDirection, g.Now());
    return false;
  }
  k.Steer(v.PadDirection, g.Now());
  TextEntryState& text = g.input.TextEntry;
  uint8_t pressed = v.PadPressed;
  if ((pressed & kPadA) && k.Press(text) == OnScreenKeyboard::Outcome::Done) pressed |= kPadStart;
  if (pressed & kPadB) k.Delete(text);
  if (pressed & kPadStart) {
    Finish(form);
    return g.frame.GameState != gsNewProfile;
  }
  if ((pressed & kPadBack) && HasButtons(g)) {
    Cancel(form);
    return true;
  }
  return false;
}

void NewProfileFrame(TForm1& form) {
  Game& g = form.game();
  if (PadOnNameEntry(form)) return;
  const std::string& text = g.input.TextEntry.Text;
  const bool buttons = HasButtons(g);
  const bool keyboard = ScreensOf(g).NameEntry.KeyboardShown;
  const bool clash = NameInUse(g.profile, text);
  if (buttons) {
    // The keyboard takes the buttons' place; its Done is OK and Back is Cancel.
    g.widgets.Buttons[kOk].State = keyboard                              ? kWidgetHidden
                                   : NameAcceptable(g.profile, text) ? kWidgetEnabled
                                                                       : kWidgetDisabled;
    g.widgets.Buttons[kCancel].State = keyboard ? kWidgetHidden : kWidgetEnabled;
  }

  ClearMenuFrame(g);
  FontSet& f = g.fonts;
  Bitmap& s = g.backSurface;
  if (!buttons) {
    if (keyboard) {
      if (ScreensOf(g).NameEntry.LogoTop > kLogoRestTop) --ScreensOf(g).NameEntry.LogoTop;  // it rises on behind the keyboard
    } else {
      DrawLogo(g);
    }
    SelectFont(f, kFaceEras16, 3);
    DrawTextCentred(f, s, 230, kWelcome);
  }
  SelectFont(f, kFaceEras14, 2);
  DrawTextCentred(f, s, 270, "Please enter your name:");
  SelectFont(f, kFaceEras16, 3);
  DrawTextCentred(f, s, 320, text);
  if (g.Now() % 1000 < 500) DrawText(f, s, 320 + TextWidth(f, text) / 2, 320, "_");
  if (clash) {
    SelectFont(f, kFaceEras10, 2);
    DrawTextCentred(f, s, 343, "Name already used.");
  }
  if (keyboard) DrawOnScreenKeyboard(ScreensOf(g).NameEntry.Keyboard, f, s);
  WalkFigure(g, kStandX);
  if (buttons) {
    WidgetContext ctx = MenuWidgetContext(g);
    DrawButtons(g.widgets, ctx);
  }
  FinishFrame(g);

  switch (TakeClickedButton(g)) {
    case kOk: Accept(form); break;
    case kCancel: Cancel(form); break;
    default: break;
  }
}

void NewProfileKeyDown(TForm1& form, const KeyEvent& key) {
  if (key.vk == vk::Escape && key.shift == 0 && !key.repeat) Cancel(form);
}

// Enter (typed as a carriage return) is OK, with or without the buttons.
void NewProfileKeyPress(TForm1& form, char c) {
  if (c == '\r') Finish(form);
}

// --- gsIntroLogo ------------------------------------------------------------------------

void IntroLogoEnter(TForm1& form) {
  Game& g = form.game();
  BeginMenuScreen(g);
  ShowPointer(g, false);
  g.input.TextEntry.Active = false;
  StartWalk(g, g.playfield.Figure ? g.playfield.Figure->X : kStandX);
}

void IntroLogoFrame(TForm1& form) {
  Game& g = form.game();
  ClearMenuFrame(g);
  DrawLogo(g);
  const bool gone = WalkFigure(g, kWalkOffX);
  FinishFrame(g);
  if (gone) {
    HideFigure(g);
    form.SetGameState(gsHelp);
  }
}

}  // namespace

bool NameInUse(const ProfileState& p, const std::string& name) {
  const std::string wanted = UpperCase(Trim(name));
  if (wanted.empty()) return false;
  return std::any_of(p.List.begin(), p.List.end(),
                     [&](const TProfileEntry& e) { return UpperCase(Trim(e.PlayerName)) == wanted; });
}

bool NameAcceptable(const ProfileState& p, const std::string& name) {
  return !Trim(name).empty() && !NameInUse(p, name);
}

int IdlePattern(uint32_t ms) {
  if (ms <= 3000) return 0;
  const uint32_t phase = (ms - 2000) % 4000;
  if (phase < 1000) return 2;
  if (phase >= 2000 && phase < 3000) return 1;
  return 0;
}

ScreenUnit NewProfileUnit() {
  return {NewProfileEnter, NewProfileFrame, NewProfileKeyDown, NewProfileKeyPress, MenuMouse};
}
ScreenUnit IntroLogoUnit() { return {IntroLogoEnter, IntroLogoFrame, NoKeys, NoKeyPress, NoMouse}; }

}  // namespace gravik

// The menus in their plain form: each screen's title, what it offers and the
// keys of the key table, until the menu widgets give them their buttons.
#include "audio/Audio.h"
#include "frame/Demo.h"
#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "frame/Keys.h"
#include "render/Fonts.h"
#include "screens/PlainScreen.h"

namespace gravik {

namespace {

void Click(Game& g) { PlaySound(g.audio, "click1.wav"); }

// A plain screen left with Esc (or any confirming key) for `next`.
ScreenUnit PlainUnit(std::string title, std::string hint, uint8_t next) {
  return {NoEntry,
          [title, hint](TForm1& form) { DrawPlainScreen(form.game(), title, {}, hint); },
          [next](TForm1& form, const KeyEvent& key) {
            if (key.repeat || key.shift != 0) return;
            if (key.vk == vk::Escape || IsConfirmKey(key)) {
              Click(form.game());
              form.SetGameState(next);
            }
          },
          NoKeyPress, NoMouse};
}

// --- gsMainMenu ---------------------------------------------------------------

void MainMenuEnter(TForm1& form) {
  Game& g = form.game();
  g.gfx.MayChangeBlockGraphics = true;
  ShowPlayfield(g, false);
}

void MainMenuFrame(TForm1& form) {
  MaybeStartAttractDemo(form);
  if (form.frame().GameState != gsMainMenu) return;
  DrawPlainScreen(form.game(), "GRAVIK 2", {}, "Enter: Start game    O: Options    F1: Help    Esc: Exit");
}

void MainMenuKeyDown(TForm1& form, const KeyEvent& key) {
  Game& g = form.game();
  if (key.repeat) return;
  if (key.vk == vk::Escape && key.shift == 0) {
    form.SetGameState(gsConfirmExit);
  } else if (key.vk == vk::F1) {
    form.SetGameState(gsHelp);
  } else if (IsConfirmKey(key) && key.shift == 0) {
    Click(g);
    g.values.NewGameStarted = true;
    form.SetGameState(gsPrepareScenario);
  } else if (key.vk == 'O' && key.shift == 0) {
    Click(g);
    g.values.OptionsReturnState = gsMainMenu;
    form.SetGameState(gsOptions);
  }
}

// --- gsConfirmExit --------------------------------------------------------------

void ConfirmExitFrame(TForm1& form) {
  DrawPlainScreen(form.game(), "Exit Gravik 2?", {}, "Y or Enter: Yes    N or Esc: No");
}

void ConfirmExitKeyDown(TForm1& form, const KeyEvent& key) {
  if (key.repeat) return;
  if (key.vk == 'Y' || key.vk == vk::Return) {
    form.FormClose();
  } else if (key.vk == 'N' || (key.vk == vk::Escape && key.shift == 0)) {
    form.SetGameState(gsMainMenu);
  }
}

// --- gsOptions ------------------------------------------------------------------------

void OptionsFrame(TForm1& form) {
  Game& g = form.game();
  PollKeyCapture(form);
  DrawPlainScreen(g, "OPTIONS", {}, "Esc: Return");
}

// A key waiting to be bound is taken first (so Escape can be bound), then Esc
// returns to the screen the options were opened from.
void OptionsKeyDown(TForm1& form, const KeyEvent& key) {
  Game& g = form.game();
  InputState& in = g.input;
  if (in.Capture.Waiting && in.KeyboardMode == 0 && AcceptCapturedKey(in, key.vk)) Click(g);
  if (key.vk == vk::Escape && key.shift == 0) {
    in.Capture.Waiting = false;
    form.SetGameState(g.values.OptionsReturnState == gsStatusScreen ? gsStatusScreen : gsMainMenu);
  }
}

}  // namespace

bool IsConfirmKey(const KeyEvent& key) { return !key.repeat && (key.vk == vk::Return || key.vk == vk::Space); }

void DrawPlainScreen(Game& g, const std::string& title, const ScreenLines& lines, const std::string& hint) {
  g.backSurface.Fill(0);
  SelectFont(g.fonts, "eras16boldV.bmp", 1);
  DrawTextCentred(g.fonts, g.backSurface, 60, title);
  SelectFont(g.fonts, "eras14boldV.bmp", 2);
  int y = 120;
  for (const auto& [label, value] : lines) {
    DrawLabelValue(g.fonts, g.backSurface, y, label, value);
    y += 26;
  }
  SelectFont(g.fonts, "eras12boldV.bmp", 3);
  DrawTextCentred(g.fonts, g.backSurface, 440, hint);
  g.sprites.Render();
}

ScreenUnit MainMenuUnit() { return {MainMenuEnter, MainMenuFrame, MainMenuKeyDown, NoKeyPress, NoMouse}; }
ScreenUnit ConfirmExitUnit() { return {NoEntry, ConfirmExitFrame, ConfirmExitKeyDown, NoKeyPress, NoMouse}; }
ScreenUnit HelpUnit() { return PlainUnit("HELP", "Esc: Main menu", gsMainMenu); }
ScreenUnit OptionsUnit() { return {NoEntry, OptionsFrame, OptionsKeyDown, NoKeyPress, NoMouse}; }
ScreenUnit ProfilesUnit() { return PlainUnit("PROFILES", "Esc: Options", gsOptions); }
ScreenUnit NewProfileUnit() {
  ScreenUnit u = PlainUnit("ENTER YOUR NAME", "Esc: Close", gsProfiles);
  u.KeyDown = [](TForm1& form, const KeyEvent& key) {
    if (key.vk == vk::Escape && key.shift == 0) form.FormClose();
  };
  return u;
}
ScreenUnit ConfirmDeleteProfileUnit() { return PlainUnit("Delete this profile?", "Esc: No", gsProfiles); }
ScreenUnit IntroLogoUnit() { return PlainUnit("GRAVIK 2", "Enter: Continue", gsHelp); }
ScreenUnit EasterEggUnit() { return PlainUnit("GRAVIK 2", "Enter: Main menu", gsMainMenu); }
ScreenUnit PuzzleViewUnit() { return PlainUnit("PUZZLE", "Enter: Return", gsStatusScreen); }

}  // namespace gravik

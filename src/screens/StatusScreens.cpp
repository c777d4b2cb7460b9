#include "screens/StatusScreens.h"

#include "audio/Audio.h"
#include "base/Text.h"
#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "frame/Keys.h"
#include "frame/SaveGames.h"
#include "gfx/Fonts.h"
#include "screens/MenuFrame.h"
#include "world/Targets.h"

namespace gravik {

namespace {

void Click(Game& g) { PlaySound(g.audio, kClickSound); }

// Adds a button whose drawn caption (the bitmap font's, wider than the box's
// measure) ends at `right`.
int AddButtonEndingAt(Game& g, int right, int y, std::string_view caption, char key) {
  SelectFont(g.fonts, kFaceEras16, 4);
  return AddButton(g.widgets, g.systemText, right - TextWidth(g.fonts, caption), y, caption, key);
}

// The two buttons of a question, either side of the middle.
void AddAnswerButtons(Game& g, int y, std::string_view left, char leftKey, std::string_view right, char rightKey) {
  AddButtonEndingAt(g, 290, y, left, leftKey);
  AddButton(g.widgets, g.systemText, 350, y, right, rightKey);
}

void DrawQuestion(Game& g, std::string_view question) {
  ClearMenuFrame(g);
  SelectFont(g.fonts, kFaceEras14, 2);
  DrawTextCentred(g.fonts, g.backSurface, 190, question);
}

void DrawWidgetsAndPointer(Game& g) {
  WidgetContext ctx = MenuWidgetContext(g);
  DrawButtons(g.widgets, ctx);
  FinishMenuFrame(g);
}

// --- gsStatusScreen -------------------------------------------------------------

constexpr int kLinesTop = 48;
constexpr int kLinePitch = 29;
constexpr int kValueColumn = 300;  // labels end here, values start here
constexpr int kViewColumn = 455;   // the "View" buttons
constexpr int kMapLine = 2, kPuzzleLine = 7;  // 0-based line numbers
constexpr int kButtonRow = 428;

int LineY(int line) { return kLinesTop + line * kLinePitch; }

bool MapViewable(const Game& g) { return g.scenario.Level(g.world.CurrentLevel).NoMap == 0; }

void StatusEnter(TForm1& form) {
  Game& g = form.game();
  g.backSurface.Fill(0);
  form.Present();
  // Coming back from a screen the status screen opened, the clocks are frozen
  // already and the music stopped.
  if (!g.values.StatusOpen) {
    FreezeClocks(g);
    PauseMusic(g.audio);
    g.values.StatusOpen = true;
  }
  CountTargets(g.world);
  WidgetSet& w = g.widgets;
  SystemText& text = g.systemText;
  // With "Save and exit" the row holds four buttons, spread wider.
  const bool maySave = GameMaySave(g);
  AddButton(w, text, maySave ? 6 : 70, kButtonRow, "Return to game", 'R');
  AddButtonEndingAt(g, maySave ? 628 : 570, kButtonRow, "Quit scenario", 'Q');
  AddButton(w, text, kViewColumn, LineY(kMapLine), "View", 'M');
  if (maySave) {
    SelectFont(g.fonts, kFaceEras16, 4);
    AddButtonEndingAt(g, 412 + TextWidth(g.fonts, "Options") / 2, kButtonRow, "Options", 'O');
  } else {
    AddCentredButton(w, text, kButtonRow, "Options", 'O');
  }
  AddButton(w, text, kViewColumn, LineY(kPuzzleLine), "View", 'P');
  if (maySave) {
    SelectFont(g.fonts, kFaceEras16, 4);
    AddButtonEndingAt(g, 275 + TextWidth(g.fonts, "Save and exit") / 2, kButtonRow, "Save and exit", 'S');
  }
  FocusButton(g, kStatusReturn);
  BeginMenuScreen(g);
  ClearHitMarks(g.world);
  NoteJoystickAtEntry(g);
  MenuKeyTaken(form);
}

// "Return to game", accepted more than 500 ms after the screen was entered.
void ReturnToGame(TForm1& form) {
  if (!MenuKeyReady(form)) return;
  ResumePlay(form);
}

void StatusAct(TForm1& form, int button) {
  Game& g = form.game();
  switch (button) {
    case kStatusReturn: ReturnToGame(form); break;
    case kStatusQuit: form.SetGameState(gsConfirmQuitScenario); break;
    case kStatusViewMap:
      g.values.MapFromStatus = true;
      form.SetGameState(gsMapView);
      break;
    case kStatusOptions:
      g.values.OptionsReturnState = gsStatusScreen;
      form.SetGameState(gsOptions);
      break;
    case kStatusViewPuzzle: form.SetGameState(gsPuzzleView); break;
    case kStatusSaveAndExit:
      if (SaveRunningGame(form)) {
        g.values.GameInProgress = false;
        form.SetGameState(gsMainMenu);
      }
      break;
    default: break;
  }
}

void StatusFrame(TForm1& form) {
  Game& g = form.game();
  const World& w = g.world;
  const Counters& c = w.Count;
  ClearMenuFrame(g);
  SelectFont(g.fonts, kFaceEras16, 1);
  DrawTextCentred(g.fonts, g.backSurface, 10, "GRAVIK 2: The Story So Far...");
  const std::pair<const char*, std::string> lines[] = {
      {"Scenario:", g.scenario.Info.Name.Str()},
      {"Author:", g.scenario.Info.Author.Str()},
      {"Map:", MapViewable(g) ? "Yes (View)" : "No"},
      {"Score:", std::to_string(c.Score)},
      {"Lives:", std::to_string(g.values.Lives)},
      {"Diamonds:", std::to_string(c.DiamondsLeft)},
      {"Earth:", std::to_string(c.EarthLeft)},
      {"Puzzle Pieces:", std::to_string(c.PuzzlePiecesLeft) + " (View)"},
      {"Monsters:", std::to_string(c.MonstersLeft)},
      {"Transporters:", std::to_string(c.TransportersLeft)},
      {"Progress:", std::to_string(int(w.CompletionPercent)) + "%"},
      {"Total Time:", WithoutLeadingBlank(FormatPlayTime(g.values.TotalPlaySeconds))},
  };
  int line = 0;
  for (const auto& [label, value] : lines) DrawLabelValueAt(g.fonts, g.backSurface, kValueColumn, LineY(line++), label, value);
  DrawWidgetsAndPointer(g);
  if (const int n = TakeClickedButton(g)) {
    StatusAct(form, n);
    return;
  }
  if (NewJoystickButtons(g) & kPadStart) ReturnToGame(form);
}

// F2, the status key and Escape return to the game; Enter and Space press the
// focused button at once ("Return to game" unless the focus was moved).
void StatusKeyDown(TForm1& form, const KeyEvent& key) {
  Game& g = form.game();
  if (key.repeat || key.shift != 0) return;
  if (key.vk == vk::F2) {
    TakeKey(g);
    if (!MenuKeyReady(form)) return;
    Click(g);
    ReturnToGame(form);
    MenuKeyTaken(form);
  } else if (IsConfirmKey(key)) {
    TakeKey(g);
    const int n = FocusedButton(g);
    if (n != 0 && g.widgets.Buttons[size_t(n)].State != kWidgetEnabled) return;
    Click(g);
    StatusAct(form, n != 0 ? n : kStatusReturn);
  } else if (KeyIsSlot(g.input, key, kSlotStatus) || key.vk == vk::Escape) {
    TakeKey(g);
    Click(g);
    ReturnToGame(form);
  }
}

// --- gsConfirmQuitScenario ------------------------------------------------------

void ConfirmQuitEnter(TForm1& form) {
  Game& g = form.game();
  BeginMenuScreen(g);
  AddButton(g.widgets, g.systemText, 220, 230, "Yes", 'Y');
  AddButton(g.widgets, g.systemText, 380, 230, "No", 'N');
  FocusButton(g, 2);
}

void QuitAnswer(TForm1& form, bool yes) {
  form.SetGameState(yes ? gsGameOver : gsStatusScreen);
}

void ConfirmQuitFrame(TForm1& form) {
  Game& g = form.game();
  DrawQuestion(g, "Quit this scenario?");
  DrawWidgetsAndPointer(g);
  if (const int n = TakeClickedButton(g)) QuitAnswer(form, n == 1);
}

// Escape: No.
void ConfirmQuitKeyDown(TForm1& form, const KeyEvent& key) {
  if (key.repeat || key.shift != 0 || key.vk != vk::Escape) return;
  Click(form.game());
  QuitAnswer(form, false);
}

// --- gsLifeLost -------------------------------------------------------------------

constexpr int kLifeLostButtons = 125;  // keeps 160..430 clear, as play left it

void LifeLostEnter(TForm1& form) {
  Game& g = form.game();
  StopMusic(g.audio);
  BeginMenuScreen(g);
  AddAnswerButtons(g, kLifeLostButtons, "Quit scenario", 'Q', "Resume game", 'R');
  FocusButton(g, 2);
}

void LifeLostAct(TForm1& form, int button) {
  Game& g = form.game();
  if (button == 1) {
    form.SetGameState(gsGameOver);
  } else if (button == 2) {
    ShowPlayfield(g, true);
    ShowPointer(g, false);
    FlushKeys(g.input, g.platform.input.Keys());
    form.SetGameState(gsPlaying);
  }
}

void LifeLostFrame(TForm1& form) {
  Game& g = form.game();
  ClearMenuFrame(g);
  SelectFont(g.fonts, kFaceEras16, 1);
  DrawTextCentred(g.fonts, g.backSurface, 60, "You have lost a life");
  SelectFont(g.fonts, kFaceEras14, 2);
  const int lives = g.values.Lives;
  DrawTextCentred(g.fonts, g.backSurface, 92, std::to_string(lives) + (lives == 1 ? " life left" : " lives left"));
  DrawWidgetsAndPointer(g);
  if (const int n = TakeClickedButton(g)) LifeLostAct(form, n);
}

// Escape: Resume game; so do Enter and Space that come before the screen is
// built (they press its default, which has no focus to show yet).
void LifeLostKeyDown(TForm1& form, const KeyEvent& key) {
  if (key.repeat || key.shift != 0) return;
  if (key.vk == vk::Escape || (IsConfirmKey(key) && !form.frame().ScreenReady)) {
    Click(form.game());
    LifeLostAct(form, 2);
  }
}

// --- gsConfirmRestart -----------------------------------------------------------

void ConfirmRestartEnter(TForm1& form) {
  Game& g = form.game();
  FreezeClocks(g);
  ClearHitMarks(g.world);
  PauseMusic(g.audio);
  BeginMenuScreen(g);
  AddAnswerButtons(g, 230, "Restart", 'R', "Resume game", 'G');
  FocusButton(g, 2);
}

void RestartAnswer(TForm1& form, int button) {
  if (button == 1) form.SetGameState(gsPrepareScenario);
  else if (button == 2) ResumePlay(form);
}

void ConfirmRestartFrame(TForm1& form) {
  Game& g = form.game();
  DrawQuestion(g, "Restart scenario?");
  DrawWidgetsAndPointer(g);
  if (const int n = TakeClickedButton(g)) RestartAnswer(form, n);
}

// Escape: Resume game.
void ConfirmRestartKeyDown(TForm1& form, const KeyEvent& key) {
  if (key.repeat || key.shift != 0 || key.vk != vk::Escape) return;
  Click(form.game());
  RestartAnswer(form, 2);
}

}  // namespace

std::string WithoutLeadingBlank(std::string text) {
  if (!text.empty() && text.front() == ' ') text.erase(0, 1);
  return text;
}

ScreenUnit StatusScreenUnit() { return {StatusEnter, StatusFrame, StatusKeyDown, NoKeyPress, MenuMouse}; }
ScreenUnit ConfirmQuitScenarioUnit() {
  return {ConfirmQuitEnter, ConfirmQuitFrame, ConfirmQuitKeyDown, NoKeyPress, MenuMouse};
}
ScreenUnit LifeLostUnit() { return {LifeLostEnter, LifeLostFrame, LifeLostKeyDown, NoKeyPress, MenuMouse}; }
ScreenUnit ConfirmRestartUnit() {
  return {ConfirmRestartEnter, ConfirmRestartFrame, ConfirmRestartKeyDown, NoKeyPress, MenuMouse};
}

}  // namespace gravik

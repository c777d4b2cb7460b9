// The game's own screens around play: status, its quit confirmation, a life
// given up, the restart confirmation, game over and scenario completion.
#include "audio/Audio.h"
#include "base/Text.h"
#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "frame/Keys.h"
#include "frame/PlayerData.h"
#include "screens/PlainScreen.h"
#include "world/Targets.h"

namespace gravik {

namespace {

constexpr uint32_t kStatusDebounceMs = 500;
constexpr uint32_t kCompleteLockMs = 3001;

void Click(Game& g) { PlaySound(g.audio, "click1.wav"); }

std::string PlayTimeText(const Game& g) { return Trim(FormatPlayTime(g.values.TotalPlaySeconds)); }

// --- gsStatusScreen -------------------------------------------------------------

void StatusEnter(TForm1& form) {
  Game& g = form.game();
  World& w = g.world;
  g.backSurface.Fill(0);
  form.Present();
  FreezeClocks(g);
  CountTargets(w);
  PauseMusic(g.audio);
  ShowPlayfield(g, false);
  ClearHitMarks(w);
  NoteJoystickAtEntry(g);
  form.frame().PanelToggleTick = g.Now();
}

// "Return to game", accepted more than 500 ms after the screen was entered.
void ReturnToGame(TForm1& form) {
  Game& g = form.game();
  if (double(g.Now()) - form.frame().PanelToggleTick <= kStatusDebounceMs) return;
  ResumePlay(form);
}

void StatusFrame(TForm1& form) {
  Game& g = form.game();
  World& w = g.world;
  const Counters& c = w.Count;
  const bool mapViewable = g.scenario.Level(w.CurrentLevel).NoMap == 0;
  DrawPlainScreen(g, "GRAVIK 2: The Story So Far...",
                  {{"Scenario:", g.scenario.Info.Name.Str()},
                   {"Author:", g.scenario.Info.Author.Str()},
                   {"Map:", mapViewable ? "Yes (View)" : "No"},
                   {"Score:", std::to_string(c.Score)},
                   {"Lives:", std::to_string(g.values.Lives)},
                   {"Diamonds:", std::to_string(c.DiamondsLeft)},
                   {"Earth:", std::to_string(c.EarthLeft)},
                   {"Puzzle Pieces:", std::to_string(c.PuzzlePiecesLeft) + " (View)"},
                   {"Monsters:", std::to_string(c.MonstersLeft)},
                   {"Transporters:", std::to_string(c.TransportersLeft)},
                   {"Progress:", Format("%d%%", int(w.CompletionPercent))},
                   {"Total Time:", PlayTimeText(g)}},
                  "Enter/Space: Return to game   M: Map   P: Puzzle   O: Options   Q: Quit scenario");
  if (NewJoystickButtons(g) & 3) ReturnToGame(form);
}

void StatusKeyDown(TForm1& form, const KeyEvent& key) {
  Game& g = form.game();
  if (key.repeat || key.shift != 0) return;
  if (key.vk == vk::F2) {
    if (double(g.Now()) - form.frame().PanelToggleTick <= kStatusDebounceMs) return;
    ReturnToGame(form);
    form.frame().PanelToggleTick = g.Now();
  } else if (IsConfirmKey(key) || KeyIsSlot(g.input, key, kSlotStatus)) {
    Click(g);
    ReturnToGame(form);
  } else if (key.vk == 'Q') {
    Click(g);
    form.SetGameState(gsConfirmQuitScenario);
  } else if (key.vk == 'M') {
    Click(g);
    g.values.MapFromStatus = true;
    form.SetGameState(gsMapView);
  } else if (key.vk == 'O') {
    Click(g);
    g.values.OptionsReturnState = gsStatusScreen;
    form.SetGameState(gsOptions);
  } else if (key.vk == 'P') {
    Click(g);
    form.SetGameState(gsPuzzleView);
  }
}

// --- gsConfirmQuitScenario ------------------------------------------------------

void ConfirmQuitFrame(TForm1& form) {
  DrawPlainScreen(form.game(), "Quit this scenario?", {}, "Y or Enter: Yes    N or Esc: No");
}

void ConfirmQuitKeyDown(TForm1& form, const KeyEvent& key) {
  if (key.repeat) return;
  if (key.vk == 'Y' || key.vk == vk::Return) {
    Click(form.game());
    form.SetGameState(gsGameOver);
  } else if (key.vk == 'N' || key.vk == vk::Escape) {
    Click(form.game());
    form.SetGameState(gsStatusScreen);
  }
}

// --- gsLifeLost -------------------------------------------------------------------

void LifeLostEnter(TForm1& form) {
  Game& g = form.game();
  StopMusic(g.audio);
  ShowPlayfield(g, false);
}

void LifeLostFrame(TForm1& form) {
  Game& g = form.game();
  DrawPlainScreen(g, "You have lost a life", {{"Lives:", std::to_string(g.values.Lives)}},
                  "Enter or Space: Resume game    Q: Quit scenario");
}

void LifeLostKeyDown(TForm1& form, const KeyEvent& key) {
  Game& g = form.game();
  if (key.repeat) return;
  if (IsConfirmKey(key)) {
    Click(g);
    ShowPlayfield(g, true);
    ShowPointer(g, false);
    FlushKeys(g.input, g.platform.input.Keys());
    form.SetGameState(gsPlaying);
  } else if (key.vk == 'Q') {
    Click(g);
    form.SetGameState(gsGameOver);
  }
}

// --- gsConfirmRestart -----------------------------------------------------------

void ConfirmRestartEnter(TForm1& form) {
  Game& g = form.game();
  FreezeClocks(g);
  ClearHitMarks(g.world);
  PauseMusic(g.audio);
  ShowPlayfield(g, false);
}

void ConfirmRestartFrame(TForm1& form) {
  DrawPlainScreen(form.game(), "Restart scenario?", {}, "Enter: Restart    Esc: Resume game");
}

void ConfirmRestartKeyDown(TForm1& form, const KeyEvent& key) {
  if (key.repeat) return;
  if (key.vk == vk::Return) {
    Click(form.game());
    form.SetGameState(gsPrepareScenario);
  } else if (key.vk == vk::Escape) {
    Click(form.game());
    ResumePlay(form);
  }
}

// --- gsGameOver ---------------------------------------------------------------------

void GameOverEnter(TForm1& form) {
  Game& g = form.game();
  StopMusic(g.audio);
  ClearHitMarks(g.world);
  RecordGameEnd(g, /*completed=*/false);
  ShowPlayfield(g, false);
  NoteJoystickAtEntry(g);
}

void GameOverFrame(TForm1& form) {
  Game& g = form.game();
  ScreenLines lines = {{"Score:", std::to_string(g.world.Count.Score)}, {"Total Time:", PlayTimeText(g)}};
  if (g.values.NewBestScore) {
    lines.push_back({"Congratulations!", ""});
    lines.push_back({"Previous Highest Score:", std::to_string(g.values.PreviousBest)});
  } else {
    const uint32_t best = BestTime(g);
    lines.push_back({"Highest Score:", std::to_string(BestScore(g))});
    lines.push_back({"Best Time:", best ? Trim(FormatPlayTime(best)) : "N/A"});
  }
  DrawPlainScreen(g, "GAME OVER", lines, "Enter or Space: OK");
  if (NewJoystickButtons(g) & 1) {
    Click(g);
    form.SetGameState(gsMainMenu);
  }
}

// Enter or Space presses OK (typed characters, as the key table has them).
void GameOverKeyPress(TForm1& form, char key) {
  if (key != '\r' && key != ' ') return;
  Click(form.game());
  form.SetGameState(gsMainMenu);
}

// --- gsScenarioComplete ---------------------------------------------------------

void CompleteEnter(TForm1& form) {
  Game& g = form.game();
  StopMusic(g.audio);
  for (int i = 0; i < 3; ++i) {
    g.backSurface.Fill(0);
    form.Present();
  }
  if (g.world.GraphicsStyle != 1) {
    g.world.GraphicsStyle = 1;
    RefreshBlockGraphics(g);
  }
  ShowPlayfield(g, false);
  g.values.CompleteTick = g.Now();
  PlaySound(g.audio, "level complete.wav");
  RecordGameEnd(g, /*completed=*/true);
}

void CompleteFrame(TForm1& form) {
  Game& g = form.game();
  DrawPlainScreen(g, "SCENARIO COMPLETED",
                  {{"Scenario:", g.scenario.Info.Name.Str()},
                   {"SCORE:", std::to_string(g.world.Count.Score)},
                   {"Total Time:", PlayTimeText(g)}},
                  "Well done! Enter or Space: OK");
  PollAudioKeys(form);
}

void CompleteKeyDown(TForm1& form, const KeyEvent& key) {
  Game& g = form.game();
  if (!IsConfirmKey(key) || TicksSince(g.Now(), g.values.CompleteTick) < kCompleteLockMs) return;
  Click(g);
  form.SetGameState(gsMainMenu);
}

}  // namespace

ScreenUnit StatusScreenUnit() { return {StatusEnter, StatusFrame, StatusKeyDown, NoKeyPress, NoMouse}; }
ScreenUnit ConfirmQuitScenarioUnit() { return {NoEntry, ConfirmQuitFrame, ConfirmQuitKeyDown, NoKeyPress, NoMouse}; }
ScreenUnit LifeLostUnit() { return {LifeLostEnter, LifeLostFrame, LifeLostKeyDown, NoKeyPress, NoMouse}; }
ScreenUnit ConfirmRestartUnit() { return {ConfirmRestartEnter, ConfirmRestartFrame, ConfirmRestartKeyDown, NoKeyPress, NoMouse}; }
ScreenUnit GameOverUnit() { return {GameOverEnter, GameOverFrame, NoKeys, GameOverKeyPress, NoMouse}; }
ScreenUnit ScenarioCompleteUnit() { return {CompleteEnter, CompleteFrame, CompleteKeyDown, NoKeyPress, NoMouse}; }

}  // namespace gravik

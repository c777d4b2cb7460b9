#include "frame/GameFlow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/Errors.h"
#include "base/Text.h"
#include "frame/Form.h"
#include "input/KeyHandlers.h"
#include "world/LevelSetup.h"
#include "world/Flow.h"
#include "world/Meteors.h"
#include "world/Player.h"
#include "world/Targets.h"
#include "world/Tick.h"
#include "world/Transport.h"

namespace gravik {

namespace {

constexpr uint32_t kTitleCardMs = 4000;
constexpr uint32_t kDeathFrameMs = 100;

void Fill(Game& g) { g.backSurface.Fill(0); }

void ClearScreenAndPresent(TForm1& form) {
  Fill(form.game());
  form.Present();
}

PanelValues CurrentPanelValues(Game& g) { return PanelValuesOf(g.world, g.values.Lives); }

void ShowPlayfield(Game& g, bool shown) {
  if (g.playfield.Background) g.playfield.Background->Visible = shown;
  if (g.playfield.Figure) g.playfield.Figure->Visible = shown;
}

void ShowPointer(Game& g, bool shown) {
  if (g.playfield.Pointer) g.playfield.Pointer->Visible = shown;
}

// The player figure shows the picture the player's animation chose.
void ShowPlayerPattern(Game& g) {
  if (!g.playfield.Figure) return;
  g.playfield.Figure->FramePos = g.world.Player.Pattern;
  g.playfield.Figure->FrameCount = g.world.Player.Pattern + 1;
}

void RenderSprites(Game& g) {
  g.sprites.Advance(1);
  g.sprites.FlushDead();
  g.sprites.Render();
}

void PlaceView(Game& g) {
  PlacePlayfield(g.playfield, g.frame.PanelShown, g.world.Player.ViewX, g.world.Player.ViewY);
}

void RebuildLevelGraphics(Game& g) {
  GraphicsContext ctx = g.Graphics();
  BuildLevelGraphics(ctx, CurrentLevelLook(g.scenario, g.world));
}


// The scenario chosen to play: a file named on the command line, or the
// built-in one from the archive.
void LoadChosenScenario(Game& g) {
  const std::string& file = g.options.playScenario;
  if (file.empty()) {
    if (FindScenarioEntry(g.scenarios, BuiltInScenarioName) == 0)
      throw FatalMessage("Unable to find scenario file in list.");
    g.scenario.FileName = BuiltInScenarioName;
    LoadCurrentScenario(g.scenario, *g.archive, [&](const std::string& m) { g.platform.shell.ShowInfo("Gravik 2", m); });
    return;
  }
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(file, bytes, 64u << 20)) throw FatalMessage(ExtractFileName(file) + " not found.");
  const int r = LoadScenario(g.scenario, bytes, [&](const std::string& m) { g.platform.shell.ShowInfo("Gravik 2", m); });
  if (r != ScenarioLoaded || !g.scenario.CrcCorrect) throw FatalMessage(ExtractFileName(file) + " CRC incorrect.");
  g.scenario.FileName = ExtractFileName(file);
  ComputeLevelSeeds(g.scenario);
  BuildTransporterTable(g.scenario);
}

// The world's per-scenario values: seeds and puzzle.
void TakeScenarioIntoWorld(Game& g) {
  World& w = g.world;
  for (int i = 0; i < LevelCount; ++i) {
    w.Levels[size_t(i)].Seed1 = g.scenario.LevelSeeds[size_t(i)].A;
    w.Levels[size_t(i)].Seed2 = g.scenario.LevelSeeds[size_t(i)].B;
  }
  ResetLevelStates(w);
  const TScenarioExtras& x = g.scenario.Extras;
  w.DefaultPuzzle = x.DefaultPuzzle != 0;
  w.PuzzleWidth = std::clamp<int>(x.PuzzleColumns, 0, PuzzleColumnsMax);
  w.PuzzleHeight = std::clamp<int>(x.PuzzleRows, 0, PuzzleRowsMax);
  w.PuzzleCollected.fill(0);
  for (int c = 1; c <= w.PuzzleWidth; ++c)
    for (int r = 1; r <= w.PuzzleHeight; ++r)
      w.PuzzleCollected[size_t((c - 1) * PuzzleRowsMax + (r - 1))] =
          x.PieceFlags[size_t((c - 1) * PuzzleMaxRows + (r - 1))];
}

void FreeMonsterSlots(World& w) {
  for (TMonster& m : w.Monsters) {
    m.State = 0;
    m.X = m.Y = 0;
    m.Visible = 0;
    m.Moving = 0;
  }
}

void SelectTitleFont(Game& g, int colour) { SelectFont(g.fonts, "eras16boldV.bmp", colour); }

// A plain information screen: a title and label/value lines. Used where the
// full menu screen is not part of the game yet, so the player always sees
// what happened.
void DrawPlainScreen(Game& g, const std::string& title, const std::vector<std::pair<std::string, std::string>>& lines,
                     const std::string& hint) {
  Fill(g);
  SelectTitleFont(g, 1);
  DrawTextCentred(g.fonts, g.backSurface, 60, title);
  SelectFont(g.fonts, "eras14boldV.bmp", 2);
  int y = 130;
  for (const auto& [label, value] : lines) {
    DrawLabelValue(g.fonts, g.backSurface, y, label, value);
    y += 30;
  }
  SelectFont(g.fonts, "eras12boldV.bmp", 3);
  DrawTextCentred(g.fonts, g.backSurface, 440, hint);
}

bool ConfirmKeyPressed(Game& g) {
  KeyState& k = g.platform.input.Keys();
  const bool enter = (k.AsyncKeyState(vk::Return) & 1) != 0;
  const bool space = (k.AsyncKeyState(vk::Space) & 1) != 0;
  return enter || space;
}

}  // namespace

void RefreshBlockGraphics(Game& g) {
  GraphicsContext ctx = g.Graphics();
  RefreshHooks hooks;
  hooks.Time = &g.platform.clock;
  hooks.FrameStepReference = &g.frame.LastCounter;
  hooks.DecorateSpace = [&g] { DecorateSpaceLevel(g.world); };
  RefreshBlockGraphics(ctx, CurrentLevelLook(g.scenario, g.world), hooks);
}

std::string FormatPlayTime(uint32_t seconds) {
  const uint32_t h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
  return Format("%s%02uh %02um %02us", h < 100 ? " " : "", h, m, s);
}

void FreezeClocks(Game& g) {
  const uint32_t now = g.Now();
  g.values.FrozenLevelClock = now - g.values.LevelClock;
  for (int i = 0; i < MonsterSlots; ++i) {
    g.values.FrozenMonsterAnim[size_t(i)] = now - g.world.Monsters[size_t(i)].AnimTime;
    g.values.FrozenMonsterHatch[size_t(i)] = now - g.world.Monsters[size_t(i)].HatchTime;
  }
}

void ThawClocks(Game& g) {
  const uint32_t now = g.Now();
  g.values.LevelClock = now - g.values.FrozenLevelClock;
  for (int i = 0; i < MonsterSlots; ++i) {
    g.world.Monsters[size_t(i)].AnimTime = now - g.values.FrozenMonsterAnim[size_t(i)];
    g.world.Monsters[size_t(i)].HatchTime = now - g.values.FrozenMonsterHatch[size_t(i)];
  }
}

void PlacePlayerAtRestart(Game& g) {
  PlacePlayer(g.world, g.values.RestartX, g.values.RestartY);
}

void DarkenPicture(uint16_t* pixels, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const uint16_t p = pixels[i];
    const int r = int(double((p >> 11) & 31) / 3 * 2), gr = int(double((p >> 5) & 63) / 3 * 2),
              b = int(double(p & 31) / 3 * 2);
    if (r || gr || b) pixels[i] = uint16_t((r << 11) | (gr << 5) | b);
  }
}

void PrepareScenarioFrame(TForm1& form) {
  Game& g = form.game();
  World& w = g.world;
  GameValues& v = g.values;
  // 1. A fresh game.
  v.GameOverFlag = true;
  form.frame().TimingReset = false;
  v.MusicStartNow = false;
  const uint32_t prepStart = g.Now();
  form.frame().PauseRequested = false;
  StopMusic(g.audio);
  FlushKeys(g.input, g.platform.input.Keys());
  // 3. No transporter journey under way; one end character to reach.
  v.ArrivedByTransporter = false;
  w.Player.ArrivedByTransporter = false;
  w.TransportCount = 0;
  // 4. Three cleared frames (the preparation line after a slow one).
  for (int i = 0; i < 3; ++i) {
    Fill(g);
    if (v.SlowPreparation) {
      SelectFont(g.fonts, "eras10boldV.bmp", 2);
      DrawTextCentred(g.fonts, g.backSurface, 460, "[Preparing Scenario]");
    }
    form.Present();
  }
  // 5. The scenario and its graphics. (2. is the lookup inside.)
  ClearHitMarks(w);
  LoadChosenScenario(g);
  g.gfx.MayChangeBlockGraphics = true;
  TakeScenarioIntoWorld(g);
  // 7. The start cell (needed before the level's look is known). A scenario
  //    without an end character starts with none to reach.
  w.Count.EndCharsLeft = InitialEndCharacters(w);
  StartCell start = FindStartCell(w);
  if (const int n = g.options.startLevel; n >= 1 && n <= WorldLevels) {
    // Developer start: where the first transporter into level n lands, else
    // the level's first empty cell.
    start = {n, start.X, start.Y};
    auto link = std::find_if(g.scenario.Transporters.begin(), g.scenario.Transporters.end(),
                             [n](const TTransporterLink& t) { return t.DestLevel == n; });
    if (link != g.scenario.Transporters.end()) {
      start.X = link->DestColumn + LevelOriginX;
      start.Y = link->DestRow + LevelOriginY;
    } else if (w.Store) {
      bool found = false;
      for (int x = 1; x <= LevelSide && !found; ++x)
        for (int y = 1; y <= LevelSide && !found; ++y)
          if (w.Store->Cell(n, x, y) == BlockEmpty) {
            start.X = x + LevelOriginX;
            start.Y = y + LevelOriginY;
            found = true;
          }
    }
  }
  w.CurrentLevel = start.Level;
  v.RestartX = start.X;
  v.RestartY = start.Y;
  ApplyLevelFlagOverrides(w.Catalogue);
  RebuildLevelGraphics(g);
  form.ApplyPanelLayout();
  // 6. The player and the game's values.
  ResetPlayerMovement(w, g.Now());
  w.Player.ArrivedByTransporter = false;
  v.LevelClock = g.Now();
  w.Count.Score = 0;
  v.DisplayedScore = 0;
  SyncDisplayedScore(g.panel, 0);
  v.Lives = 3;
  w.Count.DiamondsCollected = 0;
  v.TotalPlaySeconds = 0;
  w.PuzzleAreaMap.fill(w.Named.Earth1);
  w.RecountTargets = 1;
  form.frame().ScenarioFinished = false;
  w.ScenarioFinished = false;
  w.Player.GaveUp = false;
  // 8. The running world of the start level.
  w.Player.X = v.RestartX;
  w.Player.Y = v.RestartY;
  BuildWorld(w);
  PlacePlayerAtRestart(g);
  FreeMonsterSlots(w);
  CountTargets(w);
  // 9. The title card.
  form.SetGameState(gsLevelIntro);
  RefreshBlockGraphics(g);
  // 11. Remember a slow preparation.
  v.SlowPreparation = TicksSince(g.Now(), prepStart) > 2000;
}

void LevelIntroFrame(TForm1& form) {
  Game& g = form.game();
  if (!form.frame().ScreenReady) {
    ShowPlayfield(g, false);
    ShowPointer(g, false);
    g.values.TitleCardTick = g.Now();
    form.frame().ScreenReady = true;
  }
  Fill(g);
  SelectTitleFont(g, 1);
  if (g.world.DemoMode) {
    DrawTextCentred(g.fonts, g.backSurface, 190, "DEMO");
  } else {
    DrawTextCentred(g.fonts, g.backSurface, 190, "SCENARIO");
    SelectTitleFont(g, 3);
    DrawTextCentred(g.fonts, g.backSurface, 230, g.scenario.Info.Name.Str());
  }
  if (TicksSince(g.Now(), g.values.TitleCardTick) > kTitleCardMs) {
    form.SetGameState(gsPlaying);
    ShowPlayfield(g, true);
    ShowPointer(g, false);
    g.values.LevelClock = g.Now();
  }
}

void PlayingFrame(TForm1& form) {
  Game& g = form.game();
  World& w = g.world;
  // 1-2. Frame step and music upkeep.
  form.MeasureFrameStep();
  w.FrameStep = form.frame().FrameStep;
  w.PanelShown = form.frame().PanelShown;
  if (g.values.MusicStartNow) {
    g.values.MusicStartNow = false;
    PlayMusic(g.audio, 2, MusicLoopsInState(gsPlaying));
  }
  RestartMusicIfEnded(g.audio);
  // 3. View.
  PlaceView(g);
  // 4-6. The rules (they read the keys through the player's input).
  KeyPlayerInput controls(form, g.input);
  WorldRules(w, &controls);
  if (TransportersDead(w)) ShowTimedMessage(g.panel, "Transporters dead??", 1000, g.Now());
  PollAudioKeys(form, g.input);
  if (form.frame().GameState != gsPlaying) return;  // a polled key left play
  // 7-10. Sprites, then the moving objects over them.
  PlaceView(g);
  ShowPlayerPattern(g);
  RenderSprites(g);
  DrawMovingObjects(g.images, g.backSurface, w);
  // 11-13. Death and completion.
  EndTick(w);
}

// The iris takes its colours from the transporter picture of the level.
void TakeIrisColours(Game& g) {
  for (size_t i = 1; i < g.iris.Colours.size(); ++i) g.iris.Colours[i] = FromRgb565(g.gfx.TransporterColours[i]);
}

void TransportOutFrame(TForm1& form) {
  Game& g = form.game();
  if (!form.frame().ScreenReady) {
    g.iris.Started = false;
    TakeIrisColours(g);
    form.frame().ScreenReady = true;
  }
  BeginIrisClose(g.iris, g.Now(), form.frame().PanelShown);
  form.MeasureFrameStep();
  ShowPlayerPattern(g);
  RenderSprites(g);
  DrawMovingObjects(g.images, g.backSurface, g.world);
  DrawPanelOrBars(g.images, g.fonts, g.panel, g.panelSurface, g.backSurface, form.frame().PanelShown,
                  CurrentPanelValues(g), g.Now());
  DrawIris(g.backSurface, g.iris);
  if (AdvanceIrisClose(g.iris, g.Now())) {
    for (int i = 0; i < 3; ++i) {
      DrawIris(g.backSurface, g.iris);
      form.Present();
    }
    form.SetGameState(gsTransportArrive);
  }
}

void TransportArriveFrame(TForm1& form) {
  Game& g = form.game();
  World& w = g.world;
  Scenario& s = g.scenario;
  const int col = w.Player.X - LevelOriginX, row = w.Player.Y - LevelOriginY;
  const TTransporterLink* match = nullptr;
  for (TTransporterLink& t : s.Transporters) {
    if (t.Used == 0 && t.Column == col && t.Row == row && t.Level == w.CurrentLevel) {
      ++t.Used;
      match = &t;
    }
  }
  if (match) {
    // The transporter is used up.
    w.SetCell(w.Player.X, w.Player.Y, BlockEmpty);
    SaveLevelState(w, /*leaving=*/true);
    w.CurrentLevel = match->DestLevel;
    g.values.RestartX = match->DestColumn + LevelOriginX;
    g.values.RestartY = match->DestRow + LevelOriginY;
    w.Player.X = g.values.RestartX;
    w.Player.Y = g.values.RestartY;
    BuildWorld(w);
    ResetPlayerMovement(w, g.Now());
    g.values.LevelClock = g.Now();
    FlushKeys(g.input, g.platform.input.Keys());
    PlacePlayerAtRestart(g);
    w.PanelShown = form.frame().PanelShown;
    RecomputeScreenPositions(w);
    g.values.ArrivedByTransporter = true;
    w.Player.ArrivedByTransporter = true;
    ++g.values.TransportersUsed;
    CountTargets(w);
    // Arriving on an occupied cell is deadly; the stored cell is emptied.
    const uint8_t here = w.At(w.Player.X, w.Player.Y);
    if (here != BlockEmpty && here != w.Named.Player1 && here != BlockTransporter) {
      w.Player.Dead = 1;
      if (w.Store) w.Store->SetCell(w.CurrentLevel, w.Player.X - LevelOriginX, w.Player.Y - LevelOriginY, BlockEmpty);
    }
  }
  // A transporter without a record leads back into play on the same level.
  w.RecountTargets = 1;
  FlushKeys(g.input, g.platform.input.Keys());
  form.SetGameState(gsTransportIn);
}

void TransportInFrame(TForm1& form) {
  Game& g = form.game();
  if (!form.frame().ScreenReady) {
    g.iris.Started = false;
    TakeIrisColours(g);
    g.panel.ForceRedraw();
    form.frame().ScreenReady = true;
  }
  BeginIrisOpen(g.iris, g.Now(), form.frame().PanelShown);
  form.MeasureFrameStep();
  PlaceView(g);
  g.world.PanelShown = form.frame().PanelShown;
  RecomputeScreenPositions(g.world);
  ShowPlayerPattern(g);
  RenderSprites(g);
  DrawMovingObjects(g.images, g.backSurface, g.world);
  DrawPanelOrBars(g.images, g.fonts, g.panel, g.panelSurface, g.backSurface, form.frame().PanelShown,
                  CurrentPanelValues(g), g.Now());
  DrawIris(g.backSurface, g.iris);
  if (AdvanceIrisOpen(g.iris, g.Now())) form.SetGameState(gsPlaying);
}

void LosingLifeFrame(TForm1& form) {
  Game& g = form.game();
  World& w = g.world;
  GameValues& v = g.values;
  if (!form.frame().ScreenReady) {
    v.DeathTick = g.Now();
    v.DeathFrame = 0;
    const uint8_t here = w.At(w.Player.X, w.Player.Y);
    if (here <= NamedBlockLimit && here != w.Named.Skull1 && here != w.Named.Save && !w.Named.IsPlant(here))
      w.SetChip(w.Player.X, w.Player.Y, 0);
    StopMusic(g.audio);
    PlaySound(g.audio, "killedbyrock.wav");
    form.frame().ScreenReady = true;
  }
  if (g.playfield.Figure) {
    const int pattern = v.DeathFrame + (w.GraphicsStyle == 1 ? 23 : 13);
    g.playfield.Figure->FramePos = pattern;
    g.playfield.Figure->FrameCount = pattern + 1;
  }
  form.MeasureFrameStep();
  PlaceView(g);
  RenderSprites(g);
  DrawMovingObjects(g.images, g.backSurface, w);
  if (TicksSince(g.Now(), v.DeathTick) > kDeathFrameMs) {
    ++v.DeathFrame;
    v.DeathTick = g.Now();
  }
  if (v.DeathFrame <= 5) return;
  // The death is over: a life is gone.
  if (v.Lives > 0) --v.Lives;
  const bool gaveUp = w.Player.GaveUp;
  if (v.Lives > 0) {
    ClearPlayerBlocks(w);
    PlacePlayerAtRestart(g);
    ResetPlayerMovement(w, g.Now());
    FlushKeys(g.input, g.platform.input.Keys());
    MarkMusicRestart(g.audio);
    ClearHitMarks(w);
    const uint8_t restart = w.At(v.RestartX, v.RestartY);
    if (restart != BlockEmpty && restart != w.Named.Save) {
      w.SetCell(v.RestartX, v.RestartY, BlockEmpty);
      if (w.Store) w.Store->SetCell(w.CurrentLevel, v.RestartX - LevelOriginX, v.RestartY - LevelOriginY, BlockEmpty);
    }
    w.Player.Dead = 0;
    w.Player.GaveUp = false;
    form.SetGameState(gaveUp ? gsLifeLost : gsStatusScreen);
  } else {
    w.Player.Dead = 0;
    w.Player.GaveUp = false;
    v.GameOverFlag = true;
    form.SetGameState(gsGameOver);
  }
}

void PausedFrame(TForm1& form) {
  Game& g = form.game();
  if (!form.frame().ScreenReady) {
    FreezeClocks(g);
    PauseMusic(g.audio);
    g.workPicture = g.backSurface;
    DarkenPicture(g.workPicture.Data(), g.workPicture.Pixels().size());
    ShowPlayfield(g, false);
    ShowPointer(g, false);
    form.frame().ScreenReady = true;
  }
  form.frame().PauseRequested = false;
  Draw(g.backSurface, 0, 0, g.workPicture);
  SelectTitleFont(g, 1);
  DrawTextCentred(g.fonts, g.backSurface, 190, "PAUSED");
  SelectTitleFont(g, 2);
  DrawTextCentred(g.fonts, g.backSurface, 230, "Press F8 to resume game");
}

namespace {

// Back to play from a screen that froze the clocks.
void ResumePlay(TForm1& form) {
  Game& g = form.game();
  ThawClocks(g);
  ShowPointer(g, false);
  ShowPlayfield(g, true);
  FlushKeys(g.input, g.platform.input.Keys());
  SyncDisplayedScore(g.panel, g.world.Count.Score);
  form.SetGameState(gsPlaying);
}

void StatusScreenFrame(TForm1& form) {
  Game& g = form.game();
  World& w = g.world;
  if (!form.frame().ScreenReady) {
    ClearScreenAndPresent(form);
    FreezeClocks(g);
    CountTargets(w);
    PauseMusic(g.audio);
    ShowPlayfield(g, false);
    ClearHitMarks(w);
    form.frame().PanelToggleTick = g.Now();
    form.frame().ScreenReady = true;
  }
  const Counters& c = w.Count;
  DrawPlainScreen(g, "GRAVIK 2: The Story So Far...",
                  {{"Scenario:", g.scenario.Info.Name.Str()},
                   {"Author:", g.scenario.Info.Author.Str()},
                   {"Score:", std::to_string(c.Score)},
                   {"Lives:", std::to_string(g.values.Lives)},
                   {"Diamonds:", std::to_string(c.DiamondsLeft)},
                   {"Earth:", std::to_string(c.EarthLeft)},
                   {"Puzzle Pieces:", std::to_string(c.PuzzlePiecesLeft)},
                   {"Monsters:", std::to_string(c.MonstersLeft)},
                   {"Transporters:", std::to_string(c.TransportersLeft)},
                   {"Progress:", Format("%d%%", int(w.CompletionPercent))},
                   {"Total Time:", Trim(FormatPlayTime(g.values.TotalPlaySeconds))}},
                  "Press Enter or Space to return to the game");
  if (double(g.Now()) - form.frame().PanelToggleTick > 500 && ConfirmKeyPressed(g)) {
    PlaySound(g.audio, "click1.wav");
    ResumePlay(form);
  }
}

void LifeLostFrame(TForm1& form) {
  Game& g = form.game();
  if (!form.frame().ScreenReady) {
    StopMusic(g.audio);
    form.frame().PanelToggleTick = g.Now();
    form.frame().ScreenReady = true;
  }
  DrawPlainScreen(g, "You have lost a life", {{"Lives:", std::to_string(g.values.Lives)}},
                  "Press Enter or Space to resume the game");
  if (double(g.Now()) - form.frame().PanelToggleTick > 500 && ConfirmKeyPressed(g)) {
    ShowPlayfield(g, true);
    FlushKeys(g.input, g.platform.input.Keys());
    form.SetGameState(gsPlaying);
  }
}

void GameOverFrame(TForm1& form) {
  Game& g = form.game();
  if (!form.frame().ScreenReady) {
    StopMusic(g.audio);
    ClearHitMarks(g.world);
    ShowPlayfield(g, false);
    form.frame().ScreenReady = true;
  }
  DrawPlainScreen(g, "GAME OVER",
                  {{"Score:", std::to_string(g.world.Count.Score)},
                   {"Total Time:", Trim(FormatPlayTime(g.values.TotalPlaySeconds))}},
                  "Press Enter or Space to play again");
  if (ConfirmKeyPressed(g)) {
    PlaySound(g.audio, "click1.wav");
    form.SetGameState(gsPrepareScenario);
  }
}

void ScenarioCompleteFrame(TForm1& form) {
  Game& g = form.game();
  if (!form.frame().ScreenReady) {
    StopMusic(g.audio);
    ShowPlayfield(g, false);
    g.values.CompleteTick = g.Now();
    PlaySound(g.audio, "level complete.wav");
    form.frame().ScreenReady = true;
  }
  DrawPlainScreen(g, "SCENARIO COMPLETED",
                  {{"Scenario:", g.scenario.Info.Name.Str()},
                   {"SCORE:", std::to_string(g.world.Count.Score)},
                   {"Total Time:", Trim(FormatPlayTime(g.values.TotalPlaySeconds))}},
                  "Well done! Press Enter or Space to play again");
  if (TicksSince(g.Now(), g.values.CompleteTick) > 3001 && ConfirmKeyPressed(g))
    form.SetGameState(gsPrepareScenario);
}

// Screens that simply return to play once confirmed.
void ConfirmRestartFrame(TForm1& form) {
  Game& g = form.game();
  if (!form.frame().ScreenReady) {
    FreezeClocks(g);
    ClearHitMarks(g.world);
    PauseMusic(g.audio);
    ShowPlayfield(g, false);
    form.frame().ScreenReady = true;
  }
  DrawPlainScreen(g, "Restart scenario?", {}, "Enter: Restart    Esc: Resume game");
  KeyState& k = g.platform.input.Keys();
  if (k.AsyncKeyState(vk::Return) & 1) {
    form.SetGameState(gsPrepareScenario);
  } else if (k.AsyncKeyState(vk::Escape) & 1) {
    ResumePlay(form);
  }
}

// The state-change steps that reach the modules (numbers as in SetGameState).
void StateChangeStep(TForm1& form, uint8_t oldState, uint8_t newState, int step) {
  Game& g = form.game();
  World& w = g.world;
  switch (step) {
    case -1:  // surfaces restored during play
      {
        GraphicsContext ctx = g.Graphics();
        BuildPanels(ctx, CurrentLevelLook(g.scenario, w).BlockSet, w.GraphicsStyle);
      }
      break;
    case 1:
      w.Player.LastDirection = 0;
      ResetPanelSurface(g.images, g.panel, g.panelSurface);
      if (g.audio.MusicOn) g.values.MusicStartNow = true;
      g.panel.ForceRedraw();
      break;
    case 3:
      RefreshSafeChips(w);
      break;
    case 4:
      if (w.MeteorCount > 0 && g.audio.SoundOn) StopSound(g.audio, "meteors.wav");
      break;
    case 6:
      if (g.input.JoystickEnabled) CalibrateJoystick(g.input, g.platform.input);
      break;
    case 8: {
      RestartObjectClocks(w, g.Now());
      if (!w.Player.ArrivedByTransporter) {
        const uint8_t here = w.At(w.Player.X, w.Player.Y);
        if (here != w.Named.Save && here != BlockPuzzlePiece && here != BlockTransporter &&
            here != w.Named.Transport1 && !w.Named.IsPlant(here))
          w.SetMapByte(w.Player.X, w.Player.Y, w.Named.Player1);
      }
      RebuildFontIndexes(g.fonts, g.images);
      UpdateAudioKeysUsable(g.input);
      break;
    }
    default:
      break;
  }
}

}  // namespace

void InstallGameFlow(TForm1& form) {
  Game& g = form.game();
  g.world.Host = &form;
  g.world.LevelGraphics = &g.levelGraphicsHook;
  form.SetStateHandler(gsPrepareScenario, PrepareScenarioFrame);
  form.SetStateHandler(gsLevelIntro, LevelIntroFrame);
  form.SetStateHandler(gsPlaying, PlayingFrame);
  form.SetStateHandler(gsTransportOut, TransportOutFrame);
  form.SetStateHandler(gsTransportArrive, TransportArriveFrame);
  form.SetStateHandler(gsTransportIn, TransportInFrame);
  form.SetStateHandler(gsLosingLife, LosingLifeFrame);
  form.SetStateHandler(gsPaused, PausedFrame);
  form.SetStateHandler(gsStatusScreen, StatusScreenFrame);
  form.SetStateHandler(gsLifeLost, LifeLostFrame);
  form.SetStateHandler(gsGameOver, GameOverFrame);
  form.SetStateHandler(gsScenarioComplete, ScenarioCompleteFrame);
  form.SetStateHandler(gsConfirmRestart, ConfirmRestartFrame);
  form.StateChangeStep = StateChangeStep;
  form.PlayerBetweenCells = [](TForm1& f) { return f.game().world.Player.StepDistance != 0.0; };
  form.CheckScenarioDone = [](TForm1& f) {
    CheckScenarioDone(f.game().world);
    f.frame().ScenarioFinished = f.game().world.ScenarioFinished;
  };
  form.PanelLayoutChanged = [](TForm1& f) {
    Game& game = f.game();
    game.world.PanelShown = f.frame().PanelShown;
    PlaceView(game);
    if (game.playfield.Background) game.playfield.Background->Visible = true;
    SyncDisplayedScore(game.panel, game.world.Count.Score);
  };
  form.RefreshSidePanel = [](TForm1& f) {
    Game& game = f.game();
    const uint8_t s = f.frame().GameState;
    if (s != gsPlaying && s != gsLosingLife && s != gsTransportOut && s != gsTransportIn) return;
    DrawPanelOrBars(game.images, game.fonts, game.panel, game.panelSurface, game.backSurface,
                    f.frame().PanelShown, CurrentPanelValues(game), game.Now());
  };
  form.DrawOverlays = [](TForm1& f) {
    Game& game = f.game();
    OverlayInputs in;
    in.Playing = f.frame().GameState == gsPlaying;
    in.MapView = f.frame().GameState == gsMapView;
    in.Debug = game.options.debug;
    in.DebugWorld = &game.world;
    DrawOverlays(game.backSurface, &game.systemText, game.panel, in, game.Now());
  };
}

}  // namespace gravik

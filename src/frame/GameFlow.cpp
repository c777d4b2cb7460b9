#include "frame/GameFlow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "base/Errors.h"
#include "base/Text.h"
#include "data/Profile.h"
#include "data/ScenarioPlay.h"
#include "frame/Demo.h"
#include "frame/Form.h"
#include "frame/Keys.h"
#include "frame/PlayerData.h"
#include "frame/SaveGames.h"
#include "render/Iris.h"
#include "world/Flow.h"
#include "world/LevelSetup.h"
#include "world/Meteors.h"
#include "world/Player.h"
#include "world/Targets.h"
#include "world/Tick.h"
#include "world/Transport.h"

namespace gravik {

namespace {

constexpr uint32_t kTitleCardMs = 4000;
constexpr uint32_t kDeathFrameMs = 100;
constexpr size_t kScenarioFileLimit = size_t(64) << 20;

void Fill(Game& g) { g.backSurface.Fill(0); }

PanelValues CurrentPanelValues(Game& g) { return PanelValuesOf(g.world, g.values.Lives); }

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

void ShowScenarioMessage(Game& g, const std::string& m) { g.platform.shell.ShowInfo("Gravik 2", m); }

// The file of the scenario the player chose: the profile's current scenario
// (the very entry the scenarios screen chose when several share its identity),
// else the one last selected.
std::string ChosenScenarioFile(const Game& g) {
  if (HasCurrentProfile(g)) {
    if (const std::optional<ScenarioIdentity> id = CurrentScenarioIdentity(*g.profile.Record)) {
      int n = FindScenarioEntry(g.scenarios, g.scenario.FileName);
      if (n != 0 && SameIdentity(g.scenarios[size_t(n - 1)].Identity, *id)) return g.scenarios[size_t(n - 1)].FileName;
      n = FindScenarioEntryByIdentity(g.scenarios, *id);
      if (n != 0) return g.scenarios[size_t(n - 1)].FileName;
    }
  }
  return g.scenario.FileName.empty() ? std::string(BuiltInScenarioName) : g.scenario.FileName;
}

void LoadBuiltInScenario(Game& g) {
  if (FindScenarioEntry(g.scenarios, BuiltInScenarioName) == 0)
    throw FatalMessage("Unable to find scenario file in list.");
  g.scenario.FileName = BuiltInScenarioName;
  LoadCurrentScenario(g.scenario, *g.archive, [&](const std::string& m) { ShowScenarioMessage(g, m); });
}

// A chosen file of the Scenarios folder that no longer passes its checks (it
// changed since start-up): the player is told, the list marks it damaged, the
// profile goes back to the built-in scenario, which is loaded again so nothing
// of the refused file stays in memory.
void RefuseChosenScenario(Game& g, const std::string& name) {
  std::fprintf(stderr, "gravik: %s%s was refused\n", g.folders.Scenarios.c_str(), name.c_str());
  for (TScenarioEntry& e : g.scenarios)
    if (SameText(e.FileName, name)) {
      e.Damaged = true;
      e.Available = 0;
    }
  ShowScenarioMessage(g, name + " CRC incorrect.");
  g.scenario.FileName = BuiltInScenarioName;
  if (HasCurrentProfile(g)) {
    ActivateProfile(g.profile, g.scenarios, g.scenario, g.folders.Scenarios, /*load=*/false);
    g.world.InitialTotals = CurrentScenarioTotals(*g.profile.Record);
    SaveCurrentProfile(g);
  }
  LoadBuiltInScenario(g);
}

// The scenario to play: a file named on the command line, the built-in one
// for a demo, else the player's choice (the built-in one from the archive or
// a file of the Scenarios folder). A scenario that keeps its own graphics
// takes away the permission to switch the graphics style. False when the
// chosen file of the folder was refused (see RefuseChosenScenario).
bool LoadChosenScenario(Game& g) {
  // A demo always plays on the built-in scenario.
  const std::string file = g.world.DemoMode ? std::string() : g.options.playScenario;
  auto show = [&](const std::string& m) { ShowScenarioMessage(g, m); };
  if (!file.empty()) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(file, bytes, kScenarioFileLimit)) throw FatalMessage(ExtractFileName(file) + " not found.");
    if (!LoadScenarioFile(g.scenario, *g.archive, bytes, ExtractFileName(file), show))
      throw FatalMessage(ExtractFileName(file) + " CRC incorrect.");
  } else if (const std::string chosen = ChosenScenarioFile(g);
             g.world.DemoMode || SameText(chosen, BuiltInScenarioName)) {
    LoadBuiltInScenario(g);
  } else {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(g.folders.Scenarios + chosen, bytes, kScenarioFileLimit) ||
        !LoadScenarioFile(g.scenario, *g.archive, bytes, chosen, show)) {
      RefuseChosenScenario(g, chosen);
      return false;
    }
  }
  if (g.scenario.Header.KeepGraphics != 0) g.gfx.MayChangeBlockGraphics = false;
  return true;
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

// The developer start on level n: where the first transporter into it lands,
// else its first empty cell.
StartCell DeveloperStart(Game& g, int n, StartCell start) {
  World& w = g.world;
  start = {n, start.X, start.Y};
  auto link = std::find_if(g.scenario.Transporters.begin(), g.scenario.Transporters.end(),
                           [n](const TTransporterLink& t) { return t.DestLevel == n; });
  if (link != g.scenario.Transporters.end()) {
    start.X = link->DestColumn + LevelOriginX;
    start.Y = link->DestRow + LevelOriginY;
    return start;
  }
  if (!w.Store) return start;
  for (int x = 1; x <= LevelSide; ++x)
    for (int y = 1; y <= LevelSide; ++y)
      if (w.Store->Cell(n, x, y) == BlockEmpty) return {n, x + LevelOriginX, y + LevelOriginY};
  return start;
}

// The world tick's view of the frame.
class GameTickHost : public TickHost {
 public:
  explicit GameTickHost(TForm1& form) : form_(form), g_(form.game()), controls_(form), recording_(g_, controls_) {}
  double MeasureFrameStep() override {
    form_.MeasureFrameStep();
    g_.world.PanelShown = g_.frame.PanelShown;
    return g_.frame.FrameStep;
  }
  void MusicUpkeep() override {
    if (g_.values.MusicStartNow) {
      g_.values.MusicStartNow = false;
      PlayMusic(g_.audio, 2, MusicLoopsInState(gsPlaying));
    }
    RestartMusicIfEnded(g_.audio);
  }
  void PlaceView(double viewX, double viewY) override {
    PlacePlayfield(g_.playfield, g_.frame.PanelShown, viewX, viewY);
  }
  void ShowNotice(const std::string& text, uint32_t ms) override { gravik::ShowNotice(g_, text, ms); }
  PlayerInput& Controls() override {
    if (Recording(g_)) return recording_;
    return controls_;
  }
  void RenderSprites() override {
    ShowPlayerPattern(g_);
    gravik::RenderSprites(g_);
  }
  void DrawMovingObjects() override { gravik::DrawMovingObjects(g_.images, g_.backSurface, g_.world); }

 private:
  TForm1& form_;
  Game& g_;
  KeyPlayerInput controls_;
  RecordingInput recording_;
};

// The iris takes its colours from the transporter picture of the level.
void TakeIrisColours(Game& g) {
  for (size_t i = 1; i < g.iris.Colours.size(); ++i) g.iris.Colours[i] = FromRgb565(g.gfx.TransporterColours[i]);
}

// The journey's frames: the sprites and objects as in play, the panel, the iris.
void DrawJourneyFrame(TForm1& form) {
  Game& g = form.game();
  form.MeasureFrameStep();
  ShowPlayerPattern(g);
  RenderSprites(g);
  DrawMovingObjects(g.images, g.backSurface, g.world);
  DrawPanelOrBars(g.images, g.fonts, g.panel, g.panelSurface, g.backSurface, form.frame().PanelShown,
                  CurrentPanelValues(g), g.Now());
  DrawIris(g.backSurface, g.iris);
}

// --- gsShowWindow, gsEnterMenus ----------------------------------------------

void ShowWindowFrame(TForm1& form) {
  FrameState& f = form.frame();
  Display& d = form.game().platform.display;
  d.Show(false);
  d.Show(true);
  f.ModeSwitchLockout = false;
  f.GameState = gsEnterMenus;
  f.ScreenReady = false;
}

// The first screen: the main menu for the current player; the profiles screen
// when profiles exist but none is current; the name entry when there is no
// profile at all. A run told to play (--play, or a developer start on a level)
// goes straight into the scenario under the current player, or "Player" when
// there is none.
void EnterMenusFrame(TForm1& form) {
  FrameState& f = form.frame();
  Game& g = form.game();
  // --demo [FILE] plays at once; a refused demo leaves the usual start.
  if (g.options.demo && BeginDemo(form, g.options.demoFile)) {
    // the demo's preparation is under way
  } else if (g.options.edit) {
    g.options.edit = false;
    form.SetGameState(gsEditor);
  } else if (g.options.play || g.options.startLevel != 0) {
    EnsurePlayerProfile(g);
    ChoosePlayedScenario(g);
    form.SetGameState(gsPrepareScenario);
  } else {
    form.SetGameState(HasCurrentProfile(g)       ? gsMainMenu
                      : !g.profile.List.empty() ? gsProfiles
                                                : gsNewProfile);
  }
  if (f.WindowedPreference != f.Windowed) {
    f.ModeSwitchLockout = false;
    form.ToggleDisplayMode();
  }
}

// --- gsPrepareScenario ----------------------------------------------------------

void PrepareScenarioFrame(TForm1& form) {
  Game& g = form.game();
  World& w = g.world;
  GameValues& v = g.values;
  // 1. A fresh game.
  form.frame().TimingReset = false;
  v.MusicStartNow = false;
  const uint32_t prepStart = g.Now();
  form.frame().PauseRequested = false;
  StopMusic(g.audio);
  FlushKeys(g.input, g.platform.input.Keys());
  // 3. No transporter journey under way.
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
  g.gfx.MayChangeBlockGraphics = true;
  if (!LoadChosenScenario(g)) {
    g.continuing.reset();
    form.SetGameState(gsMainMenu);
    return;
  }
  v.ScenarioCrc = ScenarioContentCrc(g);
  v.GameInProgress = !w.DemoMode;
  TakeScenarioIntoWorld(w, g.scenario);
  if (w.DemoMode || g.options.editorTrial)
    std::copy(std::begin(g.scenario.Header.Totals), std::end(g.scenario.Header.Totals), w.InitialTotals.begin());
  else if (HasCurrentProfile(g))
    w.InitialTotals = CurrentScenarioTotals(*g.profile.Record);
  // 7. The start cell (needed before the level's look is known). A scenario
  //    without an end character starts with none to reach.
  w.Count.EndCharsLeft = InitialEndCharacters(w);
  StartCell start = FindStartCell(w);
  if (const int n = g.options.startLevel; n >= 1 && n <= WorldLevels && !w.DemoMode) start = DeveloperStart(g, n, start);
  w.CurrentLevel = start.Level;
  v.RestartX = start.X;
  v.RestartY = start.Y;
  ApplyLevelFlagOverrides(w.Catalogue);
  RebuildLevelGraphics(g);
  form.ApplyPanelLayout();
  // 6. The player and the game's values.
  ResetPlayerMovement(w, g.Now());
  v.LevelClock = g.Now();
  w.Count.Score = 0;
  SyncDisplayedScore(g.panel, 0);
  v.Lives = 3;
  w.Count.DiamondsCollected = 0;
  v.TotalPlaySeconds = 0;
  w.PuzzleAreaMap.fill(w.Named.Earth1);
  w.RecountTargets = 1;
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
  // 10. A demo's snapshot replaces the running level; so does a saved game
  //     being continued.
  StartDemo(form);
  if (g.continuing && !ApplyPendingContinue(form, false)) return;
  // 11. Remember a slow preparation.
  v.SlowPreparation = TicksSince(g.Now(), prepStart) > 2000;
}

// --- gsLevelIntro -----------------------------------------------------------------

void LevelIntroEnter(TForm1& form) {
  Game& g = form.game();
  ShowPlayfield(g, false);
  ShowPointer(g, false);
  g.values.TitleCardTick = g.Now();
}

void LevelIntroFrame(TForm1& form) {
  Game& g = form.game();
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

// --- gsPlaying ----------------------------------------------------------------------

void PlayingFrame(TForm1& form) {
  Game& g = form.game();
  // The first frame of play: a continued game's clocks, a demo's timing, a
  // recording's snapshot.
  if (g.continuing) ApplyPendingContinue(form, true);
  DemoPlayBegins(g);
  RecordPlayBegins(g);
  GameTickHost host(form);
  GameTick(form.game().world, host);
  if (g.worldTrace) *g.worldTrace << std::hex << WorldDigest(g.world) << std::dec << ' ' << int(g.values.Lives) << '\n';
}

// --- the transporter journey ----------------------------------------------------------

void TransportOutEnter(TForm1& form) {
  Game& g = form.game();
  g.iris.Started = false;
  TakeIrisColours(g);
}

void TransportOutFrame(TForm1& form) {
  Game& g = form.game();
  BeginIrisClose(g.iris, g.Now(), form.frame().PanelShown);
  DrawJourneyFrame(form);
  if (AdvanceIrisClose(g.iris, g.Now())) {
    for (int i = 0; i < 3; ++i) {
      DrawIris(g.backSurface, g.iris);
      form.Present();
    }
    form.SetGameState(gsTransportArrive);
  }
}

void TransportArriveFrame(TForm1& form) {
  CompleteTransporterArrival(form);
  form.SetGameState(gsTransportIn);
}

void TransportInEnter(TForm1& form) {
  Game& g = form.game();
  g.iris.Started = false;
  TakeIrisColours(g);
  g.panel.ForceRedraw();
}

void TransportInFrame(TForm1& form) {
  Game& g = form.game();
  BeginIrisOpen(g.iris, g.Now(), form.frame().PanelShown);
  PlaceView(g);
  g.world.PanelShown = form.frame().PanelShown;
  RecomputeScreenPositions(g.world);
  DrawJourneyFrame(form);
  if (AdvanceIrisOpen(g.iris, g.Now())) form.SetGameState(gsPlaying);
}

// --- gsLosingLife -----------------------------------------------------------------------

void LosingLifeEnter(TForm1& form) {
  Game& g = form.game();
  g.values.DeathTick = g.Now();
  g.values.DeathFrame = 0;
  StopMusic(g.audio);
  StartDeath(g.world);
}

void LosingLifeFrame(TForm1& form) {
  Game& g = form.game();
  World& w = g.world;
  GameValues& v = g.values;
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
  form.SetGameState(FinishDeath(form));
}

// --- gsPaused ---------------------------------------------------------------------------------

void PausedEnter(TForm1& form) {
  Game& g = form.game();
  FreezeClocks(g);
  PauseMusic(g.audio);
  g.workPicture = g.backSurface;
  DarkenPicture(g.workPicture.Data(), g.workPicture.Pixels().size());
  ShowPlayfield(g, false);
  ShowPointer(g, false);
}

void PausedFrame(TForm1& form) {
  Game& g = form.game();
  form.frame().PauseRequested = false;
  Draw(g.backSurface, 0, 0, g.workPicture);
  SelectTitleFont(g, 1);
  DrawTextCentred(g.fonts, g.backSurface, 190, "PAUSED");
  SelectTitleFont(g, 2);
  DrawTextCentred(g.fonts, g.backSurface, 230, "Press F8 to resume game");
}

void PausedKeyDown(TForm1& form, const KeyEvent& key) {
  if (key.vk != vk::F8) return;
  form.frame().PauseRequested = false;
  ResumePlay(form);
}

void LevelIntroKeyDown(TForm1& form, const KeyEvent&) { EndTitleCard(form.game()); }

void LevelIntroMouse(TForm1& form, const InputEvent& ev) {
  if (ev.type == InputEventType::MouseDown) EndTitleCard(form.game());
}

}  // namespace

void EndEditorTrial(Game& g) {
  g.options.editorTrial = false;
  g.options.play = false;
  g.options.playScenario.clear();
  g.options.startLevel = 0;
  g.values.GameInProgress = false;
}


void CompleteTransporterArrival(TForm1& form) {
  Game& g = form.game();
  World& w = g.world;
  w.PanelShown = form.frame().PanelShown;
  const TransporterArrival a = ArriveThroughTransporter(w, g.scenario.Transporters, g.Now());
  if (a.Matched) {
    g.values.RestartX = a.RestartX;
    g.values.RestartY = a.RestartY;
    g.values.LevelClock = g.Now();
    ++g.values.TransportersUsed;
  }
  // A transporter without a record leads back into play on the same level.
  FlushKeys(g.input, g.platform.input.Keys());
  SaveRunningGame(form);
}

uint8_t FinishDeath(TForm1& form) {
  Game& g = form.game();
  World& w = g.world;
  GameValues& v = g.values;
  // The death is over: a life is gone.
  SaveCurrentProfile(g);
  if (v.Lives > 0) --v.Lives;
  const bool gaveUp = w.Player.GaveUp;
  if (v.Lives == 0) {
    w.Player.Dead = 0;
    w.Player.GaveUp = false;
    return gsGameOver;
  }
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
  SaveRunningGame(form);
  // A demo (and a game being recorded for one) goes straight on.
  if ((w.DemoMode || Recording(g)) && !gaveUp) return gsPlaying;
  return gaveUp ? gsLifeLost : gsStatusScreen;
}

ScreenUnit ShowWindowUnit() { return {NoEntry, ShowWindowFrame, NoKeys, NoKeyPress, NoMouse}; }
ScreenUnit EnterMenusUnit() { return {NoEntry, EnterMenusFrame, NoKeys, NoKeyPress, NoMouse}; }
ScreenUnit PrepareScenarioUnit() { return {NoEntry, PrepareScenarioFrame, NoKeys, NoKeyPress, NoMouse}; }
ScreenUnit LevelIntroUnit() { return {LevelIntroEnter, LevelIntroFrame, LevelIntroKeyDown, NoKeyPress, LevelIntroMouse}; }
ScreenUnit PlayingUnit() { return {NoEntry, PlayingFrame, PlayingKeyDown, PlayingKeyPress, NoMouse}; }
ScreenUnit TransportOutUnit() { return {TransportOutEnter, TransportOutFrame, NoKeys, NoKeyPress, NoMouse}; }
ScreenUnit TransportArriveUnit() { return {NoEntry, TransportArriveFrame, NoKeys, NoKeyPress, NoMouse}; }
ScreenUnit TransportInUnit() { return {TransportInEnter, TransportInFrame, NoKeys, NoKeyPress, NoMouse}; }
ScreenUnit LosingLifeUnit() { return {LosingLifeEnter, LosingLifeFrame, NoKeys, NoKeyPress, NoMouse}; }
ScreenUnit PausedUnit() { return {PausedEnter, PausedFrame, PausedKeyDown, NoKeyPress, NoMouse}; }

// --- shared routines -----------------------------------------------------------------------------

void RefreshBlockGraphics(Game& g) {
  GraphicsContext ctx = g.Graphics();
  RefreshHooks hooks;
  hooks.Time = &g.platform.clock;
  hooks.FrameStepReference = &g.frame.LastCounter;
  hooks.DecorateSpace = [&g] { DecorateSpaceLevel(g.world); };
  RefreshBlockGraphics(ctx, CurrentLevelLook(g.scenario, g.world), hooks);
}

void RedrawSidePanel(Game& g) {
  GraphicsContext ctx = g.Graphics();
  BuildPanels(ctx, CurrentLevelLook(g.scenario, g.world).BlockSet, g.world.GraphicsStyle);
}

void RefreshSidePanel(Game& g) {
  const uint8_t s = g.frame.GameState;
  if (!IsPlayState(s)) return;
  DrawPanelOrBars(g.images, g.fonts, g.panel, g.panelSurface, g.backSurface, g.frame.PanelShown,
                  CurrentPanelValues(g), g.Now());
}

void DrawFrameOverlays(Game& g) {
  GameValues& v = g.values;
  const uint32_t now = g.Now();
  ++v.FramesInWindow;
  if (TicksSince(now, v.RateWindowStart) >= 1000) {
    v.FramesPerSecond = v.FramesInWindow;
    v.FramesInWindow = 0;
    v.RateWindowStart = now;
  }
  OverlayInputs in;
  in.Playing = g.frame.GameState == gsPlaying;
  in.MapView = g.frame.GameState == gsMapView;
  in.Debug = g.options.debug;
  in.ShowFrameRate = g.options.debug;
  in.FramesPerSecond = v.FramesPerSecond;
  in.DebugWorld = &g.world;
  in.DemoPlaying = g.world.DemoMode;
  if (DemoCaptionPending(g)) in.DemoCaption = [&g](Bitmap& surface) { DrawDemoCaption(g, surface); };
  DrawOverlays(g.backSurface, &g.systemText, g.panel, in, now);
}

void ApplyPanelLayoutTo(Game& g) {
  g.world.PanelShown = g.frame.PanelShown;
  PlaceView(g);
  if (g.playfield.Background) g.playfield.Background->Visible = true;
  SyncDisplayedScore(g.panel, g.world.Count.Score);
}

void SaveDisplaySettings(Game& g) { StoreDisplayMode(g); }

void ShowPlayfield(Game& g, bool shown) {
  if (g.playfield.Background) g.playfield.Background->Visible = shown;
  if (g.playfield.Figure) g.playfield.Figure->Visible = shown;
}

void ShowPointer(Game& g, bool shown) {
  if (g.playfield.Pointer) g.playfield.Pointer->Visible = shown;
}

void ShowMenuPointer(Game& g) {
  int x = 0, y = 0;
  g.platform.input.MousePosition(x, y);
  ShowPointer(g.playfield.Pointer, g.frame.MenusRunning, x, y);
}

std::string FormatPlayTime(uint32_t seconds) {
  const uint32_t h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
  return Format("%s%02uh %02um %02us", h < 100 ? " " : "", h, m, s);
}

void FreezeClocks(Game& g) {
  const uint32_t now = g.Now();
  g.values.ClocksFrozen = true;
  g.values.FrozenLevelClock = now - g.values.LevelClock;
  for (int i = 0; i < MonsterSlots; ++i) {
    g.values.FrozenMonsterAnim[size_t(i)] = now - g.world.Monsters[size_t(i)].AnimTime;
    g.values.FrozenMonsterHatch[size_t(i)] = now - g.world.Monsters[size_t(i)].HatchTime;
  }
}

void ThawClocks(Game& g) {
  const uint32_t now = g.Now();
  g.values.ClocksFrozen = false;
  g.values.LevelClock = now - g.values.FrozenLevelClock;
  for (int i = 0; i < MonsterSlots; ++i) {
    g.world.Monsters[size_t(i)].AnimTime = now - g.values.FrozenMonsterAnim[size_t(i)];
    g.world.Monsters[size_t(i)].HatchTime = now - g.values.FrozenMonsterHatch[size_t(i)];
  }
}

void PlacePlayerAtRestart(Game& g) { PlacePlayer(g.world, g.values.RestartX, g.values.RestartY); }

void ResumePlay(TForm1& form) {
  Game& g = form.game();
  ThawClocks(g);
  ShowPointer(g, false);
  ShowPlayfield(g, true);
  FlushKeys(g.input, g.platform.input.Keys());
  SyncDisplayedScore(g.panel, g.world.Count.Score);
  form.SetGameState(gsPlaying);
}

void DarkenPicture(uint16_t* pixels, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const uint16_t p = pixels[i];
    const int r = int(double((p >> 11) & 31) / 3 * 2), gr = int(double((p >> 5) & 63) / 3 * 2),
              b = int(double(p & 31) / 3 * 2);
    if (r || gr || b) pixels[i] = uint16_t((r << 11) | (gr << 5) | b);
  }
}

}  // namespace gravik

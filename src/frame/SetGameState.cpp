// SetGameState: the only way the screen state changes, with its steps in order.
#include "frame/Demo.h"
#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "gfx/Fonts.h"
#include "render/Panel.h"
#include "world/Flow.h"
#include "world/Player.h"

namespace gravik {

namespace {

// 1. Entering play: no previous direction, fresh averaging, the panel's work
//    surface and cached values anew, the music to start.
void ResetPlayCaches(TForm1& form) {
  Game& g = form.game();
  g.world.Player.LastDirection = 0;
  form.ResetFrameStepAveraging();
  ResetPanelSurface(g.images, g.panel, g.panelSurface);
  if (g.audio.MusicOn) g.values.MusicStartNow = true;
  g.panel.ForceRedraw();
}

// 2. Leaving a stretch of play adds its whole seconds to the total. Re-entering
//    play from play (the display switch) ends the stretch too, so that no
//    switch improves a best time.
void AddPlayStretch(Game& g, uint32_t now) {
  g.values.TotalPlaySeconds += TicksSince(now, g.values.PlayStart) / 1000;
}

// 3. The play clocks start now; safes show their pattern again.
void StartPlayClocks(Game& g, uint32_t now) {
  g.values.PlayStart = now;
  RefreshSafeChips(g.world);
}

// 4. Out of play the meteors fall silent.
void SilenceMeteors(Game& g) {
  if (g.world.MeteorCount > 0 && g.audio.SoundOn) StopSound(g.audio, "meteors.wav");
}

// 5. A track restarted after a lost life keeps its place from now on.
void ClearMusicMarks(Game& g) { g.audio.MusicRestartMark = false; }

// 6. Leaving the options recalibrates the joystick.
void RecalibrateJoystick(Game& g) {
  if (g.input.JoystickEnabled) CalibrateJoystick(g.input, g.platform.input);
}

// A pause asked for in play is for play: once play gives way to another
// state (a journey, a death, a menu), the request is dropped.
void DropPauseRequest(Game& g) { g.frame.PauseRequested = false; }

// The status screen and the screens it opens froze the clocks once for the
// whole visit; any way out of them ends the visit, so the next one freezes
// afresh.
bool InStatusFamily(uint8_t state) {
  switch (state) {
    case gsStatusScreen:
    case gsMapView:
    case gsOptions:
    case gsPuzzleView:
    case gsConfirmQuitScenario: return true;
    default: return false;
  }
}

void EndStatusVisit(Game& g, uint8_t newState) {
  if (!InStatusFamily(newState)) g.values.StatusOpen = false;
}

// 7. The new state; its screen is built again on its next frame, with its
//    widgets anew.
void StoreState(TForm1& form, uint8_t newState) {
  Game& g = form.game();
  g.frame.ScreenReady = false;
  g.frame.ScreenRebuild = false;
  g.frame.GameState = newState;
  ResetWidgets(g.widgets);
}

// 8. Play resumes: object clocks from now, the player block in the player's
//    cell (never over the cells that must keep their block), key debounce,
//    fonts and the audio keys.
void PreparePlay(Game& g, uint32_t now) {
  World& w = g.world;
  RestartObjectClocks(w, now);
  if (!w.Player.ArrivedByTransporter) MarkPlayerCell(w, /*stamp=*/true);
  g.frame.PanelToggleTick = now;
  if (g.fonts.Count > 0) RebuildFontIndexes(g.fonts, g.images);  // once the fonts are loaded
  UpdateAudioKeysUsable(g.input);
  g.values.NewGameStarted = false;
}

// 9. The frame step is measured from here.
void TakeCounterReading(Game& g) { g.frame.LastCounter = g.platform.clock.PerfCounter(); }

}  // namespace

void TForm1::SetGameState(uint8_t newState) {
  Game& g = game_;
  // A demo shows no screen of its own: anything but play ends it.
  if (g.world.DemoMode && !DemoState(newState)) {
    LeaveDemoMode(g);
    newState = gsMainMenu;
  }
  // A recording covers play and the deaths within it; leaving play ends it.
  if (Recording(g) && newState != gsPlaying && newState != gsLosingLife) FinishRecording(g);
  // Trying a scenario in the editor ends where the menus would begin.
  if (g.options.editorTrial && (newState == gsMainMenu || newState == gsEnterMenus)) {
    EndEditorTrial(g);
    newState = gsEditor;
  }
  if (newState == gsMainMenu) NoteUserInput(g);  // the menu's idle time starts now
  const uint8_t old = g.frame.GameState;
  const uint32_t now = g.Now();
  const bool toPlay = newState == gsPlaying;
  if (toPlay) ResetPlayCaches(*this);
  if (old == gsPlaying) AddPlayStretch(g, now);
  if (toPlay) StartPlayClocks(g, now);
  if (!toPlay) SilenceMeteors(g);
  if (toPlay) ClearMusicMarks(g);
  if (old == gsOptions) RecalibrateJoystick(g);
  if (old == gsPlaying && !toPlay) DropPauseRequest(g);
  EndStatusVisit(g, newState);
  StoreState(*this, newState);
  if (toPlay) PreparePlay(g, now);
  if (newState == gsMainMenu || toPlay) TakeCounterReading(g);
}

}  // namespace gravik

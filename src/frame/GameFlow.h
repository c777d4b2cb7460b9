// The course of a game: preparing the scenario, the title card, play, the
// transporter journey, losing a life and pause; and the game-wide routines the
// screens share.
#pragma once
#include <cstdint>
#include <string>

#include "frame/ScreenUnit.h"

namespace gravik {

class TForm1;
class Game;

// The units of the play path (registered in frame/Units.cpp).
ScreenUnit ShowWindowUnit();
ScreenUnit EnterMenusUnit();
ScreenUnit PrepareScenarioUnit();
ScreenUnit LevelIntroUnit();
ScreenUnit PlayingUnit();
ScreenUnit TransportOutUnit();
ScreenUnit TransportArriveUnit();
ScreenUnit TransportInUnit();
ScreenUnit LosingLifeUnit();
ScreenUnit PausedUnit();

// The transporter journey's arrival: the world of the destination, the restart
// cell, the level clock; the game is saved.
void CompleteTransporterArrival(TForm1& form);
// The end of a death: a life gone, the player back on the restart cell and the
// game saved, or game over. Returns the state that follows.
uint8_t FinishDeath(TForm1& form);

// Time spent in a menu does not count against the level's clocks.
// The end of trying a scenario from the editor: the run's play switches as
// they were before, no game under way.
void EndEditorTrial(Game& g);

void FreezeClocks(Game& g);
void ThawClocks(Game& g);
// The player's cell becomes (RestartX, RestartY), with view and pixel position.
void PlacePlayerAtRestart(Game& g);
// Back to play from a screen that froze the clocks: clocks thawed, the
// playfield shown, the keys flushed, the score shown as it is.
void ResumePlay(TForm1& form);

// The background and player sprites; the pointer sprite.
void ShowPlayfield(Game& g, bool shown);
void ShowPointer(Game& g, bool shown);
// A menu screen begins: the pointer shown at the mouse, which it then follows.
void ShowMenuPointer(Game& g);

// The level's pictures for the current graphics style (after a style switch),
// unless the scenario keeps its own graphics.
void RefreshBlockGraphics(Game& g);
// The side-panel work surface drawn anew (key labels changed, surfaces lost).
void RedrawSidePanel(Game& g);
// Frame steps 5 and 6: the side panel or the black bars in the gameplay
// states, then the overlays.
void RefreshSidePanel(Game& g);
void DrawFrameOverlays(Game& g);
// The panel layout: player sprite position, background shown, the displayed
// score jumps to the score.
void ApplyPanelLayoutTo(Game& g);
// The display mode to restore at the next start.
void SaveDisplaySettings(Game& g);

// Darkens a 640 x 480 picture for the pause screen: each component x becomes
// trunc(x / 3 x 2); a pixel whose reduced components are all 0 is left alone.
void DarkenPicture(uint16_t* pixels, size_t count);

// "HHh MMm SSs", each number two digits, a blank in front while hours < 100.
std::string FormatPlayTime(uint32_t seconds);

}  // namespace gravik

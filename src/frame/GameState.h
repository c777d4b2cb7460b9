// The screen states of the per-frame state machine.
#pragma once
#include <cstdint>

namespace gravik {

enum class WorldOutcome : uint8_t;

enum : uint8_t {
  gsMainMenu = 0,
  gsPrepareScenario = 1,
  gsPlaying = 2,
  gsMapView = 3,
  gsLosingLife = 4,
  gsGameOver = 5,
  gsStatusScreen = 6,
  gsNewProfile = 7,
  gsConfirmExit = 9,
  gsProfiles = 10,
  gsConfirmDeleteProfile = 11,
  gsConfirmQuitScenario = 13,
  gsLevelIntro = 15,
  gsOptions = 17,
  gsLifeLost = 18,
  gsEnterMenus = 20,
  gsHelp = 21,
  gsPaused = 23,
  gsIntroLogo = 27,
  gsScenarioComplete = 42,
  gsEasterEgg = 69,
  gsConfirmRestart = 91,
  gsPuzzleView = 95,
  gsScenarios = 96,  // choosing the scenario to play
  gsConfirmNewGame = 97,  // a saved game exists: start a new game?
  gsEditor = 98,          // the scenario editor
  gsShowWindow = 100,
  gsTransportOut = 200,
  gsTransportIn = 201,
  gsTransportArrive = 202,
};

// Display name of a state, for diagnostics ("gsPlaying"); "state N" for values
// without a name.
const char* GameStateName(uint8_t state);

// Play and its transitions (losing a life, the transporter journey): the
// playfield and the side panel are on screen.
bool IsPlayState(uint8_t state);

// The screen that follows what happened in the world.
uint8_t StateAfter(WorldOutcome outcome);

// True in the screen states where the music track loops: main menu (0),
// options (17), help (21), scenario completed (42).
bool MusicLoopsInState(uint8_t gameState);

}  // namespace gravik

#include "frame/GameState.h"

#include "world/World.h"

namespace gravik {

const char* GameStateName(uint8_t state) {
  switch (state) {
    case gsMainMenu: return "gsMainMenu";
    case gsPrepareScenario: return "gsPrepareScenario";
    case gsPlaying: return "gsPlaying";
    case gsMapView: return "gsMapView";
    case gsLosingLife: return "gsLosingLife";
    case gsGameOver: return "gsGameOver";
    case gsStatusScreen: return "gsStatusScreen";
    case gsNewProfile: return "gsNewProfile";
    case gsConfirmExit: return "gsConfirmExit";
    case gsProfiles: return "gsProfiles";
    case gsConfirmDeleteProfile: return "gsConfirmDeleteProfile";
    case gsConfirmQuitScenario: return "gsConfirmQuitScenario";
    case gsLevelIntro: return "gsLevelIntro";
    case gsOptions: return "gsOptions";
    case gsLifeLost: return "gsLifeLost";
    case gsEnterMenus: return "gsEnterMenus";
    case gsHelp: return "gsHelp";
    case gsPaused: return "gsPaused";
    case gsIntroLogo: return "gsIntroLogo";
    case gsScenarioComplete: return "gsScenarioComplete";
    case gsEasterEgg: return "gsEasterEgg";
    case gsConfirmRestart: return "gsConfirmRestart";
    case gsPuzzleView: return "gsPuzzleView";
    case gsScenarios: return "gsScenarios";
    case gsConfirmNewGame: return "gsConfirmNewGame";
    case gsEditor: return "gsEditor";
    case gsShowWindow: return "gsShowWindow";
    case gsTransportOut: return "gsTransportOut";
    case gsTransportIn: return "gsTransportIn";
    case gsTransportArrive: return "gsTransportArrive";
    default: return "state";
  }
}

bool IsPlayState(uint8_t s) {
  return s == gsPlaying || s == gsLosingLife || s == gsTransportOut || s == gsTransportIn || s == gsTransportArrive;
}

uint8_t StateAfter(WorldOutcome outcome) {
  switch (outcome) {
    case WorldOutcome::PlayerDied: return gsLosingLife;
    case WorldOutcome::ScenarioDone: return gsScenarioComplete;
    case WorldOutcome::TransporterEntered: return gsTransportOut;
  }
  return gsPlaying;
}

bool MusicLoopsInState(uint8_t gameState) {
  return gameState == gsMainMenu || gameState == gsOptions || gameState == gsHelp || gameState == gsScenarioComplete;
}

}  // namespace gravik

#include "app/Units.h"

#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "screens/Editor.h"
#include "screens/EndScreens.h"
#include "screens/Help.h"
#include "screens/MainMenu.h"
#include "screens/MapView.h"
#include "screens/NameEntry.h"
#include "screens/Options.h"
#include "screens/Profiles.h"
#include "screens/MenuFrame.h"
#include "screens/PuzzleView.h"
#include "screens/ScenarioScreen.h"
#include "screens/StatusScreens.h"

namespace gravik {

const std::vector<StateUnit>& ScreenUnits() {
  static const std::vector<StateUnit> units = {
      {gsMainMenu, MainMenuUnit},
      {gsPrepareScenario, PrepareScenarioUnit},
      {gsPlaying, PlayingUnit},
      {gsMapView, MapViewUnit},
      {gsLosingLife, LosingLifeUnit},
      {gsGameOver, GameOverUnit},
      {gsStatusScreen, StatusScreenUnit},
      {gsNewProfile, NewProfileUnit},
      {gsConfirmExit, ConfirmExitUnit},
      {gsProfiles, ProfilesUnit},
      {gsConfirmDeleteProfile, ConfirmDeleteProfileUnit},
      {gsConfirmQuitScenario, ConfirmQuitScenarioUnit},
      {gsLevelIntro, LevelIntroUnit},
      {gsOptions, OptionsUnit},
      {gsLifeLost, LifeLostUnit},
      {gsEnterMenus, EnterMenusUnit},
      {gsHelp, HelpUnit},
      {gsPaused, PausedUnit},
      {gsIntroLogo, IntroLogoUnit},
      {gsScenarioComplete, ScenarioCompleteUnit},
      {gsEasterEgg, EasterEggUnit},
      {gsConfirmRestart, ConfirmRestartUnit},
      {gsPuzzleView, PuzzleViewUnit},
      {gsScenarios, ScenariosUnit},
      {gsConfirmNewGame, ConfirmNewGameUnit},
      {gsEditor, EditorUnit},
      {gsShowWindow, ShowWindowUnit},
      {gsTransportOut, TransportOutUnit},
      {gsTransportIn, TransportInUnit},
      {gsTransportArrive, TransportArriveUnit},
  };
  return units;
}

void InstallScreenUnits(TForm1& form) {
  for (const StateUnit& u : ScreenUnits()) form.SetUnit(u.State, u.Make());
}

}  // namespace gravik

// Plain information screens: a title, label/value lines and a line of key
// hints, for the screens whose menu widgets are still to come.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "frame/ScreenUnit.h"

namespace gravik {

class Game;

using ScreenLines = std::vector<std::pair<std::string, std::string>>;
void DrawPlainScreen(Game& g, const std::string& title, const ScreenLines& lines, const std::string& hint);

// A fresh press of a confirming key (Enter or Space, not auto-repeat).
bool IsConfirmKey(const KeyEvent& key);

// The units of the game's own screens (screens/PlayScreens.cpp).
ScreenUnit StatusScreenUnit();
ScreenUnit ConfirmQuitScenarioUnit();
ScreenUnit LifeLostUnit();
ScreenUnit ConfirmRestartUnit();
ScreenUnit GameOverUnit();
ScreenUnit ScenarioCompleteUnit();

// The units of the menus (screens/MenuScreens.cpp; the main menu, exit
// confirmation, help and dated credits are in screens/MainMenu.h and Help.h).
ScreenUnit OptionsUnit();
ScreenUnit ProfilesUnit();
ScreenUnit NewProfileUnit();
ScreenUnit ConfirmDeleteProfileUnit();
ScreenUnit IntroLogoUnit();
ScreenUnit PuzzleViewUnit();

}  // namespace gravik

// The screens a running game opens over play: the status screen, its quit
// confirmation, "You have lost a life" and the restart confirmation.
#pragma once
#include <string>

#include "frame/ScreenUnit.h"

namespace gravik {

// Buttons of the status screen, in the order they are created.
inline constexpr int kStatusReturn = 1;
inline constexpr int kStatusQuit = 2;
inline constexpr int kStatusViewMap = 3;
inline constexpr int kStatusOptions = 4;
inline constexpr int kStatusViewPuzzle = 5;
inline constexpr int kStatusSaveAndExit = 6;  // only while the game may be saved

// A time text with one leading blank taken off (the status and completion screens).
std::string WithoutLeadingBlank(std::string text);

ScreenUnit StatusScreenUnit();
ScreenUnit ConfirmQuitScenarioUnit();
ScreenUnit LifeLostUnit();
ScreenUnit ConfirmRestartUnit();

}  // namespace gravik

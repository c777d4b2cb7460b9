// The scenarios screen (gsScenarios): the built-in scenario and the files of the
// Scenarios folder in the list box, the shown row's notes and the profile's
// best results for it; "Play" makes it the profile's scenario and starts it.
#pragma once
#include <string>

#include "frame/ScreenUnit.h"

namespace gravik {

class Game;

ScreenUnit ScenariosUnit();

// Layout, for tests that click.
inline constexpr int kScenarioListLeft = 30;
inline constexpr int kScenarioListTop = 90;
inline constexpr int kScenarioListRows = 12;
inline constexpr int kScenarioPlayButton = 1;
inline constexpr int kScenarioCancelButton = 2;

// The list row text of entry `entry` (1-based): "name - author", or
// "name (damaged)" for a file that failed its checks.
std::string ScenarioRowText(const Game& g, int entry);

// The profile's highest score and best time on entry `entry`, as the screen
// shows them; "N/A" without a record (or, for the time, before a completion).
struct ScenarioResultTexts {
  std::string Score, Time;
};
ScenarioResultTexts ScenarioResultsOf(const Game& g, int entry);

}  // namespace gravik

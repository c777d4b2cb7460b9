// The screens that end a game: "GAME OVER" and the scenario completed.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "frame/ScreenUnit.h"
#include "gfx/Bitmap.h"

namespace gravik {

class Game;

// OK on the completion screen waits this long after the screen was entered.
inline constexpr uint32_t kCompletionLockMs = 3001;
// The completion picture's scroll speed, pixels per elapsed millisecond.
inline constexpr double kCompletionScrollPerMs = 0.02;
// Its window on the screen.
inline constexpr int kCompletionWindowX = 64, kCompletionWindowWidth = 512, kCompletionWindowHeight = 450;

// The label / value lines of the game-over screen below "GAME OVER", each with
// its y; a label centred alone has an empty value.
struct EndLine {
  int Y = 0;
  std::string Label, Value;
};
std::vector<EndLine> GameOverLines(Game& g);

// The completion picture, 512 wide: the heading, the scenario, the results,
// some of the game's blocks and the puzzle picture.
Bitmap BuildCompletionPicture(Game& g);
// One frame of its scroll: at least 1 ms counts, back to the top after the end.
void AdvanceCompletionScroll(Game& g, int pictureHeight);

ScreenUnit GameOverUnit();
ScreenUnit ScenarioCompleteUnit();

}  // namespace gravik

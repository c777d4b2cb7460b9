// The puzzle picture (the collected pieces in their grid) and the screen that
// shows it (state gsPuzzleView, opened from the status screen).
#pragma once
#include <string>

#include "base/Types.h"
#include "frame/ScreenUnit.h"
#include "gfx/Bitmap.h"

namespace gravik {

class Game;
struct World;

inline constexpr int kPuzzlePictureWidth = 640;
inline constexpr int kPuzzlePictureHeight = 450;

// Side of one piece for a grid of cols x rows: 64, halved while the grid is
// wider than 512 or higher than 445, but never below 16.
int PuzzlePieceSide(int cols, int rows);
// The grid's place in the puzzle picture, centred on (320, 225).
TRect PuzzleGridRect(int cols, int rows);
// Pieces of the world's puzzle grid that are collected.
int CollectedPuzzlePieces(const World& w);
// "3/40 pieces (8%) collected." (no full stop when one piece is collected); the
// percentage rounded half away from zero, 0 when there are no pieces.
std::string PuzzleCollectedText(int collected, int total);
// The 640 x 450 picture: black, the orange frame 4 pixels outside the grid and
// every collected piece at its place (from the level's GameBlocks pieces).
Bitmap BuildPuzzlePicture(Game& g);

ScreenUnit PuzzleViewUnit();

}  // namespace gravik

// Turning the current stored level into the running world.
#pragma once
#include "world/World.h"

namespace gravik {

// Builds the current level (w.CurrentLevel) with the player's start cell in
// w.Player.X/Y. Reads the store, the level's saved state and the puzzle data.
void BuildWorld(World& w);

// The starfield rows and plants above a space level (not in graphics style 2),
// as the level build lays them; used again when the graphics style changes.
void DecorateSpaceLevel(World& w);
// Left column (in level columns) of the puzzle display below level 1.
int PuzzleLeft(const World& w);
// Pattern number of puzzle piece (c, r).
int PiecePattern(const World& w, int c, int r);
// Draws the puzzle display below level 1: code 255, chip 0 or the piece's
// pattern once collected.
void DrawPuzzleDisplay(World& w);
// Compass pattern on the end character's cell for a player at (px, py);
// -1 when the player is on the end cell itself.
int EndMarkerPattern(int px, int py, int ex, int ey);
// Sets the end cell's chip for the player's current cell.
void UpdateEndMarker(World& w);
// The facing a new spirit starts with.
void InitialSpiritFacing(World& w, TSpirit& s);

}  // namespace gravik

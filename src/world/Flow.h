// World operations the game flow performs around play: starting a game,
// entering play, losing a life, arriving on another level.
#pragma once
#include "world/World.h"

namespace gravik {

struct StartCell {
  int Level = 1;
  int X = 6, Y = 16;  // world cell
};

// Where a new game starts: the last player block found searching levels 20
// down to 1, columns and rows upwards (each one found is emptied in the
// store); without one, the last empty cell of the reverse search; without
// that, (6, 16) on level 1.
StartCell FindStartCell(World& w);
// End characters a new game starts with: 1 when any stored level holds
// "ENDCHAR1", otherwise 0 (a scenario without one can still be completed).
int InitialEndCharacters(const World& w);
// The saved state of all 20 levels back to unvisited (the seeds are kept).
void ResetLevelStates(World& w);
// Standing, no direction, alive, first animation frame, idle from `now`.
void ResetPlayerMovement(World& w, uint32_t now);
// Entering play: the clocks of spirits in use and of active monsters restart.
void RestartObjectClocks(World& w, uint32_t now);
// Screen positions of spirits, meteors and monsters for the current view;
// spirits and meteors drawn when active, monsters visible exactly when active.
void RecomputeScreenPositions(World& w);
// Every player block in columns 1 to 40 becomes empty.
void ClearPlayerBlocks(World& w);
// Every safe shows its safe pattern again.
void RefreshSafeChips(World& w);

}  // namespace gravik

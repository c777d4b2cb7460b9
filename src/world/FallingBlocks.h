// Gravity for rocks and eggs, and the small cell animations that run in the
// same pass over the map.
#pragma once
#include "world/World.h"

namespace gravik {

// One pass over rows BottomRow + 3 up to 13, each row right to left.
void UpdateBlocks(World& w);

// kind: 0 fall, 2 move right, 4 move left.
void MoveRock(World& w, int x, int y, int x2, int y2, int motion, int kind);
void MoveEgg(World& w, int x, int y, int x2, int y2, int motion);
// Cracks the egg that has just moved to (x, y) when it has landed for good.
void CrackEgg(World& w, int x, int y);

// Steps the animation of the cell (x, y) if it holds an animated block.
void BlockAnimations(World& w, int x, int y);

}  // namespace gravik

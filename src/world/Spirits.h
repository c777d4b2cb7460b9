// Spirits: wall followers that turn into diamonds in cages.
#pragma once
#include "world/World.h"

namespace gravik {

// Outside the map, or a block without SpiritCanEnter.
bool SpiritBlocked(const World& w, int x, int y);
// Offset of the cell on the left-hand side of a spirit facing `f`.
int LeftDX(int f);
int LeftDY(int f);
constexpr int TurnClockwise(int f) { return f % 4 + 1; }
constexpr int TurnAnticlockwise(int f) { return f == 1 ? 4 : f - 1; }

// slot: 0..7.
int SpiritTurn(const World& w, int slot);
void EnterCage(World& w, int slot);
void UpdateSpirits(World& w);

}  // namespace gravik

// The map of the current level (state gsMapView).
#pragma once

#include <vector>

#include "frame/ScreenUnit.h"
#include "world/World.h"

namespace gravik {

// Column and row offsets of a drawn area of w x h cells.
int MapColumnOffset(int w);
int MapRowOffset(int h);

// The map patterns of the extended view (the level-1 puzzle area below the
// level), row by row: fog for unseen cells, a piece's thumbnail when collected.
std::vector<int> ExtendedAreaPatterns(const World& w);

ScreenUnit MapViewUnit();

}  // namespace gravik

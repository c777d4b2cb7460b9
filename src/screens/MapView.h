// The map of the current level (state gsMapView).
#pragma once

#include "frame/ScreenUnit.h"

namespace gravik {

// Column and row offsets of a drawn area of w x h cells.
int MapColumnOffset(int w);
int MapRowOffset(int h);

ScreenUnit MapViewUnit();

}  // namespace gravik

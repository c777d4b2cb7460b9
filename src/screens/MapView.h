// The map of the current level (state gsMapView).
#pragma once

namespace gravik {

class TForm1;

// Column and row offsets of a drawn area of w x h cells.
int MapColumnOffset(int w);
int MapRowOffset(int h);

void MapViewFrame(TForm1& form);
void InstallMapView(TForm1& form);

}  // namespace gravik

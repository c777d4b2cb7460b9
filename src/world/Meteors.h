// Meteors falling through the sky above space levels, and their rumble.
#pragma once
#include "world/World.h"

namespace gravik {

// Moves and places every active meteor, then sets the rumble's volume.
void UpdateMeteors(World& w);
// Attenuation (hundredths of a decibel) of the rumble for a player in `row`
// with sound-effect volume setting `setting` (0..20).
int RumbleVolume(int row, int setting);

}  // namespace gravik

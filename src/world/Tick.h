// One gameplay frame of the world. The frame runs, in order: the frame step
// and music upkeep, the view copy, WorldRules, the sprite engine and the
// object drawing, then EndTick.
#pragma once
#include "world/Player.h"
#include "world/World.h"

namespace gravik {

// The rules of the frame, only while the game state is gsPlaying: block pass
// (at most every 50 ms), monsters, meteors and spirits, the transporter count
// or the player with the death tests; then seen cells and the recount.
void WorldRules(World& w, PlayerInput* input);
// The frame time, then the switches to gsLosingLife and gsScenarioComplete
// (the latter made last, so it wins).
void EndTick(World& w);
// The scenario-complete flag: every target counter and the end characters
// left at or below 0.
void CheckScenarioDone(World& w);
// The catalogue entry of transporters must let the player in; when it does
// not, the frame shows "Transporters dead??".
bool TransportersDead(const World& w);

}  // namespace gravik

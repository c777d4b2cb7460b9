// Collecting, scoring, the scenario-wide targets and skull gates.
#pragma once
#include "world/World.h"

namespace gravik {

// Applies the cell under the player.
void CollectAtPlayer(World& w);
// Every safe of the map becomes a diamond.
void UseKey(World& w);
// Recounts every counter from the stored levels (after saving the live level),
// then puzzle pieces, skull gates and the completion percentage.
void CountTargets(World& w);
void CountPuzzlePieces(World& w);
void OpenSkullGates(World& w);
// Every condition whose bit is set holds (bits 0: true).
bool TargetsMet(const World& w, int bits);
// Copies the level area of the map into the current stored level.
void StoreLevelMap(World& w);
// Stores the running level: map, objects (monster times as ages) and rotation
// frames. When the player leaves level 1 (leaving = true), the area below the
// level is stored as well, so dug earth there stays dug.
void SaveLevelState(World& w, bool leaving = false);

// Stored level size, held to 0..32.
int StoredWidth(const World& w, int level);
int StoredHeight(const World& w, int level);

}  // namespace gravik

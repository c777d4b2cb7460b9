// Monsters: hatching, chasing the player, dying.
#pragma once
#include "world/World.h"

namespace gravik {

constexpr int MonsterHatchMs = 3000;
constexpr int MonsterFirstWait = 8;
constexpr int MonsterSidestepThreshold = 900;

// Hatching and movement of slots 1 to 6, once per frame.
void UpdateMonsters(World& w);
// slot: 0..5.
void KillMonster(World& w, int slot);
void ChooseDirection(World& w, int slot);
// A monster may step into (x, y): the block allows it and y > 14.
bool MonsterCanEnter(const World& w, int x, int y);
// Last active (state 2) slot standing on (x, y), or -1.
int MonsterAt(const World& w, int x, int y);
// Kills every active monster whose cell, or the cell it is moving into, holds a
// rock, an egg or a cracked egg.
void CrushMonsters(World& w);

}  // namespace gravik

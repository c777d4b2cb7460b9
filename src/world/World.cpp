#include "world/World.h"

#include "base/Errors.h"

namespace gravik {

void World::SetCell(int x, int y, uint8_t code) {
  if (!InMap(x, y)) return;
  Map[size_t(MapIndex(x, y))] = code;
  if (Chips) Chips->SetChip(x, y, int(code) - 1);
}

void World::SetMapByte(int x, int y, uint8_t code) {
  if (InMap(x, y)) Map[size_t(MapIndex(x, y))] = code;
}

void World::SetChip(int x, int y, int pattern) {
  if (InMap(x, y) && Chips) Chips->SetChip(x, y, pattern);
}

int World::FreeMonsterSlot() const {
  for (int i = MonsterSlots - 1; i >= 0; --i)
    if (Monsters[size_t(i)].State == 0) return i;
  return -1;
}

int World::ClaimMonsterSlot() {
  const int slot = FreeMonsterSlot();
  if (slot < 0) throw FatalMessage("Unable to find monster slot.");
  return slot;
}

void MarkSeen(TLevelState& level, int x, int y) {
  for (int cx = x - 4; cx <= x + 4; ++cx)
    for (int cy = y - 4; cy <= y + 4; ++cy)
      if (InMap(cx, cy)) level.Seen[size_t(MapIndex(cx, cy))] = 1;
}

}  // namespace gravik

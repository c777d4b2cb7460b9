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

namespace {
uint64_t Fnv(uint64_t h, const void* data, size_t n) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}
}  // namespace

uint64_t WorldDigest(const World& w) {
  uint64_t h = Fnv(1469598103934665603ull, w.Map.data(), w.Map.size());
  const PlayerState& p = w.Player;
  const int32_t cells[] = {p.X, p.Y, p.Moving, p.Pattern, p.Dead, w.CurrentLevel};
  h = Fnv(h, cells, sizeof cells);
  const double pixels[] = {p.PixelX, p.PixelY, p.ViewX, p.ViewY};
  h = Fnv(h, pixels, sizeof pixels);
  h = Fnv(h, &w.Count, sizeof w.Count);
  for (const TMonster& m : w.Monsters) {
    const int32_t v[] = {m.State, m.X, m.Y, m.Direction, m.Frame};
    const double px[] = {m.PixelX, m.PixelY};
    h = Fnv(Fnv(h, v, sizeof v), px, sizeof px);
  }
  for (const TSpirit& s : w.Spirits) {
    const int32_t v[] = {s.Active, s.X, s.Y, s.Facing, s.Frame};
    h = Fnv(h, v, sizeof v);
  }
  for (const CellState& c : w.Cells) {
    const uint8_t v[] = {c.Frame, c.Motion};
    h = Fnv(h, v, sizeof v);
  }
  return h;
}

void MarkSeen(TLevelState& level, int x, int y) {
  for (int cx = x - 4; cx <= x + 4; ++cx)
    for (int cy = y - 4; cy <= y + 4; ++cy)
      if (InMap(cx, cy)) level.Seen[size_t(MapIndex(cx, cy))] = 1;
}

}  // namespace gravik

// One hash of the world a player could see or that decides what comes next:
// map, player, counters, level, lives, state, monsters and spirits.
#pragma once
#include <cstdint>

#include "frame/Game.h"

namespace gravik::playtest {

inline uint64_t Fnv(uint64_t h, const void* data, size_t n) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

inline uint64_t WorldHash(const Game& g) {
  const World& w = g.world;
  uint64_t h = 1469598103934665603ull;
  h = Fnv(h, w.Map.data(), w.Map.size());
  const PlayerState& p = w.Player;
  const int32_t cells[] = {p.X, p.Y, p.Moving, p.Pattern, p.Dead, w.CurrentLevel, int32_t(g.values.Lives),
                           int32_t(g.frame.GameState)};
  h = Fnv(h, cells, sizeof cells);
  const double pixels[] = {p.PixelX, p.PixelY, p.ViewX, p.ViewY};
  h = Fnv(h, pixels, sizeof pixels);
  h = Fnv(h, &w.Count, sizeof w.Count);
  for (const TMonster& m : w.Monsters) {
    const int32_t v[] = {m.State, m.X, m.Y, m.Direction};
    h = Fnv(h, v, sizeof v);
  }
  for (const TSpirit& s : w.Spirits) {
    const int32_t v[] = {s.Active, s.X, s.Y, s.Facing};
    h = Fnv(h, v, sizeof v);
  }
  return h;
}

}  // namespace gravik::playtest

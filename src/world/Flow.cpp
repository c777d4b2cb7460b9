#include "world/Flow.h"

#include "world/Targets.h"

namespace gravik {

StartCell FindStartCell(World& w) {
  StartCell start;
  if (!w.Store) return start;
  bool found = false;
  for (int level = WorldLevels; level >= 1; --level)
    for (int x = 1; x <= LevelSide; ++x)
      for (int y = 1; y <= LevelSide; ++y)
        if (w.Store->Cell(level, x, y) == w.Named.Player1) {
          start = {level, x + LevelOriginX, y + LevelOriginY};
          w.Store->SetCell(level, x, y, BlockEmpty);
          found = true;
        }
  if (found) return start;
  for (int level = WorldLevels; level >= 1; --level)
    for (int x = LevelSide; x >= 1; --x)
      for (int y = LevelSide; y >= 1; --y)
        if (w.Store->Cell(level, x, y) == BlockEmpty) start = {level, x + LevelOriginX, y + LevelOriginY};
  return start;
}

int InitialEndCharacters(const World& w) {
  if (!w.Store) return 0;
  for (int level = 1; level <= WorldLevels; ++level)
    for (int x = 1; x <= StoredWidth(w, level); ++x)
      for (int y = 1; y <= StoredHeight(w, level); ++y)
        if (w.Store->Cell(level, x, y) == w.Named.EndChar1) return 1;
  return 0;
}

void ResetLevelStates(World& w) {
  for (TLevelState& s : w.Levels) {
    const int32_t a = s.Seed1, b = s.Seed2;
    s = TLevelState{};
    s.Seed1 = a;
    s.Seed2 = b;
  }
}

void ResetPlayerMovement(World& w, uint32_t now) {
  PlayerState& p = w.Player;
  p.Moving = 0;
  p.Requested = 0;
  p.LastDirection = 0;
  p.WalkPos = 1;
  p.Dead = 0;
  p.Pattern = 0;
  p.IdleRef = now;
  p.IdleCycles = 0;
  p.IdlePos = 1;
  p.SettleDelay = 0;
  p.StepDistance = p.StepDistanceX = p.StepDistanceY = 0;
}

void RestartObjectClocks(World& w, uint32_t now) {
  for (TSpirit& s : w.Spirits)
    if (s.Active) s.AnimTime = now;
  for (TMonster& m : w.Monsters)
    if (m.State == 2) m.AnimTime = now;
}

void RecomputeScreenPositions(World& w) {
  const double vx = w.Player.ViewX, vy = w.Player.ViewY;
  const int panel = w.PanelShown ? 80 : 0;
  for (TSpirit& s : w.Spirits) {
    s.ScreenX = s.PixelX + vx - panel;
    s.ScreenY = s.PixelY + vy;
    s.Drawn = s.Active;
  }
  for (TMeteor& m : w.Meteors) {
    m.ScreenX = int32_t(m.PixelX + vx) - panel;
    m.ScreenY = int32_t(m.PixelY + vy);
    m.Drawn = m.Active;
  }
  for (TMonster& m : w.Monsters) {
    m.Visible = m.State == 2;
    m.ScreenX = double(int32_t(m.PixelX + vx) - panel);
    m.ScreenY = double(int32_t(m.PixelY + vy));
  }
}

void ClearPlayerBlocks(World& w) {
  for (int x = 1; x <= 40; ++x)
    for (int y = 1; y <= MapHeight; ++y)
      if (w.At(x, y) == w.Named.Player1) w.SetCell(x, y, BlockEmpty);
}

void RefreshSafeChips(World& w) {
  for (int x = 1; x <= MapWidth; ++x)
    for (int y = 1; y <= MapHeight; ++y)
      if (w.At(x, y) == w.Named.Safe) w.SetChip(x, y, w.Named.Safe - 1);
}

}  // namespace gravik

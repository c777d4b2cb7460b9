#include "world/FallingBlocks.h"

#include <algorithm>

#include "world/Monsters.h"

namespace gravik {

namespace {

// Move result of the three gravity tests for a rock or egg at (x, y):
// 3 fall, 2 roll right, 4 roll left (left wins), 0 stay.
int GravityTest(const World& w, int x, int y) {
  int q = 0;
  const TBlockDef& below = w.DefAt(x, y + 1);
  if (w.IsEmpty(x, y + 1)) q = 3;
  if (below.RollsRight && w.IsEmpty(x + 1, y) && w.IsEmpty(x + 1, y + 1)) q = 2;
  if (below.RollsLeft && w.IsEmpty(x - 1, y) && w.IsEmpty(x - 1, y + 1)) q = 4;
  return q;
}

void KillMonsterAt(World& w, int x, int y) {
  const int slot = MonsterAt(w, x, y);
  if (slot >= 0) KillMonster(w, slot);
}

// Steps a twinkle (diamond, key): started by chance when `timer` allows.
void Twinkle(World& w, CellState& s, uint32_t& timer, uint32_t now) {
  if (!s.AnimFlag) {
    if (TicksSince(now, timer) > 500 && w.RandomInt(1000) > 950) {
      s.AnimFlag = 1;
      s.Frame = 0;
      s.AnimTime = now;
    }
    if (TicksSince(now, timer) > 1000) timer = now;
  } else if (TicksSince(now, s.AnimTime) > 100) {
    s.AnimTime = now;
    if (++s.Frame > 4) {
      s.Frame = 0;
      s.AnimFlag = 0;
    }
  }
}

}  // namespace

void BlockAnimations(World& w, int x, int y) {
  const uint8_t code = w.At(x, y);
  const NamedBlocks& n = w.Named;
  CellState& s = w.StateAt(x, y);
  const uint32_t now = w.Now();

  if (code == n.Diamond) {
    Twinkle(w, s, w.DiamondTimer, now);
    const uint8_t f = s.Frame;
    const uint8_t shown = (f == 1 || f == 3) ? n.Diamond2 : f == 2 ? n.Diamond3 : n.Diamond;
    w.SetChip(x, y, shown - 1);
  } else if (code == n.Skull1 || code == BlockSkullGate) {
    if (w.GraphicsStyle == 2) return;
    if (!s.AnimFlag) {
      if (TicksSince(now, w.SkullTimer) > 500 && w.RandomInt(1000) > 900) {
        s.AnimFlag = 1;
        s.Frame = 0;
        s.AnimTime = now;
      }
      if (TicksSince(now, w.SkullTimer) > 1500) w.SkullTimer = now;
    } else if (TicksSince(now, s.AnimTime) > 200) {
      s.AnimTime = now;
      if (++s.Frame > 3) {
        s.Frame = 0;
        s.AnimFlag = 0;
      }
    }
    const uint8_t f = s.Frame;
    const uint8_t shown = (f == 1 || f == 3) ? n.Skull2 : f == 2 ? n.Skull3 : n.Skull1;
    w.SetChip(x, y, shown - 1);
  } else if (code == BlockTransporter) {
    if (w.GraphicsStyle == 2) return;
    if (!s.AnimFlag) {
      s.AnimFlag = 1;
      s.Frame = uint8_t(w.RandomInt(5));
      s.AnimTime = now;
    } else if (TicksSince(now, s.AnimTime) > 200) {
      s.AnimTime = now;
      if (++s.Frame > 4) {
        s.Frame = 0;
        s.AnimFlag = 0;
      }
    }
    w.SetChip(x, y, n.Transport1 + s.Frame - 1);
  } else if (code == n.Save) {
    if (w.GraphicsStyle == 2) return;
    if (!s.AnimFlag) {
      s.AnimFlag = 1;
      s.Frame = 0;
      s.AnimTime = now;
    } else if (TicksSince(now, s.AnimTime) > 100) {
      s.AnimTime = now;
      if (++s.Frame > 6) s.Frame = 0;
    }
    w.SetChip(x, y, s.Frame == 0 ? n.Save - 1 : n.Save2 + s.Frame - 2);
  } else if (code == n.Key) {
    Twinkle(w, s, w.KeyTimer, now);
    const uint8_t f = s.Frame;
    const uint8_t shown = (f == 1 || f == 3) ? n.Key3 : f == 2 ? n.Key2 : n.Key;
    w.SetChip(x, y, shown - 1);
  }
}

void MoveRock(World& w, int x, int y, int x2, int y2, int motion, int kind) {
  if (!InMap(x, y) || !InMap(x2, y2)) return;
  w.SetCell(x, y, BlockEmpty);
  w.SetMapByte(x2, y2, w.Named.Rock);
  const CellState& from = w.StateAt(x, y);
  CellState& to = w.StateAt(x2, y2);
  to.Frame = from.Frame;
  to.PrevMotion = from.Motion;
  to.Motion = uint8_t(motion);

  if (kind != 0 && y < y2) w.Play("rock stop.wav");
  if (kind == 0 && to.PrevMotion != 3) w.Play("rock fall.wav");

  if (kind == 2) to.Frame = to.Frame >= 4 ? 1 : to.Frame + 1;
  if (kind == 4) to.Frame = to.Frame <= 1 ? 4 : to.Frame - 1;

  if (w.GraphicsStyle == 2) {
    w.SetChip(x2, y2, w.Named.Rock - 1);
  } else {
    if (to.Frame < 1 || to.Frame > 4) to.Frame = 1;
    w.SetChip(x2, y2, w.Named.Rock1 + to.Frame - 2);
  }
}

void MoveEgg(World& w, int x, int y, int x2, int y2, int motion) {
  if (!InMap(x, y) || !InMap(x2, y2)) return;
  w.SetCell(x, y, BlockEmpty);
  w.SetCell(x2, y2, w.Named.Egg);
  const CellState& from = w.StateAt(x, y);
  CellState& to = w.StateAt(x2, y2);
  to.Frame = from.Frame;
  to.PrevMotion = from.Motion;
  to.Motion = uint8_t(motion);
}

void CrackEgg(World& w, int x, int y) {
  if (!InMap(x, y)) return;
  if (w.StateAt(x, y).Motion == 0 || w.IsEmpty(x, y + 1)) return;
  const uint8_t below = w.At(x, y + 1);
  if ((below == w.Named.Rock || below == w.Named.Egg) && w.IsEmpty(x, y + 2)) return;
  // With all six slots busy the egg stays whole.
  if (w.FreeMonsterSlot() < 0) return;
  w.SetCell(x, y, w.Named.EggHatch);
  TMonster& m = w.Monsters[size_t(w.ClaimMonsterSlot())];
  m.HatchTime = w.Now();
  m.X = x;
  m.Y = y;
  m.State = 1;
  w.Play("egg.wav");
}

void UpdateBlocks(World& w) {
  if (w.BottomRow + 3 < 13) return;
  const NamedBlocks& n = w.Named;
  int q = 0;  // carries over from cell to cell
  for (int y = std::min(w.BottomRow + 3, MapHeight); y >= 13; --y) {
    for (int x = MapWidth; x >= 1; --x) {
      BlockAnimations(w, x, y);

      if (w.At(x, y) == n.Rock) {
        q = GravityTest(w, x, y);
        if (q == 3) {
          MoveRock(w, x, y, x, y + 1, 3, 0);
        } else if (q == 2) {
          MoveRock(w, x, y, x + 1, y + 1, 2, 2);
          KillMonsterAt(w, x + 1, y);
        } else if (q == 4) {
          MoveRock(w, x, y, x - 1, y + 1, 4, 4);
          KillMonsterAt(w, x - 1, y);
        } else if (w.StateAt(x, y).Motion == 3) {
          w.Play("rock stop.wav");
        }
      }

      if (w.At(x, y) == n.Egg) {
        w.StateAt(x, y).Motion = 0;
        q = GravityTest(w, x, y);
        if (q == 3) {
          MoveEgg(w, x, y, x, y + 1, 3);
          CrackEgg(w, x, y + 1);
        } else if (q == 2) {
          MoveEgg(w, x, y, x + 1, y + 1, 2);
          KillMonsterAt(w, x + 1, y);
          CrackEgg(w, x + 1, y + 1);
        } else if (q == 4) {
          MoveEgg(w, x, y, x - 1, y + 1, 4);
          KillMonsterAt(w, x - 1, y);
          CrackEgg(w, x - 1, y + 1);
        }
      }

      if (q == 0) {
        CellState& s = w.StateAt(x, y);
        s.PrevMotion = s.Motion;
        s.Motion = 0;
      }
    }
  }
}

}  // namespace gravik

#include "world/Monsters.h"

namespace gravik {

namespace {

void SetTarget(TMonster& m) {
  switch (m.Direction) {
    case DirUp: m.TargetY = m.PixelY - 64; break;
    case DirRight: m.TargetX = m.PixelX + 64; break;
    case DirDown: m.TargetY = m.PixelY + 64; break;
    case DirLeft: m.TargetX = m.PixelX - 64; break;
    default: break;
  }
}

void Stand(World& w, int slot) {
  TMonster& m = w.Monsters[size_t(slot)];
  if (m.Wait > 0) --m.Wait;
  if (m.Wait > 0 && m.PendingDirection == 0) return;
  if (m.PendingDirection != 0) {
    m.Direction = m.PendingDirection;
    m.PendingDirection = 0;
  } else {
    m.PixelX = m.X * 64.0;
    m.PixelY = m.Y * 64.0;
    ChooseDirection(w, slot);
  }
  SetTarget(m);
}

void Move(World& w, int slot) {
  TMonster& m = w.Monsters[size_t(slot)];
  const double d = w.FrameStep;
  m.Distance += d;
  bool arrived = false;
  switch (m.Direction) {
    case DirUp: m.PixelY -= d; arrived = m.PixelY <= m.TargetY; break;
    case DirRight: m.PixelX += d; arrived = m.PixelX >= m.TargetX; break;
    case DirDown: m.PixelY += d; arrived = m.PixelY >= m.TargetY; break;
    case DirLeft: m.PixelX -= d; arrived = m.PixelX <= m.TargetX; break;
    default: break;
  }
  if (!arrived) return;
  m.X += DirDX(m.Direction);
  m.Y += DirDY(m.Direction);
  const int32_t current = m.Direction;
  ChooseDirection(w, slot);
  const int32_t ahead = m.Direction;
  m.Direction = current;
  if (ahead == current) {
    // Straight on: one more cell beyond the target just reached.
    m.TargetX += 64.0 * DirDX(current);
    m.TargetY += 64.0 * DirDY(current);
    m.PendingDirection = current;
  } else {
    m.Distance = 0;
    m.Moving = 0;
  }
}

}  // namespace

bool MonsterCanEnter(const World& w, int x, int y) {
  return w.DefAt(x, y).MonsterCanEnter != 0 && y > 14;
}

int MonsterAt(const World& w, int x, int y) {
  int found = -1;
  for (int i = 0; i < MonsterSlots; ++i) {
    const TMonster& m = w.Monsters[size_t(i)];
    if (m.State == 2 && m.X == x && m.Y == y) found = i;
  }
  return found;
}

void KillMonster(World& w, int slot) {
  TMonster& m = w.Monsters[size_t(slot)];
  m.X = 0;
  m.Y = 0;
  m.State = 0;
  m.Moving = 0;
  m.Visible = 0;
  w.RecountTargets = 1;
  w.Play("killmonster.wav");
}

void ChooseDirection(World& w, int slot) {
  TMonster& m = w.Monsters[size_t(slot)];
  const int mx = m.X, my = m.Y, px = w.Player.X, py = w.Player.Y;
  m.Direction = DirNone;

  int wanted[4];
  int count = 0;
  if (px < mx) wanted[count++] = DirLeft;
  if (mx < px) wanted[count++] = DirRight;
  if (my < py) wanted[count++] = DirDown;
  if (py < my) wanted[count++] = DirUp;
  if (count == 0) return;

  const int pick = wanted[w.RandomInt(count)];
  if (MonsterCanEnter(w, mx + DirDX(pick), my + DirDY(pick))) m.Direction = pick;

  if ((mx == px || my == py) && w.RandomInt(1000) > MonsterSidestepThreshold) {
    bool sidestepped = false;
    if (!(w.RandomInt(100) < 20)) {
      if ((pick == DirUp || pick == DirDown) && mx <= px && MonsterCanEnter(w, mx + 1, my)) {
        m.Direction = DirRight;
        sidestepped = true;
      }
      if ((pick == DirRight || pick == DirLeft) && my <= py && MonsterCanEnter(w, mx, my + 1)) {
        m.Direction = DirDown;
        sidestepped = true;
      }
    }
    if (!sidestepped) m.Wait = 4;
  }
  if (m.Direction != DirNone) m.Moving = 1;
}

void UpdateMonsters(World& w) {
  const uint32_t now = w.Now();
  for (int i = 0; i < MonsterSlots; ++i) {
    TMonster& m = w.Monsters[size_t(i)];
    if (m.State == 1 && TicksSince(now, m.HatchTime) > uint32_t(MonsterHatchMs)) {
      m.State = 2;
      m.Direction = DirNone;
      m.PixelX = m.X * 64.0;
      m.PixelY = m.Y * 64.0;
      m.BoxX = m.PixelX - 64;
      m.BoxY = m.PixelY - 64;
      w.SetCell(m.X, m.Y, BlockEmpty);
      m.Visible = 1;
      m.Frame = 1;
      m.AnimTime = now;
      m.AnimToggle = 0;
      m.Moving = 0;
      m.Distance = 0;
      m.Wait = MonsterFirstWait;
      m.PendingDirection = 0;
    }
    if (m.State == 2) {
      m.Visible = 1;
      if (TicksSince(now, m.AnimTime) > 300) {
        m.AnimTime = now;
        m.AnimToggle ^= 1;
        m.Frame = m.AnimToggle;
      }
      if (m.Moving) Move(w, i);
      else Stand(w, i);
    }
    if (m.Visible) {
      m.ScreenX = double(int32_t(m.PixelX + w.Player.ViewX)) - (w.PanelShown ? 80 : 0);
      m.ScreenY = double(int32_t(m.PixelY + w.Player.ViewY));
    }
  }
}

void CrushMonsters(World& w) {
  const NamedBlocks& n = w.Named;
  auto crushing = [&](int x, int y) {
    const uint8_t c = w.At(x, y);
    return c == n.Rock || c == n.Egg || c == n.EggHatch;
  };
  for (int i = 0; i < MonsterSlots; ++i) {
    const TMonster& m = w.Monsters[size_t(i)];
    if (m.State != 2) continue;
    if (crushing(m.X, m.Y) ||
        (m.Moving && crushing(m.X + DirDX(m.Direction), m.Y + DirDY(m.Direction))))
      KillMonster(w, i);
  }
}

}  // namespace gravik

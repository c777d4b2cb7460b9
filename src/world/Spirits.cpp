#include "world/Spirits.h"

#include "base/Errors.h"

namespace gravik {

bool SpiritBlocked(const World& w, int x, int y) {
  return !InMap(x, y) || w.DefAt(x, y).SpiritCanEnter == 0;
}

int LeftDX(int f) { return f == DirUp ? -1 : f == DirDown ? 1 : 0; }
int LeftDY(int f) { return f == DirRight ? -1 : f == DirLeft ? 1 : 0; }

int SpiritTurn(const World& w, int slot) {
  const TSpirit& s = w.Spirits[size_t(slot)];
  const int f = s.Facing;
  if (SpiritBlocked(w, s.X + LeftDX(f), s.Y + LeftDY(f))) {
    if (SpiritBlocked(w, s.X + DirDX(f), s.Y + DirDY(f))) return TurnClockwise(f);
    return f;
  }
  return TurnAnticlockwise(f);
}

void EnterCage(World& w, int slot) {
  TSpirit& s = w.Spirits[size_t(slot)];
  if (w.At(s.X, s.Y) != w.Named.Cage) return;
  s.Active = 0;
  s.Drawn = 0;
  w.SetCell(s.X, s.Y, w.Named.Diamond);
  w.Play("cage.wav");
}

namespace {

// Image pattern for animation frames 1..4.
constexpr int kSpiritPattern[5] = {0, 0, 1, 2, 1};

void StartStep(World& w, int slot) {
  TSpirit& s = w.Spirits[size_t(slot)];
  s.PixelX = s.X * 64.0;
  s.PixelY = s.Y * 64.0;
  s.Facing = uint8_t(SpiritTurn(w, slot));
  s.TargetX = s.PixelX + 64.0 * DirDX(s.Facing);
  s.TargetY = s.PixelY + 64.0 * DirDY(s.Facing);
  if (!SpiritBlocked(w, s.X + DirDX(s.Facing), s.Y + DirDY(s.Facing))) s.Moving = 1;
}

void MoveSpirit(World& w, int slot) {
  TSpirit& s = w.Spirits[size_t(slot)];
  const double d = w.FrameStep;
  s.Distance += d;
  bool arrived = false;
  switch (s.Facing) {
    case DirUp: s.PixelY -= d; arrived = s.PixelY <= s.TargetY; break;
    case DirRight: s.PixelX += d; arrived = s.PixelX >= s.TargetX; break;
    case DirDown: s.PixelY += d; arrived = s.PixelY >= s.TargetY; break;
    case DirLeft: s.PixelX -= d; arrived = s.PixelX <= s.TargetX; break;
    default: break;
  }
  if (!arrived) return;
  s.X += DirDX(s.Facing);
  s.Y += DirDY(s.Facing);
  if (SpiritTurn(w, slot) == s.Facing) {
    s.TargetX += 64.0 * DirDX(s.Facing);
    s.TargetY += 64.0 * DirDY(s.Facing);
  } else {
    s.Distance = 0;
    s.Moving = 0;
    s.PixelX = s.X * 64.0;
    s.PixelY = s.Y * 64.0;
  }
}

}  // namespace

void UpdateSpirits(World& w) {
  if (w.FrameStep > 200) return;
  const uint32_t now = w.Now();
  for (int i = 0; i < SpiritSlots; ++i) {
    TSpirit& s = w.Spirits[size_t(i)];
    if (s.Active && w.At(s.X + LeftDX(s.Facing), s.Y + LeftDY(s.Facing)) == w.Named.Cage) {
      s.X += LeftDX(s.Facing);
      s.Y += LeftDY(s.Facing);
      EnterCage(w, i);
    }
    if (!s.Active) continue;
    if (s.Facing < 1 || s.Facing > 4) throw FatalMessage("Illegal facing spirit.");
    s.Drawn = 1;
    if (TicksSince(now, TickOf(s.AnimTime)) >= 125) {
      s.AnimTime = now;
      s.Frame = s.Frame >= 4 ? 1 : s.Frame + 1;
      s.Pattern = kSpiritPattern[s.Frame];
    }
    if (!s.Moving) StartStep(w, i);
    else MoveSpirit(w, i);
    s.ScreenX = s.PixelX + w.Player.ViewX - (w.PanelShown ? 80 : 0);
    s.ScreenY = s.PixelY + w.Player.ViewY;
    s.Drawn = 1;
  }
}

}  // namespace gravik

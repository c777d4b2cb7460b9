#include "world/Player.h"

#include <string>

#include "base/Errors.h"
#include "world/FallingBlocks.h"
#include "world/LevelSetup.h"
#include "world/Targets.h"

namespace gravik {

namespace {

// Walk animation strings by direction (1..4) and style (1, 2); "A" is pattern 0.
constexpr const char* kWalk[5][2] = {
    {"", ""},
    {"DDDDEEEEFFFFGGGGHHHHGGGGFFFFEEEE", "LLLLMMMM"},
    {"JJJJKKKKLLLLMMMMNNNNOOOOPPPP", "DDDDDEEFFGGGGGFFEE"},
    {"DDDDEEEEFFFFGGGGHHHHGGGGFFFFEEEE", "LLLLMMMM"},
    {"QQQQRRRRSSSSTTTTUUUUVVVVWWWW", "KKKKKJJIIHHHHHIIJJ"},
};
constexpr const char kGlass[] = "=====ABCDCDCDCBA=";

bool Horizontal(int d) { return d == DirRight || d == DirLeft; }

bool Held(PlayerInput* in, int d) { return in && in->KeyHeld(d); }

int HorizontalTest(World& w, PlayerInput* in, bool joystick) {
  const int x = w.Player.X, y = w.Player.Y;
  auto held = [&](int d) { return joystick ? in->JoystickHeld(d) : Held(in, d); };
  int r = 0;
  if (held(DirLeft) && (Walkcheck(w, x - 1, y) || CanPush(w, x - 1, y, x - 2))) r = DirLeft;
  if (held(DirRight) && (Walkcheck(w, x + 1, y) || CanPush(w, x + 1, y, x + 2))) r = DirRight;
  return r;
}

int VerticalTest(World& w, PlayerInput* in) {
  const int x = w.Player.X, y = w.Player.Y;
  int r = 0;
  if (Held(in, DirUp) && Walkcheck(w, x, y - 1)) r = DirUp;
  if (Held(in, DirDown) && Walkcheck(w, x, y + 1)) r = DirDown;
  return r;
}

// Keyboard tests in the given order (the later result wins), then the joystick.
int DirectionFromControls(World& w, PlayerInput* in, bool verticalFirst, bool joystickDownAtOnce) {
  int r = 0;
  const int first = verticalFirst ? VerticalTest(w, in) : HorizontalTest(w, in, false);
  const int second = verticalFirst ? HorizontalTest(w, in, false) : VerticalTest(w, in);
  if (first) r = first;
  if (second) r = second;
  if (in && in->JoystickEnabled()) {
    const int h = HorizontalTest(w, in, true);
    if (h) r = h;
    if (in->JoystickHeld(DirUp)) r = DirUp;
    if (in->JoystickHeld(DirDown)) {
      if (joystickDownAtOnce) return DirDown;
      r = DirDown;
    }
  }
  return r;
}

void SetPattern(World& w, int pattern) { w.Player.Pattern = pattern; }

void EndStep(PlayerState& p) {
  p.LastDirection = p.Moving;
  p.Moving = 0;
  p.ViewX = p.TargetViewX;
  p.ViewY = p.TargetViewY;
}

// Pushes a rock or egg from (x, y) one cell on in `direction` when it can go.
void PushFrom(World& w, int x, int y, int direction) {
  const int dx = DirDX(direction);
  const int kind = direction == DirRight ? 2 : 4;
  const uint8_t code = w.At(x, y);
  if (!w.IsEmpty(x + dx, y)) return;
  if (code == w.Named.Rock) {
    MoveRock(w, x, y, x + dx, y, kind, kind);
  } else if (code == w.Named.Egg) {
    MoveEgg(w, x, y, x + dx, y, kind);
  } else {
    return;
  }
  w.SetMapByte(x, y, w.Named.Player1);
}

}  // namespace

const char* WalkAnimation(int direction, int graphicsStyle) {
  if (direction < DirUp || direction > DirLeft) return "";
  return kWalk[direction][graphicsStyle == 2 ? 1 : 0];
}

double WalkFrameMs(int direction, int graphicsStyle) {
  return graphicsStyle == 2 ? 33 : Horizontal(direction) ? 20 : 18;
}

namespace {

void StepAdvance(World& w, PlayerInput* in) {
  PlayerState& p = w.Player;
  const uint32_t now = w.Now();
  const int dir = p.Moving;

  // 1. Walk animation.
  const double interval = WalkFrameMs(dir, w.GraphicsStyle);
  if (TicksSince(now, TickOf(p.LastWalkFrame)) >= interval) {
    p.LastWalkFrame = now;
    const std::string walk = WalkAnimation(dir, w.GraphicsStyle);
    if (p.WalkPos < 1 || p.WalkPos > int(walk.size())) p.WalkPos = 1;
    SetPattern(w, walk[size_t(p.WalkPos - 1)] - 'A');
    ++p.WalkPos;
  }

  // 2. Motion.
  const double d = w.FrameStep;
  switch (dir) {
    case DirUp: p.ViewY += d; p.PixelY -= d; p.StepDistanceY += d; break;
    case DirRight: p.ViewX -= d; p.PixelX += d; p.StepDistanceX += d; break;
    case DirDown: p.ViewY -= d; p.PixelY += d; p.StepDistanceY += d; break;
    case DirLeft: p.ViewX += d; p.PixelX -= d; p.StepDistanceX += d; break;
    default: break;
  }
  p.StepDistance += d;

  // 3. Arrival.
  bool ended = false;
  const bool arrived = (dir == DirUp && p.ViewY >= p.TargetViewY) ||
                       (dir == DirRight && p.ViewX <= p.TargetViewX) ||
                       (dir == DirDown && p.ViewY <= p.TargetViewY) ||
                       (dir == DirLeft && p.ViewX >= p.TargetViewX);
  if (arrived) {
    p.X += DirDX(dir);
    p.Y += DirDY(dir);
    if (Horizontal(dir)) {
      p.PixelX = (p.X - 1) * 64.0;
      PushFrom(w, p.X, p.Y, dir);
    }
    if (NextStepDirection(w, in) == dir) {
      p.TargetViewX -= 64.0 * DirDX(dir);
      p.TargetViewY -= 64.0 * DirDY(dir);
      if (!BeginStep(w, dir)) {
        EndStep(p);
        ended = true;
      }
    } else {
      EndStep(p);
      ended = true;
    }
  }

  // 4. The compass on the end character follows the player.
  UpdateEndMarker(w);

  // 5. Standing again.
  if (ended) {
    p.Requested = 0;
    p.IdleRef = w.FrameTime;
    p.ViewX = 288.0 - 64.0 * p.X;
    p.ViewY = 208.0 - 64.0 * p.Y;
    p.StepDistance = p.StepDistanceX = p.StepDistanceY = 0;
    w.LastBlockPass = now - 400;
    ++p.StepsTaken;
  }
}

}  // namespace

int GlassPattern(int position) {
  if (position < 1 || position > 17) return 0;
  const int v = kGlass[position - 1] - 65;
  return (v < 1 || v > 4) ? 0 : v + 32;
}

bool Walkcheck(World& w, int x, int y) {
  if (!InMap(x, y))
    throw FatalMessage("Walkcheck out of range " + std::to_string(x) + "," + std::to_string(y));
  bool r = w.DefAt(x, y).PlayerCanEnter != 0;
  if (w.At(x, y) == w.Named.EndChar1) {
    const Counters& c = w.Count;
    r = !(c.DiamondsLeft > 0 || c.EarthLeft > 0 || c.MonstersLeft > 0 || c.TransportersLeft > 0 ||
          c.PuzzlePiecesLeft > 0);
  }
  if (y <= 14 || x < 6 || x > 37 || y > w.BottomRow) r = false;
  const int levelBottom = w.LevelHeight + LevelOriginY;
  if (y <= levelBottom && x > w.LevelWidth + LevelOriginX) r = false;
  if (y > levelBottom && x > w.RightColumn) r = false;
  return r;
}

bool CanPush(const World& w, int x1, int y, int x2) {
  const uint8_t c = w.At(x1, y);
  return (c == w.Named.Rock || c == w.Named.Egg) && w.IsEmpty(x2, y);
}

void ReadMoveInput(World& w, PlayerInput* in) {
  PlayerState& p = w.Player;
  p.Requested = 0;
  if (p.Dead) return;
  if (in && in->DemoPlaying()) {
    p.Requested = in->DemoRequest(w);
  } else {
    const bool verticalFirst = p.LastDirection == DirUp || p.LastDirection == DirDown;
    p.Requested = DirectionFromControls(w, in, verticalFirst, false);
  }
  if (in) in->ReadOtherKeys(w);
  if (p.Requested) p.StepsTaken = 0;
}

int NextStepDirection(World& w, PlayerInput* in) {
  const bool verticalFirst = !Horizontal(w.Player.Moving);
  return DirectionFromControls(w, in, verticalFirst, true);
}

bool BeginStep(World& w, int direction) {
  PlayerState& p = w.Player;
  const int x = p.X, y = p.Y;
  p.PixelX = (x - 1) * 64.0;
  p.PixelY = (y - 1) * 64.0;
  p.StepDistance = p.StepDistanceX = p.StepDistanceY = 0;
  p.TargetX = x;
  p.TargetY = y;
  switch (direction) {
    case DirUp:
    case DirDown: {
      const int ty = y + DirDY(direction);
      if (!Walkcheck(w, x, ty)) return false;
      p.TargetY = ty;
      return true;
    }
    case DirRight:
    case DirLeft: {
      const int dx = DirDX(direction);
      if (!p.Dead && !w.DefAt(x, y).KillsPlayer) PushFrom(w, x + dx, y, direction);
      if (!Walkcheck(w, x + dx, y)) return false;
      p.TargetX = x + dx;
      return true;
    }
    default:
      return false;
  }
}

void IdleAnimation(World& w) {
  PlayerState& p = w.Player;
  const uint32_t elapsed = TicksSince(w.FrameTime, p.IdleRef);
  if (elapsed > 2000) {
    if (p.IdleCycles < 5 || w.GraphicsStyle == 2) {
      if (elapsed > 3000) SetPattern(w, 0);
      if (elapsed > 4000) SetPattern(w, 1);
      if (elapsed > 5000) SetPattern(w, 0);
      if (elapsed > 6000) {
        SetPattern(w, 2);
        p.IdleRef = w.FrameTime - 2001;
        ++p.IdleCycles;
      }
    } else if (elapsed > 2500) {
      if (p.IdlePos == 8) w.Play("glasshit2.wav");
      if (++p.IdlePos > 17) {
        p.IdlePos = 1;
        p.IdleCycles = 0;
      }
      SetPattern(w, GlassPattern(p.IdlePos));
      p.IdleRef = w.FrameTime - 2400;
    }
    p.WalkPos = 1;
    return;
  }
  p.IdleCycles = 0;
  p.IdlePos = 1;
  if (w.GraphicsStyle == 1 && elapsed > 250 && p.StepsTaken > 0) {
    if (p.Pattern >= 3 && p.Pattern <= 7) {
      SetPattern(w, 8);
      p.SettleDelay = 350;
    }
    if (p.Pattern >= 9 && p.Pattern <= 22 && elapsed > 500) {
      SetPattern(w, 0);
      p.SettleDelay = 600;
    }
    if (p.SettleDelay != 0 && p.Pattern == 8 && elapsed > uint32_t(p.SettleDelay)) SetPattern(w, 0);
  }
}

void MarkPlayerCell(World& w, bool stamp) {
  const int x = w.Player.X, y = w.Player.Y;
  const uint8_t c = w.At(x, y);
  const NamedBlocks& n = w.Named;
  if ((c == BlockPuzzlePiece && y > w.LevelHeight + LevelOriginY) || c == BlockTransporter ||
      c == BlockSkullGate || c == n.EggHatch || c == BlockDeadly || c == n.Skull1 || c == n.Save ||
      n.IsPlant(c) || (c >= 121 && c <= 131))
    return;
  if (stamp) w.SetMapByte(x, y, n.Player1);
  else w.SetCell(x, y, BlockEmpty);
}

void CheckPlayerDeath(World& w) {
  PlayerState& p = w.Player;
  if (p.Dead) return;
  const int x = p.X, y = p.Y;
  if (w.At(x, y - 1) == w.Named.Rock && InMap(x, y - 1) && w.StateAt(x, y - 1).Motion != 0) p.Dead = 1;

  const double px = p.PixelX, py = p.PixelY;
  // Index (1..4) of the last of four points inside the box, 0 for none.
  auto hit = [](const double (&pts)[4][2], double l, double r, double t, double b) {
    int side = 0;
    for (int i = 0; i < 4; ++i)
      if (pts[i][0] >= l && pts[i][0] <= r && pts[i][1] >= t && pts[i][1] <= b) side = i + 1;
    return side;
  };

  const double mp[4][2] = {{px + 4, py + 4}, {px + 60, py + 4}, {px + 4, py + 60}, {px + 60, py + 60}};
  for (TMonster& m : w.Monsters) {
    m.HitSide = 0;
    if (m.State != 2) continue;
    m.BoxX = m.PixelX - 64;
    m.BoxY = m.PixelY - 64;
    m.HitSide = uint8_t(hit(mp, m.BoxX + 4, m.BoxX + 60, m.BoxY + 4, m.BoxY + 60));
    if (m.HitSide) p.Dead = 1;
  }

  const double tp[4][2] = {{px + 16, py + 16}, {px + 48, py + 16}, {px + 16, py + 48}, {px + 48, py + 48}};
  for (int i = 0; i < w.MeteorCount && i < MeteorSlots; ++i) {
    TMeteor& m = w.Meteors[size_t(i)];
    m.HitSide = 0;
    if (!m.Active) continue;
    m.HitSide = hit(tp, m.PixelX - 48, m.PixelX - 18, m.PixelY - 51, m.PixelY - 20);
    if (m.HitSide) p.Dead = 1;
  }

  const double sp[4][2] = {{px + 8, py + 8}, {px + 56, py + 8}, {px + 56, py + 56}, {px + 8, py + 56}};
  for (TSpirit& s : w.Spirits) {
    if (!s.Active) continue;
    s.HitSide = hit(sp, s.PixelX - 56, s.PixelX - 8, s.PixelY - 56, s.PixelY - 8);
    if (s.HitSide) p.Dead = 1;
  }
}

void StartDeath(World& w) {
  PlayerState& p = w.Player;
  p.DeathTime = w.Now();
  const uint8_t c = w.At(p.X, p.Y);
  const NamedBlocks& n = w.Named;
  if (!(c > 120 || c == n.Skull1 || c == BlockSkullGate || c == n.Save || n.IsPlant(c)))
    w.SetChip(p.X, p.Y, 0);
  w.Play("killedbyrock.wav");
}

void PlacePlayer(World& w, int x, int y) {
  PlayerState& p = w.Player;
  p.X = x;
  p.Y = y;
  p.ViewX = p.TargetViewX = 288.0 - 64.0 * x;
  p.ViewY = p.TargetViewY = 208.0 - 64.0 * y;
  p.PixelX = 64.0 * (x - 1);
  p.PixelY = 64.0 * (y - 1);
  p.StepDistance = p.StepDistanceX = p.StepDistanceY = 0;
}

void PlayerFrame(World& w, PlayerInput* in) {
  PlayerState& p = w.Player;
  MarkPlayerCell(w, false);
  if (p.Dead) return;
  if (!p.ArrivedByTransporter) {
    if (p.Moving == 0) IdleAnimation(w);
    const bool demo = w.DemoMode;
    ReadMoveInput(w, in);
    if (demo && !w.DemoMode) return;  // the demo ended: its world does no more
    if (p.Moving == 0 && p.Requested != 0) {
      p.TargetViewX = p.ViewX - 64.0 * DirDX(p.Requested);
      p.TargetViewY = p.ViewY - 64.0 * DirDY(p.Requested);
      if (BeginStep(w, p.Requested)) p.Moving = p.Requested;
      else p.Requested = 0;
    }
    if (p.Moving != 0) StepAdvance(w, in);
  }
  CollectAtPlayer(w);
  if (w.Playing()) MarkPlayerCell(w, true);
}

}  // namespace gravik

#include "world/Targets.h"

#include <algorithm>

#include "world/LevelSetup.h"

namespace gravik {

int StoredWidth(const World& w, int level) {
  return w.Store ? std::clamp(w.Store->Width(level), 0, LevelSide) : 0;
}
int StoredHeight(const World& w, int level) {
  return w.Store ? std::clamp(w.Store->Height(level), 0, LevelSide) : 0;
}

void UseKey(World& w) {
  w.KeyUsed = 1;
  w.Play("key.wav");
  for (int x = 1; x <= MapWidth; ++x)
    for (int y = 1; y <= MapHeight; ++y)
      if (w.At(x, y) == w.Named.Safe) w.SetCell(x, y, w.Named.Diamond);
}

void CollectAtPlayer(World& w) {
  const int x = w.Player.X, y = w.Player.Y;
  const NamedBlocks& n = w.Named;
  Counters& c = w.Count;

  if (w.At(x, y) == n.Key) UseKey(w);
  if (w.DefAt(x, y).KillsPlayer) w.Player.Dead = 1;
  if (w.At(x, y) == n.Diamond) {
    ++c.DiamondsCollected;
    c.Score += 5;
    c.DiamondsLeft = std::max(0, c.DiamondsLeft - 1);
    if (c.DiamondsLeft < 2) w.RecountTargets = 1;
    w.Play("diamond.wav");
  }
  const uint8_t here = w.At(x, y);
  if (n.IsEarth(here)) {
    c.Score += here == n.Earth1 ? 1 : here == n.Earth2 ? 2 : 3;
    c.EarthLeft = std::max(0, c.EarthLeft - 1);
    if (c.EarthLeft == 0) w.RecountTargets = 1;
  }
  if (w.At(x, y) == BlockTransporter && w.Player.StepDistance == 0) {
    if (w.TransportCount < 5) {
      ++w.TransportCount;
    } else {
      const int lx = x - LevelOriginX, ly = y - LevelOriginY;
      if (w.Store && lx >= 1 && lx <= LevelSide && ly >= 1 && ly <= LevelSide)
        w.Store->SetCell(w.CurrentLevel, lx, ly, BlockEmpty);
      w.SetCell(x, y, BlockEmpty);
      w.JourneyStart = w.Now();
      w.TransportCount = 0;
      w.Report(WorldOutcome::TransporterEntered);
      w.IrisProgress = 1.0;
      w.Play("transport.wav");
      if (--c.TransportersLeft <= 0) w.RecountTargets = 1;
    }
  }
  if (w.At(x, y) == BlockPuzzlePiece && y - LevelOriginY <= w.LevelHeight) {
    w.SetCell(x, y, BlockEmpty);
    StoreLevelMap(w);
    w.RecountTargets = 1;
    CountPuzzlePieces(w);
    if (w.CurrentLevel == 1) DrawPuzzleDisplay(w);
    w.Play("puzzlepiece.wav");
    c.Score += 10;
  }
  if (w.At(x, y) == n.Skull1) w.Player.Dead = 1;
  if (w.At(x, y) == n.EndChar1) {
    c.EndCharsLeft = std::max(0, c.EndCharsLeft - 1);
    w.RecountTargets = 1;
    w.Play("level complete.wav");
  }
  w.Player.ArrivedByTransporter = false;
}

void StoreLevelMap(World& w) {
  if (!w.Store) return;
  const int lw = StoredWidth(w, w.CurrentLevel), lh = StoredHeight(w, w.CurrentLevel);
  for (int x = 1; x <= lw; ++x)
    for (int y = 1; y <= lh; ++y)
      w.Store->SetCell(w.CurrentLevel, x, y, w.At(x + LevelOriginX, y + LevelOriginY));
}

void SaveLevelState(World& w, bool leaving) {
  StoreLevelMap(w);
  TLevelState& s = w.Level();
  const uint32_t now = w.Now();
  for (int i = 0; i < MonsterSlots; ++i) {
    TMonster m = w.Monsters[size_t(i)];
    m.HatchTime = now - m.HatchTime;
    m.AnimTime = now - m.AnimTime;
    s.Monsters[size_t(i)] = m;
  }
  s.Spirits = w.Spirits;
  s.Meteors = w.Meteors;
  for (int i = 0; i < MapCells; ++i) s.RockFrames[size_t(i)] = w.Cells[size_t(i)].Frame;
  if (leaving && w.CurrentLevel == 1) {
    // The area below level 1 (32 x 32 from the row after the level).
    for (int x = 1; x <= LevelSide; ++x)
      for (int y = 1; y <= LevelSide; ++y)
        w.PuzzleAreaMap[size_t((x - 1) * LevelSide + (y - 1))] =
            w.At(x + LevelOriginX, w.LevelHeight + y + LevelOriginY);
  }
}

void CountPuzzlePieces(World& w) {
  const int pw = std::clamp(w.PuzzleWidth, 0, PuzzleColumnsMax);
  const int ph = std::clamp(w.PuzzleHeight, 0, PuzzleRowsMax);
  for (int c = 1; c <= pw; ++c)
    for (int r = 1; r <= ph; ++r) w.PuzzleCollected[size_t((c - 1) * PuzzleRowsMax + (r - 1))] = 1;
  w.Count.PuzzlePiecesLeft = 0;
  if (!w.Store) return;
  for (int level = 1; level <= WorldLevels; ++level) {
    const int lw = StoredWidth(w, level), lh = StoredHeight(w, level);
    for (int x = 1; x <= lw; ++x)
      for (int y = 1; y <= lh; ++y) {
        if (w.Store->Cell(level, x, y) != BlockPuzzlePiece) continue;
        const int param = uint16_t(w.Store->Param(level, x, y));
        const int c = (param >> 5) & 31, r = param & 31;
        if (c < 1 || c > pw || r < 1 || r > ph) continue;  // not on the grid
        w.PuzzleCollected[size_t((c - 1) * PuzzleRowsMax + (r - 1))] = 0;
        w.Count.PuzzlePiecesLeft = std::min(w.Count.PuzzlePiecesLeft + 1, pw * ph);
      }
  }
}

bool TargetsMet(const World& w, int bits) {
  const Counters& c = w.Count;
  if ((bits & 1) && c.DiamondsLeft > 0) return false;
  if ((bits & 2) && c.EarthLeft > 0) return false;
  if ((bits & 4) && c.MonstersLeft > 0) return false;
  if ((bits & 8) && c.TransportersLeft > 0) return false;
  if ((bits & 16) && c.PuzzlePiecesLeft >= 2) return false;
  if ((bits & 32) && c.PuzzlePiecesLeft > 0) return false;
  return true;
}

void OpenSkullGates(World& w) {
  bool opened = false;
  if (w.Store) {
    for (int level = 1; level <= WorldLevels; ++level) {
      const int lw = StoredWidth(w, level), lh = StoredHeight(w, level);
      for (int x = 1; x <= lw; ++x)
        for (int y = 1; y <= lh; ++y) {
          if (w.Store->Cell(level, x, y) != BlockSkullGate) continue;
          const int bits = uint16_t(w.Store->Param(level, x, y));
          if (bits == 0 || !TargetsMet(w, bits)) continue;
          w.Store->SetCell(level, x, y, BlockEmpty);
          w.Store->SetParam(level, x, y, 0);
          if (level == w.CurrentLevel) w.SetCell(x + LevelOriginX, y + LevelOriginY, BlockEmpty);
          opened = true;
        }
    }
  }
  if (opened) w.Play("opendoor.wav");
  w.RecountTargets = 0;
}

void CountTargets(World& w) {
  SaveLevelState(w);
  Counters& c = w.Count;
  c.DiamondsLeft = c.EarthLeft = c.MonstersLeft = c.TransportersLeft = 0;
  const NamedBlocks& n = w.Named;
  if (w.Store) {
    for (int level = 1; level <= WorldLevels; ++level) {
      const int lw = StoredWidth(w, level), lh = StoredHeight(w, level);
      for (int x = 1; x <= lw; ++x)
        for (int y = 1; y <= lh; ++y) {
          const uint8_t code = w.Store->Cell(level, x, y);
          if (code == n.Diamond || code == n.Safe || code == n.Cage) ++c.DiamondsLeft;
          if (code == n.Egg) ++c.MonstersLeft;
          if (n.IsEarth(code)) ++c.EarthLeft;
          if (code == BlockTransporter) ++c.TransportersLeft;
        }
      const TLevelState& s = w.Levels[size_t(level - 1)];
      if (s.Visited)
        for (const TMonster& m : s.Monsters) c.MonstersLeft += m.State != 0;
    }
  }
  CountPuzzlePieces(w);
  OpenSkullGates(w);

  const double left = double(c.DiamondsLeft) + c.EarthLeft + c.MonstersLeft + c.TransportersLeft +
                      c.PuzzlePiecesLeft;
  double total = 0;
  for (int32_t t : w.InitialTotals) total += t;
  if (total <= 0) {
    w.CompletionPercent = 0;
  } else {
    w.CompletionPercent = 100.0 - 100.0 * left / total;
    if (left > 0) w.CompletionPercent = std::min(w.CompletionPercent, 99.0);
    if (left == 0) w.CompletionPercent = 99.0;
  }
}

}  // namespace gravik

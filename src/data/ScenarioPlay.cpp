#include "data/ScenarioPlay.h"

#include <algorithm>

#include "world/Flow.h"
#include "world/LevelSetup.h"
#include "world/Player.h"
#include "world/Targets.h"

namespace gravik {

static_assert(PuzzleMaxColumns == PuzzleColumnsMax && PuzzleMaxRows == PuzzleRowsMax,
              "the loader and the world must agree on the puzzle's size");

void TakeScenarioIntoWorld(World& w, const Scenario& s) {
  for (int i = 0; i < LevelCount; ++i) {
    w.Levels[size_t(i)].Seed1 = s.LevelSeeds[size_t(i)].A;
    w.Levels[size_t(i)].Seed2 = s.LevelSeeds[size_t(i)].B;
  }
  ResetLevelStates(w);
  const TScenarioExtras& x = s.Extras;
  w.DefaultPuzzle = x.DefaultPuzzle != 0;
  w.PuzzleWidth = std::clamp<int>(x.PuzzleColumns, 0, PuzzleColumnsMax);
  w.PuzzleHeight = std::clamp<int>(x.PuzzleRows, 0, PuzzleRowsMax);
  w.PuzzleCollected.fill(0);
  for (int c = 1; c <= w.PuzzleWidth; ++c)
    for (int r = 1; r <= w.PuzzleHeight; ++r)
      w.PuzzleCollected[size_t((c - 1) * PuzzleRowsMax + (r - 1))] = x.PieceFlags[size_t((c - 1) * PuzzleMaxRows + (r - 1))];
}

TransporterArrival ArriveThroughTransporter(World& w, std::vector<TTransporterLink>& links, uint32_t now) {
  TransporterArrival r;
  const int col = w.Player.X - LevelOriginX, row = w.Player.Y - LevelOriginY;
  const TTransporterLink* match = nullptr;
  for (TTransporterLink& t : links) {
    if (t.Used == 0 && t.Column == col && t.Row == row && t.Level == w.CurrentLevel) {
      ++t.Used;
      match = &t;
    }
  }
  w.RecountTargets = 1;
  if (!match) return r;
  r.Matched = true;
  w.SetCell(w.Player.X, w.Player.Y, BlockEmpty);  // the transporter is used up
  SaveLevelState(w, /*leaving=*/true);
  w.CurrentLevel = match->DestLevel;
  r.RestartX = match->DestColumn + LevelOriginX;
  r.RestartY = match->DestRow + LevelOriginY;
  w.Player.X = r.RestartX;
  w.Player.Y = r.RestartY;
  BuildWorld(w);
  ResetPlayerMovement(w, now);
  PlacePlayer(w, r.RestartX, r.RestartY);
  RecomputeScreenPositions(w);
  w.Player.ArrivedByTransporter = true;
  CountTargets(w);
  const uint8_t here = w.At(w.Player.X, w.Player.Y);
  if (here != BlockEmpty && here != w.Named.Player1 && here != BlockTransporter) {
    w.Player.Dead = 1;
    r.DiedOnArrival = true;
    if (w.Store) w.Store->SetCell(w.CurrentLevel, r.RestartX - LevelOriginX, r.RestartY - LevelOriginY, BlockEmpty);
  }
  w.RecountTargets = 1;
  return r;
}

}  // namespace gravik

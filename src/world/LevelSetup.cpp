#include "world/LevelSetup.h"

#include <algorithm>

#include "world/Spirits.h"
#include "world/Targets.h"

namespace gravik {

namespace {

// Upper bound on sweeps over a meteor block. Some seed pairs (both multiples
// of ten, for instance) never draw above 95; the layout then stops short
// instead of hanging.
constexpr int kMaxMeteorSweeps = 1000;
// Upper bound on plant choices per column (the catalogue may give all four
// plants one code).
constexpr int kMaxPlantTries = 1000;

void PlaceMeteor(World& w, int a, int b, int band) {
  w.MeteorCount = std::min(w.MeteorCount + 1, MeteorSlots);
  TMeteor& m = w.Meteors[size_t(w.MeteorCount - 1)];
  m.Active = 1;
  m.PixelX = 32.0 * a + 336;
  m.PixelY = 32.0 * b + 339;
  m.Band = uint8_t(band);
  m.Drawn = 0;
}

void LayOutMeteors(World& w, TLevelState& state, int width) {
  w.Rng.Seed(state.Seed1, state.Seed2);
  int t = 1;
  for (int i = 1; i <= width / 4; ++i) {
    t = 3 - t;
    for (int j = 1; j <= 2; ++j) {
      t = 3 - t;
      if (t != 2) continue;
      int placed = 0;
      for (int sweep = 0; placed < 3 && sweep < kMaxMeteorSweeps; ++sweep)
        for (int a = 8 * i - 7; a <= 8 * i; ++a)
          for (int b = 10 * j - 9; b <= 10 * j; ++b)
            if (placed < 3 && w.Rng.Draw() > 95) {
              PlaceMeteor(w, a, b, i);
              ++placed;
            }
    }
  }
}

void DecorateSpace(World& w, int width) {
  const NamedBlocks& n = w.Named;
  int counter = 1;
  for (int x = 1; x <= width; ++x)
    for (int y = 12; y <= 14; ++y) {
      counter = counter == 10 ? 1 : counter + 1;
      w.SetCell(x + LevelOriginX, y, uint8_t(120 + counter));
    }
  uint8_t previous = 0;
  for (int x = 1; x <= width; ++x) {
    uint8_t plant = n.Plant[0];
    for (int tries = 0; tries < kMaxPlantTries; ++tries) {
      plant = n.Plant[0];
      if (w.Rng.Draw() > 50) plant = n.Plant[1];
      if (w.Rng.Draw() > 50) plant = n.Plant[2];
      if (w.Rng.Draw() > 50) plant = n.Plant[3];
      if (x == 1 || plant != previous) break;
    }
    w.SetCell(x + LevelOriginX, 15, plant);
    previous = plant;
  }
}

void CreateSpirits(World& w) {
  w.SpiritCount = 0;
  for (TSpirit& s : w.Spirits) s = TSpirit{};
  for (int x = 1; x <= MapWidth; ++x)
    for (int y = 1; y <= 64; ++y) {
      if (w.At(x, y) != w.Named.Spirit1) continue;
      w.SpiritCount = std::min(w.SpiritCount + 1, SpiritSlots);
      TSpirit& s = w.Spirits[size_t(w.SpiritCount - 1)];
      s = TSpirit{};
      s.Active = 1;
      s.X = x;
      s.Y = y;
      s.PixelX = x * 64.0;
      s.PixelY = y * 64.0;
      s.Facing = DirLeft;
      InitialSpiritFacing(w, s);
      w.SetCell(x, y, BlockEmpty);
    }
}

// Level columns and rows of the open area below level 1.
int PuzzleAreaRight(const World& w) {
  return std::max(w.LevelWidth, PuzzleLeft(w) + w.PuzzleWidth - 1);
}

}  // namespace

int PuzzleLeft(const World& w) {
  const int wd = w.LevelWidth;
  if (w.DefaultPuzzle) {
    if (wd == 16) return 3;
    if (wd == 24) return 7;
    if (wd == 32) return 11;
  }
  return std::max(1, wd / 2 - w.PuzzleWidth / 2 + 1);
}

int PiecePattern(const World& w, int c, int r) {
  return BlockFirstPuzzlePicture + (r - 1) * w.PuzzleWidth + (c - 1) - 1;
}

void DrawPuzzleDisplay(World& w) {
  const int left = PuzzleLeft(w);
  const int ph = std::clamp(w.PuzzleHeight, 0, PuzzleRowsMax);
  const int pw = std::clamp(w.PuzzleWidth, 0, PuzzleColumnsMax);
  for (int r = 1; r <= ph; ++r)
    for (int c = 1; c <= pw; ++c) {
      const int x = left + c - 1 + LevelOriginX, y = w.LevelHeight + 1 + r + LevelOriginY;
      w.SetCell(x, y, BlockPuzzlePiece);
      w.SetChip(x, y, 0);
      if (w.PuzzleCollected[size_t((c - 1) * PuzzleRowsMax + (r - 1))])
        w.SetChip(x, y, PiecePattern(w, c, r));
    }
}

int EndMarkerPattern(int px, int py, int ex, int ey) {
  if (px == ex) return py < ey ? 85 : py > ey ? 81 : -1;
  if (px > ex) return py < ey ? 116 : py == ey ? 79 : 80;
  return py < ey ? 84 : py == ey ? 83 : 82;
}

void UpdateEndMarker(World& w) {
  if (!w.HasEndCell) return;
  const int p = EndMarkerPattern(w.Player.X, w.Player.Y, w.EndX, w.EndY);
  if (p >= 0) w.SetChip(w.EndX, w.EndY, p);
}

void InitialSpiritFacing(World& w, TSpirit& s) {
  for (int turn = 0; turn < 4; ++turn) {
    if (SpiritBlocked(w, s.X + LeftDX(s.Facing), s.Y + LeftDY(s.Facing))) return;
    s.Facing = uint8_t(TurnClockwise(s.Facing));
  }
}

void DecorateSpaceLevel(World& w) {
  const int level = std::clamp(w.CurrentLevel, 1, WorldLevels);
  const bool space = w.Store && w.Store->SpaceFlag(level) != 0;
  if (space && w.GraphicsStyle != 2) DecorateSpace(w, StoredWidth(w, level));
}

void BuildWorld(World& w) {
  const int level = std::clamp(w.CurrentLevel, 1, WorldLevels);
  w.CurrentLevel = level;
  TLevelState& state = w.Level();
  const bool visited = state.Visited != 0;
  const NamedBlocks& n = w.Named;
  const uint32_t now = w.Now();
  const int width = StoredWidth(w, level), height = StoredHeight(w, level);
  const uint8_t space = w.Store ? w.Store->SpaceFlag(level) : 0;
  w.LevelWidth = width;
  w.LevelHeight = height;

  // 1. Meteors cleared.
  w.MeteorCount = 0;
  for (TMeteor& m : w.Meteors) m = TMeteor{};

  // 2, 3. Objects of a visited level come back; otherwise no monsters.
  if (visited) {
    for (int i = 0; i < MonsterSlots; ++i) {
      TMonster m = state.Monsters[size_t(i)];
      m.HatchTime = now - m.HatchTime;
      m.AnimTime = now - m.AnimTime;
      w.Monsters[size_t(i)] = m;
    }
    w.Spirits = state.Spirits;
    w.SpiritCount = int(std::count_if(w.Spirits.begin(), w.Spirits.end(),
                                      [](const TSpirit& s) { return s.Active != 0; }));
    w.Meteors = state.Meteors;
    w.MeteorCount = int(std::count_if(w.Meteors.begin(), w.Meteors.end(),
                                      [](const TMeteor& m) { return m.Active != 0; }));
    for (TMeteor& m : w.Meteors) {
      m.ScreenX = int32_t(m.PixelX + w.Player.ViewX) - (w.PanelShown ? 80 : 0);
      m.ScreenY = int32_t(m.PixelY + w.Player.ViewY);
      m.Drawn = m.Active;
    }
  } else {
    for (TMonster& m : w.Monsters) m = TMonster{};
  }

  // 4. Border.
  uint8_t border = FindBlock(w.Catalogue, w.Store ? w.Store->BorderName(level) : std::string());
  if (border == BlockEmpty) border = FindBlock(w.Catalogue, "BRICK");
  for (int x = 1; x <= MapWidth; ++x)
    for (int y = 1; y <= MapHeight; ++y) w.SetCell(x, y, border);

  // 5. Sky.
  if (space != 0)
    for (int x = 6; x <= width + 5; ++x)
      for (int y = 6; y <= 15; ++y) w.SetCell(x, y, BlockEmpty);

  // 6. Bottom row.
  w.BottomRow = level == 1 ? std::min(height + 17, 59) : height + 15;

  // 7, 8. End cell and level cells.
  w.HasEndCell = false;
  for (int x = 1; x <= width; ++x)
    for (int y = 1; y <= height; ++y) {
      uint8_t code = w.Store->Cell(level, x, y);
      if (code == 0) code = BlockEmpty;
      const int wx = x + LevelOriginX, wy = y + LevelOriginY;
      if (code == n.EndChar1) {
        w.HasEndCell = true;
        w.EndX = wx;
        w.EndY = wy;
      }
      w.SetCell(wx, wy, code);
      if (code == BlockTransporter) {
        w.SetChip(wx, wy, n.Transport1);
      } else if (code == BlockSkullGate) {
        w.SetChip(wx, wy, n.Skull1 - 1);
      } else if (code == BlockPuzzlePiece) {
        const int param = uint16_t(w.Store->Param(level, x, y));
        w.SetChip(wx, wy, PiecePattern(w, (param >> 5) & 31, param & 31));
      }
    }

  // 9. Space decoration.
  if (space != 0 && w.GraphicsStyle != 2) DecorateSpace(w, width);

  // 10. Meteor layout.
  if (space == 1 && width > 23 && !visited) LayOutMeteors(w, state, width);

  // 11. Spirits.
  if (!visited) CreateSpirits(w);

  // 12. The puzzle area below level 1.
  w.RightColumn = width + 5;
  if (level == 1) {
    const int right = PuzzleAreaRight(w);
    for (int x = 1; x <= right; ++x)
      for (int y = height + 1; y <= height + w.PuzzleHeight + 2; ++y)
        w.SetCell(x + LevelOriginX, y + LevelOriginY, BlockEmpty);
    w.BottomRow = std::max(w.BottomRow, height + w.PuzzleHeight + 2 + LevelOriginY);
    w.RightColumn = std::max(w.RightColumn, right + LevelOriginX);
    DrawPuzzleDisplay(w);
  }

  // 13 - 15.
  ApplyLevelFlagOverrides(w.Catalogue);
  w.ForcedBlockSet = w.DemoMode ? 6 : 0;
  state.Visited = 1;

  // 16. Level graphics, then the targets. Recounting stores the level state,
  // whose rotation frames still belong to the cells of the level left; keep the
  // saved frames for step 17.
  const std::array<uint8_t, MapCells> savedFrames = state.RockFrames;
  if (w.LevelGraphics) w.LevelGraphics->SetUpLevelGraphics();
  CountTargets(w);

  // 17. Rock frames.
  w.Rng.Seed(19, 71);
  for (int x = 1; x <= MapWidth; ++x)
    for (int y = 1; y <= MapHeight; ++y) {
      CellState& s = w.StateAt(x, y);
      s = CellState{};
      if (w.At(x, y) != n.Rock) continue;
      int frame = w.Rng.Draw() / 25 + 1;
      if (visited) frame = savedFrames[size_t(MapIndex(x, y))];
      frame = uint8_t(frame);
      s.Frame = uint8_t(std::clamp(frame, 1, 4));
      w.SetChip(x, y, n.Rock1 + s.Frame - 2);
    }

  // 18. End marker.
  UpdateEndMarker(w);

  // 19. Dug earth and eggs of the area below level 1 come back.
  if (level == 1) {
    const int right = std::min(PuzzleAreaRight(w), LevelSide);
    const int rows = std::min(w.PuzzleHeight + 2, LevelSide);
    for (int x = 1; x <= right; ++x)
      for (int y = 1; y <= rows; ++y) {
        const uint8_t code = w.PuzzleAreaMap[size_t((x - 1) * LevelSide + (y - 1))];
        if (code == 6 || code == n.Egg || code == n.EggHatch)
          w.SetCell(x + LevelOriginX, height + y + LevelOriginY, code);
      }
    DrawPuzzleDisplay(w);
  }
}

}  // namespace gravik

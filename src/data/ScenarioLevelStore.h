// The loaded scenario's level records as the world's LevelStore.
#pragma once
#include "data/Scenario.h"
#include "world/World.h"

namespace gravik {

class ScenarioLevelStore : public LevelStore {
 public:
  explicit ScenarioLevelStore(Scenario& scenario) : s_(scenario) {}

  int Width(int level) const override { return s_.Level(level).Width; }
  int Height(int level) const override { return s_.Level(level).Height; }
  uint8_t SpaceFlag(int level) const override { return s_.Level(level).Space; }
  std::string BorderName(int level) const override { return s_.Level(level).BorderName.Str(); }
  uint8_t Cell(int level, int x, int y) const override { return s_.Level(level).Cell(x, y); }
  void SetCell(int level, int x, int y, uint8_t code) override { s_.Level(level).SetCell(x, y, code); }
  int16_t Param(int level, int x, int y) const override { return s_.Level(level).Param(x, y); }
  void SetParam(int level, int x, int y, int16_t v) override { s_.Level(level).SetParam(x, y, v); }

 private:
  Scenario& s_;
};

}  // namespace gravik

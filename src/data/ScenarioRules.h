// What makes a scenario playable, checked on the scenario itself (the records a
// ".zq" file holds): one player start, transporters that lead somewhere a player
// survives and form one journey, puzzle pieces that fit the puzzle, targets on
// every level. The scenario compiler and the editor both report these faults.
// Also the scenario's totals and the identity and check word of a new scenario.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/Scenario.h"

namespace gravik {

// Block code by catalogue name (1..120); 0 when there is no such block.
using BlockCodeOf = std::function<int(std::string_view)>;

// The blocks the checks and totals look for, resolved once by name.
struct ScenarioBlocks {
  uint8_t Player = 0, EndChar = 0, Egg = 0, Rock = 0;
  std::vector<uint8_t> Diamonds;  // DIAMOND, SAFE, CAGE: each one diamond of the totals
  std::vector<uint8_t> Earth;     // EARTH1..EARTH3
};
ScenarioBlocks ResolveScenarioBlocks(const BlockCodeOf& codeOf);

// Where a fault lies.
enum class FaultPlace : uint8_t {
  Scenario,  // the whole scenario
  Level,     // a level as a whole (Level)
  Cell,      // one cell (Level, X, Y)
  Puzzle,    // the puzzle settings
};

struct ScenarioFault {
  FaultPlace Place = FaultPlace::Scenario;
  int Level = 0, X = 0, Y = 0;
  std::string Message;
};

struct ScenarioCheckOptions {
  // Levels that belong to the scenario ([n - 1]); by default those in use
  // (a cell code above 1).
  const std::array<bool, LevelCount>* Levels = nullptr;
  // Transporters whose destination the caller has already found wanting: no
  // fault of theirs is repeated and they take no part in the journey.
  std::function<bool(int level, int x, int y)> SkipTransporter;
};

// Every fault, scenario-wide ones last; empty for a scenario ready to play.
std::vector<ScenarioFault> CheckScenario(const Scenario& s, const ScenarioBlocks& blocks,
                                         const ScenarioCheckOptions& options = {});

// "level 3 (5, 7): message", "level 3: message", or the message alone.
std::string DescribeFault(const ScenarioFault& f);

// The five totals of the header (indexed by ScenarioTotal), counted over the
// cells inside each level's size.
std::array<int32_t, 5> CountScenarioTotals(const Scenario& s, const ScenarioBlocks& blocks);

// A level belongs to the scenario when any cell code is above 1.
bool LevelInUse(const TLevelRecord& level);

// The seed of the keys of every scenario file the game's tools make, so one
// source always gives the same bytes.
inline constexpr uint32_t ScenarioKeySeed = 0x5A51C0DEu;
// The identity made from a scenario's name and author.
ScenarioIdentity IdentityFromNames(std::string_view name, std::string_view author);
// The check word the info block and the header share, made from the identity.
uint16_t CheckWordOf(const ScenarioIdentity& id);

}  // namespace gravik

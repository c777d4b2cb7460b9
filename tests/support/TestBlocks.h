// A few block codes of the catalogue, and the scenario checks' blocks resolved
// from them, for tests of scenarios that need no data files.
#pragma once
#include <cstdint>
#include <map>
#include <string>

#include "data/ScenarioRules.h"

namespace gravik::testing {

constexpr uint8_t kEmpty = 1, kDiamond = 2, kRock = 5, kEarth = 6, kBrick = 7, kEgg = 12, kEnd = 65, kPlayer = 78;

inline ScenarioBlocks TestBlocks() {
  static const std::map<std::string, int> codes = {{"PLAYER1", kPlayer}, {"ENDCHAR1", kEnd}, {"EGG", kEgg},
                                                   {"ROCK", kRock},     {"DIAMOND", kDiamond}, {"EARTH1", kEarth}};
  return ResolveScenarioBlocks([](std::string_view n) {
    auto it = codes.find(std::string(n));
    return it == codes.end() ? 0 : it->second;
  });
}

}  // namespace gravik::testing

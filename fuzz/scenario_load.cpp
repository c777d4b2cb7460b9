// libFuzzer target: a scenario file from outside, through every reader of it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "data/Scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace gravik;
  std::vector<uint8_t> stream(data, data + size);
  Scenario s;
  TScenarioInfo info;
  ReadScenarioInfo(stream.data(), stream.size(), info);
  const int result = LoadScenario(s, stream);
  if (result == ScenarioLoaded && s.CrcCorrect) {
    // What the game does next with a file it accepts; a rewrite must load again.
    ComputeLevelSeeds(s);
    BuildTransporterTable(s);
    for (const TTransporterLink& t : s.Transporters)
      if (t.DestLevel < 1 || t.DestLevel > LevelCount) __builtin_trap();
    std::vector<uint8_t> again = WriteScenario(s);
    Scenario t;
    if (LoadScenario(t, again) != ScenarioLoaded || !t.CrcCorrect) __builtin_trap();
  }
  return 0;
}

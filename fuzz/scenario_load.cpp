// libFuzzer target: a scenario file from outside, through every reader of it.
//
// The CRC is fixed up before loading (fuzz/Fixups.h), so mutations reach the
// level block, the picture, the extra data and the notes; the input as given
// must load the same way, only with its CRC found wrong.
// Seeds: scripts/test.sh writes the built-in scenario and variants of it
// (mkres fuzzseeds); fuzz/seeds/scenario_load/ holds small damaged files.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Fixups.h"
#include "data/Scenario.h"
#include "data/ScenarioRules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace gravik;
  if (size > (4u << 20)) return 0;  // a level block, a picture and notes fit far below
  std::vector<uint8_t> stream(data, data + size);
  TScenarioInfo info;
  ReadScenarioInfo(stream.data(), stream.size(), info);

  std::vector<uint8_t> fixed = stream;
  const bool fixedUp = fuzz::FixScenarioCrc(fixed);
  Scenario s;
  const int result = LoadScenario(s, fixed);
  if (fixedUp) {
    // The CRC decides nothing but CrcCorrect.
    Scenario raw;
    if (LoadScenario(raw, stream) != result) __builtin_trap();
    if (result == ScenarioLoaded && (raw.CrcCorrect || !s.CrcCorrect)) __builtin_trap();
  }
  if (result == ScenarioLoaded && s.CrcCorrect) {
    // What the game does next with a file it accepts; a rewrite must load again.
    ComputeLevelSeeds(s);
    BuildTransporterTable(s);
    for (const TTransporterLink& t : s.Transporters)
      if (t.DestLevel < 1 || t.DestLevel > LevelCount) __builtin_trap();
    // The checks the editor and the scenario tool run on a file they open
    // (the catalogue's codes of the blocks they look for).
    ScenarioBlocks blocks;
    blocks.Player = 78, blocks.EndChar = 65, blocks.Egg = 12, blocks.Rock = 5;
    blocks.Diamonds = {2, 14, 15};
    blocks.Earth = {6, 18, 19};
    for (const ScenarioFault& f : CheckScenario(s, blocks))
      if (f.Message.empty() || DescribeFault(f).empty() || f.Level < 0 || f.Level > LevelCount) __builtin_trap();
    CountScenarioTotals(s, blocks);
    std::vector<uint8_t> again = WriteScenario(s);
    Scenario t;
    if (LoadScenario(t, again) != ScenarioLoaded || !t.CrcCorrect) __builtin_trap();
    if (std::memcmp(t.Levels.data(), s.Levels.data(), sizeof s.Levels) != 0 || t.Notes != s.Notes || t.PuzzlePicture != s.PuzzlePicture ||
        t.ExtraData != s.ExtraData)
      __builtin_trap();
  }
  return 0;
}

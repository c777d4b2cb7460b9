// The scenario compiler: a scenario written as text (docs/scenario-format.md)
// becomes a Scenario ready for WriteScenario, with every fault of the source
// reported by line and column.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/Scenario.h"
#include "data/ScenarioRules.h"

namespace gravik::mkres {

struct Catalogue;

struct Diagnostic {
  int Line = 0;    // 1-based; 0 when the fault belongs to the whole file
  int Column = 0;  // 1-based
  std::string Message;
};

// One step of a walkthrough: a direction held for Count cells, or a wait.
struct WalkStep {
  int Direction = 0;  // 1 up, 2 right, 3 down, 4 left; 0 for a wait
  int Count = 1;      // cells to move
  int WaitMs = 0;     // for a wait
  int Line = 0, Column = 0;
};

struct CompileResult {
  std::unique_ptr<Scenario> Output;  // set even when there are faults (partly filled)
  std::vector<Diagnostic> Diagnostics;
  std::vector<WalkStep> Walkthrough;  // all `walk` lines, in file order
  int LevelsUsed = 0;

  bool Ok() const { return Diagnostics.empty(); }
};

// Block code by catalogue name; 0 when the catalogue has no such block.
using BlockLookup = std::function<int(std::string_view)>;

// The key seed every compiled scenario uses, so the same source always gives
// the same bytes.
using gravik::ScenarioKeySeed;

CompileResult CompileScenario(const std::string& sourceText, const BlockLookup& lookup);
// The grid characters every source knows without a 'legend' line: character
// -> block name ("EMPTY" for the empty cell).
const std::map<char, std::string>& DefaultLegend();
CompileResult CompileScenario(const std::string& sourceText, const Catalogue& catalogue);

// "<file>:<line>:<column>: <message>"
std::string FormatDiagnostic(const std::string& fileName, const Diagnostic& d);

// Reads a whole text file; false when it cannot be read.
bool ReadTextFile(const std::string& path, std::string& text);

// The built-in scenario file: assets/scenario/gravik2.txt compiled against
// assets/blocks.txt. Empty, with the reasons in *error, when either has faults.
std::vector<uint8_t> BuildBuiltInScenario(const std::string& assetsDir, std::string* error);

}  // namespace gravik::mkres

// The scenario decompiler: a scenario's records written back as a source the
// compiler reads (docs/scenario-format.md), so that compiling the text gives
// the same file again for every scenario the text can describe.
#pragma once
#include <string>
#include <vector>

#include "data/Scenario.h"

namespace gravik::mkres {

struct Catalogue;

struct DecompileResult {
  std::string Text;                   // the source; empty when it cannot be written
  std::vector<std::string> Errors;    // why no source could be written
  std::vector<std::string> Losses;    // what the source cannot hold (the rest is written)

  bool Ok() const { return Errors.empty(); }
};

DecompileResult DecompileScenario(const Scenario& s, const Catalogue& catalogue);

}  // namespace gravik::mkres

// The built-in demonstration, "demo2.dem": a scripted walk over the first
// level of the built-in scenario, played on the game's own rules and recorded.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ScenarioReplay.h"

namespace gravik::mkres {

// The script: digging the three kinds of earth, puzzle pieces, diamonds and
// the transporter, with captions that teach the keys and the targets.
const std::vector<DemoScriptStep>& BuiltInDemoScript();

// `scenarioFile` is the built-in scenario as the archive holds it. Empty, with
// the reason in *error, when the script does not play through.
std::vector<uint8_t> BuildBuiltInDemo(const std::vector<uint8_t>& scenarioFile, const std::string& assetsDir,
                                      std::string* error);

}  // namespace gravik::mkres

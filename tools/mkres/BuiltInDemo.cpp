#include "BuiltInDemo.h"

#include <exception>

#include "Catalogue.h"

namespace gravik::mkres {

namespace {
constexpr int R = 2, D = 3, L = 4;
// Waits stay under six seconds: longer ones would run into Gravik's idle
// animation, which restarts the time the next event is measured from.
DemoScriptStep Walk(int direction, int count) { return {direction, count, 0, {}}; }
DemoScriptStep Say(int ms, std::string caption) { return {0, 1, ms, std::move(caption)}; }
}  // namespace

const std::vector<DemoScriptStep>& BuiltInDemoScript() {
  // Level 1, "Soft Ground": Gravik starts in the top left corner.
  static const std::vector<DemoScriptStep> script = {
      Say(5000, "Welcome to Gravik 2! Press any key to end this demo."),
      Walk(R, 1),
      Say(5200, "Guide Gravik with the arrow keys. He digs through earth."),
      Walk(R, 2),
      Say(5200, "Earth comes in three kinds, worth 1, 2 and 3 points."),
      Walk(R, 7),
      Say(5200, "A puzzle piece! Collect them all to finish the picture."),
      Walk(R, 3),
      Say(5000, "Diamonds are worth most. Take every one of them."),
      Walk(D, 2),
      Say(5200, "The side panel counts your score and what is left."),
      Walk(L, 13),
      Say(5200, "The keys at the panel's foot open the map and status."),
      Walk(D, 2),
      Say(5200, "F8 pauses the game. Tab hides or shows the side panel."),
      Walk(R, 11),
      Say(5200, "Ahead lies a transporter: it takes you to the next level."),
      Walk(R, 1),
      Say(5200, "Clear each level first: a transporter works only once."),
      Walk(R, 1),
  };
  return script;
}

std::vector<uint8_t> BuildBuiltInDemo(const std::vector<uint8_t>& scenarioFile, const std::string& assetsDir,
                                      std::string* error) {
  Catalogue cat;
  try {
    cat = LoadCatalogue(assetsDir + "/blocks.txt");
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return {};
  }
  return RecordScenarioDemo(scenarioFile, BuiltInDemoScript(), cat, error);
}

}  // namespace gravik::mkres

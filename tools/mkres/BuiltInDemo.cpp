#include "BuiltInDemo.h"

#include <exception>

#include "Catalogue.h"

namespace gravik::mkres {

namespace {
constexpr int R = 2, D = 3, L = 4;
// Captions stay short enough for the playfield in either system font. Waits
// stay under six seconds: longer ones would run into Gravik's idle
// animation, which restarts the time the next event is measured from.
DemoScriptStep Walk(int direction, int count) { return {direction, count, 0, {}}; }
DemoScriptStep Say(int ms, std::string caption) { return {0, 1, ms, std::move(caption)}; }
}  // namespace

const std::vector<DemoScriptStep>& BuiltInDemoScript() {
  // Level 1, "Soft Ground": Gravik starts in the top left corner.
  static const std::vector<DemoScriptStep> script = {
      Say(5000, "Welcome to Gravik 2! Any key ends this demo."),
      Walk(R, 1),
      Say(5200, "Steer Gravik with the arrow keys. He digs!"),
      Walk(R, 2),
      Say(5200, "Earth comes in three kinds: 1, 2 and 3 points."),
      Walk(R, 7),
      Say(5200, "A puzzle piece! Collect all of them."),
      Walk(R, 3),
      Say(5000, "Diamonds are worth most. Take every one."),
      Walk(D, 2),
      Say(5200, "The panel shows your score and what is left."),
      Walk(L, 13),
      Say(5200, "The panel's foot names the map and status keys."),
      Walk(D, 2),
      Say(5200, "F8 pauses. Tab hides or shows the panel."),
      Walk(R, 11),
      Say(5200, "Ahead lies a transporter to the next level."),
      Walk(R, 1),
      Say(5200, "Clear each level first: it works only once."),
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

// Plays a compiled scenario with its walkthrough on the game's own world
// rules: the scenario file is written and loaded as the game loads it, the
// start level is built, and every walk step holds a direction key until
// Gravik stands on the step's last cell. Transporter journeys switch levels
// the way the game flow does. Time runs on a fixed frame step.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ScenarioCompiler.h"

namespace gravik::mkres {

struct ReplayOptions {
  int FrameMs = 16;              // game time per frame
  int StepTimeoutMs = 4000;      // a move step that has not arrived by then fails
  int JourneyMs = 1200;          // the iris closing and opening around a level switch
  std::function<void(const std::string&)> Log;  // one line per level switch, death or end
  bool PictureEachStep = false;  // also log the level's picture after every walk step
};

struct ReplayReport {
  bool Completed = false;  // the scenario-complete state was reached
  std::string Failure;     // why not, with the walk step's line and column
  int Frames = 0;
  uint32_t GameMs = 0;
  int StepsPlayed = 0;
  int Level = 0;           // level at the end
  int Score = 0;
  int DiamondsLeft = 0, EarthLeft = 0, MonstersLeft = 0, TransportersLeft = 0, PuzzlePiecesLeft = 0,
      EndCharsLeft = 0;
  // The current level as it was when the walkthrough stopped, one text line per
  // row in the characters of the default legend, with 'P' for Gravik, 'M' for a
  // monster, '@' for a spirit, 'h' for a cracked egg, 'T' a transporter, 'G' a
  // closed gate, 'a' a puzzle piece and '?' any other block.
  std::string Picture;
};

// One step of a demo script: a walk (Direction and Count) or a wait; a caption
// shows from the step's start while Gravik stands, until his next move.
struct DemoScriptStep {
  int Direction = 0;  // 1 up, 2 right, 3 down, 4 left; 0 for a wait
  int Count = 1;
  int WaitMs = 0;
  std::string Caption;
};

// Plays `script` from the scenario's start as a game does and records it as a
// demo file ("demo2.dem"). Recording stops when Gravik leaves the start level.
// Empty, with the reason in *error, when a step fails.
std::vector<uint8_t> RecordScenarioDemo(const std::vector<uint8_t>& scenarioFile,
                                        const std::vector<DemoScriptStep>& script, const Catalogue& catalogue,
                                        std::string* error);

// `scenarioFile` is a whole ".zq" file (as WriteScenario makes it).
ReplayReport ReplayScenario(const std::vector<uint8_t>& scenarioFile, const std::vector<WalkStep>& walk,
                            const Catalogue& catalogue, const ReplayOptions& options = {});

}  // namespace gravik::mkres

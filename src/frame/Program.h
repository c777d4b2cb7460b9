// The program around the form: creates the game on a platform, wires the
// modules into the form and runs the message loop.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "frame/Game.h"

namespace gravik {

class TForm1;

struct ProgramOptions {
  GameOptions game;
};

// Wires every module's handlers into the form (states, keys, mouse, panel).
void InstallGameHandlers(TForm1& form);

// Creates the game and form, runs until the form closes or `afterIteration`
// returns false. Returns the exit status (1 after a fatal error).
int RunProgram(Platform& platform, const ProgramOptions& options,
               const std::function<bool(Game&)>& afterIteration);

}  // namespace gravik

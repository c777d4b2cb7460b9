// The program around the form: creates the game on a platform, wires the
// modules into the form and runs the message loop.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
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

// The same program for a host that owns the loop and calls Pass once per
// turn (a browser's frame callback): RunProgram is a loop of passes.
class ProgramRun {
 public:
  ProgramRun(Platform& platform, const ProgramOptions& options);
  ~ProgramRun();
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;
  // One pass of the message loop: -1 while the program goes on, else its exit
  // status (the program has then closed; further passes return it again).
  int Pass(const std::function<bool(Game&)>& afterIteration);
  Game& game() { return *game_; }

 private:
  std::unique_ptr<Game> game_;
  std::unique_ptr<TForm1> form_;
  int status_ = -1;
};

}  // namespace gravik

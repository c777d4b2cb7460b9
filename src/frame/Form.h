// The main form: program-level event handlers, the per-frame state machine and
// the one error exit.
#pragma once
#include <array>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "frame/Game.h"
#include "frame/ScreenUnit.h"
#include "platform/InputDevice.h"
#include "world/World.h"

namespace gravik {

class TForm1 {
 public:
  using StateHandler = std::function<void(TForm1&)>;

  // The form takes the world's outcomes from when it is made.
  explicit TForm1(Game& game);
  ~TForm1();
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  Game& game() { return game_; }
  FrameState& frame() { return game_.frame; }

  // The unit of a screen state. Throws std::logic_error when a handler of the
  // unit is missing: a screen never silently ignores what it was not given.
  void SetUnit(uint8_t state, ScreenUnit unit);
  bool HasUnit(uint8_t state) const { return bool(units_[state]); }
  const ScreenUnit* Unit(uint8_t state) const { return units_[state].get(); }
  // A unit that only draws frames (tests and one-frame states).
  void SetStateHandler(uint8_t state, StateHandler handler);
  bool HasStateHandler(uint8_t state) const { return HasUnit(state); }

  // Start-up work run by the deferred start (folders, archive, ...); installed by main.
  std::function<void(TForm1&)> RunStartUp;

  // --- form events -------------------------------------------------------
  void FormCreate();
  void Timer1Timer();          // the deferred start, 500 ms after creation
  void DXDrawInitialize();     // drawing surface came up
  void DXDrawRestoreSurface(); // surfaces were lost and restored
  void DXTimerTimer();         // one frame
  void FormClose();
  void kvelActivate();
  void kvelDEActivate();
  // Routes one platform event to the handlers above, the form's key table and
  // the current screen's unit.
  void HandleEvent(const InputEvent& ev);
  // Takes the waiting platform events during a long step (start-up), so key
  // states stay current; they are handled when the message loop runs again.
  void PumpEvents();
  // The next event held by PumpEvents, or false.
  bool TakeHeldEvent(InputEvent& ev);

  // --- state machine (frame/SetGameState.cpp) ------------------------------
  void SetGameState(uint8_t newState);

  // Measures FrameStep from the performance counter (gameplay states).
  void MeasureFrameStep();
  void ResetFrameStepAveraging();
  // Player sprite position for the current panel layout; the background shown;
  // the displayed score jumps to the score.
  void ApplyPanelLayout();

  void ApplyDisplayMode(bool reinitialise);
  void ToggleDisplayMode();

  // The program's one error exit: shows the message, closes the form and throws
  // GameHalt(1), which unwinds to main.
  [[noreturn]] void FatalError(const std::string& message);
  // Exceptions that reach the event loop: "ERROR:-", two carriage returns, the
  // message; then the application terminates (GameHalt(1)).
  [[noreturn]] void AppException(const std::exception& e);

  // Presents the back surface and keeps a copy of it: the frame on the screen
  // (F12 saves it).
  void Present();
  const Bitmap& PresentedFrame() const { return presented_; }
  // The number the next screenshot's name tries first.
  uint32_t& NextScreenshotNumber() { return nextScreenshot_; }

 private:
  Game& game_;
  std::array<std::unique_ptr<ScreenUnit>, 256> units_{};
  bool closingDone_ = false;  // the units' Closing handlers have run
  std::deque<InputEvent> held_;
  Bitmap presented_;
  uint32_t nextScreenshot_ = 1;
};

// Drives the form: pumps events, fires the start-up timer, runs frames while the
// application is active. `afterIteration` runs after every loop pass (the
// headless run advances its clock there and may stop the loop by returning false).
// Returns the process exit status.
int RunMessageLoop(TForm1& form, const std::function<bool()>& afterIteration);
// One pass of that loop, for hosts that own the loop (a browser's frame
// callback): -1 while the program goes on, else the exit status.
int MessageLoopPass(TForm1& form, const std::function<bool()>& afterIteration);

}  // namespace gravik

// The main form: program-level event handlers, the per-frame state machine and
// the one error exit.
#pragma once
#include <array>
#include <exception>
#include <functional>
#include <string>

#include "frame/Game.h"
#include "platform/InputDevice.h"
#include "world/World.h"

namespace gravik {

class TForm1 : public StateHost {
 public:
  using StateHandler = std::function<void(TForm1&)>;

  explicit TForm1(Game& game);

  Game& game() { return game_; }
  FrameState& frame() { return game_.frame; }

  // Each screen registers the handler that runs once per frame in its state.
  void SetStateHandler(uint8_t state, StateHandler handler);
  bool HasStateHandler(uint8_t state) const { return bool(handlers_[state]); }

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
  // Routes one platform event to the handlers above and to the key/mouse handlers.
  void HandleEvent(const InputEvent& ev);

  // Key and mouse handlers of the screens, installed by the input module.
  std::function<void(TForm1&, uint8_t vk, uint8_t shift)> FormKeyDown;
  std::function<void(TForm1&, char key)> FormKeyPress;
  std::function<void(TForm1&, const InputEvent&)> MouseHandler;

  // --- state machine -----------------------------------------------------
  void SetGameState(uint8_t newState);
  // The world's view of the state machine.
  uint8_t CurrentState() const override { return game_.frame.GameState; }
  void ChangeState(uint8_t state) override { SetGameState(state); }
  // Everything a state change must also do in the modules (world, audio,
  // panel, fonts, widgets); installed by the game module.
  std::function<void(TForm1&, uint8_t oldState, uint8_t newState, int step)> StateChangeStep;

  // Measures FrameStep from the performance counter (gameplay states).
  void MeasureFrameStep();
  void ResetFrameStepAveraging();
  // Player sprite position for the current panel layout; the background shown.
  void ApplyPanelLayout();
  std::function<void(TForm1&)> PanelLayoutChanged;
  // Side panel or black bars (gameplay states only), then the overlays.
  std::function<void(TForm1&)> RefreshSidePanel;
  std::function<void(TForm1&)> DrawOverlays;
  // Scenario completion test, run while playing and standing on a cell.
  std::function<bool(TForm1&)> PlayerBetweenCells;
  std::function<void(TForm1&)> CheckScenarioDone;

  void ApplyDisplayMode(bool reinitialise);
  void ToggleDisplayMode();
  std::function<void(TForm1&)> SaveSettings;

  // The program's one error exit: shows the message, closes the form and throws
  // GameHalt(1), which unwinds to main.
  [[noreturn]] void FatalError(const std::string& message, bool halt = true);
  // Exceptions that reach the event loop: "ERROR:-", two carriage returns, the
  // message; then the application terminates (GameHalt(1)).
  [[noreturn]] void AppException(const std::exception& e);

  // Presents the back surface.
  void Present();

 private:
  Game& game_;
  std::array<StateHandler, 256> handlers_{};
};

// Drives the form: pumps events, fires the start-up timer, runs frames while the
// application is active. `afterIteration` runs after every loop pass (the
// headless run advances its clock there and may stop the loop by returning false).
// Returns the process exit status.
int RunMessageLoop(TForm1& form, const std::function<bool()>& afterIteration);

}  // namespace gravik

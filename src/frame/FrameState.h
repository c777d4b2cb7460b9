// Process-wide state of the frame loop (one instance, owned by the Game).
#pragma once
#include <cstdint>

#include "frame/GameState.h"

namespace gravik {

struct FrameState {
  uint8_t GameState = gsMainMenu;
  bool ScreenReady = false;        // the current state's entry routine has run
  bool ScreenRebuild = false;      // the next entry only rebuilds the screen (display switch)
  bool Started = false;            // the deferred start-up has run
  bool FatalInProgress = false;
  bool Windowed = true;
  bool WindowedPreference = true;
  bool ModeSwitchLockout = false;
  uint32_t ModeSwitchTick = 0;     // when the lockout was set
  bool PanelShown = true;
  uint32_t PanelToggleTick = 0;    // tick of the last panel toggle; also debounces several keys
  bool PauseRequested = false;
  bool PointerOutside = false;
  bool TimingReset = false;
  double FrameStep = 0;            // pixels to move this frame
  int MoveSpeedWindowed = 384;     // pixels per second, per display mode
  int MoveSpeedFullScreen = 384;
  bool AfpsEnabled = true;
  double StepSum = 0;
  int StepCount = 0;
  uint64_t LastCounter = 0;

  // Frame timer and start-up timer of the form.
  bool TimerEnabled = false;       // DXTimer
  bool Timer1Enabled = true;
  uint32_t CreatedTick = 0;
  bool Active = true;              // the application has focus
  bool Closed = false;             // the main form has closed
  bool MenusRunning = false;       // the pointer may follow the mouse
};

}  // namespace gravik

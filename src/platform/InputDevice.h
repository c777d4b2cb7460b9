// Keyboard, mouse, joystick and window events.
#pragma once
#include <cstdint>
#include <string>

#include "platform/KeyState.h"

namespace gravik {

enum class InputEventType : uint8_t {
  None,
  KeyDown,      // vk, scan, shift; repeat set for auto-repeat
  KeyUp,
  Text,         // text: one or more Windows-1252 characters; Backspace, Tab, Enter
                // and Escape also send theirs (8, 9, 13, 27) right after their KeyDown
  MouseDown,    // x, y (640 x 480 space), button 1 left, 2 right, 3 middle
  MouseUp,
  MouseMove,
  MouseWheel,   // wheel: +1 up, -1 down
  MouseEnter,
  MouseLeave,
  FocusGained,
  FocusLost,
  SurfaceReset, // surfaces lost and restored
  Quit,         // window closed by the user
};

// Shift-state bits (as the form's key handlers receive them).
enum : uint8_t { kShiftBit = 1, kCtrlBit = 2, kAltBit = 4 };

struct InputEvent {
  InputEventType type = InputEventType::None;
  uint8_t vk = 0;        // Windows virtual-key code
  uint8_t scan = 0;      // DirectInput scan code
  uint8_t shift = 0;     // kShiftBit | kCtrlBit | kAltBit
  bool repeat = false;
  int x = 0, y = 0;      // mouse, in 640 x 480 coordinates
  int button = 0;
  int wheel = 0;
  std::string text;
};

// Pad button bits of JoystickState::buttons: A, B, X and Y are the game's
// joystick buttons 1 to 4; Start and Back (Select) follow.
enum : uint8_t {
  kPadA = 1,
  kPadB = 2,
  kPadX = 4,
  kPadY = 8,
  kPadStart = 16,
  kPadBack = 32,
  kPadFaceButtons = 15,  // the game's buttons 1 to 4
  kPadAllButtons = 63,
};

struct JoystickState {
  bool present = false;
  uint32_t x = 32767, y = 32767;  // 0..65535, centre about 32767
  uint8_t buttons = 0;            // kPad* bits
};

class InputDevice {
 public:
  virtual ~InputDevice() = default;
  // Next pending event; false when there is none.
  virtual bool PollEvent(InputEvent& ev) = 0;
  // As PollEvent, but waits up to `timeoutMs` for an event (for an inactive
  // window, so that an idle game does not spin).
  virtual bool WaitEvent(InputEvent& ev, int timeoutMs) = 0;
  // Both key-code spaces, kept up to date as events are pumped.
  virtual KeyState& Keys() = 0;
  virtual JoystickState Joystick() = 0;
  virtual void MousePosition(int& x, int& y) = 0;
};

}  // namespace gravik

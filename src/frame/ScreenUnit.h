// One screen state of the frame, as one unit: its entry routine, its
// per-frame handler and its key-down, key-press and mouse handlers. The form
// dispatches on the table of units (frame/Units.cpp); every handler of a unit
// must be given, so a screen that ignores keys says so with `NoKeys`.
#pragma once
#include <cstdint>
#include <functional>

#include "platform/InputDevice.h"

namespace gravik {

class TForm1;

// A key-down event as the form's key handlers see it: the code in both key
// spaces and the exact modifiers.
struct KeyEvent {
  uint8_t vk = 0;
  uint8_t scan = 0;
  uint8_t shift = 0;
  bool repeat = false;  // auto-repeat of a key held down
  bool pad = false;     // made by the game pad in a menu (never a key to bind)
};

struct ScreenUnit {
  // The screen-entry routine, run on the state's first frame; the form marks
  // the screen ready after it unless it switched the state.
  std::function<void(TForm1&)> Enter;
  // Every frame while the state is current (after the entry routine).
  std::function<void(TForm1&)> Frame;
  std::function<void(TForm1&, const KeyEvent&)> KeyDown;
  std::function<void(TForm1&, char)> KeyPress;
  // Mouse down, up and wheel (moves are the form's: the pointer follows).
  std::function<void(TForm1&, const InputEvent&)> Mouse;

  // Optional: the program is closing, whatever the state (a screen that holds
  // work in memory keeps it here). Runs once; what it throws is ignored.
  std::function<void(TForm1&)> Closing = nullptr;

  bool Complete() const { return Enter && Frame && KeyDown && KeyPress && Mouse; }
};

// The explicit "nothing here" of a unit's handler.
inline void NoEntry(TForm1&) {}
inline void NoKeys(TForm1&, const KeyEvent&) {}
inline void NoKeyPress(TForm1&, char) {}
inline void NoMouse(TForm1&, const InputEvent&) {}

// The key matches slot `slot`'s binding in the current keyboard mode (virtual
// key in mode 0, scan code in mode 1) and the slot is enabled.
struct InputState;
bool KeyIsSlot(const InputState& in, const KeyEvent& key, int slot);

}  // namespace gravik

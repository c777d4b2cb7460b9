// Physical keys to the two key-code spaces the game stores: Windows virtual-key
// codes and DirectInput scan codes. Keys are identified by their USB HID usage
// number, which is also SDL's scancode number, so this table needs no SDL.
#pragma once
#include <cstdint>
#include <string>

namespace gravik {

struct KeyCodes {
  uint8_t vk = 0;    // 0 = the key has no virtual-key code
  uint8_t scan = 0;  // 0 = the key has no DirectInput scan code
  bool operator==(const KeyCodes&) const = default;
};

// USB HID usage numbers of a few keys (identical to SDL_SCANCODE_*).
namespace hid {
constexpr int A = 4, Z = 29, Digit1 = 30, Digit0 = 39, Return = 40, Escape = 41, Backspace = 42,
              Tab = 43, Space = 44, F1 = 58, F12 = 69, Pause = 72, Insert = 73, Home = 74,
              PageUp = 75, Delete = 76, End = 77, PageDown = 78, Right = 79, Left = 80,
              Down = 81, Up = 82, KpEnter = 88, Kp1 = 89, Kp0 = 98, LCtrl = 224, LShift = 225,
              LAlt = 226, RCtrl = 228, RShift = 229, RAlt = 230;
}  // namespace hid

// Codes by key position (a UK layout for the punctuation keys, matching the
// game's key names: 192 is "'", 222 is "#").
KeyCodes MapScancode(int hidScancode);
// As above, but the virtual-key code of letter and punctuation keys follows the
// character the layout puts on the key (`keycode` is SDL's keycode: the
// character's code point for printable keys), as Windows does. The scan code
// always follows the position.
KeyCodes MapKey(int hidScancode, int keycode);

// Left and right Shift, Ctrl and Alt share one virtual-key code. For the scan code
// of one side, the scan code of the other side (0 for every other key).
uint8_t PartnerModifierScan(uint8_t scan);

// Control character that a key produces as typed text (Backspace 8, Tab 9,
// Enter 13, Escape 27), or 0.
char ControlCharForScan(uint8_t scan);

// Key names used by scripts and tools ("Left", "A", "F5", "KP7", "Enter"...),
// letter case ignored. Returns the HID number, or 0 for an unknown name.
int ScancodeByName(const std::string& name);

}  // namespace gravik

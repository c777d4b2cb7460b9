// Keys, key slots, key names, the joystick and text entry.
//
// Key codes live in two spaces (both stored in profiles): keyboard mode 0 uses
// Windows virtual-key codes, mode 1 DirectInput scan codes.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/InputDevice.h"

namespace gravik {

// The seven bound actions; slot numbers are 1-based.
enum : int {
  kSlotUp = 1,
  kSlotRight = 2,
  kSlotDown = 3,
  kSlotLeft = 4,
  kSlotStatus = 5,
  kSlotMap = 6,
  kSlotLoseLife = 7,
  kKeySlotCount = 7,
};

struct KeySlot {
  uint8_t Enabled = 1;
  uint16_t Key = 0;
  bool operator==(const KeySlot&) const = default;
};
// Index 0 holds slot 1.
using KeySlots = std::array<KeySlot, kKeySlotCount>;

// Defaults a new profile gets in `mode`.
KeySlots DefaultKeySlots(int mode);
// Bindings loaded when Ctrl+Shift+K switches to `mode`.
KeySlots ModeSwitchKeySlots(int mode);
// "Up:", "Right:", ... for slot 1..7; empty for any other number.
const char* KeySlotLabel(int slot);

using KeyNameTable = std::array<std::string, 256>;
// The key-name table of `mode` (0 or 1; anything else counts as 0).
KeyNameTable BuildKeyNames(int mode);
// Character code a scan code stands for in mode 1's names; 0 when none.
uint8_t ScanToKey(int scan);

constexpr int32_t kJoystickCentre = 32768;
constexpr int32_t kJoystickDeadZone = 10000;

// Joystick direction bits.
enum : uint8_t { kJoyUp = 1, kJoyDown = 2, kJoyLeft = 4, kJoyRight = 8 };

struct JoystickReading {
  bool Ok = false;
  uint8_t Direction = 0;  // kJoy* bits
  uint8_t Buttons = 0;    // bit 0 = button 1 ... bit 3 = button 4
  uint8_t PadButtons = 0; // every kPad* bit: the four buttons, Start and Back
  std::string Error;      // empty when Ok
  bool Button(int n) const { return n >= 1 && n <= 4 && (Buttons >> (n - 1)) & 1; }
  bool Start() const { return PadButtons & kPadStart; }
  bool Back() const { return PadButtons & kPadBack; }
};

struct TextEntryState {
  bool Active = false;  // TextEntryActive
  std::string Text;
  size_t MaxLength = 0;
  bool DigitsOnly = false;
  bool UpperCase = false;
};

struct KeyCaptureState {
  bool Waiting = false;
  int Slot = 0;  // 1..7
  bool AwaitRelease = false;  // started by a key: in mode 1 nothing is taken until every key is up
};

// All input state of the running game.
struct InputState {
  InputState();

  KeySlots Slots;          // the current profile's bindings
  int32_t KeyboardMode = 0;
  KeyNameTable KeyNames;   // rebuilt with the mode
  bool JoystickEnabled = false;
  int32_t JoyCentreX = kJoystickCentre, JoyCentreY = kJoystickCentre;
  TextEntryState TextEntry;
  KeyCaptureState Capture;
  bool AudioKeysUsable = true;  // none of D, Q, S, W is bound

  const KeySlot& Slot(int n) const { return Slots[size_t(n - 1)]; }
  KeySlot& Slot(int n) { return Slots[size_t(n - 1)]; }
};

// Sets the mode and rebuilds the names (bindings unchanged).
void SetKeyboardMode(InputState& in, int mode);
// Ctrl+Shift+K: the other mode, its bindings and names. Returns the notice
// ("KBI Original" or "KBI New").
std::string SwitchKeyboardMode(InputState& in);
// The name shown for a key code: "???" above 255.
const std::string& KeyNameOf(const InputState& in, int code);

// Non-zero when the key is down. Mode 0: the asynchronous key state (bit 15
// down, bit 0 pressed since the last read, which the read clears); mode 1:
// 1000 while the scan code's key is down.
uint16_t KeyDown(const InputState& in, KeyState& keys, uint16_t code);
// A slot's key reads as down, and the slot is enabled.
bool SlotKeyDown(const InputState& in, KeyState& keys, int slot);
// Reads the seven slot keys once, so presses made elsewhere do not act later.
void FlushKeys(const InputState& in, KeyState& keys);

// D, Q, S and W are bound to no slot (in the current mode's code space).
bool AudioLetterKeysFree(const InputState& in);
// Recomputed whenever play is entered.
inline void UpdateAudioKeysUsable(InputState& in) { in.AudioKeysUsable = AudioLetterKeysFree(in); }

JoystickReading ReadJoystick(const InputState& in, InputDevice& device);
bool JoystickButton1(const InputState& in, InputDevice& device);
bool JoystickButton2(const InputState& in, InputDevice& device);
// The direction (1 up, 2 right, 3 down, 4 left) of a pure joystick position;
// 0 for the centre or a diagonal.
int PureJoystickDirection(uint8_t bits);
// Up to 10 reads; the centre becomes their rounded mean. Without a good read
// the centre is (32768, 32768) and the result false.
bool CalibrateJoystick(InputState& in, InputDevice& device);

// Mode 1 key capture: the pressed scan code, 0 when none or when two or more
// keys are down at once.
uint16_t CaptureScanKey(KeyState& keys);
void StartKeyCapture(InputState& in, int slot);
// A key offered to the waiting slot. Accepted when a capture waits and the key
// is non-zero, not 8, below 256 and has a name other than "???": the slot gets it
// and is enabled, other enabled slots holding it are cleared, the capture ends.
bool AcceptCapturedKey(InputState& in, uint16_t key);

void StartTextEntry(InputState& in, const std::string& text, size_t maxLength, bool digitsOnly,
                    bool upperCase);
// One typed character while text entry is active (Backspace 8 removes the last
// character; Enter is the caller's). Returns true when the text changed.
bool TextEntryKeyPress(TextEntryState& t, char c);

}  // namespace gravik

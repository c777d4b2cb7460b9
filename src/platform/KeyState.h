// Key states in the two code spaces the game stores in profiles: Windows
// virtual-key codes (keyboard mode 0) and DirectInput scan codes (mode 1).
// Each key has a down bit and a "pressed since last read" bit, read with the
// semantics of an asynchronous key-state query.
#pragma once
#include <array>
#include <cstdint>

namespace gravik {

class KeyState {
 public:
  // Platform side: a key went down or up (either code may be 0 = unknown).
  void Press(uint8_t vk, uint8_t scan);
  void Release(uint8_t vk, uint8_t scan);
  void ReleaseAll();  // focus lost

  // Game side. Bit 15 set while down; bit 0 set when the key was pressed since the
  // previous read of that key. Reading clears the pressed bit.
  uint16_t AsyncKeyState(uint8_t vk);
  // Current down state without touching the pressed bit.
  bool VkDown(uint8_t vk) const { return vkDown_[vk]; }
  bool ScanDown(uint8_t scan) const { return scanDown_[scan]; }
  // Scan-code read that also reports and clears "pressed since last read".
  uint16_t AsyncScanState(uint8_t scan);

 private:
  std::array<bool, 256> vkDown_{}, vkPressed_{}, scanDown_{}, scanPressed_{};
};

// Virtual-key codes the game uses by number.
namespace vk {
constexpr uint8_t Back = 0x08, Tab = 0x09, Return = 0x0D, Shift = 0x10, Control = 0x11,
                  Menu = 0x12, Pause = 0x13, Escape = 0x1B, Space = 0x20, Prior = 0x21,
                  Next = 0x22, End = 0x23, Home = 0x24, Left = 0x25, Up = 0x26, Right = 0x27,
                  Down = 0x28, Insert = 0x2D, Delete = 0x2E, F1 = 0x70, F2 = 0x71, F3 = 0x72,
                  F4 = 0x73, F5 = 0x74, F6 = 0x75, F7 = 0x76, F8 = 0x77, F9 = 0x78, F10 = 0x79,
                  F11 = 0x7A, F12 = 0x7B;
}  // namespace vk

}  // namespace gravik

#include "platform/KeyState.h"

namespace gravik {

void KeyState::Press(uint8_t vk, uint8_t scan) {
  if (vk) {
    vkDown_[vk] = true;
    vkPressed_[vk] = true;
  }
  if (scan) {
    scanDown_[scan] = true;
    scanPressed_[scan] = true;
  }
}

void KeyState::Release(uint8_t vk, uint8_t scan) {
  if (vk) vkDown_[vk] = false;
  if (scan) scanDown_[scan] = false;
}

void KeyState::ReleaseAll() {
  vkDown_.fill(false);
  scanDown_.fill(false);
}

uint16_t KeyState::AsyncKeyState(uint8_t vk) {
  uint16_t r = vkDown_[vk] ? 0x8000 : 0;
  if (vkPressed_[vk]) r |= 1;
  vkPressed_[vk] = false;
  return r;
}

uint16_t KeyState::AsyncScanState(uint8_t scan) {
  uint16_t r = scanDown_[scan] ? 0x8000 : 0;
  if (scanPressed_[scan]) r |= 1;
  scanPressed_[scan] = false;
  return r;
}

}  // namespace gravik

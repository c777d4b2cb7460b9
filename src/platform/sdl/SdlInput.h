// Keyboard, text, mouse, window and joystick events from SDL, in the game's terms.
#pragma once
#include <SDL.h>

#include <deque>

#include "platform/InputDevice.h"
#include "platform/sdl/SdlDisplay.h"

namespace gravik {

class SdlInput : public InputDevice {
 public:
  explicit SdlInput(SdlDisplay& display);
  ~SdlInput() override;
  SdlInput(const SdlInput&) = delete;
  SdlInput& operator=(const SdlInput&) = delete;

  bool PollEvent(InputEvent& ev) override;
  bool WaitEvent(InputEvent& ev, int timeoutMs) override;
  KeyState& Keys() override { return keys_; }
  JoystickState Joystick() override;
  void MousePosition(int& x, int& y) override;

 private:
  // False when the SDL event means nothing to the game.
  bool Translate(const SDL_Event& e, InputEvent& ev);
  void OpenJoystick(int deviceIndex);
  void CloseJoystick();
  void OpenFirstJoystick();

  SdlDisplay& display_;
  KeyState keys_;
  std::deque<InputEvent> pending_;
  int mouseX_ = 0, mouseY_ = 0;
  bool joystickSystem_ = false;
  SDL_GameController* pad_ = nullptr;
  SDL_Joystick* joystick_ = nullptr;
  SDL_JoystickID joystickId_ = -1;
};

}  // namespace gravik

// Keyboard, text, mouse, window and joystick events from SDL, in the game's terms.
#pragma once
#include <SDL.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/InputDevice.h"
#include "platform/sdl/SdlDisplay.h"

namespace gravik {

// The joystick the game reads is the first game controller or joystick SDL
// offers; pads plugged in or out while the game runs are taken up or let go.
// A game controller's left stick and d-pad steer, A/B/X/Y are buttons 1-4.
class SdlInput : public InputDevice {
 public:
  // `mappingFolders` are searched in order for "gamecontrollerdb.txt" (the
  // first one found is read); SDL_GAMECONTROLLERCONFIG and
  // SDL_GAMECONTROLLERCONFIG_FILE take precedence over it.
  explicit SdlInput(SdlDisplay& display, const std::vector<std::string>& mappingFolders = {});
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
  void LoadMappings(const std::vector<std::string>& folders);
  void OpenJoystick(int deviceIndex);
  void CloseJoystick();
  void OpenFirstJoystick();
  // A device came (joystick or game-controller event, by device index) or went
  // (by instance id).
  void DeviceAdded(int deviceIndex);
  void DeviceRemoved(SDL_JoystickID id);

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

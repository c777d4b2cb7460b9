#include "platform/sdl/SdlInput.h"

#include <cstdio>

#include "platform/Codepage.h"
#include "platform/Folders.h"
#include "platform/KeyCodes.h"

namespace gravik {

namespace {

uint8_t ShiftBits(uint16_t mod) {
  uint8_t s = 0;
  if (mod & KMOD_SHIFT) s |= kShiftBit;
  if (mod & KMOD_CTRL) s |= kCtrlBit;
  if (mod & KMOD_ALT) s |= kAltBit;
  return s;
}

uint32_t Axis(int16_t v) { return uint32_t(int32_t(v) + 32768); }

constexpr char kMappingFile[] = "gamecontrollerdb.txt";
// A stick this close to the middle counts as let go (the d-pad then steers).
constexpr uint32_t kCentreZone = 8000;

bool Centred(uint32_t axis) { return axis + kCentreZone >= 32768 && axis <= 32768 + kCentreZone; }

}  // namespace

SdlInput::SdlInput(SdlDisplay& display, const std::vector<std::string>& mappingFolders) : display_(display) {
  joystickSystem_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) == 0;
  if (joystickSystem_) {
    LoadMappings(mappingFolders);
    OpenFirstJoystick();
  }
  SDL_StartTextInput();
}

void SdlInput::LoadMappings(const std::vector<std::string>& folders) {
  std::string folder;
  if (FindDataFile(folders, kMappingFile, folder)) {
    const std::string path = folder + kMappingFile;
    if (SDL_GameControllerAddMappingsFromFile(path.c_str()) < 0)
      std::fprintf(stderr, "gravik: %s was not read: %s\n", path.c_str(), SDL_GetError());
  }
  // SDL_GAMECONTROLLERCONFIG and SDL_GAMECONTROLLERCONFIG_FILE were read by SDL
  // when its joysticks started, as the user's mappings: the file's do not replace them.
}

SdlInput::~SdlInput() {
  CloseJoystick();
  if (joystickSystem_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
}

void SdlInput::OpenJoystick(int deviceIndex) {
  if (SDL_IsGameController(deviceIndex)) {
    pad_ = SDL_GameControllerOpen(deviceIndex);
    if (pad_) joystick_ = SDL_GameControllerGetJoystick(pad_);
  }
  if (!joystick_) joystick_ = SDL_JoystickOpen(deviceIndex);
  joystickId_ = joystick_ ? SDL_JoystickInstanceID(joystick_) : -1;
}

void SdlInput::CloseJoystick() {
  if (pad_) {
    SDL_GameControllerClose(pad_);  // also closes its joystick
  } else if (joystick_) {
    SDL_JoystickClose(joystick_);
  }
  pad_ = nullptr;
  joystick_ = nullptr;
  joystickId_ = -1;
}

void SdlInput::OpenFirstJoystick() {
  for (int i = 0, n = SDL_NumJoysticks(); i < n && !joystick_; ++i) OpenJoystick(i);
}

void SdlInput::DeviceAdded(int deviceIndex) {
  // The one in use stays; a device that came while none was is taken up.
  if (joystickSystem_ && !joystick_) OpenJoystick(deviceIndex);
}

void SdlInput::DeviceRemoved(SDL_JoystickID id) {
  if (!joystick_ || id != joystickId_) return;
  CloseJoystick();
  OpenFirstJoystick();
}

JoystickState SdlInput::Joystick() {
  JoystickState j;
  if (!joystick_ || !SDL_JoystickGetAttached(joystick_)) return j;
  j.present = true;
  bool left = false, right = false, up = false, down = false;
  if (pad_) {
    j.x = Axis(SDL_GameControllerGetAxis(pad_, SDL_CONTROLLER_AXIS_LEFTX));
    j.y = Axis(SDL_GameControllerGetAxis(pad_, SDL_CONTROLLER_AXIS_LEFTY));
    // In the order of the kPad* bits.
    const SDL_GameControllerButton buttons[6] = {SDL_CONTROLLER_BUTTON_A,     SDL_CONTROLLER_BUTTON_B,
                                                 SDL_CONTROLLER_BUTTON_X,     SDL_CONTROLLER_BUTTON_Y,
                                                 SDL_CONTROLLER_BUTTON_START, SDL_CONTROLLER_BUTTON_BACK};
    for (int b = 0; b < 6; ++b) {
      if (SDL_GameControllerGetButton(pad_, buttons[b])) j.buttons |= uint8_t(1 << b);
    }
    left = SDL_GameControllerGetButton(pad_, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    right = SDL_GameControllerGetButton(pad_, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    up = SDL_GameControllerGetButton(pad_, SDL_CONTROLLER_BUTTON_DPAD_UP);
    down = SDL_GameControllerGetButton(pad_, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  } else {
    if (SDL_JoystickNumAxes(joystick_) >= 2) {
      j.x = Axis(SDL_JoystickGetAxis(joystick_, 0));
      j.y = Axis(SDL_JoystickGetAxis(joystick_, 1));
    }
    const int n = SDL_JoystickNumButtons(joystick_);
    for (int b = 0; b < 4 && b < n; ++b) {
      if (SDL_JoystickGetButton(joystick_, b)) j.buttons |= uint8_t(1 << b);
    }
    if (SDL_JoystickNumHats(joystick_) > 0) {
      const uint8_t hat = SDL_JoystickGetHat(joystick_, 0);
      left = hat & SDL_HAT_LEFT;
      right = hat & SDL_HAT_RIGHT;
      up = hat & SDL_HAT_UP;
      down = hat & SDL_HAT_DOWN;
    }
  }
  // With the stick let go, the d-pad (or the hat) acts as a fully deflected stick.
  if (Centred(j.x) && Centred(j.y)) {
    if (left) j.x = 0;
    if (right) j.x = 65535;
    if (up) j.y = 0;
    if (down) j.y = 65535;
  }
  return j;
}

void SdlInput::MousePosition(int& x, int& y) {
  x = mouseX_;
  y = mouseY_;
}

bool SdlInput::PollEvent(InputEvent& ev) {
  if (!pending_.empty()) {
    ev = pending_.front();
    pending_.pop_front();
    return true;
  }
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    if (Translate(e, ev)) return true;
  }
  return false;
}

bool SdlInput::WaitEvent(InputEvent& ev, int timeoutMs) {
  if (PollEvent(ev)) return true;
  SDL_Event e;
  if (SDL_WaitEventTimeout(&e, timeoutMs > 0 ? timeoutMs : 0) && Translate(e, ev)) return true;
  return PollEvent(ev);
}

bool SdlInput::Translate(const SDL_Event& e, InputEvent& ev) {
  ev = InputEvent{};
  const uint32_t ourWindow = display_.WindowId();
  switch (e.type) {
    case SDL_QUIT:
      ev.type = InputEventType::Quit;
      return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const KeyCodes k = MapKey(e.key.keysym.scancode, e.key.keysym.sym);
      if (k.vk == 0 && k.scan == 0) return false;
      ev.vk = k.vk;
      ev.scan = k.scan;
      ev.shift = ShiftBits(e.key.keysym.mod);
      if (e.type == SDL_KEYDOWN) {
        ev.type = InputEventType::KeyDown;
        ev.repeat = e.key.repeat != 0;
        if (!ev.repeat) keys_.Press(k.vk, k.scan);
        if (const char c = ControlCharForScan(k.scan)) {
          InputEvent t;
          t.type = InputEventType::Text;
          t.text = std::string(1, c);
          t.shift = ev.shift;
          pending_.push_back(t);
        }
      } else {
        ev.type = InputEventType::KeyUp;
        // Shift, Ctrl and Alt stay down while the key of the other side is held.
        const uint8_t partner = PartnerModifierScan(k.scan);
        keys_.Release(partner && keys_.ScanDown(partner) ? 0 : k.vk, k.scan);
      }
      return true;
    }
    case SDL_TEXTINPUT:
      ev.type = InputEventType::Text;
      ev.text = Utf8ToWindows1252(e.text.text);
      return !ev.text.empty();
    case SDL_MOUSEMOTION:
      if (e.motion.windowID != ourWindow) return false;
      display_.WindowToScreen(e.motion.x, e.motion.y, mouseX_, mouseY_);
      ev.type = InputEventType::MouseMove;
      ev.x = mouseX_;
      ev.y = mouseY_;
      ev.shift = ShiftBits(uint16_t(SDL_GetModState()));
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      if (e.button.windowID != ourWindow) return false;
      switch (e.button.button) {
        case SDL_BUTTON_LEFT: ev.button = 1; break;
        case SDL_BUTTON_RIGHT: ev.button = 2; break;
        case SDL_BUTTON_MIDDLE: ev.button = 3; break;
        default: return false;
      }
      display_.WindowToScreen(e.button.x, e.button.y, mouseX_, mouseY_);
      ev.type = e.type == SDL_MOUSEBUTTONDOWN ? InputEventType::MouseDown : InputEventType::MouseUp;
      ev.x = mouseX_;
      ev.y = mouseY_;
      ev.shift = ShiftBits(uint16_t(SDL_GetModState()));
      return true;
    }
    case SDL_MOUSEWHEEL: {
      if (e.wheel.windowID != ourWindow) return false;
      int dy = e.wheel.y;
      if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) dy = -dy;
      if (dy == 0) return false;
      ev.type = InputEventType::MouseWheel;
      ev.wheel = dy > 0 ? 1 : -1;
      ev.x = mouseX_;
      ev.y = mouseY_;
      return true;
    }
    case SDL_WINDOWEVENT:
      if (e.window.windowID != ourWindow) return false;
      switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          ev.type = InputEventType::FocusGained;
          return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          keys_.ReleaseAll();
          ev.type = InputEventType::FocusLost;
          return true;
        case SDL_WINDOWEVENT_ENTER:
          ev.type = InputEventType::MouseEnter;
          return true;
        case SDL_WINDOWEVENT_LEAVE:
          ev.type = InputEventType::MouseLeave;
          return true;
        case SDL_WINDOWEVENT_CLOSE:
          ev.type = InputEventType::Quit;
          return true;
        default:
          return false;
      }
    case SDL_RENDER_DEVICE_RESET:
      display_.RecreateRenderer();
      ev.type = InputEventType::SurfaceReset;
      return true;
    case SDL_RENDER_TARGETS_RESET:
      ev.type = InputEventType::SurfaceReset;
      return true;
    case SDL_JOYDEVICEADDED:
      DeviceAdded(e.jdevice.which);
      return false;
    case SDL_CONTROLLERDEVICEADDED:
      DeviceAdded(e.cdevice.which);
      return false;
    case SDL_JOYDEVICEREMOVED:
      DeviceRemoved(e.jdevice.which);
      return false;
    case SDL_CONTROLLERDEVICEREMOVED:
      DeviceRemoved(e.cdevice.which);
      return false;
    default:
      return false;
  }
}

}  // namespace gravik

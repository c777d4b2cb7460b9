// The whole game in-process on the headless platform with the built data
// files: the real start-up, frames on a test clock, key and mouse events as the
// platform delivers them. GRAVIK_HOME must point at a temporary folder first.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/Errors.h"
#include "frame/Form.h"
#include "app/Program.h"
#include "platform/headless/HeadlessPlatform.h"

namespace gravik::testing {

inline bool GameDataBuilt() { return std::filesystem::exists(std::string(GRAVIK_BINARY_DIR) + "/zqresource.dat"); }

class InProcessGame {
 public:
  explicit InProcessGame(GameOptions o = Defaults())
      : hp_(std::string(GRAVIK_BINARY_DIR) + "/gravik"), platform_(hp_.Get()), game_(platform_, o), form_(game_) {
    hp_.shell.SetEcho(false);
    form_.FormCreate();
    InstallGameHandlers(form_);
  }
  static GameOptions Defaults() {
    GameOptions o;
    o.headless = true;
    o.noMusic = o.noSound = true;
    return o;
  }
  // The deferred start; the halt status when it refused to go on, else 0.
  int Start() {
    try {
      form_.Timer1Timer();
    } catch (const GameHalt& h) {
      return h.Status();
    }
    return 0;
  }
  uint8_t State() const { return game_.frame.GameState; }
  void Frame(uint32_t ms = 17) {
    hp_.clock.Advance(uint64_t(ms) * 1000);
    form_.DXTimerTimer();
  }
  // Frames until the state is `state`; false when it was not reached in `frames`.
  bool RunUntilState(uint8_t state, int frames = 700) {
    for (int i = 0; i < frames; ++i) {
      if (State() == state) return true;
      Frame();
    }
    return State() == state;
  }
  void Key(uint8_t vk, uint8_t scan = 0) {
    InputEvent ev;
    ev.type = InputEventType::KeyDown;
    ev.vk = vk;
    ev.scan = scan;
    form_.HandleEvent(ev);
    ev.type = InputEventType::KeyUp;
    form_.HandleEvent(ev);
  }
  // Pointer to (x, y), a frame so the widgets see it hovered, then a click.
  void Click(int x, int y) {
    InputEvent ev;
    ev.type = InputEventType::MouseMove;
    ev.x = x;
    ev.y = y;
    form_.HandleEvent(ev);
    Frame();
    ev.type = InputEventType::MouseDown;
    ev.button = 1;
    form_.HandleEvent(ev);
    ev.type = InputEventType::MouseUp;
    form_.HandleEvent(ev);
  }
  // A key held down for play (the play keys are read from the key state).
  void Hold(uint8_t vk, uint8_t scan) { hp_.input.Keys().Press(vk, scan); }
  void Let(uint8_t vk, uint8_t scan) { hp_.input.Keys().Release(vk, scan); }
  std::string LastMessage() const { return hp_.shell.Messages().empty() ? "" : hp_.shell.Messages().back().text; }

  HeadlessPlatform hp_;
  Platform platform_;
  Game game_;
  TForm1 form_;
};

}  // namespace gravik::testing

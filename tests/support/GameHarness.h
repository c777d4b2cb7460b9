// The whole game in-process on the headless platform: the real start-up with
// the built data files, frames on a test clock, and input as the platform
// delivers it (events handed to the form, or keys and joystick held in the
// state the play keys are polled from). Make a TempHome before a harness.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "frame/Form.h"
#include "frame/GameState.h"
#include "app/Program.h"
#include "platform/headless/HeadlessPlatform.h"
#include "support/DataFiles.h"
#include "support/TempHome.h"

namespace gravik::testing {

// A key held for `holdMs`, pressed `atMs` after a given frame.
struct Move {
  int atMs = 0;
  std::string key;  // a key name of the headless input script
  int holdMs = 0;
};

class GameHarness {
 public:
  // One frame is 16.667 ms, the headless platform's own step (60 frames a
  // second), unless SetFrameMs changes it.
  static constexpr uint64_t kFrameUs = 16667;
  static constexpr double kFrameMs = kFrameUs / 1000.0;

  enum class Handlers { Game, None };
  // `program` is where the program would be: the data files are beside it.
  explicit GameHarness(GameOptions o = Silent(), Handlers h = Handlers::Game,
                       const std::string& program = DataFolder() + "gravik");
  GameHarness(const GameHarness&) = delete;
  GameHarness& operator=(const GameHarness&) = delete;

  // Headless, without sound effects or music.
  static GameOptions Silent();
  // Headless with sound and music as the settings say.
  static GameOptions Audible();

  // The deferred start; the halt status when it refused to go on, else 0.
  int Start();
  uint8_t State() const { return game_.frame.GameState; }
  std::string LastMessage() const;

  // --- time and frames, the test calling the form
  void AdvanceMs(uint32_t ms) { hp_.clock.Advance(uint64_t(ms) * 1000); }
  // `n` frames, each one frame's time after the last.
  void Frame(int n = 1);
  // A frame now, the clock where the test put it.
  void FrameNow() { form_.DXTimerTimer(); }
  // A frame `ms` after the last one.
  void FrameAfter(uint32_t ms) {
    AdvanceMs(ms);
    FrameNow();
  }
  // A state entered as the game enters it, with its first frame run now.
  void Open(uint8_t state);
  // Frames until the state is `state`; false when it was not reached in `frames`.
  bool RunUntilState(uint8_t state, int frames = 700);
  void SetFrameMs(double ms);

  // --- events handed straight to the form
  void Event(const InputEvent& ev) { form_.HandleEvent(ev); }
  void KeyDown(uint8_t vk, uint8_t scan = 0, uint8_t shift = 0);
  void KeyUp(uint8_t vk, uint8_t scan = 0, uint8_t shift = 0);
  // A key pressed and let go: down, then up.
  void Tap(uint8_t vk, uint8_t scan = 0, uint8_t shift = 0);
  void Type(const std::string& text);
  void MouseMove(int x, int y);
  void MouseDown(int x, int y);
  void MouseUp(int x, int y);
  // The pointer to (x, y), a frame so the widgets see it hovered, then the
  // button down and up; it takes no time. The next frame acts on it.
  void Click(int x, int y);

  // A key down waiting in the platform's queue, for the game to read itself
  // (start-up reads the queue before any frame).
  void QueueKeyDown(uint8_t vk, uint8_t scan);

  // --- the key and joystick state the play keys are polled from
  void Hold(uint8_t vk, uint8_t scan) { hp_.input.Keys().Press(vk, scan); }
  void Let(uint8_t vk, uint8_t scan) { hp_.input.Keys().Release(vk, scan); }
  // Pressed and released since the last poll, as the platform reports a quick tap.
  void HoldAndLet(uint8_t vk, uint8_t scan) {
    Hold(vk, scan);
    Let(vk, scan);
  }
  void Joystick(const JoystickState& j) { hp_.input.SetJoystick(j); }

  // --- the program's own message loop
  // Runs the loop as the headless program does; `each` sees the number of
  // every frame after it is shown, may hand the form events, and stops the run
  // by returning false. At most `maxFrames`. Returns the loop's exit status.
  int RunLoop(long maxFrames, const std::function<bool(long frame)>& each);
  // Key presses for the loop, timed from frame `fromFrame`.
  void Schedule(const std::vector<Move>& moves, long fromFrame);
  // The loop until play begins (at most 20 s of game time), `moves` timed from
  // the first frame of play, and play on for `playMs`. `perFrame` sees every
  // frame from the first frame of play on. Returns the loop's exit status.
  int Play(const std::vector<Move>& moves, int playMs, const std::function<void(Game&)>& perFrame = {});

  // Writes the frame last shown as a PNG; false when it could not.
  bool Screenshot(const std::string& pngPath) const;

  // The length of a frame in ms, as asked for (the clock steps in whole us).
  double FrameMs() const { return frameMs_; }

 private:
  double frameMs_ = kFrameMs;

 public:
  HeadlessPlatform hp_;
  Platform platform_;
  Game game_;
  TForm1 form_;
};

// A home made before the game that lives in it (a base class first in line).
struct WithHome {
  TempHome home_;
};

}  // namespace gravik::testing

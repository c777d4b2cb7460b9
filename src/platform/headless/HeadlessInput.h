// Scripted input for headless runs. A script is a text file of lines
//
//   <frame> <command> [arguments]
//
// released when the frame counter given to BeginFrame reaches <frame> (lines
// may come in any order; lines of one frame keep their order). Blank lines and
// lines starting with '#' are ignored. Commands:
//
//   key down <key>        key pressed (held until "key up")
//   key up <key>          key released
//   key tap <key>         pressed and released in the same frame
//   text <characters>     typed text: everything after "text " (UTF-8 or plain bytes)
//   mouse move <x> <y>    pointer position, 640 x 480 coordinates
//   mouse down <x> <y> [button]   button 1 left (default), 2 right, 3 middle
//   mouse up <x> <y> [button]
//   mouse wheel <n>       +1 up, -1 down
//   mouse enter | mouse leave
//   focus lost | focus gained
//   joystick <x> <y> <buttons>    axes 0..65535, buttons a bit mask 0..63:
//                         1 A, 2 B, 4 X, 8 Y, 16 Start, 32 Back
//   joystick none         unplugged
//   surface reset
//   quit
//   shot <file>           after frame <frame> is presented, write it as a PNG to
//                         <file> (everything after "shot ", trimmed; a relative
//                         path is taken from the current folder)
//
// Key names: A..Z, 0..9, F1..F24, KP0..KP9, Enter (Return), Escape (Esc), Space,
// Tab, Backspace, Left, Right, Up, Down, Insert, Delete (Del), Home, End, PageUp,
// PageDown, Pause, CapsLock, NumLock, ScrollLock, PrintScreen, Shift (LShift),
// RShift, Ctrl (LCtrl), RCtrl, Alt (LAlt), RAlt, KPEnter, KPPlus, KPMinus,
// KPMultiply, KPDivide, KPPeriod, Minus, Equals, LeftBracket, RightBracket,
// Backslash, Hash, Semicolon, Apostrophe, Grave, Comma, Period, Slash; letter
// case ignored. As on the real keyboard, Backspace, Tab, Enter and Escape also
// type their control character (a Text event after the KeyDown).
#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/InputDevice.h"

namespace gravik {

struct ScriptError {
  int line = 0;
  std::string message;
};

// A "shot" line: the frame after whose present the picture is taken.
struct ScriptShot {
  uint32_t frame = 0;
  std::string path;
};

class HeadlessInput : public InputDevice {
 public:
  // Parses a script and adds its events. Lines with errors are skipped and
  // recorded; the rest is kept. True when the whole script was good.
  bool ParseScript(const std::string& text);
  // False when the file cannot be read (recorded as an error at line 0) or has errors.
  bool LoadScript(const std::string& path);
  const std::vector<ScriptError>& Errors() const { return errors_; }
  // "line 3: unknown key 'Foo'", one error per line of text.
  std::string ErrorText() const;

  // Releases every scripted event whose frame is <= `frame`.
  void BeginFrame(uint32_t frame);
  // Queues an event for the next PollEvent.
  void Push(const InputEvent& ev);
  // Frame of the last scripted event (0 when there is none).
  uint32_t LastScriptFrame() const;
  bool ScriptDone() const { return next_ >= script_.size(); }

  // Takes out the shots due by `frame` (the frame just presented), in frame
  // order and, within a frame, in script order.
  std::vector<ScriptShot> ShotsDue(uint32_t frame);
  // The shots not yet taken out, in frame order.
  std::vector<ScriptShot> ShotsLeft() const;

  bool PollEvent(InputEvent& ev) override;
  // Scripted events are never late: waiting is polling.
  bool WaitEvent(InputEvent& ev, int) override { return PollEvent(ev); }
  KeyState& Keys() override { return keys_; }
  JoystickState Joystick() override { return joystick_; }
  void MousePosition(int& x, int& y) override {
    x = mouseX_;
    y = mouseY_;
  }
  void SetJoystick(const JoystickState& j) { joystick_ = j; }

 private:
  struct Scripted {
    uint32_t frame = 0;
    size_t order = 0;
    bool isJoystick = false;
    JoystickState joystick;
    InputEvent event;
  };
  bool ParseLine(const std::string& line, int lineNo);
  void Error(int lineNo, const std::string& message);

  std::vector<Scripted> script_;  // sorted by (frame, order) before release
  std::vector<ScriptShot> shots_;  // sorted by frame (stable) before release
  bool shotsSorted_ = true;
  size_t next_ = 0;
  bool sorted_ = true;
  std::deque<InputEvent> pending_;
  std::vector<ScriptError> errors_;
  KeyState keys_;
  JoystickState joystick_;
  int mouseX_ = 0, mouseY_ = 0;
};

}  // namespace gravik

// libFuzzer target: a headless input script from outside, parsed and played
// out frame by frame, its shots taken out as their frames come (no file is
// written).
//
// So that a short run from an empty corpus writes real commands, bytes 0x80 and
// up stand for words of the script language (and numbers at the edges of their
// ranges); 0xFF makes the byte after it literal, so any text can still be given.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/headless/HeadlessInput.h"

namespace {

constexpr const char* kWords[] = {
    "key ", "down ", "up ", "tap ", "text ", "mouse ", "move ", "wheel ", "enter", "leave",
    "focus ", "lost", "gained", "joystick ", "none", "surface ", "reset", "quit", "\n",
    "\r\n", "# ", "\t", "Shift", "RShift", "Ctrl", "RCtrl", "Alt", "RAlt", "Backspace",
    "Enter", "Tab", "Esc", "Escape", "F1", "F12", "F13", "F24", "F25", "KP0", "KP9",
    "KPEnter", "Left", "PageDown", "CapsLock", "Pause", "Slash", "Del", "0 ", "1 ", "2 ",
    "3 ", "9 ", "63 ", "64 ", "65535 ", "65536 ", "-1 ", "100000 ", "-100000 ",
    "100001 ", "4294967295 ", "4294967296 ", "-9223372036854775809 ", "15", "16",
    "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xC3", "\x81", "\x80", "+1", "0x10",
    "shot ", "a.png", " ",
};
constexpr size_t kWordCount = sizeof kWords / sizeof kWords[0];

std::string Expand(const uint8_t* data, size_t size) {
  std::string s;
  for (size_t i = 0; i < size; ++i) {
    const uint8_t b = data[i];
    if (b < 0x80) {
      s += char(b);
    } else if (b == 0xFF) {
      if (++i < size) s += char(data[i]);
    } else {
      s += kWords[(b - 0x80) % kWordCount];
    }
  }
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace gravik;
  // Scripts are short; a long input is only more of the same lines.
  if (size > 4096) return 0;
  HeadlessInput input;
  const bool good = input.ParseScript(Expand(data, size));
  if (good != input.Errors().empty()) __builtin_trap();
  for (const ScriptError& e : input.Errors())
    if (e.line < 1 || e.message.empty()) __builtin_trap();
  (void)input.ErrorText();

  // Frames 0..63 one by one (events of any frame up to now come out), then
  // everything left in one go.
  const uint32_t last = input.LastScriptFrame();
  InputEvent ev;
  size_t shots = input.ShotsLeft().size();
  for (uint32_t frame = 0; frame < 64; ++frame) {
    input.BeginFrame(frame);
    for (const ScriptShot& shot : input.ShotsDue(frame)) {
      if (shot.frame > frame || shot.path.empty() || shots == 0) __builtin_trap();
      --shots;
    }
    while (input.PollEvent(ev)) {
      if (ev.type == InputEventType::Text && ev.text.empty()) __builtin_trap();
      if (ev.type == InputEventType::MouseDown && (ev.button < 1 || ev.button > 3)) __builtin_trap();
    }
    if (frame >= last && !input.ScriptDone()) __builtin_trap();
  }
  input.BeginFrame(UINT32_MAX);
  if (!input.ScriptDone()) __builtin_trap();
  if (input.ShotsDue(UINT32_MAX).size() != shots || !input.ShotsLeft().empty()) __builtin_trap();
  while (input.PollEvent(ev)) {
  }
  if (input.PollEvent(ev)) __builtin_trap();  // drained for good
  const JoystickState j = input.Joystick();
  if (j.buttons > 63 || j.x > 65535 || j.y > 65535) __builtin_trap();
  int x = 0, y = 0;
  input.MousePosition(x, y);
  if (x < -100000 || x > 100000 || y < -100000 || y > 100000) __builtin_trap();
  return 0;
}

// The machine as a web page offers it (Emscripten): a canvas, the page's key,
// mouse, wheel, focus and gamepad events, Web Audio, the page's clock and the
// browser's persistent storage mounted at the home folder.
//
// The page's script (web/gravik-page.js) forwards its events into the
// gravik_web_* functions below; the game takes them from the queue on its
// next pass, as it would take them from a desktop's event queue.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/Folders.h"
#include "platform/Platform.h"
#include "platform/SettingsStore.h"

namespace gravik {

class WebClock : public Clock {
 public:
  WebClock();
  uint32_t TickCount() override;
  uint64_t PerfCounter() override;                  // microseconds
  uint64_t PerfFrequency() override { return 1000000; }
  void SleepMs(uint32_t) override {}                // a page never blocks; the next frame comes anyway

 private:
  double start_ = 0;
};

class WebDisplay : public Display {
 public:
  bool StartDrawing(bool windowed) override;
  void StopDrawing() override { drawing_ = false; }
  bool IsDrawable() const override { return drawing_; }
  void Present(const uint16_t* pixels, int width, int height, int pitch) override;
  void SetTitle(const std::string& title) override;
  void Show(bool visible) override;
  void SetSystemCursorVisible(bool visible) override;
  // The last presented frame as RGBA bytes (640 x 480 x 4).
  const std::vector<uint8_t>& Rgba() const { return rgba_; }

 private:
  bool drawing_ = false;
  std::vector<uint8_t> rgba_;
};

class WebInput : public InputDevice {
 public:
  bool PollEvent(InputEvent& ev) override;
  // The page never blocks: events arrive between frames, so waiting is polling.
  bool WaitEvent(InputEvent& ev, int) override { return PollEvent(ev); }
  KeyState& Keys() override { return keys_; }
  JoystickState Joystick() override;
  void MousePosition(int& x, int& y) override {
    x = mouseX_;
    y = mouseY_;
  }

  // From the page. `hid` is the key's USB usage number (the page maps
  // KeyboardEvent.code to it); `keyChar` the character the layout puts on the
  // key (0 when it is not a printable key).
  void Key(bool down, int hid, int keyChar, uint8_t shift, bool repeat);
  void Text(uint32_t codepoint);
  void Mouse(InputEventType type, int x, int y, int button, uint8_t shift);
  void Wheel(int direction);
  void Focus(bool gained);
  void PointerInside(bool inside);

 private:
  KeyState keys_;
  std::deque<InputEvent> pending_;
  int mouseX_ = 0, mouseY_ = 0;
};

// Web Audio: the page's audio node pulls blocks from the game's mixer through
// Fill. The page starts the audio context on the first key or click.
class WebAudio : public AudioDevice {
 public:
  bool Open(int rate, Callback callback) override;
  void Close() override;
  bool IsOpen() const override { return open_; }
  int Rate() const override { return rate_; }
  // One thread: the node's callback runs between frames, never inside one.
  void Lock() override {}
  void Unlock() override {}

  // Deinterleaves `frames` mixed frames into two float channels.
  void Fill(float* left, float* right, int frames);
  // Largest absolute sample mixed since the last call (test hook).
  int TakePeak();

 private:
  bool open_ = false;
  int rate_ = 0;
  Callback callback_;
  std::vector<int16_t> block_;
  int peak_ = 0;
};

class WebShell : public Shell {
 public:
  // Shown in the page over the canvas; the text also goes to the console.
  void ShowError(const std::string& title, const std::string& text) override;
  void ShowInfo(const std::string& title, const std::string& text) override;
};

struct WebPlatform {
  // `programPath` names the program inside the page's file system; the data
  // files are looked for in its folder.
  explicit WebPlatform(const std::string& programPath);

  Folders folders;
  WebClock clock;
  WebDisplay display;
  WebInput input;
  WebAudio audio;
  WebShell shell;
  FileSettingsStore settings;

  Platform Get();
};

}  // namespace gravik

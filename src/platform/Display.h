// The window (or the headless stand-in) that shows the 640 x 480 RGB565 back surface.
#pragma once
#include <cstdint>
#include <string>

namespace gravik {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

class Display {
 public:
  virtual ~Display() = default;
  // Brings the surface up (window or full screen on the desktop resolution).
  virtual bool StartDrawing(bool windowed) = 0;
  virtual void StopDrawing() = 0;
  // True while the surface is up and not lost.
  virtual bool IsDrawable() const = 0;
  // Shows a composed frame (`pitch` in pixels). Waits for vertical blank where the
  // platform can.
  virtual void Present(const uint16_t* pixels, int width, int height, int pitch) = 0;
  virtual void SetTitle(const std::string& title) = 0;
  virtual void Show(bool visible) = 0;
  virtual void SetSystemCursorVisible(bool visible) = 0;
};

}  // namespace gravik

// The game window: a 640 x 480 RGB565 streaming texture drawn at an integer
// scale, letterboxed. Full screen covers the desktop at its own resolution.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <string>

#include "platform/Display.h"
#include "platform/Viewport.h"

namespace gravik {

class SdlDisplay : public Display {
 public:
  // `scale` 0 picks the largest factor up to 3 that fits the desktop.
  // `forceWindowed` keeps the window out of full screen whatever is asked.
  explicit SdlDisplay(int scale = 0, bool forceWindowed = false);
  ~SdlDisplay() override;
  SdlDisplay(const SdlDisplay&) = delete;
  SdlDisplay& operator=(const SdlDisplay&) = delete;

  // Creates the (hidden) window, renderer and texture; false with Error() set.
  bool Init();
  const std::string& Error() const { return error_; }

  bool StartDrawing(bool windowed) override;
  void StopDrawing() override;
  bool IsDrawable() const override;
  void Present(const uint16_t* pixels, int width, int height, int pitch) override;
  void SetTitle(const std::string& title) override;
  void Show(bool visible) override;
  void SetSystemCursorVisible(bool visible) override;

  SDL_Window* Window() const { return window_; }
  uint32_t WindowId() const { return window_ ? SDL_GetWindowID(window_) : 0; }
  int Scale() const { return scale_; }
  // Window coordinates (as in mouse events) to 640 x 480 coordinates.
  void WindowToScreen(int wx, int wy, int& sx, int& sy) const;
  // After a render device reset: renderer and texture made again.
  bool RecreateRenderer();

 private:
  bool CreateRenderer();
  void DestroyRenderer();
  void Throttle();

  int scale_;
  bool forceWindowed_;
  bool started_ = false;
  int texW_ = 0, texH_ = 0;
  std::string title_ = "Gravik 2";
  std::string error_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  uint64_t lastPresent_ = 0;
};

}  // namespace gravik

// The start-up splash as a small borderless window centred on the desktop.
#pragma once
#include <cstdint>

#include "platform/Splash.h"

struct SDL_Window;

namespace gravik {

class SdlSplash : public Splash {
 public:
  SdlSplash() = default;
  ~SdlSplash() override;
  SdlSplash(const SdlSplash&) = delete;
  SdlSplash& operator=(const SdlSplash&) = delete;

  void Show(const uint16_t* pixels, int width, int height) override;
  void Close() override;

  SDL_Window* Window() const { return window_; }

 private:
  SDL_Window* window_ = nullptr;
  int width_ = 0, height_ = 0;
};

}  // namespace gravik

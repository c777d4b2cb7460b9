#include "platform/sdl/SdlSplash.h"

#include <SDL.h>

#include <cstdio>

namespace gravik {

SdlSplash::~SdlSplash() { Close(); }

void SdlSplash::Show(const uint16_t* pixels, int width, int height) {
  if (width <= 0 || height <= 0) return;
  if (window_ && (width != width_ || height != height_)) Close();
  if (!window_) {
    window_ = SDL_CreateWindow("Gravik 2", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                               SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR);
    if (!window_) {
      // The game starts without a splash rather than not at all.
      std::fprintf(stderr, "gravik: no splash window: %s\n", SDL_GetError());
      return;
    }
    width_ = width;
    height_ = height;
  }
  SDL_Surface* target = SDL_GetWindowSurface(window_);
  SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint16_t*>(pixels), width, height, 16,
                                                            width * 2, SDL_PIXELFORMAT_RGB565);
  if (target && picture) {
    SDL_BlitSurface(picture, nullptr, target, nullptr);
    SDL_UpdateWindowSurface(window_);
  }
  if (picture) SDL_FreeSurface(picture);
  // Let the window system map and paint the window while start-up is busy.
  SDL_PumpEvents();
}

void SdlSplash::Close() {
  if (!window_) return;
  SDL_DestroyWindow(window_);
  window_ = nullptr;
  width_ = height_ = 0;
  SDL_PumpEvents();
}

}  // namespace gravik

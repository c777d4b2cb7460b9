#include "platform/sdl/SdlDisplay.h"

#include <algorithm>

#include "platform/Codepage.h"

namespace gravik {

SdlDisplay::SdlDisplay(int scale, bool forceWindowed)
    : scale_(scale), forceWindowed_(forceWindowed) {}

SdlDisplay::~SdlDisplay() {
  DestroyRenderer();
  if (window_) SDL_DestroyWindow(window_);
}

bool SdlDisplay::Init() {
  if (window_) return true;
  if (scale_ <= 0) {
    SDL_Rect usable;
    scale_ = SDL_GetDisplayUsableBounds(0, &usable) == 0
                 ? DefaultWindowScale(usable.w, usable.h)
                 : 1;
  }
  window_ = SDL_CreateWindow(ToDisplayUtf8(title_).c_str(), SDL_WINDOWPOS_CENTERED,
                             SDL_WINDOWPOS_CENTERED, kScreenWidth * scale_,
                             kScreenHeight * scale_, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
  if (!window_) {
    error_ = std::string("Unable to create the window: ") + SDL_GetError();
    return false;
  }
  SDL_SetWindowMinimumSize(window_, kScreenWidth / 2, kScreenHeight / 2);
  return CreateRenderer();
}

bool SdlDisplay::CreateRenderer() {
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");  // nearest pixel: crisp integer scaling
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
  if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
  if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer_) {
    error_ = std::string("Unable to create the renderer: ") + SDL_GetError();
    return false;
  }
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                               kScreenWidth, kScreenHeight);
  if (!texture_) {
    error_ = std::string("Unable to create the screen texture: ") + SDL_GetError();
    return false;
  }
  texW_ = kScreenWidth;
  texH_ = kScreenHeight;
  return true;
}

void SdlDisplay::DestroyRenderer() {
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  texture_ = nullptr;
  renderer_ = nullptr;
}

bool SdlDisplay::RecreateRenderer() {
  DestroyRenderer();
  return window_ && CreateRenderer();
}

bool SdlDisplay::StartDrawing(bool windowed) {
  if (!window_ && !Init()) return false;
  if (!renderer_ && !CreateRenderer()) return false;
  if (forceWindowed_) windowed = true;
  if (windowed) {
    SDL_SetWindowFullscreen(window_, 0);
    SDL_SetWindowSize(window_, kScreenWidth * scale_, kScreenHeight * scale_);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  } else if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
    SDL_Log("Full screen refused: %s", SDL_GetError());
  }
  SDL_ShowWindow(window_);
  SDL_RaiseWindow(window_);
  started_ = true;
  return true;
}

void SdlDisplay::StopDrawing() { started_ = false; }

bool SdlDisplay::IsDrawable() const { return started_ && window_ && renderer_ && texture_; }

void SdlDisplay::WindowToScreen(int wx, int wy, int& sx, int& sy) const {
  int winW = kScreenWidth, winH = kScreenHeight, outW = 0, outH = 0;
  if (window_) SDL_GetWindowSize(window_, &winW, &winH);
  if (!renderer_ || SDL_GetRendererOutputSize(renderer_, &outW, &outH) != 0) {
    outW = winW;
    outH = winH;
  }
  // Mouse positions are in window points; the picture is placed in output pixels.
  const int px = winW > 0 ? int(int64_t(wx) * outW / winW) : wx;
  const int py = winH > 0 ? int(int64_t(wy) * outH / winH) : wy;
  FitViewport(outW, outH).ToScreen(px, py, sx, sy);
}

void SdlDisplay::Present(const uint16_t* pixels, int width, int height, int pitch) {
  if (!IsDrawable() || !pixels || width <= 0 || height <= 0 || pitch < width) return;
  if (width != texW_ || height != texH_) {
    SDL_Texture* t = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565,
                                       SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!t) return;
    SDL_DestroyTexture(texture_);
    texture_ = t;
    texW_ = width;
    texH_ = height;
  }
  SDL_UpdateTexture(texture_, nullptr, pixels, pitch * int(sizeof(uint16_t)));
  int outW = 0, outH = 0;
  SDL_GetRendererOutputSize(renderer_, &outW, &outH);
  const Viewport v = FitViewport(outW, outH, width, height);
  const SDL_Rect dst{v.x, v.y, v.w, v.h};
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
  Throttle();
  lastPresent_ = SDL_GetPerformanceCounter();
  SDL_RenderPresent(renderer_);
}

// Frame-counted rules expect the display's rate. Presenting usually waits for the
// vertical blank, but not everywhere (software renderers claim vsync and do not
// wait; hidden or minimised windows never wait), so no frame starts sooner than
// 95% of a refresh period after the last one: with a working vsync this never
// delays a frame, without one the game runs a little above the refresh rate.
void SdlDisplay::Throttle() {
  SDL_DisplayMode mode;
  int hz = 60;
  if (SDL_GetWindowDisplayMode(window_, &mode) == 0 && mode.refresh_rate > 0) hz = mode.refresh_rate;
  const uint64_t freq = SDL_GetPerformanceFrequency();
  const uint64_t interval = freq * 95 / (100 * uint64_t(hz));
  for (;;) {
    const uint64_t now = SDL_GetPerformanceCounter();
    if (lastPresent_ == 0 || now - lastPresent_ >= interval) break;
    const uint64_t leftMs = (interval - (now - lastPresent_)) * 1000 / freq;
    SDL_Delay(leftMs > 1 ? uint32_t(leftMs - 1) : 0);
  }
}

void SdlDisplay::SetTitle(const std::string& title) {
  title_ = title;
  if (window_) SDL_SetWindowTitle(window_, ToDisplayUtf8(title).c_str());
}

void SdlDisplay::Show(bool visible) {
  if (!window_ && (!visible || !Init())) return;
  if (visible) {
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
  } else {
    SDL_HideWindow(window_);
  }
}

void SdlDisplay::SetSystemCursorVisible(bool visible) {
  SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

}  // namespace gravik

#include "platform/sdl/SdlSystemText.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>

namespace gravik {

namespace {
constexpr int kMinPixels = 1, kMaxPixels = 512;
}

SdlTextRaster::SdlTextRaster() {
  ttfStarted_ = TTF_Init() == 0;
  if (!ttfStarted_) error_ = std::string("SDL_ttf: ") + TTF_GetError();
}

SdlTextRaster::~SdlTextRaster() {
  CloseFonts();
  if (ttfStarted_) TTF_Quit();
}

void SdlTextRaster::CloseFonts() {
  for (auto& [key, font] : fonts_) TTF_CloseFont(font);
  fonts_.clear();
}

TTF_Font* SdlTextRaster::Font(int pixelSize, bool bold) {
  pixelSize = std::clamp(pixelSize, kMinPixels, kMaxPixels);
  const auto key = std::make_pair(pixelSize, bold);
  if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;
  const std::vector<uint8_t>& face = faces_[bold ? 1 : 0];
  SDL_RWops* rw = SDL_RWFromConstMem(face.data(), int(face.size()));
  // SDL_ttf's point size is at 72 dpi, so points there are pixels here.
  TTF_Font* font = rw ? TTF_OpenFontRW(rw, 1, pixelSize) : nullptr;
  if (!font) {
    error_ = std::string("SDL_ttf: ") + TTF_GetError();
    return nullptr;
  }
  fonts_.emplace(key, font);
  return font;
}

bool SdlTextRaster::LoadFaces(std::vector<uint8_t> regular, std::vector<uint8_t> bold) {
  CloseFonts();
  hasFaces_ = false;
  if (!ttfStarted_) return false;
  faces_[0] = std::move(regular);
  faces_[1] = std::move(bold);
  if (faces_[0].empty() || faces_[1].empty()) {
    error_ = "SDL_ttf: empty font data";
    return false;
  }
  // Both faces must open before any text uses them.
  if (!Font(11, false) || !Font(11, true)) {
    CloseFonts();
    faces_[0].clear();
    faces_[1].clear();
    return false;
  }
  hasFaces_ = true;
  error_.clear();
  return true;
}

bool SdlTextRaster::Measure(std::string_view utf8, int pixelSize, bool bold, int& width, int& height) {
  if (!hasFaces_) return false;
  TTF_Font* font = Font(pixelSize, bold);
  if (!font) return false;
  const std::string text(utf8);
  int w = 0, h = 0;
  if (!text.empty() && TTF_SizeUTF8(font, text.c_str(), &w, &h) != 0) {
    error_ = std::string("SDL_ttf: ") + TTF_GetError();
    return false;
  }
  width = w;
  height = TTF_FontHeight(font);
  return true;
}

bool SdlTextRaster::Render(std::string_view utf8, int pixelSize, bool bold, TextMask& out) {
  int width = 0, height = 0;
  if (!Measure(utf8, pixelSize, bold, width, height)) return false;
  out.Width = width;
  out.Height = height;
  out.Coverage.assign(size_t(width) * size_t(height), 0);
  if (width == 0) return true;

  TTF_Font* font = Font(pixelSize, bold);
  const std::string text(utf8);
  SDL_Surface* s = TTF_RenderUTF8_Blended(font, text.c_str(), SDL_Color{255, 255, 255, 255});
  if (!s) {
    error_ = std::string("SDL_ttf: ") + TTF_GetError();
    return false;
  }
  // Blended text is 32-bit ARGB; its alpha is the coverage.
  SDL_Surface* argb = s->format->format == SDL_PIXELFORMAT_ARGB8888
                          ? s
                          : SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
  if (!argb) {
    error_ = std::string("SDL: ") + SDL_GetError();
    SDL_FreeSurface(s);
    return false;
  }
  SDL_LockSurface(argb);
  const int w = std::min(width, argb->w), h = std::min(height, argb->h);
  for (int y = 0; y < h; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) +
                                                            size_t(y) * size_t(argb->pitch));
    uint8_t* dst = out.Coverage.data() + size_t(y) * size_t(width);
    for (int x = 0; x < w; ++x) dst[x] = uint8_t(row[x] >> 24);
  }
  SDL_UnlockSurface(argb);
  if (argb != s) SDL_FreeSurface(argb);
  SDL_FreeSurface(s);
  error_.clear();
  return true;
}

}  // namespace gravik

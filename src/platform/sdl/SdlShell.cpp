#include "platform/sdl/SdlShell.h"

#include <SDL.h>

#include <cstdio>

#include "platform/Codepage.h"
#include "platform/sdl/SdlDisplay.h"

namespace gravik {

void SdlShell::Show(unsigned flags, const std::string& title, const std::string& text) {
  const std::string t = ToDisplayUtf8(title), m = WithLfLineBreaks(ToDisplayUtf8(text));
  std::fprintf(stderr, "%s: %s\n", t.c_str(), m.c_str());
  std::fflush(stderr);
  SDL_Window* parent = nullptr;
  if (display_ && display_->Window() &&
      (SDL_GetWindowFlags(display_->Window()) & SDL_WINDOW_SHOWN)) {
    parent = display_->Window();
  }
  // The message box fails quietly where there is no desktop; stderr has the text.
  SDL_ShowSimpleMessageBox(flags, t.c_str(), m.c_str(), parent);
}

void SdlShell::ShowError(const std::string& title, const std::string& text) {
  Show(SDL_MESSAGEBOX_ERROR, title, text);
}

void SdlShell::ShowInfo(const std::string& title, const std::string& text) {
  Show(SDL_MESSAGEBOX_INFORMATION, title, text);
}

}  // namespace gravik

#include "platform/sdl/SdlPlatform.h"

#include <SDL.h>

#include "base/Errors.h"
#include "platform/Folders.h"

namespace gravik {

SdlSystem::SdlSystem() {
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "0");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    throw GameError(std::string("Unable to start the display: ") + SDL_GetError());
  }
}

SdlSystem::~SdlSystem() { SDL_Quit(); }

SdlPlatform::SdlPlatform(const SdlOptions& options)
    : folders(options.exePath),
      display(options.scale, options.forceWindowed),
      input(display, ArchiveSearchFolders(folders)),
      shell(&display),
      settings(options.settingsFile.empty() ? folders.SettingsStoreFile() : options.settingsFile) {
  if (!display.Init()) throw GameError(display.Error());
}

Platform SdlPlatform::Get() {
  Platform p{display, input, audio, clock, folders, settings, shell};
  p.textRaster = &textRaster;
  p.splash = &splash;
  return p;
}

}  // namespace gravik

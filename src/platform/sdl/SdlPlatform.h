// Everything a windowed run needs, owned in one place.
//
//   SdlPlatform sp({.scale = 2});   // throws GameError when there is no display
//   Platform p = sp.Get();
#pragma once
#include <string>

#include "platform/Folders.h"
#include "platform/Platform.h"
#include "platform/SettingsStore.h"
#include "platform/sdl/SdlAudio.h"
#include "platform/sdl/SdlClock.h"
#include "platform/sdl/SdlDisplay.h"
#include "platform/sdl/SdlInput.h"
#include "platform/sdl/SdlShell.h"
#include "platform/sdl/SdlSplash.h"
#include "platform/sdl/SdlSystemText.h"

namespace gravik {

struct SdlOptions {
  int scale = 0;               // window scale; 0 = largest up to 3 that fits the desktop
  bool forceWindowed = false;  // never go full screen
  std::string exePath;         // argv[0]
  std::string settingsFile;    // empty = Folders::SettingsStoreFile()
};

// Starts SDL's video and event systems for the life of the platform.
class SdlSystem {
 public:
  SdlSystem();
  ~SdlSystem();
  SdlSystem(const SdlSystem&) = delete;
  SdlSystem& operator=(const SdlSystem&) = delete;
};

struct SdlPlatform {
  explicit SdlPlatform(const SdlOptions& options = {});

  SdlSystem system;  // first in, last out
  Folders folders;
  SdlClock clock;
  SdlDisplay display;
  SdlInput input;
  SdlAudio audio;
  SdlShell shell;
  FileSettingsStore settings;
  SdlTextRaster textRaster;
  SdlSplash splash;

  Platform Get();
};

}  // namespace gravik

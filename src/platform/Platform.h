// The machine as the game core sees it.
#pragma once
#include "platform/AudioDevice.h"
#include "platform/Clock.h"
#include "platform/Display.h"
#include "platform/Folders.h"
#include "platform/InputDevice.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/Splash.h"
#include "platform/TextRaster.h"

#include <cstdint>
#include <span>

namespace gravik {

struct Platform {
  Display& display;
  InputDevice& input;
  AudioDevice& audio;
  Clock& clock;
  Folders& folders;
  SettingsStore& settings;
  Shell& shell;
  // Optional parts: TrueType text (else the bitmap font), the start-up splash
  // window and the program's embedded splash picture.
  TextRaster* textRaster = nullptr;
  Splash* splash = nullptr;
  std::span<const uint8_t> splashPicture{};
};

}  // namespace gravik

// The machine as the game core sees it.
#pragma once
#include "platform/AudioDevice.h"
#include "platform/Clock.h"
#include "platform/Display.h"
#include "platform/Folders.h"
#include "platform/InputDevice.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"

namespace gravik {

struct Platform {
  Display& display;
  InputDevice& input;
  AudioDevice& audio;
  Clock& clock;
  Folders& folders;
  SettingsStore& settings;
  Shell& shell;
};

}  // namespace gravik

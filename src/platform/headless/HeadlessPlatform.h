// Everything a headless run needs, owned in one place.
//
//   HeadlessPlatform hp(argv[0]);
//   if (!hp.input.LoadScript(file)) ...;
//   Platform p = hp.Get();
#pragma once
#include <string>
#include <vector>

#include "platform/Folders.h"
#include "platform/Platform.h"
#include "platform/SettingsStore.h"
#include "platform/headless/HeadlessAudio.h"
#include "platform/headless/HeadlessClock.h"
#include "platform/headless/HeadlessDisplay.h"
#include "platform/headless/HeadlessInput.h"
#include "platform/headless/HeadlessShell.h"
#include "platform/headless/HeadlessSplash.h"

namespace gravik {

struct HeadlessPlatform {
  // Settings go to Folders::SettingsStoreFile() unless `settingsFile` is given.
  explicit HeadlessPlatform(const std::string& exePath = "", const std::string& settingsFile = "");

  Folders folders;
  HeadlessClock clock;
  HeadlessDisplay display;
  HeadlessInput input;
  HeadlessAudio audio;
  HeadlessShell shell;
  FileSettingsStore settings;
  HeadlessSplash splash;

  // Frame bookkeeping for a headless loop: releases the script's events for
  // `frame`, then moves the clock on by one frame step and pumps that much audio.
  void BeginFrame(uint32_t frame);
  void EndFrame();
  // Writes the script's shots due by `frame`, the frame just presented (each
  // the display's last frame). Returns a line for each shot not written.
  std::vector<std::string> TakeShots(uint32_t frame);

  Platform Get();
};

}  // namespace gravik

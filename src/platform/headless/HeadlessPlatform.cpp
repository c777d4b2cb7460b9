#include "platform/headless/HeadlessPlatform.h"

namespace gravik {

HeadlessPlatform::HeadlessPlatform(const std::string& exePath, const std::string& settingsFile)
    : folders(exePath),
      settings(settingsFile.empty() ? folders.SettingsStoreFile() : settingsFile) {}

void HeadlessPlatform::BeginFrame(uint32_t frame) { input.BeginFrame(frame); }

void HeadlessPlatform::EndFrame() {
  const uint64_t before = clock.ElapsedUs();
  clock.AdvanceFrame();
  if (audio.IsOpen()) {
    // Frames due in this step, from whole elapsed time, so no rounding drift.
    const uint64_t rate = uint64_t(audio.Rate());
    const uint64_t due = clock.ElapsedUs() * rate / 1000000 - before * rate / 1000000;
    audio.Pump(int(due));
  }
}

Platform HeadlessPlatform::Get() {
  Platform p{display, input, audio, clock, folders, settings, shell};
  p.splash = &splash;
  return p;
}

}  // namespace gravik

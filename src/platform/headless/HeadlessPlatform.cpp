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

std::vector<std::string> HeadlessPlatform::TakeShots(uint32_t frame) {
  std::vector<std::string> failed;
  for (const ScriptShot& shot : input.ShotsDue(frame)) {
    if (display.LastFrame().empty())
      failed.push_back("nothing was presented by frame " + std::to_string(frame) + "; no screenshot " + shot.path);
    else if (!display.SaveScreenshot(shot.path))
      failed.push_back("could not write the screenshot " + shot.path);
  }
  return failed;
}

Platform HeadlessPlatform::Get() {
  Platform p{display, input, audio, clock, folders, settings, shell};
  p.splash = &splash;
  return p;
}

}  // namespace gravik

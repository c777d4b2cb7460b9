#include "world/Meteors.h"

#include <algorithm>
#include <cmath>

namespace gravik {

int RumbleVolume(int row, int setting) {
  const int b = std::clamp(20 - 2 * (row - 15), 1, 20);
  // Rounding is half to even, as the game's runtime rounds.
  const double p = std::nearbyint(b / 20.0 * 100.0);
  const double v = std::max(1.0, std::min(double(setting), std::nearbyint(setting / 100.0 * p)));
  const double att = std::nearbyint(-10500.0 / v) + 525;
  return int(std::clamp(att, -10000.0, 0.0));
}

void UpdateMeteors(World& w) {
  const double d = w.FrameStep;
  for (TMeteor& m : w.Meteors) {
    if (!m.Active) continue;
    if (d < 200) {
      m.PixelY += d / 2;
      if (m.PixelY > 979) {
        m.PixelY = 371;
        m.PixelX = 32.0 * (8 * m.Band - 6 + w.RandomInt(7)) + 336;
      }
    }
    m.Drawn = 1;
    m.ScreenX = int32_t(m.PixelX + w.Player.ViewX) - (w.PanelShown ? 80 : 0);
    m.ScreenY = int32_t(m.PixelY + w.Player.ViewY);
  }
  if (w.MeteorCount >= 1 && w.Player.Y <= 25 && w.Player.StepDistance == 0 && w.Sound().EffectsOn()) {
    w.Sound().SetSoundVolume("meteors.wav", RumbleVolume(w.Player.Y, w.Sound().EffectVolumeSetting()));
    w.Sound().PlaySound("meteors.wav");
  }
}

}  // namespace gravik

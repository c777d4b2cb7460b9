// The options screen (gsOptions): audio sliders, the joystick check box and the
// seven key bindings, opened from the main menu or the status screen.
#pragma once
#include <string>

#include "frame/ScreenUnit.h"

namespace gravik {

struct AudioState;

ScreenUnit OptionsUnit();

// The text beside an audio slider: "Disabled" when that audio is unavailable,
// "OFF" at the first position, else the level (position - 1, of 20) in percent.
std::string SliderValueText(bool available, int position);

// A slider position into the audio switches and levels: position 1 switches
// that audio off (the music stops), any other switches it on with level
// position - 1; the volumes are applied. Nothing for unavailable audio.
void ApplyMusicSlider(AudioState& a, int position);
void ApplyEffectsSlider(AudioState& a, int position);

}  // namespace gravik

// The game's 18 sound effects, synthesised as 16-bit mono WAV images. Each is
// authored at the playback frequency the game sets for it (EffectSettingsFor),
// so that it plays at its designed pitch and length.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace gravik::mkres {

// The archive entry names of every effect, in a fixed order.
std::vector<std::string> SoundEffectNames();

// The sample rate an effect is authored at (44,000, 22,000 or 11,000 Hz).
int SoundEffectRate(const std::string& name);

// One effect's WAV image; throws GameError for a name that is not an effect.
std::vector<uint8_t> BuildSoundEffect(const std::string& name);

// Every effect: (archive entry name, WAV image). The same bytes every build.
std::vector<std::pair<std::string, std::vector<uint8_t>>> BuildSoundEffects();

}  // namespace gravik::mkres

// Fuzzes the RIFF/WAVE parser and plays what it accepts through the mixer.
#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/Mixer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  gravik::WaveData wave;
  std::string why;
  if (!gravik::ParseWave(data, size, wave, &why)) return 0;
  if (wave.Channels != 1 && wave.Channels != 2) __builtin_trap();
  if (size_t(wave.DataBytes()) > size) __builtin_trap();

  gravik::Mixer mixer(44100);
  const int item = mixer.Add("w", std::move(wave));
  // Drive the rate from the input so odd resampling ratios get exercised.
  mixer.SetFrequency(item, size > 0 ? 100 + int(data[size - 1]) * 700 : 22050);
  mixer.SetLooped(item, size % 2 == 0);
  mixer.Play(item, uint32_t(size * 3));
  int16_t out[2 * 300];
  mixer.Mix(out, 300);
  (void)mixer.Position(item);
  return 0;
}

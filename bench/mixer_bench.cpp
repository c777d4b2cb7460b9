// How much of one core the mixer needs: 16 looping voices (22,000 Hz and
// 11,000 Hz mono, 44,000 Hz stereo) resampled to a 44,100 Hz device, mixed in
// 1,024-frame callbacks for 10 seconds of audio.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <vector>

#include "audio/Mixer.h"

namespace {

gravik::WaveData Tone(int rate, int channels, int frames, double hz) {
  gravik::WaveData w;
  w.Channels = channels;
  w.SampleRate = rate;
  w.BlockAlign = 2 * channels;
  w.Samples.resize(size_t(frames) * size_t(channels));
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c)
      w.Samples[size_t(i * channels + c)] = int16_t(6000.0 * std::sin(2 * M_PI * hz * i / rate + c));
  return w;
}

}  // namespace

int main() {
  constexpr int kRate = 44100;
  constexpr int kSeconds = 10;
  constexpr int kBlock = 1024;
  constexpr int kRuns = 5;

  gravik::Mixer mixer(kRate);
  struct VoiceGroup {
    int rate, channels, count;
  };
  const VoiceGroup groups[] = {{22000, 1, 8}, {11000, 1, 4}, {44000, 2, 4}};
  int voices = 0;
  for (const VoiceGroup& s : groups) {
    for (int k = 0; k < s.count; ++k) {
      // Lengths differ so the loops wrap at different moments.
      const int item = mixer.Add("tone" + std::to_string(voices),
                                 Tone(s.rate, s.channels, s.rate / 3 + 997 * k, 220.0 + 55.0 * voices));
      mixer.SetFrequency(item, s.rate);
      mixer.SetLooped(item, true);
      mixer.SetVolume(item, -600 - 100 * k);
      mixer.Play(item);
      ++voices;
    }
  }
  if (mixer.ActiveVoices() != 16) {
    std::fprintf(stderr, "expected 16 voices, have %d\n", mixer.ActiveVoices());
    return 1;
  }

  std::vector<int16_t> out(size_t(kBlock) * 2);
  const long totalFrames = long(kRate) * kSeconds;
  std::vector<double> secs, cpuSecs;
  int64_t checksum = 0;
  for (int run = 0; run < kRuns; ++run) {
    const std::clock_t c0 = std::clock();
    const auto t0 = std::chrono::steady_clock::now();
    for (long done = 0; done < totalFrames; done += kBlock) {
      const int n = int(std::min<long>(kBlock, totalFrames - done));
      mixer.Mix(out.data(), n);
      checksum += out[0] + out[size_t(2 * n - 1)];
    }
    const auto t1 = std::chrono::steady_clock::now();
    cpuSecs.push_back(double(std::clock() - c0) / CLOCKS_PER_SEC);
    secs.push_back(std::chrono::duration<double>(t1 - t0).count());
  }
  std::sort(secs.begin(), secs.end());
  std::sort(cpuSecs.begin(), cpuSecs.end());
  const double median = secs[secs.size() / 2];
  const double cpuMedian = cpuSecs[cpuSecs.size() / 2];
  std::printf("mixer: %d voices, %d s of %d Hz stereo in %d-frame blocks, %d runs\n", mixer.ActiveVoices(),
              kSeconds, kRate, kBlock, kRuns);
  std::printf("mix time: best %.2f ms, median %.2f ms, worst %.2f ms\n", secs.front() * 1e3, median * 1e3,
              secs.back() * 1e3);
  std::printf("share of one core (median): %.3f %% wall clock, %.3f %% process CPU time  (goal: under 1 %%)\n",
              100.0 * median / kSeconds, 100.0 * cpuMedian / kSeconds);
  std::printf("checksum %lld\n", static_cast<long long>(checksum));
  return 0;
}

#include <gtest/gtest.h>

#include <cmath>

#include "audio/AudioTestUtil.h"
#include "audio/Mixer.h"

namespace gravik {
namespace {

using testing_audio::Constant;
using testing_audio::MakeWav;
using testing_audio::Ramp;

WaveData Decode(const std::vector<uint8_t>& bytes) {
  WaveData w;
  std::string why;
  EXPECT_TRUE(ParseWave(bytes.data(), bytes.size(), w, &why)) << why;
  return w;
}

std::vector<int16_t> MixFrames(Mixer& m, int frames) {
  std::vector<int16_t> out(size_t(frames) * 2, -1);
  m.Mix(out.data(), frames);
  return out;
}

TEST(WaveParse, DecodesEachPcmLayout) {
  WaveData w = Decode(MakeWav({1000, -2000, 3000}, 1, 11025, 16));
  EXPECT_EQ(w.Channels, 1);
  EXPECT_EQ(w.SampleRate, 11025);
  EXPECT_EQ(w.BlockAlign, 2);
  EXPECT_EQ(w.Samples, (std::vector<int16_t>{1000, -2000, 3000}));

  w = Decode(MakeWav({256, -512, 0x7F00, -0x8000}, 2, 44100, 16));
  EXPECT_EQ(w.Frames(), 2u);
  EXPECT_EQ(w.DataBytes(), 8u);

  // 8-bit samples are unsigned around 128.
  w = Decode(MakeWav({0, 0x1200, -0x8000, 0x7F00, 0x0100}, 1, 8000, 8));
  EXPECT_EQ(w.BlockAlign, 1);
  EXPECT_EQ(w.Samples, (std::vector<int16_t>{0, 0x1200, -0x8000, 0x7F00, 0x0100}));

  w = Decode(MakeWav({0x100, 0x200, 0x300, 0x400}, 2, 8000, 8));
  EXPECT_EQ(w.Frames(), 2u);
  EXPECT_EQ(w.DataBytes(), 4u);
}

TEST(WaveParse, SkipsUnknownChunksAndDropsPartialFrame) {
  std::vector<uint8_t> b = MakeWav({1, 2, 3}, 1, 22000, 16);
  // Insert an odd-sized "LIST" chunk (with its pad byte) between "fmt " and "data".
  const std::vector<uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  b.insert(b.begin() + 36, list.begin(), list.end());
  WaveData w = Decode(b);
  EXPECT_EQ(w.Samples, (std::vector<int16_t>{1, 2, 3}));

  // A stereo data chunk of 6 bytes holds one whole frame.
  std::vector<uint8_t> s = MakeWav({5, 6, 7}, 2, 22000, 16);
  w = Decode(s);
  EXPECT_EQ(w.Frames(), 1u);
}

TEST(WaveParse, RefusesDamagedImagesWithoutReadingOutside) {
  const std::vector<uint8_t> good = MakeWav(Ramp(9, 300), 2, 22000, 16);
  // Every truncation lands in a separately allocated buffer of exactly that
  // size, so a read past it is caught by the sanitizer builds.
  for (size_t n = 0; n < good.size(); ++n) {
    std::vector<uint8_t> cut(good.begin(), good.begin() + std::ptrdiff_t(n));
    WaveData w;
    EXPECT_FALSE(ParseWave(cut.data(), cut.size(), w)) << "length " << n;
  }

  auto broken = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> b = good;
    b[at] = value;
    WaveData w;
    return !ParseWave(b.data(), b.size(), w);
  };
  EXPECT_TRUE(broken(0, 'X'));        // RIFF tag
  EXPECT_TRUE(broken(8, 'X'));        // WAVE tag
  EXPECT_TRUE(broken(20, 3));         // format tag: IEEE float
  EXPECT_TRUE(broken(22, 0));         // no channels
  EXPECT_TRUE(broken(22, 6));         // six channels
  EXPECT_TRUE(broken(32, 3));         // block align disagrees with channels x bits
  EXPECT_TRUE(broken(34, 24));        // 24-bit samples
  EXPECT_TRUE(broken(43, 0x7F));      // data size far past the end
  EXPECT_TRUE(broken(16, 0xFF));      // fmt size past the end

  std::vector<uint8_t> zeroRate = good;
  zeroRate[24] = zeroRate[25] = zeroRate[26] = zeroRate[27] = 0;
  WaveData w;
  EXPECT_FALSE(ParseWave(zeroRate.data(), zeroRate.size(), w));
  EXPECT_FALSE(ParseWave(nullptr, 0, w));
}

TEST(MixerGain, VolumeInHundredthsOfDecibel) {
  EXPECT_FLOAT_EQ(VolumeGain(0), 1.0f);
  EXPECT_FLOAT_EQ(VolumeGain(-10000), 0.0f);
  EXPECT_FLOAT_EQ(VolumeGain(-20000), 0.0f);
  EXPECT_NEAR(VolumeGain(-2000), 0.1f, 1e-6);
  EXPECT_NEAR(VolumeGain(-600), 0.501187f, 1e-5);

  Mixer m(22000);
  const int item = m.Add("tone", Decode(MakeWav(Constant(400, 10000), 1, 22000)));
  m.SetVolume(item, -600);
  m.Play(item);
  std::vector<int16_t> out = MixFrames(m, 100);
  EXPECT_NEAR(out[0], 5012, 1);
  EXPECT_NEAR(out[1], 5012, 1);
  EXPECT_NEAR(out[199], 5012, 1);

  m.SetVolume(item, 0);
  out = MixFrames(m, 10);
  EXPECT_EQ(out[0], 10000);

  m.SetVolume(item, -12000);  // held to the quietest volume: silence
  EXPECT_EQ(m.Volume(item), -10000);
  out = MixFrames(m, 10);
  EXPECT_EQ(out[0], 0);
  EXPECT_TRUE(m.IsPlaying(item));
}

TEST(MixerPlayback, OnceOnlyEndsAndLoopWraps) {
  Mixer m(22000);
  const int item = m.Add("blip", Decode(MakeWav(Constant(100, 1000), 1, 22000)));
  m.Play(item);
  std::vector<int16_t> out = MixFrames(m, 150);
  EXPECT_EQ(out[2 * 99], 1000);
  EXPECT_EQ(out[2 * 100], 0);
  EXPECT_EQ(out[2 * 149 + 1], 0);
  EXPECT_FALSE(m.IsPlaying(item));
  EXPECT_EQ(m.Position(item), 0u);

  m.SetLooped(item, true);
  m.Play(item);
  out = MixFrames(m, 250);
  EXPECT_EQ(out[2 * 249], 1000);
  EXPECT_TRUE(m.IsPlaying(item));
  EXPECT_EQ(m.Position(item), 50u * 2);  // 250 frames into a 100-frame loop, 2 bytes a frame

  // A loop that is silenced still moves on and wraps.
  m.SetVolume(item, -10000);
  MixFrames(m, 130);
  EXPECT_EQ(m.Position(item), 80u * 2);
}

TEST(MixerPlayback, SimultaneousPlayingsAreLimitedPerItem) {
  Mixer m(22000);
  const int one = m.Add("click", Decode(MakeWav(Constant(1000, 1000), 1, 22000)));
  const int four = m.Add("rock", Decode(MakeWav(Constant(1000, 1000), 1, 22000)));
  m.SetMaxPlayings(four, 4);

  m.Play(one);
  MixFrames(m, 300);
  m.Play(one);  // restarts the one playing from the beginning
  EXPECT_EQ(m.Playings(one), 1);
  EXPECT_EQ(m.Position(one), 0u);

  for (int i = 0; i < 6; ++i) m.Play(four);
  EXPECT_EQ(m.Playings(four), 4);
  std::vector<int16_t> out = MixFrames(m, 10);
  EXPECT_EQ(out[0], 1000 + 4 * 1000);

  // Voices overflowing int16 are clipped, not wrapped.
  const int loud = m.Add("loud", Decode(MakeWav(Constant(1000, 30000), 1, 22000)));
  m.Play(loud);
  out = MixFrames(m, 10);
  EXPECT_EQ(out[0], 32767);

  m.StopAll();
  EXPECT_EQ(m.ActiveVoices(), 0);
}

TEST(MixerPlayback, EveryVoiceBusyTakesTheOldest) {
  Mixer m(22000);
  std::vector<int> items;
  for (int i = 0; i < Mixer::kVoices + 1; ++i)
    items.push_back(m.Add("w" + std::to_string(i), Decode(MakeWav(Constant(50, 100), 1, 22000))));
  for (int item : items) m.Play(item);
  EXPECT_EQ(m.ActiveVoices(), Mixer::kVoices);
  EXPECT_FALSE(m.IsPlaying(items.front()));
  EXPECT_TRUE(m.IsPlaying(items.back()));
}

TEST(MixerPlayback, PositionIsByteOffsetAndResumes) {
  Mixer m(22000);
  // Stereo 16-bit: 4 bytes a frame; the left channel is a ramp.
  std::vector<int16_t> s;
  for (int i = 0; i < 200; ++i) {
    s.push_back(int16_t(i * 10));
    s.push_back(int16_t(-i * 10));
  }
  const int item = m.Add("music", Decode(MakeWav(s, 2, 22000)));
  m.Play(item);
  MixFrames(m, 30);
  EXPECT_EQ(m.Position(item), 120u);
  m.Stop(item);
  EXPECT_FALSE(m.IsPlaying(item));
  EXPECT_EQ(m.Position(item), 120u);  // kept after a stop

  m.Play(item, m.Position(item));
  std::vector<int16_t> out = MixFrames(m, 2);
  EXPECT_EQ(out[0], 300);
  EXPECT_EQ(out[1], -300);
  EXPECT_EQ(out[2], 310);

  // Inside a frame rounds down; past the end starts from the beginning.
  m.Play(item, 123);
  EXPECT_EQ(m.Position(item), 120u);
  m.Play(item, 800);
  EXPECT_EQ(m.Position(item), 0u);
}

TEST(MixerPlayback, ResamplesToTheOutputRate) {
  Mixer m(44100);
  const int item = m.Add("ramp", Decode(MakeWav(Ramp(1000, 100), 1, 44100)));
  m.SetFrequency(item, 22050);  // half speed: every other output frame lies between two samples
  m.Play(item);
  std::vector<int16_t> out = MixFrames(m, 6);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[2], 50);
  EXPECT_EQ(out[4], 100);
  EXPECT_EQ(out[10], 250);
  MixFrames(m, 94);
  EXPECT_EQ(m.Position(item), 50u * 2);

  // Double speed plays the 1000 frames in 500 output frames.
  m.SetFrequency(item, 88200);
  m.Play(item);
  MixFrames(m, 499);
  EXPECT_TRUE(m.IsPlaying(item));
  MixFrames(m, 2);
  EXPECT_FALSE(m.IsPlaying(item));

  // 22,000 Hz into 44,100 Hz: the frames used match the ratio.
  m.SetFrequency(item, 22000);
  m.Play(item);
  MixFrames(m, 441);
  EXPECT_NEAR(double(m.Position(item)), 220.0 * 2, 2.0);
}

TEST(MixerItems, NamesIgnoreCaseAndReplace) {
  Mixer m(22000);
  const int a = m.Add("Diamond.wav", Decode(MakeWav(Constant(10, 1), 1, 11025)));
  EXPECT_EQ(m.Find("DIAMOND.WAV"), a);
  EXPECT_EQ(m.Find("nope.wav"), -1);
  EXPECT_EQ(m.Frequency(a), 11025);  // the wave's own rate until set
  m.Play(a);
  const int b = m.Add("diamond.wav", Decode(MakeWav(Constant(20, 2), 1, 22000)));
  EXPECT_EQ(a, b);
  EXPECT_EQ(m.Count(), 1);
  EXPECT_FALSE(m.IsPlaying(a));
  EXPECT_EQ(m.Wave(a)->Frames(), 20u);

  // Invalid item numbers are ignored.
  m.Play(-1);
  m.Play(7);
  m.SetVolume(7, 0);
  EXPECT_FALSE(m.IsPlaying(7));
  EXPECT_EQ(m.Position(-1), 0u);
}

TEST(MixerItems, EmptyWavePlaysNothing) {
  Mixer m(22000);
  const int item = m.Add("empty", Decode(MakeWav({}, 1, 22000)));
  m.Play(item);
  std::vector<int16_t> out = MixFrames(m, 4);
  EXPECT_EQ(out[0], 0);
  EXPECT_FALSE(m.IsPlaying(item));
}

}  // namespace
}  // namespace gravik

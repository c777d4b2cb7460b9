// The synthesis toolkit: WAV images the game's parser reads back sample for
// sample, oscillators at the asked pitch, envelopes without steps, filters
// that filter, echoes where they belong and loops that close.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Synth.h"
#include "sound_measure.h"

namespace gravik::mkres {
namespace {

int Crossings(const Buffer& b) {
  int n = 0;
  for (size_t i = 1; i < b.size(); ++i) n += (b[i - 1] < 0.0f) != (b[i] < 0.0f);
  return n;
}

TEST(SynthWav, ReadsBackThroughTheGameParserRoundedAndHeld) {
  const Buffer b = {0.0f, 0.5f, -0.5f, 1.0f, -1.0f, 1.7f, -3.0f, 1.4f / 32767.0f};
  const std::vector<uint8_t> bytes = EncodeWav16(b, 11000);
  ASSERT_EQ(bytes.size(), 44u + 2 * b.size());
  const WaveData w = test::Decode(bytes);
  EXPECT_EQ(w.SampleRate, 11000);
  EXPECT_EQ(w.Channels, 1);
  const std::vector<int16_t> want = {0, 16384, -16384, 32767, -32767, 32767, -32767, 1};
  EXPECT_EQ(w.Samples, want);
  // An empty sound is still a valid image.
  EXPECT_EQ(test::Decode(EncodeWav16({}, 22000)).Frames(), 0u);
}

TEST(SynthOscillator, EveryShapeAtTheAskedPitch) {
  for (Shape s : {Shape::Sine, Shape::Square, Shape::Saw, Shape::Triangle}) {
    const Buffer b = Tone(22000, 1.0, s, Const(440.0), 0.5, 0.1);
    EXPECT_NEAR(Crossings(b), 880, 2) << int(s);
    EXPECT_GT(Peak(b), 0.9) << int(s);
    EXPECT_LT(Peak(b), 1.2) << int(s);
  }
  // The pulse width sets the share of the cycle spent high.
  const Buffer p = Tone(22000, 1.0, Shape::Square, Const(100.0), 0.25);
  int high = 0;
  for (float x : p) high += x > 0.0f;
  EXPECT_NEAR(double(high) / double(p.size()), 0.25, 0.01);
  // A glide ends where it was sent.
  const Curve g = Glide(800.0, 100.0, 0.5);
  EXPECT_DOUBLE_EQ(g(0.0), 800.0);
  EXPECT_NEAR(g(0.25), std::sqrt(800.0 * 100.0), 1e-9);
  EXPECT_DOUBLE_EQ(g(2.0), 100.0);
}

TEST(SynthOscillator, BandLimitedSawAliasesLessThanANaiveOne) {
  // A high saw: the naive ramp folds strong partials back below the fundamental.
  const int rate = 22000;
  const double hz = 3100.0;
  const Buffer blep = Tone(rate, 0.5, Shape::Saw, Const(hz));
  Buffer naive(blep.size());
  for (size_t i = 0; i < naive.size(); ++i) {
    const double ph = std::fmod(hz * double(i) / rate, 1.0);
    naive[i] = float(2.0 * ph - 1.0);
  }
  // Energy below the fundamental can only be aliasing.
  auto below = [&](Buffer b) {
    LowPass(b, rate, 1500.0, 0.7071);
    LowPass(b, rate, 1500.0, 0.7071);
    return Rms(b);
  };
  EXPECT_LT(below(blep), 0.5 * below(naive));
}

TEST(SynthEnvelope, ShapeAndNoStepAtTheRelease) {
  const Envelope e{0.1, 0.2, 0.5, 0.4};
  EXPECT_DOUBLE_EQ(EnvelopeAt(e, 0.0, 1.0), 0.0);
  EXPECT_NEAR(EnvelopeAt(e, 0.05, 1.0), 0.5, 1e-9);
  EXPECT_NEAR(EnvelopeAt(e, 0.1, 1.0), 1.0, 1e-9);
  EXPECT_NEAR(EnvelopeAt(e, 0.5, 1.0), 0.5, 1e-9);
  EXPECT_NEAR(EnvelopeAt(e, 1.399, 1.0), 0.0, 1e-4);
  EXPECT_EQ(EnvelopeAt(e, 1.5, 1.0), 0.0);
  // Released during the attack: the release starts from where the level was.
  for (double gate : {0.03, 0.15, 1.0})
    EXPECT_NEAR(EnvelopeAt(e, gate + 1e-7, gate), EnvelopeAt(e, gate - 1e-7, gate), 1e-4) << gate;
}

TEST(SynthFilter, PassesWhatItShouldAndStopsTheRest) {
  const int rate = 22000;
  Buffer low = Tone(rate, 0.5, Shape::Sine, Const(100.0));
  Buffer high = Tone(rate, 0.5, Shape::Sine, Const(5000.0));
  LowPass(low, rate, 800.0);
  LowPass(high, rate, 800.0);
  EXPECT_GT(Rms(low), 0.65);
  EXPECT_LT(Rms(high), 0.03);
  Buffer hp = Tone(rate, 0.5, Shape::Sine, Const(100.0));
  HighPass(hp, rate, 2000.0);
  EXPECT_LT(Rms(hp), 0.01);
  Buffer bp = Tone(rate, 0.5, Shape::Sine, Const(1000.0));
  BandPass(bp, rate, 1000.0, 2.0);
  EXPECT_NEAR(Rms(bp), std::sqrt(0.5), 0.05);
}

TEST(SynthNoise, SeededAndRepeatable) {
  EXPECT_EQ(Noise(22000, 0.1, 7), Noise(22000, 0.1, 7));
  EXPECT_NE(Noise(22000, 0.1, 7), Noise(22000, 0.1, 8));
  const Buffer n = Noise(22000, 1.0, 3);
  EXPECT_NEAR(Rms(n), 1.0 / std::sqrt(3.0), 0.01);  // uniform on -1..1
  Rng a(5), b(5);
  for (int i = 0; i < 100; ++i) {
    const double u = a.Uniform();
    EXPECT_EQ(u, b.Uniform());
    EXPECT_GE(u, 0.0);
    EXPECT_LT(u, 1.0);
  }
}

TEST(SynthPluck, RingsAtItsPitchAndDiesAway) {
  const Buffer p = Pluck(22000, 220.0, 2.5, 9);
  Buffer mid(p.begin() + 2200, p.begin() + 13200);  // 0.1 .. 0.6 s
  Buffer fundamental = mid;  // the overtones cross zero too: count the fundamental's crossings
  LowPass(fundamental, 22000, 300.0);
  LowPass(fundamental, 22000, 300.0);
  fundamental.erase(fundamental.begin(), fundamental.begin() + 1100);
  EXPECT_NEAR(Crossings(fundamental) / 0.45, 440.0, 12.0);
  const Buffer end(p.end() - 2200, p.end());
  EXPECT_LT(Rms(end), 0.3 * Rms(mid));
}

TEST(SynthEcho, RepeatsAtTheDelayAndGrowsTheBuffer) {
  Buffer b(10, 0.0f);
  b[0] = 1.0f;
  Echo(b, 1000, 0.1, 0.5, 0.4);
  ASSERT_GT(b.size(), 1000u);
  EXPECT_FLOAT_EQ(b[0], 1.0f);
  EXPECT_FLOAT_EQ(b[100], 0.4f);
  EXPECT_FLOAT_EQ(b[200], 0.2f);
  EXPECT_FLOAT_EQ(b[300], 0.1f);
  EXPECT_FLOAT_EQ(b[150], 0.0f);
}

TEST(SynthMix, MixNormalizeAndTrim) {
  Buffer a = {0.1f, 0.2f};
  MixInto(a, Buffer{1.0f, 1.0f}, 3, 0.5);
  EXPECT_EQ(a, (Buffer{0.1f, 0.2f, 0.0f, 0.5f, 0.5f}));
  Normalize(a, 0.8);
  EXPECT_FLOAT_EQ(float(Peak(a)), 0.8f);
  Buffer silent(50, 0.0f);
  Normalize(silent, 0.8);  // stays silent, no division by zero
  EXPECT_EQ(Peak(silent), 0.0);

  Buffer t = Tone(1000, 0.5, Shape::Sine, Const(50.0));
  t.resize(2000, 0.0f);  // 1.5 s of silence after it
  TrimTail(t, 1000);
  EXPECT_LE(t.size(), 520u);
  EXPECT_EQ(t.back(), 0.0f);
}

TEST(SynthLoop, WrapTailAddsTheOverhangOntoTheStart) {
  Buffer b = {1, 2, 3, 4, 5, 6, 7};
  WrapTail(b, 4);
  EXPECT_EQ(b, (Buffer{1 + 5, 2 + 6, 3 + 7, 4}));
  Buffer longTail = {1, 0, 1, 0, 1, 0, 1};  // more than twice the loop
  WrapTail(longTail, 2);
  EXPECT_EQ(longTail, (Buffer{4, 0}));
}

TEST(SynthLoop, SeamlessLoopOfNoiseHasNoSeamAndKeepsItsLevel) {
  const int rate = 22000;
  Buffer n = Noise(rate, 1.3, 11);
  LowPass(n, rate, 300.0);
  const size_t loop = SampleCount(rate, 1.0);
  const Buffer l = SeamlessLoop(n, loop, SampleCount(rate, 0.2));
  ASSERT_EQ(l.size(), loop);
  std::vector<int16_t> s;
  for (float x : l) s.push_back(int16_t(std::lround(x * 8000.0)));
  test::ExpectSeamless(s, "looped noise");
  // Equal-power fade: no dip in level over the cross-faded part.
  const Buffer head(l.begin(), l.begin() + std::ptrdiff_t(SampleCount(rate, 0.2)));
  EXPECT_GT(Rms(head), 0.7 * Rms(l));
}

}  // namespace
}  // namespace gravik::mkres

// A small synthesis toolkit for the builder's sounds and music: band-limited
// oscillators, seeded noise, envelopes, filters, mixing and a 16-bit mono WAV
// writer. Everything is deterministic: the same calls give the same samples.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace gravik::mkres {

using Buffer = std::vector<float>;  // mono samples, nominally -1..1

// Small, fast and reproducible on every platform (splitmix64).
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  double Uniform();    // [0, 1)
  double Bipolar();    // [-1, 1)
  double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }

 private:
  uint64_t state_;
};

enum class Shape { Sine, Square, Saw, Triangle };

// Phase-accumulating oscillator. Saw and square (any pulse width) are
// band-limited with polyBLEP corrections; the triangle's harmonics fall fast
// enough to be left as they are.
class Oscillator {
 public:
  Oscillator(Shape shape, int rate, double phase = 0.0, double pulseWidth = 0.5);
  float Next(double hz);
  void SetPulseWidth(double pw) { pulseWidth_ = pw; }

 private:
  Shape shape_;
  double rate_;
  double phase_;  // 0..1
  double pulseWidth_;
};

// RBJ biquad; coefficients may be changed between samples for sweeps.
class Biquad {
 public:
  enum class Kind { LowPass, HighPass, BandPass };
  Biquad(Kind kind, int rate, double cutoff, double q = 0.7071);
  void Set(double cutoff, double q);
  float Process(float x);

 private:
  Kind kind_;
  double rate_;
  double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// Attack, decay, sustain level, release; times in seconds.
struct Envelope {
  double Attack = 0.005;
  double Decay = 0.1;
  double Sustain = 0.7;
  double Release = 0.1;
};
// Level at time t of a note held for `gate` seconds (0 once the release is over).
double EnvelopeAt(const Envelope& e, double t, double gate);
// Length of a note held for `gate` seconds, release included.
inline double EnvelopeLength(const Envelope& e, double gate) { return gate + e.Release; }

using Curve = std::function<double(double)>;  // a value over time in seconds

// A constant curve and an exponential glide from a to b over `seconds` (then b).
Curve Const(double v);
Curve Glide(double a, double b, double seconds);

size_t SampleCount(int rate, double seconds);
double MidiHz(double note);  // 69 = A4 = 440 Hz

// Generators.
Buffer Tone(int rate, double seconds, Shape shape, const Curve& hz, double pulseWidth = 0.5,
            double phase = 0.0);
Buffer Noise(int rate, double seconds, uint64_t seed);
// Plucked string (Karplus-Strong); `damping` near 1 rings longer.
Buffer Pluck(int rate, double hz, double seconds, uint64_t seed, double damping = 0.996);
// Sum of sine partials (frequency ratio, amplitude, decay time constant), each
// with its own exponential decay: bells, chimes, metal.
struct Partial {
  double Ratio, Amp, Tau;
};
Buffer Partials(int rate, double seconds, double baseHz, const std::vector<Partial>& partials);

// Shaping, in place.
void ApplyEnvelope(Buffer& b, int rate, const Envelope& e, double gate);
// Linear attack, then exponential decay with time constant tau.
void ApplyDecay(Buffer& b, int rate, double attack, double tau);
void ApplyCurve(Buffer& b, int rate, const Curve& gain);
void Filter(Buffer& b, int rate, Biquad::Kind kind, const Curve& cutoff, double q = 0.7071);
void LowPass(Buffer& b, int rate, double cutoff, double q = 0.7071);
void HighPass(Buffer& b, int rate, double cutoff, double q = 0.7071);
void BandPass(Buffer& b, int rate, double centre, double q);
void OnePoleLowPass(Buffer& b, int rate, double cutoff);
void RemoveDc(Buffer& b, int rate);  // one-pole high-pass near 20 Hz
void Saturate(Buffer& b, double drive);  // tanh soft clip, unity gain for small signals
void Gain(Buffer& b, double g);
void FadeIn(Buffer& b, int rate, double seconds);
void FadeOut(Buffer& b, int rate, double seconds);
// Feedback echo: delay in seconds, each repeat `feedback` times the last.
// The buffer grows to hold the repeats down to about -60 dB.
// Cuts the trailing part that stays below `floor` times the peak (keeping a short
// fade so the end is not a step).
void TrimTail(Buffer& b, int rate, double floor = 0.001);
void Echo(Buffer& b, int rate, double delay, double feedback, double mix);

// Mixing.
void MixInto(Buffer& into, const Buffer& src, size_t offset = 0, double gain = 1.0);
double Peak(const Buffer& b);
double Rms(const Buffer& b);
// Scales so that the peak is `peak` (headroom below full scale); silence stays silence.
void Normalize(Buffer& b, double peak);

// Looping.
// The first `loopLength` samples of `in`, made seamless by cross-fading the
// `fade` samples that follow the loop into its start (equal power: for
// uncorrelated material such as noise). `in` must hold loopLength + fade samples.
Buffer SeamlessLoop(const Buffer& in, size_t loopLength, size_t fade);
// Adds everything past `loopLength` (release tails, echoes) onto the start, as
// a looping playback would hear it, and cuts the buffer to `loopLength`.
void WrapTail(Buffer& b, size_t loopLength);

// 16-bit mono PCM RIFF WAVE image; samples are rounded and held to full scale.
std::vector<uint8_t> EncodeWav16(const Buffer& b, int rate);

}  // namespace gravik::mkres

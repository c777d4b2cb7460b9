#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/Bytes.h"

namespace gravik::mkres {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The polyBLEP residual for a discontinuity at phase 0 of a ramp with step dt.
double PolyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}


}  // namespace

uint64_t Rng::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

double Rng::Uniform() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }

double Rng::Bipolar() { return Uniform() * 2.0 - 1.0; }

Oscillator::Oscillator(Shape shape, int rate, double phase, double pulseWidth)
    : shape_(shape), rate_(rate), phase_(phase - std::floor(phase)), pulseWidth_(pulseWidth) {}

float Oscillator::Next(double hz) {
  const double dt = std::clamp(hz / rate_, 0.0, 0.5);
  const double t = phase_;
  double v = 0.0;
  switch (shape_) {
    case Shape::Sine:
      v = std::sin(kTwoPi * t);
      break;
    case Shape::Saw:
      v = 2.0 * t - 1.0 - PolyBlep(t, dt);
      break;
    case Shape::Square: {
      const double pw = std::clamp(pulseWidth_, 0.02, 0.98);
      v = t < pw ? 1.0 : -1.0;
      v += PolyBlep(t, dt);
      double t2 = t + 1.0 - pw;
      t2 -= std::floor(t2);
      v -= PolyBlep(t2, dt);
      break;
    }
    case Shape::Triangle:
      v = 1.0 - 4.0 * std::fabs(t - 0.5);
      break;
  }
  phase_ += dt;
  phase_ -= std::floor(phase_);
  return float(v);
}

Biquad::Biquad(Kind kind, int rate, double cutoff, double q) : kind_(kind), rate_(rate) {
  Set(cutoff, q);
}

void Biquad::Set(double cutoff, double q) {
  const double f = std::clamp(cutoff, 10.0, rate_ * 0.49);
  const double w = kTwoPi * f / rate_;
  const double cw = std::cos(w), sw = std::sin(w);
  const double alpha = sw / (2.0 * std::max(q, 0.05));
  const double a0 = 1.0 + alpha;
  double b0 = 0, b1 = 0, b2 = 0;
  switch (kind_) {
    case Kind::LowPass:
      b0 = (1.0 - cw) / 2.0;
      b1 = 1.0 - cw;
      b2 = b0;
      break;
    case Kind::HighPass:
      b0 = (1.0 + cw) / 2.0;
      b1 = -(1.0 + cw);
      b2 = b0;
      break;
    case Kind::BandPass:  // 0 dB at the centre
      b0 = alpha;
      b1 = 0.0;
      b2 = -alpha;
      break;
  }
  b0_ = b0 / a0;
  b1_ = b1 / a0;
  b2_ = b2 / a0;
  a1_ = -2.0 * cw / a0;
  a2_ = (1.0 - alpha) / a0;
}

float Biquad::Process(float x) {
  const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
  x2_ = x1_;
  x1_ = x;
  y2_ = y1_;
  y1_ = y;
  return float(y);
}

double EnvelopeAt(const Envelope& e, double t, double gate) {
  auto held = [&](double u) {
    if (u < 0.0) return 0.0;
    if (u < e.Attack) return u / e.Attack;
    u -= e.Attack;
    if (u < e.Decay) return 1.0 - (1.0 - e.Sustain) * (u / e.Decay);
    return e.Sustain;
  };
  if (t < gate) return held(t);
  if (e.Release <= 0.0) return 0.0;
  const double r = (t - gate) / e.Release;
  return r >= 1.0 ? 0.0 : held(gate) * (1.0 - r) * (1.0 - r);
}

Curve Const(double v) {
  return [v](double) { return v; };
}

Curve Glide(double a, double b, double seconds) {
  return [a, b, seconds](double t) {
    if (t >= seconds || seconds <= 0.0) return b;
    return a * std::pow(b / a, t / seconds);
  };
}

size_t SampleCount(int rate, double seconds) {
  return seconds <= 0.0 ? 0 : size_t(std::llround(seconds * rate));
}

double MidiHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

Buffer Tone(int rate, double seconds, Shape shape, const Curve& hz, double pulseWidth, double phase) {
  Buffer b(SampleCount(rate, seconds));
  Oscillator osc(shape, rate, phase, pulseWidth);
  for (size_t i = 0; i < b.size(); ++i) b[i] = osc.Next(hz(double(i) / rate));
  return b;
}

Buffer Noise(int rate, double seconds, uint64_t seed) {
  Buffer b(SampleCount(rate, seconds));
  Rng rng(seed);
  for (float& s : b) s = float(rng.Bipolar());
  return b;
}

Buffer Pluck(int rate, double hz, double seconds, uint64_t seed, double damping) {
  Buffer out(SampleCount(rate, seconds));
  // The two-point average adds half a sample to the loop.
  const size_t n = size_t(std::max(2.0, std::round(rate / hz - 0.5)));
  Buffer line(n);
  Rng rng(seed);
  for (float& s : line) s = float(rng.Bipolar());
  // Pluck near the middle: a softer, rounder start than raw noise.
  float prev = 0.0f;
  for (float& s : line) prev = s = 0.5f * (s + prev);
  size_t pos = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    const size_t next = (pos + 1) % n;
    const float v = line[pos];
    out[i] = v;
    line[pos] = float(damping * 0.5 * (v + line[next]));
    pos = next;
  }
  RemoveDc(out, rate);
  FadeIn(out, rate, 0.001);
  return out;
}

Buffer Partials(int rate, double seconds, double baseHz, const std::vector<Partial>& partials) {
  Buffer b(SampleCount(rate, seconds));
  for (const Partial& p : partials) {
    const double hz = baseHz * p.Ratio;
    if (hz >= rate * 0.45) continue;  // above what the rate can carry
    const double w = kTwoPi * hz / rate;
    const double k = std::exp(-1.0 / (p.Tau * rate));
    double amp = p.Amp;
    for (size_t i = 0; i < b.size(); ++i) {
      b[i] += float(amp * std::sin(w * double(i)));
      amp *= k;
    }
  }
  return b;
}

void ApplyEnvelope(Buffer& b, int rate, const Envelope& e, double gate) {
  for (size_t i = 0; i < b.size(); ++i) b[i] *= float(EnvelopeAt(e, double(i) / rate, gate));
}

void ApplyDecay(Buffer& b, int rate, double attack, double tau) {
  const size_t a = SampleCount(rate, attack);
  const double k = std::exp(-1.0 / (tau * rate));
  double g = 1.0;
  for (size_t i = 0; i < b.size(); ++i) {
    if (i < a) {
      b[i] *= float(double(i) / double(a));
    } else {
      b[i] *= float(g);
      g *= k;
    }
  }
}

void ApplyCurve(Buffer& b, int rate, const Curve& gain) {
  for (size_t i = 0; i < b.size(); ++i) b[i] *= float(gain(double(i) / rate));
}

void Filter(Buffer& b, int rate, Biquad::Kind kind, const Curve& cutoff, double q) {
  Biquad f(kind, rate, cutoff(0.0), q);
  for (size_t i = 0; i < b.size(); ++i) {
    if ((i & 15) == 0) f.Set(cutoff(double(i) / rate), q);
    b[i] = f.Process(b[i]);
  }
}

void LowPass(Buffer& b, int rate, double cutoff, double q) {
  Filter(b, rate, Biquad::Kind::LowPass, Const(cutoff), q);
}
void HighPass(Buffer& b, int rate, double cutoff, double q) {
  Filter(b, rate, Biquad::Kind::HighPass, Const(cutoff), q);
}
void BandPass(Buffer& b, int rate, double centre, double q) {
  Filter(b, rate, Biquad::Kind::BandPass, Const(centre), q);
}

void OnePoleLowPass(Buffer& b, int rate, double cutoff) {
  const double a = 1.0 - std::exp(-kTwoPi * cutoff / rate);
  double y = 0.0;
  for (float& s : b) s = float(y += a * (s - y));
}

void RemoveDc(Buffer& b, int rate) {
  const double r = std::exp(-kTwoPi * 20.0 / rate);
  double x1 = 0.0, y1 = 0.0;
  for (float& s : b) {
    const double y = s - x1 + r * y1;
    x1 = s;
    y1 = y;
    s = float(y);
  }
}

void Saturate(Buffer& b, double drive) {
  if (drive <= 0.0) return;
  for (float& s : b) s = float(std::tanh(drive * s) / drive);
}

void Gain(Buffer& b, double g) {
  for (float& s : b) s = float(s * g);
}

void FadeIn(Buffer& b, int rate, double seconds) {
  const size_t n = std::min(b.size(), SampleCount(rate, seconds));
  for (size_t i = 0; i < n; ++i) b[i] *= float(double(i) / double(n));
}

void FadeOut(Buffer& b, int rate, double seconds) {
  const size_t n = std::min(b.size(), SampleCount(rate, seconds));
  for (size_t i = 0; i < n; ++i) b[b.size() - 1 - i] *= float(double(i) / double(n));
}

void TrimTail(Buffer& b, int rate, double floor) {
  const float limit = float(Peak(b) * floor);
  size_t end = b.size();
  while (end > 0 && std::fabs(b[end - 1]) <= limit) --end;
  end = std::min(b.size(), end + SampleCount(rate, 0.01));
  b.resize(end);
  FadeOut(b, rate, 0.01);
}

void Echo(Buffer& b, int rate, double delay, double feedback, double mix) {
  const size_t d = std::max<size_t>(1, SampleCount(rate, delay));
  feedback = std::clamp(feedback, 0.0, 0.95);
  size_t repeats = 1;
  if (feedback > 0.0) repeats += size_t(std::ceil(std::log(1e-3) / std::log(feedback)));
  const size_t dry = b.size();
  b.resize(dry + d * repeats, 0.0f);
  Buffer wet(b.size(), 0.0f);
  // wet[i] = mix * dry[i - d] + feedback * wet[i - d]
  for (size_t i = d; i < b.size(); ++i) {
    const double in = i - d < dry ? b[i - d] : 0.0;
    wet[i] = float(mix * in + feedback * wet[i - d]);
  }
  for (size_t i = 0; i < b.size(); ++i) b[i] += wet[i];
}

void MixInto(Buffer& into, const Buffer& src, size_t offset, double gain) {
  if (into.size() < offset + src.size()) into.resize(offset + src.size(), 0.0f);
  for (size_t i = 0; i < src.size(); ++i) into[offset + i] += float(gain * src[i]);
}

double Peak(const Buffer& b) {
  double p = 0.0;
  for (float s : b) p = std::max(p, double(std::fabs(s)));
  return p;
}

double Rms(const Buffer& b) {
  if (b.empty()) return 0.0;
  double sum = 0.0;
  for (float s : b) sum += double(s) * s;
  return std::sqrt(sum / double(b.size()));
}

void Normalize(Buffer& b, double peak) {
  const double p = Peak(b);
  if (p > 1e-9) Gain(b, peak / p);
}

Buffer SeamlessLoop(const Buffer& in, size_t loopLength, size_t fade) {
  fade = std::min(fade, loopLength);
  Buffer out(in.begin(), in.begin() + std::ptrdiff_t(std::min(loopLength, in.size())));
  out.resize(loopLength, 0.0f);
  for (size_t i = 0; i < fade && loopLength + i < in.size(); ++i) {
    const double x = (double(i) + 0.5) / double(fade);
    const double rise = std::sin(0.5 * std::numbers::pi * x);
    const double fall = std::cos(0.5 * std::numbers::pi * x);
    out[i] = float(in[i] * rise + in[loopLength + i] * fall);
  }
  return out;
}

void WrapTail(Buffer& b, size_t loopLength) {
  if (loopLength == 0) {
    b.clear();
    return;
  }
  if (b.size() < loopLength) b.resize(loopLength, 0.0f);
  for (size_t i = loopLength; i < b.size(); ++i) b[i % loopLength] += b[i];
  b.resize(loopLength);
}

std::vector<uint8_t> EncodeWav16(const Buffer& b, int rate) {
  const uint32_t dataBytes = uint32_t(b.size() * 2);
  std::vector<uint8_t> v;
  v.reserve(44 + dataBytes);
  ByteWriter w(v);
  w.Bytes("RIFF", 4).U32(36 + dataBytes).Bytes("WAVE", 4);
  w.Bytes("fmt ", 4).U32(16);
  w.U16(1);  // PCM
  w.U16(1);  // mono
  w.U32(uint32_t(rate)).U32(uint32_t(rate) * 2);
  w.U16(2);   // block align
  w.U16(16);  // bits
  w.Bytes("data", 4).U32(dataBytes);
  for (float s : b) {
    const long q = std::lround(std::clamp(double(s), -1.0, 1.0) * 32767.0);
    w.U16(uint16_t(int16_t(q)));
  }
  return v;
}

}  // namespace gravik::mkres

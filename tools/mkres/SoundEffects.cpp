#include "SoundEffects.h"

#include <cmath>
#include <numbers>

#include "Synth.h"
#include "audio/Audio.h"
#include "base/Errors.h"

namespace gravik::mkres {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
using K = Biquad::Kind;

size_t At(int rate, double seconds) { return SampleCount(rate, seconds); }

// A short burst of filtered noise: the tick of a strike, a crack, a pebble.
Buffer Burst(int rate, double seconds, uint64_t seed, K kind, double cutoff, double q, double tau) {
  Buffer b = Noise(rate, seconds, seed);
  Filter(b, rate, kind, Const(cutoff), q);
  ApplyDecay(b, rate, 0.0005, tau);
  FadeOut(b, rate, seconds * 0.3);
  return b;
}

// A sine whose pitch falls from a to b: the body of every thud.
Buffer Thump(int rate, double seconds, double a, double b, double glide, double tau) {
  Buffer t = Tone(rate, seconds, Shape::Sine, Glide(a, b, glide));
  ApplyDecay(t, rate, 0.001, tau);
  FadeOut(t, rate, seconds * 0.3);
  return t;
}

// A brass-like note: two detuned saws through a low-pass that opens with the envelope.
Buffer Brass(int rate, double midi, double gate, double vibrato = 0.0) {
  const Envelope env{0.025, 0.12, 0.7, 0.15};
  const double hz = MidiHz(midi);
  Buffer b(At(rate, EnvelopeLength(env, gate)));
  Oscillator o1(Shape::Saw, rate, 0.0), o2(Shape::Saw, rate, 0.37);
  Biquad lp(K::LowPass, rate, 800.0, 1.1);
  for (size_t i = 0; i < b.size(); ++i) {
    const double t = double(i) / rate;
    const double e = EnvelopeAt(env, t, gate);
    const double v = 1.0 + vibrato * std::sin(kTwoPi * 5.5 * t) * std::min(1.0, t / 0.2);
    if ((i & 15) == 0) lp.Set(500.0 + 4200.0 * e, 1.1);
    const float x = 0.5f * (o1.Next(hz * v * 1.003) + o2.Next(hz * v * 0.997));
    b[i] = float(lp.Process(x) * e);
  }
  return b;
}

// A chiptune-like square note with a soft envelope.
Buffer Chip(int rate, double midi, double gate, double pulseWidth, double vibrato = 0.0) {
  const Envelope env{0.006, 0.08, 0.6, 0.12};
  const double hz = MidiHz(midi);
  Buffer b = Tone(rate, EnvelopeLength(env, gate), Shape::Square, [&](double t) {
    return hz * (1.0 + vibrato * std::sin(kTwoPi * 6.0 * t) * std::min(1.0, t / 0.15));
  }, pulseWidth);
  LowPass(b, rate, 5000.0);
  ApplyEnvelope(b, rate, env, gate);
  return b;
}

Buffer Click1(int rate) {
  Buffer b = Tone(rate, 0.045, Shape::Sine, Const(2600.0));
  ApplyDecay(b, rate, 0.0003, 0.006);
  MixInto(b, Burst(rate, 0.02, 11, K::HighPass, 3000.0, 0.7, 0.002), 0, 0.4);
  return b;
}

Buffer Click2(int rate) {
  Buffer b = Tone(rate, 0.11, Shape::Triangle, Const(1400.0));
  ApplyDecay(b, rate, 0.0004, 0.012);
  Buffer hi = Tone(rate, 0.075, Shape::Triangle, Const(2100.0));
  ApplyDecay(hi, rate, 0.0004, 0.015);
  MixInto(b, hi, At(rate, 0.035), 0.8);
  MixInto(b, Burst(rate, 0.02, 12, K::HighPass, 2500.0, 0.7, 0.002), 0, 0.25);
  return b;
}

Buffer Fanfare(int rate) {
  Buffer b;
  const double step = 0.13;
  const double notes[] = {67, 72, 76};  // G4 C5 E5, then the held G5 over a chord
  for (int i = 0; i < 3; ++i) MixInto(b, Brass(rate, notes[i], 0.10), At(rate, step * i), 0.8);
  const size_t last = At(rate, step * 3);
  MixInto(b, Brass(rate, 79, 0.6, 0.006), last, 0.8);
  MixInto(b, Brass(rate, 72, 0.6), last, 0.45);
  MixInto(b, Brass(rate, 76, 0.6), last, 0.45);
  MixInto(b, Brass(rate, 48, 0.6), last, 0.5);
  return b;
}

Buffer Boom(int rate) {
  const double len = 1.9;
  Buffer b = Noise(rate, len, 21);
  Filter(b, rate, K::LowPass, Glide(2600.0, 120.0, 1.3), 0.9);
  ApplyDecay(b, rate, 0.002, 0.5);
  Buffer rumble = Noise(rate, len, 22);
  LowPass(rumble, rate, 90.0, 0.8);
  ApplyDecay(rumble, rate, 0.03, 0.7);
  MixInto(b, rumble, 0, 3.0);
  MixInto(b, Thump(rate, len, 95.0, 32.0, 0.6, 0.35), 0, 0.8);
  MixInto(b, Burst(rate, 0.1, 23, K::HighPass, 1500.0, 0.7, 0.015), 0, 0.6);
  Saturate(b, 1.6);
  FadeOut(b, rate, 0.4);
  return b;
}

Buffer KilledByRock(int rate) {
  // The crunch: band noise chopped into grit and driven hard.
  Buffer crunch = Noise(rate, 0.22, 31);
  BandPass(crunch, rate, 900.0, 0.8);
  Rng grains(32);
  const size_t grain = At(rate, 0.008);
  for (size_t g = 0; g < crunch.size(); g += grain) {
    const double a = 0.3 + 0.7 * grains.Uniform();
    for (size_t i = g; i < std::min(crunch.size(), g + grain); ++i) crunch[i] *= float(a);
  }
  ApplyDecay(crunch, rate, 0.001, 0.07);
  Gain(crunch, 3.0);
  Saturate(crunch, 2.5);
  Buffer b = crunch;
  MixInto(b, Thump(rate, 0.25, 140.0, 50.0, 0.1, 0.06), 0, 0.9);
  // The falling tone, with a dizzy wobble.
  const double start = 0.14, len = 0.95;
  Buffer fall = Tone(rate, len, Shape::Square, [](double t) {
    return 760.0 * std::pow(90.0 / 760.0, std::min(1.0, t / 0.9)) * (1.0 + 0.03 * std::sin(kTwoPi * 7.0 * t));
  }, 0.3);
  LowPass(fall, rate, 2400.0);
  ApplyEnvelope(fall, rate, Envelope{0.01, 0.3, 0.6, 0.25}, len - 0.25);
  MixInto(b, fall, At(rate, start), 0.35);
  return b;
}

// A bell-like strike on small metal: three inharmonic partials and a tick.
Buffer Ting(int rate, double hz, double seconds, uint64_t seed) {
  Buffer b = Partials(rate, seconds, hz, {{1.0, 1.0, 0.22}, {2.32, 0.5, 0.11}, {4.25, 0.25, 0.05}});
  ApplyDecay(b, rate, 0.0005, 10.0);
  FadeOut(b, rate, seconds * 0.4);
  MixInto(b, Burst(rate, 0.02, seed, K::HighPass, 4000.0, 0.7, 0.003), 0, 0.3);
  return b;
}

Buffer Key(int rate) {
  Buffer b;
  const double times[] = {0.0, 0.065, 0.14, 0.2};
  const double pitch[] = {1800.0, 2350.0, 2050.0, 2600.0};
  const double level[] = {1.0, 0.8, 0.7, 0.45};
  for (int i = 0; i < 4; ++i) MixInto(b, Ting(rate, pitch[i], 0.7, 40 + i), At(rate, times[i]), level[i]);
  return b;
}

Buffer Diamond(int rate) {
  auto chime = [rate](double hz) {
    Buffer c = Partials(rate, 0.7, hz, {{1.0, 1.0, 0.3}, {2.0, 0.3, 0.15}, {3.0, 0.12, 0.08}, {4.16, 0.06, 0.04}});
    ApplyDecay(c, rate, 0.002, 10.0);
    FadeOut(c, rate, 0.3);
    return c;
  };
  Buffer b = chime(MidiHz(100));                    // E7
  MixInto(b, chime(MidiHz(107)), At(rate, 0.06), 0.75);  // B7
  Buffer sparkle = Tone(rate, 0.12, Shape::Sine, Const(MidiHz(112)));
  ApplyDecay(sparkle, rate, 0.002, 0.03);
  FadeOut(sparkle, rate, 0.04);
  MixInto(b, sparkle, At(rate, 0.09), 0.2);
  return b;
}

Buffer Transport(int rate) {
  const double len = 1.5;
  Buffer b(At(rate, len), 0.0f);
  const double ratios[] = {0.5, 1.0, 1.5, 2.0, 2.012, 3.0};
  const double amps[] = {0.5, 1.0, 0.6, 0.5, 0.5, 0.3};
  for (int k = 0; k < 6; ++k) {
    Buffer v = Tone(rate, len, Shape::Triangle, [k, &ratios](double t) {
      return ratios[k] * 180.0 * std::pow(1400.0 / 180.0, std::min(1.0, t / 1.2));
    }, 0.5, 0.13 * k);
    MixInto(b, v, 0, amps[k]);
  }
  ApplyCurve(b, rate, [](double t) { return 0.65 + 0.35 * std::sin(kTwoPi * 13.0 * t); });
  Buffer swoosh = Noise(rate, len, 51);
  Filter(swoosh, rate, K::BandPass, Glide(400.0, 5000.0, 1.2), 2.0);
  MixInto(b, swoosh, 0, 1.2);
  ApplyEnvelope(b, rate, Envelope{0.18, 0.2, 0.85, 0.4}, len - 0.4);
  Echo(b, rate, 0.09, 0.35, 0.4);
  return b;
}

Buffer PuzzlePiece(int rate) {
  Buffer b;
  const double notes[] = {72, 76, 79, 84};  // C5 E5 G5 C6
  for (int i = 0; i < 4; ++i) {
    Buffer p = Pluck(rate, MidiHz(notes[i]), 0.7, 60 + i, 0.995);
    FadeOut(p, rate, 0.15);
    MixInto(b, p, At(rate, 0.075 * i), i == 3 ? 1.0 : 0.8);
  }
  LowPass(b, rate, 5000.0);
  Echo(b, rate, 0.15, 0.25, 0.25);
  return b;
}

Buffer LevelComplete(int rate) {
  Buffer b;
  const double run[] = {67, 72, 76, 79};  // G4 C5 E5 G5
  for (int i = 0; i < 4; ++i) MixInto(b, Chip(rate, run[i], 0.08, 0.25), At(rate, 0.1 * i), 0.6);
  const size_t top = At(rate, 0.42);
  MixInto(b, Chip(rate, 84, 0.12, 0.25), top, 0.6);  // C6, a breath, then the chord
  const size_t chord = At(rate, 0.62);
  MixInto(b, Chip(rate, 84, 0.7, 0.25, 0.008), chord, 0.55);
  MixInto(b, Chip(rate, 88, 0.7, 0.5), chord, 0.3);
  MixInto(b, Chip(rate, 91, 0.7, 0.5), chord, 0.3);
  Buffer bass = Tone(rate, 0.95, Shape::Triangle, Const(MidiHz(48)));
  ApplyEnvelope(bass, rate, Envelope{0.01, 0.2, 0.7, 0.2}, 0.75);
  MixInto(b, bass, chord, 0.6);
  Echo(b, rate, 0.12, 0.3, 0.25);
  return b;
}

Buffer RockStop(int rate) {
  Buffer b = Thump(rate, 0.25, 125.0, 45.0, 0.1, 0.055);
  MixInto(b, Burst(rate, 0.08, 71, K::LowPass, 650.0, 0.8, 0.016), 0, 1.0);
  MixInto(b, Burst(rate, 0.03, 72, K::BandPass, 2200.0, 1.0, 0.004), 0, 0.35);
  FadeOut(b, rate, 0.05);
  return b;
}

Buffer RockFall(int rate) {
  const double len = 0.6;
  Buffer b = Noise(rate, len, 81);
  LowPass(b, rate, 320.0, 1.0);
  Gain(b, 2.5);
  // Grinding: the rumble comes in uneven pushes.
  Rng grains(82);
  const size_t grain = At(rate, 0.035);
  double prev = 0.5;
  for (size_t g = 0; g < b.size(); g += grain) {
    const double next = 0.4 + 0.6 * grains.Uniform();
    for (size_t i = g; i < std::min(b.size(), g + grain); ++i) {
      const double x = double(i - g) / double(grain);
      b[i] *= float(prev + (next - prev) * x);
    }
    prev = next;
  }
  Buffer scrape = Noise(rate, len, 83);
  BandPass(scrape, rate, 1300.0, 1.5);
  MixInto(b, scrape, 0, 0.25);
  const double pebbles[] = {0.04, 0.13, 0.21, 0.33, 0.41};
  for (int i = 0; i < 5; ++i)
    MixInto(b, Burst(rate, 0.03, 84 + i, K::BandPass, 1800.0 + 400.0 * i, 1.2, 0.004), At(rate, pebbles[i]), 0.5);
  LowPass(b, rate, 4000.0);
  ApplyEnvelope(b, rate, Envelope{0.05, 0.2, 0.7, 0.2}, len - 0.2);
  return b;
}

Buffer GlassHit(int rate) {
  auto clink = [rate](double hz, uint64_t seed) {
    Buffer c = Partials(rate, 0.5, hz, {{1.0, 1.0, 0.18}, {1.58, 0.6, 0.1}, {2.47, 0.35, 0.06}});
    ApplyDecay(c, rate, 0.0005, 10.0);
    FadeOut(c, rate, 0.2);
    MixInto(c, Burst(rate, 0.02, seed, K::HighPass, 2500.0, 0.7, 0.002), 0, 0.4);
    return c;
  };
  Buffer b = clink(1900.0, 91);
  MixInto(b, clink(2250.0, 92), At(rate, 0.055), 0.4);
  return b;
}

Buffer KillMonster(int rate) {
  const double len = 0.5;
  Buffer b = Tone(rate, len, Shape::Saw, Glide(220.0, 70.0, 0.35));
  Biquad lp(K::LowPass, rate, 1000.0, 5.0);
  for (size_t i = 0; i < b.size(); ++i) {
    const double t = double(i) / rate;
    const double sweep = std::exp(-t / 0.15);
    if ((i & 15) == 0) lp.Set(250.0 + 2200.0 * sweep * (0.55 + 0.45 * std::sin(kTwoPi * 14.0 * t)), 5.0);
    b[i] = lp.Process(b[i]);
  }
  Gain(b, 0.6);
  MixInto(b, Burst(rate, 0.2, 101, K::LowPass, 800.0, 1.0, 0.06), 0, 0.8);
  ApplyDecay(b, rate, 0.005, 0.15);
  Saturate(b, 1.5);
  return b;
}

Buffer Cage(int rate) {
  const double len = 1.6;
  Buffer b = Partials(rate, len, 330.0,
                      {{1.0, 0.9, 0.9}, {1.004, 0.5, 0.9}, {2.76, 0.5, 0.5}, {5.40, 0.3, 0.3}, {8.93, 0.2, 0.15}});
  ApplyDecay(b, rate, 0.001, 10.0);
  MixInto(b, Burst(rate, 0.05, 111, K::BandPass, 3000.0, 0.8, 0.008), 0, 0.4);
  Buffer sparkle;
  const double notes[] = {88, 92, 95, 100};  // E6 G#6 B6 E7
  for (int i = 0; i < 4; ++i) {
    Buffer s = Tone(rate, 0.5, Shape::Sine, Const(MidiHz(notes[i])));
    ApplyDecay(s, rate, 0.002, 0.15);
    FadeOut(s, rate, 0.2);
    MixInto(sparkle, s, At(rate, 0.12 + 0.06 * i), 0.5);
  }
  Echo(sparkle, rate, 0.11, 0.4, 0.5);
  MixInto(b, sparkle, 0, 0.5);
  b.resize(At(rate, len));
  FadeOut(b, rate, 0.4);
  return b;
}

Buffer Meteors(int rate) {
  // Every periodic part repeats a whole number of times in the loop; the noise
  // is cross-faded over the seam.
  const double loopSeconds = 2.5;
  const size_t loop = At(rate, loopSeconds), fade = At(rate, 0.3);
  const double extra = 0.3 + 0.5;  // fade plus filter settling

  Buffer roar = Noise(rate, loopSeconds + extra, 121);
  LowPass(roar, rate, 260.0, 0.8);
  roar = SeamlessLoop(roar, loop, fade);
  Buffer hiss = Noise(rate, loopSeconds + extra, 122);
  BandPass(hiss, rate, 900.0, 1.2);
  hiss = SeamlessLoop(hiss, loop, fade);

  Buffer b(loop, 0.0f);
  for (size_t i = 0; i < loop; ++i) {
    const double p = double(i) / double(loop);  // position in the loop, 0..1
    const double swell = 1.0 + 0.3 * std::sin(kTwoPi * 2.0 * p) + 0.15 * std::sin(kTwoPi * 5.0 * p + 1.0);
    const double flicker = 0.7 + 0.3 * std::sin(kTwoPi * 3.0 * p + 0.5);
    const double hum = std::sin(kTwoPi * 110.0 * p) + 0.4 * std::sin(kTwoPi * 165.0 * p);  // 44 and 66 Hz
    b[i] = float(3.0 * roar[i] * swell + 0.35 * hiss[i] * flicker + 0.12 * hum * swell);
  }
  return b;
}

Buffer Egg(int rate) {
  Buffer b = Tone(rate, 0.3, Shape::Sine, Const(900.0));
  ApplyDecay(b, rate, 0.0005, 0.02);
  Gain(b, 0.5);
  const double times[] = {0.0, 0.03, 0.055, 0.1, 0.14};
  const double centre[] = {3200.0, 2600.0, 3800.0, 2900.0, 3400.0};
  const double level[] = {1.0, 0.7, 0.8, 0.45, 0.3};
  for (int i = 0; i < 5; ++i)
    MixInto(b, Burst(rate, 0.03, 131 + i, K::BandPass, centre[i], 1.5, 0.004), At(rate, times[i]), 2.0 * level[i]);
  return b;
}

Buffer OpenDoor(int rate) {
  const double slide = 0.95, len = 1.35;
  Buffer grind = Noise(rate, slide + 0.1, 141);
  BandPass(grind, rate, 300.0, 1.2);
  Rng grains(142);
  const size_t grain = At(rate, 0.02);
  for (size_t g = 0; g < grind.size(); g += grain) {
    const double a = 0.5 + 0.5 * grains.Uniform();
    for (size_t i = g; i < std::min(grind.size(), g + grain); ++i) grind[i] *= float(a);
  }
  LowPass(grind, rate, 1200.0);
  ApplyCurve(grind, rate, [](double t) { return 0.6 + 0.4 * std::fabs(std::sin(kTwoPi * 5.5 * t)); });
  Gain(grind, 2.5);
  Buffer hum = Tone(rate, slide + 0.1, Shape::Saw, Glide(50.0, 62.0, slide));
  LowPass(hum, rate, 380.0);
  MixInto(grind, hum, 0, 0.35);
  ApplyEnvelope(grind, rate, Envelope{0.12, 0.1, 0.9, 0.1}, slide);

  Buffer b(At(rate, len), 0.0f);
  MixInto(b, grind);
  const size_t clunk = At(rate, slide);
  MixInto(b, Thump(rate, 0.35, 110.0, 48.0, 0.1, 0.08), clunk, 1.3);
  MixInto(b, Burst(rate, 0.1, 143, K::LowPass, 900.0, 0.8, 0.02), clunk, 1.0);
  MixInto(b, Burst(rate, 0.04, 144, K::BandPass, 2500.0, 1.0, 0.004), clunk, 0.3);
  b.resize(At(rate, len));
  FadeOut(b, rate, 0.1);
  return b;
}

struct EffectDef {
  const char* Name;
  Buffer (*Make)(int rate);
  double Peak;  // loudness after normalising, below full scale
};

// The order is the archive's; peaks keep the small UI sounds below the big events.
constexpr EffectDef kEffects[] = {
    {"click1.wav", Click1, 0.5},         {"click2.wav", Click2, 0.55},
    {"fanf2.wav", Fanfare, 0.8},         {"boom.wav", Boom, 0.9},
    {"killedbyrock.wav", KilledByRock, 0.85}, {"key.wav", Key, 0.7},
    {"diamond.wav", Diamond, 0.65},      {"transport.wav", Transport, 0.8},
    {"puzzlepiece.wav", PuzzlePiece, 0.75}, {"level complete.wav", LevelComplete, 0.8},
    {"rock stop.wav", RockStop, 0.8},    {"rock fall.wav", RockFall, 0.7},
    {"glasshit2.wav", GlassHit, 0.7},    {"killmonster.wav", KillMonster, 0.8},
    {"cage.wav", Cage, 0.75},            {"meteors.wav", Meteors, 0.7},
    {"egg.wav", Egg, 0.75},              {"opendoor.wav", OpenDoor, 0.85},
};

const EffectDef* FindEffect(const std::string& name) {
  for (const EffectDef& e : kEffects)
    if (name == e.Name) return &e;
  return nullptr;
}

}  // namespace

std::vector<std::string> SoundEffectNames() {
  std::vector<std::string> v;
  for (const EffectDef& e : kEffects) v.emplace_back(e.Name);
  return v;
}

int SoundEffectRate(const std::string& name) { return EffectSettingsFor(name).Frequency; }

std::vector<uint8_t> BuildSoundEffect(const std::string& name) {
  const EffectDef* def = FindEffect(name);
  if (!def) throw GameError("No sound effect named '" + name + "'");
  const int rate = SoundEffectRate(name);
  Buffer b = def->Make(rate);
  if (!EffectSettingsFor(name).Looped) {
    // Looped sounds are periodic as made; a high-pass filter would break the seam.
    RemoveDc(b, rate);
    TrimTail(b, rate);
    FadeOut(b, rate, 0.005);
  }
  Normalize(b, def->Peak);
  return EncodeWav16(b, rate);
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> BuildSoundEffects() {
  std::vector<std::pair<std::string, std::vector<uint8_t>>> out;
  for (const EffectDef& e : kEffects) out.emplace_back(e.Name, BuildSoundEffect(e.Name));
  return out;
}

}  // namespace gravik::mkres

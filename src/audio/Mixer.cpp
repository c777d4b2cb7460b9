#include "audio/Mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/Bytes.h"
#include "base/Text.h"
#include "platform/AudioDevice.h"

namespace gravik {

namespace {

bool Fail(std::string* error, const char* why) {
  if (error) *error = why;
  return false;
}

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr int kMinFrequency = 100;
constexpr int kMaxFrequency = 200000;

}  // namespace

bool ParseWave(const uint8_t* data, size_t size, WaveData& out, std::string* error) {
  if (data == nullptr || size < 12) return Fail(error, "too short for a RIFF header");
  if (std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
    return Fail(error, "not a RIFF WAVE image");

  bool haveFmt = false, haveData = false;
  int channels = 0, bits = 0, blockAlign = 0;
  uint32_t rate = 0;
  size_t dataOff = 0, dataLen = 0;

  size_t off = 12;
  while (off + 8 <= size && !(haveFmt && haveData)) {
    const uint8_t* hdr = data + off;
    const uint32_t len = GetU32(hdr + 4);
    const size_t body = off + 8;
    if (len > size - body) return Fail(error, "chunk runs past the end");
    if (std::memcmp(hdr, "fmt ", 4) == 0 && !haveFmt) {
      if (len < 16) return Fail(error, "format chunk too short");
      const uint8_t* f = data + body;
      uint16_t tag = GetU16(f);
      if (tag == kFormatExtensible) {
        // The sub-format GUID starts at byte 24; its first two bytes hold the tag.
        if (len < 40) return Fail(error, "extensible format chunk too short");
        tag = GetU16(f + 24);
      }
      if (tag != kFormatPcm) return Fail(error, "not PCM");
      channels = GetU16(f + 2);
      rate = GetU32(f + 4);
      blockAlign = GetU16(f + 12);
      bits = GetU16(f + 14);
      if (channels != 1 && channels != 2) return Fail(error, "unsupported channel count");
      if (bits != 8 && bits != 16) return Fail(error, "unsupported sample size");
      if (blockAlign != channels * bits / 8) return Fail(error, "inconsistent block size");
      if (rate == 0 || rate > 1000000) return Fail(error, "unsupported sample rate");
      haveFmt = true;
    } else if (std::memcmp(hdr, "data", 4) == 0 && !haveData) {
      dataOff = body;
      dataLen = len;
      haveData = true;
    }
    // Chunks are padded to even sizes; a missing pad byte at the very end is tolerated.
    off = body + len + (len & 1u);
  }
  if (!haveFmt) return Fail(error, "no format chunk");
  if (!haveData) return Fail(error, "no data chunk");

  const size_t frames = dataLen / size_t(blockAlign);
  WaveData w;
  w.Channels = channels;
  w.SampleRate = int(rate);
  w.BlockAlign = blockAlign;
  w.Samples.resize(frames * size_t(channels));
  const uint8_t* src = data + dataOff;
  if (bits == 8) {
    for (size_t i = 0; i < w.Samples.size(); ++i) w.Samples[i] = int16_t((int(src[i]) - 128) * 256);
  } else {
    for (size_t i = 0; i < w.Samples.size(); ++i) w.Samples[i] = int16_t(GetU16(src + 2 * i));
  }
  out = std::move(w);
  return true;
}

float VolumeGain(int hundredthsDb) {
  if (hundredthsDb <= Mixer::kMinVolume) return 0.0f;
  if (hundredthsDb >= 0) return 1.0f;
  return float(std::pow(10.0, double(hundredthsDb) / 2000.0));
}

struct Mixer::Item {
  std::string name;
  WaveData wave;
  int frequency = 22050;
  int volume = 0;
  float gain = 1.0f;
  bool looped = false;
  int maxPlayings = 1;
  uint32_t lastFrame = 0;  // where the item was stopped
};

class Mixer::Guard {
 public:
  explicit Guard(const Mixer& m) : d_(m.device_) {
    if (d_) d_->Lock();
  }
  ~Guard() {
    if (d_) d_->Unlock();
  }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

 private:
  AudioDevice* d_;
};

Mixer::Mixer(int outputRate) : outputRate_(outputRate > 0 ? outputRate : 44100) {}

Mixer::~Mixer() = default;

void Mixer::AttachDevice(AudioDevice* device) {
  if (device) device->Lock();
  device_ = device;
  if (device) device->Unlock();
}

void Mixer::SetOutputRate(int rate) {
  if (rate <= 0) return;
  Guard g(*this);
  outputRate_ = rate;
}

int Mixer::Add(const std::string& name, WaveData wave) {
  const int existing = Find(name);
  auto fresh = std::make_unique<Item>();
  fresh->name = name;
  fresh->frequency = std::clamp(wave.SampleRate, kMinFrequency, kMaxFrequency);
  fresh->wave = std::move(wave);
  std::unique_ptr<Item> old;  // released outside the lock
  int index;
  {
    Guard g(*this);
    if (existing >= 0) {
      for (Voice& v : voices_)
        if (v.item == existing) v.item = -1;
      old = std::move(items_[size_t(existing)]);
      items_[size_t(existing)] = std::move(fresh);
      index = existing;
    } else {
      items_.push_back(std::move(fresh));
      index = int(items_.size()) - 1;
    }
  }
  return index;
}

int Mixer::Find(std::string_view name) const {
  // The item list changes only on the game's thread, so no lock is needed to read names.
  for (size_t i = 0; i < items_.size(); ++i)
    if (SameText(items_[i]->name, name)) return int(i);
  return -1;
}

std::string Mixer::Name(int item) const { return Valid(item) ? items_[size_t(item)]->name : std::string(); }

const WaveData* Mixer::Wave(int item) const { return Valid(item) ? &items_[size_t(item)]->wave : nullptr; }

void Mixer::SetFrequency(int item, int hz) {
  if (!Valid(item)) return;
  Guard g(*this);
  items_[size_t(item)]->frequency = std::clamp(hz, kMinFrequency, kMaxFrequency);
}

int Mixer::Frequency(int item) const { return Valid(item) ? items_[size_t(item)]->frequency : 0; }

void Mixer::SetVolume(int item, int hundredthsDb) {
  if (!Valid(item)) return;
  const int v = std::clamp(hundredthsDb, kMinVolume, kMaxVolume);
  const float gain = VolumeGain(v);
  Guard g(*this);
  items_[size_t(item)]->volume = v;
  items_[size_t(item)]->gain = gain;
}

int Mixer::Volume(int item) const { return Valid(item) ? items_[size_t(item)]->volume : 0; }

void Mixer::SetLooped(int item, bool looped) {
  if (!Valid(item)) return;
  Guard g(*this);
  items_[size_t(item)]->looped = looped;
}

bool Mixer::Looped(int item) const { return Valid(item) && items_[size_t(item)]->looped; }

void Mixer::SetMaxPlayings(int item, int count) {
  if (!Valid(item)) return;
  Guard g(*this);
  items_[size_t(item)]->maxPlayings = std::clamp(count, 1, kVoices);
}

int Mixer::MaxPlayings(int item) const { return Valid(item) ? items_[size_t(item)]->maxPlayings : 0; }

void Mixer::Play(int item, uint32_t positionBytes) {
  if (!Valid(item)) return;
  Guard g(*this);
  Item& it = *items_[size_t(item)];
  uint32_t frame = positionBytes / uint32_t(std::max(1, it.wave.BlockAlign));
  if (frame >= it.wave.Frames()) frame = 0;

  Voice* pick = nullptr;
  int count = 0;
  Voice* oldestOwn = nullptr;
  for (Voice& v : voices_) {
    if (v.item != item) continue;
    ++count;
    if (!oldestOwn || v.serial < oldestOwn->serial) oldestOwn = &v;
  }
  if (count >= it.maxPlayings) {
    pick = oldestOwn;
  } else {
    for (Voice& v : voices_) {
      if (v.item < 0) {
        pick = &v;
        break;
      }
    }
    if (!pick) {
      pick = &voices_[0];
      for (Voice& v : voices_)
        if (v.serial < pick->serial) pick = &v;
      items_[size_t(pick->item)]->lastFrame = uint32_t(pick->pos >> 32);
    }
  }
  pick->item = item;
  pick->pos = uint64_t(frame) << 32;
  pick->serial = ++serial_;
}

void Mixer::StopLocked(int item) {
  const Voice* newest = nullptr;
  for (Voice& v : voices_)
    if (v.item == item && (!newest || v.serial > newest->serial)) newest = &v;
  if (newest) items_[size_t(item)]->lastFrame = uint32_t(newest->pos >> 32);
  for (Voice& v : voices_)
    if (v.item == item) v.item = -1;
}

void Mixer::Stop(int item) {
  if (!Valid(item)) return;
  Guard g(*this);
  StopLocked(item);
}

void Mixer::StopAll() {
  Guard g(*this);
  for (int i = 0; i < int(items_.size()); ++i) StopLocked(i);
}

bool Mixer::IsPlaying(int item) const { return Playings(item) > 0; }

int Mixer::Playings(int item) const {
  if (!Valid(item)) return 0;
  Guard g(*this);
  int n = 0;
  for (const Voice& v : voices_) n += v.item == item;
  return n;
}

uint32_t Mixer::PositionLocked(int item) const {
  const Item& it = *items_[size_t(item)];
  const Voice* newest = nullptr;
  for (const Voice& v : voices_)
    if (v.item == item && (!newest || v.serial > newest->serial)) newest = &v;
  const uint32_t frame = newest ? uint32_t(newest->pos >> 32) : it.lastFrame;
  return frame * uint32_t(it.wave.BlockAlign);
}

uint32_t Mixer::Position(int item) const {
  if (!Valid(item)) return 0;
  Guard g(*this);
  return PositionLocked(item);
}

int Mixer::ActiveVoices() const {
  Guard g(*this);
  int n = 0;
  for (const Voice& v : voices_) n += v.item >= 0;
  return n;
}

uint64_t Mixer::Step(const Item& it) const {
  return (uint64_t(uint32_t(it.frequency)) << 32) / uint64_t(uint32_t(outputRate_));
}

// Adds one voice into the float accumulator (interleaved stereo), resampling by
// linear interpolation. Ends the voice when a once-only playing runs out.
void Mixer::MixVoice(Voice& v, float* acc, int frames) {
  Item& it = *items_[size_t(v.item)];
  const uint32_t nf = it.wave.Frames();
  if (nf == 0) {
    it.lastFrame = 0;
    v.item = -1;
    return;
  }
  const uint64_t end = uint64_t(nf) << 32;
  const uint64_t step = Step(it);
  const bool looped = it.looped;
  const float gain = it.gain;

  if (gain == 0.0f) {  // silent: only the position moves
    const unsigned __int128 p = (unsigned __int128)v.pos + (unsigned __int128)step * unsigned(frames);
    v.pos = p < end ? uint64_t(p) : looped ? uint64_t(p % end) : end;
    if (v.pos >= end) {
      it.lastFrame = 0;
      v.item = -1;
    }
    return;
  }

  const int16_t* s = it.wave.Samples.data();
  const bool stereo = it.wave.Channels == 2;
  const uint64_t safeEnd = uint64_t(nf - 1) << 32;  // below it, frame idx + 1 exists
  constexpr float kFrac = 1.0f / 4294967296.0f;
  int i = 0;
  while (i < frames) {
    if (v.pos >= end) {
      if (!looped) {
        it.lastFrame = 0;
        v.item = -1;
        return;
      }
      v.pos %= end;
    }
    if (v.pos < safeEnd) {
      const uint64_t run64 = (safeEnd - v.pos + step - 1) / step;
      const int run = int(std::min<uint64_t>(run64, uint64_t(frames - i)));
      uint64_t pos = v.pos;
      float* a = acc + 2 * i;
      if (stereo) {
        for (int k = 0; k < run; ++k, pos += step, a += 2) {
          const uint32_t idx = uint32_t(pos >> 32);
          const float f = float(uint32_t(pos)) * kFrac;
          const int16_t* p = s + 2 * size_t(idx);
          a[0] += (float(p[0]) + float(p[2] - p[0]) * f) * gain;
          a[1] += (float(p[1]) + float(p[3] - p[1]) * f) * gain;
        }
      } else {
        for (int k = 0; k < run; ++k, pos += step, a += 2) {
          const uint32_t idx = uint32_t(pos >> 32);
          const float f = float(uint32_t(pos)) * kFrac;
          const float x = (float(s[idx]) + float(s[idx + 1] - s[idx]) * f) * gain;
          a[0] += x;
          a[1] += x;
        }
      }
      v.pos = pos;
      i += run;
    } else {
      // The last frame: interpolate towards the start when looping, else hold it.
      const uint32_t idx = nf - 1;
      const float f = float(uint32_t(v.pos)) * kFrac;
      const uint32_t next = looped ? 0 : idx;
      float* a = acc + 2 * i;
      if (stereo) {
        a[0] += (float(s[2 * idx]) + float(s[2 * next] - s[2 * idx]) * f) * gain;
        a[1] += (float(s[2 * idx + 1]) + float(s[2 * next + 1] - s[2 * idx + 1]) * f) * gain;
      } else {
        const float x = (float(s[idx]) + float(s[next] - s[idx]) * f) * gain;
        a[0] += x;
        a[1] += x;
      }
      v.pos += step;
      ++i;
    }
  }
}

void Mixer::Mix(int16_t* out, int frames) {
  constexpr int kChunk = 256;
  float acc[2 * kChunk];
  while (frames > 0) {
    const int n = std::min(frames, kChunk);
    std::fill(acc, acc + 2 * n, 0.0f);
    for (Voice& v : voices_)
      if (v.item >= 0) MixVoice(v, acc, n);
    for (int i = 0; i < 2 * n; ++i) {
      const float x = acc[i];
      out[i] = int16_t(x >= 32767.0f ? 32767 : x <= -32768.0f ? -32768 : int(std::lrintf(x)));
    }
    out += 2 * n;
    frames -= n;
  }
}

}  // namespace gravik

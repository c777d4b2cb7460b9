// Helpers for the audio tests: WAV images built in memory and a device whose
// callback the test drives by hand.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/AudioDevice.h"

namespace gravik::testing_audio {

inline void Put16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
inline void Put32(std::vector<uint8_t>& b, uint32_t v) {
  Put16(b, uint16_t(v));
  Put16(b, uint16_t(v >> 16));
}

// A PCM WAV image; `samples` are interleaved and stored at `bits` (8 or 16).
inline std::vector<uint8_t> MakeWav(const std::vector<int16_t>& samples, int channels = 1, int rate = 22000,
                                    int bits = 16) {
  std::vector<uint8_t> data;
  for (int16_t s : samples) {
    if (bits == 8)
      data.push_back(uint8_t((s >> 8) + 128));
    else
      Put16(data, uint16_t(s));
  }
  std::vector<uint8_t> b;
  b.insert(b.end(), {'R', 'I', 'F', 'F'});
  Put32(b, uint32_t(4 + 8 + 16 + 8 + data.size() + (data.size() & 1)));
  b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put32(b, 16);
  Put16(b, 1);
  Put16(b, uint16_t(channels));
  Put32(b, uint32_t(rate));
  Put32(b, uint32_t(rate * channels * bits / 8));
  Put16(b, uint16_t(channels * bits / 8));
  Put16(b, uint16_t(bits));
  b.insert(b.end(), {'d', 'a', 't', 'a'});
  Put32(b, uint32_t(data.size()));
  b.insert(b.end(), data.begin(), data.end());
  if (data.size() & 1) b.push_back(0);
  return b;
}

inline std::vector<int16_t> Constant(size_t n, int16_t v) { return std::vector<int16_t>(n, v); }

inline std::vector<int16_t> Ramp(size_t n, int16_t step) {
  std::vector<int16_t> s(n);
  for (size_t i = 0; i < n; ++i) s[i] = int16_t(int(i) * step);
  return s;
}

class FakeDevice : public AudioDevice {
 public:
  explicit FakeDevice(bool works = true, int rate = 44100) : works_(works), rate_(rate) {}
  bool Open(int rate, Callback callback) override {
    ++opens;
    if (!works_) return false;
    cb_ = std::move(callback);
    open_ = true;
    return true;
  }
  void Close() override {
    open_ = false;
    cb_ = nullptr;
  }
  bool IsOpen() const override { return open_; }
  int Rate() const override { return rate_; }
  void Lock() override { ++locks; }
  void Unlock() override {}

  // Runs the callback for `frames` stereo frames and returns them.
  std::vector<int16_t> Pump(int frames) {
    std::vector<int16_t> out(size_t(frames) * 2, 0);
    if (cb_) cb_(out.data(), frames);
    return out;
  }

  int opens = 0;
  int locks = 0;

 private:
  bool works_;
  int rate_;
  bool open_ = false;
  Callback cb_;
};

}  // namespace gravik::testing_audio

// Helpers for the audio tests: WAV images built in memory and a device whose
// callback the test drives by hand.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "platform/AudioDevice.h"

namespace gravik::testing_audio {

// A PCM WAV image; `samples` are interleaved and stored at `bits` (8 or 16).
inline std::vector<uint8_t> MakeWav(const std::vector<int16_t>& samples, int channels = 1, int rate = 22000,
                                    int bits = 16) {
  std::vector<uint8_t> data;
  for (int16_t s : samples) {
    if (bits == 8)
      data.push_back(uint8_t((s >> 8) + 128));
    else
      ByteWriter(data).U16(uint16_t(s));
  }
  std::vector<uint8_t> b;
  ByteWriter w(b);
  w.Bytes("RIFF", 4).U32(uint32_t(4 + 8 + 16 + 8 + data.size() + (data.size() & 1)));
  w.Bytes("WAVEfmt ", 8).U32(16).U16(1).U16(uint16_t(channels));
  w.U32(uint32_t(rate)).U32(uint32_t(rate * channels * bits / 8));
  w.U16(uint16_t(channels * bits / 8)).U16(uint16_t(bits));
  w.Bytes("data", 4).U32(uint32_t(data.size())).Bytes(data.data(), data.size());
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
  bool Open(int, Callback callback) override {
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

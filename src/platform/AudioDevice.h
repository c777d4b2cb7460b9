// PCM output. The device pulls interleaved signed 16-bit stereo frames from a
// callback; the callback runs on the audio thread (SDL) or inside Pump (headless).
#pragma once
#include <cstdint>
#include <functional>

namespace gravik {

class AudioDevice {
 public:
  using Callback = std::function<void(int16_t* out, int frames)>;
  virtual ~AudioDevice() = default;
  // Opens the device at (about) `rate` Hz stereo; false when there is no usable
  // device (the game then stays silent).
  virtual bool Open(int rate, Callback callback) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  virtual int Rate() const = 0;
  // Short critical section against the callback.
  virtual void Lock() = 0;
  virtual void Unlock() = 0;
};

class AudioLock {
 public:
  explicit AudioLock(AudioDevice& d) : d_(d) { d_.Lock(); }
  ~AudioLock() { d_.Unlock(); }
  AudioLock(const AudioLock&) = delete;
  AudioLock& operator=(const AudioLock&) = delete;

 private:
  AudioDevice& d_;
};

}  // namespace gravik

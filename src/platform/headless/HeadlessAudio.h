// An audio device that plays into nowhere. Open succeeds (unless told to fail);
// Pump runs the callback into a scratch buffer, so the mixer's voices advance
// exactly as they would on a real device.
#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/AudioDevice.h"

namespace gravik {

class HeadlessAudio : public AudioDevice {
 public:
  bool Open(int rate, Callback callback) override;
  void Close() override;
  bool IsOpen() const override { return open_; }
  int Rate() const override { return rate_; }
  void Lock() override { mutex_.lock(); }
  void Unlock() override { mutex_.unlock(); }

  // Runs the callback for `frames` stereo frames (nothing when closed).
  void Pump(int frames);
  // Frames the device would have played in `ms` milliseconds at the open rate.
  int FramesFor(uint32_t ms) const { return int(int64_t(rate_) * ms / 1000); }
  // Output of the last Pump, interleaved left/right.
  const std::vector<int16_t>& LastOutput() const { return scratch_; }
  uint64_t FramesPumped() const { return pumped_; }
  // Makes the next Open fail, as with no sound device.
  void SetUnavailable(bool unavailable) { unavailable_ = unavailable; }

 private:
  std::mutex mutex_;
  Callback callback_;
  bool open_ = false, unavailable_ = false;
  int rate_ = 0;
  std::vector<int16_t> scratch_;
  uint64_t pumped_ = 0;
};

}  // namespace gravik

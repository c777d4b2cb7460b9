// A clock that moves only when told: by a fixed step per frame, by SleepMs, or
// by Advance. Keeps microseconds, so the millisecond tick and the 1 MHz counter
// agree exactly.
#pragma once
#include <cstdint>

#include "platform/Clock.h"

namespace gravik {

class HeadlessClock : public Clock {
 public:
  // `startMs` sets the first tick (a value near 2^32 exercises the wrap).
  explicit HeadlessClock(uint32_t startMs = 0, uint64_t frameStepUs = 16667);

  uint32_t TickCount() override { return uint32_t(uint64_t(startMs_) + nowUs_ / 1000); }
  uint64_t PerfCounter() override { return nowUs_; }
  uint64_t PerfFrequency() override { return 1000000; }
  void SleepMs(uint32_t ms) override { nowUs_ += uint64_t(ms) * 1000; }

  void Advance(uint64_t us) { nowUs_ += us; }
  void AdvanceFrame() { nowUs_ += frameStepUs_; }
  void SetFrameStepUs(uint64_t us) { frameStepUs_ = us; }
  uint64_t FrameStepUs() const { return frameStepUs_; }
  uint64_t ElapsedUs() const { return nowUs_; }

 private:
  uint32_t startMs_;
  uint64_t frameStepUs_;
  uint64_t nowUs_ = 0;
};

}  // namespace gravik

// Time as the game sees it: a 32-bit wrapping millisecond tick (compare by
// unsigned subtraction) and a 64-bit high-resolution counter.
#pragma once
#include <cstdint>

namespace gravik {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint32_t TickCount() = 0;          // milliseconds, wraps
  virtual uint64_t PerfCounter() = 0;        // high-resolution counter
  virtual uint64_t PerfFrequency() = 0;      // counts per second
  virtual void SleepMs(uint32_t ms) = 0;     // real clocks sleep; the headless clock advances
};

// Elapsed milliseconds from `since` to `now`, correct across the 32-bit wrap.
inline uint32_t TicksSince(uint32_t now, uint32_t since) { return now - since; }

}  // namespace gravik

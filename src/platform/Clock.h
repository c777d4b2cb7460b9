// Time as the game sees it: a 32-bit wrapping millisecond tick (compare by
// unsigned subtraction) and a 64-bit high-resolution counter.
#pragma once
#include <cmath>
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
// Every comparison of game clocks goes through here.
inline uint32_t TicksSince(uint32_t now, uint32_t since) { return now - since; }

// A tick kept in a floating-point field, back on the 32-bit tick circle. Any
// value is taken (such fields may come from a recording): not-a-number and
// infinities give 0.
inline uint32_t TickOf(double tick) {
  constexpr double kCircle = 4294967296.0;
  if (!std::isfinite(tick)) return 0;
  double t = std::fmod(tick, kCircle);
  if (t < 0) t += kCircle;
  return t >= kCircle ? 0 : uint32_t(t);
}

}  // namespace gravik

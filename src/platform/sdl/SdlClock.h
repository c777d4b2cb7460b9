// Real time from SDL.
#pragma once
#include <SDL.h>

#include "platform/Clock.h"

namespace gravik {

class SdlClock : public Clock {
 public:
  uint32_t TickCount() override { return uint32_t(SDL_GetTicks()); }
  uint64_t PerfCounter() override { return SDL_GetPerformanceCounter(); }
  uint64_t PerfFrequency() override { return SDL_GetPerformanceFrequency(); }
  void SleepMs(uint32_t ms) override { SDL_Delay(ms); }
};

}  // namespace gravik

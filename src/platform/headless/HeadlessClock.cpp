#include "platform/headless/HeadlessClock.h"

namespace gravik {

HeadlessClock::HeadlessClock(uint32_t startMs, uint64_t frameStepUs)
    : startMs_(startMs), frameStepUs_(frameStepUs) {}

}  // namespace gravik

// The table of screen units: every state of the state machine and the unit
// that runs it.
#pragma once
#include <cstdint>
#include <vector>

#include "frame/ScreenUnit.h"

namespace gravik {

class TForm1;

struct StateUnit {
  uint8_t State;
  ScreenUnit (*Make)();
};

// One entry per named state.
const std::vector<StateUnit>& ScreenUnits();
// Registers every unit of the table on the form.
void InstallScreenUnits(TForm1& form);

}  // namespace gravik

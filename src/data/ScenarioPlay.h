// Where a loaded scenario meets the running world; shared by the game and the
// scenario replay.
#pragma once
#include <cstdint>
#include <vector>

#include "data/Scenario.h"
#include "world/World.h"

namespace gravik {

// The scenario's per-game values in the world: level seeds, fresh level
// states and the puzzle with its pieces already collected.
void TakeScenarioIntoWorld(World& w, const Scenario& s);

struct TransporterArrival {
  bool Matched = false;        // a record took the player somewhere
  int RestartX = 0, RestartY = 0;  // the arrival cell (world coordinates)
  bool DiedOnArrival = false;  // the arrival cell was occupied
};

// Every unused record whose source is the player's cell on the current level
// is used up; the last one gives the destination. On a match the transporter
// cell is emptied, the level is saved and left, the destination level is built
// with the player standing on its cell, and the player dies when that cell
// holds anything but an empty cell, the player block or a transporter (the
// stored cell is then emptied). With or without a match a target count is
// requested. `w.PanelShown` must be current.
TransporterArrival ArriveThroughTransporter(World& w, std::vector<TTransporterLink>& links, uint32_t now);

}  // namespace gravik

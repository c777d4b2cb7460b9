// A test fixture with its own home and a game in it, created, not started.
#pragma once
#include <gtest/gtest.h>

#include "support/GameHarness.h"

namespace gravik::testing {

class GameTest : public ::testing::Test, protected WithHome, public GameHarness {
 protected:
  explicit GameTest(GameOptions o = Silent(), Handlers h = Handlers::Game) : GameHarness(o, h) {}
};

}  // namespace gravik::testing

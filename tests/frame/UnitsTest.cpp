// The table of screen units: every named state has a complete unit, and no
// unit can be registered with a handler missing.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "frame/Form.h"
#include "app/Units.h"
#include "support/GameHarness.h"

namespace gravik {
namespace {

using testing::GameHarness;

TEST(ScreenUnits, EveryNamedStateHasACompleteUnit) {
  testing::TempHome home;
  GameHarness run(GameHarness::Audible(), GameHarness::Handlers::None);
  TForm1& form = run.form_;
  InstallScreenUnits(form);
  int named = 0;
  for (int s = 0; s < 256; ++s) {
    if (std::strcmp(GameStateName(uint8_t(s)), "state") == 0) {
      EXPECT_FALSE(form.HasUnit(uint8_t(s))) << "state " << s << " has a unit but no name";
      continue;
    }
    ++named;
    ASSERT_TRUE(form.HasUnit(uint8_t(s))) << GameStateName(uint8_t(s)) << " has no unit";
    EXPECT_TRUE(form.Unit(uint8_t(s))->Complete()) << GameStateName(uint8_t(s));
  }
  EXPECT_EQ(size_t(named), ScreenUnits().size());
}

TEST(ScreenUnits, AUnitWithAHandlerMissingIsRefused) {
  testing::TempHome home;
  GameHarness run(GameHarness::Audible(), GameHarness::Handlers::None);
  TForm1& form = run.form_;
  ScreenUnit unit{NoEntry, [](TForm1&) {}, NoKeys, NoKeyPress, NoMouse};
  unit.KeyPress = nullptr;
  EXPECT_THROW(form.SetUnit(gsHelp, unit), std::logic_error);
  EXPECT_FALSE(form.HasUnit(gsHelp));
  // A form without its start-up installed says so instead of starting empty.
  EXPECT_THROW(form.Timer1Timer(), std::logic_error);
}

}  // namespace
}  // namespace gravik

// The program driven one pass at a time, as a host that owns the loop (a
// browser's frame callback) drives it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "frame/GameState.h"
#include "app/Program.h"
#include "platform/headless/HeadlessPlatform.h"
#include "support/GameHarness.h"

namespace gravik {
namespace {

class ProgramRunTest : public ::testing::Test {
 protected:
  void SetUp() override { GRAVIK_REQUIRE_DATA_FILES(); }
  testing::TempHome home_;
};

TEST_F(ProgramRunTest, PassesReachTheNameEntryThenAQuitEndsTheRunForGood) {
  HeadlessPlatform hp(testing::DataFolder() + "gravik");
  hp.shell.SetEcho(false);
  Platform p = hp.Get();
  ProgramOptions options;
  options.game.headless = true;
  options.game.noSound = options.game.noMusic = true;
  ProgramRun run(p, options);
  auto frame = [&](Game&) {
    hp.EndFrame();
    return true;
  };

  int passes = 0;
  while (run.game().frame.GameState != gsNewProfile && passes < 600) {
    ASSERT_EQ(run.Pass(frame), -1) << "pass " << passes;
    ++passes;
  }
  EXPECT_EQ(run.game().frame.GameState, gsNewProfile) << "a first start asks for a name";

  InputEvent quit;
  quit.type = InputEventType::Quit;
  hp.input.Push(quit);
  EXPECT_EQ(run.Pass(frame), 0);
  EXPECT_TRUE(run.game().frame.Closed);

  // Passes after the end only repeat the status: events stay unread.
  InputEvent key;
  key.type = InputEventType::KeyDown;
  key.vk = 'A';
  hp.input.Push(key);
  EXPECT_EQ(run.Pass(frame), 0);
  InputEvent left;
  EXPECT_TRUE(hp.input.PollEvent(left));
  EXPECT_EQ(left.vk, 'A');
}

}  // namespace
}  // namespace gravik

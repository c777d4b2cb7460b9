// "N shot FILE" in the input script: one headless run pictures several
// screens, each the frame presented at frame N.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "e2e/Run.h"
#include "e2e/Shot.h"

namespace gravik::e2e {
namespace {

class ScriptShotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = GamePath();
    if (exe_.empty()) GTEST_SKIP() << "this build has no game program";
    std::filesystem::create_directories(home_.Path() + "/run");
  }

  RunResult Run(const std::string& script, int frames) {
    const std::string file = home_.Path() + "/script.txt";
    std::ofstream(file) << script;
    return RunGame(exe_,
                   {"--headless", "-nosound", "-nomusic", "--play", "--seed", "3", "--frames",
                    std::to_string(frames), "--input", file},
                   home_.Path(), 60000, home_.Path() + "/run");
  }

  std::string exe_;
  testing::TempHome home_;
};

TEST_F(ScriptShotTest, TwoShotsOfOneRunShowTheTitleCardAndPlay) {
  // Frame 200 shows the scenario's title card, frame 380 play; the first file
  // name is relative to the folder the game runs in.
  const std::string play = home_.Path() + "/play.png";
  const RunResult r = Run("200 shot shots-title.png\n380 shot " + play + "\n", 400);
  ASSERT_EQ(r.status, 0) << r.output;

  Shot title, game;
  ASSERT_TRUE(ReadShot(home_.Path() + "/run/shots-title.png", title)) << r.output;
  ASSERT_TRUE(ReadShot(play, game)) << r.output;
  for (const Shot* s : {&title, &game}) {
    EXPECT_EQ(s->Width, 640);
    EXPECT_EQ(s->Height, 480);
  }
  EXPECT_EQ(title.Lit(0, 0, 640, 150), 0) << "the title card is black above its text";
  EXPECT_GT(title.Lit(0, 180, 640, 260), 500) << "\"SCENARIO\" and the name";
  EXPECT_GT(game.Lit(0, 0, 480, 480), 480 * 480 / 2) << "the playfield";
  EXPECT_NE(title.Rgb, game.Rgb);
}

TEST_F(ScriptShotTest, ShotsNotTakenAreReportedAndFailTheRun) {
  // Frame 10 is still start-up (nothing presented); the run stops at frame 120.
  const RunResult r = Run("10 shot early.png\n100 shot fine.png\n500 shot never.png\n", 120);
  EXPECT_EQ(r.status, 1) << r.output;
  EXPECT_NE(r.output.find("nothing was presented by frame 10; no screenshot early.png"), std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("the run ended before frame 500; no screenshot never.png"), std::string::npos)
      << r.output;
  Shot fine;
  EXPECT_TRUE(ReadShot(home_.Path() + "/run/fine.png", fine));
  EXPECT_FALSE(std::filesystem::exists(home_.Path() + "/run/early.png"));
  EXPECT_FALSE(std::filesystem::exists(home_.Path() + "/run/never.png"));
}

}  // namespace
}  // namespace gravik::e2e

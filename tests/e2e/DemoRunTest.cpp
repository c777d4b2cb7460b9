// The demo switches of the real program, run headless: a game recorded with
// captions, played back with --demo FILE, and the caption box on the screen.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "e2e/Run.h"
#include "e2e/Shot.h"

namespace gravik::e2e {
namespace {

TEST(DemoRunTest, RecordThenPlayBackFromTheCommandLine) {
  const std::string exe = GamePath();
  if (exe.empty()) GTEST_SKIP() << "this build has no game program";
  testing::TempHome home;
  const std::string demo = home.Path() + "/run.dem", captions = home.Path() + "/captions.txt",
                    script = home.Path() + "/keys.txt", shot = home.Path() + "/caption.png";
  std::ofstream(captions) << "1200 Recorded from the command line\n";
  // Play begins about frame 285 (start-up and the title card).
  std::ofstream(script) << "320 key down Right\n350 key up Right\n";
  RunResult r = RunGame(exe, {"--headless", "--play", "--record-demo", demo, "--demo-captions", captions, "--frames", "700",
                              "--input", script},
                        home.Path());
  ASSERT_EQ(r.status, 0) << r.output;
  ASSERT_TRUE(std::filesystem::exists(demo)) << r.output;
  EXPECT_NE(r.output.find("written to"), std::string::npos) << r.output;

  std::ofstream(script) << "380 shot " << shot << "\n";
  r = RunGame(exe, {"--headless", "--demo", demo, "--frames", "400", "--input", script}, home.Path());
  ASSERT_EQ(r.status, 0) << r.output;
  // The caption box: a black frame at (50, 50), filled light yellow inside.
  Shot s;
  ASSERT_TRUE(ReadShot(shot, s)) << shot;
  EXPECT_EQ(s.At(50, 50), 0u);
  const uint32_t fill = s.At(51, 51);
  EXPECT_GE(fill >> 16, 240u);
  EXPECT_GE(fill >> 8 & 255, 240u);
  EXPECT_GE(fill & 255, 200u);
  EXPECT_LE(fill & 255, 235u) << "light yellow, not white";

  // A caption file that is not "TIME TEXT" is refused before anything starts.
  std::ofstream(captions) << "soon Hello\n";
  r = RunGame(exe, {"--headless", "--record-demo", demo, "--demo-captions", captions}, home.Path());
  EXPECT_EQ(r.status, 2) << r.output;
}

}  // namespace
}  // namespace gravik::e2e

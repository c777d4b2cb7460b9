// The program started on a chosen level with --start-level: it runs to the end,
// the last frame is play on that level (not the black title card), and levels
// with different bricks really look different.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "e2e/Run.h"
#include "e2e/Shot.h"

namespace gravik::e2e {
namespace {


// Share of pixels in [x0, x1) x [y0, y1) with no component above 40.
double DarkShare(const Shot& p, int x0, int y0, int x1, int y1) {
  long dark = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const uint8_t* c = &p.Rgb[(size_t(y) * size_t(p.Width) + size_t(x)) * 3];
      dark += c[0] <= 40 && c[1] <= 40 && c[2] <= 40;
    }
  return double(dark) / double((x1 - x0) * (y1 - y0));
}

// Mean red and blue of [x0, x1) x [y0, y1).
void MeanRedBlue(const Shot& p, int x0, int y0, int x1, int y1, double& red, double& blue) {
  double r = 0, b = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const uint8_t* c = &p.Rgb[(size_t(y) * size_t(p.Width) + size_t(x)) * 3];
      r += c[0];
      b += c[2];
    }
  const double n = double((x1 - x0) * (y1 - y0));
  red = r / n;
  blue = b / n;
}

class LevelStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = GamePath();
    if (exe_.empty()) GTEST_SKIP() << "this build has no game program";
  }

  // The last frame of a run started on `level`, 320 frames in (the title card
  // is over by then).
  Shot ShotOfLevel(int level) {
    const std::string file = home_.Path() + "/level" + std::to_string(level) + ".png";
    const RunResult r = RunGame(exe_,
                                {"--headless", "-nosound", "-nomusic", "--start-level", std::to_string(level),
                                 "--frames", "320", "--screenshot", file},
                                home_.Path());
    EXPECT_EQ(r.status, 0) << r.output;
    Shot p;
    EXPECT_TRUE(ReadShot(file, p)) << file;
    EXPECT_EQ(p.Width, 640);
    EXPECT_EQ(p.Height, 480);
    return p;
  }

  std::string exe_;
  testing::TempHome home_;
};

TEST_F(LevelStartTest, EachLevelStartsInPlayWithItsOwnBricks) {
  const Shot one = ShotOfLevel(1), two = ShotOfLevel(2), four = ShotOfLevel(4);
  if (one.Rgb.empty() || two.Rgb.empty() || four.Rgb.empty()) return;
  // The playfield (left of the panel) shows the level, not the black title card.
  EXPECT_LT(DarkShare(one, 0, 0, 480, 480), 0.3);
  EXPECT_LT(DarkShare(two, 0, 0, 480, 480), 0.3);
  EXPECT_LT(DarkShare(four, 0, 0, 480, 480), 0.3);
  // The top-left corner of the view is wall on these starts: red bricks on
  // level 1, blue-grey on level 2, sandstone on level 4.
  double r1, b1, r2, b2, r4, b4;
  MeanRedBlue(one, 0, 0, 192, 192, r1, b1);
  MeanRedBlue(two, 0, 0, 192, 192, r2, b2);
  MeanRedBlue(four, 0, 0, 192, 192, r4, b4);
  EXPECT_GT(r1, b1 + 20) << "level 1 red " << r1 << " blue " << b1;
  EXPECT_GT(b2, r2) << "level 2 red " << r2 << " blue " << b2;
  EXPECT_GT(r4, b4 + 20) << "level 4 red " << r4 << " blue " << b4;
  EXPECT_NE(int(r1), int(r4)) << "levels 1 and 4 drew the same bricks";
}

// The last three levels start in play too, and the two spirit levels that once
// opened alike (6 and 11) show different walls on arrival.
TEST_F(LevelStartTest, TheLastLevelsStartInPlayAndSpiritLevelsLookApart) {
  for (int level : {18, 19, 20}) {
    const Shot p = ShotOfLevel(level);
    if (p.Rgb.empty()) continue;
    EXPECT_LT(DarkShare(p, 0, 0, 480, 480), 0.3) << "level " << level;
  }
  const Shot six = ShotOfLevel(6), eleven = ShotOfLevel(11);
  if (six.Rgb.empty() || eleven.Rgb.empty()) return;
  double r6, b6, r11, b11;
  MeanRedBlue(six, 0, 0, 192, 192, r6, b6);
  MeanRedBlue(eleven, 0, 0, 192, 192, r11, b11);
  EXPECT_GT(b6, r6) << "level 6 red " << r6 << " blue " << b6;
  EXPECT_GT(r11, b11 + 20) << "level 11 red " << r11 << " blue " << b11;
}

TEST_F(LevelStartTest, LevelOutsideOneToTwentyIsRefused) {
  for (const char* bad : {"0", "21", "x"}) {
    const RunResult r = RunGame(exe_, {"--headless", "--start-level", bad, "--frames", "1"}, home_.Path());
    EXPECT_EQ(r.status, 2) << bad << ": " << r.output;
    EXPECT_NE(r.output.find("--start-level"), std::string::npos) << r.output;
  }
}

}  // namespace
}  // namespace gravik::e2e

// The real program playing a purpose-made scenario from a script: walk, dig,
// push a rock, take a diamond, give up a life, hide the panel, and take a
// transporter to level 2. Each screenshot is the last frame of a run, so the
// same script is run several times with different frame counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "e2e/Run.h"
#include "e2e/Shot.h"
#include "frame/PlayScenario.h"

namespace gravik::e2e {
namespace {


// Level 1: dig right, take the diamond, push the rock until it meets the wall,
// step down and dig on to the transporter, which leads to level 2.
const std::vector<playtest::LevelText> kJourney = {
    playtest::Level(1,
                    {"#############",   //
                     "#P:*:o...#..#",   //
                     "#::::::::::T#",   //
                     "#############"},
                    {{2, 2, 2}}),
    playtest::Level(2,
                    {"#######",   //
                     "#..:*:#",   //
                     "#######"},
                    {}, false),
};

// Frames at 60 a second. Play begins about 4.5 s in (start-up, title card).
const char kScript[] =
    "300 mouse move 630 470\n"  // the menu pointer below the screens' text
    "400 key down Escape\n"   // gives up a life
    "401 key up Escape\n"
    "520 key down Enter\n"    // back to play from "You have lost a life"
    "524 key up Enter\n"
    "590 key down Tab\n"      // hides the side panel (at most once a second of play)
    "600 key up Tab\n"
    "660 key down Tab\n"      // and shows it again
    "670 key up Tab\n"
    "700 key down Right\n"    // digs, takes the diamond, pushes the rock to the wall
    "830 key up Right\n"
    "840 key down Down\n"
    "850 key up Down\n"
    "860 key down Right\n"    // digs on to the transporter
    "960 key up Right\n";

// Strongly coloured pixels (the iris bands); bricks and earth are muted.
int Saturated(const Shot& s, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const uint32_t c = s.At(x, y);
      const int r = int(c >> 16), g = int(c >> 8 & 255), b = int(c & 255);
      n += std::max({r, g, b}) - std::min({r, g, b}) > 200;
    }
  return n;
}

class PlayRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = GamePath();
    if (exe_.empty()) GTEST_SKIP() << "this build has no game program";
    const BlockCatalogue catalogue = playtest::CatalogueFromArchive(GRAVIK_BINARY_DIR);
    scenario_ = home_.Path() + "/journey.zq";
    playtest::WriteFile(scenario_, playtest::BuildScenarioFile(kJourney, catalogue, "Journey"));
    script_ = home_.Path() + "/journey.txt";
    std::ofstream(script_) << kScript;
  }

  // Runs `frames` frames and reads the screenshot of the last one.
  Shot RunTo(int frames, const std::string& name) {
    const std::string png = home_.Path() + "/" + name + ".png";
    const RunResult r = RunGame(exe_,
                                {"--headless", "--frames", std::to_string(frames), "--seed", "3", "--input", script_,
                                 "--play", scenario_, "--screenshot", png},
                                home_.Path());
    EXPECT_EQ(r.status, 0) << r.output;
    Shot s;
    EXPECT_TRUE(ReadShot(png, s)) << png;
    if (const char* keep = std::getenv("GRAVIK_KEEP_SHOTS")) {
      std::filesystem::create_directories(keep);
      std::filesystem::copy_file(png, std::string(keep) + "/" + name + ".png",
                                 std::filesystem::copy_options::overwrite_existing);
    }
    return s;
  }

  std::string exe_, scenario_, script_;
  testing::TempHome home_;
};

TEST_F(PlayRunTest, JourneyThroughLifeLossPanelToggleAndTransporter) {
  const Shot title = RunTo(200, "1-title");
  ASSERT_EQ(title.Width, 640);
  ASSERT_EQ(title.Height, 480);
  EXPECT_EQ(title.Lit(0, 0, 640, 150), 0) << "the title card is black above its text";
  EXPECT_GT(title.Lit(0, 180, 640, 260), 500) << "\"SCENARIO\" and the name";

  // Play with the panel: the playfield fills 0..480, the panel 480..640.
  const Shot play = RunTo(380, "2-play");
  EXPECT_GT(play.Lit(0, 0, 80, 480), 80 * 480 * 9 / 10);
  EXPECT_GT(play.Lit(480, 0, 640, 480), 160 * 480 / 2);

  const Shot lifeLost = RunTo(480, "3-life-lost");
  EXPECT_EQ(lifeLost.Lit(0, 0, 640, 50), 0);
  EXPECT_GT(lifeLost.Lit(150, 55, 490, 90), 300) << "\"You have lost a life\"";
  EXPECT_EQ(lifeLost.Lit(0, 160, 640, 430), 0) << "nothing of the playfield is left";

  // Tab: dark bars at both sides of a centred 480-pixel playfield.
  const Shot noPanel = RunTo(640, "4-no-panel");
  EXPECT_GT(noPanel.Dark(0, 0, 80, 480), 80 * 480 * 9 / 10);
  EXPECT_GT(noPanel.Dark(560, 0, 640, 480), 80 * 480 * 9 / 10);
  EXPECT_LT(play.Dark(480, 0, 640, 480), 160 * 480 * 9 / 10) << "the panel itself is not a dark bar";
  EXPECT_GT(noPanel.Lit(80, 0, 560, 480), 480 * 480 / 2);
  // Tab again: the panel is back.
  const Shot panelAgain = RunTo(690, "5-panel-again");
  EXPECT_GT(panelAgain.Lit(0, 0, 80, 480), 80 * 480 * 9 / 10);
  EXPECT_GT(panelAgain.Lit(480, 0, 640, 480), 160 * 480 / 2);

  // The transporter journey: the iris covers the edges of the playfield.
  int irisFrames = 0;
  for (int f = 900; f <= 980; f += 20) {
    const Shot s = RunTo(f, "6-journey-" + std::to_string(f));
    if (Saturated(s, 0, 0, 480, 40) > 480 * 40 / 2) ++irisFrames;
    EXPECT_GT(s.Lit(480, 0, 640, 480), 160 * 480 / 2) << "the panel stays during the journey, frame " << f;
  }
  EXPECT_GT(irisFrames, 0) << "no screenshot shows the iris";

  // Level 2: the diamond three cells right of the player (figure at 208, 208).
  const Shot level2 = RunTo(1100, "7-level2");
  EXPECT_EQ(Saturated(level2, 0, 0, 480, 40), 0) << "the iris has opened";
  int diamond = 0;
  for (int y = 208; y < 272; ++y)
    for (int x = 400; x < 464; ++x) {
      const uint32_t c = level2.At(x, y);
      diamond += (c & 255) > 200 && (c >> 16) < 170;
    }
  EXPECT_GT(diamond, 600) << "no diamond where level 2 has one";
}

}  // namespace
}  // namespace gravik::e2e

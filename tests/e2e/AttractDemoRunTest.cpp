// The built-in demo as a player meets it: left idle on the main menu, the game
// plays its demonstration, then comes back to the menu.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "data/Archive.h"
#include "data/Demo.h"
#include "e2e/Run.h"
#include "e2e/Shot.h"

namespace gravik::e2e {
namespace {

// The name entry of a first start, then the help the logo walk leads to,
// then the menu, left alone.
const char kScript[] =
    "120 text Ada\n"
    "140 key tap Enter\n"
    "400 key tap Escape\n"
    "440 shot menu.png\n"
    "2300 shot card.png\n"
    "2900 shot caption.png\n";

TEST(AttractDemoRun, AnIdleMenuPlaysTheBuiltInDemoToItsEndAndComesBack) {
  const std::string exe = GamePath();
  if (exe.empty()) GTEST_SKIP() << "this build has no game program";
  // The built-in demo's length, for the run's frame count and the record.
  Archive archive({std::string(GRAVIK_BINARY_DIR) + "/"});
  archive.OpenArchive();
  const std::vector<uint8_t> item = archive.TakeItem("demo2.dem");
  DemoFile demo;
  std::string error;
  ASSERT_TRUE(ReadDemo(item, demo, error)) << error;
  std::printf("[ demo     ] %u events\n", demo.Count);

  testing::TempHome home;
  std::string script = kScript;
  // After the demo (title card, its moves, the journey at its end): the menu.
  for (int f = 3000; f <= 7600; f += 100) script += std::to_string(f) + " shot after-" + std::to_string(f) + ".png\n";
  std::ofstream(home.Path() + "/script.txt") << script;
  const RunResult r = RunGame(exe, {"--headless", "-nosound", "-nomusic", "--frames", "7610", "--input", "script.txt"},
                              home.Path(), 120000, home.Path());
  ASSERT_EQ(r.status, 0) << r.output;

  Shot menu, card, caption;
  ASSERT_TRUE(ReadShot(home.Path() + "/menu.png", menu));
  ASSERT_TRUE(ReadShot(home.Path() + "/card.png", card));
  ASSERT_TRUE(ReadShot(home.Path() + "/caption.png", caption));
  const int menuTitle = menu.Lit(20, 6, 620, 130);
  EXPECT_GT(menuTitle, 10000) << "the main menu's title picture";
  EXPECT_GT(menu.Dark(0, 420, 260, 450), 260 * 30 * 9 / 10) << "the menu's footer strip";
  EXPECT_GT(card.Lit(260, 180, 380, 215), 200) << "\"DEMO\"";
  EXPECT_EQ(card.Lit(0, 0, 640, 170), 0) << "the card is black above its word";
  // The caption box: light yellow (255, 255, 224) around the text at (50, 50).
  int yellow = 0;
  for (int y = 50; y < 80; ++y)
    for (int x = 50; x < 400; ++x) {
      const uint32_t c = caption.At(x, y);
      if ((c >> 16) > 240 && ((c >> 8) & 255) > 240 && (c & 255) > 200 && (c & 255) < 240) ++yellow;
    }
  EXPECT_GT(yellow, 100) << "a caption is shown during the demo";
  // Some frame after the demo shows the main menu again.
  bool back = false;
  for (int f = 3000; f <= 7600 && !back; f += 100) {
    Shot s;
    ASSERT_TRUE(ReadShot(home.Path() + "/after-" + std::to_string(f) + ".png", s));
    // The menu stands still: its backdrop and captions as first shown.
    int differ = 0;
    for (int y = 140; y < 420; ++y)
      for (int x = 0; x < 640; ++x) differ += s.At(x, y) != menu.At(x, y);
    back = differ < 640 * 280 / 50;
    // Idle from frame 400: the demo's card at 2200, its play from about 2440.
    if (back) std::printf("[ demo     ] back on the menu by frame %d: about %.0f s of demo play\n", f, (f - 2440) / 60.0);
  }
  EXPECT_TRUE(back) << "the main menu returns after the demo";
}

}  // namespace
}  // namespace gravik::e2e

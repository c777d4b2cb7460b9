// The game's own screens around play, pictured by the real program on a
// purpose-made scenario: the map view, the restart question, the status
// screen, the puzzle view, "You have lost a life", game over and the
// completion screen, reached with keys and mouse clicks from a script.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "data/Scenario.h"
#include "e2e/Run.h"
#include "e2e/Shot.h"
#include "frame/PlayScenario.h"
#include "gfx/Bmp.h"

namespace gravik::e2e {
namespace {

// One diamond next to the player: taking it completes the scenario. The
// puzzle has no pieces on the level, so all 40 count as collected.
const std::vector<playtest::LevelText> kFinale = {
    playtest::Level(1,
                    {"########",   //
                     "#P*....#",   //
                     "#......#",   //
                     "########"}),
};

// A 640 x 256 puzzle picture of coloured bands.
std::vector<uint8_t> PuzzlePicture() {
  Bitmap b(640, 256);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 640; ++x) b.SetPixel(x, y, Rgb565(uint8_t(x * 255 / 639), uint8_t(y), uint8_t(255 - y)));
  return SaveBmp24(b);
}

std::vector<uint8_t> FinaleFile() {
  const BlockCatalogue catalogue = playtest::CatalogueFromArchive(GRAVIK_BINARY_DIR);
  std::vector<uint8_t> bytes = playtest::BuildScenarioFile(kFinale, catalogue, "Finale");
  auto s = std::make_unique<Scenario>();
  if (LoadScenario(*s, bytes) != ScenarioLoaded) throw std::runtime_error("the test scenario does not load");
  s->Info.Name.Assign("Finale");  // the round trip keeps only what the loader reads
  s->Info.Author.Assign("gameplay tests");
  s->Info.Identity = ScenarioIdentity{42.0, 4242.0};
  s->Info.CheckWord = 0x1234;
  s->Extras.PuzzleColumns = 10;
  s->Extras.PuzzleRows = 4;
  s->Extras.PuzzlePieces = 40;
  s->PuzzlePicture = PuzzlePicture();
  return WriteScenario(*s);
}

// Pixels whose blue clearly exceeds red and green (the puzzle's bands and the
// blue behind pieces).
int Bluish(const Shot& s, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const uint32_t c = s.At(x, y);
      n += int(c & 255) > int(c >> 16) + 40 && int(c & 255) > int(c >> 8 & 255) + 40;
    }
  return n;
}

// Orange (255, 128, 0) as RGB565 comes back.
bool Orange(uint32_t c) { return (c >> 16) > 240 && (c >> 8 & 255) > 110 && (c >> 8 & 255) < 140 && (c & 255) < 16; }

class GameScreensRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = GamePath();
    if (exe_.empty()) GTEST_SKIP() << "this build has no game program";
    scenario_ = home_.Path() + "/finale.zq";
    playtest::WriteFile(scenario_, FinaleFile());
  }

  // Runs the script; every "shot NAME" of it is written into the home folder.
  void Run(std::string script, int frames) {
    for (size_t at = script.find("shot "); at != std::string::npos; at = script.find("shot ", at))
      script.insert(at + 5, home_.Path() + "/"), at += 5;
    const std::string file = home_.Path() + "/script.txt";
    std::ofstream(file) << script;
    const RunResult r = RunGame(exe_,
                                {"--headless", "-nosound", "-nomusic", "--frames", std::to_string(frames), "--seed",
                                 "3", "--input", file, "--play", scenario_},
                                home_.Path());
    ASSERT_EQ(r.status, 0) << r.output;
  }
  Shot Read(const std::string& name) {
    Shot s;
    EXPECT_TRUE(ReadShot(home_.Path() + "/" + name, s)) << name;
    if (const char* keep = std::getenv("GRAVIK_KEEP_SHOTS")) {
      std::filesystem::create_directories(keep);
      std::filesystem::copy_file(home_.Path() + "/" + name, std::string(keep) + "/" + name,
                                 std::filesystem::copy_options::overwrite_existing);
    }
    return s;
  }

  std::string exe_, scenario_;
  testing::TempHome home_;
};

// Play begins about 4.5 s (270 frames) in; 60 frames a second.
TEST_F(GameScreensRunTest, ScreensOverPlayAndTheirButtons) {
  Run("300 mouse move 630 470\n"             // the pointer out of the way
      "330 key tap M\n"                       // the map from play
      "360 shot map.png\n"
      "400 mouse move 570 452\n"
      "401 mouse down 570 452\n"
      "402 mouse up 570 452\n"               // its OK: back to play
      "420 shot back-in-play.png\n"
      "440 key down Shift\n"
      "441 key tap R\n"
      "442 key up Shift\n"                   // Shift+R
      "460 shot restart.png\n"
      "470 key tap Escape\n"                 // resume
      "560 key tap F2\n"
      "600 shot status.png\n"
      "610 mouse move 470 258\n"
      "611 mouse down 470 258\n"
      "612 mouse up 470 258\n"               // the puzzle's "View"
      "640 shot puzzle.png\n"
      "650 mouse move 325 458\n"
      "651 mouse down 325 458\n"
      "652 mouse up 325 458\n"               // OK: the status screen again
      "670 shot status-again.png\n"
      "700 key tap Enter\n"                  // back to play
      "850 key tap Escape\n"                 // gives up a life
      "960 shot life-lost.png\n"
      "970 mouse move 200 132\n"
      "971 mouse down 200 132\n"
      "972 mouse up 200 132\n"               // "Quit scenario"
      "980 mouse move 630 470\n"
      "1000 shot game-over.png\n",
      1010);

  const Shot map = Read("map.png");
  EXPECT_GT(map.Lit(512, 0, 640, 440), 128 * 440 / 2) << "the map panel";
  EXPECT_GT(map.Lit(557, 445, 600, 470), 30) << "OK at (557, 445)";
  const Shot play = Read("back-in-play.png");
  EXPECT_GT(play.Lit(0, 0, 80, 480), 80 * 480 * 9 / 10) << "OK on the map returned to play";

  const Shot restart = Read("restart.png");
  EXPECT_GT(restart.Lit(200, 185, 440, 215), 200) << "\"Restart scenario?\"";
  EXPECT_GT(restart.Lit(210, 228, 480, 255), 200) << "its two buttons";
  EXPECT_EQ(restart.Lit(0, 0, 640, 170), 0);

  const Shot status = Read("status.png");
  EXPECT_GT(status.Lit(140, 8, 500, 34), 500) << "the title";
  EXPECT_GT(status.Lit(100, 40, 560, 400), 5000) << "the label and value lines";
  EXPECT_GT(status.Lit(60, 425, 600, 455), 800) << "the row of buttons";
  EXPECT_GT(status.Lit(440, 110, 500, 140), 50) << "\"View\" beside the map line";
  EXPECT_GT(status.Lit(440, 255, 500, 285), 50) << "\"View\" beside the puzzle line";

  // All 40 pieces at 32 pixels: a 320 x 128 grid centred on (320, 225).
  const Shot puzzle = Read("puzzle.png");
  EXPECT_GT(Bluish(puzzle, 160, 161, 480, 289), 320 * 128 / 4) << "the collected pieces";
  EXPECT_TRUE(Orange(puzzle.At(156, 200)) && Orange(puzzle.At(483, 200))) << "the frame 4 pixels outside";
  EXPECT_TRUE(Orange(puzzle.At(300, 157)) && Orange(puzzle.At(300, 292)));
  EXPECT_EQ(puzzle.Lit(0, 0, 640, 150), 0);
  EXPECT_GT(puzzle.Lit(10, 455, 260, 475), 300) << "\"40/40 pieces (100%) collected.\"";
  EXPECT_EQ(Read("status-again.png").Lit(140, 8, 500, 34), status.Lit(140, 8, 500, 34));

  const Shot lifeLost = Read("life-lost.png");
  EXPECT_GT(lifeLost.Lit(150, 55, 490, 90), 300) << "\"You have lost a life\"";
  EXPECT_GT(lifeLost.Lit(150, 120, 490, 155), 300) << "its buttons";
  EXPECT_EQ(lifeLost.Lit(0, 160, 640, 430), 0);

  const Shot over = Read("game-over.png");
  EXPECT_GT(over.Lit(200, 145, 440, 185), 500) << "\"GAME OVER\"";
  EXPECT_GT(over.Lit(150, 190, 490, 250), 500) << "score and time";
  EXPECT_GT(over.Lit(150, 265, 490, 325), 500) << "the best results";
  EXPECT_GT(over.Lit(290, 355, 350, 385), 30) << "OK";
  EXPECT_EQ(over.Lit(0, 0, 640, 140), 0);
}

TEST_F(GameScreensRunTest, CompletionScrollsItsPictureAndOkWaitsThreeSeconds) {
  // The diamond is taken at about frame 300; the screen opens a frame or so later.
  Run("290 mouse move 630 470\n"
      "295 key down Right\n"
      "310 key up Right\n"
      "330 shot complete-1.png\n"
      "340 mouse move 325 460\n"
      "341 mouse down 325 460\n"
      "342 mouse up 325 460\n"               // too early: nothing
      "400 shot complete-2.png\n"
      "900 shot complete-3.png\n"
      "910 mouse down 325 460\n"
      "911 mouse up 325 460\n"               // after 3 s: the main menu
      "940 shot after.png\n",
      950);
  const Shot first = Read("complete-1.png");
  EXPECT_GT(first.Lit(64, 0, 576, 60), 1500) << "\"CONGRATULATIONS!\" at the top";
  EXPECT_EQ(first.Lit(0, 0, 64, 450), 0) << "nothing left of the window";
  EXPECT_EQ(first.Lit(576, 0, 640, 450), 0) << "nothing right of the window";
  EXPECT_GT(first.Lit(80, 455, 200, 480), 200) << "\"SCORE:\" and the score";
  const Shot second = Read("complete-2.png");
  EXPECT_GT(second.Lit(80, 455, 200, 480), 200) << "OK within 3 s did nothing";
  // 70 frames later the picture has moved up by about 23 pixels (0.02 px/ms).
  int best = -1, bestDiff = 1 << 30;
  for (int d = 0; d < 60; ++d) {
    int diff = 0;
    for (int y = 0; y < 380; y += 2)
      for (int x = 64; x < 576; x += 2) diff += first.At(x, y + d) != second.At(x, y);
    if (diff < bestDiff) bestDiff = diff, best = d;
  }
  EXPECT_NEAR(best, 23, 2) << "scrolled rows";
  // After 10 s the puzzle (bluish bands) is in the window.
  const Shot third = Read("complete-3.png"), after = Read("after.png");
  EXPECT_GT(Bluish(third, 64, 0, 576, 450), 10000);
  int same = 0;
  for (int y = 455; y < 480; ++y)
    for (int x = 80; x < 200; ++x) same += third.At(x, y) == after.At(x, y);
  EXPECT_LT(same, 120 * 25) << "OK after 3 s left the completion screen";
}

}  // namespace
}  // namespace gravik::e2e

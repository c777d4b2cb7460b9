// F12 in a headless run: each press saves the frame on the screen as the next
// free "gravik-NNNN.png" of Documents/Screenshots, and the file's name is shown
// over whatever screen is up.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "e2e/Run.h"
#include "e2e/Shot.h"

namespace gravik::e2e {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

TEST(ScreenshotKeyTest, TwoPressesSaveTheShownFramesUnderFreeNumbersAndNameThem) {
  const std::string exe = GamePath();
  if (exe.empty()) GTEST_SKIP() << "this build has no game program";
  testing::TempHome home;
  const std::string shots = home.Path() + "/Documents/Vantorix/Gravik 2/Linux Edition/Screenshots/";
  // A file of an earlier session holds number 2: it is neither replaced nor reused.
  std::filesystem::create_directories(shots);
  std::ofstream(shots + "gravik-0002.png") << "an earlier picture";

  // A key handled at frame N saves what frame N - 1 presented. Frames 40 to
  // about 290 show the scenario's title card (not play), frame 380 play.
  const std::string script =
      "59 shot " + home.Path() + "/card.png\n"
      "60 key down F12\n61 key up F12\n"
      "100 shot " + home.Path() + "/notice.png\n"
      "200 shot " + home.Path() + "/after.png\n"
      "379 shot " + home.Path() + "/play.png\n"
      "380 key down F12\n381 key up F12\n";
  std::ofstream(home.Path() + "/script.txt") << script;
  const RunResult r = RunGame(exe,
                              {"--headless", "-nosound", "-nomusic", "--play", "--seed", "3", "--frames", "400",
                               "--input", home.Path() + "/script.txt"},
                              home.Path());
  ASSERT_EQ(r.status, 0) << r.output;

  Shot card, play, first, second, notice, after;
  ASSERT_TRUE(ReadShot(home.Path() + "/card.png", card));
  ASSERT_TRUE(ReadShot(home.Path() + "/play.png", play));
  ASSERT_TRUE(ReadShot(shots + "gravik-0001.png", first)) << "a PNG the game's reader takes";
  ASSERT_TRUE(ReadShot(shots + "gravik-0003.png", second));
  EXPECT_EQ(first.Width, 640);
  EXPECT_EQ(first.Height, 480);
  EXPECT_EQ(first.Rgb, card.Rgb) << "the first press saved the title card as shown";
  EXPECT_EQ(second.Rgb, play.Rgb) << "the second saved the frame of play as shown";
  EXPECT_NE(first.Rgb, second.Rgb);
  EXPECT_EQ(ReadAll(shots + "gravik-0002.png"), "an earlier picture");
  EXPECT_FALSE(std::filesystem::exists(shots + "gravik-0004.png"));
  for (const auto& e : std::filesystem::directory_iterator(shots))
    EXPECT_EQ(e.path().filename().string().rfind("gravik-", 0), 0u) << "no temporary file left: " << e.path();

  // The notice with the name is drawn over the title card, which is black above
  // its text, and is gone again after its two seconds.
  ASSERT_TRUE(ReadShot(home.Path() + "/notice.png", notice));
  ASSERT_TRUE(ReadShot(home.Path() + "/after.png", after));
  EXPECT_EQ(card.Lit(0, 0, 640, 20), 0);
  EXPECT_GT(notice.Lit(0, 0, 640, 20), 100) << "Screenshot gravik-0001.png";
  EXPECT_EQ(after.Lit(0, 0, 640, 20), 0);
}

}  // namespace
}  // namespace gravik::e2e

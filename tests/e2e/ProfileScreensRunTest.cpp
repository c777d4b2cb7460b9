// The options, profiles, name entry, logo walk and profile deletion screens in
// one headless run of the real program, reached from the main menu after a
// game given up; each screen's shot is checked by its pixels.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "e2e/Run.h"
#include "e2e/Shot.h"

namespace gravik::e2e {
namespace {

// A click at (x, y) from frame n on: the pointer moves there, then the button.
std::string Click(int n, int x, int y) {
  const std::string at = " " + std::to_string(x) + " " + std::to_string(y) + "\n";
  return std::to_string(n) + " mouse move" + at + std::to_string(n + 2) + " mouse down" + at +
         std::to_string(n + 3) + " mouse up" + at;
}

// Three lives given up, game over, the main menu, then the options (the menu's
// second item; "O" on the plain menu). A key binding is changed, a profile
// "Bobby" is made through the profiles screen, the logo walk leads to help;
// back in the profiles screen, "Player" is deleted.
std::string Script() {
  const std::string toOptions = " key tap O\n";
  return "400 key tap Escape\n490 key tap Enter\n640 key tap Escape\n730 key tap Enter\n"
         "880 key tap Escape\n1010 key tap Enter\n" +
         ("1060" + toOptions) + Click(1061, 320, 245) +
         Click(1100, 195, 331) + "1104 key tap N\n1105 mouse move 20 20\n1110 shot options.png\n" +  // "Up:"
         Click(1120, 360, 458) + "1140 shot profiles.png\n" +                                        // Profiles
         Click(1150, 110, 238) + "1170 text Bobby\n1230 shot name.png\n" +                          // Create
         Click(1231, 215, 378) + "1340 shot logo.png\n" +                                           // OK
         "1500 key tap Escape\n" + ("1540" + toOptions) + Click(1541, 320, 245) +                      // help, menu
         Click(1560, 360, 458) + Click(1580, 300, 182) + Click(1590, 110, 298) +                       // Player, Delete
         "1610 shot confirm.png\n" + Click(1620, 235, 238) + "1650 shot after.png\n";                // Yes
}

// Pixels of a colour close to the list frame's and the highlight's orange.
int Orange(const Shot& s, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const uint32_t c = s.At(x, y);
      n += (c >> 16) > 200 && (c >> 8 & 255) > 90 && (c >> 8 & 255) < 160 && (c & 255) < 60;
    }
  return n;
}

TEST(ProfileScreensRun, OptionsProfilesNameEntryLogoWalkAndDeletion) {
  const std::string exe = GamePath();
  if (exe.empty()) GTEST_SKIP() << "this build has no game program";
  testing::TempHome home;
  const std::string run = home.Path() + "/run";
  std::filesystem::create_directories(run);
  std::ofstream(home.Path() + "/script.txt") << Script();
  const RunResult r = RunGame(exe,
                              {"--headless", "-nosound", "-nomusic", "--play", "--seed", "3", "--frames", "1660",
                               "--input", home.Path() + "/script.txt"},
                              home.Path(), 120000, run);
  ASSERT_EQ(r.status, 0) << r.output;

  Shot options, profiles, name, logo, confirm, after;
  ASSERT_TRUE(ReadShot(run + "/options.png", options)) << r.output;
  ASSERT_TRUE(ReadShot(run + "/profiles.png", profiles));
  ASSERT_TRUE(ReadShot(run + "/name.png", name));
  ASSERT_TRUE(ReadShot(run + "/logo.png", logo));
  ASSERT_TRUE(ReadShot(run + "/confirm.png", confirm));
  ASSERT_TRUE(ReadShot(run + "/after.png", after));

  // Options: the title, the bindings, the buttons; "Disabled"
  // beside the sliders of a silent run, whose tracks are not drawn.
  EXPECT_GT(options.Lit(250, 60, 390, 90), 300) << "OPTIONS";
  EXPECT_EQ(options.Lit(200, 199, 410, 224), 0) << "no music track";
  EXPECT_GT(options.Lit(430, 199, 530, 224), 150) << "Disabled";
  EXPECT_GT(options.Lit(190, 318, 205, 338), 20) << "the new binding N";
  EXPECT_EQ(options.Lit(210, 318, 290, 338), 0) << "no longer \"Up arrow\"";
  EXPECT_GT(options.Lit(40, 450, 290, 475), 300) << "Return to main menu";
  EXPECT_GT(options.Lit(330, 430, 500, 475), 300) << "hint and Profiles";

  // Profiles: the list with its one row, the current player marked.
  EXPECT_GT(Orange(profiles, 258, 168, 542, 396), 900) << "the list frame";
  EXPECT_GT(profiles.Lit(262, 173, 400, 191), 60) << "Player";
  EXPECT_EQ(profiles.Lit(262, 194, 530, 390), 0) << "one row only";

  // Name entry from the profiles screen: buttons, the typed name, no logo.
  EXPECT_GT(name.Lit(250, 320, 390, 345), 200) << "Bobby";
  EXPECT_GT(name.Lit(195, 370, 480, 395), 200) << "OK and CANCEL";
  EXPECT_EQ(name.Lit(0, 430, 640, 480), 0) << "no logo with buttons";
  EXPECT_GT(name.Lit(0, 150, 640, 225), 300) << "the figure walking in";

  // Logo walk: the figure and the rising logo, nothing else.
  EXPECT_GT(logo.Lit(0, 150, 640, 225), 300) << "the figure";
  EXPECT_GT(logo.Lit(0, 440, 640, 480), 1000) << "the logo";
  EXPECT_EQ(logo.Lit(0, 230, 640, 430), 0);

  // Deletion of Player, then the list holds Bobby only.
  EXPECT_GT(confirm.Lit(190, 190, 450, 215), 400) << "the prompt";
  EXPECT_GT(after.Lit(262, 173, 400, 191), 60) << "Bobby";
  EXPECT_EQ(after.Lit(262, 194, 530, 390), 0);
  const std::string profilesFolder = home.Path() + "/Documents/Vantorix/Gravik 2/Linux Edition/Profiles/";
  EXPECT_TRUE(std::filesystem::exists(profilesFolder + "Bobby.zqp"));
  EXPECT_FALSE(std::filesystem::exists(profilesFolder + "Player.zqp"));
}

}  // namespace
}  // namespace gravik::e2e

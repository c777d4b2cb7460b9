// A first start with a pad and no keyboard: the name is typed on the
// on-screen keyboard, Start finishes it and, after the logo walk, leaves the
// help for the main menu; no key or mouse event in the whole run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "data/Profile.h"
#include "data/Settings.h"
#include "e2e/Run.h"
#include "e2e/Shot.h"
#include "platform/Folders.h"
#include "platform/SettingsStore.h"
#include "support/TempHome.h"

namespace gravik::e2e {
namespace {

// The pad let go, then one press or push a line, each let go two frames
// later. The first touch brings the keyboard up; then A types the highlighted
// "A", down gives "N", A types "n", right and A "o", B deletes it, left and A
// "n" again: "Ann".
std::string Script() {
  const char* presses[] = {"32768 32768 1", "32768 32768 1",   "32768 65535 0", "32768 32768 1",
                           "65535 32768 0", "32768 32768 1",   "32768 32768 2", "0 32768 0",
                           "32768 32768 1"};
  std::string s = "100 joystick 32768 32768 0\n";
  int frame = 120;
  for (const char* p : presses) {
    s += std::to_string(frame) + " joystick " + p + "\n" + std::to_string(frame + 2) + " joystick 32768 32768 0\n";
    frame += 6;
  }
  return s + "180 shot keyboard.png\n"
             "190 joystick 32768 32768 16\n192 joystick 32768 32768 0\n"  // Start: done
             "420 shot help.png\n"
             "430 joystick 32768 32768 16\n432 joystick 32768 32768 0\n"  // Start: OK
             "470 shot menu.png\n";
}

TEST(PadNameEntryRun, TheFirstProfileIsMadeWithThePadAloneAndTheMainMenuFollows) {
  const std::string exe = GamePath();
  if (exe.empty()) GTEST_SKIP() << "this build has no game program";
  testing::TempHome home;
  std::ofstream(home.Path() + "/script.txt") << Script();
  const RunResult r = RunGame(exe, {"--headless", "-nosound", "-nomusic", "--frames", "480", "--input", "script.txt"},
                              home.Path(), 60000, home.Path());
  ASSERT_EQ(r.status, 0) << r.output;

  Shot keyboard, help, menu;
  ASSERT_TRUE(ReadShot(home.Path() + "/keyboard.png", keyboard)) << r.output;
  ASSERT_TRUE(ReadShot(home.Path() + "/help.png", help));
  ASSERT_TRUE(ReadShot(home.Path() + "/menu.png", menu));
  // The keyboard below the name, "N" (second row, first key) filled in dark
  // orange, "A" beside it not.
  auto orange = [&keyboard](int row) {
    int n = 0;
    for (int y = 362 + row * 27; y < 386 + row * 27; ++y)
      for (int x = 34; x < 74; ++x) {
        const uint32_t c = keyboard.At(x, y);
        n += (c >> 16) > 170 && (c >> 8 & 255) > 60 && (c >> 8 & 255) < 120 && (c & 255) < 40;
      }
    return n;
  };
  EXPECT_GT(orange(1), 500) << "the highlighted key";
  EXPECT_EQ(orange(0), 0);
  EXPECT_GT(keyboard.Lit(34, 362, 606, 470), 5000) << "the keys";
  EXPECT_GT(help.Lit(440, 440, 520, 475), 100) << "the help's OK button";
  EXPECT_GT(menu.Lit(20, 6, 620, 130), 10000) << "the main menu's title picture";

  const Folders folders;
  const std::string profiles = DocumentsFolder(folders) + "Profiles/";
  EXPECT_TRUE(std::filesystem::exists(profiles + "Ann.zqp")) << "the profile file named as typed";
  ProfileState p;
  p.Folder = profiles;
  BuildProfileList(p);
  ASSERT_EQ(p.List.size(), 1u);
  EXPECT_EQ(p.List[0].PlayerName, "Ann");
  p.CurrentName = p.List[0].PlayerName;
  p.CurrentFile = p.List[0].FileName;
  ASSERT_TRUE(LoadProfile(p));
  EXPECT_EQ(p.Record->JoystickEnabled, 1) << "a profile made with the pad plays with it";
  FileSettingsStore store(folders.SettingsStoreFile());
  EXPECT_EQ(ReadRegistrySettings(store).LastPlayer, "Ann");
  unsetenv("GRAVIK_HOME");
}

}  // namespace
}  // namespace gravik::e2e

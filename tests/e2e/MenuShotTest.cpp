// The menus of the real program, pictured headless: the main menu, the exit
// confirmation and the four help pages, reached with the mouse and keys.
#include <gtest/gtest.h>

#include <fstream>

#include "e2e/Run.h"
#include "e2e/Shot.h"

namespace gravik::e2e {
namespace {

class MenuShotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = GamePath();
    if (exe_.empty()) GTEST_SKIP() << "this build has no game program";
  }
  Shot Load(const std::string& name) {
    Shot s;
    EXPECT_TRUE(ReadShot(home_.Path() + "/" + name, s)) << name;
    EXPECT_EQ(s.Width, 640);
    return s;
  }
  // Pixels whose red is well above their blue: the orange captions and buttons.
  static int Orange(const Shot& s, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        const uint32_t c = s.At(x, y);
        n += (c >> 16) > 180 && (c & 255) < 90;
      }
    return n;
  }
  static int Differing(const Shot& a, const Shot& b) {
    int n = 0;
    for (int y = 0; y < 440; ++y)
      for (int x = 0; x < 640; ++x) n += a.At(x, y) != b.At(x, y);
    return n;
  }
  std::string exe_;
  testing::TempHome home_;
};

TEST_F(MenuShotTest, MainMenuExitConfirmationAndHelpPages) {
  // A first run that plays makes the player "Player", whom the next run remembers.
  const RunResult first = RunGame(exe_, {"--headless", "-nosound", "-nomusic", "--play", "--frames", "60"}, home_.Path());
  ASSERT_EQ(first.status, 0) << first.output;
  const std::string script = home_.Path() + "/menus.txt";
  std::ofstream(script) << "100 shot menu.png\n"
                           "110 key down Escape\n111 key up Escape\n"
                           "130 shot exit.png\n"
                           "140 mouse move 385 236\n141 mouse down 385 236\n142 mouse up 385 236\n"
                           "160 mouse move 320 300\n161 mouse down 320 300\n162 mouse up 320 300\n"
                           "180 shot help1.png\n"
                           "190 mouse move 260 456\n191 mouse down 260 456\n192 mouse up 260 456\n"
                           "200 shot help2.png\n"
                           "210 mouse down 260 456\n211 mouse up 260 456\n"
                           "220 shot help3.png\n"
                           "230 mouse down 260 456\n231 mouse up 260 456\n"
                           "240 shot help4.png\n"
                           "250 mouse move 460 456\n251 mouse down 460 456\n252 mouse up 460 456\n"
                           "270 shot back.png\n";
  const RunResult r = RunGame(exe_, {"--headless", "-nosound", "-nomusic", "--frames", "280", "--input", script},
                              home_.Path(), 60000, home_.Path());
  ASSERT_EQ(r.status, 0) << r.output;

  const Shot menu = Load("menu.png");
  EXPECT_GT(menu.Lit(40, 20, 600, 120), 20000) << "the title";
  EXPECT_GT(menu.Lit(10, 140, 629, 412), 100000) << "the backdrop";
  EXPECT_GT(Orange(menu, 180, 180, 460, 380), 4000) << "the four items";
  EXPECT_GT(menu.Lit(22, 455, 150, 470), 100) << "the player's name";
  EXPECT_GT(menu.Lit(277, 423, 565, 455), 3000) << "the footer's pictures";
  EXPECT_GT(menu.Lit(277, 458, 565, 474), 50) << "the footer's totals";

  const Shot exit = Load("exit.png");
  EXPECT_GT(exit.Lit(40, 20, 600, 120), 20000);
  EXPECT_GT(Orange(exit, 215, 228, 270, 252), 100) << "Yes";
  EXPECT_GT(Orange(exit, 375, 228, 420, 252), 100) << "No";
  EXPECT_LT(Orange(exit, 240, 280, 400, 380), 200) << "no menu items";

  const Shot help[4] = {Load("help1.png"), Load("help2.png"), Load("help3.png"), Load("help4.png")};
  for (int i = 0; i < 4; ++i) {
    EXPECT_GT(Orange(help[i], 100, 450, 500, 472), 300) << "the buttons of page " << i + 1;
    for (int j = i + 1; j < 4; ++j) EXPECT_GT(Differing(help[i], help[j]), 10000) << i + 1 << " and " << j + 1;
  }
  EXPECT_GT(help[0].Lit(12, 14, 80, 82), 1500) << "the first cast picture";
  EXPECT_GT(help[2].Lit(120, 110, 180, 150), 800) << "the first key picture";
  EXPECT_GT(help[3].Lit(40, 20, 600, 120), 20000) << "the title on the credits page";
  EXPECT_GT(help[3].Lit(110, 192, 530, 440), 2000) << "the credits";

  const Shot back = Load("back.png");
  EXPECT_LT(Differing(back, menu), 2000) << "OK returns to the main menu";
}

}  // namespace
}  // namespace gravik

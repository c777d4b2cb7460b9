// The main menu, the exit confirmation, help and the dated credits screen,
// run on the headless platform after the real start-up with the built data.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "audio/Audio.h"
#include "data/Profile.h"
#include "frame/Form.h"
#include "frame/PlayerData.h"
#include "app/Program.h"
#include "platform/headless/HeadlessPlatform.h"
#include "support/GameHarness.h"
#include "screens/Help.h"
#include "screens/MainMenu.h"
#include "screens/ScreenMemory.h"

namespace gravik {
namespace {

using testing::GameHarness;

class MenuScreensTest : public ::testing::Test {
 protected:
  void SetUp() override { GRAVIK_REQUIRE_DATA_FILES(); }
  void TearDown() override { run_.reset(); }
  // One run of the game in the test's home, started up for real.
  GameHarness& Start(bool music = false, CalendarDate today = {2025, 3, 4}) {
    GameOptions o = GameHarness::Audible();
    o.noSound = !music;
    o.noMusic = !music;
    o.today = today;
    run_ = std::make_unique<GameHarness>(o);
    EXPECT_EQ(run_->Start(), 0);
    return *run_;
  }
  // A run with the player "Player" current, on the main menu.
  GameHarness& StartOnMenu(bool music = false, CalendarDate today = {2025, 3, 4}) {
    GameHarness& r = Start(music, today);
    EnsurePlayerProfile(r.game_);
    r.Open(gsMainMenu);
    return r;
  }
  testing::TempHome home_;
  std::unique_ptr<GameHarness> run_;
};

// Centre of main-menu item n.
int ItemY(int n) { return 180 + 50 * (n - 1) + 20; }

TEST_F(MenuScreensTest, FirstScreenIsTheNameEntryWithoutAPlayerAndTheMenuWithOne) {
  GameHarness& first = Start();
  first.Frame();  // gsShowWindow
  first.Frame();  // gsEnterMenus
  EXPECT_EQ(first.State(), gsNewProfile);
  EnsurePlayerProfile(first.game_);
  run_.reset();
  GameHarness& second = Start();  // "Player" is remembered now
  second.Frame();
  second.Frame();
  EXPECT_EQ(second.State(), gsMainMenu);
}

TEST_F(MenuScreensTest, MenuItemsLeadToTheirScreens) {
  GameHarness& r = StartOnMenu();
  ASSERT_EQ(r.State(), gsMainMenu);
  EXPECT_EQ(r.game_.widgets.ImageButtonCount, 5);  // the game's four and the editor
  r.Click(320, ItemY(2));
  r.Frame();
  EXPECT_EQ(r.State(), gsOptions);
  EXPECT_EQ(r.game_.values.OptionsReturnState, gsMainMenu);
  r.Open(gsMainMenu);
  r.Click(320, ItemY(3));
  r.Frame();
  EXPECT_EQ(r.State(), gsHelp);
  r.Open(gsMainMenu);
  r.Click(320, ItemY(4));
  r.Frame();
  EXPECT_EQ(r.State(), gsEditor);
  r.Open(gsMainMenu);
  r.Click(320, ItemY(5));
  r.Frame();
  EXPECT_EQ(r.State(), gsConfirmExit);
  r.Open(gsMainMenu);
  r.Click(100, ItemY(1));  // beside the item: nothing
  r.Frame();
  EXPECT_EQ(r.State(), gsMainMenu);
  r.Click(320, ItemY(1));
  r.Frame();
  EXPECT_EQ(r.State(), gsPrepareScenario);
  EXPECT_TRUE(r.game_.values.NewGameStarted);
}

TEST_F(MenuScreensTest, MenuKeysAndTheDatedScreenOnlyOnItsDay) {
  GameHarness& r = StartOnMenu();
  r.Tap(vk::F1);
  EXPECT_EQ(r.State(), gsHelp);
  r.Open(gsMainMenu);
  r.Tap('4', 0, kShiftBit);  // not the day
  EXPECT_EQ(r.State(), gsMainMenu);
  r.Tap(vk::Escape, 0, kShiftBit);
  EXPECT_EQ(r.State(), gsMainMenu);
  r.Tap(vk::Escape);
  EXPECT_EQ(r.State(), gsConfirmExit);
  // Reached some other way on another day, the dated screen goes straight back.
  r.Open(gsEasterEgg);
  EXPECT_EQ(r.State(), gsMainMenu);

  GameHarness& day = StartOnMenu(false, {2026, 1, 18});
  day.Tap('4');  // without Shift
  EXPECT_EQ(day.State(), gsMainMenu);
  day.Tap('4', 0, kShiftBit | kCtrlBit);
  EXPECT_EQ(day.State(), gsMainMenu);
  day.Tap('4', 0, kShiftBit);
  EXPECT_EQ(day.State(), gsEasterEgg);
  day.Frame();
  EXPECT_EQ(day.State(), gsEasterEgg);
  // Its credits scroll at 0.02 pixels per millisecond; OK returns to the menu.
  const double before = ScreensOf(day.game_).Help.EasterEggScroll;
  day.FrameAfter(500);
  EXPECT_NEAR(ScreensOf(day.game_).Help.EasterEggScroll - before, 10.0, 1e-9);
  day.Click(320, 463);
  day.Frame();
  EXPECT_EQ(day.State(), gsMainMenu);
}

TEST_F(MenuScreensTest, ExitConfirmationButtons) {
  GameHarness& r = StartOnMenu();
  r.Open(gsConfirmExit);
  ASSERT_EQ(r.game_.widgets.ButtonCount, 2);
  EXPECT_EQ(r.game_.widgets.Buttons[1].Caption, "Yes");
  EXPECT_EQ(r.game_.widgets.Buttons[1].X, 220);
  EXPECT_EQ(r.game_.widgets.Buttons[2].X, 380);
  r.Click(385, 235);  // No
  r.Frame();
  EXPECT_EQ(r.State(), gsMainMenu);
  r.Open(gsConfirmExit);
  r.Tap(vk::Escape);
  EXPECT_EQ(r.State(), gsMainMenu);
  r.Open(gsConfirmExit);
  EXPECT_FALSE(r.game_.frame.Closed);
  r.Click(225, 235);  // Yes closes the program
  r.Frame();
  EXPECT_TRUE(r.game_.frame.Closed);
}

TEST_F(MenuScreensTest, TitleMusicWaitsOnTheFirstVisitOnly) {
  GameHarness& r = StartOnMenu(/*music=*/true);
  AudioState& a = r.game_.audio;
  if (!a.MusicAvailable) GTEST_SKIP() << "no music in this build";
  for (int t = 16; t < 1450; t += 16) r.FrameAfter(16);
  EXPECT_FALSE(a.MusicPlaying);
  for (int i = 0; i < 8; ++i) r.Frame();
  EXPECT_TRUE(a.MusicPlaying);
  EXPECT_TRUE(a.Track1Requested);
  // Later visits start it at once.
  StopMusic(a);
  r.Open(gsHelp);
  r.Open(gsMainMenu);
  EXPECT_TRUE(a.MusicPlaying);
}

TEST_F(MenuScreensTest, TitleMusicWaitsOnlyOnTheFirstShowingEvenWhenLeftEarly) {
  GameHarness& r = StartOnMenu(/*music=*/true);
  AudioState& a = r.game_.audio;
  if (!a.MusicAvailable) GTEST_SKIP() << "no music in this build";
  for (int i = 0; i < 30; ++i) r.Frame();
  ASSERT_FALSE(a.MusicPlaying);
  r.Open(gsHelp);
  r.Open(gsMainMenu);
  EXPECT_TRUE(a.MusicPlaying);
}

TEST_F(MenuScreensTest, FooterShowsTheProfilesTotalsInItsOrder) {
  GameHarness& r = StartOnMenu();
  // diamonds, monsters, transporters, puzzle pieces, earth, as the record holds them
  SetCurrentScenarioTotals(*r.game_.profile.Record, {1, 2, 3, 4, 5});
  ASSERT_TRUE(SaveCurrentProfile(r.game_));
  r.Open(gsHelp);
  r.Open(gsMainMenu);  // the menu loads the saved profile again
  EXPECT_EQ(FooterTotals(r.game_), (std::array<int32_t, 5>{1, 5, 2, 3, 4}));
  // The built-in scenario's own totals reach a fresh profile.
  const ScenarioList& list = r.game_.scenarios;
  const std::array<int32_t, 5> builtIn = list[size_t(FindScenarioEntry(list, BuiltInScenarioName) - 1)].Totals;
  EXPECT_GT(builtIn[TotalDiamonds], 0);
  EXPECT_GT(builtIn[TotalEarth], 0);
}

TEST_F(MenuScreensTest, BackdropIsBuiltOncePerRunAndAgainWhenReplaced) {
  GameHarness& r = StartOnMenu();
  EXPECT_TRUE(ScreensOf(r.game_).MainMenu.BackdropBuilt);
  ImageEntry* e = r.game_.images.TryFindImage("backdrop");
  ASSERT_NE(e, nullptr);
  ASSERT_EQ(e->Picture.Width(), 619);
  ASSERT_EQ(e->Picture.Height(), 272);
  // Dimmed to two thirds: no component above two thirds of its range, and
  // the blocks are there.
  int lit = 0;
  for (uint16_t p : e->Picture.Pixels()) {
    EXPECT_LE(p >> 11, 20);
    EXPECT_LE((p >> 5) & 63, 42);
    EXPECT_LE(p & 31, 20);
    lit += p != 0;
  }
  EXPECT_GT(lit, 619 * 272 / 2);
  const Bitmap built = e->Picture;
  // Another screen put its picture into the entry without saying so: the
  // menu keeps what the entry holds ...
  e->Picture.Fill(Rgb565(0, 0, 255));
  r.Open(gsHelp);
  r.Open(gsMainMenu);
  EXPECT_EQ(r.game_.images.FindImage("backdrop").Picture.Pixel(5, 5), Rgb565(0, 0, 255));
  // ... and builds the backdrop anew once the flag is cleared (the puzzle view).
  ScreensOf(r.game_).MainMenu.BackdropBuilt = false;
  r.Open(gsHelp);
  r.Open(gsMainMenu);
  EXPECT_EQ(r.game_.images.FindImage("backdrop").Picture, built);
}

TEST_F(MenuScreensTest, BackdropLayoutAndThePlayersFacingOnTheDay) {
  GameHarness& r = Start();
  const NamedBlocks& n = r.game_.world.Named;
  EXPECT_EQ(BackdropBlock(r.game_, 'B'), n.Brick);
  EXPECT_EQ(BackdropBlock(r.game_, '\xA3'), 20);
  EXPECT_EQ(BackdropBlock(r.game_, 's'), n.Spirit1);
  EXPECT_EQ(BackdropBlock(r.game_, '.'), 0);
  EXPECT_EQ(BackdropBlock(r.game_, 'R'), n.PlayerStR);
  r.game_.startUp.EasterEggDay = true;
  EXPECT_EQ(BackdropBlock(r.game_, 'R'), n.PlayerStL);
  for (const char* row : kBackdropLayout) EXPECT_EQ(std::string(row).size(), size_t(kBackdropColumns));
}

TEST_F(MenuScreensTest, MenuPutsTheDetailedStyleBackAndLoadsTheProfileAgain) {
  GameHarness& r = Start();
  EnsurePlayerProfile(r.game_);
  r.game_.world.GraphicsStyle = 2;
  r.game_.world.CurrentLevel = 0;
  r.game_.world.DemoMode = true;
  r.game_.input.Slot(kSlotMap).Key = 'Q';  // changed in memory, never saved
  r.Open(gsMainMenu);
  EXPECT_EQ(r.game_.world.GraphicsStyle, 1);
  EXPECT_EQ(r.game_.world.CurrentLevel, 0) << "the level index is restored after the build";
  EXPECT_FALSE(r.game_.world.DemoMode);
  EXPECT_EQ(r.game_.input.Slot(kSlotMap).Key, 'M');
  // A profile file that is refused now leaves the player current.
  std::filesystem::resize_file(r.game_.profile.CurrentPath(), 10);
  r.Open(gsHelp);
  r.Open(gsMainMenu);
  EXPECT_EQ(r.State(), gsMainMenu);
  EXPECT_EQ(r.game_.profile.CurrentName, "Player");
}

TEST_F(MenuScreensTest, HelpPagesStayWithinOneToFour) {
  GameHarness& r = StartOnMenu();
  r.Open(gsHelp);
  ASSERT_EQ(r.game_.widgets.ButtonCount, 3);
  EXPECT_EQ(r.game_.widgets.Buttons[2].Caption, "Previous");
  EXPECT_EQ(ScreensOf(r.game_).Help.Page, 1);
  EXPECT_EQ(r.game_.world.CurrentLevel, 1);
  auto press = [&](int button) {
    r.game_.widgets.ClickedButton = button;
    r.Frame();
  };
  press(2);  // Previous on page 1
  EXPECT_EQ(ScreensOf(r.game_).Help.Page, 1);
  press(3);
  press(3);
  EXPECT_EQ(ScreensOf(r.game_).Help.Page, 3);
  r.FrameAfter(5000);
  press(3);
  EXPECT_EQ(ScreensOf(r.game_).Help.Page, 4);
  EXPECT_EQ(ScreensOf(r.game_).Help.CreditsScrollStart, r.game_.Now()) << "the credits start from the top";
  press(3);  // Next on page 4
  EXPECT_EQ(ScreensOf(r.game_).Help.Page, 4);
  press(2);
  EXPECT_EQ(ScreensOf(r.game_).Help.Page, 3);
  r.Tap(vk::Escape);
  EXPECT_EQ(r.State(), gsMainMenu);
  r.Open(gsHelp);
  EXPECT_EQ(ScreensOf(r.game_).Help.Page, 1);
  press(1);  // OK
  EXPECT_EQ(r.State(), gsMainMenu);
}

TEST_F(MenuScreensTest, HelpTextsAndPicturesComeFromTheArchive) {
  GameHarness& r = Start();
  for (const auto& page : r.game_.helpPages) EXPECT_FALSE(page.empty());
  EXPECT_EQ(Paragraphs(r.game_.helpPages[0]).size(), 8u);
  EXPECT_EQ(Paragraphs(r.game_.helpPages[1]).size(), 8u);
  for (int n = 1; n <= 8; ++n) EXPECT_NE(r.game_.images.TryFindImage("Helpbitmap" + std::to_string(n)), nullptr) << n;
  ASSERT_FALSE(r.game_.creditsText.empty());
  // The credits picture of page 4 is laid out once.
  r.Open(gsHelp);
  const ImageEntry* credits = r.game_.images.TryFindImage("HelpCredits");
  ASSERT_NE(credits, nullptr);
  EXPECT_EQ(credits->Picture.Width(), kCreditsWidth);
  EXPECT_EQ(credits->Picture.Height(), kCreditsHeight);
  r.Open(gsMainMenu);
  r.Open(gsHelp);
  EXPECT_EQ(r.game_.images.TryFindImage("HelpCredits"), credits);
}

// --- the pieces of the help screens, without a game -------------------------------

TEST(HelpText, LinesParagraphsAndCreditMarkers) {
  const std::string text = "one\r\ntwo\n\n  three\nfour\n";
  EXPECT_EQ(SplitTextLines(std::vector<uint8_t>(text.begin(), text.end())),
            (std::vector<std::string>{"one", "two", "", "  three", "four"}));
  EXPECT_EQ(Paragraphs({"one", "two", "", "  three", "four", "", ""}),
            (std::vector<std::string>{"one two", "three four"}));
  EXPECT_TRUE(SplitTextLines({}).empty());

  const CreditLine heading = StyleCreditLine("@MUSIC");
  EXPECT_STREQ(heading.Face, "eras14boldV.bmp");
  EXPECT_EQ(heading.Colour, 1);
  EXPECT_EQ(heading.Text, "MUSIC");
  const CreditLine small = StyleCreditLine("%a game by");
  EXPECT_STREQ(small.Face, "eras10boldV.bmp");
  EXPECT_EQ(small.Colour, 2);
  EXPECT_EQ(small.Text, "a game by");
  EXPECT_EQ(StyleCreditLine("Thanks*").Colour, 5);
  EXPECT_EQ(StyleCreditLine("Thanks*").Text, "Thanks");
  const CreditLine plain = StyleCreditLine("Vantorix");
  EXPECT_EQ(plain.Colour, 2);
  EXPECT_EQ(plain.Text, "Vantorix");
}

TEST(HelpText, CreditsScrollFromTheTopThenComeBackFromBelow) {
  EXPECT_EQ(CreditsScrollOffset(0, 0.03, 700, 248), 0);
  EXPECT_EQ(CreditsScrollOffset(1000, 0.03, 700, 248), 30);
  // Past the last line the text enters the window again from below.
  EXPECT_EQ(CreditsScrollOffset(700 / 0.03 + 1, 0.03, 700, 248), -248);
  EXPECT_EQ(CreditsScrollOffset(uint32_t((700 + 948) / 0.03) + 1, 0.03, 700, 248), -248);
  EXPECT_EQ(CreditsScrollOffset(123456, 0.03, 0, 248), 3703);  // no text: nothing wraps
}

}  // namespace
}  // namespace gravik

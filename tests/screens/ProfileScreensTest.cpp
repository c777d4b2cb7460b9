// The options, profiles, profile deletion and name entry screens, in-process on
// the headless platform after the real start-up with the built data files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/Random.h"
#include "data/Profile.h"
#include "frame/Form.h"
#include "frame/PlayerData.h"
#include "app/Program.h"
#include "gfx/Png.h"
#include "platform/headless/HeadlessPlatform.h"
#include "support/GameTest.h"
#include "screens/Profiles.h"

namespace gravik {
namespace {

class ProfileScreensTest : public testing::GameTest {
 protected:
  ProfileScreensTest() : GameTest(Audible()) {}
  void SetUp() override {
    GRAVIK_REQUIRE_DATA_FILES();
    ASSERT_EQ(Start(), 0);  // the real start-up: no profile is current in a fresh home
  }
  // A click as a player makes it, and a frame that acts on it.
  void ClickAt(int x, int y) {
    Click(x, y);
    Frame();
  }
  void Press(int button) { ClickAt(Button(button).X + 5, Button(button).Y + 5); }
  const TButton& Button(int n) const { return game_.widgets.Buttons[size_t(n)]; }

  // Profile files beside the game's, as another run would have made them.
  void AddProfileFiles(const std::vector<std::string>& names) {
    ProfileState other;
    other.Folder = game_.profile.Folder;
    BuildProfileList(other);
    RandomGenerator keys(5);
    for (const std::string& n : names) CreateProfile(other, n, true, 0, keys);
    BuildProfileList(game_.profile);
  }
  // Clicks the row of `name` on the profiles screen.
  void ClickRow(const std::string& name) {
    const TListBox& l = game_.widgets.List;
    for (size_t i = 0; i < l.Items.size(); ++i)
      if (l.Items[i] == name || l.Items[i] == name + '\x01') ClickAt(l.Left + 40, l.Top + 12 + int(i) * 18);
  }
  ProfileState Saved() const {
    ProfileState saved;
    saved.Folder = game_.profile.Folder;
    saved.CurrentFile = game_.profile.CurrentFile;
    EXPECT_TRUE(LoadProfile(saved));
    return saved;
  }
  // Lit pixels of the back surface in [x0, x1) x [y0, y1).
  int Lit(int x0, int y0, int x1, int y1) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += game_.backSurface.Pixel(x, y) != 0;
    return n;
  }
  // With GRAVIK_SHOTS set, the frame is kept there as a PNG for a look.
  void Keep(const std::string& name) const {
    if (const char* dir = std::getenv("GRAVIK_SHOTS")) WritePng(std::string(dir) + "/" + name + ".png", game_.backSurface);
  }

};

TEST_F(ProfileScreensTest, TheOnlyProfileAndTheCurrentOneAreNeverDeletable) {
  EnsurePlayerProfile(game_);
  Open(gsProfiles);
  EXPECT_EQ(game_.widgets.List.Items, std::vector<std::string>{"Player\x01"}) << "the current player is marked";
  EXPECT_EQ(Button(2).State, kWidgetDisabled) << "Load without a row";
  ClickRow("Player");
  EXPECT_EQ(Button(2).State, kWidgetEnabled);
  EXPECT_EQ(Button(3).State, kWidgetDisabled) << "the only profile";

  AddProfileFiles({"Other"});
  Open(gsProfiles);
  ClickRow("Player");
  EXPECT_EQ(Button(3).State, kWidgetDisabled) << "the current player's profile";
  game_.widgets.ClickedButton = 3;  // a press that got through anyway
  Frame();
  EXPECT_EQ(State(), gsProfiles);

  ClickRow("Other");
  ASSERT_EQ(Button(3).State, kWidgetEnabled);
  Press(3);
  ASSERT_EQ(State(), gsConfirmDeleteProfile);
  Frame();
  Keep("confirm-delete");
  EXPECT_GT(Lit(0, 190, 640, 210), 200) << "the prompt";
  EXPECT_EQ(DeletePrompt(std::string(22, 'x')), "Delete profile \"" + std::string(22, 'x') + "\"");
  Press(1);  // Yes
  EXPECT_EQ(State(), gsProfiles);
  ASSERT_EQ(game_.profile.List.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(game_.profile.Folder + "Other.zqp"));
  EXPECT_TRUE(std::filesystem::exists(game_.profile.CurrentPath()));
}

TEST_F(ProfileScreensTest, ProfilesAndDeletionScreensDrawTheMenuFooter) {
  EnsurePlayerProfile(game_);
  AddProfileFiles({"Other"});
  Open(gsProfiles);
  Frame();
  Keep("profiles");
  EXPECT_GT(Lit(277, 423, 565, 455), 3000) << "the footer's pictures";
  EXPECT_GT(Lit(277, 458, 565, 474), 50) << "the footer's totals";
  EXPECT_GT(Lit(95, 455, 200, 470), 50) << "the player's name";
  ClickRow("Other");
  Press(3);
  ASSERT_EQ(State(), gsConfirmDeleteProfile);
  Frame();
  Keep("confirm-delete-footer");
  EXPECT_GT(Lit(277, 423, 565, 455), 3000);
  EXPECT_GT(Lit(22, 455, 200, 470), 100) << "PROFILE: and the name";
}

TEST_F(ProfileScreensTest, CreateIsDisabledAtOneHundredProfiles) {
  std::vector<std::string> names;
  for (int i = 0; i < 99; ++i) names.push_back("P" + std::to_string(i));
  AddProfileFiles(names);
  Open(gsProfiles);
  EXPECT_EQ(Button(1).State, kWidgetEnabled) << "99 profiles";
  AddProfileFiles({"Last"});
  Open(gsProfiles);
  EXPECT_EQ(Button(1).State, kWidgetDisabled) << "100 profiles";
}

TEST_F(ProfileScreensTest, WithProfilesButNoneCurrentTheMenusOpenOnTheProfilesScreen) {
  std::vector<std::string> names;
  for (int i = 0; i < 100; ++i) names.push_back("P" + std::to_string(i));
  AddProfileFiles(names);
  ASSERT_FALSE(HasCurrentProfile(game_));
  Open(gsEnterMenus);
  ASSERT_EQ(State(), gsProfiles);
  Frame();
  EXPECT_EQ(Button(1).State, kWidgetDisabled) << "Create, at 100 profiles";

  // Reached anyway, the name entry says so and stays; the game goes on.
  Open(gsNewProfile);
  Type("Zed");
  Type("\r");
  EXPECT_EQ(State(), gsNewProfile);
  ASSERT_FALSE(hp_.shell.Messages().empty());
  EXPECT_EQ(hp_.shell.Messages().back().text, "Too many profiles.");
  EXPECT_FALSE(hp_.shell.Messages().back().error);
  EXPECT_FALSE(game_.frame.Closed);
  EXPECT_EQ(game_.profile.List.size(), 100u);

  Open(gsProfiles);
  ClickRow("P1");
  Press(2);  // Load
  EXPECT_EQ(State(), gsMainMenu);
  EXPECT_EQ(game_.profile.CurrentName, "P1");
}

TEST_F(ProfileScreensTest, ADamagedProfileChosenIsRefusedWithItsMessage) {
  EnsurePlayerProfile(game_);
  AddProfileFiles({"Other", "Third"});
  {
    const std::string path = game_.profile.Folder + "Other.zqp";
    const auto at = std::streamoff(std::filesystem::file_size(path) - 3);
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekg(at);
    const char c = char(f.get());
    f.seekp(at);
    f.put(char(c ^ 0x10));
  }
  Open(gsProfiles);
  ClickRow("Other");
  Press(2);  // Load
  EXPECT_EQ(State(), gsProfiles);
  ASSERT_FALSE(hp_.shell.Messages().empty());
  EXPECT_EQ(hp_.shell.Messages().back().text, "Profile file invalid.");
  EXPECT_FALSE(hp_.shell.Messages().back().error) << "a message, not the end of the game";
  EXPECT_EQ(game_.profile.CurrentName, "Player") << "the current player stays";

  ClickRow("Third");
  Press(2);
  EXPECT_EQ(State(), gsMainMenu);
  EXPECT_EQ(game_.profile.CurrentName, "Third");
}

TEST_F(ProfileScreensTest, ANameThatDiffersOnlyInCaseOrBlanksIsAlreadyUsed) {
  EnsurePlayerProfile(game_);
  Open(gsProfiles);
  Press(1);  // Create
  ASSERT_EQ(State(), gsNewProfile);
  Frame();
  EXPECT_EQ(Button(1).State, kWidgetDisabled) << "OK without a name";
  EXPECT_EQ(Lit(0, 343, 640, 360), 0) << "no clash for an empty name";

  Type(" pLaYeR ");
  Frame();
  Keep("name-used");
  EXPECT_EQ(Button(1).State, kWidgetDisabled);
  EXPECT_GT(Lit(0, 343, 640, 360), 100) << "\"Name already used.\"";
  Type("\r");
  EXPECT_EQ(State(), gsNewProfile) << "Enter refused too";

  Type("2");
  Frame();
  EXPECT_EQ(Lit(0, 343, 640, 360), 0);
  Press(1);
  EXPECT_EQ(State(), gsIntroLogo);
  EXPECT_EQ(game_.profile.CurrentName, "pLaYeR 2");
  EXPECT_FALSE(game_.input.TextEntry.Active);
  const ProfileState saved = Saved();
  EXPECT_EQ(saved.CurrentName, "pLaYeR 2");
  EXPECT_GE(saved.Record->CurrentScenario, 1) << "with its scenario record";
}

TEST_F(ProfileScreensTest, FirstStartEscapeClosesTheProgram) {
  ASSERT_FALSE(HasCurrentProfile(game_));
  Open(gsNewProfile);
  EXPECT_EQ(game_.widgets.ButtonCount, 0);
  EXPECT_FALSE(game_.playfield.Pointer->Visible);
  Tap(vk::Escape);
  EXPECT_TRUE(game_.frame.Closed);
}

TEST_F(ProfileScreensTest, FirstStartEnterCreatesTheProfileAndTheFigureWalksOffToHelp) {
  Open(gsNewProfile);
  TPlayer& fig = *game_.playfield.Figure;
  EXPECT_TRUE(fig.Visible);
  EXPECT_LT(fig.X, -150.0);
  Type("\r");
  EXPECT_EQ(State(), gsNewProfile) << "an empty name makes no profile";
  Type("Ada");
  Frame(200);  // the figure has arrived, the logo has risen
  Keep("first-start");
  EXPECT_EQ(fig.X, 288.0);
  EXPECT_GT(Lit(0, 430, 640, 480), 500) << "the logo";
  EXPECT_GT(Lit(0, 230, 640, 250), 200) << "the welcome line";
  Type("\r");
  ASSERT_EQ(State(), gsIntroLogo);
  EXPECT_EQ(game_.profile.CurrentName, "Ada");
  EXPECT_TRUE(std::filesystem::exists(game_.profile.CurrentPath()));
  Frame(2);
  EXPECT_GT(fig.X, 288.0) << "walks on from where it stood";
  EXPECT_LT(fig.X, 300.0);
  int frames = 0;
  for (; State() == gsIntroLogo && frames < 300; ++frames) Frame();
  EXPECT_EQ(State(), gsHelp);
  EXPECT_GT(frames, 100) << "(640 - 288) / 176 s is two seconds";
}

// --- options ------------------------------------------------------------------------------

class OptionsScreenTest : public ProfileScreensTest {
 protected:
  void SetUp() override {
    ProfileScreensTest::SetUp();
    if (IsSkipped()) return;
    EnsurePlayerProfile(game_);
    game_.values.OptionsReturnState = gsMainMenu;
    Open(gsOptions);
  }
  // Option items in creation order: Up, Down, Status, Lose a life, Left, Right, Map.
  const TOptionItem& Item(int n) const { return game_.widgets.OptionItems[size_t(n)]; }
  void ClickItem(int n) { ClickAt(Item(n).X + 3, Item(n).Y + 3); }
};

TEST_F(OptionsScreenTest, ModeZeroCaptureTakesTheKeyEventAndClearsItsOtherUse) {
  Keep("options");
  EXPECT_EQ(Item(7).Value, "M");
  ClickItem(7);  // Map
  ASSERT_TRUE(game_.input.Capture.Waiting);
  EXPECT_EQ(game_.input.Capture.Slot, kSlotMap);
  Tap(vk::Back);  // refused
  EXPECT_TRUE(game_.input.Capture.Waiting);
  Tap(vk::Up);
  EXPECT_EQ(game_.input.Slot(kSlotMap), (KeySlot{1, vk::Up}));
  EXPECT_EQ(game_.input.Slot(kSlotUp), (KeySlot{0, 0}));
  Frame();
  EXPECT_EQ(Item(7).Value, "Up arrow");
  EXPECT_EQ(Item(1).Value, "Undefined");
  EXPECT_EQ(game_.keyLabels.MapKey, "Up arrow") << "the side panel follows";
  EXPECT_EQ(game_.widgets.EditedOption, 0) << "the label stops blinking";

  Tap(vk::Escape);  // leaves through button 1, which saves the profile
  Frame();
  EXPECT_EQ(State(), gsMainMenu);
  EXPECT_EQ(Saved().Record->Keys[kSlotMap - 1].Key, vk::Up);
}

TEST_F(OptionsScreenTest, ModeOneCapturePollsTheHeldScanCode) {
  SetKeyboardMode(game_.input, 1);
  game_.input.Slots = DefaultKeySlots(1);
  Open(gsOptions);
  ClickItem(3);  // Status
  ASSERT_TRUE(game_.input.Capture.Waiting);
  Tap('Q', 16);  // a key event is not what mode 1 reads
  EXPECT_TRUE(game_.input.Capture.Waiting);
  hp_.input.Keys().Press('Q', 16);
  Frame();
  hp_.input.Keys().Release('Q', 16);
  EXPECT_EQ(game_.input.Slot(kSlotStatus), (KeySlot{1, 16}));
  Frame();
  EXPECT_EQ(Item(3).Value, "Q");
  EXPECT_EQ(game_.keyLabels.StatusKey, "Q");
}

TEST_F(OptionsScreenTest, SlidersSwitchAudioAndSetLevels) {
  AudioState& a = game_.audio;
  if (!a.SoundAvailable || !a.MusicAvailable) GTEST_SKIP() << "this run has no sound";
  WidgetSet& w = game_.widgets;
  EXPECT_EQ(w.Sliders[1].Value, a.MusicLevel + 1);
  w.Sliders[1].Value = w.Sliders[2].Value = 1;
  Frame();
  EXPECT_FALSE(a.MusicOn);
  EXPECT_FALSE(a.MusicPlaying);
  EXPECT_FALSE(a.SoundOn);
  w.Sliders[1].Value = 11;
  w.Sliders[2].Value = 6;
  Frame();
  EXPECT_TRUE(a.MusicOn && a.SoundOn);
  EXPECT_EQ(a.MusicVolume, LevelVolume(10));
  EXPECT_EQ(a.EffectVolume, LevelVolume(5));
  Press(1);
  EXPECT_EQ(State(), gsMainMenu);
  const ProfileState saved = Saved();
  EXPECT_EQ(saved.Record->MusicLevel, 10);
  EXPECT_EQ(saved.Record->SoundLevel, 5);
}

TEST_F(OptionsScreenTest, FromTheMainMenuTheLayoutStartsAt170AndClearsTheButtons) {
  Frame();
  Keep("options-menu");
  EXPECT_EQ(Lit(40, 90, 640, 170), 0) << "nothing between the title and the top";
  EXPECT_GT(Lit(80, 170, 200, 190), 100) << "the AUDIO heading";
  EXPECT_EQ(Lit(40, 412, 640, 418), 0) << "the key rows end above the hints and buttons";
}

TEST_F(OptionsScreenTest, FromTheStatusScreenItReturnsThere) {
  Open(gsPrepareScenario);  // a game under way
  game_.values.OptionsReturnState = gsStatusScreen;
  Open(gsOptions);
  EXPECT_EQ(game_.widgets.ButtonCount, 1) << "no Profiles button";
  EXPECT_EQ(Item(1).Y, 40 + 175) << "the layout starts higher";
  const TCheckbox& box = game_.widgets.Checkboxes[1];
  ClickAt(box.X + 5, box.Y + 5);
  EXPECT_EQ(game_.input.JoystickEnabled, box.Checked != 0);
  ClickItem(7);
  Tap('K');
  Tap(vk::Escape);
  Frame();
  EXPECT_EQ(State(), gsStatusScreen);
  EXPECT_EQ(Saved().Record->Keys[kSlotMap - 1].Key, 'K');
}

}  // namespace
}  // namespace gravik

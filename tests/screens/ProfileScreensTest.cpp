// The options, profiles, profile deletion and name entry screens, in-process on
// the headless platform after the real start-up with the built data files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/Errors.h"
#include "base/Random.h"
#include "data/Profile.h"
#include "frame/Form.h"
#include "frame/Keys.h"
#include "frame/PlayerData.h"
#include "frame/Program.h"
#include "platform/headless/HeadlessPlatform.h"
#include "render/Png.h"
#include "screens/NameEntry.h"
#include "screens/Options.h"
#include "screens/Profiles.h"

namespace gravik {
namespace {

bool DataBuilt() { return std::filesystem::exists(std::string(GRAVIK_BINARY_DIR) + "/zqresource.dat"); }

std::string MakeHome() {
  char tmpl[] = "/tmp/gravik-screens-XXXXXX";
  const char* d = mkdtemp(tmpl);
  setenv("GRAVIK_HOME", d, 1);
  return d;
}

class ProfileScreensTest : public ::testing::Test {
 protected:
  ProfileScreensTest()
      : home_(MakeHome()), hp_(std::string(GRAVIK_BINARY_DIR) + "/gravik"), platform_(hp_.Get()),
        game_(platform_, Options()), form_(game_) {
    hp_.shell.SetEcho(false);
    form_.FormCreate();
    InstallGameHandlers(form_, ProgramOptions{Options()});
  }
  ~ProfileScreensTest() override { std::filesystem::remove_all(home_); }
  void SetUp() override {
    if (!DataBuilt()) GTEST_SKIP() << "the data files are not built (target data_files)";
    form_.Timer1Timer();  // the real start-up: no profile is current in a fresh home
  }
  static GameOptions Options() {
    GameOptions o;
    o.headless = true;
    return o;
  }

  void Frame() {
    hp_.clock.Advance(16667);
    form_.DXTimerTimer();
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) Frame();
  }
  void Send(InputEventType type, int x = 0, int y = 0, int button = 1) {
    InputEvent ev;
    ev.type = type;
    ev.x = x;
    ev.y = y;
    ev.button = uint8_t(button);
    form_.HandleEvent(ev);
  }
  // A click as a player makes it: the pointer goes there, a frame finds what
  // is under it, then the button goes down and up.
  void Click(int x, int y) {
    Send(InputEventType::MouseMove, x, y);
    Frame();
    Send(InputEventType::MouseDown, x, y);
    Send(InputEventType::MouseUp, x, y);
  }
  void Key(uint8_t vk, uint8_t scan = 0) {
    InputEvent ev;
    ev.type = InputEventType::KeyDown;
    ev.vk = vk;
    ev.scan = scan;
    form_.HandleEvent(ev);
  }
  void Type(const std::string& text) {
    InputEvent ev;
    ev.type = InputEventType::Text;
    ev.text = text;
    form_.HandleEvent(ev);
  }
  // Enters a screen and runs its first frame.
  void Enter(uint8_t state) {
    form_.SetGameState(state);
    Frame();
  }
  uint8_t State() const { return game_.frame.GameState; }
  const TButton& Button(int n) const { return game_.widgets.Buttons[size_t(n)]; }

  // Profile files written beside the game's, as another run would have made them.
  void AddProfileFiles(std::initializer_list<const char*> names) {
    ProfileState other;
    other.Folder = game_.profile.Folder;
    BuildProfileList(other);
    RandomGenerator keys(5);
    for (const char* n : names) CreateProfile(other, n, true, 0, keys);
    BuildProfileList(game_.profile);
  }
  // Selects list item `item` by clicking its row on the profiles screen.
  void ClickRow(int item) {
    const TListBox& l = game_.widgets.List;
    Click(l.Left + 40, l.Top + 3 + (item - 1) * 18 + 9);
  }
  int ItemOf(const std::string& name) const {
    const auto& items = game_.widgets.List.Items;
    for (size_t i = 0; i < items.size(); ++i) {
      std::string s = items[i];
      if (!s.empty() && s.back() == '\x01') s.pop_back();
      if (s == name) return int(i + 1);
    }
    return 0;
  }
  // Lit pixels of the back surface in [x0, x1) x [y0, y1).
  int Lit(int x0, int y0, int x1, int y1) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += game_.backSurface.Pixel(x, y) != 0;
    return n;
  }
  // With GRAVIK_SHOTS set, the frame is kept as a PNG there for a look.
  void Keep(const std::string& name) const {
    if (const char* dir = std::getenv("GRAVIK_SHOTS")) WritePng(std::string(dir) + "/" + name + ".png", game_.backSurface);
  }

  std::string home_;
  HeadlessPlatform hp_;
  Platform platform_;
  Game game_;
  TForm1 form_;
};

// --- profiles and deletion --------------------------------------------------------------

TEST_F(ProfileScreensTest, TheOnlyProfileAndTheCurrentOneAreNeverDeletable) {
  EnsurePlayerProfile(game_);
  Enter(gsProfiles);
  ASSERT_EQ(game_.widgets.List.Items.size(), 1u);
  EXPECT_EQ(game_.widgets.List.Items[0], "Player\x01") << "the current player is marked";
  EXPECT_EQ(Button(2).State, kWidgetDisabled) << "Load without a row";
  ClickRow(1);
  Frame();
  EXPECT_EQ(Button(2).State, kWidgetEnabled);
  EXPECT_EQ(Button(3).State, kWidgetDisabled) << "the only profile";

  AddProfileFiles({"Other"});
  Enter(gsProfiles);
  ClickRow(ItemOf("Player"));
  Frame();
  EXPECT_EQ(Button(3).State, kWidgetDisabled) << "the current player's profile";
  // A press that reached the Delete button anyway changes nothing.
  game_.widgets.ClickedButton = 3;
  Frame();
  EXPECT_EQ(State(), gsProfiles);

  ClickRow(ItemOf("Other"));
  Frame();
  ASSERT_EQ(Button(3).State, kWidgetEnabled);
  Click(Button(3).X + 5, Button(3).Y + 5);
  Frame();
  ASSERT_EQ(State(), gsConfirmDeleteProfile);
  Frame();
  Keep("confirm-delete");
  EXPECT_GT(Lit(0, 190, 640, 210), 200) << "the prompt";
  Click(Button(1).X + 5, Button(1).Y + 5);  // Yes
  Frame();
  EXPECT_EQ(State(), gsProfiles);
  ASSERT_EQ(game_.profile.List.size(), 1u);
  EXPECT_EQ(game_.profile.List[0].PlayerName, "Player");
  EXPECT_FALSE(std::filesystem::exists(game_.profile.Folder + "Other.zqp"));
  EXPECT_TRUE(std::filesystem::exists(game_.profile.CurrentPath()));
}

TEST_F(ProfileScreensTest, DeletionPromptIsCutAndNoKeepsTheProfile) {
  EXPECT_EQ(DeletePrompt("Anna"), "Delete profile \"Anna\" ?");
  EXPECT_EQ(DeletePrompt(std::string(20, 'x')).size(), 39u);
  EXPECT_EQ(DeletePrompt(std::string(22, 'x')), "Delete profile \"" + std::string(22, 'x') + "\"");
  EXPECT_EQ(DeletePrompt(std::string(40, 'y')).size(), 39u);

  EnsurePlayerProfile(game_);
  AddProfileFiles({"Other"});
  Enter(gsProfiles);
  ClickRow(ItemOf("Other"));
  Frame();
  Click(Button(3).X + 5, Button(3).Y + 5);
  Frame();
  ASSERT_EQ(State(), gsConfirmDeleteProfile);
  Frame();
  Click(Button(2).X + 5, Button(2).Y + 5);  // No
  Frame();
  EXPECT_EQ(State(), gsProfiles);
  EXPECT_EQ(game_.profile.List.size(), 2u);
}

TEST_F(ProfileScreensTest, CreateIsDisabledAtOneHundredProfilesAndTheListScrollsToAll) {
  std::vector<std::string> names;
  for (int i = 0; i < 99; ++i) names.push_back("P" + std::to_string(100 + i));
  ProfileState other;
  other.Folder = game_.profile.Folder;
  RandomGenerator keys(9);
  for (const std::string& n : names) CreateProfile(other, n, true, 0, keys);
  BuildProfileList(game_.profile);
  Enter(gsProfiles);
  EXPECT_EQ(Button(1).State, kWidgetEnabled) << "99 profiles";

  CreateProfile(other, "Last", true, 0, keys);
  BuildProfileList(game_.profile);
  Enter(gsProfiles);
  EXPECT_EQ(Button(1).State, kWidgetDisabled) << "100 profiles";
  // The hundredth row can be reached and chosen.
  InputEvent wheel;
  wheel.type = InputEventType::MouseWheel;
  wheel.wheel = -1;
  for (int i = 0; i < 100; ++i) form_.HandleEvent(wheel);
  Frame();
  EXPECT_EQ(game_.widgets.List.First, 100 - 12 + 1);
  ClickRow(12);
  Frame();
  EXPECT_EQ(game_.widgets.List.Selected, 100);
  EXPECT_EQ(Button(2).State, kWidgetEnabled);
}

TEST_F(ProfileScreensTest, ADamagedProfileChosenIsRefusedWithItsMessage) {
  EnsurePlayerProfile(game_);
  AddProfileFiles({"Other"});
  {
    const std::string path = game_.profile.Folder + "Other.zqp";
    const auto size = std::filesystem::file_size(path);
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekg(std::streamoff(size - 3));
    const char c = char(f.get());
    f.seekp(std::streamoff(size - 3));
    f.put(char(c ^ 0x10));
  }
  Enter(gsProfiles);
  ClickRow(ItemOf("Other"));
  Frame();
  Click(Button(2).X + 5, Button(2).Y + 5);  // Load
  Frame();
  EXPECT_EQ(State(), gsProfiles);
  ASSERT_FALSE(hp_.shell.Messages().empty());
  EXPECT_EQ(hp_.shell.Messages().back().text, "Profile file invalid.");
  EXPECT_FALSE(hp_.shell.Messages().back().error) << "a message, not the end of the game";
  EXPECT_EQ(game_.profile.CurrentName, "Player") << "the current player stays";

  // A sound profile loads and becomes current.
  AddProfileFiles({"Third"});
  Enter(gsProfiles);
  ClickRow(ItemOf("Third"));
  Frame();
  Click(Button(2).X + 5, Button(2).Y + 5);
  Frame();
  EXPECT_EQ(State(), gsMainMenu);
  EXPECT_EQ(game_.profile.CurrentName, "Third");
}

// --- name entry ---------------------------------------------------------------------------

TEST_F(ProfileScreensTest, ANameThatDiffersOnlyInCaseOrBlanksIsAlreadyUsed) {
  EnsurePlayerProfile(game_);
  Enter(gsProfiles);
  Click(Button(1).X + 5, Button(1).Y + 5);  // Create
  Frame();
  ASSERT_EQ(State(), gsNewProfile);
  Frame();
  ASSERT_EQ(game_.widgets.ButtonCount, 2);
  EXPECT_EQ(Button(1).State, kWidgetDisabled) << "OK starts disabled";
  Frame();
  EXPECT_EQ(Lit(0, 343, 640, 360), 0) << "no clash for an empty name";

  Type(" pLaYeR ");
  EXPECT_EQ(game_.input.TextEntry.Text, "pLaYeR ");
  Frame();
  Keep("name-used");
  EXPECT_EQ(Button(1).State, kWidgetDisabled);
  EXPECT_GT(Lit(0, 343, 640, 360), 100) << "\"Name already used.\"";
  Type("\r");
  EXPECT_EQ(State(), gsNewProfile) << "Enter refused too";

  Type("2");
  Frame();
  EXPECT_EQ(Button(1).State, kWidgetEnabled);
  EXPECT_EQ(Lit(0, 343, 640, 360), 0);
  Click(Button(1).X + 5, Button(1).Y + 5);
  Frame();
  EXPECT_EQ(State(), gsIntroLogo);
  EXPECT_EQ(game_.profile.CurrentName, "pLaYeR 2");
  EXPECT_FALSE(game_.input.TextEntry.Active);
  EXPECT_EQ(game_.profile.List.size(), 2u);
  // Its file holds the name and a scenario record.
  ProfileState saved;
  saved.Folder = game_.profile.Folder;
  saved.CurrentFile = game_.profile.CurrentFile;
  ASSERT_TRUE(LoadProfile(saved));
  EXPECT_EQ(saved.CurrentName, "pLaYeR 2");
  EXPECT_GE(saved.Record->CurrentScenario, 1);

  EXPECT_TRUE(NameInUse(game_.profile, "  PLAYER"));
  EXPECT_FALSE(NameInUse(game_.profile, "Play"));
  EXPECT_FALSE(NameAcceptable(game_.profile, "   "));
}

TEST_F(ProfileScreensTest, CancelFromTheProfilesScreenGoesBackThere) {
  EnsurePlayerProfile(game_);
  Enter(gsProfiles);
  Click(Button(1).X + 5, Button(1).Y + 5);
  Frame();
  Frame();
  Type("Zoe");
  Key(vk::Escape);
  EXPECT_EQ(State(), gsProfiles);
  EXPECT_FALSE(game_.frame.Closed);
  EXPECT_FALSE(game_.input.TextEntry.Active);
  EXPECT_EQ(game_.profile.List.size(), 1u);
}

TEST_F(ProfileScreensTest, FirstStartEscapeClosesTheProgram) {
  ASSERT_FALSE(HasCurrentProfile(game_));
  Enter(gsNewProfile);
  Frame();
  EXPECT_EQ(game_.widgets.ButtonCount, 0);
  EXPECT_FALSE(game_.playfield.Pointer->Visible);
  Key(vk::Escape);
  EXPECT_TRUE(game_.frame.Closed);
}

TEST_F(ProfileScreensTest, FirstStartEnterCreatesTheProfileAndTheFigureWalksOffToHelp) {
  ASSERT_TRUE(game_.profile.List.empty());
  Enter(gsNewProfile);
  TPlayer& fig = *game_.playfield.Figure;
  EXPECT_TRUE(fig.Visible);
  EXPECT_LT(fig.X, -150.0);
  EXPECT_EQ(fig.Y, 155.0);
  Type("\r");
  EXPECT_EQ(State(), gsNewProfile) << "an empty name makes no profile";
  Type("Ada");
  Frames(200);  // the figure has arrived, the logo has risen
  Keep("first-start");
  EXPECT_EQ(fig.X, 288.0);
  EXPECT_EQ(game_.values.LogoTop, 430);
  EXPECT_GT(Lit(0, 430, 640, 480), 500) << "the logo";
  EXPECT_GT(Lit(0, 230, 640, 250), 200) << "the welcome line";
  EXPECT_GT(Lit(0, 320, 640, 340), 100) << "the name";
  Type("\r");
  ASSERT_EQ(State(), gsIntroLogo);
  EXPECT_EQ(game_.profile.CurrentName, "Ada");
  EXPECT_TRUE(std::filesystem::exists(game_.profile.CurrentPath()));
  Frames(2);
  EXPECT_GT(fig.X, 288.0) << "walks on from where it stood";
  EXPECT_LT(fig.X, 300.0);
  int frames = 0;
  while (State() == gsIntroLogo && frames < 300) Frame(), ++frames;
  EXPECT_EQ(State(), gsHelp);
  EXPECT_GT(frames, 100) << "(640 - 288) / 176 s is about two seconds";
  EXPECT_FALSE(fig.Visible);
}

TEST(IdleFigure, StandsThenLooksRoundEveryFourSeconds) {
  EXPECT_EQ(IdlePattern(0), 0);
  EXPECT_EQ(IdlePattern(3000), 0);
  EXPECT_EQ(IdlePattern(4500), 1);
  EXPECT_EQ(IdlePattern(5500), 0);
  EXPECT_EQ(IdlePattern(6500), 2);
  EXPECT_EQ(IdlePattern(8500), 1);
}

// --- options ------------------------------------------------------------------------------

class OptionsScreenTest : public ProfileScreensTest {
 protected:
  void SetUp() override {
    ProfileScreensTest::SetUp();
    if (IsSkipped()) return;
    EnsurePlayerProfile(game_);
    game_.values.OptionsReturnState = gsMainMenu;
    Enter(gsOptions);
  }
  // Option items in creation order: Up, Down, Status, Lose a life, Left, Right, Map.
  const TOptionItem& Item(int n) const { return game_.widgets.OptionItems[size_t(n)]; }
  void ClickItem(int n) { Click(Item(n).X + 3, Item(n).Y + 3); }
  ProfileState Saved() const {
    ProfileState saved;
    saved.Folder = game_.profile.Folder;
    saved.CurrentFile = game_.profile.CurrentFile;
    EXPECT_TRUE(LoadProfile(saved));
    return saved;
  }
};

TEST_F(OptionsScreenTest, ModeZeroCaptureTakesTheKeyEventAndClearsItsOtherUse) {
  Keep("options");
  EXPECT_EQ(game_.widgets.ButtonCount, 2) << "Return and Profiles";
  EXPECT_EQ(Item(7).Value, "M");
  ClickItem(7);  // Map
  ASSERT_TRUE(game_.input.Capture.Waiting);
  EXPECT_EQ(game_.input.Capture.Slot, kSlotMap);
  Key(vk::Back);  // refused
  EXPECT_TRUE(game_.input.Capture.Waiting);
  Key(vk::Up);
  EXPECT_FALSE(game_.input.Capture.Waiting);
  EXPECT_EQ(game_.input.Slot(kSlotMap), (KeySlot{1, vk::Up}));
  EXPECT_EQ(game_.input.Slot(kSlotUp), (KeySlot{0, 0}));
  Frame();
  EXPECT_EQ(Item(7).Value, "Up arrow");
  EXPECT_EQ(Item(1).Value, "Undefined");
  EXPECT_EQ(game_.keyLabels.MapKey, "Up arrow") << "the side panel follows";
  EXPECT_EQ(game_.widgets.EditedOption, 0) << "the label stops blinking";

  // Esc leaves through button 1, which saves the profile.
  Key(vk::Escape);
  Frame();
  EXPECT_EQ(State(), gsMainMenu);
  EXPECT_EQ(Saved().Record->Keys[kSlotMap - 1].Key, vk::Up);
}

TEST_F(OptionsScreenTest, ModeOneCapturePollsTheHeldScanCode) {
  SetKeyboardMode(game_.input, 1);
  game_.input.Slots = DefaultKeySlots(1);
  Enter(gsOptions);
  ClickItem(3);  // Status
  ASSERT_TRUE(game_.input.Capture.Waiting);
  Key('Q', 16);  // a key event is not what mode 1 reads
  EXPECT_TRUE(game_.input.Capture.Waiting);
  hp_.input.Keys().Press('Q', 16);
  Frame();
  hp_.input.Keys().Release('Q', 16);
  EXPECT_FALSE(game_.input.Capture.Waiting);
  EXPECT_EQ(game_.input.Slot(kSlotStatus), (KeySlot{1, 16}));
  Frame();
  EXPECT_EQ(Item(3).Value, "Q");
  EXPECT_EQ(game_.keyLabels.StatusKey, "Q");
}

TEST_F(OptionsScreenTest, SlidersSwitchAudioAndSetLevels) {
  AudioState& a = game_.audio;
  if (!a.SoundAvailable || !a.MusicAvailable) GTEST_SKIP() << "this run has no sound";
  WidgetSet& w = game_.widgets;
  ASSERT_EQ(w.SliderCount, 2);
  EXPECT_EQ(w.Sliders[1].Value, a.MusicLevel + 1);
  w.Sliders[1].Value = 1;
  w.Sliders[2].Value = 1;
  Frame();
  EXPECT_FALSE(a.MusicOn);
  EXPECT_FALSE(a.MusicPlaying);
  EXPECT_FALSE(a.SoundOn);
  w.Sliders[1].Value = 11;
  w.Sliders[2].Value = 6;
  Frame();
  EXPECT_TRUE(a.MusicOn);
  EXPECT_EQ(a.MusicLevel, 10);
  EXPECT_EQ(a.MusicVolume, LevelVolume(10));
  EXPECT_TRUE(a.SoundOn);
  EXPECT_EQ(a.SoundLevel, 5);
  EXPECT_EQ(a.EffectVolume, LevelVolume(5));
  // Saved with the profile when the screen is left.
  Click(Button(1).X + 5, Button(1).Y + 5);
  Frame();
  EXPECT_EQ(State(), gsMainMenu);
  const ProfileState saved = Saved();
  EXPECT_EQ(saved.Record->MusicLevel, 10);
  EXPECT_EQ(saved.Record->SoundLevel, 5);
}

TEST_F(OptionsScreenTest, UnavailableAudioShowsDisabledAndIgnoresItsSlider) {
  AudioState& a = game_.audio;
  a.MusicAvailable = false;
  Enter(gsOptions);
  EXPECT_EQ(game_.widgets.Sliders[1].State, 2);
  const bool on = a.MusicOn;
  ApplyMusicSlider(a, 1);
  EXPECT_EQ(a.MusicOn, on);
  EXPECT_EQ(SliderValueText(false, 5), "Disabled");
  EXPECT_EQ(SliderValueText(true, 1), "OFF");
  EXPECT_EQ(SliderValueText(true, 11), "50%");
  EXPECT_EQ(SliderValueText(true, 21), "100%");
}

TEST_F(OptionsScreenTest, FromTheStatusScreenItReturnsThereWithoutTheProfilesButton) {
  Enter(gsPrepareScenario);  // a game under way
  game_.values.OptionsReturnState = gsStatusScreen;
  Enter(gsOptions);
  EXPECT_EQ(game_.widgets.ButtonCount, 1);
  EXPECT_EQ(Button(1).Caption, "Return to status");
  EXPECT_EQ(Item(1).Y, 40 + 175) << "the layout starts higher";
  // The joystick box follows into the game.
  const TCheckbox& box = game_.widgets.Checkboxes[1];
  Click(box.X + 5, box.Y + 5);
  Frame();
  EXPECT_EQ(game_.input.JoystickEnabled, box.Checked != 0);
  ClickItem(7);
  Key('K');
  Key(vk::Escape);
  Frame();
  EXPECT_EQ(State(), gsStatusScreen);
  EXPECT_EQ(game_.keyLabels.MapKey, "K");
  EXPECT_EQ(Saved().Record->Keys[kSlotMap - 1].Key, 'K');
}

}  // namespace
}  // namespace gravik

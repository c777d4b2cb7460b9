// Start-up on the headless platform with the built data files: the display
// mode decision, the remembered player, and the ways start-up refuses to go on.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "base/Errors.h"
#include "base/Text.h"
#include "data/Archive.h"
#include "data/Profile.h"
#include "data/Settings.h"
#include "frame/Form.h"
#include "frame/PlayerData.h"
#include "app/Program.h"
#include "platform/Folders.h"
#include "platform/headless/HeadlessPlatform.h"
#include "support/GameHarness.h"

namespace gravik {
namespace {

// One program run in-process in the test's home, started for play (under
// "Player" when nobody is remembered).
class StartUpRun : public testing::GameHarness {
 public:
  explicit StartUpRun(GameOptions o = ForPlay()) : GameHarness(o) {}
  static GameOptions ForPlay() {
    GameOptions o = Silent();
    o.play = true;
    return o;
  }
  bool RunToPlay() { return RunUntilState(gsPlaying); }
};

class StartUpTest : public ::testing::Test {
 protected:
  void SetUp() override { GRAVIK_REQUIRE_DATA_FILES(); }
  testing::TempHome home_;
};

TEST_F(StartUpTest, HoldingWStartsInAWindowAndKeepsThatPreference) {
  {
    StartUpRun first;
    first.hp_.settings.WriteBool(SettingFullscreen, true);
  }
  StartUpRun run;
  run.QueueKeyDown('W', 17);
  ASSERT_EQ(run.Start(), 0);
  EXPECT_TRUE(run.game_.frame.Windowed);
  EXPECT_TRUE(run.game_.frame.WindowedPreference);
  EXPECT_FALSE(ReadRegistrySettings(run.hp_.settings).FullScreen);
  // Without W the stored full-screen setting is followed.
  StartUpRun again;
  again.hp_.settings.WriteBool(SettingFullscreen, true);
  ASSERT_EQ(again.Start(), 0);
  EXPECT_FALSE(again.game_.frame.Windowed);
}

TEST_F(StartUpTest, HeldWHoldsForEveryLoadOfTheProfileAndItsSaves) {
  {
    StartUpRun first;
    ASSERT_EQ(first.Start(), 0);
    ASSERT_TRUE(first.RunToPlay());
    first.game_.frame.WindowedPreference = false;  // the player prefers full screen
    ASSERT_TRUE(SaveCurrentProfile(first.game_));
  }
  StartUpRun run(testing::GameHarness::Silent());  // to the menus
  run.QueueKeyDown('W', 17);
  ASSERT_EQ(run.Start(), 0);
  ASSERT_TRUE(run.RunUntilState(gsMainMenu));
  run.Frame();  // the main menu has loaded the profile again
  EXPECT_TRUE(run.game_.frame.WindowedPreference);
  EXPECT_EQ(run.game_.profile.Record->Windowed, 1);
  EXPECT_FALSE(ReadRegistrySettings(run.hp_.settings).FullScreen);
  ASSERT_TRUE(SaveCurrentProfile(run.game_));
  ProfileState saved;
  saved.Folder = run.game_.profile.Folder;
  saved.CurrentFile = run.game_.profile.CurrentFile;
  ASSERT_TRUE(LoadProfile(saved));
  EXPECT_EQ(saved.Record->Windowed, 1) << "a window is what gets saved";
}

TEST_F(StartUpTest, TheRememberedPlayersProfileIsCurrentAfterStartUp) {
  {
    StartUpRun first;
    ASSERT_EQ(first.Start(), 0);
    ASSERT_TRUE(first.RunToPlay());  // "Player" is made for the run
    first.game_.input.Slot(kSlotMap).Key = 'N';
    ASSERT_TRUE(SaveCurrentProfile(first.game_));
  }
  StartUpRun second;
  ASSERT_EQ(second.Start(), 0);
  EXPECT_EQ(second.game_.profile.CurrentName, "Player");
  EXPECT_EQ(second.game_.input.Slot(kSlotMap).Key, 'N') << "the profile's bindings are in force";
}

TEST_F(StartUpTest, ADamagedRememberedProfileLeavesNoPlayerButStartsTheGame) {
  {
    StartUpRun first;
    ASSERT_EQ(first.Start(), 0);
    ASSERT_TRUE(first.RunToPlay());
  }
  const std::string profiles = DocumentsFolder(Folders()) + "Profiles/";
  {
    const auto size = std::filesystem::file_size(profiles + "Player.zqp");
    std::fstream f(profiles + "Player.zqp", std::ios::in | std::ios::out | std::ios::binary);
    f.seekg(std::streamoff(size - 3));
    const char c = char(f.get());
    f.seekp(std::streamoff(size - 3));
    f.put(char(c ^ 0x10));
  }
  StartUpRun second;
  ASSERT_EQ(second.Start(), 0);
  EXPECT_TRUE(second.game_.profile.CurrentName.empty());
  EXPECT_TRUE(second.RunToPlay());
}

TEST_F(StartUpTest, UnwritableDocumentsFolderStillReachesPlay) {
  // A plain file where the maker's folder would be: no folder can be made.
  const std::string docs = Folders().Documents();
  std::filesystem::create_directories(docs);
  std::ofstream(docs + "/Vantorix") << "not a folder";
  StartUpRun run;
  ASSERT_EQ(run.Start(), 0);
  EXPECT_TRUE(run.RunToPlay());
}

TEST_F(StartUpTest, LeftoversOfUnfinishedSavesAreRemovedAndNothingElse) {
  const std::string docs = DocumentsFolder(Folders());
  const std::string config = ExtractFileDir(Folders().SettingsStoreFile()) + "/";
  const std::string profiles = docs + "Profiles/";
  for (const std::string& dir : {profiles, docs + "Scenarios/", docs + "Screenshots/", config})
    std::filesystem::create_directories(dir);
  const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  auto make = [&](const std::string& path, bool aged) {
    std::ofstream(path) << "x";
    if (aged) std::filesystem::last_write_time(path, old);
  };
  const std::vector<std::string> leftovers = {
      profiles + "Ann.zqp.tmpAb12Cd", docs + "Scenarios/mine.zq.tmp0aZ9xQ", docs + "gravik.ini.tmpQQQQQQ",
      config + "settings.conf.tmpk3J9a0", docs + "Screenshots/.gravik-shot.abcDEF"};
  const std::vector<std::string> kept = {
      profiles + "Ann.zqp",           profiles + "Ann.zqp.tmp",     profiles + "Ann.zqp.tmpAb12C!",
      profiles + "Ann.zqp.tmpAb12Cde", profiles + "notes.tmpAb12Cd", docs + "Screenshots/gravik-0001.png",
      docs + "my.ini.tmpQQQQQQ"};
  for (const std::string& f : leftovers) make(f, true);
  for (const std::string& f : kept) make(f, true);
  make(profiles + "Bob.zqp.tmpZZZZZZ", false);  // a save under way elsewhere
  StartUpRun run;
  ASSERT_EQ(run.Start(), 0);
  for (const std::string& f : leftovers) EXPECT_FALSE(std::filesystem::exists(f)) << f;
  for (const std::string& f : kept) EXPECT_TRUE(std::filesystem::exists(f)) << f;
  EXPECT_TRUE(std::filesystem::exists(profiles + "Bob.zqp.tmpZZZZZZ"));
}

TEST_F(StartUpTest, TooLittleDiskSpaceEndsStartUpWithItsMessage) {
  StartUpRun run;
  run.hp_.folders.FixFreeSpace(1999999);
  EXPECT_EQ(run.Start(), 1);
  EXPECT_EQ(run.LastMessage(), "Insufficient disk space.");
}

// The archive of the build in `folder`, its built-in scenario left out, or
// passed through `change` when one is given.
void WriteArchive(const std::string& folder, const std::function<void(std::vector<uint8_t>&)>& change = {}) {
  Archive a({std::string(GRAVIK_BINARY_DIR) + "/"});
  a.OpenArchive();
  ArchiveWriter w;
  w.SetKeyFromSeed(7);
  w.SetGraphicsSet(a.LoadGraphicsSet());
  a.ReleaseItem();
  for (const std::string& name : a.ItemNames()) {
    std::vector<uint8_t> item = a.TakeItem(name);
    a.ReleaseItem();
    if (name == BuiltInScenarioName) {
      if (!change) continue;
      change(item);
    }
    w.AddItem(name, item);
  }
  const std::vector<uint8_t> bytes = w.Finish();
  std::ofstream(folder + "/" + ArchiveFileName, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                                       std::streamsize(bytes.size()));
}

TEST_F(StartUpTest, MissingScenariosEndStartUpWithTheirMessages) {
  std::vector<uint8_t> zq;
  {
    Archive full({std::string(GRAVIK_BINARY_DIR) + "/"});
    full.OpenArchive();
    zq = full.TakeItem(BuiltInScenarioName);
  }
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(home_.Path());  // the archive in the current folder is found first
  WriteArchive(home_.Path());
  const std::string scenarios = LowerCase(DocumentsFolder(Folders()) + "Scenarios/");
  {
    StartUpRun run;
    EXPECT_EQ(run.Start(), 1);
    EXPECT_EQ(run.LastMessage(), "No scenario files found in " + scenarios);
  }
  {
    // Another scenario is there, but not the built-in one.
    std::filesystem::create_directories(DocumentsFolder(Folders()) + "Scenarios");
    std::ofstream(DocumentsFolder(Folders()) + "Scenarios/other.zq", std::ios::binary)
        .write(reinterpret_cast<const char*>(zq.data()), std::streamsize(zq.size()));
    StartUpRun run;
    EXPECT_EQ(run.Start(), 1);
    EXPECT_EQ(run.LastMessage(), std::string(BuiltInScenarioName) + " not found in " + scenarios);
  }
  std::filesystem::current_path(before);
}

TEST_F(StartUpTest, ADamagedBuiltInScenarioEndsStartUp) {
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(home_.Path());  // the archive in the current folder is found first
  WriteArchive(home_.Path(), [](std::vector<uint8_t>& zq) { zq.back() ^= 0x20; });
  {
    StartUpRun run;
    EXPECT_EQ(run.Start(), 1);
    EXPECT_EQ(run.LastMessage(), std::string(BuiltInScenarioName) + " CRC incorrect.");
  }
  WriteArchive(home_.Path(), [](std::vector<uint8_t>&) {});
  {
    StartUpRun run;
    EXPECT_EQ(run.Start(), 0) << "the same archive with the scenario whole";
  }
  std::filesystem::current_path(before);
}

TEST(EasterEggDay, IsTheEighteenthInIsoWeekThree) {
  EXPECT_EQ(IsoWeek({2026, 1, 1}), 1);
  EXPECT_EQ(IsoWeek({2021, 1, 1}), 53);
  EXPECT_EQ(IsoWeek({2024, 12, 30}), 1);
  EXPECT_EQ(IsoWeek({2021, 1, 18}), 3);  // a Monday
  EXPECT_TRUE(IsEasterEggDay({2026, 1, 18}));  // a Sunday
  EXPECT_TRUE(IsEasterEggDay({2021, 1, 18}));
  EXPECT_FALSE(IsEasterEggDay({2026, 2, 18}));
  EXPECT_FALSE(IsEasterEggDay({2026, 1, 17}));
}

}  // namespace
}  // namespace gravik

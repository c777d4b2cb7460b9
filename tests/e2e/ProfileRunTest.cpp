// The player's profile across runs of the real program: a game played to its
// end stores the best score; the next run starts with that profile current.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "data/Archive.h"
#include "data/Profile.h"
#include "data/Settings.h"
#include "e2e/Run.h"
#include "e2e/Shot.h"
#include "frame/PlayScenario.h"
#include "platform/Folders.h"
#include "platform/SettingsStore.h"

namespace gravik::e2e {
namespace {

const std::vector<playtest::LevelText> kLevel = {
    playtest::Level(1, {"##########",   //
                        "#P:*:...:#",   //
                        "#........#",   //
                        "##########"}),
};

// Takes a diamond (the earth at the far end stays, so the scenario is not
// completed), then gives up all three lives (Enter resumes after the
// first two); the game-over screen follows the third.
const char kScript[] =
    "290 key down Right\n"
    "330 key up Right\n"
    "430 key down Escape\n"
    "431 key up Escape\n"
    "520 key down Enter\n"
    "524 key up Enter\n"
    "670 key down Escape\n"
    "671 key up Escape\n"
    "760 key down Enter\n"
    "764 key up Enter\n"
    "910 key down Escape\n"
    "911 key up Escape\n"
    "1000 shot gameover.png\n";

class ProfileRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = GamePath();
    if (exe_.empty()) GTEST_SKIP() << "this build has no game program";
    const Folders folders;
    documents_ = DocumentsFolder(folders);
    std::filesystem::create_directories(documents_ + "Scenarios");
    scenario_ = documents_ + "Scenarios/bestscore.zq";
    const BlockCatalogue catalogue = playtest::CatalogueFromArchive(GRAVIK_BINARY_DIR);
    playtest::WriteFile(scenario_, playtest::BuildScenarioFile(kLevel, catalogue, "Best Score"));
    script_ = home_.Path() + "/script.txt";
    std::ofstream(script_) << kScript;
    settingsFile_ = folders.SettingsStoreFile();
  }

  RunResult Play() {
    return RunGame(exe_, {"--headless", "-nosound", "-nomusic", "--frames", "1010", "--input", script_, "--play", scenario_},
                   home_.Path(), 60000, home_.Path());
  }

  // The profile of "Player" as the game stored it.
  std::unique_ptr<TProfileRecord> StoredProfile() {
    ProfileState p;
    p.Folder = documents_ + "Profiles/";
    BuildProfileList(p);
    if (p.List.size() != 1 || p.List[0].PlayerName != "Player") return nullptr;
    p.CurrentName = p.List[0].PlayerName;
    p.CurrentFile = p.List[0].FileName;
    if (!LoadProfile(p)) return nullptr;
    return std::move(p.Record);
  }

  testing::TempHome home_;
  std::string exe_, documents_, scenario_, script_, settingsFile_;
};

TEST_F(ProfileRunTest, GameOverStoresTheBestScoreAndTheNextRunStartsWithIt) {
  const RunResult first = Play();
  ASSERT_EQ(first.status, 0) << first.output;
  std::unique_ptr<TProfileRecord> r = StoredProfile();
  ASSERT_TRUE(r) << "a profile named Player was created and saved";
  const TScenarioRecord* rec = CurrentScenarioRecord(*r);
  ASSERT_NE(rec, nullptr);
  EXPECT_GE(rec->HighScore, 5) << "the diamond and the earth dug";
  const int32_t best = rec->HighScore;
  FileSettingsStore store(settingsFile_);
  EXPECT_EQ(ReadRegistrySettings(store).LastPlayer, "Player");
  Shot firstOver;
  ASSERT_TRUE(ReadShot(home_.Path() + "/gameover.png", firstOver));


  // The same game again: the remembered profile is current, no new best.
  std::filesystem::remove(home_.Path() + "/gameover.png");
  const RunResult second = Play();
  ASSERT_EQ(second.status, 0) << second.output;
  r = StoredProfile();
  ASSERT_TRUE(r) << "still one profile: the remembered one was used";
  EXPECT_EQ(CurrentScenarioRecord(*r)->HighScore, best);
  Shot secondOver;
  ASSERT_TRUE(ReadShot(home_.Path() + "/gameover.png", secondOver));
  // "Congratulations!" the first time; the highest score and best time lines the second.
  EXPECT_GT(firstOver.Lit(0, 120, 640, 430), 0);
  EXPECT_NE(firstOver.Lit(0, 265, 640, 330), secondOver.Lit(0, 265, 640, 330));
}

}  // namespace
}  // namespace gravik::e2e

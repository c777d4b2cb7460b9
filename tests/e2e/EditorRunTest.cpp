// The editor in the real program: a scenario made from nothing with the keys,
// the mouse and the pad (earth, a diamond, a rock over an egg, a transporter to a
// second level and one back, the start, the end character), tried with F5 and
// back, saved; gravik-scenario passes it and writes it back as a source that
// compiles to the same bytes; a second run plays it to its completion, and
// only that run leaves a best time in the profile.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "data/Profile.h"
#include "data/Scenario.h"
#include "e2e/Run.h"
#include "e2e/Shot.h"
#include "platform/Folders.h"
#include "support/DataFiles.h"

namespace gravik::e2e {
namespace {

// Script lines, one action every other frame.
class Script {
 public:
  explicit Script(int first) : frame_(first) {}
  Script& Line(const std::string& command, int gap = 2) {
    text_ += std::to_string(frame_) + " " + command + "\n";
    frame_ += gap;
    return *this;
  }
  Script& Tap(const std::string& key, int times = 1) {
    for (int i = 0; i < times; ++i) Line("key tap " + key);
    return *this;
  }
  Script& Click(int x, int y) {
    Line("mouse move " + std::to_string(x) + " " + std::to_string(y), 1);
    Line("mouse down " + std::to_string(x) + " " + std::to_string(y), 1);
    return Line("mouse up " + std::to_string(x) + " " + std::to_string(y));
  }
  Script& Wait(int frames) {
    frame_ += frames;
    return *this;
  }
  int Frame() const { return frame_; }
  const std::string& Text() const { return text_; }

 private:
  int frame_;
  std::string text_;
};

// The palette: the group title's arrows and the entries of a group (five a row).
constexpr int kNextGroupX = 610, kPreviousGroupX = 470, kGroupY = 30;
int EntryX(int i) { return 456 + (i % 5) * 36 + 18; }
int EntryY(int i) { return 44 + (i / 5) * 36 + 18; }
// Indexes in their groups: Earth, Walls, Objects, Creatures, Transporters.
constexpr int kEarth1 = 1, kBrick = 1, kDiamond = 0, kRock = 3, kEgg = 0, kEndChar = 7, kPlayer = 8, kTransporter = 0;

Script& Group(Script& s, int steps) {
  for (int i = 0; i < std::abs(steps); ++i) s.Click(steps > 0 ? kNextGroupX : kPreviousGroupX, kGroupY);
  return s;
}
Script& Pick(Script& s, int index) { return s.Click(EntryX(index), EntryY(index)); }

class EditorRun : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = GamePath();
    if (exe_.empty()) GTEST_SKIP() << "this build has no game program";
    if (!testing::DataFilesBuilt()) GTEST_SKIP() << "the data files are not built (target data_files)";
    std::filesystem::create_directories(home_.Path() + "/run");
  }

  RunResult Run(const std::vector<std::string>& args, const std::string& script, int frames) {
    const std::string file = home_.Path() + "/script.txt";
    std::ofstream(file) << script;
    std::vector<std::string> all = {"--headless", "-nosound", "-nomusic", "--seed", "3", "--frames", std::to_string(frames),
                                    "--input", file};
    all.insert(all.end(), args.begin(), args.end());
    return RunGame(exe_, all, home_.Path(), 120000, home_.Path() + "/run");
  }

  RunResult Tool(const std::vector<std::string>& args) {
    return RunGame(std::string(GRAVIK_BINARY_DIR) + "/gravik-scenario", args, home_.Path(), 60000, home_.Path() + "/run");
  }

  // A folder of the game's documents folder in the test's home.
  std::string Folder(const std::string& name) { return DocumentsFolder(Folders()) + name + "/"; }

  std::string exe_;
  testing::TempHome home_;
};

TEST_F(EditorRun, AScenarioMadeFromNothingIsCheckedSavedAndPlayedToItsEnd) {
  // Level 1 (20 x 12, cells from the top left) ends up as, on its bottom rows:
  //   row 10  ....#o#.............
  //   row 11  ....#e#.............
  //   row 12  P:*..:..TL...E......
  // with T leading to level 2 (2, 2) and level 2's transporter at (4, 2)
  // leading back to L.
  Script s(80);
  s.Tap("Down", 11);                                      // cursor (1, 12)
  Group(s, 3); Pick(s, kPlayer); s.Tap("Enter");          // the start
  s.Tap("Right"); Group(s, -3); Pick(s, kEarth1); s.Tap("Enter");
  // The diamond with the pad: the stick right for a moment, then button 1.
  s.Line("joystick 65535 32767 0").Line("joystick 32767 32767 0");
  Group(s, 2); Pick(s, kDiamond);
  s.Line("joystick 32767 32767 1").Line("joystick 32767 32767 0");
  s.Tap("Right", 3); Group(s, -2); Pick(s, kEarth1); s.Tap("Enter");   // (6, 12)
  s.Tap("Up"); Group(s, 3); Pick(s, kEgg); s.Tap("Enter");             // (6, 11)
  s.Tap("Up"); Group(s, -1); Pick(s, kRock); s.Tap("Enter");           // (6, 10)
  Group(s, -1); Pick(s, kBrick);
  s.Tap("Left").Tap("Enter").Tap("Down").Tap("Enter").Tap("Right", 2).Tap("Enter").Tap("Up").Tap("Enter");
  s.Tap("Down", 2).Tap("Right", 7);                                     // (14, 12)
  Group(s, 2); Pick(s, kEndChar); s.Tap("Enter");
  s.Line("shot editor-level1.png");
  // Level 2: made on the scenario page (its width's "-" gives it the new
  // level's size), then a transporter at (4, 2) linked to level 1 (10, 12).
  s.Tap("Tab").Click(60, 70).Wait(4).Line("shot editor-scenario.png");  // level 2 in the list
  s.Click(443, 244).Wait(4);
  s.Click(550, 309).Wait(4);                              // "Edit level"
  s.Tap("Up", 10).Tap("Left", 10);                        // (4, 2)
  Group(s, 1); Pick(s, kTransporter); s.Tap("Enter");
  s.Tap("L").Tap("PageUp").Tap("Down", 10).Tap("Right", 6).Tap("L");   // arrives at level 1 (10, 12)
  // Level 1's transporter at (9, 12), linked to level 2 (2, 2).
  s.Tap("Left").Tap("Enter");
  s.Tap("L").Tap("PageDown").Tap("Up", 10).Tap("Left", 7).Tap("L");
  s.Tap("PageUp").Wait(4).Line("shot editor-linked.png");
  s.Line("key down Ctrl", 1).Tap("S").Line("key up Ctrl").Wait(4).Line("shot editor-saved.png");
  // Tried with F5 (its start is on this level) and played to its end; the
  // completion screen's OK leads back to the editor. Tried again and left
  // with F5 at once.
  s.Tap("F5").Wait(300).Line("key down Right").Wait(1400).Line("shot editor-trial-end.png").Line("key up Right");
  for (int i = 0; i < 6; ++i) s.Wait(100).Click(327, 463);  // "OK", once it is unlocked
  s.Wait(30).Line("shot editor-back.png");
  s.Tap("F5").Wait(400).Line("shot editor-trial.png").Tap("F5").Wait(30).Line("shot editor-back-again.png");
  s.Line("quit");
  const RunResult made = Run({"--edit", "caves"}, s.Text(), s.Frame() + 10);
  ASSERT_EQ(made.status, 0) << made.output;
  // GRAVIK_EDITOR_SHOTS=DIR keeps the run's pictures of the editor for a look.
  if (const char* keep = std::getenv("GRAVIK_EDITOR_SHOTS"))
    std::filesystem::copy(home_.Path() + "/run", keep,
                          std::filesystem::copy_options::overwrite_existing | std::filesystem::copy_options::recursive);

  const std::string file = Folder("Scenarios") + "caves.zq";
  ASSERT_TRUE(std::filesystem::exists(file)) << made.output;
  const RunResult checked = Tool({"decompile", file, home_.Path() + "/caves.txt"});
  ASSERT_EQ(checked.status, 0) << checked.output;
  const RunResult compiled = Tool({"compile", home_.Path() + "/caves.txt", home_.Path() + "/again.zq"});
  ASSERT_EQ(compiled.status, 0) << compiled.output;  // compile checks as `check` does
  std::vector<uint8_t> saved, again;
  ASSERT_TRUE(ReadWholeFile(file, saved));
  ASSERT_TRUE(ReadWholeFile(home_.Path() + "/again.zq", again));
  EXPECT_EQ(saved, again) << "decompiled and compiled again";
  std::string source;
  {
    std::ifstream in(home_.Path() + "/caves.txt");
    source.assign(std::istreambuf_iterator<char>(in), {});
  }
  EXPECT_NE(source.find("P:*..:..0....E......"), std::string::npos) << source;

  Shot back, trial, backAgain;
  ASSERT_TRUE(ReadShot(home_.Path() + "/run/editor-back.png", back));
  ASSERT_TRUE(ReadShot(home_.Path() + "/run/editor-back-again.png", backAgain));
  ASSERT_TRUE(ReadShot(home_.Path() + "/run/editor-trial.png", trial));
  EXPECT_NE(trial.Rgb, back.Rgb);
  Shot level;
  ASSERT_TRUE(ReadShot(home_.Path() + "/run/editor-linked.png", level));
  int differ = 0;  // the map as it was left: level 1, the same view
  for (int y = 20; y < 428; ++y)
    for (int x = 0; x < 448; ++x) differ += (back.At(x, y) != level.At(x, y)) + (backAgain.At(x, y) != level.At(x, y));
  EXPECT_EQ(differ, 0);

  // The trial, played to the end, left no result in the profile.
  auto results = [&]() -> int64_t {  // best time plus high score
    ProfileState p;
    p.Folder = Folder("Profiles");
    BuildProfileList(p);
    if (p.List.empty()) return -1;
    p.CurrentFile = p.List[0].FileName;
    if (!LoadProfile(p)) return -2;
    auto s2 = std::make_unique<Scenario>();
    std::vector<uint8_t> bytes = saved;
    if (!ReadScenarioInfo(*s2, bytes)) return -3;
    const int n = FindScenarioRecord(*p.Record, s2->Info.Identity);
    return n == 0 ? 0 : int64_t(p.Record->Record(n).BestTime) + p.Record->Record(n).HighScore;
  };
  EXPECT_LE(results(), 0);

  // Played: right all the way, through both transporters, to the end character.
  Script play(300);
  play.Line("key down Right").Wait(1400).Line("shot completed.png").Line("key up Right");
  const RunResult played = Run({"--play", file}, play.Text(), play.Frame() + 10);
  ASSERT_EQ(played.status, 0) << played.output;
  EXPECT_GT(results(), 0) << "the completed game's best time and score";
}

}  // namespace
}  // namespace gravik::e2e

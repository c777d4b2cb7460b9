// Save and continue across runs of the real program: a game closed in play is
// saved, the next run offers "Continue", and the continued game runs on frame
// for frame as the same game played without a break.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/Run.h"

namespace gravik::e2e {
namespace {

namespace fs = std::filesystem;

// A first start (name, help skipped), "New game", a few steps, then `end`.
std::string FirstGame(const std::string& end) {
  return "80 text Alice\n100 key tap Enter\n330 mouse move 630 470\n360 key tap Escape\n"
         "410 mouse move 320 195\n412 mouse down 320 195\n414 mouse up 320 195\n"
         "710 key down Right\n760 key up Right\n800 key down Down\n830 key up Down\n" +
         end;
}
constexpr int kQuitFrame = 950;
// After the save point, relative to it: walk right, then up.
const std::vector<std::pair<int, std::string>> kAfter = {
    {10, "key down Right"}, {50, "key up Right"}, {60, "key down Up"}, {90, "key up Up"}};
// The main menu with "Continue" first: a click on it.
const char kContinue[] = "70 mouse move 320 155\n72 mouse down 320 155\n74 mouse up 320 155\n";

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> out;
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

std::vector<fs::path> SavedGames(const std::string& home) {
  std::vector<fs::path> out;
  for (const auto& e : fs::recursive_directory_iterator(home))
    if (e.path().extension() == ".g2s") out.push_back(e.path());
  return out;
}

RunResult Play(const std::string& home, const std::string& script, int frames, const std::string& trace) {
  fs::create_directories(home);
  const std::string input = home + ".input";
  Write(input, script);
  return RunGame(GamePath(), {"--headless", "--frames", std::to_string(frames), "--input", input, "--trace-world",
                              trace},
                 home);
}

TEST(SaveGameRun, AContinuedGameRunsOnFrameForFrameAsOneWithoutABreak) {
  if (GamePath().empty()) GTEST_SKIP() << "no game program in this build";
  testing::TempHome dir;
  const std::string saved = dir.Path() + "/saved", whole = dir.Path() + "/whole";

  // Closed in play: the game is saved.
  RunResult a = Play(saved, FirstGame(std::to_string(kQuitFrame) + " quit\n"), 1000, dir.Path() + "/a.trace");
  ASSERT_EQ(a.status, 0) << a.output;
  ASSERT_EQ(SavedGames(saved).size(), 1u);
  const std::vector<std::string> before = Lines(dir.Path() + "/a.trace");
  ASSERT_GT(before.size(), 100u);

  // The same game without a break, with the steps after the save point.
  std::string after;
  for (const auto& [at, command] : kAfter) after += std::to_string(kQuitFrame + at) + " " + command + "\n";
  RunResult c = Play(whole, FirstGame(after), 1200, dir.Path() + "/c.trace");
  ASSERT_EQ(c.status, 0) << c.output;
  const std::vector<std::string> unbroken = Lines(dir.Path() + "/c.trace");
  ASSERT_GT(unbroken.size(), before.size() + 200);
  ASSERT_TRUE(std::equal(before.begin(), before.end(), unbroken.begin())) << "the same input is the same game";

  // Continued: a first run finds the frame play resumes on (the trace holds
  // every frame of play to the last one)...
  const int frames = 560;
  fs::copy(saved, dir.Path() + "/probe", fs::copy_options::recursive);
  RunResult probe = Play(dir.Path() + "/probe", kContinue, frames, dir.Path() + "/probe.trace");
  ASSERT_EQ(probe.status, 0) << probe.output;
  const int resume = frames - int(Lines(dir.Path() + "/probe.trace").size());
  // ... a second takes the same steps from there, and its world is the world
  // of the unbroken game, frame for frame.
  std::string continued = kContinue;
  for (const auto& [at, command] : kAfter) continued += std::to_string(resume + at) + " " + command + "\n";
  RunResult b = Play(saved, continued, frames, dir.Path() + "/b.trace");
  ASSERT_EQ(b.status, 0) << b.output;
  const std::vector<std::string> resumed = Lines(dir.Path() + "/b.trace");
  ASSERT_GT(resumed.size(), 200u);
  ASSERT_LE(before.size() + resumed.size(), unbroken.size());
  for (size_t i = 0; i < resumed.size(); ++i)
    ASSERT_EQ(resumed[i], unbroken[before.size() + i]) << "frame " << i << " of the continued game";
  std::vector<std::string> distinct = resumed;
  std::sort(distinct.begin(), distinct.end());
  EXPECT_GT(std::unique(distinct.begin(), distinct.end()) - distinct.begin(), 20) << "the compared stretch moves";
}

TEST(SaveGameRun, ADamagedSaveIsRefusedOnTheMenuAndANewGameCanStart) {
  if (GamePath().empty()) GTEST_SKIP() << "no game program in this build";
  testing::TempHome dir;
  const std::string home = dir.Path() + "/home";
  ASSERT_EQ(Play(home, FirstGame("950 quit\n"), 1000, dir.Path() + "/a.trace").status, 0);
  const std::vector<fs::path> saves = SavedGames(home);
  ASSERT_EQ(saves.size(), 1u);
  const std::string damaged = saves[0].string();
  {
    std::fstream f(damaged, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(40);
    f.put('\x5A');
  }
  // The menu has no "Continue": its first item is "New game", which starts play.
  RunResult r = Play(home, "70 mouse move 320 195\n72 mouse down 320 195\n74 mouse up 320 195\n360 quit\n", 400,
                     dir.Path() + "/b.trace");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_FALSE(Lines(dir.Path() + "/b.trace").empty()) << "a new game was played";
}

}  // namespace
}  // namespace gravik::e2e

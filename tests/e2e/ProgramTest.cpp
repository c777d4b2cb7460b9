// The real program, run headless.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "e2e/Run.h"

namespace gravik::e2e {
namespace {

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = GamePath();
    if (exe_.empty()) GTEST_SKIP() << "this build has no game program";
  }
  std::string exe_;
  testing::TempHome home_;
};

TEST_F(ProgramTest, HeadlessRunWritesAScreenshotOfTheLastFrame) {
  const std::string shot = home_.Path() + "/shot.png";
  const RunResult r = RunGame(exe_, {"--headless", "--frames", "120", "--screenshot", shot}, home_.Path());
  ASSERT_EQ(r.status, 0) << r.output;
  ASSERT_TRUE(std::filesystem::exists(shot));
  EXPECT_GT(std::filesystem::file_size(shot), 1000u);
}

TEST_F(ProgramTest, CommandLineIsCheckedAndAudioSwitchesIgnoreCase) {
  EXPECT_EQ(RunGame(exe_, {"--help"}, home_.Path()).status, 0);
  EXPECT_EQ(RunGame(exe_, {"--version"}, home_.Path()).status, 0);
  EXPECT_EQ(RunGame(exe_, {"--frobnicate"}, home_.Path()).status, 2);
  EXPECT_EQ(RunGame(exe_, {"--headless", "--frames", "0"}, home_.Path()).status, 2);
  const RunResult r = RunGame(exe_, {"--headless", "--frames", "40", "-NoSound", "-NOMUSIC"}, home_.Path());
  EXPECT_EQ(r.status, 0) << r.output;
}

TEST_F(ProgramTest, BadInputScriptIsReportedWithItsLine) {
  const std::string script = home_.Path() + "/bad.txt";
  FILE* f = std::fopen(script.c_str(), "w");
  std::fputs("10 key down Left\n12 key sideways Left\n", f);
  std::fclose(f);
  const RunResult r = RunGame(exe_, {"--headless", "--input", script}, home_.Path());
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.output.find("line 2"), std::string::npos) << r.output;
}

// A second copy with the same home ends at once without showing anything,
// whatever the letter case of its name.
TEST_F(ProgramTest, SecondCopyEndsAtOnce) {
  const std::string upper = home_.Path() + "/GRAVIK";
  ASSERT_EQ(symlink(exe_.c_str(), upper.c_str()), 0);
  const int first = Start(exe_, {"--headless", "--frames", "100000000"}, home_.Path());
  ASSERT_GT(first, 0);
  // Wait until the first copy has made its lock file (it locks it at once).
  // Probing with a lock of our own could make the first copy see a second one.
  const std::string lockFile = home_.Path() + "/GRAVIK.lock";
  for (int i = 0; i < 500 && !std::filesystem::exists(lockFile); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(std::filesystem::exists(lockFile));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const std::string shot = home_.Path() + "/second.png";
  const auto t0 = std::chrono::steady_clock::now();
  const RunResult second = RunGame(upper, {"--headless", "--frames", "100", "--screenshot", shot}, home_.Path());
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0);
  EXPECT_EQ(waitpid(first, nullptr, WNOHANG), 0) << "the first copy must still be running";
  Stop(first);
  EXPECT_EQ(second.status, 0);
  EXPECT_FALSE(std::filesystem::exists(shot));
  EXPECT_LT(ms.count(), 5000);
  // With the first copy gone, the program runs again.
  const RunResult third = RunGame(upper, {"--headless", "--frames", "40", "--screenshot", shot}, home_.Path());
  EXPECT_EQ(third.status, 0) << third.output;
  EXPECT_TRUE(std::filesystem::exists(shot));
}

}  // namespace
}  // namespace gravik::e2e

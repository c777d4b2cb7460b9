// The numbered screenshot files: folders made when missing, taken names skipped,
// and a folder that cannot be written leaves nothing behind.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "frame/Screenshot.h"
#include "support/TempHome.h"

namespace gravik {
namespace {

class ScreenshotTest : public ::testing::Test {
 protected:
  testing::TempHome home_;
  const std::string dir_ = home_.Path();
  Bitmap frame_{640, 480, 0x1234};
};

TEST_F(ScreenshotTest, NamesCountOnPastTakenOnesInAFolderMadeWhenMissing) {
  const std::string folder = dir_ + "/Documents/Screenshots/";
  uint32_t next = 1;
  EXPECT_EQ(SaveNumberedScreenshot(folder, frame_, next), "gravik-0001.png");
  std::ofstream(folder + "gravik-0002.png") << "kept";
  std::filesystem::create_directory(folder + "gravik-0003.png");  // a folder holds the name too
  EXPECT_EQ(SaveNumberedScreenshot(folder, frame_, next), "gravik-0004.png");
  EXPECT_EQ(next, 5u);
  // A new session starts counting at 1 again and still finds the free name.
  uint32_t fresh = 1;
  EXPECT_EQ(SaveNumberedScreenshot(folder, frame_, fresh), "gravik-0005.png");
  next = 9999;
  EXPECT_EQ(SaveNumberedScreenshot(folder, frame_, next), "gravik-9999.png");
  EXPECT_EQ(SaveNumberedScreenshot(folder, frame_, next), "gravik-10000.png");
  std::ifstream kept(folder + "gravik-0002.png");
  std::string text;
  kept >> text;
  EXPECT_EQ(text, "kept");
  EXPECT_GT(std::filesystem::file_size(folder + "gravik-0001.png"), 100u);
}

TEST_F(ScreenshotTest, NothingIsWrittenWhereNoFileCanBeMade) {
  uint32_t next = 1;
  std::ofstream(dir_ + "/Screenshots") << "a file where the folder would be";
  EXPECT_EQ(SaveNumberedScreenshot(dir_ + "/Screenshots/", frame_, next), "");
  EXPECT_EQ(SaveNumberedScreenshot(dir_ + "/shots/", Bitmap(), next), "") << "nothing presented yet";
  if (geteuid() != 0) {  // root writes anywhere
    std::filesystem::create_directory(dir_ + "/locked");
    chmod((dir_ + "/locked").c_str(), 0500);
    EXPECT_EQ(SaveNumberedScreenshot(dir_ + "/locked/", frame_, next), "");
    EXPECT_TRUE(std::filesystem::is_empty(dir_ + "/locked"));
  }
  EXPECT_EQ(next, 1u);
}

}  // namespace
}  // namespace gravik

// The program started on a chosen level with --start-level: it runs to the end,
// the last frame is play on that level (not the black title card), and levels
// with different bricks really look different.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "e2e/Run.h"

namespace gravik::e2e {
namespace {

struct Picture {
  int Width = 0, Height = 0;
  std::vector<uint8_t> Rgb;
};

uint32_t Be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

// The program's screenshots: 8-bit RGB, no interlace, filter 0 on every row.
bool ReadPicture(const std::string& path, Picture& pic) {
  std::ifstream f(path, std::ios::binary);
  const std::vector<uint8_t> png((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  if (png.size() < 33 || std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8) != 0) return false;
  std::vector<uint8_t> z;
  for (size_t at = 8; at + 12 <= png.size();) {
    const uint32_t len = Be32(&png[at]);
    if (at + 12 + len > png.size()) return false;
    const std::string type(reinterpret_cast<const char*>(&png[at + 4]), 4);
    const uint8_t* data = &png[at + 8];
    if (type == "IHDR") {
      pic.Width = int(Be32(data));
      pic.Height = int(Be32(data + 4));
      if (data[8] != 8 || data[9] != 2 || data[12] != 0) return false;
    } else if (type == "IDAT") {
      z.insert(z.end(), data, data + len);
    }
    at += 12 + len;
  }
  const size_t stride = size_t(pic.Width) * 3 + 1;
  std::vector<uint8_t> raw(stride * size_t(pic.Height));
  uLongf rawSize = uLongf(raw.size());
  if (uncompress(raw.data(), &rawSize, z.data(), uLong(z.size())) != Z_OK || rawSize != raw.size()) return false;
  pic.Rgb.clear();
  for (int y = 0; y < pic.Height; ++y) {
    if (raw[size_t(y) * stride] != 0) return false;
    pic.Rgb.insert(pic.Rgb.end(), raw.begin() + long(size_t(y) * stride + 1),
                   raw.begin() + long((size_t(y) + 1) * stride));
  }
  return true;
}

// Share of pixels in [x0, x1) x [y0, y1) with no component above 40.
double DarkShare(const Picture& p, int x0, int y0, int x1, int y1) {
  long dark = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const uint8_t* c = &p.Rgb[(size_t(y) * size_t(p.Width) + size_t(x)) * 3];
      dark += c[0] <= 40 && c[1] <= 40 && c[2] <= 40;
    }
  return double(dark) / double((x1 - x0) * (y1 - y0));
}

// Mean red and blue of [x0, x1) x [y0, y1).
void MeanRedBlue(const Picture& p, int x0, int y0, int x1, int y1, double& red, double& blue) {
  double r = 0, b = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const uint8_t* c = &p.Rgb[(size_t(y) * size_t(p.Width) + size_t(x)) * 3];
      r += c[0];
      b += c[2];
    }
  const double n = double((x1 - x0) * (y1 - y0));
  red = r / n;
  blue = b / n;
}

class LevelStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = GamePath();
    if (exe_.empty()) GTEST_SKIP() << "this build has no game program";
  }

  // The last frame of a run started on `level`, 320 frames in (the title card
  // is over by then).
  Picture Shot(int level) {
    const std::string file = home_.path + "/level" + std::to_string(level) + ".png";
    const RunResult r = RunGame(exe_,
                                {"--headless", "-nosound", "-nomusic", "--start-level", std::to_string(level),
                                 "--frames", "320", "--screenshot", file},
                                home_.path);
    EXPECT_EQ(r.status, 0) << r.output;
    Picture p;
    EXPECT_TRUE(ReadPicture(file, p)) << file;
    EXPECT_EQ(p.Width, 640);
    EXPECT_EQ(p.Height, 480);
    return p;
  }

  std::string exe_;
  TempDir home_;
};

TEST_F(LevelStartTest, EachLevelStartsInPlayWithItsOwnBricks) {
  const Picture one = Shot(1), two = Shot(2), four = Shot(4);
  if (one.Rgb.empty() || two.Rgb.empty() || four.Rgb.empty()) return;
  // The playfield (left of the panel) shows the level, not the black title card.
  EXPECT_LT(DarkShare(one, 0, 0, 480, 480), 0.3);
  EXPECT_LT(DarkShare(two, 0, 0, 480, 480), 0.3);
  EXPECT_LT(DarkShare(four, 0, 0, 480, 480), 0.3);
  // The top-left corner of the view is wall on these starts: red bricks on
  // level 1, blue-grey on level 2, sandstone on level 4.
  double r1, b1, r2, b2, r4, b4;
  MeanRedBlue(one, 0, 0, 192, 192, r1, b1);
  MeanRedBlue(two, 0, 0, 192, 192, r2, b2);
  MeanRedBlue(four, 0, 0, 192, 192, r4, b4);
  EXPECT_GT(r1, b1 + 20) << "level 1 red " << r1 << " blue " << b1;
  EXPECT_GT(b2, r2) << "level 2 red " << r2 << " blue " << b2;
  EXPECT_GT(r4, b4 + 20) << "level 4 red " << r4 << " blue " << b4;
  EXPECT_NE(int(r1), int(r4)) << "levels 1 and 4 drew the same bricks";
}

TEST_F(LevelStartTest, LevelOutsideOneToTwentyIsRefused) {
  for (const char* bad : {"0", "21", "x"}) {
    const RunResult r = RunGame(exe_, {"--headless", "--start-level", bad, "--frames", "1"}, home_.path);
    EXPECT_EQ(r.status, 2) << bad << ": " << r.output;
    EXPECT_NE(r.output.find("--start-level"), std::string::npos) << r.output;
  }
}

}  // namespace
}  // namespace gravik::e2e

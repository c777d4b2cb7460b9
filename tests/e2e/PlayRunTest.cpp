// The real program playing a purpose-made scenario from a script: walk, dig,
// push a rock, take a diamond, give up a life, hide the panel, and take a
// transporter to level 2. Each screenshot is the last frame of a run, so the
// same script is run several times with different frame counts.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "e2e/Run.h"
#include "frame/PlayScenario.h"

namespace gravik::e2e {
namespace {

// A decoded screenshot, 8-bit RGB.
struct Shot {
  int Width = 0, Height = 0;
  std::vector<uint8_t> Rgb;

  uint32_t At(int x, int y) const {
    const size_t i = (size_t(y) * size_t(Width) + size_t(x)) * 3;
    return uint32_t(Rgb[i]) << 16 | uint32_t(Rgb[i + 1]) << 8 | Rgb[i + 2];
  }
  // Pixels that are not black in the rectangle [x0, x1) x [y0, y1).
  int Lit(int x0, int y0, int x1, int y1) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += At(x, y) != 0;
    return n;
  }
  int Matching(int x0, int y0, int x1, int y1, uint32_t colour) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += At(x, y) == colour;
    return n;
  }
};

uint32_t Be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

// Reads the program's screenshots: 8-bit RGB, no interlace, filter 0 on every row.
bool ReadShot(const std::string& path, Shot& shot) {
  std::ifstream f(path, std::ios::binary);
  const std::vector<uint8_t> png((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  if (png.size() < 33 || std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8) != 0) return false;
  std::vector<uint8_t> z;
  for (size_t at = 8; at + 12 <= png.size();) {
    const uint32_t len = Be32(&png[at]);
    const std::string type(reinterpret_cast<const char*>(&png[at + 4]), 4);
    if (at + 12 + len > png.size()) return false;
    const uint8_t* data = &png[at + 8];
    if (type == "IHDR") {
      shot.Width = int(Be32(data));
      shot.Height = int(Be32(data + 4));
      if (data[8] != 8 || data[9] != 2 || data[12] != 0) return false;
    } else if (type == "IDAT") {
      z.insert(z.end(), data, data + len);
    }
    at += 12 + len;
  }
  const size_t stride = size_t(shot.Width) * 3 + 1;
  std::vector<uint8_t> raw(stride * size_t(shot.Height));
  uLongf rawSize = uLongf(raw.size());
  if (uncompress(raw.data(), &rawSize, z.data(), uLong(z.size())) != Z_OK || rawSize != raw.size()) return false;
  shot.Rgb.clear();
  for (int y = 0; y < shot.Height; ++y) {
    if (raw[size_t(y) * stride] != 0) return false;
    shot.Rgb.insert(shot.Rgb.end(), raw.begin() + long(size_t(y) * stride + 1), raw.begin() + long((size_t(y) + 1) * stride));
  }
  return true;
}

// Level 1: dig right, take the diamond, push the rock until it meets the wall,
// step down and dig on to the transporter, which leads to level 2.
const std::vector<playtest::LevelText> kJourney = {
    playtest::Level(1,
                    {"#############",   //
                     "#P:*:o...#..#",   //
                     "#::::::::::T#",   //
                     "#############"},
                    {{2, 2, 2}}),
    playtest::Level(2,
                    {"#######",   //
                     "#..:*:#",   //
                     "#######"},
                    {}, false),
};

// Frames at 60 a second. Play begins about 4.5 s in (start-up, title card).
const char kScript[] =
    "400 key down Escape\n"   // gives up a life
    "401 key up Escape\n"
    "520 key down Enter\n"    // back to play from "You have lost a life"
    "524 key up Enter\n"
    "540 key down Tab\n"      // hides the side panel
    "552 key up Tab\n"
    "570 key down Right\n"    // digs, takes the diamond, pushes the rock to the wall
    "700 key up Right\n"
    "710 key down Down\n"
    "720 key up Down\n"
    "730 key down Right\n"    // digs on to the transporter
    "830 key up Right\n";

class PlayRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = GamePath();
    if (exe_.empty()) GTEST_SKIP() << "this build has no game program";
    const BlockCatalogue catalogue = playtest::CatalogueFromArchive(GRAVIK_BINARY_DIR);
    scenario_ = home_.path + "/journey.zq";
    playtest::WriteFile(scenario_, playtest::BuildScenarioFile(kJourney, catalogue, "Journey"));
    script_ = home_.path + "/journey.txt";
    std::ofstream(script_) << kScript;
  }

  // Runs `frames` frames and reads the screenshot of the last one.
  Shot RunTo(int frames, const std::string& name) {
    const std::string png = home_.path + "/" + name + ".png";
    const RunResult r = RunGame(exe_,
                                {"--headless", "--frames", std::to_string(frames), "--seed", "3", "--input", script_,
                                 "--play", scenario_, "--screenshot", png},
                                home_.path);
    EXPECT_EQ(r.status, 0) << r.output;
    Shot s;
    EXPECT_TRUE(ReadShot(png, s)) << png;
    if (const char* keep = std::getenv("GRAVIK_KEEP_SHOTS")) {
      std::filesystem::create_directories(keep);
      std::filesystem::copy_file(png, std::string(keep) + "/" + name + ".png",
                                 std::filesystem::copy_options::overwrite_existing);
    }
    return s;
  }

  std::string exe_, scenario_, script_;
  TempDir home_;
};

TEST_F(PlayRunTest, Journey) {
  const Shot title = RunTo(200, "1-title");
  ASSERT_EQ(title.Width, 640);
  ASSERT_EQ(title.Height, 480);
  const Shot play = RunTo(380, "2-play");
  const Shot lifeLost = RunTo(500, "3-life-lost");
  const Shot noPanel = RunTo(565, "4-no-panel");
  const Shot walked = RunTo(705, "5-walked");
  for (int f : {760, 780, 800, 820, 840, 860}) RunTo(f, "6-journey-" + std::to_string(f));
  const Shot level2 = RunTo(1000, "7-level2");
  (void)lifeLost;
  (void)walked;
  (void)level2;
  (void)play;
  (void)noPanel;
}

}  // namespace
}  // namespace gravik::e2e

// The desktop icons, the fuzz seeds taken from the built data files, and the
// checksum fix-ups the fuzzers apply to mutated inputs.
#include <gtest/gtest.h>

#include <cairo.h>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../fuzz/Fixups.h"
#include "FuzzSeeds.h"
#include "Icons.h"
#include "audio/Audio.h"
#include "base/Errors.h"
#include "codec/Codec.h"
#include "data/Archive.h"
#include "data/Demo.h"
#include "data/Profile.h"
#include "data/Scenario.h"
#include "gfx/Bmp.h"
#include "platform/Folders.h"
#include "support/DataFiles.h"
#include "support/TempHome.h"

namespace gravik::mkres {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Read(const std::string& path) {
  Bytes b;
  EXPECT_TRUE(ReadWholeFile(path, b)) << path;
  return b;
}

std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> out;
  if (!std::filesystem::is_directory(dir)) return out;
  for (const auto& e : std::filesystem::directory_iterator(dir)) out.push_back(e.path().string());
  return out;
}

double Alpha(cairo_surface_t* s, int x, int y) {
  const unsigned char* d = cairo_image_surface_get_data(s);
  const uint32_t px = *reinterpret_cast<const uint32_t*>(d + y * cairo_image_surface_get_stride(s) + x * 4);
  return (px >> 24) / 255.0;
}

TEST(Icons, EverySizeIsAShapedPictureOnATransparentCorner) {
  testing::TempHome dir;
  const auto files = WriteIcons(dir.Path());
  ASSERT_EQ(files.size(), std::size(kIconSizes));
  for (size_t i = 0; i < files.size(); ++i) {
    const int n = kIconSizes[i];
    cairo_surface_t* s = cairo_image_surface_create_from_png(files[i].c_str());
    ASSERT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS) << files[i];
    EXPECT_EQ(cairo_image_surface_get_width(s), n);
    EXPECT_EQ(cairo_image_surface_get_height(s), n);
    // Rounded tile: the corner pixel is (all but) clear, the middle and most of the rest opaque.
    EXPECT_LT(Alpha(s, 0, 0), 0.1) << n;
    EXPECT_EQ(Alpha(s, n / 2, n / 2), 1.0) << n;
    int opaque = 0;
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) opaque += Alpha(s, x, y) > 0.99;
    EXPECT_GT(opaque, n * n * 7 / 10) << n;
    cairo_surface_destroy(s);
  }
}

// The seeds come from the build's data files (test_mkres depends on data_files).
class FuzzSeeds : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new testing::TempHome;
    WriteFuzzSeeds(dir_->Path(), GRAVIK_BINARY_DIR);
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static std::string Target(const std::string& t) { return dir_->Path() + "/" + t; }
  static testing::TempHome* dir_;
};
testing::TempHome* FuzzSeeds::dir_ = nullptr;

TEST_F(FuzzSeeds, ScenarioSeedsAllLoadWithTheirCrcRight) {
  const auto files = FilesIn(Target("scenario_load"));
  ASSERT_GE(files.size(), 5u);
  bool stored = false, picture = false, noInfo = false;
  for (const std::string& f : files) {
    Bytes b = Read(f);
    Scenario s;
    ASSERT_EQ(LoadScenario(s, b), ScenarioLoaded) << f;
    EXPECT_TRUE(s.CrcCorrect) << f;
    stored |= s.Form.LevelCoding == 0;
    picture |= !s.PuzzlePicture.empty();
    noInfo |= s.Form.Version == ScenarioVersionNoInfo;
  }
  EXPECT_TRUE(stored && picture && noInfo);
  EXPECT_EQ(FilesIn(Target("scenario_info")).size(), files.size());
}

TEST_F(FuzzSeeds, SmallArchivesOpenAndEveryPartReads) {
  for (const char* name : {"small-plain.dat", "small-keyed.dat"}) {
    Archive a(Read(Target("archive_open") + "/" + name), name);
    a.OpenArchive();
    EXPECT_EQ(a.ItemNames().size(), 3u);
    for (const std::string& item : a.ItemNames()) {
      EXPECT_FALSE(a.TakeItem(item).empty()) << item;
      a.ReleaseItem();
    }
    EXPECT_NO_THROW(a.LoadGraphicsSet()) << name;
  }
}

TEST_F(FuzzSeeds, MusicBitmapAndCodecSeedsAreWhatTheirReadersTake) {
  std::vector<NamedBytes> items;
  const Bytes small = Read(Target("music_file") + "/small.dat");
  ASSERT_EQ(ReadMusicFile(small.data(), small.size(), items), MusicFileStatus::Ok);
  EXPECT_EQ(items.size(), 2u);
  AudioState audio;
  EXPECT_EQ(LoadMusicData(audio, small), "");

  const auto bmps = FilesIn(Target("bmp_load"));
  ASSERT_FALSE(bmps.empty());
  for (const std::string& f : bmps) {
    Bitmap b;
    EXPECT_TRUE(LoadBmp(Read(f), b)) << f;
  }
  for (const char* tag : {"WAXF", "WAXS"}) {
    const auto seeds = FilesIn(Target(std::string("codec_") + (tag[3] == 'F' ? "waxf" : "waxs")));
    ASSERT_FALSE(seeds.empty());
    for (const std::string& f : seeds) {
      Bytes c(tag, tag + 4);
      const Bytes body = Read(f);
      c.insert(c.end(), body.begin(), body.end());
      EXPECT_FALSE(Decompress(c.data(), c.size(), 1 << 20).empty()) << f;
    }
  }
  EXPECT_FALSE(FilesIn(Target("wave_parse")).empty());
  EXPECT_EQ(FilesIn(Target("fonts_load")).size(), 1u);
}

TEST_F(FuzzSeeds, DemoSeedsAreTheBuiltInDemoAndVariantsOfIt) {
  std::string error;
  DemoFile d;
  for (const char* name : {"demo2.dem", "no-timing.dem", "last-row.dem", "restless.dem", "brief.dem"})
    EXPECT_TRUE(ReadDemo(Read(Target("demo_fuzz") + "/" + name), d, error)) << name << ": " << error;
  EXPECT_EQ(d.Count, 4u);
  for (const char* name : {"cut-captions.dem", "cut-snapshot.dem"})
    EXPECT_FALSE(ReadDemo(Read(Target("demo_fuzz") + "/" + name), d, error)) << name;
}

TEST(FuzzSeedsErrors, MissingDataFilesAreReported) {
  testing::TempHome out, empty;
  EXPECT_THROW(WriteFuzzSeeds(out.Path(), empty.Path()), std::runtime_error);
}

// --- fix-ups -----------------------------------------------------------------

Bytes BuiltInScenario() {
  Archive a(Read(testing::DataFolder() + "zqresource.dat"), "zqresource.dat");
  a.OpenArchive();
  Bytes b = a.TakeItem(BuiltInScenarioName);
  a.ReleaseItem();
  return b;
}

TEST(Fixups, ScenarioCrcCoversRegionOneAndTheNotes) {
  const Bytes good = BuiltInScenario();
  Bytes f = good;
  EXPECT_FALSE(fuzz::FixScenarioCrc(f));  // already right
  EXPECT_EQ(f, good);
  const uint32_t c = GetU32(good.data() + 13);
  for (size_t at : {size_t(GetU32(good.data() + 5)) + 1, size_t(c) - 1, good.size() - 1}) {
    Bytes m = good;
    m[at] ^= 0x20;  // one byte of the header, of the last of region 1, of the notes
    Bytes copy = m;
    Scenario s;
    if (LoadScenario(s, copy) == ScenarioLoaded) {
      EXPECT_FALSE(s.CrcCorrect) << at;
    }
    ASSERT_TRUE(fuzz::FixScenarioCrc(m)) << at;
    Scenario t;
    if (LoadScenario(t, m) == ScenarioLoaded) {
      EXPECT_TRUE(t.CrcCorrect) << at;
    }
  }
  Bytes cut(good.begin(), good.begin() + 1000);  // no body key: nothing to fix
  EXPECT_FALSE(fuzz::FixScenarioCrc(cut));
}

TEST(Fixups, ArchiveGraphicsCrcIsRewrittenInTheScrambledDirectory) {
  Bytes f = Read(testing::DataFolder() + "zqresource.dat");
  EXPECT_FALSE(fuzz::FixArchiveCrc(f));
  f[ArchiveGraphicsOffset + 100] ^= 0x01;
  {
    Archive a(f, "zqresource.dat");
    a.OpenArchive();
    try {
      a.LoadGraphicsSet();
      ADD_FAILURE() << "a damaged graphics set was taken";
    } catch (const FatalMessage& e) {
      EXPECT_STREQ(e.what(), "Exception (s)");
    }
  }
  ASSERT_TRUE(fuzz::FixArchiveCrc(f));
  Archive a(f, "zqresource.dat");
  a.OpenArchive();
  try {
    a.LoadGraphicsSet();  // may still be refused, but not for its CRC
  } catch (const FatalMessage& e) {
    EXPECT_STRNE(e.what(), "Exception (s)");
  }
}

TEST(Fixups, ProfileCheckBlockFollowsTheNameAndAnInsertedPayloadByte) {
  const Bytes good = Read(std::string(GRAVIK_SOURCE_DIR) + "/fuzz/seeds/profile_fuzz/new.zqp");
  DecodedProfile d;
  ASSERT_TRUE(DecodeProfileFile(good.data(), good.size(), d));
  Bytes f = good;
  EXPECT_FALSE(fuzz::FixProfileCheck(f));

  f[ProfileNameOffset + 1] = 'Q';  // the name is under the CRC
  EXPECT_FALSE(DecodeProfileFile(f.data(), f.size(), d));
  ASSERT_TRUE(fuzz::FixProfileCheck(f));
  ASSERT_TRUE(DecodeProfileFile(f.data(), f.size(), d));
  EXPECT_EQ(d.PlayerName[0], 'Q');

  // A byte inserted in the payload shifts the scrambled check block: the
  // last six bytes are made the block again and the length put right, so the
  // file reads past the check (and is then judged by its payload).
  Bytes g = good;
  g.insert(g.begin() + ProfilePayloadOffset + 3, uint8_t(0x55));
  ASSERT_TRUE(fuzz::FixProfileCheck(g));
  Bytes body(g.begin() + ProfileScrambledOffset, g.end());
  for (size_t i = 0; i < body.size(); ++i) body[i] ^= g[ProfileKeyOffset + i % ProfileKeySize];
  EXPECT_EQ(GetU32(&body[1]), body.size() - 5 - 6);
  EXPECT_EQ(std::string(body.end() - 6, body.end() - 2), "G2CK");
  const ProfileResult r = DecodeProfileFile(g.data(), g.size(), d);
  EXPECT_TRUE(r || r.Message == ProfileInvalidText || r.Message == ProfileStampText);

  Bytes cut(good.begin(), good.begin() + ProfilePayloadOffset + 5);  // no room for a block
  EXPECT_FALSE(fuzz::FixProfileCheck(cut));
}

}  // namespace
}  // namespace gravik::mkres

// The built graphics set: cell table and sheets as the game cuts them, key colours
// kept out of visible pixels, animation frames that actually move, set colours
// that actually change, and blocks that stay distinct down to thumbnails.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "GraphicsSet.h"
#include "base/Bytes.h"
#include "data/Archive.h"
#include "gfx/Bmp.h"

namespace gravik::mkres {
namespace {

class BuiltGraphicsSet : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { gs_ = new GraphicsSetData(BuildGraphicsSet(std::string(GRAVIK_SOURCE_DIR) + "/assets")); }
  static void TearDownTestSuite() { delete gs_; }
  static const GraphicsSetData& Gs() { return *gs_; }
  static int Code(const char* name) { return gs_->Blocks.Find(name); }
  static inline GraphicsSetData* gs_ = nullptr;
};

// Mean absolute difference per channel (0..255) of two same-sized pictures.
double Difference(const Bitmap& a, const Bitmap& b) {
  double sum = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      const TColor p = FromRgb565(a.Pixel(x, y)), q = FromRgb565(b.Pixel(x, y));
      for (int s = 0; s < 24; s += 8) sum += std::abs(int((p >> s) & 0xFF) - int((q >> s) & 0xFF));
    }
  return sum / (3.0 * a.Width() * a.Height());
}

// Key-coloured pixels that cannot reach the picture's edge through other key
// pixels: holes the game would show the background through.
// `where` gets the first hole's position.
int KeyHoles(const Bitmap& b, uint16_t key, std::string* where = nullptr) {
  const int w = b.Width(), h = b.Height();
  std::vector<char> seen(size_t(w * h), 0);
  std::vector<std::pair<int, int>> stack;
  for (int x = 0; x < w; ++x) stack.insert(stack.end(), {{x, 0}, {x, h - 1}});
  for (int y = 0; y < h; ++y) stack.insert(stack.end(), {{0, y}, {w - 1, y}});
  while (!stack.empty()) {
    auto [x, y] = stack.back();
    stack.pop_back();
    if (x < 0 || y < 0 || x >= w || y >= h || seen[size_t(y * w + x)] || b.Pixel(x, y) != key) continue;
    seen[size_t(y * w + x)] = 1;
    stack.insert(stack.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
  }
  int holes = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (b.Pixel(x, y) == key && !seen[size_t(y * w + x)]) {
        if (holes++ == 0 && where) *where = std::to_string(x) + "," + std::to_string(y);
      }
  return holes;
}

TEST_F(BuiltGraphicsSet, CellTableNamesCellsOfBothSheets) {
  ASSERT_EQ(Gs().CellTable.size(), 11520u);
  const int cols = Gs().BlockSheet.Width() / 64, rows = Gs().BlockSheet.Height() / 64;
  EXPECT_EQ(Gs().ThumbSheet.Width(), cols * 16);
  EXPECT_EQ(Gs().ThumbSheet.Height(), rows * 15);
  for (int b = 1; b <= 120; ++b)
    for (int s = 1; s <= 6; ++s)
      for (int g = 1; g <= 2; ++g) {
        const size_t at = size_t(b - 1) * 96 + size_t(s - 1) * 16 + size_t(g - 1) * 8;
        const int32_t c = int32_t(GetU32(&Gs().CellTable[at])), r = int32_t(GetU32(&Gs().CellTable[at + 4]));
        ASSERT_TRUE(c >= 1 && c <= cols && r >= 1 && r <= rows) << b << "/" << s << "/" << g;
      }
  // Code 1 is the empty block: black everywhere.
  for (int g = 1; g <= 2; ++g) EXPECT_EQ(Gs().BlockBitmap(1, 3, g), Bitmap(64, 64, 0));
}

TEST_F(BuiltGraphicsSet, GameReadsTheBlockBackFromAnArchive) {
  ArchiveWriter writer;
  writer.SetKeyFromSeed(7);
  AddGraphicsSet(writer, Gs());
  Archive archive(writer.Finish(), "zqresource.dat");
  archive.OpenArchive();
  const GraphicsSet read = archive.LoadGraphicsSet();
  archive.ReleaseItem();
  archive.CloseArchive();

  EXPECT_EQ(read.Catalogue, Gs().CatalogueRecords);
  for (int b = 1; b <= 120; ++b)
    for (int s = 1; s <= 6; ++s)
      for (int g = 1; g <= 2; ++g) {
        const auto [c, r] = Gs().Cell(b, s, g);
        ASSERT_EQ(read.Cell(b, s, g).Column, c);
        ASSERT_EQ(read.Cell(b, s, g).Row, r);
      }
  Bitmap blocks, thumbs;
  ASSERT_TRUE(LoadBmp(read.BlockSheet, blocks));
  ASSERT_TRUE(LoadBmp(read.ThumbSheet, thumbs));
  EXPECT_TRUE(blocks == Gs().BlockSheet);  // every pixel, key colours included
  EXPECT_TRUE(thumbs == Gs().ThumbSheet);
}

TEST_F(BuiltGraphicsSet, KeyColoursStayOutOfVisiblePixels) {
  for (int b = 1; b <= 120; ++b)
    for (int s = 1; s <= 6; ++s)
      for (int g = 1; g <= 2; ++g) {
        const KeyMode key = Gs().Blocks.At(b).Style[g - 1].Key;
        const Bitmap pic = Gs().BlockBitmap(b, s, g);
        int black = 0, magenta = 0;
        std::string where;
        for (uint16_t p : pic.Pixels()) {
          black += p == kBlackKey;
          magenta += p == kMagentaKey;
        }
        SCOPED_TRACE(testing::Message() << "block " << b << " set " << s << " style " << g);
        switch (key) {
          case KeyMode::Solid:
            EXPECT_EQ(black + magenta, 0);
            break;
          case KeyMode::Floor:
            EXPECT_EQ(magenta, 0);
            break;
          case KeyMode::Sprite:
            EXPECT_EQ(magenta, 0);
            EXPECT_EQ(KeyHoles(pic, kBlackKey, &where), 0) << "first hole at " << where;
            EXPECT_GT(black, 0);
            EXPECT_LT(black, 64 * 64 * 9 / 10);  // something to see
            break;
          case KeyMode::Magenta:
            EXPECT_EQ(KeyHoles(pic, kMagentaKey, &where), 0) << "first hole at " << where;
            EXPECT_GT(magenta, 0);
            EXPECT_LT(magenta, 64 * 64 * 9 / 10);
            break;
        }
      }
  // The player's style-1 frames are keyed on magenta, the style-2 ones on black.
  EXPECT_EQ(Gs().BlockBitmap(38, 1, 1).Pixel(0, 0), kMagentaKey);
  EXPECT_EQ(Gs().BlockBitmap(38, 1, 2).Pixel(0, 0), kBlackKey);
}

TEST_F(BuiltGraphicsSet, TransporterGivesSevenBrightJourneyColours) {
  for (int s = 1; s <= 6; ++s)
    for (int g = 1; g <= 2; ++g) {
      const Bitmap pic = Gs().BlockBitmap(Code("TRANSPORT1"), s, g);
      std::set<uint16_t> colours;
      for (int x = 0; x <= 12; x += 2) {
        const TColor c = FromRgb565(pic.Pixel(x, 16));
        const int brightest = std::max({int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)});
        EXPECT_GT(brightest, 160) << x;
        colours.insert(pic.Pixel(x, 16));
      }
      EXPECT_EQ(colours.size(), 7u);
    }
}

TEST_F(BuiltGraphicsSet, AnimationFramesDifferAndStyleTwoIsPlainer) {
  auto differ = [&](int a, int b, int style) {
    return Difference(Gs().BlockBitmap(a, 1, style), Gs().BlockBitmap(b, 1, style)) > 0.5;
  };
  const int firsts[][2] = {{Code("ROCK1"), 4},    {Code("DIAMOND"), 3},  {Code("SPIRIT1"), 3}, {Code("MONSTER1"), 2},
                           {Code("TRANSPORT1"), 5}, {Code("TIMEBOMB1"), 7}, {Code("SAVE2"), 6},   {66, 5},
                           {71, 6},               {87, 7},               {94, 7},               {105, 3}};
  for (const auto& run : firsts)
    for (int i = 1; i < run[1]; ++i) EXPECT_TRUE(differ(run[0] + i - 1, run[0] + i, 1)) << run[0] + i;
  EXPECT_TRUE(differ(Code("SKULL1"), Code("SKULL2"), 1));
  EXPECT_TRUE(differ(Code("KEY"), Code("KEY2"), 1));
  EXPECT_TRUE(differ(Code("SAVE"), Code("SAVE2"), 1));
  // Style 2 walks with its own frames.
  for (int code = 41; code < 44; ++code) EXPECT_TRUE(differ(code, code + 1, 2)) << code;
  // The plain style is a different picture, not a copy.
  for (const char* name : {"ROCK", "EARTH1", "BRICK", "DIAMOND", "PLAYERST"})
    EXPECT_GT(Difference(Gs().BlockBitmap(Code(name), 1, 1), Gs().BlockBitmap(Code(name), 1, 2)), 1.0) << name;
}

TEST_F(BuiltGraphicsSet, SetsRecolourWallsAndEarthButShareObjects) {
  for (const char* name : {"EARTH1", "EARTH2", "EARTH3", "BRICK", "STONE", "STEEL"})
    for (int s = 2; s <= 6; ++s)
      EXPECT_GT(Difference(Gs().BlockBitmap(Code(name), 1, 1), Gs().BlockBitmap(Code(name), s, 1)), 4.0)
          << name << " set " << s;
  for (const char* name : {"ROCK", "DIAMOND", "PLAYERST", "MONSTER1"})
    for (int s = 2; s <= 6; ++s) EXPECT_EQ(Gs().Cell(Code(name), 1, 1), Gs().Cell(Code(name), s, 1)) << name;
}

TEST_F(BuiltGraphicsSet, KeyBlocksReadApartEvenAsThumbnails) {
  const char* names[] = {"ROCK", "DIAMOND", "EARTH1", "BRICK", "EGG", "MONSTER1", "SPIRIT1", "CAGE",
                         "KEY", "SAFE", "SKULL1", "TRANSPORT1", "PUZZLE", "PLANT1", "SAVE", "ENDCHAR1"};
  for (int g = 1; g <= 2; ++g)
    for (size_t i = 0; i < std::size(names); ++i) {
      const Bitmap thumb = Gs().BlockThumb(Code(names[i]), 1, g);
      // An object does not blur into a flat square: contrast survives the shrink.
      uint16_t lo = 0xFFFF, hi = 0;
      for (uint16_t p : thumb.Pixels()) {
        const int grey = int(FromRgb565(p) & 0xFF) + int((FromRgb565(p) >> 8) & 0xFF);
        lo = std::min<uint16_t>(lo, uint16_t(grey));
        hi = std::max<uint16_t>(hi, uint16_t(grey));
      }
      if (Gs().Blocks.At(Code(names[i])).Style[g - 1].Key != KeyMode::Solid) {
        EXPECT_GT(hi - lo, 60) << names[i] << " style " << g;
      }
      for (size_t j = i + 1; j < std::size(names); ++j) {
        EXPECT_GT(Difference(thumb, Gs().BlockThumb(Code(names[j]), 1, g)), 12.0)
            << names[i] << " vs " << names[j] << " style " << g;
        EXPECT_GT(Difference(Gs().BlockBitmap(Code(names[i]), 1, g), Gs().BlockBitmap(Code(names[j]), 1, g)), 12.0)
            << names[i] << " vs " << names[j] << " style " << g;
      }
    }
}

TEST_F(BuiltGraphicsSet, BuildingAgainGivesTheSameBytes) {
  const GraphicsSetData again = BuildGraphicsSet(std::string(GRAVIK_SOURCE_DIR) + "/assets");
  EXPECT_TRUE(again.Bytes() == Gs().Bytes());
}

}  // namespace
}  // namespace gravik::mkres

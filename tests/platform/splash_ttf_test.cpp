// The SDL2_ttf raster behind the splash label and the other system-font texts,
// on the faces the archive carries. Needs no display.
#ifdef GRAVIK_HAVE_SDL
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "data/SystemFaces.h"
#include "gfx/SystemTextAdapter.h"
#include "platform/sdl/SdlSystemText.h"
#include "support/DataFiles.h"

namespace gravik {
namespace {

class SdlText : public ::testing::Test {
 protected:
  void SetUp() override {
    GRAVIK_REQUIRE_DATA_FILES();
    ASSERT_TRUE(LoadSystemFaces(raster, {testing::DataFolder()})) << raster.Error();
  }
  SdlTextRaster raster;
};

int InkedPixels(const TextMask& m) {
  int n = 0;
  for (uint8_t c : m.Coverage) n += c > 127;
  return n;
}

TEST_F(SdlText, MasksHaveTheMeasuredExtentAndInkWhereTheGlyphsAre) {
  int w = 0, h = 0;
  ASSERT_TRUE(raster.Measure("AFPS ON", 11, true, w, h));
  TextMask m;
  ASSERT_TRUE(raster.Render("AFPS ON", 11, true, m));
  EXPECT_EQ(m.Width, w);
  EXPECT_EQ(m.Height, h);
  EXPECT_EQ(m.Coverage.size(), size_t(w) * size_t(h));
  // An 11-pixel sans: about 12..14 pixels per line, 40..60 wide for 7 characters.
  EXPECT_GE(h, 11);
  EXPECT_LE(h, 16);
  EXPECT_GE(w, 40);
  EXPECT_LE(w, 70);
  EXPECT_GT(InkedPixels(m), 40);
  // The space between the words is blank across the line.
  int wordGap = 0;
  for (int x = 0; x < m.Width; ++x) {
    bool blank = true;
    for (int y = 0; y < m.Height; ++y) blank = blank && m.At(x, y) == 0;
    wordGap += blank;
  }
  EXPECT_GE(wordGap, 2);
}

TEST_F(SdlText, BoldIsWiderAndHeavierAndSizeScales) {
  TextMask regular, bold, big;
  ASSERT_TRUE(raster.Render("Preparing graphics...", 11, false, regular));
  ASSERT_TRUE(raster.Render("Preparing graphics...", 11, true, bold));
  ASSERT_TRUE(raster.Render("Preparing graphics...", 21, false, big));
  EXPECT_GT(bold.Width, regular.Width);
  EXPECT_GT(InkedPixels(bold), InkedPixels(regular));
  EXPECT_GT(big.Width, regular.Width * 17 / 10);
  EXPECT_GT(big.Height, regular.Height * 17 / 10);
}

TEST_F(SdlText, EmptyAndNonAsciiTexts) {
  TextMask m;
  ASSERT_TRUE(raster.Render("", 11, false, m));
  EXPECT_EQ(m.Width, 0);
  EXPECT_GT(m.Height, 0);
  // Through the adapter: a Windows-1252 pound sign is one glyph, not two.
  struct NoFallback : SystemText {
    void TextOut(Bitmap&, int, int, std::string_view, const SystemFont&, uint16_t, bool, uint16_t) override {
      ADD_FAILURE();
    }
    int TextWidth(std::string_view, const SystemFont&) override { return -1; }
    int TextHeight(std::string_view, const SystemFont&) override { return -1; }
  } none;
  RasterSystemText text(&raster, none);
  const int pound = text.TextWidth("\xA3", SystemFont{});
  EXPECT_GT(pound, 3);
  EXPECT_LT(pound, 12);
  Bitmap surface(100, 30, 0);
  text.TextOut(surface, 5, 5, "KBI New", SystemFont{"Arial", 8, true}, 0xFFFF, true, Rgb565(0, 0, 128));
  int white = 0;
  for (uint16_t p : surface.Pixels()) white += p == 0xFFFF;
  EXPECT_GT(white, 20);
  EXPECT_EQ(surface.Pixel(5, 5), Rgb565(0, 0, 128));  // the box's corner is background
  EXPECT_EQ(surface.Pixel(4, 4), 0);
}

TEST(SdlTextFaces, DamagedFontDataIsRefusedAndNothingRenders) {
  SdlTextRaster raster;
  EXPECT_FALSE(raster.LoadFaces({1, 2, 3, 4, 5}, {6, 7, 8}));
  EXPECT_FALSE(raster.HasFaces());
  EXPECT_FALSE(raster.Error().empty());
  EXPECT_FALSE(raster.LoadFaces({}, {}));
  TextMask m;
  int w = 0, h = 0;
  EXPECT_FALSE(raster.Render("x", 11, false, m));
  EXPECT_FALSE(raster.Measure("x", 11, false, w, h));
}

}  // namespace
}  // namespace gravik
#endif

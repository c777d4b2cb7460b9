// System-font text through a TrueType raster, and the fallback when there is none.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "data/SystemFaces.h"
#include "gfx/SystemTextAdapter.h"
#include "support/DataFiles.h"

namespace gravik {
namespace {

// A raster whose glyphs are 3-pixel-wide columns of known coverage: column 0
// full ink, column 1 half, column 2 none; lines are `pixelSize` high.
struct FakeRaster : TextRaster {
  bool Faces = true;
  bool FailRender = false;
  std::vector<std::string> Texts;
  std::vector<int> Sizes;
  std::vector<bool> Bolds;

  bool LoadFaces(std::vector<uint8_t>, std::vector<uint8_t>) override { return Faces; }
  bool HasFaces() const override { return Faces; }
  bool Measure(std::string_view utf8, int pixelSize, bool bold, int& width, int& height) override {
    Texts.emplace_back(utf8);
    Sizes.push_back(pixelSize);
    Bolds.push_back(bold);
    width = 3 * int(utf8.size());
    height = pixelSize;
    return true;
  }
  bool Render(std::string_view utf8, int pixelSize, bool bold, TextMask& out) override {
    if (FailRender) return false;
    Measure(utf8, pixelSize, bold, out.Width, out.Height);
    out.Coverage.assign(size_t(out.Width) * size_t(out.Height), 0);
    for (int y = 0; y < out.Height; ++y)
      for (int x = 0; x < out.Width; ++x) out.Coverage[size_t(y * out.Width + x)] = x % 3 == 0 ? 255 : x % 3 == 1 ? 128 : 0;
    return true;
  }
};

// The fallback: records its calls and marks its box with the colour.
struct RecordingText : SystemText {
  int Calls = 0;
  void TextOut(Bitmap& surface, int x, int y, std::string_view, const SystemFont&, uint16_t colour, bool,
               uint16_t) override {
    ++Calls;
    surface.FillRect(Bounds(x, y, 5, 5), colour);
  }
  int TextWidth(std::string_view text, const SystemFont&) override { return 100 + int(text.size()); }
  int TextHeight(std::string_view, const SystemFont&) override { return 7; }
};

constexpr uint16_t kInk = Rgb565(255, 255, 255);
constexpr uint16_t kPaper = Rgb565(0, 0, 0);

TEST(SystemText, WithoutARasterOrItsFacesEverythingGoesToTheBitmapFont) {
  RecordingText bitmapFont;
  FakeRaster noFaces;
  noFaces.Faces = false;
  for (TextRaster* raster : {static_cast<TextRaster*>(nullptr), static_cast<TextRaster*>(&noFaces)}) {
    RasterSystemText text(raster, bitmapFont);
    Bitmap surface(40, 20);
    EXPECT_FALSE(text.UsesFaces());
    EXPECT_EQ(text.TextWidth("ab", SystemFont{}), 102);
    EXPECT_EQ(text.TextHeight("ab", SystemFont{}), 7);
    const int before = bitmapFont.Calls;
    text.TextOut(surface, 1, 1, "ab", SystemFont{}, kInk, false, 0);
    EXPECT_EQ(bitmapFont.Calls, before + 1);
    EXPECT_EQ(surface.Pixel(1, 1), kInk);
  }
  EXPECT_TRUE(noFaces.Texts.empty());
}

TEST(SystemText, PointsBecomePixelsAt96DpiAndTheGamesTextBecomesUtf8) {
  EXPECT_EQ(SystemFontPixels(8), 11);
  EXPECT_EQ(SystemFontPixels(9), 12);
  EXPECT_EQ(SystemFontPixels(10), 13);
  EXPECT_EQ(SystemFontPixels(12), 16);
  EXPECT_EQ(SystemFontPixels(16), 21);
  EXPECT_EQ(SystemFontPixels(0), 1);

  RecordingText bitmapFont;
  FakeRaster raster;
  RasterSystemText text(&raster, bitmapFont);
  EXPECT_TRUE(text.UsesFaces());
  // Windows-1252 pound sign and e-acute: two UTF-8 bytes each.
  EXPECT_EQ(text.TextWidth("\xA3\xE9", SystemFont{"Arial", 16, true}), 3 * 4);
  EXPECT_EQ(raster.Texts.back(), "\xC2\xA3\xC3\xA9");
  EXPECT_EQ(raster.Sizes.back(), 21);
  EXPECT_TRUE(raster.Bolds.back());
  EXPECT_EQ(text.TextHeight("x", SystemFont{}), 11);
  EXPECT_FALSE(raster.Bolds.back());
  EXPECT_EQ(bitmapFont.Calls, 0);
}

TEST(SystemText, InkBlendsOntoThePicture) {
  RecordingText bitmapFont;
  FakeRaster raster;
  RasterSystemText text(&raster, bitmapFont);
  const uint16_t ground = Rgb565(0, 0, 255);
  Bitmap surface(30, 20, ground);
  text.TextOut(surface, 2, 3, "ab", SystemFont{}, kInk, false, 0);
  // Full coverage is the colour, none leaves the picture, half mixes the two.
  EXPECT_EQ(surface.Pixel(2, 3), kInk);
  EXPECT_EQ(surface.Pixel(5, 13), kInk);
  EXPECT_EQ(surface.Pixel(4, 3), ground);
  const uint16_t half = surface.Pixel(3, 3);
  EXPECT_EQ(half >> 11, 16);          // red 0 -> 31 half way
  EXPECT_EQ((half >> 5) & 63, 32);    // green 0 -> 63
  EXPECT_EQ(half & 31, 31);           // blue stays full
  // Nothing outside the text's box.
  EXPECT_EQ(surface.Pixel(1, 3), ground);
  EXPECT_EQ(surface.Pixel(2, 2), ground);
  EXPECT_EQ(surface.Pixel(2, 14), ground);
  EXPECT_EQ(surface.Pixel(8, 3), ground);
  EXPECT_EQ(bitmapFont.Calls, 0);
}

TEST(SystemText, OpaqueTextFillsItsWholeBoxFirst) {
  RecordingText bitmapFont;
  FakeRaster raster;
  RasterSystemText text(&raster, bitmapFont);
  const uint16_t ground = Rgb565(0, 255, 0);
  Bitmap surface(30, 20, ground);
  text.TextOut(surface, 0, 0, "FPS", SystemFont{}, kInk, true, kPaper);
  // Box = 9 x 11: the uninked column is background, the next pixel is not.
  EXPECT_EQ(surface.Pixel(2, 0), kPaper);
  EXPECT_EQ(surface.Pixel(8, 10), kPaper);
  EXPECT_EQ(surface.Pixel(0, 0), kInk);
  EXPECT_EQ(surface.Pixel(9, 0), ground);
  EXPECT_EQ(surface.Pixel(0, 11), ground);
  // Half coverage mixes with the background, not with what was there.
  EXPECT_EQ(surface.Pixel(1, 0), Rgb565(132, 130, 132));
}

TEST(SystemText, TextIsClippedAtEveryEdgeOfTheSurface) {
  RecordingText bitmapFont;
  FakeRaster raster;
  RasterSystemText text(&raster, bitmapFont);
  Bitmap surface(8, 8);
  text.TextOut(surface, -3, -4, "abcdef", SystemFont{}, kInk, true, Rgb565(9, 9, 9));
  EXPECT_EQ(surface.Pixel(0, 0), kInk);  // the second glyph's first column
  EXPECT_EQ(surface.Pixel(3, 6), kInk);
  text.TextOut(surface, 6, 6, "abcdef", SystemFont{}, kInk, false, 0);
  EXPECT_EQ(surface.Pixel(6, 7), kInk);
  text.TextOut(surface, 100, 100, "abc", SystemFont{}, kInk, true, 0);
  text.TextOut(surface, -100, -100, "abc", SystemFont{}, kInk, true, 0);
  EXPECT_EQ(bitmapFont.Calls, 0);
}

TEST(SystemText, ARasterThatCannotRenderHandsTheTextToTheBitmapFont) {
  RecordingText bitmapFont;
  FakeRaster raster;
  raster.FailRender = true;
  RasterSystemText text(&raster, bitmapFont);
  Bitmap surface(20, 20);
  text.TextOut(surface, 4, 4, "AFPS ON", SystemFont{"Arial", 8, true}, kInk, true, kPaper);
  EXPECT_EQ(bitmapFont.Calls, 1);
  EXPECT_EQ(surface.Pixel(4, 4), kInk);
}

struct CapturingRaster : FakeRaster {
  std::vector<uint8_t> Regular, Bold;
  bool LoadFaces(std::vector<uint8_t> regular, std::vector<uint8_t> bold) override {
    Regular = std::move(regular);
    Bold = std::move(bold);
    return true;
  }
};

TEST(SystemText, FacesComeFromTheArchiveOrNotAtAll) {
  CapturingRaster raster;
  // No archive: refused without throwing.
  EXPECT_FALSE(LoadSystemFaces(raster, {}));
  EXPECT_FALSE(LoadSystemFaces(raster, {"/nonexistent-folder/"}));
  EXPECT_TRUE(raster.Regular.empty());

  GRAVIK_REQUIRE_DATA_FILES();
  ASSERT_TRUE(LoadSystemFaces(raster, {testing::DataFolder()}));
  // Two different TrueType faces.
  const std::vector<uint8_t> trueType{0, 1, 0, 0};
  ASSERT_GT(raster.Regular.size(), 4u);
  ASSERT_GT(raster.Bold.size(), 4u);
  EXPECT_TRUE(std::equal(trueType.begin(), trueType.end(), raster.Regular.begin()));
  EXPECT_TRUE(std::equal(trueType.begin(), trueType.end(), raster.Bold.begin()));
  EXPECT_NE(raster.Regular, raster.Bold);
}

}  // namespace
}  // namespace gravik

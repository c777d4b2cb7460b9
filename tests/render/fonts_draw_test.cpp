// Selecting, measuring and drawing with the bitmap fonts; digit images.
#include <gtest/gtest.h>

#include <climits>

#include "base/Errors.h"
#include "render/Fonts.h"
#include "render/FontsFile.h"
#include "render/fonts_support.h"

namespace gravik {
namespace {

using fonts_test::CodeInk;
using fonts_test::FakeArchive;
using fonts_test::GlyphWidth;
using fonts_test::MakeFile;
using fonts_test::MakeFont;
using fonts_test::SynthFont;

constexpr uint16_t kWhite = 0xFFFF;
// Glow inks: red 10 (kind 1 turns green from red); green 40 with blue 5 (kind 2).
constexpr uint16_t kRed10 = 10 << 11;
constexpr uint16_t kGreen40 = (40 << 5) | 5;

class Fonts : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<SynthFont> list = {
        MakeFont("0first.bmp", 12, CodeInk),  // record 1, the fallback
        MakeFont("2eras16boldV.bmp", 24, CodeInk),
        MakeFont("3eras16boldV.bmp", 24, [](int c) { return uint16_t(0x1000 + c); }),
        MakeFont("1eras16boldV.bmp", 24, [](int) { return kRed10; }),
        MakeFont("2eras14boldV.bmp", 22, [](int) { return kGreen40; }),
        MakeFont("3eras20boldV.bmp", 30, [](int c) { return uint16_t(0x2000 + c); }),
        MakeFont("2eras10boldV.bmp", 16, CodeInk),
        MakeFont("3eras10boldV.bmp", 16, [](int c) { return uint16_t(0x1000 + c); }),
        MakeFont("2eras16boldV.bmp", 20, [](int c) { return uint16_t(0x3000 + c); }),  // duplicate
    };
    file_ = MakeFile(list);
    // Beyond the count: never selected.
    file_.Records[list.size()].Name = "5eras16boldV.bmp";
    Load(file_);
  }

  void Load(const FontsFile& file) {
    images_ = ImageList();
    images_.AddImage("GameBlocks");
    fonts_ = FontSet();
    const std::vector<uint8_t> bytes = WriteFontsFile(file);
    LoadFonts(fonts_, images_, bytes.data(), bytes.size(), archive_.Reader());
  }

  // First column at or after x0 on row y whose pixel differs from `background`.
  int FirstInk(int y, int x0 = 0, uint16_t background = 0) const {
    for (int x = x0; x < surface_.Width(); ++x)
      if (surface_.Pixel(x, y) != background) return x;
    return -1;
  }

  FontsFile file_;
  FakeArchive archive_;
  ImageList images_;
  FontSet fonts_;
  Bitmap surface_{640, 480};
};

TEST_F(Fonts, SelectFontMatchesColourAndFileNameExactly) {
  SelectFont(fonts_, "eras16boldV.bmp", 3);
  EXPECT_EQ(fonts_.Selected, 3);
  EXPECT_EQ(fonts_.SelectedName, "3eras16boldV.bmp");

  SelectFont(fonts_, "eras16boldV.bmp", 2);  // two records carry the name: the last
  EXPECT_EQ(fonts_.Selected, 9);
  EXPECT_EQ(fonts_.SelectedName, "2eras16boldV.bmp");

  for (auto [face, colour] : {std::pair{"ERAS16boldV.bmp", 3}, {"eras16boldV.bmp", 5}, {"nofont.bmp", 0}}) {
    SelectFont(fonts_, face, colour);
    EXPECT_EQ(fonts_.Selected, 1) << face << colour;
    EXPECT_EQ(fonts_.SelectedName, "0first.bmp");
  }
}

TEST_F(Fonts, MeasuringUsesTheGlyphTable) {
  SelectFont(fonts_, "eras10boldV.bmp", 2);
  EXPECT_EQ(TextWidth(fonts_, ""), 0);
  EXPECT_EQ(TextHeight(fonts_, ""), 0);
  EXPECT_EQ(TextWidth(fonts_, "AB"), GlyphWidth('A') + GlyphWidth('B'));
  EXPECT_EQ(TextHeight(fonts_, "AB"), 16);
  // Codes outside 32..127 take the glyph of 127.
  for (int code : {0, 31, 128, 200, 255}) {
    EXPECT_EQ(&GlyphOf(fonts_, uint8_t(code)), &GlyphOf(fonts_, 127)) << code;
    EXPECT_EQ(TextWidth(fonts_, std::string(1, char(code))), GlyphWidth(127));
  }
  EXPECT_EQ(GlyphOf(fonts_, 'A').Left, TextWidth(fonts_, std::string(" !\"#$%&'()*+,-./0123456789:;<=>?@")));
}

TEST_F(Fonts, DrawTextCopiesGlyphsOpaqueLeftToRight) {
  SelectFont(fonts_, "eras10boldV.bmp", 2);
  surface_.Fill(kWhite);
  const std::string text = std::string("Hi") + char(200);
  DrawText(fonts_, surface_, 100, 50, text);
  int x = 100;
  for (uint8_t c : {uint8_t('H'), uint8_t('i'), uint8_t(127)}) {
    EXPECT_EQ(surface_.Pixel(x, 50), CodeInk(c));
    EXPECT_EQ(surface_.Pixel(x + GlyphWidth(c) - 1, 64), CodeInk(c));
    EXPECT_EQ(surface_.Pixel(x, 65), 0) << "the glyph's black row is copied too";
    x += GlyphWidth(c);
  }
  EXPECT_EQ(surface_.Pixel(x, 50), kWhite);
  EXPECT_EQ(surface_.Pixel(99, 50), kWhite);
  EXPECT_EQ(surface_.Pixel(100, 66), kWhite);

  // Text running off the surface is clipped, not written out of bounds.
  DrawText(fonts_, surface_, 630, 470, "WWWWWWWW");
  DrawText(fonts_, surface_, -20, -5, "WWWWWWWW");
  EXPECT_EQ(surface_.Pixel(639, 470), CodeInk('W'));
}

TEST_F(Fonts, CentredAndRightAlignedPositions) {
  SelectFont(fonts_, "eras10boldV.bmp", 2);
  // 16 glyphs of width 6 and one of 5: 101 pixels.
  const std::string text = std::string(16, '$') + "#";
  ASSERT_EQ(TextWidth(fonts_, text), 101);
  DrawTextCentred(fonts_, surface_, 10, text);
  EXPECT_EQ(FirstInk(10), 270);
  EXPECT_EQ(surface_.Pixel(370, 10), CodeInk('#'));
  EXPECT_EQ(surface_.Pixel(371, 10), 0);

  DrawTextRight(fonts_, surface_, 600, 100, text);
  EXPECT_EQ(FirstInk(100), 499);
  EXPECT_EQ(surface_.Pixel(599, 100), CodeInk('#'));
  EXPECT_EQ(surface_.Pixel(600, 100), 0);

  Bitmap panel(50, 20, kWhite);
  DrawTextInto(fonts_, panel, 1, 2, "A");
  EXPECT_EQ(panel.Pixel(1, 2), CodeInk('A'));
  EXPECT_EQ(panel.Pixel(0, 2), kWhite);
}

TEST_F(Fonts, KeyedTextLeavesBlackOut) {
  SelectFont(fonts_, "eras10boldV.bmp", 2);  // 16 high, bottom row black
  surface_.Fill(kWhite);
  DrawTextKeyed(fonts_, surface_, 10, 10, "Ab");
  EXPECT_EQ(surface_.Pixel(10, 10), CodeInk('A'));
  EXPECT_EQ(surface_.Pixel(10 + GlyphWidth('A'), 24), CodeInk('b'));
  EXPECT_EQ(surface_.Pixel(10, 25), kWhite);  // the glyph's black row
  EXPECT_EQ(surface_.Pixel(10, 33), kWhite);  // the rest of the 24-high work bitmap
  EXPECT_EQ(fonts_.KeyedWork.Height(), 24);

  DrawTextKeyed(fonts_, surface_, 10, 100, "Ab", /*inPlay=*/true);
  EXPECT_EQ(fonts_.KeyedWork.Height(), 16);
  EXPECT_EQ(fonts_.KeyedWork.Width(), TextWidth(fonts_, "Ab"));

  surface_.Fill(kWhite);
  DrawTextKeyedCentred(fonts_, surface_, 200, "$");
  EXPECT_EQ(FirstInk(200, 0, kWhite), 320 - 3);
  DrawTextKeyed(fonts_, surface_, 0, 0, "");  // nothing to draw
}

TEST_F(Fonts, GlowRecolours) {
  surface_.Fill(kWhite);
  // Kind 1: green := trunc(2 r / factor), red and blue kept.
  DrawGlowText(fonts_, surface_, 0, 0, "A", GlowKind::Caption, 1.0);
  EXPECT_EQ(fonts_.SelectedName, "1eras16boldV.bmp");
  EXPECT_EQ(surface_.Pixel(0, 0), (10 << 11) | (20 << 5));
  EXPECT_EQ(fonts_.GlowWork.Height(), 24);
  DrawGlowText(fonts_, surface_, 0, 30, "A", GlowKind::Caption, 1.5);
  EXPECT_EQ(surface_.Pixel(0, 30), (10 << 11) | (13 << 5));
  // Opaque until the image buttons switch the work bitmap's key on.
  EXPECT_EQ(surface_.Pixel(0, 23), 0);
  fonts_.GlowWorkTransparent = true;
  DrawGlowText(fonts_, surface_, 100, 0, "A", GlowKind::Caption, 2.0);
  EXPECT_EQ(surface_.Pixel(100, 0), (10 << 11) | (10 << 5));
  EXPECT_EQ(surface_.Pixel(100, 23), kWhite);

  // Kind 2: green := trunc(g / factor), red := old green div 2, blue kept.
  fonts_.GlowWorkTransparent = false;
  DrawGlowText(fonts_, surface_, 200, 0, "AB", GlowKind::Value, 2.0);
  EXPECT_EQ(fonts_.SelectedName, "2eras14boldV.bmp");
  EXPECT_EQ(fonts_.GlowWork.Height(), 22);
  EXPECT_EQ(fonts_.GlowWork.Width(), GlyphWidth('A') + GlyphWidth('B'));
  EXPECT_EQ(surface_.Pixel(200, 0), (20 << 11) | (20 << 5) | 5);
  DrawGlowText(fonts_, surface_, 200, 40, "A", GlowKind::Value, 3.0);
  EXPECT_EQ(surface_.Pixel(200, 40), (20 << 11) | (13 << 5) | 5);

  // A factor outside the widgets' range keeps the channels within their bits.
  for (double f : {0.0, 0.01, -1.0, 1e9}) {
    DrawGlowText(fonts_, surface_, 300, 0, "A", GlowKind::Caption, f);
    const uint16_t p = surface_.Pixel(300, 0);
    EXPECT_EQ(p >> 11, 10) << f;
    EXPECT_EQ(p & 31, 0) << f;
  }
}

TEST_F(Fonts, LabelAndValue) {
  // Pair centred on 320: label colour 2, value colour 3 right after label + " ".
  DrawLabelValue(fonts_, surface_, 0, "AB", "7");
  SelectFont(fonts_, "eras16boldV.bmp", 2);
  const int x = 320 - TextWidth(fonts_, "AB 7") / 2;
  EXPECT_EQ(FirstInk(0), x);
  EXPECT_EQ(surface_.Pixel(x, 0), 0x3000 + 'A');
  EXPECT_EQ(surface_.Pixel(x + TextWidth(fonts_, "AB "), 0), 0x1000 + '7');

  DrawLabelValueAt(fonts_, surface_, 400, 100, "Score", "12");
  EXPECT_EQ(surface_.Pixel(399, 100), 0x3000 + 'e');
  EXPECT_EQ(surface_.Pixel(400, 100), 0x1000 + ' ');
  EXPECT_EQ(surface_.Pixel(400 + GlyphWidth(' '), 100), 0x1000 + '1');

  DrawLabelValueAt(fonts_, surface_, 400, 200, "Score", "12", kFaceEras10);
  EXPECT_EQ(surface_.Pixel(399, 200), CodeInk('e'));
  EXPECT_EQ(surface_.Pixel(400 + GlyphWidth(' '), 200), 0x1000 + '1');
}

TEST_F(Fonts, LoadFontsMakesTheImageEntries) {
  const ImageEntry& font = images_.FindImage("3eras16boldV.bmp");
  EXPECT_FALSE(font.Transparent);
  EXPECT_EQ(font.PatternWidth, 0);
  EXPECT_EQ(PatternCount(font), 1);
  EXPECT_EQ(font.Picture.Height(), 24);

  // Digits 0..9 from colour 2 of "eras14boldV.bmp" and colour 3 of "eras20boldV.bmp".
  for (int n = 1; n <= 10; ++n) {
    const ImageEntry& a = images_.FindImage("fonta" + std::to_string(n));
    EXPECT_TRUE(a.Transparent);
    EXPECT_EQ(a.Picture.Width(), GlyphWidth(47 + n));
    EXPECT_EQ(a.Picture.Height(), 22);
    EXPECT_EQ(a.Picture.Pixel(0, 0), kGreen40);
    const ImageEntry& b = images_.FindImage("fontb" + std::to_string(n));
    EXPECT_EQ(b.Picture.Height(), 30);
    EXPECT_EQ(b.Picture.Pixel(0, 0), 0x2000 + 47 + n);
  }
  for (int n = 1; n <= 6; ++n) {
    const ImageEntry& m = images_.FindImage("menutext" + std::to_string(n));
    EXPECT_FALSE(m.Transparent);
    EXPECT_EQ(m.Picture.Width(), 10 + n);
    EXPECT_EQ(m.Picture.Pixel(0, 0), 0xF800);
  }
  EXPECT_EQ(images_.Count(), 1 + 9 + 20 + 6);
}

TEST_F(Fonts, DigitIndexesFollowTheImageList) {
  RebuildFontIndexes(fonts_, images_);
  for (int d = 0; d < 10; ++d) {
    EXPECT_EQ(images_.At(fonts_.SmallDigits[size_t(d)]).Name, "fonta" + std::to_string(d + 1));
    EXPECT_EQ(images_.At(fonts_.BigDigits[size_t(d)]).Name, "fontb" + std::to_string(d + 1));
  }
  // A rebuilt entry moves to the end: the lists must follow.
  images_.ReplaceImage("GameBlocks");
  images_.AddImage("fonta4").Picture = Bitmap(1, 1, 7);
  RebuildFontIndexes(fonts_, images_);
  EXPECT_EQ(fonts_.SmallDigits[3], images_.Count() - 1);
  EXPECT_EQ(images_.At(fonts_.BigDigits[0]).Name, "fontb1");

  ImageList noB;
  noB.AddImage("GameBlocks");
  for (int n = 1; n <= 10; ++n) noB.AddImage("fonta" + std::to_string(n));
  for (int n = 1; n <= 9; ++n) noB.AddImage("fontb" + std::to_string(n));
  try {
    RebuildFontIndexes(fonts_, noB);
    ADD_FAILURE();
  } catch (const FatalMessage& e) {
    EXPECT_STREQ(e.what(), "Error building font listb");
  }
  // Index 0 counts as missing.
  ImageList first;
  first.AddImage("fonta1");
  try {
    RebuildFontIndexes(fonts_, first);
    ADD_FAILURE();
  } catch (const FatalMessage& e) {
    EXPECT_STREQ(e.what(), "Error building font lista");
  }
}

TEST_F(Fonts, Numbers) {
  RebuildFontIndexes(fonts_, images_);
  surface_.Fill(kWhite);
  // The minus sign draws as 0; the images are keyed on black.
  DrawSmallNumber(fonts_, images_, surface_, 10, 10, -5);
  EXPECT_EQ(surface_.Pixel(10, 10), kGreen40);
  EXPECT_EQ(surface_.Pixel(10, 31), kWhite);
  const int five = 10 + GlyphWidth('0');
  EXPECT_EQ(surface_.Pixel(five, 10), kGreen40);
  EXPECT_EQ(surface_.Pixel(five + GlyphWidth('5'), 10), kWhite);

  // Big digits start at cx - 17 * characters div 2.
  surface_.Fill(0);
  DrawBigNumberCentred(fonts_, images_, surface_, 557, 100, 1234);
  EXPECT_EQ(FirstInk(100), 523);
  EXPECT_EQ(surface_.Pixel(523, 100), 0x2000 + '1');
  EXPECT_EQ(surface_.Pixel(523 + GlyphWidth('1'), 100), 0x2000 + '2');
}

TEST_F(Fonts, GlyphRectanglesAreClippedToTheBitmap) {
  FontsFile file = file_;
  auto& glyphs = file.Records[6].Glyphs;  // "2eras10boldV.bmp", 16 high
  const int w = fonts_.Pictures[6].Width();
  glyphs['A' - 32] = {w - 3, 0, 10, 16};             // runs off the right
  glyphs['B' - 32] = {-4, -4, 6, 30};                // starts above and left
  glyphs['C' - 32] = {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX};
  glyphs['D' - 32] = {5, 5, INT32_MIN, -1};
  glyphs['E' - 32] = {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  Load(file);
  SelectFont(fonts_, "eras10boldV.bmp", 2);
  EXPECT_EQ(GlyphOf(fonts_, 'A'), (TGlyphRect{w - 3, 0, 3, 16}));
  EXPECT_EQ(GlyphOf(fonts_, 'B'), (TGlyphRect{0, 0, 2, 16}));
  EXPECT_EQ(GlyphOf(fonts_, 'C').Width, 0);
  EXPECT_EQ(GlyphOf(fonts_, 'D').Width, 0);
  EXPECT_EQ(GlyphOf(fonts_, 'E').Width, 0);
  EXPECT_EQ(TextWidth(fonts_, "ABCDE"), 5);
  DrawText(fonts_, surface_, 0, 0, "ABCDE");
  // The font's last columns: the end of glyph 126 and glyph 127; then the space glyph.
  EXPECT_EQ(surface_.Pixel(0, 0), CodeInk(126));
  EXPECT_EQ(surface_.Pixel(2, 0), CodeInk(127));
  EXPECT_EQ(surface_.Pixel(3, 0), CodeInk(' '));
  EXPECT_EQ(surface_.Pixel(5, 0), 0);
}

}  // namespace
}  // namespace gravik

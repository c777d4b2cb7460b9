// The built "fonts.dat" as the game reads it: every face and colour, the cell
// sizes the drawing code relies on, solid glyphs, the glow colours, the digit
// images, and clear failures for bad sources.
//
// Set GRAVIK_FONT_SHEET to a file name to get a PNG of every font drawing a
// sample line through the game's own text drawing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "FontMaker.h"
#include "gfx/Bmp.h"
#include "gfx/Fonts.h"
#include "gfx/FontsFile.h"
#include "gfx/ImageList.h"
#include "gfx/Png.h"

namespace gravik::mkres {
namespace {

class BuiltFonts : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    bytes_ = new std::vector<uint8_t>(BuildFontsDat(&error));
    error_ = new std::string(error);
  }
  static void TearDownTestSuite() {
    delete bytes_;
    delete error_;
  }
  static const std::vector<uint8_t>& Bytes() { return *bytes_; }

  // The fonts as the game loads them, with placeholder captions.
  static void Load(FontSet& fonts, ImageList& images) {
    std::map<std::string, std::vector<uint8_t>> items;
    for (int n = 1; n <= 8; ++n) items["menu" + std::to_string(n) + ".bmp"] = SaveBmp16(Bitmap(8, 4, 0xF800));
    LoadFonts(fonts, images, Bytes().data(), Bytes().size(),
              [&items](const std::string& name) -> std::optional<std::vector<uint8_t>> {
                auto it = items.find(name);
                if (it == items.end()) return std::nullopt;
                return it->second;
              });
  }
  static int RecordIndex(const FontSet& fonts, const std::string& name) {
    for (int i = 0; i < fonts.Count; ++i)
      if (fonts.Records[size_t(i)].Name == name) return i;
    return -1;
  }

  static inline std::vector<uint8_t>* bytes_ = nullptr;
  static inline std::string* error_ = nullptr;
};

int R5(uint16_t p) { return p >> 11; }
int G6(uint16_t p) { return (p >> 5) & 63; }
int B5(uint16_t p) { return p & 31; }
// Brightness 0..255 of a pixel (largest channel).
int Level(uint16_t p) { return std::max({R5(p) * 255 / 31, G6(p) * 255 / 63, B5(p) * 255 / 31}); }

TEST_F(BuiltFonts, EveryFaceAndColourLoadsWithTheGamesReader) {
  ASSERT_FALSE(Bytes().empty()) << *error_;
  const FontsFile file = ReadFontsFile(Bytes().data(), Bytes().size());
  ASSERT_EQ(file.Bitmaps.size(), 23u);

  const std::map<std::string, std::vector<int>> wanted = {
      {"eras10boldV.bmp", {0, 2, 3, 5}}, {"eras12boldV.bmp", {1, 2, 3}},
      {"eras14boldV.bmp", {1, 2, 3, 4}}, {"eras16boldV.bmp", {0, 1, 2, 3, 4, 6}},
      {"eras20boldV.bmp", {3}},          {"lucida8F.bmp", {2}},
      {"lucida12F.bmp", {0, 3}},         {"lucida16F.bmp", {0}},
      {"lucida12F-orange.bmp", {99}}};
  std::set<std::string> names;
  for (const auto& [face, colours] : wanted)
    for (int c : colours) names.insert(std::to_string(c) + face);
  std::set<std::string> stored;
  for (size_t i = 0; i < file.Bitmaps.size(); ++i) stored.insert(file.Records[i].Name);
  EXPECT_EQ(stored, names);

  // Every glyph rectangle lies inside its bitmap; the rectangles of a font do
  // not overlap (so no glyph shows part of another).
  for (size_t i = 0; i < file.Bitmaps.size(); ++i) {
    Bitmap pic;
    ASSERT_TRUE(LoadBmp(file.Bitmaps[i], pic)) << file.Records[i].Name;
    std::vector<uint8_t> used(size_t(pic.Width()) * size_t(pic.Height()), 0);
    for (const TGlyphRect& g : file.Records[i].Glyphs) {
      ASSERT_GT(g.Width, 0);
      ASSERT_GE(g.Left, 0);
      ASSERT_GE(g.Top, 0);
      ASSERT_LE(g.Left + g.Width, pic.Width()) << file.Records[i].Name;
      ASSERT_LE(g.Top + g.Height, pic.Height()) << file.Records[i].Name;
      for (int y = g.Top; y < g.Top + g.Height; ++y)
        for (int x = g.Left; x < g.Left + g.Width; ++x)
          ASSERT_EQ(used[size_t(y) * size_t(pic.Width()) + size_t(x)]++, 0) << file.Records[i].Name;
    }
  }

  // Building again gives the same bytes.
  std::string error;
  EXPECT_EQ(BuildFontsDat(&error), Bytes());
}

TEST_F(BuiltFonts, CellSizesTheDrawingCodeReliesOn) {
  ASSERT_FALSE(Bytes().empty()) << *error_;
  const FontsFile file = ReadFontsFile(Bytes().data(), Bytes().size());
  for (size_t i = 0; i < file.Bitmaps.size(); ++i) {
    const TFontRecord& rec = file.Records[i];
    const int height = rec.Glyphs[0].Height;
    for (const TGlyphRect& g : rec.Glyphs) ASSERT_EQ(g.Height, height) << rec.Name;  // one cell height a font
    if (rec.Name.ends_with("eras16boldV.bmp")) { EXPECT_EQ(height, 24) << rec.Name; }
    if (rec.Name.ends_with("eras14boldV.bmp")) { EXPECT_EQ(height, 22) << rec.Name; }
    if (rec.Name.ends_with("lucida12F.bmp") || rec.Name.ends_with("lucida12F-orange.bmp")) {
      EXPECT_EQ(height, 18) << rec.Name;  // the list box's rows
    }
    // Digits share one width, so numbers do not jitter as they count.
    for (int d = 1; d <= 9; ++d) EXPECT_EQ(rec.Glyphs['0' + d - 32].Width, rec.Glyphs['0' - 32].Width) << rec.Name;
    if (rec.Name == "3eras20boldV.bmp") { EXPECT_EQ(rec.Glyphs['0' - 32].Width, 17); }
  }
}

TEST_F(BuiltFonts, GlyphsAreSolidAndCarryTheirColours) {
  ASSERT_FALSE(Bytes().empty()) << *error_;
  FontSet fonts;
  ImageList images;
  Load(fonts, images);
  for (int i = 0; i < fonts.Count; ++i) {
    const TFontRecord& rec = fonts.Records[size_t(i)];
    const Bitmap& pic = fonts.Pictures[size_t(i)];
    const bool orange = rec.Name.ends_with("-orange.bmp");
    const uint16_t background = orange ? Rgb565(255, 128, 0) : 0;
    const int colour = std::stoi(rec.Name);
    for (int code = 32; code <= 127; ++code) {
      const TGlyphRect& g = rec.Glyphs[size_t(code - 32)];
      int ink = 0;
      for (int y = g.Top; y < g.Top + g.Height; ++y)
        for (int x = g.Left; x < g.Left + g.Width; ++x) {
          const uint16_t p = pic.Pixel(x, y);
          if (p == background) continue;
          ++ink;
          // The hover glow makes green from red: colour 1 is red only, and
          // colour 4 is what the glow makes of it at rest (green = red).
          if (colour == 1) { ASSERT_TRUE(G6(p) == 0 && B5(p) == 0) << rec.Name << " code " << code; }
          if (colour == 4) { ASSERT_TRUE(G6(p) == R5(p) && B5(p) == 0) << rec.Name << " code " << code; }
        }
      if (code == 32) {
        EXPECT_EQ(ink, 0) << rec.Name;
      } else {
        EXPECT_GT(ink, 3) << rec.Name << " code " << code;
      }
      // Black is the key colour: no black pixel with bright neighbours on all
      // four sides (a hole in a stroke).
      for (int y = g.Top + 1; y < g.Top + g.Height - 1; ++y)
        for (int x = g.Left + 1; x < g.Left + g.Width - 1; ++x) {
          if (pic.Pixel(x, y) != 0) continue;
          const bool enclosed = Level(pic.Pixel(x - 1, y)) > 100 && Level(pic.Pixel(x + 1, y)) > 100 &&
                                Level(pic.Pixel(x, y - 1)) > 100 && Level(pic.Pixel(x, y + 1)) > 100;
          ASSERT_FALSE(enclosed) << rec.Name << " code " << code << " at " << x << "," << y;
        }
    }
    // Colours stand apart: ordinary text is light, disabled is dimmer.
    int brightest = 0;
    for (uint16_t p : pic.Pixels()) brightest = std::max(brightest, Level(p));
    if (colour == 2) { EXPECT_GT(brightest, 220) << rec.Name; }
    if (colour == 6) { EXPECT_LT(brightest, 160) << rec.Name; }
  }
}

TEST_F(BuiltFonts, MeasuresAndDigitImagesThroughTheGame) {
  ASSERT_FALSE(Bytes().empty()) << *error_;
  FontSet fonts;
  ImageList images;
  Load(fonts, images);
  EXPECT_EQ(fonts.Count, 23);

  // Widths of ordinary texts are what the screens' layouts leave room for.
  SelectFont(fonts, kFaceEras16, 2);
  ASSERT_EQ(fonts.SelectedName, "2eras16boldV.bmp");
  const int sample = TextWidth(fonts, "Gravik 2: The Story So Far...");
  EXPECT_GT(sample, 200);
  EXPECT_LT(sample, 420);
  EXPECT_EQ(TextHeight(fonts, "Gravik"), 24);
  EXPECT_LT(TextWidth(fonts, "iiii"), TextWidth(fonts, "WWWW"));
  EXPECT_EQ(TextWidth(fonts, "\xC8"), TextWidth(fonts, "\x7F"));  // outside 32..127: the box
  SelectFont(fonts, "eras10boldV.bmp", 3);
  EXPECT_LE(TextWidth(fonts, "PROFILE:"), 95 - 22 - 4);  // the name follows at x 95

  // Digit images: from "eras14boldV.bmp" colour 2 and "eras20boldV.bmp" colour 3.
  RebuildFontIndexes(fonts, images);
  for (int d = 0; d < 10; ++d) {
    const ImageEntry& small = images.At(fonts.SmallDigits[size_t(d)]);
    const ImageEntry& big = images.At(fonts.BigDigits[size_t(d)]);
    EXPECT_EQ(ImageHeight(small), 22);
    EXPECT_EQ(ImageWidth(big), 17);
    EXPECT_GT(ImageHeight(big), 22);
  }
  Bitmap surface(200, 40);
  DrawBigNumberCentred(fonts, images, surface, 100, 0, 1234);
  int left = 200, right = -1;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x)
      if (surface.Pixel(x, y) != 0) left = std::min(left, x), right = std::max(right, x);
  EXPECT_GE(left, 100 - 34);  // four 17-pixel digits centred on 100
  EXPECT_LE(right, 100 + 34);
  EXPECT_GT(right - left, 50);
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(FontMakerSources, MissingOrDamagedSourceNamesTheFileAndGivesNothing) {
  const std::string dir = ::testing::TempDir();
  FontSources sources = DefaultFontSources();
  std::string error;

  sources.Mono = dir + "/no-such-font.ttf";
  EXPECT_TRUE(BuildFontsDat(sources, &error).empty());
  EXPECT_NE(error.find("missing"), std::string::npos) << error;
  EXPECT_NE(error.find(sources.Mono), std::string::npos) << error;

  sources = DefaultFontSources();
  sources.Display = dir + "/damaged-font.ttf";
  WriteFile(sources.Display, std::string("\0\1\0\0", 4) + std::string(300, '\x55'));
  error.clear();
  EXPECT_TRUE(BuildFontsDat(sources, &error).empty());
  EXPECT_NE(error.find("damaged"), std::string::npos) << error;
  EXPECT_NE(error.find(sources.Display), std::string::npos) << error;

  WriteFile(sources.Display, "");
  error.clear();
  EXPECT_TRUE(BuildFontsDat(sources, &error).empty());
  EXPECT_NE(error.find(sources.Display), std::string::npos) << error;

  sources = DefaultFontSources();
  sources.SansBold = dir + "/no-such-bold.ttf";
  error.clear();
  EXPECT_TRUE(SystemFontItems(sources, &error).empty());
  EXPECT_NE(error.find(sources.SansBold), std::string::npos) << error;
}

TEST(FontMakerSources, SystemFontItemsAreTheTrueTypeFiles) {
  std::string error;
  const auto items = SystemFontItems(&error);
  ASSERT_EQ(items.size(), 2u) << error;
  EXPECT_EQ(items[0].first, "sans.ttf");
  EXPECT_EQ(items[1].first, "sansbold.ttf");
  for (const auto& [name, bytes] : items) {
    ASSERT_GT(bytes.size(), 10000u) << name;
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), std::string("\0\1\0\0", 4)) << name;
  }
  EXPECT_NE(items[0].second, items[1].second);
}

// Not a check: the sample sheet for looking at the fonts.
TEST_F(BuiltFonts, SampleSheet) {
  const char* path = std::getenv("GRAVIK_FONT_SHEET");
  if (!path || Bytes().empty()) GTEST_SKIP() << "set GRAVIK_FONT_SHEET to write the sheet";
  FontSet fonts;
  ImageList images;
  Load(fonts, images);
  const std::string text = "Gravik 2: The Story So Far... 0123456789";
  Bitmap sheet(640, 30 * fonts.Count + 40, Rgb565(24, 28, 40));
  int y = 4;
  for (int i = 0; i < fonts.Count; ++i) {
    const std::string& name = fonts.Records[size_t(i)].Name;
    const size_t digits = name.find_first_not_of("0123456789");
    SelectFont(fonts, name.substr(digits), std::stoi(name.substr(0, digits)));
    DrawText(fonts, sheet, 4, y, text);
    y += fonts.Records[size_t(i)].Glyphs[0].Height + 4;
  }
  SelectFont(fonts, kFaceEras16, 2);
  DrawGlowText(fonts, sheet, 4, y, "Glow 1.0", GlowKind::Caption, 1.0);
  DrawGlowText(fonts, sheet, 124, y, "Glow 1.5", GlowKind::Caption, 1.5);
  DrawGlowText(fonts, sheet, 244, y, "Glow 2.0", GlowKind::Caption, 2.0);
  SelectFont(fonts, kFaceEras16, 4);
  DrawTextKeyed(fonts, sheet, 364, y, "Rest (4)");
  y += 28;
  DrawGlowText(fonts, sheet, 4, y, "Value 1.0", GlowKind::Value, 1.0);
  DrawGlowText(fonts, sheet, 124, y, "Value 1.5", GlowKind::Value, 1.5);
  DrawGlowText(fonts, sheet, 244, y, "Value 2.0", GlowKind::Value, 2.0);
  SelectFont(fonts, kFaceEras14, 4);
  DrawText(fonts, sheet, 364, y, "Rest (4)");
  std::string all;
  for (int code = 33; code <= 127; ++code) all += char(code);
  for (const char* face : {kFaceEras16, "lucida12F.bmp"}) {
    SelectFont(fonts, face, face == kFaceEras16 ? 2 : 0);
    y += 28;
    DrawText(fonts, sheet, 4, y, all.substr(0, 48));
    y += 28;
    DrawText(fonts, sheet, 4, y, all.substr(48));
  }
  ASSERT_TRUE(WritePng(path, sheet));
  // The left third three times as large, to judge single pixels.
  Bitmap zoom(639, sheet.Height() * 3);
  StretchBlit(zoom, zoom.Rect(), sheet, {0, 0, 213, sheet.Height()});
  for (int part = 0; part * 900 < zoom.Height(); ++part) {
    ASSERT_TRUE(WritePng(std::string(path) + ".zoom" + std::to_string(part + 1) + ".png",
                         Crop(zoom, {0, part * 900, 639, std::min(zoom.Height(), part * 900 + 900)})));
  }
}

}  // namespace
}  // namespace gravik::mkres

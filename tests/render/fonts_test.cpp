// Bitmap fonts: the "fonts.dat" format, selecting, measuring and drawing text,
// digit images, and damaged files.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <map>
#include <memory>

#include "base/Bytes.h"
#include "base/Errors.h"
#include "gfx/Bmp.h"
#include "gfx/Fonts.h"

namespace gravik {
namespace {

constexpr uint16_t kWhite = 0xFFFF;
constexpr uint16_t kRed10 = 10 << 11;          // glow kind 1 turns green from red
constexpr uint16_t kGreen40 = (40 << 5) | 5;   // glow kind 2 works on green

// Synthetic fonts: glyphs side by side, 2..6 pixels wide, every pixel ink(code)
// except the bottom row, which is black.
int GlyphWidth(int code) { return 2 + (code - 32) % 5; }
uint16_t CodeInk(int code) { return uint16_t(0x0800 + code); }

void AddFont(FontsFile& file, const std::string& name, int height,
             const std::function<uint16_t(int)>& ink) {
  TFontRecord& rec = file.Records[file.Bitmaps.size()];
  rec.Name = name;
  Bitmap pic(96 * 6, height);
  int x = 0;
  for (int code = 32; code <= 127; ++code) {
    rec.Glyphs[size_t(code - 32)] = {x, 0, GlyphWidth(code), height};
    pic.FillRect(Bounds(x, 0, GlyphWidth(code), height - 1), ink(code));
    x += GlyphWidth(code);
  }
  file.Bitmaps.push_back(SaveBmp16(Crop(pic, Bounds(0, 0, x, height))));
}

std::map<std::string, std::vector<uint8_t>> Captions() {
  std::map<std::string, std::vector<uint8_t>> items;
  for (int n = 1; n <= 8; ++n) items["menu" + std::to_string(n) + ".bmp"] = SaveBmp16(Bitmap(10 + n, 5, 0xF800));
  return items;
}

ArchiveItemReader Reader(const std::map<std::string, std::vector<uint8_t>>& items) {
  return [&items](const std::string& name) -> std::optional<std::vector<uint8_t>> {
    auto it = items.find(name);
    if (it == items.end()) return std::nullopt;
    return it->second;
  };
}

std::string LoadError(const std::vector<uint8_t>& bytes, ImageList& images,
                      const std::map<std::string, std::vector<uint8_t>>& items = Captions()) {
  FontSet fonts;
  try {
    LoadFonts(fonts, images, bytes.data(), bytes.size(), Reader(items));
  } catch (const FatalMessage& e) {
    return e.what();
  }
  return "";
}

TEST(FontsFile, RoundTripAndLayout) {
  FontsFile file;
  AddFont(file, "2eras16boldV.bmp", 24, CodeInk);
  AddFont(file, "99lucida12F-orange.bmp", 14, CodeInk);
  file.Records[5].Name = "spare";  // past the count: kept as it is
  file.Records[5].Glyphs[3] = {-1, 2, INT32_MAX, INT32_MIN};
  const std::vector<uint8_t> bytes = WriteFontsFile(file);

  ASSERT_EQ(bytes.size(), 1 + 42228 + file.Bitmaps[0].size() + file.Bitmaps[1].size());
  EXPECT_EQ(bytes[0], 2);
  EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 18), "\x10" "2eras16boldV.bmp");
  EXPECT_EQ(bytes[1 + 28 + 16], 2);  // record 1, glyph of '!': left
  EXPECT_EQ(bytes[1 + 1564], 22);    // record 2, name length
  const FontsFile back = ReadFontsFile(bytes.data(), bytes.size());
  EXPECT_EQ(back.Records, file.Records);
  EXPECT_EQ(back.Bitmaps, file.Bitmaps);
  EXPECT_EQ(WriteFontsFile(back), bytes);

  // The count is held to the 27 records and a name to its 27 characters.
  FontsFile full;
  for (int i = 0; i < 27; ++i) full.Bitmaps.push_back(SaveBmp16(Bitmap(3, 3, uint16_t(i))));
  std::vector<uint8_t> big = WriteFontsFile(full);
  big[0] = 255;
  big[1] = 200;
  const FontsFile clamped = ReadFontsFile(big.data(), big.size());
  EXPECT_EQ(clamped.Bitmaps.size(), 27u);
  EXPECT_EQ(clamped.Records[0].Name, std::string(27, '\0'));

  // The writer refuses what could not be read back.
  full.Bitmaps.push_back(full.Bitmaps[0]);
  EXPECT_THROW(WriteFontsFile(full), std::invalid_argument);
  file.Records[0].Name = std::string(28, 'x');
  EXPECT_THROW(WriteFontsFile(file), std::invalid_argument);
  file.Records[0].Name = "ok";
  file.Bitmaps[1].push_back(0);
  EXPECT_THROW(WriteFontsFile(file), std::invalid_argument);
}

TEST(FontsFile, DamagedFilesGiveTheMessageAndLeaveTheImageListAlone) {
  FontsFile small;
  small.Records[0].Name = "2a.bmp";
  small.Records[1].Glyphs[33] = {1, 0, 2, 2};
  small.Bitmaps = {SaveBmp16(Bitmap(5, 3, 1)), SaveBmp16(Bitmap(3, 2, 2))};
  const std::vector<uint8_t> bytes = WriteFontsFile(small);

  // Every truncation; each prefix ends a heap block, so the address sanitizer
  // catches a read past it.
  std::unique_ptr<uint8_t[]> block(new uint8_t[bytes.size()]);
  for (size_t len = 0; len < bytes.size(); ++len) {
    uint8_t* cut = block.get() + (bytes.size() - len);
    std::copy(bytes.begin(), bytes.begin() + std::ptrdiff_t(len), cut);
    try {
      ReadFontsFile(cut, len);
      FAIL() << "length " << len;
    } catch (const FatalMessage& e) {
      ASSERT_EQ(std::string(e.what()).rfind("fonts.dat is damaged: ", 0), 0u) << e.what();
    }
  }

  const size_t first = 1 + 42228;
  std::vector<std::pair<std::vector<uint8_t>, std::string>> cases;
  auto damaged = [&](auto change, std::string msg) {
    std::vector<uint8_t> d = bytes;
    change(d);
    cases.emplace_back(std::move(d), std::move(msg));
  };
  damaged([&](auto& d) { PutU32(&d[first + 2], 0xFFFFFFF0u); },
          "fonts.dat is damaged: bitmap 1 is truncated or not a bitmap.");
  damaged([&](auto& d) { PutU32(&d[first + 2], 3); }, "fonts.dat is damaged: bitmap 1 is truncated or not a bitmap.");
  damaged([&](auto& d) { d[first] = 'X'; }, "fonts.dat is damaged: bitmap 1 is truncated or not a bitmap.");
  damaged([&](auto& d) { d[0] = 3; }, "fonts.dat is damaged: bitmap 3 is missing.");
  damaged([&](auto& d) { d[0] = 0; }, "fonts.dat is damaged: it holds no fonts.");
  damaged([&](auto& d) { PutU32(&d[first + 18], 100000); PutU32(&d[first + 22], 100000); }, "");
  for (const auto& [d, msg] : cases) {
    ImageList images;
    images.AddImage("GameBlocks");
    const std::string got = LoadError(d, images);
    if (msg.empty())
      EXPECT_EQ(got.rfind("fonts.dat is damaged: bitmap 1 (", 0), 0u) << got;
    else
      EXPECT_EQ(got, msg);
    EXPECT_EQ(images.Count(), 1);
  }

  auto items = Captions();
  items.erase("menu3.bmp");
  ImageList images;
  EXPECT_EQ(LoadError(bytes, images, items), "menu3.bmp not found in resource.");
  items = Captions();
  items["menu5.bmp"].resize(20);
  EXPECT_EQ(LoadError(bytes, images, items).rfind("menu5.bmp is damaged", 0), 0u);
}

class Fonts : public ::testing::Test {
 protected:
  void SetUp() override {
    AddFont(file_, "0first.bmp", 12, CodeInk);  // record 1, the fallback
    AddFont(file_, "2eras16boldV.bmp", 24, CodeInk);
    AddFont(file_, "3eras16boldV.bmp", 24, [](int c) { return uint16_t(0x1000 + c); });
    AddFont(file_, "1eras16boldV.bmp", 24, [](int) { return kRed10; });
    AddFont(file_, "2eras14boldV.bmp", 22, [](int c) {
      if (c >= '0' && c <= '9') return uint16_t(0x4000 + c);
      return c == 'Z' ? uint16_t((7 << 11) | (1 << 5)) : kGreen40;
    });
    AddFont(file_, "3eras20boldV.bmp", 30, [](int c) { return uint16_t(0x2000 + c); });
    AddFont(file_, "2eras10boldV.bmp", 16, CodeInk);
    AddFont(file_, "2eras16boldV.bmp", 20, [](int c) { return uint16_t(0x3000 + c); });  // twice
    file_.Records[8].Name = "5eras16boldV.bmp";  // past the count
    Load();
  }
  void Load() {
    images_ = ImageList();
    images_.AddImage("GameBlocks");
    const std::vector<uint8_t> bytes = WriteFontsFile(file_);
    LoadFonts(fonts_, images_, bytes.data(), bytes.size(), Reader(captions_));
  }
  int FirstInk(int y, uint16_t background = 0) const {
    for (int x = 0; x < surface_.Width(); ++x)
      if (surface_.Pixel(x, y) != background) return x;
    return -1;
  }

  FontsFile file_;
  std::map<std::string, std::vector<uint8_t>> captions_ = Captions();
  ImageList images_;
  FontSet fonts_;
  Bitmap surface_{640, 480};
};

TEST_F(Fonts, SelectAndMeasure) {
  SelectFont(fonts_, "eras16boldV.bmp", 3);
  EXPECT_EQ(fonts_.Selected, 3);
  SelectFont(fonts_, "eras16boldV.bmp", 2);  // the last of two
  EXPECT_EQ(fonts_.Selected, 8);
  EXPECT_EQ(fonts_.SelectedName, "2eras16boldV.bmp");
  for (auto [face, colour] : {std::pair{"ERAS16boldV.bmp", 3}, {"eras16boldV.bmp", 5}, {"x.bmp", 0}}) {
    SelectFont(fonts_, face, colour);
    EXPECT_EQ(fonts_.SelectedName, "0first.bmp") << face << colour;
  }

  SelectFont(fonts_, "eras10boldV.bmp", 2);
  EXPECT_EQ(TextWidth(fonts_, ""), 0);
  EXPECT_EQ(TextHeight(fonts_, ""), 0);
  EXPECT_EQ(TextWidth(fonts_, "AB"), GlyphWidth('A') + GlyphWidth('B'));
  EXPECT_EQ(TextHeight(fonts_, "AB"), 16);
  for (int code : {0, 31, 128, 200, 255}) EXPECT_EQ(&GlyphOf(fonts_, uint8_t(code)), &GlyphOf(fonts_, 127)) << code;
}

TEST_F(Fonts, DrawingPositions) {
  SelectFont(fonts_, "eras10boldV.bmp", 2);
  surface_.Fill(kWhite);
  DrawText(fonts_, surface_, 100, 50, std::string("Hi") + char(200));
  int x = 100;
  for (int c : {int('H'), int('i'), 127}) {
    EXPECT_EQ(surface_.Pixel(x, 50), CodeInk(c));
    EXPECT_EQ(surface_.Pixel(x + GlyphWidth(c) - 1, 64), CodeInk(c));
    EXPECT_EQ(surface_.Pixel(x, 65), 0);  // opaque: the glyph's black row too
    x += GlyphWidth(c);
  }
  EXPECT_EQ(surface_.Pixel(x, 50), kWhite);
  EXPECT_EQ(surface_.Pixel(99, 50), kWhite);
  DrawText(fonts_, surface_, 630, 470, "WWWWWWWW");  // clipped at the edges
  DrawText(fonts_, surface_, -20, -5, "WWWWWWWW");

  surface_.Fill(0);
  const std::string text = std::string(16, '$') + "#";
  ASSERT_EQ(TextWidth(fonts_, text), 101);
  DrawTextCentred(fonts_, surface_, 10, text);
  EXPECT_EQ(FirstInk(10), 270);
  EXPECT_EQ(surface_.Pixel(370, 10), CodeInk('#'));
  EXPECT_EQ(surface_.Pixel(371, 10), 0);
  DrawTextRight(fonts_, surface_, 600, 100, text);
  EXPECT_EQ(FirstInk(100), 499);
  EXPECT_EQ(surface_.Pixel(600, 100), 0);

  // Label and value: colour 2 then colour 3.
  DrawLabelValue(fonts_, surface_, 200, "AB", "7");
  SelectFont(fonts_, "eras16boldV.bmp", 2);
  const int lx = 320 - TextWidth(fonts_, "AB 7") / 2;
  EXPECT_EQ(FirstInk(200), lx);
  EXPECT_EQ(surface_.Pixel(lx, 200), 0x3000 + 'A');
  EXPECT_EQ(surface_.Pixel(lx + TextWidth(fonts_, "AB "), 200), 0x1000 + '7');
  DrawLabelValueAt(fonts_, surface_, 400, 300, "Score", "12");
  EXPECT_EQ(surface_.Pixel(399, 300), 0x3000 + 'e');
  EXPECT_EQ(surface_.Pixel(400 + GlyphWidth(' '), 300), 0x1000 + '1');
}

TEST_F(Fonts, KeyedText) {
  SelectFont(fonts_, "eras10boldV.bmp", 2);  // 16 high
  surface_.Fill(kWhite);
  DrawTextKeyed(fonts_, surface_, 10, 10, "Ab");
  EXPECT_EQ(surface_.Pixel(10, 10), CodeInk('A'));
  EXPECT_EQ(surface_.Pixel(10 + GlyphWidth('A'), 24), CodeInk('b'));
  EXPECT_EQ(surface_.Pixel(10, 25), kWhite);  // black glyph row
  EXPECT_EQ(fonts_.KeyedWork.Height(), 24);
  DrawTextKeyed(fonts_, surface_, 10, 100, "Ab", /*inPlay=*/true);
  EXPECT_EQ(fonts_.KeyedWork.Height(), 16);
  surface_.Fill(kWhite);
  DrawTextKeyedCentred(fonts_, surface_, 200, "$");
  EXPECT_EQ(FirstInk(200, kWhite), 320 - 3);
}

TEST_F(Fonts, GlowRecolours) {
  surface_.Fill(kWhite);
  // Kind 1: green := trunc(2 r / factor); drawn opaque at first.
  DrawGlowText(fonts_, surface_, 0, 0, "A", GlowKind::Caption, 1.0);
  EXPECT_EQ(surface_.Pixel(0, 0), (10 << 11) | (20 << 5));
  EXPECT_EQ(surface_.Pixel(0, 23), 0);
  DrawGlowText(fonts_, surface_, 0, 30, "A", GlowKind::Caption, 1.5);
  EXPECT_EQ(surface_.Pixel(0, 30), (10 << 11) | (13 << 5));
  // Keyed once the image buttons have switched the key on.
  fonts_.GlowWorkTransparent = true;
  DrawGlowText(fonts_, surface_, 100, 0, "A", GlowKind::Caption, 2.0);
  EXPECT_EQ(surface_.Pixel(100, 0), (10 << 11) | (10 << 5));
  EXPECT_EQ(surface_.Pixel(100, 23), kWhite);

  // Kind 2: green := trunc(g / factor), red := old green div 2.
  DrawGlowText(fonts_, surface_, 200, 0, "AB", GlowKind::Value, 3.0);
  EXPECT_EQ(fonts_.SelectedName, "2eras14boldV.bmp");
  EXPECT_EQ(fonts_.GlowWork.Height(), 22);
  EXPECT_EQ(surface_.Pixel(200, 0), (20 << 11) | (13 << 5) | 5);
  // A result of all zeros leaves the pixel as it was.
  DrawGlowText(fonts_, surface_, 200, 40, "Z", GlowKind::Value, 2.0);
  EXPECT_EQ(surface_.Pixel(200, 40), (7 << 11) | (1 << 5));
  // A factor outside 1..2 keeps every channel within its bits.
  for (double f : {0.0, 0.01, -1.0, 1e9}) {
    DrawGlowText(fonts_, surface_, 300, 0, "A", GlowKind::Caption, f);
    EXPECT_EQ(surface_.Pixel(300, 0) & 0xF81F, kRed10) << f;
  }
}

TEST_F(Fonts, DigitImagesAndNumbers) {
  EXPECT_FALSE(images_.FindImage("3eras16boldV.bmp").Transparent);
  EXPECT_EQ(images_.FindImage("menutext6").Picture.Width(), 16);
  const ImageEntry& a3 = images_.FindImage("fonta3");  // digit 2 of eras14 colour 2
  EXPECT_EQ(a3.Picture.Width(), GlyphWidth('2'));
  EXPECT_EQ(a3.Picture.Pixel(0, 0), 0x4000 + '2');
  EXPECT_EQ(images_.FindImage("fontb10").Picture.Pixel(0, 0), 0x2000 + '9');

  RebuildFontIndexes(fonts_, images_);
  surface_.Fill(kWhite);
  DrawSmallNumber(fonts_, images_, surface_, 10, 10, -5);  // the minus sign draws as 0
  EXPECT_EQ(surface_.Pixel(10, 10), 0x4000 + '0');
  EXPECT_EQ(surface_.Pixel(10, 31), kWhite);  // keyed on black
  EXPECT_EQ(surface_.Pixel(10 + GlyphWidth('0'), 10), 0x4000 + '5');
  EXPECT_EQ(surface_.Pixel(10 + GlyphWidth('0') + GlyphWidth('5'), 10), kWhite);
  surface_.Fill(0);
  DrawBigNumberCentred(fonts_, images_, surface_, 557, 100, 1234);
  EXPECT_EQ(FirstInk(100), 523);
  EXPECT_EQ(surface_.Pixel(523 + GlyphWidth('1'), 100), 0x2000 + '2');

  // Rebuilt entries move to the end of the list; the indexes follow.
  images_.ReplaceImage("GameBlocks");
  images_.AddImage("fonta4");
  RebuildFontIndexes(fonts_, images_);
  EXPECT_EQ(fonts_.SmallDigits[3], images_.Count() - 1);
  EXPECT_EQ(images_.At(fonts_.BigDigits[0]).Name, "fontb1");

  auto rebuildError = [&](ImageList& list) {
    try {
      RebuildFontIndexes(fonts_, list);
    } catch (const FatalMessage& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  ImageList partial;
  partial.AddImage("fonta1");  // index 0 counts as missing
  EXPECT_EQ(rebuildError(partial), "Error building font lista");
  for (int n = 1; n <= 10; ++n) partial.AddImage("fonta" + std::to_string(n));
  EXPECT_EQ(rebuildError(partial), "Error building font listb");
}

TEST_F(Fonts, GlyphRectanglesAreClippedToTheBitmap) {
  auto& glyphs = file_.Records[6].Glyphs;  // "2eras10boldV.bmp", 16 high
  const int w = fonts_.Pictures[6].Width();
  glyphs['A' - 32] = {w - 3, 0, 10, 16};
  glyphs['B' - 32] = {-4, -4, 6, 30};
  glyphs['C' - 32] = {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX};
  glyphs['D' - 32] = {5, 5, INT32_MIN, -1};
  glyphs['E' - 32] = {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  Load();
  SelectFont(fonts_, "eras10boldV.bmp", 2);
  EXPECT_EQ(GlyphOf(fonts_, 'A'), (TGlyphRect{w - 3, 0, 3, 16}));
  EXPECT_EQ(GlyphOf(fonts_, 'B'), (TGlyphRect{0, 0, 2, 16}));
  EXPECT_EQ(TextWidth(fonts_, "ABCDE"), 5);
  DrawText(fonts_, surface_, 0, 0, "ABCDE");
  EXPECT_EQ(surface_.Pixel(0, 0), CodeInk(126));  // the font's last three columns
  EXPECT_EQ(surface_.Pixel(2, 0), CodeInk(127));
  EXPECT_EQ(surface_.Pixel(3, 0), CodeInk(' '));
  EXPECT_EQ(surface_.Pixel(5, 0), 0);
}

}  // namespace
}  // namespace gravik

// "fonts.dat": writer and reader agree, and damaged files give the game's
// message instead of a crash.
#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "base/Errors.h"
#include "render/Fonts.h"
#include "render/FontsFile.h"
#include "render/fonts_support.h"

namespace gravik {
namespace {

using fonts_test::CodeInk;
using fonts_test::FakeArchive;
using fonts_test::MakeFile;
using fonts_test::MakeFont;

FontsFile TwoFonts() {
  FontsFile file = MakeFile({MakeFont("2eras16boldV.bmp", 24, CodeInk),
                             MakeFont("99lucida12F-orange.bmp", 14, CodeInk)});
  // A record past the count keeps whatever it holds.
  file.Records[5].Name = "spare";
  file.Records[5].Glyphs[3] = {-1, 2, INT32_MAX, INT32_MIN};
  return file;
}

void WriteU32(std::vector<uint8_t>& d, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) d[at + size_t(i)] = uint8_t(v >> (8 * i));
}

std::string DamageMessage(const uint8_t* data, size_t size) {
  try {
    ReadFontsFile(data, size);
  } catch (const FatalMessage& e) {
    return e.what();
  }
  return "";
}

std::string DamageMessage(const std::vector<uint8_t>& data) {
  return DamageMessage(data.data(), data.size());
}

TEST(FontsFile, LayoutAndRoundTrip) {
  const FontsFile file = TwoFonts();
  const std::vector<uint8_t> bytes = WriteFontsFile(file);

  // Count byte, the fixed 42228-byte table, then the bitmaps back to back.
  ASSERT_EQ(bytes.size(), 1 + 42228 + file.Bitmaps[0].size() + file.Bitmaps[1].size());
  EXPECT_EQ(bytes[0], 2);
  EXPECT_EQ(bytes[1], 16);  // name length
  EXPECT_EQ(std::string(bytes.begin() + 2, bytes.begin() + 18), "2eras16boldV.bmp");
  // Record 1, glyph of '!' (entry 2): left = width of the space glyph.
  EXPECT_EQ(bytes[1 + 28 + 16], 2);
  EXPECT_EQ(bytes[1 + 1564], 22);  // record 2 name length
  EXPECT_EQ(bytes[1 + 42228], 'B');

  const FontsFile back = ReadFontsFile(bytes.data(), bytes.size());
  EXPECT_EQ(back.Records, file.Records);
  EXPECT_EQ(back.Bitmaps, file.Bitmaps);
  EXPECT_EQ(WriteFontsFile(back), bytes);
}

TEST(FontsFile, WriterRefusesWhatCannotBeRead) {
  FontsFile tooMany;
  for (int i = 0; i < 28; ++i) tooMany.Bitmaps.push_back(SaveBmp16(Bitmap(2, 2)));
  EXPECT_THROW(WriteFontsFile(tooMany), std::invalid_argument);

  FontsFile longName = TwoFonts();
  longName.Records[0].Name = std::string(28, 'x');
  EXPECT_THROW(WriteFontsFile(longName), std::invalid_argument);

  FontsFile badBitmap = TwoFonts();
  badBitmap.Bitmaps[1].push_back(0);  // longer than its header says
  EXPECT_THROW(WriteFontsFile(badBitmap), std::invalid_argument);
}

TEST(FontsFile, CountAndNamesAreHeldToTheTable) {
  FontsFile full;
  for (int i = 0; i < 27; ++i) {
    full.Records[size_t(i)].Name = std::to_string(i) + "f.bmp";
    full.Bitmaps.push_back(SaveBmp16(Bitmap(3, 3, uint16_t(i))));
  }
  std::vector<uint8_t> bytes = WriteFontsFile(full);
  bytes[0] = 255;
  bytes[1] = 200;  // name length past the 27 characters of the field
  const FontsFile back = ReadFontsFile(bytes.data(), bytes.size());
  EXPECT_EQ(back.Bitmaps.size(), 27u);
  EXPECT_EQ(back.Records[0].Name.size(), 27u);
}

TEST(FontsFile, EveryTruncationIsReportedAsDamage) {
  FontsFile small;
  small.Records[0].Name = "2a.bmp";
  small.Records[1].Name = "3a.bmp";
  small.Records[1].Glyphs[33] = {1, 0, 2, 2};
  small.Bitmaps = {SaveBmp16(Bitmap(5, 3, 1)), SaveBmp16(Bitmap(3, 2, 2))};
  const std::vector<uint8_t> bytes = WriteFontsFile(small);
  ASSERT_EQ(ReadFontsFile(bytes.data(), bytes.size()).Bitmaps, small.Bitmaps);

  // Each prefix is placed at the very end of one heap block, so a read past
  // its end is caught by the address sanitizer.
  std::unique_ptr<uint8_t[]> block(new uint8_t[bytes.size()]);
  // Every length past the table; inside the fixed table (one path) a sample,
  // with every length near its ends.
  const size_t table = 1 + 42228;
  for (size_t len = 0; len < bytes.size(); ++len) {
    if (len > 64 && len + 64 < table && len % 97 != 0) continue;
    uint8_t* cut = block.get() + (bytes.size() - len);
    std::copy(bytes.begin(), bytes.begin() + std::ptrdiff_t(len), cut);
    const std::string msg = DamageMessage(cut, len);
    ASSERT_EQ(msg.rfind("fonts.dat is damaged: ", 0), 0u) << "length " << len << ": " << msg;
  }
}

TEST(FontsFile, BitmapLengthsAreChecked) {
  const std::vector<uint8_t> good = WriteFontsFile(TwoFonts());
  const size_t first = 1 + 42228;

  std::vector<uint8_t> huge = good;
  WriteU32(huge, first + 2, 0xFFFFFFF0u);
  EXPECT_EQ(DamageMessage(huge), "fonts.dat is damaged: bitmap 1 is truncated or not a bitmap.");

  std::vector<uint8_t> tiny = good;
  WriteU32(tiny, first + 2, 3);
  EXPECT_NE(DamageMessage(tiny), "");

  std::vector<uint8_t> notBmp = good;
  notBmp[first] = 'X';
  EXPECT_NE(DamageMessage(notBmp), "");

  std::vector<uint8_t> moreFonts = good;
  moreFonts[0] = 3;
  EXPECT_EQ(DamageMessage(moreFonts), "fonts.dat is damaged: bitmap 3 is missing.");
}

// LoadFonts reports a damaged file and leaves the image list as it was.
TEST(FontsFile, LoadFontsRefusesDamagedFiles) {
  const FakeArchive archive;
  std::vector<uint8_t> bytes = WriteFontsFile(TwoFonts());

  std::vector<std::vector<uint8_t>> damaged;
  damaged.emplace_back(bytes.begin(), bytes.end() - 1);
  damaged.emplace_back(bytes.begin(), bytes.begin() + 1 + 42228);  // count 2, no bitmaps
  std::vector<uint8_t> none = bytes;
  none[0] = 0;
  damaged.push_back(none);
  // A bitmap whose header claims far more pixels than it holds.
  std::vector<uint8_t> bigPicture = bytes;
  WriteU32(bigPicture, 1 + 42228 + 18, 100000);
  WriteU32(bigPicture, 1 + 42228 + 22, 100000);
  damaged.push_back(bigPicture);

  for (const auto& d : damaged) {
    ImageList images;
    images.AddImage("GameBlocks");
    FontSet fonts;
    try {
      LoadFonts(fonts, images, d.data(), d.size(), archive.Reader());
      ADD_FAILURE() << "loaded a damaged file of " << d.size() << " bytes";
    } catch (const FatalMessage& e) {
      EXPECT_EQ(std::string(e.what()).rfind("fonts.dat is damaged: ", 0), 0u) << e.what();
    }
    EXPECT_EQ(images.Count(), 1);
  }
}

TEST(FontsFile, MissingOrDamagedCaptionEndsTheGame) {
  const std::vector<uint8_t> bytes = WriteFontsFile(TwoFonts());
  FakeArchive archive;
  archive.Items.erase("menu3.bmp");
  ImageList images;
  FontSet fonts;
  try {
    LoadFonts(fonts, images, bytes.data(), bytes.size(), archive.Reader());
    ADD_FAILURE() << "no error";
  } catch (const FatalMessage& e) {
    EXPECT_STREQ(e.what(), "menu3.bmp not found in resource.");
  }

  FakeArchive broken;
  broken.Items["menu5.bmp"].resize(20);
  ImageList images2;
  EXPECT_THROW(LoadFonts(fonts, images2, bytes.data(), bytes.size(), broken.Reader()), FatalMessage);
}

}  // namespace
}  // namespace gravik

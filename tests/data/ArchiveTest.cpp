#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "DataTestUtil.h"
#include "support/TempHome.h"
#include "base/Errors.h"
#include "platform/Folders.h"

namespace gravik {
namespace {

using namespace datatest;

std::vector<uint8_t> Bytes(size_t n, uint8_t seed) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = uint8_t((i * 31 + seed) ^ (i >> 7));
  return v;
}

std::string FatalText(const std::function<void()>& f) {
  try {
    f();
  } catch (const FatalMessage& e) {
    return e.what();
  }
  return "(no error)";
}

struct Sample {
  std::vector<uint8_t> image;
  std::vector<std::pair<std::string, std::vector<uint8_t>>> items;
};

Sample SampleArchive() {
  Sample s;
  s.items = {{"fonts.dat", Bytes(5000, 1)},
             {"panel.bmp", MakeBmp(160, 48)},
             {"click1.wav", Bytes(70000, 3)},  // more than one codec block
             {"empty.txt", {}},
             {"helppage1.txt", std::vector<uint8_t>{'H', 'i', '\r', '\n'}}};
  ArchiveWriter w;
  w.SetKeyFromSeed(99);
  w.SetGraphicsSet(SampleGraphicsSet());
  const ArchiveWriter::Coding codings[] = {ArchiveWriter::Coding::Stored, ArchiveWriter::Coding::Fast,
                                           ArchiveWriter::Coding::Good, ArchiveWriter::Coding::Fast,
                                           ArchiveWriter::Coding::Stored};
  for (size_t i = 0; i < s.items.size(); ++i) w.AddItem(s.items[i].first, s.items[i].second, codings[i]);
  s.image = w.Finish();
  return s;
}

// Directory access for crafting damaged archives.
std::vector<uint8_t> Directory(const std::vector<uint8_t>& image) {
  std::vector<uint8_t> dir(image.begin() + ArchiveDirectoryOffset,
                           image.begin() + ArchiveDirectoryOffset + ArchiveDirectorySize);
  XorWithKey(dir.data(), dir.size(), &image[3], ArchiveKeySize);
  return dir;
}
void PutDirectory(std::vector<uint8_t>& image, std::vector<uint8_t> dir) {
  XorWithKey(dir.data(), dir.size(), &image[3], ArchiveKeySize);
  std::copy(dir.begin(), dir.end(), image.begin() + ArchiveDirectoryOffset);
}
uint8_t* EntryOf(std::vector<uint8_t>& dir, int i) { return dir.data() + 16 + size_t(i - 1) * 56; }

TEST(ArchiveRoundTrip, EveryItemAndTheGraphicsSet) {
  const Sample s = SampleArchive();
  Archive a(s.image, "mem/zqresource.dat");
  a.OpenArchive();
  for (const auto& [name, bytes] : s.items) {
    EXPECT_EQ(a.TakeItem(name), bytes) << name;
    EXPECT_TRUE(a.ItemHeld());
    a.ReleaseItem();
    EXPECT_FALSE(a.ItemHeld());
  }
  std::vector<std::string> names;
  for (const auto& it : s.items) names.push_back(it.first);
  EXPECT_EQ(a.ItemNames(), names);

  const GraphicsSet expected = SampleGraphicsSet();
  const GraphicsSet g = a.LoadGraphicsSet();
  EXPECT_TRUE(a.ItemHeld());
  EXPECT_EQ(a.CurrentItem(), EncodeGraphicsSet(expected));
  a.ReleaseItem();
  EXPECT_EQ(g.Catalogue, expected.Catalogue);
  EXPECT_EQ(g.BlockSheet, expected.BlockSheet);
  EXPECT_EQ(g.ThumbSheet, expected.ThumbSheet);
  EXPECT_EQ(g.BlockSheetInfo.Width, 256);
  EXPECT_EQ(g.BlockSheetInfo.Height, 192);
  EXPECT_EQ(g.Cell(120, 6, 2).Column, expected.Cells.back().Column);
  EXPECT_EQ(g.Cell(1, 1, 2).Column, 2);
  a.CloseArchive();
  EXPECT_FALSE(a.IsOpen());

  // Reopening checks the file again and the directory is kept.
  a.OpenArchive();
  EXPECT_EQ(a.TakeItem("fonts.dat"), s.items[0].second);
  a.CloseArchive();
  EXPECT_FALSE(a.ItemHeld());  // closing released it
}

TEST(ArchiveProtocol, LookupRulesAndHeldItem) {
  ArchiveWriter w;
  w.AddItem("a.txt", {1});
  w.AddItem("b.txt", {2});
  w.AddItem("a.txt", {3, 3});  // the later entry wins
  Archive a(w.Finish(), "res");
  a.OpenArchive();
  EXPECT_EQ(a.TakeItem("a.txt"), (std::vector<uint8_t>{3, 3}));
  EXPECT_EQ(FatalText([&] { a.TakeItem("b.txt"); }), "res already created.");
  EXPECT_EQ(FatalText([&] { a.LoadGraphicsSet(); }), "illegal");
  a.ReleaseItem();
  EXPECT_EQ(a.TakeItem("a.txt"), (std::vector<uint8_t>{3, 3}));  // taking again after release works
  a.ReleaseItem();
  EXPECT_EQ(FatalText([&] { a.TakeItem("A.TXT"); }), "A.TXT not found in resource.");  // exact case
  EXPECT_EQ(FatalText([&] { a.TakeItem(""); }), " not found in resource.");  // empty entries never match
  EXPECT_FALSE(a.HasItem(""));
  EXPECT_TRUE(a.HasItem("b.txt"));
}

TEST(ArchiveDamage, HeaderAndDirectory) {
  const Sample s = SampleArchive();
  auto openText = [](std::vector<uint8_t> image) {
    Archive a(std::move(image), "dir/zqresource.dat");
    return FatalText([&] { a.OpenArchive(); });
  };
  const std::string invalid = "dir/zqresource.dat is invalid.";
  {
    auto bad = s.image;
    bad[0] ^= 1;
    EXPECT_EQ(openText(bad), invalid);
    bad = s.image;
    bad[2] = 201;
    EXPECT_EQ(openText(bad), invalid);
  }
  {  // graphics set size past the end
    auto bad = s.image;
    auto dir = Directory(bad);
    PutU32(dir.data(), uint32_t(bad.size()));
    PutDirectory(bad, dir);
    EXPECT_EQ(openText(bad), invalid);
  }
  {  // item offset past the end
    auto bad = s.image;
    auto dir = Directory(bad);
    PutU32(EntryOf(dir, 1) + 44, uint32_t(bad.size() - 10));
    PutDirectory(bad, dir);
    EXPECT_EQ(openText(bad), invalid);
  }
  {  // stored size of a compressed item past the end
    auto bad = s.image;
    auto dir = Directory(bad);
    PutU32(EntryOf(dir, 2) + 52, 0xFFFFFFF0u);
    PutDirectory(bad, dir);
    EXPECT_EQ(openText(bad), invalid);
  }
  {  // name length over 30
    auto bad = s.image;
    auto dir = Directory(bad);
    EntryOf(dir, 3)[0] = 31;
    PutDirectory(bad, dir);
    EXPECT_EQ(openText(bad), invalid);
  }
}

TEST(ArchiveDamage, ShortCompressedItemIsIncorrectSize) {
  auto image = SampleArchive().image;
  auto dir = Directory(image);
  uint8_t* e = EntryOf(dir, 2);  // "panel.bmp", compressed
  PutU32(e + 48, GetU32(e + 48) + 1);  // the container decodes one byte fewer than this
  e = EntryOf(dir, 3);  // "click1.wav", two codec blocks: half its stored bytes
  PutU32(e + 52, GetU32(e + 52) / 2);
  PutDirectory(image, dir);
  Archive a(image, "res");
  a.OpenArchive();
  EXPECT_EQ(FatalText([&] { a.TakeItem("panel.bmp"); }), "Incorrect resource item size.");
  a.ReleaseItem();
  EXPECT_EQ(FatalText([&] { a.TakeItem("click1.wav"); }), "Incorrect resource item size.");
}

TEST(ArchiveProtocol, ReadItemReleasesWhatItTookButNotAnotherHoldersItem) {
  ArchiveWriter w;
  w.AddItem("a.txt", {1});
  w.AddItem("b.txt", {2, 2});
  Archive a(w.Finish(), "res");
  a.OpenArchive();
  EXPECT_EQ(a.ReadItem("b.txt"), (std::vector<uint8_t>{2, 2}));
  EXPECT_FALSE(a.ItemHeld());
  EXPECT_EQ(FatalText([&] { a.ReadItem("c.txt"); }), "c.txt not found in resource.");
  EXPECT_FALSE(a.ItemHeld());
  // Someone holds an item: reading another is refused and leaves it held.
  a.TakeItem("a.txt");
  EXPECT_EQ(FatalText([&] { a.ReadItem("b.txt"); }), "res already created.");
  EXPECT_TRUE(a.ItemHeld());
  EXPECT_EQ(a.CurrentItem(), std::vector<uint8_t>{1});
  a.ReleaseItem();
}

TEST(ArchiveDamage, ReadingAnItemOfTheWrongSizeLeavesNothingHeld) {
  auto image = SampleArchive().image;
  auto dir = Directory(image);
  uint8_t* e = EntryOf(dir, 2);  // "panel.bmp", compressed
  PutU32(e + 48, GetU32(e + 48) + 1);
  PutDirectory(image, dir);
  Archive a(image, "res");
  a.OpenArchive();
  EXPECT_EQ(FatalText([&] { a.ReadItem("panel.bmp"); }), "Incorrect resource item size.");
  EXPECT_FALSE(a.ItemHeld());
}

TEST(ArchiveGraphics, FlippedByteIsExceptionAndBadSectionsInvalid) {
  const Sample s = SampleArchive();
  const uint32_t size = GetU32(Directory(s.image).data());
  for (uint32_t i : {0u, 5u, size / 2, size - 1}) {
    auto bad = s.image;
    bad[ArchiveGraphicsOffset + i] ^= 0x20;
    Archive a(bad, "res");
    a.OpenArchive();
    EXPECT_EQ(FatalText([&] { a.LoadGraphicsSet(); }), "Exception (s)") << i;
    EXPECT_FALSE(a.ItemHeld());
  }

  // A cell table entry outside the sheets (with a correct CRC) is refused.
  GraphicsSet g = SampleGraphicsSet();
  g.Cells[77] = {5, 1};  // the block sheet is 4 cells wide
  ArchiveWriter w;
  w.SetGraphicsSet(g);
  Archive a(w.Finish(), "res");
  a.OpenArchive();
  EXPECT_EQ(FatalText([&] { a.LoadGraphicsSet(); }), "res is invalid.");
}

TEST(ArchiveGraphics, ParseChecksSectionsAndSheets) {
  const GraphicsSet g = SampleGraphicsSet();
  const std::vector<uint8_t> block = EncodeGraphicsSet(g);
  GraphicsSet out;
  ASSERT_TRUE(ParseGraphicsSet(block.data(), block.size(), out));
  for (size_t len : {size_t(0), CellTableSize + BlockCatalogueSize, CellTableSize + BlockCatalogueSize + 60,
                     block.size() - g.ThumbSheet.size(), block.size() - 1})
    EXPECT_FALSE(ParseGraphicsSet(block.data(), len, out)) << len;

  GraphicsSet zero = g;
  zero.Cells[0] = {0, 1};
  auto b2 = EncodeGraphicsSet(zero);
  EXPECT_FALSE(ParseGraphicsSet(b2.data(), b2.size(), out));
  GraphicsSet thumbs = g;
  thumbs.ThumbSheet = MakeBmp(4 * 16, 2 * 15);  // row 3 missing on the thumbnail sheet
  b2 = EncodeGraphicsSet(thumbs);
  EXPECT_FALSE(ParseGraphicsSet(b2.data(), b2.size(), out));

  // Bitmap headers: top-down images are fine; rows past the end or RLE are not.
  std::vector<uint8_t> bmp = MakeBmp(3, 2);
  BmpInfo info;
  PutU32(&bmp[22], uint32_t(-2));
  ASSERT_TRUE(ReadBmpHeader(bmp.data(), bmp.size(), info));
  EXPECT_EQ(info.Height, 2);
  EXPECT_FALSE(ReadBmpHeader(bmp.data(), bmp.size() - 1, info));
  PutU32(&bmp[22], 3);
  EXPECT_FALSE(ReadBmpHeader(bmp.data(), bmp.size(), info));
  bmp = MakeBmp(3, 2);
  bmp[30] = 1;
  EXPECT_FALSE(ReadBmpHeader(bmp.data(), bmp.size(), info));
}

// Every prefix of a small archive: opening, taking every item and the graphics
// set either work or end in one of the game's messages.
TEST(ArchiveDamage, EveryTruncationEndsInAMessage) {
  ArchiveWriter w;
  GraphicsSet g = SampleGraphicsSet();
  g.BlockSheet = MakeBmp(4 * 64, 3 * 64);
  w.SetGraphicsSet(g);
  w.AddItem("x", Bytes(300, 5), ArchiveWriter::Coding::Fast);
  w.AddItem("y", Bytes(40, 6));
  const auto image = w.Finish();
  int opened = 0;
  for (size_t len = 0; len < image.size(); len += (len < ArchiveGraphicsOffset ? 97 : 1)) {
    Archive a(std::vector<uint8_t>(image.begin(), image.begin() + ptrdiff_t(len)), "res");
    try {
      a.OpenArchive();
      ++opened;
      for (const std::string& n : a.ItemNames()) {
        a.TakeItem(n);
        a.ReleaseItem();
      }
      a.LoadGraphicsSet();
      ADD_FAILURE() << "truncated archive fully accepted at " << len;
    } catch (const FatalMessage&) {
    }
  }
  EXPECT_EQ(opened, 0);  // the last item ends the file, so every prefix fails the directory check
}

TEST(ArchiveFiles, SearchOrderAndMessages) {
  testing::TempHome home;
  const std::string data = home.Folder() + "data/", prog = home.Folder() + "prog/", inst = home.Folder() + "inst/";
  ArchiveWriter w1, w2;
  w1.AddItem("which", {2});
  w2.AddItem("which", {3});
  WriteFile(prog + ArchiveFileName, w1.Finish());
  WriteFile(inst + ArchiveFileName, w2.Finish());

  // The current folder does not hold the file (tests run elsewhere); the data
  // folder does not exist, so the program folder is named when nothing is found.
  {
    Archive a({home.Folder() + "nowhere/", data, prog, inst});
    a.OpenArchive();
    EXPECT_EQ(a.Folder(), prog);
    EXPECT_EQ(a.TakeItem("which"), std::vector<uint8_t>{2});
    a.CloseArchive();
  }
  {
    Archive a({home.Folder() + "nowhere/", data, home.Folder() + "empty/", inst});
    a.OpenArchive();
    EXPECT_EQ(a.TakeItem("which"), std::vector<uint8_t>{3});
  }
  {
    Archive a({home.Folder() + "nowhere/", data, home.Folder() + "empty/"});
    EXPECT_EQ(FatalText([&] { a.OpenArchive(); }), home.Folder() + "empty/zqresource.dat not found.");
  }
  CreateDirectories(data);
  {
    Archive a({home.Folder() + "nowhere/", data, home.Folder() + "empty/"});
    EXPECT_EQ(FatalText([&] { a.OpenArchive(); }), data + "zqresource.dat not found.");
  }
  WriteFile(data + ArchiveFileName, std::vector<uint8_t>(100, 0));
  {
    Archive a({home.Folder() + "nowhere/", data, prog});
    EXPECT_EQ(FatalText([&] { a.OpenArchive(); }), data + "zqresource.dat is invalid.");
  }
}

}  // namespace
}  // namespace gravik

// The archive's pictures and texts: every item the game asks for, at the sizes
// it cuts and draws them, loadable, with the colour rules the drawing code
// relies on (red-only captions, plain number strips, keyed pictures that stay
// visible), and the help and credits texts in the form their screens expect.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Pictures.h"
#include "Texts.h"
#include "gfx/Bmp.h"

namespace gravik::mkres {
namespace {

const std::string kAssets = std::string(GRAVIK_SOURCE_DIR) + "/assets";

class BuiltPictures : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    items_ = new std::vector<NamedItem>(BuildPictures(kAssets, &error));
    ASSERT_FALSE(items_->empty()) << error;
    for (const auto& [name, bytes] : *items_) {
      if (name.size() < 4 || name.substr(name.size() - 4) != ".bmp") continue;
      Bitmap b;
      std::string why;
      ASSERT_TRUE(LoadBmp(bytes, b, &why)) << name << ": " << why;
      (*bitmaps_)[name] = b;
    }
  }
  static void TearDownTestSuite() {
    delete items_;
    bitmaps_->clear();
  }
  static const Bitmap& Bmp(const std::string& name) {
    auto it = bitmaps_->find(name);
    EXPECT_NE(it, bitmaps_->end()) << name;
    static const Bitmap empty;
    return it == bitmaps_->end() ? empty : it->second;
  }
  static std::string Text(const std::string& name) {
    for (const auto& [n, bytes] : *items_)
      if (n == name) return std::string(bytes.begin(), bytes.end());
    ADD_FAILURE() << name << " missing";
    return {};
  }
  static inline std::vector<NamedItem>* items_ = nullptr;
  static inline std::map<std::string, Bitmap>* bitmaps_ = new std::map<std::string, Bitmap>;
};

int Red(uint16_t p) { return p >> 11; }
int Green(uint16_t p) { return (p >> 5) & 0x3F; }
int Blue(uint16_t p) { return p & 0x1F; }

// All pixels of the rectangle equal.
bool Uniform(const Bitmap& b, int x, int y, int w, int h) {
  const uint16_t first = b.Pixel(x, y);
  for (int yy = y; yy < y + h; ++yy)
    for (int xx = x; xx < x + w; ++xx)
      if (b.Pixel(xx, yy) != first) return false;
  return true;
}

int CountDistinct(const Bitmap& b) {
  std::set<uint16_t> s(b.Pixels().begin(), b.Pixels().end());
  return int(s.size());
}

TEST_F(BuiltPictures, EveryItemTheGameAsksForIsThereOnceAtItsSize) {
  std::set<std::string> want = {"blackbar.bmp", "rtitle.bmp",  "panel.bmp",          "mappanel.bmp",
                                "zenthrax.bmp", "vxhorzlogo.bmp", "fullcreditlogo.bmp", "fullcreditline.bmp",
                                "defaultpuzzle.bmp", "kvelauthor.txt"};
  for (int n = 1; n <= 8; ++n) want.insert("menu" + std::to_string(n) + ".bmp");
  for (int n = 1; n <= 8; ++n) want.insert("gamehelpbitmap" + std::to_string(n) + ".bmp");
  for (int n = 1; n <= 5; ++n) want.insert("helppage" + std::to_string(n) + ".txt");
  std::multiset<std::string> got;
  for (const auto& [name, bytes] : *items_) {
    got.insert(name);
    EXPECT_FALSE(bytes.empty()) << name;
    EXPECT_LE(name.size(), 30u) << name << " does not fit a directory entry";
  }
  EXPECT_EQ(got, std::multiset<std::string>(want.begin(), want.end()));

  auto size = [](const Bitmap& b) { return std::to_string(b.Width()) + "x" + std::to_string(b.Height()); };
  EXPECT_EQ(size(Bmp("blackbar.bmp")), "80x480");
  EXPECT_EQ(size(Bmp("panel.bmp")), "160x480");
  EXPECT_EQ(size(Bmp("mappanel.bmp")), "128x480");
  EXPECT_EQ(size(Bmp("defaultpuzzle.bmp")), "640x256");
  const Bitmap& ship = Bmp("zenthrax.bmp");
  EXPECT_EQ(ship.Height(), 30);
  EXPECT_EQ(ship.Width() % 40, 0);
  EXPECT_GE(ship.Width() / 40, 2);
  // The title sits at (20, 6) above the backdrop at y 140.
  const Bitmap& title = Bmp("rtitle.bmp");
  EXPECT_LE(title.Width(), 620);
  EXPECT_GE(title.Width(), 500);
  EXPECT_LE(title.Height(), 134);
  // Menu rows are 50 pixels apart.
  for (int n = 1; n <= 6; ++n) EXPECT_LE(Bmp("menu" + std::to_string(n) + ".bmp").Height(), 50);
}

TEST_F(BuiltPictures, StoredAsSixteenBitPicturesThatLoadBackUnchanged) {
  std::string error;
  const auto direct = BuildPictureBitmaps(&error);
  ASSERT_FALSE(direct.empty()) << error;
  for (const auto& [name, bmp] : direct) {
    EXPECT_EQ(Bmp(name), bmp) << name;
    for (const auto& [n, bytes] : *items_) {
      if (n != name) continue;
      EXPECT_EQ(bytes[28] | bytes[29] << 8, 16) << name << " bit count";
    }
  }
}

TEST_F(BuiltPictures, NoPictureIsBlankOrFlat) {
  for (const auto& [name, b] : *bitmaps_) {
    int lit = 0;
    for (uint16_t p : b.Pixels()) lit += p != 0;
    EXPECT_GT(lit, int(b.Pixels().size()) / 20) << name << " is (nearly) all black";
    EXPECT_GT(CountDistinct(b), 8) << name << " is flat";
  }
}

TEST_F(BuiltPictures, MenuCaptionsCarryTheirColourInRedOnlyOnABlackKey) {
  for (int n = 1; n <= 6; ++n) {
    const std::string name = "menu" + std::to_string(n) + ".bmp";
    const Bitmap& b = Bmp(name);
    int maxRed = 0;
    for (uint16_t p : b.Pixels()) {
      ASSERT_EQ(Green(p), 0) << name;
      ASSERT_EQ(Blue(p), 0) << name;
      maxRed = std::max(maxRed, Red(p));
    }
    EXPECT_GE(maxRed, 28) << name << " never reaches full glow";
    // The widget keys the caption on its bottom-left pixel: that must be the background.
    EXPECT_EQ(b.Pixel(0, b.Height() - 1), 0) << name;
  }
  EXPECT_NE(Bmp("menu1.bmp"), Bmp("menu2.bmp"));
}

TEST_F(BuiltPictures, PanelLeavesPlainPlacesForIconsNumbersAndKeyLabels) {
  const Bitmap& p = Bmp("panel.bmp");
  const int rows[6] = {170, 210, 250, 290, 330, 370};
  const uint16_t strip = p.Pixel(78, 170);
  for (int y : rows) {
    EXPECT_TRUE(Uniform(p, 78, y, 64, 20)) << "number strip at y " << y;
    EXPECT_TRUE(Uniform(p, 38, y - 5, 32, 32)) << "icon bay at y " << y - 5;
    EXPECT_EQ(p.Pixel(78, y), strip);
  }
  // The score's big digits (17 wide) start at x0 = 77 - 17 * digits / 2, y 92.
  for (int digits = 1; digits <= 7; ++digits)
    EXPECT_TRUE(Uniform(p, 77 - 17 * digits / 2, 92, 17 * digits, 28)) << digits << " digits";
  EXPECT_TRUE(Uniform(p, 10, 415, 140, 50)) << "key labels";
  // Black is the template's transparent key: nothing of the panel may vanish.
  for (uint16_t px : p.Pixels()) ASSERT_NE(px, 0);

  const Bitmap& m = Bmp("mappanel.bmp");
  for (int y : rows) {
    EXPECT_TRUE(Uniform(m, 21, y - 5, 32, 32)) << "map icon bay at y " << y - 5;
    EXPECT_TRUE(Uniform(m, 59, y, 56, 20)) << "map number strip at y " << y;
  }
  for (uint16_t px : m.Pixels()) ASSERT_NE(px, 0);
}

TEST_F(BuiltPictures, KeyedPicturesKeepBlackForTheBackgroundOnly) {
  // The frame bar is drawn keyed on black: every pixel must show.
  for (uint16_t px : Bmp("blackbar.bmp").Pixels()) ASSERT_NE(px, 0);
  // Ship frames and key pictures have a black surround and visible insides.
  const Bitmap& ship = Bmp("zenthrax.bmp");
  for (int f = 0; f < ship.Width() / 40; ++f) {
    EXPECT_EQ(ship.Pixel(f * 40, 0), 0);
    EXPECT_NE(ship.Pixel(f * 40 + 25, 15), 0) << "frame " << f;
  }
  for (int n = 3; n <= 8; ++n) {
    const Bitmap& k = Bmp("gamehelpbitmap" + std::to_string(n) + ".bmp");
    EXPECT_EQ(k.Pixel(0, 0), 0);
    EXPECT_NE(k.Pixel(k.Width() / 2, 4), 0);
    for (int m = n + 1; m <= 8; ++m) EXPECT_NE(k, Bmp("gamehelpbitmap" + std::to_string(m) + ".bmp")) << n << " " << m;
  }
}

TEST_F(BuiltPictures, ShipFramesAnimate) {
  const Bitmap& ship = Bmp("zenthrax.bmp");
  const Bitmap f0 = Crop(ship, {0, 0, 40, 30}), f1 = Crop(ship, {40, 0, 80, 30});
  EXPECT_NE(f0, f1);
}

TEST_F(BuiltPictures, EveryPuzzlePieceIsDistinctAndDetailed) {
  const Bitmap& pz = Bmp("defaultpuzzle.bmp");
  std::vector<Bitmap> pieces;
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 10; ++col) {
      pieces.push_back(Crop(pz, {col * 64, row * 64, col * 64 + 64, row * 64 + 64}));
      EXPECT_GT(CountDistinct(pieces.back()), 12) << "piece " << col << "," << row;
    }
  for (size_t i = 0; i < pieces.size(); ++i)
    for (size_t j = i + 1; j < pieces.size(); ++j) EXPECT_NE(pieces[i], pieces[j]) << i << " and " << j;
}

TEST(SplashPicture, HasTheTitleAndAPlainCornerForTheProgressLine) {
  const Bitmap s = BuildSplashPicture();
  ASSERT_EQ(s.Width(), 400);
  ASSERT_EQ(s.Height(), 250);
  EXPECT_GT(CountDistinct(s), 200);
  // The label sits at left 10, 10 pixels above the bottom: keep it on a quiet dark ground.
  for (int y = 222; y < 246; ++y)
    for (int x = 6; x < 150; ++x) {
      const uint16_t p = s.Pixel(x, y);
      ASSERT_LT(Red(p) + Green(p) / 2 + Blue(p), 30) << x << "," << y;
    }
  EXPECT_EQ(BuildSplashPicture(), s);
}

TEST_F(BuiltPictures, SameSourcesGiveTheSameBytes) {
  std::string error;
  EXPECT_EQ(BuildPictures(kAssets, &error), *items_) << error;
}

// --- texts ---------------------------------------------------------------------

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find('\n', pos);
    out.push_back(text.substr(pos, end - pos));
    pos = end == std::string::npos ? text.size() : end + 1;
  }
  return out;
}

TEST_F(BuiltPictures, HelpPagesAndCreditsAreCleanLinesOfText) {
  for (int n = 1; n <= 5; ++n) {
    const std::string name = "helppage" + std::to_string(n) + ".txt";
    const std::string t = Text(name);
    ASSERT_FALSE(t.empty()) << name;
    EXPECT_EQ(t.back(), '\n');
    for (unsigned char c : t) ASSERT_TRUE(c == '\n' || (c >= 32 && c <= 126)) << name << " has byte " << int(c);
    const auto lines = Lines(t);
    EXPECT_LE(lines.size(), size_t(kHelpPageLines)) << name;
    for (const auto& l : lines) {
      EXPECT_LE(l.size(), size_t(kHelpLineChars)) << name << ": " << l;
      EXPECT_TRUE(l.empty() || l[0] != '#') << name << " kept a note line";
    }
    if (n <= 2) {
      int paragraphs = 1;
      for (const auto& l : lines) paragraphs += l.empty();
      EXPECT_EQ(paragraphs, kCastPerPage) << name;
    }
  }
  const auto credits = Lines(Text("kvelauthor.txt"));
  EXPECT_GE(credits.size(), 10u);
  bool maker = false, heading = false;
  for (const auto& l : credits) {
    maker |= l.find("Vantorix") != std::string::npos;
    heading |= !l.empty() && l[0] == '@';
  }
  EXPECT_TRUE(maker);
  EXPECT_TRUE(heading);
}

TEST(CookText, CleansNotesLineEndsAndTrailingBlanks) {
  std::string out, error;
  ASSERT_TRUE(CookText("# note\r\nFirst line   \r\n\r\nSecond\n\n\n", TextKind::HelpPage, "p.txt", &out, &error))
      << error;
  EXPECT_EQ(out, "First line\n\nSecond\n");
}

TEST(CookText, RefusesWhatTheScreensCannotShowNamingFileAndLine) {
  std::string out, error;
  EXPECT_FALSE(CookText("fine\nna\xEFve\n", TextKind::HelpPage, "p.txt", &out, &error));
  EXPECT_NE(error.find("p.txt line 2"), std::string::npos) << error;
  EXPECT_FALSE(CookText("tab\there\n", TextKind::HelpPage, "p.txt", &out, &error));
  EXPECT_FALSE(CookText(std::string(kHelpLineChars + 1, 'x'), TextKind::HelpPage, "p.txt", &out, &error));
  EXPECT_NE(error.find("line 1"), std::string::npos) << error;
  EXPECT_FALSE(CookText("# only notes\n\n", TextKind::HelpPage, "p.txt", &out, &error));
  std::string tooMany;
  for (int i = 0; i <= kHelpPageLines; ++i) tooMany += "line\n";
  EXPECT_FALSE(CookText(tooMany, TextKind::HelpPage, "p.txt", &out, &error));
  // Credits: one marker at most, and the marker does not count towards the width.
  EXPECT_TRUE(CookText("@" + std::string(kCreditLineChars, 'A'), TextKind::Credits, "c.txt", &out, &error)) << error;
  EXPECT_FALSE(CookText("@%Two markers", TextKind::Credits, "c.txt", &out, &error));
}

TEST(CookText, CastPagesNeedEightShortParagraphs) {
  std::string page, out, error;
  for (int i = 0; i < kCastPerPage; ++i) page += (i ? "\n" : "Line zero\n") + std::string("Line one\n");
  EXPECT_TRUE(CookText(page, TextKind::CastPage, "h.txt", &out, &error)) << error;
  EXPECT_FALSE(CookText(page + "\nNinth\n", TextKind::CastPage, "h.txt", &out, &error));
  EXPECT_NE(error.find("9 cast paragraphs"), std::string::npos) << error;
  EXPECT_FALSE(CookText("A\nB\nC\n" + page.substr(page.find("\n\n") + 2), TextKind::CastPage, "h.txt", &out, &error));
  EXPECT_FALSE(CookText("A\n\n\nB\n", TextKind::CastPage, "h.txt", &out, &error));
}

TEST(BuildPictures, AMissingTextSourceIsNamedAndNothingIsReturned) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("gravik_pictures_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::copy(kAssets + "/help", dir / "help");
  fs::copy(kAssets + "/credits", dir / "credits");
  fs::remove(dir / "help" / "helppage3.txt");
  std::string error;
  EXPECT_TRUE(BuildPictures(dir.string(), &error).empty());
  EXPECT_NE(error.find("helppage3.txt"), std::string::npos) << error;

  // A page that breaks the rules stops the build the same way.
  fs::copy_file(kAssets + "/help/helppage1.txt", dir / "help" / "helppage3.txt");
  std::FILE* f = std::fopen((dir / "help" / "helppage2.txt").string().c_str(), "ab");
  ASSERT_NE(f, nullptr);
  std::fputs("\nA ninth cast paragraph.\n", f);
  std::fclose(f);
  error.clear();
  EXPECT_TRUE(BuildPictures(dir.string(), &error).empty());
  EXPECT_NE(error.find("helppage2.txt"), std::string::npos) << error;
  fs::remove_all(dir);
}

}  // namespace
}  // namespace gravik::mkres

// The block catalogue the builder compiles from assets/blocks.txt: the fixed codes
// and named groups the game relies on, the flags its rules need, the record
// layout, and clear errors for a damaged table.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "Catalogue.h"

namespace gravik::mkres {
namespace {

std::string BlocksText() {
  std::ifstream in(std::string(GRAVIK_SOURCE_DIR) + "/assets/blocks.txt", std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class BuiltCatalogue : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { cat_ = new Catalogue(ParseCatalogue(BlocksText())); }
  static void TearDownTestSuite() { delete cat_; }
  static const Catalogue& Cat() { return *cat_; }
  static int Code(const char* name) { return cat_->Find(name); }
  static inline Catalogue* cat_ = nullptr;
};

TEST_F(BuiltCatalogue, FixedCodesSitWhereTheGameExpectsThem) {
  EXPECT_EQ(Cat().At(1).Style[0].Art, "empty");
  EXPECT_EQ(Code("EARTH1"), 6);
  EXPECT_EQ(Code("BRICK"), 7);
  EXPECT_EQ(Code("PLAYERST"), 38);
  EXPECT_EQ(Code("DIAMOND"), 2);   // main-menu backdrop
  EXPECT_EQ(Cat().At(18).Style[0].Art, "earth");
  EXPECT_EQ(Cat().At(19).Style[0].Art, "earth");
  EXPECT_EQ(Cat().At(20).Style[0].Art, "key");
  EXPECT_EQ(Cat().At(24).Style[0].Key, KeyMode::Solid);  // a wall variant
  EXPECT_EQ(Cat().At(119).Style[0].Art, "fog");

  // Player frames: idle 38..40, style-2 walk 41..50, vertical walk 66..70, death
  // 71..76, settle 77, walk right/left 87..100, further frames 101..111.
  auto isPlayer = [&](int code) {
    const PictureRef& p = Cat().At(code).Style[0];
    return p.Art.size() > 1 && p.Art[0] == 'p' && p.Art != "plant" && p.Art != "puzzle";
  };
  for (int code : {38, 39, 40, 41, 50, 66, 70, 71, 76, 77, 87, 100, 101, 111}) EXPECT_TRUE(isPlayer(code)) << code;
  for (int code = 38; code <= 50; ++code) EXPECT_TRUE(isPlayer(code)) << code;
  for (int code = 66; code <= 77; ++code) EXPECT_TRUE(isPlayer(code)) << code;
  for (int code = 87; code <= 111; ++code) EXPECT_TRUE(isPlayer(code)) << code;
  for (int code = 71; code <= 76; ++code) EXPECT_EQ(Cat().At(code).Style[0].Art, "pdeath") << code;
  for (int code = 105; code <= 107; ++code) EXPECT_EQ(Cat().At(code).Style[0].Art, "pglass") << code;
  for (int code = 87; code <= 93; ++code) EXPECT_EQ(Cat().At(code).Style[0].Art, "pwalkr") << code;
  for (int code = 94; code <= 100; ++code) EXPECT_EQ(Cat().At(code).Style[0].Art, "pwalkl") << code;
  for (int code = 41; code <= 44; ++code) EXPECT_EQ(Cat().At(code).Style[1].Art, "pwalkr") << code;
  for (int code = 45; code <= 48; ++code) EXPECT_EQ(Cat().At(code).Style[1].Art, "pwalkl") << code;

  // Compass pictures: 80 right, then clockwise, 117 above-right.
  const int compass[8] = {80, 81, 82, 83, 84, 85, 86, 117};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(Cat().At(compass[i]).Style[0].Art, "compass") << compass[i];
    EXPECT_EQ(Cat().At(compass[i]).Style[0].Variant, i) << compass[i];
  }
}

TEST_F(BuiltCatalogue, EveryNamedBlockExistsAndGroupsAreConsecutive) {
  for (const char* name :
       {"TRANSPORT1", "DIAMOND", "DIAMOND2", "DIAMOND3", "KEY", "KEY3", "KEY2", "SAFE", "EARTH1", "EARTH2", "EARTH3",
        "ROCK", "EGG", "EGGHATCH", "PLAYER1", "METEOR", "SPIRIT1", "SPIRIT2", "SPIRIT3", "CAGE", "ROCK1", "ENDCHAR1",
        "MONSTER1", "MONSTER2", "TIMEBOMB1", "PUZZLE", "SKULL1", "SKULL2", "SKULL3", "PLANT1", "PLANT2", "PLANT3",
        "PLANT4", "SAVE", "SAVE2", "DEAD1", "DEAD2", "DEAD3", "BRICK", "PLAYERST", "PLAYERSTR", "PLAYERSTL"}) {
    EXPECT_NE(Code(name), 0) << name;
  }
  // A named block must not sit on a code the game uses for something else.
  for (const char* name : {"ROCK", "EGG", "EGGHATCH", "DIAMOND", "KEY", "SAFE", "CAGE", "PLAYER1", "ENDCHAR1",
                           "SKULL1", "SAVE", "TRANSPORT1", "PUZZLE", "METEOR", "SPIRIT1"}) {
    const int code = Code(name);
    EXPECT_FALSE((code >= 38 && code <= 50) || (code >= 66 && code <= 77) || (code >= 80 && code <= 111) || code == 117 ||
                 code == 119)
        << name;
  }

  auto run = [&](const char* first, int count, const char* art) {
    const int code = Code(first);
    ASSERT_NE(code, 0) << first;
    ASSERT_LE(code + count - 1, 120) << first;
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(Cat().At(code + i).Style[0].Art, art) << first << " + " << i;
      if (i > 0) {
        EXPECT_NE(Cat().At(code + i).Style[0].Variant, Cat().At(code + i - 1).Style[0].Variant);
      }
    }
  };
  run("ROCK1", 4, "rock");
  run("SPIRIT1", 3, "spirit");
  run("MONSTER1", 2, "monster");
  run("TRANSPORT1", 5, "transporter");
  run("TIMEBOMB1", 7, "timebomb");
  run("SAVE2", 6, "savepoint");
  EXPECT_EQ(Code("SPIRIT3"), Code("SPIRIT1") + 2);
  EXPECT_EQ(Code("MONSTER2"), Code("MONSTER1") + 1);
  EXPECT_EQ(Cat().At(Code("SAVE")).Style[0].Art, "savepoint");
  EXPECT_EQ(Cat().At(Code("ROCK")).Style[0].Art, "rock");
}

TEST_F(BuiltCatalogue, FlagsLetTheRulesWork) {
  const BlockEntry& empty = Cat().At(1);
  EXPECT_TRUE(empty.PlayerCanEnter && empty.MonsterCanEnter && empty.SpiritCanEnter);
  EXPECT_FALSE(empty.RollsLeft || empty.RollsRight || empty.KillsPlayer);

  for (const char* earth : {"EARTH1", "EARTH2", "EARTH3"}) {
    const BlockEntry& b = Cat().At(Code(earth));
    EXPECT_TRUE(b.PlayerCanEnter) << earth;
    EXPECT_FALSE(b.MonsterCanEnter || b.SpiritCanEnter || b.KillsPlayer) << earth;
  }
  for (const char* round : {"ROCK", "ROCK1", "EGG", "DIAMOND", "KEY", "BRICK"}) {
    const BlockEntry& b = Cat().At(Code(round));
    EXPECT_TRUE(b.RollsLeft && b.RollsRight) << round;
  }
  EXPECT_FALSE(Cat().At(Code("STEEL")).RollsLeft || Cat().At(Code("STEEL")).RollsRight);

  const BlockEntry& player = Cat().At(Code("PLAYER1"));
  EXPECT_TRUE(player.PlayerCanEnter && player.MonsterCanEnter && player.SpiritCanEnter);
  EXPECT_FALSE(player.KillsPlayer);

  const BlockEntry& cage = Cat().At(Code("CAGE"));
  EXPECT_FALSE(cage.SpiritCanEnter || cage.PlayerCanEnter);
  EXPECT_FALSE(Cat().At(Code("SAFE")).PlayerCanEnter);

  for (const char* open : {"PLANT1", "PLANT2", "PLANT3", "PLANT4", "SAVE", "ENDCHAR1", "KEY", "DIAMOND", "TRANSPORT1"})
    EXPECT_TRUE(Cat().At(Code(open)).PlayerCanEnter) << open;

  // Exactly the skulls and the deadly floors kill.
  for (const BlockEntry& b : Cat().Blocks) {
    const bool deadly = b.Name.rfind("SKULL", 0) == 0 || b.Name.rfind("DEAD", 0) == 0;
    EXPECT_EQ(b.KillsPlayer, deadly) << b.Name;
    if (deadly) {
      EXPECT_TRUE(b.PlayerCanEnter) << b.Name;
    }
  }
}

TEST_F(BuiltCatalogue, RecordsAreLaidOutAsTheGameReadsThem) {
  const std::vector<uint8_t> bytes = CatalogueBytes(Cat());
  ASSERT_EQ(bytes.size(), 4845u);
  const int code = Code("PLAYER1");
  const uint8_t* rec = bytes.data() + (code - 1) * 19;
  EXPECT_EQ(rec[0], 7);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(rec + 1), 7), "PLAYER1");
  for (int i = 1 + 7; i < 11; ++i) EXPECT_EQ(rec[i], 0);
  EXPECT_EQ(rec[11], 0);  // rolls left
  EXPECT_EQ(rec[12], 0);  // rolls right
  EXPECT_EQ(rec[13], 1);  // player
  EXPECT_EQ(rec[14], 1);  // monster
  EXPECT_EQ(rec[15], 1);  // spirit
  EXPECT_EQ(rec[16], 0);  // kills
  const uint8_t* skull = bytes.data() + (Code("SKULL1") - 1) * 19;
  EXPECT_EQ(skull[16], 1);
  for (size_t i = 120 * 19; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], 0) << "byte " << i;
}

// Replaces line `n` (1-based) of the table.
std::string WithLine(const std::string& text, int n, const std::string& replacement) {
  std::istringstream in(text);
  std::string out, line;
  for (int i = 1; std::getline(in, line); ++i) out += (i == n ? replacement : line) + "\n";
  return out;
}

int LineOfCode(const std::string& text, int code) {
  std::istringstream in(text);
  std::string line;
  for (int i = 1; std::getline(in, line); ++i) {
    std::istringstream words(line);
    int c = 0;
    if (line.find('#') == std::string::npos && (words >> c) && c == code) return i;
  }
  return 0;
}

std::string ErrorOf(const std::string& text) {
  try {
    ParseCatalogue(text, "blocks.txt");
  } catch (const CatalogueError& e) {
    return e.what();
  }
  return "";
}

TEST(CatalogueParser, DamagedLinesAreReportedWithTheirLineNumber) {
  const std::string text = BlocksText();
  const int line = LineOfCode(text, 12);
  ASSERT_GT(line, 0);
  const std::string at = "blocks.txt:" + std::to_string(line) + ": ";
  struct Case {
    std::string row, says;
  };
  const Case cases[] = {
      {"  12  EGG  LR shared floor egg", "expected 7 columns"},
      {"  12  EGG  LRX shared floor egg egg", "unknown flag 'X'"},
      {"  12  EGG  LLR shared floor egg egg", "flag 'L' given twice"},
      {"  12  EGG  LR some floor egg egg", "sets must be"},
      {"  12  EGG  LR shared glossy egg egg", "unknown key"},
      {"  12  EGG  LR shared floor omelette egg", "unknown picture \"omelette\""},
      {"  12  EGG  LR shared floor egg egg:x", "bad variant"},
      {"  12  EGGEGGEGGEGG  LR shared floor egg egg", "longer than 10"},
      {"  0  EGG  LR shared floor egg egg", "not a number from 1 to 120"},
      {"  121  EGG  LR shared floor egg egg", "not a number from 1 to 120"},
      {"  5  EGG  LR shared floor egg egg", "code 5 already given"},
      {"  12  ROCK  LR shared floor egg egg", "already used by code"},
  };
  for (const Case& c : cases) {
    const std::string err = ErrorOf(WithLine(text, line, c.row));
    EXPECT_EQ(err.rfind(at, 0), 0u) << c.row << " -> " << err;
    EXPECT_NE(err.find(c.says), std::string::npos) << c.row << " -> " << err;
  }
  // A missing code is named.
  const std::string err = ErrorOf(WithLine(text, line, "# (egg removed)"));
  EXPECT_NE(err.find("block code 12 is missing"), std::string::npos) << err;
  // Comments, blank lines and Windows line ends are fine.
  std::string crlf;
  for (char ch : text) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  EXPECT_EQ(ErrorOf("\n\n" + crlf), "");
}

std::string RuleErrorOf(const std::string& text) {
  try {
    CheckGameRules(ParseCatalogue(text, "blocks.txt"), "blocks.txt");
  } catch (const CatalogueError& e) {
    return e.what();
  }
  return "";
}

TEST(CatalogueRules, TheBuiltTablePassesAndBrokenFixedPlacesAreRefused) {
  const std::string text = BlocksText();
  EXPECT_EQ(RuleErrorOf(text), "");
  // The table with one word of a block's line changed.
  auto renamed = [&](int code, const std::string& from, const std::string& to) {
    const int line = LineOfCode(text, code);
    std::istringstream in(text);
    std::string row;
    for (int i = 0; i < line; ++i) std::getline(in, row);
    row.replace(row.find(from), from.size(), to);
    return WithLine(text, line, row);
  };
  const int spirit2 = ParseCatalogue(text).Find("SPIRIT2");
  const struct {
    std::string text, says;
  } cases[] = {
      {renamed(6, "EARTH1", "EARTH9"), "code 6 must be \"EARTH1\""},
      {renamed(38, "PLAYERST", "PLAYERSX"), "code 38 must be \"PLAYERST\""},
      {renamed(spirit2, "SPIRIT2", "GHOST2"), "\"SPIRIT1\", \"SPIRIT2\" and \"SPIRIT3\" must be consecutive"},
      {renamed(ParseCatalogue(text).Find("METEOR"), "METEOR", "COMET"), "no block is named \"METEOR\""},
      {renamed(ParseCatalogue(text).Find("PLAYER1"), "PMS", "P"), "\"PLAYER1\" must let"},
      {renamed(ParseCatalogue(text).Find("CAGE"), " - ", " S "), "\"CAGE\" must keep"},
  };
  for (const auto& c : cases) {
    const std::string err = RuleErrorOf(c.text);
    EXPECT_NE(err.find(c.says), std::string::npos) << err;
    EXPECT_EQ(err.rfind("blocks.txt", 0), 0u) << err;
  }
}

TEST(CatalogueParser, UnreadableFileIsAClearError) {
  EXPECT_THROW(LoadCatalogue("/nonexistent/blocks.txt"), CatalogueError);
  EXPECT_NE(ErrorOf("").find("block code 1 is missing"), std::string::npos);
}

}  // namespace
}  // namespace gravik::mkres

#include "Catalogue.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace gravik::mkres {

namespace {

std::vector<std::string_view> SplitWords(std::string_view line) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    size_t j = i;
    while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r') ++j;
    if (j > i) words.push_back(line.substr(i, j - i));
    i = j;
  }
  return words;
}

bool ParseInt(std::string_view s, int& out) {
  if (s.empty()) return false;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

struct Reader {
  std::string_view file;
  int line = 0;
  [[noreturn]] void Fail(const std::string& what) const {
    throw CatalogueError(std::string(file) + ":" + std::to_string(line) + ": " + what);
  }
};

KeyMode ParseKey(const Reader& rd, std::string_view s) {
  if (s == "solid") return KeyMode::Solid;
  if (s == "floor") return KeyMode::Floor;
  if (s == "sprite") return KeyMode::Sprite;
  if (s == "magenta") return KeyMode::Magenta;
  rd.Fail("unknown key \"" + std::string(s) + "\" (solid, floor, sprite or magenta)");
}

PictureRef ParsePicture(const Reader& rd, std::string_view s, KeyMode key) {
  PictureRef p;
  p.Key = key;
  const size_t colon = s.find(':');
  p.Art = std::string(s.substr(0, colon));
  if (colon != std::string_view::npos && !ParseInt(s.substr(colon + 1), p.Variant))
    rd.Fail("bad variant in \"" + std::string(s) + "\"");
  if (!FindArt(p.Art)) rd.Fail("unknown picture \"" + p.Art + "\"; known: " + ArtNames());
  return p;
}

}  // namespace

int Catalogue::Find(std::string_view name) const {
  int found = 0;
  for (const BlockEntry& b : Blocks)
    if (b.Name == name) found = b.Code;
  return found;
}

Catalogue ParseCatalogue(std::string_view text, std::string_view fileName) {
  Catalogue cat;
  Reader rd{fileName};
  int lastLine = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++rd.line;
    lastLine = rd.line;
    if (const size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    const auto w = SplitWords(line);
    if (w.empty()) continue;
    if (w.size() != 7)
      rd.Fail("expected 7 columns (code name flags sets key style1 style2), found " + std::to_string(w.size()));
    int code = 0;
    if (!ParseInt(w[0], code) || code < 1 || code > kPictureBlocks)
      rd.Fail("block code \"" + std::string(w[0]) + "\" is not a number from 1 to 120");
    BlockEntry& b = cat.Blocks[size_t(code - 1)];
    if (b.Code != 0) rd.Fail("code " + std::to_string(code) + " already given on line " + std::to_string(b.Line));
    b.Code = code;
    b.Line = rd.line;
    if (w[1].size() > size_t(kMaxNameLength)) rd.Fail("name \"" + std::string(w[1]) + "\" is longer than 10 characters");
    for (char ch : w[1])
      if (ch < 33 || ch > 126) rd.Fail("name \"" + std::string(w[1]) + "\" has a character outside printable ASCII");
    if (int other = cat.Find(w[1]); other != 0)
      rd.Fail("name \"" + std::string(w[1]) + "\" already used by code " + std::to_string(other));
    b.Name = std::string(w[1]);
    if (w[2] != "-")
      for (char f : w[2]) {
        bool* flag = f == 'L' ? &b.RollsLeft : f == 'R' ? &b.RollsRight : f == 'P' ? &b.PlayerCanEnter
                   : f == 'M' ? &b.MonsterCanEnter : f == 'S' ? &b.SpiritCanEnter : f == 'K' ? &b.KillsPlayer
                   : nullptr;
        if (!flag) rd.Fail(std::string("unknown flag '") + f + "' (L R P M S K, or - for none)");
        if (*flag) rd.Fail(std::string("flag '") + f + "' given twice");
        *flag = true;
      }
    if (w[3] == "each")
      b.PerSet = true;
    else if (w[3] != "shared")
      rd.Fail("sets must be \"each\" or \"shared\", not \"" + std::string(w[3]) + "\"");
    KeyMode keys[2];
    const size_t slash = w[4].find('/');
    keys[0] = ParseKey(rd, w[4].substr(0, slash));
    keys[1] = slash == std::string_view::npos ? keys[0] : ParseKey(rd, w[4].substr(slash + 1));
    b.Style[0] = ParsePicture(rd, w[5], keys[0]);
    b.Style[1] = ParsePicture(rd, w[6], keys[1]);
    if (end == text.size()) break;
  }
  for (const BlockEntry& b : cat.Blocks)
    if (b.Code == 0) {
      rd.line = lastLine;
      int missing = int(&b - cat.Blocks.data()) + 1;
      rd.Fail("block code " + std::to_string(missing) + " is missing (every code 1 to 120 needs a line)");
    }
  return cat;
}

void CheckGameRules(const Catalogue& cat, std::string_view fileName) {
  auto fail = [&](int code, const std::string& what) {
    std::string where(fileName);
    if (code >= 1 && code <= kPictureBlocks) where += ":" + std::to_string(cat.At(code).Line);
    throw CatalogueError(where + ": " + what);
  };
  const BlockEntry& empty = cat.At(1);
  if (empty.Style[0].Art != "empty" || !empty.PlayerCanEnter || !empty.MonsterCanEnter || !empty.SpiritCanEnter)
    fail(1, "code 1 must be the empty block that everyone may enter");
  if (cat.Find("EARTH1") != 6) fail(6, "code 6 must be \"EARTH1\"");
  if (cat.At(7).Style[0].Key != KeyMode::Solid) fail(7, "code 7 is the initial border and must be a solid picture");
  if (cat.Find("PLAYERST") != 38) fail(38, "code 38 must be \"PLAYERST\"");
  struct Group {
    const char* first;
    int count;
  };
  static constexpr Group kGroups[] = {
      {"ROCK", 1},     {"ROCK1", 4},     {"EGG", 1},       {"EGGHATCH", 1}, {"DIAMOND", 1},  {"DIAMOND2", 1},
      {"DIAMOND3", 1}, {"KEY", 1},       {"KEY2", 1},      {"KEY3", 1},     {"SAFE", 1},     {"CAGE", 1},
      {"SPIRIT1", 3},  {"MONSTER1", 2},  {"SKULL1", 1},    {"SKULL2", 1},   {"SKULL3", 1},   {"PLANT1", 1},
      {"PLANT2", 1},   {"PLANT3", 1},    {"PLANT4", 1},    {"SAVE", 1},     {"SAVE2", 6},    {"TRANSPORT1", 5},
      {"TIMEBOMB1", 7}, {"PUZZLE", 1},   {"METEOR", 1},    {"PLAYER1", 1},  {"ENDCHAR1", 1}, {"BRICK", 1},
      {"PLAYERSTR", 1}, {"PLAYERSTL", 1}, {"DEAD1", 1},    {"DEAD2", 1},    {"DEAD3", 1},    {"EARTH2", 1},
      {"EARTH3", 1},
  };
  for (const Group& g : kGroups) {
    const int code = cat.Find(g.first);
    if (code == 0) fail(0, std::string("no block is named \"") + g.first + "\"");
    if (code + g.count - 1 > kPictureBlocks)
      fail(code, std::string("\"") + g.first + "\" needs " + std::to_string(g.count - 1) + " codes after it");
  }
  if (cat.Find("SPIRIT2") != cat.Find("SPIRIT1") + 1 || cat.Find("SPIRIT3") != cat.Find("SPIRIT1") + 2)
    fail(cat.Find("SPIRIT1"), "\"SPIRIT1\", \"SPIRIT2\" and \"SPIRIT3\" must be consecutive");
  if (cat.Find("MONSTER2") != cat.Find("MONSTER1") + 1)
    fail(cat.Find("MONSTER1"), "\"MONSTER1\" and \"MONSTER2\" must be consecutive");
  const BlockEntry& player = cat.At(cat.Find("PLAYER1"));
  if (!player.PlayerCanEnter || !player.MonsterCanEnter || !player.SpiritCanEnter || player.KillsPlayer)
    fail(player.Code, "\"PLAYER1\" must let the player, monsters and spirits in, and not kill");
  const BlockEntry& cage = cat.At(cat.Find("CAGE"));
  if (cage.SpiritCanEnter || cage.PlayerCanEnter) fail(cage.Code, "\"CAGE\" must keep spirits and the player out");
}

Catalogue LoadCatalogue(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw CatalogueError(path + ": cannot be read");
  std::ostringstream ss;
  ss << in.rdbuf();
  return ParseCatalogue(ss.str(), path);
}

std::vector<uint8_t> CatalogueBytes(const Catalogue& cat) {
  std::vector<uint8_t> out(kCatalogueBytes, 0);
  for (const BlockEntry& b : cat.Blocks) {
    uint8_t* rec = out.data() + size_t(b.Code - 1) * kBlockDefSize;
    rec[0] = uint8_t(b.Name.size());
    for (size_t i = 0; i < b.Name.size(); ++i) rec[1 + i] = uint8_t(b.Name[i]);
    rec[11] = b.RollsLeft;
    rec[12] = b.RollsRight;
    rec[13] = b.PlayerCanEnter;
    rec[14] = b.MonsterCanEnter;
    rec[15] = b.SpiritCanEnter;
    rec[16] = b.KillsPlayer;
  }
  return out;
}

}  // namespace gravik::mkres

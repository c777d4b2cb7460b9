#include "support/AsciiWorld.h"

#include <stdexcept>

#include "frame/GameState.h"

namespace gravik::testing {

namespace {

struct Entry {
  int code;
  const char* name;
  // left, right, player, monster, spirit, kills
  uint8_t rl, rr, pl, mo, sp, ki;
};

// Codes follow the game's block table where it fixes them.
const Entry kEntries[] = {
    {1, "EMPTY", 0, 0, 1, 1, 1, 0},
    {2, "DIAMOND", 1, 1, 1, 0, 0, 0},
    {3, "DIAMOND2", 0, 0, 0, 0, 0, 0},
    {4, "DIAMOND3", 0, 0, 0, 0, 0, 0},
    {5, "ROCK", 1, 1, 0, 0, 0, 0},
    {6, "EARTH1", 0, 0, 1, 0, 0, 0},
    {7, "BRICK", 1, 1, 0, 0, 0, 0},
    {8, "EARTH2", 0, 0, 1, 0, 0, 0},
    {9, "EARTH3", 0, 0, 1, 0, 0, 0},
    {10, "ROCK1", 0, 0, 0, 0, 0, 0},
    {11, "ROCK2", 0, 0, 0, 0, 0, 0},
    {12, "ROCK3", 0, 0, 0, 0, 0, 0},
    {13, "ROCK4", 0, 0, 0, 0, 0, 0},
    {14, "EGG", 1, 1, 0, 0, 0, 0},
    {15, "EGGHATCH", 0, 0, 0, 0, 0, 0},
    {16, "KEY", 1, 1, 1, 0, 0, 0},
    {17, "KEY2", 0, 0, 0, 0, 0, 0},
    {21, "KEY3", 0, 0, 0, 0, 0, 0},
    {22, "SAFE", 0, 0, 0, 0, 0, 0},
    {23, "CAGE", 0, 0, 0, 0, 0, 0},
    {25, "SPIRIT1", 0, 0, 0, 0, 1, 0},
    {26, "SPIRIT2", 0, 0, 0, 0, 0, 0},
    {27, "SPIRIT3", 0, 0, 0, 0, 0, 0},
    {28, "MONSTER1", 0, 0, 0, 0, 0, 0},
    {29, "MONSTER2", 0, 0, 0, 0, 0, 0},
    {30, "SKULL1", 0, 0, 1, 0, 0, 1},
    {31, "SKULL2", 0, 0, 0, 0, 0, 0},
    {32, "SKULL3", 0, 0, 0, 0, 0, 0},
    {33, "PLANT1", 0, 0, 1, 0, 0, 0},
    {34, "PLANT2", 0, 0, 1, 0, 0, 0},
    {35, "PLANT3", 0, 0, 1, 0, 0, 0},
    {36, "PLANT4", 0, 0, 1, 0, 0, 0},
    {37, "PLAYER1", 0, 0, 1, 1, 1, 0},
    {38, "PLAYERST", 0, 0, 0, 0, 0, 0},
    {39, "PLAYERSTR", 0, 0, 0, 0, 0, 0},
    {40, "PLAYERSTL", 0, 0, 0, 0, 0, 0},
    {41, "TIMEBOMB1", 0, 0, 0, 0, 0, 0},
    {51, "SAVE", 0, 0, 1, 0, 0, 0},
    {52, "SAVE2", 0, 0, 0, 0, 0, 0},
    {58, "TRANSPORT1", 0, 0, 0, 0, 0, 0},
    {63, "PUZZLE", 0, 0, 0, 0, 0, 0},
    {64, "METEOR", 0, 0, 0, 0, 0, 0},
    {65, "ENDCHAR1", 0, 0, 1, 0, 0, 0},
    {78, "STEEL", 0, 0, 0, 0, 0, 0},
    {79, "DEAD1", 0, 0, 1, 0, 0, 1},
    {115, "DEAD2", 0, 0, 1, 0, 0, 1},
    {116, "DEAD3", 0, 0, 1, 0, 0, 1},
};

const std::map<char, std::string> kLegend = {
    {'.', "EMPTY"},  {'#', "BRICK"},    {'S', "STEEL"},   {'O', "ROCK"},     {'E', "EGG"},
    {'H', "EGGHATCH"}, {'D', "DIAMOND"}, {'K', "KEY"},   {'X', "SAFE"},     {'C', "CAGE"},
    {':', "EARTH1"}, {';', "EARTH2"},   {',', "EARTH3"},  {'P', "PLAYER1"},  {'Z', "ENDCHAR1"},
    {'*', "SKULL1"}, {'T', "#253"},     {'G', "#254"},    {'$', "#255"},     {'s', "SPIRIT1"},
    {'V', "SAVE"},   {'L', "PLANT1"},   {'!', "DEAD1"},
};

}  // namespace

BlockCatalogue TestCatalogue() {
  std::vector<uint8_t> bytes(BlockCatalogue::StoredSize, 0);
  for (const Entry& e : kEntries) {
    TBlockDef d;
    d.Name = e.name;
    d.RollsLeft = e.rl;
    d.RollsRight = e.rr;
    d.PlayerCanEnter = e.pl;
    d.MonsterCanEnter = e.mo;
    d.SpiritCanEnter = e.sp;
    d.KillsPlayer = e.ki;
    d.Write(bytes.data() + size_t(e.code - 1) * TBlockDef::StoredSize);
  }
  BlockCatalogue c;
  c.Load(bytes.data(), bytes.size());
  return c;
}

const std::map<char, std::string>& DefaultLegend() { return kLegend; }

uint8_t CodeOf(char c) {
  const auto it = kLegend.find(c);
  if (it == kLegend.end()) throw std::invalid_argument(std::string("no legend entry for ") + c);
  const std::string& name = it->second;
  if (name[0] == '#') return uint8_t(std::stoi(name.substr(1)));
  for (const Entry& e : kEntries)
    if (name == e.name) return uint8_t(e.code);
  throw std::invalid_argument("no catalogue entry " + name);
}

int RecordingSound::CountOf(const std::string& name) const {
  int n = 0;
  for (const auto& p : Played) n += p == name;
  return n;
}

void RecordingHost::Report(WorldOutcome outcome) { ChangeState(StateAfter(outcome)); }

std::unique_ptr<World> MakeWorld(TestPorts& ports) {
  return std::make_unique<World>(ports.Clock, ports.Rand, ports.Sound, ports.Host);
}

AsciiWorld::AsciiWorld(const std::vector<std::string>& picture) {
  W.Chips = &Chips;
  W.Store = &Store;
  W.Catalogue = TestCatalogue();
  W.Named.Resolve(W.Catalogue);
  MakeHatchEnterable(W.Catalogue, W.Named);
  ApplyLevelFlagOverrides(W.Catalogue);

  height_ = int(picture.size());
  for (const auto& row : picture) width_ = std::max(width_, int(row.size()));
  for (int x = 1; x <= MapWidth; ++x)
    for (int y = 1; y <= MapHeight; ++y) W.SetCell(x, y, W.Named.Brick);
  for (int r = 0; r < height_; ++r)
    for (int c = 0; c < int(picture[size_t(r)].size()); ++c) {
      const char ch = picture[size_t(r)][size_t(c)];
      W.SetCell(X(c), Y(r), CodeOf(ch));
      if (ch == 'P') {
        W.Player.X = X(c);
        W.Player.Y = Y(r);
      }
    }
  W.LevelWidth = width_ + (OriginX - LevelOriginX - 1);
  W.LevelHeight = height_ + (OriginY - LevelOriginY - 1);
  W.RightColumn = X(width_ - 1);
  W.BottomRow = Y(height_ - 1);
  W.Player.PixelX = (W.Player.X - 1) * 64.0;
  W.Player.PixelY = (W.Player.Y - 1) * 64.0;
  W.Player.ViewX = 288.0 - 64.0 * W.Player.X;
  W.Player.ViewY = 208.0 - 64.0 * W.Player.Y;
  for (auto& s : W.Cells) s = CellState{};
  Store.Levels[0] = LevelData{};
  Store.Levels[0].Width = uint8_t(W.LevelWidth);
  Store.Levels[0].Height = uint8_t(W.LevelHeight);
  for (int x = 1; x <= W.LevelWidth; ++x)
    for (int y = 1; y <= W.LevelHeight; ++y)
      Store.SetCell(1, x, y, W.At(x + LevelOriginX, y + LevelOriginY));
  W.CurrentLevel = 1;
}

std::vector<std::string> AsciiWorld::Picture() const {
  std::map<uint8_t, char> reverse;
  for (const auto& [ch, name] : kLegend) reverse.emplace(CodeOf(ch), ch);
  std::vector<std::string> out;
  for (int r = 0; r < height_; ++r) {
    std::string row;
    for (int c = 0; c < width_; ++c) {
      const auto it = reverse.find(W.At(X(c), Y(r)));
      row += it == reverse.end() ? '?' : it->second;
    }
    out.push_back(row);
  }
  return out;
}

LevelData LevelFromAscii(const std::vector<std::string>& picture) {
  LevelData d;
  d.Height = uint8_t(picture.size());
  for (const auto& row : picture) d.Width = std::max<uint8_t>(d.Width, uint8_t(row.size()));
  d.Cells.fill(BlockEmpty);
  for (size_t r = 0; r < picture.size(); ++r)
    for (size_t c = 0; c < picture[r].size(); ++c)
      d.Cells[c * LevelSide + r] = CodeOf(picture[r][c]);
  return d;
}

}  // namespace gravik::testing

#include "data/ScenarioRules.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

namespace gravik {

namespace {

constexpr uint8_t kEmpty = 1;

std::string CellText(int x, int y) { return "(" + std::to_string(x) + ", " + std::to_string(y) + ")"; }
std::string LevelText(int n) { return "level " + std::to_string(n); }

int Columns(const TLevelRecord& lv) { return std::clamp<int>(lv.Width, 0, LevelCells); }
int Rows(const TLevelRecord& lv) { return std::clamp<int>(lv.Height, 0, LevelCells); }

bool Contains(const std::vector<uint8_t>& codes, uint8_t c) {
  return c != 0 && std::find(codes.begin(), codes.end(), c) != codes.end();
}

class Checker {
 public:
  Checker(const Scenario& s, const ScenarioBlocks& b, const ScenarioCheckOptions& o) : s_(s), b_(b), o_(o) {
    for (int n = 1; n <= LevelCount; ++n)
      used_[size_t(n)] = o.Levels ? (*o.Levels)[size_t(n - 1)] : LevelInUse(s.Level(n));
  }

  std::vector<ScenarioFault> Run() {
    for (int n = 1; n <= LevelCount; ++n)
      if (used_[size_t(n)]) ScanLevel(n);
    if (players_ == 0) Scenario("no level holds the player start (PLAYER1, 'P' in the default legend)");
    if (transporters_ > MaxTransporters)
      Scenario("the scenario has " + std::to_string(transporters_) + " transporters; at most 4096 fit");
    if (endLevels_.size() > 1)
      Level(*std::next(endLevels_.begin()), "end characters on more than one level; one reached completes the scenario");
    CheckPuzzle();
    if (startLevel_) CheckRoute(startLevel_, endLevels_.empty() ? 0 : *endLevels_.begin());
    for (int n = 1; n <= LevelCount; ++n)
      if (used_[size_t(n)] && !hasTargets_[size_t(n)])
        Level(n, LevelText(n) +
                     " has nothing to do: no diamond, earth, egg, transporter, puzzle piece or end character");
    std::stable_sort(faults_.begin(), faults_.end(), [](const ScenarioFault& a, const ScenarioFault& b) {
      return (a.Place == FaultPlace::Scenario) < (b.Place == FaultPlace::Scenario);
    });
    return std::move(faults_);
  }

 private:
  void Add(FaultPlace p, int level, int x, int y, std::string m) {
    if (faults_.size() < 500) faults_.push_back({p, level, x, y, std::move(m)});
  }
  void Scenario(std::string m) { Add(FaultPlace::Scenario, 0, 0, 0, std::move(m)); }
  void Level(int n, std::string m) { Add(FaultPlace::Level, n, 0, 0, std::move(m)); }
  void Cell(int n, int x, int y, std::string m) { Add(FaultPlace::Cell, n, x, y, std::move(m)); }

  void ScanLevel(int n) {
    const TLevelRecord& lv = s_.Level(n);
    for (int x = 1; x <= Columns(lv); ++x)
      for (int y = 1; y <= Rows(lv); ++y) {
        const uint8_t c = lv.Cell(x, y);
        if (c == BlockTransporterCode) {
          ++transporters_;
          hasTargets_[size_t(n)] = true;
          Transporter(n, x, y);
        } else if (c == BlockPuzzlePieceCode) {
          hasTargets_[size_t(n)] = true;
          Piece(n, x, y);
        } else if (c == b_.Player && c != 0) {
          if (players_++ == 0) startLevel_ = n;
          else Cell(n, x, y, "a second player start; the game starts on one only");
        } else if (c == b_.EndChar && c != 0) {
          endLevels_.insert(n);
          hasTargets_[size_t(n)] = true;
        } else if (Contains(b_.Diamonds, c) || Contains(b_.Earth, c) || (c == b_.Egg && c != 0)) {
          hasTargets_[size_t(n)] = true;
        }
      }
  }

  void Transporter(int n, int x, int y) {
    if (o_.SkipTransporter && o_.SkipTransporter(n, x, y)) return;
    const TransporterDestination d = DecodeTransporterParam(s_.Level(n).Param(x, y));
    const std::string where = "the destination " + CellText(d.Column, d.Row) + " of " + LevelText(d.Level);
    if (d.Level < 1 || d.Level > LevelCount || !used_[size_t(d.Level)]) {
      Cell(n, x, y, "the transporter leads to " + LevelText(d.Level) + ", which is empty");
      return;
    }
    const TLevelRecord& dest = s_.Level(d.Level);
    if (d.Column > dest.Width || d.Row > dest.Height) {
      Cell(n, x, y, "the destination " + CellText(d.Column, d.Row) + " lies outside " + LevelText(d.Level) + " (" +
                        std::to_string(dest.Width) + " x " + std::to_string(dest.Height) + ")");
      return;
    }
    const uint8_t there = dest.Cell(d.Column, d.Row);
    if (there != kEmpty && (there != b_.Player || there == 0) && there != BlockTransporterCode) {
      Cell(n, x, y, where + " is occupied; the player would die on arrival");
      return;
    }
    // A rock or egg right above the destination drops into it when the level
    // is built, before the player arrives.
    if (d.Row > 1) {
      const uint8_t above = dest.Cell(d.Column, d.Row - 1);
      if (above != 0 && (above == b_.Rock || above == b_.Egg)) {
        Cell(n, x, y, where + " lies under " + (above == b_.Rock ? "a rock" : "an egg") +
                          " that falls into it; the player would die on arrival");
        return;
      }
    }
    edges_.push_back({n, d.Level});
  }

  void Piece(int n, int x, int y) {
    const TScenarioExtras& e = s_.Extras;
    const int16_t p = s_.Level(n).Param(x, y);
    const int col = PuzzlePieceColumn(p), row = PuzzlePieceRow(p);
    const int cols = e.DefaultPuzzle ? 10 : e.PuzzleColumns, rows = e.DefaultPuzzle ? 4 : e.PuzzleRows;
    if (cols <= 0 || rows <= 0) {
      Cell(n, x, y, "a puzzle piece in a scenario without a puzzle");
      return;
    }
    if (col < 1 || row < 1 || col > cols || row > rows) {
      Cell(n, x, y, "the puzzle has " + std::to_string(cols) + " columns and " + std::to_string(rows) +
                        " rows; there is no piece " + CellText(col, row));
      return;
    }
    auto [it, fresh] = pieces_.insert({{col, row}, {n, x, y}});
    if (!fresh)
      Cell(n, x, y, "puzzle piece " + CellText(col, row) + " is already placed on " + LevelText(it->second[0]) +
                        " at " + CellText(it->second[1], it->second[2]));
  }

  void CheckPuzzle() {
    const TScenarioExtras& e = s_.Extras;
    const int cols = e.DefaultPuzzle ? 10 : e.PuzzleColumns, rows = e.DefaultPuzzle ? 4 : e.PuzzleRows;
    if (cols <= 0 || rows <= 0 || pieces_.empty()) return;
    const size_t all = size_t(cols) * size_t(rows);
    if (pieces_.size() >= all) return;
    std::string missing;
    int shown = 0;
    for (int c = 1; c <= cols; ++c)
      for (int r = 1; r <= rows; ++r)
        if (!pieces_.count({c, r}) && shown++ < 6) missing += (missing.empty() ? "" : " ") + CellText(c, r);
    Add(FaultPlace::Puzzle, 0, 0, 0,
        std::to_string(all - pieces_.size()) + " puzzle pieces lie in no level: " + missing + (shown > 6 ? " ..." : ""));
  }

  // Every transporter carries the player once and every one must be used, so
  // the journey is one trail through the levels using each transporter once,
  // from the start level to the level of the end character.
  void CheckRoute(int start, int end) {  // end 0: no end character
    std::array<int, LevelCount + 1> out{}, in{};
    std::array<std::vector<int>, LevelCount + 1> next;
    for (auto [a, b] : edges_) {
      ++out[size_t(a)];
      ++in[size_t(b)];
      next[size_t(a)].push_back(b);
    }
    std::array<bool, LevelCount + 1> seen{};
    std::vector<int> todo{start};
    seen[size_t(start)] = true;
    while (!todo.empty()) {
      const int l = todo.back();
      todo.pop_back();
      for (int n : next[size_t(l)])
        if (!seen[size_t(n)]) seen[size_t(n)] = true, todo.push_back(n);
    }
    // Without an end character the journey may end on any one level: the
    // single level short of one way out (if any) is taken as its end.
    const bool endCharacter = end != 0;
    if (end == 0) {
      int shortLevels = 0, shortLevel = 0;
      for (int n = 1; n <= LevelCount; ++n)
        if (used_[size_t(n)] && out[size_t(n)] - in[size_t(n)] - (n == start) == -1) ++shortLevels, shortLevel = n;
      end = shortLevels == 1 ? shortLevel : start;
    }
    for (int n = 1; n <= LevelCount; ++n) {
      if (!used_[size_t(n)]) continue;
      const int balance = out[size_t(n)] - in[size_t(n)];
      const int want = (n == start ? 1 : 0) - (n == end ? 1 : 0);
      const std::string name = LevelText(n);
      if (!seen[size_t(n)]) {
        Level(n, name + " cannot be reached: no transporter leads there from the start");
        continue;
      }
      if (balance == want) continue;
      if (balance < want) {
        Level(n, name + " has no way back: " + std::to_string(in[size_t(n)]) + " transporter(s) lead in and " +
                     std::to_string(out[size_t(n)]) + " lead out" +
                     (n == start ? " (the start counts as one way in)" : "") +
                     "; every transporter must be used, so the player would be stuck here");
      } else {
        Level(n, name + ": " + std::to_string(out[size_t(n)]) + " transporter(s) lead out but only " +
                     std::to_string(in[size_t(n)]) + " lead in" +
                     (!endCharacter             ? ""
                      : n == end && n == start ? " (the scenario starts and ends here)"
                      : n == end               ? " (and the scenario ends here)"
                                               : "") +
                     "; each carries the player once, so one of them can never be used");
      }
    }
  }

  const struct Scenario& s_;
  const ScenarioBlocks& b_;
  const ScenarioCheckOptions& o_;
  std::array<bool, LevelCount + 1> used_{}, hasTargets_{};
  std::vector<ScenarioFault> faults_;
  std::vector<std::pair<int, int>> edges_;
  std::map<std::pair<int, int>, std::array<int, 3>> pieces_;  // (column, row) -> level, x, y
  std::set<int> endLevels_;
  int players_ = 0, startLevel_ = 0, transporters_ = 0;
};

}  // namespace

ScenarioBlocks ResolveScenarioBlocks(const BlockCodeOf& codeOf) {
  auto code = [&](std::string_view n) -> uint8_t {
    const int c = codeOf ? codeOf(n) : 0;
    return c >= 1 && c <= 120 ? uint8_t(c) : 0;
  };
  ScenarioBlocks b;
  b.Player = code("PLAYER1");
  b.EndChar = code("ENDCHAR1");
  b.Egg = code("EGG");
  b.Rock = code("ROCK");
  for (const char* n : {"DIAMOND", "SAFE", "CAGE"})
    if (const uint8_t c = code(n)) b.Diamonds.push_back(c);
  for (const char* n : {"EARTH1", "EARTH2", "EARTH3"})
    if (const uint8_t c = code(n)) b.Earth.push_back(c);
  return b;
}

std::vector<ScenarioFault> CheckScenario(const Scenario& s, const ScenarioBlocks& blocks,
                                         const ScenarioCheckOptions& options) {
  return Checker(s, blocks, options).Run();
}

std::string DescribeFault(const ScenarioFault& f) {
  switch (f.Place) {
    case FaultPlace::Cell: return LevelText(f.Level) + " " + CellText(f.X, f.Y) + ": " + f.Message;
    case FaultPlace::Level: return LevelText(f.Level) + ": " + f.Message;
    default: return f.Message;
  }
}

std::array<int32_t, 5> CountScenarioTotals(const Scenario& s, const ScenarioBlocks& b) {
  std::array<int32_t, 5> t{};
  for (const TLevelRecord& lv : s.Levels)
    for (int x = 1; x <= Columns(lv); ++x)
      for (int y = 1; y <= Rows(lv); ++y) {
        const uint8_t c = lv.Cell(x, y);
        t[TotalTransporters] += c == BlockTransporterCode;
        t[TotalPuzzlePieces] += c == BlockPuzzlePieceCode;
        t[TotalDiamonds] += Contains(b.Diamonds, c);
        t[TotalEarth] += Contains(b.Earth, c);
        t[TotalMonsters] += c != 0 && c == b.Egg;
      }
  return t;
}

bool LevelInUse(const TLevelRecord& level) {
  for (const auto& col : level.Cells)
    for (uint8_t c : col)
      if (c > 1) return true;
  return false;
}

ScenarioIdentity IdentityFromNames(std::string_view name, std::string_view author) {
  uint64_t h = 1469598103934665603ull;
  auto mix = [&h](char c) { h = (h ^ uint8_t(c)) * 1099511628211ull; };
  for (char c : name) mix(c);
  mix('\n');
  for (char c : author) mix(c);
  return ScenarioIdentity{double(h >> 40), double(h & 0xFFFFFF)};
}

uint16_t CheckWordOf(const ScenarioIdentity& id) {
  uint64_t bitsA, bitsB;
  std::memcpy(&bitsA, &id.A, 8);
  std::memcpy(&bitsB, &id.B, 8);
  const uint64_t mix = bitsA ^ (bitsB * 0x9E3779B97F4A7C15ull);
  return uint16_t(mix ^ (mix >> 16) ^ (mix >> 32) ^ (mix >> 48));
}

}  // namespace gravik

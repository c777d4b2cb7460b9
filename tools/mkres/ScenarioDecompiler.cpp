#include "ScenarioDecompiler.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>

#include "Catalogue.h"
#include "ScenarioCompiler.h"
#include "data/ScenarioRules.h"

namespace gravik::mkres {
namespace {

constexpr uint8_t kEmpty = 1, kDeadly = 252, kGate = 254;

const std::vector<std::pair<int, const char*>>& GateConditions() {
  static const std::vector<std::pair<int, const char*>> c = {{1, "diamonds"},     {2, "earth"},
                                                             {4, "monsters"},     {8, "transporters"},
                                                             {16, "pieces-but-one"}, {32, "pieces"}};
  return c;
}

std::string CellText(int x, int y) { return "(" + std::to_string(x) + ", " + std::to_string(y) + ")"; }

bool AllZero(const void* p, size_t n) {
  const auto* b = static_cast<const uint8_t*>(p);
  return std::all_of(b, b + n, [](uint8_t v) { return v == 0; });
}

bool Trimmed(const std::string& s) {
  return s.empty() || (s.front() != ' ' && s.front() != '\t' && s.back() != ' ' && s.back() != '\t');
}

// Characters a source may give a block: printable, never space, '#' (a wall
// in the default legend, and a comment at a line's start), 'n' (so no row
// reads "end") or DEL.
std::vector<char> CharacterPool() {
  std::vector<char> pool;
  auto ok = [](int c) { return c != '#' && c != 'n' && c != 127; };
  for (int c = 33; c < 256; ++c)  // letters and digits first: easier to read
    if (ok(c) && c < 128 && std::isalnum(c)) pool.push_back(char(c));
  for (int c = 33; c < 256; ++c)
    if (ok(c) && !(c < 128 && std::isalnum(c))) pool.push_back(char(c));
  return pool;
}

class Decompiler {
 public:
  Decompiler(const Scenario& s, const Catalogue& cat) : s_(s), cat_(cat) {}

  DecompileResult Run() {
    DecompileResult r;
    CheckWhole();
    ScenarioLegend();
    std::string levels;
    for (int n = 1; n <= LevelCount; ++n)
      if (Described(n)) levels += Level(n);
    if (errors_.empty()) r.Text = Head() + levels;
    r.Errors = std::move(errors_);
    r.Losses = std::move(losses_);
    return r;
  }

 private:
  void Error(std::string m) { errors_.push_back(std::move(m)); }
  void Loss(std::string m) { losses_.push_back(std::move(m)); }

  // The catalogue name of a block code; empty when a source cannot name it.
  std::string NameOf(uint8_t c) const {
    if (c == kEmpty) return "EMPTY";
    if (c == kDeadly) return "DEADLY";
    if (c < 2 || c > kPictureBlocks) return "";
    const std::string& name = cat_.At(c).Name;
    return !name.empty() && cat_.Find(name) == c ? name : "";
  }

  // A level the source describes: anything but the 1 x 1 level of code 0
  // that the compiler makes of a level without a grid.
  bool Described(int n) const {
    const TLevelRecord& lv = s_.Level(n);
    return !(lv.Width == 1 && lv.Height == 1 && lv.Cell(1, 1) == 0);
  }

  void CheckWhole() {
    const TScenarioHeader& h = s_.Header;
    const std::string name = s_.Info.Name.Str();
    if (name.empty()) Error("the scenario has no name");
    if (!Trimmed(name) || !Trimmed(s_.Info.Author.Str())) Loss("spaces around the name or author");
    if (h.Name.Str() != name || h.Author.Str() != s_.Info.Author.Str())
      Loss("the header's name and author differ from the info block's; the info block's are written");
    if (!std::isfinite(s_.Info.Identity.A) || !std::isfinite(s_.Info.Identity.B)) Error("the identity is not a number");
    if (s_.Info.CheckWord != CheckWordOf(s_.Info.Identity) || h.CheckWord != s_.Info.CheckWord)
      Loss("the check word (a compiled file takes the one of its identity)");
    if (!AllZero(h.Reserved0, sizeof h.Reserved0) || !AllZero(h.Reserved78, sizeof h.Reserved78) || h.Owner ||
        h.Reserved159 || h.EditFlag || h.LockFlag || h.KeepGraphics || !AllZero(h.Reserved163, sizeof h.Reserved163) ||
        !AllZero(h.Reserved188, sizeof h.Reserved188) || !AllZero(s_.Info.Reserved80, sizeof s_.Info.Reserved80))
      Loss("header bytes a source has no line for (owner, flags, reserved bytes)");
    const TScenarioExtras& e = s_.Extras;
    const bool defaultPuzzle = e.DefaultPuzzle != 0 && e.PuzzleColumns == 10 && e.PuzzleRows == 4;
    const bool noPuzzle = e.DefaultPuzzle == 0 && e.PuzzleColumns == 0 && e.PuzzleRows == 0;
    if (!defaultPuzzle && !noPuzzle) Loss("a puzzle grid other than the default 10 x 4 (written as 'puzzle none')");
    if (!AllZero(e.PieceFlags, sizeof e.PieceFlags) || !AllZero(e.Reserved1, sizeof e.Reserved1))
      Loss("puzzle piece flags");
    if (!s_.PuzzlePicture.empty()) Loss("the scenario's own puzzle picture");
    if (s_.HasExtraData) Loss("the extra data block");
    if (!AllZero(s_.LevelTail.data(), s_.LevelTail.size())) Loss("the bytes after the 20 levels");
    ScenarioFileForm form;
    MakeScenarioKeys(form, ScenarioKeySeed);
    const ScenarioFileForm& f = s_.Form;
    if (f.Version != form.Version || f.InfoKey != form.InfoKey || f.BodyKey != form.BodyKey ||
        f.HeaderSpan != form.HeaderSpan || f.LevelCoding != form.LevelCoding || f.UseLzh != form.UseLzh ||
        (!s_.PuzzlePicture.empty() && (f.PictureMarker != form.PictureMarker || f.PictureCoding != form.PictureCoding)))
      Loss("the file's keys and packing (a compiled file has the tools' own)");
    for (const std::string& note : s_.Notes)
      if (!Trimmed(note)) {
        Loss("spaces at the ends of note lines");
        break;
      }
  }

  // Blocks outside the default legend get a character of the scenario.
  void ScenarioLegend() {
    std::set<uint8_t> used;
    for (int n = 1; n <= LevelCount; ++n) {
      if (!Described(n)) continue;
      const TLevelRecord& lv = s_.Level(n);
      for (int x = 1; x <= lv.Width && x <= LevelCells; ++x)
        for (int y = 1; y <= lv.Height && y <= LevelCells; ++y) {
          const uint8_t c = lv.Cell(x, y);
          if (c != 0 && c != BlockTransporterCode && c != BlockPuzzlePieceCode && c != kGate) used.insert(c);
        }
    }
    std::set<char> taken;
    for (const auto& [ch, name] : DefaultLegend()) {
      const int code = name == "EMPTY" ? kEmpty : cat_.Find(name);
      if (code > 0 && !charOf_.count(uint8_t(code))) charOf_[uint8_t(code)] = ch;
      taken.insert(ch);
    }
    const std::vector<char> pool = CharacterPool();
    auto next = pool.begin();
    for (uint8_t c : used) {
      if (charOf_.count(c)) continue;
      const std::string name = NameOf(c);
      if (name.empty()) {
        Error("block code " + std::to_string(c) + " has no name a source can give it");
        continue;
      }
      while (next != pool.end() && taken.count(*next)) ++next;
      if (next == pool.end()) {
        Error("more kinds of block than a source has characters for");
        return;
      }
      charOf_[c] = *next;
      taken.insert(*next);
      legend_ += "legend " + std::string(1, *next) + " " + name + "\n";
    }
  }

  std::string Head() const {
    std::string t = "scenario " + s_.Info.Name.Str() + "\n";
    if (s_.Info.Author.Length > 0) t += "author " + s_.Info.Author.Str() + "\n";
    char id[96];
    std::snprintf(id, sizeof id, "identity %.17g %.17g\n", s_.Info.Identity.A, s_.Info.Identity.B);
    t += id;
    const TScenarioExtras& e = s_.Extras;
    t += e.DefaultPuzzle != 0 && e.PuzzleColumns == 10 && e.PuzzleRows == 4 ? "puzzle default\n" : "puzzle none\n";
    for (const std::string& note : s_.Notes) t += note.empty() ? "note\n" : "note " + note + "\n";
    return t + legend_;
  }

  std::string Level(int n) {
    const TLevelRecord& lv = s_.Level(n);
    const std::string where = "level " + std::to_string(n);
    const int w = lv.Width, h = lv.Height;
    if (w < 1 || h < 1 || w > LevelCells || h > LevelCells) {
      Error(where + " is " + std::to_string(w) + " x " + std::to_string(h) + " cells; a level is 1 to 32 each way");
      return "";
    }
    if (!AllZero(lv.Reserved7, sizeof lv.Reserved7) || lv.Padding) Loss(where + ": reserved bytes");
    if (lv.BlockSet < 1 || lv.BlockSet > 6) Error(where + ": block set " + std::to_string(lv.BlockSet) + " is not 1 to 6");
    std::string t = "\nlevel " + std::to_string(n) + "\nsize " + std::to_string(w) + " " + std::to_string(h) + "\n";
    if (lv.Space) t += "space yes\n";
    if (lv.NoMap) t += "map no\n";
    if (lv.MeteorCount) t += "meteors " + std::to_string(lv.MeteorCount) + "\n";
    if (lv.BlockSet != 1) t += "blockset " + std::to_string(lv.BlockSet) + "\n";
    const std::string border = lv.BorderName.Str();
    if (border != "BRICK") {
      if (border.empty() || cat_.Find(border) == 0) Error(where + ": the border block '" + border + "' has no name in the catalogue");
      t += "border " + border + "\n";
    }
    if (lv.Space > 1 || lv.NoMap > 1) Loss(where + ": space or map flags other than 0 and 1");

    // Characters this level's ordinary cells use; its own declarations take others.
    std::set<char> taken;
    for (int x = 1; x <= w; ++x)
      for (int y = 1; y <= h; ++y)
        if (auto it = charOf_.find(lv.Cell(x, y)); it != charOf_.end()) taken.insert(it->second);
    const std::vector<char> pool = CharacterPool();
    auto next = pool.begin();
    auto fresh = [&]() -> char {
      while (next != pool.end() && taken.count(*next)) ++next;
      if (next == pool.end()) return 0;
      taken.insert(*next);
      return *next;
    };

    std::vector<std::string> rows(size_t(h), std::string(size_t(w), ' '));
    std::map<int, char> gates;  // condition bits -> character
    for (int x = 1; x <= w; ++x)
      for (int y = 1; y <= h; ++y) {
        const uint8_t c = lv.Cell(x, y);
        const int16_t p = lv.Param(x, y);
        const std::string at = where + " " + CellText(x, y);
        char ch = 0;
        if (c == BlockTransporterCode) {
          const TransporterDestination d = DecodeTransporterParam(p);
          if (d.Level > LevelCount || EncodeTransporterParam(d.Level, d.Column, d.Row) != p) {
            Error(at + ": a transporter parameter a source cannot write");
            continue;
          }
          if (!(ch = fresh())) break;
          t += "transporter " + std::string(1, ch) + " " + std::to_string(d.Level) + " " + std::to_string(d.Column) + " " +
               std::to_string(d.Row) + "\n";
        } else if (c == BlockPuzzlePieceCode) {
          const int col = PuzzlePieceColumn(p), row = PuzzlePieceRow(p);
          if (col < 1 || row < 1 || row > PuzzleMaxRows || p != int16_t((col << 5) | row)) {
            Error(at + ": a puzzle piece parameter a source cannot write");
            continue;
          }
          if (!(ch = fresh())) break;
          t += "piece " + std::string(1, ch) + " " + std::to_string(col) + " " + std::to_string(row) + "\n";
        } else if (c == kGate) {
          if (p <= 0 || p > 63) {
            Error(at + ": a skull gate without conditions a source can write");
            continue;
          }
          if (auto it = gates.find(p); it != gates.end()) {
            ch = it->second;
          } else {
            if (!(ch = fresh())) break;
            gates[p] = ch;
            t += "gate " + std::string(1, ch);
            for (const auto& [bit, word] : GateConditions())
              if (p & bit) t += std::string(" ") + word;
            t += "\n";
          }
        } else {
          auto it = charOf_.find(c);
          if (it == charOf_.end()) {
            if (c == 0) Error(at + ": block code 0 inside the level");
            continue;
          }
          ch = it->second;
          if (p != 0) Loss(at + ": the parameter of a " + NameOf(c) + " cell");
        }
        rows[size_t(y - 1)][size_t(x - 1)] = ch;
      }
    if (next == pool.end()) Error(where + ": more transporters, pieces and gates than a source has characters for");
    for (int x = 1; x <= LevelCells; ++x)
      for (int y = 1; y <= LevelCells; ++y)
        if ((x > w || y > h) && (lv.Cell(x, y) != 0 || lv.Param(x, y) != 0)) {
          Loss(where + ": cells outside its " + std::to_string(w) + " x " + std::to_string(h) + " cells");
          x = y = LevelCells + 1;
        }
    t += "grid\n";
    for (const std::string& r : rows) t += r + "\n";
    return t + "end\n";
  }

  const Scenario& s_;
  const Catalogue& cat_;
  std::map<uint8_t, char> charOf_;
  std::string legend_;
  std::vector<std::string> errors_, losses_;
};

}  // namespace

DecompileResult DecompileScenario(const Scenario& s, const Catalogue& catalogue) {
  return Decompiler(s, catalogue).Run();
}

}  // namespace gravik::mkres

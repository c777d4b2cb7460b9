#include "ScenarioCompiler.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "Catalogue.h"
#include "data/ScenarioRules.h"

namespace gravik::mkres {
namespace {

constexpr uint8_t kEmpty = 1;
constexpr uint8_t kDeadly = 252;
constexpr uint8_t kGate = 254;
constexpr int kDefaultPuzzleColumns = 10, kDefaultPuzzleRows = 4;

struct Token {
  std::string Text;
  int Column = 0;
};

std::vector<Token> Tokenize(const std::string& line) {
  std::vector<Token> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    out.push_back({line.substr(start, i - start), int(start) + 1});
  }
  return out;
}

// The text after the first token (a name or a note), trimmed.
std::string RestOfLine(const std::string& line, const Token& keyword) {
  size_t i = size_t(keyword.Column - 1) + keyword.Text.size();
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  size_t end = line.size();
  while (end > i && (line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
  return line.substr(i, end - i);
}

std::optional<long long> Number(std::string_view s) {
  long long v = 0;
  if (s.empty() || s.size() > 18) return std::nullopt;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
  return v;
}

std::optional<double> Real(const std::string& s) {
  if (s.empty() || s.size() > 40) return std::nullopt;
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  if (end != s.c_str() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string Quote(char c) {
  if (c >= 32 && c < 127) return std::string("'") + c + "'";
  char buf[16];
  std::snprintf(buf, sizeof buf, "byte 0x%02X", unsigned(uint8_t(c)));
  return buf;
}

std::string Cell(int x, int y) { return "(" + std::to_string(x) + ", " + std::to_string(y) + ")"; }

// What a grid character stands for.
struct Meaning {
  enum Kind { Block, Transporter, Landing, Piece, Gate } K = Block;
  uint8_t Code = kEmpty;
  int Line = 0, Column = 0;  // where it was declared
  // Transporter destination: a level with a cell or a landing character.
  int DestLevel = 0, DestX = 0, DestY = 0;
  char DestLanding = 0;
  int PieceColumn = 0, PieceRow = 0;
  int GateBits = 0;
};

struct Placed {  // a declared character found in the grid
  int X = 0, Y = 0, Line = 0, Column = 0;
};

struct LevelSource {
  int Number = 0;
  int Line = 0, Column = 0;
  bool HasGrid = false;
  int GridLine = 0;
  int Width = 0, Height = 0;
  int SizeW = 0, SizeH = 0, SizeLine = 0;
  uint8_t Space = 0, NoMap = 0, BlockSet = 1, Meteors = 0;
  std::string Border = "BRICK";
  std::map<char, Meaning> Legend;  // this level's own declarations
  std::vector<std::string> Rows;
  std::vector<int> RowLines;
  std::map<char, std::vector<Placed>> Found;  // special characters as placed
};

class Compiler {
 public:
  Compiler(const std::string& text, const BlockLookup& lookup) : text_(text), lookup_(lookup) {
    levels_.reserve(LevelCount);  // current_ points into it
  }

  CompileResult Run() {
    CompileResult r;
    r.Output = std::make_unique<Scenario>();
    SplitLines();
    ResolveNamedBlocks();
    Parse();
    if (!sawScenario_) Fault(1, 1, "the file does not start a scenario: a line 'scenario <name>' is missing");
    Build(*r.Output);
    Check(*r.Output);
    r.Walkthrough = std::move(walk_);
    r.LevelsUsed = int(levels_.size());
    std::stable_sort(diags_.begin(), diags_.end(), [](const Diagnostic& a, const Diagnostic& b) {
      return a.Line != b.Line ? a.Line < b.Line : a.Column < b.Column;
    });
    r.Diagnostics = std::move(diags_);
    return r;
  }

 private:
  void Fault(int line, int column, std::string message) {
    if (diags_.size() < 200) diags_.push_back({line, column, std::move(message)});
  }

  void SplitLines() {
    size_t start = 0;
    for (size_t i = 0; i <= text_.size(); ++i) {
      if (i == text_.size() || text_[i] == '\n') {
        std::string l = text_.substr(start, i - start);
        if (!l.empty() && l.back() == '\r') l.pop_back();
        lines_.push_back(std::move(l));
        start = i + 1;
      }
    }
    if (!lines_.empty() && lines_.back().empty()) lines_.pop_back();
  }

  int Code(std::string_view name) const {
    const int c = lookup_ ? lookup_(name) : 0;
    return c >= 1 && c <= 120 ? c : 0;
  }

  void ResolveNamedBlocks() {
    if (!Code("PLAYER1")) Fault(0, 0, "the block catalogue has no PLAYER1");
  }

  // Block code of a legend name: a catalogue name, EMPTY or DEADLY.
  std::optional<uint8_t> LegendCode(const std::string& name) const {
    if (name == "EMPTY") return kEmpty;
    if (name == "DEADLY") return kDeadly;
    const int c = Code(name);
    if (c == 0) return std::nullopt;
    return uint8_t(c);
  }

  // The meaning of a character in the current level: its own declarations,
  // then the scenario's legend, then the default legend.
  const Meaning* Lookup(const LevelSource& lv, char c) {
    if (auto it = lv.Legend.find(c); it != lv.Legend.end()) return &it->second;
    if (auto it = legend_.find(c); it != legend_.end()) return &it->second;
    if (auto it = DefaultLegend().find(c); it != DefaultLegend().end()) {
      if (auto code = LegendCode(it->second)) {
        Meaning m;
        m.Code = *code;
        return &(defaultCache_[c] = m);
      }
    }
    return nullptr;
  }

  bool ExpectArgs(const std::vector<Token>& t, size_t n, int line, const char* usage) {
    if (t.size() == n) return true;
    Fault(line, t.size() > n ? t[n].Column : int(lines_[size_t(line - 1)].size()) + 1,
          std::string(t.size() > n ? "too many values; expected: " : "missing value; expected: ") + usage);
    return false;
  }

  std::optional<int> IntArg(const Token& t, int line, int lo, int hi, const char* what) {
    auto v = Number(t.Text);
    if (!v || *v < lo || *v > hi) {
      Fault(line, t.Column, std::string(what) + " must be a whole number from " + std::to_string(lo) + " to " +
                                std::to_string(hi) + ", not '" + t.Text + "'");
      return std::nullopt;
    }
    return int(*v);
  }

  std::optional<bool> Flag(const Token& t, int line) {
    if (t.Text == "yes" || t.Text == "1" || t.Text == "on") return true;
    if (t.Text == "no" || t.Text == "0" || t.Text == "off") return false;
    Fault(line, t.Column, "expected yes or no, not '" + t.Text + "'");
    return std::nullopt;
  }

  // A declaration character: exactly one character.
  std::optional<char> CharArg(const Token& t, int line) {
    if (t.Text.size() != 1) {
      Fault(line, t.Column, "expected a single character, not '" + t.Text + "'");
      return std::nullopt;
    }
    return t.Text[0];
  }

  bool Declare(std::map<char, Meaning>& into, char c, Meaning m, int line, int column) {
    if (auto it = into.find(c); it != into.end()) {
      Fault(line, column, "character " + Quote(c) + " is already declared on line " + std::to_string(it->second.Line));
      return false;
    }
    m.Line = line;
    m.Column = column;
    into[c] = m;
    return true;
  }

  void Parse() {
    for (size_t i = 0; i < lines_.size(); ++i) {
      const int line = int(i) + 1;
      const std::string& text = lines_[i];
      auto t = Tokenize(text);
      if (t.empty() || t[0].Text[0] == '#') continue;
      const std::string k = t[0].Text;
      // A word starting with '#' after the second one starts a comment (the
      // second may be the character '#' itself). Names and notes keep theirs.
      if (k != "scenario" && k != "author" && k != "note")
        for (size_t j = 2; j < t.size(); ++j)
          if (t[j].Text[0] == '#') {
            t.resize(j);
            break;
          }
      if (k == "grid") {
        if (!ExpectArgs(t, 1, line, "grid")) continue;
        i = ReadGrid(i);
        continue;
      }
      if (k == "scenario") {
        if (sawScenario_) Fault(line, t[0].Column, "a second 'scenario' line");
        sawScenario_ = true;
        name_ = RestOfLine(text, t[0]);
        if (name_.empty()) Fault(line, t[0].Column, "the scenario needs a name");
        if (name_.size() > 30) Fault(line, t[1].Column, "the name is longer than 30 characters");
        continue;
      }
      if (k == "author") {
        author_ = RestOfLine(text, t[0]);
        if (author_.size() > 30) Fault(line, t.size() > 1 ? t[1].Column : 1, "the author is longer than 30 characters");
        continue;
      }
      if (k == "note") {
        notes_.push_back(RestOfLine(text, t[0]));
        continue;
      }
      if (k == "identity") {
        if (!ExpectArgs(t, 3, line, "identity <number> <number>")) continue;
        auto a = Real(t[1].Text), b = Real(t[2].Text);
        if (!a) Fault(line, t[1].Column, "not a number: '" + t[1].Text + "'");
        if (!b) Fault(line, t[2].Column, "not a number: '" + t[2].Text + "'");
        if (a && b) identity_ = ScenarioIdentity{*a, *b};
        continue;
      }
      if (k == "puzzle") {
        if (!ExpectArgs(t, 2, line, "puzzle default | puzzle none")) continue;
        puzzleLine_ = line;
        if (t[1].Text == "default") defaultPuzzle_ = true;
        else if (t[1].Text == "none") defaultPuzzle_ = false;
        else Fault(line, t[1].Column, "expected 'default' or 'none', not '" + t[1].Text + "'");
        continue;
      }
      if (k == "level") {
        if (t.size() < 2) {
          Fault(line, int(text.size()) + 1, "missing value; expected: level <1..20> [title]");
          continue;
        }
        auto n = IntArg(t[1], line, 1, LevelCount, "the level number");
        if (!n) {
          current_ = nullptr;
          continue;
        }
        if (levelIndex_.count(*n)) {
          Fault(line, t[1].Column, "level " + std::to_string(*n) + " is already described on line " +
                                       std::to_string(levels_[levelIndex_[*n]].Line));
          current_ = nullptr;
          continue;
        }
        levelIndex_[*n] = levels_.size();
        levels_.push_back({});
        current_ = &levels_.back();
        current_->Number = *n;
        current_->Line = line;
        current_->Column = t[0].Column;
        continue;
      }
      if (k == "legend") {
        if (!ExpectArgs(t, 3, line, "legend <character> <BLOCKNAME>")) continue;
        auto c = CharArg(t[1], line);
        auto code = LegendCode(t[2].Text);
        if (!code) Fault(line, t[2].Column, "no block is named '" + t[2].Text + "'");
        if (!c || !code) continue;
        Meaning m;
        m.Code = *code;
        Declare(current_ ? current_->Legend : legend_, *c, m, line, t[1].Column);
        continue;
      }
      if (k == "walk") {
        ParseWalk(t, line);
        continue;
      }
      // Everything else belongs to a level.
      if (!current_) {
        static const std::set<std::string> levelWords = {"size", "space", "map", "meteors", "blockset", "border",
                                                         "transporter", "landing", "piece", "gate"};
        if (levelWords.count(k)) Fault(line, t[0].Column, "'" + k + "' belongs to a level; it comes after a 'level' line");
        else Fault(line, t[0].Column, "unknown word '" + k + "'");
        continue;
      }
      LevelSource& lv = *current_;
      if (k == "size") {
        if (!ExpectArgs(t, 3, line, "size <width> <height>")) continue;
        auto w = IntArg(t[1], line, 1, LevelCells, "the width");
        auto h = IntArg(t[2], line, 1, LevelCells, "the height");
        if (w && h) lv.SizeW = *w, lv.SizeH = *h, lv.SizeLine = line;
      } else if (k == "space") {
        if (!ExpectArgs(t, 2, line, "space yes|no")) continue;
        if (auto f = Flag(t[1], line)) lv.Space = *f;
      } else if (k == "map") {
        if (!ExpectArgs(t, 2, line, "map yes|no")) continue;
        if (auto f = Flag(t[1], line)) lv.NoMap = *f ? 0 : 1;
      } else if (k == "meteors") {
        if (!ExpectArgs(t, 2, line, "meteors <0..255>")) continue;
        if (auto v = IntArg(t[1], line, 0, 255, "the meteor count")) lv.Meteors = uint8_t(*v);
      } else if (k == "blockset") {
        if (!ExpectArgs(t, 2, line, "blockset <1..6>")) continue;
        if (auto v = IntArg(t[1], line, 1, 6, "the block set")) lv.BlockSet = uint8_t(*v);
      } else if (k == "border") {
        if (!ExpectArgs(t, 2, line, "border <BLOCKNAME>")) continue;
        if (t[1].Text.size() > 10 || !Code(t[1].Text)) Fault(line, t[1].Column, "no block is named '" + t[1].Text + "'");
        else lv.Border = t[1].Text;
      } else if (k == "transporter") {
        ParseTransporter(t, line, lv);
      } else if (k == "landing") {
        if (!ExpectArgs(t, 2, line, "landing <character>")) continue;
        Meaning m;
        m.K = Meaning::Landing;
        if (auto c = CharArg(t[1], line)) Declare(lv.Legend, *c, m, line, t[1].Column);
      } else if (k == "piece") {
        if (!ExpectArgs(t, 4, line, "piece <character> <column> <row>")) continue;
        auto c = CharArg(t[1], line);
        auto col = IntArg(t[2], line, 1, 31, "the piece column");
        auto row = IntArg(t[3], line, 1, PuzzleMaxRows, "the piece row");
        if (!c || !col || !row) continue;
        Meaning m;
        m.K = Meaning::Piece;
        m.Code = BlockPuzzlePieceCode;
        m.PieceColumn = *col;
        m.PieceRow = *row;
        Declare(lv.Legend, *c, m, line, t[1].Column);
      } else if (k == "gate") {
        ParseGate(t, line, lv);
      } else {
        Fault(line, t[0].Column, "unknown word '" + k + "'");
      }
    }
  }

  void ParseTransporter(const std::vector<Token>& t, int line, LevelSource& lv) {
    const char* usage = "transporter <character> <level> <column> <row>  or  transporter <character> <level> <landing>";
    if (t.size() != 4 && t.size() != 5) {
      ExpectArgs(t, t.size() < 4 ? 4 : 5, line, usage);
      return;
    }
    auto c = CharArg(t[1], line);
    auto level = IntArg(t[2], line, 1, LevelCount, "the destination level");
    Meaning m;
    m.K = Meaning::Transporter;
    m.Code = BlockTransporterCode;
    if (t.size() == 5) {
      auto x = IntArg(t[3], line, 1, LevelCells, "the destination column");
      auto y = IntArg(t[4], line, 1, LevelCells, "the destination row");
      if (!x || !y) return;
      m.DestX = *x;
      m.DestY = *y;
    } else {
      auto d = CharArg(t[3], line);
      if (!d) return;
      m.DestLanding = *d;
    }
    if (!c || !level) return;
    m.DestLevel = *level;
    Declare(lv.Legend, *c, m, line, t[1].Column);
  }

  void ParseGate(const std::vector<Token>& t, int line, LevelSource& lv) {
    if (t.size() < 3) {
      ExpectArgs(t, 3, line, "gate <character> <condition>...");
      return;
    }
    static const std::map<std::string, int> conditions = {
        {"diamonds", 1}, {"earth", 2}, {"monsters", 4}, {"transporters", 8}, {"pieces-but-one", 16}, {"pieces", 32}};
    auto c = CharArg(t[1], line);
    int bits = 0;
    bool ok = true;
    for (size_t i = 2; i < t.size(); ++i) {
      auto it = conditions.find(t[i].Text);
      if (it == conditions.end()) {
        Fault(line, t[i].Column,
              "unknown condition '" + t[i].Text + "'; use diamonds, earth, monsters, transporters, pieces-but-one or pieces");
        ok = false;
      } else {
        bits |= it->second;
      }
    }
    if (!c || !ok) return;
    Meaning m;
    m.K = Meaning::Gate;
    m.Code = kGate;
    m.GateBits = bits;
    Declare(lv.Legend, *c, m, line, t[1].Column);
  }

  void ParseWalk(const std::vector<Token>& t, int line) {
    for (size_t i = 1; i < t.size(); ++i) {
      const std::string& s = t[i].Text;
      WalkStep step;
      step.Line = line;
      step.Column = t[i].Column;
      const char c = s[0];
      if (c == 'w') {
        auto ms = Number(std::string_view(s).substr(1));
        if (!ms || *ms < 1 || *ms > 600000) {
          Fault(line, t[i].Column, "a wait is 'w' and milliseconds (1..600000), not '" + s + "'");
          continue;
        }
        step.WaitMs = int(*ms);
      } else {
        const std::string dirs = "URDL";
        const size_t d = dirs.find(c);
        if (d == std::string::npos) {
          Fault(line, t[i].Column, "a walk step is U, R, D or L with an optional count, or w and milliseconds; not '" + s + "'");
          continue;
        }
        step.Direction = int(d) + 1;
        if (s.size() > 1) {
          auto n = Number(std::string_view(s).substr(1));
          if (!n || *n < 1 || *n > 99) {
            Fault(line, t[i].Column, "a step count is 1..99, not '" + s.substr(1) + "'");
            continue;
          }
          step.Count = int(*n);
        }
      }
      walk_.push_back(step);
    }
  }

  // Reads grid rows after line index i up to 'end'; returns the index of 'end'.
  size_t ReadGrid(size_t i) {
    const int gridLine = int(i) + 1;
    LevelSource* lv = current_;
    if (!lv) Fault(gridLine, 1, "a grid belongs to a level; it comes after a 'level' line");
    else if (lv->HasGrid) Fault(gridLine, 1, "level " + std::to_string(lv->Number) + " already has a grid");
    size_t j = i + 1;
    std::vector<std::string> rows;
    std::vector<int> rowLines;
    for (; j < lines_.size(); ++j) {
      std::string r = lines_[j];
      while (!r.empty() && (r.back() == ' ' || r.back() == '\t')) r.pop_back();
      if (r == "end") break;
      rows.push_back(r);
      rowLines.push_back(int(j) + 1);
    }
    if (j == lines_.size()) Fault(gridLine, 1, "the grid has no 'end' line");
    if (!lv || lv->HasGrid) return j;
    lv->HasGrid = true;
    lv->GridLine = gridLine;
    lv->Rows = rows;
    lv->RowLines = rowLines;
    if (rows.empty()) Fault(gridLine, 1, "the grid is empty");
    if (rows.size() > size_t(LevelCells))
      Fault(rowLines[LevelCells], 1, "the grid has " + std::to_string(rows.size()) + " rows; a level has at most 32");
    size_t width = 0;
    for (size_t r = 0; r < rows.size(); ++r) {
      if (rows[r].size() > size_t(LevelCells))
        Fault(rowLines[r], LevelCells + 1, "the row is " + std::to_string(rows[r].size()) + " cells wide; a level has at most 32");
      if (r == 0) width = rows[r].size();
      else if (rows[r].size() != width && rows[r].size() <= size_t(LevelCells) && width <= size_t(LevelCells))
        Fault(rowLines[r], int(std::min(rows[r].size(), width)) + 1,
              "the row is " + std::to_string(rows[r].size()) + " cells wide; the first row is " + std::to_string(width));
    }
    lv->Width = int(std::min(width, size_t(LevelCells)));
    lv->Height = int(std::min(rows.size(), size_t(LevelCells)));
    return j;
  }

  void Build(Scenario& s) {
    s.Info.Name.Assign(name_);
    s.Info.Author.Assign(author_);
    s.Header.Name.Assign(name_);
    s.Header.Author.Assign(author_);
    // Without an identity line: one made of the name and author, so two
    // scenarios rarely share one.
    if (!identity_) identity_ = IdentityFromNames(name_, author_);
    s.Info.Identity = *identity_;
    s.Header.CheckWord = s.Info.CheckWord = CheckWordOf(*identity_);
    s.Notes = notes_;
    s.FileName = BuiltInScenarioName;

    if (defaultPuzzle_) {
      s.Extras.DefaultPuzzle = 1;
      s.Extras.PuzzleColumns = kDefaultPuzzleColumns;
      s.Extras.PuzzleRows = kDefaultPuzzleRows;
    }
    s.Extras.PuzzlePieces = s.Extras.PuzzleColumns * s.Extras.PuzzleRows;

    // Levels without a grid: 1 x 1, nothing in use.
    for (int n = 1; n <= LevelCount; ++n) {
      TLevelRecord& rec = s.Level(n);
      rec.Width = rec.Height = 1;
      rec.BlockSet = 1;
      rec.BorderName.Assign("BRICK");
    }
    for (LevelSource& lv : levels_) BuildLevel(lv, s.Level(lv.Number));
    ResolveTransporters(s);
  }

  void BuildLevel(LevelSource& lv, TLevelRecord& rec) {
    if (!lv.HasGrid) {
      Fault(lv.Line, lv.Column, "level " + std::to_string(lv.Number) + " has no grid");
      return;
    }
    if (lv.SizeLine && (lv.SizeW != lv.Width || lv.SizeH != lv.Height))
      Fault(lv.SizeLine, 1, "the size says " + std::to_string(lv.SizeW) + " x " + std::to_string(lv.SizeH) +
                                " but the grid is " + std::to_string(lv.Width) + " x " + std::to_string(lv.Height));
    if (lv.Width < 1 || lv.Height < 1) return;
    rec.Width = uint8_t(lv.Width);
    rec.Height = uint8_t(lv.Height);
    rec.Space = lv.Space;
    rec.NoMap = lv.NoMap;
    rec.MeteorCount = lv.Meteors;
    rec.BlockSet = lv.BlockSet;
    rec.BorderName.Assign(lv.Border);
    for (int y = 1; y <= lv.Height; ++y) {
      const std::string& row = lv.Rows[size_t(y - 1)];
      for (int x = 1; x <= lv.Width; ++x) {
        const int line = lv.RowLines[size_t(y - 1)];
        if (size_t(x) > row.size()) {  // a short row (already reported)
          rec.SetCell(x, y, kEmpty);
          continue;
        }
        const char c = row[size_t(x - 1)];
        const Meaning* m = Lookup(lv, c);
        if (!m) {
          Fault(line, x, "unknown character " + Quote(c) + " in the grid; declare it with 'legend " +
                             std::string(1, c >= 32 && c < 127 ? c : '?') + " <BLOCKNAME>'");
          rec.SetCell(x, y, kEmpty);
          continue;
        }
        rec.SetCell(x, y, m->Code);
        switch (m->K) {
          case Meaning::Block:
            break;
          case Meaning::Gate:
            rec.SetParam(x, y, int16_t(m->GateBits));
            break;
          case Meaning::Piece:
            rec.SetParam(x, y, int16_t((m->PieceColumn << 5) | m->PieceRow));
            [[fallthrough]];
          case Meaning::Transporter:
          case Meaning::Landing:
            lv.Found[c].push_back({x, y, line, x});
            break;
        }
      }
    }
    // Transporters, landings and pieces stand for one cell each.
    for (const auto& [c, m] : lv.Legend) {
      if (m.K == Meaning::Block || m.K == Meaning::Gate) continue;
      const auto it = lv.Found.find(c);
      const char* kind = m.K == Meaning::Transporter ? "transporter" : m.K == Meaning::Landing ? "landing" : "puzzle piece";
      if (it == lv.Found.end()) {
        Fault(m.Line, m.Column, std::string(kind) + " " + Quote(c) + " is declared but not placed in the grid");
      } else if (it->second.size() > 1) {
        const Placed& p = it->second[1];
        Fault(p.Line, p.Column, std::string(kind) + " " + Quote(c) + " stands for one cell; it is already at " +
                                    Cell(it->second[0].X, it->second[0].Y));
      }
    }
  }

  // Transporter destinations as the source names them: a level with a grid and
  // a cell or a placed landing. The cell itself is judged by the shared checks.
  void ResolveTransporters(Scenario& s) {
    for (LevelSource& lv : levels_) {
      for (const auto& [c, m] : lv.Legend) {
        if (m.K != Meaning::Transporter) continue;
        const auto found = lv.Found.find(c);
        if (found == lv.Found.end()) continue;
        const Placed& src = found->second[0];
        const auto dest = levelIndex_.find(m.DestLevel);
        if (dest == levelIndex_.end() || !levels_[dest->second].HasGrid) {
          Fault(m.Line, m.Column, "transporter " + Quote(c) + " leads to level " + std::to_string(m.DestLevel) +
                                      ", which has no grid");
          unresolved_.insert({lv.Number, src.X, src.Y});
          continue;
        }
        LevelSource& d = levels_[dest->second];
        int dx = m.DestX, dy = m.DestY;
        if (m.DestLanding) {
          const auto lm = d.Legend.find(m.DestLanding);
          const auto lf = d.Found.find(m.DestLanding);
          if (lm == d.Legend.end() || lm->second.K != Meaning::Landing || lf == d.Found.end()) {
            Fault(m.Line, m.Column, "transporter " + Quote(c) + " lands on " + Quote(m.DestLanding) +
                                        ", which is no landing placed in level " + std::to_string(m.DestLevel));
            unresolved_.insert({lv.Number, src.X, src.Y});
            continue;
          }
          dx = lf->second[0].X;
          dy = lf->second[0].Y;
        }
        s.Level(lv.Number).SetParam(src.X, src.Y, EncodeTransporterParam(m.DestLevel, dx, dy));
      }
    }
  }

  // Where in the source a fault of the shared checks belongs: a transporter or
  // piece at its declaration, another cell at its place in the grid, a level
  // at its 'level' line, the puzzle at its 'puzzle' line.
  Diagnostic Locate(const ScenarioFault& f) const {
    const auto at = levelIndex_.find(f.Level);
    const LevelSource* lv = at == levelIndex_.end() ? nullptr : &levels_[at->second];
    switch (f.Place) {
      case FaultPlace::Cell:
        if (!lv || f.Y < 1 || size_t(f.Y) > lv->RowLines.size()) break;
        for (const auto& [ch, places] : lv->Found)
          for (const Placed& p : places)
            if (p.X == f.X && p.Y == f.Y)
              if (const auto m = lv->Legend.find(ch); m != lv->Legend.end()) return {m->second.Line, m->second.Column, f.Message};
        return {lv->RowLines[size_t(f.Y - 1)], f.X, f.Message};
      case FaultPlace::Level:
        if (lv) return {lv->Line, lv->Column, f.Message};
        break;
      case FaultPlace::Puzzle: return {puzzleLine_, 1, f.Message};
      case FaultPlace::Scenario: break;
    }
    return {0, 0, f.Message};
  }

  void Check(Scenario& s) {
    const ScenarioBlocks blocks = ResolveScenarioBlocks(lookup_);
    std::array<bool, LevelCount> gridded{};
    for (const LevelSource& lv : levels_) gridded[size_t(lv.Number - 1)] = lv.HasGrid;
    ScenarioCheckOptions options;
    options.Levels = &gridded;
    options.SkipTransporter = [this](int level, int x, int y) { return unresolved_.count({level, x, y}) != 0; };
    for (const ScenarioFault& f : CheckScenario(s, blocks, options)) {
      const Diagnostic d = Locate(f);
      Fault(d.Line, d.Column, d.Message);
    }
    const auto totals = CountScenarioTotals(s, blocks);
    std::copy(totals.begin(), totals.end(), std::begin(s.Header.Totals));
  }

  const std::string& text_;
  BlockLookup lookup_;
  std::vector<std::string> lines_;
  std::vector<Diagnostic> diags_;
  std::vector<WalkStep> walk_;
  bool sawScenario_ = false;
  std::string name_, author_;
  std::vector<std::string> notes_;
  std::optional<ScenarioIdentity> identity_;
  bool defaultPuzzle_ = true;
  int puzzleLine_ = 0;
  std::map<char, Meaning> legend_;
  std::map<char, Meaning> defaultCache_;
  std::vector<LevelSource> levels_;
  std::map<int, size_t> levelIndex_;
  LevelSource* current_ = nullptr;
  std::set<std::array<int, 3>> unresolved_;  // transporters whose destination the source leaves open
};

}  // namespace

const std::map<char, std::string>& DefaultLegend() {
  static const std::map<char, std::string> legend = {
      {'.', "EMPTY"},   {'#', "BRICK"},    {'=', "STEEL"},    {'|', "GLASS"},    {'+', "STONE"},
      {':', "EARTH1"},  {';', "EARTH2"},   {',', "EARTH3"},   {'o', "ROCK"},     {'*', "DIAMOND"},
      {'e', "EGG"},     {'k', "KEY"},      {'S', "SAFE"},     {'C', "CAGE"},     {'p', "SPIRIT1"},
      {'X', "SKULL1"},  {'P', "PLAYER1"},  {'E', "ENDCHAR1"}, {'v', "SAVE"},     {'w', "PLANT1"},
      {'x', "PLANT2"},  {'y', "PLANT3"},   {'z', "PLANT4"},   {'!', "DEAD1"},    {'^', "DEAD2"},
      {'~', "DEAD3"},
  };
  return legend;
}

CompileResult CompileScenario(const std::string& sourceText, const BlockLookup& lookup) {
  Compiler c(sourceText, lookup);
  CompileResult r = c.Run();
  if (r.Output) {
    CountLevelsInUse(*r.Output);
    r.Output->Form = ScenarioFileForm{};
    MakeScenarioKeys(r.Output->Form, ScenarioKeySeed);
  }
  return r;
}

CompileResult CompileScenario(const std::string& sourceText, const Catalogue& catalogue) {
  return CompileScenario(sourceText, [&catalogue](std::string_view n) { return catalogue.Find(n); });
}

std::string FormatDiagnostic(const std::string& fileName, const Diagnostic& d) {
  if (d.Line <= 0) return fileName + ": " + d.Message;
  return fileName + ":" + std::to_string(d.Line) + ":" + std::to_string(d.Column) + ": " + d.Message;
}

bool ReadTextFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  text = ss.str();
  return true;
}

std::vector<uint8_t> BuildBuiltInScenario(const std::string& assetsDir, std::string* error) {
  auto fail = [error](const std::string& m) {
    if (error) *error = m;
    return std::vector<uint8_t>{};
  };
  const std::string path = assetsDir + "/scenario/gravik2.txt";
  std::string text;
  if (!ReadTextFile(path, text)) return fail("cannot read " + path);
  Catalogue cat;
  try {
    cat = LoadCatalogue(assetsDir + "/blocks.txt");
  } catch (const std::exception& e) {
    return fail(e.what());
  }
  const CompileResult r = CompileScenario(text, cat);
  if (!r.Ok()) {
    std::string all;
    for (const Diagnostic& d : r.Diagnostics) all += FormatDiagnostic(path, d) + "\n";
    return fail(all);
  }
  return WriteScenario(*r.Output);
}

}  // namespace gravik::mkres

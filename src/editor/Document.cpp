#include "editor/Document.h"

#include <algorithm>

#include "base/Text.h"
#include "platform/Folders.h"
#include "world/Blocks.h"

namespace gravik {

namespace {

constexpr uint8_t kEmpty = 1;
constexpr size_t kScenarioFileLimit = size_t(512) << 20;

// The level a scenario holds where no level was made: 1 x 1, code 0.
void MakeUnusedLevel(TLevelRecord& lv) {
  lv = TLevelRecord{};
  lv.Width = lv.Height = 1;
  lv.BlockSet = 1;
  lv.BorderName.Assign("BRICK");
}

bool KeepsParam(uint8_t code) {
  return code == BlockTransporterCode || code == BlockPuzzlePieceCode || code == BlockSkullGate;
}

}  // namespace

EditorDocument::EditorDocument(ScenarioBlocks blocks) : blocks_(std::move(blocks)) { New(); }

void EditorDocument::New() {
  s_ = std::make_unique<Scenario>();
  s_->Form = ScenarioFileForm{};
  MakeScenarioKeys(s_->Form, ScenarioKeySeed);
  for (TLevelRecord& lv : s_->Levels) MakeUnusedLevel(lv);
  TLevelRecord& first = s_->Level(1);
  first.Width = kNewLevelWidth;
  first.Height = kNewLevelHeight;
  for (int x = 1; x <= kNewLevelWidth; ++x)
    for (int y = 1; y <= kNewLevelHeight; ++y) first.SetCell(x, y, kEmpty);
  s_->Info.Name.Assign("New Scenario");
  s_->Header.Name = s_->Info.Name;
  s_->FileName.clear();
  path_.clear();
  dirty_ = false;
  isNew_ = true;
  touched_.fill(true);
  undo_.clear();
  redo_.clear();
  strokeDepth_ = 0;
}

bool EditorDocument::Load(const std::string& path, std::string* error) {
  auto fail = [&](const std::string& m) {
    if (error) *error = m;
    return false;
  };
  const std::string name = ExtractFileName(path);
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes, kScenarioFileLimit)) return fail(name + " not found.");
  auto s = std::make_unique<Scenario>();
  std::vector<uint8_t> work = bytes;
  if (!ReadScenarioInfo(*s, bytes) || LoadScenario(*s, work) != ScenarioLoaded || !s->CrcCorrect ||
      s->Header.CheckWord != s->Info.CheckWord)
    return fail(name + " CRC incorrect.");
  s->FileName = name;
  s_ = std::move(s);
  path_ = path;
  dirty_ = false;
  isNew_ = false;
  touched_.fill(false);
  undo_.clear();
  redo_.clear();
  strokeDepth_ = 0;
  return true;
}

std::vector<uint8_t> EditorDocument::FileBytes() const {
  auto copy = std::make_unique<Scenario>(*s_);
  Scenario& out = *copy;
  if (isNew_) {
    out.Info.Identity = IdentityFromNames(out.Info.Name.Str(), out.Info.Author.Str());
    out.Info.CheckWord = out.Header.CheckWord = CheckWordOf(out.Info.Identity);
  }
  CountLevelsInUse(out);
  const bool anyTouched = std::find(touched_.begin(), touched_.end(), true) != touched_.end();
  // Levels left alone keep their bytes as the file held them.
  for (int n = 1; n <= LevelCount; ++n)
    if (!touched_[size_t(n - 1)]) out.Level(n).InUse = out.StoredInUse[size_t(n - 1)];
  if (!anyTouched) {
    out.Header.LevelsInUse = out.StoredLevelsInUse;
  } else {
    const auto totals = CountScenarioTotals(out, blocks_);
    std::copy(totals.begin(), totals.end(), std::begin(out.Header.Totals));
    // A scenario saved with faults says so in its edit flag.
    out.Header.EditFlag = CheckScenario(out, blocks_).empty() ? 0 : 1;
  }
  return WriteScenario(out);
}

bool EditorDocument::Save(const std::string& path, std::string* error) {
  if (SameText(ExtractFileName(path), BuiltInScenarioName)) {
    if (error) *error = std::string(BuiltInScenarioName) + " is the built-in scenario's name; choose another.";
    return false;
  }
  const std::vector<uint8_t> bytes = FileBytes();
  if (!WriteWholeFileAtomic(path, bytes.data(), bytes.size())) {
    if (error) *error = "Unable to write " + ExtractFileName(path) + ".";
    return false;
  }
  if (isNew_) {
    s_->Info.Identity = IdentityFromNames(s_->Info.Name.Str(), s_->Info.Author.Str());
    s_->Info.CheckWord = s_->Header.CheckWord = CheckWordOf(s_->Info.Identity);
  }
  path_ = path;
  s_->FileName = ExtractFileName(path);
  dirty_ = false;
  isNew_ = false;
  for (Step& st : undo_) st.Dirty = true;  // going back leaves the saved file
  for (Step& st : redo_) st.Dirty = true;
  return true;
}

bool EditorDocument::LevelMade(int level) const {
  if (!Valid(level)) return false;
  const TLevelRecord& lv = s_->Level(level);
  return !(lv.Width == 1 && lv.Height == 1 && lv.Cell(1, 1) == 0);
}

bool EditorDocument::Inside(int level, int x, int y) const {
  if (!LevelMade(level)) return false;
  const TLevelRecord& lv = s_->Level(level);
  return x >= 1 && y >= 1 && x <= std::min<int>(lv.Width, LevelCells) && y <= std::min<int>(lv.Height, LevelCells);
}

void EditorDocument::SetCellValue(TLevelRecord& lv, int x, int y, CellValue v) {
  lv.SetCell(x, y, v.Code);
  lv.SetParam(x, y, KeepsParam(v.Code) ? v.Param : int16_t(0));
}

void EditorDocument::RemoveStarts(int keepLevel, int keepX, int keepY) {
  if (blocks_.Player == 0) return;
  for (int n = 1; n <= LevelCount; ++n) {
    TLevelRecord& lv = s_->Level(n);
    for (int x = 1; x <= LevelCells; ++x)
      for (int y = 1; y <= LevelCells; ++y)
        if (lv.Cell(x, y) == blocks_.Player && !(n == keepLevel && x == keepX && y == keepY)) {
          lv.SetCell(x, y, kEmpty);
          lv.SetParam(x, y, 0);
        }
  }
}

std::optional<std::array<int, 3>> EditorDocument::Start() const {
  if (blocks_.Player == 0) return std::nullopt;
  for (int n = 1; n <= LevelCount; ++n)
    for (int x = 1; x <= LevelCells; ++x)
      for (int y = 1; y <= LevelCells; ++y)
        if (Inside(n, x, y) && s_->Level(n).Cell(x, y) == blocks_.Player) return std::array<int, 3>{n, x, y};
  return std::nullopt;
}

// --- undo ----------------------------------------------------------------------

ScenarioMeta EditorDocument::MetaNow() const {
  return {s_->Header, s_->Info, s_->Extras, s_->Notes, s_->PuzzlePicture};
}

void EditorDocument::ApplyMeta(const ScenarioMeta& m) {
  s_->Header = m.Header;
  s_->Info = m.Info;
  s_->Extras = m.Extras;
  s_->Notes = m.Notes;
  s_->PuzzlePicture = m.PuzzlePicture;
}

void EditorDocument::Record(std::initializer_list<int> levels, bool meta) {
  const bool extend = strokeDepth_ > 0 && strokeRecorded_ && !undo_.empty();
  if (!extend) {
    undo_.push_back(Step{});
    undo_.back().Dirty = dirty_;
    if (undo_.size() > kUndoSteps) undo_.erase(undo_.begin());
    strokeRecorded_ = strokeDepth_ > 0;
  }
  redo_.clear();
  Step& st = undo_.back();
  for (int n : levels) {
    touched_[size_t(n - 1)] = true;
    const bool have = std::any_of(st.Levels.begin(), st.Levels.end(), [n](const auto& p) { return p.first == n; });
    if (!have) st.Levels.emplace_back(n, s_->Level(n));
  }
  if (meta && !st.Meta) st.Meta = MetaNow();
}

void EditorDocument::RecordAll() {
  Record({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20});
}

void EditorDocument::Swap(Step& st) {
  for (auto& [n, rec] : st.Levels) std::swap(rec, s_->Level(n));
  if (st.Meta) {
    ScenarioMeta now = MetaNow();
    ApplyMeta(*st.Meta);
    st.Meta = std::move(now);
  }
  std::swap(st.Dirty, dirty_);
}

void EditorDocument::BeginStroke() {
  if (strokeDepth_++ == 0) strokeRecorded_ = false;
}

void EditorDocument::EndStroke() {
  if (strokeDepth_ > 0) --strokeDepth_;
}

bool EditorDocument::Undo() {
  if (undo_.empty()) return false;
  Step st = std::move(undo_.back());
  undo_.pop_back();
  Swap(st);
  redo_.push_back(std::move(st));
  strokeRecorded_ = false;
  return true;
}

bool EditorDocument::Redo() {
  if (redo_.empty()) return false;
  Step st = std::move(redo_.back());
  redo_.pop_back();
  Swap(st);
  undo_.push_back(std::move(st));
  strokeRecorded_ = false;
  return true;
}

// --- level edits -----------------------------------------------------------------

bool EditorDocument::Paint(int level, int x, int y, CellValue v) {
  if (!Inside(level, x, y) || v.Code == 0) return false;
  if (blocks_.Player != 0 && v.Code == blocks_.Player) return SetStart(level, x, y);
  if (!KeepsParam(v.Code)) v.Param = 0;
  if (Pick(level, x, y) == v) return false;
  Record({level});
  SetCellValue(s_->Level(level), x, y, v);
  Changed();
  return true;
}

bool EditorDocument::FillRect(int level, int x1, int y1, int x2, int y2, CellValue v) {
  if (!Valid(level) || v.Code == 0) return false;
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  const TLevelRecord& lv = s_->Level(level);
  x1 = std::max(x1, 1), y1 = std::max(y1, 1);
  x2 = std::min<int>(x2, lv.Width), y2 = std::min<int>(y2, lv.Height);
  if (x1 > x2 || y1 > y2) return false;
  if (blocks_.Player != 0 && v.Code == blocks_.Player)  // one start only
    return x1 == x2 && y1 == y2 && SetStart(level, x1, y1);
  if (!KeepsParam(v.Code)) v.Param = 0;
  bool differs = false;
  for (int x = x1; x <= x2 && !differs; ++x)
    for (int y = y1; y <= y2 && !differs; ++y) differs = !(Pick(level, x, y) == v);
  if (!differs) return false;
  Record({level});
  for (int x = x1; x <= x2; ++x)
    for (int y = y1; y <= y2; ++y) SetCellValue(s_->Level(level), x, y, v);
  Changed();
  return true;
}

CellValue EditorDocument::Pick(int level, int x, int y) const {
  if (!Inside(level, x, y)) return {0, 0};
  const TLevelRecord& lv = s_->Level(level);
  return {lv.Cell(x, y), lv.Param(x, y)};
}

bool EditorDocument::SetStart(int level, int x, int y) {
  if (!Inside(level, x, y) || blocks_.Player == 0) return false;
  const auto start = Start();
  if (start && (*start)[0] == level && (*start)[1] == x && (*start)[2] == y) return false;
  RecordAll();
  RemoveStarts(level, x, y);
  SetCellValue(s_->Level(level), x, y, {blocks_.Player, 0});
  Changed();
  return true;
}

bool EditorDocument::Resize(int level, int width, int height) {
  if (!Valid(level) || width < 1 || height < 1 || width > LevelCells || height > LevelCells) return false;
  TLevelRecord& lv = s_->Level(level);
  const bool unused = lv.Width == 1 && lv.Height == 1 && lv.Cell(1, 1) == 0;
  if (lv.Width == width && lv.Height == height && !unused) return false;
  Record({level});
  lv.Width = uint8_t(width);
  lv.Height = uint8_t(height);
  for (int x = 1; x <= LevelCells; ++x)
    for (int y = 1; y <= LevelCells; ++y) {
      if (x > width || y > height) {
        lv.SetCell(x, y, 0);
        lv.SetParam(x, y, 0);
      } else if (lv.Cell(x, y) == 0) {
        lv.SetCell(x, y, kEmpty);
      }
    }
  Changed();
  return true;
}

bool EditorDocument::CopyLevel(int from, int to) {
  if (!Valid(from) || !Valid(to) || from == to) return false;
  Record({to});
  TLevelRecord& lv = s_->Level(to);
  lv = s_->Level(from);
  if (blocks_.Player != 0)
    for (int x = 1; x <= LevelCells; ++x)
      for (int y = 1; y <= LevelCells; ++y)
        if (lv.Cell(x, y) == blocks_.Player) lv.SetCell(x, y, kEmpty);
  Changed();
  return true;
}

bool EditorDocument::ClearLevel(int level) {
  if (!Valid(level)) return false;
  const TLevelRecord& lv = s_->Level(level);
  bool clear = true;
  for (int x = 1; x <= lv.Width && clear; ++x)
    for (int y = 1; y <= lv.Height && clear; ++y) clear = lv.Cell(x, y) == kEmpty && lv.Param(x, y) == 0;
  if (clear) return false;
  Record({level});
  TLevelRecord& w = s_->Level(level);
  for (int x = 1; x <= w.Width; ++x)
    for (int y = 1; y <= w.Height; ++y) SetCellValue(w, x, y, {kEmpty, 0});
  Changed();
  return true;
}

#define GRAVIK_LEVEL_FIELD(field, value)       \
  if (!Valid(level)) return false;             \
  if (s_->Level(level).field == (value)) return false; \
  Record({level});                             \
  s_->Level(level).field = (value);            \
  Changed();                                   \
  return true

bool EditorDocument::SetBlockSet(int level, int set) {
  if (set < 1 || set > 6) return false;
  GRAVIK_LEVEL_FIELD(BlockSet, uint8_t(set));
}
bool EditorDocument::SetSpace(int level, bool space) { GRAVIK_LEVEL_FIELD(Space, uint8_t(space ? 1 : 0)); }
bool EditorDocument::SetNoMap(int level, bool noMap) { GRAVIK_LEVEL_FIELD(NoMap, uint8_t(noMap ? 1 : 0)); }
bool EditorDocument::SetMeteorCount(int level, int count) {
  if (count < 0 || count > 255) return false;
  GRAVIK_LEVEL_FIELD(MeteorCount, uint8_t(count));
}
#undef GRAVIK_LEVEL_FIELD

bool EditorDocument::SetBorder(int level, const std::string& blockName) {
  if (!Valid(level) || blockName.empty() || blockName.size() > 10) return false;
  if (s_->Level(level).BorderName.Str() == blockName) return false;
  Record({level});
  s_->Level(level).BorderName.Assign(blockName);
  Changed();
  return true;
}

bool EditorDocument::LinkTransporter(int level, int x, int y, int destLevel, int destX, int destY) {
  if (!Inside(level, x, y) || s_->Level(level).Cell(x, y) != BlockTransporterCode) return false;
  if (destLevel < 1 || destLevel > LevelCount || destX < 1 || destY < 1 || destX > LevelCells || destY > LevelCells)
    return false;
  const int16_t p = EncodeTransporterParam(destLevel, destX, destY);
  if (s_->Level(level).Param(x, y) == p) return false;
  Record({level});
  s_->Level(level).SetParam(x, y, p);
  Changed();
  return true;
}

// --- scenario edits ----------------------------------------------------------------

bool EditorDocument::SetName(const std::string& name) {
  if (name.empty() || s_->Info.Name.Str() == name.substr(0, 30)) return false;
  Record({}, true);
  s_->Info.Name.Assign(name);
  s_->Header.Name = s_->Info.Name;
  Changed();
  return true;
}

bool EditorDocument::SetAuthor(const std::string& author) {
  if (s_->Info.Author.Str() == author.substr(0, 30)) return false;
  Record({}, true);
  s_->Info.Author.Assign(author);
  s_->Header.Author = s_->Info.Author;
  Changed();
  return true;
}

bool EditorDocument::SetNotes(const std::vector<std::string>& notes) {
  if (s_->Notes == notes) return false;
  Record({}, true);
  s_->Notes = notes;
  Changed();
  return true;
}

bool EditorDocument::SetDefaultPuzzle(bool on) {
  TScenarioExtras& e = s_->Extras;
  if ((e.DefaultPuzzle != 0) == on && (on || (e.PuzzleColumns == 0 && e.PuzzleRows == 0))) return false;
  Record({}, true);
  e.DefaultPuzzle = on ? 1 : 0;
  e.PuzzleColumns = on ? 10 : 0;
  e.PuzzleRows = on ? 4 : 0;
  e.PuzzlePieces = e.PuzzleColumns * e.PuzzleRows;
  Changed();
  return true;
}

std::vector<ScenarioFault> EditorDocument::Check() const { return CheckScenario(*s_, blocks_); }

}  // namespace gravik

// The scenario being edited: the scenario's records, every change made to
// them as one undoable step, loading from and saving to a ".zq" file, and
// the checks of the game's tools on what is there now.
//
//   EditorDocument doc(blocks);
//   doc.New(); or doc.Load(path, &error);
//   doc.Paint(level, x, y, code); doc.FillRect(...); doc.Undo(); doc.Redo();
//   doc.Save(path, &error);
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/Scenario.h"
#include "data/ScenarioRules.h"

namespace gravik {

// A new level's size, and the default of a new scenario's first level.
inline constexpr int kNewLevelWidth = 20, kNewLevelHeight = 12;
// Undo keeps at least this many steps.
inline constexpr size_t kUndoSteps = 200;

// A block code and its cell parameter: what one cell holds.
struct CellValue {
  uint8_t Code = 1;
  int16_t Param = 0;
  bool operator==(const CellValue&) const = default;
};

// The scenario-wide part of a scenario (everything but the levels).
struct ScenarioMeta {
  TScenarioHeader Header;
  TScenarioInfo Info;
  TScenarioExtras Extras;
  std::vector<std::string> Notes;
  std::vector<uint8_t> PuzzlePicture;
};

class EditorDocument {
 public:
  explicit EditorDocument(ScenarioBlocks blocks);

  // A new scenario: named "New Scenario", no puzzle, level 1 of
  // kNewLevelWidth x kNewLevelHeight empty cells; nothing to save yet.
  void New();
  // Opens a scenario file; false (document unchanged, *error says why) when
  // it cannot be read or fails the game's checks (CRC, check words).
  bool Load(const std::string& path, std::string* error);
  // The file as Save writes it now.
  std::vector<uint8_t> FileBytes() const;
  // Writes the file atomically; the document is clean afterwards. A path named
  // like the built-in scenario is refused. A scenario that was changed is
  // written with its totals counted again and its edit flag set while it has
  // faults; one opened and saved unchanged keeps its bytes.
  bool Save(const std::string& path, std::string* error);

  const Scenario& scenario() const { return *s_; }
  const TLevelRecord& Level(int n) const { return s_->Level(n); }
  const std::string& Path() const { return path_; }
  bool Dirty() const { return dirty_; }
  const ScenarioBlocks& Blocks() const { return blocks_; }

  // A level that has been given a size (not the 1 x 1 level of nothing a
  // scenario holds where no level was made).
  bool LevelMade(int level) const;

  // --- Level edits (level 1..20, cells 1-based inside the level's size) ----
  // Each returns false and changes nothing when it would change nothing or the
  // cell lies outside the level. Painting the player start moves it: any other
  // start of the scenario becomes empty.
  bool Paint(int level, int x, int y, CellValue v);
  bool FillRect(int level, int x1, int y1, int x2, int y2, CellValue v);
  CellValue Pick(int level, int x, int y) const;
  bool SetStart(int level, int x, int y);
  // The player start, if any: level and cell.
  std::optional<std::array<int, 3>> Start() const;
  // Level size: cells beyond the new size are cleared, new ones are empty.
  bool Resize(int level, int width, int height);
  bool CopyLevel(int from, int to);  // the copy keeps no player start
  bool ClearLevel(int level);        // every cell empty, size and settings kept
  bool SetBlockSet(int level, int set);
  bool SetSpace(int level, bool space);
  bool SetNoMap(int level, bool noMap);
  bool SetMeteorCount(int level, int count);
  bool SetBorder(int level, const std::string& blockName);
  // The transporter at (x, y) leads to `destLevel`, cell (destX, destY).
  bool LinkTransporter(int level, int x, int y, int destLevel, int destX, int destY);

  // --- Scenario edits ----------------------------------------------------------
  bool SetName(const std::string& name);
  bool SetAuthor(const std::string& author);
  bool SetNotes(const std::vector<std::string>& notes);
  // The game's 10 x 4 puzzle picture, or none.
  bool SetDefaultPuzzle(bool on);

  // --- Undo ------------------------------------------------------------------
  // Edits between BeginStroke and EndStroke (a drag of the mouse) undo as one.
  void BeginStroke();
  void EndStroke();
  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  bool Undo();
  bool Redo();

  // The faults the game's tools report, on the scenario as it is now.
  std::vector<ScenarioFault> Check() const;

 private:
  struct Step {
    std::vector<std::pair<int, TLevelRecord>> Levels;
    std::optional<ScenarioMeta> Meta;
    bool Dirty = false;
  };
  // Records the state of `levels` (and the scenario-wide part) before a change.
  void Record(std::initializer_list<int> levels, bool meta = false);
  void RecordAll();
  void Swap(Step& step);
  bool Valid(int level) const { return level >= 1 && level <= LevelCount; }
  bool Inside(int level, int x, int y) const;
  void SetCellValue(TLevelRecord& lv, int x, int y, CellValue v);
  // Makes every other cell holding the player start empty.
  void RemoveStarts(int keepLevel, int keepX, int keepY);
  ScenarioMeta MetaNow() const;
  void ApplyMeta(const ScenarioMeta& m);
  void Changed() { dirty_ = true; }

  ScenarioBlocks blocks_;
  std::unique_ptr<Scenario> s_;
  std::string path_;
  bool dirty_ = false;
  bool isNew_ = true;  // never saved: the identity follows the name and author
  std::array<bool, LevelCount> touched_{};  // changed since loading
  std::vector<Step> undo_, redo_;
  int strokeDepth_ = 0;
  bool strokeRecorded_ = false;
  std::vector<int> strokeLevels_;
};

}  // namespace gravik

// The editor's document: edits, undo and redo, the shared checks, and files
// that are written whole and read back as they were.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>

#include "data/Scenario.h"
#include "editor/Document.h"
#include "platform/Folders.h"
#include "support/TestBlocks.h"

namespace gravik {
namespace {

using namespace testing;

ScenarioBlocks Blocks() { return TestBlocks(); }

bool SameLevel(const TLevelRecord& a, const TLevelRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

struct TempFolder {
  std::filesystem::path Dir;
  TempFolder() {
    char tmpl[] = "/tmp/gravik-editor-XXXXXX";
    Dir = mkdtemp(tmpl);
  }
  ~TempFolder() { std::filesystem::remove_all(Dir); }
  std::string File(const std::string& n) const { return (Dir / n).string(); }
};

// Two levels joined both ways, with everything the game counts.
void MakeSmallScenario(EditorDocument& d) {
  d.FillRect(1, 1, 1, 20, 12, {kEarth, 0});
  d.FillRect(1, 1, 1, 20, 1, {kBrick, 0});
  d.Paint(1, 3, 3, {kDiamond, 0});
  d.Paint(1, 5, 3, {kRock, 0});
  d.Paint(1, 7, 3, {kEgg, 0});
  d.SetStart(1, 2, 5);
  d.Paint(1, 9, 5, {BlockTransporterCode, 0});
  d.Paint(1, 10, 5, {1, 0});
  ASSERT_TRUE(d.Resize(2, 8, 4));
  d.Paint(2, 2, 2, {BlockTransporterCode, 0});
  d.Paint(2, 3, 2, {kEarth, 0});
  ASSERT_TRUE(d.LinkTransporter(1, 9, 5, 2, 4, 2));
  ASSERT_TRUE(d.LinkTransporter(2, 2, 2, 1, 10, 5));
}

TEST(EditorDocument, UndoAndRedoOverAHundredPaintedCellsRestoreTheLevelExactly) {
  EditorDocument d(Blocks());
  d.FillRect(1, 1, 1, 20, 12, {kEarth, 0});
  const TLevelRecord before = d.Level(1);
  std::mt19937 rng(5);
  std::vector<TLevelRecord> states{d.Level(1)};
  int painted = 0;
  while (painted < 120) {
    const uint8_t code = std::array<uint8_t, 5>{kBrick, kDiamond, kRock, kEgg, BlockTransporterCode}[rng() % 5];
    if (d.Paint(1, 1 + int(rng() % 20), 1 + int(rng() % 12), {code, int16_t(rng() % 2000)})) {
      ++painted;
      states.push_back(d.Level(1));
    }
  }
  for (int i = painted; i > 0; --i) {
    ASSERT_TRUE(d.Undo());
    ASSERT_TRUE(SameLevel(d.Level(1), states[size_t(i - 1)])) << "after undoing step " << i;
  }
  EXPECT_TRUE(SameLevel(d.Level(1), before));
  for (int i = 1; i <= painted; ++i) {
    ASSERT_TRUE(d.Redo());
    ASSERT_TRUE(SameLevel(d.Level(1), states[size_t(i)])) << "after redoing step " << i;
  }
  EXPECT_FALSE(d.Redo());
  // A drag of the mouse is one step; a new edit ends the redo history.
  d.BeginStroke();
  for (int x = 1; x <= 10; ++x) d.Paint(1, x, 12, {kDiamond, 0});
  d.EndStroke();
  d.Undo();
  EXPECT_TRUE(SameLevel(d.Level(1), states.back()));
  d.Paint(1, 1, 1, {kRock, 0});
  EXPECT_FALSE(d.CanRedo());
}

TEST(EditorDocument, EditsKeepOneStartAndStayInsideTheLevel) {
  EditorDocument d(Blocks());
  EXPECT_FALSE(d.Paint(1, 21, 1, {kEarth, 0}));  // outside 20 x 12
  EXPECT_FALSE(d.Paint(2, 1, 1, {kEarth, 0}));   // level 2 not made yet (1 x 1, nothing)
  EXPECT_TRUE(d.SetStart(1, 2, 2));
  EXPECT_TRUE(d.Paint(1, 5, 5, {kPlayer, 0}));  // the start moves
  EXPECT_EQ(d.Pick(1, 2, 2).Code, 1);
  EXPECT_EQ((*d.Start())[1], 5);
  EXPECT_FALSE(d.FillRect(1, 1, 1, 3, 3, {kPlayer, 0}));
  // A copy carries no second start; shrinking clears what falls outside.
  d.Resize(3, 20, 12);
  EXPECT_TRUE(d.CopyLevel(1, 3));
  EXPECT_EQ(d.Pick(3, 5, 5).Code, 1);
  d.Paint(1, 20, 12, {kDiamond, 0});
  EXPECT_TRUE(d.Resize(1, 10, 10));
  EXPECT_EQ(d.Level(1).Cell(20, 12), 0);
  EXPECT_TRUE(d.Resize(1, 20, 12));
  EXPECT_EQ(d.Pick(1, 20, 12).Code, 1);
  // Only the special cells keep a parameter.
  d.Paint(1, 4, 4, {kRock, 99});
  EXPECT_EQ(d.Pick(1, 4, 4).Param, 0);
  EXPECT_TRUE(d.ClearLevel(1));
  EXPECT_FALSE(d.Start().has_value());
  EXPECT_TRUE(d.SetDefaultPuzzle(true));
  EXPECT_EQ(d.scenario().Extras.PuzzlePieces, 40);
  d.Undo();
  EXPECT_EQ(d.scenario().Extras.PuzzleColumns, 0);
}

TEST(EditorDocument, ChecksFindFaultsWhereTheyAre) {
  EditorDocument d(Blocks());
  MakeSmallScenario(d);
  for (const ScenarioFault& f : d.Check()) ADD_FAILURE() << DescribeFault(f);
  // The arrival cell on level 2 holds a rock now: the transporter of level 1 is at fault.
  d.Paint(2, 4, 2, {kRock, 0});
  auto faults = d.Check();
  ASSERT_FALSE(faults.empty());
  EXPECT_EQ(faults[0].Place, FaultPlace::Cell);
  EXPECT_EQ(faults[0].Level, 1);
  EXPECT_EQ(faults[0].X, 9);
  EXPECT_NE(faults[0].Message.find("occupied"), std::string::npos);
  d.Undo();
  d.Paint(2, 4, 1, {kRock, 0});  // falls into the arrival cell
  faults = d.Check();
  ASSERT_FALSE(faults.empty());
  EXPECT_NE(faults[0].Message.find("under a rock"), std::string::npos);
}

TEST(EditorDocument, SavedFilesLoadAsTheyWereAndUnchangedFilesKeepTheirBytes) {
  TempFolder tmp;
  EditorDocument d(Blocks());
  MakeSmallScenario(d);
  d.SetName("Two Rooms");
  d.SetAuthor("Tester");
  d.SetNotes({"first", "second"});
  std::string error;
  EXPECT_FALSE(d.Save(tmp.File("GRAVIK2.ZQ"), &error));  // the built-in scenario's name
  ASSERT_TRUE(d.Save(tmp.File("rooms.zq"), &error)) << error;
  EXPECT_FALSE(d.Dirty());

  EditorDocument e(Blocks());
  ASSERT_TRUE(e.Load(tmp.File("rooms.zq"), &error)) << error;
  for (int n = 1; n <= LevelCount; ++n) {
    TLevelRecord saved = d.Level(n);
    saved.InUse = e.Level(n).InUse;  // recounted when the file is read
    EXPECT_TRUE(SameLevel(e.Level(n), saved)) << "level " << n;
  }
  EXPECT_EQ(e.Level(1).InUse, 1);
  EXPECT_EQ(e.Level(3).InUse, 0);
  EXPECT_EQ(e.scenario().Info.Name.Str(), "Two Rooms");
  EXPECT_EQ(e.scenario().Notes, (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(e.scenario().Header.Totals[TotalDiamonds], 1);
  EXPECT_EQ(e.scenario().Header.Totals[TotalTransporters], 2);
  EXPECT_TRUE(e.Check().empty());
  EXPECT_EQ(e.scenario().Header.EditFlag, 0);
  // Saving with faults is allowed; the file's edit flag marks it.
  d.Paint(1, 10, 5, {kRock, 0});  // where level 2's transporter arrives
  ASSERT_TRUE(d.Save(tmp.File("faulty.zq"), &error));
  EditorDocument faulty(Blocks());
  ASSERT_TRUE(faulty.Load(tmp.File("faulty.zq"), &error));
  EXPECT_EQ(faulty.scenario().Header.EditFlag, 1);
  EXPECT_FALSE(faulty.Check().empty());

  // A file whose in-use bytes say otherwise than its cells keeps them when
  // opened and saved unchanged.
  std::vector<uint8_t> original;
  ASSERT_TRUE(ReadWholeFile(tmp.File("rooms.zq"), original));
  auto odd = std::make_unique<Scenario>(e.scenario());
  odd->Level(5).InUse = 7;
  odd->Header.LevelsInUse = 9;
  const std::vector<uint8_t> oddBytes = WriteScenario(*odd);
  ASSERT_TRUE(WriteWholeFileAtomic(tmp.File("odd.zq"), oddBytes.data(), oddBytes.size()));
  EditorDocument f(Blocks());
  ASSERT_TRUE(f.Load(tmp.File("odd.zq"), &error));
  ASSERT_TRUE(f.Save(tmp.File("odd2.zq"), &error));
  std::vector<uint8_t> again;
  ASSERT_TRUE(ReadWholeFile(tmp.File("odd2.zq"), again));
  EXPECT_EQ(again, oddBytes);

  // A damaged file is refused and the document stays as it was.
  std::vector<uint8_t> bad = original;
  bad[bad.size() / 2] ^= 0x40;
  ASSERT_TRUE(WriteWholeFileAtomic(tmp.File("bad.zq"), bad.data(), bad.size()));
  EXPECT_FALSE(f.Load(tmp.File("bad.zq"), &error));
  EXPECT_EQ(error, "bad.zq CRC incorrect.");
  EXPECT_EQ(f.Path(), tmp.File("odd2.zq"));
  EXPECT_FALSE(f.Load(tmp.File("missing.zq"), &error));
}

}  // namespace
}  // namespace gravik

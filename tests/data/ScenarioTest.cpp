#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "base/Errors.h"
#include "DataTestUtil.h"
#include "support/TempHome.h"

namespace gravik {
namespace {

using namespace datatest;

bool SameBytes(const void* a, const void* b, size_t n) { return std::memcmp(a, b, n) == 0; }

void ExpectSameContents(const Scenario& a, const Scenario& b) {
  EXPECT_TRUE(SameBytes(&a.Header, &b.Header, sizeof a.Header));
  EXPECT_TRUE(SameBytes(a.Levels.data(), b.Levels.data(), sizeof a.Levels));
  EXPECT_EQ(a.LevelTail, b.LevelTail);
  EXPECT_TRUE(SameBytes(&a.Extras, &b.Extras, sizeof a.Extras));
  EXPECT_EQ(a.PuzzlePicture, b.PuzzlePicture);
  EXPECT_EQ(a.HasExtraData, b.HasExtraData);
  EXPECT_EQ(a.ExtraData, b.ExtraData);
  EXPECT_EQ(a.Notes, b.Notes);
}

struct FormCase {
  uint8_t levelCoding, pictureCoding;
  bool lzh;
  uint16_t version;
};

class ScenarioRoundTrip : public ::testing::TestWithParam<FormCase> {};

TEST_P(ScenarioRoundTrip, WriteLoadWriteIsIdentical) {
  Scenario src = SampleScenario();
  src.Form.LevelCoding = GetParam().levelCoding;
  src.Form.PictureCoding = GetParam().pictureCoding;
  src.Form.UseLzh = GetParam().lzh;
  src.Form.Version = GetParam().version;
  CountLevelsInUse(src);  // the loader recomputes these; start consistent
  std::vector<uint8_t> file = WriteScenario(src);
  const std::vector<uint8_t> original = file;

  Scenario loaded;
  // The info block is read by ReadScenarioInfo, and only from version 1974.
  if (GetParam().version == 1974)
    ASSERT_TRUE(ReadScenarioInfo(loaded, file));
  else
    loaded.Info = src.Info;
  std::vector<std::string> messages;
  ASSERT_EQ(LoadScenario(loaded, file, [&](const std::string& m) { messages.push_back(m); }), ScenarioLoaded);
  EXPECT_TRUE(loaded.CrcCorrect);
  EXPECT_TRUE(messages.empty());
  ExpectSameContents(src, loaded);
  EXPECT_EQ(loaded.Form.Version, GetParam().version);
  EXPECT_TRUE(WriteScenario(loaded) == original);
}

INSTANTIATE_TEST_SUITE_P(Forms, ScenarioRoundTrip,
                         ::testing::Values(FormCase{0, 0, false, 1974}, FormCase{1, 1, false, 1974},
                                           FormCase{1, 1, true, 1974}, FormCase{0, 1, false, 1973},
                                           FormCase{7, 3, true, 1973}));

TEST(ScenarioLoad, RecomputesLevelsInUseAndIgnoresStoredCount) {
  Scenario src = SampleScenario();
  src.Header.LevelsInUse = 17;
  src.Level(3).InUse = 1;              // all cells 0 or 1: not in use
  src.Level(3).SetCell(1, 1, 0);
  src.Level(4).SetCell(32, 32, 200);   // outside W x H still counts
  std::vector<uint8_t> file = WriteScenario(src);
  Scenario s;
  ASSERT_EQ(LoadScenario(s, file), ScenarioLoaded);
  EXPECT_EQ(s.Header.LevelsInUse, 3);  // levels 1, 2 and 4
  EXPECT_EQ(s.Level(1).InUse, 1);
  EXPECT_EQ(s.Level(3).InUse, 0);
  EXPECT_EQ(s.Level(4).InUse, 1);
  EXPECT_EQ(s.Level(5).InUse, 0);
}

TEST(ScenarioLoad, OptionalPartsAndNotes) {
  Scenario src = SampleScenario();
  src.Notes.clear();
  src.PuzzlePicture.clear();  // picture marker 1
  src.HasExtraData = false;
  std::vector<uint8_t> file = WriteScenario(src);

  Scenario s;
  s.PuzzlePicture = {1, 2, 3};
  s.Notes = {"old"};
  s.OtherNotes = {"other"};
  s.ExtraData = {5};
  ASSERT_EQ(LoadScenario(s, file), ScenarioLoaded);
  EXPECT_TRUE(s.CrcCorrect);
  EXPECT_TRUE(s.Notes.empty());
  EXPECT_TRUE(s.OtherNotes.empty());
  EXPECT_EQ(s.PuzzlePicture, (std::vector<uint8_t>{1, 2, 3}));  // previous picture kept
  EXPECT_FALSE(s.HasExtraData);
  EXPECT_TRUE(s.ExtraData.empty());
}

TEST(ScenarioNotes, SplitsAtEveryLineEnding) {
  const std::string text = "a\r\nb\rc\nd\r\n\r\ne";
  auto lines = SplitNotes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "d", "", "e"}));
  const std::string ended = "x\r\n";
  EXPECT_EQ(SplitNotes(reinterpret_cast<const uint8_t*>(ended.data()), ended.size()),
            std::vector<std::string>{"x"});
  EXPECT_TRUE(SplitNotes(nullptr, 0).empty());
}

TEST(ScenarioLoad, SpareBytesBeforeNotesWarnButLoad) {
  Scenario src = SampleScenario();
  std::vector<uint8_t> file = WriteScenario(src);
  Regions r = Unseal(file);
  r.R1.insert(r.R1.end(), {0, 0, 0});
  file = Seal(file, r);
  Scenario s;
  std::vector<std::string> messages;
  ASSERT_EQ(LoadScenario(s, file, [&](const std::string& m) { messages.push_back(m); }), ScenarioLoaded);
  EXPECT_TRUE(s.CrcCorrect);
  EXPECT_EQ(messages, std::vector<std::string>{"WARNING: Incorrect notes position"});
  EXPECT_EQ(s.Notes, src.Notes);
}

TEST(ScenarioLoad, VersionAndMarker) {
  std::vector<uint8_t> file = WriteScenario(SampleScenario());
  std::vector<std::string> messages;
  auto show = [&](const std::string& m) { messages.push_back(m); };
  Scenario s;
  s.CrcCorrect = true;

  std::vector<uint8_t> old = file;
  PutU16(old.data(), 1971);
  EXPECT_EQ(LoadScenario(s, old, show), ScenarioWrongVersion);
  EXPECT_EQ(messages, std::vector<std::string>{"Unable to load old format."});
  EXPECT_FALSE(s.CrcCorrect);

  std::vector<uint8_t> other = file;
  other[0] = 0;
  EXPECT_EQ(LoadScenario(s, other, show), ScenarioWrongVersion);
  std::vector<uint8_t> marker = file;
  marker[2] = 2;
  EXPECT_EQ(LoadScenario(s, marker, show), ScenarioWrongMarker);
  EXPECT_EQ(messages.size(), 1u);  // silent refusals
}

TEST(ScenarioLoad, BytesBeforeRegionOneOutsideCrcButEveryLaterByteCovered) {
  Scenario src = SampleScenario();
  src.PuzzlePicture.resize(20);
  const std::vector<uint8_t> file = WriteScenario(src);
  const uint32_t a = GetU32(&file[5]);

  // Info block bytes are not covered by the CRC.
  std::vector<uint8_t> info = file;
  info[40] ^= 0x10;
  Scenario s;
  ASSERT_EQ(LoadScenario(s, info), ScenarioLoaded);
  EXPECT_TRUE(s.CrcCorrect);

  for (size_t i = a; i < file.size(); ++i) {
    std::vector<uint8_t> flipped = file;
    flipped[i] ^= 0x01;
    Scenario t;
    const int r = LoadScenario(t, flipped);
    ASSERT_FALSE(r == ScenarioLoaded && t.CrcCorrect) << "flip at " << i;
  }
}

TEST(ScenarioLoad, EveryTruncationIsRefused) {
  Scenario src = SampleScenario();
  src.PuzzlePicture.resize(10);
  const std::vector<uint8_t> file = WriteScenario(src);
  for (size_t len = 0; len < file.size(); ++len) {
    std::vector<uint8_t> cut(file.begin(), file.begin() + ptrdiff_t(len));
    Scenario t;
    const int r = LoadScenario(t, cut);
    ASSERT_FALSE(r == ScenarioLoaded && t.CrcCorrect) << "length " << len;
  }
}

// Files the writer makes (so the CRC is right) that the loader must refuse,
// keeping the current scenario as it was; and the limits it must accept.
TEST(ScenarioLoad, RefusesOutOfRangeLevelsTransportersAndPuzzle) {
  using Edit = std::function<void(Scenario&)>;
  const Edit refused[] = {
      [](Scenario& s) { s.Level(20).Width = 0; },
      [](Scenario& s) { s.Level(20).Width = 33; },
      [](Scenario& s) { s.Level(7).Height = 0; },
      [](Scenario& s) { s.Level(1).SetParam(5, 5, EncodeTransporterParam(21, 1, 1)); },
      [](Scenario& s) { s.Extras.PuzzleRows = 19; },
      [](Scenario& s) { s.Extras.PuzzleColumns = -1; },
      [](Scenario& s) { s.Extras.PuzzleColumns = 38; },  // left column 1: reaches map column 43
      [](Scenario& s) { s.Extras.PuzzleColumns = 33; },  // wider than the running world holds
      [](Scenario& s) {
        for (int level = 1; level <= 5; ++level)  // 5120 transporters leading to 1, 1, 1
          for (auto& col : s.Level(level).Cells) std::memset(col, BlockTransporterCode, sizeof col);
      },
  };
  for (const Edit& edit : refused) {
    Scenario bad = SampleScenario();
    edit(bad);
    std::vector<uint8_t> file = WriteScenario(bad);
    Scenario s = SampleScenario();
    s.Header.Name.Assign("Previous");
    s.CrcCorrect = true;
    EXPECT_EQ(LoadScenario(s, file), ScenarioDamaged);
    EXPECT_FALSE(s.CrcCorrect);
    EXPECT_EQ(s.Header.Name.Str(), "Previous");
  }

  const Edit accepted[] = {
      [](Scenario& s) {
        s.Level(1).Width = s.Level(1).Height = 32;
        s.Level(1).SetParam(5, 5, EncodeTransporterParam(20, 32, 32));
        s.Extras.PuzzleColumns = 32;  // the widest puzzle the world holds
        s.Extras.PuzzleRows = 18;
      },
      [](Scenario& s) {  // the default puzzle replaces any grid with 10 x 4
        s.Extras.PuzzleColumns = 500;
        s.Extras.DefaultPuzzle = 1;
      },
  };
  for (const Edit& edit : accepted) {
    Scenario good = SampleScenario();
    edit(good);
    std::vector<uint8_t> file = WriteScenario(good);
    Scenario s;
    EXPECT_EQ(LoadScenario(s, file), ScenarioLoaded);
    EXPECT_TRUE(s.CrcCorrect);
  }
}

TEST(ScenarioLoad, DamagedCompressedLevelBlockIsRefused) {
  Scenario src = SampleScenario();
  const std::vector<uint8_t> file = WriteScenario(src);
  Regions r = Unseal(file);
  const size_t at = sizeof(TScenarioHeader) + 1;  // the 32-bit length N
  const uint32_t n = GetU32(&r.R1[at]);
  // Drop the last byte of the container (and fix N): decodes short.
  r.R1.erase(r.R1.begin() + ptrdiff_t(at + 4 + n - 1));
  PutU32(&r.R1[at], n - 1);
  std::vector<uint8_t> sealed = Seal(file, r);
  Scenario s;
  EXPECT_EQ(LoadScenario(s, sealed), ScenarioDamaged);
}

TEST(ScenarioInfo, ReadsVersion1974Only) {
  Scenario src = SampleScenario();
  std::vector<uint8_t> file = WriteScenario(src);
  TScenarioInfo info;
  ASSERT_TRUE(ReadScenarioInfo(file.data(), file.size(), info));
  EXPECT_EQ(info.Name.Str(), "Sample");
  EXPECT_EQ(info.Author.Str(), "Tester");
  EXPECT_EQ(info.CheckWord, 0xBEEF);
  EXPECT_TRUE(SameIdentity(info.Identity, {1.5, -2.25}));
  EXPECT_FALSE(ReadScenarioInfo(file.data(), 100, info));

  src.Form.Version = 1973;
  file = WriteScenario(src);
  TScenarioInfo untouched;
  untouched.Name.Assign("keep");
  EXPECT_FALSE(ReadScenarioInfo(file.data(), file.size(), untouched));
  EXPECT_EQ(untouched.Name.Str(), "keep");
}

TEST(ScenarioTransporters, TableOrderAndDecoding) {
  Scenario s = SampleScenario();
  s.Level(1).SetCell(5, 2, BlockTransporterCode);
  s.Level(1).SetParam(5, 2, 0);  // leads to level 1, column 1, row 1
  BuildTransporterTable(s);
  ASSERT_EQ(s.Transporters.size(), 3u);
  const TTransporterLink& first = s.Transporters[0];  // row runs fastest
  EXPECT_EQ(first.Level, 1);
  EXPECT_EQ(first.Column, 5);
  EXPECT_EQ(first.Row, 2);
  EXPECT_EQ(first.DestLevel, 1);
  EXPECT_EQ(first.DestColumn, 1);
  EXPECT_EQ(first.DestRow, 1);
  EXPECT_EQ(first.Used, 0);
  EXPECT_EQ(s.Transporters[1].Row, 5);
  EXPECT_EQ(s.Transporters[1].DestLevel, 2);
  EXPECT_EQ(s.Transporters[1].DestColumn, 7);
  EXPECT_EQ(s.Transporters[1].DestRow, 9);
  EXPECT_EQ(s.Transporters[2].Level, 2);

  // Bit 15 is not part of the destination.
  const TransporterDestination d = DecodeTransporterParam(int16_t(0x8000 | EncodeTransporterParam(20, 32, 31)));
  EXPECT_EQ(d.Level, 20);
  EXPECT_EQ(d.Column, 32);
  EXPECT_EQ(d.Row, 31);
}

TEST(ScenarioSeeds, DiagonalSumsAndMapSeeds) {
  Scenario s = SampleScenario();
  for (auto& lv : s.Levels)
    for (auto& col : lv.Cells) std::memset(col, 0, sizeof col);
  for (int x = 1; x <= 32; ++x) {
    s.Level(1).SetCell(x, x, 2);
    s.Level(1).SetCell(33 - x, x, 3);
    s.Level(5).SetCell(x, x, 1);
  }
  ComputeLevelSeeds(s);
  EXPECT_EQ(s.LevelSeeds[0].A, 64);
  EXPECT_EQ(s.LevelSeeds[0].B, 96);
  EXPECT_EQ(s.LevelSeeds[4].A, 32);
  EXPECT_EQ(s.LevelSeeds[4].B, 0);
  // Step X adds (2X) + 2 to map seed 1 and (2X) + 3 to map seed 2.
  EXPECT_EQ(s.MapSeed1, 2 * 528 + 64);
  EXPECT_EQ(s.MapSeed2, 2 * 528 + 96);
}

// --- the built-in scenario through the archive -------------------------------

std::vector<uint8_t> ArchiveWithScenario(const std::vector<uint8_t>& scenarioFile) {
  ArchiveWriter w;
  w.AddItem(BuiltInScenarioName, scenarioFile, ArchiveWriter::Coding::Fast);
  w.AddItem("defaultpuzzle.bmp", MakeBmp(640, 256));
  return w.Finish();
}

TEST(CurrentScenario, LoadsFromArchiveWithDefaultPuzzleSeedsAndTransporters) {
  Scenario src = SampleScenario();
  src.Extras.DefaultPuzzle = 1;
  Archive archive(ArchiveWithScenario(WriteScenario(src)), "res");
  archive.OpenArchive();
  Scenario s;
  LoadCurrentScenario(s, archive);
  EXPECT_FALSE(archive.ItemHeld());
  EXPECT_EQ(s.Info.Name.Str(), "Sample");
  EXPECT_EQ(s.PuzzlePicture, MakeBmp(640, 256));
  EXPECT_EQ(s.Extras.PuzzleColumns, 10);
  EXPECT_EQ(s.Extras.PuzzleRows, 4);
  EXPECT_EQ(s.Extras.PuzzlePieces, 40);
  EXPECT_EQ(s.Transporters.size(), 2u);
  EXPECT_EQ(s.LevelSeeds[0].A, 31 + 253);  // (5,5) is the transporter, the other diagonal cells 1
}

TEST(CurrentScenario, CrcOrCheckWordMismatchIsFatal) {
  Scenario src = SampleScenario();
  std::vector<uint8_t> file = WriteScenario(src);
  file.back() ^= 0x40;  // a notes byte
  {
    Archive archive(ArchiveWithScenario(file), "res");
    archive.OpenArchive();
    Scenario s;
    try {
      LoadCurrentScenario(s, archive);
      FAIL() << "no error";
    } catch (const FatalMessage& e) {
      EXPECT_STREQ(e.what(), "gravik2.zq CRC incorrect.");
    }
  }
  src.Header.CheckWord = 1;
  Archive archive(ArchiveWithScenario(WriteScenario(src)), "res");
  archive.OpenArchive();
  Scenario s;
  EXPECT_THROW(LoadCurrentScenario(s, archive), FatalMessage);
  EXPECT_TRUE(s.CrcCorrect);  // the file itself is sound; the check words differ
}

// --- scenario list and profile selection ---------------------------------------

TEST(ScenarioList, BuiltInThenTheFilesOfTheFolder) {
  testing::TempHome dir;
  Scenario a = SampleScenario();
  a.Info.Name.Assign("Alpha");
  a.Info.Identity = {7, 7};
  Scenario b = SampleScenario();
  b.Info.Name.Assign("Beta");
  b.Info.Identity = {8, 8};
  WriteFile(dir.Folder() + "Scenarios/alpha.zq", WriteScenario(a));
  WriteFile(dir.Folder() + "Scenarios/BETA.ZQ", WriteScenario(b));
  WriteFile(dir.Folder() + "Scenarios/broken.zq", {1, 2, 3});
  WriteFile(dir.Folder() + "Scenarios/notes.txt", WriteScenario(b));

  Archive archive(ArchiveWithScenario(WriteScenario(SampleScenario())), "res");
  archive.OpenArchive();
  const ScenarioList list = BuildScenarioList(archive, dir.Folder() + "Scenarios");
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0].FileName, BuiltInScenarioName);
  EXPECT_EQ(list[0].Name.Str(), "Sample");
  EXPECT_EQ(list[0].Available, 1);
  EXPECT_EQ(list[0].Value2, 255);
  EXPECT_EQ(list[1].Name.Str(), "Alpha");
  EXPECT_EQ(list[2].FileName, "BETA.ZQ");
  EXPECT_EQ(list[3].FileName, "broken.zq");
  EXPECT_TRUE(list[3].Damaged);
  EXPECT_EQ(FindScenarioEntry(list, "broken.zq"), 0);
  EXPECT_EQ(FindScenarioEntry(list, "beta.zq"), 3);
  EXPECT_EQ(FindScenarioEntry(list, "GRAVIK2.ZQ"), 1);
  EXPECT_EQ(FindScenarioEntry(list, "gamma.zq"), 0);
  EXPECT_EQ(FindScenarioEntryByIdentity(list, {8, 8}), 3);
}

// Every file of the folder goes through the whole checked load: a file whose
// info block reads well but whose body is damaged is listed as damaged, keeps
// its name for the list and never matches by identity or file name.
TEST(ScenarioList, FilesFailingTheCheckedLoadAreListedAsDamaged) {
  testing::TempHome dir;
  Scenario good = SampleScenario();
  good.Info.Name.Assign("Good");
  good.Info.Identity = {5, 6};
  good.Header.Totals[TotalEarth] = 321;
  const std::vector<uint8_t> file = WriteScenario(good);
  std::vector<uint8_t> badCrc = file;
  badCrc.back() ^= 0x08;
  std::vector<uint8_t> badCheckWord = file;
  {
    Scenario s = good;
    s.Header.CheckWord = uint16_t(s.Info.CheckWord + 1);
    badCheckWord = WriteScenario(s);
  }
  std::vector<uint8_t> truncated(file.begin(), file.begin() + long(file.size() / 2));
  Scenario old = good;
  old.Form.Version = ScenarioVersionNoInfo;
  WriteFile(dir.Folder() + "Scenarios/a-crc.zq", badCrc);
  WriteFile(dir.Folder() + "Scenarios/b-check.zq", badCheckWord);
  WriteFile(dir.Folder() + "Scenarios/c-empty.zq", {});
  WriteFile(dir.Folder() + "Scenarios/d-half.zq", truncated);
  WriteFile(dir.Folder() + "Scenarios/e-old.zq", WriteScenario(old));
  WriteFile(dir.Folder() + "Scenarios/f-text.zq", {'h', 'e', 'l', 'l', 'o', '\n'});
  WriteFile(dir.Folder() + "Scenarios/g-good.zq", file);
  WriteFile(dir.Folder() + "Scenarios/GRAVIK2.ZQ", file);  // the built-in one's name

  Archive archive(ArchiveWithScenario(WriteScenario(SampleScenario())), "res");
  archive.OpenArchive();
  const ScenarioList list = BuildScenarioList(archive, dir.Folder() + "Scenarios");
  ASSERT_EQ(list.size(), 8u) << "the built-in one, seven files; GRAVIK2.ZQ left out";
  EXPECT_FALSE(list[0].Damaged);
  for (size_t i = 1; i <= 6; ++i) {
    SCOPED_TRACE(list[i].FileName);
    EXPECT_TRUE(list[i].Damaged);
    EXPECT_EQ(list[i].Available, 0);
  }
  EXPECT_EQ(list[1].Name.Str(), "Good") << "named by its readable info block";
  EXPECT_EQ(list[3].Name.Str(), "c-empty.zq") << "named by its file";
  EXPECT_EQ(list[6].Name.Str(), "f-text.zq");
  EXPECT_FALSE(list[7].Damaged);
  EXPECT_EQ(list[7].Totals[TotalEarth], 321);
  // The damaged copies come before the good file and share its identity; the
  // good one is found either way, a damaged one never.
  EXPECT_EQ(FindScenarioEntryByIdentity(list, {5, 6}), 8);
  EXPECT_EQ(FindScenarioEntry(list, "a-crc.zq"), 0);
  EXPECT_EQ(FindScenarioEntry(list, BuiltInScenarioName), 1);
}

TEST(ScenarioFile, LoadScenarioFileRefusesDamagedFilesAndKeepsTheInfo) {
  Archive archive(ArchiveWithScenario(WriteScenario(SampleScenario())), "res");
  archive.OpenArchive();
  Scenario s;
  LoadCurrentScenario(s, archive);
  const std::string name = s.Info.Name.Str();
  Scenario other = SampleScenario();
  other.Info.Name.Assign("Other");
  std::vector<uint8_t> bad = WriteScenario(other);
  bad.back() ^= 1;
  EXPECT_FALSE(LoadScenarioFile(s, archive, bad, "other.zq"));
  EXPECT_EQ(s.Info.Name.Str(), name);
  EXPECT_EQ(s.FileName, BuiltInScenarioName);
  std::vector<uint8_t> empty;
  EXPECT_FALSE(LoadScenarioFile(s, archive, empty, "other.zq"));

  std::vector<uint8_t> good = WriteScenario(other);
  ASSERT_TRUE(LoadScenarioFile(s, archive, good, "other.zq"));
  EXPECT_EQ(s.Info.Name.Str(), "Other");
  EXPECT_EQ(s.FileName, "other.zq");
  EXPECT_EQ(s.Transporters.size(), 2u);
}

TEST(ScenarioList, FindScenarioOfProfile) {
  testing::TempHome dir;
  Scenario other = SampleScenario();
  other.Notes = {"Other notes", "line 2"};
  other.Info.Identity = {3, 4};
  for (int i = 0; i < 5; ++i) other.Header.Totals[i] = i + 1;
  WriteFile(dir.Folder() + "Scenarios/Other.zq", WriteScenario(other));

  Archive archive(ArchiveWithScenario(WriteScenario(SampleScenario())), "res");
  archive.OpenArchive();
  const ScenarioList list = BuildScenarioList(archive, dir.Folder() + "Scenarios");
  Scenario s = SampleScenario();
  s.Header.Totals[TotalDiamonds] = 999;  // the loaded scenario's totals are not the chosen one's

  auto none = FindScenarioOfProfile(s, list, std::nullopt, dir.Folder() + "Scenarios");
  EXPECT_EQ(none, (std::array<int32_t, 5>{99999, 99999, 99999, 99999, 99999}));

  auto totals = FindScenarioOfProfile(s, list, ScenarioIdentity{3, 4}, dir.Folder() + "Scenarios");
  EXPECT_EQ(s.FileName, "Other.zq");
  EXPECT_EQ(s.OtherNotes, other.Notes);
  // The totals are the chosen file's own, not those of the scenario in memory.
  EXPECT_EQ(totals, (std::array<int32_t, 5>{1, 2, 3, 4, 5}));
  EXPECT_EQ(list[0].Totals, (std::array<int32_t, 5>{10, 20, 30, 40, 50}));

  try {
    FindScenarioOfProfile(s, list, ScenarioIdentity{9, 9}, dir.Folder() + "Scenarios");
    FAIL() << "no error";
  } catch (const FatalMessage& e) {
    EXPECT_STREQ(e.what(), "Unable to find scenario file in list.");
  }
}

TEST(ScenarioNotesFile, IgnoresMissingShortAndForeignFiles) {
  testing::TempHome dir;
  Scenario old = SampleScenario();
  old.Form.Version = 1973;
  std::vector<uint8_t> bad = WriteScenario(SampleScenario());
  PutU32(&bad[13], uint32_t(bad.size() + 1));  // notes offset past the end
  WriteFile(dir.Folder() + "short.zq", std::vector<uint8_t>(500, 0));
  WriteFile(dir.Folder() + "old.zq", WriteScenario(old));
  WriteFile(dir.Folder() + "bad.zq", bad);
  Scenario s;
  s.OtherNotes = {"unchanged"};
  for (const char* name : {"missing.zq", "short.zq", "old.zq", "bad.zq"}) ReadScenarioNotes(s, dir.Folder() + name);
  EXPECT_EQ(s.OtherNotes, std::vector<std::string>{"unchanged"});
}

}  // namespace
}  // namespace gravik

#include <gtest/gtest.h>

#include "base/Bytes.h"
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "DataTestUtil.h"
#include "support/TempHome.h"
#include "audio/Audio.h"
#include "base/Errors.h"
#include "base/Random.h"
#include "base/Text.h"
#include "codec/Codec.h"
#include "data/Profile.h"
#include "frame/PlayerData.h"
#include "input/Input.h"
#include "platform/Folders.h"

namespace gravik {
namespace {

using namespace datatest;

bool SameRecord(const TProfileRecord& a, const TProfileRecord& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  ReadWholeFile(path, bytes);
  return bytes;
}

// A profile folder inside a temporary GRAVIK_HOME.
class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(tmp_.Folder().empty());
    setenv("GRAVIK_HOME", tmp_.Folder().c_str(), 1);
    p.Folder = tmp_.Folder() + "Profiles";
    ASSERT_TRUE(CreateDirectories(p.Folder));
  }
  std::string PathOf(const std::string& file) const { return p.Folder + "/" + file; }

  // A profile with a few records and options that differ from the defaults.
  void MakeSample(const std::string& name) {
    ASSERT_TRUE(CreateProfile(p, name, false, 0, rng));
    TProfileRecord& r = *p.Record;
    r.SoundLevel = 7;
    r.Keys[2].Key = 0x51;
    r.Reserved14[100] = 0x5A;  // not interpreted, kept
    for (int n = 1; n <= 3; ++n) {
      r.Record(n).Identity = {double(n), -double(n)};
      r.Record(n).HighScore = 1000 * n;
      r.Record(n).BestTime = uint32_t(60 * n);
    }
    r.ScenarioCount = 3;
    r.CurrentScenario = 2;
    ASSERT_TRUE(SaveProfile(p, rng));
  }

  testing::TempHome tmp_;
  ProfileState p;
  RandomGenerator rng{77};
};

// A file laid out as the format describes, built here without the game's
// writer (an earlier version's file carries no check block).
std::vector<uint8_t> HandMadeFileOf(const std::string& name, const std::vector<uint8_t>& payload, uint8_t flag) {
  std::vector<uint8_t> f = {0xE9, 0x07, 1, uint8_t(name.size())};
  f.resize(24, 0);
  std::memcpy(&f[4], name.data(), std::min<size_t>(name.size(), 20));
  for (int i = 0; i < 1024; ++i) f.push_back(uint8_t(i * 37 + 11));
  f.push_back(flag);
  f.resize(f.size() + 4);
  PutU32(&f[1049], uint32_t(payload.size()));
  f.insert(f.end(), payload.begin(), payload.end());
  XorWithKey(&f[1048], f.size() - 1048, &f[24], 1024);
  return f;
}

std::vector<uint8_t> HandMadeFile(const std::string& name, const TProfileRecord& r, bool compressed) {
  const auto* raw = reinterpret_cast<const uint8_t*>(&r);
  std::vector<uint8_t> payload(raw, raw + sizeof r);
  if (compressed) payload = Compress(raw, sizeof r, TCompressMode::Fast);
  return HandMadeFileOf(name, payload, compressed ? 1 : 0);
}

TEST_F(ProfileTest, SavedProfileLoadsAsSavedAndEachSaveTakesANewKey) {
  MakeSample("Zo\xEB Player");  // Windows-1252
  const auto saved = std::make_unique<TProfileRecord>(*p.Record);
  EXPECT_EQ(p.CurrentFile, "Zo\xC3\xAB Player.zqp");  // UTF-8 on disk
  const std::vector<uint8_t> first = ReadFile(p.CurrentPath());
  ASSERT_TRUE(SaveProfile(p, rng));
  const std::vector<uint8_t> second = ReadFile(p.CurrentPath());
  ASSERT_EQ(first.size(), second.size());
  ASSERT_GT(first.size(), 1053u);
  for (size_t i = 0; i < 24; ++i) EXPECT_EQ(first[i], second[i]) << i;
  size_t same = 0;
  for (size_t i = 24; i < first.size(); ++i) same += first[i] == second[i];
  EXPECT_EQ(same, 0u);

  for (const auto* file : {&first, &second}) {
    DecodedProfile d;
    ASSERT_TRUE(DecodeProfileFile(file->data(), file->size(), d));
    EXPECT_EQ(d.PlayerName, "Zo\xEB Player");
    EXPECT_TRUE(SameRecord(*d.Record, *saved));
  }
  ProfileState other;
  other.Folder = p.Folder;
  other.CurrentFile = p.CurrentFile;
  ASSERT_TRUE(LoadProfile(other));
  EXPECT_EQ(other.CurrentName, "Zo\xEB Player");
  EXPECT_TRUE(SameRecord(*other.Record, *saved));
}

TEST_F(ProfileTest, IncompressibleRecordIsStoredAndLoads) {
  ASSERT_TRUE(CreateProfile(p, "Noise", true, 1, rng));
  TProfileRecord& r = *p.Record;
  auto* raw = reinterpret_cast<uint8_t*>(&r);
  RandomGenerator fill(5);
  for (size_t i = 0; i < sizeof r; ++i) raw[i] = uint8_t(fill.Random(256));
  r.FormatStamp.Assign("42");
  r.SoundLevel = 3;
  r.MusicLevel = 4;
  r.ScenarioCount = 9000;
  r.CurrentScenario = 17;
  ASSERT_TRUE(SaveProfile(p, rng));
  std::vector<uint8_t> file = ReadFile(p.CurrentPath());
  std::vector<uint8_t> body(file.begin() + 1048, file.begin() + 1053);
  XorWithKey(body.data(), body.size(), &file[24], 1024);
  EXPECT_EQ(body[0], 0);  // stored
  EXPECT_EQ(GetU32(&body[1]), sizeof(TProfileRecord));
  const auto saved = std::make_unique<TProfileRecord>(r);
  ASSERT_TRUE(LoadProfile(p));
  EXPECT_TRUE(SameRecord(*p.Record, *saved));
}

TEST_F(ProfileTest, NewProfileHasTheDefaults) {
  ASSERT_TRUE(CreateProfile(p, "  Ann  ", true, 1, rng));
  ASSERT_EQ(p.List.size(), 1u);
  EXPECT_EQ(p.List[0].PlayerName, "Ann");
  EXPECT_EQ(p.List[0].FileName, "Ann.zqp");
  EXPECT_EQ(p.CurrentName, "Ann");
  ASSERT_TRUE(LoadProfile(p));
  const TProfileRecord& r = *p.Record;
  EXPECT_EQ(r.Version.Str(), "1.3");
  EXPECT_EQ(r.FormatStamp.Str(), "42");
  EXPECT_EQ(r.SoundOn + r.MusicOn + r.LayoutFlag + r.Windowed + r.GraphicsVariant, 5);
  EXPECT_EQ(r.SoundLevel, 20);
  EXPECT_EQ(r.MusicLevel, 20);
  EXPECT_EQ(r.JoystickEnabled, 0);
  EXPECT_EQ(r.JoystickSettings[0] * 100 + r.JoystickSettings[1] * 10 + r.JoystickSettings[2], 14);
  const uint16_t scan[7] = {200, 205, 208, 203, 28, 50, 1};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(r.Keys[i].Enabled, 1);
    EXPECT_EQ(r.Keys[i].Key, scan[i]);
  }
  EXPECT_EQ(r.ScenarioCount, 0);
  EXPECT_EQ(r.CurrentScenario, 0);
  EXPECT_EQ(CurrentScenarioTotals(r), (std::array<int32_t, 5>{99999, 99999, 99999, 99999, 99999}));
  EXPECT_EQ(CurrentScenarioRecord(r), nullptr);

  SetNewProfileDefaults(*p.Record, false, 0);
  EXPECT_EQ(p.Record->Windowed, 0);
  EXPECT_EQ(p.Record->Keys[0].Key, 38);
  EXPECT_EQ(p.Record->Keys[6].Key, 27);
}

TEST_F(ProfileTest, EarlierFilesLoadAndOutOfRangeValuesAreHeld) {
  auto r = std::make_unique<TProfileRecord>();
  SetNewProfileDefaults(*r, true, 0);
  r->SoundLevel = 35;
  r->MusicLevel = -4;
  r->ScenarioCount = 20000;
  r->CurrentScenario = 12000;
  for (bool compressed : {false, true}) {
    WriteFile(PathOf("old.zqp"), HandMadeFile("Old", *r, compressed));
    p.CurrentFile = "old.zqp";
    ASSERT_TRUE(LoadProfile(p)) << compressed;
    EXPECT_EQ(p.CurrentName, "Old");
    EXPECT_EQ(p.Record->SoundLevel, 20);
    EXPECT_EQ(p.Record->MusicLevel, 0);
    EXPECT_EQ(p.Record->ScenarioCount, 10000);
    EXPECT_EQ(p.Record->CurrentScenario, 10000);
    EXPECT_EQ(p.Record->Keys[4].Key, 13);
  }
  // The window key held at start-up.
  r->Windowed = 0;
  WriteFile(PathOf("old.zqp"), HandMadeFile("Old", *r, true));
  ASSERT_TRUE(LoadProfile(p, false));
  EXPECT_EQ(p.Record->Windowed, 0);
  ASSERT_TRUE(LoadProfile(p, true));
  EXPECT_EQ(p.Record->Windowed, 1);
}

TEST_F(ProfileTest, PayloadLongerThanTheRecordGivesItsFirstPartShorterIsRefused) {
  auto r = std::make_unique<TProfileRecord>();
  SetNewProfileDefaults(*r, true, 0);
  r->SoundLevel = 9;
  r->Record(10000).HighScore = 4321;  // the last bytes of the record
  const auto* raw = reinterpret_cast<const uint8_t*>(r.get());
  std::vector<uint8_t> longer(raw, raw + sizeof *r);
  for (int i = 0; i < 40000; ++i) longer.push_back(uint8_t(i * 7));
  const std::vector<uint8_t> shorter(raw, raw + sizeof *r - 1);
  struct Case {
    const char* what;
    std::vector<uint8_t> payload;
    uint8_t flag;
    bool loads;
  };
  const Case cases[] = {
      {"stored, longer", longer, 0, true},
      {"fast, longer", Compress(longer.data(), longer.size(), TCompressMode::Fast), 1, true},
      {"good, longer", Compress(longer.data(), longer.size(), TCompressMode::Good), 1, true},
      {"stored, shorter", shorter, 0, false},
      {"fast, shorter", Compress(shorter.data(), shorter.size(), TCompressMode::Fast), 1, false},
      {"good, shorter", Compress(shorter.data(), shorter.size(), TCompressMode::Good), 1, false},
      {"compressed, empty", {}, 1, false},  // the file ends where the payload starts
  };
  for (const Case& c : cases) {
    WriteFile(PathOf("long.zqp"), HandMadeFileOf("Long", c.payload, c.flag));
    p.CurrentFile = "long.zqp";
    p.Record = std::make_unique<TProfileRecord>();
    const ProfileResult res = LoadProfile(p);
    ASSERT_EQ(res.Ok, c.loads) << c.what;
    if (c.loads) {
      EXPECT_TRUE(SameRecord(*p.Record, *r)) << c.what;
    } else {
      EXPECT_EQ(res.Message, "Profile file invalid.") << c.what;
    }
  }
}

TEST_F(ProfileTest, RefusedLoadsLeaveTheCurrentProfileAlone) {
  MakeSample("Keeper");
  const auto before = std::make_unique<TProfileRecord>(*p.Record);
  auto other = std::make_unique<TProfileRecord>();
  SetNewProfileDefaults(*other, true, 0);
  other->FormatStamp.Assign("41");
  WriteFile(PathOf("stamp.zqp"), HandMadeFile("Stamp", *other, true));
  other->FormatStamp.Assign("42");
  other->FormatStamp.Length = 3;
  WriteFile(PathOf("stamp3.zqp"), HandMadeFile("Stamp", *other, true));
  WriteFile(PathOf("short.zqp"), std::vector<uint8_t>(600, 0));
  const std::pair<const char*, const char*> cases[] = {
      {"stamp.zqp", "Invalid profile file."},
      {"stamp3.zqp", "Invalid profile file."},
      {"short.zqp", "Profile file invalid."},
      {"missing.zqp", "Profile file invalid."},
  };
  for (const auto& [file, message] : cases) {
    p.CurrentFile = file;
    p.CurrentName = "Keeper";
    const ProfileResult res = LoadProfile(p);
    EXPECT_FALSE(res.Ok) << file;
    EXPECT_EQ(res.Message, message) << file;
    EXPECT_EQ(p.CurrentName, "Keeper");
    EXPECT_TRUE(SameRecord(*p.Record, *before)) << file;
  }
}

// Every cut and every flipped bit of a file the game wrote is refused with the
// game's message.
TEST_F(ProfileTest, TruncatedAndBitFlippedFilesAreRefused) {
  MakeSample("Damage");
  const std::vector<uint8_t> good = ReadFile(p.CurrentPath());
  DecodedProfile d;
  ASSERT_TRUE(DecodeProfileFile(good.data(), good.size(), d));

  for (size_t len = 0; len < good.size(); len += (len < 1100 || len + 20 > good.size()) ? 1 : 97) {
    const ProfileResult res = DecodeProfileFile(good.data(), len, d);
    ASSERT_FALSE(res.Ok) << "cut at " << len;
    EXPECT_EQ(res.Message, "Profile file invalid.");
  }
  std::vector<uint8_t> bad = good;
  for (size_t i = 0; i < bad.size(); ++i) {
    const uint8_t bit = uint8_t(1u << (i % 8));
    bad[i] ^= bit;
    const ProfileResult res = DecodeProfileFile(bad.data(), bad.size(), d);
    bad[i] ^= bit;
    if (i >= 24 && i < 24 + 1024 && i - 24 >= good.size() - 1048) {
      // A key byte past the end of the scrambled bytes scrambles nothing.
      ASSERT_TRUE(res.Ok) << "flip at " << i;
      EXPECT_TRUE(SameRecord(*d.Record, *p.Record));
      continue;
    }
    ASSERT_FALSE(res.Ok) << "flip at " << i;
    EXPECT_EQ(res.Message, "Profile file invalid.");
  }
  // Bytes added after the check block.
  bad.push_back(0);
  EXPECT_FALSE(DecodeProfileFile(bad.data(), bad.size(), d).Ok);
}

TEST_F(ProfileTest, ListTakesValidFilesUpToAHundred) {
  auto header = [](const std::string& name, size_t size, uint16_t magic = 2025) {
    std::vector<uint8_t> f(size, 0);
    f[0] = uint8_t(magic);
    f[1] = uint8_t(magic >> 8);
    f[2] = 1;
    f[3] = uint8_t(name.size());
    std::memcpy(&f[4], name.data(), name.size());
    return f;
  };
  WriteFile(PathOf("exact500.zqp"), header("Five hundred", 500));
  WriteFile(PathOf("magic.zqp"), header("Wrong magic", 501, 2024));
  WriteFile(PathOf("other.txt"), header("Other", 501));
  std::filesystem::create_directories(PathOf("dir.zqp"));
  WriteFile(PathOf(".hidden.zqp"), header("Hidden\x01", 501));
  WriteFile(PathOf("B.ZQP"), header("Bee", 501));
  WriteFile(PathOf("a.zqp"), header("Ay", 501));
  BuildProfileList(p);
  ASSERT_EQ(p.List.size(), 3u);
  EXPECT_EQ(p.List[0].FileName, ".hidden.zqp");
  EXPECT_EQ(p.List[0].PlayerName, "Hidden");  // control characters dropped
  EXPECT_EQ(p.List[1].FileName, "a.zqp");
  EXPECT_EQ(p.List[2].PlayerName, "Bee");
  EXPECT_EQ(ReadProfileHeader(PathOf("exact500.zqp")), std::nullopt);

  for (int i = 0; i < 98; ++i) WriteFile(PathOf(Format("p%03d.zqp", i)), header(Format("P%03d", i), 501));
  BuildProfileList(p);
  EXPECT_EQ(p.List.size(), 100u);  // 3 + 98 files: the 101st replaces entry 100
  EXPECT_EQ(p.List[98].PlayerName, "P095");
  EXPECT_EQ(p.List[99].PlayerName, "P097");
  try {
    CreateProfile(p, "One more", true, 0, rng);
    FAIL() << "created a 101st profile";
  } catch (const FatalMessage& e) {
    EXPECT_STREQ(e.what(), "Too many profiles.");
  }
  EXPECT_FALSE(FileExists(PathOf("One more.zqp")));
}

TEST_F(ProfileTest, NewFileNamesNeverTakeAnExistingFile) {
  const std::string thirty = "Abcdefghijklmnopqrstuvwxyz0123";
  WriteFile(PathOf("Bob.zqp"), {1, 2, 3});  // not a profile, not listed
  ASSERT_TRUE(CreateProfile(p, "Bob", true, 0, rng));
  EXPECT_EQ(p.CurrentFile, "Bob~2.zqp");
  EXPECT_EQ(ReadFile(PathOf("Bob.zqp")), (std::vector<uint8_t>{1, 2, 3}));

  ASSERT_TRUE(CreateProfile(p, thirty + "X", true, 0, rng));
  ASSERT_TRUE(CreateProfile(p, thirty + "Y", true, 0, rng));
  EXPECT_EQ(p.List[1].FileName, thirty + ".zqp");
  EXPECT_EQ(p.List[1].PlayerName, thirty.substr(0, 20));
  EXPECT_EQ(p.List[2].FileName, thirty + "~2.zqp");

  const std::pair<std::string, std::string> unsafe[] = {
      {"a/b\\c", "a_b_c.zqp"}, {"..", "...zqp"}, {"x\x01y\x7Fz", "x_y_z.zqp"}, {"../../up", ".._.._up.zqp"}};
  for (const auto& [name, file] : unsafe) {
    ASSERT_TRUE(CreateProfile(p, name, true, 0, rng)) << name;
    EXPECT_EQ(p.CurrentFile, file);
    EXPECT_TRUE(FileExists(PathOf(file)));
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(p.Folder), {}), 8);
  EXPECT_THROW(CreateProfile(p, "   ", true, 0, rng), std::invalid_argument);

  // The list read back from the folder agrees with the one kept in memory.
  const std::vector<TProfileEntry> kept = p.List;
  BuildProfileList(p);
  EXPECT_EQ(p.List.size(), kept.size());
  for (const TProfileEntry& e : kept) {
    const bool found = std::any_of(p.List.begin(), p.List.end(), [&](const TProfileEntry& f) {
      return f.FileName == e.FileName && f.PlayerName == e.PlayerName;
    });
    EXPECT_TRUE(found) << e.FileName;
  }
}

TEST_F(ProfileTest, DeleteChecksItsIndexAndFile) {
  ASSERT_TRUE(CreateProfile(p, "One", true, 0, rng));
  ASSERT_TRUE(CreateProfile(p, "Two", true, 0, rng));
  for (int bad : {0, 3}) {
    try {
      DeleteProfile(p, bad);
      FAIL() << bad;
    } catch (const FatalMessage& e) {
      EXPECT_STREQ(e.what(), "Illegal profile delete.");
    }
  }
  ASSERT_TRUE(DeleteFile(PathOf("Two.zqp")));
  try {
    DeleteProfile(p, 2);
    FAIL();
  } catch (const FatalMessage& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to find " + PathOf("Two.zqp") + " to erase.");
  }
  EXPECT_TRUE(DeleteProfile(p, 1));
  EXPECT_TRUE(p.List.empty());
  EXPECT_FALSE(FileExists(PathOf("One.zqp")));
}

TEST(ProfileRecords, AddFindsTheListEntryAndKeepsTheTableWithinItsSize) {
  ScenarioList list;
  TScenarioInfo info;
  info.Identity = {1, 1};
  list.push_back(MakeScenarioEntry(BuiltInScenarioName, info));
  info.Identity = {2, 2};
  list.push_back(MakeScenarioEntry("Extra.zq", info));
  auto r = std::make_unique<TProfileRecord>();

  try {
    AddScenarioRecord(*r, list, "none.zq", "/docs/Scenarios/");
    FAIL();
  } catch (const FatalMessage& e) {
    EXPECT_STREQ(e.what(), "Unable to find /docs/Scenarios/none.zq");
  }
  EXPECT_EQ(AddScenarioRecord(*r, list, "EXTRA.ZQ", "/s"), 1);
  EXPECT_EQ(r->Record(1).Identity.A, 2);
  EXPECT_EQ(FindScenarioRecord(*r, {2, 2}), 1);

  // Full: records of scenarios no longer listed go first, the rest keep their order.
  for (int n = 1; n <= MaxScenarioRecords; ++n) {
    r->Record(n) = TScenarioRecord();
    r->Record(n).Identity = (n % 2) ? ScenarioIdentity{1, 1} : ScenarioIdentity{9, double(n)};
    r->Record(n).HighScore = n;
  }
  r->ScenarioCount = MaxScenarioRecords;
  r->CurrentScenario = 9;
  EXPECT_EQ(AddScenarioRecord(*r, list, "Extra.zq", "/s"), 5001);
  EXPECT_EQ(r->ScenarioCount, 5001);
  EXPECT_EQ(r->Record(2).HighScore, 3);
  EXPECT_EQ(r->CurrentScenario, 5);  // record 9 moved to 5
  EXPECT_EQ(r->Record(5002).HighScore, 0);
  EXPECT_EQ(r->Record(MaxScenarioRecords).HighScore, 0);

  // Full of listed scenarios: the oldest record other than the current one goes.
  for (int n = 1; n <= MaxScenarioRecords; ++n) {
    r->Record(n).Identity = {1, 1};
    r->Record(n).HighScore = n;
  }
  r->ScenarioCount = MaxScenarioRecords;
  r->CurrentScenario = 1;
  EXPECT_EQ(AddScenarioRecord(*r, list, "Extra.zq", "/s"), MaxScenarioRecords);
  EXPECT_EQ(r->ScenarioCount, MaxScenarioRecords);
  EXPECT_EQ(r->CurrentScenario, 1);
  EXPECT_EQ(r->Record(1).HighScore, 1);
  EXPECT_EQ(r->Record(2).HighScore, 3);
  EXPECT_EQ(r->Record(MaxScenarioRecords).Identity.A, 2);
  r->CurrentScenario = 500;
  AddScenarioRecord(*r, list, "Extra.zq", "/s");
  EXPECT_EQ(r->Record(1).HighScore, 3);
  EXPECT_EQ(r->CurrentScenario, 499);
  EXPECT_EQ(r->Record(499).HighScore, 501);
}

TEST(ProfileRecords, BestScoreAndTime) {
  auto r = std::make_unique<TProfileRecord>();
  r->ScenarioCount = 1;
  r->Record(1).HighScore = 500;
  GameResultUpdate u = RecordGameResult(*r, 1, 500, 90, false);  // equal: not a new best
  EXPECT_FALSE(u.Changed());
  u = RecordGameResult(*r, 1, 700, 90, false);  // game over: time not stored
  EXPECT_TRUE(u.NewBestScore);
  EXPECT_EQ(u.PreviousBest, 500);
  EXPECT_FALSE(u.NewBestTime);
  EXPECT_EQ(r->Record(1).HighScore, 700);
  EXPECT_EQ(r->Record(1).BestTime, 0u);
  u = RecordGameResult(*r, 1, 10, 300, true);  // no best time yet: any time
  EXPECT_FALSE(u.NewBestScore);
  EXPECT_TRUE(u.NewBestTime);
  EXPECT_EQ(r->Record(1).BestTime, 300u);
  EXPECT_FALSE(RecordGameResult(*r, 1, 10, 300, true).Changed());  // equal time stays
  EXPECT_FALSE(RecordGameResult(*r, 1, 10, 301, true).Changed());
  EXPECT_TRUE(RecordGameResult(*r, 1, 10, 299, true).NewBestTime);
  EXPECT_EQ(r->Record(1).BestTime, 299u);
  EXPECT_FALSE(RecordGameResult(*r, 2, 9999, 1, true).Changed());  // no such record
  EXPECT_FALSE(RecordGameResult(*r, 0, 9999, 1, true).Changed());
}

class ActivateTest : public ProfileTest {
 protected:
  void SetUp() override {
    ProfileTest::SetUp();
    TScenarioInfo info;
    info.Identity = {1, 1};
    info.Name.Assign("Built in");
    info.Author.Assign("Us");
    list.push_back(MakeScenarioEntry(BuiltInScenarioName, info));
    info.Identity = {2, 2};
    info.Name.Assign("Extra");
    list.push_back(MakeScenarioEntry("extra.zq", info));
    for (TScenarioEntry& e : list)
      for (int i = 0; i < 5; ++i) e.Totals[size_t(i)] = 10 + i;  // as the list read them from the files
  }
  ScenarioList list;
  Scenario scenario;
  std::string scenarios = "/nonexistent/Scenarios/";
};

TEST_F(ActivateTest, GivesTheProfileAListedScenario) {
  ASSERT_TRUE(CreateProfile(p, "First", true, 0, rng));
  ASSERT_TRUE(CreateProfile(p, "Second", true, 0, rng));
  p.CurrentName = "First";
  ActivateResult res = ActivateProfile(p, list, scenario, scenarios, true);
  ASSERT_TRUE(res.Ok) << res.Message;
  EXPECT_TRUE(res.Loaded);
  EXPECT_EQ(p.CurrentFile, "First.zqp");
  EXPECT_EQ(p.Record->ScenarioCount, 1);
  EXPECT_EQ(p.Record->CurrentScenario, 1);
  EXPECT_EQ(res.ScenarioName, "Built in");
  EXPECT_EQ(res.ScenarioAuthor, "Us");
  EXPECT_EQ(CurrentScenarioTotals(*p.Record), (std::array<int32_t, 5>{10, 11, 12, 13, 14}));

  // A current record whose scenario left the list: back to the built-in scenario's record.
  p.Record->Record(2).Identity = {7, 7};
  p.Record->ScenarioCount = 2;
  p.Record->CurrentScenario = 2;
  res = ActivateProfile(p, list, scenario, scenarios, false);
  EXPECT_EQ(p.Record->CurrentScenario, 1);
  EXPECT_EQ(p.Record->ScenarioCount, 2);

  // An unknown player falls back to entry 1, whose name becomes current.
  p.CurrentName = "Nobody";
  res = ActivateProfile(p, list, scenario, scenarios, true);
  EXPECT_EQ(p.CurrentName, "First");
  EXPECT_EQ(p.CurrentFile, "First.zqp");

  // A damaged file is reported, not fatal.
  std::vector<uint8_t> second = ReadFile(PathOf("Second.zqp"));
  second[second.size() - 100] ^= 0x10;
  WriteFile(PathOf("Second.zqp"), second);
  BuildProfileList(p);
  p.CurrentName = "Second";
  const auto held = std::make_unique<TProfileRecord>(*p.Record);
  res = ActivateProfile(p, list, scenario, scenarios, true);
  EXPECT_FALSE(res.Ok);
  EXPECT_EQ(res.Message, "Profile file invalid.");
  EXPECT_EQ(p.CurrentName, "First");  // the profile current before
  EXPECT_EQ(p.CurrentFile, "First.zqp");
  EXPECT_TRUE(SameRecord(*p.Record, *held));

  // At start-up nothing is current before, so nothing is after.
  ProfileState start;
  start.Folder = p.Folder;
  BuildProfileList(start);
  start.CurrentName = "Second";
  EXPECT_FALSE(ActivateProfile(start, list, scenario, scenarios, true).Ok);
  EXPECT_EQ(start.CurrentName, "");
  EXPECT_EQ(start.CurrentFile, "");
}

TEST_F(ActivateTest, FatalStates) {
  auto expectFatal = [&](const char* message) {
    try {
      ActivateProfile(p, list, scenario, scenarios, false);
      ADD_FAILURE() << "no error for " << message;
    } catch (const FatalMessage& e) {
      EXPECT_STREQ(e.what(), message);
    }
  };
  expectFatal("Profile not set.");
  p.CurrentName = "Anyone";
  expectFatal("Unable to match profile name with file.");
  ASSERT_TRUE(CreateProfile(p, "Anyone", true, 0, rng));
  p.Record->ScenarioCount = 1;
  p.Record->CurrentScenario = 1;
  p.Record->Record(1).Identity = {5, 5};
  list.erase(list.begin());
  expectFatal("Unable to to locate gravik2.zq");
}

// The save is interrupted by a failing write at different points before its
// rename; the file keeps the previous profile.
TEST_F(ProfileTest, FailedSavesKeepThePreviousFile) {
  MakeSample("Safe");
  const std::vector<uint8_t> before = ReadFile(p.CurrentPath());
  const auto saved = std::make_unique<TProfileRecord>(*p.Record);
  const auto oldKey = p.Key;
  p.Record->Record(1).HighScore = 123456;
  const size_t newSize = EncodeProfileFile(p.CurrentName, *p.Record, p.Key).size();

  std::string seenPath;
  EXPECT_FALSE(SaveProfile(p, rng, [&](const std::string& path, const void*, size_t) {
    seenPath = path;
    return false;
  }));
  EXPECT_EQ(seenPath, p.CurrentPath());
  EXPECT_EQ(p.Key, oldKey);
  EXPECT_THROW(SaveProfile(p, rng, ProfileFileWriter()), std::invalid_argument);

  // The real writer under a file-size limit: the write fails part way.
  for (rlim_t limit : {rlim_t(0), rlim_t(1), rlim_t(24), rlim_t(1048), rlim_t(1053), rlim_t(newSize / 2),
                       rlim_t(newSize - 1)}) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      signal(SIGXFSZ, SIG_IGN);
      const struct rlimit lim = {limit, limit};
      setrlimit(RLIMIT_FSIZE, &lim);
      _exit(SaveProfile(p, rng) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "save passed under a limit of " << limit;
    EXPECT_EQ(ReadFile(p.CurrentPath()), before) << limit;
  }
  ProfileState again;
  again.Folder = p.Folder;
  again.CurrentFile = p.CurrentFile;
  ASSERT_TRUE(LoadProfile(again));
  EXPECT_TRUE(SameRecord(*again.Record, *saved));
  BuildProfileList(p);
  EXPECT_EQ(p.List.size(), 1u);
}

// A process killed in the middle of saving leaves a whole profile: the one
// before or the one being saved, never a mixture.
TEST_F(ProfileTest, KilledSaveLeavesAWholeProfile) {
  MakeSample("Killed");
  auto a = std::make_unique<TProfileRecord>(*p.Record);
  auto b = std::make_unique<TProfileRecord>(*p.Record);
  b->Record(1).HighScore = 999;
  b->Reserved336[0] = 1;
  RandomGenerator delays(3);
  const std::vector<uint8_t> first = ReadFile(p.CurrentPath());
  int roundsWithSaves = 0;
  for (int round = 0; round < 6; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (uint64_t i = 0;; ++i) {
        *p.Record = (i % 2) ? *b : *a;
        SaveProfile(p, rng);
      }
    }
    usleep(useconds_t(5000 + delays.Random(60000)));
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ProfileState again;
    again.Folder = p.Folder;
    again.CurrentFile = p.CurrentFile;
    ASSERT_TRUE(LoadProfile(again)) << "round " << round;
    const bool isA = SameRecord(*again.Record, *a), isB = SameRecord(*again.Record, *b);
    EXPECT_TRUE(isA || isB) << "round " << round;
    roundsWithSaves += ReadFile(p.CurrentPath()) != first;
  }
  EXPECT_GT(roundsWithSaves, 0);  // the child did replace the file
  BuildProfileList(p);
  EXPECT_EQ(p.List.size(), 1u);  // left-over temporary files are never listed
}

// Options go from the running game into the record and back unchanged.
TEST(ProfileOptions, TakeThenApplyCarriesEveryOption) {
  InputState in;
  in.Slot(2) = {0, 90};
  in.Slot(7) = {1, 81};
  in.JoystickEnabled = true;
  AudioState audio;
  audio.SoundAvailable = true;
  audio.SoundOn = true;
  audio.MusicOn = false;
  audio.SoundLevel = 9;
  audio.MusicLevel = 5;
  auto r = std::make_unique<TProfileRecord>();
  SetNewProfileDefaults(*r, true, 0);
  TakeIntoProfile(*r, in, audio, false, false);

  InputState in2;
  AudioState audio2;
  audio2.SoundAvailable = true;
  bool panel = true, windowed = true;
  ApplyProfile(*r, in2, audio2, panel, windowed);
  EXPECT_EQ(in2.Slots, in.Slots);
  EXPECT_TRUE(in2.JoystickEnabled);
  EXPECT_TRUE(audio2.SoundOn);
  EXPECT_FALSE(audio2.MusicOn);
  EXPECT_EQ(audio2.SoundLevel, 9);
  EXPECT_EQ(audio2.MusicLevel, 5);
  EXPECT_EQ(audio2.EffectVolume, LevelVolume(9));  // volumes applied
  EXPECT_FALSE(panel);
  EXPECT_FALSE(windowed);
}

}  // namespace
}  // namespace gravik

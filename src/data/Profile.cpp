#include "data/Profile.h"

#include "base/Bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "base/Crc.h"
#include "base/Errors.h"
#include "base/Random.h"
#include "base/Text.h"
#include "base/XorKey.h"
#include "codec/Codec.h"
#include "input/Input.h"
#include "platform/Codepage.h"
#include "platform/Folders.h"

namespace gravik {

namespace {

constexpr size_t RecordSize = sizeof(TProfileRecord);
// The largest file the game writes is a stored record with its check block;
// anything far beyond that is not a profile.
constexpr size_t MaxProfileFileBytes = 4u << 20;

// The check block after the payload: a tag and the CRC-16 of the file's first
// 24 bytes and of the descrambled bytes from the storage flag to the end of
// the payload. It is scrambled with the rest, so earlier readers skip it as
// trailing bytes.
constexpr uint8_t CheckTag[4] = {'G', '2', 'C', 'K'};
constexpr size_t CheckBlockSize = 6;

uint16_t CheckSum(const uint8_t* head, const uint8_t* body, size_t bodySize) {
  return Crc16Xmodem(body, bodySize, Crc16Xmodem(head, ProfileKeyOffset));
}

// Player names never hold control characters.
std::string WithoutControls(std::string_view s) {
  std::string out;
  for (unsigned char c : s)
    if (c >= 32 && c != 127) out += char(c);
  return out;
}

// A stored name as text: at most 20 characters, control characters dropped.
std::string NameFromHeader(const uint8_t* h) {
  const size_t len = std::min<size_t>(h[ProfileNameOffset], ProfileNameLength);
  return WithoutControls(std::string_view(reinterpret_cast<const char*>(h + ProfileNameOffset + 1), len));
}

void ClampLoaded(TProfileRecord& r) {
  r.ScenarioCount = std::clamp(r.ScenarioCount, 0, MaxScenarioRecords);
  r.CurrentScenario = std::clamp(r.CurrentScenario, 0, r.ScenarioCount);
  r.SoundLevel = std::clamp(r.SoundLevel, 0, MaxProfileLevel);
  r.MusicLevel = std::clamp(r.MusicLevel, 0, MaxProfileLevel);
}

// A file is there, or the folder cannot tell (a missing folder, or a file in
// its place, holds nothing).
bool PathTaken(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

// Characters a file name cannot hold, or that path helpers would split at.
std::string SafeFileBase(const std::string& name1252) {
  std::string safe;
  for (unsigned char c : name1252) safe += (c < 32 || c == 127 || c == '/' || c == '\\') ? '_' : char(c);
  return Windows1252ToUtf8(safe);
}

}  // namespace

ProfileState::ProfileState() : Record(std::make_unique<TProfileRecord>()) {}

std::string ProfileState::CurrentPath() const { return IncludeTrailingSlash(Folder) + CurrentFile; }

// ---------------------------------------------------------------------------

std::vector<uint8_t> EncodeProfileFile(const std::string& playerName, const TProfileRecord& record,
                                       const std::array<uint8_t, ProfileKeySize>& key) {
  std::vector<uint8_t> out;
  out.reserve(ProfilePayloadOffset + RecordSize + CheckBlockSize);
  ByteWriter(out).U16(ProfileMagic);
  out.push_back(ProfileMarker);
  ShortString<ProfileNameLength> name;
  name.Assign(playerName);
  out.push_back(name.Length);
  out.insert(out.end(), name.Chars, name.Chars + ProfileNameLength);
  out.insert(out.end(), key.begin(), key.end());

  const auto* raw = reinterpret_cast<const uint8_t*>(&record);
  const std::vector<uint8_t> packed = Compress(raw, RecordSize, TCompressMode::Fast);
  if (packed.size() > RecordSize) {
    out.push_back(0);
    ByteWriter(out).U32(uint32_t(RecordSize));
    out.insert(out.end(), raw, raw + RecordSize);
  } else {
    out.push_back(1);
    ByteWriter(out).U32(uint32_t(packed.size()));
    out.insert(out.end(), packed.begin(), packed.end());
  }
  const uint16_t crc =
      CheckSum(out.data(), out.data() + ProfileScrambledOffset, out.size() - ProfileScrambledOffset);
  out.insert(out.end(), CheckTag, CheckTag + 4);
  ByteWriter(out).U16(crc);
  XorWithKey(out.data() + ProfileScrambledOffset, out.size() - ProfileScrambledOffset, key.data(),
             ProfileKeySize);
  return out;
}

ProfileResult DecodeProfileFile(const uint8_t* data, size_t size, DecodedProfile& out) {
  const ProfileResult invalid{false, ProfileInvalidText};
  if (size < ProfilePayloadOffset) return invalid;
  if ((uint16_t(data[0]) | uint16_t(data[1]) << 8) != ProfileMagic || data[2] != ProfileMarker) return invalid;

  std::vector<uint8_t> body(data + ProfileScrambledOffset, data + size);
  XorWithKey(body.data(), body.size(), data + ProfileKeyOffset, ProfileKeySize);
  const uint8_t flag = body[0];
  const uint32_t length = GetU32(&body[1]);
  const size_t payloadAt = ProfilePayloadOffset - ProfileScrambledOffset;
  if (flag > 1 || length > body.size() - payloadAt) return invalid;
  const size_t payloadEnd = payloadAt + length;

  // After the payload: nothing (an unchecked file) or an intact check block.
  const size_t trailing = body.size() - payloadEnd;
  if (trailing != 0) {
    if (trailing != CheckBlockSize || std::memcmp(&body[payloadEnd], CheckTag, 4) != 0) return invalid;
    const uint16_t stored = uint16_t(body[payloadEnd + 4] | body[payloadEnd + 5] << 8);
    if (CheckSum(data, body.data(), payloadEnd) != stored) return invalid;
  }

  auto record = std::make_unique<TProfileRecord>();
  auto* raw = reinterpret_cast<uint8_t*>(record.get());
  // A payload longer than the record gives its first RecordSize bytes; a
  // shorter one is refused. (Pointers stay inside `body`: the payload may be
  // empty and end exactly at its end.)
  const uint8_t* payload = body.data() + payloadAt;
  if (flag == 0) {
    if (length < RecordSize) return invalid;
    std::memcpy(raw, payload, RecordSize);
  } else {
    const std::vector<uint8_t> plain = DecompressPrefix(payload, length, RecordSize);
    if (plain.size() != RecordSize) return invalid;
    std::memcpy(raw, plain.data(), RecordSize);
  }
  const ShortString<2>& stamp = record->FormatStamp;
  if (stamp.Length != 2 || stamp.Chars[0] != '4' || stamp.Chars[1] != '2') return {false, ProfileStampText};
  ClampLoaded(*record);

  out.PlayerName = NameFromHeader(data);
  std::memcpy(out.Key.data(), data + ProfileKeyOffset, ProfileKeySize);
  out.Record = std::move(record);
  return {};
}

// ---------------------------------------------------------------------------

std::optional<std::string> ReadProfileHeader(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st;
  uint8_t head[ProfileKeyOffset];
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && uint64_t(st.st_size) >= ProfileMinListedSize;
  size_t got = 0;
  while (ok && got < sizeof head) {
    ssize_t n = read(fd, head + got, sizeof head - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;
    else got += size_t(n);
  }
  close(fd);
  if (!ok) return std::nullopt;
  if ((uint16_t(head[0]) | uint16_t(head[1]) << 8) != ProfileMagic || head[2] != ProfileMarker) return std::nullopt;
  return NameFromHeader(head);
}

void BuildProfileList(ProfileState& p) {
  p.List.clear();
  const std::string dir = IncludeTrailingSlash(p.Folder);
  for (const std::string& file : FindFiles(p.Folder, "*.zqp")) {
    std::optional<std::string> name = ReadProfileHeader(dir + file);
    if (!name) continue;
    TProfileEntry e{*name, file};
    if (p.List.size() < size_t(MaxProfiles)) p.List.push_back(std::move(e));
    else p.List.back() = std::move(e);
  }
}

bool SaveProfile(ProfileState& p, RandomGenerator& random) {
  return SaveProfile(p, random, WriteWholeFileAtomic);
}

bool SaveProfile(ProfileState& p, RandomGenerator& random, const ProfileFileWriter& writer) {
  if (!writer) throw std::invalid_argument("SaveProfile: no file writer");
  if (p.CurrentFile.empty() || p.Folder.empty()) return false;
  std::array<uint8_t, ProfileKeySize> key;
  for (size_t i = 0; i < ProfileKeySize; ++i) key[i] = uint8_t(p.Key[i] ^ uint8_t(1 + random.Random(255)));
  const std::vector<uint8_t> file = EncodeProfileFile(p.CurrentName, *p.Record, key);
  if (!writer(p.CurrentPath(), file.data(), file.size())) return false;
  p.Key = key;
  ++p.SavesMade;
  return true;
}

ProfileResult LoadProfile(ProfileState& p, bool forceWindow) {
  std::vector<uint8_t> file;
  if (p.CurrentFile.empty() || !ReadWholeFile(p.CurrentPath(), file, MaxProfileFileBytes))
    return {false, ProfileInvalidText};
  DecodedProfile d;
  ProfileResult r = DecodeProfileFile(file.data(), file.size(), d);
  if (!r) return r;
  if (forceWindow || p.ForceWindow) d.Record->Windowed = 1;
  p.Record = std::move(d.Record);
  p.CurrentName = d.PlayerName;
  p.Key = d.Key;
  return r;
}

// ---------------------------------------------------------------------------

std::string NewProfileFileName(const ProfileState& p, const std::string& name) {
  const std::string trimmed = Trim(name);
  const std::string base = SafeFileBase(trimmed.substr(0, ProfileFileNameChars));
  const std::string dir = IncludeTrailingSlash(p.Folder);
  auto taken = [&](const std::string& file) {
    for (const TProfileEntry& e : p.List)
      if (e.FileName == file) return true;
    return PathTaken(dir + file);
  };
  // A folder that answers "taken" for every name (no right to look) cannot be
  // written either; the search is bounded and the save then fails.
  constexpr int kMaxSuffix = 10000;
  std::string file = base + ".zqp";
  for (int n = 2; n <= kMaxSuffix && taken(file); ++n) file = base + "~" + std::to_string(n) + ".zqp";
  return file;
}

void SetNewProfileDefaults(TProfileRecord& r, bool windowed, int keyboardMode) {
  r = TProfileRecord();
  r.Version.Assign("1.3");
  r.FormatStamp.Assign("42");
  r.SoundOn = 1;
  r.MusicOn = 1;
  r.SoundLevel = MaxProfileLevel;
  r.MusicLevel = MaxProfileLevel;
  r.LayoutFlag = 1;
  r.Windowed = windowed ? 1 : 0;
  r.GraphicsVariant = 1;
  r.JoystickEnabled = 0;
  r.Reserved293 = 0;
  r.JoystickSettings[0] = 0;
  r.JoystickSettings[1] = 1;
  r.JoystickSettings[2] = 4;
  const KeySlots slots = DefaultKeySlots(keyboardMode);
  for (size_t i = 0; i < slots.size(); ++i) {
    r.Keys[i].Enabled = 1;
    r.Keys[i].Key = slots[i].Key;
  }
  r.ScenarioCount = 0;
  r.CurrentScenario = 0;
  std::fill(std::begin(r.ScenarioTotals), std::end(r.ScenarioTotals), NoScenarioTotal);
}

bool CreateProfile(ProfileState& p, const std::string& name, bool windowed, int keyboardMode,
                   RandomGenerator& random) {
  if (p.List.size() >= size_t(MaxProfiles)) throw FatalMessage("Too many profiles.");
  const std::string trimmed = Trim(name);
  if (trimmed.empty()) throw std::invalid_argument("CreateProfile: empty name");
  TProfileEntry e{Trim(WithoutControls(trimmed).substr(0, ProfileNameLength)), NewProfileFileName(p, trimmed)};
  p.List.push_back(e);
  p.CurrentName = e.PlayerName;
  p.CurrentFile = e.FileName;
  p.Key.fill(0);
  SetNewProfileDefaults(*p.Record, windowed, keyboardMode);
  return SaveProfile(p, random);
}

bool DeleteProfile(ProfileState& p, int index) {
  if (index < 1 || size_t(index) > p.List.size()) throw FatalMessage("Illegal profile delete.");
  const std::string path = IncludeTrailingSlash(p.Folder) + p.List[size_t(index - 1)].FileName;
  if (!FileExists(path)) throw FatalMessage("Unable to find " + path + " to erase.");
  const bool removed = DeleteFile(path);
  BuildProfileList(p);
  return removed;
}

// ---------------------------------------------------------------------------

TScenarioRecord* CurrentScenarioRecord(TProfileRecord& r) {
  const int n = r.CurrentScenario;
  return (n >= 1 && n <= r.ScenarioCount && n <= MaxScenarioRecords) ? &r.Record(n) : nullptr;
}

const TScenarioRecord* CurrentScenarioRecord(const TProfileRecord& r) {
  return CurrentScenarioRecord(const_cast<TProfileRecord&>(r));
}

std::optional<ScenarioIdentity> CurrentScenarioIdentity(const TProfileRecord& r) {
  const TScenarioRecord* s = CurrentScenarioRecord(r);
  if (!s) return std::nullopt;
  return s->Identity;
}

int FindScenarioRecord(const TProfileRecord& r, const ScenarioIdentity& id) {
  const int count = std::clamp(r.ScenarioCount, 0, MaxScenarioRecords);
  for (int n = 1; n <= count; ++n)
    if (SameIdentity(r.Record(n).Identity, id)) return n;
  return 0;
}

std::array<int32_t, 5> CurrentScenarioTotals(const TProfileRecord& r) {
  std::array<int32_t, 5> t;
  std::copy(std::begin(r.ScenarioTotals), std::end(r.ScenarioTotals), t.begin());
  return t;
}

void SetCurrentScenarioTotals(TProfileRecord& r, const std::array<int32_t, 5>& totals) {
  std::copy(totals.begin(), totals.end(), std::begin(r.ScenarioTotals));
}

namespace {

// Keeps the records for which `keep(n)` holds, in order; clears the freed
// records at the end and moves the current index with its record.
template <typename Keep>
void CompactRecords(TProfileRecord& r, Keep keep) {
  const int count = std::clamp(r.ScenarioCount, 0, MaxScenarioRecords);
  int to = 0, current = 0;
  for (int from = 1; from <= count; ++from) {
    if (!keep(from)) continue;
    ++to;
    if (from == r.CurrentScenario) current = to;
    if (to != from) r.Record(to) = r.Record(from);
  }
  for (int n = to + 1; n <= count; ++n) r.Record(n) = TScenarioRecord();
  r.ScenarioCount = to;
  r.CurrentScenario = current;
}

}  // namespace

int AddScenarioRecord(TProfileRecord& r, const ScenarioList& list, const std::string& fileName,
                      const std::string& scenariosFolder) {
  const int entry = FindScenarioEntry(list, LowerCase(fileName));
  if (entry == 0) throw FatalMessage("Unable to find " + IncludeTrailingSlash(scenariosFolder) + fileName);
  r.ScenarioCount = std::clamp(r.ScenarioCount, 0, MaxScenarioRecords);
  if (r.ScenarioCount >= MaxScenarioRecords) {
    CompactRecords(r, [&](int n) { return FindScenarioEntryByIdentity(list, r.Record(n).Identity) != 0; });
  }
  if (r.ScenarioCount >= MaxScenarioRecords) {
    // Still full: the oldest record other than the current one makes room.
    const int drop = r.CurrentScenario == 1 ? 2 : 1;
    CompactRecords(r, [&](int n) { return n != drop; });
  }
  const int n = ++r.ScenarioCount;
  r.Record(n) = TScenarioRecord();
  r.Record(n).Identity = list[size_t(entry - 1)].Identity;
  return n;
}

ActivateResult ActivateProfile(ProfileState& p, const ScenarioList& list, Scenario& scenario,
                               const std::string& scenariosFolder, bool load, bool forceWindow) {
  ActivateResult result;
  if (p.CurrentName.empty()) throw FatalMessage("Profile not set.");
  const std::string oldFile = p.CurrentFile;
  int match = 0;
  for (size_t i = p.List.size(); i-- > 0;) {
    if (p.List[i].PlayerName == p.CurrentName) {
      match = int(i + 1);
      break;
    }
  }
  if (match == 0) {
    if (p.List.empty()) throw FatalMessage("Unable to match profile name with file.");
    match = 1;
    p.CurrentName = p.List[0].PlayerName;
  }
  p.CurrentFile = p.List[size_t(match - 1)].FileName;
  if (load) {
    const ProfileResult loaded = LoadProfile(p, forceWindow);
    if (!loaded) {
      // The record in memory is not this file's, so a later save must not go
      // there: the profile current before stays current (none at start-up).
      p.CurrentName.clear();
      p.CurrentFile.clear();
      for (const TProfileEntry& e : p.List) {
        if (!oldFile.empty() && e.FileName == oldFile) {
          p.CurrentName = e.PlayerName;
          p.CurrentFile = oldFile;
        }
      }
      result.Ok = false;
      result.Message = loaded.Message;
      return result;
    }
    result.Loaded = true;
  }

  TProfileRecord& r = *p.Record;
  if (!CurrentScenarioRecord(r)) r.CurrentScenario = AddScenarioRecord(r, list, BuiltInScenarioName, scenariosFolder);
  if (FindScenarioEntryByIdentity(list, CurrentScenarioRecord(r)->Identity) == 0) {
    const int entry = FindScenarioEntry(list, BuiltInScenarioName);
    if (entry == 0) throw FatalMessage(std::string("Unable to to locate ") + BuiltInScenarioName);
    int n = FindScenarioRecord(r, list[size_t(entry - 1)].Identity);
    if (n == 0) n = AddScenarioRecord(r, list, BuiltInScenarioName, scenariosFolder);
    r.CurrentScenario = n;
  }
  const ScenarioIdentity id = CurrentScenarioRecord(r)->Identity;
  const int entry = FindScenarioEntryByIdentity(list, id);
  if (entry == 0) throw FatalMessage("Unable to match scenario.");
  result.ScenarioName = list[size_t(entry - 1)].Name.Str();
  result.ScenarioAuthor = list[size_t(entry - 1)].Author.Str();
  SetCurrentScenarioTotals(r, FindScenarioOfProfile(scenario, list, id, scenariosFolder));
  return result;
}

// ---------------------------------------------------------------------------

GameResultUpdate RecordGameResult(TProfileRecord& r, int scenarioIndex, int32_t score, uint32_t seconds,
                                  bool completed) {
  GameResultUpdate u;
  const int count = std::clamp(r.ScenarioCount, 0, MaxScenarioRecords);
  if (scenarioIndex < 1 || scenarioIndex > count) return u;
  TScenarioRecord& s = r.Record(scenarioIndex);
  u.PreviousBest = s.HighScore;
  if (score > s.HighScore) {
    s.HighScore = score;
    u.NewBestScore = true;
  }
  if (completed && (s.BestTime == 0 || seconds < s.BestTime) && seconds != s.BestTime) {
    s.BestTime = seconds;
    u.NewBestTime = true;
  }
  return u;
}

}  // namespace gravik

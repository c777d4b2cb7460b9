#include "data/Scenario.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/Bytes.h"
#include "base/Crc.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "base/XorKey.h"
#include "codec/Codec.h"
#include "data/Archive.h"
#include "platform/Folders.h"

namespace gravik {

namespace {

constexpr size_t kHeadFixed = 33;    // version, marker, CRC, A, B, C, info key
constexpr size_t kInfoKeySize = 16;
constexpr size_t kBodyKeySize = 1024;
constexpr size_t kLevelRecordsSize = sizeof(TLevelRecord) * LevelCount;
constexpr size_t kPictureCap = size_t(64) << 20;    // far beyond any puzzle picture
constexpr size_t kExtraDataCap = size_t(256) << 20;
constexpr size_t kScenarioFileCap = size_t(512) << 20;
constexpr int kWorldColumns = 42;
constexpr int kLevelOriginX = 5;

static_assert(kLevelRecordsSize + 3096 == LevelBlockSize);

size_t InfoSizeOf(uint16_t version) { return version == ScenarioVersionNoInfo ? 80 : 88; }

// Declared uncompressed length of a container, or false when the header is short.
bool ContainerLength(const uint8_t* p, size_t n, uint32_t& len) {
  if (n < 8) return false;
  len = GetU32(p + 4);
  return true;
}

int TransporterCount(const std::array<TLevelRecord, LevelCount>& levels) {
  int n = 0;
  for (const auto& lv : levels)
    for (const auto& col : lv.Cells)
      for (uint8_t c : col) n += c == BlockTransporterCode;
  return n;
}

// The checks that keep a damaged file from reaching the world: level sizes,
// transporter destinations and count, and the puzzle grid below level 1.
bool LevelsAndPuzzleSound(const std::array<TLevelRecord, LevelCount>& levels, const TScenarioExtras& extras) {
  for (const auto& lv : levels) {
    if (lv.Width < 1 || lv.Width > LevelCells || lv.Height < 1 || lv.Height > LevelCells) return false;
    for (int x = 1; x <= LevelCells; ++x)
      for (int y = 1; y <= LevelCells; ++y)
        if (lv.Cell(x, y) == BlockTransporterCode && DecodeTransporterParam(lv.Param(x, y)).Level > LevelCount)
          return false;
  }
  if (TransporterCount(levels) > MaxTransporters) return false;

  int32_t cols = extras.PuzzleColumns, rows = extras.PuzzleRows;
  if (extras.DefaultPuzzle != 0) cols = 10, rows = 4;
  if (cols < 0 || rows < 0 || rows > PuzzleMaxRows || cols > PuzzleMaxColumns) return false;
  if (cols > 0 && rows > 0) {
    // The puzzle area lies in level columns PuzzleLeft .. PuzzleLeft + cols - 1
    // below level 1; it must stay inside the 42 map columns.
    const int w = levels[0].Width;
    int left = w / 2 - cols / 2 + 1;
    if (left < 1) left = 1;
    if (extras.DefaultPuzzle != 0 && (w == 16 || w == 24 || w == 32)) left = w == 16 ? 3 : w == 24 ? 7 : 11;
    if (int64_t(left) + cols - 1 + kLevelOriginX > kWorldColumns) return false;
  }
  return true;
}

void ShowMessage(const ScenarioMessageFn& show, const std::string& text) {
  if (show) show(text);
}

}  // namespace

namespace {

// After LoadScenario: the default puzzle picture, the piece count, the checks
// that refuse the file, then seeds and transporters. False when refused.
bool FinishScenarioLoad(Scenario& s, Archive& archive, int result) {
  if (result == ScenarioLoaded && s.Extras.DefaultPuzzle != 0) {
    s.PuzzlePicture = archive.ReadItem("defaultpuzzle.bmp");
    s.Extras.PuzzleColumns = 10;
    s.Extras.PuzzleRows = 4;
  }
  s.Extras.PuzzlePieces = s.Extras.PuzzleColumns * s.Extras.PuzzleRows;
  if (result != ScenarioLoaded || !s.CrcCorrect || s.Header.CheckWord != s.Info.CheckWord) return false;
  ComputeLevelSeeds(s);
  BuildTransporterTable(s);
  return true;
}

}  // namespace

TransporterDestination DecodeTransporterParam(int16_t param) {
  const uint16_t p = uint16_t(param);
  return {((p >> 10) & 31) + 1, ((p >> 5) & 31) + 1, (p & 31) + 1};
}

int16_t EncodeTransporterParam(int level, int column, int row) {
  return int16_t((((level - 1) & 31) << 10) | (((column - 1) & 31) << 5) | ((row - 1) & 31));
}

void MakeScenarioKeys(ScenarioFileForm& form, uint32_t seed) {
  uint32_t x = seed ? seed : 0x2545F491u;
  auto next = [&x] {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return uint8_t(x >> 24);
  };
  for (auto& b : form.InfoKey) b = next();
  for (auto& b : form.BodyKey) b = next();
}

std::vector<std::string> SplitNotes(const uint8_t* data, size_t size) {
  std::vector<std::string> lines;
  size_t start = 0, i = 0;
  while (i < size) {
    const uint8_t c = data[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(reinterpret_cast<const char*>(data + start), i - start);
      i += (c == '\r' && i + 1 < size && data[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < size) lines.emplace_back(reinterpret_cast<const char*>(data + start), size - start);
  return lines;
}

int LoadScenario(Scenario& s, std::vector<uint8_t>& stream, const ScenarioMessageFn& show) {
  s.CrcCorrect = false;
  const size_t size = stream.size();
  uint8_t* d = stream.data();

  // 1-2: version and marker.
  if (size < 2) return ScenarioWrongVersion;
  const uint16_t version = GetU16(d);
  if (version == ScenarioVersionOld) {
    ShowMessage(show, "Unable to load old format.");
    return ScenarioWrongVersion;
  }
  if (version != ScenarioVersion && version != ScenarioVersionNoInfo) return ScenarioWrongVersion;
  if (size < 3) return ScenarioDamaged;
  if (d[2] != 1) return ScenarioWrongMarker;

  const size_t infoSize = InfoSizeOf(version);
  const size_t bodyKeyAt = kHeadFixed + infoSize;
  const size_t firstRegion = bodyKeyAt + kBodyKeySize;
  if (size < firstRegion) return ScenarioDamaged;
  const uint16_t storedCrc = GetU16(d + 3);
  const uint64_t a = GetU32(d + 5), b = GetU32(d + 9), c = GetU32(d + 13);
  if (a < firstRegion || b < a + sizeof(TScenarioHeader) || c < b || c > size) return ScenarioDamaged;

  ScenarioFileForm form;
  form.Version = version;
  std::memcpy(form.InfoKey.data(), d + 17, kInfoKeySize);
  std::memcpy(form.BodyKey.data(), d + bodyKeyAt, kBodyKeySize);
  form.HeaderSpan = uint32_t(b - a);

  // 3: descramble both regions in place, each from key byte 0.
  XorWithKey(d + a, size_t(c - a), form.BodyKey.data(), kBodyKeySize);
  XorWithKey(d + c, size_t(size - c), form.BodyKey.data(), kBodyKeySize);

  // 4-9 into locals: nothing of the current scenario changes unless the whole
  // of region 1 reads cleanly.
  // Every read fails rather than run past C.
  ByteReader r(std::span<const uint8_t>(d, size_t(c)), size_t(a));
  TScenarioHeader header;
  if (!r.Bytes(&header, sizeof header)) return ScenarioDamaged;

  auto levels = std::make_unique<std::array<TLevelRecord, LevelCount>>();
  std::array<uint8_t, 3096> tail{};
  if (!r.U8(form.LevelCoding)) return ScenarioDamaged;
  if (form.LevelCoding == 0) {
    if (!r.Bytes(levels->data(), kLevelRecordsSize) || !r.Bytes(tail.data(), tail.size())) return ScenarioDamaged;
  } else {
    uint32_t n = 0, declared = 0;
    const uint8_t* packed = nullptr;
    if (!r.U32(n) || !r.View(n, packed)) return ScenarioDamaged;
    if (!ContainerLength(packed, n, declared) || declared != LevelBlockSize) return ScenarioDamaged;
    std::vector<uint8_t> block = Decompress(packed, n, LevelBlockSize);
    if (block.size() != LevelBlockSize) return ScenarioDamaged;
    std::memcpy(levels->data(), block.data(), kLevelRecordsSize);
    std::memcpy(tail.data(), block.data() + kLevelRecordsSize, tail.size());
    form.UseLzh = packed[3] == 'S';
  }

  auto extras = std::make_unique<TScenarioExtras>();
  if (!r.Bytes(extras.get(), sizeof(TScenarioExtras))) return ScenarioDamaged;

  uint8_t pictureMarker = 0;
  bool hasPicture = false;
  std::vector<uint8_t> picture;
  if (!r.U8(pictureMarker)) return ScenarioDamaged;
  if (pictureMarker != 1) {
    uint32_t n = 0;
    const uint8_t* p = nullptr;
    if (!r.U8(form.PictureCoding) || !r.U32(n) || !r.View(n, p)) return ScenarioDamaged;
    if (form.PictureCoding == 0) {
      picture.assign(p, p + n);
    } else {
      uint32_t declared = 0;
      if (!ContainerLength(p, n, declared) || declared > kPictureCap) return ScenarioDamaged;
      picture = Decompress(p, n, declared);
      if (picture.size() != declared) return ScenarioDamaged;
    }
    form.PictureMarker = pictureMarker;
    hasPicture = true;
  }

  uint8_t extraMarker = 0;
  std::vector<uint8_t> extraData;
  if (!r.U8(extraMarker)) return ScenarioDamaged;
  if (extraMarker != 0) {
    uint32_t n = 0;
    const uint8_t* p = nullptr;
    if (!r.U32(n) || n > kExtraDataCap || !r.View(n, p)) return ScenarioDamaged;
    extraData.assign(p, p + n);
    form.ExtraDataMarker = extraMarker;
  }

  if (!LevelsAndPuzzleSound(*levels, *extras)) return ScenarioDamaged;

  // 10: the reader never passes C, so a mismatch means region 1 has bytes to spare.
  if (r.Pos() != c) ShowMessage(show, "WARNING: Incorrect notes position");

  s.Header = header;
  s.Levels = *levels;
  s.LevelTail = tail;
  s.Extras = *extras;
  if (hasPicture) s.PuzzlePicture = std::move(picture);
  s.HasExtraData = extraMarker != 0;
  s.ExtraData = std::move(extraData);
  s.Form = form;
  for (int n = 1; n <= LevelCount; ++n) s.StoredInUse[size_t(n - 1)] = s.Level(n).InUse;
  s.StoredLevelsInUse = s.Header.LevelsInUse;
  CountLevelsInUse(s);

  // 11: notes.
  s.Notes.clear();
  s.OtherNotes.clear();
  s.Notes = SplitNotes(d + c, size_t(size - c));

  // 12: CRC over A..end of the descrambled stream.
  s.CrcCorrect = Crc16Xmodem(d + a, size_t(size - a)) == storedCrc;
  return ScenarioLoaded;
}

bool ReadScenarioTotals(const uint8_t* data, size_t size, std::array<int32_t, 5>& totals) {
  const size_t bodyKeyAt = kHeadFixed + sizeof(TScenarioInfo);
  if (size < bodyKeyAt + kBodyKeySize) return false;
  if (GetU16(data) != ScenarioVersion || data[2] != 1) return false;
  const uint64_t a = GetU32(data + 5), b = GetU32(data + 9);
  if (a < bodyKeyAt + kBodyKeySize || b < a + sizeof(TScenarioHeader) || b > size) return false;
  uint8_t raw[sizeof(TScenarioHeader)];
  std::memcpy(raw, data + a, sizeof raw);
  XorWithKey(raw, sizeof raw, data + bodyKeyAt, kBodyKeySize);
  TScenarioHeader header;
  std::memcpy(&header, raw, sizeof raw);
  std::copy(std::begin(header.Totals), std::end(header.Totals), totals.begin());
  return true;
}

bool ReadScenarioInfo(const uint8_t* data, size_t size, TScenarioInfo& info) {
  if (size < kHeadFixed + sizeof(TScenarioInfo)) return false;
  if (GetU16(data) != ScenarioVersion || data[2] != 1) return false;
  uint8_t raw[sizeof(TScenarioInfo)];
  std::memcpy(raw, data + kHeadFixed, sizeof raw);
  XorWithKey(raw, sizeof raw, data + 17, kInfoKeySize);
  std::memcpy(&info, raw, sizeof raw);
  return true;
}

void ReadScenarioNotes(Scenario& s, const std::string& path) {
  std::vector<uint8_t> file;
  if (!FileExists(path) || !ReadWholeFile(path, file, kScenarioFileCap)) return;
  ReadScenarioNotes(s, std::move(file));
}

void ReadScenarioNotes(Scenario& s, std::vector<uint8_t> file) {
  if (file.size() <= 500) return;
  if (GetU16(file.data()) != ScenarioVersion || file[2] != 1) return;
  const size_t keyAt = kHeadFixed + sizeof(TScenarioInfo);
  const uint64_t c = GetU32(file.data() + 13);
  if (c < keyAt + kBodyKeySize || c > file.size()) return;
  uint8_t* notes = file.data() + c;
  const size_t n = size_t(file.size() - c);
  XorWithKey(notes, n, file.data() + keyAt, kBodyKeySize);
  s.OtherNotes = SplitNotes(notes, n);
}

void CountLevelsInUse(Scenario& s) {
  int count = 0;
  for (auto& lv : s.Levels) {
    bool used = false;
    for (const auto& col : lv.Cells)
      for (uint8_t code : col) used = used || code > 1;
    lv.InUse = used ? 1 : 0;
    count += used;
  }
  s.Header.LevelsInUse = uint8_t(count);
}

void ComputeLevelSeeds(Scenario& s) {
  s.MapSeed1 = s.MapSeed2 = 0;
  for (int level = 1; level <= LevelCount; ++level) {
    const TLevelRecord& lv = s.Level(level);
    int32_t seedA = 0, seedB = 0;
    for (int x = 1; x <= LevelCells; ++x) {
      const int32_t diag = lv.Cell(x, x), anti = lv.Cell(33 - x, x);
      seedA += diag;
      seedB += anti;
      if (level == 1) {
        s.MapSeed1 += seedA + diag;
        s.MapSeed2 += seedA + anti;
      }
    }
    s.LevelSeeds[size_t(level - 1)] = {seedA, seedB};
  }
}

void BuildTransporterTable(Scenario& s) {
  s.Transporters.clear();
  for (int level = 1; level <= LevelCount; ++level) {
    const TLevelRecord& lv = s.Level(level);
    for (int x = 1; x <= LevelCells; ++x)
      for (int y = 1; y <= LevelCells; ++y) {
        if (lv.Cell(x, y) != BlockTransporterCode) continue;
        if (s.Transporters.size() >= size_t(MaxTransporters)) return;  // the loader refuses more
        const TransporterDestination dest = DecodeTransporterParam(lv.Param(x, y));
        TTransporterLink link;
        link.Column = uint8_t(x);
        link.Row = uint8_t(y);
        link.Level = uint8_t(level);
        link.DestColumn = uint8_t(dest.Column);
        link.DestRow = uint8_t(dest.Row);
        link.DestLevel = uint8_t(dest.Level);
        s.Transporters.push_back(link);
      }
  }
}

void LoadCurrentScenario(Scenario& s, Archive& archive, const ScenarioMessageFn& show) {
  std::vector<uint8_t> stream = archive.ReadItem(BuiltInScenarioName);
  ReadScenarioInfo(stream.data(), stream.size(), s.Info);
  const int result = LoadScenario(s, stream, show);
  if (!FinishScenarioLoad(s, archive, result)) throw FatalMessage(s.FileName + " CRC incorrect.");
}

bool LoadScenarioFile(Scenario& s, Archive& archive, std::vector<uint8_t>& stream, const std::string& fileName,
                      const ScenarioMessageFn& show) {
  TScenarioInfo info;
  if (!ReadScenarioInfo(stream.data(), stream.size(), info)) {
    // A version-1973 file has no info block; it loads (its header names it)
    // with no identity, so no profile record takes its results. Anything
    // else is refused without touching the scenario.
    if (stream.size() < 2 || GetU16(stream.data()) != ScenarioVersionNoInfo) return false;
    info = TScenarioInfo{};
  }
  const TScenarioInfo before = s.Info;
  s.Info = info;
  const int result = LoadScenario(s, stream, show);
  if (result == ScenarioLoaded && GetU16(stream.data()) == ScenarioVersionNoInfo) {
    s.Info.Name = s.Header.Name;
    s.Info.Author = s.Header.Author;
    s.Info.CheckWord = s.Header.CheckWord;
  }
  if (!FinishScenarioLoad(s, archive, result)) {
    s.Info = before;
    return false;
  }
  s.FileName = fileName;
  return true;
}

bool CheckScenarioFile(const std::vector<uint8_t>& bytes, TScenarioInfo& info, std::array<int32_t, 5>& totals) {
  TScenarioInfo read;
  if (!ReadScenarioInfo(bytes.data(), bytes.size(), read)) return false;
  std::vector<uint8_t> copy = bytes;
  auto s = std::make_unique<Scenario>();
  if (LoadScenario(*s, copy) != ScenarioLoaded || !s->CrcCorrect || s->Header.CheckWord != read.CheckWord) return false;
  info = read;
  std::copy(std::begin(s->Header.Totals), std::end(s->Header.Totals), totals.begin());
  return true;
}

std::vector<uint8_t> WriteScenario(const Scenario& s) {
  const ScenarioFileForm& f = s.Form;
  const uint16_t version = f.Version == ScenarioVersionNoInfo ? ScenarioVersionNoInfo : ScenarioVersion;
  const size_t infoSize = InfoSizeOf(version);
  const uint32_t a = uint32_t(kHeadFixed + infoSize + kBodyKeySize);
  const TCompressMode mode = f.UseLzh ? TCompressMode::Good : TCompressMode::Fast;

  // Region 1.
  std::vector<uint8_t> r1;
  ByteWriter w1(r1);
  w1.Bytes(&s.Header, sizeof s.Header);
  std::vector<uint8_t> block(LevelBlockSize);
  std::memcpy(block.data(), s.Levels.data(), kLevelRecordsSize);
  std::memcpy(block.data() + kLevelRecordsSize, s.LevelTail.data(), s.LevelTail.size());
  r1.push_back(f.LevelCoding);
  if (f.LevelCoding == 0) {
    w1.Bytes(block.data(), block.size());
  } else {
    const std::vector<uint8_t> packed = Compress(block.data(), block.size(), mode);
    w1.U32(uint32_t(packed.size()));
    w1.Bytes(packed.data(), packed.size());
  }
  w1.Bytes(&s.Extras, sizeof s.Extras);
  if (s.PuzzlePicture.empty()) {
    r1.push_back(1);
  } else {
    r1.push_back(f.PictureMarker == 1 ? 0 : f.PictureMarker);
    r1.push_back(f.PictureCoding);
    const std::vector<uint8_t> pic =
        f.PictureCoding == 0 ? s.PuzzlePicture : Compress(s.PuzzlePicture.data(), s.PuzzlePicture.size(), mode);
    w1.U32(uint32_t(pic.size()));
    w1.Bytes(pic.data(), pic.size());
  }
  if (s.HasExtraData) {
    r1.push_back(f.ExtraDataMarker == 0 ? 1 : f.ExtraDataMarker);
    w1.U32(uint32_t(s.ExtraData.size()));
    w1.Bytes(s.ExtraData.data(), s.ExtraData.size());
  } else {
    r1.push_back(0);
  }

  // Region 2: the notes, each line ended by CR LF.
  std::vector<uint8_t> r2;
  ByteWriter w2(r2);
  for (const std::string& line : s.Notes) {
    w2.Bytes(line.data(), line.size());
    r2.push_back('\r');
    r2.push_back('\n');
  }

  const uint32_t c = a + uint32_t(r1.size());
  const uint32_t span = std::clamp<uint32_t>(f.HeaderSpan, uint32_t(sizeof(TScenarioHeader)), uint32_t(r1.size()));
  uint16_t crc = Crc16Xmodem(r1.data(), r1.size());
  crc = Crc16Xmodem(r2.data(), r2.size(), crc);

  std::vector<uint8_t> out;
  out.reserve(c + r2.size());
  ByteWriter w(out);
  w.U16(version);
  out.push_back(1);
  w.U16(crc);
  w.U32(a);
  w.U32(a + span);
  w.U32(c);
  w.Bytes(f.InfoKey.data(), kInfoKeySize);
  uint8_t info[sizeof(TScenarioInfo)];
  std::memcpy(info, &s.Info, sizeof info);
  XorWithKey(info, infoSize, f.InfoKey.data(), kInfoKeySize);
  w.Bytes(info, infoSize);
  w.Bytes(f.BodyKey.data(), kBodyKeySize);
  XorWithKey(r1.data(), r1.size(), f.BodyKey.data(), kBodyKeySize);
  XorWithKey(r2.data(), r2.size(), f.BodyKey.data(), kBodyKeySize);
  w.Bytes(r1.data(), r1.size());
  w.Bytes(r2.data(), r2.size());
  return out;
}

// ---------------------------------------------------------------------------
// Scenario list
// ---------------------------------------------------------------------------

TScenarioEntry MakeScenarioEntry(const std::string& fileName, const TScenarioInfo& info) {
  TScenarioEntry e;
  e.FileName = fileName;
  e.Name = info.Name;
  e.Author = info.Author;
  e.Identity = info.Identity;
  return e;
}

ScenarioList BuildScenarioList(Archive& archive, const std::string& scenariosFolder) {
  ScenarioList list;
  TScenarioInfo info;
  // An archive without the built-in scenario lists the folder's alone; start-up
  // then says the built-in one is missing.
  if (archive.HasItem(BuiltInScenarioName)) {
    const std::vector<uint8_t> item = archive.ReadItem(BuiltInScenarioName);
    ReadScenarioInfo(item.data(), item.size(), info);
    TScenarioEntry e = MakeScenarioEntry(BuiltInScenarioName, info);
    // The built-in item is trusted to be whole here (preparing it checks it);
    // its header gives the totals.
    ReadScenarioTotals(item.data(), item.size(), e.Totals);
    list.push_back(e);
  }

  if (scenariosFolder.empty()) return list;
  const std::vector<std::string> names = FindFiles(scenariosFolder, "*.zq");
  const std::string dir = IncludeTrailingSlash(scenariosFolder);
  for (const std::string& name : names) {
    if (SameText(name, BuiltInScenarioName)) {
      std::fprintf(stderr, "gravik: %s%s is left out: the built-in scenario has that name\n", dir.c_str(),
                   name.c_str());
      continue;
    }
    std::vector<uint8_t> file;
    TScenarioInfo fileInfo;
    std::array<int32_t, 5> totals{};
    const bool read = ReadWholeFile(dir + name, file, kScenarioFileCap);
    if (read && CheckScenarioFile(file, fileInfo, totals)) {
      TScenarioEntry e = MakeScenarioEntry(name, fileInfo);
      e.Totals = totals;
      list.push_back(e);
      continue;
    }
    TScenarioEntry e;
    if (read && ReadScenarioInfo(file.data(), file.size(), fileInfo)) {
      e = MakeScenarioEntry(name, fileInfo);
    } else {
      e.FileName = name;
      e.Name.Assign(name);
    }
    e.Damaged = true;
    e.Available = 0;
    list.push_back(e);
  }
  return list;
}

int FindScenarioEntry(const ScenarioList& list, std::string_view fileName) {
  for (size_t i = list.size(); i-- > 0;)
    if (!list[i].Damaged && SameText(list[i].FileName, fileName)) return int(i + 1);
  return 0;
}

int FindScenarioEntryByIdentity(const ScenarioList& list, const ScenarioIdentity& id) {
  for (size_t i = list.size(); i-- > 0;)
    if (!list[i].Damaged && SameIdentity(list[i].Identity, id)) return int(i + 1);
  return 0;
}

std::array<int32_t, 5> FindScenarioOfProfile(Scenario& s, const ScenarioList& list,
                                             const std::optional<ScenarioIdentity>& profileScenario,
                                             const std::string& scenariosFolder) {
  std::array<int32_t, 5> totals;
  if (!profileScenario) {
    totals.fill(99999);
    return totals;
  }
  const int n = FindScenarioEntryByIdentity(list, *profileScenario);
  if (n == 0) throw FatalMessage("Unable to find scenario file in list.");
  const TScenarioEntry& e = list[size_t(n - 1)];
  s.FileName = e.FileName;
  ReadScenarioNotes(s, IncludeTrailingSlash(scenariosFolder) + s.FileName);
  // The chosen scenario's own totals (read when the list was built), not those
  // of whichever scenario is loaded.
  return e.Totals;
}

}  // namespace gravik

// Scenario files (".zq"): the in-memory scenario, its loader and writer, the
// scenario list and the transporter table.
//
// The records below have the exact byte layout of the file, so uninterpreted
// bytes survive a load and a write unchanged.
#pragma once
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gravik {

class Archive;

static_assert(std::endian::native == std::endian::little, "file records are little-endian");

// The built-in scenario: its entry name in the resource archive and its file name.
inline constexpr const char* BuiltInScenarioName = "gravik2.zq";

inline constexpr uint16_t ScenarioVersion = 1974;
inline constexpr uint16_t ScenarioVersionNoInfo = 1973;  // 80-byte info block
inline constexpr uint16_t ScenarioVersionOld = 1971;
inline constexpr int LevelCount = 20;
inline constexpr int LevelCells = 32;            // a level is at most 32 x 32 cells
inline constexpr int MaxTransporters = 4096;
inline constexpr int PuzzleMaxRows = 18;         // piece flags hold 18 rows per column
inline constexpr int PuzzleMaxColumns = 32;      // the widest puzzle the running world holds
inline constexpr uint8_t BlockTransporterCode = 253;
inline constexpr uint8_t BlockPuzzlePieceCode = 255;

// A length byte followed by N 8-bit characters; bytes past the length are kept as read.
template <size_t N>
struct ShortString {
  uint8_t Length = 0;
  char Chars[N] = {};

  std::string Str() const { return std::string(Chars, Length <= N ? Length : N); }
  void Assign(std::string_view s) {
    Length = uint8_t(s.size() < N ? s.size() : N);
    for (size_t i = 0; i < N; ++i) Chars[i] = i < Length ? s[i] : '\0';
  }
};

// Identity of a scenario: two floating-point values; equal when both are equal.
struct ScenarioIdentity {
  double A = 0, B = 0;
};
inline bool SameIdentity(const ScenarioIdentity& x, const ScenarioIdentity& y) {
  return x.A == y.A && x.B == y.B;
}

struct TScenarioInfo {
  ScenarioIdentity Identity;
  ShortString<30> Name;
  ShortString<30> Author;
  uint16_t CheckWord = 0;
  uint8_t Reserved80[8] = {};
};
static_assert(sizeof(TScenarioInfo) == 88);
static_assert(offsetof(TScenarioInfo, Name) == 16 && offsetof(TScenarioInfo, Author) == 47 &&
              offsetof(TScenarioInfo, CheckWord) == 78);

// Scenario totals, in file order.
enum ScenarioTotal { TotalDiamonds, TotalMonsters, TotalTransporters, TotalPuzzlePieces, TotalEarth };

struct TScenarioHeader {
  uint8_t Reserved0[16] = {};
  ShortString<30> Name;
  ShortString<30> Author;
  uint8_t Reserved78[74] = {};
  uint32_t Owner = 0;
  uint16_t CheckWord = 0;
  uint8_t LevelsInUse = 0;  // recomputed by the loader
  uint8_t Reserved159 = 0;
  uint8_t EditFlag = 0;
  uint8_t LockFlag = 0;
  uint8_t KeepGraphics = 0;
  uint8_t Reserved163[5] = {};
  int32_t Totals[5] = {};  // indexed by ScenarioTotal
  uint8_t Reserved188[4] = {};
};
static_assert(sizeof(TScenarioHeader) == 192);
static_assert(offsetof(TScenarioHeader, Owner) == 152 && offsetof(TScenarioHeader, CheckWord) == 156 &&
              offsetof(TScenarioHeader, KeepGraphics) == 162 && offsetof(TScenarioHeader, Totals) == 168);

struct TLevelRecord {
  uint8_t InUse = 0;  // recomputed by the loader
  uint8_t MeteorCount = 0;
  uint8_t Space = 0;
  uint8_t Width = 0;
  uint8_t Height = 0;
  uint8_t NoMap = 0;  // 1: the level has no map view
  uint8_t BlockSet = 1;
  uint8_t Reserved7[5] = {};
  ShortString<10> BorderName;
  uint8_t Cells[LevelCells][LevelCells] = {};  // [X - 1][Y - 1], column-major as in the file
  uint8_t Padding = 0;
  int16_t Params[LevelCells][LevelCells] = {};  // same order as Cells

  // Cell (x, y), both 1..32 (not range-checked).
  uint8_t Cell(int x, int y) const { return Cells[x - 1][y - 1]; }
  void SetCell(int x, int y, uint8_t code) { Cells[x - 1][y - 1] = code; }
  int16_t Param(int x, int y) const { return Params[x - 1][y - 1]; }
  void SetParam(int x, int y, int16_t v) { Params[x - 1][y - 1] = v; }
};
static_assert(sizeof(TLevelRecord) == 3096);
static_assert(offsetof(TLevelRecord, BorderName) == 12 && offsetof(TLevelRecord, Cells) == 23 &&
              offsetof(TLevelRecord, Params) == 1048);

// Destination of a transporter parameter (all 1-based).
struct TransporterDestination {
  int Level = 1, Column = 1, Row = 1;
};
TransporterDestination DecodeTransporterParam(int16_t param);
int16_t EncodeTransporterParam(int level, int column, int row);
// Place of a puzzle piece in the puzzle grid (both counted from 1).
inline int PuzzlePieceColumn(int16_t param) { return (uint16_t(param) >> 5) & 31; }
inline int PuzzlePieceRow(int16_t param) { return uint16_t(param) & 31; }

struct TScenarioExtras {
  uint8_t DefaultPuzzle = 0;  // nonzero: "defaultpuzzle.bmp" with a 10 x 4 grid
  uint8_t Reserved1[3] = {};
  int32_t PuzzlePieces = 0;  // columns x rows, computed at load
  int32_t PuzzleColumns = 0;
  int32_t PuzzleRows = 0;
  uint8_t PieceFlags[7020] = {};  // (column - 1) * 18 + (row - 1)

  uint8_t& PieceFlag(int column, int row) { return PieceFlags[(column - 1) * PuzzleMaxRows + (row - 1)]; }
};
static_assert(sizeof(TScenarioExtras) == 7036);

inline constexpr size_t LevelBlockSize = 65016;  // 20 level records and 3096 kept bytes

struct TTransporterLink {
  uint8_t Used = 0;
  uint8_t Column = 0, Row = 0, Level = 0;
  uint8_t DestColumn = 0, DestRow = 0, DestLevel = 0;
  uint8_t Spare = 0;
};
static_assert(sizeof(TTransporterLink) == 8);

struct LevelSeedPair {
  int32_t A = 0, B = 0;
};

// How the file was (or is to be) laid out: everything the writer needs beyond
// the scenario's contents, so a loaded file can be written again unchanged.
struct ScenarioFileForm {
  uint16_t Version = ScenarioVersion;
  std::array<uint8_t, 16> InfoKey{};
  std::array<uint8_t, 1024> BodyKey{};
  uint32_t HeaderSpan = 192;    // B - A
  uint8_t LevelCoding = 1;      // 0 stored, other compressed (the byte written)
  uint8_t PictureMarker = 0;    // written when a picture follows (never 1)
  uint8_t PictureCoding = 1;    // 0 stored, other compressed
  uint8_t ExtraDataMarker = 1;  // written when extra data follows (never 0)
  bool UseLzh = false;          // compress with "WAXS" instead of "WAXF"
};

// Keys made from a seed (a fixed generator, so a builder's output is repeatable).
void MakeScenarioKeys(ScenarioFileForm& form, uint32_t seed);

// One scenario loaded at a time.
struct Scenario {
  TScenarioHeader Header;
  TScenarioInfo Info;
  std::array<TLevelRecord, LevelCount> Levels{};
  std::array<uint8_t, 3096> LevelTail{};
  TScenarioExtras Extras;
  std::vector<uint8_t> PuzzlePicture;  // a Windows bitmap file image; empty: none yet
  bool HasExtraData = false;
  std::vector<uint8_t> ExtraData;      // kept, never interpreted
  std::vector<std::string> Notes;
  std::vector<std::string> OtherNotes;  // notes of another scenario (ReadScenarioNotes)
  std::string FileName = BuiltInScenarioName;
  bool CrcCorrect = false;
  std::vector<TTransporterLink> Transporters;
  std::array<LevelSeedPair, LevelCount> LevelSeeds{};
  int32_t MapSeed1 = 0, MapSeed2 = 0;
  ScenarioFileForm Form;
  // The in-use bytes and level count as the file held them, before the loader
  // recomputed them (so an editor can write untouched levels back unchanged).
  std::array<uint8_t, LevelCount> StoredInUse{};
  uint8_t StoredLevelsInUse = 0;

  TLevelRecord& Level(int n) { return Levels[size_t(n - 1)]; }  // n = 1..20
  const TLevelRecord& Level(int n) const { return Levels[size_t(n - 1)]; }
};

// Shows a non-fatal message of the loader ("Unable to load old format.", ...).
using ScenarioMessageFn = std::function<void(const std::string&)>;

enum ScenarioLoadResult {
  ScenarioLoaded = 0,
  ScenarioWrongVersion = 1,
  ScenarioWrongMarker = 2,
  ScenarioDamaged = 3,  // structure refused; CRC-correct flag cleared, nothing replaced
};

// Parses a whole scenario file. The bytes from A on are descrambled in place.
// A damaged file (bad offsets, level sizes, transporters, puzzle grid, level
// block) leaves the scenario as it was except for CrcCorrect = false.
int LoadScenario(Scenario& s, std::vector<uint8_t>& stream, const ScenarioMessageFn& show = {});

// Reads the info block of a version-1974 file; false (and `info` untouched) otherwise.
bool ReadScenarioInfo(const uint8_t* data, size_t size, TScenarioInfo& info);
inline bool ReadScenarioInfo(Scenario& s, const std::vector<uint8_t>& stream) {
  return ReadScenarioInfo(stream.data(), stream.size(), s.Info);
}

// Reads the five totals of a version-1974 file's header (offset 168 of the
// header at A, descrambled with the body key); false (and `totals` untouched)
// when the head or offsets do not hold a whole header.
bool ReadScenarioTotals(const uint8_t* data, size_t size, std::array<int32_t, 5>& totals);

// Splits text into lines at CR LF, lone CR or lone LF.
std::vector<std::string> SplitNotes(const uint8_t* data, size_t size);

// Reads the notes of a scenario file on disk into s.OtherNotes; does nothing
// when the file is missing, 500 bytes or shorter, or not a version-1974 file.
void ReadScenarioNotes(Scenario& s, const std::string& path);
// The same for a whole file held in memory (the built-in scenario's item).
void ReadScenarioNotes(Scenario& s, std::vector<uint8_t> file);

// Level in-use bytes and the header's level count.
void CountLevelsInUse(Scenario& s);
// Per-level seeds and the two map seeds.
void ComputeLevelSeeds(Scenario& s);
void BuildTransporterTable(Scenario& s);

// Loads the built-in scenario from the archive (taking and releasing the item),
// applies the default puzzle picture, checks CRC and check words (throwing
// FatalMessage with the file name + " CRC incorrect."), computes the seeds and
// the transporter table. The archive must be open. Reloading graphics according
// to Header.KeepGraphics is the caller's part.
void LoadCurrentScenario(Scenario& s, Archive& archive, const ScenarioMessageFn& show = {});

// Loads a scenario file from disk (its bytes in `stream`) as the built-in one is
// loaded: info, checked load, default puzzle picture from the archive, seeds and
// transporter table; s.FileName becomes `fileName`. False when the file is
// refused (wrong format, damaged structure, CRC or check words): s.Info is then
// as before, the rest of `s` may hold the refused file's levels, so load
// another scenario before playing.
bool LoadScenarioFile(Scenario& s, Archive& archive, std::vector<uint8_t>& stream, const std::string& fileName,
                      const ScenarioMessageFn& show = {});

// The whole checked load of a file (a copy of `bytes` is descrambled): true
// when it is a version-1974 file that loads with a correct CRC and matching
// check words; its info and the header's totals are returned then.
bool CheckScenarioFile(const std::vector<uint8_t>& bytes, TScenarioInfo& info, std::array<int32_t, 5>& totals);

// Builds a complete scenario file from the scenario and s.Form.
std::vector<uint8_t> WriteScenario(const Scenario& s);

// ---------------------------------------------------------------------------
// Scenario list
// ---------------------------------------------------------------------------
struct TScenarioEntry {
  std::string FileName;
  ShortString<30> Name;
  ShortString<30> Author;
  uint8_t Available = 1;
  uint16_t Value1 = 0, Value2 = 255;
  ScenarioIdentity Identity;
  // A file of the folder that failed its checks: listed (Available 0) so the
  // player sees it, never chosen, matched or played.
  bool Damaged = false;
  // The header's five totals (indexed by ScenarioTotal), read with the list.
  std::array<int32_t, 5> Totals{};
};

using ScenarioList = std::vector<TScenarioEntry>;  // entry n is element n - 1

TScenarioEntry MakeScenarioEntry(const std::string& fileName, const TScenarioInfo& info);
// The built-in scenario (from the open archive) then every "*.zq" file of
// `scenariosFolder`, in the order FindFiles gives (names, case ignored). Each
// file goes through the checked load (CheckScenarioFile); one that fails is
// listed as damaged, named by its info block when that can be read, else by its
// file name. A file of the folder with the built-in scenario's file name is
// left out (the built-in one owns that name).
ScenarioList BuildScenarioList(Archive& archive, const std::string& scenariosFolder);
// Last entry whose file name matches, letter case ignored; 0 when none (1-based).
// Damaged entries never match.
int FindScenarioEntry(const ScenarioList& list, std::string_view fileName);
// Last entry with this identity; 0 when none (1-based). Damaged entries never match.
int FindScenarioEntryByIdentity(const ScenarioList& list, const ScenarioIdentity& id);

// Selects the scenario whose identity the profile's current scenario record holds
// (nullopt: the profile has no current scenario) and returns the five totals the
// profile takes: 99999 each without a current scenario, else that entry's
// totals (the header's of the loaded scenario for an entry without them). Sets s.FileName and reads that file's notes from `scenariosFolder`.
// Throws FatalMessage "Unable to find scenario file in list.".
std::array<int32_t, 5> FindScenarioOfProfile(Scenario& s, const ScenarioList& list,
                                             const std::optional<ScenarioIdentity>& profileScenario,
                                             const std::string& scenariosFolder);

}  // namespace gravik

// Player profiles: the ".zqp" files of the Profiles folder, the profile list,
// the current profile record and the best results kept in it.
//
// Names are Windows-1252 in the record and in memory; file names are UTF-8.
// Nothing here reaches the frame: start-up and the screens call these routines;
// the frame's player data moves options between the record and the running game.
#pragma once
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "data/Scenario.h"

namespace gravik {

class RandomGenerator;

inline constexpr uint16_t ProfileMagic = 2025;
inline constexpr uint8_t ProfileMarker = 1;
inline constexpr size_t ProfileKeySize = 1024;
inline constexpr size_t ProfileNameOffset = 3;
inline constexpr size_t ProfileKeyOffset = 24;
inline constexpr size_t ProfileScrambledOffset = 1048;  // storage flag, length, payload
inline constexpr size_t ProfilePayloadOffset = 1053;
inline constexpr size_t ProfileMinListedSize = 501;  // ReadProfileHeader: longer than 500 bytes
inline constexpr int MaxProfiles = 100;
inline constexpr int MaxScenarioRecords = 10000;
inline constexpr int ProfileNameLength = 20;
inline constexpr int ProfileFileNameChars = 30;
inline constexpr int32_t NoScenarioTotal = 99999;
inline constexpr int MaxProfileLevel = 20;

// One bound action as stored: enabled, a byte not interpreted, the key code.
struct TProfileKey {
  uint8_t Enabled = 0;
  uint8_t Reserved = 0;
  uint16_t Key = 0;
};
static_assert(sizeof(TProfileKey) == 4);

// Per-scenario results.
struct TScenarioRecord {
  ScenarioIdentity Identity;
  int32_t HighScore = 0;
  int32_t Cleared = 0;      // zero when added; not used by the game
  uint32_t BestTime = 0;    // whole seconds of play; 0 = none yet
  int32_t Reserved = 0;
};
static_assert(sizeof(TScenarioRecord) == 32);

// The current profile in memory and the payload of its file, byte for byte.
struct TProfileRecord {
  ShortString<3> Version;          // "1.3"
  uint8_t Reserved4[7] = {};
  ShortString<2> FormatStamp;      // "42"; any other value is refused on load
  uint8_t Reserved14[253] = {};
  uint8_t LayoutFlag = 0;          // PanelShown
  uint8_t SoundOn = 0;
  uint8_t Windowed = 0;            // 1 window, 0 full screen
  uint8_t MusicOn = 0;
  uint8_t Reserved271 = 0;
  int32_t SoundLevel = 0;          // 1..20
  int32_t MusicLevel = 0;          // 1..20
  int32_t ScenarioCount = 0;       // 0..10000
  int32_t CurrentScenario = 0;     // 1-based record index, 0 = none
  int32_t GraphicsVariant = 0;
  uint8_t JoystickEnabled = 0;
  uint8_t Reserved293 = 0;
  uint8_t JoystickSettings[3] = {};
  uint8_t Reserved297 = 0;
  TProfileKey Keys[7] = {};        // slots 1..7
  uint8_t Reserved326[10] = {};
  uint8_t Reserved336[12] = {};
  int32_t ScenarioTotals[5] = {};  // of the current scenario, indexed by ScenarioTotal
  TScenarioRecord Records[MaxScenarioRecords] = {};

  // Record n = 1..MaxScenarioRecords (not range-checked).
  TScenarioRecord& Record(int n) { return Records[n - 1]; }
  const TScenarioRecord& Record(int n) const { return Records[n - 1]; }
};
static_assert(std::endian::native == std::endian::little, "profile records are little-endian");
static_assert(std::is_trivially_copyable_v<TProfileRecord>);
static_assert(sizeof(TProfileRecord) == 320368);
static_assert(offsetof(TProfileRecord, FormatStamp) == 11 && offsetof(TProfileRecord, Reserved14) == 14 &&
              offsetof(TProfileRecord, LayoutFlag) == 267 && offsetof(TProfileRecord, SoundOn) == 268 &&
              offsetof(TProfileRecord, Windowed) == 269 && offsetof(TProfileRecord, MusicOn) == 270 &&
              offsetof(TProfileRecord, SoundLevel) == 272 && offsetof(TProfileRecord, MusicLevel) == 276 &&
              offsetof(TProfileRecord, ScenarioCount) == 280 &&
              offsetof(TProfileRecord, CurrentScenario) == 284 &&
              offsetof(TProfileRecord, GraphicsVariant) == 288 &&
              offsetof(TProfileRecord, JoystickEnabled) == 292 &&
              offsetof(TProfileRecord, JoystickSettings) == 294 && offsetof(TProfileRecord, Keys) == 298 &&
              offsetof(TProfileRecord, Reserved326) == 326 && offsetof(TProfileRecord, Reserved336) == 336 &&
              offsetof(TProfileRecord, ScenarioTotals) == 348 && offsetof(TProfileRecord, Records) == 368);

// One entry of the profile list.
struct TProfileEntry {
  std::string PlayerName;  // Windows-1252, at most 20 characters
  std::string FileName;    // UTF-8, without folder
};

// The profile list, the current player and the current profile record.
struct ProfileState {
  ProfileState();
  std::string Folder;                     // the Profiles folder
  std::vector<TProfileEntry> List;        // at most MaxProfiles entries; entry n is List[n - 1]
  std::string CurrentName;                // current player name (Windows-1252)
  std::string CurrentFile;                // current profile file name in Folder
  std::unique_ptr<TProfileRecord> Record; // never null
  std::array<uint8_t, ProfileKeySize> Key{};  // key of the current file as last read or written
  uint32_t SavesMade = 0;                 // files written by SaveProfile (for checks after saves)
  // The window key was held at start-up: every load sets the windowed flag.
  bool ForceWindow = false;

  std::string CurrentPath() const;  // Folder + CurrentFile
};

// What a load (or activation) came to. `Message` is the game's text for a refusal.
struct ProfileResult {
  bool Ok = true;
  std::string Message;
  explicit operator bool() const { return Ok; }
};

inline constexpr const char* ProfileInvalidText = "Profile file invalid.";
inline constexpr const char* ProfileStampText = "Invalid profile file.";
// Shown as a timed notice when a save did not reach the disk.
inline constexpr const char* ProfileSaveFailedText = "Unable to save profile.";

// ---------------------------------------------------------------------------
// The file format, in memory
// ---------------------------------------------------------------------------

// A decoded profile file.
struct DecodedProfile {
  std::string PlayerName;  // as stored (Windows-1252, at most 20 characters)
  std::array<uint8_t, ProfileKeySize> Key{};
  std::unique_ptr<TProfileRecord> Record;  // set when decoding succeeded
};

// Builds a whole ".zqp" file: the record compressed in Fast mode ("WAXF"), or
// stored when that is not shorter, scrambled with `key`, followed by a
// check block (a tag and a CRC, scrambled too) that the reader verifies. The
// name is cut to 20 characters.
std::vector<uint8_t> EncodeProfileFile(const std::string& playerName, const TProfileRecord& record,
                                       const std::array<uint8_t, ProfileKeySize>& key);
// Reads a ".zqp" file. Refused with "Profile file invalid." when anything does
// not fit: magic or marker, a storage flag other than 0 or 1, a payload that
// runs past the end or does not give a whole record, bytes after the payload
// other than an intact check block. Files without a check block (written by
// earlier versions) are accepted unchecked. A record with another format stamp
// is "Invalid profile file.". On success the record is clamped as a loaded
// profile is (record count, current index, sound and music levels).
ProfileResult DecodeProfileFile(const uint8_t* data, size_t size, DecodedProfile& out);

// ---------------------------------------------------------------------------
// The profiles folder
// ---------------------------------------------------------------------------

// The player name of a listable profile file: it exists, is longer than 500
// bytes and has magic 2025 and marker 1. Control characters of the stored name
// are dropped.
std::optional<std::string> ReadProfileHeader(const std::string& path);

// Rebuilds the list from every "*.zqp" file of p.Folder (names sorted without
// regard to case, names beginning with "." included). At most 100 entries; a
// further file replaces entry 100.
void BuildProfileList(ProfileState& p);

// Writes a whole file; the default is WriteWholeFileAtomic. Tests pass their own.
using ProfileFileWriter = std::function<bool(const std::string& path, const void* data, size_t size)>;

// Saves the current profile as p.CurrentFile in p.Folder, atomically, under a
// fresh key drawn from `random` (every key byte differs from the previous
// key's). False when there is no current file or the write failed: the old
// file is then as it was, and the game shows ProfileSaveFailedText.
bool SaveProfile(ProfileState& p, RandomGenerator& random);
// As above through `writer`; an empty writer throws std::invalid_argument.
bool SaveProfile(ProfileState& p, RandomGenerator& random, const ProfileFileWriter& writer);

// Loads p.CurrentFile of p.Folder into p.Record (and p.CurrentName, p.Key).
// `forceWindow` or p.ForceWindow (the window key held at start-up) sets the
// windowed flag. A
// refused file leaves the state exactly as it was. The caller then writes the
// settings store (WriteRegistrySettings) and applies the options.
ProfileResult LoadProfile(ProfileState& p, bool forceWindow = false);

// The file name a new profile gets: the trimmed name cut to 30 characters,
// made safe for a file name ('/', '\' and control characters become '_'),
// in UTF-8, plus ".zqp"; "~2", "~3", ... before ".zqp" when that name is held
// by any file of the folder or any list entry.
std::string NewProfileFileName(const ProfileState& p, const std::string& name);

// The defaults of a new profile.
void SetNewProfileDefaults(TProfileRecord& r, bool windowed, int keyboardMode);

// Creates a profile for `name` (trimmed, control characters dropped, at most
// 20 characters kept), appends it to the list, makes it current and saves it. Throws FatalMessage
// "Too many profiles." with 100 listed, std::invalid_argument for a name that
// trims to nothing. Returns the save's result: on false the profile is current
// and listed but its file was not written (a later save may still write it).
bool CreateProfile(ProfileState& p, const std::string& name, bool windowed, int keyboardMode,
                   RandomGenerator& random);

// Deletes profile `index` (1-based) and rebuilds the list. Throws FatalMessage
// "Illegal profile delete." for an index outside 1..count and
// "Unable to find " + path + " to erase." when its file is missing. Returns
// false when the file could not be removed.
bool DeleteProfile(ProfileState& p, int index);

// ---------------------------------------------------------------------------
// Scenario records
// ---------------------------------------------------------------------------

// The current scenario record; null when there is none.
TScenarioRecord* CurrentScenarioRecord(TProfileRecord& r);
const TScenarioRecord* CurrentScenarioRecord(const TProfileRecord& r);
std::optional<ScenarioIdentity> CurrentScenarioIdentity(const TProfileRecord& r);
// The first record with this identity; 0 when none.
int FindScenarioRecord(const TProfileRecord& r, const ScenarioIdentity& id);
// The five totals of the current scenario (diamonds, monsters, transporters,
// puzzle pieces, earth; 99999 each without one), for the completion percentage.
std::array<int32_t, 5> CurrentScenarioTotals(const TProfileRecord& r);
void SetCurrentScenarioTotals(TProfileRecord& r, const std::array<int32_t, 5>& totals);

// Appends a record for the scenario list entry of `fileName` (letter case
// ignored) and returns its index. Throws FatalMessage "Unable to find " +
// scenarios folder + "/" + file name when the list has no such entry. A full
// table first loses the records of scenarios missing from the list; when that
// frees nothing, the oldest record other than the current one goes. The
// current index follows its record (0 when its record was removed).
int AddScenarioRecord(TProfileRecord& r, const ScenarioList& list, const std::string& fileName,
                      const std::string& scenariosFolder);

// What ActivateProfile found, for display.
struct ActivateResult : ProfileResult {
  bool Loaded = false;
  std::string ScenarioName, ScenarioAuthor;
};

// Makes the current player name's profile current and chooses its scenario:
// loads it when `load` is set (a refused file is returned, and the profile
// current before the call stays current, record, file and name; with none
// before, as at start-up, nothing is current),
// gives it a current scenario record (the built-in scenario's when it has none
// or its scenario is not in the list), and selects that scenario in `scenario`
// (FindScenarioOfProfile), storing its totals in the record. Throws
// FatalMessage "Profile not set.", "Unable to match profile name with file.",
// "Unable to to locate " + name, "Unable to match scenario." and what
// AddScenarioRecord and FindScenarioOfProfile throw. Without a matching list
// entry the first entry and its player name become current.
ActivateResult ActivateProfile(ProfileState& p, const ScenarioList& list, Scenario& scenario,
                               const std::string& scenariosFolder, bool load, bool forceWindow = false);

// ---------------------------------------------------------------------------
// Results
// ---------------------------------------------------------------------------

struct GameResultUpdate {
  bool NewBestScore = false;
  int32_t PreviousBest = 0;  // the best score before this game
  bool NewBestTime = false;
  bool Changed() const { return NewBestScore || NewBestTime; }
};
// The end of a game on scenario record `scenarioIndex`: a score above the
// record's highest replaces it; at completion a time below the best time (or
// any time when there is none) replaces it. Save the profile when Changed().
// An index without a record changes nothing.
GameResultUpdate RecordGameResult(TProfileRecord& r, int scenarioIndex, int32_t score, uint32_t seconds,
                                  bool completed);

}  // namespace gravik

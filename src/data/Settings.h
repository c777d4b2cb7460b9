// Machine settings: values of the per-user settings store and the "gravik.ini"
// text file of the documents folder. A player's own options live in the profile.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace gravik {

class SettingsStore;
struct ProfileState;

// ---------------------------------------------------------------------------
// Settings store
// ---------------------------------------------------------------------------

inline constexpr const char* SettingProfile = "Profile";        // string
inline constexpr const char* SettingFullscreen = "Fullscreen";  // boolean (0/1)
inline constexpr const char* SettingMusicOff = "musicoff";      // presence only
inline constexpr const char* SettingSoundOff = "soundoff";      // presence only
inline constexpr const char* SettingAfsOff = "afsoff";          // presence only

struct RegistrySettings {
  std::string LastPlayer;  // Windows-1252; empty when absent
  bool FullScreen = false; // absent: windowed
  bool MusicOff = false;
  bool SoundOff = false;
  bool AfsOff = false;     // frame-time averaging off
};

// Reads the five values; absent values keep the defaults above. The player
// name is kept in the store as UTF-8.
RegistrySettings ReadRegistrySettings(SettingsStore& store);
// Writes "Profile" (the player name) and "Fullscreen" (true when the windowed
// flag is 0). A store that cannot save keeps the old file (FileSettingsStore).
void WriteRegistrySettings(SettingsStore& store, const std::string& playerName, bool windowedFlag);
// The current player name and the current profile's windowed flag.
void WriteRegistrySettings(SettingsStore& store, const ProfileState& profile);

// ---------------------------------------------------------------------------
// "gravik.ini"
// ---------------------------------------------------------------------------

inline constexpr const char* IniFileName = "gravik.ini";

struct IniSettings {
  bool SoundOff = false;  // "Sound" value "off"
  bool MusicOff = false;  // "Music" value "off"
  bool AltMode = false;   // "Altmode" value "on": the alternative display mode
  int KeyboardMode = 0;   // "Kbi" value "1": 1, otherwise 0
};

// The documents folder + "gravik.ini".
std::string IniPath(const std::string& documentsFolder);

// Lines as the game reads them: split at CR LF, lone LF or lone CR; a final
// line break ends the last line rather than starting an empty one.
std::vector<std::string> SplitIniLines(std::string_view text);

// A key is present when any line contains its name (letter case ignored,
// anywhere in the line); its value is the last such line, lower-cased and
// trimmed, less its first (name length + 1) characters. A line holding only
// the name has an empty value.
IniSettings ParseIniSettings(std::string_view text);
// Reads the file; a missing or unreadable file gives the defaults.
IniSettings ReadIniSettings(const std::string& path);
// The text with the last line containing "kbi=" (letter case ignored)
// replaced by "kbi=0" or "kbi=1", or that line appended when there is none.
// Every other line is kept as it was; the file's line break (CR LF or LF) is
// kept, and every line ends with one.
std::string WithKeyboardMode(std::string_view text, int mode);
// Stores the keyboard mode in the file, atomically. False when it could not be
// written, or when a file is there but cannot be read (it is then left alone
// rather than replaced by a single line). The game ignores a failure.
bool SaveKeyboardMode(const std::string& path, int mode);

}  // namespace gravik

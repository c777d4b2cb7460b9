// Where the game's files live on this machine. When GRAVIK_HOME is set every
// per-user folder is placed under it (as if it were $HOME with no XDG variables
// set), so tests never touch a real home.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gravik {

class Folders {
 public:
  // Reads the environment once. The program folder comes from /proc/self/exe;
  // `exePath` (argv[0]) is used when that cannot be read.
  explicit Folders(const std::string& exePath = "");

  // Folders below are returned without a trailing slash unless noted.
  const std::string& Home() const { return home_; }  // $GRAVIK_HOME or $HOME
  bool UnderGravikHome() const { return underGravikHome_; }
  std::string Documents() const;  // $XDG_DOCUMENTS_DIR / user-dirs.dirs / ~/Documents
  std::string AppData() const;    // $XDG_DATA_HOME or ~/.local/share
  std::string Config() const;     // $XDG_CONFIG_HOME or ~/.config
  // Ends with '/'; empty when there is none. Under GRAVIK_HOME it is
  // $GRAVIK_HOME/tmp/, created when first asked for.
  std::string Temp() const;
  const std::string& ProgramFolder() const { return programFolder_; }  // ends with '/'
  // Ends with '/': <prefix>/share/gravik2/ beside a <prefix>/bin/ or
  // <prefix>/games/ program folder when that exists, else GRAVIK_INSTALL_DATADIR (the configured
  // install prefix's data folder, set by the build) when it exists, else
  // /usr/local/share/gravik2/ or /usr/share/gravik2/ (the first that exists;
  // /usr/local/... when none does).
  std::string InstallDataFolder() const;
  // Folder of the single-instance lock: $GRAVIK_HOME, else $XDG_RUNTIME_DIR, else /tmp.
  std::string LockDir() const;
  // The per-user settings store file: <Config>/Vantorix/Gravik 2/settings.conf.
  std::string SettingsStoreFile() const;
  // Free bytes for an unprivileged user on the file system holding `path` (or its
  // nearest existing parent); UINT64_MAX when unknown.
  static uint64_t FreeSpace(const std::string& path);
  // The free bytes start-up checks: FreeSpace of the current folder, or a fixed
  // figure once one is set (tests of the low-disk refusal).
  uint64_t FreeSpaceHere() const { return freeSpaceFixed_ ? freeSpace_ : FreeSpace("."); }
  void FixFreeSpace(uint64_t bytes) {
    freeSpaceFixed_ = true;
    freeSpace_ = bytes;
  }

 private:
  bool freeSpaceFixed_ = false;
  uint64_t freeSpace_ = 0;
  std::string home_;
  bool underGravikHome_ = false;
  std::string programFolder_;
  std::string documents_, appData_, config_, temp_, lockDir_;
};

// Folder names below the per-user folders.
inline constexpr const char* MakerFolderName = "Vantorix";
inline constexpr const char* ProductFolderName = "Gravik 2";
inline constexpr const char* EditionFolderName = "Linux Edition";

// AppData/Vantorix/Gravik 2/<edition>/ and Documents/Vantorix/Gravik 2/<edition>/.
std::string DataFolder(const Folders& folders);
std::string DocumentsFolder(const Folders& folders);
// The folders the archive (and the music file) are looked for in, in order:
// current folder (""), data folder, program folder, install data folder.
std::vector<std::string> ArchiveSearchFolders(const Folders& folders);
// The first folder of `folders` holding `fileName`; false when none does.
bool FindDataFile(const std::vector<std::string>& folders, const std::string& fileName, std::string& folder);

// $GRAVIK_HOME made absolute (a relative value is taken from the current
// folder), without a trailing slash; empty when unset.
std::string GravikHomeFromEnv();

// Plain file helpers. Paths are byte strings (UTF-8 on this system).
bool FileExists(const std::string& path);       // a regular file (symlinks followed)
bool DirectoryExists(const std::string& path);
bool CreateDirectory(const std::string& path);  // one level; true when it exists afterwards
bool CreateDirectories(const std::string& path);
// Reads the whole file. False when it cannot be opened or read, is not a regular
// file, or holds more than `maxBytes` bytes (out is then empty).
constexpr size_t kNoSizeLimit = SIZE_MAX;
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out,
                   size_t maxBytes = kNoSizeLimit);
// Atomic save: temporary file in the same folder, flushed to disk, renamed over
// the old one. On any failure the old file is left as it was and false returned.
// The temporary file is named path + ".tmp" + six letters or digits.
bool WriteWholeFileAtomic(const std::string& path, const void* data, size_t size);
inline constexpr const char* kAtomicTempInfix = ".tmp";
// Removes from `dir` what saves killed mid-write leave behind: regular files
// named by `prefixPattern` ('*'/'?', letter case ignored) followed by exactly
// six letters or digits (the unique part mkstemp adds), last changed at least
// `minAgeSeconds` ago (a save under way elsewhere keeps its file). Returns how
// many were removed.
int RemoveSaveLeftovers(const std::string& dir, const std::string& prefixPattern, int minAgeSeconds);
bool DeleteFile(const std::string& path);
// Names (not paths) of the regular files in `dir` matching a '*'/'?' pattern,
// letter case ignored (ASCII); names beginning with '.' are included. Sorted
// without regard to case.
std::vector<std::string> FindFiles(const std::string& dir, const std::string& pattern);
// '*' matches any run of bytes, '?' exactly one; ASCII letter case ignored.
bool MatchesWildcard(const std::string& name, const std::string& pattern);
std::string IncludeTrailingSlash(const std::string& dir);
std::string ExtractFileName(const std::string& path);  // after the last '/' or '\'
std::string ExtractFileDir(const std::string& path);   // before the last '/', no slash

}  // namespace gravik

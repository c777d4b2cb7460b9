// Where the game's files live on this machine. When GRAVIK_HOME is set every
// per-user folder is placed under it, so tests never touch a real home.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace gravik {

class Folders {
 public:
  // Reads the environment once. `exePath` is argv[0] or /proc/self/exe.
  explicit Folders(const std::string& exePath = "");

  const std::string& Home() const { return home_; }          // $GRAVIK_HOME or $HOME
  std::string Documents() const;       // $XDG_DOCUMENTS_DIR / user-dirs.dirs / ~/Documents
  std::string AppData() const;         // $XDG_DATA_HOME or ~/.local/share
  std::string Config() const;          // $XDG_CONFIG_HOME or ~/.config
  std::string Temp() const;            // ends with '/', or empty
  const std::string& ProgramFolder() const { return programFolder_; }  // ends with '/'
  std::string InstallDataFolder() const;  // e.g. /usr/local/share/gravik2/
  std::string LockDir() const;
  // Free bytes on the drive of `path` (max value when unknown).
  static uint64_t FreeSpace(const std::string& path);

 private:
  std::string home_;
  bool underGravikHome_ = false;
  std::string programFolder_;
};

// Plain file helpers.
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
bool CreateDirectory(const std::string& path);  // one level; true when it exists afterwards
bool CreateDirectories(const std::string& path);
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out);
// Atomic save: temporary file in the same folder, flushed, renamed over the old one.
bool WriteWholeFileAtomic(const std::string& path, const void* data, size_t size);
bool DeleteFile(const std::string& path);
// File names (not paths) in `dir` matching a '*'/'?' pattern, letter case ignored.
std::vector<std::string> FindFiles(const std::string& dir, const std::string& pattern);
std::string IncludeTrailingSlash(const std::string& dir);

}  // namespace gravik

// The per-user settings store (named values of a key), kept as a small
// key=value file under the config folder.
#pragma once
#include <map>
#include <string>

namespace gravik {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual bool ValueExists(const std::string& name) = 0;
  virtual std::string ReadString(const std::string& name) = 0;
  virtual int ReadInteger(const std::string& name) = 0;
  virtual bool ReadBool(const std::string& name) = 0;
  virtual void WriteString(const std::string& name, const std::string& value) = 0;
  virtual void WriteInteger(const std::string& name, int value) = 0;
  virtual void WriteBool(const std::string& name, bool value) = 0;
  virtual void DeleteValue(const std::string& name) = 0;
};

// File-backed store: one "name=value" line per value (a line holding only a name
// is a value with empty text; lines without a usable name are ignored). Names
// are matched without regard to letter case, as registry value names are.
// Backslash, CR and LF in values are written as \\, \r and \n. Every write is
// saved atomically (the folder is created when needed); a failed save keeps the
// value in memory and leaves the file as it was. A file that is there but
// cannot be read whole (unreadable, or over 1 MiB) is renamed to the path +
// ".unreadable" (then "-2", "-3", ...) with a line on stderr, and the values
// start empty; when it cannot be moved, or is not a plain file, nothing is
// saved this run.
class FileSettingsStore : public SettingsStore {
 public:
  static constexpr const char* kUnreadableSuffix = ".unreadable";
  explicit FileSettingsStore(std::string path);
  bool ValueExists(const std::string& name) override;
  std::string ReadString(const std::string& name) override;
  int ReadInteger(const std::string& name) override;
  bool ReadBool(const std::string& name) override;
  void WriteString(const std::string& name, const std::string& value) override;
  void WriteInteger(const std::string& name, int value) override;
  void WriteBool(const std::string& name, bool value) override;
  void DeleteValue(const std::string& name) override;
  const std::string& Path() const { return path_; }
  bool LastSaveFailed() const { return lastSaveFailed_; }

 private:
  struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  void Load();
  void KeepUnreadableAside();
  bool Save();
  std::string path_;
  std::map<std::string, std::string, NoCase> values_;
  bool lastSaveFailed_ = false;
  bool savesOff_ = false;
};

}  // namespace gravik

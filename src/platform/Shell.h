// Message boxes and the single-instance lock.
#pragma once
#include <string>

namespace gravik {

class Shell {
 public:
  virtual ~Shell() = default;
  // Modal error box with an OK button; the same text always goes to stderr.
  virtual void ShowError(const std::string& title, const std::string& text) = 0;
  virtual void ShowInfo(const std::string& title, const std::string& text) = 0;
};

// Single-instance lock: flock on <dir>/<UPPERCASE NAME>.lock, dir = $GRAVIK_HOME,
// else $XDG_RUNTIME_DIR, else /tmp. Released when the object is destroyed.
class InstanceLock {
 public:
  // `exeName` is the executable's file name (folder stripped here); its letter
  // case does not matter.
  explicit InstanceLock(const std::string& exeName);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  bool Acquired() const { return fd_ >= 0; }
  // True when another process holds the lock (as opposed to the lock file being
  // impossible to create).
  bool HeldElsewhere() const { return heldElsewhere_; }
  const std::string& Path() const { return path_; }
  // The lock file name for an executable name: folder stripped, upper-cased.
  static std::string LockFileName(const std::string& exeName);

 private:
  int fd_ = -1;
  bool heldElsewhere_ = false;
  std::string path_;
};

}  // namespace gravik

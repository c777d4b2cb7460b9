#include "platform/Shell.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "base/Text.h"
#include "platform/Folders.h"

namespace gravik {

std::string InstanceLock::LockFileName(const std::string& exeName) {
  std::string name = UpperCase(ExtractFileName(exeName));
  if (name.empty() || name == "." || name == "..") name = "GRAVIK";
  return name + ".lock";
}

InstanceLock::InstanceLock(const std::string& exeName) {
  std::string dir = GravikHomeFromEnv();
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (!dir.empty()) {
    CreateDirectories(dir);
  } else if (runtime && runtime[0] == '/' && DirectoryExists(runtime)) {
    dir = runtime;
  } else {
    dir = "/tmp";
  }
  path_ = IncludeTrailingSlash(dir) + LockFileName(exeName);
  // O_NOFOLLOW: a planted symlink in a shared folder must not redirect us.
  int fd = open(path_.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return;
  int r;
  do {
    r = flock(fd, LOCK_EX | LOCK_NB);
  } while (r != 0 && errno == EINTR);
  if (r != 0) {
    heldElsewhere_ = errno == EWOULDBLOCK;
    close(fd);
    return;
  }
  fd_ = fd;
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) {
    flock(fd_, LOCK_UN);
    close(fd_);
  }
}

}  // namespace gravik

#include "platform/Folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "base/Text.h"

namespace gravik {

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

std::string StripTrailingSlashes(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

// Absolute $VAR value, or empty: relative XDG values are to be ignored.
std::string AbsoluteEnv(const char* name) {
  std::string v = Env(name);
  if (v.empty() || v[0] != '/') return std::string();
  return StripTrailingSlashes(v);
}

// XDG_DOCUMENTS_DIR from <config>/user-dirs.dirs: a line XDG_DOCUMENTS_DIR="$HOME/x"
// or XDG_DOCUMENTS_DIR="/abs/path". Empty when absent or unusable.
std::string DocumentsFromUserDirs(const std::string& config, const std::string& home) {
  std::vector<uint8_t> raw;
  if (!ReadWholeFile(config + "/user-dirs.dirs", raw, 64 * 1024)) return std::string();
  std::string text(raw.begin(), raw.end());
  std::string result;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = Trim(std::string_view(text).substr(pos, end - pos));
    pos = end + 1;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    if (line.compare(0, key.size(), key) != 0) continue;
    std::string v = line.substr(key.size());
    if (v.size() < 2 || v.front() != '"' || v.back() != '"') continue;
    v = v.substr(1, v.size() - 2);
    if (v.compare(0, 5, "$HOME") == 0 && (v.size() == 5 || v[5] == '/')) {
      v = home + v.substr(5);
    } else if (v.empty() || v[0] != '/') {
      continue;
    }
    if (v.find('\0') != std::string::npos) continue;
    result = StripTrailingSlashes(v);  // the last valid line wins, as in the shell
  }
  return result;
}

std::string ReadExeLink() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return std::string();
  return std::string(buf, size_t(n));
}

}  // namespace

std::string GravikHomeFromEnv() {
  std::string v = Env("GRAVIK_HOME");
  if (v.empty()) return v;
  if (v[0] != '/') {
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return std::string();
    v = IncludeTrailingSlash(cwd) + v;
  }
  return StripTrailingSlashes(v);
}

Folders::Folders(const std::string& exePath) {
  const std::string gravikHome = GravikHomeFromEnv();
  if (!gravikHome.empty()) {
    underGravikHome_ = true;
    home_ = gravikHome;
    config_ = home_ + "/.config";
    appData_ = home_ + "/.local/share";
    documents_ = DocumentsFromUserDirs(config_, home_);
    if (documents_.empty()) documents_ = home_ + "/Documents";
    temp_ = home_ + "/tmp/";
    lockDir_ = home_;
  } else {
    home_ = AbsoluteEnv("HOME");
    if (home_.empty()) home_ = "/tmp";
    config_ = AbsoluteEnv("XDG_CONFIG_HOME");
    if (config_.empty()) config_ = home_ + "/.config";
    appData_ = AbsoluteEnv("XDG_DATA_HOME");
    if (appData_.empty()) appData_ = home_ + "/.local/share";
    documents_ = AbsoluteEnv("XDG_DOCUMENTS_DIR");
    if (documents_.empty()) documents_ = DocumentsFromUserDirs(config_, home_);
    if (documents_.empty()) documents_ = home_ + "/Documents";
    std::string tmp = AbsoluteEnv("TMPDIR");
    if (tmp.empty() || !DirectoryExists(tmp)) tmp = "/tmp";
    temp_ = DirectoryExists(tmp) ? IncludeTrailingSlash(tmp) : std::string();
    lockDir_ = AbsoluteEnv("XDG_RUNTIME_DIR");
    if (lockDir_.empty() || !DirectoryExists(lockDir_)) lockDir_ = "/tmp";
  }

  std::string exe = ReadExeLink();
  if (exe.empty() && !exePath.empty()) {
    char resolved[PATH_MAX];
    exe = realpath(exePath.c_str(), resolved) ? std::string(resolved) : exePath;
  }
  std::string dir = ExtractFileDir(exe);
  if (dir.empty()) {
    char cwd[PATH_MAX];
    dir = getcwd(cwd, sizeof cwd) ? std::string(cwd) : std::string(".");
  }
  programFolder_ = IncludeTrailingSlash(dir);
}

std::string Folders::Documents() const { return documents_; }
std::string Folders::AppData() const { return appData_; }
std::string Folders::Config() const { return config_; }

std::string Folders::Temp() const {
  if (underGravikHome_ && !temp_.empty()) CreateDirectories(temp_);
  return temp_;
}

std::string Folders::InstallDataFolder() const {
  // Beside the program first: <prefix>/bin/gravik (or <prefix>/games/gravik,
  // where Debian puts games) with its data in <prefix>/share/gravik2/,
  // wherever the tree was installed or moved to (a staged DESTDIR install or
  // a package unpacked into another root included).
  std::string prog = StripTrailingSlashes(programFolder_);
  const std::string progDir = ExtractFileName(prog);
  if (progDir == "bin" || progDir == "games") {
    std::string candidate = ExtractFileDir(prog) + "/share/gravik2/";
    if (DirectoryExists(candidate)) return candidate;
  }
#ifdef GRAVIK_INSTALL_DATADIR
  // The data folder of the install prefix the build was configured for.
  if (DirectoryExists(GRAVIK_INSTALL_DATADIR)) return IncludeTrailingSlash(GRAVIK_INSTALL_DATADIR);
#endif
  for (const char* c : {"/usr/local/share/gravik2/", "/usr/share/gravik2/"}) {
    if (DirectoryExists(c)) return c;
  }
  return "/usr/local/share/gravik2/";
}

std::string Folders::LockDir() const { return lockDir_; }

std::string Folders::SettingsStoreFile() const {
  return config_ + "/Vantorix/Gravik 2/settings.conf";
}

uint64_t Folders::FreeSpace(const std::string& path) {
  std::string p = path.empty() ? std::string(".") : path;
  for (int guard = 0; guard < 256; ++guard) {
    struct statvfs sv;
    if (statvfs(p.c_str(), &sv) == 0) {
      return uint64_t(sv.f_bavail) * uint64_t(sv.f_frsize ? sv.f_frsize : sv.f_bsize);
    }
    if (errno != ENOENT && errno != ENOTDIR) break;
    std::string parent = ExtractFileDir(StripTrailingSlashes(p));
    if (parent.empty()) parent = p[0] == '/' ? "/" : ".";
    if (parent == p) break;
    p = parent;
  }
  return UINT64_MAX;
}

// ---------------------------------------------------------------------------

bool FileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDirectory(const std::string& path) {
  if (path.empty()) return false;
  if (mkdir(path.c_str(), 0755) == 0) return true;
  return DirectoryExists(path);
}

bool CreateDirectories(const std::string& path) {
  std::string p = StripTrailingSlashes(path);
  if (p.empty()) return false;
  if (DirectoryExists(p)) return true;
  std::string parent = ExtractFileDir(p);
  if (!parent.empty() && parent != p && !CreateDirectories(parent)) return false;
  return CreateDirectory(p);
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, size_t maxBytes) {
  out.clear();
  // O_NONBLOCK: opening a FIFO planted under a data file's name must not hang.
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || uint64_t(st.st_size) > maxBytes) {
    close(fd);
    return false;
  }
  out.reserve(size_t(st.st_size));
  // Read to the end rather than trusting the size: the file may change under us.
  uint8_t buf[65536];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      close(fd);
      out.clear();
      return false;
    }
    if (n == 0) break;
    if (out.size() + size_t(n) > maxBytes) {
      close(fd);
      out.clear();
      return false;
    }
    out.insert(out.end(), buf, buf + n);
  }
  close(fd);
  return true;
}

bool WriteWholeFileAtomic(const std::string& path, const void* data, size_t size) {
  if (path.empty() || path.back() == '/') return false;
  std::string dir = ExtractFileDir(path);
  std::string tmpl = path + kAtomicTempInfix + "XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  int fd = mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return false;
  const std::string tmpPath(name.data());

  bool ok = true;
  // Keep the old file's permissions; a new file gets the usual 0666 & ~umask.
  struct stat old;
  if (stat(path.c_str(), &old) == 0) {
    fchmod(fd, old.st_mode & 07777);
  } else {
    mode_t mask = umask(022);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
  }
  const auto* p = static_cast<const uint8_t*>(data);
  size_t left = size;
  while (ok && left > 0) {
    ssize_t n = write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    p += n;
    left -= size_t(n);
  }
  if (ok && fsync(fd) != 0) ok = false;
  if (close(fd) != 0) ok = false;
  if (ok && rename(tmpPath.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) {
    unlink(tmpPath.c_str());
    return false;
  }
  // Make the rename itself durable; failure here does not undo the save.
  int dfd = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    fsync(dfd);
    close(dfd);
  }
  return true;
}

int RemoveSaveLeftovers(const std::string& dir, const std::string& prefixPattern, int minAgeSeconds) {
  constexpr size_t kUniqueChars = 6;
  const std::string base = IncludeTrailingSlash(dir.empty() ? std::string(".") : dir);
  const time_t now = time(nullptr);
  int removed = 0;
  for (const std::string& name : FindFiles(dir, prefixPattern + "??????")) {
    if (name.size() <= kUniqueChars) continue;
    const std::string unique = name.substr(name.size() - kUniqueChars);
    const bool madeByMkstemp = std::all_of(unique.begin(), unique.end(), [](unsigned char c) {
      return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
    if (!madeByMkstemp) continue;
    struct stat st;
    if (lstat((base + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (now - st.st_mtime < minAgeSeconds) continue;
    if (unlink((base + name).c_str()) == 0) ++removed;
  }
  return removed;
}

bool DeleteFile(const std::string& path) { return !path.empty() && unlink(path.c_str()) == 0; }

bool MatchesWildcard(const std::string& name, const std::string& pattern) {
  // Greedy matching with one backtrack point: linear in practice, never exponential.
  auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : int(c); };
  size_t n = 0, p = 0, starP = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || lower(pattern[p]) == lower(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<std::string> FindFiles(const std::string& dir, const std::string& pattern) {
  std::vector<std::string> names;
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return names;
  const std::string base = IncludeTrailingSlash(dir.empty() ? std::string(".") : dir);
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (!MatchesWildcard(name, pattern)) continue;
    if (!FileExists(base + name)) continue;
    names.push_back(std::move(name));
  }
  closedir(d);
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    std::string la = LowerCase(a), lb = LowerCase(b);
    return la != lb ? la < lb : a < b;
  });
  return names;
}

std::string IncludeTrailingSlash(const std::string& dir) {
  if (dir.empty() || dir.back() == '/') return dir;
  return dir + "/";
}

std::string ExtractFileName(const std::string& path) {
  size_t p = path.find_last_of("/\\");
  return p == std::string::npos ? path : path.substr(p + 1);
}

std::string ExtractFileDir(const std::string& path) {
  size_t p = path.find_last_of('/');
  if (p == std::string::npos) return std::string();
  if (p == 0) return "/";
  return path.substr(0, p);
}

// ---------------------------------------------------------------------------
// The game's own folders
// ---------------------------------------------------------------------------

static std::string GameSubfolder(const std::string& base) {
  return IncludeTrailingSlash(base) + MakerFolderName + "/" + ProductFolderName + "/" + EditionFolderName + "/";
}

std::string DataFolder(const Folders& folders) { return GameSubfolder(folders.AppData()); }
std::string DocumentsFolder(const Folders& folders) { return GameSubfolder(folders.Documents()); }

std::vector<std::string> ArchiveSearchFolders(const Folders& folders) {
  return {"", DataFolder(folders), folders.ProgramFolder(), folders.InstallDataFolder()};
}

bool FindDataFile(const std::vector<std::string>& folders, const std::string& fileName, std::string& folder) {
  for (const std::string& f : folders) {
    if (FileExists(f + fileName)) {
      folder = f;
      return true;
    }
  }
  return false;
}

}  // namespace gravik

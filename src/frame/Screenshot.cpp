#include "frame/Screenshot.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "frame/Form.h"
#include "frame/Keys.h"
#include "gfx/Png.h"
#include "platform/Folders.h"

namespace gravik {

namespace {

constexpr uint32_t kNoticeMs = 2000;
// Gives up after this many taken names in a row (a folder that refuses every link).
constexpr uint32_t kMaxTries = 100000;

bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
  const uint8_t* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= size_t(n);
  }
  return true;
}

enum class Claim { Saved, Taken, Failed };

// Gives the written temporary file `tmp` the name `path` unless that name is
// taken. Where the file system has no hard links (FAT, a browser's), the name
// is taken by an exclusive create and the picture written into it.
Claim ClaimName(const char* tmp, const std::string& path, const std::vector<uint8_t>& png) {
  if (link(tmp, path.c_str()) == 0) return Claim::Saved;
  if (errno == EEXIST) return Claim::Taken;
  if (errno != EPERM && errno != EMLINK && errno != ENOTSUP && errno != EOPNOTSUPP && errno != ENOSYS)
    return Claim::Failed;
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return errno == EEXIST ? Claim::Taken : Claim::Failed;
  bool ok = WriteAll(fd, png);
  if (close(fd) != 0) ok = false;
  if (ok) return Claim::Saved;
  unlink(path.c_str());
  return Claim::Failed;
}

std::string ShotName(uint32_t n) {
  char name[32];
  std::snprintf(name, sizeof name, "gravik-%04u.png", unsigned(n));
  return name;
}

}  // namespace

std::string SaveNumberedScreenshot(const std::string& folder, const Bitmap& frame, uint32_t& next) {
  if (frame.Empty()) return "";
  const std::string dir = IncludeTrailingSlash(folder);
  if (!CreateDirectories(dir)) return "";
  const std::vector<uint8_t> png = EncodePng(frame);
  if (png.empty()) return "";
  // The picture goes to a temporary file first; link() then gives it its name
  // only when that name is free, so no file is ever replaced or half written.
  std::string tmpl = dir + kShotTempPrefix + "XXXXXX";
  std::vector<char> tmp(tmpl.begin(), tmpl.end());
  tmp.push_back('\0');
  const int fd = mkostemp(tmp.data(), O_CLOEXEC);
  if (fd < 0) return "";
  bool ok = WriteAll(fd, png);
  if (close(fd) != 0) ok = false;
  std::string saved;
  if (ok) {
    if (next == 0) next = 1;
    for (uint32_t tries = 0; tries < kMaxTries && next != 0; ++tries, ++next) {
      const std::string name = ShotName(next);
      const Claim claim = ClaimName(tmp.data(), dir + name, png);
      if (claim == Claim::Saved) {
        saved = name;
        ++next;
        break;
      }
      if (claim == Claim::Failed) break;
    }
  }
  unlink(tmp.data());
  return saved;
}

void TakeScreenshot(TForm1& form) {
  Game& g = form.game();
  const std::string name = SaveNumberedScreenshot(g.folders.Documents + "Screenshots/", form.PresentedFrame(),
                                                  form.NextScreenshotNumber());
  ShowNoticeEverywhere(g, name.empty() ? "Unable to save screenshot." : "Screenshot " + name, kNoticeMs);
}

}  // namespace gravik

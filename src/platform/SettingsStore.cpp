#include "platform/SettingsStore.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/Text.h"
#include "platform/Folders.h"

namespace gravik {

namespace {

// The file is a handful of short lines; anything far larger is not ours.
constexpr size_t kMaxFileBytes = 1 << 20;

bool UsableName(const std::string& name) {
  if (name.empty()) return false;
  for (unsigned char c : name) {
    if (c < 32 || c == '=' || c == 127) return false;
  }
  return name.front() != ' ' && name.back() != ' ' && name.front() != '#' && name.front() != ';';
}

std::string Escape(const std::string& v) {
  std::string out;
  for (char c : v) {
    if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else out += c;
  }
  return out;
}

std::string Unescape(const std::string& v) {
  std::string out;
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i] == '\\' && i + 1 < v.size()) {
      char n = v[i + 1];
      if (n == '\\' || n == 'n' || n == 'r') {
        out += n == 'n' ? '\n' : n == 'r' ? '\r' : '\\';
        ++i;
        continue;
      }
    }
    out += v[i];
  }
  return out;
}

}  // namespace

bool FileSettingsStore::NoCase::operator()(const std::string& a, const std::string& b) const {
  return LowerCase(a) < LowerCase(b);
}

FileSettingsStore::FileSettingsStore(std::string path) : path_(std::move(path)) { Load(); }

void FileSettingsStore::Load() {
  values_.clear();
  std::vector<uint8_t> raw;
  if (!ReadWholeFile(path_, raw, kMaxFileBytes)) {
    KeepUnreadableAside();
    return;
  }
  std::string text(raw.begin(), raw.end());
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find('\0') != std::string::npos) continue;
    size_t eq = line.find('=');
    std::string name = Trim(line.substr(0, eq));
    if (!UsableName(name)) continue;
    // The last line for a name wins.
    values_[name] = eq == std::string::npos ? std::string() : Unescape(line.substr(eq + 1));
  }
}

// A file that is there but could not be read whole still holds the player's
// values as far as we know: it is renamed out of the way, never overwritten.
// When that cannot be done (or the path is not a plain file) nothing is saved
// this run.
void FileSettingsStore::KeepUnreadableAside() {
  struct stat st;
  if (stat(path_.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return;  // no file yet
    savesOff_ = true;
  } else if (!S_ISREG(st.st_mode)) {
    savesOff_ = true;
  } else {
    for (int n = 1; n <= 100; ++n) {
      const std::string aside = path_ + kUnreadableSuffix + (n == 1 ? std::string() : "-" + std::to_string(n));
      struct stat taken;
      if (lstat(aside.c_str(), &taken) == 0 || errno != ENOENT) continue;
      if (rename(path_.c_str(), aside.c_str()) == 0) {
        std::fprintf(stderr, "gravik: %s could not be read; it is kept as %s and the settings start from their defaults\n",
                     path_.c_str(), aside.c_str());
        return;
      }
      break;
    }
    savesOff_ = true;
  }
  std::fprintf(stderr, "gravik: %s could not be read; it is left as it is and no settings are saved this run\n",
               path_.c_str());
}

bool FileSettingsStore::Save() {
  if (savesOff_) {
    lastSaveFailed_ = true;
    return false;
  }
  std::string text;
  for (const auto& [name, value] : values_) text += name + "=" + Escape(value) + "\n";
  std::string dir = ExtractFileDir(path_);
  bool ok = (dir.empty() || CreateDirectories(dir)) &&
            WriteWholeFileAtomic(path_, text.data(), text.size());
  lastSaveFailed_ = !ok;
  return ok;
}

bool FileSettingsStore::ValueExists(const std::string& name) { return values_.count(name) > 0; }

std::string FileSettingsStore::ReadString(const std::string& name) {
  auto it = values_.find(name);
  return it == values_.end() ? std::string() : it->second;
}

int FileSettingsStore::ReadInteger(const std::string& name) {
  std::string v = Trim(ReadString(name));
  if (v.empty()) return 0;
  errno = 0;
  char* end = nullptr;
  long long n = std::strtoll(v.c_str(), &end, 10);
  if (end == v.c_str()) return 0;
  if (n > INT_MAX) return INT_MAX;
  if (n < INT_MIN) return INT_MIN;
  return int(n);
}

bool FileSettingsStore::ReadBool(const std::string& name) {
  std::string v = Trim(ReadString(name));
  if (SameText(v, "true")) return true;
  return ReadInteger(name) != 0;
}

void FileSettingsStore::WriteString(const std::string& name, const std::string& value) {
  if (!UsableName(name)) return;
  values_.erase(name);  // a rename by letter case takes the new spelling
  values_[name] = value;
  Save();
}

void FileSettingsStore::WriteInteger(const std::string& name, int value) {
  WriteString(name, std::to_string(value));
}

void FileSettingsStore::WriteBool(const std::string& name, bool value) {
  WriteString(name, value ? "1" : "0");
}

void FileSettingsStore::DeleteValue(const std::string& name) {
  if (values_.erase(name) > 0) Save();
}

}  // namespace gravik

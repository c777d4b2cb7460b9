#include "data/Settings.h"

#include <sys/stat.h>

#include <cerrno>

#include "base/Text.h"
#include "data/Profile.h"
#include "platform/Codepage.h"
#include "platform/Folders.h"
#include "platform/SettingsStore.h"

namespace gravik {

namespace {

// The real file is a few short lines.
constexpr size_t MaxIniBytes = 1u << 20;

bool PathPresent(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

}  // namespace

RegistrySettings ReadRegistrySettings(SettingsStore& store) {
  RegistrySettings s;
  if (store.ValueExists(SettingProfile)) s.LastPlayer = Utf8ToWindows1252(store.ReadString(SettingProfile));
  if (store.ValueExists(SettingFullscreen)) s.FullScreen = store.ReadBool(SettingFullscreen);
  s.MusicOff = store.ValueExists(SettingMusicOff);
  s.SoundOff = store.ValueExists(SettingSoundOff);
  s.AfsOff = store.ValueExists(SettingAfsOff);
  return s;
}

void WriteRegistrySettings(SettingsStore& store, const std::string& playerName, bool windowedFlag) {
  store.WriteString(SettingProfile, Windows1252ToUtf8(playerName));
  store.WriteBool(SettingFullscreen, !windowedFlag);
}

void WriteRegistrySettings(SettingsStore& store, const ProfileState& profile) {
  WriteRegistrySettings(store, profile.CurrentName, profile.Record->Windowed != 0);
}

// ---------------------------------------------------------------------------

std::string IniPath(const std::string& documentsFolder) {
  return IncludeTrailingSlash(documentsFolder) + IniFileName;
}

std::vector<std::string> SplitIniLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0, i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

IniSettings ParseIniSettings(std::string_view text) {
  const std::vector<std::string> lines = SplitIniLines(text);
  std::vector<std::string> lower;
  lower.reserve(lines.size());
  for (const std::string& l : lines) lower.push_back(LowerCase(l));
  // The value of the last line holding `name`; false when no line does.
  auto value = [&](const std::string& name, std::string& out) {
    for (size_t i = lower.size(); i-- > 0;) {
      if (lower[i].find(name) == std::string::npos) continue;
      const std::string line = Trim(lower[i]);
      out = line.size() > name.size() + 1 ? line.substr(name.size() + 1) : std::string();
      return true;
    }
    return false;
  };
  IniSettings s;
  std::string v;
  if (value("sound", v)) s.SoundOff = v == "off";
  if (value("music", v)) s.MusicOff = v == "off";
  if (value("altmode", v)) s.AltMode = v == "on";
  if (value("kbi", v)) s.KeyboardMode = v == "1" ? 1 : 0;
  return s;
}

IniSettings ReadIniSettings(const std::string& path) {
  std::vector<uint8_t> raw;
  if (!ReadWholeFile(path, raw, MaxIniBytes)) return IniSettings();
  return ParseIniSettings(std::string_view(reinterpret_cast<const char*>(raw.data()), raw.size()));
}

std::string WithKeyboardMode(std::string_view text, int mode) {
  std::vector<std::string> lines = SplitIniLines(text);
  const std::string line = mode == 1 ? "kbi=1" : "kbi=0";
  bool replaced = false;
  for (size_t i = lines.size(); i-- > 0;) {
    if (LowerCase(lines[i]).find("kbi=") != std::string::npos) {
      lines[i] = line;
      replaced = true;
      break;
    }
  }
  if (!replaced) lines.push_back(line);
  const size_t lf = text.find('\n');
  const std::string br = (lf != std::string_view::npos && lf > 0 && text[lf - 1] == '\r') ? "\r\n" : "\n";
  std::string out;
  for (const std::string& l : lines) out += l + br;
  return out;
}

bool SaveKeyboardMode(const std::string& path, int mode) {
  std::vector<uint8_t> raw;
  if (!ReadWholeFile(path, raw, MaxIniBytes) && PathPresent(path)) return false;
  const std::string text =
      WithKeyboardMode(std::string_view(reinterpret_cast<const char*>(raw.data()), raw.size()), mode);
  return WriteWholeFileAtomic(path, text.data(), text.size());
}

}  // namespace gravik

#include "audio/Audio.h"

#include <algorithm>
#include <cstdio>

#include "base/Bytes.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "platform/AudioDevice.h"
#include "platform/Folders.h"
#include "platform/Shell.h"

namespace gravik {

namespace {

constexpr const char* kMusicFileName = "zqaudio.dat";
constexpr size_t kDirEntrySize = 36;
constexpr size_t kNameChars = 31;
constexpr size_t kMinMusicFileSize = 1000;

// Files an interrupted installation or update can leave in the data folder.
constexpr const char* kInstallLeftovers[9] = {
    "zqaudio.tmp",     "zqresource.tmp",  "zqaudio.dat.part", "zqresource.dat.part", "setup.tmp",
    "install.tmp",     "unpack.tmp",      "install.log",      "uninstall.tmp"};

void NoteMissingWave(std::string_view name) {
  std::fprintf(stderr, "%s\n", Format("Wave '%.*s' not found", int(name.size()), name.data()).c_str());
}

int FindWave(const AudioState& a, std::string_view name) { return a.Waves ? a.Waves->Find(name) : -1; }

bool IsMeteors(std::string_view name) { return SameText(name, "meteors.wav"); }

std::string TrackName(int track) { return Format("music%d.o", track); }

}  // namespace

AudioState::AudioState() : Waves(std::make_unique<Mixer>(kAudioRate)) {}

AudioState::~AudioState() {
  // The device's callback points into the mixer: close it before the mixer goes.
  if (Device && Device->IsOpen()) Device->Close();
}

bool HasSwitch(const std::vector<std::string>& args, std::string_view sw) {
  return std::any_of(args.begin(), args.end(), [&](const std::string& s) { return SameText(s, sw); });
}

bool IsWaveEntryName(std::string_view name) { return EndsWithText(name, ".WAV"); }

EffectSettings EffectSettingsFor(std::string_view name) {
  const std::string n = LowerCase(name);
  auto has = [&](const char* part) { return n.find(part) != std::string::npos; };
  EffectSettings e;
  if (has("complete")) e.Frequency = 22000;
  if (has("author")) e.Frequency = 11000;
  if (has("rock stop")) {
    e.Frequency = 44000;
    e.MaxPlayings = 4;
  }
  if (has("diamond")) e.Frequency = 44000;
  if (has("glasshit2")) e.Frequency = 11000;
  if (has("boom")) e.Frequency = 11000;
  if (has("music")) {
    e.Frequency = 22000;
    e.Looped = true;
  }
  if (has("meteors")) e.Looped = true;
  return e;
}

void LoadSoundEffects(AudioState& a, AudioDevice* device, const AudioSwitches& sw,
                      const std::function<std::vector<NamedBytes>()>& readArchiveWaves,
                      const std::function<void(const std::string&)>& showStatus) {
  a.SoundAvailable = !(HasSwitch(sw.Args, "-nosound") || sw.SoundOff);
  a.MusicAvailable = true;
  if (a.SoundAvailable) {
    Mixer* mixer = a.Waves.get();
    if (device && device->Open(kAudioRate, [mixer](int16_t* out, int frames) { mixer->Mix(out, frames); })) {
      a.Device = device;
      mixer->AttachDevice(device);
      mixer->SetOutputRate(device->Rate() > 0 ? device->Rate() : kAudioRate);
    } else {
      a.SoundAvailable = false;
      a.MusicAvailable = false;
    }
  }
  if (!a.SoundAvailable) {
    a.SoundOn = false;
    a.MusicOn = false;
    return;
  }
  if (showStatus) showStatus("Preparing sound...");
  if (!readArchiveWaves) return;
  for (NamedBytes& entry : readArchiveWaves()) {
    if (!IsWaveEntryName(entry.name)) continue;
    WaveData wave;
    std::string why;
    if (!ParseWave(entry.bytes.data(), entry.bytes.size(), wave, &why)) {
      std::fprintf(stderr, "Sound '%s' left out: %s\n", entry.name.c_str(), why.c_str());
      continue;
    }
    const EffectSettings e = EffectSettingsFor(entry.name);
    const int item = a.Waves->Add(entry.name, std::move(wave));
    a.Waves->SetFrequency(item, e.Frequency);
    a.Waves->SetLooped(item, e.Looped);
    a.Waves->SetMaxPlayings(item, e.MaxPlayings);
    entry.bytes = {};
  }
}

MusicFileStatus ReadMusicFile(const uint8_t* data, size_t size, std::vector<NamedBytes>& items) {
  items.clear();
  if (data == nullptr || size < kMinMusicFileSize) return MusicFileStatus::Invalid;
  if (GetU16(data) != kMusicMagic) return MusicFileStatus::Invalid;
  if (GetU32(data + 2) != size) return MusicFileStatus::Corrupt;
  const int count = data[6];
  if (count > kMaxMusicItems) return MusicFileStatus::Corrupt;

  std::vector<NamedBytes> out(static_cast<size_t>(count));
  size_t off = kMusicHeaderSize;
  for (int i = 0; i < count; ++i) {
    uint8_t entry[kDirEntrySize];
    for (size_t k = 0; k < kDirEntrySize; ++k) entry[k] = data[7 + size_t(i) * kDirEntrySize + k] ^ kMusicKey;
    const size_t nameLen = std::min<size_t>(entry[0], kNameChars);
    const uint32_t itemSize = GetU32(entry + 32);
    if (itemSize > size - off) return MusicFileStatus::Corrupt;
    NamedBytes& item = out[size_t(i)];
    item.name.assign(reinterpret_cast<const char*>(entry + 1), nameLen);
    item.bytes.assign(data + off, data + off + itemSize);
    const size_t scrambled = std::min<size_t>(itemSize, kMusicScrambledBytes);
    for (size_t k = 0; k < scrambled; ++k) item.bytes[k] ^= kMusicKey;
    off += itemSize;
  }
  items = std::move(out);
  return MusicFileStatus::Ok;
}

std::vector<uint8_t> WriteMusicFile(const std::vector<NamedBytes>& items) {
  if (items.size() > size_t(kMaxMusicItems)) throw GameError("Too many music items.");
  uint64_t total = kMusicHeaderSize;
  for (const NamedBytes& item : items) {
    if (item.name.size() > kNameChars) throw GameError("Music item name too long: " + item.name);
    total += item.bytes.size();
  }
  // The reader refuses files under 1000 bytes; pad small ones at the end.
  total = std::max<uint64_t>(total, kMinMusicFileSize);
  if (total > 0xFFFFFFFFull) throw GameError("Music file too large.");

  std::vector<uint8_t> out(size_t(total), 0);
  PutU16(out.data(), kMusicMagic);
  PutU32(&out[2], uint32_t(total));
  out[6] = uint8_t(items.size());
  for (size_t i = 0; i < size_t(kMaxMusicItems); ++i) {
    uint8_t entry[kDirEntrySize] = {};
    if (i < items.size()) {
      entry[0] = uint8_t(items[i].name.size());
      std::copy(items[i].name.begin(), items[i].name.end(), entry + 1);
      PutU32(entry + 32, uint32_t(items[i].bytes.size()));
    }
    for (size_t k = 0; k < kDirEntrySize; ++k) out[7 + i * kDirEntrySize + k] = entry[k] ^ kMusicKey;
  }
  size_t off = kMusicHeaderSize;
  for (const NamedBytes& item : items) {
    for (size_t k = 0; k < item.bytes.size(); ++k)
      out[off + k] = k < kMusicScrambledBytes ? uint8_t(item.bytes[k] ^ kMusicKey) : item.bytes[k];
    off += item.bytes.size();
  }
  return out;
}

std::string LoadMusicData(AudioState& a, const std::vector<uint8_t>& bytes) {
  std::vector<NamedBytes> items;
  switch (ReadMusicFile(bytes.data(), bytes.size(), items)) {
    case MusicFileStatus::Invalid:
      return " invalid.";
    case MusicFileStatus::Corrupt:
      return " corrupt.";
    case MusicFileStatus::Ok:
      break;
  }
  // Decode every track before adding any, so a bad file adds nothing.
  std::vector<WaveData> waves(items.size());
  for (size_t i = 0; i < items.size(); ++i)
    if (!ParseWave(items[i].bytes.data(), items[i].bytes.size(), waves[i])) return " corrupt.";
  for (size_t i = 0; i < items.size(); ++i) {
    const int item = a.Waves->Add(items[i].name, std::move(waves[i]));
    a.Waves->SetFrequency(item, 22000);
    a.Waves->SetLooped(item, false);
  }
  return "";
}

std::string LoadMusicFile(AudioState& a, const AudioSwitches& sw, const std::vector<std::string>& searchFolders,
                          const std::string& dataFolder, Shell* shell) {
  a.CurrentTrackName = "music2.o";
  a.MusicPlaying = false;
  if (HasSwitch(sw.Args, "-nomusic") || sw.MusicOff) a.MusicAvailable = false;

  if (!dataFolder.empty()) {
    const std::string dir = IncludeTrailingSlash(dataFolder);
    for (const char* name : kInstallLeftovers)
      if (FileExists(dir + name)) DeleteFile(dir + name);
  }

  std::string message;
  if (a.MusicAvailable) {
    std::string path;
    for (const std::string& folder : searchFolders) {
      const std::string candidate = IncludeTrailingSlash(folder) + kMusicFileName;
      if (FileExists(candidate)) {
        path = candidate;
        break;
      }
    }
    std::string reason;
    std::vector<uint8_t> bytes;
    if (path.empty() || !ReadWholeFile(path, bytes))
      reason = " not found.";
    else
      reason = LoadMusicData(a, bytes);
    if (!reason.empty()) {
      message = std::string(kMusicFileName) + reason + " Music disabled.";
      a.MusicAvailable = false;
      if (shell) shell->ShowInfo("Gravik 2", message);
    }
  }
  if (!a.MusicAvailable) a.MusicOn = false;
  return message;
}

int LevelVolume(int level) {
  const int l = level < 1 ? 1 : level;
  // 10500 / l rounded to nearest, ties to even.
  int q = 10500 / l;
  const int r = 10500 % l;
  if (2 * r > l || (2 * r == l && (q & 1))) ++q;
  return std::clamp(-q + 525, Mixer::kMinVolume, Mixer::kMaxVolume);
}

void ApplyVolumes(AudioState& a) {
  if (a.SoundAvailable && a.SoundOn) a.EffectVolume = LevelVolume(a.SoundLevel);
  if (a.MusicAvailable && a.MusicOn) {
    a.MusicVolume = LevelVolume(a.MusicLevel);
    a.Waves->SetVolume(FindWave(a, a.CurrentTrackName), a.MusicVolume);
  }
}

void PlaySound(AudioState& a, std::string_view name, bool restart) {
  if (!a.SoundAvailable || !a.SoundOn) return;
  const int item = FindWave(a, name);
  if (item < 0) {
    NoteMissingWave(name);
    return;
  }
  const bool meteors = IsMeteors(name);
  if ((!restart || meteors) && a.Waves->IsPlaying(item)) return;
  if (!meteors) a.Waves->SetVolume(item, a.EffectVolume);
  a.Waves->Play(item, 0);
}

void StopSound(AudioState& a, std::string_view name) { a.Waves->Stop(FindWave(a, name)); }

bool IsSoundPlaying(const AudioState& a, std::string_view name) { return a.Waves->IsPlaying(FindWave(a, name)); }

void SetSoundVolume(AudioState& a, std::string_view name, int hundredthsDb) {
  a.Waves->SetVolume(FindWave(a, name), hundredthsDb);
}

void PlayMusic(AudioState& a, int track, bool looped) {
  if (!a.MusicAvailable || !a.MusicOn || !a.Device) return;
  const int current = a.Track2Requested ? 2 : a.Track1Requested ? 1 : 0;
  if (current != 0 && current != track) {
    a.Waves->Stop(FindWave(a, a.CurrentTrackName));
    a.MusicPlaying = false;
  }
  // One track is requested at a time.
  a.Track1Requested = track == 1;
  a.Track2Requested = track == 2;
  const std::string name = TrackName(track);
  const int item = FindWave(a, name);
  if (SameText(name, a.CurrentTrackName) && a.MusicPlaying) {
    if (item >= 0 && a.Waves->IsPlaying(item)) return;
    a.ResumePosition = 0;  // it has played to its end
  }
  if (!SameText(name, a.CurrentTrackName)) a.ResumePosition = 0;
  a.CurrentTrackName = name;
  if (item < 0) {
    NoteMissingWave(name);
    a.MusicPlaying = false;
    return;
  }
  a.Waves->SetLooped(item, looped);
  ApplyVolumes(a);
  a.Waves->SetVolume(item, a.MusicVolume);
  a.Waves->Play(item, a.ResumePosition);
  a.MusicPlaying = true;
}

void PauseMusic(AudioState& a) {
  if (!a.MusicAvailable || !a.MusicOn) return;
  const int item = FindWave(a, a.CurrentTrackName);
  if (!a.MusicRestartMark) a.ResumePosition = a.Waves->Position(item);
  a.MusicRestartMark = false;
  a.Waves->Stop(item);
  a.MusicPlaying = false;
}

void StopMusic(AudioState& a) {
  if (!a.MusicAvailable) return;
  a.Track1Requested = false;
  a.Track2Requested = false;
  a.Waves->Stop(FindWave(a, a.CurrentTrackName));
  a.MusicPlaying = false;
}

void MarkMusicRestart(AudioState& a) {
  a.ResumePosition = 0;
  a.MusicRestartMark = true;
}

bool RestartMusicIfEnded(AudioState& a) {
  if (!a.MusicAvailable || !a.MusicOn || !a.MusicPlaying || !a.Device) return false;
  const int item = FindWave(a, a.CurrentTrackName);
  if (item < 0 || a.Waves->IsPlaying(item)) return false;
  a.ResumePosition = 0;
  a.Waves->Play(item, 0);
  return true;
}

void SwitchEffectsOff(AudioState& a, bool meteorsExist) {
  a.SoundOn = false;
  if (meteorsExist) StopSound(a, "meteors.wav");
}

void SwitchEffectsOn(AudioState& a) {
  a.SoundOn = true;
  if (a.SoundLevel <= 0) a.SoundLevel = 5;
  ApplyVolumes(a);
}

void SwitchMusicOff(AudioState& a) {
  a.MusicOn = false;
  StopMusic(a);
}

void SwitchMusicOn(AudioState& a, int track, bool looped) {
  if (!a.MusicAvailable) return;
  a.MusicOn = true;
  PlayMusic(a, track, looped);
  if (a.MusicLevel <= 0 || a.MusicLevel > 20) a.MusicLevel = 4;
  ApplyVolumes(a);
}

}  // namespace gravik

// The game's sound: effects from the resource archive, the two music tracks
// from "zqaudio.dat", the on/off switches and the volume levels.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "audio/Mixer.h"

namespace gravik {

class AudioDevice;
class Shell;

// One named blob: an archive entry or a music item.
struct NamedBytes {
  std::string name;
  std::vector<uint8_t> bytes;
};

// Everything that can switch sound or music off before the device is touched.
struct AudioSwitches {
  std::vector<std::string> Args;  // command-line arguments (program name excluded or not)
  bool SoundOff = false;          // "soundoff" in the settings store, or Sound=off in gravik.ini
  bool MusicOff = false;          // "musicoff" in the settings store, or Music=off in gravik.ini
};

// All audio state of the running game; owned by the game, one per run.
// SoundOn, MusicOn, SoundLevel and MusicLevel are the current profile's values:
// the caller copies them in after a profile is loaded and out before it is saved.
struct AudioState {
  AudioState();
  ~AudioState();  // closes the device opened by LoadSoundEffects
  AudioState(const AudioState&) = delete;
  AudioState& operator=(const AudioState&) = delete;

  bool SoundAvailable = false;
  bool MusicAvailable = false;
  bool SoundOn = true;
  bool MusicOn = true;
  int SoundLevel = 20;
  int MusicLevel = 20;
  int EffectVolume = 0;
  int MusicVolume = 0;
  std::string CurrentTrackName = "music2.o";
  bool MusicPlaying = false;
  uint32_t ResumePosition = 0;  // byte offset into the track's wave data
  bool Track1Requested = false;
  bool Track2Requested = false;
  bool MusicRestartMark = false;  // set when a life is lost: next play starts the track anew

  AudioDevice* Device = nullptr;  // open device, or null when silent
  std::unique_ptr<Mixer> Waves;   // the wave list
};

constexpr int kAudioRate = 44100;
constexpr uint16_t kMusicMagic = 5002;
constexpr int kMaxMusicItems = 20;
constexpr uint8_t kMusicKey = 0xB6;
constexpr uint32_t kMusicScrambledBytes = 150001;
constexpr size_t kMusicHeaderSize = 727;  // magic, size, count, 20 x 36 directory bytes

// True when an argument equals `sw`, letter case ignored.
bool HasSwitch(const std::vector<std::string>& args, std::string_view sw);

// True for archive entry names that are sound effects (end in ".WAV", any case).
bool IsWaveEntryName(std::string_view name);

// The playback settings a sound effect gets by its name.
struct EffectSettings {
  int Frequency = 22000;
  bool Looped = false;
  int MaxPlayings = 1;
};
EffectSettings EffectSettingsFor(std::string_view name);

// Start-up: decides whether sound is available, opens the device at kAudioRate
// and loads every ".WAV" item that `readArchiveWaves` returns (called only when
// sound is available, after `showStatus("Preparing sound...")`). A damaged wave
// is left out and noted on stderr. `device` may be null (no sound device).
void LoadSoundEffects(AudioState& a, AudioDevice* device, const AudioSwitches& sw,
                      const std::function<std::vector<NamedBytes>()>& readArchiveWaves,
                      const std::function<void(const std::string&)>& showStatus = {});

// Result of reading "zqaudio.dat" bytes.
enum class MusicFileStatus { Ok, Invalid, Corrupt };
MusicFileStatus ReadMusicFile(const uint8_t* data, size_t size, std::vector<NamedBytes>& items);
// Builds a music file the reader accepts. Throws GameError for more than 20
// items, a name longer than 31 characters or a file past 4 GB.
std::vector<uint8_t> WriteMusicFile(const std::vector<NamedBytes>& items);

// Loads the music items from the bytes of "zqaudio.dat" into the wave list.
// Returns the reason (" invalid." or " corrupt.") or an empty string.
std::string LoadMusicData(AudioState& a, const std::vector<uint8_t>& bytes);

// Start-up, after LoadSoundEffects. Looks for "zqaudio.dat" in `searchFolders`
// in order; `dataFolder` is where installation leftovers are removed (empty:
// skipped). A problem makes music unavailable, is shown through `shell` (when
// given) and returned as the message, e.g. "zqaudio.dat not found. Music disabled.".
std::string LoadMusicFile(AudioState& a, const AudioSwitches& sw,
                          const std::vector<std::string>& searchFolders,
                          const std::string& dataFolder = "", Shell* shell = nullptr);

// Volume of a level: -10500 / L rounded, plus 525, held to -10000..0; L below 1 counts as 1.
int LevelVolume(int level);
void ApplyVolumes(AudioState& a);

// Plays an effect from its beginning. Nothing when effects are unavailable or
// off; with `restart` false nothing when it is playing already. "meteors.wav" is
// never restarted while it plays and keeps the volume its caller set.
// A missing name is noted on stderr ("Wave '%s' not found") and plays nothing.
void PlaySound(AudioState& a, std::string_view name, bool restart = true);
void StopSound(AudioState& a, std::string_view name);
bool IsSoundPlaying(const AudioState& a, std::string_view name);
void SetSoundVolume(AudioState& a, std::string_view name, int hundredthsDb);


void PlayMusic(AudioState& a, int track, bool looped);
void PauseMusic(AudioState& a);
void StopMusic(AudioState& a);
// A lost life: the track starts from its beginning the next time it plays.
void MarkMusicRestart(AudioState& a);
// Play-frame upkeep: a track that was playing and has ended starts again from
// its beginning. Returns true when it restarted the track.
bool RestartMusicIfEnded(AudioState& a);

// The in-play audio keys.
void SwitchEffectsOff(AudioState& a, bool meteorsExist);                  // Q
void SwitchEffectsOn(AudioState& a);                                      // S
void SwitchMusicOff(AudioState& a);                                       // W
void SwitchMusicOn(AudioState& a, int track, bool looped);                // D

}  // namespace gravik

// The wave list and software mixer: named in-memory waves decoded once to 16-bit
// PCM, played through the device's stereo callback with a per-item playback
// frequency, volume, looping and a limit on simultaneous playings.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace gravik {

class AudioDevice;

// A decoded wave. Positions the game stores are byte offsets into the original
// data chunk, so the original frame size is kept.
struct WaveData {
  int Channels = 1;        // 1 or 2
  int SampleRate = 22050;  // as stored in the file
  int BlockAlign = 2;      // bytes per frame in the file's data chunk
  std::vector<int16_t> Samples;  // interleaved, Frames() * Channels values

  uint32_t Frames() const { return Channels > 0 ? uint32_t(Samples.size() / size_t(Channels)) : 0; }
  uint32_t DataBytes() const { return Frames() * uint32_t(BlockAlign); }
};

// Parses a RIFF/WAVE image (PCM, 8 or 16 bits, mono or stereo, any rate).
// Returns false and a reason for anything damaged or unsupported; never reads
// outside [data, data + size).
bool ParseWave(const uint8_t* data, size_t size, WaveData& out, std::string* error = nullptr);

// Hundredths of a decibel -> linear gain; -10000 and below is silence.
float VolumeGain(int hundredthsDb);

class Mixer {
 public:
  static constexpr int kVoices = 32;       // simultaneous playings over all items
  static constexpr int kMinVolume = -10000;
  static constexpr int kMaxVolume = 0;

  explicit Mixer(int outputRate = 44100);
  ~Mixer();
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  // Every change below is made inside the device's lock once a device is
  // attached; Mix itself never locks (the device holds the lock around it).
  void AttachDevice(AudioDevice* device);
  void SetOutputRate(int rate);
  int OutputRate() const { return outputRate_; }

  // Adds a wave under `name` (letter case ignored in look-ups). A second item
  // with the same name replaces the first one's data. The new item plays at the
  // wave's own rate, full volume, once, one playing at a time.
  int Add(const std::string& name, WaveData wave);
  int Find(std::string_view name) const;  // -1 when absent
  int Count() const { return int(items_.size()); }
  std::string Name(int item) const;
  const WaveData* Wave(int item) const;

  // Invalid item numbers are ignored by setters and read as 0/false.
  void SetFrequency(int item, int hz);
  int Frequency(int item) const;
  void SetVolume(int item, int hundredthsDb);  // clamped to -10000..0
  int Volume(int item) const;
  void SetLooped(int item, bool looped);
  bool Looped(int item) const;
  void SetMaxPlayings(int item, int count);  // at least 1
  int MaxPlayings(int item) const;

  // Starts a playing at a byte offset into the wave data (rounded down to a
  // frame; past the end starts from the beginning). At the item's limit the
  // oldest of its playings is restarted instead; when every voice is busy the
  // oldest voice of all is taken.
  void Play(int item, uint32_t positionBytes = 0);
  // Stops every playing of the item and remembers where the newest one was.
  void Stop(int item);
  void StopAll();
  bool IsPlaying(int item) const;
  int Playings(int item) const;
  // Byte offset of the newest playing; of a stopped item, where it was stopped
  // (0 after it played to its end).
  uint32_t Position(int item) const;
  int ActiveVoices() const;

  // The device callback: writes `frames` interleaved stereo int16 frames.
  void Mix(int16_t* out, int frames);

 private:
  struct Item;
  struct Voice {
    int item = -1;
    uint64_t pos = 0;      // source frame, 32.32 fixed point
    uint64_t serial = 0;   // start order
  };
  class Guard;

  bool Valid(int item) const { return item >= 0 && item < int(items_.size()); }
  void StopLocked(int item);
  uint32_t PositionLocked(int item) const;
  uint64_t Step(const Item& it) const;
  void MixVoice(Voice& v, float* acc, int frames);

  AudioDevice* device_ = nullptr;
  int outputRate_;
  std::vector<std::unique_ptr<Item>> items_;
  Voice voices_[kVoices];
  uint64_t serial_ = 0;
};

}  // namespace gravik

// libFuzzer target: a saved game from outside. The reader refuses it with a
// message or gives a game that restores into a world and saves back to a file
// that reads the same.
//
// Each input is tried twice: as a whole file, and as a payload put into a
// correct container (packed, with its CRC-32), so that mutations reach the
// state behind the checksum and the codec.
//
// Seeds: fuzz/seeds/savegame_fuzz/ holds a game saved by the game itself.
// Run: fuzz_savegame_fuzz fuzz/seeds/savegame_fuzz
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "base/Crc.h"
#include "codec/Codec.h"
#include "data/SaveGame.h"

namespace {

using namespace gravik;

void Check(const std::vector<uint8_t>& file) {
  SavedGame saved;
  std::string error;
  if (!ReadSavedGame(file, saved, error)) {
    if (error.empty()) __builtin_trap();
    return;
  }
  // A world to restore into, as the game's: its ports are never used here.
  struct Ports final : Clock, SoundSink, StateHost {
    uint32_t TickCount() override { return 0; }
    uint64_t PerfCounter() override { return 0; }
    uint64_t PerfFrequency() override { return 1; }
    void SleepMs(uint32_t) override {}
    void PlaySound(const std::string&) override {}
    void SetSoundVolume(const std::string&, int) override {}
    bool EffectsOn() const override { return false; }
    int EffectVolumeSetting() const override { return 0; }
    bool Playing() const override { return false; }
    void Report(WorldOutcome) override {}
  } ports;
  RandomGenerator random;
  auto world = std::make_unique<World>(ports, random, ports, ports);
  auto scenario = std::make_unique<Scenario>();
  for (auto& level : scenario->Levels) level.Width = level.Height = 32;
  auto chips = std::make_unique<std::array<uint8_t, MapCells>>();
  if (!RestoreSavedGame(saved, *world, *scenario, *chips, 12345, error)) __builtin_trap();
  const std::vector<uint8_t> again =
      WriteSavedGame(saved.Summary, saved.Play, *world, *scenario, *chips, 12345);
  SavedGame reread;
  if (!ReadSavedGame(again, reread, error) || reread.State != saved.State) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> file(data, data + size);
  Check(file);
  // The input as a payload inside a correct container; a whole saved game
  // given as input is unpacked first, so its state is what gets mutated.
  std::vector<uint8_t> payload = file;
  if (size > SaveGameHeaderSize && std::equal(data, data + 4, SaveGameTag))
    payload = Decompress(data + SaveGameHeaderSize, size - SaveGameHeaderSize, SaveGamePayloadMax);
  const std::vector<uint8_t> packed = Compress(payload.data(), payload.size(), TCompressMode::Fast);
  std::vector<uint8_t> wrapped;
  ByteWriter w(wrapped);
  w.Bytes(SaveGameTag, 4).U16(SaveGameVersion).U16(0).U32(uint32_t(packed.size()));
  w.U32(Crc32(packed.data(), packed.size())).Bytes(packed.data(), packed.size());
  Check(wrapped);
  return 0;
}

// Fuzzes the "zqaudio.dat" reader and the loading of its tracks into the wave list.
// Seeds: scripts/test.sh writes zqaudio.dat and a small music file of two
// sound effects (mkres fuzzseeds); fuzz/seeds/music_file/ holds damaged ones.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/Audio.h"
#include "base/Bytes.h"

namespace {

void Check(const uint8_t* data, size_t size) {
  std::vector<gravik::NamedBytes> items;
  const gravik::MusicFileStatus status = gravik::ReadMusicFile(data, size, items);
  if (status == gravik::MusicFileStatus::Ok) {
    size_t total = 0;
    for (const gravik::NamedBytes& item : items) {
      if (item.name.size() > 31) __builtin_trap();
      total += item.bytes.size();
    }
    if (items.size() > 20 || total > size) __builtin_trap();
    // What reads back must write back to a file the reader accepts.
    std::vector<gravik::NamedBytes> again;
    const std::vector<uint8_t> rewritten = gravik::WriteMusicFile(items);
    if (gravik::ReadMusicFile(rewritten.data(), rewritten.size(), again) != gravik::MusicFileStatus::Ok) __builtin_trap();
    if (again.size() != items.size()) __builtin_trap();
    for (size_t i = 0; i < items.size(); ++i)
      if (again[i].name != items[i].name || again[i].bytes != items[i].bytes) __builtin_trap();
  }
  gravik::AudioState audio;
  gravik::LoadMusicData(audio, std::vector<uint8_t>(data, data + size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (16u << 20)) return 0;  // the two tracks the game ships are far below
  Check(data, size);
  // The file states its own size (bytes 2-5); a mutation that changes the
  // length is tried again with the size put right, so it reaches the directory.
  if (size >= 6 && gravik::GetU32(data + 2) != size) {
    std::vector<uint8_t> fixed(data, data + size);
    gravik::PutU32(fixed.data() + 2, uint32_t(size));
    Check(fixed.data(), fixed.size());
  }
  return 0;
}

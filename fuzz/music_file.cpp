// Fuzzes the "zqaudio.dat" reader and the loading of its tracks into the wave list.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/Audio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
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
  return 0;
}

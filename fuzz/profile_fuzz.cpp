// libFuzzer target: a profile file (".zqp") from outside. The reader refuses
// it with the game's message or gives a record within its limits, which the
// writer turns into a file that reads back the same.
//
// A file ending in a check block is tried again with the block's CRC (and
// the payload length) fixed up (fuzz/Fixups.h), so mutations reach the
// payload and the record behind the check.
//
// Seeds: fuzz/seeds/profile_fuzz/ holds two files the game wrote itself
// (CreateProfile "Player" with RandomGenerator(2025), and a second profile
// with two scenario records and changed options, saved by SaveProfile), and
// small damaged ones.
// Run: fuzz_profile_fuzz fuzz/seeds/profile_fuzz
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "Fixups.h"
#include "data/Profile.h"

namespace {

using namespace gravik;

void Check(const uint8_t* data, size_t size) {
  DecodedProfile d;
  const ProfileResult r = DecodeProfileFile(data, size, d);
  if (!r) {
    if (r.Message != ProfileInvalidText && r.Message != ProfileStampText) __builtin_trap();
    if (d.Record) __builtin_trap();
    return;
  }
  const TProfileRecord& rec = *d.Record;
  if (d.PlayerName.size() > size_t(ProfileNameLength)) __builtin_trap();
  for (unsigned char c : d.PlayerName)
    if (c < 32 || c == 127) __builtin_trap();
  if (rec.ScenarioCount < 0 || rec.ScenarioCount > MaxScenarioRecords) __builtin_trap();
  if (rec.CurrentScenario < 0 || rec.CurrentScenario > rec.ScenarioCount) __builtin_trap();
  if (rec.SoundLevel < 0 || rec.SoundLevel > 20 || rec.MusicLevel < 0 || rec.MusicLevel > 20) __builtin_trap();
  // What the game reads from a loaded record.
  (void)CurrentScenarioTotals(rec);
  if (const TScenarioRecord* s = CurrentScenarioRecord(rec)) (void)FindScenarioRecord(rec, s->Identity);

  std::array<uint8_t, ProfileKeySize> key;
  for (size_t i = 0; i < key.size(); ++i) key[i] = uint8_t(i * 131 + 7);
  const std::vector<uint8_t> again = EncodeProfileFile(d.PlayerName, rec, key);
  DecodedProfile e;
  if (!DecodeProfileFile(again.data(), again.size(), e)) __builtin_trap();
  if (e.PlayerName != d.PlayerName) __builtin_trap();
  if (std::memcmp(e.Record.get(), d.Record.get(), sizeof(TProfileRecord)) != 0) __builtin_trap();
}

// The list's header check reads files on disk; a private temporary folder holds one.
const std::string& HeaderPath() {
  static const std::string path = [] {
    char shm[] = "/dev/shm/gravik-fuzz-profile-XXXXXX";
    char tmp[] = "/tmp/gravik-fuzz-profile-XXXXXX";
    const char* dir = mkdtemp(shm);
    if (!dir) dir = mkdtemp(tmp);
    if (!dir) std::abort();
    static const std::string made = dir;
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(made, ec);
    });
    return made + "/p.zqp";
  }();
  return path;
}

void CheckHeader(const uint8_t* data, size_t size) {
  FILE* f = std::fopen(HeaderPath().c_str(), "wb");
  if (!f) std::abort();
  if (size && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
  const std::optional<std::string> name = ReadProfileHeader(HeaderPath());
  const bool listable = size > 500 && data[0] == 0xE9 && data[1] == 0x07 && data[2] == 1;
  if (name.has_value() != listable) __builtin_trap();
  if (name && name->size() > size_t(ProfileNameLength)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  Check(data, size);
  CheckHeader(data, size);
  std::vector<uint8_t> fixed(data, data + size);
  if (gravik::fuzz::FixProfileCheck(fixed)) Check(fixed.data(), fixed.size());
  // Again behind a valid header and an all-zero key (so the input is the
  // descrambled storage flag, length and payload), reaching the payload from
  // an empty corpus too.
  std::vector<uint8_t> framed(ProfileScrambledOffset, 0);
  framed[0] = 0xE9;
  framed[1] = 0x07;
  framed[2] = 1;
  framed.insert(framed.end(), data, data + size);
  Check(framed.data(), framed.size());
  return 0;
}

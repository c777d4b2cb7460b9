// libFuzzer target: a settings file from outside. The store must read it, take
// a write, and save a file that reads back the same.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/Text.h"
#include "platform/Folders.h"
#include "platform/SettingsStore.h"

namespace {

// The settings file inside a private temporary GRAVIK_HOME, set up once.
const std::string& StorePath() {
  static const std::string path = [] {
    // Every save is synced to disk; on tmpfs that costs nothing, elsewhere it
    // would hold the fuzzer to a few dozen inputs a second.
    char shm[] = "/dev/shm/gravik-fuzz-settings-XXXXXX";
    char tmp[] = "/tmp/gravik-fuzz-settings-XXXXXX";
    const char* dir = mkdtemp(shm);
    if (!dir) dir = mkdtemp(tmp);
    if (!dir) std::abort();
    static const std::string made = dir;
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(made, ec);
    });
    setenv("GRAVIK_HOME", dir, 1);
    const std::string p = gravik::Folders().SettingsStoreFile();
    if (p.compare(0, std::string(dir).size(), dir) != 0) std::abort();  // never a real home
    if (!gravik::CreateDirectories(gravik::ExtractFileDir(p))) std::abort();
    return p;
  }();
  return path;
}

// Up to `limit` names to ask about: the text before '=' of the first lines,
// trimmed, plus variants in other letter case.
std::vector<std::string> Probes(std::string_view text, size_t limit) {
  std::vector<std::string> names;
  size_t pos = 0;
  while (pos < text.size() && names.size() < limit) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    const std::string name = gravik::Trim(line.substr(0, line.find('=')));
    names.push_back(name);
    names.push_back(gravik::UpperCase(name));
  }
  names.push_back("Missing");
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace gravik;
  if (size > 4096) return 0;  // the real file is a few short lines
  const std::string& path = StorePath();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);

  FileSettingsStore store(path);
  const std::vector<std::string> names = Probes(text, 8);
  for (const std::string& n : names) {
    (void)store.ValueExists(n);
    (void)store.ReadInteger(n);
    (void)store.ReadBool(n);
  }

  // A write: the name and value come from the input too, so escapes, stray
  // CRs and odd names are tried. The value never holds a NUL, as no text the
  // game stores does.
  const size_t half = size / 2;
  std::string wname = names.empty() ? std::string("Name") : names[0];
  std::string wvalue(text.substr(half));
  for (char& c : wvalue)
    if (c == '\0') c = ' ';
  store.WriteString(wname, wvalue);
  if (store.LastSaveFailed()) std::abort();  // a temp folder we own must take it
  const bool usable = store.ValueExists(wname);
  if (usable && store.ReadString(wname) != wvalue) __builtin_trap();

  // What was saved reads back the same, name for name.
  FileSettingsStore again(path);
  for (const std::string& n : names) {
    if (again.ValueExists(n) != store.ValueExists(n)) __builtin_trap();
    if (again.ReadString(n) != store.ReadString(n)) __builtin_trap();
    if (again.ReadInteger(n) != store.ReadInteger(n)) __builtin_trap();
  }
  if (usable && again.ReadString(wname) != wvalue) __builtin_trap();

  store.WriteInteger("Count", -7);
  if (FileSettingsStore(path).ReadInteger("count") != -7) __builtin_trap();
  store.DeleteValue(wname);
  if (FileSettingsStore(path).ValueExists(wname)) __builtin_trap();
  return 0;
}

// libFuzzer target: the scenario information block (read for the scenario list
// without loading the whole file) and the notes splitter, on any bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "data/Scenario.h"

namespace {

void CheckInfo(const uint8_t* data, size_t size) {
  using namespace gravik;
  TScenarioInfo info;
  std::memset(&info, 0xA5, sizeof info);
  TScenarioInfo untouched;
  std::memcpy(&untouched, &info, sizeof info);
  if (!ReadScenarioInfo(data, size, info)) {
    if (std::memcmp(&info, &untouched, sizeof info) != 0) __builtin_trap();
  } else {
    // What the scenario list does with it: the two names as text.
    const std::string name = info.Name.Str(), author = info.Author.Str();
    if (name.size() > 30 || author.size() > 30) __builtin_trap();
  }
}

// The notes preview reads a file on disk; a private temporary folder holds it.
const std::string& NotesPath() {
  static const std::string path = [] {
    char tmpl[] = "/tmp/gravik-fuzz-notes-XXXXXX";
    const char* dir = mkdtemp(tmpl);
    if (!dir) std::abort();
    static const std::string made = dir;
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(made, ec);
    });
    return made + "/notes.g2s";
  }();
  return path;
}

void CheckNotesFile(const std::vector<uint8_t>& file) {
  const std::string& path = NotesPath();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (std::fwrite(file.data(), 1, file.size(), f) != file.size()) std::abort();
  std::fclose(f);
  gravik::Scenario s;
  gravik::ReadScenarioNotes(s, path);
  size_t bytes = 0;
  for (const std::string& line : s.OtherNotes) bytes += line.size();
  if (bytes > file.size()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace gravik;
  CheckInfo(data, size);
  // Again with the version and marker of a current file in front, so that a
  // short run from an empty corpus reads the block too.
  if (size >= 3) {
    std::vector<uint8_t> current(data, data + size);
    gravik::PutU16(current.data(), ScenarioVersion);
    current[2] = 1;
    CheckInfo(current.data(), current.size());
    if (current.size() > 500) CheckNotesFile(current);
  }

  // Notes: the lines joined again with single LFs give the input with every
  // CR LF and lone CR turned into LF (less one final line break).
  const std::vector<std::string> lines = SplitNotes(data, size);
  std::string joined;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].find_first_of("\r\n") != std::string::npos) __builtin_trap();
    if (i) joined += '\n';
    joined += lines[i];
  }
  std::string expect;
  for (size_t i = 0; i < size; ++i) {
    const char c = char(data[i]);
    if (c == '\r') {
      expect += '\n';
      if (i + 1 < size && data[i + 1] == '\n') ++i;
    } else {
      expect += c;
    }
  }
  if (!expect.empty() && expect.back() == '\n') expect.pop_back();
  if (joined != expect) __builtin_trap();
  return 0;
}

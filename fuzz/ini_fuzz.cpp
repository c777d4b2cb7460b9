// libFuzzer target: "gravik.ini" from outside. Reading takes any text; storing
// the keyboard mode changes only the kbi line, is stable when repeated, and
// reads back as the stored mode.
//
// Seeds: fuzz/seeds/ini_fuzz/ holds files written by SaveKeyboardMode (one
// over a file with Sound, Music and Altmode lines in CR LF, one from no file).
// Run: fuzz_ini_fuzz fuzz/seeds/ini_fuzz
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Text.h"
#include "data/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace gravik;
  if (size > 8192) return 0;  // the real file is a few short lines
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const IniSettings before = ParseIniSettings(text);
  if (before.KeyboardMode != 0 && before.KeyboardMode != 1) __builtin_trap();

  const std::vector<std::string> lines = SplitIniLines(text);
  for (const std::string& l : lines)
    if (l.find_first_of("\r\n") != std::string::npos) __builtin_trap();

  // The last line holding "kbi" decides the mode on reading.
  int lastKbi = -1;
  for (size_t i = 0; i < lines.size(); ++i)
    if (LowerCase(lines[i]).find("kbi") != std::string::npos) lastKbi = int(i);

  for (int mode : {0, 1}) {
    const std::string saved = WithKeyboardMode(text, mode);
    const std::vector<std::string> out = SplitIniLines(saved);
    if (out.size() != lines.size() && out.size() != lines.size() + 1) __builtin_trap();
    size_t changed = 0;
    for (size_t i = 0; i < lines.size(); ++i) changed += out[i] != lines[i];
    if (changed > 1) __builtin_trap();
    if (WithKeyboardMode(saved, mode) != saved) __builtin_trap();
    const bool readsBack = lastKbi < 0 || LowerCase(lines[size_t(lastKbi)]).find("kbi=") != std::string::npos;
    if (readsBack && ParseIniSettings(saved).KeyboardMode != mode) __builtin_trap();
  }
  return 0;
}

// libFuzzer target: text conversion between UTF-8 and Windows-1252, on any bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Codepage.h"

namespace {

// The five bytes Windows-1252 leaves undefined.
bool Undefined1252(uint8_t b) { return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D; }
bool Control(uint8_t b) { return b < 32 || b == 127; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace gravik;
  const std::string_view in(reinterpret_cast<const char*>(data), size);

  // UTF-8 (possibly malformed) to 1252: only printable, defined bytes come out,
  // never more bytes than went in.
  const std::string narrow = Utf8ToWindows1252(in);
  if (narrow.size() > in.size()) __builtin_trap();
  for (char c : narrow)
    if (Control(uint8_t(c)) || Undefined1252(uint8_t(c))) __builtin_trap();
  // Those bytes are all real characters, so they go to UTF-8 and back unchanged.
  const std::string wide = Windows1252ToUtf8(narrow);
  if (!IsValidUtf8(wide)) __builtin_trap();
  if (Utf8ToWindows1252(wide) != narrow) __builtin_trap();

  // Every character kept is one that was in the input, in the same order: its
  // UTF-8 bytes are a subsequence of the input (nothing mapped to the wrong byte).
  size_t at = 0;
  for (char c : wide) {
    while (at < in.size() && in[at] != c) ++at;
    if (at == in.size()) __builtin_trap();
    ++at;
  }

  // The input read as 1252: always valid UTF-8, one character per byte (CR, LF
  // and the rest of the controls included), and undefined bytes become U+FFFD.
  const std::string asUtf8 = Windows1252ToUtf8(in);
  if (!IsValidUtf8(asUtf8)) __builtin_trap();
  if (asUtf8.size() < in.size() || asUtf8.size() > 3 * in.size()) __builtin_trap();
  const std::string display = ToDisplayUtf8(in);
  if (!IsValidUtf8(display)) __builtin_trap();
  if (IsValidUtf8(in) && display != in) __builtin_trap();

  const std::string lf = WithLfLineBreaks(in);
  if (lf.find('\r') != std::string::npos || lf.size() > in.size()) __builtin_trap();
  return 0;
}

#include "platform/Codepage.h"

#include <cstdint>

namespace gravik {

namespace {

// Code points of bytes 0x80..0x9F; 0 where 1252 has no character.
constexpr uint16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Decodes one UTF-8 character at s[i]; returns its length (0 when malformed).
size_t DecodeUtf8(std::string_view s, size_t i, uint32_t& cp) {
  const auto b0 = uint8_t(s[i]);
  size_t len;
  uint32_t min;
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    const auto b = uint8_t(s[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string Utf8ToWindows1252(std::string_view utf8) {
  std::string out;
  size_t i = 0;
  while (i < utf8.size()) {
    uint32_t cp = 0;
    size_t len = DecodeUtf8(utf8, i, cp);
    if (len == 0) {
      ++i;  // skip one byte of a malformed sequence
      continue;
    }
    i += len;
    if ((cp >= 32 && cp < 127) || (cp >= 0xA0 && cp <= 0xFF)) {
      out += char(cp);
      continue;
    }
    for (int k = 0; k < 32; ++k) {
      if (kHigh[k] != 0 && kHigh[k] == cp) {
        out += char(0x80 + k);
        break;
      }
    }
  }
  return out;
}

std::string Windows1252ToUtf8(std::string_view text) {
  std::string out;
  for (char c : text) {
    const auto b = uint8_t(c);
    if (b >= 0x80 && b < 0xA0) {
      AppendUtf8(out, kHigh[b - 0x80] ? kHigh[b - 0x80] : 0xFFFD);
    } else {
      AppendUtf8(out, b);
    }
  }
  return out;
}

bool IsValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    uint32_t cp;
    size_t len = DecodeUtf8(s, i, cp);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

std::string ToDisplayUtf8(std::string_view s) {
  return IsValidUtf8(s) ? std::string(s) : Windows1252ToUtf8(s);
}

std::string WithLfLineBreaks(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r') {
      out += '\n';
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

}  // namespace gravik

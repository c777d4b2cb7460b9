#include "zlib.h"

#include <cstring>

uLong crc32(uLong crc, const Bytef* buf, uInt len) {
  if (!buf) return 0;
  unsigned long c = crc ^ 0xFFFFFFFFul;
  for (uInt i = 0; i < len; ++i) {
    c ^= buf[i];
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320ul ^ (c >> 1) : c >> 1;
  }
  return (c ^ 0xFFFFFFFFul) & 0xFFFFFFFFul;
}

uLong adler32(uLong adler, const Bytef* buf, uInt len) {
  if (!buf) return 1;
  unsigned long a = adler & 0xFFFF, b = (adler >> 16) & 0xFFFF;
  for (uInt i = 0; i < len; ++i) {
    a = (a + buf[i]) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

namespace {
constexpr uLong kBlock = 65535;  // the largest stored block
}

uLong compressBound(uLong n) { return 2 + n + 5 * (n / kBlock + 1) + 4; }

int compress2(Bytef* dest, uLongf* destLen, const Bytef* source, uLong sourceLen, int /*level*/) {
  if (*destLen < compressBound(sourceLen)) return Z_BUF_ERROR;
  Bytef* out = dest;
  *out++ = 0x78;  // deflate, 32 KB window
  *out++ = 0x01;  // no preset dictionary; (0x78 << 8 | 0x01) % 31 == 0
  uLong pos = 0;
  do {
    const uLong len = sourceLen - pos < kBlock ? sourceLen - pos : kBlock;
    *out++ = pos + len == sourceLen ? 1 : 0;  // final-block bit, type 00 (stored)
    *out++ = Bytef(len);
    *out++ = Bytef(len >> 8);
    *out++ = Bytef(~len);
    *out++ = Bytef(~len >> 8);
    if (len) std::memcpy(out, source + pos, len);
    out += len;
    pos += len;
  } while (pos < sourceLen);
  const uLong a = adler32(1, source, uInt(sourceLen));
  *out++ = Bytef(a >> 24);
  *out++ = Bytef(a >> 16);
  *out++ = Bytef(a >> 8);
  *out++ = Bytef(a);
  *destLen = uLongf(out - dest);
  return Z_OK;
}

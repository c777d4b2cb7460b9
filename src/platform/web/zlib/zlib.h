// The few zlib calls the game makes (PNG screenshots), for the web build,
// which has no zlib: compress2 writes a valid zlib stream of stored
// (uncompressed) deflate blocks, so a screenshot is larger than on the desktop
// but any PNG reader opens it. The level argument is accepted and ignored.
#pragma once
#include <cstddef>

typedef unsigned char Bytef;
typedef unsigned int uInt;
typedef unsigned long uLong;
typedef unsigned long uLongf;

#define Z_OK 0
#define Z_BUF_ERROR (-5)

uLong crc32(uLong crc, const Bytef* buf, uInt len);
uLong adler32(uLong adler, const Bytef* buf, uInt len);
uLong compressBound(uLong sourceLen);
int compress2(Bytef* dest, uLongf* destLen, const Bytef* source, uLong sourceLen, int level);

// "WAXF" speed against zlib on about 4 MB of game-like data (pictures and text).
//
// Goals: WAXF decompression at least 1.5x zlib inflate, compression at least
// 2x zlib level 1. Prints MB/s, size ratios and the speed ratios.
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "codec/Codec.h"
#include "gfx/Bitmap.h"
#include "gfx/Bmp.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A 16-bit bitmap file image of one of three kinds of picture.
Bytes Picture(int w, int h, int kind, std::mt19937& gen) {
  gravik::Bitmap bmp(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint16_t p;
      if (kind == 0) {  // smooth gradient
        p = uint16_t(((x * 31 / w) << 11) | ((y * 63 / h) << 5) | ((x + y) * 31 / (w + h)));
      } else if (kind == 1) {  // 64 x 64 tiles with outlines and some texture
        const int tx = x % 64, ty = y % 64;
        const int t = (x / 64 + y / 64 * 3) % 7;
        p = (tx == 0 || ty == 0) ? 0 : uint16_t(0x1082 * (t + 1) + ((tx * ty) % 5 == 0 ? 0x0821 : 0));
      } else {  // noisy "earth" texture: a few colours picked at random
        static const uint16_t earth[4] = {0x8A22, 0x9263, 0x7A02, 0xA2A4};
        p = earth[gen() % 4];
      }
      bmp.Row(h - 1 - y)[x] = p;
    }
  }
  return gravik::SaveBmp16(bmp);
}

Bytes Text(size_t n, std::mt19937& gen) {
  static const char* words[] = {"the ", "rock ", "falls ", "on ", "Gravik ", "when ", "he ", "digs ", "under ",
                                "it. ", "Collect ", "every ", "diamond ", "and ", "key ", "to ", "open ",
                                "safe ", "in ", "level ", "twenty.\n", "Monsters ", "hatch ", "from ", "eggs, "};
  Bytes b;
  while (b.size() < n) {
    const char* w = words[gen() % 25];
    while (*w) b.push_back(uint8_t(*w++));
  }
  b.resize(n);
  return b;
}

double Seconds(const std::function<void()>& f) {
  const auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int reps = argc > 1 ? std::atoi(argv[1]) : 7;
  std::mt19937 gen(2024);
  Bytes data;
  auto add = [&](const Bytes& b) { data.insert(data.end(), b.begin(), b.end()); };
  add(Picture(640, 480, 0, gen));   // 600 KB
  add(Picture(1024, 512, 1, gen));  // 1 MB block sheet
  add(Picture(640, 480, 2, gen));   // 600 KB texture
  add(Text(900 * 1024, gen));
  add(Picture(640, 480, 1, gen));
  add(Picture(512, 512, 0, gen));
  add(Text(300 * 1024, gen));
  const double mb = double(data.size()) / (1024.0 * 1024.0);

  // Every round times each codec once, so load changes on the machine touch
  // all of them alike; the best round of each counts.
  Bytes waxf, plain;
  struct Z {
    int level;
    Bytes packed;
    uLongf size;
    double tc, td;
  } zl[2] = {{1, {}, 0, 1e30, 1e30}, {6, {}, 0, 1e30, 1e30}};
  Bytes out(data.size());
  double tWc = 1e30, tWd = 1e30, tWdFresh = 1e30;
  Bytes reused;
  for (int r = 0; r < reps; ++r) {
    tWc = std::min(tWc, Seconds([&] {
      waxf = gravik::Compress(data.data(), data.size(), gravik::TCompressMode::Fast);
    }));
    // zlib inflates into a buffer made beforehand; so does this one (the
    // buffer keeps its capacity), the second one returns a new vector.
    tWd = std::min(tWd, Seconds([&] {
      reused.clear();
      gravik::Decompress(waxf.data(), waxf.size(), data.size(), reused);
    }));
    tWdFresh = std::min(tWdFresh, Seconds([&] { plain = gravik::Decompress(waxf.data(), waxf.size(), data.size()); }));
    if (plain != data || reused != data) {
      std::fprintf(stderr, "WAXF round trip failed\n");
      return 1;
    }
    for (Z& z : zl) {
      z.packed.resize(compressBound(uLong(data.size())));
      z.tc = std::min(z.tc, Seconds([&] {
        z.size = uLongf(z.packed.size());
        compress2(z.packed.data(), &z.size, data.data(), uLong(data.size()), z.level);
      }));
      z.td = std::min(z.td, Seconds([&] {
        uLongf m = uLongf(out.size());
        uncompress(out.data(), &m, z.packed.data(), z.size);
      }));
      if (out != data) {
        std::fprintf(stderr, "zlib round trip failed\n");
        return 1;
      }
    }
  }

  std::printf("input: %.2f MB (pictures and text), best of %d rounds\n\n", mb, reps);
  std::printf("%-10s %10s %8s %14s %14s\n", "codec", "bytes", "ratio", "compress MB/s", "decompress MB/s");
  std::printf("%-10s %10zu %7.1f%% %14.1f %14.1f\n", "WAXF", waxf.size(), 100.0 * double(waxf.size()) / double(data.size()),
              mb / tWc, mb / tWd);
  std::printf("%-10s %10s %8s %14s %14.1f  (into a new vector)\n", "WAXF", "", "", "", mb / tWdFresh);
  for (const Z& z : zl)
    std::printf("zlib -%d    %10zu %7.1f%% %14.1f %14.1f\n", z.level, z.size, 100.0 * double(z.size) / double(data.size()),
                mb / z.tc, mb / z.td);
  const double compressRatio = zl[0].tc / tWc;
  const double inflateRatio = zl[0].td / tWd;
  std::printf("\nWAXF compression / zlib -1:   %.2fx (goal >= 2.0x) %s\n", compressRatio,
              compressRatio >= 2.0 ? "met" : "MISSED");
  std::printf("WAXF compression / zlib -6:   %.2fx\n", zl[1].tc / tWc);
  std::printf("WAXF decompression / inflate: %.2fx (goal >= 1.5x) %s   [inflate of -6 data: %.2fx]\n", inflateRatio,
              inflateRatio >= 1.5 ? "met" : "MISSED", zl[1].td / tWd);
  std::printf("  the same into a new vector: %.2fx\n", zl[0].td / tWdFresh);
  return 0;
}

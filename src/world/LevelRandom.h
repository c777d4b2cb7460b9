// The two-term generator of level layouts (meteors, plants, rock frames).
#pragma once
#include <cstdint>

namespace gravik {

class LevelRandom {
 public:
  // A zero seed becomes 2 for A and 3 for B.
  void Seed(int32_t a, int32_t b) {
    A = a == 0 ? 2 : a;
    B = b == 0 ? 3 : b;
  }
  // (A, B) := (B, A + B), wrapping; the new B when at most 100, else the number
  // made of the last two characters of its decimal text.
  int32_t Draw();

  int32_t A = 2;
  int32_t B = 3;
};

}  // namespace gravik

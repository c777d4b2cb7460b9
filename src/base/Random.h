// The game's uniform random generator, `Random(n)`: seeded once, owned by the
// Game, so that a run with the same seed and input is the same run.
#pragma once
#include <cstdint>

namespace gravik {

class RandomGenerator {
 public:
  explicit RandomGenerator(uint64_t seed = 1) { Seed(seed); }
  void Seed(uint64_t seed) { state_ = seed ^ 0x9E3779B97F4A7C15ull; }
  // 0 <= result < n; 0 when n <= 0.
  int32_t Random(int32_t n) {
    if (n <= 0) return 0;
    return int32_t((uint64_t(Next()) * uint64_t(n)) >> 32);
  }
  // 0 <= result < 1.
  double RandomFloat() { return double(Next()) / 4294967296.0; }
  uint64_t State() const { return state_; }
  // Continues from a state State() returned (a demo repeats a recorded run).
  void SetState(uint64_t state) { state_ = state; }

 private:
  uint32_t Next() {  // splitmix64, upper half
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return uint32_t((z ^ (z >> 31)) >> 32);
  }
  uint64_t state_ = 0;
};

}  // namespace gravik

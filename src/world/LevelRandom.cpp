#include "world/LevelRandom.h"

#include <string>

namespace gravik {

int32_t LevelRandom::Draw() {
  const int32_t sum = int32_t(uint32_t(A) + uint32_t(B));
  A = B;
  B = sum;
  if (B <= 100) return B;
  // Last two characters of the decimal text; only a value above 100 gets
  // here, so both are digits.
  const std::string text = std::to_string(B);
  return std::stoi(text.substr(text.size() - 2));
}

}  // namespace gravik

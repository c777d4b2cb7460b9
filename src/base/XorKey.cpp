#include "base/XorKey.h"

namespace gravik {

void XorWithKey(uint8_t* data, size_t size, const uint8_t* key, size_t keySize) {
  if (keySize == 0) return;
  size_t k = 0;
  for (size_t i = 0; i < size; ++i) {
    data[i] ^= key[k];
    if (++k == keySize) k = 0;
  }
}

}  // namespace gravik

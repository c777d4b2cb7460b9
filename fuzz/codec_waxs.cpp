// Arbitrary bytes behind a "WAXS" tag through the LZHUF decoder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "codec/Codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t kCap = 65016;
  std::vector<uint8_t> in = {'W', 'A', 'X', 'S'};
  in.insert(in.end(), data, data + size);
  if (gravik::Decompress(in.data(), in.size(), kCap).size() > kCap) std::abort();
  if (size <= 4096) {
    const std::vector<uint8_t> packed = gravik::Compress(data, size, gravik::TCompressMode::Good);
    if (gravik::Decompress(packed.data(), packed.size(), size) != std::vector<uint8_t>(data, data + size))
      std::abort();
  }
  return 0;
}

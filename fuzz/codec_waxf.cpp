// Arbitrary bytes behind a "WAXF" tag through the container decoder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "codec/Codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t kCap = 320368;
  std::vector<uint8_t> in = {'W', 'A', 'X', 'F'};
  in.insert(in.end(), data, data + size);
  const std::vector<uint8_t> out = gravik::Decompress(in.data(), in.size(), kCap);
  if (out.size() > kCap) std::abort();
  // Raw input too, so the tag and header checks are reached.
  if (gravik::Decompress(data, size, kCap).size() > kCap) std::abort();
  // Whatever we compress must come back unchanged.
  const std::vector<uint8_t> packed = gravik::Compress(data, size, gravik::TCompressMode::Fast);
  if (gravik::Decompress(packed.data(), packed.size(), size) != std::vector<uint8_t>(data, data + size))
    std::abort();
  return 0;
}

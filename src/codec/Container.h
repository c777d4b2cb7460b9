// Container decoding with the details Tlzrw1 needs.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace gravik {

// Appends the decoded bytes of the container at `data` to `out` (at most
// `maxOut` of them; a container declaring more is refused) and returns the
// number of input bytes consumed. Never throws on damaged input.
size_t DecodeContainer(const uint8_t* data, size_t size, size_t maxOut, std::vector<uint8_t>& out);

}  // namespace gravik

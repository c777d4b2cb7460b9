// XOR key streams used to scramble scenario, profile and archive data.
#pragma once
#include <cstddef>
#include <cstdint>

namespace gravik {

// Byte i of the region is XOR-ed with key[i mod keySize]; the key starts over
// for every call. An empty key leaves the region unchanged. Applying the same
// key twice restores the original bytes.
void XorWithKey(uint8_t* data, size_t size, const uint8_t* key, size_t keySize);

}  // namespace gravik

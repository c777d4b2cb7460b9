// Little-endian integers in byte buffers: plain get/put at a pointer, a reader
// that never runs past the end of its span, and a writer that appends.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace gravik {

inline uint16_t GetU16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t GetU32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void PutU16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void PutU32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}

// Reads from a span, front to back. A read that does not fit in what is left
// fails, consumes nothing and leaves its output unchanged.
class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> data, size_t pos = 0)
      : data_(data), pos_(pos < data.size() ? pos : data.size()) {}
  ByteReader(const uint8_t* data, size_t size) : ByteReader(std::span<const uint8_t>(data, size)) {}

  size_t Pos() const { return pos_; }
  size_t Left() const { return data_.size() - pos_; }

  bool Bytes(void* out, size_t n) {
    if (n > Left()) return false;
    if (n) std::memcpy(out, data_.data() + pos_, n);
    pos_ += n;
    return true;
  }
  // Points `p` at the next `n` bytes and steps over them.
  bool View(size_t n, const uint8_t*& p) {
    if (n > Left()) return false;
    p = data_.data() + pos_;
    pos_ += n;
    return true;
  }
  bool Skip(size_t n) {
    if (n > Left()) return false;
    pos_ += n;
    return true;
  }
  bool U8(uint8_t& v) { return Bytes(&v, 1); }
  bool U16(uint16_t& v) {
    if (Left() < 2) return false;
    v = GetU16(data_.data() + pos_);
    pos_ += 2;
    return true;
  }
  bool U32(uint32_t& v) {
    if (Left() < 4) return false;
    v = GetU32(data_.data() + pos_);
    pos_ += 4;
    return true;
  }

 private:
  std::span<const uint8_t> data_;
  size_t pos_;
};

// Appends to a byte vector it does not own.
class ByteWriter {
 public:
  explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}

  ByteWriter& U8(uint8_t v) {
    out_.push_back(v);
    return *this;
  }
  ByteWriter& U16(uint16_t v) {
    out_.push_back(uint8_t(v));
    out_.push_back(uint8_t(v >> 8));
    return *this;
  }
  ByteWriter& U32(uint32_t v) {
    for (int i = 0; i < 32; i += 8) out_.push_back(uint8_t(v >> i));
    return *this;
  }
  ByteWriter& Bytes(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    out_.insert(out_.end(), b, b + n);
    return *this;
  }
  size_t Size() const { return out_.size(); }

 private:
  std::vector<uint8_t>& out_;
};

}  // namespace gravik

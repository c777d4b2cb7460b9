// LZHUF: LZSS over a 4096-byte ring buffer, lengths and literals coded with an
// adaptive Huffman tree, positions with a fixed table for their upper 6 bits.
#include <array>
#include <cstring>
#include <memory>

#include "codec/Lzrw1.h"

namespace gravik {
namespace {

constexpr int N = 4096;         // ring buffer size
constexpr int F = 60;           // look-ahead size
constexpr int THRESHOLD = 2;    // longest match coded as literals
constexpr int NIL = N;          // empty tree link
constexpr int N_CHAR = 256 - THRESHOLD + F;  // 314 symbols
constexpr int T = N_CHAR * 2 - 1;            // 627 tree nodes
constexpr int R = T - 1;                     // root
constexpr unsigned MAX_FREQ = 0x8000;

// Code lengths of the upper 6 position bits: 1 code of 3 bits, 3 of 4 bits,
// 8 of 5, 12 of 6, 24 of 7 and 16 of 8, assigned in order.
struct PositionTables {
  std::array<uint8_t, 64> pLen{}, pCode{};
  std::array<uint8_t, 256> dCode{}, dLen{};
  constexpr PositionTables() {
    constexpr int counts[] = {1, 3, 8, 12, 24, 16};
    int idx = 0;
    unsigned code = 0;
    for (int g = 0; g < 6; ++g) {
      const int len = g + 3;
      const unsigned span = 256u >> len;
      for (int k = 0; k < counts[g]; ++k, ++idx) {
        pLen[idx] = uint8_t(len);
        pCode[idx] = uint8_t(code);
        for (unsigned b = 0; b < span; ++b) {
          dCode[code + b] = uint8_t(idx);
          dLen[code + b] = uint8_t(len);
        }
        code += span;
      }
    }
  }
};
constexpr PositionTables kPos;
static_assert(kPos.pCode[1] == 0x20 && kPos.pCode[4] == 0x50 && kPos.pCode[12] == 0x90 &&
              kPos.pCode[24] == 0xC0 && kPos.pCode[48] == 0xF0 && kPos.pCode[63] == 0xFF);

// The adaptive Huffman tree shared by encoder and decoder.
struct HuffTree {
  std::array<unsigned, T + 1> freq{};
  std::array<int, T + N_CHAR> prnt{};  // parents; prnt[T..] point at the leaves
  std::array<int, T> son{};            // children (son[i], son[i] + 1) or leaf T + symbol

  HuffTree() {
    for (int i = 0; i < N_CHAR; ++i) {
      freq[i] = 1;
      son[i] = i + T;
      prnt[i + T] = i;
    }
    for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
      freq[j] = freq[i] + freq[i + 1];
      son[j] = i;
      prnt[i] = prnt[i + 1] = j;
    }
    freq[T] = 0xFFFF;
    prnt[R] = 0;
  }

  // Rebuilds the tree with halved leaf counts.
  void Reconst() {
    int j = 0;
    for (int i = 0; i < T; ++i) {
      if (son[i] >= T) {
        freq[j] = (freq[i] + 1) / 2;
        son[j] = son[i];
        ++j;
      }
    }
    for (int i = 0, jj = N_CHAR; jj < T; i += 2, ++jj) {
      const unsigned f = freq[i] + freq[i + 1];
      freq[jj] = f;
      int k = jj - 1;
      while (f < freq[k]) --k;
      ++k;
      std::memmove(&freq[k + 1], &freq[k], sizeof(freq[0]) * size_t(jj - k));
      freq[k] = f;
      std::memmove(&son[k + 1], &son[k], sizeof(son[0]) * size_t(jj - k));
      son[k] = i;
    }
    for (int i = 0; i < T; ++i) {
      const int k = son[i];
      if (k >= T) {
        prnt[k] = i;
      } else {
        prnt[k] = prnt[k + 1] = i;
      }
    }
  }

  void Update(int c) {
    if (freq[R] == MAX_FREQ) Reconst();
    c = prnt[c + T];
    do {
      const unsigned k = ++freq[c];
      int l = c + 1;
      if (k > freq[l]) {
        while (k > freq[++l]) {
        }
        --l;
        freq[c] = freq[l];
        freq[l] = k;
        const int i = son[c];
        prnt[i] = l;
        if (i < T) prnt[i + 1] = l;
        const int j = son[l];
        son[l] = i;
        prnt[j] = c;
        if (j < T) prnt[j + 1] = c;
        son[c] = j;
        c = l;
      }
    } while ((c = prnt[c]) != 0);
  }
};

class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
  // Appends the low `len` bits of `bits`, most significant first (len <= 24).
  void Put(unsigned len, uint32_t bits) {
    acc_ = (acc_ << len) | (bits & ((1u << len) - 1));
    count_ += len;
    while (count_ >= 8) {
      count_ -= 8;
      out_.push_back(uint8_t(acc_ >> count_));
    }
  }
  // Writes the last partial byte padded with zero bits.
  void Flush() {
    if (count_) out_.push_back(uint8_t(acc_ << (8 - count_)));
    count_ = 0;
  }

 private:
  std::vector<uint8_t>& out_;
  uint32_t acc_ = 0;
  unsigned count_ = 0;
};

class BitReader {
 public:
  BitReader(const uint8_t* in, size_t n) : in_(in), n_(n), available_(uint64_t(n) * 8) {}
  int Bit() {
    Fill();
    const int b = (buf_ >> 15) & 1;
    buf_ = uint16_t(buf_ << 1);
    --len_;
    ++used_;
    return b;
  }
  unsigned Byte() {
    Fill();
    const unsigned b = buf_ >> 8;
    buf_ = uint16_t(buf_ << 8);
    len_ -= 8;
    used_ += 8;
    return b;
  }
  // More bits were taken than the input holds: the stream is cut short.
  bool Overrun() const { return used_ > available_; }

 private:
  void Fill() {
    while (len_ <= 8) {
      const unsigned c = pos_ < n_ ? in_[pos_] : 0;
      ++pos_;
      buf_ = uint16_t(buf_ | (c << (8 - len_)));
      len_ += 8;
    }
  }
  const uint8_t* in_;
  size_t n_;
  size_t pos_ = 0;
  uint64_t available_;
  uint64_t used_ = 0;
  uint16_t buf_ = 0;
  int len_ = 0;
};

// LZSS match finder: binary search trees over the ring buffer.
class MatchTree {
 public:
  std::array<uint8_t, N + F - 1> text{};
  int matchPosition = 0;
  int matchLength = 0;

  MatchTree() {
    for (int i = N + 1; i <= N + 256; ++i) rson_[i] = NIL;
    for (int i = 0; i < N; ++i) dad_[i] = NIL;
  }

  void Insert(int r) {
    int cmp = 1;
    const uint8_t* key = &text[r];
    int p = N + 1 + key[0];
    rson_[r] = lson_[r] = NIL;
    matchLength = 0;
    for (;;) {
      if (cmp >= 0) {
        if (rson_[p] != NIL) {
          p = rson_[p];
        } else {
          rson_[p] = r;
          dad_[r] = p;
          return;
        }
      } else {
        if (lson_[p] != NIL) {
          p = lson_[p];
        } else {
          lson_[p] = r;
          dad_[r] = p;
          return;
        }
      }
      int i = 1;
      for (; i < F; ++i) {
        if ((cmp = int(key[i]) - int(text[p + i])) != 0) break;
      }
      if (i > THRESHOLD) {
        const int dist = ((r - p) & (N - 1)) - 1;
        if (i > matchLength) {
          matchPosition = dist;
          if ((matchLength = i) >= F) break;
        } else if (i == matchLength && dist < matchPosition) {
          matchPosition = dist;
        }
      }
    }
    // Full-length match: r replaces p in the tree.
    dad_[r] = dad_[p];
    lson_[r] = lson_[p];
    rson_[r] = rson_[p];
    dad_[lson_[p]] = r;
    dad_[rson_[p]] = r;
    if (rson_[dad_[p]] == p) {
      rson_[dad_[p]] = r;
    } else {
      lson_[dad_[p]] = r;
    }
    dad_[p] = NIL;
  }

  void Delete(int p) {
    if (dad_[p] == NIL) return;
    int q;
    if (rson_[p] == NIL) {
      q = lson_[p];
    } else if (lson_[p] == NIL) {
      q = rson_[p];
    } else {
      q = lson_[p];
      if (rson_[q] != NIL) {
        do {
          q = rson_[q];
        } while (rson_[q] != NIL);
        rson_[dad_[q]] = lson_[q];
        dad_[lson_[q]] = dad_[q];
        lson_[q] = lson_[p];
        dad_[lson_[p]] = q;
      }
      rson_[q] = rson_[p];
      dad_[rson_[p]] = q;
    }
    dad_[q] = dad_[p];
    if (rson_[dad_[p]] == p) {
      rson_[dad_[p]] = q;
    } else {
      lson_[dad_[p]] = q;
    }
    dad_[p] = NIL;
  }

 private:
  std::array<int, N + 1> lson_{};
  std::array<int, N + 257> rson_{};
  std::array<int, N + 1> dad_{};
};

void EncodeChar(HuffTree& tree, BitWriter& bits, int c) {
  // Walk from the leaf to the root; the root's branch is the first bit sent.
  uint64_t code = 0;
  unsigned len = 0;
  int k = tree.prnt[c + T];
  do {
    code |= uint64_t(k & 1) << len;
    ++len;
  } while ((k = tree.prnt[k]) != R);
  while (len > 16) {
    len -= 16;
    bits.Put(16, uint32_t(code >> len));
  }
  bits.Put(len, uint32_t(code));
  tree.Update(c);
}

void EncodePosition(BitWriter& bits, int c) {
  const int i = c >> 6;
  bits.Put(kPos.pLen[i], unsigned(kPos.pCode[i]) >> (8 - kPos.pLen[i]));
  bits.Put(6, unsigned(c & 0x3F));
}

int DecodeChar(HuffTree& tree, BitReader& bits) {
  int c = tree.son[R];
  while (c < T) c = tree.son[c + bits.Bit()];
  c -= T;
  tree.Update(c);
  return c;
}

int DecodePosition(BitReader& bits) {
  unsigned i = bits.Byte();
  const unsigned c = unsigned(kPos.dCode[i]) << 6;
  int j = kPos.dLen[i] - 2;
  while (j--) i = (i << 1) + unsigned(bits.Bit());
  return int(c | (i & 0x3F));
}

}  // namespace

void TLZH::Encode(const uint8_t* in, size_t n, std::vector<uint8_t>& out) {
  if (n == 0) return;
  auto tree = std::make_unique<HuffTree>();
  auto lz = std::make_unique<MatchTree>();
  BitWriter bits(out);
  auto& text = lz->text;
  size_t ip = 0;
  int s = 0;
  int r = N - F;
  for (int i = s; i < r; ++i) text[i] = ' ';
  int len = 0;
  for (; len < F && ip < n; ++len) text[r + len] = in[ip++];
  for (int i = 1; i <= F; ++i) lz->Insert(r - i);
  lz->Insert(r);
  do {
    if (lz->matchLength > len) lz->matchLength = len;
    if (lz->matchLength <= THRESHOLD) {
      lz->matchLength = 1;
      EncodeChar(*tree, bits, text[r]);
    } else {
      EncodeChar(*tree, bits, 255 - THRESHOLD + lz->matchLength);
      EncodePosition(bits, lz->matchPosition);
    }
    const int last = lz->matchLength;
    int i = 0;
    for (; i < last && ip < n; ++i) {
      const uint8_t c = in[ip++];
      lz->Delete(s);
      text[s] = c;
      if (s < F - 1) text[s + N] = c;
      s = (s + 1) & (N - 1);
      r = (r + 1) & (N - 1);
      lz->Insert(r);
    }
    while (i++ < last) {
      lz->Delete(s);
      s = (s + 1) & (N - 1);
      r = (r + 1) & (N - 1);
      if (--len) lz->Insert(r);
    }
  } while (len > 0);
  bits.Flush();
}

bool TLZH::Decode(const uint8_t* in, size_t n, size_t length, std::vector<uint8_t>& out) {
  if (length == 0) return true;
  auto tree = std::make_unique<HuffTree>();
  std::array<uint8_t, N> text;
  text.fill(' ');
  BitReader bits(in, n);
  int r = N - F;
  size_t count = 0;
  while (count < length) {
    const int c = DecodeChar(*tree, bits);
    if (c < 256) {
      if (bits.Overrun()) return false;
      out.push_back(uint8_t(c));
      text[size_t(r)] = uint8_t(c);
      r = (r + 1) & (N - 1);
      ++count;
      continue;
    }
    const int from = (r - DecodePosition(bits) - 1) & (N - 1);
    const size_t j = size_t(c - 255 + THRESHOLD);
    if (bits.Overrun() || count + j > length) return false;
    for (size_t k = 0; k < j; ++k) {
      const uint8_t b = text[size_t((from + int(k)) & (N - 1))];
      out.push_back(b);
      text[size_t(r)] = b;
      r = (r + 1) & (N - 1);
    }
    count += j;
  }
  return true;
}

}  // namespace gravik

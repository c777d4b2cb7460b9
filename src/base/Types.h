// Basic value types shared by every module.
#pragma once
#include <cstdint>

namespace gravik {

// Rectangle with right and bottom exclusive.
struct TRect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  constexpr int32_t Width() const { return Right - Left; }
  constexpr int32_t Height() const { return Bottom - Top; }
  constexpr bool Empty() const { return Right <= Left || Bottom <= Top; }
  constexpr bool operator==(const TRect&) const = default;
};

constexpr TRect Bounds(int32_t x, int32_t y, int32_t w, int32_t h) { return {x, y, x + w, y + h}; }

// Intersection of two rectangles; empty (all zero) when they do not meet.
constexpr TRect Intersect(const TRect& a, const TRect& b) {
  TRect r{a.Left > b.Left ? a.Left : b.Left, a.Top > b.Top ? a.Top : b.Top,
          a.Right < b.Right ? a.Right : b.Right, a.Bottom < b.Bottom ? a.Bottom : b.Bottom};
  if (r.Empty()) return TRect{};
  return r;
}

constexpr bool Overlap(const TRect& a, const TRect& b) { return !Intersect(a, b).Empty(); }

// A colour as the game stores it: 0x00BBGGRR (red in the low byte).
using TColor = uint32_t;

constexpr TColor RGB(uint8_t r, uint8_t g, uint8_t b) {
  return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}

// Pixels of every surface and work bitmap are RGB565.
constexpr uint16_t ToRgb565(TColor c) {
  const uint32_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  return uint16_t(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

constexpr uint16_t Rgb565(uint8_t r, uint8_t g, uint8_t b) { return ToRgb565(RGB(r, g, b)); }

// Expands an RGB565 pixel back to 0x00BBGGRR (low bits replicated).
constexpr TColor FromRgb565(uint16_t p) {
  const uint32_t r5 = (p >> 11) & 31, g6 = (p >> 5) & 63, b5 = p & 31;
  return RGB(uint8_t((r5 << 3) | (r5 >> 2)), uint8_t((g6 << 2) | (g6 >> 4)), uint8_t((b5 << 3) | (b5 >> 2)));
}

}  // namespace gravik

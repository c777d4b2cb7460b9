// RGB565 bitmaps and the canvas operations the game draws with.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/Types.h"

namespace gravik {

class Bitmap {
 public:
  Bitmap() = default;
  Bitmap(int width, int height, uint16_t fill = 0) { SetSize(width, height, fill); }

  // Resizes; the contents become `fill`. Non-positive sizes give an empty bitmap.
  void SetSize(int width, int height, uint16_t fill = 0);
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  TRect Rect() const { return {0, 0, width_, height_}; }

  uint16_t* Row(int y) { return pixels_.data() + size_t(y) * size_t(width_); }
  const uint16_t* Row(int y) const { return pixels_.data() + size_t(y) * size_t(width_); }
  uint16_t* Data() { return pixels_.data(); }
  const uint16_t* Data() const { return pixels_.data(); }
  const std::vector<uint16_t>& Pixels() const { return pixels_; }

  // Single pixels; reads outside give 0, writes outside are ignored.
  uint16_t Pixel(int x, int y) const;
  void SetPixel(int x, int y, uint16_t p);

  void Fill(uint16_t p);
  // Solid fill of a rectangle, clipped.
  void FillRect(const TRect& r, uint16_t p);
  // Rectangle outline (the pixels of the four edges, right/bottom exclusive).
  void FrameRect(const TRect& r, uint16_t p);
  // Pen line from (x0, y0) towards (x1, y1); the end point itself is not drawn
  // (move-to / line-to semantics).
  void Line(int x0, int y0, int x1, int y1, uint16_t p);

  bool operator==(const Bitmap& o) const = default;

 private:
  int width_ = 0, height_ = 0;
  std::vector<uint16_t> pixels_;
};

// Copies `src` rectangle `srcRect` to (x, y) of `dst`, clipped to both bitmaps.
// With `keyed`, source pixels equal to `key` are skipped.
void Blit(Bitmap& dst, int x, int y, const Bitmap& src, const TRect& srcRect, bool keyed = false,
          uint16_t key = 0);
// Copies a width x height block of raw pixels (rows `pitch` pixels apart, not
// overlapping `dst`) to (x, y) of `dst`, clipped; with `keyed`, pixels equal to
// `key` are skipped.
void BlitPixels(Bitmap& dst, int x, int y, const uint16_t* src, int width, int height, int pitch,
                bool keyed = false, uint16_t key = 0);
// Whole bitmap at (x, y).
inline void Draw(Bitmap& dst, int x, int y, const Bitmap& src, bool keyed = false, uint16_t key = 0) {
  Blit(dst, x, y, src, src.Rect(), keyed, key);
}
// Nearest-neighbour stretch of `srcRect` into `dstRect` (clipped to dst).
void StretchBlit(Bitmap& dst, const TRect& dstRect, const Bitmap& src, const TRect& srcRect);

// Cuts a rectangle out of a bitmap (clipped; the part outside stays 0).
Bitmap Crop(const Bitmap& src, const TRect& r);

}  // namespace gravik

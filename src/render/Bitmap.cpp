#include "render/Bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace gravik {

void Bitmap::SetSize(int width, int height, uint16_t fill) {
  if (width <= 0 || height <= 0) width = height = 0;
  width_ = width;
  height_ = height;
  pixels_.assign(size_t(width) * size_t(height), fill);
}

uint16_t Bitmap::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return pixels_[size_t(y) * size_t(width_) + size_t(x)];
}

void Bitmap::SetPixel(int x, int y, uint16_t p) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[size_t(y) * size_t(width_) + size_t(x)] = p;
}

void Bitmap::Fill(uint16_t p) { std::fill(pixels_.begin(), pixels_.end(), p); }

void Bitmap::FillRect(const TRect& r, uint16_t p) {
  const TRect c = Intersect(r, Rect());
  for (int y = c.Top; y < c.Bottom; ++y) std::fill(Row(y) + c.Left, Row(y) + c.Right, p);
}

void Bitmap::FrameRect(const TRect& r, uint16_t p) {
  if (r.Empty()) return;
  FillRect({r.Left, r.Top, r.Right, r.Top + 1}, p);
  FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom}, p);
  FillRect({r.Left, r.Top, r.Left + 1, r.Bottom}, p);
  FillRect({r.Right - 1, r.Top, r.Right, r.Bottom}, p);
}

void Bitmap::Line(int x0, int y0, int x1, int y1, uint16_t p) {
  // Bresenham, stopping before the end point.
  const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  while (x0 != x1 || y0 != y1) {
    SetPixel(x0, y0, p);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

void Blit(Bitmap& dst, int x, int y, const Bitmap& src, const TRect& srcRect, bool keyed, uint16_t key) {
  const TRect s = Intersect(srcRect, src.Rect());
  if (s.Empty() || dst.Empty()) return;
  // Destination of the clipped source corner, in 64 bits so that far-off
  // positions cannot overflow.
  int64_t dx = int64_t(x) + s.Left - srcRect.Left;
  int64_t dy = int64_t(y) + s.Top - srcRect.Top;
  int64_t sx = s.Left, sy = s.Top;
  int64_t w = s.Width(), h = s.Height();
  if (dx < 0) { sx -= dx; w += dx; dx = 0; }
  if (dy < 0) { sy -= dy; h += dy; dy = 0; }
  w = std::min<int64_t>(w, dst.Width() - dx);
  h = std::min<int64_t>(h, dst.Height() - dy);
  if (w <= 0 || h <= 0) return;
  const size_t n = size_t(w);
  // Copying within one bitmap downwards must run bottom-up.
  const bool upwards = &src == &dst && dy > sy;
  for (int64_t i = 0; i < h; ++i) {
    const int64_t row = upwards ? h - 1 - i : i;
    const uint16_t* sp = src.Row(int(sy + row)) + sx;
    uint16_t* dp = dst.Row(int(dy + row)) + dx;
    if (!keyed) {
      std::memmove(dp, sp, n * sizeof(uint16_t));  // src may be dst
    } else {
      for (size_t k = 0; k < n; ++k) {
        const uint16_t p = sp[k];
        if (p != key) dp[k] = p;
      }
    }
  }
}

void StretchBlit(Bitmap& dst, const TRect& dstRect, const Bitmap& src, const TRect& srcRect) {
  if (dstRect.Empty() || srcRect.Empty() || src.Empty()) return;
  const TRect c = Intersect(dstRect, dst.Rect());
  const int dw = dstRect.Width(), dh = dstRect.Height();
  const int sw = srcRect.Width(), sh = srcRect.Height();
  for (int y = c.Top; y < c.Bottom; ++y) {
    const int sy = srcRect.Top + int(int64_t(y - dstRect.Top) * sh / dh);
    for (int x = c.Left; x < c.Right; ++x) {
      const int sx = srcRect.Left + int(int64_t(x - dstRect.Left) * sw / dw);
      dst.Row(y)[x] = src.Pixel(sx, sy);
    }
  }
}

Bitmap Crop(const Bitmap& src, const TRect& r) {
  Bitmap out(r.Width(), r.Height());
  Blit(out, 0, 0, src, r);
  return out;
}

}  // namespace gravik

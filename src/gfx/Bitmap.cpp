#include "gfx/Bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace gravik {

namespace {

// Fills n pixels: memset when both bytes agree (black, white), otherwise a short
// run doubled with memcpy, both far faster than a pixel loop.
void FillSpan(uint16_t* p, size_t n, uint16_t v) {
  if (n == 0) return;
  if (uint8_t(v) == uint8_t(v >> 8)) {
    std::memset(p, uint8_t(v), n * sizeof(uint16_t));
    return;
  }
  size_t done = std::min<size_t>(n, 32);
  for (size_t i = 0; i < done; ++i) p[i] = v;
  while (done < n) {
    const size_t k = std::min(done, n - done);
    std::memcpy(p + done, p, k * sizeof(uint16_t));
    done += k;
  }
}

}  // namespace

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

void Bitmap::Fill(uint16_t p) { FillSpan(pixels_.data(), pixels_.size(), p); }

void Bitmap::FillRect(const TRect& r, uint16_t p) {
  const TRect c = Intersect(r, Rect());
  for (int y = c.Top; y < c.Bottom; ++y) FillSpan(Row(y) + c.Left, size_t(c.Right - c.Left), p);
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

namespace {

// Copies a w x h block row by row. Full 64-pixel rows (every playfield cell)
// get a fixed-size copy the compiler inlines.
void CopyBlock(uint16_t* dp, size_t dstPitch, const uint16_t* sp, size_t srcPitch, size_t w, size_t h,
               bool keyed, uint16_t key) {
  for (size_t row = 0; row < h; ++row, dp += dstPitch, sp += srcPitch) {
    if (!keyed) {
      if (w == 64)
        std::memcpy(dp, sp, 64 * sizeof(uint16_t));
      else
        std::memcpy(dp, sp, w * sizeof(uint16_t));
    } else {
      for (size_t k = 0; k < w; ++k) {
        const uint16_t p = sp[k];
        if (p != key) dp[k] = p;
      }
    }
  }
}

// Clips a w x h source block drawn at (dx, dy) to the destination; moves the
// source origin (sx, sy) accordingly. False when nothing remains. 64-bit so that
// far-off positions cannot overflow.
bool ClipToDest(const Bitmap& dst, int64_t& dx, int64_t& dy, int64_t& sx, int64_t& sy, int64_t& w,
                int64_t& h) {
  if (dx < 0) { sx -= dx; w += dx; dx = 0; }
  if (dy < 0) { sy -= dy; h += dy; dy = 0; }
  w = std::min<int64_t>(w, dst.Width() - dx);
  h = std::min<int64_t>(h, dst.Height() - dy);
  return w > 0 && h > 0;
}

}  // namespace

void Blit(Bitmap& dst, int x, int y, const Bitmap& src, const TRect& srcRect, bool keyed, uint16_t key) {
  const TRect s = Intersect(srcRect, src.Rect());
  if (s.Empty() || dst.Empty()) return;
  int64_t dx = int64_t(x) + s.Left - srcRect.Left;
  int64_t dy = int64_t(y) + s.Top - srcRect.Top;
  int64_t sx = s.Left, sy = s.Top;
  int64_t w = s.Width(), h = s.Height();
  if (!ClipToDest(dst, dx, dy, sx, sy, w, h)) return;
  if (&src != &dst) {
    CopyBlock(dst.Row(int(dy)) + dx, size_t(dst.Width()), src.Row(int(sy)) + sx, size_t(src.Width()),
              size_t(w), size_t(h), keyed, key);
    return;
  }
  // Within one bitmap: overlapping rows, and bottom-up when copying downwards.
  const bool upwards = dy > sy;
  for (int64_t i = 0; i < h; ++i) {
    const int64_t row = upwards ? h - 1 - i : i;
    const uint16_t* sp = src.Row(int(sy + row)) + sx;
    uint16_t* dp = dst.Row(int(dy + row)) + dx;
    if (!keyed) {
      std::memmove(dp, sp, size_t(w) * sizeof(uint16_t));
    } else if (dp <= sp) {
      for (int64_t k = 0; k < w; ++k)
        if (sp[k] != key) dp[k] = sp[k];
    } else {
      for (int64_t k = w - 1; k >= 0; --k)
        if (sp[k] != key) dp[k] = sp[k];
    }
  }
}

void BlitPixels(Bitmap& dst, int x, int y, const uint16_t* src, int width, int height, int pitch,
                bool keyed, uint16_t key) {
  if (!src || width <= 0 || height <= 0 || pitch < width || dst.Empty()) return;
  int64_t dx = x, dy = y, sx = 0, sy = 0, w = width, h = height;
  if (!ClipToDest(dst, dx, dy, sx, sy, w, h)) return;
  CopyBlock(dst.Row(int(dy)) + dx, size_t(dst.Width()), src + sy * pitch + sx, size_t(pitch), size_t(w),
            size_t(h), keyed, key);
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

#include "Picture.h"

#include <algorithm>
#include <cmath>

namespace gravik::mkres {

namespace {

struct Argb {
  double a, r, g, b;  // premultiplied, 0..1
};

Argb PixelAt(const unsigned char* data, int stride, int x, int y) {
  const uint32_t p = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride))[x];
  return {((p >> 24) & 0xFF) / 255.0, ((p >> 16) & 0xFF) / 255.0, ((p >> 8) & 0xFF) / 255.0, (p & 0xFF) / 255.0};
}

uint8_t To8(double v) { return uint8_t(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5); }

}  // namespace

Surface RenderArt(const ArtKind& art, const ArtContext& ctx) {
  Surface s(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kCell, kCell));
  cairo_t* cr = cairo_create(s.get());
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_GOOD);
  art.Draw(cr, ctx);
  cairo_destroy(cr);
  cairo_surface_flush(s.get());
  return s;
}

Bitmap ToBlockBitmap(cairo_surface_t* argb, KeyMode key) {
  cairo_surface_flush(argb);
  const unsigned char* data = cairo_image_surface_get_data(argb);
  const int stride = cairo_image_surface_get_stride(argb);
  const int w = cairo_image_surface_get_width(argb), h = cairo_image_surface_get_height(argb);
  Bitmap out(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const Argb p = PixelAt(data, stride, x, y);
      uint16_t px = kBlackKey;
      switch (key) {
        case KeyMode::Solid:
        case KeyMode::Floor:
          // Premultiplied colour is the colour over black.
          px = Rgb565(To8(p.r), To8(p.g), To8(p.b));
          if (px == kBlackKey && (key == KeyMode::Solid || p.a >= 0.5)) px = kNearBlack;
          if (px == kMagentaKey) px = kMagentaKey - 1;
          break;
        case KeyMode::Sprite:
        case KeyMode::Magenta: {
          const uint16_t keyColour = key == KeyMode::Sprite ? kBlackKey : kMagentaKey;
          if (p.a < 0.5) {
            px = keyColour;
            break;
          }
          // Hard edge: the pixel's own colour, undimmed by its coverage.
          px = Rgb565(To8(p.r / p.a), To8(p.g / p.a), To8(p.b / p.a));
          if (px == kBlackKey) px = kNearBlack;
          if (px == kMagentaKey) px = kMagentaKey - 1;
          break;
        }
      }
      out.SetPixel(x, y, px);
    }
  return out;
}

Bitmap ToThumbBitmap(cairo_surface_t* argb) {
  cairo_surface_flush(argb);
  const unsigned char* data = cairo_image_surface_get_data(argb);
  const int stride = cairo_image_surface_get_stride(argb);
  const int w = cairo_image_surface_get_width(argb), h = cairo_image_surface_get_height(argb);
  Bitmap out(kThumbWidth, kThumbHeight);
  const double sx = double(w) / kThumbWidth, sy = double(h) / kThumbHeight;
  for (int ty = 0; ty < kThumbHeight; ++ty)
    for (int tx = 0; tx < kThumbWidth; ++tx) {
      // Area average of the source rectangle [x0, x1) x [y0, y1), with partial edge pixels.
      const double x0 = tx * sx, x1 = x0 + sx, y0 = ty * sy, y1 = y0 + sy;
      double r = 0, g = 0, b = 0, area = 0;
      for (int y = int(y0); y < int(std::ceil(y1)) && y < h; ++y) {
        const double wy = std::min(y1, y + 1.0) - std::max(y0, double(y));
        for (int x = int(x0); x < int(std::ceil(x1)) && x < w; ++x) {
          const double wx = std::min(x1, x + 1.0) - std::max(x0, double(x));
          const Argb p = PixelAt(data, stride, x, y);
          r += p.r * wx * wy;
          g += p.g * wx * wy;
          b += p.b * wx * wy;
          area += wx * wy;
        }
      }
      out.SetPixel(tx, ty, Rgb565(To8(r / area), To8(g / area), To8(b / area)));
    }
  return out;
}

Surface ToSurface(const Bitmap& bmp) {
  Surface s(cairo_image_surface_create(CAIRO_FORMAT_RGB24, bmp.Width(), bmp.Height()));
  cairo_surface_flush(s.get());
  unsigned char* data = cairo_image_surface_get_data(s.get());
  const int stride = cairo_image_surface_get_stride(s.get());
  for (int y = 0; y < bmp.Height(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
    for (int x = 0; x < bmp.Width(); ++x) {
      const TColor c = FromRgb565(bmp.Pixel(x, y));
      row[x] = 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    }
  }
  cairo_surface_mark_dirty(s.get());
  return s;
}

}  // namespace gravik::mkres

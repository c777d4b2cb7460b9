#include "Bmp.h"

namespace gravik::mkres {

namespace {
void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  v[at] = uint8_t(x);
  v[at + 1] = uint8_t(x >> 8);
}
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + size_t(i)] = uint8_t(x >> (8 * i));
}
}  // namespace

std::vector<uint8_t> EncodeBmp24(const Bitmap& bmp) {
  const uint32_t w = uint32_t(bmp.Width()), h = uint32_t(bmp.Height());
  const uint32_t stride = (w * 3 + 3) & ~3u;
  const uint32_t header = 14 + 40;
  std::vector<uint8_t> out(header + size_t(stride) * h, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, uint32_t(out.size()));
  Put32(out, 10, header);
  Put32(out, 14, 40);
  Put32(out, 18, w);
  Put32(out, 22, h);
  Put16(out, 26, 1);
  Put16(out, 28, 24);
  Put32(out, 34, stride * h);
  Put32(out, 38, 2835);  // 72 dpi
  Put32(out, 42, 2835);
  for (uint32_t y = 0; y < h; ++y) {
    uint8_t* row = out.data() + header + size_t(h - 1 - y) * stride;
    for (uint32_t x = 0; x < w; ++x) {
      const TColor c = FromRgb565(bmp.Pixel(int(x), int(y)));
      row[3 * x] = uint8_t(c >> 16);     // blue
      row[3 * x + 1] = uint8_t(c >> 8);  // green
      row[3 * x + 2] = uint8_t(c);       // red
    }
  }
  return out;
}

}  // namespace gravik::mkres

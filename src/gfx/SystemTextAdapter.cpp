#include "gfx/SystemTextAdapter.h"

#include <algorithm>
#include <exception>

#include "platform/Codepage.h"

namespace gravik {

int SystemFontPixels(int points) {
  if (points <= 0) return 1;
  return (points * 96 + 36) / 72;
}

void BlendMask(Bitmap& surface, int x, int y, const TextMask& mask, uint16_t colour) {
  const int sr = colour >> 11, sg = (colour >> 5) & 63, sb = colour & 31;
  const int x0 = std::max(0, -x), y0 = std::max(0, -y);
  const int x1 = std::min(mask.Width, surface.Width() - x), y1 = std::min(mask.Height, surface.Height() - y);
  for (int my = y0; my < y1; ++my) {
    uint16_t* row = surface.Row(y + my) + x;
    const uint8_t* cov = mask.Coverage.data() + size_t(my) * size_t(mask.Width);
    for (int mx = x0; mx < x1; ++mx) {
      const int a = cov[mx];
      if (a == 0) continue;
      if (a == 255) {
        row[mx] = colour;
        continue;
      }
      const uint16_t d = row[mx];
      const int dr = d >> 11, dg = (d >> 5) & 63, db = d & 31;
      const int r = (sr * a + dr * (255 - a) + 127) / 255;
      const int g = (sg * a + dg * (255 - a) + 127) / 255;
      const int b = (sb * a + db * (255 - a) + 127) / 255;
      row[mx] = uint16_t((r << 11) | (g << 5) | b);
    }
  }
}

bool RasterSystemText::Measure(std::string_view text, const SystemFont& font, int& w, int& h) {
  if (!UsesFaces()) return false;
  return raster_->Measure(Windows1252ToUtf8(text), SystemFontPixels(font.Points), font.Bold, w, h);
}

void RasterSystemText::TextOut(Bitmap& surface, int x, int y, std::string_view text, const SystemFont& font,
                               uint16_t colour, bool opaque, uint16_t background) {
  if (!UsesFaces() ||
      !raster_->Render(Windows1252ToUtf8(text), SystemFontPixels(font.Points), font.Bold, mask_)) {
    fallback_.TextOut(surface, x, y, text, font, colour, opaque, background);
    return;
  }
  if (opaque) surface.FillRect(Bounds(x, y, mask_.Width, mask_.Height), background);
  BlendMask(surface, x, y, mask_, colour);
}

int RasterSystemText::TextWidth(std::string_view text, const SystemFont& font) {
  int w = 0, h = 0;
  return Measure(text, font, w, h) ? w : fallback_.TextWidth(text, font);
}

int RasterSystemText::TextHeight(std::string_view text, const SystemFont& font) {
  int w = 0, h = 0;
  return Measure(text, font, w, h) ? h : fallback_.TextHeight(text, font);
}

}  // namespace gravik

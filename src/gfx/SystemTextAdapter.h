// System-font text: TrueType faces through the platform's TextRaster when it
// has them, else the fallback (the game's bitmap font).
//
//   RasterSystemText text(platform.textRaster, bitmapText);
//   text.TextOut(back, 0, 0, "AFPS ON", SystemFont{"Arial", 8, true}, kWhite, true, kBlack);
#pragma once
#include <string>
#include <string_view>

#include "gfx/Bitmap.h"
#include "gfx/SystemText.h"
#include "platform/TextRaster.h"

namespace gravik {

// Em height in pixels of a font of `points` on a 96 dpi screen, rounded.
int SystemFontPixels(int points);

// Blends `colour` onto `surface` through `mask` placed at (x, y), clipped.
void BlendMask(Bitmap& surface, int x, int y, const TextMask& mask, uint16_t colour);

class RasterSystemText : public SystemText {
 public:
  // `raster` may be null (headless); `fallback` draws whatever the raster cannot.
  RasterSystemText(TextRaster* raster, SystemText& fallback) : raster_(raster), fallback_(fallback) {}

  // Texts are the game's Windows-1252 strings.
  void TextOut(Bitmap& surface, int x, int y, std::string_view text, const SystemFont& font, uint16_t colour,
               bool opaque, uint16_t background) override;
  int TextWidth(std::string_view text, const SystemFont& font) override;
  int TextHeight(std::string_view text, const SystemFont& font) override;

  // True when texts go through the TrueType faces.
  bool UsesFaces() const { return raster_ && raster_->HasFaces(); }

 private:
  bool Measure(std::string_view text, const SystemFont& font, int& w, int& h);

  TextRaster* raster_;
  SystemText& fallback_;
  TextMask mask_;  // reused between calls
};

}  // namespace gravik

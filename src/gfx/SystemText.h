// Text drawn with a named system font (the few canvas texts of the game).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "gfx/Bitmap.h"

namespace gravik {

struct SystemFont {
  std::string Face = "MS Sans Serif";
  int Points = 8;
  bool Bold = false;
};

class SystemText {
 public:
  virtual ~SystemText() = default;
  // Text with its top-left corner at (x, y) in `colour`; with `opaque`, the
  // text's box is filled with `background` first.
  virtual void TextOut(Bitmap& surface, int x, int y, std::string_view text, const SystemFont& font,
                       uint16_t colour, bool opaque, uint16_t background) = 0;
  virtual int TextWidth(std::string_view text, const SystemFont& font) = 0;
  virtual int TextHeight(std::string_view text, const SystemFont& font) = 0;
};

}  // namespace gravik

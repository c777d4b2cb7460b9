// Small synthetic fonts for the font tests.
#pragma once
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "render/Bmp.h"
#include "render/Fonts.h"

namespace gravik::fonts_test {

// Width of the glyph of `code` in every synthetic font: 2..6 pixels.
inline int GlyphWidth(int code) { return 2 + (code - 32) % 5; }

// A font whose glyphs stand side by side in one row, `height` pixels high. Every
// glyph pixel is `ink(code)` except the bottom row, which is black.
struct SynthFont {
  TFontRecord Record;
  Bitmap Picture;
};

inline SynthFont MakeFont(const std::string& name, int height,
                          const std::function<uint16_t(int code)>& ink) {
  SynthFont f;
  f.Record.Name = name;
  int total = 0;
  for (int code = 32; code <= 127; ++code) total += GlyphWidth(code);
  f.Picture.SetSize(total, height, 0);
  int x = 0;
  for (int code = 32; code <= 127; ++code) {
    const int w = GlyphWidth(code);
    f.Record.Glyphs[size_t(code - 32)] = {x, 0, w, height};
    f.Picture.FillRect(Bounds(x, 0, w, height - 1), ink(code));
    x += w;
  }
  return f;
}

// Ink that tells the glyphs apart: 0x0800 + code.
inline uint16_t CodeInk(int code) { return uint16_t(0x0800 + code); }

inline FontsFile MakeFile(const std::vector<SynthFont>& fonts) {
  FontsFile file;
  for (size_t i = 0; i < fonts.size(); ++i) {
    file.Records[i] = fonts[i].Record;
    file.Bitmaps.push_back(SaveBmp16(fonts[i].Picture));
  }
  return file;
}

// The archive items LoadFonts asks for: six small caption pictures.
struct FakeArchive {
  std::map<std::string, std::vector<uint8_t>> Items;
  FakeArchive() {
    for (int n = 1; n <= 6; ++n) Items["menu" + std::to_string(n) + ".bmp"] = SaveBmp16(Bitmap(10 + n, 5, uint16_t(0xF800)));
  }
  ArchiveItemReader Reader() const {
    return [this](const std::string& name) -> std::optional<std::vector<uint8_t>> {
      auto it = Items.find(name);
      if (it == Items.end()) return std::nullopt;
      return it->second;
    };
  }
};

}  // namespace gravik::fonts_test

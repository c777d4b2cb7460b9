// Bitmap fonts for "fonts.dat". Each face is rasterised once into a coverage
// sheet (8-bit anti-aliasing values, glyph cells of one height packed 16 to a
// row); every colour of that face is then painted from the same coverage, so
// all colours of a face share their glyph rectangles.
#include "FontMaker.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>

#include "base/Types.h"
#include "gfx/Bitmap.h"
#include "gfx/Bmp.h"
#include "gfx/FontsFile.h"

namespace gravik::mkres {
namespace {

constexpr int kFirstCode = 32;
constexpr int kBoxCode = 127;    // drawn as a box, not taken from the source font
constexpr int kSheetColumns = 16;

// A face: source, requested pixel size (lowered until the ink fits the cell),
// cell height, digit cell width (0: the widest digit's advance).
struct FaceSpec {
  const char* File;
  bool Display;  // display face (bold sans, shaded top to bottom) or monospace
  int PixelSize;
  int CellHeight;
  int DigitWidth;
  bool OnOrange;  // glyph cells on the orange of the list box's selection bar
  std::vector<int> Colours;
};

std::vector<FaceSpec> FaceSpecs() {
  return {
      {"eras10boldV.bmp", true, 13, 16, 0, false, {0, 2, 3, 5}},
      {"eras12boldV.bmp", true, 16, 19, 0, false, {1, 2, 3}},
      {"eras14boldV.bmp", true, 18, 22, 0, false, {1, 2, 3, 4}},
      {"eras16boldV.bmp", true, 20, 24, 0, false, {0, 1, 2, 3, 4, 6}},
      {"eras20boldV.bmp", true, 25, 30, 17, false, {3}},
      {"lucida8F.bmp", false, 11, 13, 0, false, {2}},
      {"lucida12F.bmp", false, 15, 18, 0, false, {0, 3}},
      {"lucida16F.bmp", false, 20, 24, 0, false, {0}},
      {"lucida12F-orange.bmp", false, 15, 18, 0, true, {99}},
  };
}

struct Rgb {
  int R, G, B;
};

constexpr Rgb kOrangeBar{255, 128, 0};  // the list box's selection fill
constexpr Rgb kTextOnOrange{52, 22, 0};

// Text colour of a colour number (colour 4 is made from colour 1, see Paint).
Rgb ColourOf(int colour) {
  switch (colour) {
    case 0: return {150, 200, 255};  // pale blue, secondary
    case 1: return {255, 0, 0};      // red base of the hover glow
    case 2: return {250, 246, 214};  // ordinary text, warm white
    case 3: return {255, 212, 40};   // highlights and values, gold
    case 5: return {130, 226, 168};  // secondary, sea green
    case 6: return {128, 128, 138};  // disabled
    case 99: return kTextOnOrange;
    default: return {255, 255, 255};
  }
}

int To5(int v) { return (v * 31 + 127) / 255; }
int To6(int v) { return (v * 63 + 127) / 255; }
uint16_t Pack(int r5, int g6, int b5) { return uint16_t((r5 << 11) | (g6 << 5) | b5); }

// --- FreeType handles --------------------------------------------------------

struct LibraryCloser {
  void operator()(FT_Library lib) const { FT_Done_FreeType(lib); }
};
using LibraryPtr = std::unique_ptr<FT_LibraryRec_, LibraryCloser>;
struct FaceCloser {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using FacePtr = std::unique_ptr<FT_FaceRec_, FaceCloser>;

LibraryPtr OpenLibrary() {
  FT_Library lib = nullptr;
  if (FT_Init_FreeType(&lib) != 0) throw std::runtime_error("cannot start FreeType");
  return LibraryPtr(lib);
}

std::vector<uint8_t> ReadSource(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("font source missing: " + path);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw std::runtime_error("cannot read font source: " + path);
  if (bytes.empty()) throw std::runtime_error("font source damaged (empty): " + path);
  return bytes;
}

// Opens a TrueType/OpenType source held in `bytes` (which must outlive the
// face) and checks that it has every printable ASCII character.
FacePtr OpenFace(FT_Library lib, const std::vector<uint8_t>& bytes, const std::string& path) {
  FT_Face face = nullptr;
  if (FT_New_Memory_Face(lib, bytes.data(), FT_Long(bytes.size()), 0, &face) != 0)
    throw std::runtime_error("font source damaged (not a usable font file): " + path);
  FacePtr owned(face);
  if (!FT_IS_SFNT(face) || !FT_IS_SCALABLE(face))
    throw std::runtime_error("font source is not a scalable TrueType font: " + path);
  for (int code = kFirstCode; code < kBoxCode; ++code) {
    if (FT_Get_Char_Index(face, FT_ULong(code)) == 0)
      throw std::runtime_error("font source " + path + " has no glyph for '" +
                               std::string(1, char(code)) + "'");
  }
  return owned;
}

// --- Rasterising a face --------------------------------------------------------

// A glyph as rendered: coverage rows, placement against the pen origin and
// baseline, and advance, all in pixels.
struct Raster {
  int Left = 0, Top = 0, Width = 0, Rows = 0, Advance = 0;
  std::vector<uint8_t> Coverage;
};

Raster RenderChar(FT_Face face, int code, const std::string& path) {
  const FT_UInt index = FT_Get_Char_Index(face, FT_ULong(code));
  if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_LIGHT) != 0 ||
      FT_Render_Glyph(face->glyph, FT_RENDER_MODE_LIGHT) != 0)
    throw std::runtime_error("font source " + path + " cannot render '" + std::string(1, char(code)) +
                             "'");
  const FT_GlyphSlot g = face->glyph;
  const FT_Bitmap& bm = g->bitmap;
  if (bm.rows > 0 && (bm.pixel_mode != FT_PIXEL_MODE_GRAY || bm.pitch < int(bm.width)))
    throw std::runtime_error("font source " + path + " gives no grey-level glyphs");
  Raster r;
  r.Left = g->bitmap_left;
  r.Top = g->bitmap_top;
  r.Width = int(bm.width);
  r.Rows = int(bm.rows);
  r.Advance = int((g->advance.x + 32) >> 6);
  r.Coverage.resize(size_t(r.Width) * size_t(r.Rows));
  for (int y = 0; y < r.Rows; ++y) {
    const uint8_t* src = bm.buffer + ptrdiff_t(y) * bm.pitch;
    std::copy(src, src + r.Width, r.Coverage.begin() + ptrdiff_t(y) * r.Width);
  }
  return r;
}

// The face drawn once: coverage of the whole sheet and the glyph rectangles.
struct CoverageSheet {
  int Width = 0, Height = 0;
  int Baseline = 0;  // baseline row within a cell
  int InkTop = 0;    // highest ink row within a cell
  std::vector<uint8_t> Coverage;
  std::array<TGlyphRect, kGlyphCount> Glyphs{};

  uint8_t At(int x, int y) const { return Coverage[size_t(y) * size_t(Width) + size_t(x)]; }
};

bool IsDigit(int code) { return code >= '0' && code <= '9'; }

CoverageSheet RasteriseFace(FT_Face face, const FaceSpec& look, const std::string& path) {
  // Largest size not above the requested one whose ink fits the cell height
  // (and the fixed digit width, where there is one).
  std::vector<Raster> glyphs;
  int ascent = 0, descent = 0, digitWidth = 0;
  int px = look.PixelSize;
  for (;; --px) {
    if (px < 6) throw std::runtime_error(std::string("cannot fit ") + look.File + " into its " +
                                         std::to_string(look.CellHeight) + "-pixel cell from " + path);
    if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(px)) != 0)
      throw std::runtime_error("font source " + path + " cannot be scaled");
    glyphs.clear();
    ascent = descent = 0;
    int widestDigit = 0, widestDigitInk = 0;
    for (int code = kFirstCode; code < kBoxCode; ++code) {
      glyphs.push_back(RenderChar(face, code, path));
      const Raster& r = glyphs.back();
      if (r.Rows > 0) {
        ascent = std::max(ascent, r.Top);
        descent = std::max(descent, r.Rows - r.Top);
      }
      if (IsDigit(code)) {
        widestDigit = std::max(widestDigit, r.Advance);
        widestDigitInk = std::max(widestDigitInk, r.Width);
      }
    }
    digitWidth = look.DigitWidth > 0 ? look.DigitWidth : widestDigit;
    if (ascent + descent <= look.CellHeight && widestDigitInk <= digitWidth) break;
  }

  CoverageSheet sheet;
  const int cell = look.CellHeight;
  sheet.InkTop = (cell - ascent - descent) / 2;
  sheet.Baseline = sheet.InkTop + ascent;

  // Cell width and the pen position inside the cell of every glyph. Ink that
  // would reach outside the advance widens the cell rather than being cut off,
  // since glyphs are copied as opaque rectangles.
  std::array<int, kGlyphCount> widths{}, pens{};
  for (int code = kFirstCode; code < kBoxCode; ++code) {
    const Raster& r = glyphs[size_t(code - kFirstCode)];
    int pen = 0, width = r.Advance;
    if (IsDigit(code)) {
      width = digitWidth;
      pen = (digitWidth - r.Advance) / 2;
      const int inkLeft = pen + r.Left;
      if (inkLeft < 0) pen -= inkLeft;
      else if (inkLeft + r.Width > width) pen -= inkLeft + r.Width - width;
    } else if (r.Rows > 0) {
      pen = std::max(0, -r.Left);
      width = std::max(pen + r.Advance, pen + r.Left + r.Width);
    }
    widths[size_t(code - kFirstCode)] = std::max(width, 1);
    pens[size_t(code - kFirstCode)] = pen;
  }
  // Code 127: an outlined box the height of the capitals.
  const int boxIndex = kBoxCode - kFirstCode;
  const int capHeight = glyphs[size_t('H' - kFirstCode)].Top;
  const int boxWidth = std::max(4, glyphs[size_t('n' - kFirstCode)].Advance);
  widths[size_t(boxIndex)] = boxWidth;

  // Pack 16 to a row.
  int x = 0, row = 0;
  for (int k = 0; k < kGlyphCount; ++k) {
    if (k > 0 && k % kSheetColumns == 0) {
      ++row;
      x = 0;
    }
    sheet.Glyphs[size_t(k)] = {x, row * cell, widths[size_t(k)], cell};
    x += widths[size_t(k)];
    sheet.Width = std::max(sheet.Width, x);
  }
  sheet.Height = (row + 1) * cell;
  sheet.Coverage.assign(size_t(sheet.Width) * size_t(sheet.Height), 0);

  for (int code = kFirstCode; code < kBoxCode; ++code) {
    const size_t k = size_t(code - kFirstCode);
    const Raster& r = glyphs[k];
    const TGlyphRect& cellRect = sheet.Glyphs[k];
    const int ox = cellRect.Left + pens[k] + r.Left;
    const int oy = cellRect.Top + sheet.Baseline - r.Top;
    for (int y = 0; y < r.Rows; ++y)
      for (int gx = 0; gx < r.Width; ++gx) {
        const int sx = ox + gx, sy = oy + y;
        if (sx < cellRect.Left || sx >= cellRect.Left + cellRect.Width) continue;
        sheet.Coverage[size_t(sy) * size_t(sheet.Width) + size_t(sx)] =
            r.Coverage[size_t(y) * size_t(r.Width) + size_t(gx)];
      }
  }
  {
    const TGlyphRect& c = sheet.Glyphs[size_t(boxIndex)];
    const int stroke = std::max(1, (px + 6) / 12);
    const int left = c.Left + 1, right = c.Left + c.Width - 1;
    const int top = c.Top + sheet.Baseline - capHeight, bottom = c.Top + sheet.Baseline;
    for (int y = top; y < bottom; ++y)
      for (int bx = left; bx < right; ++bx) {
        const bool edge = y < top + stroke || y >= bottom - stroke || bx < left + stroke ||
                          bx >= right - stroke;
        if (edge) sheet.Coverage[size_t(y) * size_t(sheet.Width) + size_t(bx)] = 255;
      }
  }
  return sheet;
}

// --- Colouring -----------------------------------------------------------------

// Shading of display faces: full colour at the top of the ink, 78% at the
// baseline and below.
double Shade(const FaceSpec& look, const CoverageSheet& sheet, int yInCell) {
  if (!look.Display) return 1.0;
  const int span = std::max(1, sheet.Baseline - sheet.InkTop);
  const double t = std::clamp(double(yInCell - sheet.InkTop) / span, 0.0, 1.0);
  return 1.0 - 0.22 * t;
}

Bitmap Paint(const FaceSpec& look, const CoverageSheet& sheet, int colour) {
  // Colour 4, the button caption at rest, is exactly what the hover glow makes
  // of colour 1 at its resting factor (green = red), so the glow fades into it.
  const bool restingGlow = colour == 4;
  const Rgb fg = ColourOf(restingGlow ? 1 : colour);
  const Rgb bg = look.OnOrange ? kOrangeBar : Rgb{0, 0, 0};
  const uint16_t bgPixel = look.OnOrange ? Rgb565(uint8_t(bg.R), uint8_t(bg.G), uint8_t(bg.B)) : 0;

  Bitmap out(sheet.Width, sheet.Height, bgPixel);
  for (int y = 0; y < sheet.Height; ++y) {
    const double shade = Shade(look, sheet, y % look.CellHeight);
    const int r = int(std::lround(fg.R * shade)), g = int(std::lround(fg.G * shade)),
              b = int(std::lround(fg.B * shade));
    uint16_t* row = out.Row(y);
    for (int x = 0; x < sheet.Width; ++x) {
      const int a = sheet.At(x, y);
      if (a == 0) continue;
      const auto mix = [a](int f, int k) { return (k * (255 - a) + f * a + 127) / 255; };
      int r5 = To5(mix(r, bg.R)), g6 = To6(mix(g, bg.G)), b5 = To5(mix(b, bg.B));
      // Black is the key colour: stroke pixels stay visible.
      if (r5 == 0 && g6 == 0 && b5 == 0 && a >= 64) {
        if (fg.R > 0) r5 = 1;
        else g6 = 1;
      }
      if (restingGlow) g6 = r5;
      row[x] = Pack(r5, g6, b5);
    }
  }
  return out;
}

std::string FailureText(const std::exception& e) { return e.what(); }

}  // namespace

FontSources DefaultFontSources() {
  return {"/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
          "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
          "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
          "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf"};
}

std::vector<FontFace> FontFaces() {
  std::vector<FontFace> list;
  for (const FaceSpec& look : FaceSpecs())
    for (int colour : look.Colours) list.push_back({look.File, colour});
  return list;
}

std::vector<uint8_t> BuildFontsDat(const FontSources& sources, std::string* error) {
  try {
    const LibraryPtr lib = OpenLibrary();
    const std::vector<uint8_t> displayBytes = ReadSource(sources.Display);
    const std::vector<uint8_t> monoBytes = ReadSource(sources.Mono);
    const FacePtr display = OpenFace(lib.get(), displayBytes, sources.Display);
    const FacePtr mono = OpenFace(lib.get(), monoBytes, sources.Mono);

    FontsFile file;
    size_t record = 0;
    for (const FaceSpec& look : FaceSpecs()) {
      const CoverageSheet sheet = look.Display ? RasteriseFace(display.get(), look, sources.Display)
                                               : RasteriseFace(mono.get(), look, sources.Mono);
      for (int colour : look.Colours) {
        TFontRecord& rec = file.Records.at(record++);
        rec.Name = std::to_string(colour) + look.File;
        rec.Glyphs = sheet.Glyphs;
        file.Bitmaps.push_back(SaveBmp16(Paint(look, sheet, colour)));
      }
    }
    return WriteFontsFile(file);
  } catch (const std::exception& e) {
    if (error) *error = FailureText(e);
    return {};
  }
}

std::vector<uint8_t> BuildFontsDat(std::string* error) {
  return BuildFontsDat(DefaultFontSources(), error);
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> SystemFontItems(const FontSources& sources,
                                                                         std::string* error) {
  try {
    const LibraryPtr lib = OpenLibrary();
    std::vector<std::pair<std::string, std::vector<uint8_t>>> items;
    for (const auto& [name, path] : {std::pair{kSansItem, &sources.Sans},
                                     std::pair{kSansBoldItem, &sources.SansBold}}) {
      std::vector<uint8_t> bytes = ReadSource(*path);
      OpenFace(lib.get(), bytes, *path);  // checks it is a usable font
      items.emplace_back(name, std::move(bytes));
    }
    return items;
  } catch (const std::exception& e) {
    if (error) *error = FailureText(e);
    return {};
  }
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> SystemFontItems(std::string* error) {
  return SystemFontItems(DefaultFontSources(), error);
}

}  // namespace gravik::mkres

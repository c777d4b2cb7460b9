// Bitmap fonts and text drawing: fonts chosen by file name and colour number,
// text measured by summing glyph widths and drawn by copying glyph rectangles;
// the digit images of the status panel and the main-menu captions.
//
// Failures that end the game (a damaged "fonts.dat" or caption picture, a
// missing caption, missing digit images) are thrown as FatalMessage with the
// game's exact text; the frame reports them through FatalError.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/Bitmap.h"
#include "gfx/FontsFile.h"
#include "gfx/ImageList.h"

namespace gravik {

// Returns the bytes of a named resource-archive item, or nothing when the
// archive has no such item.
using ArchiveItemReader = std::function<std::optional<std::vector<uint8_t>>(const std::string&)>;

// The fonts' faces the game draws with.
inline constexpr const char* kFaceEras10 = "eras10boldV.bmp";
inline constexpr const char* kFaceEras14 = "eras14boldV.bmp";
inline constexpr const char* kFaceEras16 = "eras16boldV.bmp";
inline constexpr const char* kFaceEras20 = "eras20boldV.bmp";

enum class GlowKind { Caption = 1, Value = 2 };

// All font state; one per game, owned by the caller.
struct FontSet {
  int Count = 0;  // fonts loaded (records 1..Count)
  // Records with glyph rectangles clipped to their bitmaps; index 0 is record 1.
  std::array<TFontRecord, kFontCapacity> Records{};
  std::vector<Bitmap> Pictures;  // the font bitmaps, one per loaded record

  int Selected = 1;          // 1-based record index
  std::string SelectedName;  // name of its image entry

  // Image-list indices of "fonta1".."fonta10" and "fontb1".."fontb10"; 0 = not built.
  std::array<int, 10> SmallDigits{};
  std::array<int, 10> BigDigits{};

  // Work bitmaps. GlowWork is shared with the image-button drawing, which
  // switches GlowWorkTransparent on (keyed on its bottom-left pixel) and never off.
  Bitmap KeyedWork;
  Bitmap GlowWork;
  bool GlowWorkTransparent = false;
};

// Start-up: reads "fonts.dat" (bytes given), appends one image entry per font,
// builds the "fonta"/"fontb" digit entries and loads the captions "menutext1"..6
// from "menu1.bmp".."menu6.bmp" through `readItem`. Nothing is added to the image
// list when "fonts.dat" is damaged.
void LoadFonts(FontSet& fonts, ImageList& images, const uint8_t* data, size_t size,
               const ArchiveItemReader& readItem);

// Rebuilds the digit index lists (after a level build and on entry into play).
// Throws FatalMessage "Error building font lista" / "Error building font listb".
void RebuildFontIndexes(FontSet& fonts, ImageList& images);

// Selects the last record named colour + fileName (exact); record 1 when none.
void SelectFont(FontSet& fonts, std::string_view fileName, int colour);
// Glyph of a character code of the selected font; codes outside 32..127 use 127's.
const TGlyphRect& GlyphOf(const FontSet& fonts, uint8_t code);
int TextWidth(const FontSet& fonts, std::string_view text);
int TextHeight(const FontSet& fonts, std::string_view text);

// Opaque glyph copies left to right from (x, y).
void DrawTextInto(const FontSet& fonts, Bitmap& bitmap, int x, int y, std::string_view text);
// The same on the back surface.
void DrawText(const FontSet& fonts, Bitmap& surface, int x, int y, std::string_view text);
// Centred on x = 320.
void DrawTextCentred(const FontSet& fonts, Bitmap& surface, int y, std::string_view text);
// Ending at `right`.
void DrawTextRight(const FontSet& fonts, Bitmap& surface, int right, int y, std::string_view text);
// Composed on black (24 high; in play as high as the text) and drawn with black
// transparent.
void DrawTextKeyed(FontSet& fonts, Bitmap& surface, int x, int y, std::string_view text,
                   bool inPlay = false);
void DrawTextKeyedCentred(FontSet& fonts, Bitmap& surface, int y, std::string_view text,
                          bool inPlay = false);
// Hover glow of the menu widgets; selects its own font. `factor` runs from 1
// (hovered) to 2 (at rest).
void DrawGlowText(FontSet& fonts, Bitmap& surface, int x, int y, std::string_view text,
                  GlowKind kind, double factor);
// Label in colour 2 and value in colour 3, the pair centred on x = 320.
void DrawLabelValue(FontSet& fonts, Bitmap& surface, int y, std::string_view label,
                    std::string_view value);
// Label in colour 2 ending at x, then " " + value in colour 3 from x.
void DrawLabelValueAt(FontSet& fonts, Bitmap& surface, int x, int y, std::string_view label,
                      std::string_view value, std::string_view face = kFaceEras16);
// Decimal digits of n with the small / big digit images; a minus sign draws as 0.
void DrawSmallNumber(const FontSet& fonts, ImageList& images, Bitmap& surface, int x, int y,
                     int64_t n);
void DrawBigNumberCentred(const FontSet& fonts, ImageList& images, Bitmap& surface, int cx, int y,
                          int64_t n);

}  // namespace gravik

// The "fonts.dat" file: a count byte, a fixed table of 27 font records and the
// font bitmaps (BMP images, one after another). Reader and writer.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gfx/Bitmap.h"

namespace gravik {

constexpr int kFontCapacity = 27;           // records in the table
constexpr int kGlyphCount = 96;             // codes 32..127
constexpr size_t kFontNameField = 28;       // length byte + 27 characters
constexpr size_t kFontRecordSize = kFontNameField + kGlyphCount * 16;  // 1564
constexpr size_t kFontTableSize = kFontCapacity * kFontRecordSize;   // 42228

// A glyph's rectangle in the font bitmap.
struct TGlyphRect {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  bool operator==(const TGlyphRect&) const = default;
};

// One record of the table. The name is the colour number in decimal followed
// by the font's file name ("2eras14boldV.bmp"); it also names the image entry.
// Glyphs[k] belongs to character code k + 32.
struct TFontRecord {
  std::string Name;
  std::array<TGlyphRect, kGlyphCount> Glyphs{};
  bool operator==(const TFontRecord&) const = default;
};

struct FontsFile {
  // All 27 records as stored; only the first Bitmaps.size() of them are fonts.
  std::array<TFontRecord, kFontCapacity> Records{};
  // The BMP image of each font, byte for byte.
  std::vector<std::vector<uint8_t>> Bitmaps;
};

// Parses "fonts.dat". The count is held to 27 and names to 27 characters.
// Throws FatalMessage ("fonts.dat is damaged: ...") when the table or a bitmap
// reaches past the end of the data. Bitmap contents are not decoded here.
FontsFile ReadFontsFile(const uint8_t* data, size_t size);

// Builds the file. Names are written zero-padded, so every file made here reads
// back and writes out again byte for byte. Throws std::invalid_argument for
// more than 27 fonts, a name over 27 characters, or a bitmap image whose BMP
// header does not give its own length.
std::vector<uint8_t> WriteFontsFile(const FontsFile& file);

}  // namespace gravik

// The game's bitmap fonts ("fonts.dat"), rasterised with FreeType from free
// TrueType fonts, and the TrueType fonts packed for system-font text.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace gravik::mkres {

// Where the TrueType sources live.
struct FontSources {
  std::string Display;   // bold, friendly sans for the "eras…boldV.bmp" faces
  std::string Mono;      // clean monospace for the "lucida…F.bmp" faces
  std::string Sans;      // system-font text, regular
  std::string SansBold;  // system-font text, bold
};

// The Debian-packaged fonts: DejaVu Sans Bold and DejaVu Sans Mono
// (fonts-dejavu-core), Liberation Sans regular and bold (fonts-liberation2).
FontSources DefaultFontSources();

// Archive names of the system-font items.
inline constexpr const char* kSansItem = "sans.ttf";
inline constexpr const char* kSansBoldItem = "sansbold.ttf";

// One bitmap font of the file: face file name and colour number.
struct FontFace {
  const char* File;
  int Colour;
};
// Every (face, colour) the game selects, in record order (23 fonts).
std::vector<FontFace> FontFaces();

// The complete "fonts.dat". On failure (a source font missing, damaged or
// lacking a character, or a size that cannot meet its cell) returns an empty
// vector and puts a message naming the cause in `error`; there is never a
// partial result. The same sources always give the same bytes.
std::vector<uint8_t> BuildFontsDat(const FontSources& sources, std::string* error);
std::vector<uint8_t> BuildFontsDat(std::string* error);

// The metric-compatible TrueType fonts as archive items ("sans.ttf",
// "sansbold.ttf"). Empty with a message in `error` when a file is missing or
// is not a TrueType font.
std::vector<std::pair<std::string, std::vector<uint8_t>>> SystemFontItems(const FontSources& sources,
                                                                         std::string* error);
std::vector<std::pair<std::string, std::vector<uint8_t>>> SystemFontItems(std::string* error);

}  // namespace gravik::mkres

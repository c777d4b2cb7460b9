// The TrueType faces of system-font text, packed in the resource archive.
#pragma once
#include <string>
#include <vector>

#include "platform/TextRaster.h"

namespace gravik {

// Archive items holding the TrueType faces of system-font text.
inline constexpr const char* kSansFaceItem = "sans.ttf";
inline constexpr const char* kSansBoldFaceItem = "sansbold.ttf";

// Reads the two faces from the resource archive found in `searchFolders` and
// hands them to `raster`. Never throws: false when the archive cannot be opened
// or lacks either face, or the raster refuses them.
bool LoadSystemFaces(TextRaster& raster, const std::vector<std::string>& searchFolders);

}  // namespace gravik

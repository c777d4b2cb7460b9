// Review sheets: every block of every set and style, labelled, as PNG files.
#pragma once
#include <string>
#include <vector>

#include "GraphicsSet.h"

namespace gravik::mkres {

// Writes contact-style<g>-set<s>.png for both styles and six sets, plus the raw
// block and thumbnail sheets, into `outDir`; returns the files written.
// Transparent (keyed) pixels show as a grey checkerboard so holes stand out.
std::vector<std::string> WriteContactSheets(const GraphicsSetData& gs, const std::string& outDir);

}  // namespace gravik::mkres

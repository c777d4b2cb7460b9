// The desktop icons: the player figure with a diamond, drawn from the block
// art at each size the icon theme asks for (the art is vector, so every size
// is drawn sharp rather than scaled from one picture).
#pragma once
#include <string>
#include <vector>

#include <cairo.h>

namespace gravik::mkres {

inline constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};

// The icon as a size x size ARGB surface (caller destroys it).
cairo_surface_t* DrawIcon(int size);
// Writes OUTDIR/<size>x<size>.png for every size of kIconSizes; returns the
// files written. Throws std::runtime_error when a file cannot be written.
std::vector<std::string> WriteIcons(const std::string& outDir);

}  // namespace gravik::mkres

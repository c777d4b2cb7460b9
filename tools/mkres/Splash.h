// The splash picture as C++ source, compiled into the program: a "WAXF"
// container of a 16-bit BMP, returned by gravik::SplashData().
#pragma once
#include <string>
#include <vector>

#include "gfx/Bitmap.h"

namespace gravik::mkres {

// The compressed container of `picture` as the program embeds it.
std::vector<uint8_t> SplashContainer(const Bitmap& picture);
// A C++ source file defining SplashData() over `container`.
std::string SplashSource(const std::vector<uint8_t>& container);
// Builds the splash picture and writes its source to `path` (left untouched
// when it already holds the same text). False with `error` set on failure.
bool WriteSplashSource(const std::string& path, std::string* error);

}  // namespace gravik::mkres

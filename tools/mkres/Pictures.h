// The game's pictures and texts for the archive: title, panels, frame bar, menu
// captions, help and credit pictures, the maker's logo, the spaceship, the
// default puzzle picture, the help pages and the credits, plus the splash
// picture that is embedded in the executable. All drawn with Cairo; the same
// sources always give the same bytes.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "gfx/Bitmap.h"

namespace gravik::mkres {

using NamedItem = std::pair<std::string, std::vector<uint8_t>>;

// Sizes the game relies on.
constexpr int kBlackBarWidth = 80, kScreenHeight = 480;
constexpr int kPanelWidth = 160, kMapPanelWidth = 128;
constexpr int kShipFrameWidth = 40, kShipFrameHeight = 30, kShipFrames = 4;
constexpr int kPuzzleWidth = 640, kPuzzleHeight = 256;

// Every picture as a named bitmap, in archive order ("blackbar.bmp", ...). On
// failure (the display font cannot be read) returns an empty list with the
// reason in `error`.
std::vector<std::pair<std::string, Bitmap>> BuildPictureBitmaps(std::string* error);

// Every picture as a 16-bit BMP and every text (help pages and credits, read from
// `assetsDir`/help and `assetsDir`/credits). Empty with a message naming the
// file on failure; never a partial result.
std::vector<NamedItem> BuildPictures(const std::string& assetsDir, std::string* error);

// The start-up splash picture (400 x 250): title at the top, the bottom-left
// corner left plain for the "Loading..." line. Throws std::runtime_error when
// the display font cannot be read.
Bitmap BuildSplashPicture();

// Writes every picture and the splash as PNG files into `dir` for review;
// returns the paths written, or an empty list with `error` set.
std::vector<std::string> WritePicturePreviews(const std::string& dir, std::string* error);

}  // namespace gravik::mkres

// F12: the presented frame as a numbered PNG in the player's "Screenshots" folder.
#pragma once
#include <cstdint>
#include <string>

#include "gfx/Bitmap.h"

namespace gravik {

class TForm1;

// The name prefix of a screenshot's file while it is written (six letters or
// digits follow).
inline constexpr const char* kShotTempPrefix = ".gravik-shot.";

// Writes `frame` as "gravik-NNNN.png" (0001, 0002, ...; more digits past 9999)
// in `folder`, which is created when missing. An existing file is never
// replaced: the first free number from `next` on is taken, and `next` is moved
// past it. The file appears complete or not at all. Returns the file name
// without folder, or "" when nothing could be written.
std::string SaveNumberedScreenshot(const std::string& folder, const Bitmap& frame, uint32_t& next);

// The F12 key: the frame last presented (the game's own 640 x 480 picture,
// whatever the window's scale) into Documents + "Screenshots/", and a timed
// notice with the file's name, shown over every screen.
void TakeScreenshot(TForm1& form);

}  // namespace gravik

// The larger pictures: the default puzzle landscape, the help illustrations and
// the splash; plus the looks they share with the rest of the pictures.
#pragma once
#include <cairo.h>

#include <string>

#include "PicturesDraw.h"
#include "gfx/Bitmap.h"

namespace gravik::mkres {

// The game's name look: gold, glossy, outlined, with a soft shadow; centred on
// (cx, cy), sheared by `shear` (negative leans right), `glow` 0..1 for the halo.
void ShinyText(cairo_t* cr, const TextFace& face, double size, double cx, double cy, const std::string& text,
               double shear, double glow);
// A keyboard key with a label ("<", ">", "^", "v" draw arrows).
void DrawKeyCap(cairo_t* cr, const TextFace& face, const std::string& label, double x, double y, double w,
                double h);

Bitmap PuzzlePicture();                           // 640 x 256 landscape
Bitmap ArrowKeysPicture(const TextFace& face);    // the four arrow keys
Bitmap GameScenePicture();                        // a little scene of play
Bitmap SplashPicture(const TextFace& face);       // 400 x 250

}  // namespace gravik::mkres

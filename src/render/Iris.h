// The transporter iris drawn over the playfield.
#pragma once
#include "gfx/Bitmap.h"
#include "world/Transport.h"

namespace gravik {

// Rings 1..60 over the 480 x 480 playfield; ring n is filled when n < progress.
void DrawIris(Bitmap& surface, const TransportIris& iris);

}  // namespace gravik

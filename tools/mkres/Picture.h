// Turning a Cairo drawing into the game's RGB565 pictures: the 64 x 64 block
// picture with its key colour, and the 16 x 15 map thumbnail.
#pragma once
#include <cairo.h>

#include <cstdint>
#include <memory>

#include "Art.h"
#include "gfx/Bitmap.h"

namespace gravik::mkres {

// How the transparent parts of a picture are stored.
enum class KeyMode {
  Solid,    // fills the cell: no pixel may be black or magenta
  Floor,    // an object lying on empty space: the rest of the cell is black
  Sprite,   // drawn keyed on black: the rest is black, visible pixels never are
  Magenta,  // drawn keyed on magenta (style-1 player frames)
};

constexpr uint16_t kBlackKey = 0x0000;
constexpr uint16_t kMagentaKey = 0xF81F;  // (255, 0, 255)
constexpr uint16_t kNearBlack = 0x0821;   // stands in for black in visible pixels
constexpr int kThumbWidth = 16, kThumbHeight = 15;

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

// Draws the art on a fresh transparent 64 x 64 ARGB canvas.
Surface RenderArt(const ArtKind& art, const ArtContext& ctx);
// The block picture: transparent pixels become the key, visible ones keep clear of it.
Bitmap ToBlockBitmap(cairo_surface_t* argb, KeyMode key);
// The thumbnail: the picture shrunk by area averaging over black.
Bitmap ToThumbBitmap(cairo_surface_t* argb);
// An RGB565 bitmap as an opaque Cairo image (for contact sheets).
Surface ToSurface(const Bitmap& bmp);

}  // namespace gravik::mkres

// Drawing helpers shared by the picture builders: canvases of any size, text
// drawn as Cairo paths from the bundled bold sans, and the conversions from a
// Cairo canvas to the game's RGB565 pictures.
#pragma once
#include <cairo.h>

#include <memory>
#include <string>

#include "Art.h"
#include "Picture.h"
#include "gfx/Bitmap.h"

namespace gravik::mkres {

// A transparent ARGB canvas with a drawing context.
class Canvas {
 public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  cairo_t* Cr() const { return cr_; }
  cairo_surface_t* Surf() const { return surface_.get(); }
  int Width() const { return w_; }
  int Height() const { return h_; }

 private:
  Surface surface_;
  cairo_t* cr_ = nullptr;
  int w_, h_;
};

// The display face (a bold sans) as a Cairo font face. Throws std::runtime_error
// naming the file when it cannot be read.
class TextFace {
 public:
  explicit TextFace(const std::string& path);
  ~TextFace();
  TextFace(const TextFace&) = delete;
  TextFace& operator=(const TextFace&) = delete;

  // Appends the outline of `text` to the current path with its baseline starting
  // at (x, y).
  void Path(cairo_t* cr, double size, double x, double y, const std::string& text) const;
  // Ink extents of the text at the size: x bearing, y bearing, width, height.
  cairo_text_extents_t Extents(cairo_t* cr, double size, const std::string& text) const;
  // Path of the text centred (ink box) on (cx, cy).
  void PathCentred(cairo_t* cr, double size, double cx, double cy, const std::string& text) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The canvas over black, every pixel kept as drawn (black stays 0).
Bitmap ToOpaque(cairo_surface_t* argb);
// The canvas over black, where no visible pixel may be black: pixels that would
// be 0 become near-black, so only untouched (fully transparent) pixels are 0.
Bitmap ToKeyedOnBlack(cairo_surface_t* argb);
// The canvas's brightness carried in the red channel alone (green and blue 0),
// over black.
Bitmap ToRedOnly(cairo_surface_t* argb);

// Draws the 64 x 64 picture of a block art scaled by `scale` with its top-left
// corner at (x, y).
void DrawArt(cairo_t* cr, const char* art, int variant, double x, double y, double scale = 1.0, int set = 1);

// Fills the current path with a vertical gradient of stops (t, colour); keeps it.
void FillStops(cairo_t* cr, double y0, double y1, std::initializer_list<std::pair<double, Rgb>> stops);

}  // namespace gravik::mkres

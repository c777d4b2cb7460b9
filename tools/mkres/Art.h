// Block art: one drawing function per block kind, drawn with Cairo on a 64 x 64
// ARGB canvas, parameterised by the block set's palette, a variant (animation
// frame or kind) and the plain flag (graphics style 2).
#pragma once
#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace gravik::mkres {

constexpr int kCell = 64;

struct Rgb {
  double r = 0, g = 0, b = 0;
};

constexpr Rgb Hex(uint32_t rrggbb) {
  return {((rrggbb >> 16) & 0xFF) / 255.0, ((rrggbb >> 8) & 0xFF) / 255.0, (rrggbb & 0xFF) / 255.0};
}
Rgb Mix(Rgb a, Rgb b, double t);
// f > 0 lightens towards white, f < 0 darkens towards black.
Rgb Shade(Rgb c, double f);

// Colours of one block set: walls, earth and border blocks change with the set.
struct SetPalette {
  const char* Name;
  Rgb Brick, BrickDark, Mortar;
  Rgb Stone, StoneDark;
  Rgb Steel;
  Rgb Glass;
  Rgb Earth[3], EarthDark[3], EarthFleck[3];
};
// Block sets 1..6 (out-of-range numbers give set 1).
const SetPalette& PaletteOf(int set);
constexpr int kBlockSets = 6;

struct ArtContext {
  const SetPalette& Pal;
  int Set = 1;
  int Variant = 0;
  bool Plain = false;  // graphics style 2: flat, unanimated look
};

using ArtFn = void (*)(cairo_t*, const ArtContext&);

struct ArtKind {
  const char* Name;
  ArtFn Draw;
};
// The drawing function of an art name ("rock", "diamond", ...); nullptr if unknown.
const ArtKind* FindArt(std::string_view name);
// Every registered art name, for error messages.
std::string ArtNames();

// --- drawing helpers shared by the art files ---------------------------------

void SetRgb(cairo_t* cr, Rgb c, double alpha = 1.0);
void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r);
void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry);
// Star outline with n points between radii r1 (tips) and r2 (inner corners).
void StarPath(cairo_t* cr, double cx, double cy, double r1, double r2, int n, double rot);
// Closed smooth curve through the points (Catmull-Rom).
void SmoothClosed(cairo_t* cr, const double* xy, int n);
// Fills the current path with a lit ball gradient (light from the upper left), or
// flat in plain mode; keeps the path.
void FillLit(cairo_t* cr, const ArtContext& c, Rgb base, double cx, double cy, double r);
// Fills the current path with a vertical gradient from top to bottom colour; keeps it.
void FillVertical(cairo_t* cr, Rgb top, Rgb bottom, double y0, double y1);
// Strokes the current path with a dark outline of the colour.
void Outline(cairo_t* cr, Rgb c, double width);
// A four-pointed twinkle of light.
void Twinkle(cairo_t* cr, double cx, double cy, double r, double alpha = 1.0);

// Deterministic hash noise in [0, 1).
double Hash01(int x, int y, uint32_t seed);
// Smooth value noise that tiles every 64 pixels; `cells` lattice cells per 64 pixels.
double TileNoise(double x, double y, int cells, uint32_t seed);
// A few octaves of TileNoise, in [0, 1).
double TileFbm(double x, double y, uint32_t seed);
// Paints every pixel of the canvas with f(x, y), opaque.
void PaintPixels(cairo_t* cr, const std::function<Rgb(int x, int y)>& f);
// Fills the current path (and clears it) with the texture f(x, y) in canvas pixels.
void FillPixels(cairo_t* cr, const std::function<Rgb(int x, int y)>& f);

// --- art functions, by file ---------------------------------------------------
// ArtTerrain.cpp
void ArtEmpty(cairo_t*, const ArtContext&);
void ArtEarth(cairo_t*, const ArtContext&);
void ArtBrick(cairo_t*, const ArtContext&);
void ArtStone(cairo_t*, const ArtContext&);
void ArtSteel(cairo_t*, const ArtContext&);
void ArtGlass(cairo_t*, const ArtContext&);
void ArtFog(cairo_t*, const ArtContext&);
void ArtLava(cairo_t*, const ArtContext&);
void ArtSpikes(cairo_t*, const ArtContext&);
void ArtAcid(cairo_t*, const ArtContext&);
// ArtObjects.cpp
void ArtRock(cairo_t*, const ArtContext&);
void ArtDiamond(cairo_t*, const ArtContext&);
void ArtKey(cairo_t*, const ArtContext&);
void ArtEgg(cairo_t*, const ArtContext&);
void ArtEggHatch(cairo_t*, const ArtContext&);
void ArtSafe(cairo_t*, const ArtContext&);
void ArtCage(cairo_t*, const ArtContext&);
void ArtSkull(cairo_t*, const ArtContext&);
void ArtPlant(cairo_t*, const ArtContext&);
void ArtPuzzle(cairo_t*, const ArtContext&);
void ArtMeteor(cairo_t*, const ArtContext&);
void ArtTransporter(cairo_t*, const ArtContext&);
void ArtSavepoint(cairo_t*, const ArtContext&);
void ArtTimeBomb(cairo_t*, const ArtContext&);
void ArtEndChar(cairo_t*, const ArtContext&);
void ArtCompass(cairo_t*, const ArtContext&);
// ArtCreatures.cpp
void ArtMonster(cairo_t*, const ArtContext&);
void ArtSpirit(cairo_t*, const ArtContext&);
// ArtPlayer.cpp
void ArtPlayerStand(cairo_t*, const ArtContext&);
void ArtPlayerWalkRight(cairo_t*, const ArtContext&);
void ArtPlayerWalkLeft(cairo_t*, const ArtContext&);
void ArtPlayerWalkVertical(cairo_t*, const ArtContext&);
void ArtPlayerSettle(cairo_t*, const ArtContext&);
void ArtPlayerDeath(cairo_t*, const ArtContext&);
void ArtPlayerIdle(cairo_t*, const ArtContext&);
void ArtPlayerGlass(cairo_t*, const ArtContext&);

}  // namespace gravik::mkres

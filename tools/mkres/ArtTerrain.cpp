// Terrain: empty space, earth, walls, glass, the map fog and the deadly floors.
// Solid pictures fill the whole cell and tile seamlessly with their neighbours.
#include <algorithm>
#include <cmath>

#include "Art.h"

namespace gravik::mkres {

void ArtEmpty(cairo_t*, const ArtContext&) {}

// Earth worth 1, 2 and 3 points (variant 1..3): fine soil, pebbly soil and a rich
// soil with glinting grains; the richer the earth, the more it sparkles.
void ArtEarth(cairo_t* cr, const ArtContext& c) {
  const int k = std::clamp(c.Variant, 1, 3) - 1;
  const Rgb base = c.Pal.Earth[k], dark = c.Pal.EarthDark[k], fleck = c.Pal.EarthFleck[k];
  const uint32_t seed = 100u + uint32_t(k) * 17u;
  if (c.Plain) {
    PaintPixels(cr, [&](int x, int y) {
      const bool dot = (x % 8 == (y / 8 % 2) * 4) && (y % 8 == 3);
      return dot ? dark : base;
    });
  } else {
    PaintPixels(cr, [&](int x, int y) {
      const double n = TileFbm(x, y, seed);
      const double grain = Hash01(x, y, seed + 9);
      Rgb col = Mix(dark, base, std::clamp(0.35 + n * 0.9, 0.0, 1.0));
      if (grain > 0.93) col = Shade(col, 0.18);
      if (grain < 0.05) col = Shade(col, -0.3);
      return col;
    });
  }
  // Pebbles or grains, placed on a 4 x 4 lattice jittered by the hash (so the tile wraps).
  for (int gy = 0; gy < 4; ++gy)
    for (int gx = 0; gx < 4; ++gx) {
      const double h = Hash01(gx, gy, seed + 31);
      if (k == 0 && h > 0.45) continue;
      const double px = gx * 16 + 3 + Hash01(gx, gy, seed + 32) * 10;
      const double py = gy * 16 + 3 + Hash01(gx, gy, seed + 33) * 10;
      if (k == 2) {
        // Bright grains that catch the light.
        Ellipse(cr, px, py, 1.6, 1.2);
        SetRgb(cr, fleck);
        cairo_fill(cr);
        cairo_rectangle(cr, px - 0.5, py - 0.5, 1, 1);
        SetRgb(cr, Shade(fleck, 0.7));
        cairo_fill(cr);
      } else {
        const double r = k == 0 ? 1.8 : 2.4 + h * 1.6;
        Ellipse(cr, px, py, r, r * 0.75);
        FillLit(cr, c, k == 0 ? Shade(base, -0.25) : fleck, px, py, r);
        cairo_new_path(cr);
      }
    }
}

// Bricks: four courses of two bricks, each course shifted by half a brick.
void ArtBrick(cairo_t* cr, const ArtContext& c) {
  const Rgb brick = c.Pal.Brick, dark = c.Pal.BrickDark, mortar = c.Pal.Mortar;
  if (c.Plain) {
    SetRgb(cr, mortar);
    cairo_paint(cr);
  } else {
    PaintPixels(cr, [&](int x, int y) { return Shade(mortar, (Hash01(x, y, 5) - 0.5) * 0.3); });
  }
  for (int row = 0; row < 4; ++row) {
    const double y = row * 16;
    const double shift = (row % 2) ? -16 : 0;
    for (int i = 0; i < 3; ++i) {
      const double x = shift + i * 32;
      const int id = int(x + 64) / 32 + row * 3;
      const Rgb tone = Mix(brick, dark, 0.3 * Hash01(id, row, 7));
      cairo_rectangle(cr, x + 1, y + 1, 30, 14);
      if (c.Plain) {
        SetRgb(cr, tone);
        cairo_fill(cr);
        cairo_rectangle(cr, x + 1, y + 1, 30, 2);
        SetRgb(cr, Shade(tone, 0.3));
        cairo_fill(cr);
        continue;
      }
      FillPixels(cr, [&](int px, int py) {
        const double n = TileFbm(px * 2, py * 2, 40 + uint32_t(id));
        Rgb col = Mix(Shade(tone, -0.22), Shade(tone, 0.12), n);
        double lx = px - (x + 1), ly = py - (y + 1);
        if (lx < 0) lx += 64;
        if (lx >= 30) lx -= 64;
        if (ly < 2 || lx < 2) col = Shade(col, 0.28);    // lit top and left edges
        if (ly > 11 || lx > 27) col = Shade(col, -0.32);  // shaded bottom and right
        if (Hash01(px, py, 77) > 0.96) col = Shade(col, -0.25);
        return col;
      });
    }
  }
}

// A wall of rounded cobbles set in dark mortar.
void ArtStone(cairo_t* cr, const ArtContext& c) {
  const Rgb stone = c.Pal.Stone, dark = c.Pal.StoneDark;
  SetRgb(cr, Shade(dark, -0.5));
  cairo_paint(cr);
  // Cobbles (x, y, w, h); the layout meets itself at the cell edges.
  static constexpr double kCobbles[][4] = {
      {1, 1, 26, 20},  {28, 1, 20, 14},  {49, 1, 14, 20}, {28, 16, 20, 18}, {1, 22, 16, 20},
      {18, 22, 9, 20}, {49, 22, 14, 12}, {28, 35, 21, 28}, {1, 43, 26, 20}, {50, 35, 13, 28},
  };
  int i = 0;
  for (const auto& b : kCobbles) {
    const Rgb tone = Mix(stone, dark, 0.4 * Hash01(i++, 3, 11));
    RoundRect(cr, b[0], b[1], b[2], b[3], 6);
    if (c.Plain) {
      SetRgb(cr, tone);
      cairo_fill_preserve(cr);
      SetRgb(cr, Shade(tone, -0.35));
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
      continue;
    }
    const double cx = b[0] + b[2] / 2, cy = b[1] + b[3] / 2, r = std::max(b[2], b[3]) * 0.75;
    FillPixels(cr, [&](int px, int py) {
      const double d = std::hypot((px - cx + r * 0.3) / r, (py - cy + r * 0.35) / r);
      const double n = TileFbm(px * 3, py * 3, 60 + uint32_t(i));
      return Shade(Mix(Shade(tone, 0.35), Shade(tone, -0.45), std::clamp(d, 0.0, 1.0)), (n - 0.5) * 0.35);
    });
  }
}

// Steel plate: brushed metal with a bevelled rim and four rivets. Rocks do not roll
// off it, so it is drawn square and flat.
void ArtSteel(cairo_t* cr, const ArtContext& c) {
  const Rgb steel = c.Pal.Steel;
  if (c.Plain) {
    SetRgb(cr, steel);
    cairo_paint(cr);
  } else {
    PaintPixels(cr, [&](int x, int y) {
      const double brush = TileNoise(x * 0.25, y * 6, 16, 90) * 0.5 + Hash01(0, y, 91) * 0.5;
      return Shade(steel, (brush - 0.5) * 0.25 - (x + y) / 128.0 * 0.25 + 0.1);
    });
  }
  // Bevel: light top/left, dark bottom/right.
  for (int i = 0; i < 3; ++i) {
    cairo_rectangle(cr, i, i, 64 - 2 * i, 1);
    cairo_rectangle(cr, i, i, 1, 64 - 2 * i);
    SetRgb(cr, Shade(steel, 0.5 - i * 0.12));
    cairo_fill(cr);
    cairo_rectangle(cr, i, 63 - i, 64 - 2 * i, 1);
    cairo_rectangle(cr, 63 - i, i, 1, 64 - 2 * i);
    SetRgb(cr, Shade(steel, -0.55 + i * 0.12));
    cairo_fill(cr);
  }
  for (int k = 0; k < 4; ++k) {
    const double x = (k % 2) ? 54 : 10, y = (k / 2) ? 54 : 10;
    cairo_arc(cr, x, y, 3.2, 0, 2 * M_PI);
    FillLit(cr, c, Shade(steel, 0.1), x, y, 3.2);
    Outline(cr, steel, 0.8);
  }
  if (!c.Plain) {
    // A faint diagonal sheen.
    cairo_move_to(cr, 8, 64);
    cairo_line_to(cr, 64, 8);
    cairo_line_to(cr, 64, 22);
    cairo_line_to(cr, 22, 64);
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.08);
    cairo_fill(cr);
  }
}

// Glass block: a dark tinted pane in a frame with bright reflections.
void ArtGlass(cairo_t* cr, const ArtContext& c) {
  const Rgb tint = c.Pal.Glass;
  const Rgb deep = Shade(tint, -0.78);
  SetRgb(cr, Shade(tint, -0.2));
  cairo_paint(cr);
  cairo_rectangle(cr, 4, 4, 56, 56);
  if (c.Plain) {
    SetRgb(cr, deep);
    cairo_fill(cr);
  } else {
    cairo_pattern_t* p = cairo_pattern_create_linear(4, 4, 60, 60);
    const Rgb a = Shade(tint, -0.55), b = Shade(tint, -0.85);
    cairo_pattern_add_color_stop_rgb(p, 0, a.r, a.g, a.b);
    cairo_pattern_add_color_stop_rgb(p, 1, b.r, b.g, b.b);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
  // Reflection streaks.
  cairo_save(cr);
  cairo_rectangle(cr, 4, 4, 56, 56);
  cairo_clip(cr);
  const double alpha = c.Plain ? 0.5 : 0.35;
  for (int i = 0; i < 2; ++i) {
    const double o = i == 0 ? 10 : 26, w = i == 0 ? 9 : 4;
    cairo_move_to(cr, o, 4);
    cairo_line_to(cr, o + w, 4);
    cairo_line_to(cr, 4, o + w);
    cairo_line_to(cr, 4, o);
    cairo_close_path(cr);
    SetRgb(cr, Shade(tint, 0.6), alpha);
    cairo_fill(cr);
  }
  cairo_restore(cr);
  cairo_rectangle(cr, 4.5, 4.5, 55, 55);
  SetRgb(cr, Shade(tint, 0.45));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_rectangle(cr, 0.5, 0.5, 63, 63);
  SetRgb(cr, Shade(tint, -0.6));
  cairo_stroke(cr);
}

// The map's fog over cells never seen: a grey-blue cloud that tiles.
void ArtFog(cairo_t* cr, const ArtContext& c) {
  PaintPixels(cr, [&](int x, int y) {
    const double n = c.Plain ? 0.5 : TileFbm(x, y, 300);
    return Mix(Hex(0x20242E), Hex(0x565E70), n);
  });
}

// Deadly floors. Lava: glowing molten rock under a cracked crust.
void ArtLava(cairo_t* cr, const ArtContext& c) {
  PaintPixels(cr, [&](int x, int y) {
    if (c.Plain) {
      // Flat molten bands that wrap at the cell edges.
      const double v = std::sin(2 * M_PI * (x / 32.0 + 0.15 * std::sin(2 * M_PI * y / 64))) + std::sin(2 * M_PI * y / 32);
      return v > 0.8 ? Hex(0xFFC040) : v < -0.9 ? Hex(0xA01808) : Hex(0xE85018);
    }
    const double n = TileFbm(x, y, 400);
    const double veins = std::fabs(TileNoise(x, y, 8, 401) - 0.5);
    Rgb col = Mix(Hex(0xB01800), Hex(0xFFB020), std::clamp(n * 1.4 - 0.2, 0.0, 1.0));
    if (veins < 0.06) col = Mix(Hex(0xFFF080), col, veins / 0.06);
    if (n < 0.38) col = Mix(Hex(0x401008), col, std::clamp((n - 0.3) / 0.08, 0.0, 1.0));
    return col;
  });
}

// Spikes: a row of steel points on a dark plate.
void ArtSpikes(cairo_t* cr, const ArtContext& c) {
  cairo_rectangle(cr, 0, 52, 64, 12);
  FillVertical(cr, Hex(0x707880), Hex(0x30343A), 52, 64);
  cairo_new_path(cr);
  for (int row = 0; row < 2; ++row) {
    const double base = row == 0 ? 40 : 54, h = row == 0 ? 30 : 34;
    for (int i = 0; i < 4; ++i) {
      const double x = i * 16 + (row == 0 ? 8 : 0) + 2;
      if (row == 1 && i == 0) continue;
      cairo_move_to(cr, x - 6 + (row == 1 ? 0 : 0), base);
      cairo_line_to(cr, x + 1, base - h);
      cairo_line_to(cr, x + 7, base);
      cairo_close_path(cr);
      if (c.Plain) {
        SetRgb(cr, Hex(0xB8C0C8));
        cairo_fill_preserve(cr);
      } else {
        cairo_pattern_t* p = cairo_pattern_create_linear(x - 6, 0, x + 7, 0);
        cairo_pattern_add_color_stop_rgb(p, 0, 0.95, 0.97, 1.0);
        cairo_pattern_add_color_stop_rgb(p, 0.5, 0.62, 0.66, 0.72);
        cairo_pattern_add_color_stop_rgb(p, 1, 0.25, 0.27, 0.3);
        cairo_set_source(cr, p);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(p);
      }
      SetRgb(cr, Hex(0x202428));
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
      // A red tip.
      cairo_move_to(cr, x - 1, base - h + 7);
      cairo_line_to(cr, x + 1, base - h);
      cairo_line_to(cr, x + 3, base - h + 7);
      cairo_close_path(cr);
      SetRgb(cr, Hex(0xC02020));
      cairo_fill(cr);
    }
  }
}

// Acid: a bubbling green pool.
void ArtAcid(cairo_t* cr, const ArtContext& c) {
  PaintPixels(cr, [&](int x, int y) {
    if (c.Plain) return Hex(0x40C020);
    const double n = TileFbm(x, y + 0.5 * x, 500);
    return Mix(Hex(0x1E6010), Hex(0x90FF40), std::clamp(n * 1.3 - 0.15, 0.0, 1.0));
  });
  static constexpr double kBubbles[][3] = {{14, 18, 5}, {42, 12, 3}, {50, 40, 6}, {22, 48, 3.5}, {32, 30, 2.5}};
  for (const auto& b : kBubbles) {
    cairo_arc(cr, b[0], b[1], b[2], 0, 2 * M_PI);
    SetRgb(cr, Hex(0xC8FF90), c.Plain ? 1.0 : 0.55);
    cairo_fill_preserve(cr);
    SetRgb(cr, Hex(0x1E5A10));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_arc(cr, b[0] - b[2] * 0.35, b[1] - b[2] * 0.35, b[2] * 0.3, 0, 2 * M_PI);
    SetRgb(cr, Hex(0xFFFFFF));
    cairo_fill(cr);
  }
}

}  // namespace gravik::mkres

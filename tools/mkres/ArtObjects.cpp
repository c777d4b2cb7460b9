// Objects lying on empty space: rocks, gems, keys, eggs, safes, cages, skulls,
// plants, the puzzle piece, transporters, savepoints, the time bomb, the meteor
// and the end character with its compass.
#include <algorithm>
#include <cmath>

#include "Art.h"

namespace gravik::mkres {

namespace {

constexpr double kDeg = M_PI / 180.0;

void Polygon(cairo_t* cr, std::initializer_list<std::pair<double, double>> pts) {
  cairo_new_sub_path(cr);
  for (auto [x, y] : pts) cairo_line_to(cr, x, y);
  cairo_close_path(cr);
}

void Stroke(cairo_t* cr, Rgb c, double w) {
  SetRgb(cr, c);
  cairo_set_line_width(cr, w);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

// The outline of the boulder, turned by `angle`.
void RockPath(cairo_t* cr, double cx, double cy, double angle) {
  static constexpr double kRadii[] = {26, 27.5, 25, 27, 28, 25.5, 27, 26.5, 24.5, 27.5};
  double pts[20];
  for (int i = 0; i < 10; ++i) {
    const double a = angle + i * 2 * M_PI / 10;
    pts[2 * i] = cx + kRadii[i] * std::cos(a);
    pts[2 * i + 1] = cy + kRadii[i] * 0.95 * std::sin(a);
  }
  SmoothClosed(cr, pts, 10);
}

}  // namespace

// Boulder; variants 0..3 are its rotation frames, a quarter turn apart. The light
// stays on the upper left while the outline, cracks and speckles turn.
void ArtRock(cairo_t* cr, const ArtContext& c) {
  const double cx = 32, cy = 33, angle = (c.Variant % 4) * 90 * kDeg;
  const Rgb base = Hex(0x8E8472);
  RockPath(cr, cx, cy, angle);
  FillLit(cr, c, base, cx, cy, 29);
  cairo_new_path(cr);
  if (!c.Plain) {
    cairo_save(cr);
    RockPath(cr, cx, cy, angle);
    cairo_clip(cr);
    for (int i = 0; i < 70; ++i) {
      const double r = 24 * std::sqrt(Hash01(i, 0, 21)), a = angle + Hash01(i, 1, 21) * 2 * M_PI;
      const double x = cx + r * std::cos(a), y = cy + r * std::sin(a);
      cairo_arc(cr, x, y, 0.6 + Hash01(i, 2, 21) * 1.2, 0, 2 * M_PI);
      SetRgb(cr, Hash01(i, 3, 21) > 0.5 ? Hex(0xC8BCA8) : Hex(0x4A4236), 0.55);
      cairo_fill(cr);
    }
    // A darker patch and its lit rim.
    const double pa = angle + 200 * kDeg;
    Ellipse(cr, cx + 10 * std::cos(pa), cy + 10 * std::sin(pa), 7, 5);
    SetRgb(cr, Hex(0x5C5446), 0.6);
    cairo_fill(cr);
    cairo_restore(cr);
  }
  // Cracks turn with the rock.
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, angle);
  cairo_move_to(cr, -4, -24);
  cairo_line_to(cr, -1, -14);
  cairo_line_to(cr, -7, -6);
  cairo_line_to(cr, -3, 2);
  cairo_move_to(cr, -1, -14);
  cairo_line_to(cr, 6, -10);
  cairo_move_to(cr, 24, 6);
  cairo_line_to(cr, 15, 9);
  cairo_line_to(cr, 12, 17);
  cairo_restore(cr);
  Stroke(cr, Hex(0x3A3228), c.Plain ? 1.6 : 1.3);
  RockPath(cr, cx, cy, angle);
  Outline(cr, base, 1.5);
}

// Brilliant-cut gem; variants 0..2 twinkle.
void ArtDiamond(cairo_t* cr, const ArtContext& c) {
  const Rgb gem = Hex(0x58D8F8);
  using P = std::pair<double, double>;
  const P T1{21, 12}, T2{43, 12}, G1{7, 25}, G2{57, 25}, M1{20, 25}, M2{32, 25}, M3{44, 25}, C{32, 58};
  struct Facet {
    P a, b, d;
    double light;
  };
  const Facet facets[] = {
      {G1, T1, M1, 0.55}, {T1, M2, M1, 0.25}, {T1, T2, M2, 0.75}, {T2, M3, M2, 0.1}, {T2, G2, M3, -0.15},
      {G1, M1, C, 0.15},  {M1, M2, C, 0.45},  {M2, M3, C, -0.1},  {M3, G2, C, -0.4},
  };
  for (const Facet& f : facets) {
    Polygon(cr, {f.a, f.b, f.d});
    const double light = c.Plain ? (f.light > 0.2 ? 0.45 : -0.05) : f.light;
    SetRgb(cr, Shade(gem, light));
    cairo_fill_preserve(cr);
    SetRgb(cr, Shade(gem, 0.6), c.Plain ? 1.0 : 0.7);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
  }
  Polygon(cr, {G1, T1, T2, G2, C});
  Outline(cr, gem, 1.4);
  if (c.Plain) {
    if (c.Variant == 1 || c.Variant == 2) Twinkle(cr, c.Variant == 1 ? 22 : 42, c.Variant == 1 ? 18 : 30, 7);
    return;
  }
  switch (c.Variant) {
    case 0: Twinkle(cr, 24, 17, 5, 0.8); break;
    case 1: Twinkle(cr, 22, 17, 12); break;
    default:
      Twinkle(cr, 41, 31, 15);
      Twinkle(cr, 20, 18, 5, 0.8);
      break;
  }
}

// Golden key lying on the diagonal; variants 0..2 twinkle.
void ArtKey(cairo_t* cr, const ArtContext& c) {
  const Rgb gold = Hex(0xF0C030);
  // Bow with its hole (the inner circle runs the other way), shaft and bit, as
  // one path filled by winding so that overlapping parts stay solid.
  cairo_save(cr);
  cairo_translate(cr, 19, 22);
  cairo_rotate(cr, 35 * kDeg);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 12, 0, 2 * M_PI);
  cairo_close_path(cr);
  cairo_new_sub_path(cr);
  cairo_arc_negative(cr, 0, 0, 5.5, 2 * M_PI, 0);
  cairo_close_path(cr);
  cairo_rectangle(cr, 10, -3.5, 32, 7);
  cairo_rectangle(cr, 30, 2, 5, 10);
  cairo_rectangle(cr, 37, 2, 5, 7);
  cairo_restore(cr);
  FillLit(cr, c, gold, 26, 28, 30);
  Outline(cr, gold, 1.4);
  // Shine along the shaft.
  cairo_save(cr);
  cairo_translate(cr, 19, 22);
  cairo_rotate(cr, 35 * kDeg);
  cairo_move_to(cr, 13, -1.5);
  cairo_line_to(cr, 38, -1.5);
  cairo_restore(cr);
  Stroke(cr, Shade(gold, 0.7), 1.2);
  if (c.Variant == 1) Twinkle(cr, 12, 14, c.Plain ? 7 : 11);
  if (c.Variant == 2) Twinkle(cr, 44, 42, c.Plain ? 8 : 13);
}

namespace {
void EggPath(cairo_t* cr, double cx, double cy, double w, double h) {
  // Narrower at the top: two half-ellipses of different heights.
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_new_sub_path(cr);
  cairo_save(cr);
  cairo_scale(cr, w / 2, h * 0.58);
  cairo_arc(cr, 0, 0, 1, M_PI, 2 * M_PI);
  cairo_restore(cr);
  cairo_save(cr);
  cairo_scale(cr, w / 2, h * 0.42);
  cairo_arc(cr, 0, 0, 1, 0, M_PI);
  cairo_restore(cr);
  cairo_close_path(cr);
  cairo_restore(cr);
}

void EggSpots(cairo_t* cr, const ArtContext& c, double dx, double dy) {
  static constexpr double kSpots[][3] = {{24, 24, 3.5}, {38, 30, 4.5}, {28, 42, 3}, {40, 48, 2.5}, {21, 36, 2}, {34, 18, 2}};
  for (const auto& s : kSpots) {
    Ellipse(cr, s[0] + dx, s[1] + dy, s[2], s[2] * 0.8);
    SetRgb(cr, Hex(0x8A4AA0), c.Plain ? 1.0 : 0.85);
    cairo_fill(cr);
  }
}
}  // namespace

// A monster egg: pale green shell with purple spots.
void ArtEgg(cairo_t* cr, const ArtContext& c) {
  const Rgb shell = Hex(0xD8EEB0);
  EggPath(cr, 32, 38, 38, 46);
  FillLit(cr, c, shell, 32, 36, 28);
  cairo_save(cr);
  cairo_clip(cr);
  EggSpots(cr, c, 0, 0);
  cairo_restore(cr);
  EggPath(cr, 32, 38, 38, 46);
  Outline(cr, shell, 1.5);
}

// The cracked egg: the shell split by a jagged crack with eyes peering out.
void ArtEggHatch(cairo_t* cr, const ArtContext& c) {
  const Rgb shell = Hex(0xD8EEB0);
  // Dark inside, then the two halves.
  EggPath(cr, 32, 38, 38, 46);
  SetRgb(cr, Hex(0x301028));
  cairo_fill(cr);
  // Eyes in the gap.
  for (int i = 0; i < 2; ++i) {
    const double ex = i ? 38 : 26;
    Ellipse(cr, ex, 35, 4, 3);
    SetRgb(cr, Hex(0xFFE040));
    cairo_fill(cr);
    Ellipse(cr, ex + 1, 35, 1.5, 2.2);
    SetRgb(cr, Hex(0x200810));
    cairo_fill(cr);
  }
  // The jagged crack; the upper half is lifted and tilted.
  static constexpr double kCrack[][2] = {{13, 36}, {19, 31}, {25, 37}, {32, 30}, {39, 37}, {45, 31}, {51, 36}};
  for (int half = 0; half < 2; ++half) {
    cairo_save(cr);
    if (half == 0) {
      cairo_translate(cr, -2, -5);
      cairo_rotate(cr, -6 * kDeg);
      cairo_move_to(cr, 0, 0);
      cairo_line_to(cr, 64, 0);
      cairo_line_to(cr, 64, 36);
      for (int i = 6; i >= 0; --i) cairo_line_to(cr, kCrack[i][0], kCrack[i][1]);
      cairo_line_to(cr, 0, 36);
    } else {
      cairo_translate(cr, 0, 4);
      cairo_move_to(cr, 0, 37);
      for (const auto& p : kCrack) cairo_line_to(cr, p[0], p[1] + 1);
      cairo_line_to(cr, 64, 37);
      cairo_line_to(cr, 64, 64);
      cairo_line_to(cr, 0, 64);
    }
    cairo_close_path(cr);
    cairo_clip(cr);
    EggPath(cr, 32, 38, 38, 46);
    FillLit(cr, c, shell, 32, 36, 28);
    cairo_save(cr);
    cairo_clip(cr);
    EggSpots(cr, c, 0, 0);
    cairo_restore(cr);
    EggPath(cr, 32, 38, 38, 46);
    Outline(cr, shell, 1.5);
    cairo_restore(cr);
  }
}

// A strongbox with a big dial; it opens with a key.
void ArtSafe(cairo_t* cr, const ArtContext& c) {
  const Rgb body = Hex(0x56707A);
  RoundRect(cr, 5, 7, 54, 52, 5);
  FillVertical(cr, Shade(body, c.Plain ? 0 : 0.25), Shade(body, c.Plain ? 0 : -0.35), 7, 59);
  Outline(cr, body, 1.6);
  RoundRect(cr, 10, 12, 44, 42, 3);
  SetRgb(cr, Shade(body, -0.2));
  cairo_fill_preserve(cr);
  SetRgb(cr, Shade(body, 0.35));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  // Hinges.
  for (double y : {16.0, 44.0}) {
    cairo_rectangle(cr, 51, y, 6, 6);
    SetRgb(cr, Hex(0x303C40));
    cairo_fill(cr);
  }
  // Dial with ticks and a knob.
  cairo_arc(cr, 33, 33, 12, 0, 2 * M_PI);
  FillLit(cr, c, Hex(0xC8CCD0), 33, 33, 12);
  Outline(cr, Hex(0xC8CCD0), 1.2);
  for (int i = 0; i < 12; ++i) {
    const double a = i * 30 * kDeg;
    cairo_move_to(cr, 33 + 9 * std::cos(a), 33 + 9 * std::sin(a));
    cairo_line_to(cr, 33 + 11 * std::cos(a), 33 + 11 * std::sin(a));
  }
  Stroke(cr, Hex(0x303030), 1);
  cairo_arc(cr, 33, 33, 4.5, 0, 2 * M_PI);
  FillLit(cr, c, Hex(0xD03028), 33, 33, 4.5);
  cairo_new_path(cr);
  // Handle.
  RoundRect(cr, 14, 24, 4, 18, 2);
  FillLit(cr, c, Hex(0xE0C050), 16, 33, 9);
  Outline(cr, Hex(0xE0C050), 1);
  // Feet.
  cairo_rectangle(cr, 9, 59, 8, 3);
  cairo_rectangle(cr, 47, 59, 8, 3);
  SetRgb(cr, Hex(0x2C3438));
  cairo_fill(cr);
}

// A domed birdcage of bronze bars; a spirit that reaches it becomes a diamond.
void ArtCage(cairo_t* cr, const ArtContext& c) {
  const Rgb bronze = Hex(0xC89040);
  // Faint glow inside.
  cairo_move_to(cr, 9, 54);
  cairo_line_to(cr, 9, 26);
  cairo_curve_to(cr, 9, 8, 55, 8, 55, 26);
  cairo_line_to(cr, 55, 54);
  cairo_close_path(cr);
  if (c.Plain) {
    SetRgb(cr, Hex(0x201840));
    cairo_fill(cr);
  } else {
    cairo_pattern_t* p = cairo_pattern_create_radial(32, 36, 2, 32, 36, 28);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.35, 0.25, 0.6);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.08, 0.06, 0.16);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
  // Bars.
  for (int i = 0; i < 7; ++i) {
    const double x = 9 + i * 46.0 / 6;
    const double top = 26 - 15 * std::sin(M_PI * i / 6) * 0.95;
    cairo_move_to(cr, x, 54);
    cairo_line_to(cr, x, 26);
    cairo_curve_to(cr, x, top + 4, 32 + (x - 32) * 0.3, 10, 32, 10);
  }
  Stroke(cr, Shade(bronze, -0.6), 3.6);
  for (int i = 0; i < 7; ++i) {
    const double x = 9 + i * 46.0 / 6;
    const double top = 26 - 15 * std::sin(M_PI * i / 6) * 0.95;
    cairo_move_to(cr, x, 54);
    cairo_line_to(cr, x, 26);
    cairo_curve_to(cr, x, top + 4, 32 + (x - 32) * 0.3, 10, 32, 10);
  }
  Stroke(cr, c.Plain ? bronze : Shade(bronze, 0.2), 2);
  // Ring band, base and hook.
  RoundRect(cr, 6, 52, 52, 8, 2);
  FillVertical(cr, Shade(bronze, 0.3), Shade(bronze, -0.4), 52, 60);
  Outline(cr, bronze, 1.2);
  RoundRect(cr, 8, 30, 48, 3, 1);
  SetRgb(cr, bronze);
  cairo_fill(cr);
  cairo_arc(cr, 32, 6, 4, 0, 2 * M_PI);
  Stroke(cr, bronze, 2);
}

// Skull; variant 1 eyes glow, variant 2 jaw drops with brighter eyes.
void ArtSkull(cairo_t* cr, const ArtContext& c) {
  const Rgb bone = Hex(0xE8E0C8);
  const double jaw = c.Variant == 2 ? 4 : 0;
  // Jaw.
  RoundRect(cr, 20, 38 + jaw, 24, 16, 6);
  FillLit(cr, c, bone, 32, 44 + jaw, 14);
  Outline(cr, bone, 1.4);
  for (int i = 0; i < 5; ++i) {
    cairo_move_to(cr, 23.5 + i * 4.25, 40 + jaw);
    cairo_line_to(cr, 23.5 + i * 4.25, 47 + jaw);
  }
  Stroke(cr, Hex(0x6A6050), 1.1);
  // Cranium.
  cairo_arc(cr, 32, 27, 20, 0, 2 * M_PI);
  cairo_new_sub_path(cr);
  RoundRect(cr, 19, 30, 26, 14, 4);
  FillLit(cr, c, bone, 32, 27, 22);
  cairo_new_path(cr);
  cairo_arc(cr, 32, 27, 20, 0.8 * M_PI, 2.2 * M_PI);
  Outline(cr, bone, 1.4);
  // Teeth row of the upper jaw.
  for (int i = 0; i < 5; ++i) {
    cairo_rectangle(cr, 22.5 + i * 4.1, 40, 3.1, 4);
  }
  SetRgb(cr, Shade(bone, 0.2));
  cairo_fill(cr);
  // Eye sockets and nose.
  for (int i = 0; i < 2; ++i) {
    const double ex = i ? 40 : 24;
    Ellipse(cr, ex, 29, 6.5, 7);
    SetRgb(cr, Hex(0x2A1410));
    cairo_fill(cr);
    if (c.Variant > 0) {
      const double r = c.Variant == 2 ? 5 : 4;
      cairo_pattern_t* p = cairo_pattern_create_radial(ex, 30, 0, ex, 30, r);
      cairo_pattern_add_color_stop_rgb(p, 0, 1, c.Variant == 2 ? 0.95 : 0.6, 0.3);
      cairo_pattern_add_color_stop_rgb(p, 1, 0.7, 0.05, 0.02);
      cairo_set_source(cr, p);
      cairo_arc(cr, ex, 30, r, 0, 2 * M_PI);
      cairo_fill(cr);
      cairo_pattern_destroy(p);
    }
  }
  Polygon(cr, {{32, 34}, {28.5, 39}, {35.5, 39}});
  SetRgb(cr, Hex(0x2A1410));
  cairo_fill(cr);
}

// Plants of the surface above a space level: 1 grass, 2 tulip, 3 bush, 4 sunflower.
void ArtPlant(cairo_t* cr, const ArtContext& c) {
  const Rgb green = Hex(0x48A838), dark = Hex(0x24601C);
  auto leaf = [&](double x0, double y0, double x1, double y1, double bulge) {
    const double mx = (x0 + x1) / 2, my = (y0 + y1) / 2, nx = -(y1 - y0), ny = x1 - x0;
    const double l = std::hypot(nx, ny);
    cairo_move_to(cr, x0, y0);
    cairo_curve_to(cr, mx + nx / l * bulge, my + ny / l * bulge, mx + nx / l * bulge, my + ny / l * bulge, x1, y1);
    cairo_curve_to(cr, mx - nx / l * bulge, my - ny / l * bulge, mx - nx / l * bulge, my - ny / l * bulge, x0, y0);
    cairo_close_path(cr);
    FillLit(cr, c, green, mx, my, l);
    Outline(cr, dark, 1);
  };
  switch (c.Variant) {
    case 1:
    default:
      for (int i = 0; i < 9; ++i) {
        const double x = 10 + i * 5.5, tip = 16 + Hash01(i, 0, 70) * 22, lean = (Hash01(i, 1, 70) - 0.5) * 18;
        leaf(x, 62, x + lean, tip, 2.6);
      }
      break;
    case 2: {
      cairo_move_to(cr, 32, 62);
      cairo_curve_to(cr, 30, 48, 34, 36, 32, 26);
      Stroke(cr, dark, 3);
      leaf(32, 60, 16, 40, 5);
      leaf(32, 56, 48, 38, 5);
      // Tulip cup.
      cairo_move_to(cr, 22, 14);
      cairo_line_to(cr, 27, 20);
      cairo_line_to(cr, 32, 10);
      cairo_line_to(cr, 37, 20);
      cairo_line_to(cr, 42, 14);
      cairo_curve_to(cr, 44, 26, 38, 32, 32, 32);
      cairo_curve_to(cr, 26, 32, 20, 26, 22, 14);
      cairo_close_path(cr);
      FillLit(cr, c, Hex(0xE03040), 32, 22, 14);
      Outline(cr, Hex(0xE03040), 1.2);
      break;
    }
    case 3:
      for (int i = 0; i < 11; ++i) {
        const double a = (200 + i * 14) * kDeg;
        leaf(32, 62, 32 + 28 * std::cos(a), 58 + 40 * std::sin(a) * 0.95, 5.5);
      }
      for (auto [x, y] : {std::pair{22.0, 30.0}, {40.0, 26.0}, {33.0, 40.0}}) {
        cairo_arc(cr, x, y, 3, 0, 2 * M_PI);
        FillLit(cr, c, Hex(0xD02030), x, y, 3);
        cairo_new_path(cr);
      }
      break;
    case 4: {
      cairo_move_to(cr, 32, 62);
      cairo_line_to(cr, 32, 28);
      Stroke(cr, dark, 3.2);
      leaf(32, 52, 14, 44, 5);
      leaf(32, 46, 50, 38, 5);
      for (int i = 0; i < 12; ++i) {
        const double a = i * 30 * kDeg;
        cairo_save(cr);
        cairo_translate(cr, 32, 20);
        cairo_rotate(cr, a);
        Ellipse(cr, 10, 0, 6, 3.2);
        cairo_restore(cr);
        FillLit(cr, c, Hex(0xF8D020), 32, 20, 16);
        Outline(cr, Hex(0xC09010), 0.8);
      }
      cairo_arc(cr, 32, 20, 7, 0, 2 * M_PI);
      FillLit(cr, c, Hex(0x704018), 32, 20, 7);
      Outline(cr, Hex(0x704018), 1);
      break;
    }
  }
}

// A jigsaw piece.
void ArtPuzzle(cairo_t* cr, const ArtContext& c) {
  const Rgb col = Hex(0xF08A28);
  const double L = 12, T = 16, R = 48, B = 52;
  cairo_move_to(cr, L, T);
  cairo_line_to(cr, 25, T);
  cairo_curve_to(cr, 22, 4, 42, 4, 39, T);  // knob on top
  cairo_line_to(cr, R, T);
  cairo_line_to(cr, R, 28);
  cairo_curve_to(cr, 60, 25, 60, 45, R, 42);  // knob on the right
  cairo_line_to(cr, R, B);
  cairo_line_to(cr, 39, B);
  cairo_curve_to(cr, 42, 41, 22, 41, 25, B);  // socket below
  cairo_line_to(cr, L, B);
  cairo_line_to(cr, L, 42);
  cairo_curve_to(cr, 22, 45, 22, 25, L, 28);  // socket on the left
  cairo_close_path(cr);
  FillLit(cr, c, col, 30, 32, 30);
  Outline(cr, col, 1.6);
  if (!c.Plain) {
    cairo_move_to(cr, L + 3, T + 3);
    cairo_line_to(cr, 23, T + 3);
    cairo_move_to(cr, L + 3, T + 3);
    cairo_line_to(cr, L + 3, 26);
    Stroke(cr, Shade(col, 0.6), 1.5);
  }
}

// A burning meteor falling straight down: flames stream upwards from its core.
void ArtMeteor(cairo_t* cr, const ArtContext& c) {
  // Flame tongues.
  const double tongues[][3] = {{-9, 6, 16}, {0, 2, 20}, {9, 8, 14}};
  for (const auto& t : tongues) {
    cairo_move_to(cr, 32 + t[0] - 9, 44);
    cairo_curve_to(cr, 32 + t[0] - 10, 30, 32 + t[0] - 3, 20, 32 + t[0], t[1]);
    cairo_curve_to(cr, 32 + t[0] + 3, 20, 32 + t[0] + 10, 30, 32 + t[0] + 9, 44);
    cairo_close_path(cr);
  }
  if (c.Plain) {
    SetRgb(cr, Hex(0xF08020));
    cairo_fill(cr);
  } else {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 4, 0, 46);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.9, 0.15, 0.05);
    cairo_pattern_add_color_stop_rgb(p, 0.5, 1.0, 0.55, 0.1);
    cairo_pattern_add_color_stop_rgb(p, 1, 1.0, 0.95, 0.5);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
  cairo_arc(cr, 32, 46, 14, 0, 2 * M_PI);
  FillLit(cr, c, Hex(0x7A4A30), 32, 46, 14);
  Outline(cr, Hex(0x7A4A30), 1.2);
  // Glowing cracks.
  cairo_move_to(cr, 24, 42);
  cairo_line_to(cr, 30, 46);
  cairo_line_to(cr, 28, 52);
  cairo_move_to(cr, 30, 46);
  cairo_line_to(cr, 38, 44);
  cairo_line_to(cr, 42, 50);
  Stroke(cr, Hex(0xFFC040), 1.6);
}

// Transporter pad between two rainbow light pillars; variants 0..4 swirl. The
// pixels (0, 16), (2, 16) .. (12, 16) of the first frame give the colours of the
// transporter journey's rings, so the left pillar carries seven clean bands there.
void ArtTransporter(cairo_t* cr, const ArtContext& c) {
  static constexpr uint32_t kBands[7] = {0xFF2020, 0xFF8C10, 0xFFF020, 0x30E040, 0x20E0F0, 0x3050FF, 0xC040FF};
  const int shift = c.Plain ? 0 : c.Variant;
  for (int side = 0; side < 2; ++side)
    for (int i = 0; i < 7; ++i) {
      const int band = side == 0 ? (i + shift) % 7 : (6 - i + shift) % 7;
      const double x = side == 0 ? 2 * i : 50 + 2 * i;
      cairo_rectangle(cr, x, 2, 2, 60);
      SetRgb(cr, Hex(kBands[band]));
      cairo_fill(cr);
    }
  if (!c.Plain) {
    // Pillar caps, kept off row 16.
    for (double x : {0.0, 50.0}) {
      cairo_rectangle(cr, x, 0, 14, 4);
      cairo_rectangle(cr, x, 58, 14, 6);
      SetRgb(cr, Hex(0xB0B8C8));
      cairo_fill(cr);
    }
  }
  // The portal: a dark disc with swirling arms.
  Ellipse(cr, 32, 32, 17, 26);
  SetRgb(cr, Hex(0x101838));
  cairo_fill_preserve(cr);
  Stroke(cr, Hex(0x8090FF), 1.5);
  cairo_save(cr);
  Ellipse(cr, 32, 32, 16, 25);
  cairo_clip(cr);
  const double turn = (c.Plain ? 0 : c.Variant) * 72 * kDeg;
  for (int arm = 0; arm < 3; ++arm) {
    cairo_new_path(cr);
    for (int s = 0; s <= 24; ++s) {
      const double t = s / 24.0, a = turn + arm * 120 * kDeg + t * 3.2;
      cairo_line_to(cr, 32 + t * 16 * std::cos(a), 32 + t * 25 * std::sin(a));
    }
    Stroke(cr, Hex(arm == 0 ? 0x60F0FF : arm == 1 ? 0xFF60F0 : 0xF0FF60), c.Plain ? 2 : 2.4);
  }
  cairo_restore(cr);
  cairo_arc(cr, 32, 32, 5, 0, 2 * M_PI);
  SetRgb(cr, Hex(0xFFFFFF));
  cairo_fill(cr);
}

// Savepoint: a green orb floating over a stone pedestal, circled by a ring of
// light; variants 0..6 turn the ring and pulse the glow.
void ArtSavepoint(cairo_t* cr, const ArtContext& c) {
  const Rgb orb = Hex(0x40E070);
  Polygon(cr, {{18, 62}, {46, 62}, {42, 50}, {22, 50}});
  FillVertical(cr, Hex(0xA0A4B0), Hex(0x50545E), 50, 62);
  Outline(cr, Hex(0x80848E), 1.2);
  RoundRect(cr, 20, 46, 24, 5, 2);
  SetRgb(cr, Hex(0xC8CCD8));
  cairo_fill(cr);
  const double pulse = c.Plain ? 0 : 0.5 + 0.5 * std::sin(c.Variant * 2 * M_PI / 6);
  if (!c.Plain) {
    cairo_pattern_t* glow = cairo_pattern_create_radial(32, 26, 8, 32, 26, 22);
    cairo_pattern_add_color_stop_rgba(glow, 0, 0.4, 1, 0.6, 0.35 + 0.3 * pulse);
    cairo_pattern_add_color_stop_rgba(glow, 1, 0.4, 1, 0.6, 0);
    cairo_set_source(cr, glow);
    cairo_arc(cr, 32, 26, 22, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
  }
  // Back half of the ring, orb, front half.
  const double a0 = c.Variant * 60 * kDeg;
  auto ring = [&](double from, double to) {
    cairo_save(cr);
    cairo_translate(cr, 32, 27);
    cairo_scale(cr, 20, 6);
    cairo_arc(cr, 0, 0, 1, from, to);
    cairo_restore(cr);
    Stroke(cr, Hex(0xF0E060), 2);
  };
  ring(M_PI, 2 * M_PI);
  cairo_arc(cr, 32, 26, 11, 0, 2 * M_PI);
  FillLit(cr, c, Shade(orb, 0.15 * pulse), 32, 26, 11);
  Outline(cr, orb, 1.2);
  ring(0, M_PI);
  // A bright bead running round the ring.
  const double bx = 32 + 20 * std::cos(a0), by = 27 + 6 * std::sin(a0);
  cairo_arc(cr, bx, by, 2.6, 0, 2 * M_PI);
  SetRgb(cr, Hex(0xFFFFE0));
  cairo_fill(cr);
}

// Time bomb; variants 0..6: the fuse burns down, the last frame flashes.
void ArtTimeBomb(cairo_t* cr, const ArtContext& c) {
  const int k = std::clamp(c.Variant, 0, 6);
  const Rgb body = k == 6 ? Hex(0xC02818) : Hex(0x34405A);
  if (k == 6 && !c.Plain) {
    StarPath(cr, 30, 38, 30, 14, 12, 0);
    SetRgb(cr, Hex(0xFFD040));
    cairo_fill(cr);
  }
  cairo_arc(cr, 30, 40, 19, 0, 2 * M_PI);
  FillLit(cr, c, body, 30, 40, 19);
  Outline(cr, body, 1.4);
  RoundRect(cr, 36, 16, 11, 9, 2);
  FillLit(cr, c, Hex(0x8890A0), 41, 20, 7);
  Outline(cr, Hex(0x8890A0), 1);
  if (k < 6) {
    // Fuse from the cap, shorter each frame, with a spark at its end.
    const double len = (6 - k) / 6.0;
    cairo_move_to(cr, 44, 17);
    double ex = 44, ey = 17;
    const int steps = int(12 * len);
    for (int s = 1; s <= steps; ++s) {
      const double t = s / 12.0;
      ex = 44 + t * 14;
      ey = 17 - t * 14 + std::sin(t * 9) * 2.5;
      cairo_line_to(cr, ex, ey);
    }
    Stroke(cr, Hex(0xD8C098), 2.2);
    cairo_arc(cr, ex, ey, 3.4, 0, 2 * M_PI);
    SetRgb(cr, Hex(0xFF9020));
    cairo_fill(cr);
    StarPath(cr, ex, ey, 6, 2.2, 6, k * 0.5);
    SetRgb(cr, Hex(0xFFE040));
    cairo_fill(cr);
    cairo_arc(cr, ex, ey, 1.8, 0, 2 * M_PI);
    SetRgb(cr, Hex(0xFFFFFF));
    cairo_fill(cr);
  }
  if (!c.Plain) {
    Ellipse(cr, 22, 31, 5, 3.5);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.45);
    cairo_fill(cr);
  }
}

namespace {

// The creature waiting at the end of a level: a round violet friend with a golden
// halo. (lookX, lookY) shift its pupils towards where it looks.
void DrawEndChar(cairo_t* cr, const ArtContext& c, double lookX, double lookY) {
  const Rgb fur = Hex(0xB070E0);
  if (!c.Plain) {
    cairo_pattern_t* glow = cairo_pattern_create_radial(32, 32, 10, 32, 32, 30);
    cairo_pattern_add_color_stop_rgba(glow, 0, 1, 0.85, 0.3, 0.55);
    cairo_pattern_add_color_stop_rgba(glow, 1, 1, 0.85, 0.3, 0);
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);
  }
  Ellipse(cr, 32, 12, 11, 3.5);
  Stroke(cr, Hex(0xFFD840), 2.4);
  // Little wings.
  for (int s = -1; s <= 1; s += 2) {
    Ellipse(cr, 32 + s * 19, 32, 7, 10);
    FillLit(cr, c, Hex(0xF0F4FF), 32 + s * 19, 32, 10);
    Outline(cr, Hex(0xC0C8E0), 1);
  }
  cairo_arc(cr, 32, 36, 16, 0, 2 * M_PI);
  FillLit(cr, c, fur, 32, 36, 16);
  Outline(cr, fur, 1.5);
  for (int s = -1; s <= 1; s += 2) {
    Ellipse(cr, 32 + s * 6, 33, 4.5, 5.5);
    SetRgb(cr, Hex(0xFFFFFF));
    cairo_fill(cr);
    cairo_arc(cr, 32 + s * 6 + lookX * 2, 33 + lookY * 2.5, 2.3, 0, 2 * M_PI);
    SetRgb(cr, Hex(0x201040));
    cairo_fill(cr);
  }
  cairo_arc(cr, 32, 41, 5, 0.15 * M_PI, 0.85 * M_PI);
  Stroke(cr, Hex(0x401860), 1.5);
  for (int s = -1; s <= 1; s += 2) {
    Ellipse(cr, 32 + s * 11, 41, 3, 2);
    SetRgb(cr, Hex(0xF090C0), 0.8);
    cairo_fill(cr);
  }
}

}  // namespace

void ArtEndChar(cairo_t* cr, const ArtContext& c) { DrawEndChar(cr, c, 0, 0.2); }

// The end character with a golden arrow towards the player; variant d points to
// d x 45 degrees clockwise from the right (0 right, 2 below, 4 left, 6 above).
void ArtCompass(cairo_t* cr, const ArtContext& c) {
  const double a = (c.Variant % 8) * 45 * kDeg;
  const double dx = std::cos(a), dy = std::sin(a);
  DrawEndChar(cr, c, dx, dy);
  cairo_save(cr);
  cairo_translate(cr, 32 + dx * 21, 34 + dy * 21);
  cairo_rotate(cr, a);
  Polygon(cr, {{10, 0}, {-2, -8}, {-2, -3.5}, {-9, -3.5}, {-9, 3.5}, {-2, 3.5}, {-2, 8}});
  cairo_restore(cr);
  FillLit(cr, c, Hex(0xFFD030), 32 + dx * 21, 34 + dy * 21, 10);
  Outline(cr, Hex(0xFFD030), 1.3);
}

}  // namespace gravik::mkres

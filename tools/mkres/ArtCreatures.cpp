// The creatures drawn over the playfield: monsters and spirits. Both are keyed on
// black, so their shapes are closed and opaque, with no see-through holes.
#include <cmath>

#include "Art.h"

namespace gravik::mkres {

namespace {

void Stroke(cairo_t* cr, Rgb c, double w) {
  SetRgb(cr, c);
  cairo_set_line_width(cr, w);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

}  // namespace

// Monster: a horned crimson brute with fangs; variants 0 and 1 step and snap.
void ArtMonster(cairo_t* cr, const ArtContext& c) {
  const Rgb skin = Hex(0xC8304C), dark = Hex(0x5A0A1C);
  const int f = c.Variant % 2;
  const double squash = f ? 2 : 0;
  // Feet.
  for (int s = -1; s <= 1; s += 2) {
    const double lift = (s < 0) == (f == 0) ? 0 : -3;
    Ellipse(cr, 32 + s * 12, 57 + lift, 8, 4.5);
    FillLit(cr, c, Shade(skin, -0.3), 32 + s * 12, 57, 8);
    cairo_new_path(cr);
  }
  // Horns.
  for (int s = -1; s <= 1; s += 2) {
    cairo_move_to(cr, 32 + s * 10, 16 + squash);
    cairo_curve_to(cr, 32 + s * 16, 10, 32 + s * 22, 6, 32 + s * 24, 2);
    cairo_curve_to(cr, 32 + s * 22, 10, 32 + s * 20, 16, 32 + s * 18, 22 + squash);
    cairo_close_path(cr);
    FillLit(cr, c, Hex(0xF0E0B0), 32 + s * 18, 12, 12);
    Outline(cr, Hex(0xA09070), 1);
  }
  // Body: a rounded blob, wider when it snaps.
  const double w = 25 + squash, top = 12 + squash * 2;
  const double body[] = {32, top,      32 + w * 0.8, top + 5, 32 + w, 34,  32 + w * 0.85, 52,
                         32, 55,       32 - w * 0.85, 52,     32 - w, 34,  32 - w * 0.8,  top + 5};
  SmoothClosed(cr, body, 8);
  FillLit(cr, c, skin, 32, 34, 28);
  Outline(cr, skin, 1.6);
  // Belly.
  Ellipse(cr, 32, 44, 13, 8);
  SetRgb(cr, Shade(skin, 0.35), c.Plain ? 1.0 : 0.7);
  cairo_fill(cr);
  // Angry eyes.
  for (int s = -1; s <= 1; s += 2) {
    Ellipse(cr, 32 + s * 9, 27 + squash, 6.5, 6);
    SetRgb(cr, Hex(0xFFF8E0));
    cairo_fill(cr);
    cairo_arc(cr, 32 + s * 8, 28 + squash, 2.8, 0, 2 * M_PI);
    SetRgb(cr, Hex(0x180408));
    cairo_fill(cr);
    cairo_move_to(cr, 32 + s * 16, 19 + squash);
    cairo_line_to(cr, 32 + s * 3, 23 + squash);
    Stroke(cr, dark, 2.6);
  }
  // Mouth with fangs; wide open on the snap frame.
  const double open = f ? 9 : 5;
  cairo_move_to(cr, 20, 38 + squash);
  cairo_curve_to(cr, 26, 38 + squash + open, 38, 38 + squash + open, 44, 38 + squash);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0x3A0410));
  cairo_fill_preserve(cr);
  Stroke(cr, dark, 1.2);
  for (int s = -1; s <= 1; s += 2) {
    cairo_move_to(cr, 32 + s * 9, 38.5 + squash);
    cairo_line_to(cr, 32 + s * 6.5, 38.5 + squash);
    cairo_line_to(cr, 32 + s * 7.8, 38.5 + squash + open * 0.7);
    cairo_close_path(cr);
    SetRgb(cr, Hex(0xFFFFF0));
    cairo_fill(cr);
  }
}

// Spirit: a glowing cyan ghost with a rippling tail; variants 0..2 ripple.
void ArtSpirit(cairo_t* cr, const ArtContext& c) {
  const Rgb glow = Hex(0x70D8FF);
  const double phase = (c.Variant % 3) * 2 * M_PI / 3;
  cairo_move_to(cr, 12, 30);
  cairo_curve_to(cr, 12, 10, 52, 10, 52, 30);
  cairo_line_to(cr, 52, 46);
  // Wavy hem, four scallops moving with the phase.
  for (int i = 0; i <= 16; ++i) {
    const double t = i / 16.0, x = 52 - 40 * t;
    const double y = 50 + 5 * std::sin(t * 4 * M_PI + phase) + (c.Plain ? 0 : 3 * t);
    cairo_line_to(cr, x, y);
  }
  cairo_line_to(cr, 12, 30);
  cairo_close_path(cr);
  if (c.Plain) {
    SetRgb(cr, glow);
    cairo_fill_preserve(cr);
  } else {
    cairo_pattern_t* p = cairo_pattern_create_radial(28, 24, 2, 32, 34, 30);
    cairo_pattern_add_color_stop_rgb(p, 0, 1, 1, 1);
    cairo_pattern_add_color_stop_rgb(p, 0.45, glow.r, glow.g, glow.b);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.15, 0.4, 0.8);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
  }
  Outline(cr, Hex(0x3080C0), 1.4);
  // Little arms waving with the phase.
  for (int s = -1; s <= 1; s += 2) {
    const double y = 34 + 3 * std::sin(phase + (s > 0 ? M_PI : 0));
    Ellipse(cr, 32 + s * 22, y, 5, 3.5);
    SetRgb(cr, Shade(glow, 0.3));
    cairo_fill_preserve(cr);
    Outline(cr, Hex(0x3080C0), 1);
  }
  // Eyes and an "o" mouth.
  for (int s = -1; s <= 1; s += 2) {
    Ellipse(cr, 32 + s * 7, 27, 3.6, 5);
    SetRgb(cr, Hex(0x102060));
    cairo_fill(cr);
    cairo_arc(cr, 32 + s * 7 - 1, 25, 1.2, 0, 2 * M_PI);
    SetRgb(cr, Hex(0xFFFFFF));
    cairo_fill(cr);
  }
  Ellipse(cr, 32, 38, 3, 3.5 + (c.Variant % 3) * 0.7);
  SetRgb(cr, Hex(0x102060));
  cairo_fill(cr);
}

}  // namespace gravik::mkres

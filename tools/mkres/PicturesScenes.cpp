#include "PicturesScenes.h"

#include <cmath>
#include <vector>

#include "Pictures.h"

namespace gravik::mkres {

namespace {

constexpr int PW = kPuzzleWidth, PH = kPuzzleHeight;
constexpr double kHorizon = 168;

// A ridge line across the picture from smooth noise: y = base - amp * noise.
std::vector<double> Ridge(double base, double amp, double freq, uint32_t seed) {
  std::vector<double> ys(PW + 1);
  for (int x = 0; x <= PW; ++x) {
    double n = 0, a = 1, f = freq, sum = 0;
    for (int o = 0; o < 4; ++o) {
      n += a * TileNoise(x * f, seed % 97 + o * 13.0, 64, seed + o);
      sum += a;
      a *= 0.5;
      f *= 2.1;
    }
    // Folded noise gives sharp peaks.
    const double v = n / sum;
    ys[x] = base - amp * (1 - std::abs(2 * v - 1));
  }
  return ys;
}

void RidgePath(cairo_t* cr, const std::vector<double>& ys, double bottom) {
  cairo_move_to(cr, 0, bottom);
  for (int x = 0; x <= PW; x += 2) cairo_line_to(cr, x, ys[x]);
  cairo_line_to(cr, PW, bottom);
  cairo_close_path(cr);
}

void Pine(cairo_t* cr, double x, double baseY, double h, Rgb c) {
  cairo_rectangle(cr, x - h * 0.04, baseY - h * 0.15, h * 0.08, h * 0.15);
  SetRgb(cr, Hex(0x3A2414));
  cairo_fill(cr);
  for (int t = 0; t < 3; ++t) {
    const double top = baseY - h + t * h * 0.22, bot = baseY - h * 0.12 - (2 - t) * h * 0.18;
    const double half = h * (0.16 + t * 0.07);
    cairo_move_to(cr, x, top);
    cairo_line_to(cr, x + half, bot);
    cairo_line_to(cr, x - half, bot);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(x - half, 0, x + half, 0);
    const Rgb lit = Shade(c, 0.25), dark = Shade(c, -0.35);
    cairo_pattern_add_color_stop_rgb(p, 0, lit.r, lit.g, lit.b);
    cairo_pattern_add_color_stop_rgb(p, 1, dark.r, dark.g, dark.b);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
}

void Cloud(cairo_t* cr, double x, double y, double s) {
  const double blobs[6][3] = {{0, 0, 1}, {0.9, -0.35, 0.8}, {1.7, 0.05, 0.75}, {-0.85, 0.15, 0.7},
                              {0.5, 0.3, 0.8}, {1.2, 0.35, 0.7}};
  cairo_new_path(cr);
  for (const auto& b : blobs) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + b[0] * s, y + b[1] * s, b[2] * s, 0, 2 * M_PI);
  }
  FillStops(cr, y - s * 1.2, y + s * 1.1, {{0, Hex(0xFFF8F0)}, {0.6, Hex(0xF8C8C0)}, {1, Hex(0xB87890)}});
  cairo_new_path(cr);
}

void Balloon(cairo_t* cr, double cx, double cy, double r) {
  const Rgb stripes[6] = {Hex(0xE83030), Hex(0xFFD020), Hex(0x2080E0), Hex(0xE83030), Hex(0xFFD020),
                          Hex(0x2080E0)};
  cairo_save(cr);
  cairo_new_path(cr);
  cairo_move_to(cr, cx, cy + r * 1.35);
  cairo_curve_to(cr, cx - r * 0.6, cy + r * 0.9, cx - r * 1.05, cy + r * 0.4, cx - r, cy);
  cairo_arc(cr, cx, cy, r, M_PI, 2 * M_PI);
  cairo_curve_to(cr, cx + r * 1.05, cy + r * 0.4, cx + r * 0.6, cy + r * 0.9, cx, cy + r * 1.35);
  cairo_close_path(cr);
  cairo_clip_preserve(cr);
  for (int i = 0; i < 6; ++i) {
    const double x0 = cx - r + i * (2 * r / 6);
    cairo_rectangle(cr, x0, cy - r, 2 * r / 6 + 0.5, r * 2.5);
    SetRgb(cr, stripes[i]);
    cairo_fill(cr);
  }
  cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.4, cy - r * 0.4, 1, cx, cy, r * 1.4);
  cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, 0.45);
  cairo_pattern_add_color_stop_rgba(p, 0.5, 1, 1, 1, 0);
  cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0.1, 0.45);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
  cairo_restore(cr);
  // Ropes and basket.
  SetRgb(cr, Hex(0x503020));
  cairo_set_line_width(cr, 1);
  cairo_move_to(cr, cx - r * 0.35, cy + r * 1.2);
  cairo_line_to(cr, cx - r * 0.22, cy + r * 1.7);
  cairo_move_to(cr, cx + r * 0.35, cy + r * 1.2);
  cairo_line_to(cr, cx + r * 0.22, cy + r * 1.7);
  cairo_stroke(cr);
  cairo_rectangle(cr, cx - r * 0.25, cy + r * 1.7, r * 0.5, r * 0.35);
  FillVertical(cr, Hex(0xC08040), Hex(0x704020), cy + r * 1.7, cy + r * 2.05);
  cairo_new_path(cr);
}

void Cottage(cairo_t* cr, double x, double baseY) {
  cairo_rectangle(cr, x, baseY - 22, 34, 22);
  FillVertical(cr, Hex(0xF0E0C0), Hex(0xB09070), baseY - 22, baseY);
  cairo_new_path(cr);
  cairo_move_to(cr, x - 5, baseY - 21);
  cairo_line_to(cr, x + 17, baseY - 40);
  cairo_line_to(cr, x + 39, baseY - 21);
  cairo_close_path(cr);
  FillVertical(cr, Hex(0xE04830), Hex(0x902018), baseY - 40, baseY - 21);
  cairo_new_path(cr);
  cairo_rectangle(cr, x + 25, baseY - 44, 5, 12);
  SetRgb(cr, Hex(0x6A3A2A));
  cairo_fill(cr);
  cairo_rectangle(cr, x + 5, baseY - 15, 8, 8);
  SetRgb(cr, Hex(0xFFE060));
  cairo_fill(cr);
  cairo_rectangle(cr, x + 20, baseY - 16, 8, 16);
  SetRgb(cr, Hex(0x5A3018));
  cairo_fill(cr);
}

}  // namespace

Bitmap PuzzlePicture() {
  Canvas c(PW, PH);
  cairo_t* cr = c.Cr();
  // Evening sky.
  cairo_rectangle(cr, 0, 0, PW, kHorizon);
  FillStops(cr, 0, kHorizon,
            {{0, Hex(0x141E5A)}, {0.35, Hex(0x5A3A8C)}, {0.62, Hex(0xE0607A)}, {0.85, Hex(0xFFA860)}, {1, Hex(0xFFE0A0)}});
  cairo_new_path(cr);
  for (int i = 0; i < 40; ++i) {
    const double x = Hash01(i, 1, 0x5EED) * PW, y = Hash01(i, 2, 0x5EED) * 60;
    const double a = 0.35 + 0.65 * Hash01(i, 3, 0x5EED) * (1 - y / 70);
    cairo_arc(cr, x, y, 0.6 + Hash01(i, 4, 0x5EED), 0, 2 * M_PI);
    cairo_set_source_rgba(cr, 1, 1, 0.95, a);
    cairo_fill(cr);
  }
  Twinkle(cr, 60, 22, 6, 0.9);
  Twinkle(cr, 580, 30, 5, 0.8);
  // Setting sun with its halo.
  cairo_pattern_t* halo = cairo_pattern_create_radial(455, 128, 10, 455, 128, 120);
  cairo_pattern_add_color_stop_rgba(halo, 0, 1, 0.95, 0.7, 0.9);
  cairo_pattern_add_color_stop_rgba(halo, 1, 1, 0.6, 0.4, 0);
  cairo_set_source(cr, halo);
  cairo_rectangle(cr, 0, 0, PW, kHorizon);
  cairo_fill(cr);
  cairo_pattern_destroy(halo);
  cairo_arc(cr, 455, 128, 30, 0, 2 * M_PI);
  FillVertical(cr, Hex(0xFFFCE0), Hex(0xFFB040), 98, 158);
  cairo_new_path(cr);
  Cloud(cr, 110, 58, 15);
  Cloud(cr, 330, 40, 11);
  Cloud(cr, 560, 78, 13);
  // Far snowy mountains, then nearer hills.
  const auto far = Ridge(160, 110, 1.0 / 110, 11);
  RidgePath(cr, far, kHorizon);
  FillStops(cr, 50, kHorizon, {{0, Hex(0x6A5A9A)}, {1, Hex(0x3A3266)}});
  cairo_new_path(cr);
  cairo_save(cr);
  RidgePath(cr, far, kHorizon);
  cairo_clip(cr);
  for (int x = 0; x < PW; x += 2)
    if (far[x] < 84) {
      cairo_rectangle(cr, x, far[x], 2, (84 - far[x]) * 0.55 + 2);
      cairo_set_source_rgba(cr, 0.96, 0.94, 1, 0.9);
      cairo_fill(cr);
    }
  cairo_restore(cr);
  const auto near = Ridge(172, 40, 1.0 / 70, 23);
  RidgePath(cr, near, kHorizon + 2);
  FillStops(cr, 120, kHorizon, {{0, Hex(0x2E6A4A)}, {1, Hex(0x1A3A30)}});
  cairo_new_path(cr);
  Balloon(cr, 240, 56, 17);
  // A few birds.
  for (int i = 0; i < 4; ++i) {
    const double x = 360 + i * 14 + (i % 2) * 5, y = 70 + (i % 3) * 6;
    cairo_move_to(cr, x - 4, y - 2);
    cairo_curve_to(cr, x - 2, y - 3, x - 1, y - 1, x, y);
    cairo_curve_to(cr, x + 1, y - 1, x + 2, y - 3, x + 4, y - 2);
  }
  SetRgb(cr, Hex(0x2A1A30));
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  // The lake mirrors the sky.
  cairo_rectangle(cr, 0, kHorizon, PW, PH - kHorizon);
  FillStops(cr, kHorizon, PH, {{0, Hex(0xF0A070)}, {0.3, Hex(0xA05A8A)}, {1, Hex(0x1A2A5A)}});
  cairo_new_path(cr);
  cairo_pattern_t* glint = cairo_pattern_create_linear(415, 0, 495, 0);
  cairo_pattern_add_color_stop_rgba(glint, 0, 1, 0.9, 0.6, 0);
  cairo_pattern_add_color_stop_rgba(glint, 0.5, 1, 0.95, 0.7, 0.85);
  cairo_pattern_add_color_stop_rgba(glint, 1, 1, 0.9, 0.6, 0);
  for (int i = 0; i < 10; ++i) {
    const double y = kHorizon + 6 + i * 8, half = 38 - i * 3;
    cairo_rectangle(cr, 455 - half, y, 2 * half, 2);
  }
  cairo_set_source(cr, glint);
  cairo_fill(cr);
  cairo_pattern_destroy(glint);
  for (int i = 0; i < 60; ++i) {
    const double x = Hash01(i, 7, 0xA11) * PW, y = kHorizon + 8 + Hash01(i, 8, 0xA11) * (PH - kHorizon - 10);
    cairo_rectangle(cr, x, y, 6 + Hash01(i, 9, 0xA11) * 18, 1);
  }
  cairo_set_source_rgba(cr, 1, 0.9, 0.9, 0.25);
  cairo_fill(cr);
  // Near shore on the left with a cottage, pines on both sides.
  cairo_move_to(cr, 0, 176);
  cairo_curve_to(cr, 80, 168, 180, 170, 250, 186);
  cairo_curve_to(cr, 200, 214, 90, 236, 0, 256);
  cairo_close_path(cr);
  FillStops(cr, 168, 256, {{0, Hex(0x5A9A3A)}, {1, Hex(0x1E4A1E)}});
  cairo_new_path(cr);
  for (int i = 0; i < 30; ++i) {
    const double x = Hash01(i, 11, 0xF10) * 200, y = 182 + Hash01(i, 12, 0xF10) * 40;
    if (y > 180 + (250 - x) * 0.0 && x < 230 - (y - 180) * 2.4) {
      cairo_arc(cr, x, y, 1.5, 0, 2 * M_PI);
      SetRgb(cr, i % 3 == 0 ? Hex(0xFFE040) : i % 3 == 1 ? Hex(0xFF70A0) : Hex(0xFFFFFF));
      cairo_fill(cr);
    }
  }
  Cottage(cr, 120, 186);
  Pine(cr, 26, 196, 70, Hex(0x1E5A32));
  Pine(cr, 62, 186, 52, Hex(0x2A6A3A));
  Pine(cr, 96, 182, 40, Hex(0x2E7040));
  Pine(cr, 188, 184, 34, Hex(0x2E7040));
  // Right bank.
  cairo_move_to(cr, PW, 172);
  cairo_curve_to(cr, 600, 170, 560, 180, 540, 200);
  cairo_curve_to(cr, 560, 230, 600, 240, PW, 250);
  cairo_close_path(cr);
  FillStops(cr, 170, 250, {{0, Hex(0x4A7A3A)}, {1, Hex(0x1A3A1E)}});
  cairo_new_path(cr);
  Pine(cr, 575, 206, 58, Hex(0x1E5232));
  Pine(cr, 612, 214, 74, Hex(0x1A4A2C));
  Pine(cr, 553, 200, 36, Hex(0x2A6A3A));
  // A rowing boat on the water.
  cairo_move_to(cr, 300, 214);
  cairo_line_to(cr, 344, 214);
  cairo_curve_to(cr, 340, 222, 306, 222, 300, 214);
  cairo_close_path(cr);
  FillVertical(cr, Hex(0xC06030), Hex(0x602810), 214, 221);
  cairo_new_path(cr);
  cairo_move_to(cr, 322, 214);
  cairo_line_to(cr, 322, 192);
  cairo_line_to(cr, 338, 211);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0xFFF4E0));
  cairo_fill(cr);
  return ToOpaque(c.Surf());
}

Bitmap ArrowKeysPicture(const TextFace& face) {
  Canvas c(132, 84);
  cairo_t* cr = c.Cr();
  DrawKeyCap(cr, face, "^", 46, 0, 40, 40);
  DrawKeyCap(cr, face, "<", 2, 42, 40, 40);
  DrawKeyCap(cr, face, "v", 46, 42, 40, 40);
  DrawKeyCap(cr, face, ">", 90, 42, 40, 40);
  return ToKeyedOnBlack(c.Surf());
}

Bitmap GameScenePicture() {
  // Gravik digging under a rock, next to a diamond and a monster behind a wall.
  Canvas c(192, 128);
  cairo_t* cr = c.Cr();
  cairo_rectangle(cr, 0, 0, 192, 128);
  SetRgb(cr, Hex(0x060608));
  cairo_fill(cr);
  DrawArt(cr, "rock", 0, 0, 0);
  DrawArt(cr, "earth", 0, 64, 0);
  DrawArt(cr, "brick", 0, 128, 0);
  DrawArt(cr, "pstand", 0, 0, 64);
  DrawArt(cr, "diamond", 0, 64, 64);
  DrawArt(cr, "monster", 0, 128, 64);
  cairo_rectangle(cr, 0.5, 0.5, 191, 127);
  SetRgb(cr, Hex(0x5A6C98));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  return ToKeyedOnBlack(c.Surf());
}

Bitmap SplashPicture(const TextFace& face) {
  Canvas c(400, 250);
  cairo_t* cr = c.Cr();
  cairo_rectangle(cr, 0, 0, 400, 250);
  cairo_pattern_t* p = cairo_pattern_create_radial(200, 90, 10, 200, 110, 260);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.16, 0.2, 0.42);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.02, 0.03, 0.08);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  for (int i = 0; i < 50; ++i) {
    const double x = Hash01(i, 1, 0x5B1) * 400, y = Hash01(i, 2, 0x5B1) * 200;
    cairo_arc(cr, x, y, 0.5 + Hash01(i, 3, 0x5B1), 0, 2 * M_PI);
    cairo_set_source_rgba(cr, 0.9, 0.92, 1, 0.3 + 0.6 * Hash01(i, 4, 0x5B1));
    cairo_fill(cr);
  }
  // A row of the game's cast under the title.
  const char* cast[6] = {"diamond", "rock", "egg", "pstand", "key", "spirit"};
  for (int i = 0; i < 6; ++i) DrawArt(cr, cast[i], 0, 66 + i * 46, 146, 0.66);
  ShinyText(cr, face, 70, 200, 76, "GRAVIK 2", -0.12, 1.0);
  cairo_new_path(cr);
  face.PathCentred(cr, 14, 200, 128, "a Vantorix game");
  SetRgb(cr, Hex(0xA8D0FF));
  cairo_fill(cr);
  Twinkle(cr, 78, 40, 8, 0.9);
  Twinkle(cr, 330, 108, 7, 0.8);
  // Frame; the bottom-left stays plain for the progress line.
  cairo_rectangle(cr, 1.5, 1.5, 397, 247);
  SetRgb(cr, Hex(0x5A6C98));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  return ToOpaque(c.Surf());
}

}  // namespace gravik::mkres

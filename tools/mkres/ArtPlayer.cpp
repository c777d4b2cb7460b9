// Gravik, the player: a small miner in blue overalls and a yellow lamp helmet.
// Every frame is one pose of the same figure; walking left is walking right
// mirrored. Frames are keyed (magenta in style 1, black in style 2), so every
// shape is opaque and closed.
#include <algorithm>
#include <cmath>

#include "Art.h"

namespace gravik::mkres {

namespace {

constexpr double kDeg = M_PI / 180.0;
const Rgb kSkin = Hex(0xF5C49A), kSuit = Hex(0x2F6AD0), kHelmet = Hex(0xF2C418), kBoot = Hex(0x7A4A22),
          kOutline = Hex(0x1A1420);

struct Pose {
  int Facing = 0;            // 0 front, 1 right (left is mirrored)
  bool HeadRight = false;    // front body with the head turned to the right
  double LegPhase = 0;       // walk phase, radians
  bool Walking = false;
  double LookX = 0, LookY = 0;
  double Bob = 0;            // body offset downwards
  double Knees = 0;          // how far the knees bend (feet spread)
  bool EyesClosed = false, EyesCrossed = false;
  int Mouth = 0;             // 0 smile, 1 open, 2 flat, 3 grin
  double ArmNear = 0.15, ArmFar = 0.15;  // 0 hanging, pi/2 sideways, pi straight up
  bool FistToFace = false;
};

void Limb(cairo_t* cr, double x0, double y0, double x1, double y1, double w, Rgb col) {
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  SetRgb(cr, kOutline);
  cairo_set_line_width(cr, w + 2.4);
  cairo_stroke_preserve(cr);
  SetRgb(cr, col);
  cairo_set_line_width(cr, w);
  cairo_stroke(cr);
}

void Blob(cairo_t* cr, const ArtContext& c, double x, double y, double rx, double ry, Rgb col) {
  Ellipse(cr, x, y, rx, ry);
  FillLit(cr, c, col, x, y, std::max(rx, ry));
  SetRgb(cr, kOutline);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
}

void Arm(cairo_t* cr, const ArtContext& c, double sx, double sy, double side, double angle) {
  const double hx = sx + side * 11 * std::sin(angle), hy = sy + 11 * std::cos(angle);
  Limb(cr, sx, sy, hx, hy, 5, kSuit);
  Blob(cr, c, hx, hy, 3.2, 3.2, kSkin);
}

void Head(cairo_t* cr, const ArtContext& c, Pose p, double cy) {
  if (p.HeadRight) p.Facing = 1;
  const double cx = 32 + (p.Facing ? 2 : 0);
  cairo_arc(cr, cx, cy, 12.5, 0, 2 * M_PI);
  FillLit(cr, c, kSkin, cx, cy, 13);
  SetRgb(cr, kOutline);
  cairo_set_line_width(cr, 1.4);
  cairo_stroke(cr);
  // Eyes.
  const double ex0 = p.Facing ? cx + 1 : cx - 5.5, ex1 = p.Facing ? cx + 8 : cx + 5.5;
  for (double ex : {ex0, ex1}) {
    const double ey = cy + 2;
    if (p.EyesClosed) {
      cairo_move_to(cr, ex - 3, ey);
      cairo_curve_to(cr, ex - 1, ey + 2, ex + 1, ey + 2, ex + 3, ey);
      SetRgb(cr, kOutline);
      cairo_set_line_width(cr, 1.4);
      cairo_stroke(cr);
      continue;
    }
    if (p.EyesCrossed) {
      cairo_move_to(cr, ex - 2.6, ey - 2.6);
      cairo_line_to(cr, ex + 2.6, ey + 2.6);
      cairo_move_to(cr, ex + 2.6, ey - 2.6);
      cairo_line_to(cr, ex - 2.6, ey + 2.6);
      SetRgb(cr, kOutline);
      cairo_set_line_width(cr, 1.6);
      cairo_stroke(cr);
      continue;
    }
    Ellipse(cr, ex, ey, 3.3, 4);
    SetRgb(cr, Hex(0xFFFFFF));
    cairo_fill_preserve(cr);
    SetRgb(cr, kOutline);
    cairo_set_line_width(cr, 0.9);
    cairo_stroke(cr);
    cairo_arc(cr, ex + p.LookX * 1.4 + (p.Facing ? 1 : 0), ey + p.LookY * 1.8, 1.8, 0, 2 * M_PI);
    SetRgb(cr, Hex(0x182040));
    cairo_fill(cr);
  }
  // Mouth.
  const double mx = p.Facing ? cx + 5 : cx, my = cy + 8;
  SetRgb(cr, Hex(0x6A2018));
  switch (p.Mouth) {
    case 1:
      Ellipse(cr, mx, my + 0.5, 2.4, 2.8);
      cairo_fill(cr);
      break;
    case 2:
      cairo_move_to(cr, mx - 3, my);
      cairo_line_to(cr, mx + 3, my);
      cairo_set_line_width(cr, 1.4);
      cairo_stroke(cr);
      break;
    case 3:
      cairo_move_to(cr, mx - 4.5, my - 1);
      cairo_curve_to(cr, mx - 2, my + 3.5, mx + 2, my + 3.5, mx + 4.5, my - 1);
      cairo_close_path(cr);
      cairo_fill(cr);
      break;
    default:
      cairo_move_to(cr, mx - 3.5, my - 0.5);
      cairo_curve_to(cr, mx - 1, my + 2.2, mx + 1, my + 2.2, mx + 3.5, my - 0.5);
      cairo_set_line_width(cr, 1.4);
      cairo_stroke(cr);
      break;
  }
  // Helmet: dome, brim and lamp.
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx, cy - 1, 13.5, M_PI, 2 * M_PI);
  cairo_close_path(cr);
  FillLit(cr, c, kHelmet, cx, cy - 6, 14);
  SetRgb(cr, kOutline);
  cairo_set_line_width(cr, 1.3);
  cairo_stroke(cr);
  RoundRect(cr, cx - 15 + (p.Facing ? 3 : 0), cy - 2.5, 30, 3.5, 1.5);
  SetRgb(cr, Shade(kHelmet, -0.25));
  cairo_fill_preserve(cr);
  SetRgb(cr, kOutline);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  const double lx = p.Facing ? cx + 11 : cx, ly = cy - 8;
  cairo_arc(cr, lx, ly, 3.4, 0, 2 * M_PI);
  SetRgb(cr, Hex(0xFFF8C0));
  cairo_fill_preserve(cr);
  SetRgb(cr, kOutline);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

void DrawPlayer(cairo_t* cr, const ArtContext& c, const Pose& p) {
  const double bob = p.Bob;
  const double bodyTop = 31 + bob, bodyBottom = 47 + bob;
  if (p.Facing == 0) {
    // Legs and boots.
    for (int s = -1; s <= 1; s += 2) {
      double lift = 0;
      if (p.Walking) lift = std::max(0.0, (s < 0 ? 1 : -1) * std::sin(p.LegPhase)) * 5;
      const double hx = 32 + s * 5, fx = 32 + s * (6 + p.Knees), fy = 57 - lift;
      Limb(cr, hx, bodyBottom - 2, fx, fy, 6, Shade(kSuit, -0.25));
      Blob(cr, c, fx + s * 1.5, fy + 1.5, 5.2, 3.2, kBoot);
    }
    // Arms behind the body when hanging.
    Arm(cr, c, 22, bodyTop + 3, -1, p.ArmFar);
    if (!p.FistToFace) Arm(cr, c, 42, bodyTop + 3, 1, p.ArmNear);
    RoundRect(cr, 21, bodyTop, 22, bodyBottom - bodyTop, 6);
    FillLit(cr, c, kSuit, 32, bodyTop + 8, 14);
    SetRgb(cr, kOutline);
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
    // Bib with two buttons and a belt.
    RoundRect(cr, 26, bodyTop + 2, 12, 8, 2);
    SetRgb(cr, Shade(kSuit, 0.2));
    cairo_fill(cr);
    for (int s = -1; s <= 1; s += 2) {
      cairo_arc(cr, 32 + s * 4, bodyTop + 4, 1.2, 0, 2 * M_PI);
      SetRgb(cr, kHelmet);
      cairo_fill(cr);
    }
    cairo_rectangle(cr, 21.5, bodyTop + 11, 21, 2.5);
    SetRgb(cr, Hex(0x5A3A1A));
    cairo_fill(cr);
    Head(cr, c, p, 19 + bob);
    if (p.FistToFace) {
      // Fist raised before the face, ready to knock.
      Limb(cr, 42, bodyTop + 3, 44, 20 + bob, 5, kSuit);
      Blob(cr, c, 44, 18 + bob, 5, 5, kSkin);
    }
    return;
  }
  // Side view, facing right.
  const double swing = p.Walking ? 0.55 * std::sin(p.LegPhase) : 0;
  const double lift = p.Walking ? std::max(0.0, std::cos(p.LegPhase)) * 2.5 : 0;
  auto leg = [&](double a, Rgb col, double l) {
    const double hx = 31, hy = bodyBottom - 2;
    const double fx = hx + 12 * std::sin(a), fy = std::min(57.0, hy + 12 * std::cos(a)) - l;
    Limb(cr, hx, hy, fx, fy, 6, col);
    Blob(cr, c, fx + 2, fy + 1.5, 5.5, 3.2, kBoot);
  };
  leg(-swing, Shade(kSuit, -0.45), 0);
  Arm(cr, c, 31, bodyTop + 3, 1, -swing * 1.1 + 0.05);
  leg(swing, Shade(kSuit, -0.2), lift);
  RoundRect(cr, 23, bodyTop, 18, bodyBottom - bodyTop, 6);
  FillLit(cr, c, kSuit, 30, bodyTop + 8, 13);
  SetRgb(cr, kOutline);
  cairo_set_line_width(cr, 1.4);
  cairo_stroke(cr);
  cairo_rectangle(cr, 23.5, bodyTop + 11, 17, 2.5);
  SetRgb(cr, Hex(0x5A3A1A));
  cairo_fill(cr);
  Head(cr, c, p, 19 + bob);
  Arm(cr, c, 33, bodyTop + 3, 1, swing * 1.1 + 0.05);
}

double Radians(int degrees) { return degrees * kDeg; }

// Walk poses, the variant being the leg phase in degrees.
Pose WalkPose(int degrees, int facing) {
  Pose p;
  p.Facing = facing;
  p.Walking = true;
  p.LegPhase = Radians(degrees);
  p.Bob = -std::fabs(std::sin(p.LegPhase)) * 1.5;
  p.LookX = facing ? 1 : 0;
  if (!facing) {
    p.ArmNear = 0.15 + 0.35 * std::sin(p.LegPhase);
    p.ArmFar = 0.15 - 0.35 * std::sin(p.LegPhase);
  }
  return p;
}

void Mirrored(cairo_t* cr, const std::function<void()>& draw) {
  cairo_save(cr);
  cairo_translate(cr, 64, 0);
  cairo_scale(cr, -1, 1);
  draw();
  cairo_restore(cr);
}

// A puff of smoke made of overlapping balls.
void Smoke(cairo_t* cr, const ArtContext& c, double cx, double cy, double size, Rgb col) {
  static constexpr double kPuffs[][3] = {{0, 0, 1}, {-0.8, 0.2, 0.7}, {0.8, 0.25, 0.75}, {-0.35, -0.6, 0.7}, {0.45, -0.55, 0.65}};
  for (const auto& p : kPuffs) {
    cairo_arc(cr, cx + p[0] * size, cy + p[1] * size, p[2] * size * 0.8, 0, 2 * M_PI);
    FillLit(cr, c, col, cx + p[0] * size, cy + p[1] * size, p[2] * size);
    cairo_new_path(cr);
  }
}

void LostHelmet(cairo_t* cr, const ArtContext& c, double x, double y) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x, y, 8, M_PI, 2 * M_PI);
  cairo_close_path(cr);
  FillLit(cr, c, kHelmet, x, y - 4, 8);
  SetRgb(cr, kOutline);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  RoundRect(cr, x - 10, y - 1, 20, 3, 1);
  SetRgb(cr, Shade(kHelmet, -0.25));
  cairo_fill(cr);
}

// A small ghost of Gravik floating up.
void Soul(cairo_t* cr, const ArtContext& c, double cx, double cy, double s) {
  cairo_move_to(cr, cx - 7 * s, cy);
  cairo_curve_to(cr, cx - 7 * s, cy - 11 * s, cx + 7 * s, cy - 11 * s, cx + 7 * s, cy);
  cairo_line_to(cr, cx + 7 * s, cy + 7 * s);
  cairo_line_to(cr, cx + 3.5 * s, cy + 5 * s);
  cairo_line_to(cr, cx, cy + 7 * s);
  cairo_line_to(cr, cx - 3.5 * s, cy + 5 * s);
  cairo_line_to(cr, cx - 7 * s, cy + 7 * s);
  cairo_close_path(cr);
  FillLit(cr, c, Hex(0xE8F0FF), cx, cy, 9 * s);
  SetRgb(cr, Hex(0x8090B0));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  // Halo: a solid golden disc seen edge-on (a ring would leave a see-through hole).
  Ellipse(cr, cx, cy - 11 * s, 6 * s, 2 * s);
  SetRgb(cr, Hex(0xFFE890));
  cairo_fill_preserve(cr);
  SetRgb(cr, Hex(0xE0B020));
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  for (int e = -1; e <= 1; e += 2) {
    cairo_arc(cr, cx + e * 2.5 * s, cy - 2 * s, 1.2 * s, 0, 2 * M_PI);
    SetRgb(cr, Hex(0x283050));
    cairo_fill(cr);
  }
}

}  // namespace

// Standing: 0 facing front, 1 turned to the right, 2 turned to the left.
void ArtPlayerStand(cairo_t* cr, const ArtContext& c) {
  Pose p;
  if (c.Variant == 0) {
    DrawPlayer(cr, c, p);
    return;
  }
  p.HeadRight = true;
  p.LookX = 1;
  if (c.Variant == 1)
    DrawPlayer(cr, c, p);
  else
    Mirrored(cr, [&] { DrawPlayer(cr, c, p); });
}

void ArtPlayerWalkRight(cairo_t* cr, const ArtContext& c) { DrawPlayer(cr, c, WalkPose(c.Variant, 1)); }

void ArtPlayerWalkLeft(cairo_t* cr, const ArtContext& c) {
  Mirrored(cr, [&] { DrawPlayer(cr, c, WalkPose(c.Variant, 1)); });
}

void ArtPlayerWalkVertical(cairo_t* cr, const ArtContext& c) { DrawPlayer(cr, c, WalkPose(c.Variant, 0)); }

// Landing after a vertical step: knees bent, body low.
void ArtPlayerSettle(cairo_t* cr, const ArtContext& c) {
  Pose p;
  p.Bob = 2.5;
  p.Knees = 3;
  p.ArmNear = p.ArmFar = 0.5;
  DrawPlayer(cr, c, p);
}

// Death, frames 0..5: shock, squashed flat, burst, smoke, and the soul rising.
void ArtPlayerDeath(cairo_t* cr, const ArtContext& c) {
  switch (std::clamp(c.Variant, 0, 5)) {
    case 0: {
      StarPath(cr, 32, 34, 31, 18, 10, 0.2);
      SetRgb(cr, Hex(0xFFF0A0));
      cairo_fill(cr);
      Pose p;
      p.EyesCrossed = true;
      p.Mouth = 1;
      p.ArmNear = p.ArmFar = 2.6;
      DrawPlayer(cr, c, p);
      break;
    }
    case 1: {
      cairo_save(cr);
      cairo_translate(cr, 32, 60);
      cairo_scale(cr, 1.3, 0.5);
      cairo_translate(cr, -32, -60);
      Pose p;
      p.EyesCrossed = true;
      p.Mouth = 2;
      p.ArmNear = p.ArmFar = 1.6;
      DrawPlayer(cr, c, p);
      cairo_restore(cr);
      for (int i = 0; i < 3; ++i) {
        StarPath(cr, 18 + i * 14, 20 - (i % 2) * 6, 5, 2, 5, i);
        SetRgb(cr, Hex(0xFFE040));
        cairo_fill(cr);
      }
      break;
    }
    case 2: {
      StarPath(cr, 32, 38, 28, 12, 9, 0);
      SetRgb(cr, Hex(0xFFB030));
      cairo_fill(cr);
      StarPath(cr, 32, 38, 18, 8, 9, 0.3);
      SetRgb(cr, Hex(0xFFF4B0));
      cairo_fill(cr);
      LostHelmet(cr, c, 46, 14);
      Blob(cr, c, 9, 12, 3.5, 3.5, kSkin);
      Blob(cr, c, 56, 56, 5, 3, kBoot);
      break;
    }
    case 3:
      Smoke(cr, c, 32, 40, 14, Hex(0x9A9AA4));
      LostHelmet(cr, c, 32, 60);
      break;
    case 4:
      Smoke(cr, c, 32, 38, 9, Hex(0x8A8A94));
      LostHelmet(cr, c, 32, 60);
      Soul(cr, c, 32, 24, 1.0);
      break;
    default:
      LostHelmet(cr, c, 32, 60);
      Soul(cr, c, 32, 20, 1.3);
      Twinkle(cr, 16, 34, 7);
      Twinkle(cr, 48, 40, 6);
      break;
  }
}

// Idle poses: 0 blink, 1 yawn, 2 look up, 3 wave, 4 cheer, 5 shrug, 6 doze,
// 7 scratch the helmet.
void ArtPlayerIdle(cairo_t* cr, const ArtContext& c) {
  Pose p;
  switch (c.Variant) {
    case 0: p.EyesClosed = true; break;
    case 1:
      p.EyesClosed = true;
      p.Mouth = 1;
      p.ArmNear = p.ArmFar = 1.9;
      break;
    case 2: p.LookY = -1.2; break;
    case 3:
      p.ArmNear = 2.8;
      p.Mouth = 3;
      break;
    case 4:
      p.ArmNear = p.ArmFar = 2.7;
      p.Mouth = 3;
      p.Bob = -2;
      break;
    case 5:
      p.ArmNear = p.ArmFar = 1.7;
      p.Mouth = 2;
      p.LookY = -0.6;
      break;
    case 6:
      p.EyesClosed = true;
      p.Mouth = 2;
      break;
    default:
      p.ArmNear = 3.0;
      p.LookX = -1;
      p.LookY = -0.6;
      p.Mouth = 2;
      break;
  }
  DrawPlayer(cr, c, p);
  if (c.Variant == 6) {
    // Z marks of a doze.
    for (int i = 0; i < 2; ++i) {
      const double x = 52 + i * 6, y = 9 - i * 4, s = 2.5 + i * 0.8;
      cairo_move_to(cr, x - s, y - s);
      cairo_line_to(cr, x + s, y - s);
      cairo_line_to(cr, x - s, y + s);
      cairo_line_to(cr, x + s, y + s);
      SetRgb(cr, Hex(0xE0E8FF));
      cairo_set_line_width(cr, 1.8);
      cairo_stroke(cr);
    }
  }
}

// Knocking on the glass of the screen: 0 stepping up close, 1 fist raised,
// 2 the knock.
void ArtPlayerGlass(cairo_t* cr, const ArtContext& c) {
  const int k = std::clamp(c.Variant, 0, 2);
  cairo_save(cr);
  cairo_translate(cr, 32, 24);
  cairo_scale(cr, 1.15, 1.15);
  cairo_translate(cr, -32, -24);
  Pose p;
  p.Mouth = k == 2 ? 3 : 0;
  p.FistToFace = k >= 1;
  p.LookY = 0.4;
  DrawPlayer(cr, c, p);
  cairo_restore(cr);
  if (k == 2) {
    // The fist meets the glass: an impact star and cracks.
    const double fx = 47, fy = 24;
    StarPath(cr, fx, fy, 13, 5, 8, 0.1);
    SetRgb(cr, Hex(0xFFFFFF));
    cairo_fill(cr);
    for (int i = 0; i < 5; ++i) {
      const double a = (i * 72 + 20) * kDeg;
      cairo_move_to(cr, fx + 8 * std::cos(a), fy + 8 * std::sin(a));
      cairo_line_to(cr, fx + 17 * std::cos(a + 0.15), fy + 17 * std::sin(a + 0.15));
    }
    SetRgb(cr, Hex(0xD8F0FF));
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
    Blob(cr, c, fx, fy, 6.5, 6.5, kSkin);
  }
}

}  // namespace gravik::mkres

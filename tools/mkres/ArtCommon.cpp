// Palettes, the art registry and the drawing helpers shared by every art file.
#include <algorithm>
#include <array>
#include <cmath>

#include "Art.h"

namespace gravik::mkres {

Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Shade(Rgb c, double f) {
  if (f >= 0) return Mix(c, Rgb{1, 1, 1}, std::min(f, 1.0));
  return Mix(c, Rgb{0, 0, 0}, std::min(-f, 1.0));
}

namespace {

// Six block sets: classic clay, frozen slate, jungle moss, desert sandstone,
// volcanic basalt and a cold metal station.
const std::array<SetPalette, kBlockSets> kPalettes = {{
    {"Clay", Hex(0xB0502E), Hex(0x6E2A16), Hex(0x4A4038), Hex(0x8C8478), Hex(0x4E4840), Hex(0x8C96A4),
     Hex(0x70B8D8),
     {Hex(0x8A5A2E), Hex(0x7A5030), Hex(0x6A4A34)},
     {Hex(0x4A2E16), Hex(0x3E2814), Hex(0x342418)},
     {Hex(0xC09060), Hex(0xA8A098), Hex(0xE0B040)}},
    {"Frost", Hex(0x5A78A8), Hex(0x2C3E62), Hex(0x2A3040), Hex(0x9AB0C8), Hex(0x506078), Hex(0xA8C0D8),
     Hex(0xA0E0FF),
     {Hex(0x6A7088), Hex(0x5C6A86), Hex(0x54607A)},
     {Hex(0x343A50), Hex(0x2C3448), Hex(0x283042)},
     {Hex(0xC8D8F0), Hex(0xA0B0C8), Hex(0xE8F4FF)}},
    {"Moss", Hex(0x5E8A3C), Hex(0x2E4A1C), Hex(0x2A3222), Hex(0x7A8A62), Hex(0x3C4A2C), Hex(0x8C9C88),
     Hex(0x80E0A0),
     {Hex(0x7A6A36), Hex(0x6A7034), Hex(0x5C6838)},
     {Hex(0x3A3014), Hex(0x30381A), Hex(0x2C341C)},
     {Hex(0x9AB050), Hex(0x8A8C70), Hex(0xD0E070)}},
    {"Sand", Hex(0xD0A050), Hex(0x8A6028), Hex(0x5A4630), Hex(0xC8B080), Hex(0x7A6440), Hex(0xB0A48C),
     Hex(0xF0D890),
     {Hex(0xC08848), Hex(0xB47C44), Hex(0xA87040)},
     {Hex(0x704A20), Hex(0x684220), Hex(0x603C1E)},
     {Hex(0xF0C880), Hex(0xD8C0A0), Hex(0xFFE070)}},
    {"Basalt", Hex(0x6A4878), Hex(0x34203E), Hex(0x241A22), Hex(0x6C6070), Hex(0x342C38), Hex(0x7C7488),
     Hex(0xD080F0),
     {Hex(0x6A3028), Hex(0x5C2C2C), Hex(0x502A30)},
     {Hex(0x341410), Hex(0x2E1214), Hex(0x281418)},
     {Hex(0xE07040), Hex(0xA08890), Hex(0xFFA040)}},
    {"Station", Hex(0x3C8C94), Hex(0x1C4448), Hex(0x1E2628), Hex(0x70888C), Hex(0x34444A), Hex(0x9CA8B0),
     Hex(0x60F0F0),
     {Hex(0x74685A), Hex(0x666058), Hex(0x5A5658)},
     {Hex(0x383028), Hex(0x302C28), Hex(0x2A282A)},
     {Hex(0xA8A8A0), Hex(0x80C0C0), Hex(0xC0FFF0)}},
}};

const std::array<ArtKind, 36> kArts = {{
    {"empty", ArtEmpty},
    {"earth", ArtEarth},
    {"brick", ArtBrick},
    {"stone", ArtStone},
    {"steel", ArtSteel},
    {"glass", ArtGlass},
    {"fog", ArtFog},
    {"lava", ArtLava},
    {"spikes", ArtSpikes},
    {"acid", ArtAcid},
    {"rock", ArtRock},
    {"diamond", ArtDiamond},
    {"key", ArtKey},
    {"egg", ArtEgg},
    {"egghatch", ArtEggHatch},
    {"safe", ArtSafe},
    {"cage", ArtCage},
    {"skull", ArtSkull},
    {"plant", ArtPlant},
    {"puzzle", ArtPuzzle},
    {"meteor", ArtMeteor},
    {"transporter", ArtTransporter},
    {"savepoint", ArtSavepoint},
    {"timebomb", ArtTimeBomb},
    {"endchar", ArtEndChar},
    {"compass", ArtCompass},
    {"monster", ArtMonster},
    {"spirit", ArtSpirit},
    {"pstand", ArtPlayerStand},
    {"pwalkr", ArtPlayerWalkRight},
    {"pwalkl", ArtPlayerWalkLeft},
    {"pwalkv", ArtPlayerWalkVertical},
    {"psettle", ArtPlayerSettle},
    {"pdeath", ArtPlayerDeath},
    {"pidle", ArtPlayerIdle},
    {"pglass", ArtPlayerGlass},
}};

}  // namespace

const SetPalette& PaletteOf(int set) {
  if (set < 1 || set > kBlockSets) set = 1;
  return kPalettes[size_t(set - 1)];
}

const ArtKind* FindArt(std::string_view name) {
  for (const ArtKind& k : kArts)
    if (name == k.Name) return &k;
  return nullptr;
}

std::string ArtNames() {
  std::string s;
  for (const ArtKind& k : kArts) {
    if (!s.empty()) s += ", ";
    s += k.Name;
  }
  return s;
}

void SetRgb(cairo_t* cr, Rgb c, double alpha) {
  if (alpha >= 1.0)
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
  else
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  r = std::min({r, w / 2, h / 2});
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_close_path(cr);
  cairo_restore(cr);
}

void StarPath(cairo_t* cr, double cx, double cy, double r1, double r2, int n, double rot) {
  cairo_new_sub_path(cr);
  for (int i = 0; i < 2 * n; ++i) {
    const double a = rot + M_PI * i / n;
    const double r = (i % 2 == 0) ? r1 : r2;
    cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
  }
  cairo_close_path(cr);
}

void SmoothClosed(cairo_t* cr, const double* xy, int n) {
  auto P = [&](int i) {
    i = ((i % n) + n) % n;
    return std::pair<double, double>{xy[2 * i], xy[2 * i + 1]};
  };
  cairo_new_sub_path(cr);
  cairo_move_to(cr, xy[0], xy[1]);
  for (int i = 0; i < n; ++i) {
    auto [x0, y0] = P(i - 1);
    auto [x1, y1] = P(i);
    auto [x2, y2] = P(i + 1);
    auto [x3, y3] = P(i + 2);
    cairo_curve_to(cr, x1 + (x2 - x0) / 6, y1 + (y2 - y0) / 6, x2 - (x3 - x1) / 6, y2 - (y3 - y1) / 6, x2, y2);
  }
  cairo_close_path(cr);
}

void FillLit(cairo_t* cr, const ArtContext& c, Rgb base, double cx, double cy, double r) {
  if (c.Plain) {
    SetRgb(cr, base);
    cairo_fill_preserve(cr);
    return;
  }
  cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.4, r * 0.05, cx, cy, r * 1.05);
  const Rgb hi = Shade(base, 0.55), lo = Shade(base, -0.55);
  cairo_pattern_add_color_stop_rgb(p, 0, hi.r, hi.g, hi.b);
  cairo_pattern_add_color_stop_rgb(p, 0.45, base.r, base.g, base.b);
  cairo_pattern_add_color_stop_rgb(p, 1, lo.r, lo.g, lo.b);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
}

void FillVertical(cairo_t* cr, Rgb top, Rgb bottom, double y0, double y1) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
  cairo_pattern_add_color_stop_rgb(p, 0, top.r, top.g, top.b);
  cairo_pattern_add_color_stop_rgb(p, 1, bottom.r, bottom.g, bottom.b);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
}

void Outline(cairo_t* cr, Rgb c, double width) {
  SetRgb(cr, Shade(c, -0.7));
  cairo_set_line_width(cr, width);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

void Twinkle(cairo_t* cr, double cx, double cy, double r, double alpha) {
  cairo_save(cr);
  cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r * 0.6);
  cairo_pattern_add_color_stop_rgba(glow, 0, 1, 1, 1, alpha);
  cairo_pattern_add_color_stop_rgba(glow, 1, 1, 1, 1, 0);
  cairo_set_source(cr, glow);
  cairo_arc(cr, cx, cy, r * 0.6, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(glow);
  StarPath(cr, cx, cy, r, r * 0.16, 4, -M_PI / 2);
  cairo_set_source_rgba(cr, 1, 1, 1, alpha);
  cairo_fill(cr);
  cairo_restore(cr);
}

double Hash01(int x, int y, uint32_t seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xFFFFFF) / 16777216.0;
}

double TileNoise(double x, double y, int cells, uint32_t seed) {
  const double size = double(kCell) / cells;
  const double fx = x / size, fy = y / size;
  const int ix = int(std::floor(fx)), iy = int(std::floor(fy));
  double tx = fx - ix, ty = fy - iy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  auto v = [&](int i, int j) { return Hash01(((i % cells) + cells) % cells, ((j % cells) + cells) % cells, seed); };
  const double a = v(ix, iy) + (v(ix + 1, iy) - v(ix, iy)) * tx;
  const double b = v(ix, iy + 1) + (v(ix + 1, iy + 1) - v(ix, iy + 1)) * tx;
  return a + (b - a) * ty;
}

double TileFbm(double x, double y, uint32_t seed) {
  return 0.5 * TileNoise(x, y, 4, seed) + 0.3 * TileNoise(x, y, 8, seed + 1) + 0.2 * TileNoise(x, y, 16, seed + 2);
}

void PaintPixels(cairo_t* cr, const std::function<Rgb(int, int)>& f) {
  cairo_surface_t* s = cairo_get_target(cr);
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  auto to8 = [](double v) { return uint32_t(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5); };
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
    for (int x = 0; x < w; ++x) {
      const Rgb c = f(x, y);
      row[x] = 0xFF000000u | (to8(c.r) << 16) | (to8(c.g) << 8) | to8(c.b);
    }
  }
  cairo_surface_mark_dirty(s);
}

void FillPixels(cairo_t* cr, const std::function<Rgb(int, int)>& f) {
  cairo_surface_t* tex = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kCell, kCell);
  cairo_t* t = cairo_create(tex);
  PaintPixels(t, f);
  cairo_destroy(t);
  cairo_save(cr);
  cairo_set_source_surface(cr, tex, 0, 0);
  cairo_fill(cr);
  cairo_restore(cr);
  cairo_surface_destroy(tex);
}

}  // namespace gravik::mkres

// The archive's pictures: title, frame bar, panels, menu captions, logos, the
// spaceship and the help key pictures. The larger scenes (default puzzle, help
// illustrations, splash) are in PicturesScenes.cpp.
#include "Pictures.h"

#include <cmath>
#include <stdexcept>

#include "FontMaker.h"
#include "PicturesDraw.h"
#include "PicturesScenes.h"
#include "Texts.h"
#include "gfx/Bmp.h"
#include "gfx/Png.h"

namespace gravik::mkres {

namespace {

// --- shared looks ---------------------------------------------------------------

const Rgb kGoldTop = Hex(0xFFF6C0), kGold = Hex(0xFFC83A), kGoldDeep = Hex(0xD86A10), kGoldLow = Hex(0xFFB048);
const Rgb kSteelDark = Hex(0x141A2C), kSteel = Hex(0x2A3552), kSteelLight = Hex(0x5A6C98);
const Rgb kWell = Hex(0x0C1222), kCyan = Hex(0x48D8FF);

void Star(cairo_t* cr, double x, double y, double r, double alpha) { Twinkle(cr, x, y, r, alpha); }

}  // namespace

void ShinyText(cairo_t* cr, const TextFace& face, double size, double cx, double cy, const std::string& text,
               double shear, double glow) {
  const cairo_text_extents_t e = face.Extents(cr, size, text);
  const double x = cx - e.width / 2 - e.x_bearing, y = cy - e.height / 2 - e.y_bearing;
  const double top = cy - e.height / 2, bottom = cy + e.height / 2;
  auto path = [&](double dx, double dy) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_matrix_t m;
    cairo_matrix_init(&m, 1, 0, shear, 1, 0, 0);
    cairo_transform(cr, &m);
    cairo_translate(cr, -cx, -cy);
    cairo_new_path(cr);
    face.Path(cr, size, x + dx, y + dy, text);
    cairo_restore(cr);
  };
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  // Soft shadow: widening strokes of faint dark violet.
  for (int i = 5; i >= 1; --i) {
    path(size * 0.05, size * 0.07);
    cairo_set_source_rgba(cr, 0.06, 0.02, 0.12, 0.22);
    cairo_set_line_width(cr, i * size * 0.03);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);
  }
  // Outer glow and rim.
  path(0, 0);
  cairo_set_source_rgba(cr, 0.2, 0.35, 0.9, 0.35 * glow);
  cairo_set_line_width(cr, size * 0.16);
  cairo_stroke(cr);
  path(0, 0);
  SetRgb(cr, Hex(0x1A0C30));
  cairo_set_line_width(cr, size * 0.08);
  cairo_stroke(cr);
  // Metallic gold body with a horizon line.
  path(0, 0);
  FillStops(cr, top, bottom,
            {{0, kGoldTop}, {0.42, kGold}, {0.5, kGoldDeep}, {0.56, Hex(0xE88A20)}, {1, kGoldLow}});
  cairo_new_path(cr);
  // Gloss on the upper half.
  cairo_save(cr);
  path(0, 0);
  cairo_clip(cr);
  cairo_new_path(cr);
  Ellipse(cr, cx, top - e.height * 0.35, e.width * 0.75, e.height * 0.78);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.28);
  cairo_fill(cr);
  cairo_restore(cr);
  path(0, 0);
  SetRgb(cr, Hex(0x7A3A08), 0.9);
  cairo_set_line_width(cr, std::max(1.0, size * 0.012));
  cairo_stroke(cr);
}

namespace {

// --- title -------------------------------------------------------------------------

Bitmap TitlePicture(const TextFace& face) {
  Canvas c(600, 130);
  cairo_t* cr = c.Cr();
  ShinyText(cr, face, 100, 300, 64, "GRAVIK 2", -0.12, 1.0);
  Star(cr, 92, 28, 11, 0.95);
  Star(cr, 452, 24, 8, 0.85);
  Star(cr, 548, 92, 10, 0.9);
  Star(cr, 236, 104, 6, 0.7);
  return ToOpaque(c.Surf());
}

// --- black frame bar ---------------------------------------------------------------

Bitmap BlackBarPicture() {
  Canvas c(kBlackBarWidth, kScreenHeight);
  cairo_t* cr = c.Cr();
  // Dark brushed metal, the same on both sides of the playfield.
  PaintPixels(cr, [](int x, int y) {
    const double n = Hash01(x / 2, y, 0xBA5) * 0.03 + TileNoise(x * 0.2, y * 2.0, 4, 77) * 0.02;
    const double edge = std::min(x, kBlackBarWidth - 1 - x);
    const double v = 0.035 + n + (edge < 6 ? 0.02 * (6 - edge) / 6 : 0);
    return Rgb{v * 0.9, v, v * 1.35};
  });
  // Inlaid rails and rivets.
  for (int side = 0; side < 2; ++side) {
    const double x = side == 0 ? 5.5 : kBlackBarWidth - 5.5;
    cairo_move_to(cr, x, 0);
    cairo_line_to(cr, x, kScreenHeight);
    SetRgb(cr, Hex(0x2A3A6A), 0.9);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  }
  for (int y = 24; y < kScreenHeight; y += 72) {
    for (double x : {14.0, kBlackBarWidth - 14.0}) {
      cairo_arc(cr, x, y, 3, 0, 2 * M_PI);
      cairo_pattern_t* p = cairo_pattern_create_radial(x - 1, y - 1, 0.5, x, y, 3);
      cairo_pattern_add_color_stop_rgb(p, 0, 0.45, 0.5, 0.62);
      cairo_pattern_add_color_stop_rgb(p, 1, 0.08, 0.09, 0.14);
      cairo_set_source(cr, p);
      cairo_fill(cr);
      cairo_pattern_destroy(p);
    }
  }
  return ToKeyedOnBlack(c.Surf());
}

// --- status panels -----------------------------------------------------------------

struct PanelLayout {
  int Width;
  int IconX;
  int ValueX;
  double ScoreCentre;
  bool KeyLabels;
};

void Plate(cairo_t* cr, double x, double y, double w, double h, double r, Rgb fill) {
  // A recessed plate: dark lip above, light lip below, flat inside.
  RoundRect(cr, x - 1.5, y - 1.5, w + 3, h + 3, r + 1.5);
  FillStops(cr, y - 1.5, y + h + 1.5, {{0, Hex(0x060912)}, {1, Hex(0x7A8CB8)}});
  cairo_new_path(cr);
  RoundRect(cr, x, y, w, h, r);
  SetRgb(cr, fill);
  cairo_fill(cr);
}

Bitmap PanelPicture(const TextFace& face, const PanelLayout& L) {
  const int W = L.Width;
  Canvas c(W, kScreenHeight);
  cairo_t* cr = c.Cr();
  PaintPixels(cr, [W](int x, int y) {
    const double brushed = Hash01(x, y / 3, 0x51) * 0.025 + TileNoise(x * 3.0, y * 0.15, 4, 9) * 0.03;
    const double shade = 0.10 + 0.05 * std::sin(M_PI * (x + 0.5) / W) + brushed;
    return Rgb{shade * 0.75, shade * 0.85, shade * 1.35};
  });
  // Bevelled frame; the left edge meets the playfield.
  cairo_rectangle(cr, 1.5, 1.5, W - 3, kScreenHeight - 3);
  SetRgb(cr, kSteelLight, 0.8);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_rectangle(cr, 3.5, 3.5, W - 7, kScreenHeight - 7);
  SetRgb(cr, kSteelDark);
  cairo_stroke(cr);

  // Header: the game's name (the map panel leaves that place to the level
  // title the map view draws) and the score.
  if (L.KeyLabels) ShinyText(cr, face, 25, W / 2.0, 26, "GRAVIK 2", -0.12, 0.6);
  cairo_new_path(cr);
  face.PathCentred(cr, 13, L.ScoreCentre, 70, "SCORE");
  SetRgb(cr, Hex(0x9CC8FF));
  cairo_fill(cr);
  const double sw = W - 20;
  cairo_new_path(cr);
  face.PathCentred(cr, 11, W / 2.0, 147, "STILL TO GO");
  SetRgb(cr, Hex(0x7890C0));
  cairo_fill(cr);
  Plate(cr, 10, 84, sw, 42, 7, kWell);

  // Six counter rows: icon bay and number strip on one plate.
  const int iconY[6] = {165, 205, 245, 285, 325, 365};
  for (int y0 : iconY) {
    const double x = L.IconX - 6, w = W - 10 - x;
    Plate(cr, x, y0 - 3, w, 38, 6, kWell);
    const double sep = (L.IconX + 32 + L.ValueX) / 2.0;
    cairo_move_to(cr, sep, y0 + 3);
    cairo_line_to(cr, sep, y0 + 29);
    SetRgb(cr, kSteel);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  }
  // Rivets beside the rows.
  for (int y0 : iconY) {
    const double rx = (L.IconX - 6) / 2.0 + 1;
    cairo_arc(cr, rx, y0 + 16, 2.2, 0, 2 * M_PI);
    SetRgb(cr, kCyan, 0.75);
    cairo_fill(cr);
  }

  // Bottom: the key labels (drawn in by the game) or the map view's caption.
  Plate(cr, 8, 411, W - 16, 56, 7, kWell);
  if (!L.KeyLabels) {
    cairo_new_path(cr);
    face.PathCentred(cr, 16, W / 2.0, 439, "MAP");
    FillStops(cr, 431, 447, {{0, Hex(0xBFEFFF)}, {1, Hex(0x3AA0E0)}});
    cairo_new_path(cr);
  }
  return ToKeyedOnBlack(c.Surf());
}

// --- spaceship ---------------------------------------------------------------------

Bitmap ShipPicture() {
  Canvas c(kShipFrameWidth * kShipFrames, kShipFrameHeight);
  cairo_t* cr = c.Cr();
  for (int f = 0; f < kShipFrames; ++f) {
    cairo_save(cr);
    cairo_translate(cr, f * kShipFrameWidth, 0);
    // Exhaust flame, flickering from frame to frame.
    const double len = 7 + 3 * std::sin(f * 1.9) + (f % 2) * 2;
    cairo_move_to(cr, 9, 12.5);
    cairo_curve_to(cr, 9 - len * 0.5, 11, 9 - len, 14, 9 - len, 15);
    cairo_curve_to(cr, 9 - len, 16, 9 - len * 0.5, 19, 9, 17.5);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(9, 0, 9 - len, 0);
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 0.8, 1);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 1, 0.6, 0.1, 0.95);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.9, 0.1, 0.05, 0.6);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // Fins.
    cairo_move_to(cr, 13, 12);
    cairo_line_to(cr, 8, 4);
    cairo_line_to(cr, 15, 5);
    cairo_line_to(cr, 22, 12);
    cairo_close_path(cr);
    cairo_move_to(cr, 13, 18);
    cairo_line_to(cr, 8, 26);
    cairo_line_to(cr, 15, 25);
    cairo_line_to(cr, 22, 18);
    cairo_close_path(cr);
    FillVertical(cr, Hex(0xE04040), Hex(0x801020), 4, 26);
    Outline(cr, Hex(0xE04040), 0.8);
    // Hull.
    cairo_move_to(cr, 8, 12);
    cairo_curve_to(cr, 16, 8, 30, 9, 38, 15);
    cairo_curve_to(cr, 30, 21, 16, 22, 8, 18);
    cairo_close_path(cr);
    FillVertical(cr, Hex(0xF0F4FF), Hex(0x5A6480), 9, 21);
    Outline(cr, Hex(0x8090B0), 0.8);
    // Canopy.
    Ellipse(cr, 25, 13.5, 5.5, 2.8);
    FillVertical(cr, Hex(0xC0F8FF), Hex(0x1878C0), 10.7, 16.3);
    cairo_new_path(cr);
    // Running light, blinking.
    cairo_arc(cr, 15, 15, 1.4, 0, 2 * M_PI);
    SetRgb(cr, f % 2 == 0 ? Hex(0x60FF80) : Hex(0x207030));
    cairo_fill(cr);
    cairo_restore(cr);
  }
  return ToKeyedOnBlack(c.Surf());
}

// --- maker's logo ------------------------------------------------------------------

void Emblem(cairo_t* cr, double cx, double cy, double r) {
  // A hexagon holding a bold chevron "V".
  cairo_new_path(cr);
  for (int i = 0; i < 6; ++i) {
    const double a = M_PI / 6 + i * M_PI / 3;
    cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
  }
  cairo_close_path(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.20, 0.85, 1.0);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.10, 0.18, 0.65);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  SetRgb(cr, Hex(0xD8F4FF));
  cairo_set_line_width(cr, r * 0.08);
  cairo_stroke(cr);
  cairo_move_to(cr, cx - r * 0.55, cy - r * 0.45);
  cairo_line_to(cr, cx - r * 0.22, cy - r * 0.45);
  cairo_line_to(cr, cx, cy + r * 0.12);
  cairo_line_to(cr, cx + r * 0.22, cy - r * 0.45);
  cairo_line_to(cr, cx + r * 0.55, cy - r * 0.45);
  cairo_line_to(cr, cx + r * 0.1, cy + r * 0.58);
  cairo_line_to(cr, cx - r * 0.1, cy + r * 0.58);
  cairo_close_path(cr);
  FillVertical(cr, Hex(0xFFFFFF), Hex(0xB8C8E0), cy - r * 0.45, cy + r * 0.6);
  cairo_new_path(cr);
}

void LogoText(cairo_t* cr, const TextFace& face, double size, double x, double baseline) {
  cairo_new_path(cr);
  face.Path(cr, size, x, baseline, "Vantorix");
  const cairo_text_extents_t e = face.Extents(cr, size, "Vantorix");
  FillStops(cr, baseline + e.y_bearing, baseline,
            {{0, Hex(0xFFFFFF)}, {0.5, Hex(0xC8D4EA)}, {0.55, Hex(0x8898B8)}, {1, Hex(0xE0E8F8)}});
  SetRgb(cr, Hex(0x2A3A6A));
  cairo_set_line_width(cr, size * 0.03);
  cairo_stroke(cr);
}

Bitmap HorizontalLogo(const TextFace& face) {
  Canvas c(300, 64);
  cairo_t* cr = c.Cr();
  Emblem(cr, 32, 32, 27);
  LogoText(cr, face, 42, 70, 46);
  cairo_rectangle(cr, 70, 53, 220, 2);
  cairo_pattern_t* p = cairo_pattern_create_linear(70, 0, 290, 0);
  cairo_pattern_add_color_stop_rgba(p, 0, 0.28, 0.85, 1, 1);
  cairo_pattern_add_color_stop_rgba(p, 1, 0.28, 0.85, 1, 0.05);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  return ToOpaque(c.Surf());
}

Bitmap CreditLogo(const TextFace& face) {
  Canvas c(420, 140);
  cairo_t* cr = c.Cr();
  Emblem(cr, 72, 62, 48);
  LogoText(cr, face, 56, 134, 82);
  cairo_new_path(cr);
  face.PathCentred(cr, 15, 250, 118, "proudly presents");
  SetRgb(cr, Hex(0x9CC8FF));
  cairo_fill(cr);
  Star(cr, 118, 20, 8, 0.9);
  Star(cr, 392, 96, 6, 0.8);
  return ToKeyedOnBlack(c.Surf());
}

Bitmap CreditLine() {
  Canvas c(420, 12);
  cairo_t* cr = c.Cr();
  cairo_move_to(cr, 4, 6);
  cairo_line_to(cr, 416, 6);
  cairo_pattern_t* p = cairo_pattern_create_linear(4, 0, 416, 0);
  cairo_pattern_add_color_stop_rgba(p, 0, 1, 0.55, 0.1, 0);
  cairo_pattern_add_color_stop_rgba(p, 0.5, 1, 0.85, 0.3, 1);
  cairo_pattern_add_color_stop_rgba(p, 1, 1, 0.55, 0.1, 0);
  cairo_set_source(cr, p);
  cairo_set_line_width(cr, 3);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
  cairo_pattern_destroy(p);
  StarPath(cr, 210, 6, 6, 2.2, 4, 0);
  SetRgb(cr, Hex(0xFFF4C0));
  cairo_fill(cr);
  return ToKeyedOnBlack(c.Surf());
}

// --- menu captions (red channel only; the game turns red into the glow) -------------

Bitmap MenuCaption(const TextFace& face, const std::string& text) {
  Canvas c(280, 44);
  cairo_t* cr = c.Cr();
  // One baseline for every caption, whatever its letters, so the rows line up.
  const cairo_text_extents_t e = face.Extents(cr, 32, text), caps = face.Extents(cr, 32, "H");
  const double x = 140 - e.width / 2 - e.x_bearing, y = 22 + caps.height / 2;
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  face.Path(cr, 32, x, y, text);
  cairo_set_source_rgb(cr, 0.32, 0, 0);
  cairo_set_line_width(cr, 5);
  cairo_stroke_preserve(cr);
  FillStops(cr, y - caps.height, y + 6, {{0, Hex(0xFFFFFF)}, {0.55, Hex(0xE00000)}, {1, Hex(0x900000)}});
  cairo_new_path(cr);
  return ToRedOnly(c.Surf());
}

// --- key pictures for the help screen ----------------------------------------------

Bitmap KeyCap(const TextFace& face, const std::string& label, int width) {
  Canvas c(width, 40);
  DrawKeyCap(c.Cr(), face, label, 0, 0, width, 40);
  return ToKeyedOnBlack(c.Surf());
}

}  // namespace

void DrawKeyCap(cairo_t* cr, const TextFace& face, const std::string& label, double x, double y, double w,
                double h) {
  // Key body (the sides) and the slightly dished top.
  RoundRect(cr, x + 1, y + 1, w - 2, h - 2, 6);
  FillVertical(cr, Hex(0x8C94A8), Hex(0x3A4054), y, y + h);
  SetRgb(cr, Hex(0x1A1E2A));
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  RoundRect(cr, x + 5, y + 3, w - 10, h - 11, 4);
  FillVertical(cr, Hex(0xF4F6FC), Hex(0xC0C6D6), y + 3, y + h - 8);
  cairo_new_path(cr);
  const double size = label.size() > 2 ? h * 0.36 : h * 0.42;
  if (label == "<" || label == ">" || label == "^" || label == "v") {
    const double cx = x + w / 2, cy = y + (h - 5) / 2, r = h * 0.2;
    const double ang = label == ">" ? 0 : label == "v" ? M_PI / 2 : label == "<" ? M_PI : -M_PI / 2;
    cairo_move_to(cr, cx + r * std::cos(ang), cy + r * std::sin(ang));
    cairo_line_to(cr, cx + r * std::cos(ang + 2.3), cy + r * std::sin(ang + 2.3));
    cairo_line_to(cr, cx + r * std::cos(ang - 2.3), cy + r * std::sin(ang - 2.3));
    cairo_close_path(cr);
  } else {
    face.PathCentred(cr, size, x + w / 2, y + (h - 5) / 2, label);
  }
  SetRgb(cr, Hex(0x1C2440));
  cairo_fill(cr);
}

std::vector<std::pair<std::string, Bitmap>> BuildPictureBitmaps(std::string* error) {
  try {
    const TextFace face(DefaultFontSources().Display);
    std::vector<std::pair<std::string, Bitmap>> out;
    out.emplace_back("blackbar.bmp", BlackBarPicture());
    out.emplace_back("rtitle.bmp", TitlePicture(face));
    out.emplace_back("panel.bmp", PanelPicture(face, {kPanelWidth, 38, 78, 77, true}));
    out.emplace_back("mappanel.bmp", PanelPicture(face, {kMapPanelWidth, 21, 59, 62, false}));
    out.emplace_back("zenthrax.bmp", ShipPicture());
    out.emplace_back("vxhorzlogo.bmp", HorizontalLogo(face));
    const char* captions[8] = {"New game", "Options", "Help", "Exit", "Profiles", "Demo", "Continue", "Editor"};
    for (int n = 0; n < 8; ++n) out.emplace_back("menu" + std::to_string(n + 1) + ".bmp", MenuCaption(face, captions[n]));
    out.emplace_back("gamehelpbitmap1.bmp", ArrowKeysPicture(face));
    out.emplace_back("gamehelpbitmap2.bmp", GameScenePicture());
    // One key per caption of the controls page: map, lose a life, help, pause,
    // display mode, information panel.
    const std::pair<const char*, int> keys[6] = {{"M", 40}, {"Esc", 52}, {"F1", 44}, {"F8", 44}, {"F10", 52}, {"Tab", 64}};
    for (int n = 0; n < 6; ++n)
      out.emplace_back("gamehelpbitmap" + std::to_string(n + 3) + ".bmp", KeyCap(face, keys[n].first, keys[n].second));
    out.emplace_back("fullcreditlogo.bmp", CreditLogo(face));
    out.emplace_back("fullcreditline.bmp", CreditLine());
    out.emplace_back("defaultpuzzle.bmp", PuzzlePicture());
    return out;
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return {};
  }
}

std::vector<NamedItem> BuildPictures(const std::string& assetsDir, std::string* error) {
  const auto pictures = BuildPictureBitmaps(error);
  if (pictures.empty()) return {};
  std::vector<NamedItem> texts = BuildTexts(assetsDir, error);
  if (texts.empty()) return {};
  std::vector<NamedItem> items;
  for (const auto& [name, bmp] : pictures) items.emplace_back(name, SaveBmp16(bmp));
  for (auto& t : texts) items.push_back(std::move(t));
  return items;
}

Bitmap BuildSplashPicture() {
  const TextFace face(DefaultFontSources().Display);
  return SplashPicture(face);
}

std::vector<std::string> WritePicturePreviews(const std::string& dir, std::string* error) {
  auto pictures = BuildPictureBitmaps(error);
  if (pictures.empty()) return {};
  try {
    pictures.emplace_back("splash.bmp", BuildSplashPicture());
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return {};
  }
  std::vector<std::string> paths;
  for (const auto& [name, bmp] : pictures) {
    const std::string path = dir + "/" + name.substr(0, name.size() - 4) + ".png";
    if (!WritePng(path, bmp)) {
      if (error) *error = "cannot write " + path;
      return {};
    }
    paths.push_back(path);
  }
  return paths;
}

}  // namespace gravik::mkres

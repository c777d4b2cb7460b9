#include "Icons.h"

#include <filesystem>
#include <stdexcept>

#include "Art.h"

namespace gravik::mkres {

cairo_surface_t* DrawIcon(int size) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
  cairo_t* cr = cairo_create(s);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_GOOD);
  // Everything below is laid out on the 64-pixel block grid.
  cairo_scale(cr, size / 64.0, size / 64.0);

  // A dark tile, like an empty cell of the playfield, with a soft rim.
  RoundRect(cr, 1, 1, 62, 62, 10);
  FillVertical(cr, Hex(0x2A3A5C), Hex(0x0E1424), 1, 63);
  SetRgb(cr, Hex(0x6A86C0), 0.9);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);

  const ArtContext ctx{PaletteOf(1), 1, 0, false};
  // The diamond behind, to the lower right; the player in front, a little larger.
  cairo_save(cr);
  cairo_translate(cr, 30, 30);
  cairo_scale(cr, 0.5, 0.5);
  ArtDiamond(cr, ctx);
  cairo_restore(cr);
  cairo_save(cr);
  cairo_translate(cr, -3, 1);
  cairo_scale(cr, 0.92, 0.92);
  ArtPlayerStand(cr, ctx);
  cairo_restore(cr);

  cairo_destroy(cr);
  cairo_surface_flush(s);
  return s;
}

std::vector<std::string> WriteIcons(const std::string& outDir) {
  std::filesystem::create_directories(outDir);
  std::vector<std::string> written;
  for (int size : kIconSizes) {
    const std::string path = outDir + "/" + std::to_string(size) + "x" + std::to_string(size) + ".png";
    cairo_surface_t* s = DrawIcon(size);
    const cairo_status_t st = cairo_surface_write_to_png(s, path.c_str());
    cairo_surface_destroy(s);
    if (st != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cannot write " + path);
    written.push_back(path);
  }
  return written;
}

}  // namespace gravik::mkres

#include "Contact.h"

#include <cstdio>
#include <filesystem>
#include <iterator>

namespace gravik::mkres {

namespace {

constexpr int kColumns = 10, kEntryW = 112, kEntryH = 92;

// Copies a picture into the canvas at (x, y) at the given scale, keyed pixels
// replaced by a checkerboard.
void PutPicture(cairo_t* cr, const Bitmap& bmp, double x, double y, int scale, bool keyed, uint16_t key) {
  Bitmap shown = bmp;
  for (int py = 0; py < bmp.Height(); ++py)
    for (int px = 0; px < bmp.Width(); ++px)
      if (keyed && bmp.Pixel(px, py) == key)
        shown.SetPixel(px, py, ((px / 4 + py / 4) % 2) ? Rgb565(90, 90, 96) : Rgb565(140, 140, 150));
  Surface s = ToSurface(shown);
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, scale, scale);
  cairo_set_source_surface(cr, s.get(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  cairo_restore(cr);
}

bool WritePng(cairo_surface_t* s, const std::string& path) {
  return cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::vector<std::string> WriteContactSheets(const GraphicsSetData& gs, const std::string& outDir) {
  std::filesystem::create_directories(outDir);
  std::vector<std::string> written;
  const int rows = (kPictureBlocks + kColumns - 1) / kColumns;
  for (int style = 1; style <= kStyles; ++style)
    for (int set = 1; set <= kBlockSets; ++set) {
      Surface page(cairo_image_surface_create(CAIRO_FORMAT_RGB24, kColumns * kEntryW, rows * kEntryH + 30));
      cairo_t* cr = cairo_create(page.get());
      cairo_set_source_rgb(cr, 0.16, 0.16, 0.2);
      cairo_paint(cr);
      cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
      cairo_set_font_size(cr, 14);
      cairo_set_source_rgb(cr, 1, 1, 1);
      cairo_move_to(cr, 8, 20);
      const std::string title = "Graphics style " + std::to_string(style) + ", block set " + std::to_string(set) +
                                " (" + PaletteOf(set).Name + ")";
      cairo_show_text(cr, title.c_str());
      cairo_set_font_size(cr, 10);
      for (int block = 1; block <= kPictureBlocks; ++block) {
        const double x = ((block - 1) % kColumns) * kEntryW + 4, y = ((block - 1) / kColumns) * kEntryH + 30;
        const KeyMode key = gs.Blocks.At(block).Style[style - 1].Key;
        const bool keyed = key == KeyMode::Sprite || key == KeyMode::Magenta;
        const uint16_t keyColour = key == KeyMode::Magenta ? kMagentaKey : kBlackKey;
        PutPicture(cr, gs.BlockBitmap(block, set, style), x, y, 1, keyed, keyColour);
        const Bitmap thumb = gs.BlockThumb(block, set, style);
        PutPicture(cr, thumb, x + 68, y, 1, false, 0);
        PutPicture(cr, thumb, x + 68, y + 18, 2, false, 0);
        cairo_set_source_rgb(cr, 0.9, 0.9, 0.75);
        cairo_move_to(cr, x, y + 76);
        const std::string label = std::to_string(block) + " " + gs.Blocks.At(block).Name;
        cairo_show_text(cr, label.c_str());
      }
      cairo_destroy(cr);
      char name[64];
      std::snprintf(name, sizeof name, "/contact-style%d-set%d.png", style, set);
      if (WritePng(page.get(), outDir + name)) written.push_back(outDir + name);
    }
  // Close-ups: set 1 at twice the size, 30 blocks a page.
  for (int style = 1; style <= kStyles; ++style)
    for (int first = 1; first <= kPictureBlocks; first += 30) {
      constexpr int kZoomCols = 6, kZoomW = 136, kZoomH = 148;
      Surface page(cairo_image_surface_create(CAIRO_FORMAT_RGB24, kZoomCols * kZoomW, 5 * kZoomH));
      cairo_t* cr = cairo_create(page.get());
      cairo_set_source_rgb(cr, 0.16, 0.16, 0.2);
      cairo_paint(cr);
      cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
      cairo_set_font_size(cr, 11);
      for (int block = first; block < first + 30 && block <= kPictureBlocks; ++block) {
        const double x = ((block - first) % kZoomCols) * kZoomW + 4, y = ((block - first) / kZoomCols) * kZoomH + 4;
        const KeyMode key = gs.Blocks.At(block).Style[style - 1].Key;
        const bool keyed = key == KeyMode::Sprite || key == KeyMode::Magenta;
        PutPicture(cr, gs.BlockBitmap(block, 1, style), x, y, 2, keyed, key == KeyMode::Magenta ? kMagentaKey : kBlackKey);
        cairo_set_source_rgb(cr, 0.9, 0.9, 0.75);
        cairo_move_to(cr, x, y + 142);
        const std::string label = std::to_string(block) + " " + gs.Blocks.At(block).Name;
        cairo_show_text(cr, label.c_str());
      }
      cairo_destroy(cr);
      char name[64];
      std::snprintf(name, sizeof name, "/zoom-style%d-%03d.png", style, first);
      if (WritePng(page.get(), outDir + name)) written.push_back(outDir + name);
    }
  // A small scene per set, to judge how neighbouring blocks sit together.
  static constexpr const char* kScene[] = {
      "BBBBBBBBBBBB", "BeeEe*eeOOeB", "BeD.e.*.DeeB", "BeK..R..X.EB", "BSe.O*O.Ce.B", "BEL.M..s.TeB", "BBBBBBBBBBBB",
  };
  for (int set = 1; set <= kBlockSets; ++set) {
    const int w = 12, h = int(std::size(kScene));
    Bitmap scene(w * kCell, h * kCell);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const char ch = kScene[y][x];
        const char* name = ch == 'B' ? "BRICK" : ch == 'e' ? "EARTH1" : ch == 'E' ? "EARTH3" : ch == 'O' ? "STONE"
                         : ch == '*' ? "ROCK1" : ch == 'D' ? "DIAMOND" : ch == 'R' ? "PLAYERSTR" : ch == 'X' ? "SKULL1"
                         : ch == 'S' ? "SAFE" : ch == 'C' ? "CAGE" : ch == 'M' ? "EGG" : ch == 's' ? "SPIRIT1"
                         : ch == 'T' ? "TRANSPORT1" : ch == 'L' ? "EARTH2" : ch == 'K' ? "KEY" : nullptr;
        const int code = name ? gs.Blocks.Find(name) : 1;
        const KeyMode key = gs.Blocks.At(code == 0 ? 1 : code).Style[0].Key;
        const Bitmap pic = gs.BlockBitmap(code == 0 ? 1 : code, set, 1);
        if (key == KeyMode::Magenta || key == KeyMode::Sprite)
          Draw(scene, x * kCell, y * kCell, pic, true, key == KeyMode::Magenta ? kMagentaKey : kBlackKey);
        else
          Draw(scene, x * kCell, y * kCell, pic);
      }
    Surface page = ToSurface(scene);
    const std::string name = outDir + "/scene-set" + std::to_string(set) + ".png";
    if (WritePng(page.get(), name)) written.push_back(name);
  }
  Surface blocks = ToSurface(gs.BlockSheet), thumbs = ToSurface(gs.ThumbSheet);
  if (WritePng(blocks.get(), outDir + "/block-sheet.png")) written.push_back(outDir + "/block-sheet.png");
  if (WritePng(thumbs.get(), outDir + "/thumb-sheet.png")) written.push_back(outDir + "/thumb-sheet.png");
  return written;
}

}  // namespace gravik::mkres

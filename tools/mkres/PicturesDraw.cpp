#include "PicturesDraw.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace gravik::mkres {

Canvas::Canvas(int width, int height)
    : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)), w_(width), h_(height) {
  cr_ = cairo_create(surface_.get());
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GOOD);
}

Canvas::~Canvas() { cairo_destroy(cr_); }

namespace {

// One FreeType library for the run: Cairo may finish with a face after its
// TextFace is gone, so the library must outlive every face.
FT_Library Library() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) throw std::runtime_error("cannot start FreeType");
    return l;
  }();
  return lib;
}

// The font file and its FreeType face; freed by Cairo when it drops the face.
struct FaceData {
  std::vector<uint8_t> bytes;
  FT_Face face = nullptr;
  ~FaceData() {
    if (face) FT_Done_Face(face);
  }
};
const cairo_user_data_key_t kFaceDataKey{};

}  // namespace

struct TextFace::Impl {
  cairo_font_face_t* cface = nullptr;
  ~Impl() {
    if (cface) cairo_font_face_destroy(cface);
  }
};

TextFace::TextFace(const std::string& path) : impl_(std::make_unique<Impl>()) {
  auto data = std::make_unique<FaceData>();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) throw std::runtime_error("cannot read font " + path);
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data->bytes.insert(data->bytes.end(), buf, buf + n);
  std::fclose(f);
  if (FT_New_Memory_Face(Library(), data->bytes.data(), FT_Long(data->bytes.size()), 0, &data->face) != 0 ||
      !FT_IS_SCALABLE(data->face))
    throw std::runtime_error("not a usable font: " + path);
  impl_->cface = cairo_ft_font_face_create_for_ft_face(data->face, 0);
  if (cairo_font_face_status(impl_->cface) != CAIRO_STATUS_SUCCESS ||
      cairo_font_face_set_user_data(impl_->cface, &kFaceDataKey, data.get(),
                                    [](void* p) { delete static_cast<FaceData*>(p); }) != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error("cannot use font " + path);
  data.release();  // owned by the Cairo face from here on
}

TextFace::~TextFace() = default;

namespace {
void Select(cairo_t* cr, cairo_font_face_t* face, double size) {
  cairo_set_font_face(cr, face);
  cairo_set_font_size(cr, size);
  // Outlines without hinting: the same shapes whatever the system's font settings.
  cairo_font_options_t* o = cairo_font_options_create();
  cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr, o);
  cairo_font_options_destroy(o);
}
}  // namespace

void TextFace::Path(cairo_t* cr, double size, double x, double y, const std::string& text) const {
  Select(cr, impl_->cface, size);
  cairo_move_to(cr, x, y);
  cairo_text_path(cr, text.c_str());
}

cairo_text_extents_t TextFace::Extents(cairo_t* cr, double size, const std::string& text) const {
  Select(cr, impl_->cface, size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  return e;
}

void TextFace::PathCentred(cairo_t* cr, double size, double cx, double cy, const std::string& text) const {
  const cairo_text_extents_t e = Extents(cr, size, text);
  Path(cr, size, cx - e.width / 2 - e.x_bearing, cy - e.height / 2 - e.y_bearing, text);
}

namespace {

struct Px {
  double a, r, g, b;  // premultiplied
};

template <typename F>
Bitmap Convert(cairo_surface_t* argb, F f) {
  cairo_surface_flush(argb);
  const unsigned char* data = cairo_image_surface_get_data(argb);
  const int stride = cairo_image_surface_get_stride(argb);
  const int w = cairo_image_surface_get_width(argb), h = cairo_image_surface_get_height(argb);
  Bitmap out(w, h);
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
    for (int x = 0; x < w; ++x) {
      const uint32_t p = row[x];
      out.SetPixel(x, y,
                   f(Px{((p >> 24) & 0xFF) / 255.0, ((p >> 16) & 0xFF) / 255.0, ((p >> 8) & 0xFF) / 255.0,
                        (p & 0xFF) / 255.0}));
    }
  }
  return out;
}

uint8_t To8(double v) { return uint8_t(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5); }

}  // namespace

Bitmap ToOpaque(cairo_surface_t* argb) {
  return Convert(argb, [](Px p) { return Rgb565(To8(p.r), To8(p.g), To8(p.b)); });
}

Bitmap ToKeyedOnBlack(cairo_surface_t* argb) {
  return Convert(argb, [](Px p) -> uint16_t {
    if (p.a < 0.25) return kBlackKey;
    const uint16_t px = Rgb565(To8(p.r), To8(p.g), To8(p.b));
    return px == kBlackKey ? kNearBlack : px;
  });
}

Bitmap ToRedOnly(cairo_surface_t* argb) {
  return Convert(argb, [](Px p) -> uint16_t {
    // Brightness, weighted towards red so warm strokes stay strong.
    const double v = std::max({p.r, 0.8 * p.g, 0.6 * p.b});
    return uint16_t(uint16_t(To8(v) >> 3) << 11);
  });
}

void DrawArt(cairo_t* cr, const char* art, int variant, double x, double y, double scale, int set) {
  const ArtKind* kind = FindArt(art);
  if (!kind) throw std::runtime_error(std::string("no block art named ") + art);
  const ArtContext ctx{PaletteOf(set), set, variant, false};
  const Surface s = RenderArt(*kind, ctx);
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, scale, scale);
  cairo_set_source_surface(cr, s.get(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_paint(cr);
  cairo_restore(cr);
}

void FillStops(cairo_t* cr, double y0, double y1, std::initializer_list<std::pair<double, Rgb>> stops) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
  for (const auto& [t, c] : stops) cairo_pattern_add_color_stop_rgb(p, t, c.r, c.g, c.b);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
}

}  // namespace gravik::mkres

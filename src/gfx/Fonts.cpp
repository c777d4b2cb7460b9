#include "gfx/Fonts.h"

#include <algorithm>
#include <cmath>

#include "base/Errors.h"
#include "base/Text.h"
#include "gfx/Bmp.h"

namespace gravik {
namespace {

constexpr int kScreenCentre = 320;
constexpr int kKeyedWorkHeight = 24;
constexpr int kBigDigitAdvance = 17;

// The rectangle held to the bitmap: a glyph reaching outside keeps only the
// part inside (possibly nothing).
TGlyphRect ClipGlyph(const TGlyphRect& g, int width, int height) {
  const int64_t l = std::clamp<int64_t>(g.Left, 0, width);
  const int64_t t = std::clamp<int64_t>(g.Top, 0, height);
  const int64_t r = std::clamp<int64_t>(int64_t(g.Left) + std::max<int64_t>(g.Width, 0), l, width);
  const int64_t b = std::clamp<int64_t>(int64_t(g.Top) + std::max<int64_t>(g.Height, 0), t, height);
  return {int32_t(l), int32_t(t), int32_t(r - l), int32_t(b - t)};
}

const Bitmap* SelectedPicture(const FontSet& fonts) {
  const size_t i = size_t(fonts.Selected - 1);
  return i < fonts.Pictures.size() ? &fonts.Pictures[i] : nullptr;
}

uint16_t BottomLeft(const Bitmap& b) { return b.Pixel(0, b.Height() - 1); }

// A picture that becomes an image entry of its own: pattern size 0, opaque.
void AddPictureEntry(ImageList& images, const std::string& name, const Bitmap& picture) {
  ImageEntry& e = images.AddImage(name);
  e.PatternWidth = e.PatternHeight = 0;
  e.Picture = picture;
  e.Transparent = false;
  RebuildSurfaces(e);
}

// "fonta1".."fonta10": the digits 0..9 of the selected font as transparent entries.
void BuildDigitImages(const FontSet& fonts, ImageList& images, const std::string& prefix) {
  const Bitmap* font = SelectedPicture(fonts);
  for (int n = 1; n <= 10; ++n) {
    const TGlyphRect& g = GlyphOf(fonts, uint8_t(47 + n));
    ImageEntry& e = images.AddImage(prefix + std::to_string(n));
    e.PatternWidth = e.PatternHeight = 0;
    if (font) e.Picture = Crop(*font, Bounds(g.Left, g.Top, g.Width, g.Height));
    e.Transparent = true;
    RebuildSurfaces(e);
  }
}

int FindLastEntry(ImageList& images, const std::string& name) {
  int found = 0;
  for (int i = 0; i < images.Count(); ++i)
    if (SameText(images.At(i).Name, name)) found = i;
  return found;
}

void DrawDigits(const std::array<int, 10>& list, ImageList& images, Bitmap& surface, int x, int y,
                const std::string& digits) {
  for (char c : digits) {
    const int d = (c >= '0' && c <= '9') ? c - '0' : 0;
    const int index = list[size_t(d)];
    if (index <= 0 || index >= images.Count()) continue;  // lists not built yet
    const Bitmap& picture = images.At(index).Picture;
    // The picture is transparent: keyed on its bottom-left pixel.
    Draw(surface, x, y, picture, true, BottomLeft(picture));
    x += picture.Width();
  }
}

}  // namespace

void LoadFonts(FontSet& fonts, ImageList& images, const uint8_t* data, size_t size,
               const ArchiveItemReader& readItem) {
  // Everything is read and checked before the image list is touched.
  const FontsFile file = ReadFontsFile(data, size);
  const int count = int(file.Bitmaps.size());
  if (count == 0) throw FatalMessage("fonts.dat is damaged: it holds no fonts.");

  FontSet loaded;
  loaded.Count = count;
  loaded.Records = file.Records;
  for (int i = 0; i < count; ++i) {
    Bitmap picture;
    std::string error;
    const auto& bmp = file.Bitmaps[size_t(i)];
    if (!LoadBmp(bmp.data(), bmp.size(), picture, &error))
      throw FatalMessage("fonts.dat is damaged: bitmap " + std::to_string(i + 1) + " (" + error +
                         ").");
    for (TGlyphRect& g : loaded.Records[size_t(i)].Glyphs)
      g = ClipGlyph(g, picture.Width(), picture.Height());
    loaded.Pictures.push_back(std::move(picture));
  }
  loaded.SelectedName = loaded.Records[0].Name;
  loaded.KeyedWork = std::move(fonts.KeyedWork);
  loaded.GlowWork = std::move(fonts.GlowWork);
  loaded.GlowWorkTransparent = fonts.GlowWorkTransparent;
  fonts = std::move(loaded);

  for (int i = 0; i < count; ++i)
    AddPictureEntry(images, fonts.Records[size_t(i)].Name, fonts.Pictures[size_t(i)]);

  SelectFont(fonts, kFaceEras14, 2);
  BuildDigitImages(fonts, images, "fonta");
  SelectFont(fonts, kFaceEras20, 3);
  BuildDigitImages(fonts, images, "fontb");

  for (int n = 1; n <= 8; ++n) {
    const std::string item = "menu" + std::to_string(n) + ".bmp";
    const auto bytes = readItem ? readItem(item) : std::nullopt;
    if (!bytes) throw FatalMessage(item + " not found in resource.");
    Bitmap picture;
    std::string error;
    if (!LoadBmp(bytes->data(), bytes->size(), picture, &error))
      throw FatalMessage(item + " is damaged (" + error + ").");
    AddPictureEntry(images, "menutext" + std::to_string(n), picture);
  }
}

void RebuildFontIndexes(FontSet& fonts, ImageList& images) {
  for (int n = 1; n <= 10; ++n) {
    fonts.SmallDigits[size_t(n - 1)] = FindLastEntry(images, "fonta" + std::to_string(n));
    if (fonts.SmallDigits[size_t(n - 1)] == 0) throw FatalMessage("Error building font lista");
  }
  for (int n = 1; n <= 10; ++n) {
    fonts.BigDigits[size_t(n - 1)] = FindLastEntry(images, "fontb" + std::to_string(n));
    if (fonts.BigDigits[size_t(n - 1)] == 0) throw FatalMessage("Error building font listb");
  }
}

void SelectFont(FontSet& fonts, std::string_view fileName, int colour) {
  std::string wanted = std::to_string(colour);
  wanted += fileName;
  int found = 1;
  for (int i = 1; i <= fonts.Count; ++i)
    if (fonts.Records[size_t(i - 1)].Name == wanted) found = i;
  fonts.Selected = found;
  fonts.SelectedName = fonts.Records[size_t(found - 1)].Name;
}

const TGlyphRect& GlyphOf(const FontSet& fonts, uint8_t code) {
  const size_t k = (code >= 32 && code <= 127) ? size_t(code - 32) : size_t(kGlyphCount - 1);
  const int sel = std::clamp(fonts.Selected, 1, kFontCapacity);
  return fonts.Records[size_t(sel - 1)].Glyphs[k];
}

int TextWidth(const FontSet& fonts, std::string_view text) {
  int w = 0;
  for (char c : text) w += GlyphOf(fonts, uint8_t(c)).Width;
  return w;
}

int TextHeight(const FontSet& fonts, std::string_view text) {
  int h = 0;
  for (char c : text) h = std::max(h, int(GlyphOf(fonts, uint8_t(c)).Height));
  return h;
}

void DrawTextInto(const FontSet& fonts, Bitmap& bitmap, int x, int y, std::string_view text) {
  const Bitmap* font = SelectedPicture(fonts);
  for (char c : text) {
    const TGlyphRect& g = GlyphOf(fonts, uint8_t(c));
    if (font) Blit(bitmap, x, y, *font, Bounds(g.Left, g.Top, g.Width, g.Height));
    x += g.Width;
  }
}

void DrawText(const FontSet& fonts, Bitmap& surface, int x, int y, std::string_view text) {
  DrawTextInto(fonts, surface, x, y, text);
}

void DrawTextCentred(const FontSet& fonts, Bitmap& surface, int y, std::string_view text) {
  DrawText(fonts, surface, kScreenCentre - TextWidth(fonts, text) / 2, y, text);
}

void DrawTextRight(const FontSet& fonts, Bitmap& surface, int right, int y, std::string_view text) {
  DrawText(fonts, surface, right - TextWidth(fonts, text), y, text);
}

void DrawTextKeyed(FontSet& fonts, Bitmap& surface, int x, int y, std::string_view text,
                   bool inPlay) {
  const int w = TextWidth(fonts, text);
  const int h = inPlay ? TextHeight(fonts, text) : kKeyedWorkHeight;
  if (w <= 0 || h <= 0) return;
  Bitmap& work = fonts.KeyedWork;
  work.SetSize(w, h, 0);
  DrawTextInto(fonts, work, 0, 0, text);
  Draw(surface, x, y, work, true, BottomLeft(work));
}

void DrawTextKeyedCentred(FontSet& fonts, Bitmap& surface, int y, std::string_view text,
                          bool inPlay) {
  DrawTextKeyed(fonts, surface, kScreenCentre - TextWidth(fonts, text) / 2, y, text, inPlay);
}

void DrawGlowText(FontSet& fonts, Bitmap& surface, int x, int y, std::string_view text,
                  GlowKind kind, double factor) {
  const bool caption = kind == GlowKind::Caption;
  SelectFont(fonts, caption ? kFaceEras16 : kFaceEras14, caption ? 1 : 2);
  const int w = TextWidth(fonts, text);
  if (w <= 0) return;
  Bitmap& work = fonts.GlowWork;
  work.SetSize(w, caption ? 24 : 22, 0);
  DrawTextInto(fonts, work, 0, 0, text);

  // A factor outside the widgets' range must not push a channel past its bits.
  auto channel = [](double v, int max) {
    if (!(v > 0)) return 0;
    return v >= max ? max : int(v);
  };
  for (int py = 0; py < work.Height(); ++py) {
    uint16_t* row = work.Row(py);
    for (int px = 0; px < w; ++px) {
      const uint16_t p = row[px];
      int r = (p >> 11) & 31, g = (p >> 5) & 63;
      const int b = p & 31;
      if (caption) {
        if (r > 0) g = channel(2.0 * r / factor, 63);
      } else if (g > 0) {
        r = g / 2;
        g = channel(g / factor, 63);
      }
      const uint16_t q = uint16_t((r << 11) | (g << 5) | b);
      if (q != 0) row[px] = q;
    }
  }
  Draw(surface, x, y, work, fonts.GlowWorkTransparent, BottomLeft(work));
}

void DrawLabelValue(FontSet& fonts, Bitmap& surface, int y, std::string_view label,
                    std::string_view value) {
  const std::string labelSpace = std::string(label) + " ";
  SelectFont(fonts, kFaceEras16, 2);
  const int x = kScreenCentre - TextWidth(fonts, labelSpace + std::string(value)) / 2;
  DrawText(fonts, surface, x, y, label);
  SelectFont(fonts, kFaceEras16, 3);
  DrawText(fonts, surface, x + TextWidth(fonts, labelSpace), y, value);
}

void DrawLabelValueAt(FontSet& fonts, Bitmap& surface, int x, int y, std::string_view label,
                      std::string_view value, std::string_view face) {
  SelectFont(fonts, face, 2);
  DrawTextRight(fonts, surface, x, y, label);
  SelectFont(fonts, face, 3);
  DrawText(fonts, surface, x, y, " " + std::string(value));
}

void DrawSmallNumber(const FontSet& fonts, ImageList& images, Bitmap& surface, int x, int y,
                     int64_t n) {
  DrawDigits(fonts.SmallDigits, images, surface, x, y, std::to_string(n));
}

void DrawBigNumberCentred(const FontSet& fonts, ImageList& images, Bitmap& surface, int cx, int y,
                          int64_t n) {
  const std::string digits = std::to_string(n);
  DrawDigits(fonts.BigDigits, images, surface, cx - (kBigDigitAdvance * int(digits.size())) / 2,
             y, digits);
}

}  // namespace gravik

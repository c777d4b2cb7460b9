#include "gfx/ImageList.h"

#include <algorithm>
#include <utility>

#include "base/Errors.h"
#include "base/Text.h"

namespace gravik {

namespace {

int PatternSize(int pattern, int picture) { return pattern > 0 ? pattern : picture; }

}  // namespace

const ImageEntry* ImageList::TryFindImage(const std::string& name) const {
  for (const auto& e : entries_)
    if (SameText(e->Name, name)) return e.get();
  return nullptr;
}

ImageEntry* ImageList::TryFindImage(const std::string& name) {
  return const_cast<ImageEntry*>(std::as_const(*this).TryFindImage(name));
}

ImageEntry& ImageList::FindImage(const std::string& name) {
  if (ImageEntry* e = TryFindImage(name)) return *e;
  throw EPictureCollectionError(Format("Image '%s' not found", name.c_str()));
}

const ImageEntry& ImageList::FindImage(const std::string& name) const {
  if (const ImageEntry* e = TryFindImage(name)) return *e;
  throw EPictureCollectionError(Format("Image '%s' not found", name.c_str()));
}

ImageEntry& ImageList::AddImage(const std::string& name) {
  entries_.push_back(std::make_unique<ImageEntry>());
  entries_.back()->Name = name;
  return *entries_.back();
}

ImageEntry& ImageList::ReplaceImage(const std::string& name) {
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [&](const auto& e) { return SameText(e->Name, name); });
  if (it == entries_.end()) return AddImage(name);
  std::unique_ptr<ImageEntry> entry = std::move(*it);
  entries_.erase(it);
  *entry = ImageEntry{};
  entry->Name = name;
  entries_.push_back(std::move(entry));
  return *entries_.back();
}

void ImageList::RebuildAll() {
  for (auto& e : entries_) RebuildSurfaces(*e);
}

void ImageList::ReleaseAll() {
  for (auto& e : entries_) {
    e->Prepared = false;
    e->Surface = Bitmap();
    e->Patterns.clear();
    e->PatternPixels.clear();
  }
}

int ImageWidth(const ImageEntry& e) { return PatternSize(e.PatternWidth, e.Picture.Width()); }
int ImageHeight(const ImageEntry& e) { return PatternSize(e.PatternHeight, e.Picture.Height()); }

int PatternCount(const ImageEntry& e) { return e.Prepared ? int(e.Patterns.size()) : 0; }

TRect PatternRect(const ImageEntry& e, int n) {
  if (!e.Prepared || n < 0 || n >= int(e.Patterns.size())) return TRect{};
  return e.Patterns[size_t(n)];
}

void RebuildSurfaces(ImageEntry& e) {
  e.Surface = e.Picture;
  e.Patterns.clear();
  e.PatternPixels.clear();
  e.Prepared = true;
  const int w = e.Surface.Width(), h = e.Surface.Height();
  if (w <= 0 || h <= 0) return;
  const int pw = ImageWidth(e), ph = ImageHeight(e);
  if (pw > w || ph > h) return;
  const int sw = std::clamp(e.SkipWidth, 0, w), sh = std::clamp(e.SkipHeight, 0, h);
  // A remainder narrower than a pattern forms no pattern; a skip gap is only
  // needed between patterns, not after the last one.
  const int perRow = (w + sw) / (pw + sw);
  const int rows = (h + sh) / (ph + sh);
  if (perRow <= 0 || rows <= 0) return;
  e.Patterns.reserve(size_t(perRow) * size_t(rows));
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < perRow; ++c)
      e.Patterns.push_back(Bounds((pw + sw) * c, (ph + sh) * r, pw, ph));
  if (e.Patterns.size() > 1) {
    const size_t area = size_t(pw) * size_t(ph);
    e.PatternPixels.resize(area * e.Patterns.size());
    uint16_t* out = e.PatternPixels.data();
    for (const TRect& p : e.Patterns)
      for (int y = p.Top; y < p.Bottom; ++y, out += pw)
        std::copy_n(e.Surface.Row(y) + p.Left, pw, out);
  }
}

void DrawPattern(const ImageEntry& e, Bitmap& surface, int x, int y, int n) {
  if (!e.Prepared || n < 0 || n >= int(e.Patterns.size())) return;
  const bool keyed = e.Transparent;
  const uint16_t key = ToRgb565(e.TransparentColor);
  if (e.PatternPixels.empty()) {
    Blit(surface, x, y, e.Surface, e.Patterns[size_t(n)], keyed, key);
    return;
  }
  const TRect& p = e.Patterns[size_t(n)];
  const int w = p.Width(), h = p.Height();
  BlitPixels(surface, x, y, e.PatternPixels.data() + size_t(n) * size_t(w) * size_t(h), w, h, w, keyed, key);
}

void DrawSurface(Bitmap& dest, int x, int y, const TRect& srcRect, const Bitmap& source,
                 bool transparent, uint16_t key) {
  if (x >= dest.Width() || y >= dest.Height()) return;
  Blit(dest, x, y, source, srcRect, transparent, key);
}

}  // namespace gravik

// The named image list: pictures cut into numbered patterns, drawn with an
// optional colour key.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "base/Types.h"
#include "gfx/Bitmap.h"

namespace gravik {

struct ImageEntry {
  std::string Name;
  Bitmap Picture;             // what the game draws into / loads
  int PatternWidth = 0;       // 0: the whole picture is one pattern
  int PatternHeight = 0;
  int SkipWidth = 0, SkipHeight = 0;
  bool Transparent = true;
  TColor TransparentColor = 0;  // 0x00BBGGRR; compared as RGB565
  bool SystemMemory = false;

  // Prepared state, made by RebuildSurfaces: a copy of the picture and its
  // pattern rectangles. Draws use these until the next rebuild.
  bool Prepared = false;
  Bitmap Surface;
  std::vector<TRect> Patterns;
  // With more than one pattern: every pattern's pixels stored one after the other
  // (pattern-major), which keeps each cell draw a run of contiguous reads.
  std::vector<uint16_t> PatternPixels;
};

class ImageList {
 public:
  // Case-insensitive lookup; throws EPictureCollectionError "Image '%s' not found".
  ImageEntry& FindImage(const std::string& name);
  const ImageEntry& FindImage(const std::string& name) const;
  ImageEntry* TryFindImage(const std::string& name);
  const ImageEntry* TryFindImage(const std::string& name) const;
  // Appends an entry with the defaults and the given name.
  ImageEntry& AddImage(const std::string& name);
  // Destroys the entry of that name (if any) and appends a fresh one of the same name.
  // The fresh entry reuses the old one's storage, so a sprite still pointing at the
  // old entry sees an unprepared entry (draws nothing) instead of freed memory.
  ImageEntry& ReplaceImage(const std::string& name);
  int Count() const { return int(entries_.size()); }
  ImageEntry& At(int index) { return *entries_.at(size_t(index)); }

  // Surface up: prepare every entry. Surface down: release every entry.
  void RebuildAll();
  void ReleaseAll();

 private:
  std::vector<std::unique_ptr<ImageEntry>> entries_;  // stable addresses
};

// Pattern size, or the picture size when the pattern size is 0.
int ImageWidth(const ImageEntry& e);
int ImageHeight(const ImageEntry& e);
int PatternCount(const ImageEntry& e);
// Rectangle of pattern n of the prepared surfaces; empty when n is out of range.
// PatternCount is the number of prepared patterns (0 for an unprepared entry).
TRect PatternRect(const ImageEntry& e, int n);
// Recut the picture into patterns (copies the picture into the prepared surface).
void RebuildSurfaces(ImageEntry& e);
// Draws pattern n at (x, y), clipped; key-coloured pixels skipped when transparent.
// Nothing is drawn for n out of range or an entry never prepared.
void DrawPattern(const ImageEntry& e, Bitmap& surface, int x, int y, int n);

// Copies srcRect of `source` to (x, y) of `dest`, clipped to both; with
// `transparent`, pixels equal to `key` are skipped. Nothing is drawn when x or y
// lies beyond the destination's width or height.
void DrawSurface(Bitmap& dest, int x, int y, const TRect& srcRect, const Bitmap& source,
                 bool transparent, uint16_t key = 0);

// Resizes the scratch surface to the bitmap and copies the bitmap in.
inline void LoadSurfaceFromBitmap(Bitmap& surface, const Bitmap& bitmap) { surface = bitmap; }

}  // namespace gravik

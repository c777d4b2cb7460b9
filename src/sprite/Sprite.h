// The sprite engine: a small tree of sprites drawn every frame onto the back
// surface, children in depth order, with frame animation and the playfield's
// tiled cell map.
//
// Ownership follows the tree: a sprite is created with `new` and handed to its
// parent in the constructor; the parent destroys it (children first, last child
// first). Deleting a sprite detaches it from its parent and its engine.
#pragma once
#include <cstdint>
#include <vector>

#include "base/Types.h"
#include "gfx/Bitmap.h"
#include "gfx/ImageList.h"

namespace gravik {

class TSpriteEngine;

// trunc() of a position, held to a range where later pixel arithmetic cannot
// overflow (a NaN counts as 0).
int32_t TruncPos(double v);

class TSprite {
 public:
  explicit TSprite(TSprite* parent);
  virtual ~TSprite();
  TSprite(const TSprite&) = delete;
  TSprite& operator=(const TSprite&) = delete;

  // Virtual operations, in the engine's slot order.
  virtual void HitResponse(TSprite* /*other*/, bool& /*done*/) {}
  virtual void RenderSelf() {}
  virtual void AdvanceSelf(int /*moveCount*/) {}
  virtual TRect ScreenBounds() const;
  virtual bool Overlaps(const TSprite& /*other*/) const { return true; }

  // Moves this sprite and its subtree, when active.
  void AdvanceAll(int moveCount);
  // Draws this sprite (when on the surface) and its subtree in depth order, when visible.
  void RenderAll();
  // Queues the sprite for destruction by the engine's FlushDead.
  void Dead();

  double WorldX() const;
  double WorldY() const;
  int32_t Z() const { return z_; }
  // Re-depths the sprite: it goes below every sibling of the same Z.
  void SetZ(int32_t z);

  TSpriteEngine* Engine() const { return engine_; }
  TSprite* Parent() const { return parent_; }
  int ChildCount() const { return int(children_.size()); }
  // Throws ESpriteError "Index of the list exceeds the range. (%d)" outside 0..ChildCount-1.
  TSprite* ChildAt(int index) const;
  // Children in insertion order and in drawing order (Z ascending).
  const std::vector<TSprite*>& Children() const { return children_; }
  const std::vector<TSprite*>& DrawOrder() const { return drawOrder_; }
  // Destroys the children, last first.
  void FreeChildren();

  bool Hittable = true;
  bool Active = true;
  bool Visible = true;
  double X = 0, Y = 0;  // relative to the parent
  int32_t Width = 0, Height = 0;

 private:
  void InsertDrawOrder(TSprite* child);
  void RemoveDrawOrder(TSprite* child);

  TSpriteEngine* engine_ = nullptr;
  TSprite* parent_ = nullptr;
  std::vector<TSprite*> children_;
  std::vector<TSprite*> drawOrder_;
  int32_t z_ = 0;
  bool dead_ = false;
};

// A sprite showing one pattern of an image entry, centred in its box.
class TImageSprite : public TSprite {
 public:
  using TSprite::TSprite;

  void RenderSelf() override;
  void AdvanceSelf(int moveCount) override;
  TRect ScreenBounds() const override;

  // The pattern drawn: trunc(FramePos) + FrameStart.
  int FrameIndex() const;
  // ScreenBounds moved so that the image is centred in the sprite's box.
  TRect DrawRect() const;

  int32_t FrameCount = 0;
  bool FrameLoop = false;
  double FramePos = 0;
  double FrameSpeed = 0;
  int32_t FrameStart = 0;
  ImageEntry* Image = nullptr;
  bool PixelExact = false;
  bool Wrap = false;
};

// A grid of cells, each a pattern of the image (negative: empty), optionally
// repeated endlessly in both directions.
class TBackgroundSprite : public TSprite {
 public:
  explicit TBackgroundSprite(TSprite* parent);

  void RenderSelf() override;
  TRect ScreenBounds() const override;

  // Resizes the grid; every cell becomes 0 and every Solid byte 1. The same size
  // keeps the cells; a non-positive side empties the grid.
  void SetGridSize(int32_t width, int32_t height);
  int32_t GridWidth() const { return gridWidth_; }
  int32_t GridHeight() const { return gridHeight_; }
  // -1 outside the grid; writes outside are ignored.
  int32_t Cell(int32_t x, int32_t y) const;
  void SetCell(int32_t x, int32_t y, int32_t value);
  bool CellSolid(int32_t x, int32_t y) const;
  void SetCellSolid(int32_t x, int32_t y, bool solid);

  // Pattern draws made by the last RenderSelf (empty cells not counted).
  int CellsDrawn() const { return cellsDrawn_; }

  ImageEntry* Image = nullptr;
  bool Tiled = false;

 private:
  bool Inside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < gridWidth_ && y < gridHeight_; }
  // Size of pattern 0 of the prepared image; false when there is none.
  bool CellSize(int& w, int& h) const;

  std::vector<int32_t> cells_;
  std::vector<uint8_t> solid_;
  int32_t gridWidth_ = 0, gridHeight_ = 0;
  int cellsDrawn_ = 0;
};

// The root of the tree; knows the surface the sprites draw on.
class TSpriteEngine : public TSprite {
 public:
  TSpriteEngine();
  ~TSpriteEngine() override;

  // Attaches the back surface (null while the drawing surface is down).
  void SetSurface(Bitmap* surface);
  Bitmap* Surface() const { return surface_; }
  const TRect& SurfaceRect() const { return surfaceRect_; }

  // DrawnCount := 0, then draws the whole tree.
  void RenderFrame();
  // Destroys the queued dead sprites, last first.
  void FlushDead();

  int SpriteCount() const { return spriteCount_; }
  int DrawnCount() const { return drawnCount_; }
  const std::vector<TSprite*>& DeadList() const { return deadList_; }

 private:
  friend class TSprite;
  Bitmap* surface_ = nullptr;
  TRect surfaceRect_{};
  int spriteCount_ = 0;
  int drawnCount_ = 0;
  std::vector<TSprite*> deadList_;
};

// The engine component of the main form: follows the drawing surface going up
// and down and forwards the per-frame calls.
class TDXSpriteEngine {
 public:
  void Advance(int moveCount) { Engine.AdvanceAll(moveCount); }
  void FlushDead() { Engine.FlushDead(); }
  // Draws only while a drawing surface is attached and up.
  void Render();

  // Drawing-surface notifications: up (with its back surface), down, and the
  // drawing surface going away.
  void SurfaceUp(Bitmap& backSurface);
  void SurfaceDown();
  void Detach();
  bool Attached() const { return attached_; }

  TSpriteEngine Engine;

 private:
  bool attached_ = false;
  bool up_ = false;
};

}  // namespace gravik

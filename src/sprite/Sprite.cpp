#include "sprite/Sprite.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "base/Errors.h"
#include "base/Text.h"

namespace gravik {

namespace {

constexpr double kPosLimit = 1 << 30;

// Remainder with the sign of the divisor (divisor > 0).
int64_t PosMod(int64_t a, int64_t n) {
  const int64_t r = a % n;
  return r < 0 ? r + n : r;
}

}  // namespace

int32_t TruncPos(double v) {
  if (!(v == v)) return 0;
  return int32_t(std::clamp(std::trunc(v), -kPosLimit, kPosLimit));
}

// ---------------------------------------------------------------- TSprite

TSprite::TSprite(TSprite* parent) : parent_(parent) {
  if (!parent) return;
  if (auto* root = dynamic_cast<TSpriteEngine*>(parent))
    engine_ = root;
  else
    engine_ = parent->engine_;
  parent->children_.push_back(this);
  parent->InsertDrawOrder(this);
  if (engine_) ++engine_->spriteCount_;
}

TSprite::~TSprite() {
  FreeChildren();
  if (parent_) {
    auto& c = parent_->children_;
    c.erase(std::find(c.begin(), c.end(), this));
    parent_->RemoveDrawOrder(this);
  }
  if (engine_) {
    auto& d = engine_->deadList_;
    d.erase(std::remove(d.begin(), d.end(), this), d.end());
    --engine_->spriteCount_;
  }
}

TRect TSprite::ScreenBounds() const { return Bounds(TruncPos(WorldX()), TruncPos(WorldY()), Width, Height); }

void TSprite::AdvanceAll(int moveCount) {
  if (!Active) return;
  AdvanceSelf(moveCount);
  for (size_t i = 0; i < children_.size(); ++i) children_[i]->AdvanceAll(moveCount);
}

void TSprite::RenderAll() {
  if (!Visible) return;
  if (engine_ && Overlap(ScreenBounds(), engine_->SurfaceRect())) {
    RenderSelf();
    ++engine_->drawnCount_;
  }
  for (size_t i = 0; i < drawOrder_.size(); ++i) drawOrder_[i]->RenderAll();
}

void TSprite::Dead() {
  if (!engine_ || dead_) return;
  dead_ = true;
  engine_->deadList_.push_back(this);
}

double TSprite::WorldX() const { return parent_ ? X + parent_->WorldX() : 0; }
double TSprite::WorldY() const { return parent_ ? Y + parent_->WorldY() : 0; }

void TSprite::SetZ(int32_t z) {
  if (z == z_) return;
  z_ = z;
  if (parent_) {
    parent_->RemoveDrawOrder(this);
    parent_->InsertDrawOrder(this);
  }
}

TSprite* TSprite::ChildAt(int index) const {
  if (index < 0 || index >= ChildCount())
    throw ESpriteError(Format("Index of the list exceeds the range. (%d)", index));
  return children_[size_t(index)];
}

void TSprite::FreeChildren() {
  while (!children_.empty()) delete children_.back();
}

void TSprite::InsertDrawOrder(TSprite* child) {
  // First position whose Z is >= the child's: it goes below equal depths.
  int lo = 0, hi = int(drawOrder_.size()) - 1;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    if (drawOrder_[size_t(mid)]->z_ < child->z_)
      lo = mid + 1;
    else
      hi = mid - 1;
  }
  drawOrder_.insert(drawOrder_.begin() + lo, child);
}

void TSprite::RemoveDrawOrder(TSprite* child) {
  drawOrder_.erase(std::find(drawOrder_.begin(), drawOrder_.end(), child));
}

// ----------------------------------------------------------- TImageSprite

int TImageSprite::FrameIndex() const {
  const int64_t n = int64_t(TruncPos(FramePos)) + FrameStart;
  return n < INT32_MIN || n > INT32_MAX ? -1 : int(n);  // -1 draws nothing
}

void TImageSprite::AdvanceSelf(int moveCount) {
  FramePos += FrameSpeed * moveCount;
  if (FrameLoop) {
    if (FrameCount > 0) {
      const double n = FrameCount;
      FramePos -= std::trunc(FramePos / n) * n;
      if (FramePos < 0) FramePos += n;
    } else {
      FramePos = 0;
    }
  } else {
    if (FramePos >= FrameCount) {
      FramePos = FrameCount - 1;
      FrameSpeed = 0;
    }
    if (FramePos < 0) {
      FramePos = 0;
      FrameSpeed = 0;
    }
  }
}

TRect TImageSprite::ScreenBounds() const {
  int64_t x = TruncPos(WorldX()), y = TruncPos(WorldY());
  if (Wrap && Engine()) {
    const TRect& s = Engine()->SurfaceRect();
    const int64_t dx = int64_t(s.Right) + Width, dy = int64_t(s.Bottom) + Height;
    if (dx > 0) {
      x = PosMod(x, dx);
      if (x > s.Right) x -= dx;
    }
    if (dy > 0) {
      y = PosMod(y, dy);
      if (y > s.Bottom) y -= dy;
    }
  }
  return Bounds(int32_t(x), int32_t(y), Width, Height);
}

TRect TImageSprite::DrawRect() const {
  TRect r = ScreenBounds();
  if (!Image) return r;
  const int w = ImageWidth(*Image), h = ImageHeight(*Image);
  const int dx = (Width - w) / 2, dy = (Height - h) / 2;
  return Bounds(r.Left + dx, r.Top + dy, w, h);
}

void TImageSprite::RenderSelf() {
  Bitmap* surface = Engine() ? Engine()->Surface() : nullptr;
  if (!Image || !surface) return;
  const TRect r = DrawRect();
  DrawPattern(*Image, *surface, r.Left, r.Top, FrameIndex());
}

// ------------------------------------------------------ TBackgroundSprite

TBackgroundSprite::TBackgroundSprite(TSprite* parent) : TSprite(parent) { Hittable = false; }

void TBackgroundSprite::SetGridSize(int32_t width, int32_t height) {
  if (width == gridWidth_ && height == gridHeight_) return;
  if (width <= 0 || height <= 0) width = height = 0;
  gridWidth_ = width;
  gridHeight_ = height;
  const size_t n = size_t(width) * size_t(height);
  cells_.assign(n, 0);
  solid_.assign(n, 1);
}

int32_t TBackgroundSprite::Cell(int32_t x, int32_t y) const {
  return Inside(x, y) ? cells_[size_t(x) + size_t(y) * size_t(gridWidth_)] : -1;
}

void TBackgroundSprite::SetCell(int32_t x, int32_t y, int32_t value) {
  if (Inside(x, y)) cells_[size_t(x) + size_t(y) * size_t(gridWidth_)] = value;
}

bool TBackgroundSprite::CellSolid(int32_t x, int32_t y) const {
  return Inside(x, y) && solid_[size_t(x) + size_t(y) * size_t(gridWidth_)] != 0;
}

void TBackgroundSprite::SetCellSolid(int32_t x, int32_t y, bool solid) {
  if (Inside(x, y)) solid_[size_t(x) + size_t(y) * size_t(gridWidth_)] = solid ? 1 : 0;
}

bool TBackgroundSprite::CellSize(int& w, int& h) const {
  if (!Image) return false;
  const TRect p = PatternRect(*Image, 0);
  w = p.Width();
  h = p.Height();
  return w > 0 && h > 0;
}

TRect TBackgroundSprite::ScreenBounds() const {
  if (Tiled) return Engine() ? Engine()->SurfaceRect() : TRect{};
  if (!Image) return TRect{};
  int w = 0, h = 0;
  if (!CellSize(w, h)) return Bounds(TruncPos(WorldX()), TruncPos(WorldY()), 0, 0);
  const int64_t gw = int64_t(w) * gridWidth_, gh = int64_t(h) * gridHeight_;
  return Bounds(TruncPos(WorldX()), TruncPos(WorldY()), int32_t(std::min<int64_t>(gw, kPosLimit)),
                int32_t(std::min<int64_t>(gh, kPosLimit)));
}

void TBackgroundSprite::RenderSelf() {
  cellsDrawn_ = 0;
  Bitmap* surface = Engine() ? Engine()->Surface() : nullptr;
  int w = 0, h = 0;
  if (!surface || !CellSize(w, h) || gridWidth_ <= 0 || gridHeight_ <= 0) return;
  const ImageEntry& image = *Image;
  const TRect& s = Engine()->SurfaceRect();
  const int32_t px = TruncPos(WorldX()), py = TruncPos(WorldY());
  const int32_t ox = px % w, oy = py % h;  // C++ remainders take the dividend's sign
  const int32_t qx = px / w, qy = py / h;
  const int32_t cols = (s.Right + w) / w + 1;
  const int32_t rows = (s.Bottom + h) / h;
  if (Tiled) {
    for (int32_t r = -1; r <= rows + 1; ++r) {
      const int32_t* row = cells_.data() + PosMod(int64_t(r) - qy, gridHeight_) * gridWidth_;
      for (int32_t c = -1; c <= cols; ++c) {
        const int32_t v = row[PosMod(int64_t(c) - qx, gridWidth_)];
        if (v >= 0) {
          DrawPattern(image, *surface, c * w + ox, r * h + oy, v);
          ++cellsDrawn_;
        }
      }
    }
  } else {
    const int32_t c0 = std::max(qx, 0), c1 = int32_t(std::min<int64_t>(int64_t(qx) + gridWidth_, cols));
    const int32_t r0 = std::max(qy, 0), r1 = int32_t(std::min<int64_t>(int64_t(qy) + gridHeight_, rows + 1));
    for (int32_t r = r0; r < r1; ++r)
      for (int32_t c = c0; c < c1; ++c) {
        const int32_t v = Cell(c - qx, r - qy);
        if (v >= 0) {
          DrawPattern(image, *surface, c * w + ox, r * h + oy, v);
          ++cellsDrawn_;
        }
      }
  }
}

// ---------------------------------------------------------- TSpriteEngine

TSpriteEngine::TSpriteEngine() : TSprite(nullptr) {}

// Children go while the engine's own lists are still alive.
TSpriteEngine::~TSpriteEngine() { FreeChildren(); }

void TSpriteEngine::SetSurface(Bitmap* surface) {
  surface_ = surface;
  if (surface) {
    surfaceRect_ = surface->Rect();
    Width = surface->Width();
    Height = surface->Height();
  }
}

void TSpriteEngine::RenderFrame() {
  drawnCount_ = 0;
  RenderAll();
}

void TSpriteEngine::FlushDead() {
  // Each destructor takes its sprite (and any dead descendants) off the list.
  while (!deadList_.empty()) delete deadList_.back();
}

// -------------------------------------------------------- TDXSpriteEngine

void TDXSpriteEngine::Render() {
  if (attached_ && up_ && Engine.Surface()) Engine.RenderFrame();
}

void TDXSpriteEngine::SurfaceUp(Bitmap& backSurface) {
  attached_ = true;
  up_ = true;
  Engine.SetSurface(&backSurface);
}

void TDXSpriteEngine::SurfaceDown() {
  up_ = false;
  Engine.SetSurface(nullptr);
}

void TDXSpriteEngine::Detach() {
  attached_ = false;
  up_ = false;
  Engine.SetSurface(nullptr);
}

}  // namespace gravik

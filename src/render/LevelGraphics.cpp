#include "render/LevelGraphics.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>

#include "base/Errors.h"
#include "data/Archive.h"
#include "data/Scenario.h"
#include "gfx/Bmp.h"
#include "platform/Clock.h"
#include "render/Panel.h"
#include "sprite/GameSprites.h"
#include "world/World.h"

namespace gravik {

namespace {

constexpr TColor kMagenta = RGB(255, 0, 255);
constexpr TColor kBlue = RGB(0, 0, 255);
// Draws per star before a tile gives up on it: seeds come from the scenario
// file, and the tile must be finished whatever sequence they give.
constexpr int kMaxStarDraws = 10000;

// Cuts a w x h sheet cell (1-based column and row) into `out`; the part outside
// the sheet stays black.
void CutCell(const Bitmap& sheet, const SheetCell& cell, int w, int h, Bitmap& out) {
  if (out.Width() != w || out.Height() != h)
    out.SetSize(w, h);
  else
    out.Fill(0);
  const int64_t x = (int64_t(cell.Column) - 1) * w, y = (int64_t(cell.Row) - 1) * h;
  if (x < 0 || y < 0 || x >= sheet.Width() || y >= sheet.Height()) return;
  Blit(out, 0, 0, sheet, Bounds(int32_t(x), int32_t(y), w, h));
}

bool ValidBlock(const LevelGraphics& g, int block, int set, int style) {
  return g.Set && block >= 1 && block <= kSheetBlocks && set >= 1 && set <= BlockSets && style >= 1 &&
         style <= GraphicsStyles && g.Set->Cells.size() >= size_t(CellTableBlocks * BlockSets * GraphicsStyles);
}

// Draws blocks first..last (held to 1..120) into `picture` with the placement rule.
void DrawBlockRun(LevelGraphics& g, Bitmap& picture, int first, int last, int set, int style) {
  Placement at = BlockPlacement();
  for (int b = std::max(first, 1); b <= std::min(last, kSheetBlocks); ++b) {
    Blit(picture, at.X, at.Y, BlockBitmap(g, b, set, style), Bounds(0, 0, kBlockSide, kBlockSide));
    at.Advance();
  }
}

// A fresh per-level entry with 64 x 64 patterns, transparent on black.
ImageEntry& FreshBlockEntry(ImageList& images, const std::string& name, int width, int height) {
  ImageEntry& e = images.ReplaceImage(name);
  e.PatternWidth = e.PatternHeight = kBlockSide;
  e.Picture.SetSize(width, height);
  return e;
}

void BuildPlayerPicture(LevelGraphics& g, Bitmap& picture, int set, int style) {
  picture.SetSize(640, 256);
  Placement at = BlockPlacement();
  for (int b : PlayerBlocks(style)) {
    Blit(picture, at.X, at.Y, BlockBitmap(g, b, set, style), Bounds(0, 0, kBlockSide, kBlockSide));
    at.Advance();
  }
}

void BuildMonstersPicture(LevelGraphics& g, Bitmap& picture, const NamedBlocks& n, int set, int style) {
  picture.SetSize(256, 128);
  DrawBlockRun(g, picture, n.Monster1, n.Monster2, set, style);
}

// Pieces (c, r) of the puzzle picture, each on blue, appended to GameBlocks and
// shrunk into Map, continuing both placements.
void AddPuzzlePieces(LevelGraphics& g, const LevelLook& look, Bitmap& blocks, Placement& blockAt, Bitmap& map,
                     Placement& thumbAt) {
  Bitmap picture;
  if (look.PuzzlePicture && !look.PuzzlePicture->empty()) LoadBmp(*look.PuzzlePicture, picture);
  const int rows = std::clamp(look.PuzzleRows, 0, PuzzleRowsMax);
  const int cols = std::clamp(look.PuzzleColumns, 0, PuzzleColumnsMax);
  const uint16_t blue = ToRgb565(kBlue);
  g.Work.SetSize(kBlockSide, kBlockSide);
  for (int r = 1; r <= rows; ++r)
    for (int c = 1; c <= cols; ++c) {
      g.Work.Fill(blue);
      Blit(g.Work, 0, 0, picture, Bounds((c - 1) * kBlockSide, (r - 1) * kBlockSide, kBlockSide, kBlockSide));
      Draw(blocks, blockAt.X, blockAt.Y, g.Work);
      blockAt.Advance();
      StretchBlit(map, Bounds(thumbAt.X, thumbAt.Y, kThumbWidth, kThumbHeight), g.Work, g.Work.Rect());
      thumbAt.Advance();
    }
}

void LoadPictureEntry(ImageList& images, const ArchiveItemReader& readItem, const std::string& item,
                      const std::string& entryName) {
  const auto bytes = readItem ? readItem(item) : std::nullopt;
  if (!bytes) throw FatalMessage(item + " not found in resource.");
  Bitmap picture;
  std::string error;
  if (!LoadBmp(bytes->data(), bytes->size(), picture, &error))
    throw FatalMessage(item + " is damaged (" + error + ").");
  ImageEntry& e = images.FindImage(entryName);
  e.Picture = std::move(picture);
  RebuildSurfaces(e);
}

}  // namespace

bool AttachGraphicsSet(LevelGraphics& g, const GraphicsSet& set, std::string* error) {
  Bitmap blocks, thumbs;
  if (!LoadBmp(set.BlockSheet, blocks, error) || !LoadBmp(set.ThumbSheet, thumbs, error)) return false;
  g.Set = &set;
  g.BlockSheet = std::move(blocks);
  g.ThumbSheet = std::move(thumbs);
  return true;
}

const Bitmap& BlockBitmap(LevelGraphics& g, int block, int set, int style) {
  if (!ValidBlock(g, block, set, style)) {
    g.BlockScratch.SetSize(kBlockSide, kBlockSide);
    return g.BlockScratch;
  }
  CutCell(g.BlockSheet, g.Set->Cell(block, set, style), kBlockSide, kBlockSide, g.BlockScratch);
  return g.BlockScratch;
}

const Bitmap& BlockThumb(LevelGraphics& g, int block, int set, int style) {
  if (!ValidBlock(g, block, set, style)) {
    g.ThumbScratch.SetSize(kThumbWidth, kThumbHeight);
    return g.ThumbScratch;
  }
  CutCell(g.ThumbSheet, g.Set->Cell(block, set, style), kThumbWidth, kThumbHeight, g.ThumbScratch);
  return g.ThumbScratch;
}

std::vector<int> PlayerBlocks(int style) {
  std::vector<int> out;
  auto run = [&](int a, int b) {
    for (int i = a; i <= b; ++i) out.push_back(i);
  };
  if (style == 2) {
    run(38, 50);
  } else {
    run(38, 40);
    run(66, 70);
    run(77, 77);
    run(87, 100);
  }
  run(71, 76);
  run(101, 111);
  return out;
}

Bitmap StarfieldTile(LevelRandom& rng) {
  Bitmap tile(kBlockSide, kBlockSide, 0);
  const uint16_t bright = Rgb565(231, 231, 255), dim = Rgb565(190, 190, 255);
  // A position outside the tile counts as not black: draw again.
  auto free = [&](int a, int b) {
    return a >= 0 && b >= 0 && a < kBlockSide && b < kBlockSide && tile.Pixel(a, b) == 0;
  };
  for (int star = 0; star < 4; ++star) {
    int a = rng.Draw(), b = rng.Draw();
    int draws = 1;
    while ((a > 64 || b > 61 || !free(a, b)) && draws < kMaxStarDraws) {
      a = rng.Draw();
      b = rng.Draw();
      ++draws;
    }
    if (!free(a, b) || a > 64 || b > 61) continue;
    tile.SetPixel(a, b, bright);
    if (rng.Draw() > 40) tile.SetPixel(a, b, dim);
  }
  return tile;
}

LevelLook CurrentLevelLook(const Scenario& s, const World& w) {
  LevelLook look;
  const int level = std::clamp(w.CurrentLevel, 1, LevelCount);
  const int set = w.ForcedBlockSet != 0 ? w.ForcedBlockSet : s.Level(level).BlockSet;
  look.BlockSet = std::clamp(set, 1, BlockSets);
  look.GraphicsStyle = w.GraphicsStyle == 2 ? 2 : 1;
  look.Seed1 = w.Levels[size_t(level - 1)].Seed1;
  look.Seed2 = w.Levels[size_t(level - 1)].Seed2;
  look.PuzzlePicture = &s.PuzzlePicture;
  look.PuzzleColumns = s.Extras.PuzzleColumns;
  look.PuzzleRows = s.Extras.PuzzleRows;
  return look;
}

PlayfieldLayout LayoutFor(bool panelShown, double viewX, double viewY) {
  PlayfieldLayout l;
  l.FigureX = panelShown ? 208 : 288;
  l.FigureY = 208;
  l.BackgroundX = TruncPos(viewX) - (panelShown ? 80 : 0);
  l.BackgroundY = TruncPos(viewY);
  return l;
}

void PlacePlayfield(PlayfieldSprites& sprites, bool panelShown, double viewX, double viewY) {
  const PlayfieldLayout l = LayoutFor(panelShown, viewX, viewY);
  if (sprites.Background) {
    sprites.Background->X = l.BackgroundX;
    sprites.Background->Y = l.BackgroundY;
  }
  if (sprites.Figure) {
    sprites.Figure->X = l.FigureX;
    sprites.Figure->Y = l.FigureY;
  }
}

void BuildLevelGraphics(GraphicsContext& ctx, const LevelLook& look) {
  LevelGraphics& g = ctx.Gfx;
  World& w = ctx.TheWorld;
  const NamedBlocks& n = w.Named;
  const int set = look.BlockSet, style = look.GraphicsStyle;

  // 1. The starfield's generator.
  w.Rng.Seed(look.Seed1, look.Seed2);

  // 2. Thumbnails of blocks 1..120.
  ImageEntry& map = ctx.Images.ReplaceImage("Map");
  map.PatternWidth = kThumbWidth;
  map.PatternHeight = kThumbHeight;
  map.Transparent = false;
  map.Picture.SetSize(160, 600);
  Placement thumbAt = ThumbPlacement();
  for (int b = 1; b <= kSheetBlocks; ++b) {
    Draw(map.Picture, thumbAt.X, thumbAt.Y, BlockThumb(g, b, set, style));
    thumbAt.Advance();
  }

  // 3. Blocks 1..120, the starfield tiles, the puzzle pieces.
  ImageEntry& blocks = ctx.Images.ReplaceImage("GameBlocks");
  blocks.PatternWidth = blocks.PatternHeight = kBlockSide;
  blocks.Transparent = false;
  blocks.Picture.SetSize(640, 2560);
  Placement blockAt = BlockPlacement();
  for (int b = 1; b <= kSheetBlocks; ++b) {
    Draw(blocks.Picture, blockAt.X, blockAt.Y, BlockBitmap(g, b, set, style));
    blockAt.Advance();
  }
  for (int t = 0; t < kStarfieldTiles; ++t) {
    Draw(blocks.Picture, blockAt.X, blockAt.Y, StarfieldTile(w.Rng));
    blockAt.Advance();
  }
  AddPuzzlePieces(g, look, blocks.Picture, blockAt, map.Picture, thumbAt);

  // 4.
  RebuildSurfaces(map);
  RebuildSurfaces(blocks);
  if (ctx.Sprites.Background) ctx.Sprites.Background->Image = &blocks;

  // 5. The player's frames; style 1 is keyed on magenta.
  ImageEntry& player = FreshBlockEntry(ctx.Images, "Player", 640, 256);
  BuildPlayerPicture(g, player.Picture, set, style);
  player.Transparent = true;
  player.TransparentColor = style == 2 ? 0 : kMagenta;
  RebuildSurfaces(player);
  if (ctx.Sprites.Figure) ctx.Sprites.Figure->Image = &player;

  // 6 - 9. Objects drawn over the playfield, keyed on black.
  ImageEntry& bomb = FreshBlockEntry(ctx.Images, "TimeBomb", 448, 64);
  DrawBlockRun(g, bomb.Picture, n.TimeBomb1, n.TimeBomb1 + 6, set, style);
  RebuildSurfaces(bomb);

  ImageEntry& spirit = FreshBlockEntry(ctx.Images, "Spirit", 192, 192);
  DrawBlockRun(g, spirit.Picture, n.Spirit1, FindBlock(w.Catalogue, "SPIRIT3"), set, style);
  RebuildSurfaces(spirit);

  ImageEntry& monsters = FreshBlockEntry(ctx.Images, "Monsters", 256, 128);
  BuildMonstersPicture(g, monsters.Picture, n, set, style);
  RebuildSurfaces(monsters);

  ImageEntry& meteor = FreshBlockEntry(ctx.Images, "Meteor", 64, 64);
  DrawBlockRun(g, meteor.Picture, n.Meteor, n.Meteor, set, style);
  RebuildSurfaces(meteor);

  // 10. Transporter colours from the first transporter frame.
  g.Work.SetSize(kBlockSide, kBlockSide);
  Draw(g.Work, 0, 0, BlockBitmap(g, n.Transport1, set, style));
  for (int i = 1; i <= 7; ++i) g.TransporterColours[size_t(i)] = g.Work.Pixel(2 * (i - 1), 16);

  // 11, 12.
  BuildPanels(ctx, set, style);
  RebuildFontIndexes(ctx.Fonts, ctx.Images);
}

void RefreshBlockGraphics(GraphicsContext& ctx, const LevelLook& look, const RefreshHooks& hooks) {
  if (!ctx.Gfx.MayChangeBlockGraphics) return;
  ctx.Panel.ForceRedraw();

  // Re-chip the background so that every animation stands on a picture of the
  // new style.
  World& w = ctx.TheWorld;
  const NamedBlocks& n = w.Named;
  if (TBackground* bg = ctx.Sprites.Background) {
    for (int x = 1; x <= 40; ++x)
      for (int y = 1; y <= MapHeight; ++y) {
        const uint8_t code = w.At(x, y);
        if (look.GraphicsStyle == 2) {
          if ((code >= 47 && code <= 50) || (code >= BlockFirstStarfield && code <= BlockFirstStarfield + 9))
            bg->SetCell(x, y, 0);
          if (code == n.Save) bg->SetCell(x, y, n.Save - 1);
          if (code == n.Rock) bg->SetCell(x, y, n.Rock - 1);
          const int chip = bg->Cell(x, y);
          if (chip == n.Diamond - 1 || chip == n.Diamond2 - 1 || chip == n.Diamond3 - 1)
            bg->SetCell(x, y, n.Diamond - 1);
          if (chip == n.Key - 1 || chip == n.Key3 - 1 || chip == n.Key2 - 1) bg->SetCell(x, y, n.Key - 1);
        } else if (code == n.Rock) {
          const int frame = w.Cells[size_t(MapIndex(x, y))].Frame;
          if (frame >= 1 && frame <= 4) bg->SetCell(x, y, n.Rock1 - 1 + frame - 1);
        }
      }
  }

  BuildLevelGraphics(ctx, look);
  const std::function<void()>& decorate = hooks.DecorateSpace;
  if (!decorate) throw std::logic_error("RefreshBlockGraphics: the space decoration is not connected");
  decorate();

  // The figure shows exactly its current pattern; movement timing restarts.
  const uint32_t now = hooks.Time ? hooks.Time->TickCount() : 0;
  if (TPlayer* fig = ctx.Sprites.Figure) {
    fig->FrameSpeed = 0;
    fig->FrameCount = int32_t(std::lround(fig->FramePos)) + 1;
  }
  w.Player.LastWalkFrame = now;
  w.Player.IdleRef = now;
  w.Player.WalkPos = 0;
  if (hooks.FrameStepReference && hooks.Time) *hooks.FrameStepReference = hooks.Time->PerfCounter();
}

// ---------------------------------------------------------------- start-up

namespace {

struct FormEntry {
  const char* Name;
  int PatternWidth, PatternHeight;
  bool Transparent;
  TColor Key;
};

// The form's entries in their order.
constexpr FormEntry kFormEntries[] = {
    {"GameBlocks", 64, 64, false, 0},  {"Player", 64, 64, true, kMagenta},
    {"Monsters", 64, 64, true, 0},     {"Map", 16, 15, false, 0},
    {"Cursor", 0, 0, true, kBlue},     {"BlackBar", 0, 0, true, 0},
    {"Panel", 0, 0, false, 0},         {"Title", 0, 0, false, 0},
    {"Storage", 0, 0, true, 0},        {"arrowup", 0, 0, true, 0},
    {"arrowdown", 0, 0, true, 0},      {"DefaultPanel", 0, 0, true, 0},
    {"Progress", 18, 15, true, 0},     {"BigProgress", 34, 34, true, 0},
    {"vxicon", 0, 0, true, 0},         {"TimeBomb", 0, 0, true, 0},
    {"Checkbox", 0, 0, false, 0},      {"Font", 0, 0, true, 0},
    {"Outtext", 0, 0, true, 0},        {"Oneletter", 0, 0, true, 0},
    {"backdrop", 0, 0, true, 0},       {"vxhorizlogo", 0, 0, true, 0},
    {"Meteor", 0, 0, true, 0},         {"Spirit", 0, 0, true, 0},
    {"MapPanel", 0, 0, true, 0},       {"DefaultMapPanel", 0, 0, true, 0},
    {"SpaceShip", 0, 0, true, 0},      {"panelval1", 0, 0, true, 0},
    {"panelval2", 0, 0, true, 0},      {"panelval3", 0, 0, true, 0},
    {"panelval4", 0, 0, true, 0},      {"panelval5", 0, 0, true, 0},
    {"panelval6", 0, 0, true, 0},      {"panelval7", 0, 0, true, 0},
    {"DrawingPanel", 0, 0, false, 0},
};

// Fills the pixels of `mask` (w x h, row-major) with `fill`, edge pixels of the
// shape with `edge`.
void PaintShape(Bitmap& b, const std::vector<uint8_t>& mask, uint16_t fill, uint16_t edge) {
  const int w = b.Width(), h = b.Height();
  auto in = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && mask[size_t(y * w + x)]; };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (in(x, y))
        b.SetPixel(x, y, in(x - 1, y) && in(x + 1, y) && in(x, y - 1) && in(x, y + 1) ? fill : edge);
}

// The mouse pointer: a white arrow with a black edge on the blue key.
Bitmap CursorPicture() {
  Bitmap b(23, 35, ToRgb565(kBlue));
  std::vector<uint8_t> mask(size_t(23 * 35), 0);
  for (int y = 0; y < 26; ++y)
    for (int x = 0; x <= std::min(y * 2 / 3, 16); ++x) mask[size_t(y * 23 + x)] = 1;
  for (int y = 16; y < 35; ++y) {  // the stem, slanting right
    const int x0 = 4 + (y - 16) / 2;
    for (int x = x0; x < x0 + 5 && x < 23; ++x) mask[size_t(y * 23 + x)] = 1;
  }
  PaintShape(b, mask, Rgb565(255, 255, 255), Rgb565(8, 8, 8));
  return b;
}

// A list scroll arrow: a framed square with a triangle pointing up or down.
Bitmap ArrowPicture(bool up) {
  Bitmap b(21, 21, 0);
  b.FrameRect(b.Rect(), Rgb565(150, 150, 170));
  std::vector<uint8_t> mask(size_t(21 * 21), 0);
  for (int row = 0; row < 8; ++row) {
    const int y = up ? 6 + row : 14 - row;
    for (int x = 10 - row; x <= 10 + row; ++x) mask[size_t(y * 21 + x)] = 1;
  }
  PaintShape(b, mask, Rgb565(230, 230, 240), Rgb565(120, 120, 140));
  return b;
}

// The maker's small icon: an orange "V" on a dark rounded square.
Bitmap IconPicture() {
  Bitmap b(18, 18, 0);
  b.FillRect(Bounds(1, 1, 16, 16), Rgb565(40, 30, 60));
  for (int y = 3; y < 15; ++y) {
    const int d = (y - 3) / 2;
    b.FillRect(Bounds(3 + d, y, 2, 1), Rgb565(255, 150, 30));
    b.FillRect(Bounds(13 - d, y, 2, 1), Rgb565(255, 150, 30));
  }
  return b;
}

Bitmap CheckboxPicture() {
  Bitmap b(16, 16, Rgb565(245, 245, 245));
  b.FrameRect(b.Rect(), Rgb565(90, 90, 100));
  b.FrameRect(Bounds(1, 1, 14, 14), Rgb565(170, 170, 180));
  return b;
}

// Strips of `count` squares filling up from empty to full.
Bitmap ProgressPicture(int w, int h, int count) {
  Bitmap b(w * count, h, 0);
  for (int i = 0; i < count; ++i) {
    b.FrameRect(Bounds(i * w + 1, 1, w - 2, h - 2), Rgb565(120, 120, 140));
    const int filled = (w - 4) * i / (count - 1);
    b.FillRect(Bounds(i * w + 2, 2, filled, h - 4), Rgb565(60, 200, 90));
  }
  return b;
}

Bitmap OneLetterPicture() {
  Bitmap b(21, 21, 0);
  b.FrameRect(b.Rect(), Rgb565(200, 200, 210));
  return b;
}

}  // namespace

void CreateFormImages(ImageList& images) {
  for (const FormEntry& f : kFormEntries) {
    if (images.TryFindImage(f.Name)) continue;
    ImageEntry& e = images.AddImage(f.Name);
    e.PatternWidth = f.PatternWidth;
    e.PatternHeight = f.PatternHeight;
    e.Transparent = f.Transparent;
    e.TransparentColor = f.Key;
    const std::string name = f.Name;
    if (name == "Cursor") e.Picture = CursorPicture();
    else if (name == "arrowup") e.Picture = ArrowPicture(true);
    else if (name == "arrowdown") e.Picture = ArrowPicture(false);
    else if (name == "vxicon") e.Picture = IconPicture();
    else if (name == "Checkbox") e.Picture = CheckboxPicture();
    else if (name == "Progress") e.Picture = ProgressPicture(18, 15, 5);
    else if (name == "BigProgress") e.Picture = ProgressPicture(34, 34, 5);
    else if (name == "Oneletter") e.Picture = OneLetterPicture();
    RebuildSurfaces(e);
  }
}

void PrepareStartupGraphics(ImageList& images, LevelGraphics& g, const NamedBlocks& named,
                            PlayfieldSprites& sprites, TSprite& engine, Bitmap& backSurface,
                            const ArchiveItemReader& readItem, int mouseX, int mouseY) {
  backSurface.Fill(0);
  CreateFormImages(images);

  // A provisional block set until the first level is built.
  ImageEntry& blocks = images.FindImage("GameBlocks");
  blocks.PatternWidth = blocks.PatternHeight = kBlockSide;
  blocks.Transparent = false;
  blocks.Picture.SetSize(640, 2304);
  DrawBlockRun(g, blocks.Picture, 1, 70, 1, 1);
  RebuildSurfaces(blocks);

  auto* bg = new TBackground(&engine);
  bg->Image = &blocks;
  bg->SetGridSize(kBackgroundGridWidth, kBackgroundGridHeight);
  bg->Tiled = true;
  bg->SetZ(0);
  for (int x = 0; x <= 39; ++x)
    for (int y = 0; y <= 63; ++y) bg->SetCell(x, y, (x < 4 || y < 4 || y > 34 || x > 35) ? 6 : 0);
  sprites.Background = bg;

  ImageEntry& player = images.FindImage("Player");
  player.PatternWidth = player.PatternHeight = kBlockSide;
  BuildPlayerPicture(g, player.Picture, 1, 1);
  player.Transparent = true;
  player.TransparentColor = kMagenta;
  RebuildSurfaces(player);

  ImageEntry& monsters = images.FindImage("Monsters");
  monsters.PatternWidth = monsters.PatternHeight = kBlockSide;
  BuildMonstersPicture(g, monsters.Picture, named, 1, 1);
  RebuildSurfaces(monsters);

  auto* fig = new TPlayer(&engine);
  fig->Image = &player;
  fig->Width = fig->Height = kBlockSide;
  fig->Visible = true;
  fig->PixelExact = true;
  fig->FrameCount = 0;
  fig->FramePos = 0;
  fig->SetZ(1);
  sprites.Figure = fig;

  ImageEntry& cursor = images.FindImage("Cursor");
  cursor.Transparent = true;
  auto* pointer = new TPlayer(&engine);
  pointer->Image = &cursor;
  pointer->X = mouseX;
  pointer->Y = mouseY;
  pointer->Width = ImageWidth(cursor);
  pointer->Height = ImageHeight(cursor);
  pointer->FrameCount = 0;
  pointer->FramePos = 0;
  pointer->SetZ(2);
  pointer->Visible = false;
  pointer->Wrap = false;
  sprites.Pointer = pointer;

  ImageEntry& map = images.FindImage("Map");
  map.PatternWidth = kThumbWidth;
  map.PatternHeight = kThumbHeight;
  map.Picture.SetSize(160, 150);
  RebuildSurfaces(map);

  LoadPictureEntry(images, readItem, "blackbar.bmp", "BlackBar");
  LoadPictureEntry(images, readItem, "rtitle.bmp", "Title");
  LoadPictureEntry(images, readItem, "panel.bmp", "DefaultPanel");
  LoadPictureEntry(images, readItem, "mappanel.bmp", "DefaultMapPanel");
  ImageEntry& ship = images.FindImage("SpaceShip");
  ship.Transparent = true;
  ship.PatternWidth = 40;
  ship.PatternHeight = 30;
  LoadPictureEntry(images, readItem, "zenthrax.bmp", "SpaceShip");
  ImageEntry& logo = images.FindImage("vxhorizlogo");
  logo.Transparent = false;
  logo.SystemMemory = true;
  LoadPictureEntry(images, readItem, "vxhorzlogo.bmp", "vxhorizlogo");
}

// ---------------------------------------------------------------- objects

void DrawMonsters(ImageList& images, Bitmap& surface, const World& w) {
  const ImageEntry* e = images.TryFindImage("Monsters");
  if (!e) return;
  for (const TMonster& m : w.Monsters)
    if (m.Visible && m.State == 2) DrawPattern(*e, surface, TruncPos(m.ScreenX), TruncPos(m.ScreenY), m.Frame);
}

void DrawMeteors(ImageList& images, Bitmap& surface, const World& w) {
  const ImageEntry* e = images.TryFindImage("Meteor");
  if (!e) return;
  for (const TMeteor& m : w.Meteors)
    if (m.Drawn) DrawPattern(*e, surface, m.ScreenX, m.ScreenY, 0);
}

void DrawSpirits(ImageList& images, Bitmap& surface, const World& w) {
  const ImageEntry* e = images.TryFindImage("Spirit");
  if (!e) return;
  for (const TSpirit& s : w.Spirits)
    if (s.Active && s.Drawn) DrawPattern(*e, surface, TruncPos(s.ScreenX), TruncPos(s.ScreenY), s.Pattern);
}

void DrawMovingObjects(ImageList& images, Bitmap& surface, const World& w) {
  DrawMonsters(images, surface, w);
  DrawMeteors(images, surface, w);
  DrawSpirits(images, surface, w);
}

}  // namespace gravik

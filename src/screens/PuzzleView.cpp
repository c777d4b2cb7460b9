#include "screens/PuzzleView.h"

#include <algorithm>
#include <cmath>

#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "frame/Keys.h"
#include "render/LevelGraphics.h"
#include "screens/MenuFrame.h"
#include "screens/ScreenMemory.h"

namespace gravik {

namespace {

constexpr int kGridMaxWidth = 512, kGridMaxHeight = 445;
constexpr int kFrameGap = 4;
constexpr const char* kBackdropEntry = "backdrop";

int GridColumns(const World& w) { return std::clamp(w.PuzzleWidth, 0, PuzzleColumnsMax); }
int GridRows(const World& w) { return std::clamp(w.PuzzleHeight, 0, PuzzleRowsMax); }

bool PieceCollected(const World& w, int c, int r) {
  return w.PuzzleCollected[size_t((c - 1) * PuzzleRowsMax + (r - 1))] != 0;
}

}  // namespace

int PuzzlePieceSide(int cols, int rows) {
  int side = kBlockSide;
  while (side > 16 && (cols * side > kGridMaxWidth || rows * side > kGridMaxHeight)) side /= 2;
  return side;
}

TRect PuzzleGridRect(int cols, int rows) {
  const int side = PuzzlePieceSide(cols, rows);
  const int w = cols * side, h = rows * side;
  return Bounds(kPuzzlePictureWidth / 2 - w / 2, kPuzzlePictureHeight / 2 - h / 2, w, h);
}

int CollectedPuzzlePieces(const World& w) {
  int n = 0;
  for (int c = 1; c <= GridColumns(w); ++c)
    for (int r = 1; r <= GridRows(w); ++r) n += PieceCollected(w, c, r);
  return n;
}

std::string PuzzleCollectedText(int collected, int total) {
  const long percent = total > 0 ? std::lround(double(collected) * 100.0 / double(total)) : 0;
  std::string text = std::to_string(collected) + "/" + std::to_string(total) + " pieces (" +
                     std::to_string(percent) + "%) collected";
  if (collected != 1) text += ".";
  return text;
}

Bitmap BuildPuzzlePicture(Game& g) {
  const World& w = g.world;
  Bitmap picture(kPuzzlePictureWidth, kPuzzlePictureHeight, 0);
  const int cols = GridColumns(w), rows = GridRows(w);
  if (cols == 0 || rows == 0) return picture;
  const int side = PuzzlePieceSide(cols, rows);
  const TRect grid = PuzzleGridRect(cols, rows);
  picture.FrameRect({grid.Left - kFrameGap, grid.Top - kFrameGap, grid.Right + kFrameGap, grid.Bottom + kFrameGap},
                    Rgb565(255, 128, 0));
  // Piece (c, r) is GameBlocks pattern 130 + (r - 1) * cols + (c - 1), on blue.
  const ImageEntry* blocks = g.images.TryFindImage("GameBlocks");
  if (!blocks) return picture;
  for (int r = 1; r <= rows; ++r)
    for (int c = 1; c <= cols; ++c) {
      if (!PieceCollected(w, c, r)) continue;
      const TRect from = PatternRect(*blocks, kFirstPuzzlePattern + (r - 1) * cols + (c - 1));
      if (from.Empty()) continue;
      StretchBlit(picture, Bounds(grid.Left + (c - 1) * side, grid.Top + (r - 1) * side, side, side),
                  blocks->Surface, from);
    }
  return picture;
}

namespace {

void PuzzleViewEnter(TForm1& form) {
  Game& g = form.game();
  BeginMenuScreen(g);
  AddCentredButton(g.widgets, g.systemText, 450, "OK", 'O');
  ImageEntry& e = g.images.ReplaceImage(kBackdropEntry);
  e.Picture = BuildPuzzlePicture(g);
  e.Transparent = false;
  RebuildSurfaces(e);
  ScreensOf(g).MainMenu.BackdropBuilt = false;  // the main menu builds its own again
}

void PuzzleViewFrame(TForm1& form) {
  Game& g = form.game();
  ClearMenuFrame(g);
  if (const ImageEntry* e = g.images.TryFindImage(kBackdropEntry)) DrawPattern(*e, g.backSurface, 0, 0, 0);
  const World& w = g.world;
  SelectFont(g.fonts, kFaceEras10, 2);
  DrawText(g.fonts, g.backSurface, 16, 458,
           PuzzleCollectedText(CollectedPuzzlePieces(w), GridColumns(w) * GridRows(w)));
  WidgetContext ctx = MenuWidgetContext(g);
  DrawButtons(g.widgets, ctx);
  FinishMenuFrame(g);
  if (TakeClickedButton(g) == 1) form.SetGameState(gsStatusScreen);
}

// Enter, Space or Esc press OK.
void PuzzleViewKeyDown(TForm1& form, const KeyEvent& key) {
  if (key.repeat || key.shift != 0) return;
  if (IsConfirmKey(key) || key.vk == vk::Escape) {
    TakeKey(form.game());
    PressButton(form.game(), 1);
  }
}

}  // namespace

ScreenUnit PuzzleViewUnit() { return {PuzzleViewEnter, PuzzleViewFrame, PuzzleViewKeyDown, NoKeyPress, MenuMouse}; }

}  // namespace gravik

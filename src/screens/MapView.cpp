#include "screens/MapView.h"

#include <algorithm>
#include <string>

#include "audio/Audio.h"
#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "frame/Keys.h"
#include "screens/MenuFrame.h"
#include "world/LevelSetup.h"

namespace gravik {

namespace {

constexpr int kFogPattern = 118;

uint16_t Orange() { return Rgb565(255, 128, 0); }

// Map pattern of a cell's code; piece (col, row) for code 255.
int ThumbPattern(const World& w, uint8_t code, int pieceCol, int pieceRow) {
  if (code == 0 || code == 38) return 0;
  if (code == BlockSkullGate) return w.Named.Skull1 - 1;
  if (code == BlockTransporter) return w.Named.Transport1 - 1;
  if (code == BlockPuzzlePiece) {
    if (pieceCol < 1 || pieceRow < 1) return 0;
    return 120 + (pieceRow - 1) * w.PuzzleWidth + (pieceCol - 1);
  }
  return code - 1;
}

void DrawFrameLines(Bitmap& s, int cx, int cy, int w, int h) {
  if (w < 32) {
    s.Line(16 * cx - 4, 15 * cy - 19, 16 * cx - 4, 15 * (cy + h) - 10, Orange());
    s.Line(16 * (cx + w) + 3, 15 * cy - 19, 16 * (cx + w) + 3, 15 * (cy + h) - 10, Orange());
  }
  if (h < 32) {
    s.Line(16 * cx - 4, 15 * cy - 19, 16 * (cx + w) + 3, 15 * cy - 19, Orange());
    s.Line(16 * cx - 4, 15 * (cy + h) - 11, 16 * (cx + w) + 3, 15 * (cy + h) - 11, Orange());
  }
}

void DrawTitle(Game& g, int level) {
  SelectFont(g.fonts, "eras16boldV.bmp", 2);
  const std::string number = std::to_string(level);
  const bool small = level < 10;
  const int t = TextWidth(g.fonts, (small ? "LEVEL " : "LEVEL") + number);
  const int x0 = 576 - (t + (small ? 1 : 5)) / 2;
  DrawTextKeyed(g.fonts, g.backSurface, x0, 21, "LEVEL", false);
  SelectFont(g.fonts, "eras16boldV.bmp", 3);
  DrawTextKeyed(g.fonts, g.backSurface, small ? x0 + 80 : x0 + 75, 21, number, false);
}

void DrawSidePanel(Game& g) {
  if (ImageEntry* panel = g.images.TryFindImage("MapPanel")) DrawPattern(*panel, g.backSurface, 512, 0, 0);
  DrawPanelNumbersDirect(g.images, g.fonts, g.panel, g.backSurface, PanelValuesOf(g.world, g.values.Lives));
}

void DrawMarker(Game& g, int cx, int cy, int x, int y) {
  // Shown during the first half of each second.
  const bool visible = g.Now() % 1000 < 500;
  const int block = visible ? 38 : 1;
  const int set = CurrentLevelLook(g.scenario, g.world).BlockSet;
  Draw(g.backSurface, 16 * (cx + x) - 16, 15 * (cy + y) - 30, BlockThumb(g.gfx, block, set, g.world.GraphicsStyle));
}

void DrawLevelMap(Game& g) {
  World& w = g.world;
  ImageEntry* map = g.images.TryFindImage("Map");
  const int W = w.LevelWidth, H = w.LevelHeight;
  const TLevelState& seen = w.Level();
  const bool inLevel = w.Player.Y - LevelOriginY <= H;
  DrawSidePanel(g);
  DrawTitle(g, w.CurrentLevel);
  if (inLevel) {
    const int cx = MapColumnOffset(W), cy = MapRowOffset(H);
    DrawFrameLines(g.backSurface, cx, cy, W, H);
    for (int x = 1; x <= W; ++x)
      for (int y = 1; y <= H; ++y) {
        const int wx = x + LevelOriginX, wy = y + LevelOriginY;
        int pattern = kFogPattern;
        if (seen.Seen[size_t(MapIndex(wx, wy))]) {
          const int16_t param = w.Store ? w.Store->Param(w.CurrentLevel, x, y) : 0;
          pattern = ThumbPattern(w, w.At(wx, wy), PuzzlePieceColumn(param), PuzzlePieceRow(param));
        }
        if (map) DrawPattern(*map, g.backSurface, 16 * (cx + x) - 16, 15 * (cy + y) - 30, pattern);
      }
    if (w.Player.Y > LevelOriginY) DrawMarker(g, cx, cy, w.Player.X - LevelOriginX, w.Player.Y - LevelOriginY);
    return;
  }
  // Below the level: the puzzle area of level 1.
  const int cols = w.PuzzleWidth, rows = w.PuzzleHeight;
  const int o = std::max(1, W / 2 - cols / 2 + 1);
  const int aw = std::max(W, cols + o - 1), ah = rows + 2;
  const int cx = MapColumnOffset(aw), cy = MapRowOffset(ah);
  DrawFrameLines(g.backSurface, cx, cy, aw, ah);
  const std::vector<int> patterns = ExtendedAreaPatterns(w);
  for (int y = 1; y <= ah; ++y)
    for (int x = 1; x <= aw; ++x)
      if (map) DrawPattern(*map, g.backSurface, 16 * (cx + x) - 16, 15 * (cy + y) - 30, patterns[size_t((y - 1) * aw + (x - 1))]);
  DrawMarker(g, cx, cy, w.Player.X - LevelOriginX, w.Player.Y - LevelOriginY - H);
}

}  // namespace

int MapColumnOffset(int w) { return w > 24 ? 16 - w / 2 : 16 - w / 2 + 1; }

std::vector<int> ExtendedAreaPatterns(const World& w) {
  const int W = w.LevelWidth, H = w.LevelHeight;
  const int cols = w.PuzzleWidth, rows = w.PuzzleHeight;
  const int o = std::max(1, W / 2 - cols / 2 + 1);
  const int aw = std::max(W, cols + o - 1), ah = rows + 2;
  const TLevelState& seen = w.Levels[size_t(w.CurrentLevel - 1)];
  std::vector<int> patterns;
  patterns.reserve(size_t(aw * ah));
  int piece = 0;
  for (int y = 1; y <= ah; ++y)
    for (int x = 1; x <= aw; ++x) {
      const int wx = x + LevelOriginX, wy = H + y + LevelOriginY;
      int pattern = kFogPattern;
      const uint8_t code = w.At(wx, wy);
      // Pieces are numbered by their place in the area, seen or not.
      const int number = code == BlockPuzzlePiece ? piece++ : -1;
      if (InMap(wx, wy) && seen.Seen[size_t(MapIndex(wx, wy))]) {
        if (number >= 0) {
          const int c = number % std::max(1, cols) + 1, r = number / std::max(1, cols) + 1;
          const bool collected = c <= cols && r <= rows && w.PuzzleCollected[size_t((c - 1) * PuzzleRowsMax + (r - 1))];
          pattern = collected ? ThumbPattern(w, code, c, r) : 0;
        } else {
          pattern = ThumbPattern(w, code, 0, 0);
        }
      }
      patterns.push_back(pattern);
    }
  return patterns;
}
int MapRowOffset(int h) { return 17 - h / 2; }

namespace {

bool MapAvailable(const Game& g) { return g.scenario.Level(g.world.CurrentLevel).NoMap == 0; }

void MapViewEnter(TForm1& form) {
  Game& g = form.game();
  if (MapAvailable(g)) AddButton(g.widgets, g.systemText, 557, 445, "OK", 'O');
  else AddCentredButton(g.widgets, g.systemText, 445, "Return to game", 'R');
  if (!g.values.MapFromStatus) PauseMusic(g.audio);
  ClearHitMarks(g.world);
  BeginMenuScreen(g);
  NoteJoystickAtEntry(g);
  MenuKeyTaken(form);
}

// Leaving the map: back to the status screen when opened from there, else play.
void CloseMap(TForm1& form) {
  Game& g = form.game();
  if (!MenuKeyReady(form)) return;
  MenuKeyTaken(form);
  PlaySound(g.audio, "click1.wav");
  if (g.values.MapFromStatus) {
    form.SetGameState(gsStatusScreen);
    return;
  }
  ThawClocks(g);
  form.SetGameState(gsPlaying);
  FlushKeys(g.input, g.platform.input.Keys());
  ShowPointer(g, false);
  ShowPlayfield(g, true);
}

void MapViewFrame(TForm1& form) {
  Game& g = form.game();
  ClearMenuFrame(g);
  if (!MapAvailable(g)) {
    if (g.world.Player.Y - LevelOriginY <= g.world.LevelHeight) DrawSidePanel(g);
    SelectFont(g.fonts, "eras16boldV.bmp", 2);
    DrawTextCentred(g.fonts, g.backSurface, 200, "MAP NOT AVAILABLE");
  } else {
    DrawLevelMap(g);
  }
  WidgetContext ctx = MenuWidgetContext(g);
  DrawButtons(g.widgets, ctx);
  FinishMenuFrame(g);
  if (TakeClickedButton(g) == 1 || (NewJoystickButtons(g) & kPadBack)) CloseMap(form);
}

// Space, Enter, Escape or the map key close the map.
void MapViewKeyDown(TForm1& form, const KeyEvent& key) {
  if (key.repeat) return;
  if (key.vk == vk::Space || key.vk == vk::Return || key.vk == vk::Escape ||
      KeyIsSlot(form.game().input, key, kSlotMap)) {
    TakeKey(form.game());
    CloseMap(form);
  }
}

}  // namespace

ScreenUnit MapViewUnit() { return {MapViewEnter, MapViewFrame, MapViewKeyDown, NoKeyPress, MenuMouse}; }

}  // namespace gravik

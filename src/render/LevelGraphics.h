// Level graphics: block pictures cut from the graphics set, the per-level image
// entries (GameBlocks, Map, Player, TimeBomb, Spirit, Monsters, Meteor), the
// start-up pictures and sprites, the playfield layout and the drawing of the
// moving objects over the sprites.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gfx/Bitmap.h"
#include "gfx/Fonts.h"
#include "gfx/ImageList.h"

namespace gravik {

struct GraphicsSet;
struct World;
struct Scenario;
struct NamedBlocks;
class BlockCatalogue;
class LevelRandom;
class Clock;
class TBackground;
class TPlayer;
class TSprite;
struct PanelState;
struct PanelKeyLabels;

constexpr int kBlockSide = 64;
constexpr int kThumbWidth = 16;
constexpr int kThumbHeight = 15;
constexpr int kSheetBlocks = 120;         // blocks 1..120 have pictures
constexpr int kStarfieldTiles = 10;
constexpr int kFirstStarfieldPattern = 120;
constexpr int kFirstPuzzlePattern = 130;  // GameBlocks pattern of piece 0
constexpr int kFirstPuzzleThumb = 120;    // Map pattern of piece 0
constexpr int kBackgroundGridWidth = 43;
constexpr int kBackgroundGridHeight = 75;

// Scratch state of the level graphics; one per game.
struct LevelGraphics {
  const GraphicsSet* Set = nullptr;  // the decoded graphics set (owned by the game)
  Bitmap BlockSheet;                 // its two sheets, decoded once
  Bitmap ThumbSheet;
  Bitmap BlockScratch;  // result of the last BlockBitmap, valid until the next
  Bitmap ThumbScratch;  // result of the last BlockThumb
  Bitmap Work;          // 64 x 64 work bitmap
  // Transporter colour table, entries 1..7 (entry 0 unused), RGB565.
  std::array<uint16_t, 8> TransporterColours{};
  // Cleared while the scenario keeps its own graphics; preparing a scenario and
  // entering the main menu set it again.
  bool MayChangeBlockGraphics = true;
};

// Decodes the sheets of `set` and keeps a reference to it. False (graphics left
// as they were) when a sheet is not a readable picture.
bool AttachGraphicsSet(LevelGraphics& g, const GraphicsSet& set, std::string* error = nullptr);

// The 64 x 64 picture of block 1..120 in block set 1..6 and graphics style 1..2,
// cut from the block sheet into the scratch bitmap. Anything out of range, or no
// graphics set, gives a black picture.
const Bitmap& BlockBitmap(LevelGraphics& g, int block, int set, int style);
// The 16 x 15 thumbnail, likewise.
const Bitmap& BlockThumb(LevelGraphics& g, int block, int set, int style);

// Where the builders put the next block: start at (0, 0); after each block x
// moves by `StepX`; when it then exceeds `WrapAfter`, x returns to 0 and y moves
// down by `StepY`.
struct Placement {
  int StepX = kBlockSide, StepY = kBlockSide, WrapAfter = 638;
  int X = 0, Y = 0;
  void Advance() {
    X += StepX;
    if (X > WrapAfter) {
      X = 0;
      Y += StepY;
    }
  }
};
inline Placement BlockPlacement() { return {kBlockSide, kBlockSide, 638}; }
inline Placement ThumbPlacement() { return {kThumbWidth, kThumbHeight, 159}; }

// Blocks of the Player entry, in pattern order: 40 for style 1, 30 for style 2.
std::vector<int> PlayerBlocks(int style);

// One of the ten starfield tiles: black with four stars drawn with `rng`.
Bitmap StarfieldTile(LevelRandom& rng);

// What a level build needs to know of the level.
struct LevelLook {
  int BlockSet = 1;
  int GraphicsStyle = 1;
  int32_t Seed1 = 0, Seed2 = 0;                     // the level's two seeds
  const std::vector<uint8_t>* PuzzlePicture = nullptr;  // BMP image; null or empty: none
  int PuzzleColumns = 0, PuzzleRows = 0;
};
// The look of the world's current level in scenario `s` (a demo's forced block
// set wins over the level's own).
LevelLook CurrentLevelLook(const Scenario& s, const World& w);

// The three sprites of the game (owned by the sprite engine).
struct PlayfieldSprites {
  TBackground* Background = nullptr;
  TPlayer* Figure = nullptr;
  TPlayer* Pointer = nullptr;
};

// Screen placement of the playfield for a view offset.
struct PlayfieldLayout {
  int FigureX = 0, FigureY = 0;
  int BackgroundX = 0, BackgroundY = 0;
};
// Panel shown: figure at (208, 208), background trunc(view x) - 80; hidden:
// figure at (288, 208), background trunc(view x). Y is trunc(view y) in both.
PlayfieldLayout LayoutFor(bool panelShown, double viewX, double viewY);
// Places the background and the figure as LayoutFor says (missing sprites skipped).
void PlacePlayfield(PlayfieldSprites& sprites, bool panelShown, double viewX, double viewY);

// Everything the level build touches, by reference to the game's records.
struct GraphicsContext {
  ImageList& Images;
  LevelGraphics& Gfx;
  PlayfieldSprites& Sprites;
  World& TheWorld;  // LevelRandom, catalogue and named blocks, map, player
  FontSet& Fonts;
  PanelState& Panel;
  Bitmap& PanelSurface;  // the scratch surface the side panel is kept on
  const PanelKeyLabels& KeyLabels;
};

// Rebuilds every per-level entry for `look`, then the panels and the digit
// index lists (the latter throws FatalMessage when the digit images are gone).
void BuildLevelGraphics(GraphicsContext& ctx, const LevelLook& look);

// What RefreshBlockGraphics needs beyond the build.
struct RefreshHooks {
  // Re-applies the level's space decoration (the world's rule; never the meteor
  // layout). Must be connected (std::logic_error otherwise).
  std::function<void()> DecorateSpace;
  Clock* Time = nullptr;                  // now, and the performance counter
  uint64_t* FrameStepReference = nullptr;  // the frame-step counter reference
};
// Brings the background's chips in line with look.GraphicsStyle and rebuilds
// the level graphics. Does nothing while block graphics may not change.
void RefreshBlockGraphics(GraphicsContext& ctx, const LevelLook& look, const RefreshHooks& hooks);

// The 35 image entries the main form starts with, in order, with their pattern
// sizes and transparency, and the stored pictures (pointer, list arrows, icon,
// check box, progress strips, letter square) drawn here. Entries that already
// exist are left alone.
void CreateFormImages(ImageList& images);

// Start-up: fills `backSurface` black, makes the form's entries when missing,
// builds a provisional GameBlocks (blocks 1..70 of set 1, style 1), creates the background, figure and pointer sprites as children of
// `engine`, builds Player and Monsters, gives Map an empty picture and loads
// the fixed pictures through `readItem`. Throws FatalMessage when an item is
// missing (name + " not found in resource.") or not a readable picture.
void PrepareStartupGraphics(ImageList& images, LevelGraphics& g, const NamedBlocks& named,
                            PlayfieldSprites& sprites, TSprite& engine, Bitmap& backSurface,
                            const ArchiveItemReader& readItem, int mouseX, int mouseY);

// Moving objects over the sprites, in order: active visible monsters (Monsters,
// pattern = frame), drawn meteors (Meteor pattern 0), active drawn spirits
// (Spirit, their pattern), each at its screen position truncated toward zero.
// Entries are looked up by name; a missing entry draws nothing.
void DrawMonsters(ImageList& images, Bitmap& surface, const World& w);
void DrawMeteors(ImageList& images, Bitmap& surface, const World& w);
void DrawSpirits(ImageList& images, Bitmap& surface, const World& w);
void DrawMovingObjects(ImageList& images, Bitmap& surface, const World& w);

}  // namespace gravik

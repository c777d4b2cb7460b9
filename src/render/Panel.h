// The status panel beside the playfield (score, six counters, key labels), the
// black bars that replace it, and the text overlays drawn last each frame.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "gfx/Bitmap.h"
#include "gfx/Fonts.h"
#include "gfx/ImageList.h"
#include "gfx/SystemText.h"
#include "render/LevelGraphics.h"

namespace gravik {

struct World;
class BlockCatalogue;

// The seven panel values, score first.
enum PanelValue {
  PanelScore,
  PanelDiamonds,
  PanelEarth,
  PanelPuzzlePieces,
  PanelMonsters,
  PanelTransporters,
  PanelLives,
  PanelValueCount
};
using PanelValues = std::array<int64_t, PanelValueCount>;

// The values shown for the world's counters and the lives left.
PanelValues PanelValuesOf(const World& w, int lives);

// Panel coordinates of the rows.
constexpr int kPanelX = 480;
constexpr int kPanelWidth = 160;
constexpr int kPanelScoreCentre = 77;
constexpr int kPanelScoreY = 92;
constexpr int kPanelDigitsX = 78;
constexpr int kPanelIconX = 38;
constexpr int kMapPanelIconX = 21;
constexpr std::array<int, 6> kPanelIconY{165, 205, 245, 285, 325, 365};
constexpr std::array<int, 6> kPanelRowY{170, 210, 250, 290, 330, 370};
constexpr int kKeyLabelsY = 415;
constexpr uint32_t kScoreStepMs = 50;

// Key names shown at the panel's foot ("M" - Map, "F1" - Status).
struct PanelKeyLabels {
  std::string MapKey = "Undefined";
  std::string StatusKey = "Undefined";
};
// The name shown for a bound key: "Undefined" for a binding marked undefined,
// "???" for a code above 255, the table's name, or the code in decimal when the
// table has no name for it.
std::string PanelKeyName(int code, bool undefined, const std::function<std::string(int)>& keyNameOf);

// All panel and overlay state; one per game.
struct PanelState {
  // The value last drawn for each panel value; -1 forces a redraw.
  std::array<int64_t, PanelValueCount> Cache;
  // The score shown, following Score one point per 50 ms, and when it last moved.
  int64_t DisplayedScore = 0;
  uint32_t DisplayedScoreTime = 0;
  // The timed notice.
  bool NoticeArmed = false;
  std::string NoticeText;
  uint32_t NoticeStart = 0;
  uint32_t NoticeDuration = 0;
  bool NoticeEverywhere = false;  // drawn over every screen, not only play and the map
  // Work bitmaps of the panel composition.
  Bitmap LabelWork;
  Bitmap IconWork;

  PanelState() { Cache.fill(-1); }
  void ForceRedraw() { Cache.fill(-1); }
};

// The icons of the six counter rows: "DIAMOND", "EARTH1", "PUZZLE", "MONSTER1",
// "TRANSPORT1", and "PLAYERST" (style 1) or "PLAYER1" (style 2).
std::array<int, 6> PanelIconBlocks(const BlockCatalogue& catalogue, int style);

// Composes Panel from DefaultPanel (key labels and icons) and MapPanel from
// DefaultMapPanel (icons only), copies Panel onto the scratch surface and forces
// a redraw of all numbers. Icons use `blockSet` and `style`.
void BuildPanels(GraphicsContext& ctx, int blockSet, int style);
// Panel onto the scratch surface; all numbers redrawn on the next frame.
void ResetPanelSurface(const ImageList& images, PanelState& panel, Bitmap& panelSurface);
// After a layout change the displayed score stops rolling.
inline void SyncDisplayedScore(PanelState& panel, int64_t score) { panel.DisplayedScore = score; }

// One frame of the side panel: with the panel shown, the displayed score moves
// towards the score, changed numbers are redrawn on the scratch surface and the
// scratch surface is copied to (480, 0); otherwise the black bars are drawn at
// x 0 and 560.
void DrawPanelOrBars(ImageList& images, const FontSet& fonts, PanelState& panel,
                     Bitmap& panelSurface, Bitmap& backSurface, bool panelShown,
                     const PanelValues& values, uint32_t now);
// The seven values straight onto the back surface for the map view; the
// displayed score catches up with the score.
void DrawPanelNumbersDirect(ImageList& images, const FontSet& fonts, PanelState& panel,
                            Bitmap& backSurface, const PanelValues& values);

// Arms the one-line notice shown over play for `milliseconds` from `now`
// (only over play and the map view: NoticeEverywhere is cleared).
void ShowTimedMessage(PanelState& panel, std::string_view text, uint32_t milliseconds, uint32_t now);

// The demo caption box: black frame from (50, 50) to (w + 64, h + 64) filled
// light yellow, the text in black at (57, 57), 8 points.
void DrawDemoCaptionBox(Bitmap& surface, SystemText& text, std::string_view caption);

// What the overlays show this frame.
struct OverlayInputs {
  bool Playing = false;      // gsPlaying
  bool MapView = false;      // gsMapView
  bool DemoPlaying = false;  // a recording plays back
  std::function<void(Bitmap&)> DemoCaption;  // draws the pending demo caption, if any
  bool ShowFrameRate = false;
  int FramesPerSecond = 0;
  // Debug read-outs (only with the debug switch).
  bool Debug = false;
  const World* DebugWorld = nullptr;
  int64_t TimerInterval = 0;
  int64_t DebugTime = 0;
  int64_t DebugTb1 = 0, DebugTb2 = 0;
  int64_t DebugCounter = 0;
};

// The overlays, in order: demo caption; "FPS:" figure; "<ESC> to cancel" while
// a demo plays; the timed notice (over play and the map view, or
// everywhere with NoticeEverywhere; disarmed once its time has passed); the debug
// read-outs. Canvas texts need `text`; without it only the demo caption runs.
void DrawOverlays(Bitmap& backSurface, SystemText* text, PanelState& panel,
                  const OverlayInputs& in, uint32_t now);

}  // namespace gravik

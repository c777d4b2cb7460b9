// Start-up pictures and sprites, the playfield layout, re-chipping on a style
// switch and the moving objects drawn over the sprites.
#include <gtest/gtest.h>

#include <map>

#include "base/Errors.h"
#include "levelgraphics_fixture.h"
#include "platform/headless/HeadlessClock.h"
#include "sprite/GameSprites.h"

namespace gravik {
namespace {

using namespace lg_test;

TEST(PlayfieldLayout, PanelShiftsTheBackgroundAndKeepsThePlayerCellUnderTheFigure) {
  for (int px : {6, 20, 37})
    for (int py : {16, 40}) {
      const double vx = 288 - 64.0 * px, vy = 208 - 64.0 * py;
      const PlayfieldLayout shown = LayoutFor(true, vx, vy);
      const PlayfieldLayout hidden = LayoutFor(false, vx, vy);
      EXPECT_EQ(shown.FigureX, 208);
      EXPECT_EQ(hidden.FigureX, 288);
      EXPECT_EQ(shown.FigureY, 208);
      EXPECT_EQ(hidden.FigureY, 208);
      EXPECT_EQ(shown.BackgroundX, hidden.BackgroundX - 80);
      EXPECT_EQ(shown.BackgroundY, hidden.BackgroundY);
      EXPECT_EQ(shown.BackgroundX + 64 * px, shown.FigureX);
      EXPECT_EQ(hidden.BackgroundX + 64 * px, hidden.FigureX);
      EXPECT_EQ(shown.BackgroundY + 64 * py, 208);
    }
  // Mid-step positions truncate toward zero.
  EXPECT_EQ(LayoutFor(false, -100.7, 12.9).BackgroundX, -100);
  EXPECT_EQ(LayoutFor(false, -100.7, 12.9).BackgroundY, 12);
  EXPECT_EQ(LayoutFor(true, -0.5, -0.5).BackgroundX, -80);
}

struct FixedPictures {
  std::map<std::string, std::vector<uint8_t>> Items{
      {"blackbar.bmp", SaveBmp16(Bitmap(80, 480, 1))},  {"rtitle.bmp", SaveBmp16(Bitmap(600, 130, 2))},
      {"panel.bmp", SaveBmp16(Bitmap(160, 480, 3))},    {"mappanel.bmp", SaveBmp16(Bitmap(128, 480, 4))},
      {"zenthrax.bmp", SaveBmp16(Bitmap(80, 60, 5))},   {"vxhorzlogo.bmp", SaveBmp16(Bitmap(300, 40, 6))}};
  ArchiveItemReader Reader() const {
    return [this](const std::string& name) -> std::optional<std::vector<uint8_t>> {
      auto it = Items.find(name);
      if (it == Items.end()) return std::nullopt;
      return it->second;
    };
  }
};

TEST(StartupGraphics, CreatesSpritesEntriesAndFixedPictures) {
  Rig rig;
  TSpriteEngine engine;
  Bitmap back(640, 480, 0xFFFF);
  FixedPictures archive;
  PrepareStartupGraphics(rig.Images, rig.Gfx, rig.W->Named, rig.Sprites, engine, back, archive.Reader(), 33, 44);
  EXPECT_EQ(back, Bitmap(640, 480, 0));

  TBackground* bg = rig.Sprites.Background;
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(bg->GridWidth(), 43);
  EXPECT_EQ(bg->GridHeight(), 75);
  EXPECT_TRUE(bg->Tiled);
  EXPECT_EQ(bg->Cell(0, 0), 6);
  EXPECT_EQ(bg->Cell(3, 20), 6);
  EXPECT_EQ(bg->Cell(4, 4), 0);
  EXPECT_EQ(bg->Cell(35, 34), 0);
  EXPECT_EQ(bg->Cell(36, 10), 6);
  EXPECT_EQ(bg->Cell(20, 35), 6);
  EXPECT_EQ(bg->Cell(40, 0), 0);   // outside the initial area
  EXPECT_EQ(bg->Cell(10, 70), 0);
  const ImageEntry& blocks = rig.Images.FindImage("GameBlocks");
  EXPECT_EQ(bg->Image, &blocks);
  EXPECT_EQ(blocks.Picture.Height(), 2304);
  EXPECT_EQ(PatternPixel(blocks, 69), CellId(70, 1, 1));
  EXPECT_EQ(PatternPixel(blocks, 70), 0);

  TPlayer* fig = rig.Sprites.Figure;
  TPlayer* pointer = rig.Sprites.Pointer;
  ASSERT_NE(fig, nullptr);
  ASSERT_NE(pointer, nullptr);
  EXPECT_EQ(fig->Image, &rig.Images.FindImage("Player"));
  EXPECT_EQ(fig->Width, 64);
  EXPECT_TRUE(fig->Visible);
  EXPECT_TRUE(fig->PixelExact);
  EXPECT_EQ(rig.Images.FindImage("Player").TransparentColor, RGB(255, 0, 255));
  EXPECT_EQ(pointer->Image, &rig.Images.FindImage("Cursor"));
  EXPECT_FALSE(pointer->Visible);
  EXPECT_EQ(pointer->X, 33);
  EXPECT_EQ(pointer->Y, 44);
  EXPECT_EQ(pointer->Width, 23);
  EXPECT_EQ(pointer->Height, 35);
  ASSERT_EQ(engine.DrawOrder().size(), 3u);
  EXPECT_EQ(engine.DrawOrder()[0], bg);
  EXPECT_EQ(engine.DrawOrder()[1], fig);
  EXPECT_EQ(engine.DrawOrder()[2], pointer);

  EXPECT_EQ(PatternPixel(rig.Images.FindImage("Monsters"), 1), CellId(kMonster1 + 1, 1, 1));
  EXPECT_EQ(PatternCount(rig.Images.FindImage("Map")), 100);
  EXPECT_EQ(rig.Images.FindImage("BlackBar").Picture, Bitmap(80, 480, 1));
  EXPECT_EQ(rig.Images.FindImage("Title").Picture, Bitmap(600, 130, 2));
  EXPECT_EQ(rig.Images.FindImage("DefaultPanel").Picture, Bitmap(160, 480, 3));
  EXPECT_EQ(rig.Images.FindImage("DefaultMapPanel").Picture, Bitmap(128, 480, 4));
  const ImageEntry& ship = rig.Images.FindImage("SpaceShip");
  EXPECT_EQ(PatternCount(ship), 4);
  EXPECT_TRUE(ship.Transparent);
  const ImageEntry& logo = rig.Images.FindImage("vxhorizlogo");
  EXPECT_FALSE(logo.Transparent);
  EXPECT_TRUE(logo.SystemMemory);
}

TEST(StartupGraphics, MissingOrDamagedPicturesAreFatal) {
  for (const char* item : {"panel.bmp", "vxhorzlogo.bmp"}) {
    Rig rig;
    TSpriteEngine engine;
    Bitmap back(640, 480);
    FixedPictures archive;
    archive.Items.erase(item);
    try {
      PrepareStartupGraphics(rig.Images, rig.Gfx, rig.W->Named, rig.Sprites, engine, back, archive.Reader(), 0, 0);
      ADD_FAILURE() << item;
    } catch (const FatalMessage& e) {
      EXPECT_EQ(std::string(e.what()), std::string(item) + " not found in resource.");
    }
  }
  Rig rig;
  TSpriteEngine engine;
  Bitmap back(640, 480);
  FixedPictures archive;
  archive.Items["rtitle.bmp"] = {'B', 'M', 1, 2, 3};
  EXPECT_THROW(PrepareStartupGraphics(rig.Images, rig.Gfx, rig.W->Named, rig.Sprites, engine, back,
                                      archive.Reader(), 0, 0),
               FatalMessage);
}

TEST(FormImages, TheStoredPicturesHaveTheirSizesAndKeys) {
  ImageList images;
  CreateFormImages(images);
  EXPECT_EQ(images.Count(), 35);
  EXPECT_EQ(images.At(0).Name, "GameBlocks");
  EXPECT_EQ(images.At(34).Name, "DrawingPanel");
  struct Want { const char* name; int w, h, patterns; bool transparent; } wants[] = {
      {"Cursor", 23, 35, 1, true},    {"arrowup", 21, 21, 1, true},     {"arrowdown", 21, 21, 1, true},
      {"vxicon", 18, 18, 1, true},    {"Checkbox", 16, 16, 1, false},   {"Progress", 90, 15, 5, true},
      {"BigProgress", 170, 34, 5, true}, {"Oneletter", 21, 21, 1, true}};
  for (const Want& w : wants) {
    const ImageEntry& e = images.FindImage(w.name);
    EXPECT_EQ(e.Picture.Width(), w.w) << w.name;
    EXPECT_EQ(e.Picture.Height(), w.h) << w.name;
    EXPECT_EQ(PatternCount(e), w.patterns) << w.name;
    EXPECT_EQ(e.Transparent, w.transparent) << w.name;
  }
  // The pointer is keyed on blue; its tip is drawn, its far corner is key.
  const ImageEntry& cursor = images.FindImage("Cursor");
  EXPECT_EQ(cursor.TransparentColor, RGB(0, 0, 255));
  EXPECT_NE(cursor.Picture.Pixel(0, 0), Rgb565(0, 0, 255));
  EXPECT_EQ(cursor.Picture.Pixel(22, 0), Rgb565(0, 0, 255));
  // A second call adds nothing.
  CreateFormImages(images);
  EXPECT_EQ(images.Count(), 35);
}

// The background as the world's chip map.
struct BackgroundChips : ChipMap {
  TBackground* Bg;
  explicit BackgroundChips(TBackground* bg) : Bg(bg) {}
  void SetChip(int x, int y, int pattern) override { Bg->SetCell(x, y, pattern); }
};

struct RefreshRig : Rig {
  TSpriteEngine Engine;
  BackgroundChips Chips{new TBackground(&Engine)};
  HeadlessClock Clock;
  uint64_t Reference = 0;
  int Decorations = 0;
  RefreshHooks Hooks;

  RefreshRig() {
    Sprites.Background = Chips.Bg;
    Sprites.Figure = new TPlayer(&Engine);
    Chips.Bg->SetGridSize(43, 75);
    W->Chips = &Chips;
    Hooks.Time = &Clock;
    Hooks.FrameStepReference = &Reference;
    Hooks.DecorateSpace = [this] {
      // The build has run by now.
      EXPECT_EQ(Chips.Bg->Image, &Images.FindImage("GameBlocks"));
      ++Decorations;
    };
  }
};

TEST(RefreshBlockGraphics, StyleTwoPutsEveryAnimationOnItsFirstPicture) {
  RefreshRig rig;
  World& w = *rig.W;
  w.SetCell(10, 20, 48);
  w.SetCell(11, 20, 125);
  w.SetCell(12, 20, kSave);
  w.SetChip(12, 20, kSave + 3);  // mid animation
  w.SetCell(13, 20, kRock);
  w.SetChip(13, 20, kRock1 + 1);
  w.SetCell(14, 20, kDiamond);
  w.SetChip(14, 20, kDiamond3 - 1);
  w.SetCell(15, 20, kKey);
  w.SetChip(15, 20, kKey2 - 1);
  w.SetCell(41, 20, 48);  // beyond column 40: left alone
  rig.Panel.Cache.fill(9);
  RefreshBlockGraphics(rig.Ctx, rig.Look(1, 2), rig.Hooks);
  TBackground* bg = rig.Chips.Bg;
  EXPECT_EQ(bg->Cell(10, 20), 0);
  EXPECT_EQ(bg->Cell(11, 20), 0);
  EXPECT_EQ(bg->Cell(12, 20), kSave - 1);
  EXPECT_EQ(bg->Cell(13, 20), kRock - 1);
  EXPECT_EQ(bg->Cell(14, 20), kDiamond - 1);
  EXPECT_EQ(bg->Cell(15, 20), kKey - 1);
  EXPECT_EQ(bg->Cell(41, 20), 47);
  EXPECT_EQ(rig.Decorations, 1);
  EXPECT_EQ(rig.Images.FindImage("Player").TransparentColor, 0u);
}

TEST(RefreshBlockGraphics, StyleOneShowsRockRotationFrames) {
  RefreshRig rig;
  World& w = *rig.W;
  for (int frame = 0; frame <= 5; ++frame) {
    w.SetCell(10 + frame, 30, kRock);
    w.StateAt(10 + frame, 30).Frame = uint8_t(frame);
  }
  rig.Clock.SleepMs(5000);
  rig.Sprites.Figure->FramePos = 6.6;
  rig.Sprites.Figure->FrameSpeed = 0.5;
  w.Player.WalkPos = 3;
  RefreshBlockGraphics(rig.Ctx, rig.Look(1, 1), rig.Hooks);
  TBackground* bg = rig.Chips.Bg;
  EXPECT_EQ(bg->Cell(10, 30), kRock - 1);  // frame 0: unchanged
  for (int frame = 1; frame <= 4; ++frame) EXPECT_EQ(bg->Cell(10 + frame, 30), kRock1 - 1 + frame - 1);
  EXPECT_EQ(bg->Cell(15, 30), kRock - 1);  // frame 5: unchanged
  // The figure keeps its pattern; timing restarts.
  EXPECT_EQ(rig.Sprites.Figure->FrameCount, 8);
  EXPECT_EQ(rig.Sprites.Figure->FrameSpeed, 0);
  EXPECT_EQ(w.Player.WalkPos, 0);
  EXPECT_EQ(w.Player.IdleRef, rig.Clock.TickCount());
  EXPECT_EQ(w.Player.LastWalkFrame, rig.Clock.TickCount());
  EXPECT_EQ(rig.Reference, rig.Clock.PerfCounter());
  for (int64_t v : rig.Panel.Cache) EXPECT_EQ(v, -1);
}

TEST(RefreshBlockGraphics, DoesNothingWhileTheScenarioKeepsItsGraphics) {
  RefreshRig rig;
  rig.W->SetCell(10, 20, 48);
  rig.Gfx.MayChangeBlockGraphics = false;
  rig.Panel.Cache.fill(9);
  RefreshBlockGraphics(rig.Ctx, rig.Look(1, 2), rig.Hooks);
  EXPECT_EQ(rig.Chips.Bg->Cell(10, 20), 47);
  EXPECT_EQ(rig.Decorations, 0);
  EXPECT_EQ(rig.Panel.Cache[0], 9);
}

TEST(MovingObjects, DrawnFromTheSlotTablesInOrder) {
  Rig rig;
  BuildLevelGraphics(rig.Ctx, rig.Look());
  World& w = *rig.W;
  Bitmap surface(640, 480, 0);
  // An active visible monster with frame 2, one hatching (not drawn).
  w.Monsters[0].State = 2;
  w.Monsters[0].Visible = 1;
  w.Monsters[0].Frame = 2;
  w.Monsters[0].ScreenX = 100.9;
  w.Monsters[0].ScreenY = 50.2;
  w.Monsters[1].State = 1;
  w.Monsters[1].Visible = 1;
  w.Monsters[1].ScreenX = 300;
  // A meteor over the monster, then a spirit over both.
  w.Meteors[5].Drawn = 1;
  w.Meteors[5].ScreenX = 140;
  w.Meteors[5].ScreenY = 50;
  w.Spirits[3].Active = 1;
  w.Spirits[3].Drawn = 1;
  w.Spirits[3].Pattern = 1;
  w.Spirits[3].ScreenX = 180.5;
  w.Spirits[3].ScreenY = 50;
  w.Spirits[4].Active = 1;  // not drawn
  w.Spirits[4].ScreenX = 400;
  DrawMovingObjects(rig.Images, surface, w);
  EXPECT_EQ(surface.Pixel(100, 50), CellId(kMonster1 + 2, 1, 1));
  EXPECT_EQ(surface.Pixel(99, 50), 0);
  EXPECT_EQ(surface.Pixel(139, 60), CellId(kMonster1 + 2, 1, 1));
  EXPECT_EQ(surface.Pixel(140, 60), CellId(kMeteor, 1, 1));
  EXPECT_EQ(surface.Pixel(180, 60), CellId(kSpirit1 + 1, 1, 1));
  EXPECT_EQ(surface.Pixel(310, 10), 0);
  EXPECT_EQ(surface.Pixel(410, 60), 0);
}

}  // namespace
}  // namespace gravik

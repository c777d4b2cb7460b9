// The status panel: composition, key labels, the number cache, the rolling
// score, the black bars, the map view's direct numbers and the overlays.
#include <gtest/gtest.h>

#include <algorithm>

#include "levelgraphics_fixture.h"

namespace gravik {
namespace {

using namespace lg_test;

constexpr uint16_t kSmallInk = 0x07E0;  // the test's small digits
constexpr uint16_t kBigInk = 0x001F;    // the test's big digits

PanelValues Values(int64_t score = 0, int64_t diamonds = 0) { return {score, diamonds, 3, 4, 5, 6, 2}; }

struct PanelRig : Rig {
  Bitmap Back{640, 480, 0};
  PanelRig() { BuildLevelGraphics(Ctx, Look()); }
  void Frame(const PanelValues& v, uint32_t now, bool shown = true) {
    DrawPanelOrBars(Images, Fonts, Panel, PanelSurface, Back, shown, v, now);
  }
  const Bitmap& PanelPicture() { return Images.FindImage("Panel").Picture; }
};

TEST(PanelCompose, IconsFromTheLevelsSetAndStyle) {
  for (int style : {1, 2}) {
    PanelRig rig;
    BuildPanels(rig.Ctx, 6, style);
    const ImageEntry& panel = rig.Images.FindImage("Panel");
    const ImageEntry& map = rig.Images.FindImage("MapPanel");
    EXPECT_FALSE(panel.Transparent);
    EXPECT_FALSE(map.Transparent);
    const int icons[] = {kDiamond, kEarth1, kPuzzle, kMonster1, kTransport1, style == 1 ? kPlayerSt : kPlayer1};
    for (int row = 0; row < 6; ++row) {
      const int y = kPanelIconY[size_t(row)];
      EXPECT_EQ(panel.Picture.Pixel(38 + 20, y + 20), CellId(icons[row], 6, style)) << row;
      EXPECT_EQ(panel.Picture.Pixel(37, y + 20), kPanelFill);
      EXPECT_EQ(panel.Picture.Pixel(38 + 32, y + 20), kPanelFill);
      EXPECT_EQ(map.Picture.Pixel(21 + 20, y + 20), CellId(icons[row], 6, style)) << row;
    }
    // The map panel's label area gets no text.
    for (int y = 415; y < 465; ++y)
      for (int x = 0; x < 128; ++x) ASSERT_EQ(map.Picture.Pixel(x, y), kMapPanelFill);
    EXPECT_EQ(rig.PanelSurface, panel.Picture);
  }
}

// First x of the separator (the space glyph) on a label line, -1 when none.
int SeparatorX(const Bitmap& panel, int lineY) {
  for (int x = 0; x < 160; ++x)
    if (panel.Pixel(x, kKeyLabelsY + lineY + 1) == CodeInk(' ')) return x;
  return -1;
}
int TextStartX(const Bitmap& panel, int lineY) {
  for (int x = 0; x < 160; ++x)
    if (panel.Pixel(x, kKeyLabelsY + lineY + 1) != kPanelFill) return x;
  return -1;
}

TEST(PanelCompose, KeyLabelSeparatorsStartAtTheSameX) {
  PanelRig rig;
  // Undefined bindings by default.
  const int sep = SeparatorX(rig.PanelPicture(), 0);
  ASSERT_GT(sep, 0);
  EXPECT_EQ(SeparatorX(rig.PanelPicture(), 20), sep);
  SelectFont(rig.Fonts, kFaceEras10, 2);
  const int w = TextWidth(rig.Fonts, "Undefined");
  EXPECT_EQ(sep, w + 78 - (w + TextWidth(rig.Fonts, " - Status")) / 2);

  rig.Keys.MapKey = "M";
  rig.Keys.StatusKey = "F1o";
  BuildPanels(rig.Ctx, 1, 1);
  const Bitmap& p = rig.PanelPicture();
  const int sep2 = SeparatorX(p, 0);
  EXPECT_EQ(SeparatorX(p, 20), sep2);
  EXPECT_EQ(TextStartX(p, 0), sep2 - TextWidth(rig.Fonts, "M"));
  EXPECT_EQ(TextStartX(p, 20), sep2 - TextWidth(rig.Fonts, "F1o"));
}

TEST(PanelCompose, KeyNames) {
  auto table = [](int code) { return code == 77 ? std::string("M") : std::string(); };
  EXPECT_EQ(PanelKeyName(77, false, table), "M");
  EXPECT_EQ(PanelKeyName(77, true, table), "Undefined");
  EXPECT_EQ(PanelKeyName(200, false, table), "200");
  EXPECT_EQ(PanelKeyName(256, false, table), "???");
  EXPECT_EQ(PanelKeyName(-1, false, table), "???");
  EXPECT_EQ(PanelKeyName(5, false, {}), "5");
}

TEST(PanelNumbers, RedrawnOnlyWhenTheirValueChanges) {
  PanelRig rig;
  rig.Frame(Values(0, 7), 1000);
  EXPECT_EQ(rig.PanelSurface.Pixel(78, 171), kSmallInk);  // diamonds
  EXPECT_EQ(rig.PanelSurface.Pixel(78, 371), kSmallInk);  // lives
  EXPECT_EQ(rig.Panel.Cache, Values(0, 7));
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 160; ++x) ASSERT_EQ(rig.Back.Pixel(480 + x, y), rig.PanelSurface.Pixel(x, y));
  EXPECT_EQ(rig.Back.Pixel(479, 171), 0);

  // A mark inside the diamonds strip survives frames with the same value...
  rig.PanelSurface.SetPixel(120, 175, 0xABCD);
  rig.Frame(Values(0, 7), 1100);
  EXPECT_EQ(rig.PanelSurface.Pixel(120, 175), 0xABCD);
  EXPECT_EQ(rig.Back.Pixel(600, 175), 0xABCD);
  // ... and goes when the value changes.
  rig.Frame(Values(0, 8), 1200);
  EXPECT_EQ(rig.PanelSurface.Pixel(120, 175), kPanelFill);

  // Entering play redraws all seven even when nothing changed.
  ResetPanelSurface(rig.Images, rig.Panel, rig.PanelSurface);
  EXPECT_EQ(rig.PanelSurface.Pixel(78, 171), kPanelFill);
  rig.Frame(Values(0, 8), 1300);
  EXPECT_EQ(rig.PanelSurface.Pixel(78, 171), kSmallInk);
  EXPECT_EQ(rig.PanelSurface.Pixel(78, 331), kSmallInk);
}

TEST(PanelNumbers, NegativeCountersDrawTheirMinusAsZero) {
  PanelRig rig;
  PanelValues v = Values();
  v[PanelMonsters] = -5;
  rig.Frame(v, 1000);
  // "-5": two digit images, the first that of 0 (3 pixels wide in the test font).
  const int w0 = GlyphWidth('0'), w5 = GlyphWidth('5');
  EXPECT_EQ(rig.PanelSurface.Pixel(78 + w0 - 1, 291), kSmallInk);
  EXPECT_EQ(rig.PanelSurface.Pixel(78 + w0 + w5 - 1, 291), kSmallInk);
  EXPECT_EQ(rig.PanelSurface.Pixel(78 + w0 + w5, 291), kPanelFill);
}

TEST(PanelScore, RollsUpOnePointPerFiftyMilliseconds) {
  PanelRig rig;
  rig.Panel.DisplayedScore = 95;
  rig.Panel.DisplayedScoreTime = 1000;
  rig.Frame(Values(120), 1050);
  EXPECT_EQ(rig.Panel.DisplayedScore, 95);
  rig.Frame(Values(120), 1051);
  EXPECT_EQ(rig.Panel.DisplayedScore, 96);
  EXPECT_EQ(rig.Panel.Cache[PanelScore], 96);
  rig.Frame(Values(120), 1090);
  EXPECT_EQ(rig.Panel.DisplayedScore, 96);
  rig.Frame(Values(120), 1102);
  EXPECT_EQ(rig.Panel.DisplayedScore, 97);
  uint32_t now = 1102;
  for (int i = 0; i < 40; ++i) rig.Frame(Values(120), now += 51);
  EXPECT_EQ(rig.Panel.DisplayedScore, 120);

  // A lower score is taken in one step; the tick may wrap meanwhile.
  rig.Panel.DisplayedScore = 500;
  rig.Panel.DisplayedScoreTime = 0xFFFFFFF0u;
  rig.Frame(Values(120), 40);
  EXPECT_EQ(rig.Panel.DisplayedScore, 120);

  SyncDisplayedScore(rig.Panel, 777);
  EXPECT_EQ(rig.Panel.DisplayedScore, 777);
}

TEST(PanelScore, ANarrowerScoreLeavesNoOldDigits) {
  PanelRig rig;
  rig.Panel.DisplayedScore = 100000;
  rig.Frame(Values(100000), 1000);
  const int oldLeft = 77 - 17 * 6 / 2;
  bool inked = false;
  for (int x = oldLeft; x < oldLeft + 6; ++x) inked |= rig.PanelSurface.Pixel(x, 93) == kBigInk;
  EXPECT_TRUE(inked);
  rig.Frame(Values(5), 2000);
  EXPECT_EQ(rig.Panel.DisplayedScore, 5);
  for (int x = 0; x < 160; ++x)
    if (x < 77 - 8 || x >= 77 + 9) {
      EXPECT_NE(rig.PanelSurface.Pixel(x, 93), kBigInk) << x;
    }
}

TEST(PanelBars, HiddenPanelDrawsTheBarsAndNoNumbers) {
  PanelRig rig;
  rig.Back.Fill(0xFFFF);
  rig.Frame(Values(50, 9), 1000, false);
  for (int y : {0, 240, 479}) {
    for (int x : {0, 79, 560, 639}) EXPECT_EQ(rig.Back.Pixel(x, y), 0) << x << "," << y;
    for (int x : {80, 300, 480, 559}) EXPECT_EQ(rig.Back.Pixel(x, y), 0xFFFF) << x << "," << y;
  }
  EXPECT_EQ(rig.Panel.Cache[PanelDiamonds], -1);
}

TEST(PanelNumbers, DirectDrawForTheMapView) {
  PanelRig rig;
  rig.Panel.DisplayedScore = 3;
  DrawPanelNumbersDirect(rig.Images, rig.Fonts, rig.Panel, rig.Back, Values(42, 1));
  EXPECT_EQ(rig.Panel.DisplayedScore, 42);
  EXPECT_EQ(rig.Back.Pixel(574 - 17, 93), kBigInk);
  EXPECT_EQ(rig.Back.Pixel(574 - 18, 93), 0);
  for (int y : kPanelRowY) {
    EXPECT_EQ(rig.Back.Pixel(571, y + 1), kSmallInk) << y;
    EXPECT_EQ(rig.Back.Pixel(570, y + 1), 0) << y;
  }
}

struct FakeText : SystemText {
  struct Call {
    int x, y;
    std::string text;
    SystemFont font;
  };
  std::vector<Call> Calls;
  void TextOut(Bitmap&, int x, int y, std::string_view text, const SystemFont& font, uint16_t, bool,
               uint16_t) override {
    Calls.push_back({x, y, std::string(text), font});
  }
  int TextWidth(std::string_view text, const SystemFont&) override { return 6 * int(text.size()); }
  int TextHeight(std::string_view, const SystemFont&) override { return 13; }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const Call& c : Calls) out.push_back(c.text);
    return out;
  }
};

TEST(Overlays, TimedNoticeShowsInPlayAndTheMapUntilItsTimeHasPassed) {
  PanelState panel;
  FakeText text;
  Bitmap back(640, 480);
  OverlayInputs menu, play, map;
  play.Playing = true;
  map.MapView = true;
  ShowTimedMessage(panel, "Transporters dead??", 1000, 100);
  DrawOverlays(back, &text, panel, menu, 500);
  EXPECT_TRUE(text.Calls.empty());
  DrawOverlays(back, &text, panel, play, 600);
  DrawOverlays(back, &text, panel, map, 1099);
  ASSERT_EQ(text.Calls.size(), 2u);
  EXPECT_EQ(text.Calls[0].text, "Transporters dead??");
  EXPECT_EQ(text.Calls[0].x, 0);
  EXPECT_EQ(text.Calls[0].y, 0);
  EXPECT_EQ(text.Calls[0].font.Face, "Arial");
  EXPECT_TRUE(text.Calls[0].font.Bold);
  DrawOverlays(back, &text, panel, play, 1100);
  EXPECT_EQ(text.Calls.size(), 2u);
  EXPECT_FALSE(panel.NoticeArmed);
  // Re-arming restarts the time.
  ShowTimedMessage(panel, "AFPS OFF", 1000, 5000);
  DrawOverlays(back, &text, panel, play, 5999);
  EXPECT_EQ(text.Calls.back().text, "AFPS OFF");
}

TEST(Overlays, FrameRateDemoHintAndDebugOnlyWhenAsked) {
  PanelState panel;
  FakeText text;
  Bitmap back(640, 480);
  OverlayInputs in;
  in.Playing = true;
  DrawOverlays(back, &text, panel, in, 0);
  EXPECT_TRUE(text.Calls.empty());

  in.ShowFrameRate = true;
  in.FramesPerSecond = 60;
  in.DemoPlaying = true;
  DrawOverlays(back, &text, panel, in, 0);
  EXPECT_EQ(text.Texts(), (std::vector<std::string>{"FPS:60", "<ESC> to cancel"}));
  EXPECT_EQ(text.Calls[1].x, 300);

  text.Calls.clear();
  testing::TestPorts ports;
  auto w = testing::MakeWorld(ports);
  w->Spirits[2].Active = 1;
  w->Spirits[2].X = 7;
  w->Spirits[2].Y = 9;
  w->Spirits[5].Active = 1;
  w->Spirits[5].X = 1;
  w->Spirits[5].Y = 2;
  w->Player.PixelX = 320.7;
  w->Player.PixelY = 64;
  w->Player.Dead = 1;
  OverlayInputs dbg;
  dbg.Playing = true;
  dbg.Debug = true;
  dbg.DebugWorld = w.get();
  dbg.TimerInterval = 0;
  DrawOverlays(back, &text, panel, dbg, 0);
  const auto texts = text.Texts();
  auto find = [&](const std::string& s) { return std::find(texts.begin(), texts.end(), s) != texts.end(); };
  EXPECT_TRUE(find("spirits 3 = 7,9"));
  EXPECT_TRUE(find("spirits 6 = 1,2"));
  EXPECT_TRUE(find("playercolx 320   playercoly 64"));
  EXPECT_TRUE(find("DEAD"));
  for (const auto& c : text.Calls) {
    if (c.text == "spirits 3 = 7,9") {
      EXPECT_EQ(c.y, 220);
    }
    if (c.text == "spirits 6 = 1,2") {
      EXPECT_EQ(c.y, 240);
    }
  }

  // Outside play nothing of this shows.
  text.Calls.clear();
  dbg.Playing = false;
  dbg.MapView = true;
  DrawOverlays(back, &text, panel, dbg, 0);
  EXPECT_TRUE(text.Calls.empty());
}

TEST(Overlays, DemoCaptionBox) {
  FakeText text;
  Bitmap back(640, 480, 0x1234);
  PanelState panel;
  OverlayInputs in;
  in.DemoCaption = [&](Bitmap& b) { DrawDemoCaptionBox(b, text, "Hello"); };
  DrawOverlays(back, nullptr, panel, in, 0);
  // w = 30, h = 13: frame from (50, 50) to (94, 77) exclusive.
  const uint16_t yellow = Rgb565(255, 255, 224);
  EXPECT_EQ(back.Pixel(50, 50), 0);
  EXPECT_EQ(back.Pixel(93, 76), 0);
  EXPECT_EQ(back.Pixel(51, 51), yellow);
  EXPECT_EQ(back.Pixel(92, 75), yellow);
  EXPECT_EQ(back.Pixel(94, 60), 0x1234);
  EXPECT_EQ(back.Pixel(60, 77), 0x1234);
  ASSERT_EQ(text.Calls.size(), 1u);
  EXPECT_EQ(text.Calls[0].x, 57);
  EXPECT_EQ(text.Calls[0].y, 57);
}

}  // namespace
}  // namespace gravik

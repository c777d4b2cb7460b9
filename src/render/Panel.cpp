#include "render/Panel.h"

#include <span>

#include <algorithm>

#include "platform/Clock.h"
#include "sprite/Sprite.h"
#include "world/World.h"

namespace gravik {

namespace {

constexpr int kScoreStripWidth = 120, kScoreStripHeight = 28;
constexpr int kCounterStripWidth = 64, kCounterStripHeight = 20;
constexpr int kBigDigitWidth = 17;
constexpr int kLabelWidth = 160, kLabelHeight = 50;
constexpr int kIconSide = 32;
constexpr int kMapPanelDigitsX = 571;
constexpr int kMapPanelScoreCentre = 574;

constexpr uint16_t kWhite = 0xFFFF;
constexpr uint16_t kBlack = 0;

// Left edge of the big digits of `value` centred on `centre`.
int ScoreLeft(int centre, int64_t value) {
  return centre - (kBigDigitWidth * int(std::to_string(value).size())) / 2;
}

// Composes one panel entry from its template: key labels (Panel only) and icons.
void ComposePanel(GraphicsContext& ctx, const std::string& name, const std::string& templateName,
                  int iconX, bool withLabels, const std::array<int, 6>& icons, int blockSet, int style) {
  // The template is copied before the entry is replaced: both live in one list.
  Bitmap picture = ctx.Images.FindImage(templateName).Picture;
  ImageEntry& e = ctx.Images.ReplaceImage(name);
  e.Transparent = false;
  e.Picture = std::move(picture);

  PanelState& p = ctx.Panel;
  p.LabelWork.SetSize(kLabelWidth, kLabelHeight, kBlack);
  if (withLabels) {
    FontSet& f = ctx.Fonts;
    SelectFont(f, kFaceEras10, 2);
    const std::string& mapKey = ctx.KeyLabels.MapKey;
    const std::string& statusKey = ctx.KeyLabels.StatusKey;
    const int w = std::max(TextWidth(f, mapKey), TextWidth(f, statusKey));
    // Both " - Map" and " - Status" start at x.
    const int x = w + 78 - (w + TextWidth(f, " - Status")) / 2;
    DrawTextInto(f, p.LabelWork, x - TextWidth(f, mapKey), 0, mapKey + " - Map");
    DrawTextInto(f, p.LabelWork, x - TextWidth(f, statusKey), 20, statusKey + " - Status");
  }
  Draw(e.Picture, 0, kKeyLabelsY, p.LabelWork, true, kBlack);

  p.IconWork.SetSize(kIconSide, kIconSide);
  for (size_t row = 0; row < icons.size(); ++row) {
    p.IconWork.Fill(kBlack);
    StretchBlit(p.IconWork, p.IconWork.Rect(), BlockBitmap(ctx.Gfx, icons[row], blockSet, style),
                Bounds(0, 0, kBlockSide, kBlockSide));
    // Player pictures are keyed on magenta; the icon is keyed on black.
    const uint16_t magenta = Rgb565(255, 0, 255);
    for (uint16_t& px : std::span(p.IconWork.Data(), p.IconWork.Pixels().size()))
      if (px == magenta) px = kBlack;
    Draw(e.Picture, iconX, kPanelIconY[row], p.IconWork, true, kBlack);
  }
  RebuildSurfaces(e);
}

// Restores a strip of the panel picture on the scratch surface.
void RestoreStrip(Bitmap& panelSurface, const Bitmap& panel, int x, int y, int w, int h) {
  DrawSurface(panelSurface, x, y, Bounds(x, y, w, h), panel, false);
}

}  // namespace

PanelValues PanelValuesOf(const World& w, int lives) {
  const Counters& c = w.Count;
  return {c.Score, c.DiamondsLeft, c.EarthLeft, c.PuzzlePiecesLeft, c.MonstersLeft, c.TransportersLeft, lives};
}

std::string PanelKeyName(int code, bool undefined, const std::function<std::string(int)>& keyNameOf) {
  if (undefined) return "Undefined";
  if (code < 0 || code > 255) return "???";
  std::string name = keyNameOf ? keyNameOf(code) : std::string();
  return name.empty() ? std::to_string(code) : name;
}

std::array<int, 6> PanelIconBlocks(const BlockCatalogue& catalogue, int style) {
  return {FindBlock(catalogue, "DIAMOND"),    FindBlock(catalogue, "EARTH1"),
          FindBlock(catalogue, "PUZZLE"),     FindBlock(catalogue, "MONSTER1"),
          FindBlock(catalogue, "TRANSPORT1"), FindBlock(catalogue, style == 2 ? "PLAYER1" : "PLAYERST")};
}

void BuildPanels(GraphicsContext& ctx, int blockSet, int style) {
  const std::array<int, 6> icons = PanelIconBlocks(ctx.TheWorld.Catalogue, style);
  ComposePanel(ctx, "Panel", "DefaultPanel", kPanelIconX, true, icons, blockSet, style);
  ComposePanel(ctx, "MapPanel", "DefaultMapPanel", kMapPanelIconX, false, icons, blockSet, style);
  ResetPanelSurface(ctx.Images, ctx.Panel, ctx.PanelSurface);
}

void ResetPanelSurface(const ImageList& images, PanelState& panel, Bitmap& panelSurface) {
  // Before the start-up pictures exist there is no panel to copy yet.
  if (const ImageEntry* e = images.TryFindImage("Panel")) LoadSurfaceFromBitmap(panelSurface, e->Picture);
  panel.ForceRedraw();
}

void DrawPanelOrBars(ImageList& images, const FontSet& fonts, PanelState& panel,
                     Bitmap& panelSurface, Bitmap& backSurface, bool panelShown,
                     const PanelValues& values, uint32_t now) {
  if (!panelShown) {
    const Bitmap& bar = images.FindImage("BlackBar").Picture;
    DrawSurface(backSurface, 0, 0, bar.Rect(), bar, false);
    DrawSurface(backSurface, 560, 0, bar.Rect(), bar, false);
    return;
  }

  // The shown score counts up one point per step; a lower score is taken at once.
  const int64_t score = values[PanelScore];
  if (TicksSince(now, panel.DisplayedScoreTime) > kScoreStepMs && panel.DisplayedScore != score) {
    panel.DisplayedScore = panel.DisplayedScore < score ? panel.DisplayedScore + 1 : score;
    panel.DisplayedScoreTime = now;
  }

  const Bitmap& picture = images.FindImage("Panel").Picture;
  PanelValues shown = values;
  shown[PanelScore] = panel.DisplayedScore;
  for (int i = 0; i < PanelValueCount; ++i) {
    const int64_t v = shown[size_t(i)];
    int64_t& cached = panel.Cache[size_t(i)];
    if (v == cached) continue;
    if (i == PanelScore) {
      // The old number may have been wider: clear its strip too.
      if (cached != -1)
        RestoreStrip(panelSurface, picture, ScoreLeft(kPanelScoreCentre, cached), kPanelScoreY,
                     kScoreStripWidth, kScoreStripHeight);
      RestoreStrip(panelSurface, picture, ScoreLeft(kPanelScoreCentre, v), kPanelScoreY, kScoreStripWidth,
                   kScoreStripHeight);
      DrawBigNumberCentred(fonts, images, panelSurface, kPanelScoreCentre, kPanelScoreY, v);
    } else {
      const int y = kPanelRowY[size_t(i - 1)];
      RestoreStrip(panelSurface, picture, kPanelDigitsX, y, kCounterStripWidth, kCounterStripHeight);
      DrawSmallNumber(fonts, images, panelSurface, kPanelDigitsX, y, v);
    }
    cached = v;
  }
  DrawSurface(backSurface, kPanelX, 0, panelSurface.Rect(), panelSurface, false);
}

void DrawPanelNumbersDirect(ImageList& images, const FontSet& fonts, PanelState& panel,
                            Bitmap& backSurface, const PanelValues& values) {
  DrawBigNumberCentred(fonts, images, backSurface, kMapPanelScoreCentre, kPanelScoreY, values[PanelScore]);
  for (int i = 1; i < PanelValueCount; ++i)
    DrawSmallNumber(fonts, images, backSurface, kMapPanelDigitsX, kPanelRowY[size_t(i - 1)], values[size_t(i)]);
  panel.DisplayedScore = values[PanelScore];
}

void ShowTimedMessage(PanelState& panel, std::string_view text, uint32_t milliseconds, uint32_t now) {
  panel.NoticeArmed = true;
  panel.NoticeText = std::string(text);
  panel.NoticeStart = now;
  panel.NoticeDuration = milliseconds;
  panel.NoticeEverywhere = false;
}

void DrawDemoCaptionBox(Bitmap& surface, SystemText& text, std::string_view caption) {
  const SystemFont font;
  const int w = text.TextWidth(caption, font), h = text.TextHeight(caption, font);
  surface.FillRect({50, 50, w + 64, h + 64}, kBlack);
  surface.FillRect({51, 51, w + 63, h + 63}, Rgb565(255, 255, 224));
  text.TextOut(surface, 57, 57, caption, font, kBlack, false, 0);
}

void DrawOverlays(Bitmap& backSurface, SystemText* text, PanelState& panel,
                  const OverlayInputs& in, uint32_t now) {
  if (in.DemoCaption) in.DemoCaption(backSurface);

  const SystemFont small;
  auto out = [&](int x, int y, const std::string& s, const SystemFont& font) {
    if (text) text->TextOut(backSurface, x, y, s, font, kWhite, true, kBlack);
  };

  if (in.Playing && in.ShowFrameRate) out(0, 0, "FPS:" + std::to_string(in.FramesPerSecond), small);
  if (in.Playing && in.DemoPlaying) out(300, 0, "<ESC> to cancel", small);

  if ((in.Playing || in.MapView || panel.NoticeEverywhere) && panel.NoticeArmed) {
    if (TicksSince(now, panel.NoticeStart) < panel.NoticeDuration)
      out(0, 0, panel.NoticeText, SystemFont{"Arial", 8, true});
    else
      panel.NoticeArmed = false;
  }

  if (in.Playing && in.Debug) {
    out(0, 0, std::to_string(in.TimerInterval), small);
    if (const World* w = in.DebugWorld) {
      int y = 220;
      for (size_t i = 0; i < w->Spirits.size(); ++i) {
        const TSpirit& s = w->Spirits[i];
        if (!s.Active) continue;
        out(0, y, "spirits " + std::to_string(i + 1) + " = " + std::to_string(s.X) + "," + std::to_string(s.Y),
            small);
        y += 20;
      }
      out(0, 145, "playercolx " + std::to_string(TruncPos(w->Player.PixelX)) + "   playercoly " +
                      std::to_string(TruncPos(w->Player.PixelY)), small);
      if (w->Player.Dead) out(150, 185, "DEAD", small);
    }
    out(550, 0, std::to_string(in.DebugTime), small);
    out(100, 220, "tb " + std::to_string(in.DebugTb1) + "," + std::to_string(in.DebugTb2), small);
    out(530, 455, std::to_string(in.DebugCounter), small);
  }
}

}  // namespace gravik

#include "screens/EndScreens.h"

#include <algorithm>

#include "audio/Audio.h"
#include "base/Text.h"
#include "data/Profile.h"
#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "frame/Keys.h"
#include "frame/PlayerData.h"
#include "gfx/Fonts.h"
#include "render/LevelGraphics.h"
#include "screens/MenuFrame.h"
#include "screens/PuzzleView.h"
#include "screens/StatusScreens.h"
#include "screens/ScreenMemory.h"

namespace gravik {

namespace {

// The profile's record is of the scenario being played (a file played from
// the command line that is not in the list keeps no results).
bool RecordIsOfPlayedScenario(const Game& g) {
  if (!HasCurrentProfile(g)) return false;
  const std::optional<ScenarioIdentity> id = CurrentScenarioIdentity(*g.profile.Record);
  return id && SameIdentity(*id, g.scenario.Info.Identity);
}

}  // namespace

// --- gsGameOver ---------------------------------------------------------------------

std::vector<EndLine> GameOverLines(Game& g) {
  std::vector<EndLine> lines = {
      {195, "Score:", std::to_string(g.world.Count.Score)},
      {225, "Total Time:", Trim(FormatPlayTime(g.values.TotalPlaySeconds))},
  };
  if (g.values.NewBestScore) {
    lines.push_back({270, "Congratulations!", ""});
    lines.push_back({300, "Previous Highest Score:", std::to_string(g.values.PreviousBest)});
  } else {
    const bool own = RecordIsOfPlayedScenario(g);
    const uint32_t best = own ? BestTime(g) : 0;
    lines.push_back({270, "Highest Score:", std::to_string(own ? BestScore(g) : 0)});
    lines.push_back({300, "Best Time:", best ? Trim(FormatPlayTime(best)) : "N/A"});
  }
  return lines;
}

namespace {

void GameOverEnter(TForm1& form) {
  Game& g = form.game();
  StopMusic(g.audio);
  ClearHitMarks(g.world);
  // A rebuild after the display switch keeps the result (and its "new best")
  // found when the game ended.
  if (!form.frame().ScreenRebuild) RecordGameEnd(g, /*completed=*/false);
  BeginMenuScreen(g);
  AddCentredButton(g.widgets, g.systemText, 360, "OK", 'O');
}

void GameOverFrame(TForm1& form) {
  Game& g = form.game();
  ClearMenuFrame(g);
  SelectFont(g.fonts, kFaceEras20, 3);
  DrawTextCentred(g.fonts, g.backSurface, 150, "GAME OVER");
  for (const EndLine& l : GameOverLines(g)) {
    if (l.Value.empty()) {
      SelectFont(g.fonts, kFaceEras16, 1);
      DrawTextCentred(g.fonts, g.backSurface, l.Y, l.Label);
    } else {
      DrawLabelValue(g.fonts, g.backSurface, l.Y, l.Label, l.Value);
    }
  }
  WidgetContext ctx = MenuWidgetContext(g);
  DrawButtons(g.widgets, ctx);
  FinishMenuFrame(g);
  if (TakeClickedButton(g) == 1) form.SetGameState(gsMainMenu);
}

// Enter or Space presses OK (typed characters, as the key table has them);
// so do Escape and the pad's A and B.
void GameOverKeyDown(TForm1& form, const KeyEvent& key) {
  if (key.shift != 0 || key.repeat || !(IsConfirmKey(key) || key.vk == vk::Escape)) return;
  TakeKey(form.game());
  if (key.pad || key.vk == vk::Escape) PressButton(form.game(), 1);
}

void GameOverKeyPress(TForm1& form, char key) {
  if (key == '\r' || key == ' ') PressButton(form.game(), 1);
}

// --- gsScenarioComplete ---------------------------------------------------------

constexpr int kPictureCentre = kCompletionWindowWidth / 2;
constexpr int kOkRow = 453;

void CentreInto(Game& g, Bitmap& picture, int y, std::string_view text) {
  DrawTextInto(g.fonts, picture, kPictureCentre - TextWidth(g.fonts, text) / 2, y, text);
}

void LabelValueInto(Game& g, Bitmap& picture, int y, const std::string& label, const std::string& value) {
  SelectFont(g.fonts, kFaceEras16, 2);
  const int x = kPictureCentre - TextWidth(g.fonts, label + " " + value) / 2;
  DrawTextInto(g.fonts, picture, x, y, label);
  const int vx = x + TextWidth(g.fonts, label + " ");
  SelectFont(g.fonts, kFaceEras16, 3);
  DrawTextInto(g.fonts, picture, vx, y, value);
}

bool Locked(Game& g) { return TicksSince(g.Now(), g.values.CompleteTick) < kCompletionLockMs; }

void CompleteEnter(TForm1& form) {
  Game& g = form.game();
  StopMusic(g.audio);
  for (int i = 0; i < 3; ++i) {
    g.backSurface.Fill(0);
    form.Present();
  }
  if (g.world.GraphicsStyle != 1) {
    g.world.GraphicsStyle = 1;
    RefreshBlockGraphics(g);
  }
  const int ok = AddCentredButton(g.widgets, g.systemText, kOkRow, "OK", 'O');
  if (ok) g.widgets.Buttons[size_t(ok)].State = kWidgetDisabled;  // until the lock ends
  BeginMenuScreen(g);
  g.workPicture2 = BuildCompletionPicture(g);
  g.values.CompleteTick = g.Now();
  ScreensOf(g).Completion.Scroll = 0;
  ScreensOf(g).Completion.ScrollTick = g.Now();
  PlayMusic(g.audio, 1, MusicLoopsInState(gsScenarioComplete));
  if (!form.frame().ScreenRebuild) RecordGameEnd(g, /*completed=*/true);
}

void CompleteFrame(TForm1& form) {
  Game& g = form.game();
  ClearMenuFrame(g);
  const Bitmap& picture = g.workPicture2;
  AdvanceCompletionScroll(g, picture.Height());
  Blit(g.backSurface, kCompletionWindowX, 0, picture,
       Bounds(0, int(ScreensOf(g).Completion.Scroll), kCompletionWindowWidth, kCompletionWindowHeight));
  SelectFont(g.fonts, kFaceEras14, 2);
  DrawText(g.fonts, g.backSurface, 82, 458, "SCORE:");
  SelectFont(g.fonts, kFaceEras14, 3);
  DrawText(g.fonts, g.backSurface, 82 + TextWidth(g.fonts, "SCORE: "), 458, std::to_string(g.world.Count.Score));
  WidgetSet& w = g.widgets;
  if (w.ButtonCount >= 1 && !Locked(g)) w.Buttons[1].State = kWidgetEnabled;
  WidgetContext ctx = MenuWidgetContext(g);
  DrawButtons(w, ctx);
  FinishMenuFrame(g);
  PollAudioKeys(form);
  if (TakeClickedButton(g) == 1 && !Locked(g)) form.SetGameState(gsMainMenu);
}

// Enter, Space or Escape press OK once it is unlocked.
void CompleteKeyDown(TForm1& form, const KeyEvent& key) {
  Game& g = form.game();
  if (key.shift != 0 || !(IsConfirmKey(key) || (key.vk == vk::Escape && !key.repeat))) return;
  TakeKey(g);
  if (!Locked(g)) PressButton(g, 1);
}

}  // namespace

void AdvanceCompletionScroll(Game& g, int pictureHeight) {
  CompletionMemory& v = ScreensOf(g).Completion;
  const uint32_t now = g.Now();
  const uint32_t elapsed = std::max<uint32_t>(1, TicksSince(now, v.ScrollTick));
  v.ScrollTick = now;
  v.Scroll += kCompletionScrollPerMs * elapsed;
  if (v.Scroll >= pictureHeight) v.Scroll = 0;
}

Bitmap BuildCompletionPicture(Game& g) {
  World& w = g.world;
  // The parts, top to bottom; the height is known once the puzzle is measured.
  const int cols = std::clamp(w.PuzzleWidth, 0, PuzzleColumnsMax), rows = std::clamp(w.PuzzleHeight, 0, PuzzleRowsMax);
  const bool puzzle = cols > 0 && rows > 0;
  const TRect grid = puzzle ? PuzzleGridRect(cols, rows) : TRect{};
  const int frameTop = grid.Top - 4, frameHeight = grid.Height() + 9;
  const int puzzleY = 390;
  const int thanksY = puzzle ? puzzleY + frameHeight + 40 : 370;
  Bitmap picture(kCompletionWindowWidth, thanksY + 100, 0);

  SelectFont(g.fonts, kFaceEras20, 3);
  CentreInto(g, picture, 20, "CONGRATULATIONS!");
  SelectFont(g.fonts, kFaceEras14, 2);
  CentreInto(g, picture, 64, "You have completed the scenario");
  SelectFont(g.fonts, kFaceEras16, 3);
  CentreInto(g, picture, 92, g.scenario.Info.Name.Str());
  const std::string author = Trim(g.scenario.Info.Author.Str());
  if (!author.empty()) {
    SelectFont(g.fonts, kFaceEras14, 2);
    CentreInto(g, picture, 120, "by " + author);
  }

  // A row of the game's characters, Gravik in the middle.
  const NamedBlocks& n = w.Named;
  const int blocks[] = {n.Diamond, n.Monster1, n.PlayerStR, n.Transport1, n.Puzzle};
  const int set = CurrentLevelLook(g.scenario, w).BlockSet;
  int x = kPictureCentre - (5 * kBlockSide + 4 * 24) / 2;
  for (int b : blocks) {
    Draw(picture, x, 160, BlockBitmap(g.gfx, b, set, 1), /*keyed=*/true, Rgb565(255, 0, 255));  // the figure on its key colour
    x += kBlockSide + 24;
  }

  LabelValueInto(g, picture, 246, "Score:", std::to_string(w.Count.Score));
  LabelValueInto(g, picture, 276, "Total Time:", WithoutLeadingBlank(FormatPlayTime(g.values.TotalPlaySeconds)));
  LabelValueInto(g, picture, 306, "Lives left:", std::to_string(g.values.Lives));

  if (puzzle) {
    SelectFont(g.fonts, kFaceEras16, 1);
    CentreInto(g, picture, puzzleY - 36, "THE PUZZLE");
    // The middle 512 columns of the puzzle picture, from its frame's top to its bottom.
    const Bitmap whole = BuildPuzzlePicture(g);
    Blit(picture, 0, puzzleY, whole,
         Bounds((kPuzzlePictureWidth - kCompletionWindowWidth) / 2, frameTop, kCompletionWindowWidth, frameHeight));
  }
  SelectFont(g.fonts, kFaceEras14, 2);
  CentreInto(g, picture, thanksY, "Thank you for playing");
  SelectFont(g.fonts, kFaceEras20, 3);
  CentreInto(g, picture, thanksY + 28, "GRAVIK 2");
  return picture;
}

ScreenUnit GameOverUnit() { return {GameOverEnter, GameOverFrame, GameOverKeyDown, GameOverKeyPress, MenuMouse}; }
ScreenUnit ScenarioCompleteUnit() { return {CompleteEnter, CompleteFrame, CompleteKeyDown, NoKeyPress, MenuMouse}; }

}  // namespace gravik

#include "screens/MainMenu.h"

#include <cstdio>
#include <string>

#include "audio/Audio.h"
#include "data/Profile.h"
#include "frame/Demo.h"
#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "frame/PlayerData.h"
#include "frame/SaveGames.h"
#include "platform/Clock.h"
#include "render/LevelGraphics.h"
#include "screens/MenuFrame.h"
#include "screens/ScreenMemory.h"

namespace gravik {

const std::array<const char*, kBackdropRows> kBackdropLayout = {
    "BBBBBBBBeB",          //
    "XDeeEeE\xA3" "CM",    //
    "BBeeee\xA3" "eOO",    //
    "SeReeeeeeO",          //
    "BeeE*EeeeB",          //
    "SeEeeDEeEB",          //
};

namespace {

constexpr int kBackdropPictureWidth = 640, kBackdropPictureHeight = 310;
constexpr int kBackdropWidth = 619, kBackdropHeight = 272;
constexpr int kBackdropTop = -48;
constexpr int kMenuItems = 4;
constexpr int kMenuItemWidth = 280;  // the caption pictures "menutext1".."menutext4"
// The editor's item, in the caption picture of "Editor", comes before Exit.
constexpr int kEditorCaption = 8;
constexpr int kFirstItemY = 180, kItemPitch = 50;
// With a saved game, "Continue" comes first and the five items sit closer.
constexpr int kFirstItemYWithSave = 140, kItemPitchWithSave = 46;
// Between the title and the backdrop: the items reach down to the footer.
constexpr int kSaveLineY = 124;
// The caption picture of "Continue" (after the six of the menus).
constexpr int kContinueCaption = 7;
constexpr uint32_t kFirstMusicDelayMs = 1500;
constexpr uint16_t kMagenta565 = Rgb565(255, 0, 255);

// The block pictures the menus show: block set 1, the detailed style.
const Bitmap& MenuBlock(Game& g, int code) { return BlockBitmap(g.gfx, code, 1, 1); }

// The level graphics back in the detailed style, built for level 1 when the
// current level is none or beyond the ones a menu visit may rebuild.
void RestoreDetailedStyle(Game& g) {
  if (g.world.GraphicsStyle != 2) return;
  g.world.GraphicsStyle = 1;
  const int level = g.world.CurrentLevel;
  if (level == 0 || level > 16) g.world.CurrentLevel = 1;
  GraphicsContext ctx = g.Graphics();
  BuildLevelGraphics(ctx, CurrentLevelLook(g.scenario, g.world));
  g.world.CurrentLevel = level;
}

// The profile as it was last saved; a file that is refused now leaves the
// profile in memory as it was.
void ReloadCurrentProfile(Game& g) {
  if (!HasCurrentProfile(g)) return;
  const ProfileResult r = LoadProfile(g.profile);
  if (!r) {
    std::fprintf(stderr, "gravik: the profile of %s was not loaded again: %s\n", g.profile.CurrentName.c_str(),
                 r.Message.c_str());
    return;
  }
  ApplyLoadedProfile(g);
}

void MainMenuEnter(TForm1& form) {
  Game& g = form.game();
  MainMenuMemory& v = ScreensOf(g).MainMenu;
  g.gfx.MayChangeBlockGraphics = true;
  RestoreDetailedStyle(g);
  if (!v.BackdropBuilt) BuildMenuBackdrop(g);
  // The current player's saved game: "Continue" when it can be continued, a
  // line saying why when it cannot.
  const SavedGameInfo save = PeekSavedGame(g);
  v.HasContinue = save.Readable;
  v.SaveLine.clear();
  if (save.Readable) {
    const SaveSummary& s = save.Summary;
    v.SaveLine = s.ScenarioName + ", level " + std::to_string(s.Level) + ", score " + std::to_string(s.Score) +
                     ", " + std::to_string(s.Lives) + (s.Lives == 1 ? " life" : " lives");
  } else if (save.Present) {
    v.SaveLine = "The saved game cannot be continued: " + save.Error;
  }
  const int first = v.HasContinue ? kFirstItemYWithSave : kFirstItemY;
  const int pitch = v.HasContinue ? kItemPitchWithSave : kItemPitch;
  int row = 0;
  if (v.HasContinue)
    AddImageButton(g.widgets, g.images, 320 - kMenuItemWidth / 2, first + pitch * row++,
                   "menutext" + std::to_string(kContinueCaption), 0);
  // New game, Options, Help, Editor, Exit: leaving the game stays last.
  for (int n = 1; n <= kMenuItems; ++n) {
    if (n == kMenuItems)
      AddImageButton(g.widgets, g.images, 320 - kMenuItemWidth / 2, first + pitch * row++,
                     "menutext" + std::to_string(kEditorCaption), 0);
    AddImageButton(g.widgets, g.images, 320 - kMenuItemWidth / 2, first + pitch * row++,
                   "menutext" + std::to_string(n), 0);
  }
  g.world.DemoMode = false;
  // The first showing of the menu in a run waits for its music, however soon
  // it is left; a rebuild after the display switch is the same showing.
  if (!form.frame().ScreenRebuild) {
    v.FirstShowing = !v.ShownBefore;
    v.ShownBefore = true;
    v.MusicClock = g.Now();
  }
  v.MusicDue = true;
  ReloadCurrentProfile(g);
  BeginMenuScreen(g);
}

// The title music: on the first showing of the run once 1500 ms have passed,
// on every later one at once.
void UpkeepMenuMusic(Game& g) {
  MainMenuMemory& v = ScreensOf(g).MainMenu;
  if (!v.MusicDue) return;
  if (v.FirstShowing && TicksSince(g.Now(), v.MusicClock) < kFirstMusicDelayMs) return;
  v.MusicDue = false;
  PlayMusic(g.audio, 1, MusicLoopsInState(gsMainMenu));
}

void MainMenuFrame(TForm1& form) {
  Game& g = form.game();
  ClearMenuFrame(g);
  DrawMenuBackdrop(g);
  WidgetContext ctx = MenuWidgetContext(g);
  DrawImageButtons(g.widgets, ctx);
  if (!ScreensOf(g).MainMenu.SaveLine.empty()) {
    SelectFont(g.fonts, "eras10boldV.bmp", ScreensOf(g).MainMenu.HasContinue ? 2 : 1);
    DrawTextCentred(g.fonts, g.backSurface, kSaveLineY, ScreensOf(g).MainMenu.SaveLine);
  }
  DrawMenuFooter(g);
  FinishMenuFrame(g);
  UpkeepMenuMusic(g);
  // Attract mode: the built-in demo after 30 s without input.
  MaybeStartAttractDemo(form);
  if (form.frame().GameState != gsMainMenu) return;
  int item = g.widgets.ClickedImageButton;
  g.widgets.ClickedImageButton = 0;
  if (ScreensOf(g).MainMenu.HasContinue && item != 0) {
    if (item == 1) {
      ContinueSavedGame(form);
      return;
    }
    --item;
  }
  switch (item) {
    case 1:
      if (ScreensOf(g).MainMenu.HasContinue) {
        form.SetGameState(gsConfirmNewGame);
        break;
      }
      g.values.NewGameStarted = true;
      form.SetGameState(gsPrepareScenario);
      break;
    case 2:
      g.values.OptionsReturnState = gsMainMenu;
      form.SetGameState(gsOptions);
      break;
    case 3: form.SetGameState(gsHelp); break;
    case 4: form.SetGameState(gsEditor); break;
    case 5: form.SetGameState(gsConfirmExit); break;
    default: break;
  }
}

void MainMenuKeyDown(TForm1& form, const KeyEvent& key) {
  Game& g = form.game();
  if (key.repeat) return;
  if (key.vk == '4' && key.shift == kShiftBit && g.startUp.EasterEggDay) {
    form.SetGameState(gsEasterEgg);
  } else if (key.vk == vk::Escape && key.shift == 0) {
    form.SetGameState(gsConfirmExit);
  } else if (key.vk == vk::F1) {
    form.SetGameState(gsHelp);
  }
}

// --- gsConfirmExit ------------------------------------------------------------

constexpr int kExitYes = 1;
constexpr int kExitNo = 2;

void ConfirmExitEnter(TForm1& form) {
  Game& g = form.game();
  AddButton(g.widgets, g.systemText, 220, 230, "Yes", 'Y');
  AddButton(g.widgets, g.systemText, 380, 230, "No", 'N');
  FocusButton(g, kExitNo);
  BeginMenuScreen(g);
}

// A question over the menu's backdrop: its line, an optional note below it,
// the answer buttons and the footer.
void DrawMenuQuestion(Game& g, const std::string& question, const std::string& note = "") {
  ClearMenuFrame(g);
  DrawMenuBackdrop(g);
  SelectFont(g.fonts, kFaceEras14, 2);
  DrawTextKeyedCentred(g.fonts, g.backSurface, 190, question);
  if (!note.empty()) {
    SelectFont(g.fonts, "eras10boldV.bmp", 2);
    DrawTextCentred(g.fonts, g.backSurface, 215, note);
  }
  WidgetContext ctx = MenuWidgetContext(g);
  DrawButtons(g.widgets, ctx);
  DrawMenuFooter(g);
  FinishMenuFrame(g);
}

void ConfirmExitFrame(TForm1& form) {
  Game& g = form.game();
  DrawMenuQuestion(g, "Exit Gravik 2?");
  switch (TakeClickedButton(g)) {
    case kExitYes: form.FormClose(); break;
    case kExitNo: form.SetGameState(gsMainMenu); break;
    default: break;
  }
}

void ConfirmExitKeyDown(TForm1& form, const KeyEvent& key) {
  if (key.repeat) return;
  if (key.vk == vk::Escape && key.shift == 0) form.SetGameState(gsMainMenu);
}

// --- gsConfirmNewGame -----------------------------------------------------------

constexpr int kNewGameKeep = 1;
constexpr int kNewGameStart = 2;

void ConfirmNewGameEnter(TForm1& form) {
  Game& g = form.game();
  AddButton(g.widgets, g.systemText, 170, 250, "Keep saved game", 'K');
  AddButton(g.widgets, g.systemText, 390, 250, "New game", 'N');
  FocusButton(g, kNewGameKeep);
  BeginMenuScreen(g);
}

void ConfirmNewGameFrame(TForm1& form) {
  Game& g = form.game();
  DrawMenuQuestion(g, "Start a new game?", "The saved game will be lost.");
  switch (TakeClickedButton(g)) {
    case kNewGameKeep: form.SetGameState(gsMainMenu); break;
    case kNewGameStart:
      RemoveSavedGame(g);
      g.values.NewGameStarted = true;
      form.SetGameState(gsPrepareScenario);
      break;
    default: break;
  }
}

// Escape keeps the saved game.
void ConfirmNewGameKeyDown(TForm1& form, const KeyEvent& key) {
  if (key.repeat) return;
  if (key.vk == vk::Escape && key.shift == 0) form.SetGameState(gsMainMenu);
}

// Centred on x = cx in the selected font.
void DrawTextCentredAt(Game& g, int cx, int y, const std::string& text) {
  DrawText(g.fonts, g.backSurface, cx - TextWidth(g.fonts, text) / 2, y, text);
}

}  // namespace

uint8_t BackdropBlock(const Game& g, char cell) {
  const NamedBlocks& n = g.world.Named;
  switch (cell) {
    case 'B': return n.Brick;
    case 'R': return g.startUp.EasterEggDay ? n.PlayerStL : n.PlayerStR;
    case 'D': return 2;
    case 'E': return 19;
    case 'O': return 24;
    case 'e': return 18;
    case '\xA3': return 20;
    case '*': return n.Rock1;
    case 'C': return n.Cage;
    case 'M': return n.Egg;
    case 'S': return n.Safe;
    case 'X': return n.Skull1;
    case 's': return n.Spirit1;
    default: return 0;
  }
}

void BuildMenuBackdrop(Game& g) {
  Bitmap picture(kBackdropPictureWidth, kBackdropPictureHeight, 0);
  for (int row = 0; row < kBackdropRows; ++row)
    for (int col = 0; col < kBackdropColumns; ++col) {
      const uint8_t code = BackdropBlock(g, kBackdropLayout[size_t(row)][col]);
      if (code == 0) continue;
      // The player's pictures stand on magenta, which is their key colour.
      Draw(picture, col * kBlockSide, kBackdropTop + row * kBlockSide, MenuBlock(g, code), true, kMagenta565);
    }
  DarkenPicture(picture.Data(), picture.Pixels().size());
  ImageEntry& e = g.images.ReplaceImage("backdrop");
  e.Transparent = true;
  e.TransparentColor = 0;
  e.Picture.SetSize(kBackdropWidth, kBackdropHeight, 0);
  Draw(e.Picture, -10, 0, picture);
  RebuildSurfaces(e);
  ScreensOf(g).MainMenu.BackdropBuilt = true;
}

void DrawMenuBackdrop(Game& g) {
  if (const ImageEntry* e = g.images.TryFindImage("backdrop")) DrawPattern(*e, g.backSurface, 10, 140, 0);
  if (const ImageEntry* e = g.images.TryFindImage("Title")) DrawPattern(*e, g.backSurface, 20, 6, 0);
}

std::array<int32_t, 5> FooterTotals(const Game& g) {
  const std::array<int32_t, 5> t = CurrentScenarioTotals(*g.profile.Record);
  return {t[TotalDiamonds], t[TotalEarth], t[TotalMonsters], t[TotalTransporters], t[TotalPuzzlePieces]};
}

void DrawMenuFooter(Game& g) {
  SelectFont(g.fonts, kFaceEras10, 2);
  DrawText(g.fonts, g.backSurface, 22, 455, "PROFILE:");
  SelectFont(g.fonts, kFaceEras10, 3);
  DrawText(g.fonts, g.backSurface, 95, 455, g.profile.CurrentName);
  const NamedBlocks& n = g.world.Named;
  const std::array<uint8_t, 5> blocks = {n.Diamond, n.Earth1, n.Monster1, n.Transport1, n.Puzzle};
  const std::array<int32_t, 5> totals = FooterTotals(g);
  SelectFont(g.fonts, kFaceEras10, 2);
  for (size_t i = 0; i < blocks.size(); ++i) {
    const int x = 277 + 64 * int(i);
    const Bitmap& picture = MenuBlock(g, blocks[i]);
    StretchBlit(g.backSurface, Bounds(x, 423, 32, 32), picture, picture.Rect());
    DrawTextCentredAt(g, x + 16, 458, std::to_string(totals[i]));
  }
}

ScreenUnit MainMenuUnit() { return {MainMenuEnter, MainMenuFrame, MainMenuKeyDown, NoKeyPress, MenuMouse}; }
ScreenUnit ConfirmExitUnit() { return {ConfirmExitEnter, ConfirmExitFrame, ConfirmExitKeyDown, NoKeyPress, MenuMouse}; }
ScreenUnit ConfirmNewGameUnit() {
  return {ConfirmNewGameEnter, ConfirmNewGameFrame, ConfirmNewGameKeyDown, NoKeyPress, MenuMouse};
}

}  // namespace gravik

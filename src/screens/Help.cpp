#include "screens/Help.h"

#include <algorithm>
#include <array>

#include "audio/Audio.h"
#include "base/Errors.h"
#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "frame/Keys.h"
#include "gfx/Bmp.h"
#include "platform/Clock.h"
#include "render/LevelGraphics.h"
#include "screens/MenuFrame.h"
#include "world/Blocks.h"
#include "screens/ScreenMemory.h"

namespace gravik {

namespace {

constexpr int kHelpTextItems = 5;
constexpr int kHelpPictures = 8;
constexpr uint16_t kMagenta565 = Rgb565(255, 0, 255);

// Help buttons, in the order they are created.
constexpr int kHelpOk = 1, kHelpPrevious = 2, kHelpNext = 3;

// Page 4's window onto the credits picture, and its speed.
constexpr int kCreditsWindowX = 110, kCreditsWindowY = 192, kCreditsWindowHeight = 248;
constexpr double kHelpCreditsSpeed = 0.03;  // pixels per millisecond
constexpr uint32_t kHelpCreditsHoldMs = 2000;  // the first lines stand still this long

// The dated credits screen scrolls as the completion screen does.
constexpr int kEggWindowX = 64, kEggWindowWidth = 512, kEggWindowHeight = 450;
constexpr double kEggSpeed = 0.02;

std::vector<uint8_t> TakeArchiveItem(Game& g, const std::string& name) {
  return g.archive->ReadItem(name);
}

void LoadPicture(Game& g, const std::string& item, const std::string& entryName) {
  const std::vector<uint8_t> bytes = TakeArchiveItem(g, item);
  Bitmap picture;
  std::string error;
  if (!LoadBmp(bytes, picture, &error)) throw FatalMessage(item + " is damaged (" + error + ").");
  ImageEntry* e = g.images.TryFindImage(entryName);
  if (!e) e = &g.images.AddImage(entryName);
  e->Picture = std::move(picture);
  e->Transparent = true;
  e->TransparentColor = 0;
  RebuildSurfaces(*e);
}

// --- Pages 1 and 2: the cast ---------------------------------------------------

struct CastMember {
  const char* Name;
  const char* Block;  // the catalogue name of its picture
};
constexpr std::array<std::array<CastMember, 8>, 2> kCast = {{
    {{{"Gravik", "PLAYERST"},
      {"Diamond", "DIAMOND"},
      {"Egg", "EGG"},
      {"Monster", "MONSTER1"},
      {"Rock", "ROCK"},
      {"Key", "KEY"},
      {"Safe", "SAFE"},
      {"Earth", "EARTH1"}}},
    {{{"Gravik", "PLAYERSTR"},
      {"Spirit", "SPIRIT1"},
      {"Cage", "CAGE"},
      {"Skull", "SKULL1"},
      {"Puzzle Piece", "PUZZLE"},
      {"Transporter", "TRANSPORT1"},
      {"Starport", "METEOR"},
      {"Savepoint", "SAVE"}}},
}};

// Two columns of four: the picture, the name and the text wrapped beside it.
constexpr int kCastTop = 8, kCastPitch = 107, kCastColumnWidth = 320;
constexpr int kCastTextX = 84, kCastTextWidth = 226, kCastTextLines = 5;

void DrawCastPage(Game& g, int page) {
  const std::vector<std::string> paragraphs = Paragraphs(g.helpPages[size_t(page - 1)]);
  const int set = CurrentLevelLook(g.scenario, g.world).BlockSet;
  for (size_t i = 0; i < kCast[size_t(page - 1)].size(); ++i) {
    const CastMember& m = kCast[size_t(page - 1)][i];
    const int x = 8 + int(i / 4) * kCastColumnWidth, y = kCastTop + int(i % 4) * kCastPitch;
    const uint8_t code = FindBlock(g.world.Catalogue, m.Block);
    if (code != BlockEmpty) Draw(g.backSurface, x + 6, y + 6, BlockBitmap(g.gfx, code, set, 1), true, kMagenta565);
    g.backSurface.FrameRect(Bounds(x + 4, y + 4, kBlockSide + 4, kBlockSide + 4), Rgb565(70, 70, 96));
    SelectFont(g.fonts, kFaceEras14, 3);
    DrawText(g.fonts, g.backSurface, x + kCastTextX, y + 2, m.Name);
    SelectFont(g.fonts, kFaceEras10, 2);
    const std::string text = i < paragraphs.size() ? paragraphs[i] : std::string();
    int ty = y + 24;
    for (const std::string& line : WrapText(g.fonts, text, kCastTextWidth, kCastTextLines)) {
      DrawText(g.fonts, g.backSurface, x + kCastTextX, ty, line);
      ty += 16;
    }
  }
}

// --- Page 3: the keys and the scoring ------------------------------------------

constexpr std::array<const char*, 5> kMoveLines = {"Move Gravik around by", "using the arrow keys", "or a joystick:",
                                                   "(You can also select", "different control keys)"};
constexpr std::array<const char*, 6> kKeyCaptions = {"View map",
                                                     "Lose a life (if Gravik gets trapped)",
                                                     "Access help information",
                                                     "Pause on / off",
                                                     "Full-screen / windowed display",
                                                     "Information panel on / off"};
constexpr std::array<const char*, 3> kScoringLines = {"1, 2 or 3 points for an earth section",
                                                      "5 points for each diamond", "10 points for each puzzle piece"};

void DrawPictureCentredAt(Game& g, const std::string& entry, int cx, int y) {
  if (const ImageEntry* e = g.images.TryFindImage(entry)) DrawPattern(*e, g.backSurface, cx - ImageWidth(*e) / 2, y, 0);
}

void DrawKeysPage(Game& g) {
  DrawPictureCentredAt(g, "Helpbitmap1", 150, 14);
  SelectFont(g.fonts, kFaceEras14, 2);
  for (size_t i = 0; i < kMoveLines.size(); ++i) DrawText(g.fonts, g.backSurface, 250, 4 + 20 * int(i), kMoveLines[i]);
  for (size_t i = 0; i < kKeyCaptions.size(); ++i) {
    const int y = 112 + 40 * int(i);
    DrawPictureCentredAt(g, "Helpbitmap" + std::to_string(i + 3), 150, y);
    DrawText(g.fonts, g.backSurface, 210, y + 9, kKeyCaptions[i]);
  }
  SelectFont(g.fonts, kFaceEras14, 3);
  DrawTextCentred(g.fonts, g.backSurface, 358, "SCORING");
  SelectFont(g.fonts, "eras12boldV.bmp", 2);
  for (size_t i = 0; i < kScoringLines.size(); ++i)
    DrawTextCentred(g.fonts, g.backSurface, 382 + 19 * int(i), kScoringLines[i]);
}

// --- Page 4: the credits -------------------------------------------------------

// Rows [offset, offset + height) of `picture` at (x, y); rows outside it stay black.
void DrawScrollWindow(Bitmap& surface, const Bitmap& picture, int x, int y, int width, int height, int offset) {
  const int top = std::max(offset, 0);
  const int bottom = std::min(offset + height, picture.Height());
  if (bottom <= top) return;
  Blit(surface, x, y + (top - offset), picture, TRect{0, top, std::min(width, picture.Width()), bottom});
}

const char kHelpCreditsEntry[] = "HelpCredits";

// The credits picture of page 4, laid out once per run.
const ImageEntry& HelpCreditsPicture(Game& g) {
  if (const ImageEntry* e = g.images.TryFindImage(kHelpCreditsEntry)) return *e;
  ImageEntry& e = g.images.AddImage(kHelpCreditsEntry);
  e.Transparent = false;
  e.Picture = LayOutCredits(g.fonts, g.creditsText, kCreditsWidth, kCreditsHeight);
  RebuildSurfaces(e);
  return e;
}

int CreditsContent(const Game& g, int pictureHeight) {
  return std::min(int(g.creditsText.size()) * kCreditsLinePitch, pictureHeight);
}

void DrawCreditsPage(Game& g) {
  if (const ImageEntry* e = g.images.TryFindImage("Title")) DrawPattern(*e, g.backSurface, 20, 6, 0);
  SelectFont(g.fonts, kFaceEras16, 3);
  DrawTextCentred(g.fonts, g.backSurface, 138, "CREDITS");
  SelectFont(g.fonts, kFaceEras10, 0);
  DrawTextCentred(g.fonts, g.backSurface, 164, "v1.3");
  const ImageEntry& credits = HelpCreditsPicture(g);
  const uint32_t shown = TicksSince(g.Now(), ScreensOf(g).Help.CreditsScrollStart);
  const int offset = CreditsScrollOffset(shown > kHelpCreditsHoldMs ? shown - kHelpCreditsHoldMs : 0, kHelpCreditsSpeed,
                                         CreditsContent(g, credits.Picture.Height()), kCreditsWindowHeight);
  DrawScrollWindow(g.backSurface, credits.Picture, kCreditsWindowX, kCreditsWindowY, kCreditsWidth,
                   kCreditsWindowHeight, offset);
}

void ShowHelpPage(Game& g, int page) {
  ScreensOf(g).Help.Page = std::clamp(page, 1, kHelpPages);
  if (ScreensOf(g).Help.Page == kHelpPages) ScreensOf(g).Help.CreditsScrollStart = g.Now();
}

void HelpEnter(TForm1& form) {
  Game& g = form.game();
  AddButton(g.widgets, g.systemText, 450, 450, "OK", 'O');
  AddButton(g.widgets, g.systemText, 100, 450, "Previous", 'P');
  AddButton(g.widgets, g.systemText, 250, 450, "Next", 'N');
  FocusButton(g, kHelpNext);
  ShowHelpPage(g, 1);
  g.world.CurrentLevel = 1;  // the cast is pictured in level 1's blocks
  HelpCreditsPicture(g);
  BeginMenuScreen(g);
  NoteJoystickAtEntry(g);
}

void HelpFrame(TForm1& form) {
  Game& g = form.game();
  ClearMenuFrame(g);
  switch (ScreensOf(g).Help.Page) {
    case 1:
    case 2: DrawCastPage(g, ScreensOf(g).Help.Page); break;
    case 3: DrawKeysPage(g); break;
    default: DrawCreditsPage(g); break;
  }
  WidgetContext ctx = MenuWidgetContext(g);
  DrawButtons(g.widgets, ctx);
  FinishMenuFrame(g);
  const int page = ScreensOf(g).Help.Page;
  int button = TakeClickedButton(g);
  if (!button && (NewJoystickButtons(g) & kPadStart)) button = kHelpOk;  // the pad's Start is OK
  switch (button) {
    case kHelpOk: form.SetGameState(gsMainMenu); break;
    case kHelpPrevious:
      if (page > 1) ShowHelpPage(g, page - 1);
      break;
    case kHelpNext:
      if (page < kHelpPages) ShowHelpPage(g, page + 1);
      // The last page reached, Enter leaves.
      if (ScreensOf(g).Help.Page == kHelpPages) FocusButton(g, kHelpOk);
      break;
    default: break;
  }
}

// Escape leaves; the left and right arrows turn the pages as Previous and Next do.
void HelpKeyDown(TForm1& form, const KeyEvent& key) {
  Game& g = form.game();
  if (key.shift != 0) return;
  if (key.vk == vk::Escape && !key.repeat) {
    form.SetGameState(gsMainMenu);
  } else if (key.vk == vk::Left || key.vk == vk::Right) {
    TakeKey(g);
    const int button = key.vk == vk::Left ? kHelpPrevious : kHelpNext;
    FocusButton(g, button);
    PressButton(g, button);
  }
}

// --- gsEasterEgg ------------------------------------------------------------------

const char kEggEntry[] = "EggCredits";

// The credit logo, a rule, the credits lines, a rule; then a window's height
// of black, so that the last line leaves the window before the scroll restarts.
void BuildEggPicture(Game& g) {
  const ImageEntry* logo = g.images.TryFindImage("CreditLogo");
  const ImageEntry* rule = g.images.TryFindImage("CreditLine");
  const int logoHeight = logo ? ImageHeight(*logo) : 0, ruleHeight = rule ? ImageHeight(*rule) : 0;
  const int textTop = 10 + logoHeight + 10 + ruleHeight + 18;
  const int textHeight = int(g.creditsText.size()) * kCreditsLinePitch;
  const int height = textTop + textHeight + 10 + ruleHeight + kEggWindowHeight;
  ImageEntry& e = g.images.ReplaceImage(kEggEntry);
  e.Transparent = false;
  e.Picture.SetSize(kEggWindowWidth, height, 0);
  auto centred = [&](const ImageEntry* p, int y) {
    if (p) DrawPattern(*p, e.Picture, (kEggWindowWidth - ImageWidth(*p)) / 2, y, 0);
  };
  centred(logo, 10);
  centred(rule, 10 + logoHeight + 10);
  Draw(e.Picture, 0, textTop, LayOutCredits(g.fonts, g.creditsText, kEggWindowWidth, textHeight));
  centred(rule, textTop + textHeight + 10);
  RebuildSurfaces(e);
}

void EasterEggEnter(TForm1& form) {
  Game& g = form.game();
  if (!g.startUp.EasterEggDay) {
    form.SetGameState(gsMainMenu);
    return;
  }
  AddCentredButton(g.widgets, g.systemText, 453, "OK", 'O');
  BuildEggPicture(g);
  ScreensOf(g).Help.EasterEggScroll = 0;
  ScreensOf(g).Help.EasterEggTick = g.Now();
  PlayMusic(g.audio, 1, MusicLoopsInState(gsEasterEgg));
  BeginMenuScreen(g);
}

void EasterEggFrame(TForm1& form) {
  Game& g = form.game();
  HelpMemory& v = ScreensOf(g).Help;
  ClearMenuFrame(g);
  const ImageEntry& e = g.images.FindImage(kEggEntry);
  const uint32_t now = g.Now();
  v.EasterEggScroll += kEggSpeed * double(std::max<uint32_t>(1, TicksSince(now, v.EasterEggTick)));
  v.EasterEggTick = now;
  if (v.EasterEggScroll >= e.Picture.Height()) v.EasterEggScroll = 0;
  DrawScrollWindow(g.backSurface, e.Picture, kEggWindowX, 0, kEggWindowWidth, kEggWindowHeight,
                   int(v.EasterEggScroll));
  WidgetContext ctx = MenuWidgetContext(g);
  DrawButtons(g.widgets, ctx);
  FinishMenuFrame(g);
  if (TakeClickedButton(g) == 1) form.SetGameState(gsMainMenu);
}

void EasterEggKeyDown(TForm1& form, const KeyEvent& key) {
  if (key.repeat) return;
  if (key.vk == vk::Escape && key.shift == 0) form.SetGameState(gsMainMenu);
}

}  // namespace

std::vector<std::string> SplitTextLines(const std::vector<uint8_t>& bytes) {
  std::vector<std::string> lines(1);
  for (uint8_t b : bytes) {
    if (b == '\n') {
      if (!lines.back().empty() && lines.back().back() == '\r') lines.back().pop_back();
      lines.emplace_back();
    } else {
      lines.back().push_back(char(b));
    }
  }
  if (!lines.back().empty() && lines.back().back() == '\r') lines.back().pop_back();
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

void LoadHelpPages(Game& g) {
  for (int n = 1; n <= kHelpTextItems; ++n)
    g.helpPages[size_t(n - 1)] = SplitTextLines(TakeArchiveItem(g, "helppage" + std::to_string(n) + ".txt"));
  g.creditsText = SplitTextLines(TakeArchiveItem(g, "kvelauthor.txt"));
  for (int n = 1; n <= kHelpPictures; ++n)
    LoadPicture(g, "gamehelpbitmap" + std::to_string(n) + ".bmp", "Helpbitmap" + std::to_string(n));
  LoadPicture(g, "fullcreditlogo.bmp", "CreditLogo");
  LoadPicture(g, "fullcreditline.bmp", "CreditLine");
}

CreditLine StyleCreditLine(const std::string& line) {
  struct Marker {
    char Mark;
    const char* Face;
    int Colour;
  };
  static constexpr Marker kMarkers[] = {{'@', kFaceEras14, 1}, {'%', kFaceEras10, 2}, {'*', kFaceEras10, 5}};
  for (const Marker& m : kMarkers) {
    if (line.find(m.Mark) == std::string::npos) continue;
    std::string text = line;
    std::erase(text, m.Mark);
    return {m.Face, m.Colour, text};
  }
  return {kFaceEras14, 2, line};
}

Bitmap LayOutCredits(FontSet& fonts, const std::vector<std::string>& lines, int width, int height) {
  Bitmap picture(width, height, 0);
  int y = 0;
  for (const std::string& line : lines) {
    if (y >= height) break;
    const CreditLine c = StyleCreditLine(line);
    SelectFont(fonts, c.Face, c.Colour);
    DrawTextInto(fonts, picture, width / 2 - TextWidth(fonts, c.Text) / 2, y, c.Text);
    y += kCreditsLinePitch;
  }
  return picture;
}

std::vector<std::string> Paragraphs(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  bool open = false;
  for (const std::string& line : lines) {
    const bool blank = line.find_first_not_of(' ') == std::string::npos;
    if (blank) {
      open = false;
      continue;
    }
    if (!open) out.emplace_back();
    else out.back() += ' ';
    out.back() += line.substr(line.find_first_not_of(' '));
    open = true;
  }
  return out;
}

std::vector<std::string> WrapText(const FontSet& fonts, const std::string& text, int width, size_t maxLines) {
  std::vector<std::string> lines;
  std::string line;
  size_t i = 0;
  while (i < text.size()) {
    const size_t start = text.find_first_not_of(' ', i);
    if (start == std::string::npos) break;
    const size_t end = std::min(text.find(' ', start), text.size());
    const std::string word = text.substr(start, end - start);
    i = end;
    const std::string joined = line.empty() ? word : line + " " + word;
    if (line.empty() || TextWidth(fonts, joined) <= width) {
      line = joined;
      continue;
    }
    lines.push_back(line);
    if (lines.size() == maxLines) return lines;
    line = word;
  }
  if (!line.empty() && lines.size() < maxLines) lines.push_back(line);
  return lines;
}

int CreditsScrollOffset(uint32_t elapsedMs, double pixelsPerMs, int contentHeight, int windowHeight) {
  const int pos = int(double(elapsedMs) * pixelsPerMs);
  if (contentHeight <= 0 || pos < contentHeight) return pos;
  const int round = contentHeight + windowHeight;
  return (pos - contentHeight) % round - windowHeight;
}

ScreenUnit HelpUnit() { return {HelpEnter, HelpFrame, HelpKeyDown, NoKeyPress, MenuMouse}; }
ScreenUnit EasterEggUnit() { return {EasterEggEnter, EasterEggFrame, EasterEggKeyDown, NoKeyPress, MenuMouse}; }

}  // namespace gravik

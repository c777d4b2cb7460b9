#include "screens/Editor.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "audio/Audio.h"
#include "base/Text.h"
#include "data/ScenarioRules.h"
#include "editor/Document.h"
#include "editor/Palette.h"
#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "frame/MenuFocus.h"
#include "frame/PlayerData.h"
#include "gfx/Bmp.h"
#include "gfx/Fonts.h"
#include "input/Input.h"
#include "platform/Folders.h"
#include "platform/KeyState.h"
#include "render/LevelGraphics.h"
#include "screens/MainMenu.h"
#include "screens/MenuFrame.h"
#include "world/Blocks.h"

namespace gravik {

namespace {

constexpr int kZooms[] = {64, 32, 16};
constexpr int kPaletteWidth = kEditorPaletteColumns * kEditorPalettePitch;
constexpr int kPaletteInfoTop = kEditorPaletteTop + kEditorPaletteRows * kEditorPalettePitch + 2;
constexpr int kButtonRow = 434, kStatusRow = 462;
constexpr uint32_t kPadFirstRepeatMs = 300, kPadRepeatMs = 110;
constexpr uint32_t kMessageMs = 4000;
constexpr const char* kTrialFileName = "gravik-editor-trial.zq";
constexpr int kLevelSettingsTop = 236;

constexpr uint16_t kOutsideColour = Rgb565(24, 24, 32);
constexpr uint16_t kCursorColour = Rgb565(255, 230, 0);
constexpr uint16_t kHoverColour = Rgb565(255, 255, 255);
constexpr uint16_t kFaultColour = Rgb565(255, 40, 40);
constexpr uint16_t kLinkColour = Rgb565(0, 230, 255);
constexpr uint16_t kArrivalColour = Rgb565(80, 255, 120);
constexpr uint16_t kFillColour = Rgb565(255, 150, 0);
constexpr uint16_t kPanelColour = Rgb565(16, 20, 40);
constexpr uint16_t kSelectedColour = Rgb565(255, 200, 0);
constexpr uint16_t kMagentaKey = Rgb565(255, 0, 255);
constexpr uint16_t kGridColour = Rgb565(70, 70, 96);

enum class Page { Level, Scenario, ConfirmLeave, Open };

// Which text the keys are typing into.
enum class Field { None, Name, Author, Note };

// Buttons of the level page, in the order they are added.
enum LevelButton { kSave = 1, kUndo, kRedo, kTry, kPrevLevel, kNextLevel, kZoom, kScenarioPage, kExit };
// Buttons of the scenario page.
enum ScenarioButton {
  kScName = 1, kScAuthor, kScPuzzle, kScAddNote, kScWidthLess, kScWidthMore, kScHeightLess, kScHeightMore,
  kScBlockSet, kScSpace, kScMap, kScMeteors, kScBorder, kScCopy, kScPaste, kScClear, kScEditLevel, kScSave, kScBack,
  kScOpen
};
// Buttons of the page that opens a scenario file.
enum OpenButton { kOpenFile = 1, kOpenNew, kOpenCancel };
// Buttons of the question before leaving.
enum LeaveButton { kLeaveSave = 1, kLeaveDiscard, kLeaveCancel };

// The blocks a level's border may be made of, in the order a click steps through.
const char* const kBorders[] = {"BRICK", "STEEL", "STONE", "GLASS", "EARTH1", "FOG"};

struct EditorScreen {
  std::unique_ptr<EditorDocument> Doc;
  std::string SavePath;  // where Save writes a scenario not yet saved
  std::vector<PaletteEntry> Palette;
  Page Shown = Page::Level;
  int Level = 1;
  int Zoom = 1;  // index into kZooms
  int ViewX = 0, ViewY = 0;  // cell at the map's top left (0 = the border ring)
  int CursorX = 1, CursorY = 1;
  int Group = 0;
  int Scroll = 0;     // palette rows scrolled
  int Selected = 0;   // palette index
  int Style = 1;      // graphics style the level is drawn in
  int16_t PieceParam = (1 << 5) | 1;
  int16_t GateBits = 1;
  int LinkLevel = 1, LinkX = 1, LinkY = 1;  // where new transporters lead
  bool Linking = false;
  int LinkFromLevel = 0, LinkFromX = 0, LinkFromY = 0;
  bool Filling = false;  // a rectangle's first corner is set
  int FillLevel = 0, FillX = 0, FillY = 0;
  bool LeftDown = false, MouseFill = false;
  int LastPaintX = 0, LastPaintY = 0;
  int Clipboard = 0;  // level copied on the scenario page
  Field Editing = Field::None;
  int EditingNote = 0;
  std::string EditText;
  std::string Message;
  uint32_t MessageTick = 0;
  std::vector<ScenarioFault> Faults;
  int FaultShown = 0;  // the fault the status line shows (N steps through them)
  uint8_t PadLast = 0, PadButtons = 0;
  uint32_t PadTick = 0;
  bool PadRepeating = false;
  bool Trial = false;
  bool DropArmed = false;             // a second press drops unsaved changes
  std::vector<std::string> OpenFiles;  // the Open page's files, as listed
  std::string TrialFile, ReturnFileName;
  // The block pictures at each zoom for one block set and style.
  int CacheSet = 0, CacheStyle = 0;
  std::array<std::array<Bitmap, NamedBlockLimit + 1>, 3> Pictures;
  std::array<Bitmap, NamedBlockLimit + 1> Small;  // palette size
  Bitmap DefaultPuzzle;  // the archive's puzzle picture, read on first use
  bool HelpShown = false;
};

int ZoomOf(const EditorScreen& e) { return kZooms[e.Zoom]; }
int VisibleColumns(const EditorScreen& e) { return (kEditorMapWidth + ZoomOf(e) - 1) / ZoomOf(e); }
int VisibleRows(const EditorScreen& e) { return (kEditorMapHeight + ZoomOf(e) - 1) / ZoomOf(e); }

void Say(Game& g, EditorScreen& e, std::string text) {
  e.Message = std::move(text);
  e.MessageTick = g.Now();
}

ScenarioBlocks BlocksOf(const BlockCatalogue& cat) {
  return ResolveScenarioBlocks([&cat](std::string_view name) {
    const uint8_t c = FindBlock(cat, std::string(name));
    return c == 1 && name != "EMPTY" ? 0 : int(c);
  });
}

// --- pictures ----------------------------------------------------------------------

Bitmap Scaled(const Bitmap& src, int side) {
  Bitmap out(side, side, 0);
  StretchBlit(out, Bounds(0, 0, side, side), src, src.Rect());
  return out;
}

void EnsurePictures(Game& g, EditorScreen& e, int set) {
  if (e.CacheSet == set && e.CacheStyle == e.Style) return;
  e.CacheSet = set;
  e.CacheStyle = e.Style;
  for (int code = 1; code <= NamedBlockLimit; ++code) {
    const Bitmap big = BlockBitmap(g.gfx, code, set, e.Style);
    e.Pictures[0][size_t(code)] = big;
    e.Pictures[1][size_t(code)] = Scaled(big, 32);
    e.Pictures[2][size_t(code)] = Scaled(big, 16);
    e.Small[size_t(code)] = Scaled(big, 32);
  }
}

// A block picture at (x, y), on the empty floor when its own free space is keyed.
void DrawBlock(const std::array<Bitmap, NamedBlockLimit + 1>& pics, Bitmap& surface, int x, int y, int picture) {
  if (picture < 1 || picture > NamedBlockLimit) return;
  const Bitmap& floor = pics[1];
  const Bitmap& p = pics[size_t(picture)];
  if (picture != 1) Draw(surface, x, y, floor);
  Draw(surface, x, y, p, picture != 1, picture != 1 && p.Pixel(0, 0) == kMagentaKey ? kMagentaKey : 0);
}

// --- the document ----------------------------------------------------------------

std::string FileNameFor(const std::string& name) {
  std::string out;
  for (char c : name) {
    if (std::isalnum(uint8_t(c))) out += char(std::tolower(uint8_t(c)));
    else if ((c == ' ' || c == '-' || c == '_') && !out.empty() && out.back() != '-') out += '-';
  }
  while (!out.empty() && out.back() == '-') out.pop_back();
  if (out.empty()) out = "scenario";
  return out + ".zq";
}

// The path a new scenario is saved under: its name in the Scenarios folder,
// never the built-in scenario's and never another scenario's file.
std::string NewScenarioPath(Game& g, const EditorScreen& e) {
  if (!e.SavePath.empty()) return e.SavePath;
  const std::string base = FileNameFor(e.Doc->scenario().Info.Name.Str());
  const std::string stem = base.substr(0, base.size() - 3);
  for (int n = 1;; ++n) {
    const std::string name = n == 1 ? base : stem + "-" + std::to_string(n) + ".zq";
    if (SameText(name, BuiltInScenarioName)) continue;
    if (!FileExists(g.folders.Scenarios + name)) return g.folders.Scenarios + name;
  }
}

void RefreshFaults(EditorScreen& e) { e.Faults = e.Doc->Check(); }

bool SaveDocument(Game& g, EditorScreen& e) {
  const std::string path = e.Doc->Path().empty() ? NewScenarioPath(g, e) : e.Doc->Path();
  CreateDirectories(ExtractFileDir(path));
  std::string error;
  RefreshFaults(e);
  if (!e.Doc->Save(path, &error)) {
    Say(g, e, error);
    return false;
  }
  e.SavePath.clear();
  // The scenarios screen lists the file from now on.
  if (g.archive) g.scenarios = BuildScenarioList(*g.archive, g.folders.Scenarios);
  Say(g, e, "Saved " + ExtractFileName(path) +
                (e.Faults.empty() ? "." : " with " + std::to_string(e.Faults.size()) + " fault(s) still to mend."));
  return true;
}

// Opens --edit's file: a path, or a name in the Scenarios folder (".zq" added).
void OpenStartFile(Game& g, EditorScreen& e, std::string file) {
  if (file.find('/') == std::string::npos) file = g.folders.Scenarios + file;
  if (ExtractFileName(file).find('.') == std::string::npos) file += ".zq";
  if (SameText(ExtractFileName(file), BuiltInScenarioName)) {
    Say(g, e, "The built-in scenario is not edited here; this is a new scenario.");
    return;
  }
  if (!FileExists(file)) {
    e.SavePath = file;
    Say(g, e, "A new scenario, to be saved as " + ExtractFileName(file) + ".");
    return;
  }
  std::string error;
  if (!e.Doc->Load(file, &error)) {
    Say(g, e, error);
    return;
  }
  Say(g, e, "Opened " + ExtractFileName(file) + ".");
}

// --- palette -----------------------------------------------------------------------

std::vector<int> GroupEntries(const EditorScreen& e) {
  std::vector<int> out;
  for (size_t i = 0; i < e.Palette.size(); ++i)
    if (int(e.Palette[i].Group) == e.Group) out.push_back(int(i));
  return out;
}

void ChooseGroup(EditorScreen& e, int group) {
  e.Group = (group + kPaletteGroups) % kPaletteGroups;
  e.Scroll = 0;
}

// The next puzzle piece not yet placed (after `from`), in column order.
int16_t NextFreePiece(const EditorScreen& e) {
  const TScenarioExtras& x = e.Doc->scenario().Extras;
  const int cols = x.DefaultPuzzle ? 10 : x.PuzzleColumns, rows = x.DefaultPuzzle ? 4 : x.PuzzleRows;
  std::vector<bool> placed(size_t(std::max(cols, 1) * std::max(rows, 1)), false);
  for (int n = 1; n <= LevelCount; ++n)
    for (int cx = 1; cx <= LevelCells; ++cx)
      for (int cy = 1; cy <= LevelCells; ++cy) {
        const TLevelRecord& lv = e.Doc->Level(n);
        if (lv.Cell(cx, cy) != BlockPuzzlePieceCode) continue;
        const int c = PuzzlePieceColumn(lv.Param(cx, cy)), r = PuzzlePieceRow(lv.Param(cx, cy));
        if (c >= 1 && r >= 1 && c <= cols && r <= rows) placed[size_t((c - 1) * rows + (r - 1))] = true;
      }
  for (int c = 1; c <= cols; ++c)
    for (int r = 1; r <= rows; ++r)
      if (!placed[size_t((c - 1) * rows + (r - 1))]) return int16_t((c << 5) | r);
  return e.PieceParam;
}

// What painting with the selected entry puts into a cell.
CellValue Brush(const EditorScreen& e) {
  if (e.Palette.empty()) return {1, 0};
  CellValue v = e.Palette[size_t(e.Selected)].Value;
  if (v.Code == BlockTransporterCode) v.Param = EncodeTransporterParam(e.LinkLevel, e.LinkX, e.LinkY);
  if (v.Code == BlockPuzzlePieceCode) v.Param = e.PieceParam;
  if (v.Code == BlockSkullGate) v.Param = e.GateBits;
  return v;
}

// --- view ------------------------------------------------------------------------

void KeepCursorInView(EditorScreen& e) {
  const TLevelRecord& lv = e.Doc->Level(e.Level);
  e.CursorX = std::clamp(e.CursorX, 1, std::max<int>(1, lv.Width));
  e.CursorY = std::clamp(e.CursorY, 1, std::max<int>(1, lv.Height));
  const int cols = kEditorMapWidth / ZoomOf(e), rows = kEditorMapHeight / ZoomOf(e);
  if (e.CursorX < e.ViewX + 1) e.ViewX = e.CursorX - 1;
  if (e.CursorX > e.ViewX + cols - 2) e.ViewX = e.CursorX - cols + 2;
  if (e.CursorY < e.ViewY + 1) e.ViewY = e.CursorY - 1;
  if (e.CursorY > e.ViewY + rows - 2) e.ViewY = e.CursorY - rows + 2;
  e.ViewX = std::clamp(e.ViewX, 0, std::max(0, lv.Width + 2 - cols));
  e.ViewY = std::clamp(e.ViewY, 0, std::max(0, lv.Height + 2 - rows));
}

void ShowLevel(EditorScreen& e, int level) {
  e.Level = std::clamp(level, 1, LevelCount);
  e.Filling = false;
  KeepCursorInView(e);
}

// The level cell under a screen point; false outside the map or the level.
bool CellAt(const EditorScreen& e, int px, int py, int& x, int& y) {
  if (px < kEditorMapLeft || py < kEditorMapTop || px >= kEditorMapLeft + kEditorMapWidth ||
      py >= kEditorMapTop + kEditorMapHeight)
    return false;
  x = e.ViewX + (px - kEditorMapLeft) / ZoomOf(e);
  y = e.ViewY + (py - kEditorMapTop) / ZoomOf(e);
  const TLevelRecord& lv = e.Doc->Level(e.Level);
  return e.Doc->LevelMade(e.Level) && x >= 1 && y >= 1 && x <= lv.Width && y <= lv.Height;
}

int PaletteIndexAt(const EditorScreen& e, int px, int py) {
  if (px < kEditorPaletteLeft || py < kEditorPaletteTop || px >= kEditorPaletteLeft + kPaletteWidth) return -1;
  const int col = (px - kEditorPaletteLeft) / kEditorPalettePitch, row = (py - kEditorPaletteTop) / kEditorPalettePitch;
  if (row >= kEditorPaletteRows) return -1;
  const std::vector<int> entries = GroupEntries(e);
  const size_t i = size_t((row + e.Scroll) * kEditorPaletteColumns + col);
  return i < entries.size() ? entries[i] : -1;
}

// --- edits -------------------------------------------------------------------------

void PaintAt(Game& g, EditorScreen& e, int x, int y) {
  const CellValue v = Brush(e);
  if (!e.Doc->Paint(e.Level, x, y, v)) return;
  if (v.Code == BlockPuzzlePieceCode) e.PieceParam = NextFreePiece(e);
  if (v.Code == BlockTransporterCode) Say(g, e, "Transporter placed; L on it links it to its arrival cell.");
}

void PickAt(Game& g, EditorScreen& e, int x, int y) {
  const CellValue v = e.Doc->Pick(e.Level, x, y);
  for (size_t i = 0; i < e.Palette.size(); ++i)
    if (e.Palette[i].Value.Code == v.Code) {
      e.Selected = int(i);
      ChooseGroup(e, int(e.Palette[i].Group));
      break;
    }
  if (v.Code == BlockTransporterCode) {
    const TransporterDestination d = DecodeTransporterParam(v.Param);
    e.LinkLevel = d.Level, e.LinkX = d.Column, e.LinkY = d.Row;
  }
  if (v.Code == BlockPuzzlePieceCode) e.PieceParam = v.Param;
  if (v.Code == BlockSkullGate && v.Param > 0) e.GateBits = v.Param;
  Say(g, e, "Picked " + e.Palette[size_t(e.Selected)].Name + ".");
}

// L: on a transporter, starts linking it; while linking, the cell under the
// cursor (on any level) becomes its arrival cell.
void LinkKey(Game& g, EditorScreen& e, int x, int y) {
  if (!e.Linking) {
    if (e.Doc->Pick(e.Level, x, y).Code != BlockTransporterCode) {
      Say(g, e, "Put the cursor on a transporter to link it.");
      return;
    }
    e.Linking = true;
    e.LinkFromLevel = e.Level, e.LinkFromX = x, e.LinkFromY = y;
    Say(g, e, "Choose the arrival cell (Page Up/Down for other levels), then L or a click; Esc stops.");
    return;
  }
  e.Linking = false;
  if (e.Doc->LinkTransporter(e.LinkFromLevel, e.LinkFromX, e.LinkFromY, e.Level, x, y)) {
    e.LinkLevel = e.Level, e.LinkX = x, e.LinkY = y;
    Say(g, e, "The transporter leads to level " + std::to_string(e.Level) + " (" + std::to_string(x) + ", " +
                  std::to_string(y) + ").");
  }
}

void FillKey(Game& g, EditorScreen& e, int x, int y) {
  if (!e.Filling) {
    e.Filling = true;
    e.FillLevel = e.Level, e.FillX = x, e.FillY = y;
    Say(g, e, "Move to the opposite corner and press F again.");
    return;
  }
  e.Filling = false;
  if (e.FillLevel == e.Level) e.Doc->FillRect(e.Level, e.FillX, e.FillY, x, y, Brush(e));
}

// N: the next fault, its level and cell shown.
void ShowNextFault(Game& g, EditorScreen& e) {
  if (e.Faults.empty()) {
    Say(g, e, "No faults.");
    return;
  }
  e.FaultShown = (e.FaultShown + 1) % int(e.Faults.size());
  const ScenarioFault& f = e.Faults[size_t(e.FaultShown)];
  if (f.Level >= 1) ShowLevel(e, f.Level);
  if (f.Place == FaultPlace::Cell) {
    e.CursorX = f.X, e.CursorY = f.Y;
    KeepCursorInView(e);
  }
  e.MessageTick = g.Now() - kMessageMs;  // the fault, not an older message
}

// --- trying the scenario -------------------------------------------------------------

// F5: the level shown, from the player start when it is on this level, else
// from where the first transporter into it arrives. Ctrl+F5: the scenario.
void TryScenario(TForm1& form, EditorScreen& e, bool wholeScenario) {
  Game& g = form.game();
  const auto start = e.Doc->Start();
  if (!start) {
    Say(g, e, "Place the player start before trying the scenario.");
    return;
  }
  if (!e.Doc->LevelMade(e.Level) && !wholeScenario) {
    Say(g, e, "This level has no cells yet.");
    return;
  }
  const std::vector<uint8_t> bytes = e.Doc->FileBytes();
  CreateDirectories(g.folders.Temp);
  const std::string file = g.folders.Temp + kTrialFileName;
  if (!WriteWholeFileAtomic(file, bytes.data(), bytes.size())) {
    Say(g, e, "Unable to write " + file + ".");
    return;
  }
  if (!HasCurrentProfile(g)) EnsurePlayerProfile(g);
  e.Trial = true;
  e.TrialFile = file;
  e.ReturnFileName = g.scenario.FileName;
  g.options.play = true;
  g.options.playScenario = file;
  g.options.startLevel = wholeScenario || (*start)[0] == e.Level ? 0 : e.Level;
  g.options.editorTrial = true;
  g.values.NewGameStarted = true;
  form.SetGameState(gsPrepareScenario);
}

void EndTrial(Game& g, EditorScreen& e) {
  if (!e.Trial) return;
  e.Trial = false;
  if (g.options.editorTrial) EndEditorTrial(g);
  DeleteFile(e.TrialFile);
  g.scenario.FileName = e.ReturnFileName;
  StopMusic(g.audio);
}

// --- pages ---------------------------------------------------------------------------

void LeaveEditor(TForm1& form) {
  Game& g = form.game();
  form.SetGameState(HasCurrentProfile(g) ? gsMainMenu : gsEnterMenus);
}

void BuildLevelPage(Game& g) {
  ResetWidgets(g.widgets);
  // Placed by the width of the captions as the button font draws them.
  const std::pair<const char*, int> buttons[] = {{"Save", 8},  {"Undo", 80},  {"Redo", 152},
                                                 {"Try", 224}, {"<", 283},    {">", 316},
                                                 {"Zoom", 349}, {"Scenario", 421}, {"Exit", 549}};
  for (const auto& [caption, x] : buttons) AddButton(g.widgets, g.systemText, x, kButtonRow, caption, 0);
}

std::string LevelRow(const EditorScreen& e, int n) {
  const TLevelRecord& lv = e.Doc->Level(n);
  // "!" marks a level with faults.
  const bool faulty = std::any_of(e.Faults.begin(), e.Faults.end(), [n](const ScenarioFault& f) { return f.Level == n; });
  std::string row = (n < 10 ? " " : "") + std::to_string(n) + (faulty ? " !" : "  ");
  if (!e.Doc->LevelMade(n)) return row + "(no level)";
  row += std::to_string(lv.Width) + "x" + std::to_string(lv.Height) + "  set " + std::to_string(lv.BlockSet);
  int t = 0;
  for (int x = 1; x <= lv.Width; ++x)
    for (int y = 1; y <= lv.Height; ++y) t += lv.Cell(x, y) == BlockTransporterCode;
  if (t) row += "  " + std::to_string(t) + " tr";
  const auto start = e.Doc->Start();
  if (start && (*start)[0] == n) row += "  start";
  if (!LevelInUse(lv)) row += "  empty";
  return row;
}

void BuildScenarioPage(Game& g, EditorScreen& e) {
  RefreshFaults(e);
  // The page is built again after every change; the focus stays where it was.
  const WidgetRef focus = g.widgets.FocusOn ? FocusedWidget(g.widgets) : WidgetRef{};
  ResetWidgets(g.widgets);
  WidgetSet& w = g.widgets;
  const Scenario& s = e.Doc->scenario();
  const TLevelRecord& lv = e.Doc->Level(e.Level);
  AddValueButton(w, g.systemText, 300, 40, "Name", 90, e.Editing == Field::Name ? e.EditText + "_" : s.Info.Name.Str(), 0);
  AddValueButton(w, g.systemText, 300, 64, "Author", 90,
                 e.Editing == Field::Author ? e.EditText + "_" : s.Info.Author.Str(), 0);
  const bool puzzle = s.Extras.DefaultPuzzle != 0;
  AddValueButton(w, g.systemText, 300, 88, "Puzzle", 90, puzzle ? "10 x 4 pieces" : "none", 0);
  AddButton(w, g.systemText, 300, 112, "Add note", 0);
  const int top = kLevelSettingsTop;
  AddButton(w, g.systemText, 440, top, "-", 0);  // the width; its value is drawn beside
  AddButton(w, g.systemText, 470, top, "+", 0);
  AddButton(w, g.systemText, 440, top + 22, "-", 0);
  AddButton(w, g.systemText, 470, top + 22, "+", 0);
  AddValueButton(w, g.systemText, 300, top + 44, "Block set", 110, std::to_string(lv.BlockSet), 0);
  AddValueButton(w, g.systemText, 300, top + 66, "Space", 110, lv.Space ? "yes" : "no", 0);
  AddValueButton(w, g.systemText, 300, top + 88, "Map", 110, lv.NoMap ? "no" : "yes", 0);
  AddValueButton(w, g.systemText, 300, top + 110, "Meteors", 110, std::to_string(lv.MeteorCount), 0);
  AddValueButton(w, g.systemText, 300, top + 132, "Border", 110, lv.BorderName.Str(), 0);
  AddButton(w, g.systemText, 520, top, "Copy", 0);
  AddButton(w, g.systemText, 520, top + 22, "Paste", 0);
  AddButton(w, g.systemText, 520, top + 44, "Clear", 0);
  AddButton(w, g.systemText, 520, top + 66, "Edit level", 0);
  if (!e.Clipboard || e.Clipboard == e.Level) w.Buttons[kScPaste].State = kWidgetDisabled;
  AddButton(w, g.systemText, 300, kButtonRow, "Save", 0);
  AddButton(w, g.systemText, 380, kButtonRow, "Back", 0);
  AddButton(w, g.systemText, 460, kButtonRow, "Open / New", 0);
  TListBox& list = w.List;
  list.Left = 12;
  list.Top = 40;
  list.Columns = 28;
  list.Rows = LevelCount;
  list.SmallFont = true;
  list.Items.clear();
  for (int n = 1; n <= LevelCount; ++n) list.Items.push_back(LevelRow(e, n));
  list.Selected = e.Level;
  list.First = 1;
  EnableFocus(w);
  if (focus.Kind != WidgetKind::None) SetFocus(w, focus);
}

void BuildLeavePage(Game& g) {
  ResetWidgets(g.widgets);
  AddButton(g.widgets, g.systemText, 110, 250, "Save and leave", 'S');
  AddButton(g.widgets, g.systemText, 330, 250, "Leave", 'L');
  AddButton(g.widgets, g.systemText, 440, 250, "Cancel", 'C');
  EnableFocus(g.widgets);
  FocusButton(g, kLeaveCancel);  // the answer that loses nothing
}

// The scenario files of the Scenarios folder that can be opened.
void BuildOpenPage(Game& g, EditorScreen& e) {
  ResetWidgets(g.widgets);
  AddButton(g.widgets, g.systemText, 230, kButtonRow, "Open", 'O');
  AddButton(g.widgets, g.systemText, 320, kButtonRow, "New scenario", 'N');
  AddButton(g.widgets, g.systemText, 500, kButtonRow, "Cancel", 'C');
  TListBox& list = g.widgets.List;
  list.Left = 30;
  list.Top = 60;
  list.Columns = 40;
  list.Rows = 16;
  list.Items.clear();
  e.OpenFiles.clear();
  for (const TScenarioEntry& s : g.scenarios) {
    if (s.Damaged || SameText(s.FileName, BuiltInScenarioName)) continue;
    e.OpenFiles.push_back(s.FileName);
    list.Items.push_back(s.Name.Str() + "  (" + s.FileName + ")");
  }
  list.Selected = list.Items.empty() ? 0 : 1;
  e.DropArmed = false;
  EnableFocus(g.widgets);
  if (!list.Items.empty()) SetFocus(g.widgets, {WidgetKind::List, 1});
}

void ShowPage(Game& g, EditorScreen& e, Page p) {
  e.Shown = p;
  e.Editing = Field::None;
  if (p == Page::Level) BuildLevelPage(g);
  else if (p == Page::Scenario) BuildScenarioPage(g, e);
  else if (p == Page::Open) BuildOpenPage(g, e);
  else BuildLeavePage(g);
}

// Open page: a file opened, or a new scenario; unsaved changes are dropped
// only on a second press.
void OpenPagePressed(Game& g, EditorScreen& e, int button) {
  if (button == kOpenCancel) {
    ShowPage(g, e, Page::Scenario);
    return;
  }
  if (e.Doc->Dirty() && !e.DropArmed) {
    e.DropArmed = true;
    Say(g, e, "The changes are not saved; press again to drop them.");
    return;
  }
  if (button == kOpenNew) {
    e.Doc->New();
    e.SavePath.clear();
    Say(g, e, "A new scenario.");
  } else if (button == kOpenFile) {
    const int row = g.widgets.List.Selected;
    if (row < 1 || row > int(e.OpenFiles.size())) return;
    std::string error;
    if (!e.Doc->Load(g.folders.Scenarios + e.OpenFiles[size_t(row - 1)], &error)) {
      Say(g, e, error);
      return;
    }
    e.SavePath.clear();
    Say(g, e, "Opened " + e.OpenFiles[size_t(row - 1)] + ".");
  } else {
    return;
  }
  e.Level = 1;
  e.CursorX = e.CursorY = 1;
  ShowPage(g, e, Page::Level);
  ShowLevel(e, 1);
}

void AskBeforeLeaving(TForm1& form, EditorScreen& e) {
  if (e.Doc->Dirty()) ShowPage(form.game(), e, Page::ConfirmLeave);
  else LeaveEditor(form);
}

// --- drawing -------------------------------------------------------------------------

void Text(Game& g, int x, int y, const std::string& s, int colour = 2) {
  SelectFont(g.fonts, kFaceEras10, colour);
  DrawText(g.fonts, g.backSurface, x, y, s);
}

std::string Fit(Game& g, std::string s, int width) {
  SelectFont(g.fonts, kFaceEras10, 2);
  if (TextWidth(g.fonts, s) <= width) return s;
  while (!s.empty() && TextWidth(g.fonts, s + "...") > width) s.pop_back();
  return s + "...";
}

std::string CellName(int x, int y) { return "(" + std::to_string(x) + ", " + std::to_string(y) + ")"; }

void DrawMap(Game& g, EditorScreen& e, int hoverX, int hoverY, bool hovering) {
  Bitmap& sf = g.backSurface;
  const TLevelRecord& lv = e.Doc->Level(e.Level);
  const int z = ZoomOf(e);
  const auto& pics = e.Pictures[size_t(e.Zoom)];
  const TRect area = Bounds(kEditorMapLeft, kEditorMapTop, kEditorMapWidth, kEditorMapHeight);
  sf.FillRect(area, kOutsideColour);
  if (!e.Doc->LevelMade(e.Level)) {
    Text(g, 40, 200, "Level " + std::to_string(e.Level) + " has no cells yet.", 3);
    Text(g, 40, 224, "Give it a size on the scenario page (Tab).");
    return;
  }
  const int border = FindBlock(g.world.Catalogue, lv.BorderName.Str());
  // Cells clip against the map's edges through a work bitmap of the map.
  Bitmap view(kEditorMapWidth, kEditorMapHeight, kOutsideColour);
  for (int cx = 0; cx < VisibleColumns(e); ++cx)
    for (int cy = 0; cy < VisibleRows(e); ++cy) {
      const int x = e.ViewX + cx, y = e.ViewY + cy;
      if (x < 0 || y < 0 || x > lv.Width + 1 || y > lv.Height + 1) continue;
      const int px = cx * z, py = cy * z;
      if (x == 0 || y == 0 || x == lv.Width + 1 || y == lv.Height + 1) {
        // The border the game puts around the level, dimmed.
        DrawBlock(pics, view, px, py, border > 1 ? border : 7);
        for (int j = py; j < py + z; ++j)
          for (int i = px + j % 2; i < px + z; i += 2) view.SetPixel(i, j, 0);
        continue;
      }
      const uint8_t code = lv.Cell(x, y);
      DrawBlock(pics, view, px, py, PictureOfCell(g.world.Catalogue, code));
      if (code == BlockDeadly) {
        view.Line(px + 3, py + 3, px + z - 3, py + z - 3, kFaultColour);
        view.Line(px + z - 3, py + 3, px + 3, py + z - 3, kFaultColour);
      }
      if (z >= 32 && (code == BlockTransporterCode || code == BlockPuzzlePieceCode || code == BlockSkullGate)) {
        const int16_t p = lv.Param(x, y);
        std::string label;
        if (code == BlockTransporterCode) label = "L" + std::to_string(DecodeTransporterParam(p).Level);
        else if (code == BlockPuzzlePieceCode) label = std::to_string(PuzzlePieceColumn(p)) + "," + std::to_string(PuzzlePieceRow(p));
        else label = "G" + std::to_string(p);
        view.FillRect(Bounds(px + 1, py + z - 13, std::min(z - 2, 8 * int(label.size()) + 4), 12), 0);
        SelectFont(g.fonts, kFaceEras10, 3);
        DrawText(g.fonts, view, px + 3, py + z - 14, label);
      }
    }
  // A faint grid over the level's cells, so that empty space shows its cells.
  if (z >= 32)
    for (int cx = 0; cx <= VisibleColumns(e); ++cx)
      for (int cy = 0; cy <= VisibleRows(e); ++cy) {
        const int x = e.ViewX + cx, y = e.ViewY + cy;
        if (x < 1 || y < 1 || x > lv.Width || y > lv.Height) continue;
        const int px = cx * z, py = cy * z;
        for (int i = 0; i < z; i += 4) {
          view.SetPixel(px + i, py, kGridColour);
          view.SetPixel(px, py + i, kGridColour);
        }
      }
  Draw(sf, kEditorMapLeft, kEditorMapTop, view);

  auto cellRect = [&](int x, int y, int inset) {
    return Bounds(kEditorMapLeft + (x - e.ViewX) * z + inset, kEditorMapTop + (y - e.ViewY) * z + inset, z - 2 * inset,
                  z - 2 * inset);
  };
  auto visible = [&](int x, int y) {
    return x >= e.ViewX && y >= e.ViewY && x < e.ViewX + kEditorMapWidth / z && y < e.ViewY + kEditorMapHeight / z;
  };
  auto centre = [&](int x, int y, int& px, int& py) {
    px = kEditorMapLeft + (x - e.ViewX) * z + z / 2;
    py = kEditorMapTop + (y - e.ViewY) * z + z / 2;
  };
  // Arrival cells of every transporter that leads here, and the links that
  // stay on this level.
  for (int n = 1; n <= LevelCount; ++n) {
    const TLevelRecord& from = e.Doc->Level(n);
    if (!e.Doc->LevelMade(n)) continue;
    for (int x = 1; x <= from.Width; ++x)
      for (int y = 1; y <= from.Height; ++y) {
        if (from.Cell(x, y) != BlockTransporterCode) continue;
        const TransporterDestination d = DecodeTransporterParam(from.Param(x, y));
        if (d.Level != e.Level) continue;
        if (visible(d.Column, d.Row)) {
          sf.FrameRect(cellRect(d.Column, d.Row, 2), kArrivalColour);
          sf.FrameRect(cellRect(d.Column, d.Row, 3), kArrivalColour);
          if (z >= 32) Text(g, cellRect(d.Column, d.Row, 4).Left, cellRect(d.Column, d.Row, 4).Top, "in " + std::to_string(n), 3);
        }
        if (n == e.Level && visible(x, y) && visible(d.Column, d.Row)) {
          int ax, ay, bx, by;
          centre(x, y, ax, ay);
          centre(d.Column, d.Row, bx, by);
          sf.Line(ax, ay, bx, by, kLinkColour);
          sf.Line(ax + 1, ay, bx + 1, by, kLinkColour);
        }
      }
  }
  for (const ScenarioFault& f : e.Faults)
    if (f.Place == FaultPlace::Cell && f.Level == e.Level && visible(f.X, f.Y)) sf.FrameRect(cellRect(f.X, f.Y, 0), kFaultColour);
  if (e.Filling && e.FillLevel == e.Level) {
    const int x1 = std::min(e.FillX, e.CursorX), x2 = std::max(e.FillX, e.CursorX);
    const int y1 = std::min(e.FillY, e.CursorY), y2 = std::max(e.FillY, e.CursorY);
    sf.FrameRect(TRect{cellRect(x1, y1, 0).Left, cellRect(x1, y1, 0).Top, cellRect(x2, y2, 0).Right,
                       cellRect(x2, y2, 0).Bottom},
                 kFillColour);
  }
  if (e.Linking && e.LinkFromLevel == e.Level && visible(e.LinkFromX, e.LinkFromY))
    sf.FrameRect(cellRect(e.LinkFromX, e.LinkFromY, 1), kLinkColour);
  if (hovering && visible(hoverX, hoverY)) sf.FrameRect(cellRect(hoverX, hoverY, 0), kHoverColour);
  if (visible(e.CursorX, e.CursorY)) {
    sf.FrameRect(cellRect(e.CursorX, e.CursorY, 0), kCursorColour);
    sf.FrameRect(cellRect(e.CursorX, e.CursorY, 1), kCursorColour);
  }
}

std::string EntryDetail(const EditorScreen& e, const PaletteEntry& p) {
  switch (p.Value.Code) {
    case BlockTransporterCode:
      return "to level " + std::to_string(e.LinkLevel) + " " + CellName(e.LinkX, e.LinkY);
    case BlockPuzzlePieceCode:
      return "piece " + CellName(PuzzlePieceColumn(e.PieceParam), PuzzlePieceRow(e.PieceParam)) + "  ([ ])";
    case BlockSkullGate: {
      static const char* names[] = {"diamonds", "earth", "monsters", "transporters", "pieces-1", "pieces"};
      std::string s = "opens: ";
      for (int b = 0; b < 6; ++b)
        if (e.GateBits & (1 << b)) s += std::string(names[b]) + " ";
      return s + "(1-6)";
    }
    default: return "";
  }
}

// What a cell of the level holds, as the line under the palette says it.
std::string CellInfo(const EditorScreen& e, int x, int y) {
  const CellValue v = e.Doc->Pick(e.Level, x, y);
  std::string name = "code " + std::to_string(v.Code);
  for (const PaletteEntry& p : e.Palette)
    if (p.Value.Code == v.Code) name = p.Name;
  std::string s = CellName(x, y) + " " + name;
  if (v.Code == BlockTransporterCode) {
    const TransporterDestination d = DecodeTransporterParam(v.Param);
    s += " to " + std::to_string(d.Level) + " " + CellName(d.Column, d.Row);
  } else if (v.Code == BlockPuzzlePieceCode) {
    s += " " + CellName(PuzzlePieceColumn(v.Param), PuzzlePieceRow(v.Param));
  }
  return s;
}

void DrawPalette(Game& g, EditorScreen& e, int hovered, bool overCell, int cellX, int cellY) {
  Bitmap& sf = g.backSurface;
  sf.FillRect(TRect{kEditorPaletteLeft - 6, kEditorMapTop, 640, kEditorMapTop + kEditorMapHeight}, kPanelColour);
  const std::string title = std::string("< ") + GroupName(PaletteGroup(e.Group)) + " >";
  SelectFont(g.fonts, kFaceEras10, 3);
  DrawText(g.fonts, sf, kEditorPaletteLeft + (kPaletteWidth - TextWidth(g.fonts, title)) / 2, kEditorMapTop + 4, title);
  const std::vector<int> entries = GroupEntries(e);
  for (int r = 0; r < kEditorPaletteRows; ++r)
    for (int c = 0; c < kEditorPaletteColumns; ++c) {
      const size_t i = size_t((r + e.Scroll) * kEditorPaletteColumns + c);
      if (i >= entries.size()) continue;
      const PaletteEntry& p = e.Palette[size_t(entries[i])];
      const int x = kEditorPaletteLeft + c * kEditorPalettePitch, y = kEditorPaletteTop + r * kEditorPalettePitch;
      DrawBlock(e.Small, sf, x + 2, y + 2, p.Picture);
      if (p.Value.Code == BlockDeadly) {
        sf.Line(x + 5, y + 5, x + 31, y + 31, kFaultColour);
        sf.Line(x + 31, y + 5, x + 5, y + 31, kFaultColour);
      }
      if (entries[i] == e.Selected) {
        sf.FrameRect(Bounds(x, y, 36, 36), kSelectedColour);
        sf.FrameRect(Bounds(x + 1, y + 1, 34, 34), kSelectedColour);
      } else if (entries[i] == hovered) {
        sf.FrameRect(Bounds(x, y, 36, 36), kHoverColour);
      }
    }
  if (int(entries.size()) > kEditorPaletteRows * kEditorPaletteColumns)
    Text(g, kEditorPaletteLeft + kPaletteWidth - 40, kPaletteInfoTop - 14, e.Scroll ? "more ^" : "more v", 2);
  const PaletteEntry& shown = e.Palette[size_t(hovered >= 0 ? hovered : e.Selected)];
  Text(g, kEditorPaletteLeft, kPaletteInfoTop + 2, hovered >= 0 ? shown.Name : "Brush: " + shown.Name, 3);
  const std::string detail = EntryDetail(e, shown);
  if (!detail.empty()) Text(g, kEditorPaletteLeft, kPaletteInfoTop + 20, Fit(g, detail, 180));
  Text(g, kEditorPaletteLeft, kPaletteInfoTop + 38,
       Fit(g, overCell ? CellInfo(e, cellX, cellY)
                       : "Cursor " + CellName(e.CursorX, e.CursorY) + "  x" + std::to_string(ZoomOf(e)),
           180),
       2);
}

void DrawTopBar(Game& g, EditorScreen& e) {
  const Scenario& s = e.Doc->scenario();
  const TLevelRecord& lv = e.Doc->Level(e.Level);
  std::string top = "LEVEL " + std::to_string(e.Level);
  if (e.Doc->LevelMade(e.Level))
    top += "   " + std::to_string(lv.Width) + " x " + std::to_string(lv.Height) + "   set " + std::to_string(lv.BlockSet) +
           (lv.Space ? "   space" : "") + (lv.NoMap ? "   no map" : "");
  Text(g, 6, 3, top, 3);
  std::string file = s.Info.Name.Str() + "  -  " +
                     (e.Doc->Path().empty() ? ExtractFileName(NewScenarioPath(g, e)) : ExtractFileName(e.Doc->Path())) +
                     (e.Doc->Dirty() ? " *" : "");
  SelectFont(g.fonts, kFaceEras10, 2);
  file = Fit(g, file, 330);
  DrawTextRight(g.fonts, g.backSurface, 634, 3, file);
}

void DrawStatus(Game& g, EditorScreen& e, int y, int width) {
  std::string line;
  int colour = 2;
  if (!e.Message.empty() && TicksSince(g.Now(), e.MessageTick) < kMessageMs) {
    line = e.Message;
    colour = 3;
  } else if (e.Faults.empty()) {
    line = "No faults: the scenario can be played.  (F1: keys)";
  } else {
    const size_t i = size_t(e.FaultShown) % e.Faults.size();
    line = (e.Faults.size() == 1 ? std::string("1 fault: ")
                                 : "Fault " + std::to_string(i + 1) + " of " + std::to_string(e.Faults.size()) + " (N): ") +
           DescribeFault(e.Faults[i]);
    colour = 1;
  }
  Text(g, 6, y, Fit(g, line, width), colour);
}

// F1: the keys, over the map.
void DrawKeyHelp(Game& g) {
  static const char* const lines[] = {
      "Mouse: left paints (drag for many), Shift+drag fills,",
      "  right picks; wheel scrolls (Shift: sideways)",
      "Arrows or pad: cursor    Enter, Space, pad 1: paint",
      "P, pad 2: pick   F: fill (two corners)   L: link transporter",
      "[ ]: palette group    , . : block    1-6: gate conditions",
      "Z: zoom    G: graphics style    H: the player start",
      "PgUp/PgDn: level    N: next fault    Tab: scenario page",
      "Ctrl+S save   Ctrl+Z undo   Ctrl+Y redo   Esc: leave",
      "F5: try the level   Ctrl+F5: the scenario   (F5: back)",
  };
  const TRect box = Bounds(6, 60, 436, 24 + 18 * int(std::size(lines)));
  g.backSurface.FillRect(box, kPanelColour);
  g.backSurface.FrameRect(box, kSelectedColour);
  int y = box.Top + 12;
  for (const char* l : lines) {
    Text(g, box.Left + 10, y, l, 2);
    y += 18;
  }
}

void DrawLevelPage(Game& g, EditorScreen& e, WidgetContext& ctx) {
  const int px = int(ctx.PointerX), py = int(ctx.PointerY);
  int hx = 0, hy = 0;
  const bool hovering = CellAt(e, px, py, hx, hy);
  DrawMap(g, e, hx, hy, hovering);
  DrawPalette(g, e, PaletteIndexAt(e, px, py), hovering, hx, hy);
  DrawTopBar(g, e);
  if (e.HelpShown) DrawKeyHelp(g);
  DrawStatus(g, e, kStatusRow, 628);
}

// The puzzle picture small, its pieces not yet placed in any level dimmed.
void DrawPuzzle(Game& g, EditorScreen& e) {
  const Scenario& s = e.Doc->scenario();
  const int cols = s.Extras.DefaultPuzzle ? 10 : s.Extras.PuzzleColumns;
  const int rows = s.Extras.DefaultPuzzle ? 4 : s.Extras.PuzzleRows;
  if (cols < 1 || rows < 1) return;
  Bitmap own;
  const Bitmap* picture = &own;
  if (s.Extras.DefaultPuzzle || s.PuzzlePicture.empty()) {
    if (e.DefaultPuzzle.Empty() && g.archive && g.archive->HasItem("defaultpuzzle.bmp"))
      LoadBmp(g.archive->ReadItem("defaultpuzzle.bmp"), e.DefaultPuzzle);
    picture = &e.DefaultPuzzle;
  } else if (!LoadBmp(s.PuzzlePicture, own)) {
    return;
  }
  if (picture->Empty()) return;
  const int w = 120, h = std::clamp(w * picture->Height() / std::max(1, picture->Width()), 8, 60);
  const TRect box = Bounds(514, 112 - h / 2, w, h);
  StretchBlit(g.backSurface, box, *picture, picture->Rect());
  std::vector<bool> placed(size_t(cols * rows), false);
  for (const TLevelRecord& lv : s.Levels)
    for (int x = 1; x <= std::min<int>(lv.Width, LevelCells); ++x)
      for (int y = 1; y <= std::min<int>(lv.Height, LevelCells); ++y) {
        if (lv.Cell(x, y) != BlockPuzzlePieceCode) continue;
        const int c = PuzzlePieceColumn(lv.Param(x, y)), r = PuzzlePieceRow(lv.Param(x, y));
        if (c >= 1 && r >= 1 && c <= cols && r <= rows) placed[size_t((c - 1) * rows + r - 1)] = true;
      }
  for (int c = 0; c < cols; ++c)
    for (int r = 0; r < rows; ++r) {
      if (placed[size_t(c * rows + r)]) continue;
      const int x0 = box.Left + c * w / cols, x1 = box.Left + (c + 1) * w / cols;
      const int y0 = box.Top + r * h / rows, y1 = box.Top + (r + 1) * h / rows;
      for (int y = y0; y < y1; ++y)
        for (int x = x0 + (y % 2); x < x1; x += 2) g.backSurface.SetPixel(x, y, 0);
    }
  g.backSurface.FrameRect(TRect{box.Left - 1, box.Top - 1, box.Right + 1, box.Bottom + 1}, kGridColour);
}

void DrawScenarioPage(Game& g, EditorScreen& e) {
  const Scenario& s = e.Doc->scenario();
  SelectFont(g.fonts, kFaceEras14, 3);
  DrawText(g.fonts, g.backSurface, 12, 10, "SCENARIO");
  Text(g, 300, 14, "Levels: tr transporters, ! faults (N).", 2);
  // The notes, one line each; a click on a line edits it.
  int y = 140;
  for (size_t i = 0; i < s.Notes.size() && y < 214; ++i, y += 16) {
    const bool editing = e.Editing == Field::Note && e.EditingNote == int(i);
    Text(g, 300, y, Fit(g, (editing ? e.EditText + "_" : s.Notes[i].empty() ? std::string("(empty line)") : s.Notes[i]), 330),
         editing ? 3 : 2);
  }
  if (s.Notes.empty()) Text(g, 300, y, "(no notes)", 2);
  DrawPuzzle(g, e);
  // Puzzle pieces and the end character.
  int pieces = 0;
  std::string end = "none";
  for (int n = 1; n <= LevelCount; ++n) {
    const TLevelRecord& lv = e.Doc->Level(n);
    for (int x = 1; x <= LevelCells; ++x)
      for (int yy = 1; yy <= LevelCells; ++yy) {
        pieces += lv.Cell(x, yy) == BlockPuzzlePieceCode;
        if (e.Doc->Blocks().EndChar && lv.Cell(x, yy) == e.Doc->Blocks().EndChar && end == "none")
          end = "level " + std::to_string(n) + " " + CellName(x, yy);
      }
  }
  const int all = s.Extras.DefaultPuzzle ? 40 : 0;
  Text(g, 300, 216, Fit(g, "Pieces placed: " + std::to_string(pieces) + (all ? " of 40" : "") + "   End: " + end, 330), 2);
  // The level's size, between its "-" and "+" buttons.
  const TLevelRecord& lv = e.Doc->Level(e.Level);
  const bool made = e.Doc->LevelMade(e.Level);
  SelectFont(g.fonts, kFaceEras16, 4);
  DrawTextKeyed(g.fonts, g.backSurface, 300, kLevelSettingsTop, "Width");
  DrawTextKeyed(g.fonts, g.backSurface, 300, kLevelSettingsTop + 22, "Height");
  Text(g, 410, kLevelSettingsTop + 7, made ? std::to_string(lv.Width) : "-", 2);
  Text(g, 410, kLevelSettingsTop + 29, made ? std::to_string(lv.Height) : "-", 2);
  Text(g, 300, 394, Fit(g, "LEVEL " + std::to_string(e.Level) + (e.Clipboard ? "   (level " + std::to_string(e.Clipboard) + " copied)" : ""), 330), 3);
  // Faults, with their level and cell.
  int fy = 412;
  DrawStatus(g, e, kStatusRow, 620);
  if (!e.Faults.empty())
    for (size_t i = 0; i < e.Faults.size() && fy < 428; ++i, fy += 14) Text(g, 300, fy, Fit(g, DescribeFault(e.Faults[i]), 330), 1);
}

// --- scenario page actions ---------------------------------------------------------------

void StartEditing(EditorScreen& e, Field f, std::string text, int note = 0) {
  e.Editing = f;
  e.EditText = std::move(text);
  e.EditingNote = note;
}

void FinishEditing(Game& g, EditorScreen& e, bool keep) {
  const Field f = e.Editing;
  e.Editing = Field::None;
  if (keep) {
    if (f == Field::Name) {
      if (!e.Doc->SetName(e.EditText) && e.EditText.empty()) Say(g, e, "A scenario needs a name.");
    } else if (f == Field::Author) {
      e.Doc->SetAuthor(e.EditText);
    } else if (f == Field::Note) {
      std::vector<std::string> notes = e.Doc->scenario().Notes;
      if (e.EditingNote < int(notes.size())) {
        if (e.EditText.empty()) notes.erase(notes.begin() + e.EditingNote);
        else notes[size_t(e.EditingNote)] = e.EditText;
      } else if (!e.EditText.empty()) {
        notes.push_back(e.EditText);
      }
      e.Doc->SetNotes(notes);
    }
  }
  BuildScenarioPage(g, e);
}

void ScenarioButtonPressed(TForm1& form, EditorScreen& e, int button) {
  Game& g = form.game();
  EditorDocument& d = *e.Doc;
  const TLevelRecord& lv = d.Level(e.Level);
  const bool made = d.LevelMade(e.Level);
  const int w = made ? lv.Width : kNewLevelWidth, h = made ? lv.Height : kNewLevelHeight;
  switch (button) {
    case kScName: StartEditing(e, Field::Name, d.scenario().Info.Name.Str()); break;
    case kScAuthor: StartEditing(e, Field::Author, d.scenario().Info.Author.Str()); break;
    case kScPuzzle: d.SetDefaultPuzzle(d.scenario().Extras.DefaultPuzzle == 0); break;
    case kScAddNote: StartEditing(e, Field::Note, "", int(d.scenario().Notes.size())); break;
    case kScWidthLess: d.Resize(e.Level, made ? std::max(1, w - 1) : w, h); break;
    case kScWidthMore: d.Resize(e.Level, made ? std::min(LevelCells, w + 1) : w, h); break;
    case kScHeightLess: d.Resize(e.Level, w, made ? std::max(1, h - 1) : h); break;
    case kScHeightMore: d.Resize(e.Level, w, made ? std::min(LevelCells, h + 1) : h); break;
    case kScBlockSet: d.SetBlockSet(e.Level, lv.BlockSet % 6 + 1); break;
    case kScSpace: d.SetSpace(e.Level, !lv.Space); break;
    case kScMap: d.SetNoMap(e.Level, !lv.NoMap); break;
    case kScMeteors: d.SetMeteorCount(e.Level, (lv.MeteorCount + 1) % 11); break;
    case kScBorder: {
      size_t i = 0;
      while (i < std::size(kBorders) && lv.BorderName.Str() != kBorders[i]) ++i;
      d.SetBorder(e.Level, kBorders[(i + 1) % std::size(kBorders)]);
      break;
    }
    case kScCopy:
      e.Clipboard = e.Level;
      Say(g, e, "Level " + std::to_string(e.Level) + " copied; choose a level and Paste.");
      break;
    case kScPaste:
      if (e.Clipboard && d.CopyLevel(e.Clipboard, e.Level))
        Say(g, e, "Level " + std::to_string(e.Clipboard) + " copied into level " + std::to_string(e.Level) + ".");
      break;
    case kScClear: d.ClearLevel(e.Level); break;
    case kScEditLevel: ShowPage(g, e, Page::Level); ShowLevel(e, e.Level); return;
    case kScSave: SaveDocument(g, e); break;
    case kScBack: ShowPage(g, e, Page::Level); ShowLevel(e, e.Level); return;
    case kScOpen: ShowPage(g, e, Page::Open); return;
    default: return;
  }
  BuildScenarioPage(g, e);
}

// --- the unit ---------------------------------------------------------------------------

void Enter(TForm1& form, EditorScreen& e) {
  Game& g = form.game();
  StopMusic(g.audio);
  if (e.Trial) EndTrial(g, e);
  if (!e.Doc) {
    e.Doc = std::make_unique<EditorDocument>(BlocksOf(g.world.Catalogue));
    e.Palette = BuildPalette(g.world.Catalogue);
    e.Style = g.world.GraphicsStyle == 2 ? 2 : 1;
    for (size_t i = 0; i < e.Palette.size(); ++i)
      if (e.Palette[i].Name == "EARTH1") e.Selected = int(i), e.Group = int(e.Palette[i].Group);
  }
  if (!g.options.editFile.empty()) {
    e.Doc->New();
    e.SavePath.clear();
    OpenStartFile(g, e, g.options.editFile);
    g.options.editFile.clear();
    e.Level = 1;
  }
  BeginMenuScreen(g);
  ShowPage(g, e, e.Shown == Page::ConfirmLeave ? Page::Level : e.Shown);
  ShowLevel(e, e.Level);
}

// The pad on the level page: the stick moves the cursor (repeating while
// held), A paints, X picks, B goes back as in the menus.
void PollPad(TForm1& form, EditorScreen& e) {
  Game& g = form.game();
  const JoystickReading j = ReadJoystick(g.input, g.platform.input);
  if (!j.Ok) return;
  const uint32_t now = g.Now();
  if (j.Direction != 0) {
    const bool fresh = j.Direction != e.PadLast;
    const uint32_t wait = e.PadRepeating ? kPadRepeatMs : kPadFirstRepeatMs;
    if (fresh || TicksSince(now, e.PadTick) >= wait) {
      e.PadRepeating = !fresh;
      e.PadTick = now;
      if (j.Direction & kJoyUp) --e.CursorY;
      if (j.Direction & kJoyDown) ++e.CursorY;
      if (j.Direction & kJoyLeft) --e.CursorX;
      if (j.Direction & kJoyRight) ++e.CursorX;
      KeepCursorInView(e);
    }
  }
  e.PadLast = j.Direction;
  const uint8_t pressed = j.Buttons & ~e.PadButtons;
  e.PadButtons = j.Buttons;
  if (pressed & 1) PaintAt(g, e, e.CursorX, e.CursorY);
  if (pressed & 4) PickAt(g, e, e.CursorX, e.CursorY);
  if (pressed & 2) {  // B: back, as in the menus
    if (e.Linking || e.Filling) e.Linking = e.Filling = false;
    else AskBeforeLeaving(form, e);
  }
}

void Frame(TForm1& form, EditorScreen& e) {
  Game& g = form.game();
  ClearMenuFrame(g);
  WidgetContext ctx = MenuWidgetContext(g);
  RefreshFaults(e);
  if (e.Shown == Page::Level) {
    EnsurePictures(g, e, std::clamp<int>(e.Doc->Level(e.Level).BlockSet, 1, 6));
    PollPad(form, e);
    // A held button paints every cell the pointer crosses.
    int x = 0, y = 0;
    if (e.LeftDown && !e.MouseFill && CellAt(e, int(ctx.PointerX), int(ctx.PointerY), x, y) &&
        (x != e.LastPaintX || y != e.LastPaintY)) {
      e.LastPaintX = x, e.LastPaintY = y;
      PaintAt(g, e, x, y);
    }
    if (e.MouseFill && CellAt(e, int(ctx.PointerX), int(ctx.PointerY), x, y)) e.CursorX = x, e.CursorY = y;
    g.widgets.Buttons[kUndo].State = e.Doc->CanUndo() ? kWidgetEnabled : kWidgetDisabled;
    g.widgets.Buttons[kRedo].State = e.Doc->CanRedo() ? kWidgetEnabled : kWidgetDisabled;
    DrawLevelPage(g, e, ctx);
    DrawButtons(g.widgets, ctx);
  } else if (e.Shown == Page::Scenario) {
    DrawScenarioPage(g, e);
    DrawList(g.widgets, ctx);
    DrawButtons(g.widgets, ctx);
  } else if (e.Shown == Page::Open) {
    SelectFont(g.fonts, kFaceEras14, 3);
    DrawText(g.fonts, g.backSurface, 30, 20, "OPEN A SCENARIO");
    if (e.OpenFiles.empty()) Text(g, 40, 80, "The Scenarios folder holds no scenario of your own yet.", 2);
    else DrawList(g.widgets, ctx);
    DrawStatus(g, e, kStatusRow, 620);
    DrawButtons(g.widgets, ctx);
  } else {
    DrawMenuBackdrop(g);
    SelectFont(g.fonts, kFaceEras14, 2);
    DrawTextKeyedCentred(g.fonts, g.backSurface, 190, "Leave the editor?");
    SelectFont(g.fonts, kFaceEras10, 2);
    DrawTextCentred(g.fonts, g.backSurface, 218, "The changes to " + e.Doc->scenario().Info.Name.Str() + " are not saved.");
    DrawButtons(g.widgets, ctx);
  }
  FinishMenuFrame(g);

  const int clicked = TakeClickedButton(g);
  if (e.Shown == Page::Level) {
    switch (clicked) {
      case kSave: SaveDocument(g, e); break;
      case kUndo: e.Doc->Undo(); break;
      case kRedo: e.Doc->Redo(); break;
      case kTry: TryScenario(form, e, false); return;
      case kPrevLevel: ShowLevel(e, e.Level - 1); break;
      case kNextLevel: ShowLevel(e, e.Level + 1); break;
      case kZoom: e.Zoom = (e.Zoom + 1) % 3; KeepCursorInView(e); break;
      case kScenarioPage: ShowPage(g, e, Page::Scenario); break;
      case kExit: AskBeforeLeaving(form, e); break;
      default: break;
    }
  } else if (e.Shown == Page::Scenario) {
    const int row = g.widgets.List.Selected;
    if (row >= 1 && row <= LevelCount && row != e.Level) {
      e.Level = row;
      BuildScenarioPage(g, e);
    }
    if (clicked) ScenarioButtonPressed(form, e, clicked);
  } else if (e.Shown == Page::Open) {
    if (clicked) OpenPagePressed(g, e, clicked);
  } else {
    switch (clicked) {
      case kLeaveSave:
        if (SaveDocument(g, e)) LeaveEditor(form);
        else ShowPage(g, e, Page::Level);
        break;
      case kLeaveDiscard: LeaveEditor(form); break;
      case kLeaveCancel: ShowPage(g, e, Page::Level); break;
      default: break;
    }
  }
}

void LevelKeyDown(TForm1& form, EditorScreen& e, const KeyEvent& key) {
  Game& g = form.game();
  const bool ctrl = key.shift & kCtrlBit;
  const int x = e.CursorX, y = e.CursorY;
  auto move = [&](int dx, int dy) {
    e.CursorX += dx, e.CursorY += dy;
    KeepCursorInView(e);
  };
  if (ctrl) {
    switch (key.vk) {
      case 'S': SaveDocument(g, e); break;
      case 'Z': e.Doc->Undo(); break;
      case 'Y': e.Doc->Redo(); break;
      case vk::F5: TryScenario(form, e, true); break;
      default: break;
    }
    return;
  }
  switch (key.vk) {
    case vk::Left: move(-1, 0); break;
    case vk::Right: move(1, 0); break;
    case vk::Up: move(0, -1); break;
    case vk::Down: move(0, 1); break;
    case vk::Space:
    case vk::Return:
      if (e.Linking) LinkKey(g, e, x, y);
      else PaintAt(g, e, x, y);
      break;
    case 'P': PickAt(g, e, x, y); break;
    case 'N': ShowNextFault(g, e); break;
    case 'F': FillKey(g, e, x, y); break;
    case 'L': LinkKey(g, e, x, y); break;
    case 'Z': e.Zoom = (e.Zoom + 1) % 3; KeepCursorInView(e); break;
    case 'G': e.Style = 3 - e.Style; break;
    case 'H':
      if (const auto s = e.Doc->Start()) ShowLevel(e, (*s)[0]), e.CursorX = (*s)[1], e.CursorY = (*s)[2], KeepCursorInView(e);
      break;
    case vk::Prior: ShowLevel(e, e.Level - 1); break;
    case vk::Next: ShowLevel(e, e.Level + 1); break;
    case 0xDB:  // [
    case 0xDD: {  // ]
      const int delta = key.vk == 0xDD ? 1 : -1;
      if (e.Palette[size_t(e.Selected)].Value.Code == BlockPuzzlePieceCode) {
        int c = PuzzlePieceColumn(e.PieceParam), r = PuzzlePieceRow(e.PieceParam) + delta;
        if (r > 4) r = 1, ++c;
        if (r < 1) r = 4, --c;
        c = std::clamp(c, 1, 10);
        e.PieceParam = int16_t((c << 5) | r);
      } else {
        ChooseGroup(e, e.Group + delta);
      }
      break;
    }
    case 0xBC:  // ,
    case 0xBE: {  // .
      const std::vector<int> entries = GroupEntries(e);
      if (entries.empty()) break;
      auto it = std::find(entries.begin(), entries.end(), e.Selected);
      int i = it == entries.end() ? 0 : int(it - entries.begin()) + (key.vk == 0xBE ? 1 : -1);
      i = (i + int(entries.size())) % int(entries.size());
      e.Selected = entries[size_t(i)];
      e.Scroll = std::max(0, i / kEditorPaletteColumns - kEditorPaletteRows + 1);
      break;
    }
    case vk::F5: TryScenario(form, e, false); break;
    case vk::F1: e.HelpShown = !e.HelpShown; break;
    case vk::Tab: ShowPage(g, e, Page::Scenario); break;
    case vk::Escape:
      if (e.Linking || e.Filling) {
        e.Linking = e.Filling = false;
        Say(g, e, "Stopped.");
      } else if (!key.repeat) {
        AskBeforeLeaving(form, e);
      }
      break;
    default:
      if (key.vk >= '1' && key.vk <= '6' && e.Palette[size_t(e.Selected)].Value.Code == BlockSkullGate) {
        const int16_t bits = int16_t(e.GateBits ^ (1 << (key.vk - '1')));
        if (bits != 0) e.GateBits = bits;
      }
      break;
  }
}

// The pages other than the level's: the focus of the widgets moves with the
// arrows and Tab and presses with Enter; the keys below are the page's own.
void KeyDown(TForm1& form, EditorScreen& e, const KeyEvent& key) {
  Game& g = form.game();
  if (e.Shown == Page::Level) {
    TakeKey(g);  // the level's cursor has the arrows, Enter and Space
    LevelKeyDown(form, e, key);
    return;
  }
  auto take = [&g] { TakeKey(g); };
  if (e.Shown == Page::Open) {
    TListBox& list = g.widgets.List;
    if (key.vk == vk::Up || key.vk == vk::Down) {
      take();
      if (key.vk == vk::Up && list.Selected > 1) --list.Selected;
      if (key.vk == vk::Down && list.Selected < int(list.Items.size())) ++list.Selected;
      list.First = std::clamp(list.First, std::max(1, list.Selected - list.Rows + 1), std::max(1, list.Selected));
    } else if (key.vk == vk::Return && !key.repeat && FocusedButton(g) == 0) {
      take();  // Enter on the list opens the file chosen
      PressButton(g, kOpenFile);
    } else if (key.vk == 'N' && !key.repeat) {
      take();
      PressButton(g, kOpenNew);
    } else if (key.vk == vk::Escape && !key.repeat) {
      take();
      PressButton(g, kOpenCancel);
    }
    return;
  }
  if (e.Shown == Page::ConfirmLeave) {
    if (key.vk == vk::Escape && !key.repeat) take(), ShowPage(g, e, Page::Level);
    else if (key.vk == 'S') take(), PressButton(g, kLeaveSave);
    else if (key.vk == 'L') take(), PressButton(g, kLeaveDiscard);
    else if (key.vk == 'C') take(), PressButton(g, kLeaveCancel);
    return;
  }
  if (e.Editing != Field::None) {
    take();  // the text has every key
    if (key.vk == vk::Return) FinishEditing(g, e, true);
    else if (key.vk == vk::Escape) FinishEditing(g, e, false);
    else if (key.vk == vk::Back && !e.EditText.empty()) e.EditText.pop_back(), BuildScenarioPage(g, e);
    return;
  }
  if (key.shift & kCtrlBit) {
    take();
    if (key.vk == 'S') SaveDocument(g, e);
    if (key.vk == 'Z') e.Doc->Undo(), BuildScenarioPage(g, e);
    if (key.vk == 'Y') e.Doc->Redo(), BuildScenarioPage(g, e);
    return;
  }
  if (key.vk == 'N') {
    take();
    ShowNextFault(g, e);
    BuildScenarioPage(g, e);
  } else if (key.vk == vk::Escape && !key.repeat) {
    take();
    ShowPage(g, e, Page::Level);
    ShowLevel(e, e.Level);
  }
}

void KeyPress(TForm1& form, EditorScreen& e, char c) {
  if (e.Editing == Field::None || uint8_t(c) < 32 || c == 127) return;
  const size_t limit = e.Editing == Field::Note ? 80 : 30;
  if (e.EditText.size() >= limit) return;
  e.EditText += c;
  BuildScenarioPage(form.game(), e);
}

void Mouse(TForm1& form, EditorScreen& e, const InputEvent& ev) {
  Game& g = form.game();
  const TPlayer* p = g.playfield.Pointer;
  const int px = p ? int(p->X) : ev.x, py = p ? int(p->Y) : ev.y;
  if (e.Shown == Page::Scenario && ev.type == InputEventType::MouseDown && e.Editing == Field::None) {
    // A click on a note line edits it.
    const auto& notes = e.Doc->scenario().Notes;
    if (px >= 300 && py >= 140 && py < 214) {
      const int i = (py - 140) / 16;
      if (i < int(notes.size())) {
        StartEditing(e, Field::Note, notes[size_t(i)], i);
        return;
      }
    }
  }
  if (e.Shown != Page::Level) {
    MenuMouse(form, ev);
    return;
  }
  int x = 0, y = 0;
  const bool onMap = CellAt(e, px, py, x, y);
  switch (ev.type) {
    case InputEventType::MouseDown:
      if (ev.button == 2 && onMap) {
        PickAt(g, e, x, y);
      } else if ((ev.button == 1 || ev.button == 0) && onMap) {
        e.CursorX = x, e.CursorY = y;
        if (e.Linking) {
          LinkKey(g, e, x, y);
        } else if (ev.shift & kShiftBit) {
          e.MouseFill = true;
          e.Filling = true;
          e.FillLevel = e.Level, e.FillX = x, e.FillY = y;
        } else {
          e.LeftDown = true;
          e.Doc->BeginStroke();
          e.LastPaintX = x, e.LastPaintY = y;
          PaintAt(g, e, x, y);
        }
      } else if (ev.button == 1 || ev.button == 0) {
        const int i = PaletteIndexAt(e, px, py);
        if (i >= 0) {
          e.Selected = i;
          if (e.Palette[size_t(i)].Value.Code == BlockPuzzlePieceCode) e.PieceParam = NextFreePiece(e);
        } else if (px >= kEditorPaletteLeft && py >= kEditorMapTop && py < kEditorPaletteTop) {
          ChooseGroup(e, e.Group + (px < kEditorPaletteLeft + kPaletteWidth / 2 ? -1 : 1));
        } else if (py >= kStatusRow && !e.Faults.empty()) {
          ShowNextFault(g, e);
        } else {
          MenuMouse(form, ev);
        }
      }
      break;
    case InputEventType::MouseUp:
      if (e.LeftDown) {
        e.LeftDown = false;
        e.Doc->EndStroke();
      }
      if (e.MouseFill) {
        e.MouseFill = false;
        e.Filling = false;
        if (onMap) e.Doc->FillRect(e.Level, e.FillX, e.FillY, x, y, Brush(e));
      }
      MenuMouse(form, ev);
      break;
    case InputEventType::MouseWheel:
      if (px >= kEditorPaletteLeft) {
        const int rows = (int(GroupEntries(e).size()) + kEditorPaletteColumns - 1) / kEditorPaletteColumns;
        e.Scroll = std::clamp(e.Scroll - ev.wheel, 0, std::max(0, rows - kEditorPaletteRows));
      } else {
        // The wheel scrolls the map; with Shift held, sideways.
        const TLevelRecord& lv = e.Doc->Level(e.Level);
        if (ev.shift & kShiftBit)
          e.ViewX = std::clamp(e.ViewX - ev.wheel, 0, std::max(0, lv.Width + 2 - kEditorMapWidth / ZoomOf(e)));
        else
          e.ViewY = std::clamp(e.ViewY - ev.wheel, 0, std::max(0, lv.Height + 2 - kEditorMapHeight / ZoomOf(e)));
      }
      break;
    default: break;
  }
}

// The program closes with work not saved (the window closed, the editor left
// with "Leave" and the game exited): the work is kept beside the scenario as
// "<name>-unsaved.zq" (or "-unsaved-2" ...), a scenario like any other.
void KeepUnsavedWork(Game& g, EditorScreen& e) {
  if (!e.Doc || !e.Doc->Dirty()) return;
  const std::string path = e.Doc->Path().empty() ? NewScenarioPath(g, e) : e.Doc->Path();
  std::string stem = ExtractFileName(path);
  if (const size_t dot = stem.rfind('.'); dot != std::string::npos && dot > 0) stem.resize(dot);
  const std::string dir = ExtractFileDir(path).empty() ? g.folders.Scenarios : ExtractFileDir(path) + "/";
  std::string kept;
  for (int n = 1; kept.empty() || FileExists(kept); ++n)
    kept = dir + stem + "-unsaved" + (n == 1 ? "" : "-" + std::to_string(n)) + ".zq";
  CreateDirectories(ExtractFileDir(kept));
  std::string error;
  if (e.Doc->Save(kept, &error))
    std::fprintf(stderr, "gravik: the editor's unsaved work was kept as %s\n", kept.c_str());
  else
    std::fprintf(stderr, "gravik: the editor's unsaved work could not be kept: %s\n", error.c_str());
}

}  // namespace

ScreenUnit EditorUnit() {
  auto e = std::make_shared<EditorScreen>();
  // Input that arrives between the change to this state and its entry
  // routine finds no page to act on yet.
  auto ready = [e](TForm1& form) { return e->Doc && form.frame().ScreenReady; };
  return {[e](TForm1& form) { Enter(form, *e); }, [e](TForm1& form) { Frame(form, *e); },
          [e, ready](TForm1& form, const KeyEvent& key) {
            if (ready(form)) KeyDown(form, *e, key);
          },
          [e, ready](TForm1& form, char c) {
            if (ready(form)) KeyPress(form, *e, c);
          },
          [e, ready](TForm1& form, const InputEvent& ev) {
            if (ready(form)) Mouse(form, *e, ev);
          },
          [e](TForm1& form) { KeepUnsavedWork(form.game(), *e); }};
}

}  // namespace gravik

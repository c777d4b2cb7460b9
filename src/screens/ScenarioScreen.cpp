#include "screens/ScenarioScreen.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "base/Text.h"
#include "data/Profile.h"
#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "frame/Keys.h"
#include "frame/PlayerData.h"
#include "gfx/Fonts.h"
#include "screens/MenuFrame.h"

namespace gravik {

namespace {

constexpr int kListColumns = 23;
constexpr int kDetailsLeft = 372;
constexpr int kDetailsRight = 620;
constexpr int kNotesBottom = 400;
constexpr const char* kListFace = "lucida12F.bmp";
constexpr const char* kDamagedNote = "This scenario file is damaged and cannot be played.";

// What the screen keeps between frames: the row whose notes are shown.
struct ScenariosScreen {
  int NotesOf = -1;
  std::vector<std::string> Notes;
};

// `text` cut (with "...") so that it is at most `width` pixels in the selected font.
std::string FitText(const FontSet& fonts, std::string text, int width, const std::string& keep = "") {
  if (TextWidth(fonts, text + keep) <= width) return text + keep;
  while (!text.empty() && TextWidth(fonts, text + "..." + keep) > width) text.pop_back();
  return text + "..." + keep;
}

// Words of `text` into lines at most `width` pixels wide (a longer word is cut).
std::vector<std::string> WrapText(const FontSet& fonts, const std::string& text, int width) {
  std::vector<std::string> lines;
  std::string line;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    size_t j = i;
    while (j < text.size() && text[j] != ' ') ++j;
    if (j == i) break;
    const std::string word = text.substr(i, j - i);
    i = j;
    const std::string joined = line.empty() ? word : line + " " + word;
    if (TextWidth(fonts, joined) <= width) {
      line = joined;
      continue;
    }
    if (!line.empty()) lines.push_back(line);
    line = TextWidth(fonts, word) <= width ? word : FitText(fonts, word, width);
  }
  if (!line.empty() || lines.empty()) lines.push_back(line);
  return lines;
}

// The list row of the scenario the player has now: the profile's current
// scenario (the file last chosen when several share its identity).
int CurrentRow(const Game& g) {
  const int byName = FindScenarioEntry(g.scenarios, g.scenario.FileName);
  if (HasCurrentProfile(g)) {
    if (const auto id = CurrentScenarioIdentity(*g.profile.Record)) {
      if (byName != 0 && SameIdentity(g.scenarios[size_t(byName - 1)].Identity, *id)) return byName;
      if (const int n = FindScenarioEntryByIdentity(g.scenarios, *id)) return n;
    }
  }
  return byName != 0 ? byName : 1;
}

bool Choosable(const Game& g, int row) {
  return row >= 1 && row <= int(g.scenarios.size()) && !g.scenarios[size_t(row - 1)].Damaged;
}

// The notes of row `row`: the built-in scenario's from the archive, a file's
// from the Scenarios folder (ReadScenarioNotes, into the scenario's second
// notes list).
void ReadNotesOf(Game& g, ScenariosScreen& screen, int row) {
  screen.NotesOf = row;
  screen.Notes.clear();
  if (row < 1 || row > int(g.scenarios.size())) return;
  const TScenarioEntry& e = g.scenarios[size_t(row - 1)];
  if (e.Damaged) return;
  g.scenario.OtherNotes.clear();
  if (SameText(e.FileName, BuiltInScenarioName) && g.archive && g.archive->HasItem(BuiltInScenarioName)) {
    ReadScenarioNotes(g.scenario, g.archive->ReadItem(BuiltInScenarioName));
  } else {
    ReadScenarioNotes(g.scenario, g.folders.Scenarios + e.FileName);
  }
  screen.Notes = g.scenario.OtherNotes;
}

void Enter(TForm1& form, ScenariosScreen& screen) {
  Game& g = form.game();
  BeginMenuScreen(g);
  AddButton(g.widgets, g.systemText, 200, 420, "Play", 'P');
  AddButton(g.widgets, g.systemText, 380, 420, "Cancel", 'C');
  TListBox& list = g.widgets.List;
  list.Left = kScenarioListLeft;
  list.Top = kScenarioListTop;
  list.Columns = kListColumns;
  list.Rows = kScenarioListRows;
  list.Items.clear();
  SelectFont(g.fonts, kListFace, 0);
  const int width = ListWidth(list) - 12;
  for (int n = 1; n <= int(g.scenarios.size()); ++n) {
    const TScenarioEntry& e = g.scenarios[size_t(n - 1)];
    // The mark of a damaged file always shows; a long name gives way.
    list.Items.push_back(e.Damaged ? FitText(g.fonts, e.Name.Str(), width, " (damaged)")
                                   : FitText(g.fonts, ScenarioRowText(g, n), width));
  }
  screen.NotesOf = -1;
  SelectListRow(list, CurrentRow(g));
  SetFocus(g.widgets, {WidgetKind::List, 1});
}

void DrawDetails(Game& g, ScenariosScreen& screen, int row) {
  if (row < 1 || row > int(g.scenarios.size())) return;
  const TScenarioEntry& e = g.scenarios[size_t(row - 1)];
  const int width = kDetailsRight - kDetailsLeft;
  SelectFont(g.fonts, "eras14boldV.bmp", 3);
  DrawText(g.fonts, g.backSurface, kDetailsLeft, kScenarioListTop, FitText(g.fonts, e.Name.Str(), width));
  int y = kScenarioListTop + 26;
  SelectFont(g.fonts, "eras10boldV.bmp", 2);
  if (!e.Damaged && e.Author.Length > 0) {
    DrawText(g.fonts, g.backSurface, kDetailsLeft, y, FitText(g.fonts, "by " + e.Author.Str(), width));
    y += 28;
  }
  std::vector<std::string> lines;
  if (e.Damaged) {
    lines = WrapText(g.fonts, kDamagedNote, width);
  } else {
    for (const std::string& note : screen.Notes)
      for (const std::string& l : WrapText(g.fonts, note, width)) lines.push_back(l);
  }
  for (const std::string& l : lines) {
    if (y + 16 > kNotesBottom) break;
    DrawText(g.fonts, g.backSurface, kDetailsLeft, y, l);
    y += 18;
  }

  // The profile's results on this scenario.
  const ScenarioResultTexts results = ScenarioResultsOf(g, row);
  const int resultsTop = kScenarioListTop + ListHeight(g.widgets.List) + 16;
  SelectFont(g.fonts, "eras10boldV.bmp", 2);
  DrawText(g.fonts, g.backSurface, kScenarioListLeft, resultsTop, "Highest Score:");
  DrawText(g.fonts, g.backSurface, kScenarioListLeft, resultsTop + 24, "Best Time:");
  SelectFont(g.fonts, "eras10boldV.bmp", 3);
  DrawText(g.fonts, g.backSurface, kScenarioListLeft + 130, resultsTop, results.Score);
  DrawText(g.fonts, g.backSurface, kScenarioListLeft + 130, resultsTop + 24, results.Time);
}

void Play(TForm1& form, int row) {
  Game& g = form.game();
  if (!ChooseScenario(g, row)) return;
  g.values.NewGameStarted = true;
  form.SetGameState(gsPrepareScenario);
}

void Frame(TForm1& form, ScenariosScreen& screen) {
  Game& g = form.game();
  ClearMenuFrame(g);
  SelectFont(g.fonts, "eras16boldV.bmp", 1);
  DrawTextCentred(g.fonts, g.backSurface, 36, "SCENARIOS");

  TListBox& list = g.widgets.List;
  const int row = list.Selected;
  if (row != screen.NotesOf) ReadNotesOf(g, screen, row);
  if (kScenarioPlayButton <= g.widgets.ButtonCount)
    g.widgets.Buttons[kScenarioPlayButton].State = Choosable(g, row) ? kWidgetEnabled : kWidgetDisabled;

  WidgetContext ctx = MenuWidgetContext(g);
  DrawList(g.widgets, ctx);
  DrawDetails(g, screen, row);
  DrawButtons(g.widgets, ctx);
  FinishMenuFrame(g);

  switch (TakeClickedButton(g)) {
    case kScenarioPlayButton: Play(form, row); break;
    case kScenarioCancelButton: form.SetGameState(gsOptions); break;
    default: break;
  }
}

// The list takes the arrows through the focus. Escape or C: Cancel; P, or
// Enter and Space on the list: Play.
void ScenariosKeyDown(TForm1& form, const KeyEvent& key) {
  Game& g = form.game();
  if (key.shift != 0 || key.repeat) return;
  const bool onList = FocusedWidget(g.widgets).Kind == WidgetKind::List;
  if (key.vk == vk::Escape || key.vk == 'C') {
    TakeKey(g);
    PressButton(g, kScenarioCancelButton);
  } else if (key.vk == 'P' || (IsConfirmKey(key) && onList)) {
    TakeKey(g);
    PressButton(g, kScenarioPlayButton);
  }
}

}  // namespace

std::string ScenarioRowText(const Game& g, int entry) {
  if (entry < 1 || entry > int(g.scenarios.size())) return "";
  const TScenarioEntry& e = g.scenarios[size_t(entry - 1)];
  if (e.Damaged) return e.Name.Str() + " (damaged)";
  if (e.Author.Length == 0) return e.Name.Str();
  return e.Name.Str() + " - " + e.Author.Str();
}

ScenarioResultTexts ScenarioResultsOf(const Game& g, int entry) {
  const TScenarioRecord* r = ScenarioRecordOf(g, entry);
  return {r ? std::to_string(r->HighScore) : "N/A", r && r->BestTime ? Trim(FormatPlayTime(r->BestTime)) : "N/A"};
}

ScreenUnit ScenariosUnit() {
  auto screen = std::make_shared<ScenariosScreen>();
  return {[screen](TForm1& form) { Enter(form, *screen); }, [screen](TForm1& form) { Frame(form, *screen); },
          ScenariosKeyDown, NoKeyPress, MenuMouse};
}

}  // namespace gravik

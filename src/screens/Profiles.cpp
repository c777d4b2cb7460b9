#include "screens/Profiles.h"

#include <cstdio>

#include "audio/Audio.h"
#include "data/Profile.h"
#include "frame/Form.h"
#include "frame/PlayerData.h"
#include "gfx/Fonts.h"
#include "screens/MainMenu.h"
#include "screens/MenuFrame.h"
#include "screens/ScreenMemory.h"

namespace gravik {

namespace {

enum : int { kCreate = 1, kLoad = 2, kDelete = 3, kCancel = 4 };
enum : int { kYes = 1, kNo = 2 };

constexpr const char* kHiddenName = "<>";
constexpr char kOwnItem = '\x01';
constexpr size_t kPromptNameChars = 36;
constexpr size_t kPromptChars = 39;

void SetButton(WidgetSet& w, int n, bool enabled) {
  w.Buttons[size_t(n)].State = enabled ? kWidgetEnabled : kWidgetDisabled;
}

// The entry of the selected row; 0 when no row is selected.
int SelectedEntry(const Game& g) { return ProfileEntryOfItem(g.profile, g.widgets.List.Selected); }

bool IsCurrent(const ProfileState& p, int entry) {
  return !p.CurrentFile.empty() && p.List[size_t(entry - 1)].FileName == p.CurrentFile;
}

// An entry that may be deleted: listed, not the current player, not the last profile.
bool Deletable(const ProfileState& p, int entry) {
  return entry >= 1 && entry <= int(p.List.size()) && p.List.size() > 1 && !IsCurrent(p, entry);
}

// --- gsProfiles --------------------------------------------------------------------

void ProfilesEnter(TForm1& form) {
  Game& g = form.game();
  WidgetSet& w = g.widgets;
  const ProfileState& p = g.profile;
  BeginMenuScreen(g);
  AddButton(w, g.systemText, 95, 230, "Create", 'C');
  AddButton(w, g.systemText, 102, 260, "Load", 'L');
  AddButton(w, g.systemText, 95, 290, "Delete", 'D');
  AddButton(w, g.systemText, 95, 380, "Cancel", 'a');
  SetButton(w, kCreate, int(p.List.size()) < MaxProfiles);
  SetButton(w, kLoad, false);
  SetButton(w, kDelete, false);

  TListBox& list = w.List;
  list.Left = 260;
  list.Top = 170;
  list.Columns = 20;
  list.Rows = 12;
  list.FrameColour = RGB(255, 128, 0);
  list.Items.clear();
  for (size_t i = 0; i < p.List.size(); ++i) {
    if (p.List[i].PlayerName == kHiddenName) continue;
    std::string item = p.List[i].PlayerName;
    if (IsCurrent(p, int(i + 1))) item += kOwnItem;  // the current player
    list.Items.push_back(item);
  }
  list.Selected = 0;
  list.First = 1;
  SetFocus(w, {WidgetKind::List, 1});
}

// A chosen profile becomes current; a damaged file is refused with its message
// and the screen stays.
bool LoadChosen(Game& g, int entry) {
  ProfileState& p = g.profile;
  p.CurrentName = p.List[size_t(entry - 1)].PlayerName;
  const ActivateResult r = ActivateProfile(p, g.scenarios, g.scenario, g.folders.Scenarios, /*load=*/true);
  if (!r.Loaded) {
    g.platform.shell.ShowInfo("Gravik 2", r.Message.empty() ? ProfileInvalidText : r.Message);
    return false;
  }
  ApplyLoadedProfile(g);
  return true;
}

void ProfilesFrame(TForm1& form) {
  Game& g = form.game();
  WidgetSet& w = g.widgets;
  const int entry = SelectedEntry(g);
  SetButton(w, kLoad, entry != 0);
  SetButton(w, kDelete, Deletable(g.profile, entry));

  ClearMenuFrame(g);
  SelectFont(g.fonts, kFaceEras20, 3);
  DrawText(g.fonts, g.backSurface, 80, 170, "PROFILES");
  WidgetContext ctx = MenuWidgetContext(g);
  DrawList(w, ctx);
  DrawButtons(w, ctx);
  DrawMenuFooter(g);
  FinishMenuFrame(g);

  switch (TakeClickedButton(g)) {
    case kCreate:
      ScreensOf(g).NameEntry.FromProfiles = true;
      form.SetGameState(gsNewProfile);
      break;
    case kLoad:
      if (entry != 0 && LoadChosen(g, entry)) form.SetGameState(gsMainMenu);
      break;
    case kDelete:
      if (Deletable(g.profile, entry)) {
        ScreensOf(g).Profiles.ToDelete = entry;
        form.SetGameState(gsConfirmDeleteProfile);
      }
      break;
    case kCancel: form.SetGameState(gsMainMenu); break;
    default: break;
  }
}

// Escape: the options. Enter or Space on the list loads the chosen profile.
void ProfilesKeyDown(TForm1& form, const KeyEvent& key) {
  Game& g = form.game();
  if (key.shift != 0 || key.repeat) return;
  if (key.vk == vk::Escape) {
    form.SetGameState(gsOptions);
  } else if (IsConfirmKey(key) && FocusedWidget(g.widgets).Kind == WidgetKind::List) {
    TakeKey(g);
    PressButton(g, kLoad);
  }
}

// --- gsConfirmDeleteProfile ---------------------------------------------------------

void ConfirmDeleteEnter(TForm1& form) {
  Game& g = form.game();
  BeginMenuScreen(g);
  AddButton(g.widgets, g.systemText, 220, 230, "Yes", 'Y');
  AddButton(g.widgets, g.systemText, 380, 230, "No", 'N');
  FocusButton(g, kNo);
}

void DeleteChosen(Game& g) {
  ProfileState& p = g.profile;
  const int entry = ScreensOf(g).Profiles.ToDelete;
  ScreensOf(g).Profiles.ToDelete = 0;
  // The list may have changed since the row was chosen; the current player's
  // profile and the last one are never deleted.
  if (!Deletable(p, entry)) return;
  const std::string name = p.List[size_t(entry - 1)].PlayerName;
  if (!DeleteProfile(p, entry)) {
    std::fprintf(stderr, "gravik: the profile of %s could not be deleted\n", name.c_str());
    g.platform.shell.ShowInfo("Gravik 2", "Unable to delete profile \"" + name + "\".");
  }
}

void ConfirmDeleteFrame(TForm1& form) {
  Game& g = form.game();
  const ProfileState& p = g.profile;
  const int entry = ScreensOf(g).Profiles.ToDelete;
  const std::string name = entry >= 1 && entry <= int(p.List.size()) ? p.List[size_t(entry - 1)].PlayerName : "";

  ClearMenuFrame(g);
  SelectFont(g.fonts, kFaceEras14, 2);
  DrawTextCentred(g.fonts, g.backSurface, 190, DeletePrompt(name));
  WidgetContext ctx = MenuWidgetContext(g);
  DrawButtons(g.widgets, ctx);
  DrawMenuFooter(g);
  FinishMenuFrame(g);

  switch (TakeClickedButton(g)) {
    case kYes:
      DeleteChosen(g);
      form.SetGameState(gsProfiles);
      break;
    case kNo:
      ScreensOf(g).Profiles.ToDelete = 0;
      form.SetGameState(gsProfiles);
      break;
    default: break;
  }
}

// Escape: No.
void ConfirmDeleteKeyDown(TForm1& form, const KeyEvent& key) {
  if (key.vk != vk::Escape || key.shift != 0 || key.repeat) return;
  PlaySound(form.game().audio, kClickSound);
  ScreensOf(form.game()).Profiles.ToDelete = 0;
  form.SetGameState(gsProfiles);
}

}  // namespace

int ProfileEntryOfItem(const ProfileState& p, int item) {
  if (item < 1) return 0;
  int shown = 0;
  for (size_t i = 0; i < p.List.size(); ++i) {
    if (p.List[i].PlayerName == kHiddenName) continue;
    if (++shown == item) return int(i + 1);
  }
  return 0;
}

std::string DeletePrompt(const std::string& name) {
  std::string s = "Delete profile \"" + name.substr(0, kPromptNameChars) + "\" ?";
  if (s.size() > kPromptChars) s.resize(kPromptChars);
  return s;
}

ScreenUnit ProfilesUnit() { return {ProfilesEnter, ProfilesFrame, ProfilesKeyDown, NoKeyPress, MenuMouse}; }
ScreenUnit ConfirmDeleteProfileUnit() {
  return {ConfirmDeleteEnter, ConfirmDeleteFrame, ConfirmDeleteKeyDown, NoKeyPress, MenuMouse};
}

}  // namespace gravik

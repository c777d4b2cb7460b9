#include "frame/PlayerData.h"

#include <algorithm>

#include "audio/Audio.h"
#include "data/Profile.h"
#include "data/Settings.h"
#include "frame/Form.h"
#include "frame/Keys.h"
#include "frame/SaveGames.h"
#include "input/Input.h"
#include "platform/Folders.h"

namespace gravik {

void ApplyProfile(const TProfileRecord& r, InputState& in, AudioState& audio, bool& panelShown,
                  bool& windowedPreference) {
  for (size_t i = 0; i < in.Slots.size(); ++i) {
    in.Slots[i].Enabled = r.Keys[i].Enabled;
    in.Slots[i].Key = r.Keys[i].Key;
  }
  in.JoystickEnabled = r.JoystickEnabled != 0;
  audio.SoundOn = r.SoundOn != 0;
  audio.MusicOn = r.MusicOn != 0;
  audio.SoundLevel = std::clamp(r.SoundLevel, 0, MaxProfileLevel);
  audio.MusicLevel = std::clamp(r.MusicLevel, 0, MaxProfileLevel);
  ApplyVolumes(audio);
  panelShown = r.LayoutFlag != 0;
  windowedPreference = r.Windowed != 0;
}

void TakeIntoProfile(TProfileRecord& r, const InputState& in, const AudioState& audio, bool panelShown,
                     bool windowed) {
  for (size_t i = 0; i < in.Slots.size(); ++i) {
    r.Keys[i].Enabled = in.Slots[i].Enabled;
    r.Keys[i].Key = in.Slots[i].Key;
  }
  r.JoystickEnabled = in.JoystickEnabled ? 1 : 0;
  r.SoundOn = audio.SoundOn ? 1 : 0;
  r.MusicOn = audio.MusicOn ? 1 : 0;
  r.SoundLevel = audio.SoundLevel;
  r.MusicLevel = audio.MusicLevel;
  r.LayoutFlag = panelShown ? 1 : 0;
  r.Windowed = windowed ? 1 : 0;
}

void ApplyIniSettings(const IniSettings& ini, AudioSwitches& switches, AudioState& audio, InputState& input) {
  audio.SoundOn = true;
  audio.MusicOn = true;
  switches.SoundOff = switches.SoundOff || ini.SoundOff;
  switches.MusicOff = switches.MusicOff || ini.MusicOff;
  SetKeyboardMode(input, ini.KeyboardMode);
}

namespace {
constexpr uint32_t kSaveNoticeMs = 3000;
const char kDefaultPlayer[] = "Player";
}  // namespace

bool HasCurrentProfile(const Game& g) { return !g.profile.CurrentFile.empty() && !g.profile.CurrentName.empty(); }

bool SaveCurrentProfile(Game& g) {
  if (!HasCurrentProfile(g) || g.world.DemoMode) return false;
  if (g.options.editorTrial) return true;  // a trial of the editor's scenario leaves the profile alone
  TakeIntoProfile(*g.profile.Record, g.input, g.audio, g.frame.PanelShown, g.frame.WindowedPreference);
  if (SaveProfile(g.profile, g.profileKeys)) return true;
  ShowNotice(g, ProfileSaveFailedText, kSaveNoticeMs);
  return false;
}

void ApplyLoadedProfile(Game& g) {
  WriteRegistrySettings(g.platform.settings, g.profile);
  ApplyProfile(*g.profile.Record, g.input, g.audio, g.frame.PanelShown, g.frame.WindowedPreference);
  if (g.input.JoystickEnabled) CalibrateJoystick(g.input, g.platform.input);
  g.keyLabels = PanelKeyLabelsFor(g.input);
  g.world.InitialTotals = CurrentScenarioTotals(*g.profile.Record);
}

void ActivateRememberedProfile(Game& g) {
  ProfileState& p = g.profile;
  p.CurrentName.clear();
  p.CurrentFile.clear();
  const RegistrySettings reg = ReadRegistrySettings(g.platform.settings);
  if (reg.LastPlayer.empty() || p.List.empty()) return;
  p.CurrentName = reg.LastPlayer;
  const ActivateResult r =
      ActivateProfile(p, g.scenarios, g.scenario, g.folders.Scenarios, /*load=*/true, g.startUp.ForceWindow);
  if (!r.Loaded) {
    std::fprintf(stderr, "gravik: the profile of %s was not loaded: %s\n", reg.LastPlayer.c_str(), r.Message.c_str());
    p.CurrentName.clear();
    p.CurrentFile.clear();
    return;
  }
  ApplyLoadedProfile(g);
}

void EnsurePlayerProfile(Game& g) {
  ProfileState& p = g.profile;
  if (HasCurrentProfile(g)) return;
  for (const TProfileEntry& e : p.List) {
    if (e.PlayerName != kDefaultPlayer) continue;
    p.CurrentName = e.PlayerName;
    const ActivateResult r = ActivateProfile(p, g.scenarios, g.scenario, g.folders.Scenarios, true);
    if (r.Loaded) {
      ApplyLoadedProfile(g);
      return;
    }
  }
  CreateProfile(p, kDefaultPlayer, g.frame.WindowedPreference, g.input.KeyboardMode, g.profileKeys);
  const ActivateResult r = ActivateProfile(p, g.scenarios, g.scenario, g.folders.Scenarios, /*load=*/false);
  if (r.Ok) ApplyLoadedProfile(g);
  SaveCurrentProfile(g);
}

bool ChooseScenario(Game& g, int entry) {
  if (entry < 1 || entry > int(g.scenarios.size())) return false;
  const TScenarioEntry e = g.scenarios[size_t(entry - 1)];
  if (e.Damaged) return false;
  if (HasCurrentProfile(g)) {
    TProfileRecord& r = *g.profile.Record;
    int index = FindScenarioRecord(r, e.Identity);
    if (index == 0) {
      index = AddScenarioRecord(r, g.scenarios, e.FileName, g.folders.Scenarios);
      // Two files whose names differ only in letter case are both listed; the
      // record is of the one chosen.
      r.Record(index).Identity = e.Identity;
    }
    r.CurrentScenario = index;
    ActivateProfile(g.profile, g.scenarios, g.scenario, g.folders.Scenarios, /*load=*/false);
    g.world.InitialTotals = CurrentScenarioTotals(r);
    SaveCurrentProfile(g);
  }
  // The very file chosen, also when another file has the same identity.
  g.scenario.FileName = e.FileName;
  return true;
}

const TScenarioRecord* ScenarioRecordOf(const Game& g, int entry) {
  if (!HasCurrentProfile(g) || entry < 1 || entry > int(g.scenarios.size())) return nullptr;
  const TScenarioEntry& e = g.scenarios[size_t(entry - 1)];
  if (e.Damaged) return nullptr;
  const int n = FindScenarioRecord(*g.profile.Record, e.Identity);
  return n == 0 ? nullptr : &g.profile.Record->Record(n);
}

void ChoosePlayedScenario(Game& g) {
  if (!HasCurrentProfile(g) || g.options.playScenario.empty()) return;
  const std::string name = ExtractFileName(g.options.playScenario);
  const int entry = FindScenarioEntry(g.scenarios, name);
  if (entry == 0) return;
  TProfileRecord& r = *g.profile.Record;
  int index = FindScenarioRecord(r, g.scenarios[size_t(entry - 1)].Identity);
  if (index == 0) index = AddScenarioRecord(r, g.scenarios, name, g.folders.Scenarios);
  r.CurrentScenario = index;
  ActivateProfile(g.profile, g.scenarios, g.scenario, g.folders.Scenarios, /*load=*/false);
  g.world.InitialTotals = CurrentScenarioTotals(r);
  SaveCurrentProfile(g);
}

void RecordGameEnd(Game& g, bool completed) {
  RemoveSavedGame(g);
  GameValues& v = g.values;
  v.NewBestScore = false;
  v.PreviousBest = 0;
  if (!HasCurrentProfile(g) || g.world.DemoMode || g.options.editorTrial) return;
  TProfileRecord& r = *g.profile.Record;
  // Results count for the scenario the record is of, never for another file.
  const std::optional<ScenarioIdentity> id = CurrentScenarioIdentity(r);
  if (!id || !SameIdentity(*id, g.scenario.Info.Identity)) return;
  const GameResultUpdate u = RecordGameResult(r, r.CurrentScenario, g.world.Count.Score, v.TotalPlaySeconds, completed);
  v.NewBestScore = u.NewBestScore;
  v.PreviousBest = u.PreviousBest;
  if (u.Changed()) SaveCurrentProfile(g);
}

void SaveKeyboardModeSetting(Game& g) {
  SaveKeyboardMode(IniPath(g.folders.Documents), g.input.KeyboardMode);
}

void StoreDisplayMode(Game& g) {
  if (HasCurrentProfile(g)) g.profile.Record->Windowed = g.frame.WindowedPreference ? 1 : 0;
  WriteRegistrySettings(g.platform.settings, g.profile.CurrentName, g.frame.WindowedPreference);
}

int32_t BestScore(const Game& g) {
  const TScenarioRecord* r = CurrentScenarioRecord(*g.profile.Record);
  return r ? r->HighScore : 0;
}

uint32_t BestTime(const Game& g) {
  const TScenarioRecord* r = CurrentScenarioRecord(*g.profile.Record);
  return r ? r->BestTime : 0;
}

}  // namespace gravik

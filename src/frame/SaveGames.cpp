#include "frame/SaveGames.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "base/Crc.h"
#include "base/Text.h"
#include "frame/Demo.h"
#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "frame/Keys.h"
#include "frame/PlayerData.h"
#include "platform/Folders.h"
#include "render/LevelGraphics.h"
#include "render/Panel.h"
#include "world/Flow.h"

namespace gravik {
namespace {

constexpr uint32_t kSaveNoticeMs = 2000;
constexpr size_t kSaveFileLimit = size_t(8) << 20;

void Tell(Game& g, const std::string& text) { g.platform.shell.ShowInfo("Gravik 2", text); }

// Seconds played, the stretch under way included.
uint32_t PlaySecondsSoFar(const Game& g, uint32_t now) {
  uint32_t seconds = g.values.TotalPlaySeconds;
  if (g.frame.GameState == gsPlaying) seconds += TicksSince(now, g.values.PlayStart) / 1000;
  return seconds;
}

}  // namespace

uint32_t ScenarioContentCrc(const Game& g) {
  const Scenario& s = g.scenario;
  uint32_t crc = Crc32(reinterpret_cast<const uint8_t*>(&s.Header), sizeof s.Header);
  return Crc32(reinterpret_cast<const uint8_t*>(s.Levels.data()), sizeof s.Levels, crc);
}

std::string SavedGamePath(const Game& g) {
  if (!HasCurrentProfile(g) || g.profile.CurrentFile.empty()) return {};
  std::string name = g.profile.CurrentFile;
  if (const size_t dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
  return IncludeTrailingSlash(g.folders.Documents) + "Savegames/" + name + ".g2s";
}

bool GameMaySave(const Game& g) {
  return g.values.GameInProgress && HasCurrentProfile(g) && !g.world.DemoMode && !Recording(g) &&
         !g.options.play && g.options.startLevel == 0;
}

bool SaveRunningGame(TForm1& form) {
  Game& g = form.game();
  if (!GameMaySave(g)) return false;
  if (g.values.ClocksFrozen) ThawClocks(g);
  const uint32_t now = g.Now();
  const GameValues& v = g.values;
  SaveSummary summary;
  summary.ScenarioFile = g.scenario.FileName;
  summary.ScenarioCrc = v.ScenarioCrc;
  summary.ScenarioName = g.scenario.Info.Name.Str();
  summary.Level = g.world.CurrentLevel;
  summary.Score = g.world.Count.Score;
  summary.Lives = v.Lives;
  summary.PlaySeconds = PlaySecondsSoFar(g, now);
  SavedPlayValues play;
  play.Lives = v.Lives;
  play.TotalPlaySeconds = summary.PlaySeconds;
  play.LevelClockAge = now - v.LevelClock;
  play.RestartX = v.RestartX;
  play.RestartY = v.RestartY;
  play.TransportersUsed = v.TransportersUsed;
  play.RandomState = g.random.State();
  const std::vector<uint8_t> file = WriteSavedGame(summary, play, g.world, g.scenario, BackgroundChips(g), now);
  const std::string path = SavedGamePath(g);
  if (!CreateDirectories(ExtractFileDir(path)) || !WriteWholeFileAtomic(path, file.data(), file.size())) {
    std::fprintf(stderr, "gravik: the game could not be saved to %s\n", path.c_str());
    ShowNotice(g, SaveFailedText, kSaveNoticeMs);
    return false;
  }
  return true;
}

void SaveBeforeClosing(TForm1& form) {
  Game& g = form.game();
  if (!GameMaySave(g) || g.continuing) return;
  switch (g.frame.GameState) {
    case gsTransportOut:
    case gsTransportArrive: CompleteTransporterArrival(form); return;
    case gsLosingLife:
      if (FinishDeath(form) == gsGameOver) RemoveSavedGame(g);
      return;
    case gsGameOver:
    case gsScenarioComplete: return;
    default: SaveRunningGame(form); return;
  }
}

void RemoveSavedGame(Game& g) {
  g.values.GameInProgress = false;
  if (g.world.DemoMode || g.options.play) return;
  if (const std::string path = SavedGamePath(g); !path.empty() && FileExists(path)) DeleteFile(path);
}

SavedGameInfo PeekSavedGame(Game& g) {
  SavedGameInfo info;
  const std::string path = SavedGamePath(g);
  if (path.empty() || !FileExists(path)) return info;
  info.Present = true;
  std::vector<uint8_t> bytes;
  SavedGame saved;
  if (!ReadWholeFile(path, bytes, kSaveFileLimit)) {
    info.Error = "Saved game damaged.";
  } else if (ReadSavedGame(bytes, saved, info.Error)) {
    info.Readable = true;
    info.Summary = saved.Summary;
  }
  return info;
}

bool ContinueSavedGame(TForm1& form) {
  Game& g = form.game();
  const std::string path = SavedGamePath(g);
  std::vector<uint8_t> bytes;
  auto saved = std::make_unique<SavedGame>();
  std::string error = "Saved game damaged.";
  if (path.empty() || !ReadWholeFile(path, bytes, kSaveFileLimit) || !ReadSavedGame(bytes, *saved, error)) {
    Tell(g, error);
    return false;
  }
  const int entry = FindScenarioEntry(g.scenarios, saved->Summary.ScenarioFile);
  if (entry == 0 || !ChooseScenario(g, entry)) {
    Tell(g, SaveScenarioMissingText);
    return false;
  }
  g.continuing = std::move(saved);
  g.values.NewGameStarted = true;
  form.SetGameState(gsPrepareScenario);
  return true;
}

bool ApplyPendingContinue(TForm1& form, bool atPlayStart) {
  Game& g = form.game();
  World& w = g.world;
  GameValues& v = g.values;
  const SavedGame& saved = *g.continuing;
  std::string error;
  if (saved.Summary.ScenarioCrc != v.ScenarioCrc) error = SaveScenarioChangedText;
  std::array<uint8_t, MapCells> chips{};
  const uint32_t now = g.Now();
  if (error.empty()) RestoreSavedGame(saved, w, g.scenario, chips, now, error);
  if (!error.empty()) {
    g.continuing.reset();
    v.GameInProgress = false;
    Tell(g, error);
    form.SetGameState(gsMainMenu);
    return false;
  }
  v.Lives = saved.Play.Lives;
  v.TotalPlaySeconds = saved.Play.TotalPlaySeconds;
  v.LevelClock = now - saved.Play.LevelClockAge;
  v.RestartX = saved.Play.RestartX;
  v.RestartY = saved.Play.RestartY;
  v.TransportersUsed = saved.Play.TransportersUsed;
  g.random.SetState(saved.Play.RandomState);
  if (TBackgroundSprite* bg = g.playfield.Background)
    for (int x = 1; x <= MapWidth; ++x)
      for (int y = 1; y <= MapHeight; ++y) bg->SetCell(x, y, chips[size_t(MapIndex(x, y))]);
  SyncDisplayedScore(g.panel, w.Count.Score);
  if (atPlayStart) {
    g.continuing.reset();
    v.PlayStart = now;
  } else {
    GraphicsContext ctx = g.Graphics();
    BuildLevelGraphics(ctx, CurrentLevelLook(g.scenario, w));
    RefreshBlockGraphics(g);
    form.ApplyPanelLayout();
  }
  w.PanelShown = form.frame().PanelShown;
  RecomputeScreenPositions(w);
  return true;
}

}  // namespace gravik

// Saving and continuing a game on a busy space level (rocks falling, monsters
// hatching, spirits, meteors), beside a profile save measured in the same run:
// the saved game is written atomically like the profile, read back, checked and
// restored into the running world. Needs zqresource.dat beside this program.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "../tests/frame/PlayScenario.h"
#include "BusyLevel.h"
#include "data/SaveGame.h"
#include "platform/Folders.h"

using namespace gravik;
using namespace gravik::playtest;
using BenchClock = std::chrono::steady_clock;

namespace {


template <class F>
double TimeUs(F&& f) {
  const auto t0 = BenchClock::now();
  f();
  return std::chrono::duration<double, std::micro>(BenchClock::now() - t0).count();
}

}  // namespace

int main() {
  // Into play, then a few seconds so rocks fall and monsters hatch.
  const std::unique_ptr<bench::BusyGame> busy = bench::StartBusyGame("savegame_bench", 400);
  if (!busy) return 1;
  gravik::testing::TempHome& files = busy->files;
  gravik::testing::GameHarness& session = *busy->session;
  Game& g = session.game_;
  if (g.profile.CurrentFile.empty()) {
    std::fprintf(stderr, "savegame_bench: no profile to save beside the game\n");
    return 1;
  }
  const std::string path = files.Path() + "/bench.g2s";
  std::array<uint8_t, MapCells> chips{};
  const SaveSummary summary{"busy.zq", 1, "Busy", g.world.CurrentLevel, g.world.Count.Score, 3, 10};
  const SavedPlayValues play{};

  const int rounds = 60;
  std::vector<double> saveUs, loadUs, profileUs;
  size_t bytes = 0;
  int monsters = 0;
  for (const TMonster& m : g.world.Monsters) monsters += m.State != 0;
  for (int i = 0; i < rounds; ++i) {
    saveUs.push_back(TimeUs([&] {
      const std::vector<uint8_t> file = WriteSavedGame(summary, play, g.world, g.scenario, chips, g.Now());
      bytes = file.size();
      if (!WriteWholeFileAtomic(path, file.data(), file.size())) std::abort();
    }));
    loadUs.push_back(TimeUs([&] {
      std::vector<uint8_t> file;
      SavedGame saved;
      std::string error;
      if (!ReadWholeFile(path, file, 8u << 20) || !ReadSavedGame(file, saved, error) ||
          !RestoreSavedGame(saved, g.world, g.scenario, chips, g.Now(), error))
        std::abort();
    }));
    profileUs.push_back(TimeUs([&] {
      if (!SaveProfile(g.profile, g.profileKeys)) std::abort();
    }));
  }
  const double save = bench::Median(saveUs), load = bench::Median(loadUs), profile = bench::Median(profileUs);
  std::printf("busy space level after 400 frames of play (%d monster slots in use), %d rounds\n", monsters, rounds);
  std::printf("saved game: %zu bytes  (goal: under 100 KB)\n", bytes);
  std::printf("save (write + atomic file): median %.0f us\n", save);
  std::printf("continue (read + check + restore): median %.0f us\n", load);
  std::printf("profile save: median %.0f us\n", profile);
  std::printf("ratio (save / profile save): %.2f  (goal: at most 2)\n", save / profile);
  return 0;
}

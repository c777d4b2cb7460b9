// The busy space level the benchmarks play (rocks above open ground, six eggs,
// plants, spirits and meteors), and the game that plays it.
#pragma once
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "../tests/frame/PlayScenario.h"
#include "support/GameHarness.h"
#include "support/TempHome.h"

namespace gravik::bench {

using playtest::Level;
using playtest::LevelText;

inline const std::vector<LevelText> kBusy = {Level(1,
                                            {"################################",
                                             "#P#ooooooooooooooooooooooooooooo",
                                             "#=#ooooooooooooooooooooooooooooo",
                                             "#=#.............................",
                                             "#=#..e....e....e....e....e....e.",
                                             "#=#.............................",
                                             "#=#..p......p......p......p.....",
                                             "#=#.............................",
                                             "#=#.........p..........p........",
                                             "#=#.............................",
                                             "#=#.............................",
                                             "#=#..o..o..o..o..o..o..o..o..o..",
                                             "#=#.............................",
                                             "#=#.............................",
                                             "#=#.............................",
                                             "#=#*............................",
                                             "################################"},
                                            {}, /*space=*/true)};

// The folder of the running benchmark (the build folder, with the data files).
inline std::string ProgramFolder() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string p = n > 0 ? std::string(buf, size_t(n)) : std::string(".");
  const size_t slash = p.rfind('/');
  return slash == std::string::npos ? "." : p.substr(0, slash);
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// The real game in a temporary home, playing the busy level from its file.
struct BusyGame {
  testing::TempHome files;
  std::unique_ptr<testing::GameHarness> session;
};

// Starts the busy level and plays `playMs` into it; null (the reason printed
// under `name`) when the data files are missing or play was not reached.
inline std::unique_ptr<BusyGame> StartBusyGame(const char* name, int playMs) {
  const std::string folder = ProgramFolder();
  if (access((folder + "/zqresource.dat").c_str(), R_OK) != 0) {
    std::fprintf(stderr, "%s: %s/zqresource.dat not found (build data_files)\n", name, folder.c_str());
    return nullptr;
  }
  auto b = std::make_unique<BusyGame>();
  const std::string scenario = b->files.Path() + "/busy.zq";
  playtest::WriteFile(scenario, playtest::BuildScenarioFile(kBusy, playtest::CatalogueFromArchive(folder), "Busy"));
  GameOptions o = testing::GameHarness::Audible();
  o.noMusic = true;
  o.seed = 1;
  o.play = true;
  o.playScenario = scenario;
  b->session = std::make_unique<testing::GameHarness>(o, testing::GameHarness::Handlers::Game, folder + "/gravik");
  if (b->session->Play({}, playMs) != 0 || b->session->game_.frame.GameState != gsPlaying) {
    std::fprintf(stderr, "%s: the game did not reach play\n", name);
    return nullptr;
  }
  return b;
}

}  // namespace gravik::bench

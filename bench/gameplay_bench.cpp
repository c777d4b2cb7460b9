// One whole gameplay frame on a busy space level (rocks falling, monsters
// hatching from eggs, spirits, meteors), beside a plain 640 x 480 RGB565 frame
// copy measured in the same run.
//
// The frame is the form's frame in play: the world tick (PlayingFrame), the
// sprite engine, the moving objects, the side panel, overlays and the present
// to the headless display. The level is laid out again every second (not
// timed) so the rocks keep falling. Needs zqresource.dat beside this program.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "../tests/frame/PlayScenario.h"
#include "BusyLevel.h"
#include "frame/GameFlow.h"
#include "world/LevelSetup.h"
#include "world/Targets.h"

using namespace gravik;
using namespace gravik::playtest;
using gravik::bench::kBusy;
using BenchClock = std::chrono::steady_clock;

namespace {

double Mean(const std::vector<double>& v) {
  double s = 0;
  for (double x : v) s += x;
  return v.empty() ? 0 : s / double(v.size());
}

}  // namespace

int main() {
  // Into play, then a moment so the first rocks are on their way.
  const std::unique_ptr<bench::BusyGame> busy = bench::StartBusyGame("gameplay_bench", 200);
  if (!busy) return 1;
  gravik::testing::GameHarness& session = *busy->session;
  Game& g = session.game_;
  TForm1& form = session.form_;
  HeadlessPlatform& hp = session.hp_;
  const uint8_t rock = g.world.Named.Rock;

  const int frames = 1800;  // 30 s of play at 60 frames a second
  std::vector<double> frameUs;
  frameUs.reserve(frames);
  long rocksMoved = 0, monsterFrames = 0, spiritFrames = 0, meteorFrames = 0;
  std::vector<uint8_t> before(g.world.Map.begin(), g.world.Map.end());
  for (int i = 0; i < frames; ++i) {
    if (i % 60 == 0) {  // the level laid out again: every rock falls anew
      BuildWorld(g.world);
      PlacePlayerAtRestart(g);
      CountTargets(g.world);
      before.assign(g.world.Map.begin(), g.world.Map.end());
    }
    hp.EndFrame();
    const auto t0 = BenchClock::now();
    form.DXTimerTimer();
    frameUs.push_back(std::chrono::duration<double, std::micro>(BenchClock::now() - t0).count());
    if (g.frame.GameState != gsPlaying) {
      std::fprintf(stderr, "gameplay_bench: play ended at frame %d (state %d)\n", i, g.frame.GameState);
      return 1;
    }
    for (size_t c = 0; c < before.size(); ++c)
      if (g.world.Map[c] == rock && before[c] != rock) ++rocksMoved;
    before.assign(g.world.Map.begin(), g.world.Map.end());
    for (const TMonster& m : g.world.Monsters) monsterFrames += m.State == 2;
    for (const TSpirit& s : g.world.Spirits) spiritFrames += s.Active != 0;
    for (const TMeteor& m : g.world.Meteors) meteorFrames += m.Active != 0;
  }

  // The plain copy: one 640 x 480 RGB565 frame, same number of repetitions.
  std::vector<uint16_t> src(640 * 480), dst(640 * 480);
  for (size_t i = 0; i < src.size(); ++i) src[i] = uint16_t(i * 2654435761u >> 16);
  std::vector<double> copyUs;
  copyUs.reserve(frames);
  uint32_t sink = 0;
  for (int i = 0; i < frames; ++i) {
    src[size_t(i) % src.size()] ^= 1;
    const auto t0 = BenchClock::now();
    std::memcpy(dst.data(), src.data(), src.size() * 2);
    copyUs.push_back(std::chrono::duration<double, std::micro>(BenchClock::now() - t0).count());
    sink += dst[size_t(i * 7919) % dst.size()];
  }

  const double frameMed = bench::Median(frameUs), copyMed = bench::Median(copyUs);
  std::printf("busy space level, %d frames at 60 frames a second of game time\n", frames);
  std::printf("  per frame: rocks arriving in a cell %.1f, monsters %.2f, spirits %.2f, meteors %.1f\n",
              double(rocksMoved) / frames, double(monsterFrames) / frames, double(spiritFrames) / frames,
              double(meteorFrames) / frames);
  std::printf("gameplay frame: median %.1f us, mean %.1f us, worst %.1f us\n", frameMed, Mean(frameUs),
              *std::max_element(frameUs.begin(), frameUs.end()));
  std::printf("640x480 RGB565 copy: median %.1f us, mean %.1f us\n", copyMed, Mean(copyUs));
  std::printf("ratio (median frame / median copy): %.2f  (goal: at most 8)  [%u]\n", frameMed / copyMed, sink & 1);
  return 0;
}

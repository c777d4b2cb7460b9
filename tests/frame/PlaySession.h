// A whole game run in-process on the headless platform: start-up, the archive
// from the build folder, a purpose-made scenario, and moves timed from the
// first frame of play.
#pragma once
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frame/Form.h"
#include "frame/GameState.h"
#include "app/Program.h"
#include "platform/headless/HeadlessPlatform.h"
#include "PlayScenario.h"

namespace gravik::playtest {

inline bool ArchiveBuilt() { return std::filesystem::exists(std::string(GRAVIK_BINARY_DIR) + "/zqresource.dat"); }

// A fresh folder that becomes GRAVIK_HOME; removed at the end.
struct TempHome {
  TempHome() {
    char tmpl[] = "/tmp/gravik-play-XXXXXX";
    path = mkdtemp(tmpl);
    setenv("GRAVIK_HOME", path.c_str(), 1);
  }
  ~TempHome() { std::filesystem::remove_all(path); }
  std::string path;
};

// A key held for `holdMs`, pressed `atMs` after the first frame of play.
struct Move {
  int atMs = 0;
  std::string key;
  int holdMs = 0;
};

class PlaySession {
 public:
  PlaySession(const std::string& scenarioFile, double frameMs, uint64_t seed)
      : frameMs_(frameMs), hp_(std::string(GRAVIK_BINARY_DIR) + "/gravik"), platform_(hp_.Get()),
        game_(platform_, Options(scenarioFile, seed)), form_(game_) {
    hp_.shell.SetEcho(false);
    hp_.clock.SetFrameStepUs(uint64_t(std::llround(frameMs * 1000.0)));
    form_.FormCreate();
    InstallGameHandlers(form_);
  }

  // Runs until play begins (at most 20 s of game time), schedules `moves` and
  // plays on for `playMs`. `perFrame` sees every frame from the first frame of
  // play on. Returns the loop's exit status.
  int Play(const std::vector<Move>& moves, int playMs, const std::function<void(Game&)>& perFrame = {}) {
    uint32_t frame = 0;
    long playFrame = -1;
    const long playFrames = std::lround(playMs / frameMs_);
    const long startLimit = std::lround(20000 / frameMs_);
    hp_.BeginFrame(frame);
    return RunMessageLoop(form_, [&] {
      hp_.EndFrame();
      ++frame;
      if (playFrame < 0 && game_.frame.GameState == gsPlaying) {
        playFrame = long(frame);
        Schedule(moves, playFrame);
      }
      if (playFrame >= 0) {
        if (perFrame) perFrame(game_);
        if (long(frame) - playFrame >= playFrames) return false;
      } else if (long(frame) > startLimit) {
        return false;
      }
      hp_.BeginFrame(frame);
      return true;
    });
  }

  bool Started() const { return game_.frame.Started; }
  Game& game() { return game_; }
  TForm1& form() { return form_; }
  HeadlessPlatform& platform() { return hp_; }

 private:
  static GameOptions Options(const std::string& scenarioFile, uint64_t seed) {
    GameOptions o;
    o.headless = true;
    o.noMusic = true;
    o.seed = seed;
    o.play = true;
    o.playScenario = scenarioFile;
    return o;
  }

  void Schedule(const std::vector<Move>& moves, long playFrame) {
    std::string script;
    for (const Move& m : moves) {
      const long down = playFrame + std::lround(m.atMs / frameMs_);
      const long up = down + std::max(1L, std::lround(m.holdMs / frameMs_));
      script += std::to_string(down) + " key down " + m.key + "\n";
      script += std::to_string(up) + " key up " + m.key + "\n";
    }
    hp_.input.ParseScript(script);
  }

  TempHome home_;
  double frameMs_;
  HeadlessPlatform hp_;
  Platform platform_;
  Game game_;
  TForm1 form_;
};

}  // namespace gravik::playtest

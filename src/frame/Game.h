// The one game instance: every process-wide record of the game lives here and is
// passed by reference. Tests build their own.
#pragma once
#include <cstdint>
#include <string>

#include "base/Random.h"
#include "frame/FrameState.h"
#include "platform/Platform.h"
#include "render/Bitmap.h"
#include "render/ImageList.h"

namespace gravik {

// Values of the game in progress that the frame itself keeps.
struct GameValues {
  uint32_t PlayStart = 0;           // tick when gsPlaying was last entered
  uint32_t PlayStretchStart = 0;    // start of the current play stretch
  uint32_t TotalPlaySeconds = 0;
  bool NewGameStarted = false;
  bool ArrivedByTransporter = false;
  bool MusicStartNow = false;       // start the level music this frame
  bool MusicHandled = false;
};

struct GameOptions {
  bool headless = false;
  bool noSound = false;
  bool noMusic = false;
  bool debug = false;            // frame-rate and debug read-outs
  bool startFullScreen = false;
  uint64_t seed = 1;
  std::string exeName = "gravik";
};

class Game {
 public:
  Game(Platform& platform, const GameOptions& options);
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  Platform& platform;
  GameOptions options;
  FrameState frame;
  GameValues values;
  RandomGenerator random;

  ImageList images;
  Bitmap backSurface;   // the 640 x 480 frame being composed
  Bitmap scratch;       // off-screen scratch surface
  Bitmap panelSurface;  // side-panel work surface

  uint32_t Now() { return platform.clock.TickCount(); }
};

}  // namespace gravik

#include "frame/Game.h"

namespace gravik {

Game::Game(Platform& p, const GameOptions& o) : platform(p), options(o), random(o.seed) {
  backSurface.SetSize(kScreenWidth, kScreenHeight);
}

}  // namespace gravik

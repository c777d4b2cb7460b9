#include "screens/ScreenMemory.h"

namespace gravik {

Screens& ScreensOf(Game& g) {
  if (!g.screenMemory) g.screenMemory = std::make_unique<Screens>();
  return static_cast<Screens&>(*g.screenMemory);
}

const Screens& ScreensOf(const Game& g) {
  static const Screens none;
  return g.screenMemory ? static_cast<const Screens&>(*g.screenMemory) : none;
}

}  // namespace gravik

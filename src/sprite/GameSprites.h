// The game's own sprite classes: the playfield background and the figures
// (player and mouse pointer). They add nothing to their engine classes.
#pragma once
#include "sprite/Sprite.h"

namespace gravik {

class TBackground : public TBackgroundSprite {
 public:
  using TBackgroundSprite::TBackgroundSprite;
};

class TPlayer : public TImageSprite {
 public:
  using TImageSprite::TImageSprite;
};

}  // namespace gravik

// The start-up splash window: a picture shown while the game loads, closed
// before the first frame. The game composes the picture (label included); the
// platform only puts it on the screen.
#pragma once
#include <cstddef>
#include <cstdint>

namespace gravik {

class Splash {
 public:
  virtual ~Splash() = default;
  // Shows `pixels` (RGB565, width * height, rows packed) in a small borderless
  // window centred on the desktop; a later call replaces the picture.
  virtual void Show(const uint16_t* pixels, int width, int height) = 0;
  // Takes the window down; nothing happens when none is shown.
  virtual void Close() = 0;
};

// The splash picture embedded in the program: a compressed container of a
// 16-bit BMP. Defined by the source the resource builder generates, which only
// the program itself is built with.
const uint8_t* SplashData(size_t& size);

}  // namespace gravik

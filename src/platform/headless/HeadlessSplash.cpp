#include "platform/headless/HeadlessSplash.h"

namespace gravik {

void HeadlessSplash::Show(const uint16_t* pixels, int width, int height) {
  Open = true;
  ++ShowCount;
  Width = width;
  Height = height;
  Pixels.assign(pixels, pixels + size_t(width) * size_t(height));
}

void HeadlessSplash::Close() {
  if (!Open) return;
  Open = false;
  ++CloseCount;
}

}  // namespace gravik

#include "platform/Viewport.h"

#include <algorithm>

#include <cstdint>

namespace gravik {

Viewport FitViewport(int windowW, int windowH, int pictureW, int pictureH) {
  Viewport v;
  v.pictureW = pictureW;
  v.pictureH = pictureH;
  if (windowW <= 0 || windowH <= 0 || pictureW <= 0 || pictureH <= 0) return v;
  const int scale = std::min(windowW / pictureW, windowH / pictureH);
  if (scale >= 1) {
    v.w = pictureW * scale;
    v.h = pictureH * scale;
  } else if (int64_t(windowW) * pictureH <= int64_t(windowH) * pictureW) {
    v.w = windowW;
    v.h = std::max(1, int(int64_t(windowW) * pictureH / pictureW));
  } else {
    v.h = windowH;
    v.w = std::max(1, int(int64_t(windowH) * pictureW / pictureH));
  }
  v.x = (windowW - v.w) / 2;
  v.y = (windowH - v.h) / 2;
  return v;
}

void Viewport::ToScreen(int wx, int wy, int& sx, int& sy) const {
  if (w <= 0 || h <= 0) {
    sx = sy = 0;
    return;
  }
  // Floor division so points left of or above the picture stay outside it.
  auto scaleDown = [](int64_t d, int64_t size, int64_t full) {
    int64_t n = d * full;
    return n >= 0 ? n / size : -((-n + size - 1) / size);
  };
  int64_t px = scaleDown(int64_t(wx) - x, w, pictureW);
  int64_t py = scaleDown(int64_t(wy) - y, h, pictureH);
  sx = int(std::clamp<int64_t>(px, 0, pictureW - 1));
  sy = int(std::clamp<int64_t>(py, 0, pictureH - 1));
}

int DefaultWindowScale(int desktopW, int desktopH, int maxScale, int pictureW, int pictureH) {
  int best = 1;
  for (int s = 2; s <= maxScale; ++s) {
    if (pictureW * s <= desktopW && pictureH * s <= desktopH) best = s;
  }
  return best;
}

}  // namespace gravik

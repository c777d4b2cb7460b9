// Placement of the 640 x 480 picture in a window of any size: the largest
// integer scale that fits, centred with black bars; a window smaller than the
// picture gets it shrunk to fit, keeping its shape.
#pragma once

namespace gravik {

struct Viewport {
  int x = 0, y = 0, w = 0, h = 0;  // destination rectangle in window pixels
  int pictureW = 640, pictureH = 480;

  // Window point to picture coordinates, held inside the picture.
  void ToScreen(int wx, int wy, int& sx, int& sy) const;
};

Viewport FitViewport(int windowW, int windowH, int pictureW = 640, int pictureH = 480);

// Largest integer window scale, at most `maxScale`, whose window fits in a
// desktop area of the given size (at least 1).
int DefaultWindowScale(int desktopW, int desktopH, int maxScale = 3, int pictureW = 640,
                       int pictureH = 480);

}  // namespace gravik

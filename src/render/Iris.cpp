#include "render/Iris.h"

namespace gravik {

void DrawIris(Bitmap& surface, const TransportIris& iris) {
  const int x0 = iris.XOffset;
  for (int n = 1; n <= 60; ++n) {
    if (!(n < iris.Progress)) continue;  // a hollow brush paints nothing
    // Table entry 0 does not exist: rings 7, 14, ... take entry 7.
    const int entry = n % 7 == 0 ? 7 : n % 7;
    const uint16_t colour = ToRgb565(iris.Colours[size_t(entry)]);
    const int a = 4 * n, c = 4 * (n - 1);
    surface.FillRect({x0 + c, c, x0 + 480 - c, a}, colour);              // top
    surface.FillRect({x0 + c, 480 - a, x0 + 480 - c, 480 - c}, colour);  // bottom
    surface.FillRect({x0 + c, c, x0 + a, 480 - c}, colour);              // left
    surface.FillRect({x0 + 480 - a, c, x0 + 480 - c, 480 - c}, colour);  // right
  }
}

}  // namespace gravik

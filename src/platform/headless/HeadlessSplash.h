// A splash that shows nothing but remembers what it was given.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/Splash.h"

namespace gravik {

class HeadlessSplash : public Splash {
 public:
  void Show(const uint16_t* pixels, int width, int height) override;
  void Close() override;

  bool Open = false;
  int ShowCount = 0;
  int CloseCount = 0;
  int Width = 0, Height = 0;
  std::vector<uint16_t> Pixels;  // the last picture shown
};

}  // namespace gravik

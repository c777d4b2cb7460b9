#include "world/Transport.h"

namespace gravik {

void BeginIrisClose(TransportIris& iris, uint32_t now, bool panelShown) {
  if (iris.Started) return;
  iris.Progress = 1.0;
  iris.XOffset = panelShown ? 0 : 80;
  iris.Started = true;
  iris.Clock = now;
}

bool AdvanceIrisClose(TransportIris& iris, uint32_t now) {
  iris.Progress += 0.1 * double(now - iris.Clock);
  iris.Clock = now;
  if (iris.Progress >= 62) iris.Progress = 62;
  return iris.Progress >= 62;
}

void BeginIrisOpen(TransportIris& iris, uint32_t now, bool panelShown) {
  if (iris.Started) return;
  iris.Progress = 60.0;
  iris.XOffset = panelShown ? 0 : 80;
  iris.Started = true;
  iris.Clock = now;
}

bool AdvanceIrisOpen(TransportIris& iris, uint32_t now) {
  iris.Progress -= 0.1 * double(now - iris.Clock);
  iris.Clock = now;
  if (iris.Progress < 1) {
    iris.Progress = 0;
    return true;
  }
  return false;
}

}  // namespace gravik

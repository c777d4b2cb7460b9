// The transporter journey: a square iris of coloured rings closes over the
// playfield, the level changes, and the iris opens again.
#pragma once
#include <array>
#include <cstdint>

#include "base/Types.h"

namespace gravik {

struct TransportIris {
  double Progress = 0;  // rings filled, 0..62
  int XOffset = 80;     // 0 while the side panel is shown
  uint32_t Clock = 0;
  bool Started = false;  // cleared by every game-state switch
  // Colour table entries 1..7, read from the "TRANSPORT1" picture.
  std::array<TColor, 8> Colours{};
};

// Closing (gsTransportOut). Call Begin on every frame (it acts on the first),
// draw it, then Advance; Advance returns true once the iris is
// closed (progress 62): draw three more full frames and switch to
// gsTransportArrive.
void BeginIrisClose(TransportIris& iris, uint32_t now, bool panelShown);
bool AdvanceIrisClose(TransportIris& iris, uint32_t now);
// Opening (gsTransportIn): Advance returns true when the rings are gone
// (progress 0): switch to gsPlaying.
void BeginIrisOpen(TransportIris& iris, uint32_t now, bool panelShown);
bool AdvanceIrisOpen(TransportIris& iris, uint32_t now);

}  // namespace gravik

// The start-up sequence: folders, archive, graphics, fonts, sound, music,
// scenarios and display mode, run once by the deferred start.
#pragma once
#include "frame/GameFolders.h"

namespace gravik {

class TForm1;

void RunStartUp(TForm1& form);

// Reads the W key twice; holding it during start-up forces window mode.
void PollForceWindowKey(TForm1& form);

}  // namespace gravik

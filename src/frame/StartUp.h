// The start-up sequence: folders, archive, graphics, fonts, sound, music,
// scenarios and display mode, run once by the deferred start.
#pragma once
#include <string>

namespace gravik {

class TForm1;

// Folders the game keeps for the run.
struct GameFolders {
  std::string Program;     // the executable's folder
  std::string Documents;   // .../Vantorix/Gravik 2/<edition>/
  std::string Scenarios;   // Documents + "Scenarios/"
  std::string Profiles;    // Documents + "Profiles/"
  std::string Temp;
  std::string Data;        // per-user data folder
};

void RunStartUp(TForm1& form);

// Reads the W key twice; holding it during start-up forces window mode.
void PollForceWindowKey(TForm1& form);

}  // namespace gravik

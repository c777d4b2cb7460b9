// The folders the game keeps for the run, found at start-up.
#pragma once
#include <string>

namespace gravik {

// Folders the game keeps for the run.
struct GameFolders {
  std::string Program;     // the executable's folder
  std::string Documents;   // .../Vantorix/Gravik 2/<edition>/
  std::string Scenarios;   // Documents + "Scenarios/"
  std::string Profiles;    // Documents + "Profiles/"
  std::string Temp;
  std::string Data;        // per-user data folder
};

}  // namespace gravik

// Saving a running game and continuing it later: one saved game per profile,
// in the documents folder's "Savegames". The game saves at each transporter
// arrival and each lost life, on "Save and exit" and when the program closes
// during a game; a demo, a recording and a game started from the command line
// never save. Game over and completion remove the saved game.
#pragma once
#include <optional>
#include <string>

#include "data/SaveGame.h"

namespace gravik {

class Game;
class TForm1;

inline constexpr const char* SaveFailedText = "Unable to save game.";
inline constexpr const char* SaveScenarioChangedText =
    "The scenario of the saved game has changed since. Please start a new game.";
inline constexpr const char* SaveScenarioMissingText = "The scenario of the saved game was not found.";

// The current profile's saved game file ("" without a current profile).
std::string SavedGamePath(const Game& g);
// A game is being played that may be saved.
bool GameMaySave(const Game& g);
// Saves the running game when it may be saved; false when it may not or the
// write failed (a notice tells the player then). Clocks frozen by a menu are
// thawed first: the caller leaves play afterwards.
bool SaveRunningGame(TForm1& form);
// Closing the program during a game: a journey or a death under way is
// finished first, so the saved game holds where the player really is.
void SaveBeforeClosing(TForm1& form);
// The game ended (game over, completion, quit): its saved game goes.
void RemoveSavedGame(Game& g);

// What the main menu shows: the summary of the current profile's saved game,
// or nothing. A file that cannot be read is reported once in `error`.
struct SavedGameInfo {
  bool Present = false;  // a file exists
  bool Readable = false;
  SaveSummary Summary;
  std::string Error;
};
SavedGameInfo PeekSavedGame(Game& g);

// Continues the current profile's saved game: its scenario is chosen and
// prepared, the title card shows, and play goes on from the saved state.
// False (a message box said why, nothing changed) when it cannot be continued.
bool ContinueSavedGame(TForm1& form);

// Called by the scenario preparation and the end of the title card: applies a
// pending continuation. False when the saved game does not fit the scenario
// just prepared (the player was told; the menu follows).
bool ApplyPendingContinue(TForm1& form, bool atPlayStart);

// CRC-32 of the prepared scenario as it was loaded (its header and levels),
// which ties a saved game to an unchanged scenario.
uint32_t ScenarioContentCrc(const Game& g);

}  // namespace gravik

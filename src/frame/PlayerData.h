// The player's profile and the machine settings as the running game uses them:
// loading at start-up, saving after the moments that change them, best results.
#pragma once
#include <string>

#include "data/Profile.h"
#include "data/Settings.h"

namespace gravik {

class Game;
class TForm1;
struct AudioState;
struct AudioSwitches;
struct InputState;

// The loaded profile's options into the running game: key slots, joystick
// switch, sound and music switches and levels (then the volumes), the panel
// layout and the preferred window mode. The caller starts the joystick when
// in.JoystickEnabled is set.
void ApplyProfile(const TProfileRecord& r, InputState& in, AudioState& audio, bool& panelShown,
                  bool& windowedPreference);
// The running game's options into the record, before a save.
void TakeIntoProfile(TProfileRecord& r, const InputState& in, const AudioState& audio, bool panelShown,
                     bool windowed);

// Start-up: sound and music switches on, a disabled sound or music added to
// the audio switches, the keyboard mode set and its key names rebuilt.
void ApplyIniSettings(const IniSettings& ini, AudioSwitches& switches, AudioState& audio, InputState& input);

// There is a current player with a profile file.
bool HasCurrentProfile(const Game& g);

// The running game's options into the current profile, then an atomic save.
// A failed save keeps the old file and shows a timed notice. Nothing is saved
// without a current profile or during a demo. Returns true when saved.
bool SaveCurrentProfile(Game& g);

// After a profile became current and loaded: the settings store remembers the
// player, the options take effect, the panel's key labels follow the bindings.
void ApplyLoadedProfile(Game& g);

// Start-up: the remembered player's profile, when one was stored and profiles
// exist. A refused file leaves no profile current (the game goes on).
void ActivateRememberedProfile(Game& g);

// For runs that start playing at once: makes the profile named "Player"
// current, creating it when no profile is current.
void EnsurePlayerProfile(Game& g);

// A run that plays a scenario file at once (--play FILE) plays under the
// profile's record of that scenario when the file is one of the listed ones
// (a record is added when the profile has none); other files keep no results.
void ChoosePlayedScenario(Game& g);

// The scenarios screen's choice: list entry `entry` (1-based) becomes the
// scenario to play and, with a current profile, its current scenario record (a
// record is added when it has none); the profile takes the scenario's totals
// and is saved. False, changing nothing, for an entry outside the list or a
// damaged one.
bool ChooseScenario(Game& g, int entry);

// The profile's record of list entry `entry` (highest score, best time); null
// when there is no current profile, no such entry or no record of it.
const TScenarioRecord* ScenarioRecordOf(const Game& g, int entry);

// The end of a game: the best score (and, completed, the best time) of the
// current scenario record, saved when they changed; the result is kept in the
// game values for the end screen.
void RecordGameEnd(Game& g, bool completed);

// The "kbi=" line of "gravik.ini" after the keyboard mode changed.
void SaveKeyboardModeSetting(Game& g);

// The display mode into the profile and the settings store (F10).
void StoreDisplayMode(Game& g);

// The profile's best score and best time of the current scenario (0 = none).
int32_t BestScore(const Game& g);
uint32_t BestTime(const Game& g);

}  // namespace gravik

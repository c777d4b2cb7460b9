// The form's key and mouse handlers, the keys of play, and the controls the
// player's frame reads.
#pragma once
#include <cstdint>

#include "frame/ScreenUnit.h"
#include "input/Input.h"
#include "render/Panel.h"
#include "world/Player.h"

namespace gravik {

class TForm1;
class Game;
struct World;

// Key-down events: the current screen's unit handles its rows of the key
// table, then the form's own row (F10) for the state the key arrived in.
void FormKeyDown(TForm1& form, const KeyEvent& key);
// Key-press characters: text entry first, then the current screen's unit.
void FormKeyPress(TForm1& form, char key);
// Mouse moves and enters move the pointer; presses, releases and the wheel go
// to the current screen's unit.
void FormMouse(TForm1& form, const InputEvent& ev);

// The rows of play (gsPlaying): Ctrl+Shift+A, K and L, F2, Shift+R, F8; and
// Backspace as a typed character.
void PlayingKeyDown(TForm1& form, const KeyEvent& key);
void PlayingKeyPress(TForm1& form, char key);

// Read by the player's frame: the status, map and lose-a-life keys and the
// joystick buttons.
void PollPlayKeys(TForm1& form);
// Q, S, W and D in play and on the completion screen.
void PollAudioKeys(TForm1& form);
// Once per frame of the options screen in keyboard mode 1: a waiting key capture
// takes the key held down. True when a key was taken.
bool PollKeyCapture(TForm1& form);

// More than 500 ms since the last debounced action (PanelToggleTick).
bool MenuKeyReady(TForm1& form);
// A debounced action was taken now: the next waits its 500 ms.
void MenuKeyTaken(TForm1& form);
// A key or click on the title card ends it, unless a new game was just started
// with music enabled (the card then runs its full time with the music).
void EndTitleCard(Game& g);
// The player stands exactly on a cell.
bool PlayerOnCell(const Game& g);
// The map and status key names for the side panel's foot.
PanelKeyLabels PanelKeyLabelsFor(const InputState& input);
// The monster, meteor and spirit hit marks.
void ClearHitMarks(World& w);
// A timed notice over play (and the map view).
void ShowNotice(Game& g, const std::string& text, uint32_t ms = 1000);
// A timed notice over every screen (the screenshot's file name).
void ShowNoticeEverywhere(Game& g, const std::string& text, uint32_t ms);

// Joystick buttons (kPad* bits, Start and Back included) pressed since the
// screen was entered: a button held on entry counts only after it was let go.
// Call NoteJoystickAtEntry from the screen's entry routine. Nothing while the
// joystick is not enabled.
void NoteJoystickAtEntry(Game& g);
uint8_t NewJoystickButtons(Game& g);

// Once a frame, whether or not the joystick is enabled: the pad's buttons and
// direction, what is new since the last frame, and the pad as the device last
// used when something on it was pressed or pushed.
void WatchPad(Game& g);
// A key typed or a click: the pad is no longer the device last used.
void NoteOtherDeviceUsed(Game& g);

// The controls as the player's frame reads them: the bound direction keys, the
// joystick's pure directions, then the play keys and the audio keys.
class KeyPlayerInput : public PlayerInput {
 public:
  explicit KeyPlayerInput(TForm1& form) : form_(form) {}
  bool KeyHeld(int direction) override;
  bool JoystickEnabled() const override;
  bool JoystickHeld(int direction) override;
  // During a demo its events move the player and the play keys do nothing.
  bool DemoPlaying() const override;
  int DemoRequest(World& w) override;
  void ReadOtherKeys(World& w) override;

 private:
  TForm1& form_;
};

}  // namespace gravik

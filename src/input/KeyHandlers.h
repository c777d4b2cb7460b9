// The main form's key and mouse handlers and the keys polled during play.
#pragma once
#include <cstdint>

#include "input/Input.h"
#include "render/Panel.h"
#include "world/Player.h"

namespace gravik {

class TForm1;
struct World;

// Installs FormKeyDown, FormKeyPress and MouseHandler on the form; they act on
// `input`, which must outlive the form's use of them.
void InstallInputHandlers(TForm1& form, InputState& input);

// The handlers themselves (what InstallInputHandlers connects).
void FormKeyDown(TForm1& form, InputState& input, uint8_t vk, uint8_t shift);
void FormKeyPress(TForm1& form, InputState& input, char key);
void FormMouse(TForm1& form, InputState& input, const InputEvent& ev);

// Once per frame of gsPlaying: the status, map and lose-a-life keys and the
// joystick buttons.
void PollPlayKeys(TForm1& form, InputState& input);
// Once per frame of gsPlaying and gsScenarioComplete: Q, S, W and D.
void PollAudioKeys(TForm1& form, InputState& input);
// Once per frame of the options screen in keyboard mode 1: a waiting key capture
// takes the key held down.
void PollKeyCapture(TForm1& form, InputState& input);

// F8 in the pause screen: back to play where it stopped.
void ResumeFromPause(TForm1& form, InputState& input);
// A key or click on the title card ends it, unless a new game was just started
// with music enabled (the card then runs its full time with the music).
void EndTitleCard(TForm1& form);
// The player stands exactly on a cell.
bool PlayerOnCell(TForm1& form);
// The map and status key names for the side panel's foot.
PanelKeyLabels PanelKeyLabelsFor(const InputState& input);
// The monster, meteor and spirit hit marks.
void ClearHitMarks(World& w);

// The controls as the player's frame reads them: the bound direction keys, the
// joystick's pure directions, then the polled play keys (the audio keys are
// polled by the frame: they also work on the completion screen).
class KeyPlayerInput : public PlayerInput {
 public:
  KeyPlayerInput(TForm1& form, InputState& input) : form_(form), input_(input) {}
  bool KeyHeld(int direction) override;
  bool JoystickEnabled() const override;
  bool JoystickHeld(int direction) override;
  void ReadOtherKeys(World& w) override;

 private:
  TForm1& form_;
  InputState& input_;
};

}  // namespace gravik

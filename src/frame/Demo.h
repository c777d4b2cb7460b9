// Demonstrations in the running game: starting one (the command line or the
// main menu's attract mode), playing it back in place of the controls, its
// caption, its end; and recording a game into a demo file.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "data/Demo.h"
#include "world/Player.h"

namespace gravik {

class Game;
class TForm1;
class Bitmap;

// The demo being played back.
struct DemoPlayback {
  std::unique_ptr<DemoFile> File;
  uint32_t EventNumber = 1;
  bool TimingPending = false;  // the snapshot's timing is applied on the first frame of play
};

// --record-demo: the game from the start of play until the level is left, the
// game ends or the program closes.
class DemoRecorder {
 public:
  explicit DemoRecorder(std::string path) : Path(std::move(path)) {}
  std::string Path;
  DemoRecording Recording;
  uint32_t PlayStart = 0;
  bool Written = false;
  bool InProgress() const { return Recording.Started() && !Written; }
};

constexpr uint32_t AttractDemoIdleMs = 30000;

// Reads a demo ("" = the built-in one from the archive) and, when it is sound,
// switches demo mode on and prepares the built-in scenario. A refused demo
// leaves everything as it was and says why on stderr; false.
bool BeginDemo(TForm1& form, const std::string& file);
// Step 10 of preparing a scenario: the snapshot replaces the running level.
void StartDemo(TForm1& form);
// The move direction for this play frame (the player's input step); ends the
// demo after its last event or while Escape is held.
int DemoInput(TForm1& form, World& w);
// Demo mode off, the hit marks cleared, the playfield hidden, the main menu.
void EndDemo(TForm1& form);
// EndDemo without the state change (SetGameState uses it when a demo would
// reach a screen of its own).
void LeaveDemoMode(Game& g);
// The states a demo passes through; any other ends it.
bool DemoState(uint8_t state);
// The caption box while a caption event is pending (whatever the demo's state).
bool DemoCaptionPending(const Game& g);
void DrawDemoCaption(Game& g, Bitmap& surface);

// Any key, mouse click or joystick button during a demo ends it. True when the
// demo took the input.
bool DemoTakesKey(TForm1& form);
bool DemoTakesClick(TForm1& form);
// Once a frame, before the screen's handler, in every state of a demo.
void DemoPollJoystick(TForm1& form);

// Idle tracking for the attract demo: key and mouse events note themselves.
void NoteUserInput(Game& g);
// Called by the main menu's frame: after 30 s without key, mouse or joystick
// input the built-in demo plays.
void MaybeStartAttractDemo(TForm1& form);

// Recording.
// The recorder for --record-demo (with --demo-captions), made at start-up.
// False with a message when the caption file cannot be read.
bool SetUpRecorder(Game& g, std::string& error);
bool Recording(const Game& g);
// The background sprite's chip of every cell, column-major (a demo snapshot and
// a saved game keep them).
std::array<uint8_t, MapCells> BackgroundChips(Game& g);
// The first frame of play: the snapshot. Every frame of play: nothing else.
void RecordPlayBegins(Game& g);
// Writes the demo file once (the level left, the game over, the program closing).
void FinishRecording(Game& g);
// The first frame of a demo's play: the snapshot's timing from now on.
void DemoPlayBegins(Game& g);

// The controls a recorded game reads: the player's own, except that a step
// never runs on into the next cell while a direction is held (a demo's moves
// are one cell each), and every standing frame is noted for the recording.
class RecordingInput : public PlayerInput {
 public:
  RecordingInput(Game& g, PlayerInput& inner) : g_(g), inner_(inner) {}
  bool KeyHeld(int direction) override;
  bool JoystickEnabled() const override { return inner_.JoystickEnabled(); }
  bool JoystickHeld(int direction) override;
  // A game being recorded is never a demo playing back.
  bool DemoPlaying() const override { return false; }
  int DemoRequest(World&) override { return 0; }
  void ReadOtherKeys(World& w) override;

 private:
  Game& g_;
  PlayerInput& inner_;
};

}  // namespace gravik

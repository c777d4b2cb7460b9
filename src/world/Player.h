// The player: stepping from cell to cell, pushing, digging, idling, dying.
#pragma once
#include "world/World.h"

namespace gravik {

// What the player's frame reads from the controls; the frame connects it to
// the key slots, the joystick and the demo player.
struct PlayerInput {
  virtual ~PlayerInput() = default;
  // A bound direction key (1 up, 2 right, 3 down, 4 left) is held.
  virtual bool KeyHeld(int direction) = 0;
  virtual bool JoystickEnabled() const = 0;
  virtual bool JoystickHeld(int direction) = 0;
  // While a recording plays back, it gives the requested direction instead of
  // the keys (0 none); it also ends the playback.
  virtual bool DemoPlaying() const = 0;
  virtual int DemoRequest(World& w) = 0;
  // Status, map and lose-a-life keys and the sound toggles, read after the
  // direction.
  virtual void ReadOtherKeys(World& w) = 0;
};

// The player's part of the tick.
void PlayerFrame(World& w, PlayerInput* input);
bool Walkcheck(World& w, int x, int y);
bool CanPush(const World& w, int x1, int y, int x2);
void ReadMoveInput(World& w, PlayerInput* input);
int NextStepDirection(World& w, PlayerInput* input);
// Starts a step in `direction` from the player's cell; false when refused.
bool BeginStep(World& w, int direction);
void IdleAnimation(World& w);
// stamp = false clears the player's cell, true writes the player block.
void MarkPlayerCell(World& w, bool stamp);
void CheckPlayerDeath(World& w);
void StartDeath(World& w);
// Standing exactly on a cell, view and pixel position to match.
void PlacePlayer(World& w, int x, int y);

// The walk animation of a direction (1..4) in a graphics style: one letter per
// frame, "A" standing for pattern 0; and how long each frame shows.
const char* WalkAnimation(int direction, int graphicsStyle);
double WalkFrameMs(int direction, int graphicsStyle);

// Pattern of the glass idle string at position 1..17.
int GlassPattern(int position);

}  // namespace gravik

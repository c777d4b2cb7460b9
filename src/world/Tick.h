// One gameplay frame of the world: `GameTick` runs every step of the frame in
// its order, from the frame step to the reports of a death and of the
// scenario's completion.
#pragma once
#include <cstdint>
#include <string>

#include "world/Player.h"
#include "world/World.h"

namespace gravik {

// What the tick needs from the frame around the world. Every member must do
// its job: the frame connects the playfield sprites, the music and the
// drawing; `RulesOnlyHost` below runs the rules without a screen.
struct TickHost {
  virtual ~TickHost() = default;
  // Step 1: the distance moving things cover in this frame.
  virtual double MeasureFrameStep() = 0;
  // Step 2: the looping and restarting of the background music.
  virtual void MusicUpkeep() = 0;
  // Step 3: the view offset copied to the background and player sprites.
  virtual void PlaceView(double viewX, double viewY) = 0;
  // A one-line notice over play (the "Transporters dead??" diagnostic).
  virtual void ShowNotice(const std::string& text, uint32_t ms) = 0;
  // The controls the player's frame reads (keys, joystick or a recording).
  virtual PlayerInput& Controls() = 0;
  // Step 7: the sprite engine moves its sprites, removes dead ones and draws.
  virtual void RenderSprites() = 0;
  // Steps 8-10: monsters, meteors and spirits drawn at their screen positions.
  virtual void DrawMovingObjects() = 0;
};

// The rules alone, at a fixed frame step: no music, no sprites, no drawing
// (the scenario replay and rule tests). Notices are kept for inspection.
class RulesOnlyHost : public TickHost {
 public:
  RulesOnlyHost(PlayerInput& controls, double frameStep) : controls_(controls), step_(frameStep) {}
  double MeasureFrameStep() override { return step_; }
  void MusicUpkeep() override {}
  void PlaceView(double, double) override {}
  void ShowNotice(const std::string& text, uint32_t) override { LastNotice = text; }
  PlayerInput& Controls() override { return controls_; }
  void RenderSprites() override {}
  void DrawMovingObjects() override {}
  void SetFrameStep(double step) { step_ = step; }

  std::string LastNotice;

 private:
  PlayerInput& controls_;
  double step_;
};

// One play frame. A step that switches the state (status or map key,
// transporter, death) does not end the frame: the later steps still run and the
// new state's screen takes over on the next frame.
void GameTick(World& w, TickHost& host);

// The scenario-complete flag: every target counter and the end characters
// left at or below 0.
void CheckScenarioDone(World& w);
// The catalogue entry of transporters must let the player in; when it does
// not, the frame shows "Transporters dead??".
bool TransportersDead(const World& w);

}  // namespace gravik

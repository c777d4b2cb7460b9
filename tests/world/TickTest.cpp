// The world tick as one routine: its steps in order, the view placed once,
// and a state change that does not end the frame.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "frame/GameState.h"
#include "support/AsciiWorld.h"
#include "world/Tick.h"

using namespace gravik;
using namespace gravik::testing;

namespace {

struct Held : PlayerInput {
  std::set<int> held;
  int otherKeyReads = 0;
  std::function<void(World&)> onOtherKeys;
  bool KeyHeld(int d) override { return held.count(d) != 0; }
  bool JoystickEnabled() const override { return false; }
  bool JoystickHeld(int) override { return false; }
  bool DemoPlaying() const override { return false; }
  int DemoRequest(World&) override { return 0; }
  void ReadOtherKeys(World& w) override {
    ++otherKeyReads;
    if (onOtherKeys) onOtherKeys(w);
  }
};

// Records what the tick asks of the frame, in order.
class RecordingTickHost : public TickHost {
 public:
  RecordingTickHost(PlayerInput& in, double step) : in_(in), step_(step) {}
  double MeasureFrameStep() override {
    calls.push_back("step");
    return step_;
  }
  void MusicUpkeep() override { calls.push_back("music"); }
  void PlaceView(double x, double y) override {
    calls.push_back("view");
    viewX = x;
    viewY = y;
  }
  void ShowNotice(const std::string& text, uint32_t) override { calls.push_back("notice " + text); }
  PlayerInput& Controls() override { return in_; }
  void RenderSprites() override { calls.push_back("sprites"); }
  void DrawMovingObjects() override { calls.push_back("objects"); }

  std::vector<std::string> calls;
  double viewX = 0, viewY = 0;

 private:
  PlayerInput& in_;
  double step_;
};

}  // namespace

TEST(GameTick, PlacesTheViewOnceBeforeTheRulesSoObjectsStayOnTheirCells) {
  // Gravik walks right past a spirit; the spirit's screen position is taken
  // from the view the background shows.
  AsciiWorld a({"P.....", "......", "......"});
  World& w = a.W;
  w.Spirits[0].Active = 1;
  w.Spirits[0].X = a.X(2);
  w.Spirits[0].Y = a.Y(2);
  w.Spirits[0].PixelX = w.Spirits[0].X * 64.0;
  w.Spirits[0].PixelY = w.Spirits[0].Y * 64.0;
  w.Spirits[0].Facing = DirRight;
  w.SpiritCount = 1;
  w.PanelShown = true;
  Held keys;
  keys.held = {DirRight};
  for (int frame = 0; frame < 12; ++frame) {
    RecordingTickHost host(keys, 7.3);
    const double viewBefore = w.Player.ViewX;
    a.Clock.Ms += 19;
    GameTick(w, host);
    ASSERT_EQ(std::count(host.calls.begin(), host.calls.end(), "view"), 1) << "frame " << frame;
    EXPECT_EQ(host.viewX, viewBefore) << "the view of the frame's start";
    const TSpirit& s = w.Spirits[0];
    const double background = std::trunc(host.viewX) - 80;
    EXPECT_NEAR(s.ScreenX - background, s.PixelX, 1.0) << "frame " << frame;
  }
  EXPECT_LT(w.Player.ViewX, -64.0 * a.X(0) + 288 - 20) << "the view scrolled";
}

TEST(GameTick, RunsEveryStepInOrderEvenAfterAStepChangedTheState) {
  // The status key is read, then a monster touches Gravik in the same frame:
  // the death still counts, and the frame still draws.
  AsciiWorld a({"P.", ".."});
  World& w = a.W;
  TMonster& m = w.Monsters[0];
  m.State = 2;
  m.Visible = 1;
  m.X = a.X(0);
  m.Y = a.Y(0);
  m.PixelX = m.X * 64.0;
  m.PixelY = m.Y * 64.0;
  m.Wait = 1000;
  Held keys;
  keys.onOtherKeys = [&a](World&) { a.Host.ChangeState(gsStatusScreen); };
  RecordingTickHost host(keys, 4);
  GameTick(w, host);
  EXPECT_EQ(a.Host.Changes, (std::vector<uint8_t>{gsStatusScreen, gsLosingLife}));
  EXPECT_EQ(host.calls, (std::vector<std::string>{"step", "music", "view", "sprites", "objects"}));
  EXPECT_EQ(w.FrameTime, a.Clock.Ms);
}

TEST(GameTick, PlayKeysAndSoundTogglesAreReadOnlyByALivingPlayerOffTransporters) {
  AsciiWorld a({"P.", ".."});
  World& w = a.W;
  Held keys;
  RulesOnlyHost host(keys, 4);
  GameTick(w, host);
  EXPECT_EQ(keys.otherKeyReads, 1);
  w.Player.Dead = 1;
  a.Host.State = gsPlaying;
  GameTick(w, host);
  EXPECT_EQ(keys.otherKeyReads, 1) << "a dead player reads no keys";
  w.Player.Dead = 0;
  a.Host.State = gsPlaying;
  w.TransportCount = 2;
  GameTick(w, host);
  EXPECT_EQ(keys.otherKeyReads, 1) << "nor one on a transporter";
}

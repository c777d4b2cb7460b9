// Demonstrations in-process on the real start-up and engine: the event rules,
// a recording played back frame for frame, a damaged demo, the attract demo,
// a key ending a demo, the built-in demo, and the profile left untouched; a
// demo on the map's edge, a demo ending inside the tick, the end after the
// last event, and the joystick, F12 and the caption outside play.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

#include "data/Archive.h"
#include "frame/Demo.h"
#include "frame/PlayScenario.h"
#include "frame/PlayerData.h"
#include "frame/WorldHash.h"
#include "platform/Folders.h"
#include "support/GameHarness.h"

namespace gravik::playtest {
namespace {

using testing::GameHarness;
using testing::Move;
constexpr double kFrameMs = GameHarness::kFrameMs;

// A game straight into the built-in scenario under "Player", in a home of its
// own, driven by the program's loop.
class Session : public testing::WithHome, public GameHarness {
 public:
  explicit Session(GameOptions o) : GameHarness(Fix(o)) {}

 private:
  static GameOptions Fix(GameOptions o) {
    o.headless = true;
    o.noMusic = true;
    o.play = true;
    return o;
  }
};

class DemoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GRAVIK_REQUIRE_DATA_FILES();
  }
  static DemoFile BuiltInDemo() {
    Archive a(std::vector<std::string>{testing::DataFolder()});
    a.OpenArchive();
    const std::vector<uint8_t> bytes = a.TakeItem(DemoItemName);
    DemoFile d;
    std::string error;
    EXPECT_TRUE(ReadDemo(bytes, d, error)) << error;
    return d;
  }
  // The built-in demo's snapshot (changed by `change`) with the given events.
  std::string DemoWith(const std::vector<DemoEvent>& events, uint32_t count, const std::string& caption = "",
                       const std::function<void(DemoSnapshot&)>& change = {}) {
    DemoFile d = BuiltInDemo();
    if (change) change(d.Snapshot);
    d.Events = {};
    std::copy(events.begin(), events.end(), d.Events.begin());
    d.Count = count;
    d.Captions[0] = caption;
    const std::string path = dir_.Path() + "/made" + std::to_string(++made_) + ".dem";
    const std::vector<uint8_t> bytes = WriteDemo(d);
    EXPECT_TRUE(WriteWholeFileAtomic(path, bytes.data(), bytes.size()));
    return path;
  }
  static GameOptions DemoOptions(const std::string& file) {
    GameOptions o;
    o.demo = true;
    o.demoFile = file;
    return o;
  }
  // What each frame of a demo's play did.
  struct PlayFrame {
    int Requested = 0;
    uint32_t EventNumber = 0;
    bool Caption = false;
    uint32_t SinceReference = 0;
    bool Demo = false;
    uint8_t State = 0;
    int Moving = 0, Y = 0;
  };
  std::vector<PlayFrame> PlayDemo(const std::string& file, long maxPlayFrames) {
    Session s(DemoOptions(file));
    std::vector<PlayFrame> out;
    bool playing = false;
    s.RunLoop(20000, [&](long) {
      Game& g = s.game_;
      if (!playing && s.State() == gsPlaying && g.world.DemoMode) {
        playing = true;
        return true;  // the title card's last frame
      }
      if (!playing) return true;
      const World& w = g.world;
      out.push_back({w.Player.Requested, g.demo->EventNumber, DemoCaptionPending(g), w.Now() - w.Player.IdleRef,
                     w.DemoMode, s.State(), w.Player.Moving, w.Player.Y});
      return w.DemoMode && long(out.size()) < maxPlayFrames;
    });
    return out;
  }

  testing::TempHome dir_;  // the test's own files
  int made_ = 0;
};

TEST_F(DemoTest, MoveEventsFireOnceEachAndTheDemoEndsBeforeEventC) {
  // Three moves due at once (negative times), then an event never due.
  const std::vector<DemoEvent> moves = {{-1, DemoMoveEvent, DirRight}, {-5, DemoMoveEvent, DirRight},
                                        {-1, DemoMoveEvent, DirLeft}, {100000, DemoMoveEvent, DirNone}};
  const std::vector<PlayFrame> f = PlayDemo(DemoWith(moves, 5), 200);
  ASSERT_GT(f.size(), 100u);
  EXPECT_EQ(f[0].Requested, DirRight) << "a negative first time fires on the first frame of play";
  EXPECT_EQ(f[0].EventNumber, 2u);
  std::vector<size_t> requests;
  for (size_t i = 0; i < f.size(); ++i)
    if (f[i].Requested) requests.push_back(i);
  ASSERT_EQ(requests.size(), 3u) << "each move asks for one frame only";
  EXPECT_EQ(f[requests[1]].Requested, DirRight);
  EXPECT_EQ(f[requests[2]].Requested, DirLeft);
  EXPECT_EQ(f.back().EventNumber, 4u) << "the last event waits";
  EXPECT_TRUE(f.back().Demo);

  // With an event count of 1 the demo ends on the first event that fires.
  const std::vector<PlayFrame> one = PlayDemo(DemoWith({{-1, DemoMoveEvent, DirRight}}, 1), 50);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_FALSE(one[0].Demo);
  EXPECT_EQ(one[0].State, gsMainMenu);
}

TEST_F(DemoTest, ACaptionShowsFromThePreviousEventUntilItsTime) {
  const std::vector<DemoEvent> events = {{-1, DemoMoveEvent, DirNone}, {1500, DemoCaptionEvent, 1},
                                         {-1, DemoMoveEvent, DirRight}, {100000, DemoMoveEvent, DirNone}};
  const std::vector<PlayFrame> f = PlayDemo(DemoWith(events, 5, "Hello from the demo"), 300);
  ASSERT_GT(f.size(), 150u);
  size_t last = 0;
  for (size_t i = 0; i < f.size() && f[i].Caption; ++i) last = i;
  EXPECT_TRUE(f[0].Caption) << "shown from the frame the event before it fired";
  // (SinceReference is what the next frame sees: the clock steps between frames.)
  ASSERT_GT(last, 0u);
  EXPECT_LT(f[last - 1].SinceReference, 1500u);
  EXPECT_GE(f[last].SinceReference, 1500u);
  EXPECT_FALSE(f[last + 1].Caption) << "gone on the first frame its time has come";
  EXPECT_EQ(f[last + 2].Requested, DirRight) << "the next event fires on the following frame";
  for (size_t i = last + 1; i < f.size(); ++i) EXPECT_FALSE(f[i].Caption) << i;
}

TEST_F(DemoTest, ARecordingPlaysBackFrameForFrame) {
  const std::string demoFile = dir_.Path() + "/run.dem", captions = dir_.Path() + "/captions.txt";
  const std::string text = "1500 Digging to the right\n4000 A second caption\n";
  ASSERT_TRUE(WriteWholeFileAtomic(captions, text.data(), text.size()));
  // Digging right, a long wait (the idle animation sets the movement reference
  // back twice), on to the diamond, down and back left.
  const std::vector<Move> moves = {
      {300, "Right", 700}, {3000, "Right", 150}, {12000, "Right", 900}, {14500, "Down", 300}, {16000, "Left", 500}};
  std::vector<uint64_t> recorded;
  int score = 0;
  {
    GameOptions o;
    o.play = true;
    o.seed = 11;
    o.recordDemo = demoFile;
    o.demoCaptions = captions;
    Session s(o);
    long playFrame = -1, cardFrames = 0;
    s.RunLoop(3000 + 19000 / kFrameMs, [&](long frame) {
      // The title card cut short: its length is not the demo's.
      if (s.State() == gsLevelIntro && ++cardFrames == 40) s.Tap(vk::Return);
      if (playFrame < 0 && s.State() == gsPlaying) {
        playFrame = frame;
        s.Schedule(moves, frame);
        return true;
      }
      if (playFrame >= 0) recorded.push_back(WorldHash(s.game_));
      return true;
    });
    score = s.game_.world.Count.Score;
    FinishRecording(s.game_);
  }
  ASSERT_GT(score, 10) << "the run dug its way along";
  DemoFile rec;
  std::string error;
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(demoFile, bytes));
  ASSERT_TRUE(ReadDemo(bytes, rec, error)) << error;
  int captionEvents = 0, stillMoves = 0;
  for (uint32_t k = 1; k < rec.Count; ++k) {
    captionEvents += rec.Event(k).Kind == DemoCaptionEvent;
    stillMoves += rec.Event(k).Kind == DemoMoveEvent && rec.Event(k).Value == 0;
  }
  EXPECT_EQ(captionEvents, 2);
  EXPECT_GE(stillMoves, 3) << "the long wait needed events of its own";

  std::vector<uint64_t> played;
  int captionFrames = 0;
  {
    GameOptions o = DemoOptions(demoFile);
    o.seed = 3;  // the demo brings the recorded run's generator along
    Session s(o);
    bool playing = false;
    s.RunLoop(3000 + 25000 / kFrameMs, [&](long) {
      Game& g = s.game_;
      if (!playing && s.State() == gsPlaying && g.world.DemoMode) return playing = true;
      if (!playing) return true;
      if (!g.world.DemoMode) return false;
      played.push_back(WorldHash(g));
      captionFrames += DemoCaptionPending(g);
      return true;
    });
  }
  ASSERT_GT(recorded.size(), 1000u);
  for (size_t i = 0; i < std::min(played.size(), recorded.size()); ++i)
    ASSERT_EQ(played[i], recorded[i]) << "playback parts at frame " << i;
  for (uint32_t k = rec.Count > 4 ? rec.Count - 4 : 1; k <= rec.Count; ++k)
    std::fprintf(stderr, "event %u: %d %d %d\n", k, rec.Event(k).Time, rec.Event(k).Kind, rec.Event(k).Value);
  ASSERT_GE(played.size() + 3, recorded.size()) << "the demo ends on the recording's last standing frame";
  ASSERT_LE(played.size(), recorded.size());
  EXPECT_GT(captionFrames, 60);
}

TEST_F(DemoTest, ADamagedDemoIsRefusedAndTheMenuStays) {
  DemoFile d = BuiltInDemo();
  d.Snapshot.PlayerX = 40;
  std::vector<uint8_t> bad = WriteDemo(d);
  const std::string outside = dir_.Path() + "/outside.dem", shortFile = dir_.Path() + "/short.dem";
  ASSERT_TRUE(WriteWholeFileAtomic(outside, bad.data(), bad.size()));
  ASSERT_TRUE(WriteWholeFileAtomic(shortFile, bad.data(), 30000));
  Session s(GameOptions{});
  bool checked = false;
  s.RunLoop(2000, [&](long) {
    if (s.State() != gsLevelIntro) return true;
    s.form_.SetGameState(gsMainMenu);
    for (const std::string& f : {outside, shortFile, dir_.Path() + "/missing.dem"}) {
      EXPECT_FALSE(BeginDemo(s.form_, f)) << f;
      EXPECT_EQ(s.State(), gsMainMenu);
      EXPECT_FALSE(s.game_.world.DemoMode);
    }
    checked = true;
    return false;
  });
  EXPECT_TRUE(checked);
}

TEST_F(DemoTest, TheMenuPlaysTheDemoAfterThirtyIdleSecondsAndAKeyEndsIt) {
  Session s(GameOptions{});
  long menuFrame = -1, demoFrame = -1, endFrame = -1;
  std::vector<uint8_t> profileBefore;
  std::string profilePath;
  s.RunLoop(long(60000 / kFrameMs), [&](long frame) {
    Game& g = s.game_;
    if (menuFrame < 0) {
      if (s.State() != gsLevelIntro) return true;
      profilePath = g.profile.Folder + "/" + g.profile.CurrentFile;
      EXPECT_TRUE(ReadWholeFile(profilePath, profileBefore)) << profilePath;
      s.form_.SetGameState(gsMainMenu);
      menuFrame = frame;
      return true;
    }
    const long since = frame - menuFrame;
    // A key 10 s in counts as input: the demo comes 30 s after it.
    if (since == long(10000 / kFrameMs)) s.Tap('X');
    if (demoFrame < 0) {
      if (g.world.DemoMode) demoFrame = frame;
      else EXPECT_EQ(s.State(), gsMainMenu);
      return true;
    }
    if (endFrame < 0 && s.State() == gsPlaying && frame - demoFrame > long(8000 / kFrameMs)) {
      s.Tap(vk::Space);
      EXPECT_FALSE(g.world.DemoMode);
      EXPECT_EQ(s.State(), gsMainMenu);
      endFrame = frame;
    }
    return endFrame < 0 || frame - endFrame < 30;
  });
  ASSERT_GT(demoFrame, 0) << "no demo started";
  EXPECT_NEAR(double(demoFrame - menuFrame) * kFrameMs, 40000.0, 100.0);
  ASSERT_GT(endFrame, 0);
  EXPECT_EQ(s.State(), gsMainMenu);
  std::vector<uint8_t> after;
  ASSERT_TRUE(ReadWholeFile(profilePath, after));
  EXPECT_EQ(after, profileBefore) << "a demo never writes the profile";
}

TEST_F(DemoTest, TheBuiltInDemoTeachesLevelOneAndEndsOnTheMenu) {
  Session s(DemoOptions(""));
  std::set<int> captions;
  bool reachedLevel2 = false;
  long playFrames = 0;
  int score = 0;
  std::vector<uint8_t> profileBefore;
  std::string profilePath;
  s.RunLoop(long(200000 / kFrameMs), [&](long) {
    Game& g = s.game_;
    if (profilePath.empty() && HasCurrentProfile(g)) {
      profilePath = g.profile.Folder + "/" + g.profile.CurrentFile;
      EXPECT_TRUE(ReadWholeFile(profilePath, profileBefore));
    }
    if (!g.world.DemoMode) return playFrames == 0;
    if (s.State() == gsPlaying) ++playFrames;
    if (DemoCaptionPending(g)) captions.insert(g.demo->File->Event(g.demo->EventNumber).Value);
    if (g.world.CurrentLevel == 2) reachedLevel2 = true;
    score = g.world.Count.Score;
    return true;
  });
  EXPECT_EQ(s.State(), gsMainMenu);
  EXPECT_FALSE(s.game_.world.DemoMode);
  EXPECT_GE(captions.size(), 10u);
  EXPECT_TRUE(reachedLevel2) << "the demo ends through the transporter";
  EXPECT_GT(score, 40);
  const double seconds = playFrames * kFrameMs / 1000.0;
  EXPECT_GT(seconds, 45.0);
  EXPECT_LT(seconds, 120.0);
  if (profilePath.empty()) {
    // --demo plays before any profile is made: the demo made none either.
    EXPECT_TRUE(FindFiles(s.game_.profile.Folder, "*.zqp").empty());
    return;
  }
  std::vector<uint8_t> after;
  ASSERT_TRUE(ReadWholeFile(profilePath, after));
  EXPECT_EQ(after, profileBefore);
}

// A rock falling onto the player's cell: he dies on the first frame of play.
void RockOverPlayer(DemoSnapshot& s) {
  const size_t above = size_t(MapIndex(s.PlayerX, s.PlayerY - 1));
  s.Map[above] = FindBlock(CatalogueFromArchive(GRAVIK_BINARY_DIR), "ROCK");
  s.Cells[above].Motion = DirDown;
  s.Timing->LastBlockPassAge = 0;  // no block pass before the death test
}

TEST_F(DemoTest, ADemoOnTheLastRowNeverMovesOffTheMap) {
  const std::vector<PlayFrame> f = PlayDemo(
      DemoWith({{-1, DemoMoveEvent, DirDown}, {100000, DemoMoveEvent, DirNone}}, 3, "",
               [](DemoSnapshot& s) { s.PlayerY = MapHeight; }),
      60);
  ASSERT_EQ(f.size(), 60u) << "the demo plays on";
  EXPECT_EQ(f[0].EventNumber, 2u);
  EXPECT_EQ(f[0].Requested, DirNone) << "the move down is blocked";
  EXPECT_EQ(f.back().Y, MapHeight);
  EXPECT_TRUE(f.back().Demo);
}

TEST_F(DemoTest, ADemoEndingInTheTickLeavesNoDeathOrCompletionBehind) {
  const auto allTargetsMet = [](DemoSnapshot& s) {
    s.DiamondsLeft = 0;
    DemoTiming& t = *s.Timing;
    t.EarthLeft = t.MonstersLeft = t.TransportersLeft = t.PuzzlePiecesLeft = t.EndCharsLeft = 0;
    t.RecountTargets = 0;
  };
  // Killed where he stands as the last event fires; every target met on the
  // frame before the last event.
  const std::string killed = DemoWith({{-1, DemoMoveEvent, DirNone}}, 2, "", RockOverPlayer);
  const std::string finished =
      DemoWith({{-1, DemoMoveEvent, DirNone}, {-1, DemoMoveEvent, DirNone}}, 3, "", allTargetsMet);
  for (const std::string& file : {killed, finished}) {
    Session s(DemoOptions(file));
    std::map<std::string, std::vector<uint8_t>> before;
    auto profiles = [&] {
      std::map<std::string, std::vector<uint8_t>> m;
      for (const std::string& f : FindFiles(s.game_.profile.Folder, "*.zqp"))
        ReadWholeFile(s.game_.profile.Folder + "/" + f, m[f]);
      return m;
    };
    bool started = false;
    long playFrames = 0, menuFrames = 0;
    std::set<uint8_t> after;
    s.RunLoop(2000, [&](long) {
      Game& g = s.game_;
      if (!started) {
        if (!g.world.DemoMode) return true;
        started = true;
        before = profiles();
      }
      if (g.world.DemoMode) {
        playFrames += s.State() == gsPlaying;
        return true;
      }
      after.insert(s.State());
      return ++menuFrames < 60;
    });
    ASSERT_TRUE(started) << file;
    EXPECT_LE(playFrames, 2) << "the demo ends on the frame of its last event";
    EXPECT_EQ(after, std::set<uint8_t>{gsMainMenu}) << file;
    EXPECT_EQ(profiles(), before) << "nothing was saved";
  }
}

TEST_F(DemoTest, JoystickAndF12InEveryDemoStateAndTheCaptionOverADeath) {
  const JoystickState button{true, 32767, 32767, 1};
  // The title card: F12 saves the frame and the demo goes on; a button ends it.
  {
    Session s(DemoOptions(""));
    long card = 0;
    bool wentOn = false;
    s.RunLoop(2000, [&](long) {
      Game& g = s.game_;
      g.input.JoystickEnabled = true;
      if (s.State() != gsLevelIntro || !g.world.DemoMode) return card == 0;
      ++card;
      if (card == 5) s.Tap(vk::F12);
      if (card == 10) {
        EXPECT_TRUE(g.world.DemoMode);
        EXPECT_EQ(FindFiles(g.folders.Documents + "Screenshots", "*.png").size(), 1u);
        s.hp_.input.SetJoystick(button);
      }
      if (card == 11) {
        wentOn = true;
        return false;
      }
      return true;
    });
    EXPECT_FALSE(wentOn) << "the title card went on after the button";
    EXPECT_FALSE(s.game_.world.DemoMode);
    EXPECT_EQ(s.State(), gsMainMenu);
  }
  // A death while a caption is pending: the caption stays over the death; a
  // button ends the demo there too.
  Session s(DemoOptions(
      DemoWith({{-1, DemoMoveEvent, DirNone}, {100000, DemoCaptionEvent, 1}, {-1, DemoMoveEvent, DirNone}}, 4,
               "Mind the rock", RockOverPlayer)));
  long dying = 0;
  s.RunLoop(2000, [&](long) {
    Game& g = s.game_;
    g.input.JoystickEnabled = true;
    if (s.State() != gsLosingLife) return dying == 0;
    ++dying;
    EXPECT_TRUE(DemoCaptionPending(g));
    EXPECT_EQ(s.form_.PresentedFrame().Pixel(52, 52), 0xFFFC) << "the light-yellow box";
    if (dying == 3) s.hp_.input.SetJoystick(button);
    return dying < 10;
  });
  EXPECT_EQ(dying, 3);
  EXPECT_FALSE(s.game_.world.DemoMode);
  EXPECT_EQ(s.State(), gsMainMenu);
}

TEST_F(DemoTest, ADemoEndsOnTheFirstStandingFrameAfterItsLastEvent) {
  // Event 1 moves right; the end (event 2, due at once) waits for the step.
  const std::vector<PlayFrame> f = PlayDemo(DemoWith({{-1, DemoMoveEvent, DirRight}, {-1, DemoMoveEvent, DirNone}}, 3), 100);
  ASSERT_GE(f.size(), 3u);
  ASSERT_LT(f.size(), 100u);
  EXPECT_EQ(f[0].Requested, DirRight);
  for (size_t i = 0; i + 2 < f.size(); ++i) {
    EXPECT_TRUE(f[i].Demo) << i;
    EXPECT_EQ(f[i].Moving, DirRight) << i;
  }
  EXPECT_EQ(f[f.size() - 2].Moving, 0) << "arrived";
  EXPECT_TRUE(f[f.size() - 2].Demo);
  EXPECT_FALSE(f.back().Demo);
}

}  // namespace
}  // namespace gravik::playtest

// The built-in scenario played from start to "scenario completed" with its
// walkthrough on the game's world rules, and the runner's own failure reports.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "Catalogue.h"
#include "ScenarioCompiler.h"
#include "ScenarioReplay.h"

namespace gravik::mkres {
namespace {

const Catalogue& Cat() {
  static const Catalogue cat = LoadCatalogue(std::string(GRAVIK_SOURCE_DIR) + "/assets/blocks.txt");
  return cat;
}

std::string Source() {
  std::string text;
  EXPECT_TRUE(ReadTextFile(std::string(GRAVIK_SOURCE_DIR) + "/assets/scenario/gravik2.txt", text));
  return text;
}

ReplayReport Play(const std::string& text, int frameMs = 16) {
  const CompileResult r = CompileScenario(text, Cat());
  EXPECT_TRUE(r.Ok());
  ReplayOptions o;
  o.FrameMs = frameMs;
  return ReplayScenario(WriteScenario(*r.Output), r.Walkthrough, Cat(), o);
}

// The level holding the end character; 0 when none does.
int EndLevel(const Scenario& s) {
  const int end = Cat().Find("ENDCHAR1");
  for (int n = 1; n <= 20; ++n)
    for (int x = 1; x <= s.Level(n).Width; ++x)
      for (int y = 1; y <= s.Level(n).Height; ++y)
        if (s.Level(n).Cell(x, y) == end) return n;
  return 0;
}

TEST(ScenarioReplay, TheBuiltInScenarioIsCompletedByItsWalkthrough) {
  const CompileResult r = CompileScenario(Source(), Cat());
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(r.LevelsUsed, 20);
  const int endLevel = EndLevel(*r.Output);
  ASSERT_NE(endLevel, 0);
  // 60 frames a second, and a slower machine at 30.
  for (int frameMs : {16, 33}) {
    SCOPED_TRACE(frameMs);
    ReplayOptions o;
    o.FrameMs = frameMs;
    std::string log;
    o.Log = [&log](const std::string& s) { log += "  " + s + "\n"; };
    const auto t0 = std::chrono::steady_clock::now();
    const ReplayReport rep = ReplayScenario(WriteScenario(*r.Output), r.Walkthrough, Cat(), o);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    ASSERT_TRUE(rep.Completed) << rep.Failure << "\n" << log;
    EXPECT_EQ(rep.StepsPlayed, int(r.Walkthrough.size()));
    EXPECT_EQ(rep.DiamondsLeft + rep.EarthLeft + rep.MonstersLeft + rep.TransportersLeft + rep.PuzzlePiecesLeft, 0);
    EXPECT_EQ(rep.EndCharsLeft, 0);
    EXPECT_EQ(rep.Level, endLevel);  // the journey ends where the end character waits
    std::printf("[ replay   ] %d ms frames: %d frames, %.1f s game time, score %d, %.2f s to run\n", frameMs,
                rep.Frames, rep.GameMs / 1000.0, rep.Score, wall);
  }
}

// The example of the players' guide compiles and its walkthrough completes it.
// The example players get (assets/scenario/example.txt, installed beside the
// data) is completed by its walkthrough, and the guide shows it as it is.
TEST(ScenarioReplay, TheGuidesExampleIsCompleted) {
  std::string example;
  ASSERT_TRUE(ReadTextFile(std::string(GRAVIK_SOURCE_DIR) + "/assets/scenario/example.txt", example));
  const CompileResult r = CompileScenario(example, Cat());
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(r.LevelsUsed, 2);
  const auto& t = r.Output->Header.Totals;
  EXPECT_GE(t[TotalDiamonds], 1);
  EXPECT_GE(t[TotalEarth], 1);
  EXPECT_GE(t[TotalTransporters], 1);
  EXPECT_EQ(EndLevel(*r.Output), 2);
  bool rock = false;
  for (int x = 1; x <= 32; ++x)
    for (int y = 1; y <= 32; ++y) rock = rock || r.Output->Level(1).Cell(x, y) == Cat().Find("ROCK");
  EXPECT_TRUE(rock);
  for (int frameMs : {16, 33}) {
    const ReplayReport rep = Play(example, frameMs);
    EXPECT_TRUE(rep.Completed) << frameMs << " ms: " << rep.Failure << "\n" << rep.Picture;
  }

  std::string doc;
  ASSERT_TRUE(ReadTextFile(std::string(GRAVIK_SOURCE_DIR) + "/docs/scenario-format.md", doc));
  const size_t at = doc.find("### The whole example");
  ASSERT_NE(at, std::string::npos);
  const size_t start = doc.find("```\n", at);
  ASSERT_NE(start, std::string::npos);
  const size_t end = doc.find("```", start + 4);
  ASSERT_NE(end, std::string::npos);
  EXPECT_EQ(doc.substr(start + 4, end - start - 4), example) << "the guide's listing is example.txt";
}

const char* kCorridor =
    "scenario Replay\n"
    "puzzle none\n"
    "level 1\n"
    "grid\n"
    "#######\n"
    "#P:*:E#\n"
    "#######\n"
    "end\n";

TEST(ScenarioReplay, ReportsWhatStopsAWalkthrough) {
  EXPECT_TRUE(Play(std::string(kCorridor) + "walk R4\n").Completed);

  ReplayReport wall = Play(std::string(kCorridor) + "walk R1 U1\n");
  EXPECT_FALSE(wall.Completed);
  EXPECT_NE(wall.Failure.find("line 9, column 9"), std::string::npos) << wall.Failure;
  EXPECT_NE(wall.Failure.find("stuck at (3, 2)"), std::string::npos) << wall.Failure;
  // The level as Gravik left it: the start cell and the earth dug, Gravik on (3, 2).
  EXPECT_EQ(wall.Picture, "#######\n#.P*:E#\n#######\n");

  ReplayReport early = Play(std::string(kCorridor) + "walk R2\n");
  EXPECT_FALSE(early.Completed);
  EXPECT_NE(early.Failure.find("before the scenario was complete"), std::string::npos);
  EXPECT_EQ(early.EarthLeft, 1);
  EXPECT_EQ(early.DiamondsLeft, 0);

  // A rock dug loose falls on Gravik when he stops under it.
  ReplayReport crushed = Play(
      "scenario Replay\npuzzle none\nlevel 1\ngrid\n"
      "##o##\n"
      "#P:*#\n"
      "##:##\n"
      "##.##\n"
      "#####\n"
      "end\n"
      "walk R1 D1 w2000\n");
  EXPECT_FALSE(crushed.Completed);
  EXPECT_NE(crushed.Failure.find("died"), std::string::npos) << crushed.Failure;
}

}  // namespace
}  // namespace gravik::mkres
